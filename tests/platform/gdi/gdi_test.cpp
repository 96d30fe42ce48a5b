// Graphics calls, one test per call with its edge cases.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "gdi_helpers.h"

using gfxtest::Canvas;

namespace {

constexpr uint32_t kRed = 0xFF0000;

bool Same(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

std::string Show(const RECT& r) {
    return "(" + std::to_string(r.left) + "," + std::to_string(r.top) + ")-(" +
           std::to_string(r.right) + "," + std::to_string(r.bottom) + ")";
}

LONG TextWidth(HDC dc, const char16_t* s) {
    SIZE size{};
    GetTextExtentExPointW(dc, s, static_cast<int>(std::char_traits<char16_t>::length(s)), 0,
                          nullptr, nullptr, &size);
    return size.cx;
}

}  // namespace

TEST(Gdi, DrawTextWPlacement) {
    // The opaque background shows the character cell: its rectangle is where
    // DrawTextW placed the line.
    struct Case {
        RECT rect;
        UINT format;
        int expectTop;  // cell top; the cell is tmHeight (13) high
        int expectReturn;
        const char* align;  // "left", "center" or "right"
    } cases[] = {
        {{0, 0, 200, 26}, DT_SINGLELINE | DT_VCENTER, 7, 20, "left"},  // 26/2 - 13/2, not (26-13)/2
        {{0, 0, 200, 24}, DT_SINGLELINE | DT_VCENTER, 6, 19, "left"},
        {{0, 3, 200, 28}, DT_SINGLELINE | DT_VCENTER, 3 + 6, 19, "left"},
        {{0, 0, 200, 26}, DT_VCENTER, 0, 13, "left"},  // ignored without DT_SINGLELINE
        {{0, 0, 200, 30}, DT_SINGLELINE | DT_BOTTOM, 17, 30, "left"},
        {{0, 0, 200, 30}, DT_SINGLELINE, 0, 13, "left"},
        {{0, 0, 201, 20}, DT_SINGLELINE | DT_CENTER, 0, 13, "center"},
        {{10, 0, 200, 20}, DT_SINGLELINE | DT_RIGHT, 0, 13, "right"},
        {{0, 0, 200, 26}, DT_CENTER | DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX, 7, 20, "center"},
    };
    for (const Case& c : cases) {
        Canvas canvas(240, 40);
        SetBkColor(canvas.dc, RGB(255, 0, 0));
        RECT r = c.rect;
        int ret = DrawTextW(canvas.dc, u"Fernvale", -1, &r, c.format);
        LONG cx = TextWidth(canvas.dc, u"Fernvale");
        LONG left = c.rect.left;
        if (std::string(c.align) == "center") left = (c.rect.left + c.rect.right - cx) / 2;
        if (std::string(c.align) == "right") left = c.rect.right - cx;
        RECT expected{left, c.expectTop, left + cx, c.expectTop + 13};
        RECT cell = canvas.Changed();
        EXPECT_TRUE(Same(cell, expected))
            << "format " << c.format << " rect " << Show(c.rect) << ": drawn at " << Show(cell)
            << ", expected " << Show(expected);
        EXPECT_EQ(ret, c.expectReturn) << "format " << c.format << " rect " << Show(c.rect);
        EXPECT_TRUE(Same(r, c.rect)) << "the rectangle is left alone without DT_CALCRECT";
    }
}

TEST(Gdi, DrawTextWBackgroundClippingAndLines) {
    {  // Transparent mode leaves the background; the ink is the text colour.
        Canvas canvas(100, 20, 0x00FF00);
        SetBkMode(canvas.dc, TRANSPARENT);
        SetTextColor(canvas.dc, RGB(0, 0, 255));
        RECT r{0, 0, 100, 20};
        DrawTextW(canvas.dc, u"Hi", -1, &r, DT_SINGLELINE);
        EXPECT_EQ(canvas.Count(0x00FF00) + canvas.Count(0x0000FF), 100 * 20);
        EXPECT_GT(canvas.Count(0x0000FF), 5);
    }
    {  // Output stays inside the rectangle unless DT_NOCLIP.
        Canvas canvas(100, 30);
        SetBkColor(canvas.dc, RGB(255, 0, 0));
        RECT r{10, 5, 20, 10};
        DrawTextW(canvas.dc, u"Wide text", -1, &r, DT_SINGLELINE);
        EXPECT_TRUE(Same(canvas.Changed(), r)) << Show(canvas.Changed());
        Canvas free(100, 30);
        SetBkColor(free.dc, RGB(255, 0, 0));
        DrawTextW(free.dc, u"Wide text", -1, &r, DT_SINGLELINE | DT_NOCLIP);
        EXPECT_TRUE(Same(free.Changed(), (RECT{10, 5, 10 + TextWidth(free.dc, u"Wide text"), 18})));
    }
    {  // Lines break at CR, LF and CR LF and advance by tmHeight.
        Canvas canvas(100, 60);
        SetBkColor(canvas.dc, RGB(255, 0, 0));
        RECT r{0, 0, 100, 60};
        EXPECT_EQ(DrawTextW(canvas.dc, u"one\r\ntwo\nthree", -1, &r, 0), 39);
        EXPECT_EQ(canvas.Changed().bottom, 39);
        EXPECT_EQ(DrawTextW(canvas.dc, u"one\r\ntwo", -1, &r, DT_SINGLELINE), 13);
    }
    {  // DT_WORDBREAK wraps at spaces; DT_CALCRECT measures without drawing.
        Canvas canvas(100, 60);
        LONG word = TextWidth(canvas.dc, u"alpha beta");
        RECT r{0, 0, word + 2, 0};
        EXPECT_EQ(DrawTextW(canvas.dc, u"alpha beta gamma", -1, &r, DT_WORDBREAK | DT_CALCRECT),
                  26);
        EXPECT_EQ(r.bottom, 26);
        EXPECT_EQ(r.right, word);
        EXPECT_EQ(canvas.Changed().right, 0) << "DT_CALCRECT draws nothing";
        RECT one{5, 5, 5, 5};
        EXPECT_EQ(DrawTextW(canvas.dc, u"abc", 3, &one, DT_SINGLELINE | DT_CALCRECT), 13);
        EXPECT_TRUE(Same(one, (RECT{5, 5, 5 + TextWidth(canvas.dc, u"abc"), 18})));
    }
    {  // Prefix marks: "&M" underlines M and is narrower than the raw text.
        Canvas canvas(100, 20);
        RECT r{0, 0, 100, 20};
        SetBkMode(canvas.dc, TRANSPARENT);
        RECT calc = r;
        DrawTextW(canvas.dc, u"&Menu", -1, &calc, DT_SINGLELINE | DT_CALCRECT);
        EXPECT_EQ(calc.right, TextWidth(canvas.dc, u"Menu"));
        RECT raw = r;
        DrawTextW(canvas.dc, u"&Menu", -1, &raw, DT_SINGLELINE | DT_CALCRECT | DT_NOPREFIX);
        EXPECT_EQ(raw.right, TextWidth(canvas.dc, u"&Menu"));
        RECT amp = r;
        DrawTextW(canvas.dc, u"a&&b", -1, &amp, DT_SINGLELINE | DT_CALCRECT);
        EXPECT_EQ(amp.right, TextWidth(canvas.dc, u"a&b"));
        DrawTextW(canvas.dc, u"&Menu", -1, &r, DT_SINGLELINE);
        // The underline sits one row below the baseline (y = 11 + 1) under "M".
        int underline = 0;
        for (int x = 0; x < TextWidth(canvas.dc, u"M"); ++x) underline += canvas.At(x, 12) == 0;
        EXPECT_EQ(underline, TextWidth(canvas.dc, u"M"));
    }
    {  // Bad arguments fail with 0.
        Canvas canvas(10, 10);
        RECT r{0, 0, 10, 10};
        EXPECT_EQ(DrawTextW(canvas.dc, nullptr, 3, &r, 0), 0);
        EXPECT_EQ(DrawTextW(canvas.dc, u"x", 1, nullptr, 0), 0);
        EXPECT_EQ(DrawTextW(canvas.dc, u"x", -5, &r, 0), 0);
        EXPECT_EQ(DrawTextW(canvas.dc, u"", 0, &r, 0), 0);
    }
}

TEST(Gdi, GetTextExtentExPointW) {
    Canvas canvas(10, 10);
    const char16_t text[] = u"Tap here";
    const int n = 8;
    INT dx[n];
    SIZE size{};
    INT fit = -1;
    ASSERT_TRUE(GetTextExtentExPointW(canvas.dc, text, n, 1000, &fit, dx, &size));
    EXPECT_EQ(fit, n);
    EXPECT_EQ(size.cy, 13);
    EXPECT_EQ(size.cx, dx[n - 1]);
    for (int i = 1; i < n; ++i) EXPECT_GT(dx[i], dx[i - 1]) << "alpDx is cumulative";
    EXPECT_EQ(dx[0], TextWidth(canvas.dc, u"T"));
    // Fit counts at the exact boundaries of every character.
    for (int k = 1; k <= n; ++k) {
        INT f = -1;
        SIZE whole{};
        GetTextExtentExPointW(canvas.dc, text, n, dx[k - 1], &f, nullptr, &whole);
        EXPECT_EQ(f, k) << "extent " << dx[k - 1];
        EXPECT_EQ(whole.cx, size.cx) << "the size is the whole string's";
        GetTextExtentExPointW(canvas.dc, text, n, dx[k - 1] - 1, &f, nullptr, nullptr);
        EXPECT_EQ(f, k - 1) << "extent " << dx[k - 1] - 1;
    }
    INT f = -1;
    GetTextExtentExPointW(canvas.dc, text, n, 0, &f, nullptr, &size);
    EXPECT_EQ(f, 0);
    ASSERT_TRUE(GetTextExtentExPointW(canvas.dc, text, 0, 10, &f, nullptr, &size));
    EXPECT_EQ(size.cx, 0);
    EXPECT_EQ(f, 0);
    EXPECT_FALSE(GetTextExtentExPointW(canvas.dc, text, -1, 10, &f, nullptr, &size));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    EXPECT_FALSE(GetTextExtentExPointW(canvas.dc, nullptr, 3, 10, &f, nullptr, &size));
}

TEST(Gdi, BitBltSrcCopyAndDstInvert) {
    Canvas canvas(40, 30);
    RECT all{0, 0, 40, 30};
    HBRUSH blue = CreateSolidBrush(RGB(0, 0, 255));
    RECT part{5, 5, 15, 10};
    FillRect(canvas.dc, &part, blue);
    std::vector<uint32_t> before = canvas.surface.pixels;
    // DSTINVERT needs no source, inverts, and twice restores.
    ASSERT_TRUE(BitBlt(canvas.dc, 0, 0, 20, 20, nullptr, 0, 0, DSTINVERT));
    EXPECT_EQ(canvas.At(0, 0), 0x000000u);
    EXPECT_EQ(canvas.At(6, 6), 0xFFFF00u);
    EXPECT_EQ(canvas.At(25, 25), 0xFFFFFFu) << "outside the area";
    ASSERT_TRUE(BitBlt(canvas.dc, 0, 0, 20, 20, nullptr, 0, 0, DSTINVERT));
    EXPECT_EQ(canvas.surface.pixels, before);
    // SRCCOPY from a memory context holding a bitmap.
    HDC mem = CreateCompatibleDC(canvas.dc);
    HBITMAP bmp = CreateCompatibleBitmap(canvas.dc, 4, 3);
    HGDIOBJ old = SelectObject(mem, bmp);
    RECT small{0, 0, 4, 3};
    FillRect(mem, &small, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    SetPixel(mem, 3, 2, RGB(255, 0, 0));
    ASSERT_TRUE(BitBlt(canvas.dc, 30, 20, 4, 3, mem, 0, 0, SRCCOPY));
    EXPECT_TRUE(Same(canvas.Changed(), (RECT{5, 5, 34, 23})));
    EXPECT_EQ(canvas.At(33, 22), kRed);
    EXPECT_EQ(canvas.At(30, 20), 0u);
    // A copy that runs past the source or the destination is cut, not wrapped.
    ASSERT_TRUE(BitBlt(canvas.dc, 38, 28, 10, 10, mem, 0, 0, SRCCOPY));
    EXPECT_EQ(canvas.At(39, 29), 0u);
    // Overlapping copy inside one surface reads the source before writing.
    Canvas strip(6, 1);
    for (int x = 0; x < 6; ++x) strip.surface.pixels[x] = static_cast<uint32_t>(x);
    BitBlt(strip.dc, 1, 0, 5, 1, strip.dc, 0, 0, SRCCOPY);
    EXPECT_EQ(strip.surface.pixels, (std::vector<uint32_t>{0, 0, 1, 2, 3, 4}));
    // Unknown raster operations and missing sources fail.
    EXPECT_FALSE(BitBlt(canvas.dc, 0, 0, 5, 5, mem, 0, 0, 0x12345678));
    EXPECT_FALSE(BitBlt(canvas.dc, 0, 0, 5, 5, nullptr, 0, 0, SRCCOPY));
    SelectObject(mem, old);
    EXPECT_TRUE(DeleteDC(mem));
    EXPECT_TRUE(DeleteObject(bmp));
    DeleteObject(blue);
    (void)all;
}

TEST(Gdi, SelectObjectReturnsPrevious) {
    Canvas canvas(10, 10);
    HGDIOBJ systemFont = GetStockObject(SYSTEM_FONT);
    HFONT bold = gfxtest::MakeFont(13, FW_BOLD);
    EXPECT_EQ(SelectObject(canvas.dc, bold), systemFont)
        << "a new context starts with the system font";
    EXPECT_EQ(SelectObject(canvas.dc, systemFont), bold);
    HBRUSH brush = CreateSolidBrush(RGB(1, 2, 3));
    EXPECT_EQ(SelectObject(canvas.dc, brush), GetStockObject(WHITE_BRUSH));
    EXPECT_EQ(SelectObject(canvas.dc, GetStockObject(NULL_BRUSH)), brush);
    // Kinds are kept apart: selecting a brush does not change the font.
    EXPECT_EQ(SelectObject(canvas.dc, bold), systemFont);
    EXPECT_EQ(SelectObject(canvas.dc, systemFont), bold);

    // Memory contexts start on a 1x1 monochrome bitmap.
    HDC mem = CreateCompatibleDC(nullptr);
    ASSERT_NE(mem, nullptr);
    HBITMAP bmp = CreateCompatibleBitmap(canvas.dc, 8, 8);
    HGDIOBJ original = SelectObject(mem, bmp);
    ASSERT_NE(original, nullptr);
    BITMAP bm{};
    ASSERT_EQ(GetObjectW(original, sizeof bm, &bm), static_cast<int>(sizeof(BITMAP)));
    EXPECT_EQ(bm.bmWidth, 1);
    EXPECT_EQ(bm.bmHeight, 1);
    EXPECT_EQ(bm.bmBitsPixel, 1);
    // A bitmap lives in one memory context at a time and none on a window's.
    HDC other = CreateCompatibleDC(nullptr);
    EXPECT_EQ(SelectObject(other, bmp), nullptr);
    EXPECT_EQ(SelectObject(canvas.dc, bmp), nullptr);
    EXPECT_FALSE(DeleteObject(bmp)) << "still selected";
    EXPECT_EQ(SelectObject(mem, original), bmp);
    EXPECT_NE(SelectObject(other, bmp), nullptr);
    DeleteDC(other);
    EXPECT_TRUE(DeleteObject(bmp));
    EXPECT_TRUE(DeleteDC(mem));

    // A font deleted while selected falls back to the system font.
    HFONT gone = gfxtest::MakeFont(-16, FW_NORMAL);
    SelectObject(canvas.dc, gone);
    EXPECT_TRUE(DeleteObject(gone));
    TEXTMETRICW tm{};
    ASSERT_TRUE(GetTextMetricsW(canvas.dc, &tm));
    EXPECT_EQ(tm.tmHeight, 13);
    DeleteObject(bold);
    DeleteObject(brush);
}

TEST(Gdi, BadHandlesFailWithInvalidHandle) {
    Canvas canvas(10, 10);
    HFONT font = gfxtest::MakeFont(13, FW_NORMAL);
    DeleteObject(font);
    HDC deletedDc = CreateCompatibleDC(nullptr);
    DeleteDC(deletedDc);
    HDC bogus = reinterpret_cast<HDC>(static_cast<uintptr_t>(0x1234567));
    RECT r{0, 0, 5, 5};
    TEXTMETRICW tm;
    SIZE size;
    LOGFONTW lf;
    for (HDC bad : {bogus, deletedDc, static_cast<HDC>(nullptr),
                    reinterpret_cast<HDC>(GetStockObject(WHITE_BRUSH))}) {
        struct Call {
            const char* name;
            bool failed;
        } calls[] = {
            {"DrawTextW", DrawTextW(bad, u"x", 1, &r, 0) == 0},
            {"GetTextMetricsW", !GetTextMetricsW(bad, &tm)},
            {"GetTextExtentExPointW",
             !GetTextExtentExPointW(bad, u"x", 1, 0, nullptr, nullptr, &size)},
            {"SelectObject", SelectObject(bad, GetStockObject(BLACK_BRUSH)) == nullptr},
            {"FillRect", FillRect(bad, &r, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH))) == 0},
            {"BitBlt", !BitBlt(bad, 0, 0, 1, 1, nullptr, 0, 0, DSTINVERT)},
            {"BitBlt source", !BitBlt(canvas.dc, 0, 0, 1, 1, bad, 0, 0, SRCCOPY)},
            {"DeleteDC", !DeleteDC(bad)},
            {"GetDeviceCaps", GetDeviceCaps(bad, LOGPIXELSY) == 0},
            {"SetBkMode", SetBkMode(bad, TRANSPARENT) == 0},
            {"SetTextColor", SetTextColor(bad, 0) == CLR_INVALID},
            {"CreateCompatibleDC", CreateCompatibleDC(bad) == nullptr || bad == nullptr},
        };
        for (const Call& c : calls) {
            EXPECT_TRUE(c.failed) << c.name;
        }
        SetLastError(0);
        GetTextMetricsW(bad, &tm);
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
    }
    // Objects: deleted, unknown or of the wrong kind.
    EXPECT_EQ(SelectObject(canvas.dc, font), nullptr);
    EXPECT_EQ(GetObjectW(font, sizeof lf, &lf), 0);
    EXPECT_FALSE(DeleteObject(font));
    EXPECT_FALSE(DeleteObject(reinterpret_cast<HGDIOBJ>(static_cast<uintptr_t>(77))));
    EXPECT_FALSE(DeleteObject(canvas.dc)) << "contexts are deleted with DeleteDC";
    EXPECT_EQ(FillRect(canvas.dc, &r, reinterpret_cast<HBRUSH>(font)), 0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
    EXPECT_EQ(SelectObject(canvas.dc, canvas.dc), nullptr);
}

TEST(Gdi, StockObjectsGetObjectWAndDeviceCaps) {
    for (int i : {WHITE_BRUSH, LTGRAY_BRUSH, GRAY_BRUSH, DKGRAY_BRUSH, BLACK_BRUSH, NULL_BRUSH,
                  SYSTEM_FONT})
        EXPECT_NE(GetStockObject(i), nullptr) << i;
    // No pens, fixed or ANSI fonts.
    for (int i : {-1, 6, 7, 8, 9, 10, 11, 12, 14, 16, 17, 1000})
        EXPECT_EQ(GetStockObject(i), nullptr) << i;
    EXPECT_TRUE(DeleteObject(GetStockObject(BLACK_BRUSH)));
    EXPECT_NE(GetStockObject(BLACK_BRUSH), nullptr);

    LOGFONTW lf{};
    ASSERT_EQ(GetObjectW(GetStockObject(SYSTEM_FONT), sizeof lf, &lf), 92);
    EXPECT_EQ(std::u16string(lf.lfFaceName), u"Tahoma");
    EXPECT_EQ(lf.lfWeight, FW_NORMAL);
    EXPECT_EQ(GetObjectW(GetStockObject(SYSTEM_FONT), 0, nullptr), 92);
    HFONT f = CreateFontIndirectW(&lf);
    LOGFONTW back{};
    EXPECT_EQ(GetObjectW(f, sizeof back, &back), 92);
    EXPECT_EQ(std::memcmp(&lf, &back, sizeof lf), 0);
    EXPECT_EQ(GetObjectW(f, 8, &back), 8) << "a short buffer gets the first bytes";
    DeleteObject(f);
    EXPECT_EQ(CreateFontIndirectW(nullptr), nullptr);

    Canvas canvas(4, 4);
    HBITMAP bmp = CreateCompatibleBitmap(canvas.dc, 7, 3);
    BITMAP bm{};
    EXPECT_EQ(GetObjectW(bmp, 4, &bm), 0) << "too small for a BITMAP";
    ASSERT_EQ(GetObjectW(bmp, sizeof bm, &bm), static_cast<int>(sizeof(BITMAP)));
    EXPECT_EQ(bm.bmWidth, 7);
    EXPECT_EQ(bm.bmHeight, 3);
    EXPECT_EQ(bm.bmPlanes, 1);
    EXPECT_EQ(bm.bmWidthBytes % 2, 0);
    DeleteObject(bmp);
    for (int size : {0, -3, 5000})
        EXPECT_EQ(CreateCompatibleBitmap(canvas.dc, size, 4), nullptr) << size;

    EXPECT_EQ(GetDeviceCaps(canvas.dc, LOGPIXELSY), 96);
    EXPECT_EQ(GetDeviceCaps(canvas.dc, LOGPIXELSX), 96);
    EXPECT_EQ(GetDeviceCaps(canvas.dc, HORZRES), 240);
    EXPECT_EQ(GetDeviceCaps(canvas.dc, VERTRES), 320);
}

TEST(Gdi, FillRect) {
    Canvas canvas(20, 20);
    HBRUSH green = CreateSolidBrush(RGB(0, 255, 0));
    RECT r{2, 3, 6, 5};
    EXPECT_EQ(FillRect(canvas.dc, &r, green), 1);
    EXPECT_TRUE(Same(canvas.Changed(), r)) << "right and bottom edges excluded";
    EXPECT_EQ(FillRect(canvas.dc, &r, nullptr), 0);
    EXPECT_EQ(FillRect(canvas.dc, nullptr, green), 0);
    DeleteObject(green);
}

TEST(Gdi, SurfaceContextsAndScrolling) {
    gdi::Surface s;
    s.width = 10;
    s.height = 10;
    s.pixels.assign(100, 0xFFFFFF);
    // Logical (0,0) is the origin; drawing stays inside the clip.
    HDC dc = gdi::CreateSurfaceDC(&s, POINT{3, 4}, RECT{3, 4, 8, 9});
    RECT r{-5, -5, 100, 100};
    FillRect(dc, &r, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    int black = 0;
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 10; ++x) {
            bool inside = x >= 3 && x < 8 && y >= 4 && y < 9;
            black += s.pixels[y * 10 + x] == 0;
            EXPECT_EQ(s.pixels[y * 10 + x] == 0, inside) << x << "," << y;
        }
    EXPECT_EQ(black, 25);
    EXPECT_EQ(GetPixel(dc, 0, 0), 0u);
    EXPECT_EQ(GetPixel(dc, -1, 0), CLR_INVALID);
    gdi::DeleteSurfaceDC(dc);

    // Scrolling moves the pixels inside the area only.
    gdi::Surface t;
    t.width = 4;
    t.height = 4;
    for (uint32_t i = 0; i < 16; ++i) t.pixels.push_back(i);
    gdi::ScrollSurface(&t, RECT{0, 1, 4, 4}, 0, -1);
    EXPECT_EQ(t.pixels,
              (std::vector<uint32_t>{0, 1, 2, 3, 8, 9, 10, 11, 12, 13, 14, 15, 12, 13, 14, 15}));
    gdi::ScrollSurface(&t, RECT{0, 0, 4, 1}, 2, 0);
    EXPECT_EQ((std::vector<uint32_t>(t.pixels.begin(), t.pixels.begin() + 4)),
              (std::vector<uint32_t>{0, 1, 0, 1}));
    std::vector<uint32_t> keep = t.pixels;
    gdi::ScrollSurface(&t, RECT{0, 0, 4, 4}, 100, 0);
    gdi::ScrollSurface(&t, RECT{-10, -10, 40, 40}, 0, 0);
    gdi::ScrollSurface(nullptr, RECT{0, 0, 4, 4}, 1, 1);
    EXPECT_EQ(t.pixels, keep);

    EXPECT_EQ(gdi::Screen().width, 240);
    EXPECT_EQ(gdi::Screen().height, 320);
    EXPECT_EQ(&gdi::Screen(), &gdi::Screen());
}

TEST(Gdi, WritePngRoundTrip) {
    gdi::Surface s;
    s.width = 3;
    s.height = 2;
    s.pixels = {0xFF0000, 0x00FF00, 0x0000FF, 0x123456, 0xFFFFFF, 0x000000};
    std::string path = ::testing::TempDir() + "gdi_roundtrip.png";
    ASSERT_TRUE(gdi::WritePng(s, path.c_str()));
    gdi::Surface back;
    ASSERT_TRUE(gfxtest::ReadPng(path, &back));
    EXPECT_EQ(back.width, 3);
    EXPECT_EQ(back.pixels, s.pixels);
    EXPECT_FALSE(gdi::WritePng(s, "/nonexistent-dir/x.png"));
    gdi::Surface broken;
    broken.width = 2;
    broken.height = 2;
    EXPECT_FALSE(gdi::WritePng(broken, path.c_str())) << "pixel count does not match the size";
}

TEST(Gdi, ExtremeCoordinatesAndEmptySurfaces) {
    const int big = 0x7FFFFFFF, small = -0x7FFFFFFF - 1;
    Canvas canvas(8, 8);
    RECT huge{small, small, big, big};
    EXPECT_EQ(FillRect(canvas.dc, &huge, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH))), 1);
    EXPECT_EQ(canvas.Count(0), 64) << "an enormous rectangle covers exactly the surface";
    EXPECT_EQ(SetPixel(canvas.dc, big, big, RGB(1, 1, 1)), CLR_INVALID);
    EXPECT_EQ(GetPixel(canvas.dc, small, 0), CLR_INVALID);
    EXPECT_TRUE(BitBlt(canvas.dc, big - 2, big - 2, big, big, nullptr, 0, 0, DSTINVERT));
    EXPECT_TRUE(BitBlt(canvas.dc, 0, 0, big, big, canvas.dc, small, small, SRCCOPY));
    EXPECT_EQ(canvas.Count(0), 64);
    RECT far{big - 10, big - 10, big, big};
    DrawTextW(canvas.dc, u"far away", -1, &far, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    RECT wide{small, 0, big, 8};
    DrawTextW(canvas.dc, u"centred", -1, &wide, DT_CENTER | DT_SINGLELINE);

    // A context without pixels to draw on accepts calls and draws nothing.
    HDC none = gdi::CreateSurfaceDC(nullptr, POINT{0, 0}, RECT{0, 0, 10, 10});
    RECT r{0, 0, 10, 10};
    EXPECT_EQ(FillRect(none, &r, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH))), 1);
    EXPECT_NE(DrawTextW(none, u"x", 1, &r, 0), 0);
    EXPECT_TRUE(BitBlt(canvas.dc, 0, 0, 4, 4, none, 0, 0, SRCCOPY));
    EXPECT_EQ(GetPixel(none, 0, 0), CLR_INVALID);
    gdi::DeleteSurfaceDC(none);
    gdi::Surface broken;
    broken.width = 100;
    broken.height = 100;  // but no pixels
    HDC bad = gdi::CreateSurfaceDC(&broken, POINT{0, 0}, RECT{0, 0, 100, 100});
    EXPECT_EQ(FillRect(bad, &r, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH))), 1);
    EXPECT_TRUE(BitBlt(canvas.dc, 0, 0, 4, 4, bad, 0, 0, SRCCOPY));
    gdi::ScrollSurface(&broken, RECT{0, 0, 100, 100}, 1, 1);
    EXPECT_TRUE(broken.pixels.empty());
    gdi::DeleteSurfaceDC(bad);
}

TEST(Gdi, ExtTextOutWAndPatBlt) {
    // ExtTextOutW puts the cell's top at y and draws what DrawTextW draws.
    Canvas a(80, 20), b(80, 20);
    RECT r{3, 4, 80, 20};
    DrawTextW(a.dc, u"Menu", 4, &r, DT_SINGLELINE | DT_NOPREFIX);
    ASSERT_TRUE(ExtTextOutW(b.dc, 3, 4, 0, nullptr, u"Menu", 4, nullptr));
    EXPECT_EQ(a.surface.pixels, b.surface.pixels);
    // ETO_OPAQUE fills the rectangle with the background colour; ETO_CLIPPED
    // keeps the text inside it.
    Canvas c(80, 20);
    SetBkColor(c.dc, RGB(255, 0, 0));
    RECT box{0, 0, 6, 6};
    ASSERT_TRUE(ExtTextOutW(c.dc, 0, 0, ETO_OPAQUE | ETO_CLIPPED, &box, u"Wide", 4, nullptr));
    EXPECT_TRUE(Same(c.Changed(), box)) << Show(c.Changed());
    EXPECT_FALSE(ExtTextOutW(c.dc, 0, 0, 0, nullptr, nullptr, 3, nullptr));

    Canvas p(10, 10);
    HBRUSH blue = CreateSolidBrush(RGB(0, 0, 255));
    SelectObject(p.dc, blue);
    ASSERT_TRUE(PatBlt(p.dc, 2, 2, 3, 3, PATCOPY));
    EXPECT_TRUE(Same(p.Changed(), (RECT{2, 2, 5, 5})));
    EXPECT_EQ(p.At(2, 2), 0x0000FFu);
    ASSERT_TRUE(PatBlt(p.dc, 0, 0, 10, 10, WHITENESS));
    EXPECT_EQ(p.Count(0xFFFFFF), 100);
    EXPECT_FALSE(PatBlt(p.dc, 0, 0, 1, 1, SRCCOPY)) << "PatBlt takes no source";
    SelectObject(p.dc, GetStockObject(WHITE_BRUSH));
    DeleteObject(blue);
}
