#pragma once

#include <cstdint>

#include "windows.h"

// The reader's main window (its own class and procedure) on the headless
// device, for tests, benchmarks and fuzz targets that build and paint pages,
// with the application globals (mainWindow, pageRect, clientRect, pageHeight)
// set as start-up sets them. Nothing is built until a test asks.
HWND OpenPageHost();

// A clean start for a test: a fresh page host, no controls, an empty page, the
// book state and the reader's carried state (ResetReader) reset.
void ResetPageState();

// Builds paragraph `p` as a story page through the page rebuild, from a clean
// start of the reader's carried state (reset here, not by the rebuild).
void BuildParagraph(int16_t p);

// Dispatches every message that is ready now (no device time passes).
void DrainMessages();
