// The device runs on one backend: something that delivers the person's input,
// lets time pass and shows the screen. The window manager calls the current
// backend when its queue is empty. Backends (headless, SDL, ...) are siblings
// behind this contract; the process entry, or a test, installs one.
#pragma once

#include <cstdint>

namespace gdi {
struct Surface;
}

namespace device {

class Backend {
   public:
    virtual ~Backend() = default;
    // Moves input that has arrived from outside into the device's input queue.
    virtual void Pump() = 0;
    // Called when nothing is ready: blocks until input arrives or, when
    // hasDeadline is set, until the device clock reaches deadline.
    virtual void WaitUntil(bool hasDeadline, uint32_t deadline) = 0;
    // Shows a finished frame of the screen.
    virtual void Present(const gdi::Surface& screen) = 0;
};

// The backend in use. Calling it with none installed is a fault of the
// program's set-up and stops the process.
Backend& CurrentBackend();
// Installs a backend (null: none). The caller keeps ownership.
void SetBackend(Backend* backend);

// Composes every window onto the screen and presents it through the backend.
// Defined in display/, above the window manager and the chrome it composes.
void Present();

// Runs on every composed screen before it is shown or saved: the device's
// own additions read the screen there and draw over it (the keyboard's focus
// ring, the high-contrast look). None by default. Defined with Present().
using FrameHook = void (*)(gdi::Surface& screen);
void SetFrameHook(FrameHook hook);

}  // namespace device
