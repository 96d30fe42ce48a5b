#include "web/backend.h"

#include <emscripten.h>

#include <algorithm>
#include <string>

#include "chrome/chrome.h"
#include "controls/controls.h"
#include "device/input.h"
#include "device/record.h"
#include "device/screen.h"
#include "display/display.h"
#include "entry/dump.h"
#include "gdi/surface.h"

// The page's side of the backend (library.js, which hands over to app.js).
extern "C" {
double fv_now();
int fv_clock_start();
int fv_run_start();
int fv_peek();
int fv_peek_tick();
int fv_next_event(int* event);
void fv_wait(int ms);
void fv_present(const uint32_t* pixels, int width, int height);
void fv_answer(const char* text);
}

namespace web {
namespace {

// What the page queues: a kind, its values and the device tick it happened at
// (app.js writes the same codes): input (a wheel's code: its notches, towards
// the person positive), a request to close the program, and the tests'
// requests for the screen dump (code 1: without forgetting the logs) and the
// menu bar. Only input has a tick; the others take 0.
enum Event {
    kStylusDown = 1,
    kStylusMove,
    kStylusUp,
    kKeyDown,
    kKeyUp,
    kChar,
    kClose,
    kDump,
    kMenuBar,
    kWheel
};

// The menu bar's buttons, one line each: "command left top right bottom
// enabled hidden" (for tests, which tap them where a device script would).
std::string MenuBarLines() {
    std::string out;
    for (const device::MenuBarButtonInfo& b : device::MenuBarButtons()) {
        out += std::to_string(b.command) + ' ' + std::to_string(b.rect.left) + ' ' +
               std::to_string(b.rect.top) + ' ' + std::to_string(b.rect.right) + ' ' +
               std::to_string(b.rect.bottom) + ' ' + (b.enabled ? '1' : '0') + ' ' +
               (b.hidden ? '1' : '0') + '\n';
    }
    return out;
}

constexpr int kWidth = device::kScreenWidth, kHeight = device::kScreenHeight;

}  // namespace

Backend::Backend() : virtualClock_(fv_clock_start() >= 0) {
    device::SetClock(static_cast<uint32_t>(virtualClock_ ? fv_clock_start() : fv_run_start()));
}

void Backend::MoveClockTo(uint32_t tick) {
    if (static_cast<int32_t>(tick - GetTickCount()) > 0) device::SetClock(tick);
}

void Backend::CloseProgram() {
    ++closeRequests_;
    // As a person closes it: a message box on screen is cancelled, then the
    // program's windows are sent WM_CLOSE; one that shows none, or keeps
    // running after two requests, is asked to quit.
    if (controls::MessageBoxShowing()) controls::CancelMessageBox();
    const bool any = device::PostCloseToProgram();
    if (!any || closeRequests_ > 2) PostQuitMessage(0);
}

void Backend::Pump() {
    int e[5];
    auto x = [&] { return std::clamp(e[1], 0, kWidth - 1); };
    auto y = [&] { return std::clamp(e[2], 0, kHeight - 1); };
    // Requests wait until the program has done what the input before them
    // asked (WaitUntil answers them).
    // Input waits until the clock has reached its tick (virtual clocks aside).
    for (int next = fv_peek(); next && next != kDump && next != kMenuBar; next = fv_peek()) {
        if (!virtualClock_ &&
            static_cast<int32_t>(static_cast<uint32_t>(fv_peek_tick()) - GetTickCount()) > 0)
            break;
        fv_next_event(e);
        switch (e[0]) {
            case kStylusDown:
                device::StylusDown(x(), y());
                break;
            case kStylusMove:
                device::StylusMove(x(), y());
                break;
            case kStylusUp:
                device::StylusUp(x(), y());
                break;
            case kKeyDown:
                device::KeyDown(static_cast<uint32_t>(e[3]));
                break;
            case kKeyUp:
                device::KeyUp(static_cast<uint32_t>(e[3]));
                break;
            case kChar:
                device::Char(static_cast<char16_t>(e[3]));
                break;
            case kClose:
                CloseProgram();
                break;
            case kWheel:
                device::Wheel(x(), y(), e[3]);
                break;
            default:
                break;
        }
    }
}

void Backend::Answer() {
    int e[5];
    fv_next_event(e);
    if (e[0] == kMenuBar) {
        fv_answer(MenuBarLines().c_str());
    } else if (e[3]) {
        // A look that leaves the logs the next dump lists as they are.
        const auto boxes = device::MessageBoxLog();
        const auto sounds = device::SoundLog();
        fv_answer(device::DumpScreen().c_str());
        device::MessageBoxLog() = boxes;
        device::SoundLog() = sounds;
    } else {
        fv_answer(device::DumpScreen().c_str());
    }
}

void Backend::WaitUntil(bool hasDeadline, uint32_t deadline) {
    int next = fv_peek();
    if (next == kDump || next == kMenuBar) {
        Answer();  // the program has nothing left to do: the screen is settled
        return;
    }
    if (virtualClock_) {
        WaitVirtual(next, hasDeadline, deadline);
    } else {
        // The clock moves only here, from one event or timer to the next, so
        // that a run is the same again from its start tick, its record and
        // its input's ticks (what the page journals): a timer due before an
        // input's tick fires first, however late the browser woke.
        if (!next) {
            const int ms =
                hasDeadline
                    ? std::max(static_cast<int32_t>(deadline - static_cast<uint32_t>(fv_now())), 0)
                    : -1;
            fv_wait(ms);
            next = fv_peek();
        }
        // A request (tick 0) needs no time to pass.
        const uint32_t tick = next ? static_cast<uint32_t>(fv_peek_tick()) : 0;
        if (hasDeadline && (!next || (tick && static_cast<int32_t>(deadline - tick) <= 0)))
            MoveClockTo(deadline);
        else if (tick)
            MoveClockTo(tick);
    }
    Pump();
}

void Backend::WaitVirtual(int next, bool hasDeadline, uint32_t deadline) {
    // Without a deadline: until the page queues an event.
    int ms = -1;
    if (hasDeadline) ms = std::max(static_cast<int32_t>(deadline - GetTickCount()), 0);
    if (hasDeadline) {
        // The virtual clock stands still while the program waits: the real
        // time already spent waiting for this deadline counts.
        if (deadline != waitDeadline_ || !waiting_) {
            waiting_ = true;
            waitDeadline_ = deadline;
            waitSince_ = fv_now();
        }
        ms = std::max(ms - static_cast<int>(fv_now() - waitSince_), 0);
    }
    if (!next) fv_wait(ms);
    // The wait ran out: the time the program waited for has now come.
    if (hasDeadline && !fv_peek()) {
        device::SetClock(deadline);
        waiting_ = false;
    }
}

void Backend::Present(const gdi::Surface& screen) {
    if (screen.width != kWidth || screen.height != kHeight) return;
    // The canvas takes bytes R, G, B, A: as little-endian words, 0xAABBGGRR.
    rgba_.resize(screen.pixels.size());
    for (size_t i = 0; i < rgba_.size(); ++i) {
        const uint32_t p = screen.pixels[i];
        rgba_[i] = 0xFF000000u | ((p & 0xFFu) << 16) | (p & 0xFF00u) | ((p >> 16) & 0xFFu);
    }
    fv_present(rgba_.data(), screen.width, screen.height);
}

}  // namespace web
