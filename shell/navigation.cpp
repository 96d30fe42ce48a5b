#include "shell/navigation.h"

#include "aygshell.h"
#include "base/app_state.h"
#include "shell/commands.h"
#include "windows.h"

namespace {

// Every navigation ends here: the page is rebuilt and painted at once, from
// its top, by the paint this forces.
void ShowChangedPage() {
    scrollOffset = 0;
    pageDirty = 1;
    InvalidateRect(mainWindow, nullptr, TRUE);
    UpdateWindow(mainWindow);
}

void SetButtonState(int command, bool shown) {
    SendMessageW(menuBar, TB_SETSTATE, static_cast<WPARAM>(command),
                 shown ? TBSTATE_ENABLED : TBSTATE_HIDDEN);
}

}  // namespace

void GoToParagraph(int16_t paragraph, int mode) {
    if (mode == NAV_STORY || (inStory && mode != NAV_ASIDE)) {
        storyParagraph = paragraph;
        currentParagraph = paragraph;
        inStory = 1;
        ShowChangedPage();
    } else {
        inStory = 0;
        ShowSideParagraph(paragraph);
    }
}

void ShowSideParagraph(int16_t paragraph) {
    inStory = 0;
    currentParagraph = paragraph;
    ShowChangedPage();
}

void ShowBuiltInPage(int32_t page) {
    pendingBuiltInPage = page;
    ShowChangedPage();
}

// The blank buttons hold the places of the hidden arrows, so the other
// buttons keep theirs.
void UpdateIconBar(int returnVisible, int nextMode, int prevMode) {
    SetButtonState(CMD_RETURN, returnVisible);
    SetButtonState(CMD_RETURN_BLANK, !returnVisible);
    SetButtonState(CMD_NEXT, nextMode != 0);
    SetButtonState(CMD_PREVIOUS, prevMode != 0);
    SetButtonState(CMD_PREVIOUS_BLANK, prevMode == 0);
}
