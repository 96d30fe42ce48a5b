// Aiming at what is left: after a search cut short, the states it stored
// but did not visit are taken best-first towards the paragraphs and answer
// boxes it left unmet.
#include <algorithm>
#include <bit>
#include <chrono>
#include <cstdint>
#include <cstring>
#include <deque>
#include <map>
#include <queue>
#include <set>
#include <vector>

#include "book/tables.h"
#include "tools/explore/search.h"

namespace explore::detail {

// What the search has not met yet: the paragraphs with text not reached and
// those with an answer box not shown.
std::set<int> Explorer::Unmet() const {
    std::set<int> unmet;
    for (int p : facts_.withText)
        if (!reached_.count(p)) unmet.insert(p);
    for (const auto& [paragraph, boxes] : facts_.answerBoxes)
        for (const auto& box : boxes)
            if (!answersSeen_.count({paragraph, box})) unmet.insert(paragraph);
    return unmet;
}

// After a search cut short, the rest of its bounds go to what it left
// unmet: the stored states not visited yet are taken best-first by how far
// their story paragraph is, over the book's links, from the nearest way
// into a paragraph unmet, with each byte that way tests and the state lacks
// counting as a few links more; then by depth. The order is taken again each
// time one is met. A state no link leads on from to any is left.
void Explorer::Aim(std::chrono::steady_clock::time_point start) {
    const size_t size = liveness_.side.size();
    std::vector<bool> visited(nodes_.size(), false);
    for (uint32_t i : visitedOrder_) visited[i] = true;
    const size_t maxStates = options_.maxStates + options_.maxStates / 4;
    for (std::set<int> unmet = Unmet(); !unmet.empty();) {
        // The distance to each way into an unmet paragraph (from a story
        // page) over the story's links reversed.
        std::vector<std::vector<int>> from(size);
        std::vector<const Way*> ways;
        for (const Way& w : liveness_.ways) {
            if (w.to <= 0 || static_cast<size_t>(w.to) >= size || liveness_.side[w.from]) continue;
            from[w.to].push_back(w.from);
            if (unmet.count(w.to)) ways.push_back(&w);
        }
        constexpr uint32_t kNoWay = UINT32_MAX;
        std::map<int, std::vector<uint32_t>> distance;  // to the page a way starts on
        for (const Way* w : ways) {
            auto [it, fresh] = distance.try_emplace(w->from, size, kNoWay);
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
        // A state's distance to the nearest such way, each byte the way tests
        // or every way to its page holds that the state does not have
        // counting as a few ways more.
        constexpr uint32_t kPerByte = 32;
        const size_t objects = StateLayout().Objects();
        auto away = [&](uint32_t i) {
            const char* state = states_.data() + i * stride_;
            const int16_t story = ReaderOf(state).navigation.storyParagraph;
            if (story <= 0 || static_cast<size_t>(story) >= size) return kNoWay;
            uint64_t held = 0;
            for (int k = 0; k < objectCount && k < 64; ++k)
                if (state[objects + 2 * k]) held |= uint64_t{1} << k;
            uint32_t best = kNoWay;
            for (const Way* w : ways) {
                const uint32_t d = distance[w->from][story];
                if (d == kNoWay) continue;
                uint32_t missing = static_cast<uint32_t>(
                    std::popcount((w->tested | liveness_.mustHeld[w->from]) & ~held));
                for (const auto& [k, v] : w->values)
                    missing += k < objectCount && state[objects + 2 * k + 1] != v;
                best = std::min(best, d + kPerByte * missing);
            }
            return best;
        };
        std::priority_queue<Pending, std::vector<Pending>, std::greater<Pending>> queue;
        auto offer = [&](uint32_t i) {
            const uint32_t d = away(i);
            if (!visited[i] && d != kNoWay) queue.push({d, nodes_[i].depth, i});
        };
        for (uint32_t i = 0; i < nodes_.size(); ++i) offer(i);
        const size_t before = unmet.size();
        for (size_t n = 0; !queue.empty(); ++n) {
            if (nodes_.size() > maxStates) return;
            if ((n & 255) == 0 &&
                std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count() >
                    options_.maxSeconds)
                return;
            const uint32_t i = queue.top().index;
            queue.pop();
            if (visited[i]) continue;
            visited[i] = true;
            const uint32_t known = static_cast<uint32_t>(nodes_.size());
            visitedOrder_.push_back(i);
            Visit(i);
            visited.resize(nodes_.size(), false);
            for (uint32_t j = known; j < nodes_.size(); ++j) offer(j);
            if (std::set<int> now = Unmet(); now.size() < before) {
                unmet = now;
                break;
            }
        }
        if (unmet.size() == before) return;
    }
}
}  // namespace explore::detail
