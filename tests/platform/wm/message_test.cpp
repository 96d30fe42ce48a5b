// The queue: send versus post, the retrieval order, the quit flag, timers,
// key translation and painting.
#include "wm/wm.h"
#include "wm_support.h"

using namespace wmtest;

namespace {

using Messages = MainWindowTest;

TEST_F(Messages, SendRunsTheProcedureNowPostWaitsForTheLoop) {
    RecordOnly({WM_USER, WM_USER + 1});
    SendMessageW(main, WM_USER, 1, 2);
    EXPECT_TRUE(Matches({{"main", WM_USER, 1}}));
    EXPECT_TRUE(PostMessageW(main, WM_USER + 1, 3, 4));
    EXPECT_EQ(Log().size(), 1u);  // not yet processed when the post returns
    Drain();
    EXPECT_TRUE(Matches({{"main", WM_USER, 1}, {"main", WM_USER + 1, 3}}));
    // A thread message has no window and is not dispatched anywhere.
    EXPECT_TRUE(PostMessageW(nullptr, WM_USER + 2, 0, 0));
    MSG msg;
    ASSERT_TRUE(PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.hwnd, nullptr);
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_USER + 2));
    EXPECT_EQ(DispatchMessageW(&msg), 0);
}

TEST_F(Messages, RetrievalOrderIsPostedQuitInputPaintTimer) {
    SetTimer(main, 5, 10, nullptr);
    device::AdvanceClock(50);
    InvalidateRect(main, nullptr, TRUE);
    device::KeyDown(VK_DOWN);
    PostMessageW(main, WM_USER, 0, 0);
    PostQuitMessage(3);
    PostMessageW(main, WM_USER + 1, 0, 0);  // posted after the quit flag, still read before it
    struct Step {
        BOOL result;
        UINT msg;
    } want[] = {{TRUE, WM_USER},    {TRUE, WM_USER + 1}, {FALSE, WM_QUIT},
                {TRUE, WM_KEYDOWN}, {TRUE, WM_PAINT},    {TRUE, WM_TIMER}};
    for (const Step& s : want) {
        MSG msg;
        EXPECT_EQ(GetMessageW(&msg, nullptr, 0, 0), s.result) << MsgName(s.msg);
        EXPECT_EQ(MsgName(msg.message), MsgName(s.msg));
        if (msg.message == WM_QUIT) {
            EXPECT_EQ(msg.wParam, 3u);
        }
        DispatchMessageW(&msg);
    }
}

TEST_F(Messages, TranslateMessagePostsTheCharacterBetweenDownAndUp) {
    // Letters are the typing tests' own; here the keys that are no letters.
    RecordOnly({WM_KEYDOWN, WM_CHAR, WM_KEYUP});
    device::Key(VK_LEFT);  // no character for an arrow
    device::Key(VK_RETURN);
    Drain();
    EXPECT_TRUE(Matches({{"main", WM_KEYDOWN, VK_LEFT},
                         {"main", WM_KEYUP, VK_LEFT},
                         {"main", WM_KEYDOWN, VK_RETURN},
                         {"main", WM_CHAR, 0x0d},
                         {"main", WM_KEYUP, VK_RETURN}}));
    MSG up{main, WM_KEYUP, 'A', 0, 0, {0, 0}};
    EXPECT_FALSE(TranslateMessage(&up));
}

TEST_F(Messages, TimersAreFlagsNotAFloodAndStopWhenKilled) {
    RecordOnly({WM_TIMER});
    EXPECT_EQ(SetTimer(main, 7, 100, nullptr), 7u);
    device::AdvanceClock(1000);  // a slow handler: ten periods passed
    Drain();
    EXPECT_TRUE(Matches({{"main", WM_TIMER, 7}}));
    Log().clear();
    RunFor(1000);
    EXPECT_EQ(Log().size(), 10u);
    // Killed after expiring: nothing more, ever.
    Log().clear();
    device::AdvanceClock(150);
    EXPECT_TRUE(KillTimer(main, 7));
    RunFor(500);
    EXPECT_TRUE(Matches({}));
    EXPECT_FALSE(KillTimer(main, 7));
    // Setting it again restarts its period.
    SetTimer(main, 8, 100, nullptr);
    RunFor(90);
    SetTimer(main, 8, 100, nullptr);
    RunFor(90);
    EXPECT_TRUE(Matches({}));
    RunFor(10);
    EXPECT_TRUE(Matches({{"main", WM_TIMER, 8}}));
}

TEST_F(Messages, LoopWithNobodyThereIsClosedAfterTenMinutes) {
    RecordOnly({WM_TIMER, WM_CLOSE, WM_DESTROY});
    SetTimer(main, 1, 1000, nullptr);
    const DWORD start = GetTickCount();
    MSG msg;
    int got = 0;
    while ((got = GetMessageW(&msg, nullptr, 0, 0)) > 0) DispatchMessageW(&msg);
    EXPECT_EQ(got, 0);
    EXPECT_EQ(GetTickCount() - start, 600000u);
    ASSERT_EQ(Log().size(),
              602u);  // 600 ticks, then closed (WM_CLOSE, WM_DESTROY), then asked to quit
    EXPECT_EQ(Log()[600].msg, static_cast<UINT>(WM_CLOSE));
    EXPECT_FALSE(IsWindow(main));
}

TEST_F(Messages, PeekWithoutRemoveLeavesTheMessage) {
    PostMessageW(main, WM_USER, 0, 0);
    MSG msg;
    ASSERT_TRUE(PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE));
    ASSERT_TRUE(PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_USER));
    EXPECT_FALSE(PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE));
    // Range filters skip what lies outside.
    PostMessageW(main, WM_USER, 0, 0);
    PostMessageW(main, WM_USER + 2, 0, 0);
    ASSERT_TRUE(PeekMessageW(&msg, nullptr, WM_USER + 1, WM_USER + 5, PM_REMOVE));
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_USER + 2));
}

LRESULT NoValidate(HWND, UINT msg, WPARAM, LPARAM, bool* handled) {
    *handled = msg == WM_PAINT;  // never calls BeginPaint
    return 0;
}

TEST_F(Messages, UnvalidatedPaintComesBackAndDefaultPaintValidates) {
    SetHandler(NoValidate);
    InvalidateRect(main, nullptr, FALSE);
    MSG msg;
    for (int i = 0; i < 3; ++i) {
        ASSERT_TRUE(PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE));
        EXPECT_EQ(msg.message, static_cast<UINT>(WM_PAINT));
        DispatchMessageW(&msg);
    }
    SetHandler(nullptr);
    Log().clear();
    Drain();
    EXPECT_TRUE(Matches({{"main", WM_PAINT}}));  // no erase was asked for
    EXPECT_FALSE(PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE));
}

RECT paintRect;
BOOL paintErase;
LRESULT CapturePaint(HWND hwnd, UINT msg, WPARAM, LPARAM, bool* handled) {
    if (msg == WM_ERASEBKGND) {
        *handled = true;
        return 0;  // did not erase
    }
    if (msg != WM_PAINT) return 0;
    *handled = true;
    PAINTSTRUCT ps;
    BeginPaint(hwnd, &ps);
    paintRect = ps.rcPaint;
    paintErase = ps.fErase;
    EndPaint(hwnd, &ps);
    return 0;
}

TEST_F(Messages, BeginPaintReportsTheUpdateBoxAndAnUnhandledErase) {
    SetHandler(CapturePaint);
    RECT a{10, 10, 20, 20}, b{50, 40, 60, 45};
    InvalidateRect(main, &a, FALSE);
    InvalidateRect(main, &b, TRUE);  // one erasing invalidation erases the whole region
    Drain();
    RECT want{10, 10, 60, 45};
    EXPECT_TRUE(SameRect(paintRect, want));
    EXPECT_TRUE(paintErase);
    InvalidateRect(main, &a, FALSE);
    Drain();
    EXPECT_FALSE(paintErase);
}

TEST_F(Messages, ScrollWindowExInvalidatesTheUncoveredStrip) {
    RECT page{0, 0, 240, 268}, update;
    EXPECT_EQ(
        ScrollWindowEx(main, 0, -30, &page, &page, nullptr, &update, SW_INVALIDATE | SW_ERASE),
        SIMPLEREGION);
    RECT strip{0, 238, 240, 268};
    EXPECT_TRUE(SameRect(update, strip));
    EXPECT_TRUE(SameRect(wm::Find(main)->update, strip));
    // Without SW_INVALIDATE nothing becomes invalid; dy 0 uncovers nothing.
    Drain();
    EXPECT_EQ(ScrollWindowEx(main, 0, 10, nullptr, nullptr, nullptr, &update, 0), SIMPLEREGION);
    EXPECT_TRUE(IsRectEmpty(&wm::Find(main)->update));
    EXPECT_EQ(ScrollWindowEx(main, 0, 0, nullptr, nullptr, nullptr, &update, SW_INVALIDATE),
              NULLREGION);
    EXPECT_EQ(ScrollWindowEx(nullptr, 0, 5, nullptr, nullptr, nullptr, nullptr, 0), ERROR);
}

TEST_F(Messages, MatchesFailsOnAnyDifference) {
    RecordOnly({WM_USER, WM_USER + 1});
    SendMessageW(main, WM_USER, 0, 0);
    SendMessageW(main, WM_USER + 1, 0, 0);
    EXPECT_FALSE(Matches({{"main", WM_USER}, {"main", WM_USER + 2}}));
    EXPECT_FALSE(Matches({{"main", WM_USER}}));
    EXPECT_FALSE(Matches({{"main", WM_USER}, {"main", WM_USER + 1}, {"main", WM_USER}}));
}

}  // namespace
