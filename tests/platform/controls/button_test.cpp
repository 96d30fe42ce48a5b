// Buttons under the stylus and keys: push, auto check box, owner-drawn.
#include "gdi_helpers.h"
#include "wm_support.h"

using namespace wmtest;

namespace {

struct Drawn {
    UINT ctlType, ctlId, itemAction, itemState;
    HWND item;
    bool hasDc;
    RECT rc;
};
std::vector<Drawn> drawn;
std::vector<int> checkAtClick;

LRESULT ParentHandler(HWND, UINT msg, WPARAM, LPARAM lParam, bool* handled) {
    if (msg == WM_DRAWITEM) {
        auto* d = reinterpret_cast<DRAWITEMSTRUCT*>(lParam);
        drawn.push_back({d->CtlType, d->CtlID, d->itemAction, d->itemState, d->hwndItem,
                         d->hDC != nullptr, d->rcItem});
        FillRect(d->hDC, &d->rcItem, static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH)));
        *handled = true;
        return TRUE;
    }
    if (msg == WM_COMMAND)
        checkAtClick.push_back(
            static_cast<int>(SendMessageW(reinterpret_cast<HWND>(lParam), BM_GETCHECK, 0, 0)));
    return 0;
}

class Buttons : public MainWindowTest {
   protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        drawn.clear();
        checkAtClick.clear();
        SetHandler(ParentHandler);
    }
    // Buttons sit at client (10,10) 60x20: screen (10,36)-(70,56).
    HWND Make(DWORD style, int id, LPCWSTR text = u"Go") {
        HWND b =
            CreateWindowExW(0, u"button", text, WS_CHILD | WS_VISIBLE | style, 10, 10, 60, 20, main,
                            reinterpret_cast<HMENU>(static_cast<intptr_t>(id)), nullptr, nullptr);
        Name(b, "button");
        Drain();
        drawn.clear();
        RecordOnly({WM_COMMAND});
        Log().clear();
        return b;
    }
};

TEST_F(Buttons, PushButtonClicksOnlyWhenReleasedInside) {
    HWND b = Make(BS_PUSHBUTTON, 501);
    const WPARAM clicked = MAKEWPARAM(501, BN_CLICKED);
    struct Case {
        const char* what;
        std::vector<POINT> path;  // down at the first point, moves, up at the last
        bool clicks;
    } cases[] = {{"tap inside", {{30, 45}}, true},
                 {"drag out and release outside", {{30, 45}, {100, 45}}, false},
                 {"drag out and back in", {{30, 45}, {100, 45}, {60, 50}}, true},
                 {"press outside, release inside", {{100, 100}, {30, 45}}, false}};
    const auto inside = [](POINT p) { return p.x >= 10 && p.x < 70 && p.y >= 36 && p.y < 56; };
    for (const Case& c : cases) {
        Log().clear();
        device::StylusDown(c.path.front().x, c.path.front().y);
        for (size_t i = 1; i < c.path.size(); ++i) device::StylusMove(c.path[i].x, c.path[i].y);
        Drain();
        // Drawn pushed while the stylus it went down under is on it.
        EXPECT_EQ((SendMessageW(b, BM_GETSTATE, 0, 0) & BST_PUSHED) != 0,
                  inside(c.path.front()) && inside(c.path.back()))
            << c.what;
        device::StylusUp(c.path.back().x, c.path.back().y);
        Drain();
        if (c.clicks) {
            EXPECT_TRUE(Matches({{"main", WM_COMMAND, clicked}})) << c.what;
            EXPECT_EQ(Log()[0].lParam, reinterpret_cast<LPARAM>(b)) << c.what;
        } else {
            EXPECT_TRUE(Matches({})) << c.what;
        }
        EXPECT_EQ(GetCapture(), nullptr) << c.what;
        EXPECT_EQ(SendMessageW(b, BM_GETSTATE, 0, 0) & BST_PUSHED, 0) << c.what;
    }
}

TEST_F(Buttons, AutoCheckBoxTogglesBeforeNotifying) {
    HWND b = Make(BS_AUTOCHECKBOX, 7, u"Sound");
    device::Tap(20, 45);
    device::Tap(20, 45);
    Drain();
    EXPECT_TRUE(Matches({{"main", WM_COMMAND, MAKEWPARAM(7, BN_CLICKED)},
                         {"main", WM_COMMAND, MAKEWPARAM(7, BN_CLICKED)}}));
    ASSERT_EQ(checkAtClick.size(), 2u);
    EXPECT_EQ(checkAtClick[0], BST_CHECKED);
    EXPECT_EQ(checkAtClick[1], BST_UNCHECKED);
    (void)b;
}

TEST_F(Buttons, SetCheckClampsToTheType) {
    struct Case {
        DWORD type;
        WPARAM set;
        LRESULT got;
    } cases[] = {{BS_PUSHBUTTON, 1, 0},   {BS_OWNERDRAW, 1, 0},  {BS_AUTOCHECKBOX, 1, 1},
                 {BS_AUTOCHECKBOX, 2, 1}, {BS_AUTO3STATE, 2, 2}, {BS_3STATE, 9, 2},
                 {BS_CHECKBOX, 0, 0}};
    for (const Case& c : cases) {
        HWND b = Make(c.type, 1);
        EXPECT_EQ(SendMessageW(b, BM_SETCHECK, c.set, 0), 0);
        EXPECT_EQ(SendMessageW(b, BM_GETCHECK, 0, 0), c.got) << c.type << " " << c.set;
        DestroyWindow(b);
    }
}

TEST_F(Buttons, OwnerDrawnButtonDrawsThroughItsParentInEveryPhase) {
    HWND b = Make(WS_BORDER | BS_OWNERDRAW, 5003);
    InvalidateRect(b, nullptr, TRUE);
    Drain();
    device::StylusDown(30, 45);
    Drain();
    device::StylusUp(30, 45);
    Drain();
    struct Phase {
        UINT action, state;
    } want[] = {{ODA_DRAWENTIRE, 0},
                {ODA_FOCUS, ODS_FOCUS},
                {ODA_SELECT, ODS_SELECTED | ODS_FOCUS},
                {ODA_SELECT, ODS_FOCUS}};
    ASSERT_EQ(drawn.size(), std::size(want));
    const RECT client{0, 0, 58, 18};  // inside the border
    for (size_t i = 0; i < drawn.size(); ++i) {
        EXPECT_EQ(drawn[i].ctlType, static_cast<UINT>(ODT_BUTTON)) << i;
        EXPECT_EQ(drawn[i].ctlId, 5003u) << i;
        EXPECT_EQ(drawn[i].item, b) << i;
        EXPECT_TRUE(drawn[i].hasDc) << i;
        EXPECT_TRUE(SameRect(drawn[i].rc, client)) << i;
        EXPECT_EQ(drawn[i].itemAction, want[i].action) << i;
        EXPECT_EQ(drawn[i].itemState, want[i].state) << i;
    }
    EXPECT_TRUE(Matches({{"main", WM_COMMAND, MAKEWPARAM(5003, BN_CLICKED)}}));
    // The parent's drawing lands inside the button's border on the screen.
    EXPECT_EQ(PixelAt(30, 45), 0x808080u);
    EXPECT_EQ(PixelAt(10, 36), 0x000000u);
    // Disabled: drawn as such, and the stylus does nothing.
    drawn.clear();
    EnableWindow(b, FALSE);
    Drain();
    ASSERT_FALSE(drawn.empty());
    EXPECT_EQ(drawn.back().itemState & ODS_DISABLED, static_cast<UINT>(ODS_DISABLED));
    Log().clear();
    device::Tap(30, 45);
    Drain();
    EXPECT_TRUE(Matches({}));
}

TEST_F(Buttons, SpaceBarAndBmClickClick) {
    HWND b = Make(BS_PUSHBUTTON, 9);
    SetFocus(b);
    device::Key(VK_SPACE);
    Drain();
    SendMessageW(b, BM_CLICK, 0, 0);
    EXPECT_TRUE(Matches({{"main", WM_COMMAND, MAKEWPARAM(9, BN_CLICKED)},
                         {"main", WM_COMMAND, MAKEWPARAM(9, BN_CLICKED)}}));
}

LRESULT DestroyOnCommand(HWND, UINT msg, WPARAM, LPARAM lParam, bool*) {
    if (msg == WM_COMMAND) DestroyWindow(reinterpret_cast<HWND>(lParam));
    return 0;
}

TEST_F(Buttons, ClickThatDestroysTheButtonIsSafe) {
    // A page that is rebuilt on a click destroys the button inside its own
    // WM_LBUTTONUP; the owner-drawn and check box kinds draw once more first.
    for (DWORD type : {BS_PUSHBUTTON, BS_OWNERDRAW, BS_AUTOCHECKBOX}) {
        HWND b = Make(type, 5000);
        SetHandler(DestroyOnCommand);
        device::Tap(30, 45);
        device::Key(VK_SPACE);
        Drain();
        EXPECT_FALSE(IsWindow(b)) << type;
        EXPECT_EQ(GetCapture(), nullptr) << type;
        EXPECT_EQ(GetFocus(), main) << type;
        SetHandler(ParentHandler);
    }
}

}  // namespace

TEST_F(Buttons, LookOfPushButtonsAndCheckBoxes) {
    CreateWindowExW(0, u"BUTTON", u"Cancel", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 4, 4, 60, 21,
                    main, reinterpret_cast<HMENU>(1), nullptr, nullptr);
    CreateWindowExW(0, u"BUTTON", u"OK", WS_CHILD | WS_VISIBLE | BS_DEFPUSHBUTTON, 70, 4, 60, 21,
                    main, reinterpret_cast<HMENU>(2), nullptr, nullptr);
    HWND pressed =
        CreateWindowExW(0, u"BUTTON", u"Held", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 136, 4, 60,
                        21, main, reinterpret_cast<HMENU>(3), nullptr, nullptr);
    HWND check = CreateWindowExW(0, u"BUTTON", u"Sound", WS_CHILD | WS_VISIBLE | BS_AUTOCHECKBOX, 4,
                                 30, 70, 16, main, reinterpret_cast<HMENU>(4), nullptr, nullptr);
    CreateWindowExW(0, u"BUTTON", u"Off", WS_CHILD | WS_VISIBLE | BS_AUTOCHECKBOX, 80, 30, 70, 16,
                    main, reinterpret_cast<HMENU>(5), nullptr, nullptr);
    Drain();
    SendMessageW(check, BM_SETCHECK, BST_CHECKED, 0);
    SendMessageW(pressed, BM_SETSTATE, TRUE, 0);
    EXPECT_TRUE(gfxtest::MatchesGolden(gfxtest::Crop(ComposedScreen(), RECT{0, 26, 200, 76}),
                                       "wm_buttons"));
}
