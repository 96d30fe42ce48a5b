// Pixel tests where the pixels are the point: the look of buttons and of the
// scroll bar, compared with small golden pictures.
#include "gdi_helpers.h"
#include "wm/wm.h"
#include "wm_support.h"

using namespace wmtest;

namespace {

gdi::Surface Crop(RECT r) {
    wm::ComposeScreen();
    const gdi::Surface& screen = gdi::Screen();
    gdi::Surface out;
    out.width = r.right - r.left;
    out.height = r.bottom - r.top;
    for (int y = r.top; y < r.bottom; ++y)
        for (int x = r.left; x < r.right; ++x)
            out.pixels.push_back(
                screen.pixels[static_cast<size_t>(y) * static_cast<size_t>(screen.width) +
                              static_cast<size_t>(x)]);
    return out;
}

class Golden : public ::testing::Test {
   protected:
    void SetUp() override {
        ResetDevice();
        main = CreateMain(WS_VISIBLE | WS_VSCROLL);
        Drain();
    }
    void TearDown() override { ResetDevice(); }
    HWND main = nullptr;
};

TEST_F(Golden, PushButtonsAndCheckBox) {
    CreateWindowExW(0, u"BUTTON", u"Cancel", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 4, 4, 60, 21,
                    main, reinterpret_cast<HMENU>(1), nullptr, nullptr);
    CreateWindowExW(0, u"BUTTON", u"OK", WS_CHILD | WS_VISIBLE | BS_DEFPUSHBUTTON, 70, 4, 60, 21,
                    main, reinterpret_cast<HMENU>(2), nullptr, nullptr);
    HWND pressed =
        CreateWindowExW(0, u"BUTTON", u"Held", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 136, 4, 60,
                        21, main, reinterpret_cast<HMENU>(3), nullptr, nullptr);
    HWND check = CreateWindowExW(0, u"BUTTON", u"Sound", WS_CHILD | WS_VISIBLE | BS_AUTOCHECKBOX, 4,
                                 30, 70, 16, main, reinterpret_cast<HMENU>(4), nullptr, nullptr);
    CreateWindowExW(0, u"BUTTON", u"Off", WS_CHILD | WS_VISIBLE | BS_AUTOCHECKBOX, 80, 30, 70, 16,
                    main, reinterpret_cast<HMENU>(5), nullptr, nullptr);
    Drain();
    SendMessageW(check, BM_SETCHECK, BST_CHECKED, 0);
    SendMessageW(pressed, BM_SETSTATE, TRUE, 0);
    EXPECT_TRUE(gfxtest::MatchesGolden(Crop(RECT{0, 26, 200, 76}), "wm_buttons"));
}

TEST_F(Golden, ScrollBarEnabledAndDisabled) {
    SCROLLINFO si{sizeof si, SIF_ALL, 0, 99, 25, 37, 0};
    SetScrollInfo(main, SB_VERT, &si, TRUE);
    const gdi::Surface enabled = Crop(RECT{227, 26, 240, 294});
    EXPECT_TRUE(gfxtest::MatchesGolden(enabled, "wm_scrollbar"));
    si.fMask = SIF_ALL | SIF_DISABLENOSCROLL;
    si.nPage = 200;
    SetScrollInfo(main, SB_VERT, &si, TRUE);
    EXPECT_TRUE(gfxtest::MatchesGolden(Crop(RECT{227, 26, 240, 294}), "wm_scrollbar_disabled"));
}

}  // namespace
