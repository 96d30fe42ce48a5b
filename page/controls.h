#pragma once

#include <cstdint>

#include "windows.h"

// The child windows of a page: answer edit boxes, owner-drawn hotword buttons
// and the built-in pages' push buttons. Each is created hidden (or unplaced)
// while the page is built, with a record and the page item that places it;
// the layout moves and shows them at every paint; the next rebuild destroys them.

struct EditBoxRecord {
    int16_t width;
    int16_t height;
    int16_t creationY;
    int32_t creationX;
    int16_t maxChars;      // the answer is read with room for maxChars + 1
    WNDPROC previousProc;  // the edit control's own procedure, under EditBoxProc
};

constexpr int BUTTON_CAPTION_SIZE = 200;  // 199 characters and a terminator

struct ButtonRecord {
    int16_t width;
    int16_t height;
    int16_t creationY;
    int32_t creationX;
    int16_t textLength;  // 0 for an image button
    uint8_t bold;        // drawn in boldFont when set
    HBITMAP bitmap;      // image buttons: deleted at the next rebuild
    char16_t caption[BUTTON_CAPTION_SIZE];
};

constexpr int CONTROL_SLOTS = 100;  // controls of each kind a page can hold
constexpr int16_t EDIT_BOX_ID_BASE = 4000;
constexpr int16_t HOTWORD_ID_BASE = 5000;

extern EditBoxRecord editBoxRecords[CONTROL_SLOTS];
extern HWND editBoxWindows[CONTROL_SLOTS];
extern int16_t editBoxCount;
extern ButtonRecord buttonRecords[CONTROL_SLOTS];
extern HWND buttonWindows[CONTROL_SLOTS];
extern int16_t buttonCount;

// An answer box taking at most `maxChars` characters: identifier 4000 + n.
int16_t AddEditBox(int16_t maxChars);
// A text button; ids below 5000 are platform push buttons (built-in pages).
void AddTextButton(const char* caption, int16_t id);
// A button showing book image `imageIndex`.
void AddImageButton(int16_t imageIndex, int16_t id);
// A hotword button showing `caption`: identifier 5000 + n.
int16_t AddHotwordButton(const char* caption);
// A hotword button showing book image `imageIndex`: identifier 5000 + n.
int16_t AddHotwordImageButton(int16_t imageIndex);
// WM_DRAWITEM of the main window: paints an owner-drawn hotword button.
void DrawPageButton(const DRAWITEMSTRUCT* item);

// The subclass procedure of every answer box (the window procedure's code).
LRESULT EditBoxProc(HWND box, UINT message, WPARAM wParam, LPARAM lParam);
