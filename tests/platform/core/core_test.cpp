#include <gtest/gtest.h>

#include "core/utf.h"
#include "device/record.h"
#include "windows.h"

TEST(Clock, TickCountFollowsTheDeviceClockAndWraps) {
    device::SetClock(0xfffffff0u);
    device::AdvanceClock(0x20);
    EXPECT_EQ(GetTickCount(), 0x10u);
}

TEST(Utf, ConvertsBothWaysAndStopsAtMalformedInput) {
    const std::u16string wide = u"Caf\u00e9 \u20ac \U0001F33F";
    const std::string narrow = utf::ToUtf8(wide);
    EXPECT_EQ(narrow, "Caf\xc3\xa9 \xe2\x82\xac \xf0\x9f\x8c\xbf");
    bool ok = false;
    EXPECT_EQ(utf::FromUtf8(narrow, &ok), wide);
    EXPECT_TRUE(ok);
    const struct {
        const char* bytes;
        std::u16string kept;
    } bad[] = {
        {"ab\xc3", u"ab"},         // cut short
        {"a\xe2\x28\xa1z", u"a"},  // not a continuation byte
        {"\xff", u""},             // no such lead byte
        {"x\x80", u"x"},           // a continuation byte alone
    };
    for (const auto& b : bad) {
        EXPECT_EQ(utf::FromUtf8(b.bytes, &ok), b.kept) << b.bytes;
        EXPECT_FALSE(ok) << b.bytes;
    }
    EXPECT_EQ(utf::ToUtf8(std::u16string(1, u'\xd800')),
              "\xed\xa0\x80");  // a lone surrogate as it is
}

// The version itself shows on the reader's version page (its scenario dumps).
TEST(Version, GetVersionExWRefusesOtherRecordSizes) {
    for (DWORD size : {0u, 275u, 277u, 1000u}) {
        OSVERSIONINFOW w{};
        w.dwOSVersionInfoSize = size;
        EXPECT_FALSE(GetVersionExW(&w)) << size;
        EXPECT_EQ(w.dwMajorVersion, 0u) << "nothing written";
    }
    EXPECT_FALSE(GetVersionExW(nullptr));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
}
