// The standard vertical scroll bar: clamping, showing and hiding with WM_SIZE,
// geometry, and the stylus on arrows, page areas and the thumb.
#include <climits>

#include "gdi_helpers.h"
#include "wm/wm.h"
#include "wm_support.h"

using namespace wmtest;

namespace {

class Scroll : public MainWindowTest {
   protected:
    Scroll() : MainWindowTest(WS_VISIBLE | WS_VSCROLL) {}
    bool BarShown() { return (GetWindowLongW(main, GWL_STYLE) & WS_VSCROLL) != 0; }
    bool BarEnabled() { return wm::Find(main)->vbar.enabled; }
};

struct Input {
    UINT mask;
    int min, max;
    UINT page;
    int pos;
    UINT size = sizeof(SCROLLINFO);
};

struct Row {
    const char* what;
    std::vector<Input> before;  // applied first, WM_SIZE not counted
    Input in;
    int ret;
    int min, max;
    UINT page;
    int pos;
    bool shown, enabled;
    int sizes;  // WM_SIZE messages sent by the call
};

TEST_F(Scroll, SetScrollInfoClampsAndShowsOrHidesTheBar) {
    const UINT all = SIF_ALL, dns = SIF_DISABLENOSCROLL;
    // clang-format off
    const std::vector<Row> rows = {
        // what, set before, the call, its result, then min max page pos shown enabled WM_SIZEs
        {"pos past the last page", {}, {all, 0, 99, 25, 90}, 75, 0, 99, 25, 75, true, true, 0},
        {"page 0 lets pos reach max", {}, {all, 0, 99, 0, 150}, 99, 0, 99, 0, 99, true, true, 0},
        {"page larger than the range hides", {}, {all, 0, 99, 200, 50}, 0, 0, 99, 100, 0, false, true, 1},
        {"with DISABLENOSCROLL it disables", {}, {all | dns, 0, 99, 200, 50}, 0, 0, 99, 100, 0, true, false, 0},
        {"a one-value range is not needed", {}, {all, 0, 0, 0, 5}, 0, 0, 0, 0, 0, false, true, 1},
        {"min above max gives (0,0)", {}, {SIF_RANGE | SIF_POS, 10, 5, 0, 3}, 0, 0, 0, 0, 0, false, true, 1},
        {"a range of 2^31 or more gives (0,0)", {}, {SIF_RANGE, -10, INT_MAX, 0, 0}, 0, 0, 0, 0, 0, false, true, 1},
        {"pos below min", {}, {SIF_RANGE | SIF_POS, 10, 50, 0, 3}, 10, 10, 50, 0, 10, true, true, 0},
        {"only DISABLENOSCROLL: clamps, decides nothing", {{all, 0, 99, 25, 40}}, {dns, 0, 0, 0, 0}, 40, 0, 99, 25, 40, true, true, 0},
        {"wrong cbSize changes nothing", {{all, 0, 99, 25, 40}}, {all, 0, 9, 5, 1, 20}, 0, 0, 99, 25, 40, true, true, 0},
        {"the size without nTrackPos is accepted", {}, {SIF_POS, 0, 0, 0, 7, 24}, 7, 0, 100, 0, 7, true, true, 0},
        {"an unknown mask bit changes nothing", {}, {SIF_POS | 0x20, 0, 0, 0, 7}, 0, 0, 100, 0, 0, true, true, 0},
        {"needed again shows the bar", {{all, 0, 99, 200, 0}}, {SIF_RANGE | SIF_PAGE, 0, 999, 100, 0}, 0, 0, 999, 100, 0, true, true, 1},
        {"exactly SIF_PAGE does not show it", {{all, 0, 99, 200, 0}}, {SIF_PAGE, 0, 0, 10, 0}, 0, 0, 99, 10, 0, false, true, 0},
        {"needed again enables a disabled bar", {{all | dns, 0, 99, 200, 0}}, {all | dns, 0, 299, 100, 250}, 200, 0, 299, 100, 200, true, true, 0},
        {"an unchanged fitting range sends no WM_SIZE", {{all, 0, 9, 20, 0}}, {all, 0, 9, 20, 0}, 0, 0, 9, 10, 0, false, true, 0},
    };
    // clang-format on
    for (const Row& r : rows) {
        SetUp();
        for (const Input& b : r.before) {
            SCROLLINFO si{b.size, b.mask, b.min, b.max, b.page, b.pos, 0};
            SetScrollInfo(main, SB_VERT, &si, TRUE);
        }
        RecordOnly({WM_SIZE});
        Log().clear();
        SCROLLINFO si{r.in.size, r.in.mask, r.in.min, r.in.max, r.in.page, r.in.pos, 0};
        EXPECT_EQ(SetScrollInfo(main, SB_VERT, &si, TRUE), r.ret) << r.what;
        SCROLLINFO got{sizeof got, SIF_ALL, -1, -1, 99999, -1, -1};
        ASSERT_TRUE(GetScrollInfo(main, SB_VERT, &got)) << r.what;
        EXPECT_EQ(got.nMin, r.min) << r.what;
        EXPECT_EQ(got.nMax, r.max) << r.what;
        EXPECT_EQ(got.nPage, r.page) << r.what;
        EXPECT_EQ(got.nPos, r.pos) << r.what;
        EXPECT_EQ(BarShown(), r.shown) << r.what;
        EXPECT_EQ(BarEnabled(), r.enabled) << r.what;
        EXPECT_EQ(static_cast<int>(Log().size()), r.sizes) << r.what;
        RECT client;
        GetClientRect(main, &client);
        EXPECT_EQ(client.right, r.shown ? 227 : 240) << r.what;
        if (!Log().empty()) {
            EXPECT_EQ(LOWORD(Log().back().lParam), client.right) << r.what;
        }
    }
}

LRESULT ShowBarAgainOnWideClient(HWND hwnd, UINT msg, WPARAM, LPARAM lParam, bool*) {
    if (msg == WM_SIZE && LOWORD(lParam) == 240) {
        SCROLLINFO si{sizeof si, SIF_RANGE | SIF_PAGE, 0, 999, 100, 0, 0};
        SetScrollInfo(hwnd, SB_VERT, &si, TRUE);
    }
    return 0;
}

TEST_F(Scroll, WmSizeHandlerThatSetsTheBarAgainIsReentered) {
    SetHandler(ShowBarAgainOnWideClient);
    RecordOnly({WM_SIZE});
    SCROLLINFO si{sizeof si, SIF_ALL, 0, 99, 200, 0, 0};
    SetScrollInfo(main, SB_VERT, &si, TRUE);
    ASSERT_EQ(Log().size(), 2u);
    EXPECT_EQ(LOWORD(Log()[0].lParam), 240);  // hidden...
    EXPECT_EQ(LOWORD(Log()[1].lParam), 227);  // ...and shown again from inside the first WM_SIZE
    EXPECT_TRUE(BarShown());
}

TEST_F(Scroll, GetScrollInfoFillsOnlyWhatWasAsked) {
    SCROLLINFO si{sizeof si, SIF_POS, -5, -5, 77, -5, -5};
    ASSERT_TRUE(GetScrollInfo(main, SB_VERT, &si));
    EXPECT_EQ(si.nPos, 0);  // an untouched bar: 0..100 at 0
    EXPECT_EQ(si.nMin, -5);
    EXPECT_EQ(si.nPage, 77u);
    si.fMask = SIF_DISABLENOSCROLL;
    EXPECT_FALSE(GetScrollInfo(main, SB_VERT, &si));
    si.fMask = SIF_RANGE;
    EXPECT_TRUE(GetScrollInfo(main, SB_VERT, &si));
    EXPECT_EQ(si.nMax, 100);
    EXPECT_EQ(SetScrollInfo(main, SB_CTL, &si, TRUE), 0);
    EXPECT_EQ(SetScrollInfo(nullptr, SB_VERT, &si, TRUE), 0);
    EXPECT_FALSE(GetScrollInfo(main, SB_VERT, nullptr));
}

TEST_F(Scroll, ThumbGeometryAndPixelToValue) {
    struct Case {
        int min, max;
        UINT page;
        int pos, height;
        bool enabled;
        int arrow, thumbTop, thumbLen;
    } cases[] = {
        {0, 99, 25, 0, 268, true, 13, 13, 61},    // 242 * 25 / 100 = 60.5, rounded
        {0, 99, 25, 75, 268, true, 13, 194, 61},  // last page: thumb at the bottom of the track
        {0, 99, 25, 37, 268, true, 13, 102, 61},  // 181 * 37 / 75 = 89.3
        {0, 99, 0, 99, 268, true, 13, 242, 13},   // no page: a square thumb
        {0, 9999, 10, 0, 268, true, 13, 13, 6},   // the smallest thumb
        {0, 99, 25, 0, 268, false, 13, 0, 0},     // disabled: no thumb
        {0, 99, 25, 0, 30, true, 13, 0, 0},       // too short for a thumb
        {0, 99, 25, 0, 20, true, 8, 0, 0},        // the arrows shrink
    };
    for (const Case& c : cases) {
        wm::ScrollBar b;
        b.min = c.min;
        b.max = c.max;
        b.page = c.page;
        b.pos = c.pos;
        b.enabled = c.enabled;
        int arrow, top, len;
        wm::ScrollBarGeometry(b, c.height, &arrow, &top, &len);
        EXPECT_EQ(arrow, c.arrow) << c.pos << "/" << c.height;
        EXPECT_EQ(top, c.thumbTop) << c.pos << "/" << c.height;
        EXPECT_EQ(len, c.thumbLen) << c.pos << "/" << c.height;
    }
    wm::ScrollBar b;
    b.max = 99;
    b.page = 25;
    struct Drag {
        int offset, value;
    } drags[] = {{-20, 0}, {0, 0}, {1, 0}, {2, 1}, {90, 37}, {180, 75}, {181, 75}, {400, 75}};
    for (const Drag& d : drags)
        EXPECT_EQ(wm::ThumbValueForOffset(b, 242, 61, d.offset), d.value) << d.offset;
}

// The bar occupies x 227..239, y 26..293 on the screen.
constexpr int kBarX = 233;

TEST_F(Scroll, ArrowRepeatsAfter200ThenEvery50WhileHeldOnIt) {
    RecordOnly({WM_VSCROLL});
    device::StylusDown(kBarX, 287);  // down arrow
    RunFor(400);
    device::StylusUp(kBarX, 287);
    Drain();
    std::vector<Want> want(6, Want{"main", WM_VSCROLL, SB_LINEDOWN});
    want.push_back({"main", WM_VSCROLL, SB_ENDSCROLL});
    EXPECT_TRUE(Matches(want));

    // Leaving the arrow stops the repeat; the release still ends the scroll.
    Log().clear();
    device::StylusDown(kBarX, 32);  // up arrow
    RunFor(250);
    device::StylusMove(kBarX, 150);
    RunFor(300);
    device::StylusUp(kBarX, 150);
    Drain();
    EXPECT_TRUE(Matches({{"main", WM_VSCROLL, SB_LINEUP},
                         {"main", WM_VSCROLL, SB_LINEUP},
                         {"main", WM_VSCROLL, SB_LINEUP},
                         {"main", WM_VSCROLL, SB_ENDSCROLL}}));
    // The bar never moved its own position.
    EXPECT_EQ(GetScrollPos(main, SB_VERT), 0);
}

TEST_F(Scroll, ThumbDragTracksThenPositionsThenEnds) {
    SCROLLINFO si{sizeof si, SIF_ALL, 0, 99, 25, 0, 0};
    SetScrollInfo(main, SB_VERT, &si, TRUE);  // thumb at screen y 39..99
    RecordOnly({WM_VSCROLL});
    device::StylusDown(kBarX, 50);
    device::StylusMove(kBarX, 140);  // 90 pixels down the track
    Drain();
    SCROLLINFO during{sizeof during, SIF_POS | SIF_TRACKPOS, 0, 0, 0, 0, 0};
    GetScrollInfo(main, SB_VERT, &during);
    EXPECT_EQ(during.nTrackPos, 37);
    EXPECT_EQ(during.nPos, 0);
    device::StylusUp(kBarX, 140);
    Drain();
    EXPECT_TRUE(Matches({{"main", WM_VSCROLL, MAKEWPARAM(SB_THUMBTRACK, 0)},
                         {"main", WM_VSCROLL, MAKEWPARAM(SB_THUMBTRACK, 37)},
                         {"main", WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 37)},
                         {"main", WM_VSCROLL, SB_ENDSCROLL}}));
    SCROLLINFO after{sizeof after, SIF_TRACKPOS, 0, 0, 0, 0, 0};
    GetScrollInfo(main, SB_VERT, &after);
    EXPECT_EQ(after.nTrackPos, 0);  // back to nPos once the drag is over

    // Far from the bar the thumb snaps back to where the drag began.
    Log().clear();
    device::StylusDown(kBarX, 50);
    device::StylusMove(kBarX, 100);
    device::StylusMove(50, 100);
    device::StylusUp(50, 100);
    Drain();
    EXPECT_TRUE(Matches({{"main", WM_VSCROLL, MAKEWPARAM(SB_THUMBTRACK, 0)},
                         {"main", WM_VSCROLL, MAKEWPARAM(SB_THUMBTRACK, 21)},
                         {"main", WM_VSCROLL, MAKEWPARAM(SB_THUMBTRACK, 0)},
                         {"main", WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 0)},
                         {"main", WM_VSCROLL, SB_ENDSCROLL}}));
}

TEST_F(Scroll, DisabledBarIgnoresTheStylus) {
    SCROLLINFO si{sizeof si, SIF_ALL | SIF_DISABLENOSCROLL, 0, 99, 200, 0, 0};
    SetScrollInfo(main, SB_VERT, &si, TRUE);
    RecordOnly({WM_VSCROLL, WM_LBUTTONDOWN});
    device::Tap(kBarX, 287);
    Drain();
    EXPECT_TRUE(Matches({}));
}

}  // namespace

TEST_F(Scroll, LookEnabledAndDisabled) {
    SCROLLINFO si{sizeof si, SIF_ALL, 0, 99, 25, 37, 0};
    SetScrollInfo(main, SB_VERT, &si, TRUE);
    const gdi::Surface enabled = gfxtest::Crop(ComposedScreen(), RECT{227, 26, 240, 294});
    EXPECT_TRUE(gfxtest::MatchesGolden(enabled, "wm_scrollbar"));
    si.fMask = SIF_ALL | SIF_DISABLENOSCROLL;
    si.nPage = 200;
    SetScrollInfo(main, SB_VERT, &si, TRUE);
    EXPECT_TRUE(gfxtest::MatchesGolden(gfxtest::Crop(ComposedScreen(), RECT{227, 26, 240, 294}),
                                       "wm_scrollbar_disabled"));
}
