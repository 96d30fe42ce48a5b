// The thread's message queue: posted messages, the quit flag, input, paints and
// timers, retrieved in the handheld's order (posted, quit, input, paint, timer).
//
// Implements: GetMessageW, PeekMessageW, PostMessageW, SendMessageW (a direct
// call), PostQuitMessage, TranslateMessage, DispatchMessageW, SetTimer,
// KillTimer and the mouse capture. WM_PAINT and WM_TIMER are never stored:
// they are made when nothing else is ready, so a slow handler never finds a
// flood of them. The stylus becomes WM_LBUTTONDOWN / WM_MOUSEMOVE /
// WM_LBUTTONUP for the window under it (or the capture), activating its
// top-level window on a tap; keys go to the focus, else the foreground
// window; input is cooked one event at a time, so a capture taken on a tap
// steers what follows. A timer's period is at least 10 ms; a WM_TIMER calls
// only a procedure a live timer was set with. While nothing is ready the
// frame is presented and the backend waits until input or the next timer.
//
// Leaves out: other threads' queues and sending between threads (other
// processes' windows are crossprocess/'s), message hooks,
// MsgWaitForMultipleObjects.
//
// Differs: TranslateMessage makes WM_CHAR for letters, digits, space, Back,
// Tab, Enter and Escape only (the device's keys); other characters arrive as
// WM_CHAR from the input panel or the backend's text input.
#include <algorithm>

#include "device/backend.h"
#include "device/input.h"
#include "wm/wm.h"

namespace wm {
namespace {

using device::InputEvent;
using device::InputKind;

struct Timer {
    HWND hwnd;
    UINT_PTR id;
    UINT period;
    uint32_t due;
    TIMERPROC proc;
};

std::deque<MSG> posted;
std::deque<MSG> cookedInput;  // input already turned into messages, not yet removed
std::vector<Timer> timers;
bool quitPending = false;
int quitCode = 0;
HWND captureWindow = nullptr;
bool stylusIsDown = false;
bool shiftDown = false;
UINT_PTR nextThreadTimer = 0x7f00;

bool InRange(UINT msg, UINT lo, UINT hi) {
    return (lo == 0 && hi == 0) || (msg >= lo && msg <= hi);
}

bool MatchesWindow(HWND target, HWND filter) {
    if (!filter) return true;
    if (filter == reinterpret_cast<HWND>(-1)) return target == nullptr;
    for (Window* w = FindQuiet(target); w; w = w->parent)
        if (w->handle == filter) return true;
    return false;
}

// The deepest visible window under a screen point; *onScrollBar is set when the
// point lies on that window's vertical scroll bar.
Window* HitTest(POINT p, bool* onScrollBar) {
    *onScrollBar = false;
    Window* found = nullptr;
    for (Window* t : TopLevels()) {
        if (!(t->style & WS_VISIBLE)) continue;
        RECT r = WindowOnScreen(t);
        if (PtInRect(&r, p)) {
            found = t;
            break;
        }
    }
    while (found) {
        const RECT client = ClientOnScreen(found);
        if (!PtInRect(&client, p)) {
            if (found->style & WS_VSCROLL) {
                RECT bar = VScrollRect(found);
                const RECT ws = WindowOnScreen(found);
                OffsetRect(&bar, ws.left, ws.top);
                *onScrollBar = PtInRect(&bar, p) != FALSE;
            }
            return found;
        }
        Window* next = nullptr;
        for (Window* c : found->children) {
            if (!(c->style & WS_VISIBLE)) continue;
            RECT cr = WindowOnScreen(c);
            if (PtInRect(&cr, p)) {
                next = c;
                break;
            }
        }
        if (!next) return found;
        found = next;
    }
    return nullptr;
}

MSG MakeMsg(HWND h, UINT m, WPARAM wp, LPARAM lp, POINT pt = POINT{0, 0}) {
    MSG msg{h, m, wp, lp, GetTickCount(), pt};
    return msg;
}

// Turns the next raw input event into a message. Returns false when the event
// was consumed without one (scroll bar tracking, a disabled target, nobody to
// receive it).
bool Cook(const InputEvent& e, MSG* out) {
    const POINT pt{e.x, e.y};
    switch (e.kind) {
        case InputKind::StylusDown:
        case InputKind::StylusMove:
        case InputKind::StylusUp: {
            const UINT msg = e.kind == InputKind::StylusDown   ? WM_LBUTTONDOWN
                             : e.kind == InputKind::StylusMove ? WM_MOUSEMOVE
                                                               : WM_LBUTTONUP;
            if (e.kind == InputKind::StylusDown) stylusIsDown = true;
            if (e.kind == InputKind::StylusUp) stylusIsDown = false;
            if (ScrollBarTracking()) {
                ScrollBarMouse(nullptr, msg, pt);
                return false;
            }
            Window* target = FindQuiet(captureWindow);
            if (!target) {
                bool onBar = false;
                target = HitTest(pt, &onBar);
                if (!target || !Enabled(target)) return false;
                if (onBar) {
                    if (e.kind == InputKind::StylusDown) ScrollBarMouse(target, msg, pt);
                    return false;
                }
                if (e.kind == InputKind::StylusDown) {
                    Window* top = TopLevelOf(target);
                    if (top->handle != GetForegroundWindow() && !(top->exStyle & WS_EX_NOACTIVATE))
                        SetForegroundWindow(top->handle);
                    if (!FindQuiet(target->handle)) return false;
                }
            }
            const RECT c = ClientOnScreen(target);
            const WPARAM keys = e.kind == InputKind::StylusUp ? 0 : (stylusIsDown ? MK_LBUTTON : 0);
            *out = MakeMsg(
                target->handle, msg, keys,
                MAKELPARAM(static_cast<short>(e.x - c.left), static_cast<short>(e.y - c.top)), pt);
            return true;
        }
        case InputKind::KeyDown:
        case InputKind::KeyUp:
        case InputKind::Char: {
            if (e.code == VK_SHIFT && e.kind != InputKind::Char)
                shiftDown = e.kind == InputKind::KeyDown;
            HWND target = GetFocus();
            if (!target) target = GetForegroundWindow();
            Window* w = FindQuiet(target);
            if (!w || !Enabled(w)) return false;
            const UINT msg = e.kind == InputKind::KeyDown ? WM_KEYDOWN
                             : e.kind == InputKind::KeyUp ? WM_KEYUP
                                                          : WM_CHAR;
            const LPARAM lp = e.kind == InputKind::KeyUp ? static_cast<LPARAM>(0xC0000001u) : 1;
            *out = MakeMsg(target, msg, e.code, lp);
            return true;
        }
        case InputKind::Wheel:  // the handheld has none; the device's keys use it up
            return false;
    }
    return false;
}

bool TakeInput(HWND filter, UINT lo, UINT hi, bool remove, MSG* out) {
    for (;;) {
        for (auto it = cookedInput.begin(); it != cookedInput.end(); ++it) {
            if (!FindQuiet(it->hwnd)) {
                cookedInput.erase(it);
                return TakeInput(filter, lo, hi, remove, out);
            }
            if (MatchesWindow(it->hwnd, filter) && InRange(it->message, lo, hi)) {
                *out = *it;
                if (remove) cookedInput.erase(it);
                return true;
            }
        }
        // Raw input is cooked in order, only once the cooked messages before it
        // have been read, so a capture taken on WM_LBUTTONDOWN steers the rest.
        InputEvent e;
        if (!cookedInput.empty() || !device::TakeInput(&e)) return false;
        MSG m;
        if (Cook(e, &m)) cookedInput.push_back(m);
    }
}

bool TakeTimer(HWND filter, UINT lo, UINT hi, bool remove, MSG* out) {
    if (!InRange(WM_TIMER, lo, hi)) return false;
    const uint32_t now = GetTickCount();
    Timer* best = nullptr;
    for (Timer& t : timers) {
        if (!MatchesWindow(t.hwnd, filter)) continue;
        if (static_cast<int32_t>(t.due - now) > 0) continue;
        if (!best || static_cast<int32_t>(t.due - best->due) < 0) best = &t;
    }
    if (!best) return false;
    *out = MakeMsg(best->hwnd, WM_TIMER, best->id, reinterpret_cast<LPARAM>(best->proc));
    if (remove) best->due = now + best->period;
    return true;
}

bool Take(HWND filter, UINT lo, UINT hi, bool remove, MSG* out) {
    for (auto it = posted.begin(); it != posted.end(); ++it) {
        if (MatchesWindow(it->hwnd, filter) && InRange(it->message, lo, hi)) {
            *out = *it;
            if (remove) posted.erase(it);
            return true;
        }
    }
    if (quitPending) {
        *out = MakeMsg(nullptr, WM_QUIT, static_cast<WPARAM>(quitCode), 0);
        if (remove) quitPending = false;
        return true;
    }
    if (TakeInput(filter, lo, hi, remove, out)) return true;
    if (InRange(WM_PAINT, lo, hi)) {
        if (Window* w = FindWindowToPaint(); w && MatchesWindow(w->handle, filter)) {
            *out = MakeMsg(w->handle, WM_PAINT, 0, 0);
            return true;
        }
    }
    return TakeTimer(filter, lo, hi, remove, out);
}

bool ValidFilter(HWND filter) {
    return !filter || filter == reinterpret_cast<HWND>(-1) || FindQuiet(filter);
}

}  // namespace

LRESULT Send(Window* w, UINT msg, WPARAM wParam, LPARAM lParam) {
    return w->proc(w->handle, msg, wParam, lParam);
}

int32_t MsUntilNextTimer(bool* any) {
    *any = !timers.empty();
    int32_t best = INT32_MAX;
    const uint32_t now = GetTickCount();
    for (const Timer& t : timers) best = std::min(best, static_cast<int32_t>(t.due - now));
    return best;
}

void RemoveWindowFromQueue(HWND hwnd) {
    posted.erase(
        std::remove_if(posted.begin(), posted.end(), [&](const MSG& m) { return m.hwnd == hwnd; }),
        posted.end());
    cookedInput.erase(std::remove_if(cookedInput.begin(), cookedInput.end(),
                                     [&](const MSG& m) { return m.hwnd == hwnd; }),
                      cookedInput.end());
    timers.erase(std::remove_if(timers.begin(), timers.end(),
                                [&](const Timer& t) { return t.hwnd == hwnd; }),
                 timers.end());
}

void SetCaptureInternal(HWND hwnd) {
    captureWindow = hwnd;
}

void ResetForTests() {
    ResetWindowsForTests();
    posted.clear();
    device::ClearInput();
    cookedInput.clear();
    timers.clear();
    quitPending = false;
    quitCode = 0;
    captureWindow = nullptr;
    stylusIsDown = false;
    shiftDown = false;
}

}  // namespace wm

using namespace wm;

LRESULT SendMessageW(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    Window* w = Find(hwnd);
    return w ? Send(w, msg, wParam, lParam) : 0;
}

BOOL PostMessageW(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (hwnd && !Find(hwnd)) return FALSE;
    posted.push_back(MakeMsg(hwnd, msg, wParam, lParam));
    return TRUE;
}

void PostQuitMessage(int exitCode) {
    quitPending = true;
    quitCode = exitCode;
}

BOOL PeekMessageW(LPMSG msg, HWND hwnd, UINT lo, UINT hi, UINT remove) {
    if (!msg || !ValidFilter(hwnd)) {
        if (hwnd) SetLastError(kErrorInvalidWindowHandle);
        return FALSE;
    }
    device::CurrentBackend().Pump();
    return Take(hwnd, lo, hi, (remove & PM_REMOVE) != 0, msg) ? TRUE : FALSE;
}

BOOL GetMessageW(LPMSG msg, HWND hwnd, UINT lo, UINT hi) {
    if (!msg || !ValidFilter(hwnd)) {
        SetLastError(kErrorInvalidWindowHandle);
        return -1;
    }
    for (;;) {
        device::CurrentBackend().Pump();
        if (Take(hwnd, lo, hi, true, msg)) return msg->message == WM_QUIT ? FALSE : TRUE;
        if (hwnd && !FindQuiet(hwnd) && hwnd != reinterpret_cast<HWND>(-1)) {
            SetLastError(kErrorInvalidWindowHandle);
            return -1;
        }
        device::Present();
        bool any = false;
        const int32_t wait = MsUntilNextTimer(&any);
        device::CurrentBackend().WaitUntil(
            any, GetTickCount() + static_cast<uint32_t>(std::max(wait, 0)));
    }
}

BOOL TranslateMessage(const MSG* msg) {
    if (!msg || msg->message != WM_KEYDOWN) return FALSE;
    const UINT vk = static_cast<UINT>(msg->wParam);
    char16_t c = 0;
    if (vk == VK_BACK || vk == VK_TAB || vk == VK_RETURN || vk == VK_ESCAPE || vk == VK_SPACE)
        c = static_cast<char16_t>(vk);
    else if (vk >= '0' && vk <= '9')
        c = static_cast<char16_t>(vk);
    else if (vk >= 'A' && vk <= 'Z')
        c = static_cast<char16_t>(shiftDown ? vk : vk - 'A' + 'a');
    if (c) posted.push_back(MakeMsg(msg->hwnd, WM_CHAR, c, msg->lParam));
    return TRUE;
}

LRESULT DispatchMessageW(const MSG* msg) {
    if (!msg) return 0;
    if (msg->message == WM_TIMER && msg->lParam) {
        // Only a procedure that a live timer was set with is called: a WM_TIMER
        // posted with a made-up lParam, or one for a timer killed since it was
        // read, calls nothing.
        auto proc = reinterpret_cast<TIMERPROC>(msg->lParam);
        const bool known = std::any_of(timers.begin(), timers.end(), [&](const Timer& t) {
            return t.hwnd == msg->hwnd && t.id == msg->wParam && t.proc == proc;
        });
        if (known) proc(msg->hwnd, WM_TIMER, msg->wParam, GetTickCount());
        return 0;
    }
    if (!msg->hwnd) return 0;
    Window* w = Find(msg->hwnd);
    if (!w) return 0;
    if (msg->message == WM_PAINT) {
        if (w->frameDirty) DrawFrame(w);
        if (IsRectEmpty(&w->update)) return 0;
    }
    return Send(w, msg->message, msg->wParam, msg->lParam);
}

UINT_PTR SetTimer(HWND hwnd, UINT_PTR id, UINT elapse, TIMERPROC proc) {
    if (hwnd && !Find(hwnd)) return 0;
    if (!hwnd) id = ++nextThreadTimer;
    // The shortest period the system honours, as on the desktop (USER_TIMER_MINIMUM).
    const UINT period = std::max<UINT>(elapse, 10);
    const uint32_t due = GetTickCount() + period;
    for (Timer& t : timers)
        if (t.hwnd == hwnd && t.id == id) {
            t.period = period;
            t.due = due;
            t.proc = proc;
            return id ? id : 1;
        }
    timers.push_back(Timer{hwnd, id, period, due, proc});
    return id ? id : 1;
}

BOOL KillTimer(HWND hwnd, UINT_PTR id) {
    auto it = std::find_if(timers.begin(), timers.end(),
                           [&](const Timer& t) { return t.hwnd == hwnd && t.id == id; });
    if (it == timers.end()) {
        SetLastError(kErrorInvalidParameter);
        return FALSE;
    }
    timers.erase(it);
    return TRUE;
}

HWND SetCapture(HWND hwnd) {
    HWND old = captureWindow;
    if (hwnd && !Find(hwnd)) return nullptr;
    captureWindow = hwnd;
    return old;
}

BOOL ReleaseCapture() {
    captureWindow = nullptr;
    return TRUE;
}

HWND GetCapture() {
    return FindQuiet(captureWindow) ? captureWindow : nullptr;
}
