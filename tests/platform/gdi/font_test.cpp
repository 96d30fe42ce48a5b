// Fonts: GDI metrics of the Tahoma-metric faces and the pixels they draw. The
// widths the page's two fonts measure are the scenario dumps' (every text run
// with its size).
#include <gtest/gtest.h>

#include "gdi_helpers.h"

using gfxtest::Canvas;

TEST(Font, HeightsAndWeights) {
    // Positive heights ask for the cell, negative ones for the em; the page's
    // fonts are asked for with 13, which must give the system font's cell.
    struct Case {
        LONG height, weight;
        LONG tmHeight, tmAscent, tmWeight;
    } cases[] = {
        {13, FW_LIGHT, 13, 11, FW_NORMAL},  // light falls on the regular face
        {13, FW_BOLD, 13, 11, FW_BOLD},      {-11, FW_NORMAL, 13, 11, FW_NORMAL},
        {-11, FW_SEMIBOLD, 13, 11, FW_BOLD},  // 600 and more draw bold
        {14, FW_NORMAL, 13, 11, FW_NORMAL},   // the largest size whose cell fits
        {-12, FW_NORMAL, 16, 13, FW_NORMAL},  // the face's VDMX row for 12 px
        {16, FW_NORMAL, 16, 13, FW_NORMAL},  {0, FW_NORMAL, 13, 11, FW_NORMAL},  // default size
    };
    for (const Case& c : cases) {
        Canvas canvas(10, 10);
        HFONT f = gfxtest::MakeFont(c.height, c.weight);
        ASSERT_NE(f, nullptr);
        SelectObject(canvas.dc, f);
        TEXTMETRICW tm{};
        ASSERT_TRUE(GetTextMetricsW(canvas.dc, &tm));
        EXPECT_EQ(tm.tmHeight, c.tmHeight) << "lfHeight " << c.height << " weight " << c.weight;
        EXPECT_EQ(tm.tmAscent, c.tmAscent) << "lfHeight " << c.height << " weight " << c.weight;
        EXPECT_EQ(tm.tmWeight, c.tmWeight) << "lfHeight " << c.height << " weight " << c.weight;
        EXPECT_EQ(tm.tmHeight, tm.tmAscent + tm.tmDescent);
        SelectObject(canvas.dc, GetStockObject(SYSTEM_FONT));
        DeleteObject(f);
    }
    // Extreme heights are clamped, not trusted.
    for (LONG h : {0x7FFFFFFF, -0x7FFFFFFF - 1}) {
        Canvas canvas(10, 10);
        HFONT f = gfxtest::MakeFont(h, FW_NORMAL);
        SelectObject(canvas.dc, f);
        TEXTMETRICW tm{};
        ASSERT_TRUE(GetTextMetricsW(canvas.dc, &tm));
        EXPECT_GT(tm.tmHeight, 13);
        EXPECT_LT(tm.tmHeight, 400);
        SelectObject(canvas.dc, GetStockObject(SYSTEM_FONT));
        DeleteObject(f);
    }
}

TEST(Font, GoldenLines) {
    // One line in the system font and one in the bold page font, as pixels.
    struct Case {
        const char* name;
        LONG weight;
    } cases[] = {{"font_system_line", 0}, {"font_bold_line", FW_BOLD}};
    for (const Case& c : cases) {
        Canvas canvas(180, 17);
        HFONT f = c.weight ? gfxtest::MakeFont(13, c.weight) : nullptr;
        if (f) SelectObject(canvas.dc, f);
        RECT r{2, 2, 178, 15};
        DrawTextW(canvas.dc, u"Fernvale: Tap the &Menu, 42!", -1, &r, DT_SINGLELINE);
        EXPECT_TRUE(gfxtest::MatchesGolden(canvas.surface, c.name));
        if (f) {
            SelectObject(canvas.dc, GetStockObject(SYSTEM_FONT));
            DeleteObject(f);
        }
    }
}
