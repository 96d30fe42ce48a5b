// The window's backend is built as a module of its own (from sdl/) that the
// process entry loads only when a window is asked for: a headless run then
// maps none of the window stack (SDL, the display server's libraries, audio).
// These are the module's entry points, looked up by name.
#pragma once

#include <string>

#include "device/backend.h"

namespace device {

// Opens the window at `scale` and installs the sound output; null, with the
// reason in `error`, when no window can be opened.
using OpenWindowFunction = Backend* (*)(int scale, const char* title, std::string* error);
constexpr const char* kOpenWindow = "FernvaleOpenWindow";
// Shows the screen at another scale: the window takes its new size.
using ScaleWindowFunction = void (*)(int scale);
constexpr const char* kScaleWindow = "FernvaleScaleWindow";
// Removes the sound output and closes the window.
using CloseWindowFunction = void (*)();
constexpr const char* kCloseWindow = "FernvaleCloseWindow";

}  // namespace device
