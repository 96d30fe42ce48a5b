// Window classes, the window tree and the calls that read or change a window:
// creation and destruction, showing, moving, focus, activation, window longs
// and text.
//
// Implements: RegisterClassW (a name taken is refused), CreateWindowExW
// (WM_CREATE; a window whose WM_CREATE gives -1 is destroyed), DestroyWindow
// (owned pop-ups first; WM_DESTROY to the window, then its children, while all
// still exist), ShowWindow, SetWindowPos and MoveWindow (WM_SIZE and WM_MOVE
// when they change, HWND_TOPMOST), EnableWindow, SetFocus and
// SetForegroundWindow with their activation messages, FindWindowW (class names
// compared without case), Get/SetWindowLongW (procedure, instance, parent, id,
// style, extended style, user data), CallWindowProcW for subclassing, window
// text, the system colours and DefWindowProcW. Handles are never reused, so a
// stale handle stays invalid for good.
//
// Leaves out: window properties, minimised and maximised states, menus
// attached to windows (the handheld's menus are the menu bar's, chrome/).
//
// Differs: nothing known.
#include <algorithm>
#include <cstring>
#include <map>
#include <unordered_map>

#include "controls/controls.h"
#include "device/screen.h"
#include "wm/foreign.h"
#include "wm/wm.h"

namespace wm {
namespace {

std::vector<std::shared_ptr<WindowClass>>& Classes() {
    static std::vector<std::shared_ptr<WindowClass>> classes;
    return classes;
}

std::unordered_map<uintptr_t, std::unique_ptr<Window>>& Handles() {
    static std::unordered_map<uintptr_t, std::unique_ptr<Window>> handles;
    return handles;
}

// The window found last, checked before the table: lookups come in runs for
// one window (a message's target, then its painting and its scroll bar).
uintptr_t lastHandle = 0;
Window* lastWindow = nullptr;

// Handles are never reused, so a stale handle stays invalid for good.
uintptr_t nextHandle = 0x10;
HWND focusWindow = nullptr;
HWND activeWindow = nullptr;

std::shared_ptr<WindowClass> FindClass(LPCWSTR name) {
    if (!name) return nullptr;
    if (reinterpret_cast<uintptr_t>(name) <= 0xffff) {
        const size_t atom = reinterpret_cast<uintptr_t>(name);
        if (atom >= 1 && atom <= Classes().size()) return Classes()[atom - 1];
        return nullptr;
    }
    const std::u16string key = Lower(name);
    for (auto& c : Classes())
        if (c && c->key == key) return c;
    return nullptr;
}

bool InSubtree(const Window* root, HWND h) {
    for (Window* w = FindQuiet(h); w; w = w->parent)
        if (w == root) return true;
    return false;
}

void CollectSubtree(Window* w, std::vector<HWND>& out) {
    out.push_back(w->handle);
    for (Window* c : w->children) CollectSubtree(c, out);
}

void Unlink(Window* w) {
    auto& list = w->parent ? w->parent->children : TopLevels();
    list.erase(std::remove(list.begin(), list.end(), w), list.end());
}

// Sends WM_SIZE and WM_MOVE with the window's current client size and origin.
void SendSizeAndMove(Window* w) {
    Send(w, WM_SIZE, SIZE_RESTORED, MAKELPARAM(ClientWidth(w), ClientHeight(w)));
    if (!FindQuiet(w->handle)) return;
    const RECT c = ClientInWindow(w);
    Send(w, WM_MOVE, 0, MAKELPARAM(w->rect.left + c.left, w->rect.top + c.top));
}

void SendPosChanged(Window* w, UINT flags) {
    WINDOWPOS pos{w->handle,
                  nullptr,
                  static_cast<int>(w->rect.left),
                  static_cast<int>(w->rect.top),
                  static_cast<int>(w->rect.right - w->rect.left),
                  static_cast<int>(w->rect.bottom - w->rect.top),
                  flags};
    Send(w, WM_WINDOWPOSCHANGED, 0, reinterpret_cast<LPARAM>(&pos));
}

// The handheld activates a top-level window when it is shown or tapped: the old
// one hears WM_ACTIVATE(WA_INACTIVE), the new one WM_ACTIVATE(WA_ACTIVE), whose
// default handling gives it the focus.
void Activate(Window* w) {
    if (!w || w->handle == activeWindow) return;
    auto& tops = TopLevels();
    tops.erase(std::remove(tops.begin(), tops.end(), w), tops.end());
    auto at = tops.begin();
    if (!(w->exStyle & WS_EX_TOPMOST))
        while (at != tops.end() && ((*at)->exStyle & WS_EX_TOPMOST)) ++at;
    tops.insert(at, w);
    HWND old = activeWindow;
    activeWindow = w->handle;
    if (Window* o = FindQuiet(old))
        Send(o, WM_ACTIVATE, WA_INACTIVE, reinterpret_cast<LPARAM>(w->handle));
    if (FindQuiet(w->handle)) Send(w, WM_ACTIVATE, WA_ACTIVE, reinterpret_cast<LPARAM>(old));
}

void ActivateNextAfter(Window* leaving) {
    if (activeWindow != leaving->handle) return;
    activeWindow = nullptr;
    for (Window* t : TopLevels())
        if (t != leaving && !t->destroying && (t->style & WS_VISIBLE)) {
            Activate(t);
            return;
        }
}

bool ShowInternal(Window* w, bool show, bool activate) {
    const bool was = (w->style & WS_VISIBLE) != 0;
    if (was == show) return was;
    Send(w, WM_SHOWWINDOW, show, 0);
    if (!FindQuiet(w->handle)) return was;
    if (show) {
        w->style |= WS_VISIBLE;
        if (!w->parent && activate) Activate(w);
        if (!FindQuiet(w->handle)) return was;
        w->frameDirty = true;
        w->vbarDrawn.clear();
        InvalidateClient(w, nullptr, true);
        SendPosChanged(w, SWP_SHOWWINDOW | SWP_NOSIZE | SWP_NOMOVE);
        if (w->deferredSize && FindQuiet(w->handle)) {
            w->deferredSize = false;
            SendSizeAndMove(w);
        }
    } else {
        InvalidateUncovered(w);
        w->style &= ~WS_VISIBLE;
        if (focusWindow && InSubtree(w, focusWindow))
            SetFocus(w->parent ? w->parent->handle : nullptr);
        if (!w->parent) ActivateNextAfter(w);
        if (FindQuiet(w->handle)) SendPosChanged(w, SWP_HIDEWINDOW | SWP_NOSIZE | SWP_NOMOVE);
    }
    return was;
}

}  // namespace

std::u16string Lower(const std::u16string& s) {
    std::u16string out(s);
    for (auto& c : out)
        if (c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c - u'A' + u'a');
    return out;
}

Window* FindQuiet(HWND hwnd) {
    const auto handle = reinterpret_cast<uintptr_t>(hwnd);
    if (handle && handle == lastHandle) return lastWindow;
    auto it = Handles().find(handle);
    if (it == Handles().end()) return nullptr;
    lastHandle = handle;
    lastWindow = it->second.get();
    return lastWindow;
}

Window* Find(HWND hwnd) {
    Window* w = FindQuiet(hwnd);
    if (!w) SetLastError(kErrorInvalidWindowHandle);
    return w;
}

std::vector<Window*>& TopLevels() {
    static std::vector<Window*> tops;
    return tops;
}

Window* TopLevelOf(Window* w) {
    while (w && w->parent) w = w->parent;
    return w;
}

bool Visible(const Window* w) {
    for (; w; w = w->parent)
        if (!(w->style & WS_VISIBLE)) return false;
    return true;
}

bool Enabled(const Window* w) {
    for (; w; w = w->parent)
        if (w->style & WS_DISABLED) return false;
    return true;
}

RECT ClientInWindow(const Window* w) {
    const int width = w->rect.right - w->rect.left, height = w->rect.bottom - w->rect.top;
    RECT r{0, 0, width, height};
    if (w->style & WS_BORDER) InflateRect(&r, -kBorder, -kBorder);
    if (w->style & WS_VSCROLL) r.right -= kScrollBarWidth;
    if (w->style & WS_HSCROLL) r.bottom -= kScrollBarWidth;
    r.right = std::max(r.right, r.left);
    r.bottom = std::max(r.bottom, r.top);
    return r;
}

int ClientWidth(const Window* w) {
    RECT r = ClientInWindow(w);
    return r.right - r.left;
}
int ClientHeight(const Window* w) {
    RECT r = ClientInWindow(w);
    return r.bottom - r.top;
}

RECT WindowOnScreen(const Window* w) {
    RECT r = w->rect;
    for (const Window* p = w->parent; p; p = p->parent) {
        const RECT c = ClientInWindow(p);
        OffsetRect(&r, p->rect.left + c.left, p->rect.top + c.top);
    }
    return r;
}

RECT ClientOnScreen(const Window* w) {
    RECT win = WindowOnScreen(w);
    RECT c = ClientInWindow(w);
    OffsetRect(&c, win.left, win.top);
    return c;
}

RECT VisibleClip(const Window* w) {
    RECT r{};
    if (!Visible(w)) return r;
    r = ClientOnScreen(w);
    for (const Window* p = w->parent; p; p = p->parent) {
        RECT pc = ClientOnScreen(p);
        IntersectRect(&r, &r, &pc);
    }
    return r;
}

void ResetWindowsForTests() {
    for (int guard = 0; guard < 1000 && !TopLevels().empty(); ++guard)
        DestroyWindow(TopLevels().front()->handle);
    focusWindow = nullptr;
    activeWindow = nullptr;
}

COLORREF SysColor(int index) {
    switch (index) {
        case COLOR_WINDOW:
        case COLOR_BTNFACE:
        case COLOR_BTNHIGHLIGHT:
        case COLOR_STATIC:
        case COLOR_HIGHLIGHTTEXT:
        case COLOR_CAPTIONTEXT:
            return RGB(255, 255, 255);
        case COLOR_SCROLLBAR:
        case COLOR_3DLIGHT:
            return RGB(224, 224, 224);
        case COLOR_BTNSHADOW:
        case COLOR_GRAYTEXT:
            return RGB(128, 128, 128);
        case COLOR_HIGHLIGHT:
        case COLOR_ACTIVECAPTION:
            return RGB(0, 0, 128);
        case COLOR_BACKGROUND:
            return RGB(0, 128, 128);
        default:
            return RGB(0, 0, 0);
    }
}

}  // namespace wm

using namespace wm;

HBRUSH GetSysColorBrush(int index) {
    static std::map<int, HBRUSH> brushes;
    auto it = brushes.find(index);
    if (it != brushes.end()) return it->second;
    HBRUSH b = CreateSolidBrush(SysColor(index));
    brushes[index] = b;
    return b;
}

ATOM RegisterClassW(const WNDCLASSW* wc) {
    controls::RegisterSystemClasses();  // the system's names are taken before the program's
    if (!wc || !wc->lpfnWndProc || !wc->lpszClassName || wc->cbWndExtra < 0) {
        SetLastError(kErrorInvalidParameter);
        return 0;
    }
    if (reinterpret_cast<uintptr_t>(wc->lpszClassName) <= 0xffff || !wc->lpszClassName[0]) {
        SetLastError(kErrorInvalidParameter);
        return 0;
    }
    if (FindClass(wc->lpszClassName)) {
        SetLastError(kErrorClassAlreadyExists);
        return 0;
    }
    auto c = std::make_shared<WindowClass>();
    c->name = wc->lpszClassName;
    c->key = Lower(c->name);
    c->proc = wc->lpfnWndProc;
    c->style = wc->style;
    c->background = wc->hbrBackground;
    c->icon = wc->hIcon;
    c->windowExtra = wc->cbWndExtra;
    c->instance = wc->hInstance;
    Classes().push_back(c);
    return static_cast<ATOM>(Classes().size());
}

HWND CreateWindowExW(DWORD exStyle, LPCWSTR className, LPCWSTR windowName, DWORD style, int x,
                     int y, int width, int height, HWND parentHandle, HMENU menu,
                     HINSTANCE instance, LPVOID param) {
    controls::RegisterSystemClasses();
    auto cls = FindClass(className);
    if (!cls) {
        SetLastError(kErrorCannotFindWndClass);
        return nullptr;
    }
    Window* parent = nullptr;
    if (parentHandle) {
        parent = Find(parentHandle);
        if (!parent) return nullptr;
    }
    if ((style & WS_CHILD) && !parent) {
        SetLastError(kErrorTlwWithWsChild);
        return nullptr;
    }
    const bool child = (style & WS_CHILD) != 0;
    auto owned = std::make_unique<Window>();
    Window* w = owned.get();
    w->handle = reinterpret_cast<HWND>(nextHandle);
    nextHandle += 4;
    w->cls = cls;
    w->proc = cls->proc;
    w->style = style & ~static_cast<DWORD>(WS_VISIBLE);
    w->exStyle = exStyle;
    w->instance = instance;
    w->extra.assign(static_cast<size_t>(cls->windowExtra), 0);
    if (child) {
        w->parent = parent;
        w->id = reinterpret_cast<LONG_PTR>(menu);
    } else if (parent) {
        w->owner = TopLevelOf(parent)->handle;
    }
    // Top-level windows given CW_USEDEFAULT take the application's work area
    // (below the navigation bar, above the menu bar).
    if (!child) {
        if (x == CW_USEDEFAULT) x = 0, y = device::kWorkTop;
        if (width == CW_USEDEFAULT)
            width = device::kScreenWidth, height = device::kWorkBottom - device::kWorkTop;
    } else {
        if (x == CW_USEDEFAULT) x = 0, y = 0;
        if (width == CW_USEDEFAULT) width = 0, height = 0;
    }
    w->rect = RECT{x, y, x + std::max(width, 0), y + std::max(height, 0)};
    Handles()[reinterpret_cast<uintptr_t>(w->handle)] = std::move(owned);
    if (child)
        parent->children.push_back(
            w);  // later siblings lie below earlier ones, as dialog controls do
    else
        TopLevels().push_back(w);  // at the bottom until it is shown and activated

    HWND h = w->handle;
    CREATESTRUCTW cs{
        param,      instance,  menu,   parentHandle, height, width, y, x, static_cast<LONG>(style),
        windowName, className, exStyle};
    if (!Send(w, WM_NCCREATE, 0, reinterpret_cast<LPARAM>(&cs))) {
        if (FindQuiet(h)) DestroyWindow(h);
        SetLastError(kErrorInvalidParameter);
        return nullptr;
    }
    if (!FindQuiet(h)) return nullptr;
    if (Send(w, WM_CREATE, 0, reinterpret_cast<LPARAM>(&cs)) == -1) {
        if (FindQuiet(h)) DestroyWindow(h);
        return nullptr;
    }
    if (!FindQuiet(h)) return nullptr;
    SendSizeAndMove(w);
    if (!FindQuiet(h)) return nullptr;
    if (style & WS_VISIBLE) ShowInternal(w, true, true);
    if (!FindQuiet(h)) return nullptr;
    return h;
}

BOOL DestroyWindow(HWND hwnd) {
    Window* w = Find(hwnd);
    if (!w) return FALSE;
    if (w->destroying) return TRUE;
    // Owned pop-ups go first, before their owner hears WM_DESTROY.
    std::vector<HWND> ownedTops;
    for (Window* t : TopLevels())
        if (t->owner == hwnd) ownedTops.push_back(t->handle);
    for (HWND o : ownedTops)
        if (FindQuiet(o)) DestroyWindow(o);
    w = FindQuiet(hwnd);
    if (!w || w->destroying) return TRUE;
    std::vector<HWND> subtree;
    CollectSubtree(w, subtree);
    for (HWND h : subtree) FindQuiet(h)->destroying = true;

    if (w->style & WS_VISIBLE) InvalidateUncovered(w);
    w->style &= ~WS_VISIBLE;
    if (focusWindow && InSubtree(w, focusWindow)) SetFocus(w->parent ? w->parent->handle : nullptr);
    if (HWND cap = GetCapture(); cap && InSubtree(w, cap)) SetCaptureInternal(nullptr);
    if (!w->parent) ActivateNextAfter(w);

    // WM_DESTROY goes to the window first, then to each child, while every one
    // of them still exists; WM_NCDESTROY goes last, children before parents.
    for (HWND h : subtree)
        if (Window* x = FindQuiet(h)) Send(x, WM_DESTROY, 0, 0);
    for (auto it = subtree.rbegin(); it != subtree.rend(); ++it)
        if (Window* x = FindQuiet(*it)) Send(x, WM_NCDESTROY, 0, 0);

    for (auto it = subtree.rbegin(); it != subtree.rend(); ++it) {
        Window* x = FindQuiet(*it);
        if (!x) continue;
        CaretForget(x);
        RemoveWindowFromQueue(*it);
        if (focusWindow == *it) focusWindow = nullptr;
        if (activeWindow == *it) activeWindow = nullptr;
        Unlink(x);
        if (lastHandle == reinterpret_cast<uintptr_t>(*it)) {
            lastHandle = 0;
            lastWindow = nullptr;
        }
        Handles().erase(reinterpret_cast<uintptr_t>(*it));
    }
    return TRUE;
}

BOOL IsWindow(HWND hwnd) {
    return FindQuiet(hwnd) != nullptr;
}

BOOL IsWindowVisible(HWND hwnd) {
    Window* w = FindQuiet(hwnd);
    return w && Visible(w);
}

BOOL IsWindowEnabled(HWND hwnd) {
    Window* w = FindQuiet(hwnd);
    return w && !(w->style & WS_DISABLED);
}

BOOL EnableWindow(HWND hwnd, BOOL enable) {
    Window* w = Find(hwnd);
    if (!w) return FALSE;
    const BOOL wasDisabled = (w->style & WS_DISABLED) ? TRUE : FALSE;
    if (wasDisabled == !enable) return wasDisabled;
    if (enable) {
        w->style &= ~WS_DISABLED;
    } else {
        w->style |= WS_DISABLED;
        if (focusWindow && InSubtree(w, focusWindow)) SetFocus(nullptr);
        if (HWND cap = GetCapture(); cap && InSubtree(w, cap)) SetCaptureInternal(nullptr);
    }
    Send(w, WM_ENABLE, enable ? TRUE : FALSE, 0);
    return wasDisabled;
}

HWND GetParent(HWND hwnd) {
    Window* w = Find(hwnd);
    if (!w) return nullptr;
    return w->parent ? w->parent->handle : w->owner;
}

int GetDlgCtrlID(HWND hwnd) {
    Window* w = Find(hwnd);
    return w && w->parent ? static_cast<int>(w->id) : 0;
}

HWND FindWindowW(LPCWSTR className, LPCWSTR windowName) {
    std::u16string key;
    if (className) {
        auto c = FindClass(className);
        if (!c) return FindForeignWindow(className, windowName);
        key = c->key;
    }
    for (Window* t : TopLevels()) {
        if (t->destroying) continue;
        if (className && t->cls->key != key) continue;
        if (windowName && t->text != windowName) continue;
        return t->handle;
    }
    return FindForeignWindow(className, windowName);
}

BOOL SetForegroundWindow(HWND hwnd) {
    Window* w = FindQuiet(hwnd);
    if (!w) return RaiseForeignWindow(hwnd) ? TRUE : FALSE;
    Activate(TopLevelOf(w));
    return TRUE;
}

HWND GetForegroundWindow() {
    return activeWindow;
}
HWND SetFocus(HWND hwnd) {
    HWND old = focusWindow;
    if (hwnd) {
        Window* w = Find(hwnd);
        if (!w) return nullptr;
        if (hwnd == focusWindow) return old;
        Window* top = TopLevelOf(w);
        if (top->handle != activeWindow) {
            Activate(top);
            if (!FindQuiet(hwnd)) return nullptr;
            if (focusWindow == hwnd) return old;
            old = focusWindow;
        }
    } else if (!old) {
        return nullptr;
    }
    focusWindow = hwnd;
    if (Window* o = FindQuiet(old)) Send(o, WM_KILLFOCUS, reinterpret_cast<WPARAM>(hwnd), 0);
    if (Window* n = FindQuiet(hwnd); n && focusWindow == hwnd)
        Send(n, WM_SETFOCUS, reinterpret_cast<WPARAM>(old), 0);
    return old;
}

HWND GetFocus() {
    return focusWindow;
}

BOOL ShowWindow(HWND hwnd, int cmd) {
    Window* w = Find(hwnd);
    if (!w) return FALSE;
    const bool show = cmd != SW_HIDE && cmd != SW_MINIMIZE;
    return ShowInternal(w, show, cmd != SW_SHOWNA) ? TRUE : FALSE;
}

BOOL SetWindowPos(HWND hwnd, HWND after, int x, int y, int cx, int cy, UINT flags) {
    if (IsForeignWindow(hwnd)) {
        ForeignCall call;
        call.kind = ForeignCall::SetPos;
        call.after = after;
        call.x = x, call.y = y, call.cx = cx, call.cy = cy, call.flags = flags;
        return ForwardToForeignWindow(hwnd, call) ? TRUE : FALSE;
    }
    Window* w = Find(hwnd);
    if (!w) return FALSE;
    HWND h = w->handle;
    if (!(flags & SWP_NOZORDER) && !w->parent) {
        if (after == HWND_TOPMOST) w->exStyle |= WS_EX_TOPMOST;
        if (after == HWND_NOTOPMOST) w->exStyle &= ~WS_EX_TOPMOST;
        if (!(flags & SWP_NOACTIVATE)) Activate(w);
        if (!FindQuiet(h)) return FALSE;
    }
    RECT next = w->rect;
    if (!(flags & SWP_NOMOVE)) OffsetRect(&next, x - next.left, y - next.top);
    if (!(flags & SWP_NOSIZE)) {
        next.right = next.left + std::max(cx, 0);
        next.bottom = next.top + std::max(cy, 0);
    }
    const int oldW = ClientWidth(w), oldH = ClientHeight(w);
    const RECT oldClient = ClientInWindow(w);
    const bool moved = next.left != w->rect.left || next.top != w->rect.top;
    const bool sized = next.right - next.left != w->rect.right - w->rect.left ||
                       next.bottom - next.top != w->rect.bottom - w->rect.top;
    const bool redraw = !(flags & SWP_NOREDRAW);
    if (moved || sized) {
        if (redraw && Visible(w)) InvalidateUncovered(w);
        w->rect = next;
        if (!w->parent) EnsureSurface(w);
        w->frameDirty = true;
        // SWP_NOREDRAW spares the parent, not the window itself: the handheld
        // keeps a moved window's picture by copying its bits, and has it paint
        // what no bits can be copied from (a control moved back into view from
        // outside its parent's client area). A child shares its top-level
        // window's surface, and a resized surface starts blank, so here the
        // window paints itself anew instead.
        if (redraw || w->parent || sized) InvalidateClient(w, nullptr, true);
    }
    if (flags & SWP_SHOWWINDOW) ShowInternal(w, true, !(flags & SWP_NOACTIVATE));
    if (flags & SWP_HIDEWINDOW) ShowInternal(w, false, false);
    if (!FindQuiet(h)) return TRUE;
    SendPosChanged(w, flags);
    if (!FindQuiet(h)) return TRUE;
    if (sized && (ClientWidth(w) != oldW || ClientHeight(w) != oldH))
        Send(w, WM_SIZE, SIZE_RESTORED, MAKELPARAM(ClientWidth(w), ClientHeight(w)));
    if (!FindQuiet(h)) return TRUE;
    if (moved)
        Send(w, WM_MOVE, 0, MAKELPARAM(w->rect.left + oldClient.left, w->rect.top + oldClient.top));
    return TRUE;
}

BOOL MoveWindow(HWND hwnd, int x, int y, int width, int height, BOOL repaint) {
    return SetWindowPos(hwnd, nullptr, x, y, width, height,
                        SWP_NOZORDER | SWP_NOACTIVATE | (repaint ? 0 : SWP_NOREDRAW));
}

BOOL GetClientRect(HWND hwnd, LPRECT rect) {
    Window* w = Find(hwnd);
    if (!w || !rect) return FALSE;
    *rect = RECT{0, 0, ClientWidth(w), ClientHeight(w)};
    return TRUE;
}

BOOL GetWindowRect(HWND hwnd, LPRECT rect) {
    Window* w = Find(hwnd);
    if (!w || !rect) return FALSE;
    *rect = WindowOnScreen(w);
    return TRUE;
}

BOOL ClientToScreen(HWND hwnd, POINT* point) {
    Window* w = Find(hwnd);
    if (!w || !point) return FALSE;
    RECT c = ClientOnScreen(w);
    point->x += c.left;
    point->y += c.top;
    return TRUE;
}

BOOL ScreenToClient(HWND hwnd, POINT* point) {
    Window* w = Find(hwnd);
    if (!w || !point) return FALSE;
    RECT c = ClientOnScreen(w);
    point->x -= c.left;
    point->y -= c.top;
    return TRUE;
}

LONG_PTR GetWindowLongW(HWND hwnd, int index) {
    Window* w = Find(hwnd);
    if (!w) return 0;
    switch (index) {
        case GWL_WNDPROC:
            return reinterpret_cast<LONG_PTR>(w->proc);
        case GWL_HINSTANCE:
            return reinterpret_cast<LONG_PTR>(w->instance);
        case GWL_HWNDPARENT:
            return reinterpret_cast<LONG_PTR>(w->parent ? w->parent->handle : w->owner);
        case GWL_ID:
            return w->id;
        case GWL_STYLE:
            return static_cast<LONG>(w->style);
        case GWL_EXSTYLE:
            return static_cast<LONG>(w->exStyle);
        case GWL_USERDATA:
            return w->userData;
        default:
            break;
    }
    // Window extra bytes hold 32-bit values at offsets that are multiples of 4.
    if (index < 0 || static_cast<size_t>(index) + sizeof(LONG) > w->extra.size()) {
        SetLastError(kErrorInvalidIndex);
        return 0;
    }
    LONG v;
    std::memcpy(&v, w->extra.data() + index, sizeof v);
    return v;
}

LONG_PTR SetWindowLongW(HWND hwnd, int index, LONG_PTR value) {
    Window* w = Find(hwnd);
    if (!w) return 0;
    SetLastError(0);
    LONG_PTR old = 0;
    switch (index) {
        case GWL_WNDPROC:
            if (!value) {
                SetLastError(kErrorInvalidParameter);
                return 0;
            }
            old = reinterpret_cast<LONG_PTR>(w->proc);
            w->proc = reinterpret_cast<WNDPROC>(value);
            return old;
        case GWL_ID:
            old = w->id;
            w->id = value;
            return old;
        case GWL_STYLE: {
            old = static_cast<LONG>(w->style);
            const DWORD changed = w->style ^ static_cast<DWORD>(value);
            w->style = static_cast<DWORD>(value);
            if (changed & (WS_VSCROLL | WS_HSCROLL | WS_BORDER)) {
                w->frameDirty = true;
                w->vbarDrawn.clear();
            }
            return old;
        }
        case GWL_EXSTYLE:
            old = static_cast<LONG>(w->exStyle);
            w->exStyle = static_cast<DWORD>(value);
            return old;
        case GWL_USERDATA:
            old = w->userData;
            w->userData = value;
            return old;
        case GWL_HINSTANCE:
            old = reinterpret_cast<LONG_PTR>(w->instance);
            w->instance = reinterpret_cast<HINSTANCE>(value);
            return old;
        default:
            break;
    }
    if (index < 0 || static_cast<size_t>(index) + sizeof(LONG) > w->extra.size()) {
        SetLastError(kErrorInvalidIndex);
        return 0;
    }
    LONG prev;
    std::memcpy(&prev, w->extra.data() + index, sizeof prev);
    const LONG v = static_cast<LONG>(value);
    std::memcpy(w->extra.data() + index, &v, sizeof v);
    return prev;
}

LRESULT CallWindowProcW(WNDPROC proc, HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (!proc) {
        SetLastError(kErrorInvalidParameter);
        return 0;
    }
    return proc(hwnd, msg, wParam, lParam);
}

int GetWindowTextW(HWND hwnd, LPWSTR buffer, int maxCount) {
    Window* w = Find(hwnd);
    if (!w || !buffer || maxCount <= 0) return 0;
    buffer[0] = 0;
    return static_cast<int>(
        Send(w, WM_GETTEXT, static_cast<WPARAM>(maxCount), reinterpret_cast<LPARAM>(buffer)));
}

BOOL SetWindowTextW(HWND hwnd, LPCWSTR text) {
    Window* w = Find(hwnd);
    if (!w) return FALSE;
    return Send(w, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text)) ? TRUE : FALSE;
}

int GetWindowTextLengthW(HWND hwnd) {
    Window* w = Find(hwnd);
    if (!w) return 0;
    return static_cast<int>(Send(w, WM_GETTEXTLENGTH, 0, 0));
}

LRESULT DefWindowProcW(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    Window* w = FindQuiet(hwnd);
    if (!w) return 0;
    switch (msg) {
        case WM_NCCREATE: {
            auto* cs = reinterpret_cast<const CREATESTRUCTW*>(lParam);
            if (cs && cs->lpszName) w->text = cs->lpszName;
            return TRUE;
        }
        case WM_CLOSE:
            DestroyWindow(hwnd);
            return 0;
        case WM_ERASEBKGND: {
            HBRUSH brush = w->cls->background;
            const uintptr_t v = reinterpret_cast<uintptr_t>(brush);
            if (v && v <= 32) brush = GetSysColorBrush(static_cast<int>(v - 1));
            if (!brush) return 0;
            RECT r{0, 0, ClientWidth(w), ClientHeight(w)};
            FillRect(reinterpret_cast<HDC>(wParam), &r, brush);
            return 1;
        }
        case WM_PAINT: {
            PAINTSTRUCT ps;
            BeginPaint(hwnd, &ps);
            EndPaint(hwnd, &ps);
            return 0;
        }
        case WM_SETTEXT:
            w->text = Text(reinterpret_cast<LPCWSTR>(lParam));
            return TRUE;
        case WM_GETTEXT: {
            auto* buf = reinterpret_cast<LPWSTR>(lParam);
            const size_t room = static_cast<size_t>(wParam);
            if (!buf || room == 0) return 0;
            const size_t n = std::min(room - 1, w->text.size());
            std::copy_n(w->text.data(), n, buf);
            buf[n] = 0;
            return static_cast<LRESULT>(n);
        }
        case WM_GETTEXTLENGTH:
            return static_cast<LRESULT>(w->text.size());
        case WM_ACTIVATE:
            if (LOWORD(wParam) != WA_INACTIVE) SetFocus(hwnd);
            return 0;
        default:
            return 0;
    }
}
