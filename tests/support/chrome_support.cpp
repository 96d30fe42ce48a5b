#include "chrome_support.h"

#include <map>

#include "gdi_helpers.h"
#include "wm/wm.h"

namespace chrometest {

using namespace wmtest;

void ShellTest::SetUp() {
    chrome::ResetForTests();
    MainWindowTest::SetUp();
}

void ShellTest::TearDown() {
    chrome::ResetForTests();
    ResetDevice();
}

HWND ShellTest::MakeBar(UINT id, DWORD flags, int images) {
    SHMENUBARINFO mbi{};
    mbi.cbSize = 36;
    mbi.hwndParent = main;
    mbi.dwFlags = flags;
    mbi.nToolBarId = id;
    mbi.nBmpId = 422;
    mbi.cBmpImages = images;
    EXPECT_TRUE(SHCreateMenuBar(&mbi));
    Drain();
    Log().clear();
    return mbi.hwndMB;
}

std::vector<int> ShellTest::Commands() const {
    std::vector<int> out;
    for (const Seen& s : Log())
        if (s.hwnd == main && s.msg == WM_COMMAND) out.push_back(LOWORD(s.wParam));
    return out;
}

int ShellTest::Count(UINT msg, HWND to) const {
    int n = 0;
    for (const Seen& s : Log())
        if (s.hwnd == to && s.msg == msg) ++n;
    return n;
}

device::MenuBarButtonInfo ShellTest::ButtonInfo(uint16_t command) const {
    for (const auto& b : device::MenuBarButtons())
        if (b.command == command) return b;
    ADD_FAILURE() << "no button " << command;
    return device::MenuBarButtonInfo{};
}

POINT ShellTest::Centre(uint16_t command) const {
    const RECT r = ButtonInfo(command).rect;
    return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

const gdi::Surface& Frame() {
    wm::ComposeScreen();
    device::DrawChrome();
    return gdi::Screen();
}

gdi::Surface Crop(RECT r) {
    return gfxtest::Crop(Frame(), r);
}

uint32_t FramePixel(int x, int y) {
    const gdi::Surface& s = Frame();
    return s.pixels[static_cast<size_t>(y) * static_cast<size_t>(s.width) + static_cast<size_t>(x)];
}

int CountIn(RECT r, uint32_t rgb) {
    const gdi::Surface& s = Frame();
    int n = 0;
    for (int y = r.top; y < r.bottom; ++y)
        for (int x = r.left; x < r.right; ++x)
            if (s.pixels[static_cast<size_t>(y) * static_cast<size_t>(s.width) +
                         static_cast<size_t>(x)] == rgb)
                ++n;
    return n;
}

POINT KeyPoint(const std::string& label) {
    // The keyboard as the handheld shows it: five rows of 16-pixel keys, some
    // wider.
    static const std::vector<std::vector<std::string>> rows = {
        {"Esc", "1", "2", "3", "4", "5", "6", "7", "8", "9", "0", "-", "=", "Back"},
        {"Tab", "q", "w", "e", "r", "t", "y", "u", "i", "o", "p", "[", "]", "\\"},
        {"CAP", "a", "s", "d", "f", "g", "h", "j", "k", "l", ";", "'", "Enter"},
        {"Shift", "z", "x", "c", "v", "b", "n", "m", ",", ".", "/", "RightShift"},
        {"`", "Space", "Down", "Up", "Left", "Right"}};
    static const std::map<std::string, int> wide = {
        {"Back", 32},  {"Tab", 24},        {"\\", 24}, {"CAP", 28},   {"Enter", 36},
        {"Shift", 36}, {"RightShift", 44}, {"`", 24},  {"Space", 152}};
    for (size_t r = 0; r < rows.size(); ++r) {
        int x = 0;
        for (const std::string& key : rows[r]) {
            const auto w = wide.find(key);
            const int width = w == wide.end() ? 16 : w->second;
            if (label == key) return POINT{x + width / 2, 214 + static_cast<int>(r) * 16 + 8};
            x += width;
        }
    }
    ADD_FAILURE() << "no key " << label;
    return POINT{0, 0};
}

}  // namespace chrometest
