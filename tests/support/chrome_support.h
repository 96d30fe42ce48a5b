// Shared set-up of the chrome tests: a program window on the work area, its
// menu bar from the test resources, and helpers to read what reached it.
#pragma once

#include <string>
#include <vector>

#include "chrome/chrome.h"
#include "chrome/parts.h"
#include "gdi/surface.h"
#include "wm_support.h"

namespace chrometest {

class ShellTest : public wmtest::MainWindowTest {
   protected:
    void SetUp() override;
    void TearDown() override;
    // SHCreateMenuBar for `main` with definition `id` and the 64x16 strip 422.
    HWND MakeBar(UINT id = 131, DWORD flags = 0, int images = 4);
    // Command ids of the WM_COMMAND messages `main` received, in order.
    std::vector<int> Commands() const;
    int Count(UINT msg, HWND to) const;
    device::MenuBarButtonInfo ButtonInfo(uint16_t command) const;
    POINT Centre(uint16_t command) const;
};

// The composed screen with the chrome, as a person sees it.
const gdi::Surface& Frame();
// A part of it.
gdi::Surface Crop(RECT r);
uint32_t FramePixel(int x, int y);
// Pixels in `r` of the frame that have the colour `rgb`.
int CountIn(RECT r, uint32_t rgb);

// Where the key showing `label` lies on the screen when the panel is up:
// single characters as the keyboard shows them unshifted, or "Shift", "CAP",
// "Tab", "Esc", "Back", "Enter", "Space".
POINT KeyPoint(const std::string& label);
inline void Tap(POINT p) {
    device::Tap(p.x, p.y);
}

}  // namespace chrometest
