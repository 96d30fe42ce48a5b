#include "tools/explore/merged_values.h"

#include <algorithm>
#include <string>
#include <unordered_set>
#include <utility>
#include <vector>

#include "base/app_state.h"
#include "book/tables.h"
#include "device/record.h"
#include "shell/navigation.h"
#include "shell/rebuild.h"
#include "shell/window.h"

namespace explore::detail {
namespace {

class MergedCheck {
   public:
    MergedCheck(const Search& search, const StaticFacts& facts, const Liveness& liveness,
                Pages& pages, Findings& findings)
        : search_(search), facts_(facts), liveness_(liveness), pages_(pages), findings_(findings) {}

    // Each page the search built, once for each value its draw can give.
    std::set<int> Run() {
        for (uint32_t index : search_.VisitOrder()) {
            const StateView pre = search_.At(index);
            if (pre.BuiltInPending()) continue;
            const int range = facts_.DrawRange(pre.Page());
            if (!range) CheckState(index, -1, 0);
            for (int value = 0; value < range; ++value) CheckState(index, value, range);
        }
        device::MessageBoxLog().clear();
        return unchecked_;
    }

   private:
    // The bytes the page of kept state `index` reads and its key leaves out,
    // with the values each takes; none when the page is not checked.
    bool Unkept(uint32_t index, std::vector<std::pair<size_t, std::vector<uint8_t>>>& unkept,
                size_t& combinations) {
        const StateView pre = search_.At(index);
        combinations = 1;
        for (int b : liveness_.reads[pre.Page()]) {
            if (search_.Kept(pre, static_cast<size_t>(b))) continue;
            unkept.push_back({static_cast<size_t>(b), search_.ValuesOf(index, b)});
            combinations *= std::max<size_t>(unkept.back().second.size(), 1);
            if (objectTable[b / 2].type == OBJECT_NUMBER || combinations > kMaxCombinations) {
                unchecked_.insert(pre.Page());
                return false;
            }
        }
        return !unkept.empty();
    }

    // Whether the page was built already with the same navigation, slots,
    // draw and bytes it reads.
    bool SeenBefore(const std::string& state, int draw) {
        const StateView view(state);
        std::string key = state.substr(0, StateLayout::kObjects) +
                          state.substr(StateLayout::Slots()) + static_cast<char>(draw + 1);
        for (int b : liveness_.reads[view.Page()])
            key += static_cast<char>(view.Byte(static_cast<size_t>(b)));
        return !built_.insert(key).second;
    }

    void CheckState(uint32_t index, int draw, int drawRange) {
        const std::string pre = search_.StateAt(index);
        const int paragraph = StateView(pre).Page();
        if (paragraph <= 0 || static_cast<size_t>(paragraph) >= liveness_.reads.size()) return;
        std::vector<std::pair<size_t, std::vector<uint8_t>>> unkept;
        size_t combinations;
        if (!Unkept(index, unkept, combinations)) return;
        std::string state = pre;
        for (size_t n = 0; n < combinations; ++n) {
            size_t rest = n;
            for (const auto& [b, values] : unkept) {
                if (values.empty()) continue;
                SetByte(state, b, values[rest % values.size()]);
                rest /= values.size();
            }
            if (state == pre || SeenBefore(state, draw)) continue;
            CheckBuild(index, paragraph, state, draw, drawRange);
        }
    }

    void CheckBuild(uint32_t index, int paragraph, const std::string& state, int draw,
                    int drawRange) {
        Report& report = findings_.report();
        for (const std::string& text : pages_.Build(state, draw, drawRange))
            search_.Note(findings_, report.messages, std::to_string(paragraph) + "|" + text, index,
                         paragraph, "raises \"" + text + "\" (objects as in the state below)",
                         state);
        const std::string post = pages_.Capture();
        if (inStory && pendingBuiltInPage == 0 && post != state) {
            const std::string signature = PageSignature();
            RebuildPage(mainWindow);
            if (PageSignature() != signature)
                search_.Note(findings_, report.unstablePages, std::to_string(paragraph), index,
                             paragraph, kUnstable, state);
        }
        for (int k : pages_.ShownUnheld(state, post))
            search_.Note(
                findings_, report.unheldValues, std::to_string(paragraph) + "|" + std::to_string(k),
                index, paragraph,
                std::string("shows the value of ") + objectTable[k].name + ", which is not held",
                state);
    }

    const Search& search_;
    const StaticFacts& facts_;
    const Liveness& liveness_;
    Pages& pages_;
    Findings& findings_;
    std::set<int> unchecked_;
    // Builds already checked: the page, the carried flags, the slots, the
    // draw and every byte the page reads.
    std::unordered_set<std::string> built_;
};

}  // namespace

std::set<int> CheckMergedStates(const Search& search, const StaticFacts& facts,
                                const Liveness& liveness, Pages& pages, Findings& findings) {
    return MergedCheck(search, facts, liveness, pages, findings).Run();
}

}  // namespace explore::detail
