// The menu bar: taps that reach the owner as WM_COMMAND, and the pop-up menu
// of a drop-down button. How the bar is built from its definition and how its
// buttons' states show are the chrome's golden pictures and the scenario dumps.
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

TEST_F(Menubar, CreationFailsCleanly) {
    struct Case {
        const char* what;
        DWORD cbSize;
        bool goodParent;
        UINT id;
    } cases[] = {
        {"size 0", 0, true, 131},
        {"size 35", 35, true, 131},
        {"size 37", 37, true, 131},
        {"no parent", 36, false, 131},
        {"unknown definition", 36, true, 999},
        {"id past 16 bits", 36, true, 0x10083},
    };
    for (const Case& c : cases) {
        SHMENUBARINFO mbi{};
        mbi.cbSize = c.cbSize;
        mbi.hwndParent = c.goodParent ? main : reinterpret_cast<HWND>(0x7777);
        mbi.nToolBarId = c.id;
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

TEST_F(Menubar, DropDownOpensItsMenuAboveTheBar) {
    MakeBar();
    Tap(Centre(300));
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
        Tap(Centre(300));
        Drain();
        ASSERT_FALSE(device::OpenMenuItems().empty()) << c.what;
        Log().clear();
        Tap(c.tap);
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
    Tap(Centre(300));
    Drain();
    ASSERT_FALSE(device::OpenMenuItems().empty());
    SendMessageW(bar, TB_SETSTATE, 300, TBSTATE_HIDDEN);
    EXPECT_TRUE(device::OpenMenuItems().empty());
    EXPECT_EQ(GetCapture(), nullptr);
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

TEST_F(Menubar, TwoButtonsWithOneCommandTheStateGoesToTheFirst) {
    HWND bar = MakeBar(133);
    SendMessageW(bar, TB_SETSTATE, 516, TBSTATE_HIDDEN);
    EXPECT_TRUE(device::MenuBarButtons()[4].hidden);
    EXPECT_FALSE(device::MenuBarButtons()[5].hidden);
}

TEST_F(Menubar, TheBarGoesWithItsOwner) {
    HWND bar = MakeBar();
    Tap(Centre(300));
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
