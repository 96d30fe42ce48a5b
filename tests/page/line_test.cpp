// Line drawing: fitting text to the room left, where picture buttons land,
// hiding a control that reaches the page's bottom, and the pending line's text
// buffer. Where aligned lines and text buttons land is the layout's golden
// dumps'.
#include "page/line.h"

#include <string>

#include "base/app_state.h"
#include "page/builder.h"
#include "page/controls.h"
#include "page/layout.h"
#include "support/engine_fixture.h"

namespace {

class Line : public EngineTest {
   protected:
    void SetUp() override {
        EngineTest::SetUp();
        dc = GetDC(mainWindow);
        layoutBold = 0;
    }
    void TearDown() override { ReleaseDC(mainWindow, dc); }
    int Measure(const char16_t* text) {
        SIZE size = {};
        SelectObject(dc, normalFont);
        GetTextExtentPoint32W(dc, text, static_cast<int>(std::u16string(text).size()), &size);
        return size.cx;
    }
    // Where control `window` was moved to, in the main window's client area.
    static int LeftOf(HWND window) {
        RECT r;
        GetWindowRect(window, &r);
        POINT p = {r.left, r.top};
        ScreenToClient(mainWindow, &p);
        return p.x;
    }
    HDC dc = nullptr;
};

TEST_F(Line, TextBreaksOnlyAfterASpaceThatFitsStrictly) {
    const int two = Measure(u"one two ");
    const struct {
        const char* text;
        int room;
        int fit;
    } cases[] = {{"one two three", two + 1, 8},
                 {"one two three", two, 4},  // exactly as wide: no
                 {"unbroken", 500, 8},
                 {"unbroken", 10, 0}};
    for (const auto& c : cases) {
        int width = c.room, height = 5;
        EXPECT_EQ(FitTextToWidth(measureBuffer, c.text, height, width, dc, false), c.fit)
            << c.text << c.room;
        if (c.fit == 0) {
            EXPECT_EQ(width, c.room);
            EXPECT_EQ(height, 5);
        } else {
            EXPECT_EQ(width, Measure(std::u16string(measureBuffer).c_str()));
            EXPECT_EQ(height, 13);
        }
    }
}

// Text buttons are spaced two pixels apart (the golden layouts show it);
// picture buttons touch, which no page of the books shows.
TEST_F(Line, PictureButtonsTouch) {
    AddHotwordImageButton(3);
    AddHotwordImageButton(3);
    AppendLineEntry(mainWindow, dc, ItemButton, 0, 50);
    AppendLineEntry(mainWindow, dc, ItemButton, 1, 50);
    FlushLine(mainWindow, dc);
    EXPECT_EQ(LeftOf(buttonWindows[1]) - LeftOf(buttonWindows[0]), 50);
}

TEST_F(Line, AControlReachingTheBottomOfThePageIsHidden) {
    AddHotwordButton("a");
    buttonRecords[0].height = 20;
    pageRect.bottom = 320;
    for (int y : {300, 299}) {
        penY = y;
        AppendLineEntry(mainWindow, dc, ItemButton, 0, 30);
        FlushLine(mainWindow, dc);
        EXPECT_EQ(IsWindowVisible(buttonWindows[0]) != 0, y == 299) << y;
    }
}

// The pending line holds 200 characters: a third long piece starts a line of
// its own instead of writing past the text buffer.
TEST_F(Line, APieceThatWouldOverrunTheLineTextStartsTheNextLine) {
    const std::u16string piece(80, u'x');
    penY = 0;
    lineHeight = 13;
    for (int i = 0; i < 3; ++i) AppendLineEntry(mainWindow, dc, ItemText, 80, 10, piece.c_str());
    EXPECT_EQ(pendingCount, 1);
    EXPECT_EQ(lineTextUsed, 81);
    EXPECT_EQ(penY, 14);
}

}  // namespace
