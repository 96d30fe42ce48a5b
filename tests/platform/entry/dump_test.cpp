// The draw record behind the screen dump, and the dump itself. What the
// record keeps of fills, overdraws, scrolling, inversions and pictures is
// compared word for word by the scenario dumps; here are the cases those do
// not reach.
#include "entry/dump.h"

#include <gtest/gtest.h>

#include <string>

#include "device/record.h"
#include "gdi/record.h"
#include "headless/headless.h"
#include "windows.h"
#include "wm/wm.h"

namespace {

HWND MakeWindow() {
    wm::ResetForTests();
    device::HeadlessBackend().Reset();
    device::StartScreenRecording();
    device::MessageBoxLog().clear();
    device::SoundLog().clear();
    device::DumpScreen();  // forget what earlier tests left
    static bool registered = false;
    if (!registered) {
        WNDCLASSW wc{};
        wc.lpfnWndProc = DefWindowProcW;
        wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
        wc.lpszClassName = u"DumpTest";
        RegisterClassW(&wc);
        registered = true;
    }
    HWND w = CreateWindowExW(0, u"DumpTest", u"Dump \"test\"", WS_VISIBLE | WS_VSCROLL, 0, 26, 240,
                             268, nullptr, nullptr, nullptr, nullptr);
    UpdateWindow(w);
    return w;
}

bool Has(const std::string& dump, const std::string& line) {
    return dump.find(line + "\n") != std::string::npos;
}

// No scenario puts text under a window above; the dumps hold the rest.
TEST(DrawRecord, HiddenByAWindowAbove) {
    HWND w = MakeWindow();
    HDC dc = GetDC(w);
    RECT below{20, 100, 240, 120}, seen{20, 10, 240, 30};
    DrawTextW(dc, u"Below", -1, &below, DT_SINGLELINE);
    DrawTextW(dc, u"Seen", -1, &seen, DT_SINGLELINE);
    ReleaseDC(w, dc);
    HWND over = CreateWindowExW(WS_EX_TOPMOST, u"DumpTest", u"Over", WS_POPUP | WS_VISIBLE, 0, 100,
                                240, 100, nullptr, nullptr, nullptr, nullptr);
    UpdateWindow(over);
    const std::string d = device::DumpScreen();
    EXPECT_EQ(d.find("Below"), std::string::npos) << d;
    EXPECT_NE(d.find("Seen"), std::string::npos) << d;
    DestroyWindow(over);
    DestroyWindow(w);
}

TEST(DrawRecord, TextNeverErasedKeepsOnlyTheNewestRuns) {
    HWND w = MakeWindow();
    HDC dc = GetDC(w);
    SetBkMode(dc, TRANSPARENT);
    for (int i = 0; i < 5000; ++i) {
        const std::u16string n = u"n" + std::u16string(1, static_cast<char16_t>(u'A' + i % 26)) +
                                 std::u16string(1, static_cast<char16_t>(u'A' + (i / 26) % 26)) +
                                 std::u16string(1, static_cast<char16_t>(u'A' + i / 676));
        RECT r{10, 10, 240, 30};
        DrawTextW(dc, n.c_str(), static_cast<int>(n.size()), &r, DT_SINGLELINE);
    }
    ReleaseDC(w, dc);
    const std::vector<gdi::Mark>& marks = gdi::MarksOn(wm::Find(w)->surface.get());
    EXPECT_EQ(marks.size(), 4096u);
    EXPECT_EQ(marks.back().text, u"nHKH") << "the last run drawn (4999) is kept";
    EXPECT_EQ(marks.front().text, u"nUIB") << "the oldest kept is run 904";
    DestroyWindow(w);
}

// A sound the program names but has not got: no scenario plays one.
TEST(Dump, NamesASoundThatIsNotThere) {
    HWND w = MakeWindow();
    device::SoundLog().push_back(u"Nothing");
    const std::string d = device::DumpScreen();
    EXPECT_TRUE(Has(d, "sound \"Nothing\" (no such resource)")) << d;
    DestroyWindow(w);
}

TEST(Dump, Quoting) {
    struct Case {
        std::u16string in;
        const char* out;
    } cases[] = {
        {u"", "\"\""},
        {u"a\"b\\c", "\"a\\\"b\\\\c\""},
        {u"tab\there", "\"tab\\x09here\""},
        {u"caf\u00e9", "\"caf\xC3\xA9\""},
        {u"\u2014", "\"\xE2\x80\x94\""},
        {u"\U0001F600", "\"\xF0\x9F\x98\x80\""},
        {std::u16string(1, char16_t{0xD800}),
         "\"\xED\xA0\x80\""},  // a lone surrogate stays one unit
    };
    for (const Case& c : cases) EXPECT_EQ(device::Quote(c.in), c.out);
}

}  // namespace
