#include "tools/explore/aim.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <deque>
#include <map>
#include <set>
#include <vector>

#include "book/tables.h"

namespace explore::detail {
namespace {

constexpr uint32_t kNoWay = UINT32_MAX;
constexpr uint32_t kPerByte = 32;  // links a byte the state lacks counts as

// How far a state is from meeting one of the unmet paragraphs.
class AimOrder {
   public:
    AimOrder(const Liveness& liveness, const std::set<int>& unmet) : liveness_(liveness) {
        // The distance to each way into an unmet paragraph (from a story
        // page) over the story's links reversed.
        const size_t size = liveness_.side.size();
        std::vector<std::vector<int>> from(size);
        for (const Way& w : liveness_.ways) {
            if (w.to <= 0 || static_cast<size_t>(w.to) >= size || liveness_.side[w.from]) continue;
            from[w.to].push_back(w.from);
            if (unmet.count(w.to)) ways_.push_back(&w);
        }
        for (const Way* w : ways_) {
            auto [it, fresh] = distance_.try_emplace(w->from, size, kNoWay);
            if (!fresh) continue;
            std::vector<uint32_t>& d = it->second;
            d[w->from] = 0;
            for (std::deque<int> work = {w->from}; !work.empty(); work.pop_front())
                for (int q : from[work.front()])
                    if (d[q] == kNoWay) {
                        d[q] = d[work.front()] + 1;
                        work.push_back(q);
                    }
        }
    }

    // The state's distance to the nearest such way, each byte the way tests
    // or every way to its page holds that the state does not have counting
    // as kPerByte ways more; kNoWay when no link leads on to any.
    uint32_t Away(StateView state) const {
        const int16_t story = state.Story();
        if (story <= 0 || static_cast<size_t>(story) >= liveness_.side.size()) return kNoWay;
        uint64_t held = 0;
        for (int k = 0; k < objectCount && k < 64; ++k)
            if (state.Held(k)) held |= uint64_t{1} << k;
        uint32_t best = kNoWay;
        for (const Way* w : ways_) {
            const uint32_t d = distance_.at(w->from)[story];
            if (d == kNoWay) continue;
            uint32_t missing = static_cast<uint32_t>(
                std::popcount((w->tested | liveness_.mustHeld[w->from]) & ~held));
            for (const auto& [k, v] : w->values)
                missing += k < objectCount && state.Byte(2 * static_cast<size_t>(k) + 1) != v;
            best = std::min(best, d + kPerByte * missing);
        }
        return best;
    }

   private:
    const Liveness& liveness_;
    std::vector<const Way*> ways_;
    std::map<int, std::vector<uint32_t>> distance_;  // to the page a way starts on
};

}  // namespace

void AimAtUnmet(Search& search, const Liveness& liveness, const Options& options,
                Clock::time_point start) {
    std::vector<bool> visited(search.Count(), false);
    for (uint32_t i : search.VisitOrder()) visited[i] = true;
    const size_t maxStates = options.maxStates + options.maxStates / 4;
    for (std::set<int> unmet = search.Unmet(); !unmet.empty();) {
        const AimOrder order(liveness, unmet);
        RankedQueue queue;  // ranked by how far from the aim
        auto offer = [&](uint32_t i) {
            const uint32_t away = order.Away(search.At(i));
            if (!visited[i] && away != kNoWay) queue.push({away, search.Depth(i), i});
        };
        for (uint32_t i = 0; i < search.Count(); ++i) offer(i);
        const size_t before = unmet.size();
        for (size_t n = 0; !queue.empty(); ++n) {
            if (search.Count() > maxStates) return;
            if ((n & 255) == 0 &&
                std::chrono::duration<double>(Clock::now() - start).count() > options.maxSeconds)
                return;
            const uint32_t i = queue.top().index;
            queue.pop();
            if (visited[i]) continue;
            visited[i] = true;
            const uint32_t known = static_cast<uint32_t>(search.Count());
            search.Visit(i);
            visited.resize(search.Count(), false);
            for (uint32_t j = known; j < search.Count(); ++j) offer(j);
            if (std::set<int> now = search.Unmet(); now.size() < before) {
                unmet = now;
                break;
            }
        }
        if (unmet.size() == before) return;
    }
}

}  // namespace explore::detail
