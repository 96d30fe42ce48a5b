// Window lifecycle, geometry, window longs, subclassing, text, focus and the
// failures of bad arguments.
#include "wm_support.h"

using namespace wmtest;

namespace {

class Window : public ::testing::Test {
   protected:
    void SetUp() override { ResetDevice(); }
    void TearDown() override { ResetDevice(); }

    HWND Main(DWORD style = WS_VISIBLE | WS_VSCROLL) { return CreateMain(style); }
    // A child of the test class at (x, y), w by h, named `name` in the log.
    static HWND Child(HWND parent, const char* name, int x, int y, int w, int h,
                      DWORD style = WS_CHILD | WS_VISIBLE, int id = 0) {
        HWND c =
            CreateWindowExW(0, TestClass(), u"", style, x, y, w, h, parent,
                            reinterpret_cast<HMENU>(static_cast<intptr_t>(id)), nullptr, nullptr);
        Name(c, name);
        return c;
    }
};

TEST_F(Window, VisibleTopLevelCreationSendsTheHandheldOrderAndNoPaint) {
    HWND main = Main();
    ASSERT_NE(main, nullptr);
    EXPECT_TRUE(Matches({{"main", WM_NCCREATE},
                         {"main", WM_CREATE},
                         {"main", WM_SIZE, SIZE_RESTORED},
                         {"main", WM_MOVE},
                         {"main", WM_SHOWWINDOW, TRUE},
                         {"main", WM_ACTIVATE, WA_ACTIVE},
                         {"main", WM_SETFOCUS},
                         {"main", WM_WINDOWPOSCHANGED}}));
    // WM_SIZE carries the client size: 240 less the 13-pixel scroll bar.
    EXPECT_EQ(Log()[2].lParam, MAKELPARAM(227, 268));
    // The default position is the work area below the navigation bar.
    EXPECT_EQ(Log()[3].lParam, MAKELPARAM(0, 26));
    EXPECT_EQ(GetForegroundWindow(), main);
    EXPECT_EQ(GetFocus(), main);
    // The first paint comes through the queue afterwards.
    Log().clear();
    Drain();
    EXPECT_TRUE(Matches({{"main", WM_PAINT}, {"main", WM_ERASEBKGND}}));
}

TEST_F(Window, VisibleChildCreationAndHiddenChild) {
    HWND main = Main();
    Log().clear();
    HWND child = Child(main, "child", 10, 20, 50, 30, WS_CHILD | WS_VISIBLE, 77);
    EXPECT_TRUE(Matches({{"child", WM_NCCREATE},
                         {"child", WM_CREATE},
                         {"child", WM_SIZE},
                         {"child", WM_MOVE},
                         {"child", WM_SHOWWINDOW, TRUE},
                         {"child", WM_WINDOWPOSCHANGED}}));
    EXPECT_EQ(Log()[3].lParam, MAKELPARAM(10, 20));
    EXPECT_EQ(GetDlgCtrlID(child), 77);
    EXPECT_EQ(GetParent(child), main);

    Log().clear();
    HWND hidden = Child(main, "hidden", 0, 0, 5, 5, WS_CHILD);
    EXPECT_TRUE(Matches({{"hidden", WM_NCCREATE},
                         {"hidden", WM_CREATE},
                         {"hidden", WM_SIZE},
                         {"hidden", WM_MOVE}}));
    EXPECT_FALSE(IsWindowVisible(hidden));
    ShowWindow(main, SW_HIDE);
    EXPECT_FALSE(IsWindowVisible(child));  // a child is visible only with its parents
}

LRESULT FailCreate(HWND, UINT msg, WPARAM, LPARAM, bool* handled) {
    if (msg == WM_CREATE) {
        *handled = true;
        return -1;
    }
    if (msg == WM_NCCREATE && GetTickCount() == 7) {
        *handled = true;
        return FALSE;
    }
    return 0;
}

TEST_F(Window, CreationRefusedByTheProcedureReturnsNull) {
    SetHandler(FailCreate);
    EXPECT_EQ(Main(), nullptr);  // WM_CREATE returned -1
    ASSERT_GE(Log().size(), 2u);
    HWND gone = Log()[0].hwnd;
    EXPECT_FALSE(IsWindow(gone));
    // The window heard WM_DESTROY and WM_NCDESTROY before it went.
    EXPECT_EQ(Log()[Log().size() - 2].msg, static_cast<UINT>(WM_DESTROY));
    EXPECT_EQ(Log().back().msg, static_cast<UINT>(WM_NCDESTROY));
    device::SetClock(7);
    Log().clear();
    EXPECT_EQ(Main(), nullptr);  // WM_NCCREATE returned FALSE
    EXPECT_EQ(Log().front().msg, static_cast<UINT>(WM_NCCREATE));
}

TEST_F(Window, BadArgumentsFailWithTheLastError) {
    HWND stale = Main();
    DestroyWindow(stale);
    const struct {
        const char* what;
        LPCWSTR cls;
        DWORD style;
        HWND parent;
        DWORD error;
    } cases[] = {{"unknown class", u"NoSuchClass", 0, nullptr, 1407},
                 {"child without parent", TestClass(), WS_CHILD, nullptr, 1406},
                 {"stale parent", TestClass(), WS_CHILD, stale, 1400}};
    for (const auto& c : cases) {
        SetLastError(0);
        EXPECT_EQ(CreateWindowExW(0, c.cls, u"", c.style, 0, 0, 1, 1, c.parent, nullptr, nullptr,
                                  nullptr),
                  nullptr)
            << c.what;
        EXPECT_EQ(GetLastError(), c.error) << c.what;
    }
    // Calls on a stale or null handle fail without touching anything.
    RECT r{1, 2, 3, 4};
    EXPECT_FALSE(GetClientRect(stale, &r));
    EXPECT_FALSE(DestroyWindow(stale));
    EXPECT_EQ(GetLastError(), 1400u);
    EXPECT_FALSE(ShowWindow(nullptr, SW_SHOW));
    EXPECT_FALSE(InvalidateRect(nullptr, nullptr, TRUE));
    EXPECT_FALSE(PostMessageW(stale, WM_USER, 0, 0));
    EXPECT_EQ(SendMessageW(stale, WM_USER, 0, 0), 0);
    EXPECT_EQ(SetWindowLongW(stale, GWL_ID, 5), 0);
    EXPECT_EQ(GetWindowTextLengthW(stale), 0);
    EXPECT_FALSE(SetForegroundWindow(stale));
    EXPECT_EQ(SetFocus(stale), nullptr);
    EXPECT_FALSE(IsWindow(nullptr));
    EXPECT_EQ(SetTimer(stale, 1, 100, nullptr), 0u);
    WNDCLASSW wc{};
    EXPECT_EQ(RegisterClassW(&wc), 0);  // no procedure, no name
    EXPECT_EQ(RegisterClassW(nullptr), 0);
    // Null structure pointers are refused, not followed.
    HWND live = Main();
    EXPECT_FALSE(GetClientRect(live, nullptr));
    EXPECT_FALSE(GetWindowRect(live, nullptr));
    EXPECT_EQ(BeginPaint(live, nullptr), nullptr);
    EXPECT_FALSE(EndPaint(live, nullptr));
    EXPECT_EQ(GetMessageW(nullptr, nullptr, 0, 0), -1);
    EXPECT_FALSE(PeekMessageW(nullptr, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(DispatchMessageW(nullptr), 0);
    EXPECT_FALSE(TranslateMessage(nullptr));
    EXPECT_EQ(CallWindowProcW(nullptr, live, WM_USER, 0, 0), 0);
    EXPECT_EQ(SetScrollInfo(live, SB_VERT, nullptr, TRUE), 0);
    EXPECT_FALSE(SetCaretPos(1, 1));  // no caret
    EXPECT_TRUE(SetWindowTextW(live, nullptr));
    EXPECT_EQ(GetWindowTextLengthW(live), 0);
    EXPECT_EQ(SendMessageW(live, WM_GETTEXT, 10, 0), 0);
    // A WM_TIMER carrying a procedure no timer was set with calls nothing.
    MSG forged{live, WM_TIMER, 1, 0x1234, 0, {0, 0}};
    EXPECT_EQ(DispatchMessageW(&forged), 0);
}

TEST_F(Window, ClientRectLosesTheScrollBarAndTheBorder) {
    struct Case {
        DWORD style;
        RECT client;
    } cases[] = {{0, {0, 0, 240, 268}},
                 {WS_VSCROLL, {0, 0, 227, 268}},
                 {WS_VSCROLL | WS_BORDER, {0, 0, 225, 266}},
                 {WS_BORDER, {0, 0, 238, 266}}};
    for (const Case& c : cases) {
        HWND h = Main(c.style);
        RECT r;
        ASSERT_TRUE(GetClientRect(h, &r));
        EXPECT_TRUE(SameRect(r, c.client))
            << std::hex << c.style << ": " << r.right << "x" << r.bottom;
        RECT w;
        GetWindowRect(h, &w);
        EXPECT_EQ(w.top, 26);
        EXPECT_EQ(w.bottom, 26 + 268);
        DestroyWindow(h);
    }
}

TEST_F(Window, DestroySendsDestroyParentFirstAndNcDestroyChildrenFirst) {
    HWND main = Main();
    HWND a = Child(main, "a", 0, 0, 5, 5);
    HWND b = Child(a, "b", 0, 0, 5, 5);
    SetFocus(b);
    RecordOnly({WM_DESTROY, WM_NCDESTROY, WM_KILLFOCUS});
    Log().clear();
    EXPECT_TRUE(DestroyWindow(main));
    EXPECT_TRUE(Matches({{"b", WM_KILLFOCUS},
                         {"main", WM_DESTROY},
                         {"a", WM_DESTROY},
                         {"b", WM_DESTROY},
                         {"b", WM_NCDESTROY},
                         {"a", WM_NCDESTROY},
                         {"main", WM_NCDESTROY}}));
    EXPECT_FALSE(IsWindow(main));
    EXPECT_FALSE(IsWindow(b));
    EXPECT_EQ(GetFocus(), nullptr);
    EXPECT_EQ(GetForegroundWindow(), nullptr);
}

TEST_F(Window, CloseDestroysButDestroyDoesNotQuit) {
    HWND main = Main();
    SendMessageW(main, WM_CLOSE, 0, 0);
    EXPECT_FALSE(IsWindow(main));
    MSG msg;
    EXPECT_FALSE(PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
}

LRESULT CALLBACK Subclass(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
WNDPROC previous = nullptr;
int subclassCalls = 0;

LRESULT CALLBACK Subclass(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_USER) {
        ++subclassCalls;
        return 42;
    }
    return CallWindowProcW(previous, hwnd, msg, wParam, lParam);
}

TEST_F(Window, SubclassingKeepsThePreviousProcedureAtFullWidth) {
    HWND main = Main();
    subclassCalls = 0;
    previous = reinterpret_cast<WNDPROC>(
        SetWindowLongW(main, GWL_WNDPROC, reinterpret_cast<LONG_PTR>(Subclass)));
    EXPECT_EQ(previous, &RecordingProc);  // a 64-bit pointer survives the round trip
    EXPECT_EQ(reinterpret_cast<WNDPROC>(GetWindowLongW(main, GWL_WNDPROC)), &Subclass);
    Log().clear();
    EXPECT_EQ(SendMessageW(main, WM_USER, 0, 0), 42);
    EXPECT_EQ(SendMessageW(main, WM_USER + 1, 0, 0), 0);
    EXPECT_EQ(subclassCalls, 1);
    EXPECT_TRUE(Matches({{"main", WM_USER + 1}}));  // forwarded, the first one not
    // The other longs return the previous value.
    EXPECT_EQ(SetWindowLongW(main, GWL_USERDATA, 0x1234567890LL), 0);
    EXPECT_EQ(GetWindowLongW(main, GWL_USERDATA), 0x1234567890LL);
    EXPECT_EQ(SetWindowLongW(main, GWL_ID, 9), 0);
    EXPECT_EQ(GetWindowLongW(main, GWL_ID), 9);
    EXPECT_EQ(static_cast<DWORD>(GetWindowLongW(main, GWL_STYLE)) & WS_VSCROLL,
              static_cast<DWORD>(WS_VSCROLL));
    EXPECT_EQ(GetWindowLongW(main, 400), 0);  // no extra bytes
    EXPECT_EQ(GetLastError(), 1413u);
    EXPECT_EQ(SetWindowLongW(main, GWL_WNDPROC, 0), 0);  // a null procedure is refused
    EXPECT_EQ(reinterpret_cast<WNDPROC>(GetWindowLongW(main, GWL_WNDPROC)), &Subclass);
}

TEST_F(Window, FocusMovesWithKillAndSetFocus) {
    HWND main = Main();
    HWND a = Child(main, "a", 0, 0, 5, 5);
    RecordOnly({WM_SETFOCUS, WM_KILLFOCUS});
    Log().clear();
    EXPECT_EQ(SetFocus(a), main);
    EXPECT_TRUE(Matches({{"main", WM_KILLFOCUS, reinterpret_cast<WPARAM>(a)},
                         {"a", WM_SETFOCUS, reinterpret_cast<WPARAM>(main)}}));
    Log().clear();
    EXPECT_EQ(SetFocus(nullptr), a);
    EXPECT_TRUE(Matches({{"a", WM_KILLFOCUS, 0}}));
    EXPECT_EQ(GetFocus(), nullptr);
    // Disabling the focused window takes the focus away.
    SetFocus(a);
    EXPECT_FALSE(EnableWindow(a, FALSE));
    EXPECT_EQ(GetFocus(), nullptr);
    EXPECT_TRUE(EnableWindow(a, TRUE));  // it was disabled
}

TEST_F(Window, MoveWindowSendsSizeAndMoveOnlyForRealChanges) {
    HWND main = Main();
    HWND a = Child(main, "a", 0, 0, 50, 20);
    RecordOnly({WM_SIZE, WM_MOVE});
    Log().clear();
    MoveWindow(a, 0, 0, 50, 20, TRUE);
    EXPECT_TRUE(Matches({}));
    MoveWindow(a, 5, 6, 50, 20, TRUE);
    EXPECT_TRUE(Matches({{"a", WM_MOVE}}));
    Log().clear();
    MoveWindow(a, 5, 6, 60, 20, TRUE);
    EXPECT_TRUE(Matches({{"a", WM_SIZE}}));
    EXPECT_EQ(Log()[0].lParam, MAKELPARAM(60, 20));
    RECT r;
    GetWindowRect(a, &r);
    EXPECT_EQ(r.left, 5);
    EXPECT_EQ(r.top, 26 + 6);
}

// A child painted while its parent is resized (the parent's procedure resizes
// it in answer to WM_DRAWITEM, as a program following the input panel does)
// keeps drawing on the resized window, never on the surface it replaced.
TEST_F(Window, ADeviceContextOutlivesAResizeOfItsWindow) {
    HWND main = Main(WS_VISIBLE);
    Drain();
    HDC dc = GetDC(main);
    SetWindowPos(main, HWND_TOP, 0, 0, 240, 200, SWP_NOMOVE);
    RECT dot = {0, 0, 4, 4};
    FillRect(dc, &dot, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    ReleaseDC(main, dc);
    RECT r;
    GetWindowRect(main, &r);
    EXPECT_EQ(PixelAt(r.left + 1, r.top + 1), 0x000000u);
}

}  // namespace
