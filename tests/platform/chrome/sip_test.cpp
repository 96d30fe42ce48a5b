// The input panel: the requests SHSipInfo refuses, showing and hiding it by
// call and by its toggle, the WM_SETTINGCHANGE that follows, and typing into
// the focused edit box with the on-screen keyboard. What SHSipInfo answers as
// the panel comes and goes is the scenario dumps' (the page's height follows).
#include <algorithm>

#include "chrome_support.h"
#include "wm/wm.h"

using namespace chrometest;
using namespace wmtest;

namespace {

using Sip = ShellTest;

TEST_F(Sip, BadRequestsAreRefused) {
    struct Case {
        const char* what;
        UINT action, uiParam, winIni;
        DWORD cbSize;
        bool null;
    } cases[] = {
        {"no record", SPI_GETSIPINFO, 0, 0, 48, true},
        {"cbSize 0", SPI_GETSIPINFO, 0, 0, 0, false},
        {"cbSize 44", SPI_GETSIPINFO, 0, 0, 44, false},
        {"uiParam", SPI_GETSIPINFO, 1, 0, 48, false},
        {"fWinIni", SPI_GETSIPINFO, 0, 1, 48, false},
        {"the desktop's SPI number", 104, 0, 0, 48, false},
    };
    for (const Case& c : cases) {
        SIPINFO si{};
        si.cbSize = c.cbSize;
        si.fdwFlags = 0xDEAD;
        EXPECT_FALSE(SHSipInfo(c.action, c.uiParam, c.null ? nullptr : &si, c.winIni)) << c.what;
        EXPECT_EQ(si.fdwFlags, 0xDEADu) << c.what;
    }
}

TEST_F(Sip, OnlyFieldsInsideTheGivenSizeAreWritten) {
    // The handheld's 48 bytes end before the image data pointer of this
    // build's wider record.
    SIPINFO si{};
    si.cbSize = 48;
    int marker = 0;
    si.pvImData = &marker;
    si.dwImDataSize = 99;
    ASSERT_TRUE(SHSipInfo(SPI_GETSIPINFO, 0, &si, 0));
    EXPECT_EQ(si.dwImDataSize, 0u);
    if (sizeof(SIPINFO) > 48) {
        EXPECT_EQ(si.pvImData, &marker);
    }
}

TEST_F(Sip, TopLevelWindowsHearOfEachChange) {
    MakeBar();
    RecordOnly({WM_SETTINGCHANGE});
    struct Step {
        const char* what;
        std::function<void()> act;
        int messages;
    } steps[] = {
        {"show", [] { SipShowIM(SIPF_ON); }, 1},
        {"show again", [] { SipShowIM(SIPF_ON); }, 0},
        {"toggle button", [] { device::Tap(230, 307); }, 1},
        {"toggle button again", [] { device::Tap(230, 307); }, 1},
        {"hide", [] { SipShowIM(SIPF_OFF); }, 1},
        {"hide again", [] { SipShowIM(SIPF_OFF); }, 0},
    };
    bool shown = false;
    for (const Step& s : steps) {
        Log().clear();
        s.act();
        Drain();
        EXPECT_EQ(Count(WM_SETTINGCHANGE, main), s.messages) << s.what;
        for (const Seen& seen : Log())
            EXPECT_EQ(seen.wParam, static_cast<WPARAM>(SPI_SETSIPINFO)) << s.what;
        if (s.messages) shown = !shown;
        EXPECT_EQ(device::InputPanelShown(), shown) << s.what;
    }
}

// A program that asks for the panel's state at every message, as the reader does.
std::vector<DWORD> polled;
LRESULT Polling(HWND, UINT, WPARAM, LPARAM, bool* handled) {
    SIPINFO si{};
    si.cbSize = 48;
    SHSipInfo(SPI_GETSIPINFO, 0, &si, 0);
    if (polled.empty() || polled.back() != si.fdwFlags) polled.push_back(si.fdwFlags);
    *handled = false;
    return 0;
}

TEST_F(Sip, APollingProgramSeesTheToggle) {
    MakeBar();
    polled.assign(1, SIPF_DOCKED);
    SetHandler(Polling);
    device::Tap(230, 307);
    Drain();
    device::Tap(230, 307);
    Drain();
    SetHandler(nullptr);
    EXPECT_EQ(polled, (std::vector<DWORD>{SIPF_DOCKED, SIPF_DOCKED | SIPF_ON, SIPF_DOCKED}));
}

// Keys that reach the edit box, recorded through a subclass.
std::vector<WPARAM> editKeys;
WNDPROC editProc = nullptr;
int editFocusChanges = 0;
LRESULT CALLBACK EditSpy(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_KEYDOWN) editKeys.push_back(wParam);
    if (msg == WM_KILLFOCUS || msg == WM_SETFOCUS) ++editFocusChanges;
    return CallWindowProcW(editProc, hwnd, msg, wParam, lParam);
}

class Typing : public ShellTest {
   protected:
    void SetUp() override {
        ShellTest::SetUp();
        MakeBar();
        edit = CreateWindowExW(0, u"EDIT", u"", WS_CHILD | WS_VISIBLE | WS_BORDER, 10, 10, 200, 20,
                               main, reinterpret_cast<HMENU>(4000), nullptr, nullptr);
        editProc = reinterpret_cast<WNDPROC>(
            SetWindowLongW(edit, GWL_WNDPROC, reinterpret_cast<LONG_PTR>(EditSpy)));
        SetFocus(edit);
        SipShowIM(SIPF_ON);
        Drain();
        editKeys.clear();
    }
    void Keys(std::initializer_list<const char*> labels) {
        for (const char* l : labels) {
            Tap(KeyPoint(l));
            Drain();
        }
    }
    HWND edit = nullptr;
};

TEST_F(Typing, KeysTypeIntoTheFocusedEditBox) {
    struct Case {
        const char* what;
        std::initializer_list<const char*> keys;
        const char16_t* text;
    } cases[] = {
        {"letters", {"h", "i"}, u"hi"},
        {"shift holds for one key", {"Shift", "f", "e", "r", "n"}, u"Fern"},
        {"the right shift too", {"RightShift", "v"}, u"V"},
        {"caps stays", {"CAP", "a", "b", "CAP", "c"}, u"ABc"},
        {"digits and space", {"4", "Space", "2"}, u"4 2"},
        {"shifted digit and symbols", {"Shift", "1", ";", "Shift", "/"}, u"!;?"},
        {"backspace", {"a", "b", "Back", "c"}, u"ac"},
        {"backspace on nothing", {"Back", "x"}, u"x"},
    };
    for (const Case& c : cases) {
        SetWindowTextW(edit, u"");
        SendMessageW(edit, EM_SETSEL, 0, 0);
        Keys(c.keys);
        EXPECT_EQ(TextOf(edit), c.text) << c.what;
        EXPECT_EQ(GetFocus(), edit) << c.what;
        EXPECT_EQ(GetForegroundWindow(), main) << c.what;
        EXPECT_TRUE(device::InputPanelShown()) << c.what;
    }
}

TEST_F(Typing, TapsOnTheChromeLeaveTheProgramActiveAndItsFocusAlone) {
    editFocusChanges = 0;
    Log().clear();
    Keys({"a", "Shift", "b", "Space"});
    Tap(Centre(301));       // a button of the menu bar
    device::Tap(228, 307);  // the panel's toggle on the menu bar
    Drain();
    const std::vector<int> commands = Commands();  // the box's notifications among them
    EXPECT_EQ(std::count(commands.begin(), commands.end(), 301), 1);
    EXPECT_FALSE(device::InputPanelShown());
    EXPECT_EQ(editFocusChanges, 0);
    for (const Seen& seen : Log())
        EXPECT_NE(seen.msg, static_cast<UINT>(WM_ACTIVATE)) << Names()[seen.hwnd];
    EXPECT_EQ(GetFocus(), edit);
    EXPECT_EQ(TextOf(edit), u"aB ");
}

TEST_F(Typing, EnterTabAndArrowsArriveAsKeys) {
    Keys({"Enter", "Tab", "Left", "Right", "Up", "Down", "Esc"});
    EXPECT_EQ(editKeys, (std::vector<WPARAM>{VK_RETURN, VK_TAB, VK_LEFT, VK_RIGHT, VK_UP, VK_DOWN,
                                             VK_ESCAPE}));
    // Letters arrive as keys as well, so a program can watch them.
    editKeys.clear();
    Keys({"Shift", "q"});
    EXPECT_EQ(editKeys, (std::vector<WPARAM>{VK_SHIFT, 'Q'}));
}

TEST_F(Typing, ThePanelStaysInFrontOfAProgramWindowMadeTopmost) {
    // As a second copy of a program does to the first: its window, which
    // reaches down to the menu bar, is raised to the top.
    HWND other = CreateWindowExW(0, TestClass(), u"Other", WS_VISIBLE, 0, 26, 100, 100, nullptr,
                                 nullptr, nullptr, nullptr);
    ASSERT_EQ(GetForegroundWindow(), other);
    SetWindowPos(main, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
    SetFocus(edit);
    Drain();
    device::Present();
    Keys({"o", "k"});
    EXPECT_EQ(TextOf(edit), u"ok");
    EXPECT_EQ(GetForegroundWindow(), main);
}

TEST_F(Typing, ThePanelIsDeadWhenHiddenAndTapsBelowReachTheProgram) {
    SipShowIM(SIPF_OFF);
    Drain();
    Log().clear();
    RecordOnly({WM_LBUTTONDOWN});
    Tap(KeyPoint("q"));
    Drain();
    EXPECT_EQ(TextOf(edit), u"");
    EXPECT_EQ(Count(WM_LBUTTONDOWN, main), 1);  // the program's window lies there
}

}  // namespace
