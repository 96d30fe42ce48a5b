#pragma once

#include <cstdint>

#include "windows.h"

// The reader's main window on the headless device, for tests, benchmarks and
// fuzz targets that build and paint pages: 240x268 under the navigation bar,
// with a vertical scroll bar, the page fonts, and the application globals
// (mainWindow, appInstance, pageRect, clientRect, pageHeight) set as start-up
// sets them. Its procedure paints pages, draws the owner-drawn buttons and
// hands button clicks to choice resolution once per page.
HWND OpenPageHost();

// A clean start for a test: a fresh page host, no controls, an empty page, the
// book state and the engine's carried-over flags (bold, title, skipping) reset.
void ResetPageState();

// Builds paragraph `p` as a story page through the page rebuild, from a clean
// engine start (bold, title and skipping are reset here, not by the rebuild).
void BuildParagraph(int16_t p);
