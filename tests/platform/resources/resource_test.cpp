// Resources: lookup of the test folder's embedded resources, BMP decoding,
// LoadBitmapW, and the embedder's refusal of broken definitions.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "gdi_helpers.h"
#include "resources/resources.h"
#include "scratch_folder.h"

namespace {

// The colour of bitmap pixel (x, y), copied onto a white canvas.
COLORREF PixelOf(HBITMAP bmp, int x, int y) {
    HDC mem = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(mem, bmp);
    gfxtest::Canvas canvas(1, 1);
    BitBlt(canvas.dc, 0, 0, 1, 1, mem, x, y, SRCCOPY);
    SelectObject(mem, old);
    DeleteDC(mem);
    const uint32_t p = canvas.At(0, 0);
    return RGB(p >> 16, (p >> 8) & 0xFF, p & 0xFF);
}

}  // namespace

TEST(Resource, LoadBitmapWDecodesEachDepth) {
    // 24 bits stored bottom-up with padded rows; 8 bits through a palette,
    // stored top-down; 1 bit, whose set bits take the palette's second colour
    // (black here).
    const struct {
        int id, width, height, bits;
    } sizes[] = {{1100, 3, 2, 24}, {1101, 5, 2, 8}, {421, 16, 2, 1}};
    const struct {
        int id, x, y;
        COLORREF color;
    } pixels[] = {{1100, 0, 0, RGB(255, 0, 0)},    {1100, 2, 0, RGB(0, 0, 255)},
                  {1100, 1, 1, RGB(0, 0, 0)},      {1100, 2, 1, RGB(18, 52, 86)},
                  {1101, 0, 0, RGB(0, 0, 0)},      {1101, 3, 0, RGB(200, 100, 50)},
                  {1101, 0, 1, RGB(200, 100, 50)}, {1101, 4, 1, RGB(255, 0, 0)},
                  {421, 0, 0, RGB(0, 0, 0)},       {421, 1, 0, RGB(255, 255, 255)},
                  {421, 0, 1, RGB(255, 255, 255)}, {421, 15, 1, RGB(0, 0, 0)}};
    for (const auto& c : sizes) {
        HBITMAP bmp = LoadBitmapW(nullptr, MAKEINTRESOURCEW(c.id));
        ASSERT_NE(bmp, nullptr) << c.id;
        BITMAP bm{};
        ASSERT_EQ(GetObjectW(bmp, sizeof bm, &bm), static_cast<int>(sizeof(BITMAP)));
        EXPECT_EQ(bm.bmWidth, c.width) << c.id;
        EXPECT_EQ(bm.bmHeight, c.height) << c.id;
        EXPECT_EQ(bm.bmBitsPixel, c.bits) << c.id;
        for (const auto& p : pixels)
            if (p.id == c.id) {
                EXPECT_EQ(PixelOf(bmp, p.x, p.y), p.color) << c.id << " at " << p.x << "," << p.y;
            }
        EXPECT_TRUE(DeleteObject(bmp));
    }
}

TEST(Resource, LoadBitmapWMissingAndReadOnly) {
    for (LPCWSTR name : {MAKEINTRESOURCEW(9999), MAKEINTRESOURCEW(0), MAKEINTRESOURCEW(420),
                         static_cast<LPCWSTR>(u"1100"), static_cast<LPCWSTR>(nullptr)}) {
        SetLastError(0);
        EXPECT_EQ(LoadBitmapW(nullptr, name), nullptr);
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_RESOURCE_NAME_NOT_FOUND));
    }
    // Two loads are two bitmaps; drawing on a loaded bitmap fails, copying
    // from it works.
    HBITMAP a = LoadBitmapW(nullptr, MAKEINTRESOURCEW(1100));
    HBITMAP b = LoadBitmapW(nullptr, MAKEINTRESOURCEW(1100));
    ASSERT_NE(a, nullptr);
    EXPECT_NE(a, b);
    HDC mem = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(mem, a);
    RECT r{0, 0, 3, 2};
    EXPECT_EQ(FillRect(mem, &r, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH))), 0);
    gfxtest::Canvas canvas(4, 4);
    EXPECT_TRUE(BitBlt(canvas.dc, 1, 1, 3, 2, mem, 0, 0, SRCCOPY));
    EXPECT_EQ(canvas.At(1, 1), 0xFF0000u);
    EXPECT_EQ(PixelOf(b, 0, 0), RGB(255, 0, 0)) << "the other copy is untouched";
    SelectObject(mem, old);
    DeleteDC(mem);
    DeleteObject(a);
    DeleteObject(b);
}

TEST(Resource, MonochromeBitmapTakesTheDestinationColours) {
    HBITMAP strip = LoadBitmapW(nullptr, MAKEINTRESOURCEW(421));
    ASSERT_NE(strip, nullptr);
    HDC mem = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(mem, strip);
    gfxtest::Canvas canvas(16, 2);
    ASSERT_TRUE(BitBlt(canvas.dc, 0, 0, 16, 2, mem, 0, 0, SRCCOPY));
    EXPECT_EQ(canvas.At(0, 0), 0x000000u) << "default colours: as drawn";
    EXPECT_EQ(canvas.At(1, 0), 0xFFFFFFu);
    SetTextColor(canvas.dc, RGB(128, 128, 128));
    SetBkColor(canvas.dc, RGB(0, 0, 255));
    ASSERT_TRUE(BitBlt(canvas.dc, 0, 0, 16, 2, mem, 0, 0, SRCCOPY));
    EXPECT_EQ(canvas.At(0, 0), 0x808080u) << "set pixels in the text colour";
    EXPECT_EQ(canvas.At(1, 0), 0x0000FFu) << "clear pixels in the background colour";
    // A colour bitmap keeps its own colours.
    HBITMAP colour = LoadBitmapW(nullptr, MAKEINTRESOURCEW(1100));
    SelectObject(mem, colour);
    ASSERT_TRUE(BitBlt(canvas.dc, 0, 0, 3, 2, mem, 0, 0, SRCCOPY));
    EXPECT_EQ(canvas.At(1, 1), 0x000000u);
    SelectObject(mem, old);
    DeleteDC(mem);
    DeleteObject(strip);
    DeleteObject(colour);
}

TEST(Resource, DecodeBmpRejectsBrokenFiles) {
    resources::Data good;
    ASSERT_TRUE(resources::FindBitmapData(1100, &good));
    std::string bytes(reinterpret_cast<const char*>(good.bytes), good.size);
    std::string notBmp = bytes;
    notBmp[0] = 'X';
    std::string badOffset = bytes;
    badOffset[10] = '\x7f';  // pixel data said to start past the end
    std::string hugeWidth = bytes;
    hugeWidth[21] = '\x7f';  // width 2^31 - ish
    struct Case {
        const char* what;
        std::string data;
    } cases[] = {
        {"empty", ""},
        {"truncated header", bytes.substr(0, 30)},
        {"truncated pixels", bytes.substr(0, bytes.size() - 10)},
        {"not a BMP", notBmp},
        {"offset past the end", badOffset},
        {"huge width", hugeWidth},
    };
    for (const Case& c : cases) {
        auto s = resources::DecodeBmp(reinterpret_cast<const unsigned char*>(c.data.data()),
                                      c.data.size());
        EXPECT_EQ(s, nullptr) << c.what;
    }
    EXPECT_EQ(resources::DecodeBmp(nullptr, 100), nullptr);
    int depth = 0;
    auto s = resources::DecodeBmp(good.bytes, good.size, &depth);
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(depth, 24);
    EXPECT_EQ(s->pixels,
              (std::vector<uint32_t>{0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF, 0x000000, 0x123456}));
}

TEST(Resource, SoundsAndStrings) {
    resources::Data d;
    ASSERT_TRUE(resources::FindSoundData(u"gong", &d));
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(d.bytes), 4), "RIFF");
    EXPECT_EQ(d.size, 60u);
    EXPECT_FALSE(resources::FindSoundData(u"Gongs", &d));
    EXPECT_FALSE(resources::FindSoundData(u"Gon", &d));
    EXPECT_EQ(std::u16string(resources::FindString(412)), u"Caf\u00e9 \"quoted\" & more");
    EXPECT_EQ(resources::FindString(413), nullptr);
}

// Runs the embedder on a folder holding `definitions` (and a bitmap 1 and a
// sound Ding); returns its exit status and what it printed.
class Embedder : public ScratchFolderTest {
   protected:
    int Embed(const std::string& definitions, std::string* output,
              const std::string& extraFile = "") {
        std::filesystem::remove_all(root / "in");
        Write("in/bitmaps/1.bmp", "BM");
        Write("in/sounds/Ding.wav", "RIFF");
        if (!extraFile.empty()) Write("in/" + extraFile, "x");
        Write("in/resources.txt", definitions);
        const std::string command = std::string(FERNVALE_EMBED) + " --dir " +
                                    (root / "in").string() + " --out " +
                                    (root / "out.cpp").string() + " 2>" + (root / "log").string();
        const int status = std::system(command.c_str());
        *output = Read("log");
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
};

TEST_F(Embedder, RefusesBrokenDefinitions) {
    const std::string bar = "string 5 \"Go\"\nmenu 7\npopup \"P\"\nitem 1 \"A\"\nend\nend\n";
    struct Case {
        std::string definitions;
        std::string message;  // expected in "file:line: message"
        std::string extraFile = "";
    } cases[] = {
        {"bitmap 1-2\n", "resources.txt:1: bitmaps/2.bmp is missing"},
        {"\n\nsound Dong\n", "resources.txt:3: sounds/Dong.wav is missing"},
        {"icon 1\n", "icons/1.bmp is missing"},
        {"picture 1\n", "unknown statement \"picture\""},
        {"string 1 \"open\n", "unterminated string"},
        {"string 1 \"a\"\nstring 1 \"b\"\n", "resources.txt:2: string 1 is defined twice"},
        {"string 1 \"a\\q\"\n", "unknown escape"},
        {"string 1 \"\xC0\xAF\"\n", "text is not UTF-8"},          // overlong
        {"string 1 \"\xED\xA0\x80\"\n", "text is not UTF-8"},      // a surrogate
        {"string 1 \"\xF4\x90\x80\x80\"\n", "text is not UTF-8"},  // past U+10FFFF
        {"bitmap 70000\n", "outside 1..65535"},
        {"menu 3\npopup \"x\"\nitem 9 \"y\"\n", "missing \"end\""},
        {"menu 3\nend\n", "menu has no pop-up"},
        {bar + "menubar 1 menu 8\nend\n", "menu 8 is not defined"},
        {bar + "menubar 1 menu 7\nbutton none 1 4 0 5 1\nend\n",
         "resources.txt:8: menu 7 has no pop-up 1"},
        {bar + "menubar 1 menu 7\nbutton none 1 4 0 6 0\nend\n", "string 6 is not defined"},
        {bar + "menubar 1 menu 7\nbutton none 1 4 0x100 5 0\nend\n", "style 0x100 is outside"},
        {bar + "menubar 1 menu 7\nbutton none 1 4\nend\n", "\"button\" takes 6 values"},
        {"", "a resource file must be named by its id", "bitmaps/picture.bmp"},
        {"", "not a .wav file", "sounds/Ding.mp3"},
    };
    for (const Case& c : cases) {
        std::string output;
        EXPECT_EQ(Embed(c.definitions, &output, c.extraFile), 1) << c.definitions;
        EXPECT_NE(output.find(c.message), std::string::npos)
            << "expected \"" << c.message << "\", got: " << output;
    }
    std::string output;
    EXPECT_EQ(Embed(bar + "bitmap 1\nsound ding\n", &output), 1)
        << "file names are matched exactly";
    EXPECT_EQ(Embed(bar + "bitmap 1\nsound Ding\nmenubar 1 menu 7\nbutton 3 1 4 0x10 5 none\nend\n",
                    &output),
              0)
        << output;
}

TEST(Resource, LoadIconWAndLoadCursorW) {
    HICON icon = LoadIconW(nullptr, MAKEINTRESOURCEW(420));
    ASSERT_NE(icon, nullptr);
    EXPECT_EQ(LoadIconW(nullptr, MAKEINTRESOURCEW(420)), icon);
    SetLastError(0);
    EXPECT_EQ(LoadIconW(nullptr, MAKEINTRESOURCEW(421)), nullptr);  // a bitmap, not an icon
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_RESOURCE_NAME_NOT_FOUND));
    EXPECT_NE(LoadCursorW(nullptr, IDC_ARROW), nullptr);
    EXPECT_EQ(LoadCursorW(nullptr, MAKEINTRESOURCEW(420)), nullptr);
}
