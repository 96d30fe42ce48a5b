// Runs the sample program end to end on the headless device, as a person
// would use it, and saves its screens.
#include <gtest/gtest.h>

#include <filesystem>

#include "device/headless.h"
#include "device/input.h"
#include "device/record.h"
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
        EXPECT_TRUE(device::MessageBoxShowing());
        shots &= device::SaveScreen("sample_msgbox.png");
        EXPECT_TRUE(device::PressMessageBoxButton(IDYES));
    });
    script.Wait(2500);
    script.Then([] {
        for (int i = 0; i < 3; ++i) device::Tap(233, 287);  // down arrow
        device::Tap(233, 250);                             // page down
        device::Key(VK_DOWN);  // goes to the focused Next button, which ignores it
    });
    script.Then([&] { shots &= device::SaveScreen("sample_scrolled.png"); });

    const int code = sample::SampleMain(nullptr, SW_SHOW);
    const sample::Seen& seen = sample::Result();
    EXPECT_EQ(code, 0);
    EXPECT_TRUE(shots);
    EXPECT_TRUE(std::filesystem::exists("sample_start.png"));
    EXPECT_EQ(seen.answer, u"lantern");
    EXPECT_EQ(seen.sound, BST_CHECKED);
    EXPECT_EQ(seen.pictureClicks, 1);
    EXPECT_EQ(seen.questions, std::vector<int>{IDYES});
    EXPECT_EQ(seen.ticks, 2);
    EXPECT_EQ(seen.scrollPos, 3 * 16 + 268);
    EXPECT_GT(seen.paints, 3);
    ASSERT_EQ(device::MessageBoxLog().size(), 1u);
    EXPECT_EQ(device::MessageBoxLog()[0].text, u"Go on to the next page?");
    EXPECT_TRUE(script.ScriptDone());
    EXPECT_EQ(FindWindowW(u"SampleWindow", nullptr), nullptr);
    device::SetMessageBoxAutoAnswer(true);
}

}  // namespace
