// The draw record behind the screen dump, and the dump itself: what stays
// visible after fills, overdraws, scrolling and inversions; pictures from
// loaded bitmaps; quoting.
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

TEST(DrawRecord, TextRunsWithPositionSizeAndWeight) {
    HWND w = MakeWindow();
    HDC dc = GetDC(w);
    SetBkMode(dc, TRANSPARENT);
    RECT r{10, 20, 200, 40};
    DrawTextW(dc, u"Plain", -1, &r, DT_LEFT | DT_SINGLELINE);
    LOGFONTW lf{};
    lf.lfHeight = -13;
    lf.lfWeight = FW_BOLD;
    HFONT bold = CreateFontIndirectW(&lf);
    HGDIOBJ old = SelectObject(dc, bold);
    ExtTextOutW(dc, 10, 60, 0, nullptr, u"Bold", 4, nullptr);
    SelectObject(dc, old);
    DeleteObject(bold);
    // Two lines of one DrawTextW are two runs.
    RECT two{10, 100, 200, 140};
    DrawTextW(dc, u"one\ntwo", -1, &two, DT_LEFT);
    ReleaseDC(w, dc);
    const std::string d = device::DumpScreen();
    EXPECT_TRUE(Has(d, "  text at 10,46 size 22x13 weight 400 \"Plain\"")) << d;
    EXPECT_NE(d.find("weight 700 \"Bold\""), std::string::npos) << d;
    EXPECT_NE(d.find("at 10,86 size"), std::string::npos) << d;
    EXPECT_NE(d.find("at 10,126 size"), std::string::npos) << d;
    EXPECT_NE(d.find("at 10,139 size"), std::string::npos) << d;
    EXPECT_TRUE(Has(d, "window \"Dump \\\"test\\\"\" class DumpTest at 0,26 size 240x268 active"))
        << d;
    EXPECT_TRUE(Has(d, "  scroll range 0..100 page 0 pos 0")) << d;
    DestroyWindow(w);
}

TEST(DrawRecord, FillsOverdrawsAndScrolling) {
    HWND w = MakeWindow();
    HDC dc = GetDC(w);
    for (int i = 0; i < 4; ++i) {
        const char16_t text[] = {u'L', static_cast<char16_t>(u'0' + i), 0};
        ExtTextOutW(dc, 4, 20 * i, 0, nullptr, text, 2, nullptr);
    }
    // A fill covering L0 entirely and half of L1.
    RECT fill{0, 0, 240, 26};
    FillRect(dc, &fill, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    // The same text drawn again in the same place stays one run.
    ExtTextOutW(dc, 4, 40, 0, nullptr, u"L2", 2, nullptr);
    ReleaseDC(w, dc);
    std::string d = device::DumpScreen();
    EXPECT_EQ(d.find("\"L0\""), std::string::npos) << d;
    EXPECT_NE(d.find("\"L1\""), std::string::npos) << "partly covered text is still seen\n" << d;
    EXPECT_EQ(d.find("\"L2\""), d.rfind("\"L2\"")) << d;
    // Scrolling up by 40: L1 leaves the area, L2 and L3 move up.
    ScrollWindowEx(w, 0, -40, nullptr, nullptr, nullptr, nullptr, 0);
    d = device::DumpScreen();
    EXPECT_EQ(d.find("\"L1\""), std::string::npos) << d;
    EXPECT_TRUE(Has(d, "  text at 4,26 size 11x13 weight 400 \"L2\"") ||
                d.find("at 4,26 size") != std::string::npos)
        << d;
    EXPECT_NE(d.find("at 4,46 size"), std::string::npos) << d;
    DestroyWindow(w);
}

// A child's caption wider than the child: covering what the child let it
// draw removes the run, though its cell runs past the window's edge.
TEST(DrawRecord, ClippedTextGoesWhenItsDrawnPartIsCovered) {
    HWND w = MakeWindow();
    HWND child = CreateWindowExW(0, u"DumpTest", u"", WS_CHILD | WS_VISIBLE, 10, 10, 300, 20, w,
                                 nullptr, nullptr, nullptr);
    HDC dc = GetDC(child);
    RECT r{0, 0, 400, 20};
    DrawTextW(dc, u"A caption far too long to fit between the margins of the page", -1, &r,
              DT_SINGLELINE);
    ReleaseDC(child, dc);
    ASSERT_NE(device::DumpScreen().find("A caption"), std::string::npos);
    DestroyWindow(child);
    dc = GetDC(w);
    RECT client;
    GetClientRect(w, &client);
    FillRect(dc, &client, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    ReleaseDC(w, dc);
    EXPECT_EQ(device::DumpScreen().find("A caption"), std::string::npos);
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
        ExtTextOutW(dc, 10, 10, 0, nullptr, n.c_str(), static_cast<UINT>(n.size()), nullptr);
    }
    ReleaseDC(w, dc);
    const std::vector<gdi::Mark>& marks = gdi::MarksOn(wm::Find(w)->surface.get());
    EXPECT_EQ(marks.size(), 4096u);
    EXPECT_EQ(marks.back().text, u"nHKH") << "the last run drawn (4999) is kept";
    EXPECT_EQ(marks.front().text, u"nUIB") << "the oldest kept is run 904";
    DestroyWindow(w);
}

TEST(DrawRecord, InversionsAndMemoryBitmaps) {
    HWND w = MakeWindow();
    HDC dc = GetDC(w);
    PatBlt(dc, 0, 0, 240, 20, DSTINVERT);  // clipped to the client area, left of the scroll bar
    PatBlt(dc, 0, 30, 100, 10, DSTINVERT);
    PatBlt(dc, 0, 30, 100, 10, DSTINVERT);  // inverted back
    // Text drawn into a memory bitmap is not on the screen.
    HDC mem = CreateCompatibleDC(dc);
    HBITMAP bmp = CreateCompatibleBitmap(dc, 50, 20);
    HGDIOBJ old = SelectObject(mem, bmp);
    ExtTextOutW(mem, 0, 0, 0, nullptr, u"Hidden", 6, nullptr);
    // Copying it onto the window covers what was there.
    ExtTextOutW(dc, 100, 100, 0, nullptr, u"Under", 5, nullptr);
    BitBlt(dc, 90, 95, 50, 20, mem, 0, 0, SRCCOPY);
    SelectObject(mem, old);
    DeleteObject(bmp);
    DeleteDC(mem);
    ReleaseDC(w, dc);
    const std::string d = device::DumpScreen();
    EXPECT_TRUE(Has(d, "  inverted at 0,26 size 227x20")) << d;
    EXPECT_EQ(d.find("at 0,56 size 100x10"), std::string::npos) << d;
    EXPECT_EQ(d.find("Hidden"), std::string::npos) << d;
    EXPECT_EQ(d.find("Under"), std::string::npos) << d;
    DestroyWindow(w);
}

TEST(DrawRecord, PicturesFromLoadedBitmaps) {
    HWND w = MakeWindow();
    HDC dc = GetDC(w);
    HDC mem = CreateCompatibleDC(dc);
    HBITMAP strip = LoadBitmapW(nullptr, MAKEINTRESOURCEW(421));
    ASSERT_NE(strip, nullptr);
    HGDIOBJ old = SelectObject(mem, strip);
    // The test picture is 16x2; what lands on the window is recorded.
    BitBlt(dc, 20, 30, 8, 2, mem, 8, 0, SRCCOPY);
    BitBlt(dc, 100, 30, 16, 16, mem, 0, 0, SRCCOPY);
    BitBlt(dc, 100, 30, 16, 16, mem, 0, 0, SRCCOPY);   // drawn again: still one picture
    BitBlt(dc, 150, 30, 16, 16, mem, 40, 0, SRCCOPY);  // nothing of the source there
    SelectObject(mem, old);
    DeleteObject(strip);
    DeleteDC(mem);
    ReleaseDC(w, dc);
    const std::string d = device::DumpScreen();
    EXPECT_TRUE(Has(d, "  picture 421 at 20,56 size 8x2")) << d;
    EXPECT_TRUE(Has(d, "  picture 421 at 100,56 size 16x2")) << d;
    EXPECT_EQ(d.find("picture 421 at 100,56"), d.rfind("picture 421 at 100,56")) << d;
    EXPECT_EQ(d.find("at 150,"), std::string::npos) << d;
    DestroyWindow(w);
}

TEST(DrawRecord, HiddenByAWindowAbove) {
    HWND w = MakeWindow();
    HDC dc = GetDC(w);
    ExtTextOutW(dc, 20, 100, 0, nullptr, u"Below", 5, nullptr);
    ExtTextOutW(dc, 20, 10, 0, nullptr, u"Seen", 4, nullptr);
    ReleaseDC(w, dc);
    HWND over = CreateWindowExW(WS_EX_TOPMOST, u"DumpTest", u"Over", WS_POPUP | WS_VISIBLE, 0, 100,
                                240, 100, nullptr, nullptr, nullptr, nullptr);
    UpdateWindow(over);
    const std::string d = device::DumpScreen();
    EXPECT_EQ(d.find("Below"), std::string::npos) << d;
    EXPECT_NE(d.find("Seen"), std::string::npos) << d;
    EXPECT_LT(d.find("window \"Dump"), d.find("window \"Over\"")) << "bottom window first\n" << d;
    DestroyWindow(over);
    DestroyWindow(w);
}

TEST(Dump, ListsMessageBoxesAndSoundsOnce) {
    HWND w = MakeWindow();
    device::MessageBoxLog().push_back({u"Line\none", u"", MB_OK});
    device::SoundLog().push_back(u"Gong");
    device::SoundLog().push_back(u"Nothing");
    device::SoundLog().push_back(u"");
    std::string d = device::DumpScreen();
    EXPECT_TRUE(Has(d, "messagebox \"Line\\x0Aone\" caption \"\" type 0x0")) << d;
    EXPECT_TRUE(Has(d, "sound \"Gong\"")) << d;
    EXPECT_TRUE(Has(d, "sound \"Nothing\" (no such resource)")) << d;
    EXPECT_TRUE(Has(d, "sound stop")) << d;
    EXPECT_EQ(d.substr(d.size() - 4), "end\n");
    d = device::DumpScreen();
    EXPECT_EQ(d.find("messagebox"), std::string::npos) << d;
    EXPECT_EQ(d.find("sound"), std::string::npos) << d;
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
