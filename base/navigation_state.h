#pragma once

#include <cstdint>

// Which page is shown and which page the next rebuild builds. The shell's
// navigation changes this state; the page build and the choices read it.

enum NavMode : int {
    NAV_KEEP = 0,   // a story page when the current page is one, else a side page
    NAV_STORY = 1,  // always a story page: it becomes storyParagraph
    NAV_ASIDE = 2,  // always a side page; storyParagraph is kept
};

// The part of it carried from page to page, as one record (shell/reader_state.h).
struct NavigationState {
    int16_t currentParagraph;
    int16_t storyParagraph;
    int32_t inStory;
    int32_t pendingBuiltInPage;
};

extern int16_t currentParagraph;    // paragraph built at the next rebuild
extern int16_t storyParagraph;      // the last story page: saved at exit, the return arrow's target
extern int32_t inStory;             // 1: the page shown is a story page
extern int32_t pendingBuiltInPage;  // built-in page to build at the next rebuild, 0 for none
extern int32_t pageDirty;           // rebuild at the next paint
extern int32_t scrollOffset;        // vertical origin of the page: 0 or negative
extern int32_t choiceTaken;         // a choice was handed to resolution on this page
extern int32_t infoPageShowing;     // the code-built information page is showing
extern int32_t soundPageShowing;    // the sound settings page is showing
