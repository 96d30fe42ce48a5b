#pragma once

#include <cstdint>

// Which page is shown and which page the next rebuild builds. The shell's
// navigation changes this state; the page build and the choices read it.

enum NavMode : int {
    NAV_KEEP = 0,   // a story page when the current page is one, else a side page
    NAV_STORY = 1,  // always a story page: it becomes storyParagraph
    NAV_ASIDE = 2,  // always a side page; storyParagraph is kept
};

// Paragraphs 2 to 7 have fixed roles: the menu opens them.
enum FixedParagraph : int16_t {
    PARAGRAPH_BEGINNING = 2,  // the start of the book
    PARAGRAPH_RESTART = 3,    // the checkpoints saved
    PARAGRAPH_OBJECTIVE = 4,
    PARAGRAPH_CREDITS = 5,
    PARAGRAPH_INFORMATION = 6,  // the objects held; built by code when the book has no text
    PARAGRAPH_HINTS = 7,        // built by code when the book has no text
};

// The pages built by code, as pendingBuiltInPage names them.
enum BuiltInPage : int32_t {
    NO_BUILT_IN_PAGE = 0,
    PAGE_ABOUT = 1,         // the last of the intro sequence: about the book
    PAGE_TITLE = 2,         // the intro's title page
    PAGE_PRESENTS = 3,      // the intro's first page
    PAGE_INSTRUCTIONS = 4,  // what the icon bar's buttons do
    PAGE_VERSION = 6,       // version and support
    PAGE_SOUND = 7,         // the sound setting
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
