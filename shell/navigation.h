#pragma once

#include <cstdint>

#include "base/navigation_state.h"

// How the reader moves between pages. Navigation never builds a page: it
// changes the navigation state, marks the page dirty and has the main window
// repainted, and the paint rebuilds the page.

void GoToParagraph(int16_t paragraph, int mode);
void ShowSideParagraph(int16_t paragraph);
void ShowBuiltInPage(int32_t page);
// Shows or hides the icon bar's return and arrow buttons for the page just built.
void UpdateIconBar(int returnVisible, int nextMode, int prevMode);
