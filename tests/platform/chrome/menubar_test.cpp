// The menu bar: built from a definition resource and an image strip, button
// states that keep every button in its place, taps that reach the owner as
// WM_COMMAND, and the pop-up menu of a drop-down button.
#include "chrome_support.h"
#include "wm/wm.h"

using namespace chrometest;
using namespace wmtest;

namespace {

using Menubar = ShellTest;

// The pop-up menu on screen, or null.
HWND OpenPopup() {
    for (wm::Window* t : wm::TopLevels())
        if (t->cls->name == u"#PopupMenu") return t->handle;
    return nullptr;
}

TEST_F(Menubar, BuildsTheBarFromItsDefinition) {
    HWND bar = MakeBar();
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(SHFindMenuBar(main), bar);
    EXPECT_EQ(SHFindMenuBar(bar), nullptr);
    RECT r;
    GetWindowRect(bar, &r);
    EXPECT_EQ(r.left, 0);
    EXPECT_EQ(r.top, 294);
    EXPECT_EQ(r.right, 240);
    EXPECT_EQ(r.bottom, 320);
    // A pop-up of its own, not a child of the program's window.
    EXPECT_EQ(wm::FindQuiet(bar)->parent, nullptr);
    EXPECT_EQ(wm::FindQuiet(bar)->owner, main);
    EXPECT_FALSE(GetWindowLongW(bar, GWL_STYLE) & WS_CHILD);
    EXPECT_TRUE(IsWindowVisible(bar));
    // Building the bar leaves the program active.
    EXPECT_EQ(GetForegroundWindow(), main);

    struct Want {
        uint16_t command;
        const char16_t* caption;
        int image;
        bool enabled, hidden, dropDown;
    } want[] = {
        {300, u"File", -1, true, false, true},
        {301, u"", 0, true, false, false},
        {302, u"", 1, true, true, false},
        {303, u"", 2, false, false, false},
        {304, u"", 3, true, false, false},
        {305, u"", -1, true, false, false},  // image 5 is past the count
        {306, u"Done", -1, true, false, false},
    };
    const auto buttons = device::MenuBarButtons();
    ASSERT_EQ(buttons.size(), std::size(want));
    int x = 0;
    for (size_t i = 0; i < buttons.size(); ++i) {
        const auto& b = buttons[i];
        SCOPED_TRACE(want[i].command);
        EXPECT_EQ(b.command, want[i].command);
        EXPECT_EQ(b.caption, want[i].caption);
        EXPECT_EQ(b.image, want[i].image);
        EXPECT_EQ(b.enabled, want[i].enabled);
        EXPECT_EQ(b.hidden, want[i].hidden);
        EXPECT_EQ(b.dropDown, want[i].dropDown);
        // Side by side from the left edge, the height of the bar below its top line.
        EXPECT_EQ(b.rect.left, x);
        EXPECT_GT(b.rect.right, b.rect.left);
        EXPECT_EQ(b.rect.top, 295);
        EXPECT_EQ(b.rect.bottom, 320);
        x = b.rect.right;
    }
    // Image buttons are one width; text buttons fit their caption.
    EXPECT_EQ(buttons[1].rect.right - buttons[1].rect.left,
              buttons[4].rect.right - buttons[4].rect.left);
    EXPECT_LE(x, 216);  // clear of the input panel's toggle
}

TEST_F(Menubar, CreationFailsCleanly) {
    struct Case {
        const char* what;
        DWORD cbSize;
        bool goodParent;
        UINT id;
        DWORD flags;
    } cases[] = {
        {"size 0", 0, true, 131, 0},
        {"size 35", 35, true, 131, 0},
        {"size 37", 37, true, 131, 0},
        {"no parent", 36, false, 131, 0},
        {"unknown definition", 36, true, 999, 0},
        {"id past 16 bits", 36, true, 0x10083, 0},
        {"unknown menu with SHCMBF_HMENU", 36, true, 998, SHCMBF_HMENU},
    };
    for (const Case& c : cases) {
        SHMENUBARINFO mbi{};
        mbi.cbSize = c.cbSize;
        mbi.hwndParent = c.goodParent ? main : reinterpret_cast<HWND>(0x7777);
        mbi.nToolBarId = c.id;
        mbi.dwFlags = c.flags;
        mbi.hwndMB = reinterpret_cast<HWND>(0x1234);
        EXPECT_FALSE(SHCreateMenuBar(&mbi)) << c.what;
        if (c.cbSize == 36) {
            EXPECT_EQ(mbi.hwndMB, nullptr) << c.what;
        }
        EXPECT_EQ(SHFindMenuBar(main), nullptr) << c.what;
    }
    EXPECT_FALSE(SHCreateMenuBar(nullptr));
    EXPECT_TRUE(device::MenuBarButtons().empty());
    // The natural size of the record is accepted as well as the handheld's 36.
    SHMENUBARINFO mbi{};
    mbi.cbSize = sizeof mbi;
    mbi.hwndParent = main;
    mbi.nToolBarId = 131;
    EXPECT_TRUE(SHCreateMenuBar(&mbi));
    EXPECT_NE(mbi.hwndMB, nullptr);
}

TEST_F(Menubar, SetStateShowsHidesAndEnablesWithoutMovingButtons) {
    HWND bar = MakeBar();
    std::vector<RECT> before;
    for (const auto& b : device::MenuBarButtons()) before.push_back(b.rect);

    struct Step {
        uint16_t command;
        WPARAM state;
        bool enabled, hidden;
    } steps[] = {
        {301, TBSTATE_HIDDEN, false, true},
        {302, TBSTATE_ENABLED, true, false},
        {303, TBSTATE_ENABLED, true, false},
        {304, 0, false, false},
        {300, TBSTATE_HIDDEN, false, true},
        {301, TBSTATE_ENABLED | 0xFF00, true, false},  // only the low byte of the state counts
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(s.command);
        EXPECT_EQ(SendMessageW(bar, TB_SETSTATE, s.command, MAKELONG(s.state, 0)), TRUE);
        EXPECT_EQ(SendMessageW(bar, TB_GETSTATE, s.command, 0),
                  static_cast<LRESULT>(s.state & 0xFF));
        const auto b = ButtonInfo(s.command);
        EXPECT_EQ(b.enabled, s.enabled);
        EXPECT_EQ(b.hidden, s.hidden);
        const auto now = device::MenuBarButtons();
        ASSERT_EQ(now.size(), before.size());
        for (size_t i = 0; i < now.size(); ++i)
            EXPECT_TRUE(EqualRect(&now[i].rect, &before[i])) << i;
    }
    EXPECT_EQ(SendMessageW(bar, TB_SETSTATE, 4242, TBSTATE_ENABLED), FALSE);
    EXPECT_EQ(SendMessageW(bar, TB_GETSTATE, 4242, 0), -1);
    // Sent to no window, as a program does after its bar failed: nothing happens.
    EXPECT_EQ(SendMessageW(nullptr, TB_SETSTATE, 301, TBSTATE_HIDDEN), 0);
}

TEST_F(Menubar, TappedButtonsSendTheirCommandToTheOwner) {
    HWND bar = MakeBar();
    struct Case {
        uint16_t command;
        WPARAM state;  // set before the tap; 0xFFFF leaves the definition's
        bool sends;
    } cases[] = {
        {301, 0xFFFF, true},          {302, 0xFFFF, false},  // hidden by its definition
        {303, 0xFFFF, false},                                // disabled by its definition
        {303, TBSTATE_ENABLED, true}, {304, TBSTATE_HIDDEN, false},
        {304, TBSTATE_ENABLED, true}, {305, 0xFFFF, true},  // an image past the count still taps
        {306, 0xFFFF, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.command);
        const POINT p = Centre(c.command);
        if (c.state != 0xFFFF) SendMessageW(bar, TB_SETSTATE, c.command, c.state);
        Log().clear();
        device::Tap(p.x, p.y);
        Drain();
        EXPECT_EQ(Commands(), c.sends ? std::vector<int>{c.command} : std::vector<int>{});
        EXPECT_EQ(device::PressMenuBarButton(c.command), c.sends);
        Drain();
    }
    // The command carries the bar as its sender.
    Log().clear();
    ASSERT_TRUE(device::PressMenuBarButton(301));
    Drain();
    ASSERT_EQ(Count(WM_COMMAND, main), 1);
    for (const Seen& s : Log())
        if (s.msg == WM_COMMAND) {
            EXPECT_EQ(s.lParam, reinterpret_cast<LPARAM>(bar));
        }
    EXPECT_FALSE(device::PressMenuBarButton(4242));
}

TEST_F(Menubar, ReleasingOffTheButtonSendsNothing) {
    MakeBar();
    const POINT p = Centre(301);
    const RECT next = ButtonInfo(304).rect;
    device::StylusDown(p.x, p.y);
    device::StylusMove(next.left + 2, p.y);
    device::StylusUp(next.left + 2, p.y);
    Drain();
    EXPECT_TRUE(Commands().empty());
    // Sliding off and back on still counts.
    device::StylusDown(p.x, p.y);
    device::StylusMove(p.x, 200);
    device::StylusMove(p.x, p.y);
    device::StylusUp(p.x, p.y);
    Drain();
    EXPECT_EQ(Commands(), std::vector<int>{301});
}

TEST_F(Menubar, TapsKeepTheProgramActiveAndItsFocus) {
    MakeBar();
    HWND edit = CreateWindowExW(0, u"EDIT", u"", WS_CHILD | WS_VISIBLE | WS_BORDER, 10, 10, 100, 20,
                                main, reinterpret_cast<HMENU>(7), nullptr, nullptr);
    SetFocus(edit);
    Drain();
    ASSERT_TRUE(device::PressMenuBarButton(301));
    Drain();
    EXPECT_EQ(GetForegroundWindow(), main);
    EXPECT_EQ(GetFocus(), edit);
    device::Type(u"ok");
    Drain();
    char16_t text[16] = {};
    GetWindowTextW(edit, text, 16);
    EXPECT_EQ(std::u16string(text), u"ok");
}

TEST_F(Menubar, NothingHappensWhileTheOwnerIsDisabled) {
    MakeBar();
    const POINT p = Centre(301);
    EnableWindow(main, FALSE);
    device::Tap(p.x, p.y);
    Drain();
    EXPECT_FALSE(device::PressMenuBarButton(301));
    EXPECT_FALSE(device::ChooseMenuItem(310));
    const POINT file = Centre(300);
    device::Tap(file.x, file.y);
    Drain();
    EXPECT_TRUE(device::OpenMenuItems().empty());
    EnableWindow(main, TRUE);
    Drain();
    EXPECT_TRUE(Commands().empty());
    EXPECT_TRUE(device::PressMenuBarButton(301));
    Drain();
    EXPECT_EQ(Commands(), std::vector<int>{301});
}

TEST_F(Menubar, DropDownOpensItsMenuAboveTheBar) {
    MakeBar();
    const POINT file = Centre(300);
    device::Tap(file.x, file.y);
    Drain();
    EXPECT_EQ(device::OpenMenuItems(),
              (std::vector<std::u16string>{u"Open", u"Save", u"", u"Exit"}));
    HWND popup = OpenPopup();
    ASSERT_NE(popup, nullptr);
    RECT r;
    GetWindowRect(popup, &r);
    EXPECT_EQ(r.bottom, 294);                     // sits on the bar
    EXPECT_EQ(r.left, 0);                         // starts under the button's left edge
    EXPECT_EQ(r.bottom - r.top, 18 * 3 + 7 + 2);  // three items, a separator, the border
    EXPECT_EQ(GetForegroundWindow(), main);
    EXPECT_TRUE(Commands().empty());  // the drop-down itself sends nothing

    // The grayed item does nothing and leaves the menu open.
    device::Tap(20, r.top + 1 + 18 + 9);
    Drain();
    EXPECT_TRUE(Commands().empty());
    EXPECT_EQ(device::OpenMenuItems().size(), 4u);
    // Choosing an item closes the menu and sends its id.
    device::Tap(20, r.top + 1 + 9);
    Drain();
    EXPECT_EQ(Commands(), std::vector<int>{310});
    EXPECT_TRUE(device::OpenMenuItems().empty());
    EXPECT_FALSE(IsWindow(popup));
}

TEST_F(Menubar, TappingElsewhereClosesTheMenuAndGoesNoFurther) {
    MakeBar();
    RecordOnly({WM_LBUTTONDOWN, WM_LBUTTONUP, WM_COMMAND});
    struct Case {
        const char* what;
        POINT tap;
    } cases[] = {
        {"the page", {120, 60}},
        {"an image button", Centre(301)},
        {"the drop-down button again", Centre(300)},
        {"the navigation bar", {100, 10}},
    };
    for (const Case& c : cases) {
        const POINT file = Centre(300);
        device::Tap(file.x, file.y);
        Drain();
        ASSERT_FALSE(device::OpenMenuItems().empty()) << c.what;
        Log().clear();
        device::Tap(c.tap.x, c.tap.y);
        Drain();
        EXPECT_TRUE(device::OpenMenuItems().empty()) << c.what;
        EXPECT_TRUE(Log().empty()) << c.what;  // the closing tap reaches nobody
    }
    // With the menu closed, taps go where they fall again.
    device::Tap(120, 60);
    Drain();
    EXPECT_EQ(Count(WM_LBUTTONDOWN, main), 1);
}

TEST_F(Menubar, DraggingFromTheButtonChoosesOnRelease) {
    MakeBar();
    const POINT file = Centre(300);
    device::StylusDown(file.x, file.y);
    Drain();
    ASSERT_EQ(device::OpenMenuItems().size(), 4u);
    const int top = 294 - (18 * 3 + 7 + 2);
    device::StylusMove(20, top + 1 + 18 + 18 + 7 + 9);  // over "Exit"
    device::StylusUp(20, top + 1 + 18 + 18 + 7 + 9);
    Drain();
    EXPECT_EQ(Commands(), std::vector<int>{312});
    EXPECT_TRUE(device::OpenMenuItems().empty());
    // Released back on the button: the menu stays open.
    device::StylusDown(file.x, file.y);
    device::StylusUp(file.x, file.y);
    Drain();
    EXPECT_EQ(device::OpenMenuItems().size(), 4u);
}

TEST_F(Menubar, ChooseMenuItemTable) {
    HWND bar = MakeBar();
    struct Case {
        uint16_t command;
        bool found;
    } cases[] = {{310, true}, {312, true}, {311, false}, {0, false}, {301, false}, {9999, false}};
    for (const Case& c : cases) {
        Log().clear();
        EXPECT_EQ(device::ChooseMenuItem(c.command), c.found) << c.command;
        Drain();
        EXPECT_EQ(Commands(), c.found ? std::vector<int>{c.command} : std::vector<int>{})
            << c.command;
        EXPECT_TRUE(device::OpenMenuItems().empty()) << c.command;
    }
    // Items of a hidden drop-down cannot be reached.
    SendMessageW(bar, TB_SETSTATE, 300, TBSTATE_HIDDEN);
    EXPECT_FALSE(device::ChooseMenuItem(310));
}

TEST_F(Menubar, HidingTheDropDownClosesItsMenu) {
    HWND bar = MakeBar();
    const POINT file = Centre(300);
    device::Tap(file.x, file.y);
    Drain();
    ASSERT_FALSE(device::OpenMenuItems().empty());
    SendMessageW(bar, TB_SETSTATE, 300, TBSTATE_HIDDEN);
    EXPECT_TRUE(device::OpenMenuItems().empty());
    EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(Menubar, CreationFlags) {
    // Hidden: the bar exists but nothing shows.
    HWND hidden = MakeBar(131, SHCMBF_HIDDEN);
    EXPECT_FALSE(IsWindowVisible(hidden));
    EXPECT_TRUE(device::MenuBarButtons().empty());
    // A second bar for the same owner replaces the first.
    HWND empty = MakeBar(131, SHCMBF_EMPTYBAR);
    EXPECT_FALSE(IsWindow(hidden));
    EXPECT_EQ(SHFindMenuBar(main), empty);
    EXPECT_TRUE(IsWindowVisible(empty));
    EXPECT_TRUE(device::MenuBarButtons().empty());
    // From a plain menu: one drop-down per pop-up.
    MakeBar(131, SHCMBF_HMENU);
    const auto buttons = device::MenuBarButtons();
    ASSERT_EQ(buttons.size(), 1u);
    EXPECT_EQ(buttons[0].caption, u"File");
    EXPECT_TRUE(buttons[0].dropDown);
    EXPECT_TRUE(device::ChooseMenuItem(312));
    Drain();
    EXPECT_EQ(Commands(), std::vector<int>{312});
    // Without the toggle the right end is just bar.
    MakeBar(131, SHCMBF_HIDESIPBUTTON);
    device::Tap(230, 307);
    Drain();
    EXPECT_FALSE(device::InputPanelShown());
    // A background colour of the program's choosing.
    SHMENUBARINFO mbi{};
    mbi.cbSize = 36;
    mbi.hwndParent = main;
    mbi.dwFlags = SHCMBF_COLORBK;
    mbi.nToolBarId = 131;
    mbi.clrBk = RGB(0x20, 0x80, 0x40);
    ASSERT_TRUE(SHCreateMenuBar(&mbi));
    Drain();
    EXPECT_EQ(FramePixel(200, 310), 0x208040u);
}

TEST_F(Menubar, ButtonsPastTheToggleCannotBeTapped) {
    MakeBar(132);
    const auto buttons = device::MenuBarButtons();
    ASSERT_EQ(buttons.size(), 13u);
    EXPECT_EQ(buttons[11].rect.right, 216);
    EXPECT_TRUE(IsRectEmpty(&buttons[12].rect));
    EXPECT_TRUE(device::PressMenuBarButton(411));
    EXPECT_FALSE(device::PressMenuBarButton(412));
    Drain();
    EXPECT_EQ(Commands(), std::vector<int>{411});
}

TEST_F(Menubar, TheBarGoesWithItsOwner) {
    HWND bar = MakeBar();
    const POINT file = Centre(300);
    device::Tap(file.x, file.y);
    Drain();
    ASSERT_FALSE(device::OpenMenuItems().empty());
    DestroyWindow(main);
    EXPECT_FALSE(IsWindow(bar));
    EXPECT_TRUE(device::OpenMenuItems().empty());
    EXPECT_TRUE(device::MenuBarButtons().empty());
    EXPECT_EQ(SHFindMenuBar(main), nullptr);
    EXPECT_EQ(GetCapture(), nullptr);
    // WM_CLOSE alone does not take the bar away from its program.
    main = CreateWindowExW(0, TestClass(), u"Again", WS_VISIBLE, CW_USEDEFAULT, CW_USEDEFAULT, 240,
                           268, nullptr, nullptr, nullptr, nullptr);
    bar = MakeBar();
    SendMessageW(bar, WM_CLOSE, 0, 0);
    EXPECT_TRUE(IsWindow(bar));
}

}  // namespace

namespace {

TEST_F(Menubar, ATextButtonAndTenPicturesFitBeforeTheToggle) {
    HWND bar = MakeBar(133);
    const auto buttons = device::MenuBarButtons();
    ASSERT_EQ(buttons.size(), 11u);
    EXPECT_EQ(buttons[0].caption, u"Menu");
    for (const auto& b : buttons) {
        EXPECT_FALSE(IsRectEmpty(&b.rect)) << b.command;
        EXPECT_LE(b.rect.right, 216) << b.command;
    }
    EXPECT_EQ(buttons[10].rect.right - buttons[10].rect.left, 18);
    // The last picture is drawn whole, left of the toggle.
    EXPECT_GT(CountIn(buttons[10].rect, 0x000000), 10);
    // Two buttons with one command: the state goes to the first.
    SendMessageW(bar, TB_SETSTATE, 516, TBSTATE_HIDDEN);
    EXPECT_TRUE(device::MenuBarButtons()[4].hidden);
    EXPECT_FALSE(device::MenuBarButtons()[5].hidden);
    // Arrows and their blank stand-ins swap without moving anything.
    const RECT arrow = buttons[8].rect;
    SendMessageW(bar, TB_SETSTATE, 512, TBSTATE_HIDDEN);
    SendMessageW(bar, TB_SETSTATE, 515, TBSTATE_ENABLED);
    EXPECT_TRUE(EqualRect(&device::MenuBarButtons()[8].rect, &arrow));
    EXPECT_FALSE(device::PressMenuBarButton(512));
    EXPECT_TRUE(device::PressMenuBarButton(511));
    Drain();
    EXPECT_EQ(Commands(), std::vector<int>{511});
}

}  // namespace

namespace {

TEST_F(Menubar, AMenuTallerThanTheScreenShowsWhatFits) {
    MakeBar(134);
    EXPECT_TRUE(device::PressMenuBarButton(401));
    Drain();
    ASSERT_EQ(device::OpenMenuItems().size(), 20u);
    HWND popup = OpenPopup();
    ASSERT_NE(popup, nullptr);
    RECT r;
    GetWindowRect(popup, &r);
    EXPECT_EQ(r.top, 0);
    EXPECT_EQ(r.bottom, 294);
    // The items that fit can be chosen; the ones past the screen cannot.
    for (int id : {700, 715, 716, 719}) {
        EXPECT_EQ(device::ChooseMenuItem(static_cast<uint16_t>(id)), id <= 715) << id;
        Drain();
    }
    EXPECT_EQ(Commands(), (std::vector<int>{700, 715}));
    EXPECT_TRUE(device::OpenMenuItems().empty());
}

}  // namespace
