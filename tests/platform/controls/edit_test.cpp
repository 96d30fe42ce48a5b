// Single-line edit boxes under the stylus and keys.
#include "wm_support.h"

using namespace wmtest;

namespace {

class Edit : public MainWindowTest {
   protected:
    // The reader's answer box style; the box sits at client (10,10), screen (10,36).
    HWND Make(DWORD style = WS_BORDER | ES_AUTOHSCROLL | ES_NOHIDESEL, int width = 100) {
        HWND e = CreateWindowExW(0, u"EDIT", u"", WS_CHILD | WS_VISIBLE | style, 10, 10, width, 19,
                                 main, reinterpret_cast<HMENU>(4000), nullptr, nullptr);
        Name(e, "edit");
        Drain();
        RecordOnly({WM_COMMAND});
        Log().clear();
        return e;
    }
    std::pair<int, int> Sel(HWND e) {
        DWORD a = 0, b = 0;
        SendMessageW(e, EM_GETSEL, reinterpret_cast<WPARAM>(&a), reinterpret_cast<LPARAM>(&b));
        return {static_cast<int>(a), static_cast<int>(b)};
    }
    int Count(WORD code) {
        int n = 0;
        for (const Seen& s : Log())
            if (s.msg == WM_COMMAND && HIWORD(s.wParam) == code) ++n;
        return n;
    }
};

TEST_F(Edit, TapFocusesThenTypingEditsAtTheCaret) {
    HWND e = Make();
    device::Tap(50, 45);
    Drain();
    EXPECT_EQ(GetFocus(), e);
    EXPECT_EQ(Count(EN_SETFOCUS), 1);
    struct Step {
        std::vector<uint32_t> keys;  // virtual keys, translated like the message loop does
        std::u16string typed;        // characters from the input panel
        std::u16string text;
        int caret;
    } steps[] = {{{}, u"abc", u"abc", 3},
                 {{VK_LEFT}, u"X", u"abXc", 3},
                 {{VK_HOME}, u"1", u"1abXc", 1},
                 {{VK_END, VK_BACK}, u"", u"1abX", 4},
                 {{VK_HOME, VK_DELETE}, u"", u"abX", 0},
                 {{VK_LEFT, VK_RIGHT, VK_RIGHT, VK_RIGHT, VK_RIGHT}, u"", u"abX", 3},
                 {{'Q'}, u"", u"abXq", 4}};
    for (const Step& s : steps) {
        for (uint32_t k : s.keys) device::Key(k);
        device::Type(s.typed);
        Drain();
        EXPECT_EQ(TextOf(e), s.text);
        EXPECT_EQ(Sel(e), std::make_pair(s.caret, s.caret));
    }
    EXPECT_EQ(GetWindowTextLengthW(e), 4);
    EXPECT_EQ(Count(EN_CHANGE), 8);  // a, b, c, X, 1, backspace, delete, q
    // Enter, Tab and Escape put nothing into a single line.
    device::Key(VK_RETURN);
    device::Key(VK_TAB);
    Drain();
    EXPECT_EQ(TextOf(e), u"abXq");
}

TEST_F(Edit, TheLimitStopsTypingButNotSetText) {
    HWND e = Make();
    EXPECT_EQ(SendMessageW(e, EM_GETLIMITTEXT, 0, 0), 30000);
    SendMessageW(e, EM_LIMITTEXT, 3, 0);
    SetFocus(e);
    device::Type(u"abcd");
    Drain();
    EXPECT_EQ(TextOf(e), u"abc");
    EXPECT_EQ(Count(EN_MAXTEXT), 1);
    SetWindowTextW(e, u"abcdef");
    EXPECT_EQ(TextOf(e), u"abcdef");
    // Replacing a selection may stay within the limit.
    SendMessageW(e, EM_SETSEL, 0, -1);
    device::Type(u"z");
    Drain();
    EXPECT_EQ(TextOf(e), u"z");
    struct Case {
        WPARAM set;
        LRESULT got;
    } cases[] = {{0, 0x7FFE}, {100000, 0x7FFE}, {0x7FFE, 0x7FFE}, {5, 5}};
    for (const Case& c : cases) {
        SendMessageW(e, EM_LIMITTEXT, c.set, 0);
        EXPECT_EQ(SendMessageW(e, EM_GETLIMITTEXT, 0, 0), c.got) << c.set;
    }
}

TEST_F(Edit, SelectionWithShiftAndEmSetSel) {
    HWND e = Make();
    SetWindowTextW(e, u"abcdef");
    SetFocus(e);
    SendMessageW(e, EM_SETSEL, 1, 3);
    EXPECT_EQ(Sel(e), std::make_pair(1, 3));
    EXPECT_EQ(SendMessageW(e, EM_GETSEL, 0, 0), MAKELONG(1, 3));
    device::Type(u"Z");
    Drain();
    EXPECT_EQ(TextOf(e), u"aZdef");
    device::Key(VK_END);
    device::KeyDown(VK_SHIFT);
    device::Key(VK_LEFT);
    device::Key(VK_LEFT);
    device::KeyUp(VK_SHIFT);
    Drain();
    EXPECT_EQ(Sel(e), std::make_pair(3, 5));
    device::Key(VK_BACK);
    Drain();
    EXPECT_EQ(TextOf(e), u"aZd");
    SendMessageW(e, EM_SETSEL, static_cast<WPARAM>(-1), 0);  // no selection
    EXPECT_EQ(Sel(e).first, Sel(e).second);
    SendMessageW(e, EM_SETSEL, 2, 99);  // clamped to the text
    EXPECT_EQ(Sel(e), std::make_pair(2, 3));
}

TEST_F(Edit, CaretFollowsTheTextAndGoesWithTheFocus) {
    HWND e = Make();
    EXPECT_EQ(PixelAt(12, 41), 0xffffffu);
    SetFocus(e);
    Drain();
    // A one-pixel bar inverted at the first gap: box x 10, border 1, margin 1.
    EXPECT_EQ(PixelAt(12, 41), 0x000000u);
    EXPECT_EQ(PixelAt(13, 41), 0xffffffu);
    device::Type(u"mm");
    Drain();
    // A tap near the left edge puts the caret before the first character, a tap
    // past the end after the last.
    device::Tap(12, 45);
    Drain();
    EXPECT_EQ(Sel(e), std::make_pair(0, 0));
    device::Tap(100, 45);
    Drain();
    EXPECT_EQ(Sel(e), std::make_pair(2, 2));
    SetWindowTextW(e, u"");
    SetFocus(main);
    EXPECT_EQ(PixelAt(12, 41), 0xffffffu);  // the caret went with the focus
    EXPECT_EQ(Count(EN_KILLFOCUS), 1);
}

WNDPROC editProc = nullptr;
LRESULT CALLBACK DestroyOnEnter(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_KEYDOWN && wParam == VK_RETURN) {
        DestroyWindow(hwnd);
        return 0;
    }
    return CallWindowProcW(editProc, hwnd, msg, wParam, lParam);
}

TEST_F(Edit, BoxDestroyedByItsOwnEnterLeavesNothingBehind) {
    HWND e = Make();
    editProc = reinterpret_cast<WNDPROC>(
        SetWindowLongW(e, GWL_WNDPROC, reinterpret_cast<LONG_PTR>(DestroyOnEnter)));
    device::Tap(50, 45);
    device::Type(u"ab");
    device::Key(VK_RETURN);  // its WM_CHAR is already queued when the box goes
    device::Type(u"c");
    Drain();
    EXPECT_FALSE(IsWindow(e));
    EXPECT_EQ(GetFocus(), main);
}

}  // namespace
