#pragma once

#include <cstdint>

#include "windows.h"

// Painting a page: every paint lays the whole item list out again from its top
// at the current scroll offset. A dirty page is rebuilt before (shell/rebuild.h).

extern int averageCharWidth;   // tmAveCharWidth of the window's font, read at each rebuild
extern int tabWidth;           // 2 x averageCharWidth
extern HFONT normalFont;       // weight 300
extern HFONT boldFont;         // weight 700
extern int lastContentHeight;  // page height at the last scroll bar update; 0 after a rebuild
extern int lastPageHeight;     // pageHeight at the last scroll bar update
extern int scrollMax;          // scroll range maximum last set; 400 at start
extern int repaintPending;     // the scroll position was reset while scrolled
extern int inputPanelShown;    // the input panel state last asked for

// Lays the page out, draws it, updates the scroll bar and shows the input
// panel exactly while the page has an answer box.
void PaintPage(HWND window);
// The first half of the rebuild: destroys the last page's controls, clears the
// per-page flags, resets the scroll position, measures the window's font and
// empties the builder and the pending line.
void ClearPage(HWND window);
void CreatePageFonts(HDC dc);
// Deletes the fonts and posts the quit message (WM_DESTROY of the main window).
void ReleasePageFonts();
