// Message boxes: answers, modality, and the nested loop that keeps the
// program's timers and paints going.
#include "controls/controls.h"
#include "wm/wm.h"
#include "wm_support.h"

using namespace wmtest;

namespace {

class MsgBox : public MainWindowTest {
   protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        device::SetMessageBoxAutoAnswer(false);
    }
    device::Headless& script() { return device::HeadlessBackend(); }
};

TEST_F(MsgBox, EachButtonAndKeyGivesItsAnswer) {
    struct Case {
        const char* what;
        UINT type;
        std::function<void()> answer;
        int result;
    } cases[] = {
        {"tap OK", MB_OK, [] { EXPECT_TRUE(controls::PressMessageBoxButton(IDOK)); }, IDOK},
        {"tap Yes", MB_YESNO, [] { EXPECT_TRUE(controls::PressMessageBoxButton(IDYES)); }, IDYES},
        {"tap No", MB_YESNO, [] { EXPECT_TRUE(controls::PressMessageBoxButton(IDNO)); }, IDNO},
        {"tap Cancel", MB_OKCANCEL, [] { EXPECT_TRUE(controls::PressMessageBoxButton(IDCANCEL)); },
         IDCANCEL},
        {"Enter takes the first button", MB_YESNO, [] { device::Key(VK_RETURN); }, IDYES},
        {"Enter takes DEFBUTTON2", MB_YESNO | MB_DEFBUTTON2, [] { device::Key(VK_RETURN); }, IDNO},
        {"Escape cancels", MB_OKCANCEL, [] { device::Key(VK_ESCAPE); }, IDCANCEL},
        {"Escape closes a plain OK box", MB_OK, [] { device::Key(VK_ESCAPE); }, IDOK},
        {"Escape does nothing to Yes/No", MB_YESNO,
         [] {
             device::Key(VK_ESCAPE);
             device::HeadlessBackend().Then(
                 [] { EXPECT_TRUE(controls::PressMessageBoxButton(IDNO)); });
         },
         IDNO},
    };
    for (const Case& c : cases) {
        script().Reset();
        script().Then([&c] {
            EXPECT_TRUE(controls::MessageBoxShowing()) << c.what;
            EXPECT_FALSE(controls::PressMessageBoxButton(IDRETRY)) << c.what;  // no such button
            c.answer();
        });
        EXPECT_EQ(MessageBoxW(main, u"Question", u"Fernvale", c.type), c.result) << c.what;
        EXPECT_FALSE(controls::MessageBoxShowing()) << c.what;
    }
    EXPECT_FALSE(controls::PressMessageBoxButton(IDOK));
    EXPECT_EQ(device::MessageBoxLog().size(), std::size(cases));
}

TEST_F(MsgBox, OwnerIsDisabledAndDeafWhileTheBoxIsUp) {
    HWND child = CreateWindowExW(0, u"BUTTON", u"b", WS_CHILD | WS_VISIBLE, 0, 0, 50, 20, main,
                                 reinterpret_cast<HMENU>(3), nullptr, nullptr);
    SetFocus(child);
    RecordOnly({WM_LBUTTONDOWN, WM_COMMAND, WM_ENABLE});
    Log().clear();
    bool disabledDuring = false;
    script().Then([&] {
        disabledDuring = !IsWindowEnabled(main);
        device::Tap(100, 250);  // on the owner, below the box
        device::Tap(20, 30);    // on its button
    });
    script().Then([] { controls::PressMessageBoxButton(IDOK); });
    EXPECT_EQ(MessageBoxW(main, u"Busy", nullptr, MB_OK), IDOK);
    EXPECT_TRUE(disabledDuring);
    EXPECT_TRUE(IsWindowEnabled(main));
    EXPECT_TRUE(Matches({{"main", WM_ENABLE, FALSE}, {"main", WM_ENABLE, TRUE}}));
    // The area the box uncovered is painted again.
    const RECT uncovered = wm::Find(main)->update;
    EXPECT_EQ(uncovered.left, 10);
    EXPECT_EQ(uncovered.right, 230);
    EXPECT_GT(uncovered.top, 0);
    EXPECT_LT(uncovered.bottom, 268);
    EXPECT_EQ(GetFocus(), child);  // the focus comes back where it was
    EXPECT_EQ(GetForegroundWindow(), main);
}

TEST_F(MsgBox, TimersAndPaintsGoOnUnderTheBox) {
    SetTimer(main, 1, 100, nullptr);
    InvalidateRect(main, nullptr, TRUE);
    RecordOnly({WM_TIMER, WM_PAINT});
    uint32_t shownAt = 0;
    script().Then([&] { shownAt = GetTickCount(); });
    script().Wait(350);
    script().Then([] { controls::PressMessageBoxButton(IDOK); });
    const DWORD before = GetTickCount();
    EXPECT_EQ(MessageBoxW(nullptr, u"Timers?", u"Test", MB_OK), IDOK);
    EXPECT_EQ(shownAt, before);
    EXPECT_TRUE(Matches(
        {{"main", WM_PAINT}, {"main", WM_TIMER, 1}, {"main", WM_TIMER, 1}, {"main", WM_TIMER, 1}}));
}

TEST_F(MsgBox, QuitInsideTheBoxEndsItAndReachesTheOuterLoop) {
    script().Then([] { PostQuitMessage(5); });
    EXPECT_EQ(MessageBoxW(main, u"Save?", u"Test", MB_YESNO), IDNO);
    MSG msg;
    ASSERT_TRUE(PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_QUIT));
    EXPECT_EQ(msg.wParam, 5u);
    EXPECT_TRUE(IsWindowEnabled(main));
}

HWND shownBox = nullptr;
bool boxAliveAtOwnerDestroy = true;
LRESULT NoteBoxOnDestroy(HWND, UINT msg, WPARAM, LPARAM, bool*) {
    if (msg == WM_DESTROY) boxAliveAtOwnerDestroy = IsWindow(shownBox) != FALSE;
    return 0;
}

TEST_F(MsgBox, OwnerDestroyedUnderTheBoxTakesTheBoxFirst) {
    SetHandler(NoteBoxOnDestroy);
    script().Then([&] {
        shownBox = GetForegroundWindow();
        EXPECT_NE(shownBox, main);
        DestroyWindow(main);
    });
    EXPECT_EQ(MessageBoxW(main, u"Quit?", u"Test", MB_YESNO), IDNO);
    EXPECT_FALSE(boxAliveAtOwnerDestroy);
    EXPECT_FALSE(IsWindow(main));
    EXPECT_FALSE(controls::MessageBoxShowing());
}

TEST_F(MsgBox, UnansweredBoxIsCancelledWhenTheScriptEnds) {
    EXPECT_EQ(MessageBoxW(main, u"Nobody answers", nullptr, MB_OKCANCEL), IDCANCEL);
    EXPECT_TRUE(IsWindow(main));
}

int paintDepth = 0, deepest = 0;
LRESULT BoxBeforeBeginPaint(HWND hwnd, UINT msg, WPARAM, LPARAM, bool* handled) {
    if (msg != WM_PAINT) return 0;
    *handled = true;
    deepest = std::max(deepest, ++paintDepth);
    MessageBoxW(nullptr, u"Paragraph 999 does not exist", nullptr, MB_OK);
    PAINTSTRUCT ps;
    BeginPaint(hwnd, &ps);
    EndPaint(hwnd, &ps);
    --paintDepth;
    return 0;
}

TEST_F(MsgBox, BoxesRaisedFromAReenteredPaintStopNesting) {
    // The box's loop repaints the still-invalid window, which raises another
    // box: the nesting stops after eight boxes and every box is closed.
    paintDepth = deepest = 0;
    SetHandler(BoxBeforeBeginPaint);
    InvalidateRect(main, nullptr, TRUE);
    Drain();
    EXPECT_EQ(deepest, 9);
    EXPECT_EQ(paintDepth, 0);
    EXPECT_EQ(device::MessageBoxLog().size(), 9u);
    EXPECT_FALSE(controls::MessageBoxShowing());
    EXPECT_TRUE(IsRectEmpty(&wm::Find(main)->update));
    EXPECT_TRUE(IsWindow(main));
}

}  // namespace
