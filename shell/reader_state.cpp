#include "shell/reader_state.h"

#include <type_traits>

#include "page/builder.h"
#include "page/line.h"

namespace {

// Every field of the record beside the global it holds, in one list, which
// capture, restore and reset all walk. Each field has its global's type.
template <typename State, typename Visit>
void EachField(State& state, Visit each) {
    auto visit = [&](auto& field, auto& global) {
        static_assert(std::is_same_v<std::remove_cvref_t<decltype(field)>,
                                     std::remove_cvref_t<decltype(global)>>);
        each(field, global);
    };
    visit(state.navigation.currentParagraph, currentParagraph);
    visit(state.navigation.storyParagraph, storyParagraph);
    visit(state.navigation.inStory, inStory);
    visit(state.navigation.pendingBuiltInPage, pendingBuiltInPage);
    visit(state.flags.builderBold, builderBold);
    visit(state.flags.titleMode, titleMode);
    visit(state.flags.skipCount, skipCount);
    visit(state.flags.scannerState, scannerState);
    visit(state.flags.layoutBold, layoutBold);
}

// A field added to the record and not to the list above fails here.
static_assert(sizeof(ReaderState) == sizeof currentParagraph + sizeof storyParagraph +
                                         sizeof inStory + sizeof pendingBuiltInPage +
                                         sizeof builderBold + sizeof titleMode +
                                         sizeof(CarriedFlags::spare) + sizeof skipCount +
                                         sizeof scannerState + sizeof layoutBold);

}  // namespace

ReaderState CaptureReaderState() {
    ReaderState state = {};
    EachField(state, [](auto& field, const auto& global) { field = global; });
    return state;
}

void RestoreReaderState(const ReaderState& state) {
    EachField(state, [](const auto& field, auto& global) { global = field; });
}

void ResetReader() {
    ReaderState state = {};
    state.navigation = {2, 2, 1, 0};
    RestoreReaderState(state);
}
