#pragma once

#include <cstdint>

#include "windows.h"

// The pending line: what goes on the line being filled, drawn and placed when
// the line is complete. Shared layout state of the painter.

struct LineEntry {
    int32_t type;    // page item code: 1 text, 5/6 bold, 10 tab, 13 picture, 14 edit box, 15 button
    int16_t count;   // text: characters; picture: bitmap id; controls: their number
    int16_t width;   // room the entry takes, in pixels
    char16_t* text;  // text entries: inside lineText
};

constexpr int PENDING_LINE_SLOTS = 10;
constexpr int LINE_TEXT_SIZE = 200;
constexpr int MEASURE_BUFFER_SIZE = 500;

extern LineEntry pendingLine[PENDING_LINE_SLOTS];
extern int16_t pendingCount;
extern char16_t lineText[LINE_TEXT_SIZE];
extern int16_t lineTextUsed;
extern char16_t measureBuffer[MEASURE_BUFFER_SIZE];
extern int penX;
extern int penY;
extern int lineHeight;
extern int textLineHeight;
extern int leftMargin;
extern int rightLimit;
extern int16_t alignment;
extern int layoutBold;
extern int drawBold;
extern int pageHasEditBox;

// How many characters of `src` fit in `width`, breaking only after a space.
// On success `width` becomes their width and `lineHeight` is raised to their
// height. `title` measures in boldFont.
int FitTextToWidth(char16_t* dst, const char* src, int& lineHeight, int& width, HDC dc, bool title);
void FlushLine(HWND window, HDC dc);
void InvertArea(HDC dc, const RECT& rect);

// Ends the current line: flushes what is pending, moves penY down by
// `advance` and starts the next line at the left margin.
void EndLine(HWND window, HDC dc, int advance);
// Adds an entry to the pending line; text entries copy `count` characters of
// `text` into lineText. A line that would outgrow the pending line ends first.
void AppendLineEntry(HWND window, HDC dc, int32_t type, int16_t count, int width,
                     const char16_t* text = nullptr);
