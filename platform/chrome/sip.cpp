// The input panel: an on-screen keyboard docked above the menu bar, 80 pixels
// high. Its keys type into the focused window through the device's input
// queue, as keys (letters, digits, space, backspace, Tab, Enter, Escape,
// arrows) or, for symbols that have no key of their own, as characters. Shift
// applies to the next key; CAP stays until tapped again.
//
// Implements: SHSipInfo (SPI_GETSIPINFO), SipShowIM;
// WM_SETTINGCHANGE (SPI_SETSIPINFO) posted to
// every top-level window of the program when the panel shows or hides.
//
// Leaves out: other input methods, a floating panel, SIPF_LOCKED, Ctl and the
// accented-letters page of the keyboard.
#include <cctype>
#include <memory>

#include "chrome/chrome.h"
#include "chrome/parts.h"
#include "device/input.h"
#include "wm/wm.h"

namespace chrome {
namespace {

constexpr int kKeyHeight = 16;

enum class KeyKind {
    Letter,
    Digit,
    Symbol,
    Space,
    Back,
    Tab,
    Enter,
    Shift,
    Caps,
    Escape,
    Left,
    Right,
    Up,
    Down
};

struct Key {
    KeyKind kind;
    char16_t c;        // letter (lower case), digit or symbol
    char16_t shifted;  // what Shift makes of a digit or symbol
    int width;
};

constexpr COLORREF kKeyFace = RGB(0xFF, 0xFF, 0xFF);
constexpr COLORREF kSpecialFace = RGB(0xDE, 0xDE, 0xDE);
constexpr COLORREF kGrid = RGB(0x84, 0x84, 0x84);
constexpr COLORREF kDownFace = RGB(0x10, 0x2C, 0x72);
constexpr COLORREF kLatchedFace = RGB(0x00, 0x00, 0x00);

std::vector<std::vector<Key>> MakeRows() {
    auto letters = [](const char* s, std::vector<Key>& row) {
        for (; *s; ++s) row.push_back({KeyKind::Letter, static_cast<char16_t>(*s), 0, 16});
    };
    std::vector<std::vector<Key>> rows(5);
    rows[0].push_back({KeyKind::Escape, 0, 0, 16});
    const char* digits = "1234567890";
    const char* shiftedDigits = "!@#$%^&*()";
    for (int i = 0; i < 10; ++i)
        rows[0].push_back({KeyKind::Digit, static_cast<char16_t>(digits[i]),
                           static_cast<char16_t>(shiftedDigits[i]), 16});
    rows[0].push_back({KeyKind::Symbol, u'-', u'_', 16});
    rows[0].push_back({KeyKind::Symbol, u'=', u'+', 16});
    rows[0].push_back({KeyKind::Back, 0, 0, 32});
    rows[1].push_back({KeyKind::Tab, 0, 0, 24});
    letters("qwertyuiop", rows[1]);
    rows[1].push_back({KeyKind::Symbol, u'[', u'{', 16});
    rows[1].push_back({KeyKind::Symbol, u']', u'}', 16});
    rows[1].push_back({KeyKind::Symbol, u'\\', u'|', 24});
    rows[2].push_back({KeyKind::Caps, 0, 0, 28});
    letters("asdfghjkl", rows[2]);
    rows[2].push_back({KeyKind::Symbol, u';', u':', 16});
    rows[2].push_back({KeyKind::Symbol, u'\'', u'"', 16});
    rows[2].push_back({KeyKind::Enter, 0, 0, 36});
    rows[3].push_back({KeyKind::Shift, 0, 0, 36});
    letters("zxcvbnm", rows[3]);
    rows[3].push_back({KeyKind::Symbol, u',', u'<', 16});
    rows[3].push_back({KeyKind::Symbol, u'.', u'>', 16});
    rows[3].push_back({KeyKind::Symbol, u'/', u'?', 16});
    rows[3].push_back({KeyKind::Shift, 0, 0, 44});
    rows[4].push_back({KeyKind::Symbol, u'`', u'~', 24});
    rows[4].push_back({KeyKind::Space, u' ', 0, 152});
    rows[4].push_back({KeyKind::Down, 0, 0, 16});
    rows[4].push_back({KeyKind::Up, 0, 0, 16});
    rows[4].push_back({KeyKind::Left, 0, 0, 16});
    rows[4].push_back({KeyKind::Right, 0, 0, 16});
    return rows;
}

const std::vector<std::vector<Key>>& Rows() {
    static const std::vector<std::vector<Key>> rows = MakeRows();
    return rows;
}

struct Panel {
    bool shown = false;
    bool shift = false;
    bool caps = false;
    HWND hwnd = nullptr;
    int downRow = -1, downKey = -1;
};

Panel& State() {
    static Panel panel;
    return panel;
}

RECT KeyRect(int row, int index) {
    int x = 0;
    const auto& keys = Rows()[static_cast<size_t>(row)];
    for (int i = 0; i < index; ++i) x += keys[static_cast<size_t>(i)].width;
    return RECT{x, row * kKeyHeight, x + keys[static_cast<size_t>(index)].width,
                (row + 1) * kKeyHeight};
}

bool KeyAt(POINT p, int* row, int* index) {
    if (p.y < 0 || p.y >= kPanelHeight || p.x < 0 || p.x >= kScreenWidth) return false;
    *row = p.y / kKeyHeight;
    int x = 0;
    const auto& keys = Rows()[static_cast<size_t>(*row)];
    for (int i = 0; i < static_cast<int>(keys.size()); ++i) {
        x += keys[static_cast<size_t>(i)].width;
        if (p.x < x) {
            *index = i;
            return true;
        }
    }
    return false;
}

void Stroke(uint32_t vk) {
    device::KeyDown(vk);
    device::KeyUp(vk);
}

void Emit(const Key& k) {
    Panel& s = State();
    switch (k.kind) {
        case KeyKind::Shift:
            s.shift = !s.shift;
            return;
        case KeyKind::Caps:
            s.caps = !s.caps;
            return;
        case KeyKind::Letter: {
            const uint32_t vk = static_cast<uint32_t>(std::toupper(static_cast<int>(k.c)));
            if (s.shift != s.caps) {
                device::KeyDown(VK_SHIFT);
                Stroke(vk);
                device::KeyUp(VK_SHIFT);
            } else {
                Stroke(vk);
            }
            break;
        }
        case KeyKind::Digit:
            if (s.shift)
                device::Char(k.shifted);
            else
                Stroke(k.c);
            break;
        case KeyKind::Symbol:
            device::Char(s.shift ? k.shifted : k.c);
            break;
        case KeyKind::Space:
            Stroke(VK_SPACE);
            break;
        case KeyKind::Back:
            Stroke(VK_BACK);
            break;
        case KeyKind::Tab:
            Stroke(VK_TAB);
            break;
        case KeyKind::Enter:
            Stroke(VK_RETURN);
            break;
        case KeyKind::Escape:
            Stroke(VK_ESCAPE);
            break;
        case KeyKind::Left:
            Stroke(VK_LEFT);
            break;
        case KeyKind::Right:
            Stroke(VK_RIGHT);
            break;
        case KeyKind::Up:
            Stroke(VK_UP);
            break;
        case KeyKind::Down:
            Stroke(VK_DOWN);
            break;
    }
    s.shift = false;  // Shift holds for one key
}

void Fill(HDC dc, RECT r, COLORREF color) {
    HBRUSH b = CreateSolidBrush(color);
    FillRect(dc, &r, b);
    DeleteObject(b);
}

// Small pictures for the keys without a letter.
void DrawArrow(HDC dc, RECT r, KeyKind kind, COLORREF ink) {
    const int cx = static_cast<int>(r.left + r.right) / 2,
              cy = static_cast<int>(r.top + r.bottom) / 2;
    switch (kind) {
        case KeyKind::Up:
            for (int k = 0; k < 4; ++k)
                Fill(dc, RECT{cx - k, cy - 2 + k, cx + k + 1, cy - 1 + k}, ink);
            break;
        case KeyKind::Down:
            for (int k = 0; k < 4; ++k)
                Fill(dc, RECT{cx - k, cy + 1 - k, cx + k + 1, cy + 2 - k}, ink);
            break;
        case KeyKind::Left:
            for (int k = 0; k < 4; ++k)
                Fill(dc, RECT{cx - 2 + k, cy - k, cx - 1 + k, cy + k + 1}, ink);
            break;
        case KeyKind::Right:
            for (int k = 0; k < 4; ++k)
                Fill(dc, RECT{cx + 1 - k, cy - k, cx + 2 - k, cy + k + 1}, ink);
            break;
        case KeyKind::Back:
            Fill(dc, RECT{cx - 6, cy, cx + 7, cy + 1}, ink);
            for (int k = 1; k < 4; ++k)
                Fill(dc, RECT{cx - 6 + k, cy - k, cx - 5 + k, cy + k + 1}, ink);
            break;
        case KeyKind::Enter:
            Fill(dc, RECT{cx + 5, cy - 4, cx + 6, cy + 1}, ink);
            Fill(dc, RECT{cx - 6, cy, cx + 6, cy + 1}, ink);
            for (int k = 1; k < 4; ++k)
                Fill(dc, RECT{cx - 6 + k, cy - k, cx - 5 + k, cy + k + 1}, ink);
            break;
        default:
            break;
    }
}

const char16_t* Label(KeyKind kind) {
    switch (kind) {
        case KeyKind::Escape:
            return u"Esc";
        case KeyKind::Tab:
            return u"Tab";
        case KeyKind::Caps:
            return u"CAP";
        case KeyKind::Shift:
            return u"Shift";
        default:
            return nullptr;
    }
}

void PaintPanel(HDC dc) {
    const Panel& s = State();
    Fill(dc, RECT{0, 0, kScreenWidth, kPanelHeight}, kGrid);
    SelectObject(dc, KeyFont());
    SetBkMode(dc, TRANSPARENT);
    for (int row = 0; row < static_cast<int>(Rows().size()); ++row) {
        const auto& keys = Rows()[static_cast<size_t>(row)];
        for (int i = 0; i < static_cast<int>(keys.size()); ++i) {
            const Key& k = keys[static_cast<size_t>(i)];
            RECT r = KeyRect(row, i);
            RECT face{r.left + 1, r.top + 1, r.right, r.bottom};
            if (r.left == 0) face.left = 0;
            const bool down = row == s.downRow && i == s.downKey;
            const bool latched =
                (k.kind == KeyKind::Shift && s.shift) || (k.kind == KeyKind::Caps && s.caps);
            const bool special = k.kind != KeyKind::Letter && k.kind != KeyKind::Digit &&
                                 k.kind != KeyKind::Symbol && k.kind != KeyKind::Space;
            Fill(dc, face,
                 down      ? kDownFace
                 : latched ? kLatchedFace
                 : special ? kSpecialFace
                           : kKeyFace);
            const COLORREF ink = down || latched ? RGB(0xFF, 0xFF, 0xFF) : RGB(0, 0, 0);
            SetTextColor(dc, ink);
            char16_t text[2] = {0, 0};
            const char16_t* label = Label(k.kind);
            if (k.kind == KeyKind::Letter)
                text[0] = s.shift != s.caps
                              ? static_cast<char16_t>(std::toupper(static_cast<int>(k.c)))
                              : k.c;
            else if (k.kind == KeyKind::Digit || k.kind == KeyKind::Symbol)
                text[0] = s.shift ? k.shifted : k.c;
            if (text[0]) label = text;
            if (label)
                DrawTextW(dc, label, -1, &face,
                          DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
            else
                DrawArrow(dc, face, k.kind, ink);
        }
    }
}

LRESULT CALLBACK PanelProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    Panel& s = State();
    const POINT pt{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    switch (msg) {
        case WM_ERASEBKGND:
            return 1;
        case WM_PAINT: {
            PAINTSTRUCT ps;
            HDC dc = BeginPaint(hwnd, &ps);
            PaintPanel(dc);
            EndPaint(hwnd, &ps);
            return 0;
        }
        case WM_ACTIVATE:
            if (LOWORD(wParam) != WA_INACTIVE) ReturnActivation(reinterpret_cast<HWND>(lParam));
            return 0;
        case WM_LBUTTONDOWN: {
            int row = 0, index = 0;
            if (!KeyAt(pt, &row, &index)) return 0;
            s.downRow = row;
            s.downKey = index;
            SetCapture(hwnd);
            Emit(Rows()[static_cast<size_t>(row)][static_cast<size_t>(index)]);
            InvalidateRect(hwnd, nullptr, FALSE);
            return 0;
        }
        case WM_LBUTTONUP:
            if (s.downRow >= 0) {
                s.downRow = s.downKey = -1;
                ReleaseCapture();
                InvalidateRect(hwnd, nullptr, FALSE);
            }
            return 0;
        case WM_CLOSE:
            return 0;  // the panel stays until it is put away
        case WM_NCDESTROY:
            if (s.hwnd == hwnd) s.hwnd = nullptr;
            return 0;
        default:
            return DefWindowProcW(hwnd, msg, wParam, lParam);
    }
}

HWND EnsureWindow() {
    Panel& s = State();
    if (s.hwnd && IsWindow(s.hwnd)) return s.hwnd;
    static bool registered = false;
    if (!registered) {
        registered = true;
        WNDCLASSW wc{};
        wc.lpfnWndProc = PanelProc;
        wc.lpszClassName = u"#InputPanel";
        RegisterClassW(&wc);
    }
    s.hwnd =
        CreateWindowExW(WS_EX_TOPMOST | WS_EX_NOACTIVATE, u"#InputPanel", u"", WS_POPUP, 0,
                        kPanelTop, kScreenWidth, kPanelHeight, nullptr, nullptr, nullptr, nullptr);
    return s.hwnd;
}

void FillInfo(SIPINFO* si) {
    // Only the fields that lie inside the caller's cbSize are written.
    const size_t size = si->cbSize;
    const bool shown = PanelShown();
    const RECT visible{0, kNavHeight, kScreenWidth, shown ? kPanelTop : kScreenHeight};
    const RECT panel{0, kPanelTop, kScreenWidth, kPanelTop + kPanelHeight};
    if (size >= offsetof(SIPINFO, fdwFlags) + sizeof(DWORD))
        si->fdwFlags = SIPF_DOCKED | (shown ? SIPF_ON : 0);
    if (size >= offsetof(SIPINFO, rcVisibleDesktop) + sizeof(RECT)) si->rcVisibleDesktop = visible;
    if (size >= offsetof(SIPINFO, rcSipRect) + sizeof(RECT)) si->rcSipRect = panel;
    if (size >= offsetof(SIPINFO, dwImDataSize) + sizeof(DWORD)) si->dwImDataSize = 0;
}

bool ValidSize(const SIPINFO* si) {
    return si && (si->cbSize == 48 || si->cbSize == sizeof(SIPINFO));
}

}  // namespace

bool PanelShown() {
    return State().shown;
}

HWND PanelWindow() {
    return State().hwnd && IsWindow(State().hwnd) ? State().hwnd : nullptr;
}

bool IsPanel(HWND hwnd) {
    return hwnd && hwnd == State().hwnd;
}

void SetPanelShown(bool shown) {
    Panel& s = State();
    if (shown) {
        if (HWND h = EnsureWindow()) ShowWithoutActivation(h);
    } else if (HWND h = PanelWindow()) {
        if (GetCapture() == h) ReleaseCapture();
        s.downRow = s.downKey = -1;
        ShowWindow(h, SW_HIDE);
    }
    if (s.shown == shown) return;
    s.shown = shown;
    InvalidateSipButtons();
    // Every top-level window of the program hears of the change.
    std::vector<HWND> tops;
    for (wm::Window* t : wm::TopLevels())
        if (!t->destroying && !IsChromeWindow(t->handle)) tops.push_back(t->handle);
    for (HWND h : tops) PostMessageW(h, WM_SETTINGCHANGE, SPI_SETSIPINFO, 0);
}

void ResetForTests() {
    ResetMenusForTests();
    Panel& s = State();
    if (HWND h = PanelWindow()) DestroyWindow(h);
    s = Panel{};
}

}  // namespace chrome

using namespace chrome;

BOOL SHSipInfo(UINT action, UINT uiParam, LPVOID pvParam, UINT fWinIni) {
    auto* si = static_cast<SIPINFO*>(pvParam);
    if (uiParam != 0 || fWinIni != 0 || !ValidSize(si)) {
        SetLastError(wm::kErrorInvalidParameter);
        return FALSE;
    }
    switch (action) {
        case SPI_GETSIPINFO:
            FillInfo(si);
            return TRUE;
        default:
            SetLastError(wm::kErrorInvalidParameter);
            return FALSE;
    }
}

BOOL SipShowIM(DWORD flags) {
    SetPanelShown((flags & SIPF_ON) != 0);
    return TRUE;
}

namespace device {

bool InputPanelShown() {
    return chrome::PanelShown();
}
void SetInputPanel(bool shown) {
    chrome::SetPanelShown(shown);
}

}  // namespace device
