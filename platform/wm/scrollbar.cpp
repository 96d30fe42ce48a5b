// The standard scroll bars of a window (WS_VSCROLL, WS_HSCROLL): their values
// with the system's clamping, showing and hiding, drawing of the vertical bar,
// and the stylus on it (arrows and page areas with auto-repeat, thumb drag).
//
// Leaves out: scroll bar controls (SB_CTL), drawing and stylus handling of the
// horizontal bar (its values are kept and clamped), keyboard handling.
#include <algorithm>
#include <cstdlib>

#include "wm/wm.h"

namespace wm {
namespace {

enum Part { kNone, kUpArrow, kPageUp, kThumb, kPageDown, kDownArrow };

struct Tracking {
    HWND hwnd = nullptr;
    Part part = kNone;
    bool inside = false;  // the pointer is still on the part pressed
    int startValue = 0;
    int grab = 0;  // pointer offset from the thumb's top when the drag began
    int lastY = 0;
};
Tracking track;

constexpr UINT_PTR kRepeatTimer = 0xfff0;
constexpr UINT kFirstRepeatMs = 200;
constexpr UINT kRepeatMs = 50;

int MulDivRound(int64_t a, int64_t b, int64_t c) {
    if (c == 0) return 0;
    const int64_t p = a * b;
    return static_cast<int>(p >= 0 ? (p + c / 2) / c : (p - c / 2) / c);
}

ScrollBar* BarOf(Window* w, int bar) {
    if (bar == SB_VERT) return &w->vbar;
    if (bar == SB_HORZ) return &w->hbar;
    return nullptr;
}

int MaxPos(const ScrollBar& b) {
    return b.max - std::max(static_cast<int>(b.page) - 1, 0);
}

int BarHeight(const Window* w) {
    RECT r = VScrollRect(w);
    return r.bottom - r.top;
}

Part PartAt(const Window* w, int y) {
    int arrow, thumbTop, thumbLen;
    const int h = BarHeight(w);
    ScrollBarGeometry(w->vbar, h, &arrow, &thumbTop, &thumbLen);
    if (y < 0 || y >= h) return kNone;
    if (y < arrow) return kUpArrow;
    if (y >= h - arrow) return kDownArrow;
    if (!thumbLen) return kNone;
    if (y < thumbTop) return kPageUp;
    if (y >= thumbTop + thumbLen) return kPageDown;
    return kThumb;
}

void SendScroll(Window* w, int code, int pos) {
    Send(w, WM_VSCROLL, MAKEWPARAM(code, pos), 0);
}

void Redraw(Window* w) {
    if (!Visible(w) || !(w->style & WS_VSCROLL)) return;
    HDC dc = CreateDC(w, false, nullptr);
    DrawVScroll(w, dc);
    gdi::DeleteSurfaceDC(dc);
}

int BarTopOnScreen(const Window* w) {
    const RECT ws = WindowOnScreen(w);
    return ws.top + VScrollRect(w).top;
}

void RepeatProc(HWND hwnd, UINT, UINT_PTR, DWORD) {
    Window* w = FindQuiet(hwnd);
    if (!w || track.hwnd != hwnd || track.part == kNone || track.part == kThumb) {
        KillTimer(hwnd, kRepeatTimer);
        return;
    }
    SetTimer(hwnd, kRepeatTimer, kRepeatMs, RepeatProc);
    // Page areas repeat only while the pointer stays on the same side of the
    // thumb, which moves as the program scrolls.
    if (PartAt(w, track.lastY) != track.part) return;
    static const int codes[] = {0, SB_LINEUP, SB_PAGEUP, 0, SB_PAGEDOWN, SB_LINEDOWN};
    SendScroll(w, codes[track.part], 0);
}

void DrawArrow(HDC dc, RECT box, bool up, bool pressed, bool enabled) {
    HBRUSH black = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    HBRUSH white = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    HBRUSH grey = static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH));
    FillRect(dc, &box, black);
    RECT inner = box;
    InflateRect(&inner, -1, -1);
    FillRect(dc, &inner, pressed ? black : white);
    HBRUSH mark = !enabled ? grey : pressed ? white : black;
    const int cx = (box.left + box.right) / 2;
    const int cy = (box.top + box.bottom) / 2;
    for (int row = 0; row < 4; ++row) {
        const int y = up ? cy - 2 + row : cy + 1 - row;
        RECT line{cx - row, y, cx + row + 1, y + 1};
        FillRect(dc, &line, mark);
    }
}

}  // namespace

RECT VScrollRect(const Window* w) {
    const RECT c = ClientInWindow(w);
    return RECT{c.right, c.top, c.right + kScrollBarWidth, c.bottom};
}

void ScrollBarGeometry(const ScrollBar& b, int height, int* arrow, int* thumbTop, int* thumbLen) {
    *thumbTop = 0;
    *thumbLen = 0;
    if (height <= 2 * kScrollBarWidth + 4) {
        *arrow = std::max((height - 4) / 2, 0);
        return;
    }
    *arrow = kScrollBarWidth;
    if (!b.enabled) return;
    const int trackLen = height - 2 * kScrollBarWidth;
    const int64_t range = static_cast<int64_t>(b.max) - b.min + 1;
    int len = b.page ? std::max(MulDivRound(trackLen, b.page, range), 6) : kScrollBarWidth;
    if (trackLen - len < 0) return;
    const int value = b.tracking ? b.trackPos : b.pos;
    const int maxPos = MaxPos(b);
    const int offset = b.min >= maxPos ? 0
                                       : MulDivRound(trackLen - len, value - b.min,
                                                     static_cast<int64_t>(maxPos) - b.min);
    *thumbTop = kScrollBarWidth + std::clamp(offset, 0, trackLen - len);
    *thumbLen = len;
}

int ThumbValueForOffset(const ScrollBar& b, int trackLength, int thumbLength, int offset) {
    const int free = trackLength - thumbLength;
    if (free <= 0) return b.min;
    const int p = std::clamp(offset, 0, free);
    const int64_t page = b.page ? b.page : 1;
    const int64_t span = static_cast<int64_t>(b.max) - b.min - page + 1;
    return b.min + static_cast<int>((p * span + free / 2) / free);
}

void DrawVScroll(Window* w, HDC dc) {
    const RECT bar = VScrollRect(w);
    const int h = bar.bottom - bar.top;
    int arrow, thumbTop, thumbLen;
    ScrollBarGeometry(w->vbar, h, &arrow, &thumbTop, &thumbLen);
    const bool mine = track.hwnd == w->handle && track.inside;
    const bool upPressed = mine && track.part == kUpArrow;
    const bool downPressed = mine && track.part == kDownArrow;
    // Every page turn sets the bar twice, mostly to what it already shows.
    std::vector<int> look{bar.left, bar.top,  bar.right,       bar.bottom, arrow,
                          thumbTop, thumbLen, w->vbar.enabled, upPressed,  downPressed};
    const bool ownSurface = !w->parent && Visible(w);
    if (ownSurface && look == w->vbarDrawn) return;
    RECT trackRect{bar.left, bar.top + arrow, bar.right, bar.bottom - arrow};
    FillRect(dc, &trackRect, GetSysColorBrush(COLOR_SCROLLBAR));
    if (arrow > 0) {
        DrawArrow(dc, RECT{bar.left, bar.top, bar.right, bar.top + arrow}, true, upPressed,
                  w->vbar.enabled);
        DrawArrow(dc, RECT{bar.left, bar.bottom - arrow, bar.right, bar.bottom}, false, downPressed,
                  w->vbar.enabled);
    }
    if (thumbLen) {
        RECT thumb{bar.left, bar.top + thumbTop, bar.right, bar.top + thumbTop + thumbLen};
        FillRect(dc, &thumb, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
        InflateRect(&thumb, -1, -1);
        FillRect(dc, &thumb, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    }
    if (ownSurface) w->vbarDrawn = std::move(look);
}

bool ScrollBarTracking() {
    return track.hwnd != nullptr;
}

bool ScrollBarMouse(Window* w, UINT msg, POINT screen) {
    if (msg == WM_LBUTTONDOWN) {
        if (!w || !w->vbar.enabled) return true;
        const int y = screen.y - BarTopOnScreen(w);
        const Part part = PartAt(w, y);
        if (part == kNone) return true;
        track = Tracking{w->handle, part, true, w->vbar.pos, 0, y};
        if (part == kThumb) {
            int arrow, thumbTop, thumbLen;
            ScrollBarGeometry(w->vbar, BarHeight(w), &arrow, &thumbTop, &thumbLen);
            track.grab = y - thumbTop;
            w->vbar.tracking = true;
            w->vbar.trackPos = w->vbar.pos;
            SendScroll(w, SB_THUMBTRACK, w->vbar.pos);
        } else {
            Redraw(w);
            static const int codes[] = {0, SB_LINEUP, SB_PAGEUP, 0, SB_PAGEDOWN, SB_LINEDOWN};
            SetTimer(w->handle, kRepeatTimer, kFirstRepeatMs, RepeatProc);
            if (Window* again = FindQuiet(track.hwnd)) SendScroll(again, codes[part], 0);
        }
        return true;
    }
    w = FindQuiet(track.hwnd);
    if (!w) {
        track = Tracking{};
        return false;
    }
    const int y = screen.y - BarTopOnScreen(w);
    if (track.part == kThumb) {
        int arrow, thumbTop, thumbLen;
        ScrollBarGeometry(w->vbar, BarHeight(w), &arrow, &thumbTop, &thumbLen);
        const RECT ws = WindowOnScreen(w);
        RECT bar = VScrollRect(w);
        OffsetRect(&bar, ws.left, ws.top);
        // Far away from the bar, the thumb snaps back to where the drag began.
        RECT near = bar;
        InflateRect(&near, 8 * kScrollBarWidth, 2 * kScrollBarWidth);
        int value = track.startValue;
        if (PtInRect(&near, screen)) {
            const int trackLen = BarHeight(w) - 2 * arrow;
            value = ThumbValueForOffset(w->vbar, trackLen, thumbLen, y - track.grab - arrow);
        }
        if (msg == WM_MOUSEMOVE) {
            if (y != track.lastY || value != w->vbar.trackPos) {
                track.lastY = y;
                w->vbar.trackPos = value;
                Redraw(w);
                SendScroll(w, SB_THUMBTRACK, value);
            }
        } else if (msg == WM_LBUTTONUP) {
            const HWND h = w->handle;
            const int finalPos = w->vbar.trackPos;
            SendScroll(w, SB_THUMBPOSITION, finalPos);
            if (Window* again = FindQuiet(h)) {
                again->vbar.tracking = false;
                track = Tracking{};
                Redraw(again);
                SendScroll(again, SB_ENDSCROLL, 0);
            }
            track = Tracking{};
        }
        return true;
    }
    track.lastY = y;
    const bool inside = PartAt(w, y) == track.part;
    if (inside != track.inside) {
        track.inside = inside;
        Redraw(w);
    }
    if (msg == WM_LBUTTONUP) {
        KillTimer(w->handle, kRepeatTimer);
        const HWND h = w->handle;
        track = Tracking{};
        Redraw(w);
        if (Window* again = FindQuiet(h)) SendScroll(again, SB_ENDSCROLL, 0);
    }
    return true;
}

void SizeChanged(Window* w, bool sendSize) {
    w->frameDirty = true;
    InvalidateClient(w, nullptr, true);
    if (sendSize) Send(w, WM_SIZE, SIZE_RESTORED, MAKELPARAM(ClientWidth(w), ClientHeight(w)));
}

}  // namespace wm

using namespace wm;

int SetScrollInfo(HWND hwnd, int bar, LPCSCROLLINFO si, BOOL redraw) {
    Window* w = Find(hwnd);
    if (!w) return 0;
    ScrollBar* sb = BarOf(w, bar);
    if (!sb || !si) {
        SetLastError(kErrorInvalidParameter);
        return 0;
    }
    const UINT offsetOfTrackPos = offsetof(SCROLLINFO, nTrackPos);
    if ((si->cbSize != sizeof(SCROLLINFO) && si->cbSize != offsetOfTrackPos) ||
        (si->fMask & ~static_cast<UINT>(SIF_ALL | SIF_DISABLENOSCROLL))) {
        SetLastError(kErrorInvalidParameter);
        return 0;
    }
    const ScrollBar before = *sb;
    if (si->fMask & SIF_PAGE) sb->page = si->nPage;
    if (si->fMask & SIF_POS) sb->pos = si->nPos;
    if (si->fMask & SIF_RANGE) {
        if (si->nMin > si->nMax || static_cast<int64_t>(si->nMax) - si->nMin >= 0x80000000LL) {
            sb->min = sb->max = 0;
        } else {
            sb->min = si->nMin;
            sb->max = si->nMax;
        }
    }
    const int64_t range = static_cast<int64_t>(sb->max) - sb->min + 1;
    if (static_cast<int64_t>(sb->page) > range) sb->page = static_cast<UINT>(range);
    sb->pos = std::max(sb->pos, sb->min);
    sb->pos = std::min(sb->pos, MaxPos(*sb));
    if (!(si->fMask & SIF_ALL)) return sb->pos;

    const DWORD styleBit = bar == SB_VERT ? WS_VSCROLL : WS_HSCROLL;
    bool showChange = false;
    if (si->fMask & (SIF_RANGE | SIF_PAGE | SIF_DISABLENOSCROLL)) {
        const bool changed = before.min != sb->min || before.max != sb->max ||
                             before.page != sb->page || before.pos != sb->pos;
        if (sb->min >= MaxPos(*sb)) {
            if (si->fMask & SIF_DISABLENOSCROLL) {
                sb->enabled = false;
            } else if (changed && (w->style & styleBit)) {
                w->style &= ~styleBit;
                showChange = true;
            }
        } else if (si->fMask != SIF_PAGE) {
            sb->enabled = true;
            if (!(w->style & styleBit)) {
                w->style |= styleBit;
                showChange = true;
            }
        }
    }
    if (showChange) {
        // Showing or hiding a standard bar changes the client area: the window
        // hears WM_SIZE before this call returns, and may call back in here.
        SizeChanged(w, true);
        w = FindQuiet(hwnd);
        if (!w) return 0;
        return BarOf(w, bar)->pos;
    }
    if (bar == SB_VERT) {
        if (redraw)
            Redraw(w);
        else
            w->frameDirty = true;  // drawn with the next frame instead
    }
    return sb->pos;
}

BOOL GetScrollInfo(HWND hwnd, int bar, LPSCROLLINFO si) {
    Window* w = Find(hwnd);
    if (!w) return FALSE;
    ScrollBar* sb = BarOf(w, bar);
    if (!sb || !si || !(si->fMask & SIF_ALL)) {
        SetLastError(kErrorInvalidParameter);
        return FALSE;
    }
    if (si->fMask & SIF_RANGE) {
        si->nMin = sb->min;
        si->nMax = sb->max;
    }
    if (si->fMask & SIF_PAGE) si->nPage = sb->page;
    if (si->fMask & SIF_POS) si->nPos = sb->pos;
    if ((si->fMask & SIF_TRACKPOS) && si->cbSize == sizeof(SCROLLINFO))
        si->nTrackPos = sb->tracking ? sb->trackPos : sb->pos;
    return TRUE;
}

int GetScrollPos(HWND hwnd, int bar) {
    Window* w = Find(hwnd);
    if (!w || !BarOf(w, bar)) return 0;
    return BarOf(w, bar)->pos;
}
