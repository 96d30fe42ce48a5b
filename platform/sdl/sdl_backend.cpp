#include "sdl/sdl_backend.h"

#include <SDL.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "chrome/chrome.h"
#include "controls/controls.h"
#include "core/utf.h"
#include "crossprocess/crossprocess.h"
#include "device/backend.h"
#include "device/input.h"
#include "device/record.h"
#include "device/screen.h"
#include "display/display.h"
#include "gdi/surface.h"
#include "wm/wm.h"

namespace sdl {

namespace {
constexpr int kWidth = device::kScreenWidth, kHeight = device::kScreenHeight;
Uint32 wakeEvent = 0;  // pushed by the cross-process waker

Backend* raising = nullptr;
void RaiseCurrent() {
    if (raising) raising->Raise();
}
// Runs on the waker's thread: only pushes an event.
void Wake() {
    SDL_Event e{};
    e.type = wakeEvent;
    SDL_PushEvent(&e);
}

std::string Variable(const char* name) {
    const char* v = std::getenv(name);
    return v ? v : "";
}

// The drivers that show a window on a desktop, from the variables that name
// a display. Left to itself, SDL falls back to drivers that show nothing
// (offscreen, dummy) and the program would run unseen for good.
// SDL_VIDEODRIVER, when set, is the person's own choice and is kept.
bool ChooseDriver(std::string* error) {
    if (!Variable("SDL_VIDEODRIVER").empty()) return true;
    std::string drivers;
    if (!Variable("DISPLAY").empty()) drivers = "x11";
    if (!Variable("WAYLAND_DISPLAY").empty()) drivers += drivers.empty() ? "wayland" : ",wayland";
    if (drivers.empty()) {
        *error = "no display: DISPLAY is not set (run it on a desktop, or with --headless)";
        return false;
    }
    SDL_SetHint(SDL_HINT_VIDEODRIVER, drivers.c_str());
    return true;
}

// Starts SDL's video with stderr caught: the X library prints a server's
// refusal there itself, and the person is to get one line. The text caught is
// written out again when the display opens.
bool StartVideo(std::string* error) {
    std::fflush(stderr);
    const int saved = dup(STDERR_FILENO);
    std::FILE* caught = saved >= 0 ? std::tmpfile() : nullptr;
    if (caught) dup2(fileno(caught), STDERR_FILENO);
    const bool ok = SDL_InitSubSystem(SDL_INIT_VIDEO) == 0;
    std::string said;
    if (caught) {
        std::fflush(stderr);
        dup2(saved, STDERR_FILENO);
        std::rewind(caught);
        char buffer[512];
        size_t n;
        while ((n = std::fread(buffer, 1, sizeof buffer, caught)) > 0) said.append(buffer, n);
        std::fclose(caught);
    }
    if (saved >= 0) close(saved);
    if (ok) {
        std::fwrite(said.data(), 1, said.size(), stderr);
        return true;
    }
    const std::string display = Variable("DISPLAY");
    const std::string wayland = Variable("WAYLAND_DISPLAY");
    const std::string reason = said.substr(0, said.find('\n'));
    if (!Variable("SDL_VIDEODRIVER").empty())
        *error = SDL_GetError();
    else if (!reason.empty())
        *error = "the display " + (display.empty() ? wayland : display) +
                 " refused the connection: " + reason +
                 " (check DISPLAY and XAUTHORITY, or run with --headless)";
    else
        *error = "the display " + (display.empty() ? wayland : display) +
                 " cannot be reached (check " + (display.empty() ? "WAYLAND_DISPLAY" : "DISPLAY") +
                 ", or run with --headless)";
    return false;
}
}  // namespace

uint32_t VirtualKeyFor(int key) {
    switch (key) {
        case SDLK_UP:
            return VK_UP;
        case SDLK_DOWN:
            return VK_DOWN;
        case SDLK_LEFT:
            return VK_LEFT;
        case SDLK_RIGHT:
            return VK_RIGHT;
        case SDLK_PAGEUP:
            return VK_PRIOR;
        case SDLK_PAGEDOWN:
            return VK_NEXT;
        case SDLK_HOME:
            return VK_HOME;
        case SDLK_END:
            return VK_END;
        case SDLK_RETURN:
        case SDLK_KP_ENTER:
            return VK_RETURN;
        case SDLK_TAB:
            return VK_TAB;
        case SDLK_BACKSPACE:
            return VK_BACK;
        case SDLK_ESCAPE:
            return VK_ESCAPE;
        // The device's own keys (assist/assist.h) and the keys held with them.
        case SDLK_SPACE:
            return VK_SPACE;
        case SDLK_LSHIFT:
        case SDLK_RSHIFT:
            return VK_SHIFT;
        case SDLK_LCTRL:
        case SDLK_RCTRL:
            return VK_CONTROL;
        case SDLK_LALT:
        case SDLK_RALT:
            return VK_MENU;
        case SDLK_APPLICATION:
        case SDLK_MENU:
            return VK_APPS;
        case SDLK_F2:
            return VK_F2;
        case SDLK_F3:
            return VK_F3;
        case SDLK_F10:
            return VK_F10;
        case SDLK_EQUALS:
        case SDLK_PLUS:
            return VK_OEM_PLUS;
        case SDLK_KP_PLUS:
            return VK_ADD;
        case SDLK_MINUS:
            return VK_OEM_MINUS;
        case SDLK_KP_MINUS:
            return VK_SUBTRACT;
        default:
            return 0;
    }
}

Backend::~Backend() {
    Close();
}

bool Backend::Open(int scale, const std::string& program, std::string* error) {
    // The window's class (the desktop matches it with the program's launcher)
    // is the program's name, wherever the program was started from.
    setenv("SDL_VIDEO_X11_WMCLASS", program.c_str(), 0);
    setenv("SDL_VIDEO_WAYLAND_WMCLASS", program.c_str(), 0);
    if (!ChooseDriver(error) || !StartVideo(error)) return false;
    // The window's own surface, filled by the processor: without this SDL
    // would back it with an accelerated renderer and load a 3D stack to show
    // a 240x320 picture.
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    window_ = SDL_CreateWindow(program.c_str(), SDL_WINDOWPOS_UNDEFINED, SDL_WINDOWPOS_UNDEFINED,
                               kWidth * scale, kHeight * scale, SDL_WINDOW_SHOWN);
    if (!window_ || !SDL_GetWindowSurface(window_)) {
        *error = SDL_GetError();
        Close();
        return false;
    }
    SDL_StartTextInput();
    startTicks_ = SDL_GetTicks64();
    startClock_ = GetTickCount();
    raising = this;
    device::SetRaiseHandler(RaiseCurrent);
    if (!wakeEvent) wakeEvent = SDL_RegisterEvents(1);
    if (wakeEvent != static_cast<Uint32>(-1)) device::StartCrossProcessWaker(Wake);
    return true;
}

void Backend::Close() {
    if (window_) device::StopCrossProcessWaker();
    if (raising == this) {
        raising = nullptr;
        device::SetRaiseHandler(nullptr);
    }
    if (window_) SDL_DestroyWindow(window_);
    if (window_) {
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        // Nothing else of SDL in use (no audio): let it free everything.
        if (SDL_WasInit(SDL_INIT_EVERYTHING) == 0) SDL_Quit();
    }
    window_ = nullptr;
}

void Backend::FollowRealTime() {
    device::SetClock(startClock_ + static_cast<uint32_t>(SDL_GetTicks64() - startTicks_));
}

void Backend::Pump() {
    FollowRealTime();
    device::PollCrossProcess();
    SDL_Event e;
    while (SDL_PollEvent(&e)) Handle(e);
    FollowRealTime();
}

void Backend::WaitUntil(bool hasDeadline, uint32_t deadline) {
    FollowRealTime();
    // Without a deadline: until input, a quit request or another process's
    // request (the waker pushes an event) arrives.
    int sleep = -1;
    if (hasDeadline) sleep = std::max(static_cast<int32_t>(deadline - GetTickCount()), 0);
    SDL_Event e;
    if (SDL_WaitEventTimeout(&e, sleep)) Handle(e);
    Pump();
}

void Backend::ShowProgramWindow() {
    // The title the navigation bar shows (the program's own window text) and
    // the icon of that window's class, as a desktop's task list shows them.
    const std::string title = utf::ToUtf8(device::NavigationTitle());
    if (!title.empty() && title != title_) {
        SDL_SetWindowTitle(window_, title.c_str());
        title_ = title;
    }
    const HICON icon = device::ProgramIcon();
    if (!icon || icon == icon_) return;
    icon_ = icon;
    const std::shared_ptr<gdi::Surface> picture = device::ProgramIconPicture();
    if (!picture) return;
    SDL_Surface* surface =
        SDL_CreateRGBSurfaceWithFormatFrom(picture->pixels.data(), picture->width, picture->height,
                                           32, picture->width * 4, SDL_PIXELFORMAT_RGB888);
    if (!surface) return;
    SDL_SetWindowIcon(window_, surface);
    SDL_FreeSurface(surface);
}

Backend::Placement Backend::Place() const {
    SDL_Surface* surface = window_ ? SDL_GetWindowSurface(window_) : nullptr;
    if (!surface) return Placement{};
    // The largest whole scale that fits, centred: pixels stay square and sharp.
    const int scale = std::max(std::min(surface->w / kWidth, surface->h / kHeight), 1);
    return Placement{scale, (surface->w - kWidth * scale) / 2, (surface->h - kHeight * scale) / 2};
}

void Backend::Present(const gdi::Surface& screen) {
    SDL_Surface* surface = window_ ? SDL_GetWindowSurface(window_) : nullptr;
    if (!surface || screen.width != kWidth || screen.height != kHeight) return;
    ShowProgramWindow();
    // The program shows a frame each time it waits, and moving the pointer
    // over the window makes it wait again and again: a frame the window
    // already shows is not sent again.
    if (!redraw_ && screen.pixels == shown_) return;
    const Placement at = Place();
    SDL_Surface* frame =
        SDL_CreateRGBSurfaceWithFormatFrom(const_cast<uint32_t*>(screen.pixels.data()), kWidth,
                                           kHeight, 32, kWidth * 4, SDL_PIXELFORMAT_RGB888);
    if (!frame) return;
    SDL_Rect to{at.left, at.top, kWidth * at.scale, kHeight * at.scale};
    // Black around the screen, where the window is larger than it; the
    // screen itself is drawn over whole.
    const SDL_Rect margins[] = {{0, 0, surface->w, to.y},
                                {0, to.y + to.h, surface->w, surface->h - to.y - to.h},
                                {0, to.y, to.x, to.h},
                                {to.x + to.w, to.y, surface->w - to.x - to.w, to.h}};
    for (const SDL_Rect& m : margins)
        if (m.w > 0 && m.h > 0) SDL_FillRect(surface, &m, SDL_MapRGB(surface->format, 0, 0, 0));
    if (at.scale == 1)
        SDL_BlitSurface(frame, nullptr, surface, &to);
    else
        SDL_BlitScaled(frame, nullptr, surface, &to);
    SDL_FreeSurface(frame);
    if (SDL_UpdateWindowSurface(window_) != 0) return;
    shown_ = screen.pixels;
    redraw_ = false;
}

void Backend::SetScale(int scale) {
    if (window_) SDL_SetWindowSize(window_, kWidth * scale, kHeight * scale);
}

void Backend::Raise() {
    if (window_) SDL_RaiseWindow(window_);
}

void Backend::CloseProgram() {
    ++closeRequests_;
    // A message box on screen is cancelled first, as a person would.
    if (controls::MessageBoxShowing()) controls::CancelMessageBox();
    const bool any = device::PostCloseToProgram();
    // A program that shows no window, or keeps running after being closed
    // twice, is asked to quit.
    if (!any || closeRequests_ > 2) PostQuitMessage(0);
}

void Backend::Handle(const SDL_Event& e) {
    // Window pixels to screen pixels.
    const Placement at = Place();
    auto clampX = [&](int x) {
        return std::clamp((x - at.left) / std::max(at.scale, 1), 0, kWidth - 1);
    };
    auto clampY = [&](int y) {
        return std::clamp((y - at.top) / std::max(at.scale, 1), 0, kHeight - 1);
    };
    switch (e.type) {
        case SDL_QUIT:
            CloseProgram();
            break;
        case SDL_WINDOWEVENT:
            if (e.window.event == SDL_WINDOWEVENT_CLOSE) CloseProgram();
            // Shown, exposed, resized, restored: what the window showed may
            // be gone, so the next frame is drawn whole. (The pointer coming
            // and going does not touch the window.)
            if (e.window.event != SDL_WINDOWEVENT_ENTER && e.window.event != SDL_WINDOWEVENT_LEAVE)
                redraw_ = true;
            if (e.window.event == SDL_WINDOWEVENT_EXPOSED) device::Present();
            break;
        case SDL_MOUSEBUTTONDOWN:
            if (e.button.button != SDL_BUTTON_LEFT) break;
            stylusDown_ = true;
            device::StylusDown(clampX(e.button.x), clampY(e.button.y));
            break;
        case SDL_MOUSEMOTION:
            pointerX_ = clampX(e.motion.x);
            pointerY_ = clampY(e.motion.y);
            if (stylusDown_) device::StylusMove(pointerX_, pointerY_);
            break;
        case SDL_MOUSEWHEEL: {
            // SDL counts away from the person as positive; the device the other way.
            const int notches =
                e.wheel.direction == SDL_MOUSEWHEEL_FLIPPED ? e.wheel.y : -e.wheel.y;
            if (notches) device::Wheel(pointerX_, pointerY_, notches);
            break;
        }
        case SDL_MOUSEBUTTONUP:
            if (e.button.button != SDL_BUTTON_LEFT || !stylusDown_) break;
            stylusDown_ = false;
            device::StylusUp(clampX(e.button.x), clampY(e.button.y));
            break;
        case SDL_KEYDOWN:
        case SDL_KEYUP:
            if (const uint32_t vk = VirtualKeyFor(e.key.keysym.sym)) {
                if (e.type == SDL_KEYDOWN)
                    device::KeyDown(vk);
                else
                    device::KeyUp(vk);
            }
            break;
        case SDL_TEXTINPUT: {
            // UTF-8 to UTF-16 units, one WM_CHAR each; control characters
            // and the blank come as keys instead (the message loop makes the
            // blank's character).
            bool ok = false;
            for (const char16_t unit : utf::FromUtf8(e.text.text, &ok))
                if (unit > 0x20) device::Char(unit);
            break;
        }
        default:
            break;
    }
}

}  // namespace sdl
