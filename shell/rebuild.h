#pragma once

#include "windows.h"

// Building the page again: what to build is chosen here, at the top of the
// reader, from the navigation state.

// The rebuild: clears the last page (page/layout.h), builds the code-built
// page of paragraph 6 or 7 when the book gives it no text, else the pending
// built-in page, else the current paragraph, then updates the icon bar.
void RebuildPage(HWND window);
// WM_PAINT of the main window: a dirty page is rebuilt, then painted.
void OnPaint(HWND window);
