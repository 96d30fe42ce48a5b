// Invalidation, WM_PAINT, device contexts of windows, the non-client frame,
// ScrollWindowEx, the caret and the rectangle helpers.
//
// Implements: InvalidateRect (with or without erasing), UpdateWindow painting
// a window and its children at once, BeginPaint / EndPaint, GetDC /
// ReleaseDC, the frame and scroll bars drawn before the client,
// ScrollWindowEx moving the pixels and, with SW_SCROLLCHILDREN, the child
// windows, and with SW_INVALIDATE what it uncovers; the caret; the rectangle
// helpers. Each top-level window draws into a surface of its own; the screen
// is those surfaces composed in z-order, so a message box over the main
// window survives the main window's repaints. InvalidateRect with a null
// window does nothing, as on the handheld.
//
// Leaves out: regions (an update region is kept as its bounding box, and
// ScrollWindowEx takes no region), RedrawWindow, ValidateRect.
//
// Differs: a paint may redraw a little more than the handheld would, since
// the update region is a rectangle; what is drawn is the same.
#include <algorithm>

#include "gdi/record.h"
#include "wm/foreign.h"
#include "wm/wm.h"

namespace wm {
namespace {

struct Caret {
    HWND owner = nullptr;
    int width = 0, height = 0;
    int x = 0, y = 0;
    int hideCount = 1;   // ShowCaret/HideCaret nest
    int paintHides = 0;  // hidden around paints of the owner or an ancestor
    bool drawn = false;
};
Caret caret;

bool IsAncestorOrSelf(const Window* a, const Window* w) {
    for (; w; w = w->parent)
        if (w == a) return true;
    return false;
}

void CaretInvert() {
    Window* w = FindQuiet(caret.owner);
    if (!w) return;
    RECT r{caret.x, caret.y, caret.x + caret.width, caret.y + caret.height};
    HDC dc = CreateDC(w, true, &r);
    BitBlt(dc, caret.x, caret.y, caret.width, caret.height, nullptr, 0, 0, DSTINVERT);
    gdi::DeleteSurfaceDC(dc);
}

void CaretSync() {
    const bool want = caret.owner && caret.hideCount <= 0 && caret.paintHides == 0 &&
                      FindQuiet(caret.owner) && Visible(FindQuiet(caret.owner));
    if (want != caret.drawn) {
        CaretInvert();
        caret.drawn = want;
    }
}

Window* SearchPaint(Window* w) {
    if (!(w->style & WS_VISIBLE)) return nullptr;
    if (w->frameDirty) DrawFrame(w);
    if (!IsRectEmpty(&w->update)) return w;
    for (Window* c : w->children)
        if (Window* f = SearchPaint(c)) return f;
    return nullptr;
}

void PaintTree(HWND h) {
    Window* w = FindQuiet(h);
    if (!w || !Visible(w)) return;
    if (w->frameDirty) DrawFrame(w);
    if (!IsRectEmpty(&w->update)) Send(w, WM_PAINT, 0, 0);
    w = FindQuiet(h);
    if (!w) return;
    std::vector<HWND> kids;
    for (Window* c : w->children) kids.push_back(c->handle);
    for (HWND k : kids) PaintTree(k);
}

void DrawFramesIn(Window* w) {
    if (!(w->style & WS_VISIBLE)) return;
    if (w->frameDirty) DrawFrame(w);
    for (Window* c : w->children) DrawFramesIn(c);
}

// A parent's paint covers its children, so the children under the area it
// paints are painted again after it.
void InvalidateChildrenUnder(Window* w, const RECT& r, bool erase) {
    for (Window* c : w->children) {
        RECT cr;
        if (!IntersectRect(&cr, &r, &c->rect)) continue;
        const RECT ci = ClientInWindow(c);
        OffsetRect(&cr, -(c->rect.left + ci.left), -(c->rect.top + ci.top));
        c->frameDirty = true;
        InvalidateClient(c, &cr, erase);
    }
}

}  // namespace

bool CaretHideFor(Window* w) {
    Window* o = FindQuiet(caret.owner);
    if (!o || !IsAncestorOrSelf(w, o)) return false;
    ++caret.paintHides;
    CaretSync();
    return true;
}

void CaretShowFor(Window* w) {
    if (Window* o = FindQuiet(caret.owner); o && IsAncestorOrSelf(w, o) && caret.paintHides > 0) {
        --caret.paintHides;
        CaretSync();
    }
}

void CaretForget(Window* w) {
    if (caret.owner == w->handle) caret = Caret{};
}

void InvalidateClient(Window* w, const RECT* rect, bool erase) {
    if (!(w->style & WS_VISIBLE)) return;
    RECT r{0, 0, ClientWidth(w), ClientHeight(w)};
    if (rect && !IntersectRect(&r, &r, rect)) return;
    if (IsRectEmpty(&r)) return;
    UnionRect(&w->update, &w->update, &r);
    if (erase) w->erase = true;
    InvalidateChildrenUnder(w, r, erase);
}

void InvalidateUncovered(Window* w) {
    if (w->parent) {
        InvalidateClient(w->parent, &w->rect, true);
        return;
    }
    // Top-level windows draw into surfaces of their own, so nothing under a
    // closing pop-up is lost; they still hear about the area it uncovers, as
    // on the handheld.
    const RECT gone = WindowOnScreen(w);
    for (Window* t : TopLevels()) {
        if (t == w || !(t->style & WS_VISIBLE)) continue;
        RECT r;
        const RECT client = ClientOnScreen(t);
        if (!IntersectRect(&r, &gone, &client)) continue;
        OffsetRect(&r, -client.left, -client.top);
        InvalidateClient(t, &r, true);
    }
}

Window* FindWindowToPaint() {
    for (Window* t : TopLevels())
        if (Window* w = SearchPaint(t)) return w;
    return nullptr;
}

void EnsureSurface(Window* w) {
    const int width = w->rect.right - w->rect.left, height = w->rect.bottom - w->rect.top;
    if (w->surface && w->surface->width == width && w->surface->height == height) return;
    // Resized in place: device contexts of the window (a child's paint while
    // the window is resized, say) keep pointing at a live surface and are
    // clipped to its new size.
    if (!w->surface) {
        w->surface = std::make_unique<gdi::Surface>();
        gdi::ForgetMarks(w->surface.get());
    }
    gdi::Surface& s = *w->surface;
    gdi::NoteCover(&s, RECT{0, 0, s.width, s.height});
    w->vbarDrawn.clear();
    s.width = std::max(width, 0);
    s.height = std::max(height, 0);
    gdi::KnowSurface(&s, 0xffffffu);
}

HDC CreateDC(Window* w, bool clientArea, const RECT* clipClient) {
    Window* top = TopLevelOf(w);
    EnsureSurface(top);
    const RECT topScreen = WindowOnScreen(top);
    RECT base = clientArea ? ClientOnScreen(w) : WindowOnScreen(w);
    RECT clip{};
    if (Visible(w)) {
        clip = base;
        for (const Window* p = w->parent; p; p = p->parent) {
            RECT pc = ClientOnScreen(p);
            IntersectRect(&clip, &clip, &pc);
        }
        if (clipClient) {
            RECT c = *clipClient;
            const RECT cs = ClientOnScreen(w);
            OffsetRect(&c, cs.left, cs.top);
            IntersectRect(&clip, &clip, &c);
        }
        OffsetRect(&clip, -topScreen.left, -topScreen.top);
    }
    OffsetRect(&base, -topScreen.left, -topScreen.top);
    return gdi::CreateSurfaceDC(top->surface.get(), POINT{base.left, base.top}, clip);
}

void DrawFrame(Window* w) {
    w->frameDirty = false;
    if (!Visible(w)) return;
    HDC dc = CreateDC(w, false, nullptr);
    const int width = w->rect.right - w->rect.left, height = w->rect.bottom - w->rect.top;
    if (w->style & WS_BORDER) {
        HBRUSH black = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
        RECT edges[4] = {{0, 0, width, 1},
                         {0, height - 1, width, height},
                         {0, 0, 1, height},
                         {width - 1, 0, width, height}};
        for (const RECT& e : edges) FillRect(dc, &e, black);
    }
    if (w->style & WS_VSCROLL)
        DrawVScroll(w, dc);
    else
        w->vbarDrawn.clear();
    gdi::DeleteSurfaceDC(dc);
}

namespace {

// The white behind the windows, on the rows no visible window spans from
// edge to edge: such a row is written whole when that window is copied.
void ClearUncoveredRows(gdi::Surface& screen) {
    std::vector<bool> covered(static_cast<size_t>(screen.height), false);
    for (const Window* t : TopLevels()) {
        if (!(t->style & WS_VISIBLE) || t->rect.left > 0 || t->rect.right < screen.width) continue;
        for (int y = std::max(0, t->rect.top); y < std::min(screen.height, t->rect.bottom); ++y)
            covered[static_cast<size_t>(y)] = true;
    }
    const auto width = static_cast<size_t>(screen.width);
    const uint32_t* white = nullptr;  // a row already cleared, copied a block at a time
    for (int y = 0; y < screen.height; ++y) {
        if (covered[static_cast<size_t>(y)]) continue;
        uint32_t* row = screen.pixels.data() + static_cast<size_t>(y) * width;
        if (white)
            std::copy_n(white, width, row);
        else
            std::fill_n(row, width, 0xffffffu);
        white = row;
    }
}

}  // namespace

void ComposeScreen() {
    gdi::Surface& screen = gdi::Screen();
    ClearUncoveredRows(screen);
    for (auto it = TopLevels().rbegin(); it != TopLevels().rend(); ++it) {
        Window* t = *it;
        if (!(t->style & WS_VISIBLE)) continue;
        DrawFramesIn(t);
        EnsureSurface(t);
        const gdi::Surface& s = *t->surface;
        // The part of the window on the screen, a row at a time.
        const int left = std::max(0, -t->rect.left),
                  right = std::min(s.width, screen.width - t->rect.left);
        const int top = std::max(0, -t->rect.top),
                  bottom = std::min(s.height, screen.height - t->rect.top);
        for (int y = top; y < bottom && left < right; ++y)
            std::copy_n(
                s.pixels.data() + static_cast<size_t>(y) * static_cast<size_t>(s.width) + left,
                right - left,
                screen.pixels.data() +
                    static_cast<size_t>(t->rect.top + y) * static_cast<size_t>(screen.width) +
                    (t->rect.left + left));
    }
}

}  // namespace wm

using namespace wm;

HDC BeginPaint(HWND hwnd, LPPAINTSTRUCT ps) {
    Window* w = Find(hwnd);
    if (!w || !ps) return nullptr;
    const RECT update = w->update;
    const bool erase = w->erase;
    w->update = RECT{};
    w->erase = false;
    // Children painted since the area was invalidated (or moved under it
    // since) are covered again by this paint.
    InvalidateChildrenUnder(w, update, erase);
    if (w->frameDirty) DrawFrame(w);
    CaretHideFor(w);
    *ps = PAINTSTRUCT{};
    ps->hdc = CreateDC(w, true, &update);
    ps->rcPaint = update;
    if (erase && !Send(w, WM_ERASEBKGND, reinterpret_cast<WPARAM>(ps->hdc), 0)) ps->fErase = TRUE;
    return ps->hdc;
}

BOOL EndPaint(HWND hwnd, const PAINTSTRUCT* ps) {
    if (!ps) return FALSE;
    if (ps->hdc) gdi::DeleteSurfaceDC(ps->hdc);
    if (Window* w = FindQuiet(hwnd)) CaretShowFor(w);
    return TRUE;
}

HDC GetDC(HWND hwnd) {
    if (!hwnd) {
        gdi::Surface& s = gdi::Screen();
        return gdi::CreateSurfaceDC(&s, POINT{0, 0}, RECT{0, 0, s.width, s.height});
    }
    Window* w = Find(hwnd);
    return w ? CreateDC(w, true, nullptr) : nullptr;
}

int ReleaseDC(HWND, HDC dc) {
    if (!dc) return 0;
    gdi::DeleteSurfaceDC(dc);
    return 1;
}

BOOL InvalidateRect(HWND hwnd, const RECT* rect, BOOL erase) {
    if (!hwnd) return FALSE;  // the handheld does not repaint every window for a null handle
    if (IsForeignWindow(hwnd)) {
        ForeignCall call{ForeignCall::Invalidate, rect != nullptr, rect ? *rect : RECT{},
                         erase != FALSE};
        return ForwardToForeignWindow(hwnd, call) ? TRUE : FALSE;
    }
    Window* w = Find(hwnd);
    if (!w) return FALSE;
    InvalidateClient(w, rect, erase != FALSE);
    return TRUE;
}

BOOL UpdateWindow(HWND hwnd) {
    if (IsForeignWindow(hwnd)) return ForwardToForeignWindow(hwnd, ForeignCall{}) ? TRUE : FALSE;
    Window* w = Find(hwnd);
    if (!w) return FALSE;
    PaintTree(hwnd);
    return TRUE;
}

int ScrollWindowEx(HWND hwnd, int dx, int dy, const RECT* scroll, const RECT* clip, HRGN,
                   LPRECT updateRect, UINT flags) {
    Window* w = Find(hwnd);
    if (!w) return ERROR;
    const RECT client{0, 0, ClientWidth(w), ClientHeight(w)};
    RECT src = client, cl = client, area;
    if (scroll) IntersectRect(&src, &src, scroll);
    if (clip) IntersectRect(&cl, &cl, clip);
    IntersectRect(&area, &src, &cl);

    // The caret is hidden for the whole call, children's moves included: its
    // pixels must neither move with the scrolled bits nor stay behind where a
    // moved edit box was.
    const bool caretHidden = CaretHideFor(w);
    RECT uncovered{};
    if (!IsRectEmpty(&area) && (dx || dy)) {
        if (Visible(w)) {
            Window* top = TopLevelOf(w);
            EnsureSurface(top);
            RECT onSurface = area;
            const RECT cs = ClientOnScreen(w), ts = WindowOnScreen(top);
            OffsetRect(&onSurface, cs.left - ts.left, cs.top - ts.top);
            RECT vis = VisibleClip(w);
            OffsetRect(&vis, -ts.left, -ts.top);
            IntersectRect(&onSurface, &onSurface, &vis);
            gdi::ScrollSurface(top->surface.get(), onSurface, dx, dy);
        }
        const int h = area.bottom - area.top, wd = area.right - area.left;
        if (std::abs(dy) >= h || std::abs(dx) >= wd) {
            uncovered = area;
        } else {
            if (dy < 0) uncovered = RECT{area.left, area.bottom + dy, area.right, area.bottom};
            if (dy > 0) uncovered = RECT{area.left, area.top, area.right, area.top + dy};
            RECT side{};
            if (dx < 0) side = RECT{area.right + dx, area.top, area.right, area.bottom};
            if (dx > 0) side = RECT{area.left, area.top, area.left + dx, area.bottom};
            UnionRect(&uncovered, &uncovered, &side);
        }
        // An update region not yet painted moves with the pixels.
        if (!IsRectEmpty(&w->update)) {
            RECT moved = w->update;
            OffsetRect(&moved, dx, dy);
            IntersectRect(&moved, &moved, &client);
            UnionRect(&w->update, &w->update, &moved);
        }
    }
    if (flags & SW_SCROLLCHILDREN) {
        std::vector<HWND> kids;
        for (Window* c : w->children) {
            RECT hit;
            if (!scroll || IntersectRect(&hit, &c->rect, &src)) kids.push_back(c->handle);
        }
        for (HWND k : kids) {
            Window* c = FindQuiet(k);
            if (!c) continue;
            OffsetRect(&c->rect, dx, dy);
            c->frameDirty = true;
            InvalidateClient(c, nullptr, true);
            const RECT ci = ClientInWindow(c);
            Send(c, WM_MOVE, 0, MAKELPARAM(c->rect.left + ci.left, c->rect.top + ci.top));
        }
    }
    Window* again = FindQuiet(hwnd);
    if (again && (flags & SW_INVALIDATE) && !IsRectEmpty(&uncovered))
        InvalidateClient(again, &uncovered, (flags & SW_ERASE) != 0);
    if (again && caretHidden) CaretShowFor(again);
    if (updateRect) *updateRect = uncovered;
    return IsRectEmpty(&uncovered) ? NULLREGION : SIMPLEREGION;
}

BOOL CreateCaret(HWND hwnd, HBITMAP, int width, int height) {
    Window* w = Find(hwnd);
    if (!w) return FALSE;
    DestroyCaret();
    caret = Caret{};
    caret.owner = hwnd;
    caret.width = width > 0 ? width : 1;
    caret.height = height > 0 ? height : 13;
    return TRUE;
}

BOOL DestroyCaret() {
    if (!caret.owner) return FALSE;
    caret.hideCount = 1;
    CaretSync();
    caret = Caret{};
    return TRUE;
}

BOOL ShowCaret(HWND hwnd) {
    if (!caret.owner || (hwnd && hwnd != caret.owner) || caret.hideCount <= 0) return FALSE;
    --caret.hideCount;
    CaretSync();
    return TRUE;
}

BOOL HideCaret(HWND hwnd) {
    if (!caret.owner || (hwnd && hwnd != caret.owner)) return FALSE;
    ++caret.hideCount;
    CaretSync();
    return TRUE;
}

BOOL SetCaretPos(int x, int y) {
    if (!caret.owner) return FALSE;
    const bool was = caret.drawn;
    if (was) {
        CaretInvert();
        caret.drawn = false;
    }
    caret.x = x;
    caret.y = y;
    CaretSync();
    return TRUE;
}

BOOL IsRectEmpty(const RECT* r) {
    return !r || r->right <= r->left || r->bottom <= r->top ? TRUE : FALSE;
}

BOOL PtInRect(const RECT* r, POINT p) {
    return r && p.x >= r->left && p.x < r->right && p.y >= r->top && p.y < r->bottom ? TRUE : FALSE;
}

BOOL OffsetRect(LPRECT r, int dx, int dy) {
    if (!r) return FALSE;
    r->left += dx;
    r->right += dx;
    r->top += dy;
    r->bottom += dy;
    return TRUE;
}

BOOL InflateRect(LPRECT r, int dx, int dy) {
    if (!r) return FALSE;
    r->left -= dx;
    r->right += dx;
    r->top -= dy;
    r->bottom += dy;
    return TRUE;
}

BOOL IntersectRect(LPRECT out, const RECT* a, const RECT* b) {
    if (!out || !a || !b) return FALSE;
    RECT r{std::max(a->left, b->left), std::max(a->top, b->top), std::min(a->right, b->right),
           std::min(a->bottom, b->bottom)};
    if (IsRectEmpty(&r)) {
        *out = RECT{};
        return FALSE;
    }
    *out = r;
    return TRUE;
}

BOOL UnionRect(LPRECT out, const RECT* a, const RECT* b) {
    if (!out || !a || !b) return FALSE;
    if (IsRectEmpty(a)) {
        *out = IsRectEmpty(b) ? RECT{} : *b;
    } else if (IsRectEmpty(b)) {
        *out = *a;
    } else {
        *out = RECT{std::min(a->left, b->left), std::min(a->top, b->top),
                    std::max(a->right, b->right), std::max(a->bottom, b->bottom)};
    }
    return IsRectEmpty(out) ? FALSE : TRUE;
}
