// What every backend shares above the window manager and the chrome: the
// frame a person sees (composed by device::Present, declared with the backend
// contract in device/backend.h) and closing
// the program as a person would. Each backend keeps its own order of closing
// (the headless one when its script ends, a window when it is closed); both
// close the same windows.
#pragma once

namespace gdi {
struct Surface;
}

namespace device {

// Closes the program as a person would: WM_CLOSE to each of its visible
// top-level windows that has no owner; false when it shows none.
bool PostCloseToProgram();

// Composes the frame a person sees: every window and the chrome, then what
// the device draws over them.
gdi::Surface& ComposeFrame();

}  // namespace device
