// The menu bar: a pop-up window along the bottom of the screen, owned by the
// program's window, built from a menu bar definition (image and text buttons)
// and an image strip; the pop-up menus its drop-down buttons open; the input
// panel's toggle at its right end.
//
// Implements: SHCreateMenuBar (without SHCMBF_ flags), SHFindMenuBar,
// TB_SETSTATE (enabled and hidden; a hidden button keeps its
// place), WM_COMMAND to the owner for a tapped button (sent) and a chosen item
// (posted once the menu has closed), a menu that opens above the bar when a
// drop-down button is touched and follows the stylus, closed by a tap outside.
//
// Leaves out: HMENU handles (SHCMBM_* answer 0, no WM_INITMENUPOPUP), keyboard
// navigation in menus, cascading sub-menus, check-style buttons.
#include <algorithm>
#include <map>
#include <memory>

#include "chrome/chrome.h"
#include "chrome/parts.h"
#include "device/input.h"
#include "resources/resources.h"
#include "wm/wm.h"

namespace chrome {
namespace {

constexpr int kImageSize = 16;
constexpr int kImageButtonWidth = 18;
constexpr int kTextPadding = 6;
constexpr int kSeparatorWidth = 6;
constexpr int kItemHeight = 18;
constexpr int kSeparatorHeight = 7;
constexpr int kMenuTextLeft = 16;
constexpr int kMenuTextRight = 12;

constexpr COLORREF kBarFace = RGB(0xE8, 0xE8, 0xE8);
constexpr COLORREF kBarEdge = RGB(0x80, 0x80, 0x80);
constexpr COLORREF kPressedFace = RGB(0x10, 0x2C, 0x72);
constexpr COLORREF kGrayed = RGB(0x9C, 0x9C, 0x9C);
constexpr COLORREF kWhite = RGB(0xFF, 0xFF, 0xFF);
constexpr COLORREF kBlack = RGB(0, 0, 0);

struct Button {
    uint16_t command = 0;
    bool text = false;  // a text button (I_IMAGENONE)
    int image = -1;     // index into the strip; one past the usable images shows nothing
    uint8_t state = TBSTATE_ENABLED;
    uint8_t style = 0;
    std::u16string caption;
    uint16_t subMenu = resources::kNoMenu;
    RECT rect{};  // bar client coordinates, before clipping to the toggle
};

struct Bar {
    HWND hwnd = nullptr;
    HWND owner = nullptr;
    std::vector<Button> buttons;
    std::shared_ptr<gdi::Surface> strip;
    int images = 0;  // usable images of the strip
    const resources::Menu* menu = nullptr;
    int pressed = -1;   // button under the stylus, drawn pushed
    int tracking = -1;  // button the stylus went down on
    bool sipTracking = false;
    bool sipPressed = false;
    int menuButton = -1;  // button whose menu is open
};

struct Item {
    uint16_t command = 0;
    std::u16string text;
    uint16_t flags = 0;
    RECT rect{};
};

struct Popup {
    HWND hwnd = nullptr;
    HWND bar = nullptr;
    HWND owner = nullptr;
    std::vector<Item> items;
    int hot = -1;
    bool tracking = false;
    bool closing = false;  // closed by a tap elsewhere; waits for the stylus to lift
};

std::map<HWND, std::unique_ptr<Bar>>& Bars() {
    static std::map<HWND, std::unique_ptr<Bar>> bars;
    return bars;
}

std::unique_ptr<Popup>& OpenPopup() {
    static std::unique_ptr<Popup> popup;
    return popup;
}

Bar* BarOf(HWND hwnd) {
    auto it = Bars().find(hwnd);
    return it == Bars().end() ? nullptr : it->second.get();
}

int ButtonsRight(const Bar&) {
    return kScreenWidth - kSipButtonWidth;
}

RECT SipRect(const Bar&) {
    return RECT{kScreenWidth - kSipButtonWidth, 0, kScreenWidth, kBarHeight};
}

// The part of a button that shows: buttons do not reach under the toggle.
RECT ShownRect(const Bar& bar, const Button& b) {
    RECT r = b.rect;
    r.right = std::min<LONG>(r.right, ButtonsRight(bar));
    if (r.right < r.left) r.right = r.left;
    return r;
}

bool Usable(const Bar& bar, const Button& b) {
    if (b.state & TBSTATE_HIDDEN) return false;
    if (!(b.state & TBSTATE_ENABLED)) return false;
    if (b.style & TBSTYLE_SEP) return false;
    RECT r = ShownRect(bar, b);
    return !IsRectEmpty(&r);
}

bool OwnerAcceptsInput(const Bar& bar) {
    wm::Window* o = wm::FindQuiet(bar.owner);
    return o && wm::Enabled(o);
}

int TextWidth(HFONT font, const std::u16string& text) {
    HDC dc = GetDC(nullptr);
    SelectObject(dc, font);
    RECT r{0, 0, 0, 0};
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r,
              DT_LEFT | DT_SINGLELINE | DT_CALCRECT);
    ReleaseDC(nullptr, dc);
    return static_cast<int>(r.right - r.left);
}

void Layout(Bar& bar) {
    int x = 0;
    for (Button& b : bar.buttons) {
        int width = kImageButtonWidth;
        if (b.style & TBSTYLE_SEP)
            width = kSeparatorWidth;
        else if (b.text)
            width = TextWidth(BarFont(), b.caption) + kTextPadding;
        b.rect = RECT{x, 1, x + width, kBarHeight};
        x += width;
    }
}

int ButtonAt(const Bar& bar, POINT p) {
    for (int i = 0; i < static_cast<int>(bar.buttons.size()); ++i) {
        RECT r = ShownRect(bar, bar.buttons[static_cast<size_t>(i)]);
        if (PtInRect(&r, p)) return i;
    }
    return -1;
}

bool OnSip(const Bar& bar, POINT p) {
    RECT r = SipRect(bar);
    return PtInRect(&r, p) != FALSE;
}

// --- Drawing -------------------------------------------------------------------

void Fill(HDC dc, RECT r, COLORREF color) {
    HBRUSH b = CreateSolidBrush(color);
    FillRect(dc, &r, b);
    DeleteObject(b);
}

// A 16x16 image of the strip: white is the background, every other pixel is
// drawn in its colour, or in `ink` for a pressed (white) or disabled (gray)
// button.
void DrawImage(HDC dc, const Bar& bar, int image, int x, int y, bool useInk, COLORREF ink) {
    if (!bar.strip || image < 0 || image >= bar.images) return;
    const gdi::Surface& s = *bar.strip;
    for (int dy = 0; dy < kImageSize && dy < s.height; ++dy)
        for (int dx = 0; dx < kImageSize; ++dx) {
            const int sx = image * kImageSize + dx;
            if (sx >= s.width) break;
            const uint32_t p = s.pixels[static_cast<size_t>(dy) * static_cast<size_t>(s.width) +
                                        static_cast<size_t>(sx)];
            if ((p & 0xFFFFFF) == 0xFFFFFF) continue;
            const COLORREF c = useInk ? ink : RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
            SetPixel(dc, x + dx, y + dy, c);
        }
}

// The toggle: a small keyboard with an arrow beside it.
void DrawSipButton(HDC dc, const Bar& bar) {
    const RECT r = SipRect(bar);
    const bool down = bar.sipPressed;
    if (down) Fill(dc, RECT{r.left, 1, r.right, r.bottom}, kPressedFace);
    const COLORREF ink = down ? kWhite : kBlack;
    const int x = static_cast<int>(r.left) + 3, y = 8;
    Fill(dc, RECT{x, y, x + 15, y + 1}, ink);
    Fill(dc, RECT{x, y + 10, x + 15, y + 11}, ink);
    Fill(dc, RECT{x, y, x + 1, y + 11}, ink);
    Fill(dc, RECT{x + 14, y, x + 15, y + 11}, ink);
    for (int row = 0; row < 3; ++row)
        for (int k = 0; k < 6; ++k) SetPixel(dc, x + 2 + 2 * k + (row & 1), y + 2 + 2 * row, ink);
    Fill(dc, RECT{x + 4, y + 8, x + 11, y + 9}, ink);
    // The arrow that would pick another input method.
    const int ax = static_cast<int>(r.right) - 5, ay = 12;
    for (int k = 0; k < 3; ++k) Fill(dc, RECT{ax - k, ay + k, ax + k + 1, ay + k + 1}, ink);
}

void PaintBar(Bar& bar, HDC dc) {
    Fill(dc, RECT{0, 0, kScreenWidth, kBarHeight}, kBarFace);
    Fill(dc, RECT{0, 0, kScreenWidth, 1}, kBarEdge);
    SelectObject(dc, BarFont());
    SetBkMode(dc, TRANSPARENT);
    const int right = ButtonsRight(bar);
    for (int i = 0; i < static_cast<int>(bar.buttons.size()); ++i) {
        const Button& b = bar.buttons[static_cast<size_t>(i)];
        if ((b.state & TBSTATE_HIDDEN) || (b.style & TBSTYLE_SEP)) continue;
        RECT r = ShownRect(bar, b);
        if (IsRectEmpty(&r)) continue;
        const bool enabled = (b.state & TBSTATE_ENABLED) != 0;
        const bool down = i == bar.pressed || i == bar.menuButton;
        if (down) Fill(dc, r, kPressedFace);
        if (!b.text) {
            const int x = static_cast<int>(b.rect.left) + (kImageButtonWidth - kImageSize) / 2;
            const int y = 1 + (kBarHeight - 1 - kImageSize) / 2;
            if (x + kImageSize <= right)
                DrawImage(dc, bar, b.image, x, y, down || !enabled, down ? kWhite : kGrayed);
        } else {
            SetTextColor(dc, down ? kWhite : enabled ? kBlack : kGrayed);
            RECT t = r;
            DrawTextW(dc, b.caption.c_str(), static_cast<int>(b.caption.size()), &t,
                      DT_CENTER | DT_VCENTER | DT_SINGLELINE);
        }
    }
    DrawSipButton(dc, bar);
}

// --- Pop-up menus -----------------------------------------------------------------

std::u16string WithoutPrefixes(const std::u16string& s) {
    std::u16string out;
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] == u'&' && i + 1 < s.size())
            ++i;
        else if (s[i] == u'&')
            continue;
        out.push_back(s[i]);
    }
    return out;
}

bool Choosable(const Item& it) {
    return !(it.flags & resources::kItemSeparator) && !(it.flags & resources::kItemGrayed) &&
           it.command != 0;
}

int ItemAt(const Popup& p, POINT pt) {
    // Only what shows counts: items of a menu taller than the screen reach
    // past its window.
    RECT client{};
    GetClientRect(p.hwnd, &client);
    InflateRect(&client, -1, -1);
    if (!PtInRect(&client, pt)) return -1;
    for (int i = 0; i < static_cast<int>(p.items.size()); ++i) {
        const Item& it = p.items[static_cast<size_t>(i)];
        if (PtInRect(&it.rect, pt)) return Choosable(it) ? i : -1;
    }
    return -1;
}

void InvalidateBar(HWND hwnd) {
    if (IsWindow(hwnd)) InvalidateRect(hwnd, nullptr, FALSE);
}

void ClosePopup() {
    std::unique_ptr<Popup> p = std::move(OpenPopup());
    if (!p) return;
    if (Bar* bar = BarOf(p->bar)) {
        bar->menuButton = -1;
        InvalidateBar(bar->hwnd);
    }
    if (GetCapture() == p->hwnd) ReleaseCapture();
    if (IsWindow(p->hwnd)) DestroyWindow(p->hwnd);
}

void PaintPopup(const Popup& p, HDC dc, HWND hwnd) {
    RECT client;
    GetClientRect(hwnd, &client);
    Fill(dc, client, kWhite);
    Fill(dc, RECT{0, 0, client.right, 1}, kBlack);
    Fill(dc, RECT{0, client.bottom - 1, client.right, client.bottom}, kBlack);
    Fill(dc, RECT{0, 0, 1, client.bottom}, kBlack);
    Fill(dc, RECT{client.right - 1, 0, client.right, client.bottom}, kBlack);
    SelectObject(dc, MenuFont());
    SetBkMode(dc, TRANSPARENT);
    for (int i = 0; i < static_cast<int>(p.items.size()); ++i) {
        const Item& it = p.items[static_cast<size_t>(i)];
        if (it.flags & resources::kItemSeparator) {
            const int y = (it.rect.top + it.rect.bottom) / 2;
            Fill(dc, RECT{it.rect.left + 2, y, it.rect.right - 2, y + 1}, kGrayed);
            continue;
        }
        const bool hot = i == p.hot;
        if (hot) Fill(dc, it.rect, kPressedFace);
        const COLORREF ink = hot ? kWhite : (it.flags & resources::kItemGrayed) ? kGrayed : kBlack;
        if (it.flags & resources::kItemChecked) {
            // A tick in the left margin.
            const int x = static_cast<int>(it.rect.left) + 4, y = static_cast<int>(it.rect.top) + 8;
            for (int k = 0; k < 3; ++k) Fill(dc, RECT{x + k, y + k, x + k + 1, y + k + 2}, ink);
            for (int k = 0; k < 5; ++k)
                Fill(dc, RECT{x + 3 + k, y + 1 - k, x + 4 + k, y + 3 - k}, ink);
        }
        SetTextColor(dc, ink);
        RECT t{it.rect.left + kMenuTextLeft, it.rect.top, it.rect.right - 4, it.rect.bottom};
        DrawTextW(dc, it.text.c_str(), static_cast<int>(it.text.size()), &t,
                  DT_LEFT | DT_VCENTER | DT_SINGLELINE);
    }
}

LRESULT CALLBACK PopupProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    Popup* p = OpenPopup() && OpenPopup()->hwnd == hwnd ? OpenPopup().get() : nullptr;
    const POINT pt{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    switch (msg) {
        case WM_ERASEBKGND:
            return 1;
        case WM_PAINT: {
            PAINTSTRUCT ps;
            HDC dc = BeginPaint(hwnd, &ps);
            if (p) PaintPopup(*p, dc, hwnd);
            EndPaint(hwnd, &ps);
            return 0;
        }
        case WM_ACTIVATE:
            if (LOWORD(wParam) != WA_INACTIVE) ReturnActivation(reinterpret_cast<HWND>(lParam));
            return 0;
        case WM_LBUTTONDOWN: {
            if (!p) return 0;
            RECT client;
            GetClientRect(hwnd, &client);
            if (p->closing) {
                ClosePopup();
                return 0;
            }
            if (!PtInRect(&client, pt)) {
                // A tap elsewhere closes the menu and goes no further: the
                // menu keeps the stylus, out of sight, until it is lifted.
                p->closing = true;
                p->tracking = false;
                if (Bar* bar = BarOf(p->bar)) {
                    bar->menuButton = -1;
                    InvalidateBar(bar->hwnd);
                }
                ShowWindow(hwnd, SW_HIDE);
                return 0;
            }
            p->tracking = true;
            p->hot = ItemAt(*p, pt);
            InvalidateRect(hwnd, nullptr, FALSE);
            return 0;
        }
        case WM_MOUSEMOVE:
            if (p && p->tracking) {
                const int hot = ItemAt(*p, pt);
                if (hot != p->hot) {
                    p->hot = hot;
                    InvalidateRect(hwnd, nullptr, FALSE);
                }
            }
            return 0;
        case WM_LBUTTONUP: {
            if (p && p->closing) {
                ClosePopup();
                return 0;
            }
            if (!p || !p->tracking) return 0;
            p->tracking = false;
            const int i = ItemAt(*p, pt);
            if (i < 0) {
                p->hot = -1;
                InvalidateRect(hwnd, nullptr, FALSE);
                return 0;
            }
            const uint16_t command = p->items[static_cast<size_t>(i)].command;
            const HWND owner = p->owner;
            ClosePopup();
            if (IsWindow(owner)) PostMessageW(owner, WM_COMMAND, MAKEWPARAM(command, 0), 0);
            return 0;
        }
        case WM_CLOSE:
            if (p) ClosePopup();
            return 0;
        default:
            return DefWindowProcW(hwnd, msg, wParam, lParam);
    }
}

void RegisterClasses();

// Opens the menu of a drop-down button above the bar. `tracking`: the stylus
// is down on the button, so lifting it on an item chooses that item.
bool OpenMenu(Bar& bar, int index, bool tracking) {
    ClosePopup();
    const Button& b = bar.buttons[static_cast<size_t>(index)];
    if (!bar.menu || b.subMenu >= bar.menu->count) return false;
    const resources::MenuPopup& source = bar.menu->popups[b.subMenu];
    if (source.count == 0) return false;
    auto p = std::make_unique<Popup>();
    p->bar = bar.hwnd;
    p->owner = bar.owner;
    p->tracking = tracking;
    int width = 0;
    for (uint16_t k = 0; k < source.count; ++k) {
        Item it;
        it.command = source.items[k].command;
        it.flags = source.items[k].flags;
        it.text = source.items[k].text ? source.items[k].text : u"";
        if (!(it.flags & resources::kItemSeparator))
            width = std::max(width, TextWidth(MenuFont(), it.text));
        p->items.push_back(std::move(it));
    }
    width += kMenuTextLeft + kMenuTextRight + 2;
    width = std::min(width, kScreenWidth);
    int y = 1;
    for (Item& it : p->items) {
        const int h = (it.flags & resources::kItemSeparator) ? kSeparatorHeight : kItemHeight;
        it.rect = RECT{1, y, width - 1, y + h};
        y += h;
    }
    const int height = std::min(y + 1, kBarTop);
    RECT barOnScreen;
    GetWindowRect(bar.hwnd, &barOnScreen);
    int left = static_cast<int>(barOnScreen.left + b.rect.left);
    left = std::max(0, std::min(left, kScreenWidth - width));
    const int top = static_cast<int>(barOnScreen.top) - height;
    RegisterClasses();
    p->hwnd = CreateWindowExW(WS_EX_TOPMOST | WS_EX_NOACTIVATE, u"#PopupMenu", u"", WS_POPUP, left,
                              std::max(top, 0), width, height, bar.hwnd, nullptr, nullptr, nullptr);
    if (!p->hwnd) return false;
    const HWND h = p->hwnd;
    OpenPopup() = std::move(p);
    bar.menuButton = index;
    InvalidateBar(bar.hwnd);
    ShowWithoutActivation(h);
    SetCapture(h);
    return true;
}

// --- The bar's window ----------------------------------------------------------------

void SetPressed(Bar& bar, int index) {
    if (bar.pressed == index) return;
    bar.pressed = index;
    InvalidateBar(bar.hwnd);
}

LRESULT CALLBACK BarProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    Bar* bar = BarOf(hwnd);
    if (!bar) return DefWindowProcW(hwnd, msg, wParam, lParam);
    const POINT pt{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    switch (msg) {
        case WM_ERASEBKGND:
            return 1;
        case WM_PAINT: {
            PAINTSTRUCT ps;
            HDC dc = BeginPaint(hwnd, &ps);
            PaintBar(*bar, dc);
            EndPaint(hwnd, &ps);
            return 0;
        }
        case WM_ACTIVATE:
            if (LOWORD(wParam) != WA_INACTIVE) ReturnActivation(reinterpret_cast<HWND>(lParam));
            return 0;
        case WM_LBUTTONDOWN: {
            if (OnSip(*bar, pt)) {
                bar->sipTracking = bar->sipPressed = true;
                SetCapture(hwnd);
                InvalidateBar(hwnd);
                return 0;
            }
            if (!OwnerAcceptsInput(*bar)) return 0;
            const int i = ButtonAt(*bar, pt);
            if (i < 0 || !Usable(*bar, bar->buttons[static_cast<size_t>(i)])) return 0;
            if (bar->buttons[static_cast<size_t>(i)].style & TBSTYLE_DROPDOWN) {
                OpenMenu(*bar, i, true);
                return 0;
            }
            bar->tracking = i;
            SetCapture(hwnd);
            SetPressed(*bar, i);
            return 0;
        }
        case WM_MOUSEMOVE:
            if (bar->sipTracking) {
                const bool on = OnSip(*bar, pt);
                if (on != bar->sipPressed) {
                    bar->sipPressed = on;
                    InvalidateBar(hwnd);
                }
            } else if (bar->tracking >= 0) {
                SetPressed(*bar, ButtonAt(*bar, pt) == bar->tracking ? bar->tracking : -1);
            }
            return 0;
        case WM_LBUTTONUP: {
            if (bar->sipTracking) {
                bar->sipTracking = bar->sipPressed = false;
                ReleaseCapture();
                InvalidateBar(hwnd);
                if (OnSip(*bar, pt)) SetPanelShown(!PanelShown());
                return 0;
            }
            if (bar->tracking < 0) return 0;
            const int was = bar->tracking;
            bar->tracking = -1;
            SetPressed(*bar, -1);
            ReleaseCapture();
            const Button& b = bar->buttons[static_cast<size_t>(was)];
            // The state may have changed while the stylus was down.
            if (ButtonAt(*bar, pt) != was || !Usable(*bar, b) || !OwnerAcceptsInput(*bar)) return 0;
            SendMessageW(bar->owner, WM_COMMAND, MAKEWPARAM(b.command, 0),
                         reinterpret_cast<LPARAM>(hwnd));
            return 0;
        }
        case TB_SETSTATE: {
            const uint16_t command = LOWORD(wParam);
            for (Button& b : bar->buttons) {
                if (b.command != command || (b.style & TBSTYLE_SEP)) continue;
                const uint8_t state = static_cast<uint8_t>(LOWORD(lParam) & 0xFF);
                if (state != b.state) {
                    b.state = state;
                    InvalidateBar(hwnd);
                    if (OpenPopup() && OpenPopup()->bar == hwnd && bar->menuButton >= 0 &&
                        &bar->buttons[static_cast<size_t>(bar->menuButton)] == &b &&
                        !Usable(*bar, b))
                        ClosePopup();
                }
                return TRUE;
            }
            return FALSE;
        }
        case SHCMBM_GETSUBMENU:
        case SHCMBM_SETSUBMENU:
        case SHCMBM_GETMENU:
        case SHCMBM_OVERRIDEKEY:
            return 0;
        case WM_CLOSE:
            return 0;  // the bar goes with its owner
        case WM_DESTROY:
            if (OpenPopup() && OpenPopup()->bar == hwnd) ClosePopup();
            return 0;
        case WM_NCDESTROY:
            Bars().erase(hwnd);
            return 0;
        default:
            return DefWindowProcW(hwnd, msg, wParam, lParam);
    }
}

void RegisterClasses() {
    static bool done = false;
    if (done) return;
    done = true;
    WNDCLASSW wc{};
    wc.lpfnWndProc = BarProc;
    wc.lpszClassName = u"#MenuBar";
    RegisterClassW(&wc);
    wc.lpfnWndProc = PopupProc;
    wc.lpszClassName = u"#PopupMenu";
    RegisterClassW(&wc);
}

std::u16string Caption(uint16_t id) {
    if (id == 0) return std::u16string();
    if (const char16_t* s = resources::FindString(id)) return s;
    if (id == 1) return u"New";  // the shell's own "New" (IDS_SHNEW)
    return std::u16string();
}

void ScreenRectOf(const Bar& bar, RECT* r) {
    RECT w;
    GetWindowRect(bar.hwnd, &w);
    OffsetRect(r, w.left, w.top);
}

}  // namespace

HWND VisibleMenuBar() {
    for (wm::Window* t : wm::TopLevels())
        if ((t->style & WS_VISIBLE) && !t->destroying && BarOf(t->handle)) return t->handle;
    return nullptr;
}

void InvalidateSipButtons() {
    for (auto& entry : Bars()) InvalidateBar(entry.first);
}

bool IsMenuBar(HWND hwnd) {
    return BarOf(hwnd) != nullptr;
}
bool IsPopupMenu(HWND hwnd) {
    return OpenPopup() && OpenPopup()->hwnd == hwnd;
}

void ResetMenusForTests() {
    ClosePopup();
}

}  // namespace chrome

using namespace chrome;

BOOL SHCreateMenuBar(SHMENUBARINFO* info) {
    if (!info || (info->cbSize != 36 && info->cbSize != sizeof(SHMENUBARINFO))) {
        SetLastError(wm::kErrorInvalidParameter);
        return FALSE;
    }
    info->hwndMB = nullptr;
    wm::Window* ownerWindow = wm::Find(info->hwndParent);
    if (!ownerWindow) return FALSE;

    auto bar = std::make_unique<Bar>();
    bar->owner = info->hwndParent;
    const resources::MenuBar* def =
        info->nToolBarId > 0xFFFF ? nullptr
                                  : resources::FindMenuBar(static_cast<uint16_t>(info->nToolBarId));
    if (!def) {
        SetLastError(1814);  // ERROR_RESOURCE_NAME_NOT_FOUND
        return FALSE;
    }
    bar->menu = resources::FindMenu(def->menu);
    for (uint16_t k = 0; k < def->count; ++k) {
        const resources::MenuBarButton& d = def->buttons[k];
        Button b;
        b.command = d.command;
        b.text = d.image == resources::kImageNone;
        b.image = d.image;
        b.state = d.state;
        b.style = d.style;
        b.caption = Caption(d.caption);
        b.subMenu = d.subMenu;
        bar->buttons.push_back(std::move(b));
    }
    if (info->nBmpId > 0 && info->nBmpId <= 0xFFFF && info->cBmpImages > 0) {
        resources::Data data;
        if (resources::FindBitmapData(static_cast<uint16_t>(info->nBmpId), &data))
            bar->strip = resources::DecodeBmp(data.bytes, data.size);
        if (bar->strip) bar->images = std::min(info->cBmpImages, bar->strip->width / 16);
    }

    // One bar per owner: a new one replaces the old.
    if (HWND old = SHFindMenuBar(info->hwndParent)) DestroyWindow(old);

    RegisterClasses();
    HWND hwnd = CreateWindowExW(WS_EX_TOPMOST | WS_EX_NOACTIVATE, u"#MenuBar", u"", WS_POPUP, 0,
                                kBarTop, kScreenWidth, kBarHeight, info->hwndParent, nullptr,
                                info->hInstRes, nullptr);
    if (!hwnd) return FALSE;
    bar->hwnd = hwnd;
    Layout(*bar);
    Bar* raw = bar.get();
    Bars()[hwnd] = std::move(bar);
    ShowWithoutActivation(hwnd);
    info->hwndMB = raw->hwnd;
    return TRUE;
}

HWND SHFindMenuBar(HWND hwnd) {
    if (!hwnd) return nullptr;
    for (auto& [h, bar] : Bars())
        if (bar->owner == hwnd && IsWindow(h)) return h;
    return nullptr;
}

namespace device {

std::vector<MenuBarButtonInfo> MenuBarButtons() {
    std::vector<MenuBarButtonInfo> out;
    Bar* bar = BarOf(VisibleMenuBar());
    if (!bar) return out;
    for (const Button& b : bar->buttons) {
        if (b.style & TBSTYLE_SEP) continue;
        RECT r = ShownRect(*bar, b);
        ScreenRectOf(*bar, &r);
        out.push_back(MenuBarButtonInfo{
            b.command, b.caption, !b.text && b.image >= 0 && b.image < bar->images ? b.image : -1,
            (b.state & TBSTATE_ENABLED) != 0, (b.state & TBSTATE_HIDDEN) != 0,
            (b.style & TBSTYLE_DROPDOWN) != 0, r});
    }
    return out;
}

bool PressMenuBarButton(uint16_t command) {
    Bar* bar = BarOf(VisibleMenuBar());
    if (!bar || !OwnerAcceptsInput(*bar)) return false;
    for (const Button& b : bar->buttons) {
        if (b.command != command || !Usable(*bar, b)) continue;
        RECT r = ShownRect(*bar, b);
        ScreenRectOf(*bar, &r);
        Tap(static_cast<int>(r.left + r.right) / 2, static_cast<int>(r.top + r.bottom) / 2);
        return true;
    }
    return false;
}

bool ChooseMenuItem(uint16_t command) {
    Bar* bar = BarOf(VisibleMenuBar());
    if (!bar || !bar->menu || !OwnerAcceptsInput(*bar)) return false;
    for (int i = 0; i < static_cast<int>(bar->buttons.size()); ++i) {
        const Button& b = bar->buttons[static_cast<size_t>(i)];
        if (!(b.style & TBSTYLE_DROPDOWN) || !Usable(*bar, b) || b.subMenu >= bar->menu->count)
            continue;
        const resources::MenuPopup& popup = bar->menu->popups[b.subMenu];
        for (uint16_t k = 0; k < popup.count; ++k) {
            Item probe;
            probe.command = popup.items[k].command;
            probe.flags = popup.items[k].flags;
            if (probe.command != command || !Choosable(probe)) continue;
            if (!OpenMenu(*bar, i, false)) return false;
            const Popup& p = *OpenPopup();
            RECT r = p.items[k].rect;
            RECT w;
            GetWindowRect(p.hwnd, &w);
            if (r.bottom > w.bottom - w.top - 1) {
                // A menu taller than the screen shows only its first items.
                ClosePopup();
                return false;
            }
            OffsetRect(&r, w.left, w.top);
            Tap(static_cast<int>(r.left + r.right) / 2, static_cast<int>(r.top + r.bottom) / 2);
            return true;
        }
    }
    return false;
}

std::vector<MenuItemInfo> OpenMenuEntries() {
    std::vector<MenuItemInfo> out;
    const auto& p = OpenPopup();
    if (!p || p->closing || !IsWindowVisible(p->hwnd)) return out;
    RECT w;
    GetWindowRect(p->hwnd, &w);
    for (const Item& it : p->items) {
        RECT r = it.rect;
        OffsetRect(&r, w.left, w.top);
        const bool separator = (it.flags & resources::kItemSeparator) != 0;
        out.push_back(MenuItemInfo{
            it.command, separator ? std::u16string() : WithoutPrefixes(it.text), Choosable(it), r});
    }
    return out;
}

std::vector<std::u16string> OpenMenuItems() {
    std::vector<std::u16string> out;
    for (const MenuItemInfo& it : OpenMenuEntries()) out.push_back(it.text);
    return out;
}

bool CloseOpenMenu() {
    if (!OpenPopup()) return false;
    ClosePopup();
    return true;
}

}  // namespace device
