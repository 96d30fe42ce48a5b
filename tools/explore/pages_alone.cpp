#include "tools/explore/pages_alone.h"

#include <algorithm>
#include <array>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "base/app_state.h"
#include "book/tables.h"
#include "device/record.h"
#include "page/builder.h"
#include "page/controls.h"
#include "script/choice.h"
#include "script/engine.h"
#include "script/hotwords.h"
#include "shell/navigation.h"
#include "shell/rebuild.h"
#include "shell/window.h"

namespace explore::detail {
namespace {

const char* const kNoWayOn = "no way on but the menu, and the book does not mark it an ending";

// The list an alarm of a page built alone would belong to, by its wording.
std::string AlarmKind(const std::string& what) {
    if (what.rfind("raises", 0) == 0) return "messages";
    if (what.rfind("no way on", 0) == 0) return "deadEnds";
    if (what.rfind("chance hotword", 0) == 0) return "impossibleOutcomes";
    if (what == kUnstable) return "unstablePages";
    return "unheldValues";
}

// The bytes a page reads, each with every value it is built under.
using Reads = std::vector<std::pair<size_t, std::vector<uint8_t>>>;

// `state` with combination `n` of `reads` set in it.
std::string Combination(std::string state, const Reads& reads, size_t n) {
    for (const auto& [b, values] : reads) {
        SetByte(state, b, values[n % values.size()]);
        n /= values.size();
    }
    return state;
}

class AlonePass {
   public:
    AlonePass(const Search& search, const bookc::Book& book, const StaticFacts& facts,
              const Liveness& liveness, Pages& pages)
        : search_(search), book_(book), facts_(facts), liveness_(liveness), pages_(pages) {}

    PagesAlone Run() {
        StartingFlags();
        // Each round builds the pages under the sets of flags met since the
        // last, until a round leaves no new set.
        for (size_t from = 0; from < carries_.size();) {
            const size_t to = carries_.size();
            for (int paragraph : facts_.withText) CheckPage(paragraph, from, to);
            from = to;
        }
        DistrustSkipping();
        device::MessageBoxLog().clear();
        FindGoodAhead();
        return std::move(result_);
    }

   private:
    // The flags of every page the search built and of a fresh start.
    void StartingFlags() {
        for (uint32_t index : search_.VisitOrder())
            if (!search_.At(index).BuiltInPending())
                result_.carried.insert(search_.At(index).Carried());
        result_.fresh = WithoutSlots(search_.StateAt(0));
        result_.carried.insert(StateView(result_.fresh).Carried());
        carries_.assign(result_.carried.begin(), result_.carried.end());
    }

    void CarryOn(const std::string& carry) {
        if (result_.carried.insert(carry).second) carries_.push_back(carry);
    }

    // The objects certainly held trust a page's top-level tags to run: not
    // when a page can start while the engine is still skipping.
    void DistrustSkipping() {
        for (const std::string& carry : carries_) {
            std::string state = result_.fresh;
            SetCarried(state, carry);
            if (StateView(state).Reader().flags.skipCount != 0)
                result_.unchecked.insert(result_.considered.begin(), result_.considered.end());
        }
    }

    // Every value a page built alone meets in byte `b`: a held byte of an
    // object every way into the page holds is held.
    std::vector<uint8_t> Values(int paragraph, int b) const {
        if (b % 2 == 0 && b / 2 < 64 && (liveness_.mustHeld[paragraph] >> (b / 2) & 1)) return {1};
        return EveryValue(b, StateView(result_.fresh).Byte(static_cast<size_t>(b)), 256);
    }

    // `paragraph` built under the carried flags carries_[from, to).
    void CheckPage(int paragraph, size_t from, size_t to) {
        if (paragraph < 2 || static_cast<size_t>(paragraph) >= liveness_.reads.size()) return;
        const bool side = liveness_.side[paragraph];
        if (paragraph < 8 && !side && paragraph != 2) return;
        result_.considered.insert(paragraph);
        if (result_.unchecked.count(paragraph)) return;
        Reads reads;
        size_t combinations = 1;
        for (int b : liveness_.reads[paragraph]) {
            reads.push_back({static_cast<size_t>(b), Values(paragraph, b)});
            combinations *= reads.back().second.size();
            // A number object's two bytes are one value, not each byte's values.
            if (objectTable[b / 2].type == OBJECT_NUMBER) {
                result_.unchecked.insert(paragraph);
                return;
            }
        }
        if (combinations > kMaxCombinations) {
            bool proven = side && !facts_.DrawRange(paragraph) && !facts_.saves.count(paragraph);
            for (size_t c = from; c < to && proven; ++c) {
                std::set<std::string> after;
                proven = CheckBlocks(paragraph, carries_[c], after);
                for (const std::string& carry : after) CarryOn(carry);
            }
            if (!proven) result_.unchecked.insert(paragraph);
            return;
        }
        std::vector<std::set<int16_t>>& ways = waysOn_[paragraph];
        for (size_t c = from; c < to; ++c)
            for (size_t n = 0; n < combinations; ++n) {
                ways.emplace_back();
                const std::string state = Combination(Place(paragraph, carries_[c]), reads, n);
                const int range = facts_.DrawRange(paragraph);
                for (int draw = range ? 0 : -1; draw < range; ++draw)
                    CheckBuild(paragraph, state, draw, range, ways.back());
            }
    }

    // The fresh state made to build `paragraph` with the carried flags `carry`.
    std::string Place(int paragraph, const std::string& carry) const {
        const int16_t page = static_cast<int16_t>(paragraph);
        const bool side = liveness_.side[paragraph];
        return AtPage(result_.fresh, page, side ? 2 : page, !side, carry);
    }

    // One build of a story or side page: its alarms, and the pages its story
    // ways lead to (into `waysOn`).
    void CheckBuild(int paragraph, const std::string& state, int draw, int range,
                    std::set<int16_t>& waysOn) {
        const bool side = liveness_.side[paragraph];
        std::string post, signature;
        std::vector<std::string> whats = Build(state, draw, range, post, signature);
        CarryOn(StateView(post).Carried());
        bool wayOn = false;
        if (!side) {
            for (const Action& a : pages_.Actions()) {
                wayOn = wayOn || a.wayOn;
                if (!a.story) continue;
                pages_.Restore(post);
                pages_.Perform(a.step);
                if (inStory && pendingBuiltInPage == 0) waysOn.insert(currentParagraph);
            }
        }
        if (whats.empty() && paragraph >= 8 && !side && !facts_.endings.count(paragraph) && !wayOn)
            whats.push_back(kNoWayOn);
        Lints(state, post, signature, side, whats);
        for (const std::string& what : whats) Alarm(paragraph, what, Describe(state));
    }

    void Alarm(int paragraph, const std::string& what, const std::string& under) {
        if (seen_.insert(std::to_string(paragraph) + what).second)
            result_.alarms.push_back({paragraph, what, under, {}, AlarmKind(what)});
    }

    // Builds the page of `state`, its draw forced when it has one: the
    // messages it raises and the chance outcomes its hotwords never give;
    // `post` receives the state the build left, `signature` what it shows.
    std::vector<std::string> Build(const std::string& state, int draw, int range, std::string& post,
                                   std::string& signature) {
        std::vector<std::string> whats;
        for (const std::string& text : pages_.Build(state, draw, range))
            whats.push_back("raises \"" + text + "\"");
        signature = PageSignature();
        post = pages_.Capture();
        for (int i = 0; i < hotwordCount && PageScanned(); ++i) {
            const HotwordRecord& r = hotwordTable[i];
            if (!ChanceRange(r.kind)) continue;
            const std::string never = NeverComesUp(r);
            if (!never.empty()) whats.push_back(never);
        }
        return whats;
    }

    // The two lints on a page built alone from `state` (leaving `post`): a
    // value shown of an object not held and, on a story page, other text or
    // choices when built again with no choice taken.
    void Lints(const std::string& state, const std::string& post, const std::string& signature,
               bool side, std::vector<std::string>& whats) {
        for (int k : pages_.ShownUnheld(state, post))
            whats.push_back(std::string("shows the value of ") + objectTable[k].name +
                            ", which is not held");
        if (side || post == state) return;
        pages_.Restore(post);
        RebuildPage(mainWindow);
        if (PageSignature() != signature) whats.push_back(kUnstable);
    }

    // A page too big to build under every combination but made of
    // independent blocks (liveness.h) builds as its parts' outputs one after
    // another, each hanging only on its own bytes: nothing is merged across a
    // part's edge (each ends on a break), and no part changes what the engine
    // carries into the next. So each part is built under every value of its
    // bytes, the others at the fresh state's: a message or a lint there is an
    // alarm, and the combination taking each part's largest output on a
    // measure the page's limits count (text pool, items, hotwords, buttons) is
    // the largest of all combinations on it. Built once for each measure,
    // under the item limit (beyond it runs are dropped and the pool
    // undercounts), it bounds every other. Only for side pages, whose ways on
    // are no proof's concern; false when it cannot prove.
    // The flags the builds leave go to `after`.
    bool CheckBlocks(int paragraph, const std::string& carry, std::set<std::string>& after) {
        const std::string base = Place(paragraph, carry);
        constexpr int kMeasures = 4;
        auto measures = [] {
            return std::array<int, kMeasures>{poolUsed, pageItemCount, hotwordCount, buttonCount};
        };
        std::array<std::string, kMeasures> largest;
        largest.fill(base);
        std::string post, signature;
        for (const std::vector<int>& part : liveness_.blocks[paragraph]) {
            Reads reads;
            size_t combinations = 1;
            for (int b : part) {
                reads.push_back({static_cast<size_t>(b), Values(paragraph, b)});
                combinations *= reads.back().second.size();
            }
            if (combinations > kMaxCombinations) return false;
            std::array<int, kMeasures> top;
            top.fill(-1);
            for (size_t n = 0; n < combinations; ++n) {
                const std::string state = Combination(base, reads, n);
                std::vector<std::string> whats = Build(state, -1, 0, post, signature);
                const std::array<int, kMeasures> m = measures();
                if (m[1] >= PAGE_ITEM_LIMIT) return false;
                for (int i = 0; i < kMeasures; ++i)
                    if (m[i] > top[i]) {
                        top[i] = m[i];
                        for (int b : part)
                            SetByte(largest[i], b, StateView(state).Byte(static_cast<size_t>(b)));
                    }
                after.insert(StateView(post).Carried());
                Lints(state, post, signature, true, whats);
                for (const std::string& what : whats) Alarm(paragraph, what, Describe(state));
            }
        }
        for (const std::string& state : largest) {
            const std::vector<std::string> whats = Build(state, -1, 0, post, signature);
            if (pageItemCount >= PAGE_ITEM_LIMIT) return false;
            for (const std::string& what : whats) Alarm(paragraph, what, Describe(state));
        }
        return true;
    }

    // A page has a good ending ahead in every state when, under every
    // combination, some way on by the story's own choices (some roll, some
    // draw, some answer) leads to a page that has: what a way writes is
    // forgotten, since the next page is judged under every value anyway.
    void FindGoodAhead() {
        std::set<int>& good = result_.goodAhead;
        for (const bookc::Ending& e : book_.endings)
            if (e.good) good.insert(e.page);
        for (bool grew = true; grew;) {
            grew = false;
            for (const auto& [paragraph, combos] : waysOn_) {
                if (good.count(paragraph) || combos.empty()) continue;
                const bool every = std::all_of(combos.begin(), combos.end(), [&](const auto& ways) {
                    return std::any_of(ways.begin(), ways.end(),
                                       [&](int16_t t) { return good.count(t) > 0; });
                });
                if (every) grew = good.insert(paragraph).second || grew;
            }
        }
    }

    const Search& search_;
    const bookc::Book& book_;
    const StaticFacts& facts_;
    const Liveness& liveness_;
    Pages& pages_;
    PagesAlone result_;
    std::vector<std::string> carries_;  // result_.carried in the order met
    std::set<std::string> seen_;        // alarms noted: paragraph and wording
    // paragraph -> for each combination, the pages its story ways lead to
    std::map<int, std::vector<std::set<int16_t>>> waysOn_;
};

}  // namespace

PagesAlone CheckPagesAlone(const Search& search, const bookc::Book& book, const StaticFacts& facts,
                           const Liveness& liveness, Pages& pages) {
    return AlonePass(search, book, facts, liveness, pages).Run();
}

}  // namespace explore::detail
