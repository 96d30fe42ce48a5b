// Runs the sample program end to end on the headless device, as a person
// would use it, and saves its screens.
#include <gtest/gtest.h>

#include <filesystem>

#include "chrome/chrome.h"
#include "controls/controls.h"
#include "device/input.h"
#include "device/record.h"
#include "headless/headless.h"
#include "sample_app.h"
#include "wm/wm.h"

namespace {

TEST(Sample, RunsEndToEndOnTheHeadlessDevice) {
    wm::ResetForTests();
    device::SetClock(5000);
    device::SetMessageBoxAutoAnswer(false);
    device::MessageBoxLog().clear();
    std::filesystem::remove("sample_start.png");
    auto& script = device::HeadlessBackend();
    script.Reset();
    bool shots = true;
    // Screen coordinates: the client area starts at (0,26); the scroll bar is x 227..239.
    script.Then([&] { shots &= device::SaveScreen("sample_start.png"); });
    script.Then([] {
        device::Tap(60, 45);  // the answer box
        device::Type(u"lantern");
        device::KeyDown(VK_SHIFT);
        device::Key(VK_LEFT);
        device::Key(VK_LEFT);
        device::KeyUp(VK_SHIFT);
    });
    script.Then([&] { shots &= device::SaveScreen("sample_typing.png"); });
    script.Then([] {
        device::Key(VK_END);
        device::Key(VK_RETURN);
        device::Tap(20, 74);   // Sound
        device::Tap(140, 74);  // Picture
        device::Tap(170, 45);  // Next: a message box
    });
    script.Then([&] {
        EXPECT_TRUE(controls::MessageBoxShowing());
        shots &= device::SaveScreen("sample_msgbox.png");
        EXPECT_TRUE(controls::PressMessageBoxButton(IDYES));
    });
    script.Wait(2500);
    script.Then([] {
        for (int i = 0; i < 3; ++i) device::Tap(233, 287);  // down arrow
        device::Tap(233, 250);                              // page down
        device::Key(VK_DOWN);  // goes to the focused Next button, which ignores it
    });
    script.Then([&] { shots &= device::SaveScreen("sample_scrolled.png"); });

    // The menu bar: picture buttons that hide and show each other in place.
    std::vector<RECT> places;
    script.Then([&] {
        const auto buttons = device::MenuBarButtons();
        ASSERT_EQ(buttons.size(), 4u);
        EXPECT_EQ(buttons[0].caption, u"Menu");
        EXPECT_TRUE(buttons[0].dropDown);
        EXPECT_TRUE(buttons[1].hidden);  // nothing to go back to yet
        for (const auto& b : buttons) places.push_back(b.rect);
        EXPECT_FALSE(device::PressMenuBarButton(sample::kBack));
        EXPECT_TRUE(device::PressMenuBarButton(sample::kForward));
    });
    script.Then([] { EXPECT_TRUE(device::PressMenuBarButton(sample::kForward)); });
    script.Then([&] {
        const auto buttons = device::MenuBarButtons();
        ASSERT_EQ(buttons.size(), 4u);
        EXPECT_FALSE(buttons[1].hidden);
        EXPECT_TRUE(buttons[2].hidden);  // at the last page
        for (size_t i = 0; i < buttons.size(); ++i)
            EXPECT_TRUE(EqualRect(&buttons[i].rect, &places[i])) << i;
        EXPECT_FALSE(device::PressMenuBarButton(sample::kForward));
        EXPECT_TRUE(device::PressMenuBarButton(sample::kBack));
    });
    // The keyboard from the menu: the window shrinks above it, and its keys
    // type into the answer box.
    script.Then([] { EXPECT_TRUE(device::ChooseMenuItem(sample::kKeyboard)); });
    script.Then([&] {
        EXPECT_TRUE(device::InputPanelShown());
        EXPECT_EQ(GetScrollPos(FindWindowW(u"SampleWindow", nullptr), SB_VERT), 3 * 16 + 268);
        device::Tap(233, 40);  // page up twice, back to the answer box
        device::Tap(233, 40);
    });
    script.Then([&] {
        device::Tap(125, 45);  // the answer box, after its text
        device::Tap(52, 254);  // "s" on the keyboard's third row
    });
    script.Then([&] {
        shots &= device::SaveScreen("sample_keyboard.png");
        device::Tap(222, 254);  // Enter
    });
    script.Then([] { EXPECT_TRUE(device::ChooseMenuItem(sample::kKeyboard)); });
    // The menu, then About and its message box, then Exit.
    script.Then([] { EXPECT_TRUE(device::PressMenuBarButton(401)); });
    script.Then([&] {
        EXPECT_EQ(device::OpenMenuItems(),
                  (std::vector<std::u16string>{u"About", u"Keyboard", u"", u"Exit"}));
        shots &= device::SaveScreen("sample_menu.png");
        EXPECT_TRUE(device::ChooseMenuItem(sample::kAbout));
    });
    script.Then([] { EXPECT_TRUE(controls::PressMessageBoxButton(IDOK)); });
    script.Then([] { EXPECT_TRUE(device::ChooseMenuItem(sample::kExit)); });

    const int code = sample::SampleMain(nullptr, SW_SHOW);
    const sample::Seen& seen = sample::Result();
    EXPECT_EQ(code, 0);
    EXPECT_TRUE(shots);
    EXPECT_TRUE(std::filesystem::exists("sample_start.png"));
    EXPECT_EQ(seen.answer, u"lanterns");  // the last Enter, from the keyboard
    EXPECT_TRUE(seen.menuBar);
    EXPECT_EQ(seen.commands, (std::vector<int>{sample::kForward, sample::kForward, sample::kBack,
                                               sample::kKeyboard, sample::kKeyboard, sample::kAbout,
                                               sample::kExit}));
    EXPECT_EQ(seen.heights, (std::vector<int>{214 - 26, 268}));
    EXPECT_FALSE(device::InputPanelShown());
    EXPECT_EQ(seen.sound, BST_CHECKED);
    EXPECT_EQ(seen.pictureClicks, 1);
    EXPECT_EQ(seen.questions, std::vector<int>{IDYES});
    EXPECT_EQ(seen.ticks, 2);
    EXPECT_EQ(seen.scrollPos, 0);
    EXPECT_GT(seen.paints, 3);
    ASSERT_EQ(device::MessageBoxLog().size(), 2u);
    EXPECT_EQ(device::MessageBoxLog()[0].text, u"Go on to the next page?");
    EXPECT_TRUE(script.ScriptDone());
    EXPECT_EQ(FindWindowW(u"SampleWindow", nullptr), nullptr);
    device::SetMessageBoxAutoAnswer(true);
}

}  // namespace
