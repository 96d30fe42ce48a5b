// The SDL2 backend: a real window showing the device's 240x320 screen at an
// integer scale, nearest-neighbour, drawn into the window's own surface (no
// renderer, so no 3D stack), titled and iconed as the program's own window,
// of the program's class. The mouse is the stylus; the arrows,
// Page Up/Down, Home, End, Enter, Tab, Backspace and Escape are the
// handheld's keys; printable characters come from SDL's text input. Space,
// Shift, Ctrl, Alt, the menu key, F2, F3, F10, plus, minus and the wheel go
// to the device's own keys (assist/assist.h). Closing
// the window (or SIGINT/SIGTERM, which SDL turns into a quit request) closes
// the program as a person would. The device clock follows real time; the
// backend sleeps in SDL_WaitEventTimeout until input arrives or the next
// timer is due, or another process sends a request (crossprocess/crossprocess.h).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "device/backend.h"
#include "windows.h"

struct SDL_Window;
union SDL_Event;

namespace sdl {

class Backend : public device::Backend {
   public:
    ~Backend() override;
    // Opens the window, of class `program`, on the desktop that DISPLAY or
    // WAYLAND_DISPLAY names (or the driver SDL_VIDEODRIVER names); false with
    // one line in `error` that says what is wrong and what to do.
    bool Open(int scale, const std::string& program, std::string* error);
    void Close();

    void Pump() override;
    void WaitUntil(bool hasDeadline, uint32_t deadline) override;
    void Present(const gdi::Surface& screen) override;

    // Brings the window to the front (another process asked for it).
    void Raise();
    // Sizes the window to `scale` times the screen.
    void SetScale(int scale);
    // Handles one SDL event as the device's input; public for tests, which
    // push synthetic events.
    void Handle(const SDL_Event& event);
    SDL_Window* Window() const { return window_; }
    int CloseRequests() const { return closeRequests_; }

   private:
    // Where the screen lies in the window: its scale and top-left corner.
    struct Placement {
        int scale = 1, left = 0, top = 0;
    };
    Placement Place() const;
    void FollowRealTime();
    void CloseProgram();
    void ShowProgramWindow();

    SDL_Window* window_ = nullptr;
    uint64_t startTicks_ = 0;
    uint32_t startClock_ = 0;
    bool stylusDown_ = false;
    int pointerX_ = 0, pointerY_ = 0;  // where the mouse last was, screen pixels
    int closeRequests_ = 0;
    std::string title_;     // the window's title as last set
    HICON icon_ = nullptr;  // the window's icon as last set
    // The frame the window shows, and whether the window needs it drawn
    // again all the same (exposed, resized).
    std::vector<uint32_t> shown_;
    bool redraw_ = true;
};

// Maps an SDL key to the handheld's virtual key; 0 for keys it does not have.
uint32_t VirtualKeyFor(int sdlKey);

}  // namespace sdl
