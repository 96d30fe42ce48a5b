// What every backend shares above the window manager and the chrome: the
// frame a person sees (composed by device::Present, declared with the backend
// contract in device/backend.h), that frame saved as a PNG file, and closing
// the program as a person would. Each backend keeps its own order of closing
// (the headless one when its script ends, a window when it is closed); both
// close the same windows.
#pragma once

#include <string>

namespace device {

// Closes the program as a person would: WM_CLOSE to each of its visible
// top-level windows that has no owner; false when it shows none.
bool PostCloseToProgram();

// Composes the screen and writes it as a PNG file.
bool SaveScreen(const std::string& path);

}  // namespace device
