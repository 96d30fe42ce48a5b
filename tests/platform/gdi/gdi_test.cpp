// Graphics calls and their edge cases. How DrawTextW centres its lines and
// draws prefixes is the scenario dumps' and the golden pictures'.
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
    {  // DT_RIGHT ends the line at the rectangle's right edge.
        Canvas canvas(100, 20);
        SetBkColor(canvas.dc, RGB(255, 0, 0));
        RECT r{10, 0, 90, 20};
        DrawTextW(canvas.dc, u"Fern", -1, &r, DT_SINGLELINE | DT_RIGHT);
        EXPECT_EQ(canvas.Changed().right, 90);
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
    // SRCCOPY from another context.
    Canvas source(4, 3, 0);
    HDC mem = source.dc;
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
    DeleteObject(blue);
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
    HBITMAP bmp = LoadBitmapW(nullptr, MAKEINTRESOURCEW(1100));
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

// A window surface skips fills that would change nothing, from what it knows
// of each row; any drawing it fails to account for leaves stale pixels. The
// same random drawing on a surface that knows nothing must give the same
// pixels after every call.
TEST(Gdi, SkippedFillsLeaveTheSamePixels) {
    Canvas known(48, 40), plain(48, 40);
    gdi::KnowSurface(&known.surface, 0xFFFFFF);
    uint32_t seed = 12345;
    auto next = [&](int n) {
        seed = seed * 1103515245u + 12345u;
        return static_cast<int>((seed >> 16) % static_cast<uint32_t>(n));
    };
    const int brushes[] = {WHITE_BRUSH, BLACK_BRUSH, GRAY_BRUSH};
    for (int step = 0; step < 3000; ++step) {
        const int op = next(5), x = next(60) - 6, y = next(50) - 5, w = next(50), h = next(30);
        const RECT r{x, y, x + w, y + h};
        const int brush = brushes[next(3)], dx = next(9) - 4, dy = next(9) - 4;
        const bool opaque = next(2) == 0;
        for (Canvas* c : {&known, &plain}) {
            if (op == 0) FillRect(c->dc, &r, static_cast<HBRUSH>(GetStockObject(brush)));
            if (op == 1) SetPixel(c->dc, x, y, RGB(0, 0, 0));
            if (op == 2) BitBlt(c->dc, x, y, w, h, nullptr, 0, 0, DSTINVERT);
            if (op == 3) gdi::ScrollSurface(&c->surface, r, dx, dy);
            if (op == 4) {
                SetBkMode(c->dc, opaque ? OPAQUE : TRANSPARENT);
                RECT cell = r;
                DrawTextW(c->dc, u"Wg_", -1, &cell, DT_SINGLELINE | DT_NOCLIP);
            }
        }
        ASSERT_EQ(known.surface.pixels, plain.surface.pixels) << "after step " << step;
    }
}
