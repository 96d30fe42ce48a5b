#pragma once

#include <cstdint>

#include "windows.h"

// The application's globals: set up at start-up, read by the page code and the
// markup engine. All on the user-interface thread.
extern HINSTANCE appInstance;     // the program's module, for resources and controls
extern HWND mainWindow;           // 0 until the main window exists
extern HWND menuBar;              // the icon bar, 0 when it could not be made
extern HANDLE progressFile;       // the saved progress file, held from start-up to exit
extern uint32_t inputPanelFlags;  // fdwFlags of the input panel last seen
extern int32_t pageHeight;        // height of the visible page area, in pixels
extern RECT clientRect;           // client rectangle read right after the window was made
extern RECT pageRect;             // client rectangle read while the window was being made
extern uint8_t soundOn;           // the sound setting: book sounds play when set
