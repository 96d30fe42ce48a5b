// The screen's chrome as a whole: the navigation bar and its title, the
// pictures of the bar and the keyboard, the chrome in every presented frame,
// and message boxes over a program with a menu bar.
#include "chrome_support.h"
#include "controls/controls.h"
#include "gdi_helpers.h"
#include "headless/headless.h"
#include "wm/wm.h"

using namespace chrometest;
using namespace wmtest;

namespace {

using Chrome = ShellTest;

constexpr uint32_t kNav = 0x102C72;
constexpr uint32_t kWhite = 0xFFFFFF;
constexpr RECT kNavText{0, 0, 240, 25};

// The title the bar shows is every scenario dump's "title" line; here it is drawn.
TEST_F(Chrome, NavigationBarShowsTheForegroundWindowsTitle) {
    EXPECT_EQ(FramePixel(239, 0), kNav);
    const int withTitle = CountIn(kNavText, kWhite);
    EXPECT_GT(withTitle, 20);
    SetWindowTextW(main, u"Fernvale Adventure");
    EXPECT_GT(CountIn(kNavText, kWhite), withTitle);

    // The chrome never takes the title: tapping the bar or the panel leaves it.
    MakeBar();
    SipShowIM(SIPF_ON);
    Tap(KeyPoint("q"));
    device::Tap(230, 307);
    Drain();
    EXPECT_EQ(device::NavigationTitle(), u"Fernvale Adventure");

    SetWindowTextW(main, u"");
    EXPECT_EQ(CountIn(kNavText, kWhite), 0);
    DestroyWindow(main);
    EXPECT_EQ(device::NavigationTitle(), u"");
}

TEST_F(Chrome, EveryPresentedFrameCarriesTheChrome) {
    MakeBar();
    // The program paints its whole window black; the bars stay the device's.
    gdi::Screen().pixels.assign(gdi::Screen().pixels.size(), 0x123456);
    device::Present();
    const gdi::Surface& s = gdi::Screen();
    EXPECT_EQ(s.pixels[5 * 240 + 238], kNav);
    EXPECT_EQ(s.pixels[300 * 240 + 235], 0xE8E8E8u);  // the bar's face beside the toggle
    EXPECT_EQ(s.pixels[294 * 240 + 100], 0x808080u);  // the bar's top line
    EXPECT_EQ(s.pixels[100 * 240 + 100], kWhite);     // the program's window
}

TEST_F(Chrome, MenuBarGolden) {
    HWND bar = MakeBar();
    SendMessageW(bar, TB_SETSTATE, 304, TBSTATE_HIDDEN);  // a gap where it was
    EXPECT_TRUE(gfxtest::MatchesGolden(Crop(RECT{0, 294, 240, 320}), "menubar_buttons"));
    // Buttons drawn where the definition put them: the disabled one in gray,
    // the one past the image count and the hidden one blank.
    const RECT disabled = ButtonInfo(303).rect;
    EXPECT_GT(CountIn(disabled, 0x9C9C9C), 10);
    EXPECT_EQ(CountIn(disabled, 0x000000), 0);
    EXPECT_EQ(CountIn(ButtonInfo(305).rect, 0x000000), 0);
    EXPECT_EQ(CountIn(ButtonInfo(304).rect, 0x000000), 0);
    EXPECT_EQ(CountIn(ButtonInfo(302).rect, 0x000000), 0);
    EXPECT_GT(CountIn(ButtonInfo(301).rect, 0x000000), 10);
}

TEST_F(Chrome, OpenMenuGolden) {
    MakeBar();
    ASSERT_FALSE(device::PressMenuBarButton(302));
    Tap(Centre(300));
    Drain();
    ASSERT_EQ(device::OpenMenuItems().size(), 4u);
    EXPECT_TRUE(gfxtest::MatchesGolden(Crop(RECT{0, 200, 120, 320}), "menubar_open_menu"));
}

TEST_F(Chrome, KeyboardGolden) {
    MakeBar();
    SipShowIM(SIPF_ON);
    Drain();
    EXPECT_TRUE(gfxtest::MatchesGolden(Crop(RECT{0, 214, 240, 294}), "sip_keyboard"));
    // Shift latched: the keys show their shifted faces.
    Tap(KeyPoint("Shift"));
    Drain();
    EXPECT_TRUE(gfxtest::MatchesGolden(Crop(RECT{0, 214, 240, 294}), "sip_keyboard_shift"));
}

TEST_F(Chrome, MessageBoxOverAProgramWithItsBar) {
    MakeBar();
    device::SetMessageBoxAutoAnswer(false);
    device::Headless& script = device::HeadlessBackend();
    script.Reset();
    script.Then([&] {
        // The box is drawn over the program, with the chrome around it.
        EXPECT_TRUE(controls::MessageBoxShowing());
        EXPECT_EQ(device::NavigationTitle(), u"Main");
        EXPECT_NE(FramePixel(120, 310), kWhite);
        // The bar does not answer while the box is up.
        EXPECT_FALSE(device::PressMenuBarButton(301));
        Tap(Centre(301));
        script.Then([] { EXPECT_TRUE(controls::PressMessageBoxButton(IDNO)); });
    });
    EXPECT_EQ(MessageBoxW(main, u"Start again?", u"Fernvale", MB_YESNO), IDNO);
    Drain();
    EXPECT_TRUE(Commands().empty());
    // Afterwards the bar works again.
    EXPECT_TRUE(device::PressMenuBarButton(301));
    Drain();
    EXPECT_EQ(Commands(), std::vector<int>{301});
}

TEST_F(Chrome, MessageBoxLook) {
    device::SetMessageBoxAutoAnswer(false);
    device::Headless& script = device::HeadlessBackend();
    script.Reset();
    bool matched = false;
    script.Then([&] {
        matched = gfxtest::MatchesGolden(Crop(RECT{0, 100, 240, 220}), "chrome_message_box");
        device::Key(VK_RETURN);
    });
    EXPECT_EQ(MessageBoxW(main, u"Do you want to start the book again?", u"Fernvale", MB_YESNO),
              IDYES);
    EXPECT_TRUE(matched);
}

}  // namespace
