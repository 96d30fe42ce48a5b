// Shared helpers of the window manager tests: a recording window procedure,
// expected-message tables with one comparison that names the first difference,
// and loops that drain the queue on the virtual clock.
#pragma once

#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "device/input.h"
#include "device/record.h"
#include "gdi/surface.h"
#include "headless/headless.h"
#include "windows.h"

namespace wmtest {

struct Seen {
    HWND hwnd;
    UINT msg;
    WPARAM wParam;
    LPARAM lParam;
};

// What a table expects: a message to a named window, optionally with wParam.
struct Want {
    const char* who;
    UINT msg;
    std::optional<WPARAM> wParam = std::nullopt;
};

std::vector<Seen>& Log();
std::map<HWND, std::string>& Names();
void Name(HWND hwnd, const std::string& name);
std::string MsgName(UINT msg);

// Only these messages are recorded (empty: all).
void RecordOnly(std::vector<UINT> msgs);

// A window procedure that records every message, then does what `Handler`
// says (by default DefWindowProcW).
LRESULT CALLBACK RecordingProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
using Handler = LRESULT (*)(HWND, UINT, WPARAM, LPARAM, bool* handled);
void SetHandler(Handler h);

// Registers (once) the class "WmTest" using RecordingProc, white background.
LPCWSTR TestClass();

// The program's top-level window of the test class in the work area, named "main".
HWND CreateMain(DWORD style = WS_VISIBLE);

::testing::AssertionResult Matches(const std::vector<Want>& want);

inline bool SameRect(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

// Resets the device between tests: windows, queue, timers, clock, log, script.
void ResetDevice();

// A test on a fresh device with the program's window `main` up, its first
// messages dispatched and the log empty.
class MainWindowTest : public ::testing::Test {
   protected:
    explicit MainWindowTest(DWORD style = WS_VISIBLE) : style_(style) {}
    void SetUp() override;
    void TearDown() override { ResetDevice(); }
    HWND main = nullptr;

   private:
    DWORD style_;
};

// Dispatches everything ready now (no time passes).
void Drain();
// Runs the loop for `ms` of device time, firing timers on the way.
void RunFor(uint32_t ms);

// The window's text, as GetWindowTextW gives it.
std::u16string TextOf(HWND hwnd);

// The screen with every window composed on it, without the chrome.
const gdi::Surface& ComposedScreen();
uint32_t PixelAt(int x, int y);  // composed screen pixel, 0x00RRGGBB

}  // namespace wmtest
