#include <gtest/gtest.h>

#include "device/record.h"
#include "windows.h"

TEST(MessageBox, RecordsTextCaptionAndTypeAndGivesTheChosenAnswer) {
    device::MessageBoxLog().clear();
    EXPECT_EQ(MessageBoxW(nullptr, u"Page buffer Overflow", nullptr, MB_OK), IDOK);
    device::SetMessageBoxAnswer(IDNO);
    EXPECT_EQ(MessageBoxW(nullptr, u"Start again?", u"Fernvale", MB_YESNO), IDNO);
    device::SetMessageBoxAnswer(IDOK);
    ASSERT_EQ(device::MessageBoxLog().size(), 2u);
    EXPECT_EQ(device::Narrow(device::MessageBoxLog()[0].text), "Page buffer Overflow");
    EXPECT_TRUE(device::MessageBoxLog()[0].caption.empty());
    EXPECT_EQ(device::MessageBoxLog()[1].caption, u"Fernvale");
    EXPECT_EQ(device::MessageBoxLog()[1].type, static_cast<uint32_t>(MB_YESNO));
}

TEST(Sound, PlayAndStopAreRecordedInOrder) {
    device::SoundLog().clear();
    PlaySoundW(u"BELL", nullptr, SND_RESOURCE | SND_ASYNC);
    PlaySoundW(nullptr, nullptr, SND_FILENAME | SND_NODEFAULT | SND_ASYNC);
    ASSERT_EQ(device::SoundLog().size(), 2u);
    EXPECT_EQ(device::SoundLog()[0], u"BELL");
    EXPECT_TRUE(device::SoundLog()[1].empty());
}

TEST(Clock, TickCountFollowsTheDeviceClockAndWraps) {
    device::SetClock(0xfffffff0u);
    device::AdvanceClock(0x20);
    EXPECT_EQ(GetTickCount(), 0x10u);
}
