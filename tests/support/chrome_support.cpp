#include "chrome_support.h"

#include "gdi_helpers.h"
#include "headless/headless.h"
#include "wm/wm.h"

namespace chrometest {

using namespace wmtest;

void ShellTest::SetUp() {
    ResetDevice();
    chrome::ResetForTests();
    main = CreateMain();
    Drain();
    Log().clear();
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
    // The keyboard as the handheld shows it: five rows of 16-pixel keys,
    // each key with its width in pixels.
    struct K {
        const char* label;
        int width;
    };
    static const std::vector<std::vector<K>> rows = {
        {{"Esc", 16},
         {"1", 16},
         {"2", 16},
         {"3", 16},
         {"4", 16},
         {"5", 16},
         {"6", 16},
         {"7", 16},
         {"8", 16},
         {"9", 16},
         {"0", 16},
         {"-", 16},
         {"=", 16},
         {"Back", 32}},
        {{"Tab", 24},
         {"q", 16},
         {"w", 16},
         {"e", 16},
         {"r", 16},
         {"t", 16},
         {"y", 16},
         {"u", 16},
         {"i", 16},
         {"o", 16},
         {"p", 16},
         {"[", 16},
         {"]", 16},
         {"\\", 24}},
        {{"CAP", 28},
         {"a", 16},
         {"s", 16},
         {"d", 16},
         {"f", 16},
         {"g", 16},
         {"h", 16},
         {"j", 16},
         {"k", 16},
         {"l", 16},
         {";", 16},
         {"'", 16},
         {"Enter", 36}},
        {{"Shift", 36},
         {"z", 16},
         {"x", 16},
         {"c", 16},
         {"v", 16},
         {"b", 16},
         {"n", 16},
         {"m", 16},
         {",", 16},
         {".", 16},
         {"/", 16},
         {"RightShift", 44}},
        {{"`", 24}, {"Space", 152}, {"Down", 16}, {"Up", 16}, {"Left", 16}, {"Right", 16}},
    };
    for (size_t r = 0; r < rows.size(); ++r) {
        int x = 0;
        for (const K& k : rows[r]) {
            if (label == k.label) return POINT{x + k.width / 2, 214 + static_cast<int>(r) * 16 + 8};
            x += k.width;
        }
    }
    ADD_FAILURE() << "no key " << label;
    return POINT{0, 0};
}

}  // namespace chrometest
