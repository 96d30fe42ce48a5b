// Window procedures of the system's control classes, registered by the window
// manager under their class names.
#pragma once

#include "windows.h"

namespace controls {

WNDPROC ButtonWindowProc();  // "BUTTON"
WNDPROC EditWindowProc();    // "EDIT"
WNDPROC MessageBoxWindowProc();

}  // namespace controls
