// The chrome around the program: the navigation bar drawn by the device, the
// rules that keep the bars and the panel from taking the activation, the
// chrome's fonts, and the frame hook that draws it all.
//
// Implements: the navigation bar along the top of the screen showing the
// title of the program's window in front (for a message box or a menu, of the
// window that owns it); the stacking of top-level windows: message boxes in
// front, then an open menu, the input panel, the menu bars, and the program's
// windows behind them, even one raised with HWND_TOPMOST; the bars and the
// panel shown without taking the activation, which returns to the program's
// window with its focus.
//
// Leaves out: the Start menu, the clock and the notification icons of the
// navigation bar, and the OK/close button at its right.
//
// Differs: nothing known.
#include "chrome/chrome.h"

#include <algorithm>

#include "chrome/parts.h"
#include "gdi/surface.h"
#include "resources/resources.h"
#include "wm/wm.h"

namespace chrome {
namespace {

HFONT MakeFont(int height, int weight) {
    LOGFONTW lf{};
    lf.lfHeight = height;
    lf.lfWeight = weight;
    const char16_t face[] = u"Tahoma";
    std::copy(std::begin(face), std::end(face), lf.lfFaceName);
    return CreateFontIndirectW(&lf);
}

bool IsMessageBox(const wm::Window* w) {
    return w->cls && w->cls->key == u"#messagebox";
}

// The program window whose title the navigation bar shows: the foreground
// window, or for a message box or a chrome window the window that owns it.
const wm::Window* TitleWindow() {
    const wm::Window* w = wm::FindQuiet(GetForegroundWindow());
    for (int hops = 0; w && hops < 8 && (IsChromeWindow(w->handle) || IsMessageBox(w)); ++hops)
        w = w->owner ? wm::FindQuiet(w->owner) : nullptr;
    if (w && !IsChromeWindow(w->handle) && !IsMessageBox(w)) return w;
    for (const wm::Window* t : wm::TopLevels())
        if ((t->style & WS_VISIBLE) && !t->destroying && !IsChromeWindow(t->handle) &&
            !IsMessageBox(t))
            return t;
    return nullptr;
}

constexpr COLORREF kNavColor = RGB(0x10, 0x2C, 0x72);
constexpr COLORREF kNavEdge = RGB(0x08, 0x18, 0x42);

void DrawNavigationBar() {
    gdi::Surface& screen = gdi::Screen();
    HDC dc = gdi::CreateSurfaceDC(&screen, POINT{0, 0}, RECT{0, 0, kScreenWidth, kNavHeight});
    HBRUSH fill = CreateSolidBrush(kNavColor);
    RECT strip{0, 0, kScreenWidth, kNavHeight - 1};
    FillRect(dc, &strip, fill);
    DeleteObject(fill);
    HBRUSH edge = CreateSolidBrush(kNavEdge);
    RECT line{0, kNavHeight - 1, kScreenWidth, kNavHeight};
    FillRect(dc, &line, edge);
    DeleteObject(edge);
    const std::u16string title = device::NavigationTitle();
    SelectObject(dc, BarFont());
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, RGB(0xFF, 0xFF, 0xFF));
    RECT text{6, 0, kScreenWidth - 6, kNavHeight - 1};
    DrawTextW(dc, title.c_str(), static_cast<int>(title.size()), &text,
              DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
    gdi::DeleteSurfaceDC(dc);
}

}  // namespace

bool IsChromeWindow(HWND hwnd) {
    return hwnd && (IsMenuBar(hwnd) || IsPopupMenu(hwnd) || IsPanel(hwnd));
}

// Where a top-level window belongs in the stack: message boxes in front,
// then an open menu, the input panel, the menu bars, and the program's
// windows behind them all.
int Layer(const wm::Window* w) {
    if (IsMessageBox(w)) return 0;
    if (IsPopupMenu(w->handle)) return 1;
    if (IsPanel(w->handle)) return 2;
    if (IsMenuBar(w->handle)) return 3;
    return 4;
}

bool Restack() {
    auto& tops = wm::TopLevels();
    if (std::is_sorted(tops.begin(), tops.end(), [](const wm::Window* a, const wm::Window* b) {
            return Layer(a) < Layer(b);
        }))
        return false;
    std::stable_sort(tops.begin(), tops.end(),
                     [](const wm::Window* a, const wm::Window* b) { return Layer(a) < Layer(b); });
    return true;
}

void ShowWithoutActivation(HWND hwnd) {
    wm::Window* w = wm::FindQuiet(hwnd);
    if (!w || w->parent) return;
    ShowWindow(hwnd, SW_SHOWNA);
    auto& tops = wm::TopLevels();
    tops.erase(std::remove(tops.begin(), tops.end(), w), tops.end());
    tops.insert(tops.begin(), w);
    Restack();
    wm::InvalidateClient(w, nullptr, true);
}

void ReturnActivation(HWND previous) {
    wm::Window* prev = wm::FindQuiet(previous);
    if (!prev || prev->destroying || !(prev->style & WS_VISIBLE) || IsChromeWindow(previous))
        return;
    HWND focus = GetFocus();
    wm::Window* f = wm::FindQuiet(focus);
    const bool focusInPrevious = f && wm::TopLevelOf(f) == prev;
    SetForegroundWindow(previous);
    if (focusInPrevious && IsWindow(focus) && GetFocus() != focus) SetFocus(focus);
    Restack();
}

HFONT BarFont() {
    static HFONT font = MakeFont(-11, FW_BOLD);
    return font;
}

HFONT MenuFont() {
    static HFONT font = MakeFont(-12, FW_NORMAL);
    return font;
}

HFONT KeyFont() {
    static HFONT font = MakeFont(-11, FW_NORMAL);
    return font;
}

}  // namespace chrome

namespace device {

std::u16string NavigationTitle() {
    const wm::Window* w = chrome::TitleWindow();
    return w ? w->text : std::u16string();
}

HWND ProgramWindow() {
    const wm::Window* w = chrome::TitleWindow();
    return w ? w->handle : nullptr;
}

HICON ProgramIcon() {
    const wm::Window* w = chrome::TitleWindow();
    return w ? w->cls->icon : nullptr;
}

std::shared_ptr<gdi::Surface> ProgramIconPicture() {
    const HICON icon = ProgramIcon();
    return icon ? resources::IconPicture(icon) : nullptr;
}

void DrawChrome() {
    // The bars and the panel are windows composed with the others; paint any
    // that wait for it so this frame shows them up to date.
    bool painted = false;
    std::vector<HWND> chrome;
    for (wm::Window* t : wm::TopLevels())
        if ((t->style & WS_VISIBLE) && chrome::IsChromeWindow(t->handle))
            chrome.push_back(t->handle);
    for (HWND h : chrome) {
        wm::Window* w = wm::FindQuiet(h);
        if (w && (!IsRectEmpty(&w->update) || w->frameDirty)) {
            UpdateWindow(h);
            painted = true;
        }
    }
    // A program window raised to the top (HWND_TOPMOST) stays behind the chrome.
    if (chrome::Restack()) painted = true;
    if (painted) wm::ComposeScreen();
    chrome::DrawNavigationBar();
}

}  // namespace device
