// The system's window classes: the controls and the message box. The window
// manager registers them from the table in classes.cpp before the program's
// first class.
#pragma once

#include <string>
#include <vector>

#include "windows.h"

namespace controls {

WNDPROC ButtonWindowProc();  // "BUTTON"
WNDPROC EditWindowProc();    // "EDIT"
WNDPROC MessageBoxWindowProc();
void RegisterSystemClasses();

// The message box on screen, for the device's scripts, backends and tests.
bool MessageBoxShowing();
// Taps the button of the topmost box that answers `id` (IDOK, IDYES, ...);
// false when no box is shown or it has no such button.
bool PressMessageBoxButton(int id);
// Closes the topmost box as Escape or closing would.
void CancelMessageBox();
struct MessageBoxButtonInfo {
    int id;  // IDOK, IDYES, ...
    std::u16string label;
    RECT rect;  // screen pixels
};
struct MessageBoxInfo {
    HWND hwnd;
    std::u16string caption;
    std::u16string text;
    int defaultId;  // the answer Enter gives
    std::vector<MessageBoxButtonInfo> buttons;
};
// The topmost box on screen; false when none is shown.
bool ShownMessageBox(MessageBoxInfo* out);

}  // namespace controls
