// Each page alone: every page with text built under every value of the
// bytes its markup reads, with every set of carried flags a page can start
// with, so what no combination raises no state a reader reaches does; the
// story's ways found there feed the checkpoint proof.
#include <algorithm>
#include <array>
#include <cstring>
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
#include "page/layout.h"
#include "script/choice.h"
#include "script/engine.h"
#include "script/hotwords.h"
#include "shell/navigation.h"
#include "shell/rebuild.h"
#include "shell/window.h"
#include "tools/explore/search.h"

namespace explore::detail {
namespace {

// The list an alarm of a page built alone would belong to, by its wording.
std::string AlarmKind(const std::string& what) {
    if (what.rfind("raises", 0) == 0) return "messages";
    if (what.rfind("no way on", 0) == 0) return "deadEnds";
    if (what.rfind("chance hotword", 0) == 0) return "impossibleOutcomes";
    if (what == kUnstable) return "unstablePages";
    return "unheldValues";
}

}  // namespace

// Every value a page built alone meets in byte `b`: a held byte of an object
// every way into the page holds is held.
std::vector<uint8_t> Explorer::AloneValues(int paragraph, int b, uint8_t start) const {
    if (b % 2 == 0 && b / 2 < 64 && (liveness_.mustHeld[paragraph] >> (b / 2) & 1)) return {1};
    return EveryValue(b, start, 256);
}

// Builds the page of `state` alone, its draw forced when it has one, and
// lists the messages it raises and the chance outcomes its hotwords never
// give; `post` receives the state the build left, `signature` what it shows.
std::vector<std::string> Explorer::BuildAlone(const std::string& state, int draw, int drawRange,
                                              std::string& post, std::string& signature) {
    std::vector<std::string> whats;
    Restore(state, snapshots_);
    device::MessageBoxLog().clear();
    if (draw >= 0) ForceRoll(drawRange, draw + 1);
    RebuildPage(mainWindow);
    for (const device::MessageBoxRecord& m : device::MessageBoxLog())
        whats.push_back("raises \"" + device::Narrow(m.text) + "\"");
    signature = PageSignature();
    post = Capture(snapshots_);
    for (int i = 0; i < hotwordCount && PageScanned(); ++i) {
        const HotwordRecord& r = hotwordTable[i];
        if (!ChanceRange(r.kind)) continue;
        const std::string never = NeverComesUp(r);
        if (!never.empty()) whats.push_back(never);
    }
    return whats;
}

// The two lints on a page built alone from `state` (leaving `post`): a value
// shown of an object not held and, on a story page, other text or choices
// when built again with no choice taken.
void Explorer::AloneLints(const std::string& state, const std::string& post,
                          const std::string& signature, bool side,
                          std::vector<std::string>& whats) {
    for (int k : ShownUnheld(state, post))
        whats.push_back(std::string("shows the value of ") + objectTable[k].name +
                        ", which is not held");
    if (side || post == state) return;
    Restore(post, snapshots_);
    RebuildPage(mainWindow);
    if (PageSignature() != signature) whats.push_back(kUnstable);
}

// A page too big to build under every combination but made of independent
// blocks (liveness.h) builds as its parts' outputs one after another, each
// hanging only on its own bytes: nothing is merged across a part's edge (each
// ends on a break), and no part changes what the engine carries into the
// next. So each part is built under every value of its bytes, the others at
// `base`: a message or a lint there is an alarm, and the combination taking
// each part's largest output on a measure the page's limits count (text
// pool, items, hotwords, buttons) is the largest of all combinations on it.
// Built once for each measure, under the item limit (beyond it runs are
// dropped and the pool undercounts), it bounds every other. Only for side
// pages, whose ways on are no proof's concern; false when it cannot prove.
bool Explorer::CheckBlocksAlone(int paragraph, const std::string& base,
                                std::vector<std::pair<std::string, std::string>>& alarms,
                                std::set<std::string>& carriesAfter) {
    const size_t objects = StateLayout().Objects();
    constexpr int kMeasures = 4;
    auto measures = [] {
        return std::array<int, kMeasures>{poolUsed, pageItemCount, hotwordCount, buttonCount};
    };
    std::array<std::string, kMeasures> largest;
    largest.fill(base);
    std::string post, signature;
    for (const std::vector<int>& part : liveness_.blocks[paragraph]) {
        std::vector<std::vector<uint8_t>> values;
        size_t combinations = 1;
        for (int b : part) {
            values.push_back(AloneValues(paragraph, b, static_cast<uint8_t>(base[objects + b])));
            combinations *= values.back().size();
        }
        if (combinations > kMaxCombinations) return false;
        std::array<int, kMeasures> top;
        top.fill(-1);
        for (size_t n = 0; n < combinations; ++n) {
            std::string state = base;
            size_t rest = n;
            for (size_t i = 0; i < part.size(); ++i) {
                state[objects + part[i]] = static_cast<char>(values[i][rest % values[i].size()]);
                rest /= values[i].size();
            }
            std::vector<std::string> whats = BuildAlone(state, -1, 0, post, signature);
            const std::array<int, kMeasures> m = measures();
            if (m[1] >= PAGE_ITEM_LIMIT) return false;
            for (int i = 0; i < kMeasures; ++i)
                if (m[i] > top[i]) {
                    top[i] = m[i];
                    for (int b : part) largest[i][objects + b] = state[objects + b];
                }
            carriesAfter.insert(CarriedOf(post));
            AloneLints(state, post, signature, true, whats);
            for (std::string& what : whats) alarms.push_back({what, Describe(state)});
        }
    }
    for (const std::string& state : largest) {
        std::vector<std::string> whats = BuildAlone(state, -1, 0, post, signature);
        if (pageItemCount >= PAGE_ITEM_LIMIT) return false;
        for (std::string& what : whats) alarms.push_back({what, Describe(state)});
    }
    return true;
}

// Each page with text built alone, as a story page (a description page as a
// side page), under every combination of every value of the bytes its markup
// reads, with every set of the markup engine's carried flags a page can start
// with: those the search met, all clear, and every set a page built here
// leaves (a fixed point). A build depends on nothing else but the checkpoint
// slots (none saved here) and a draw (each value forced), so what no
// combination raises, no state does: no message, no story page without a way
// on, no value shown unheld, no story page changing when built again, no
// chance outcome that never comes up.
void Explorer::CheckPagesAlone() {
    if (options_.exact) return;
    const size_t objects = StateLayout().Objects();
    std::set<std::string> carried;  // every set of carried flags a page can start with
    for (uint32_t index : visitedOrder_) {
        const std::string s = StateAt(index);
        if (!ReaderOf(s).navigation.pendingBuiltInPage) carried.insert(CarriedOf(s));
    }
    std::string fresh = StateAt(0);
    for (size_t at = StateLayout().Slots(); at < fresh.size(); ++at) fresh[at] = 0;
    carried.insert(CarriedOf(fresh));
    std::vector<std::string> carries(carried.begin(), carried.end());
    auto carryOn = [&](const std::string& carry) {
        if (carried.insert(carry).second) carries.push_back(carry);
    };
    // The merged states' check judged the pages a search reached; here every
    // page is judged alone, which decides for those it covers.
    const std::set<int> mergedUnchecked = std::move(uncheckedPages_);
    uncheckedPages_.clear();
    std::set<std::string> seen;
    // paragraph -> for each combination, the pages its story ways lead to
    std::map<int, std::vector<std::set<int16_t>>> waysOn;
    std::set<int> considered;
    for (size_t from = 0; from < carries.size();) {
        const size_t to = carries.size();
        for (int paragraph : facts_.withText) {
            if (paragraph < 2 || static_cast<size_t>(paragraph) >= liveness_.reads.size()) continue;
            const bool side = liveness_.side[paragraph];
            if (paragraph < 8 && !side && paragraph != 2) continue;
            considered.insert(paragraph);
            if (uncheckedPages_.count(paragraph)) continue;
            std::vector<std::pair<size_t, std::vector<uint8_t>>> read;
            size_t combinations = 1;
            for (int b : liveness_.reads[paragraph]) {
                const std::vector<uint8_t> values =
                    AloneValues(paragraph, b, static_cast<uint8_t>(fresh[objects + b]));
                combinations *= values.size();
                read.push_back({objects + static_cast<size_t>(b), values});
            }
            const int drawRange = facts_.DrawRange(paragraph);
            auto place = [&](const std::string& state, const std::string& carry) {
                const int16_t page = static_cast<int16_t>(paragraph);
                return AtPage(state, page, side ? 2 : page, !side, carry);
            };
            auto alarm = [&](const std::string& what, const std::string& under) {
                if (seen.insert(std::to_string(paragraph) + what).second)
                    report_.pageAlarms.push_back({paragraph, what, under, {}, AlarmKind(what)});
            };
            if (std::any_of(read.begin(), read.end(), [&](const auto& r) {
                    return objectTable[(r.first - objects) / 2].type == OBJECT_NUMBER;
                })) {
                uncheckedPages_.insert(paragraph);
                continue;
            }
            if (combinations > kMaxCombinations) {
                bool proven = side && !drawRange && !facts_.saves.count(paragraph);
                for (size_t c = from; c < to && proven; ++c) {
                    std::vector<std::pair<std::string, std::string>> alarms;
                    std::set<std::string> carriesAfter;
                    proven =
                        CheckBlocksAlone(paragraph, place(fresh, carries[c]), alarms, carriesAfter);
                    for (const auto& [what, under] : alarms) alarm(what, under);
                    for (const std::string& carry : carriesAfter) carryOn(carry);
                }
                if (!proven) uncheckedPages_.insert(paragraph);
                continue;
            }
            std::vector<std::set<int16_t>>& ways = waysOn[paragraph];
            for (size_t c = from; c < to; ++c)
                for (size_t n = 0; n < combinations; ++n) {
                    ways.emplace_back();
                    for (int draw = drawRange ? 0 : -1; draw < drawRange; ++draw) {
                        std::string state = place(fresh, carries[c]);
                        size_t rest = n;
                        for (const auto& [at, values] : read) {
                            state[at] = static_cast<char>(values[rest % values.size()]);
                            rest /= values.size();
                        }
                        std::string post, signature;
                        std::vector<std::string> whats =
                            BuildAlone(state, draw, drawRange, post, signature);
                        carryOn(CarriedOf(post));
                        for (const Action& a : side ? std::vector<Action>() : Actions()) {
                            if (!a.story) continue;
                            Restore(post, snapshots_);
                            Perform(a.step);
                            if (inStory && pendingBuiltInPage == 0)
                                ways.back().insert(currentParagraph);
                        }
                        Restore(post, snapshots_);
                        if (whats.empty() && paragraph >= 8 && !side &&
                            !facts_.endings.count(paragraph)) {
                            bool wayOn = false;
                            for (const Action& a : Actions()) wayOn = wayOn || a.wayOn;
                            if (!wayOn)
                                whats.push_back(
                                    "no way on but the menu, and the book does not mark it an "
                                    "ending");
                        }
                        AloneLints(state, post, signature, side, whats);
                        for (const std::string& what : whats) alarm(what, Describe(state));
                    }
                }
        }
        from = to;
    }
    // The objects certainly held trust a page's top-level tags to run: not
    // when a page can start while the engine is still skipping.
    for (const std::string& carry : carries) {
        std::string state = fresh;
        SetCarried(state, carry);
        Restore(state, snapshots_);
        if (skipCount != 0) uncheckedPages_.insert(considered.begin(), considered.end());
    }
    device::MessageBoxLog().clear();
    for (int paragraph : mergedUnchecked)
        if (!considered.count(paragraph)) uncheckedPages_.insert(paragraph);
    report_.pagesChecked = considered.size();
    for (int paragraph : considered) report_.pagesChecked -= uncheckedPages_.count(paragraph);
    mergedUnchecked_ = mergedUnchecked;

    // A page has a good ending ahead in every state when, under every
    // combination, some way on by the story's own choices (some roll, some
    // draw, some answer) leads to a page that has: what a way writes is
    // forgotten, since the next page is judged under every value anyway.
    std::set<int> hopeful;
    for (const bookc::Ending& e : book_.endings)
        if (e.good) hopeful.insert(e.page);
    for (bool grew = true; grew;) {
        grew = false;
        for (const auto& [paragraph, combos] : waysOn) {
            if (hopeful.count(paragraph) || combos.empty()) continue;
            const bool every = std::all_of(combos.begin(), combos.end(), [&](const auto& targets) {
                return std::any_of(targets.begin(), targets.end(),
                                   [&](int16_t t) { return hopeful.count(t) > 0; });
            });
            if (every) grew = hopeful.insert(paragraph).second || grew;
        }
    }
    JudgeCheckpoints(hopeful, carried, fresh);
}
}  // namespace explore::detail
