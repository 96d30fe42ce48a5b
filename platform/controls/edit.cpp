// The "EDIT" class, single-line.
//
// Implements: typing through WM_CHAR (printable characters replace the
// selection, Backspace), VK_LEFT / VK_RIGHT / VK_HOME / VK_END (with Shift
// extending the selection) and VK_DELETE; a caret (CreateCaret, shown while
// focused); the stylus (focus on tap, caret at the nearest character gap,
// dragging selects); the limit (EM_LIMITTEXT / EM_SETLIMITTEXT with the
// handheld's defaults and caps, EN_MAXTEXT when a keystroke is refused);
// ES_NOHIDESEL; WM_GETTEXT / WM_SETTEXT / WM_GETTEXTLENGTH; EM_GETSEL /
// EM_SETSEL / EM_REPLACESEL / EM_GETLIMITTEXT; WM_SETFONT / WM_GETFONT;
// EN_SETFOCUS, EN_KILLFOCUS, EN_UPDATE and EN_CHANGE to the parent. Every box
// scrolls its text sideways as ES_AUTOHSCROLL asks: the only kind of box the
// programs here make.
//
// Leaves out: ES_MULTILINE, ES_CENTER / ES_RIGHT (text is always left
// aligned), typing that stops at the visible width (a box without
// ES_AUTOHSCROLL), ES_PASSWORD, ES_NUMBER, ES_UPPERCASE / ES_LOWERCASE,
// ES_READONLY, undo, the clipboard, double-tap word selection, caret blinking
// (the caret is drawn steadily), WM_CTLCOLOREDIT.
#include <algorithm>
#include <map>
#include <vector>

#include "controls/controls.h"
#include "wm/wm.h"

namespace {

// The handheld's single-line limits: 30,000 characters at first; 0 and values
// above 0x7FFE mean 0x7FFE.
constexpr int kInitialLimit = 30000;
constexpr int kMaxLimit = 0x7FFE;
constexpr int kMargin = 1;

struct EditState {
    std::u16string text;
    int caret = 0;
    int anchor = 0;  // the selection runs from anchor to caret
    int scrollX = 0;
    int limit = kInitialLimit;
    bool focused = false;
    bool tracking = false;
    bool shift = false;
    HFONT font = nullptr;
};

std::map<HWND, EditState>& States() {
    static std::map<HWND, EditState> states;
    return states;
}

DWORD StyleOf(HWND hwnd) {
    return static_cast<DWORD>(GetWindowLongW(hwnd, GWL_STYLE));
}

// What each style bit changes.
struct Traits {
    bool keepsSelection = false;  // ES_NOHIDESEL: the selection shows without the focus
};

const struct {
    DWORD bit;
    bool Traits::*trait;
} kStyleTraits[] = {
    {ES_NOHIDESEL, &Traits::keepsSelection},
};

Traits TraitsOf(HWND hwnd) {
    Traits t;
    const DWORD style = StyleOf(hwnd);
    for (const auto& entry : kStyleTraits) t.*entry.trait = (style & entry.bit) != 0;
    return t;
}

// Pixel offsets of every character gap of the shown text: 0, end of the 1st
// character, end of the 2nd, ...
std::vector<int> Gaps(HWND hwnd, const EditState& s, int* lineHeight) {
    HDC dc = GetDC(hwnd);
    HGDIOBJ old = s.font ? SelectObject(dc, s.font) : nullptr;
    const std::u16string& shown = s.text;
    std::vector<int> gaps(shown.size() + 1, 0);
    if (!shown.empty()) {
        std::vector<INT> dx(shown.size(), 0);
        SIZE size{};
        GetTextExtentExPointW(dc, shown.c_str(), static_cast<int>(shown.size()), 0, nullptr,
                              dx.data(), &size);
        for (size_t i = 0; i < shown.size(); ++i) gaps[i + 1] = dx[i];
    }
    if (lineHeight) {
        TEXTMETRICW tm{};
        GetTextMetricsW(dc, &tm);
        *lineHeight = tm.tmHeight;
    }
    if (old) SelectObject(dc, old);
    ReleaseDC(hwnd, dc);
    return gaps;
}

int TextTop(HWND hwnd, int lineHeight) {
    RECT r;
    GetClientRect(hwnd, &r);
    return std::max((r.bottom - lineHeight) / 2, 0);
}

void PlaceCaret(HWND hwnd, EditState& s) {
    int lineHeight = 13;
    const std::vector<int> gaps = Gaps(hwnd, s, &lineHeight);
    RECT r;
    GetClientRect(hwnd, &r);
    const int room = std::max(static_cast<int>(r.right) - 2 * kMargin, 1);
    const int at = gaps[static_cast<size_t>(s.caret)];
    if (at - s.scrollX > room) s.scrollX = at - room;
    if (at < s.scrollX) s.scrollX = at;
    s.scrollX = std::max(s.scrollX, 0);
    if (s.focused) SetCaretPos(kMargin + at - s.scrollX, TextTop(hwnd, lineHeight));
}

void Repaint(HWND hwnd) {
    InvalidateRect(hwnd, nullptr, TRUE);
    UpdateWindow(hwnd);
}

void Notify(HWND hwnd, WORD code) {
    if (HWND parent = GetParent(hwnd))
        SendMessageW(parent, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(hwnd), code),
                     reinterpret_cast<LPARAM>(hwnd));
}

int SelStart(const EditState& s) {
    return std::min(s.anchor, s.caret);
}
int SelEnd(const EditState& s) {
    return std::max(s.anchor, s.caret);
}

// Replaces the selection with `insert`. With `byUser` the limit refuses what
// does not fit (EN_MAXTEXT).
bool ReplaceSelection(HWND hwnd, std::u16string insert, bool byUser) {
    EditState& s = States()[hwnd];
    const int start = SelStart(s), end = SelEnd(s);
    const size_t kept = s.text.size() - static_cast<size_t>(end - start);
    if (byUser && kept + insert.size() > static_cast<size_t>(s.limit)) {
        if (kept >= static_cast<size_t>(s.limit)) {
            Notify(hwnd, EN_MAXTEXT);
            return false;
        }
        insert.resize(static_cast<size_t>(s.limit) - kept);
    }
    std::u16string next = s.text;
    next.replace(static_cast<size_t>(start), static_cast<size_t>(end - start), insert);
    s.text = std::move(next);
    s.caret = s.anchor = start + static_cast<int>(insert.size());
    PlaceCaret(hwnd, s);
    Repaint(hwnd);
    Notify(hwnd, EN_UPDATE);
    if (IsWindow(hwnd)) Notify(hwnd, EN_CHANGE);
    return true;
}

void MoveCaret(HWND hwnd, int to, bool extend) {
    EditState& s = States()[hwnd];
    to = std::clamp(to, 0, static_cast<int>(s.text.size()));
    const bool hadSel = s.anchor != s.caret;
    s.caret = to;
    if (!extend) s.anchor = to;
    PlaceCaret(hwnd, s);
    if (hadSel || extend) Repaint(hwnd);
}

int GapAt(HWND hwnd, const EditState& s, int x) {
    const std::vector<int> gaps = Gaps(hwnd, s, nullptr);
    const int target = x - kMargin + s.scrollX;
    int best = 0;
    for (size_t i = 0; i < gaps.size(); ++i)
        if (std::abs(gaps[i] - target) < std::abs(gaps[static_cast<size_t>(best)] - target))
            best = static_cast<int>(i);
    return best;
}

void Paint(HWND hwnd, HDC dc) {
    EditState& s = States()[hwnd];
    RECT r;
    GetClientRect(hwnd, &r);
    FillRect(dc, &r, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    HGDIOBJ old = s.font ? SelectObject(dc, s.font) : nullptr;
    int lineHeight = 13;
    const std::vector<int> gaps = Gaps(hwnd, s, &lineHeight);
    const std::u16string& shown = s.text;
    const int top = TextTop(hwnd, lineHeight);
    const bool enabled = IsWindowEnabled(hwnd);
    const bool showSel = s.focused || TraitsOf(hwnd).keepsSelection;
    const int selA = showSel ? SelStart(s) : 0, selB = showSel ? SelEnd(s) : 0;
    // Three runs: before, inside and after the selection.
    const int bounds[4] = {0, selA, selB, static_cast<int>(shown.size())};
    for (int run = 0; run < 3; ++run) {
        const int a = bounds[run], b = bounds[run + 1];
        if (b <= a) continue;
        const bool selected = run == 1;
        SetBkMode(dc, selected ? OPAQUE : TRANSPARENT);
        SetBkColor(dc, wm::SysColor(COLOR_HIGHLIGHT));
        SetTextColor(dc, selected  ? wm::SysColor(COLOR_HIGHLIGHTTEXT)
                         : enabled ? RGB(0, 0, 0)
                                   : wm::SysColor(COLOR_GRAYTEXT));
        const int x = kMargin + gaps[static_cast<size_t>(a)] - s.scrollX;
        RECT tr{x, top, kMargin + gaps[static_cast<size_t>(b)] - s.scrollX, top + lineHeight};
        DrawTextW(dc, shown.c_str() + a, b - a, &tr,
                  DT_LEFT | DT_TOP | DT_SINGLELINE | DT_NOPREFIX | DT_NOCLIP);
    }
    if (old) SelectObject(dc, old);
}

LRESULT CALLBACK EditProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_NCCREATE: {
            EditState s;
            auto* cs = reinterpret_cast<const CREATESTRUCTW*>(lParam);
            if (cs && cs->lpszName) s.text = cs->lpszName;
            States()[hwnd] = s;
            return DefWindowProcW(hwnd, msg, wParam, lParam);
        }
        case WM_NCDESTROY:
            States().erase(hwnd);
            return 0;
        case WM_ERASEBKGND:
            return 1;
        case WM_PAINT: {
            PAINTSTRUCT ps;
            HDC dc = BeginPaint(hwnd, &ps);
            Paint(hwnd, dc);
            EndPaint(hwnd, &ps);
            return 0;
        }
        case WM_GETTEXT: {
            const EditState& s = States()[hwnd];
            auto* buf = reinterpret_cast<LPWSTR>(lParam);
            if (!buf || wParam == 0) return 0;
            const size_t n = std::min(static_cast<size_t>(wParam) - 1, s.text.size());
            std::copy_n(s.text.data(), n, buf);
            buf[n] = 0;
            return static_cast<LRESULT>(n);
        }
        case WM_GETTEXTLENGTH:
            return static_cast<LRESULT>(States()[hwnd].text.size());
        case WM_SETTEXT: {
            // Setting the text is not limited by EM_LIMITTEXT; the caret goes to the start.
            EditState& s = States()[hwnd];
            s.text = wm::Text(reinterpret_cast<LPCWSTR>(lParam));
            DefWindowProcW(hwnd, msg, wParam, lParam);
            s.caret = s.anchor = 0;
            s.scrollX = 0;
            PlaceCaret(hwnd, s);
            Repaint(hwnd);
            Notify(hwnd, EN_UPDATE);
            if (IsWindow(hwnd)) Notify(hwnd, EN_CHANGE);
            return TRUE;
        }
        case WM_CHAR: {
            char16_t c = static_cast<char16_t>(wParam);
            EditState& s = States()[hwnd];
            if (c == VK_BACK) {
                if (s.anchor == s.caret) {
                    if (s.caret == 0) return 0;
                    s.anchor = s.caret - 1;
                }
                ReplaceSelection(hwnd, u"", true);
                return 0;
            }
            if (c < 0x20 || c == 0x7f) return 0;  // Tab, Enter, Escape: nothing in a single line
            ReplaceSelection(hwnd, std::u16string(1, c), true);
            return 0;
        }
        case WM_KEYDOWN: {
            EditState& s = States()[hwnd];
            switch (wParam) {
                case VK_SHIFT:
                    s.shift = true;
                    return 0;
                case VK_LEFT:
                    MoveCaret(hwnd, s.anchor != s.caret && !s.shift ? SelStart(s) : s.caret - 1,
                              s.shift);
                    return 0;
                case VK_RIGHT:
                    MoveCaret(hwnd, s.anchor != s.caret && !s.shift ? SelEnd(s) : s.caret + 1,
                              s.shift);
                    return 0;
                case VK_HOME:
                    MoveCaret(hwnd, 0, s.shift);
                    return 0;
                case VK_END:
                    MoveCaret(hwnd, static_cast<int>(s.text.size()), s.shift);
                    return 0;
                case VK_DELETE:
                    if (s.anchor == s.caret) {
                        if (s.caret >= static_cast<int>(s.text.size())) return 0;
                        s.anchor = s.caret + 1;
                    }
                    ReplaceSelection(hwnd, u"", true);
                    return 0;
                default:
                    return 0;
            }
        }
        case WM_KEYUP:
            if (wParam == VK_SHIFT) States()[hwnd].shift = false;
            return 0;
        case WM_LBUTTONDOWN: {
            if (GetFocus() != hwnd) SetFocus(hwnd);
            if (!IsWindow(hwnd)) return 0;
            EditState& s = States()[hwnd];
            SetCapture(hwnd);
            s.tracking = true;
            MoveCaret(hwnd, GapAt(hwnd, s, GET_X_LPARAM(lParam)), s.shift);
            return 0;
        }
        case WM_MOUSEMOVE: {
            EditState& s = States()[hwnd];
            if (s.tracking && GetCapture() == hwnd)
                MoveCaret(hwnd, GapAt(hwnd, s, GET_X_LPARAM(lParam)), true);
            return 0;
        }
        case WM_LBUTTONUP: {
            EditState& s = States()[hwnd];
            if (s.tracking) {
                s.tracking = false;
                if (GetCapture() == hwnd) ReleaseCapture();
            }
            return 0;
        }
        case WM_SETFOCUS: {
            EditState& s = States()[hwnd];
            s.focused = true;
            int lineHeight = 13;
            Gaps(hwnd, s, &lineHeight);
            CreateCaret(hwnd, nullptr, 1, lineHeight);
            PlaceCaret(hwnd, s);
            ShowCaret(hwnd);
            if (s.anchor != s.caret) Repaint(hwnd);
            Notify(hwnd, EN_SETFOCUS);
            return 0;
        }
        case WM_KILLFOCUS: {
            EditState& s = States()[hwnd];
            s.focused = false;
            s.tracking = false;
            DestroyCaret();
            if (s.anchor != s.caret && !TraitsOf(hwnd).keepsSelection) Repaint(hwnd);
            Notify(hwnd, EN_KILLFOCUS);
            return 0;
        }
        case WM_ENABLE:
            Repaint(hwnd);
            return 0;
        case WM_SETFONT:
            States()[hwnd].font = reinterpret_cast<HFONT>(wParam);
            if (lParam) Repaint(hwnd);
            return 0;
        case WM_GETFONT:
            return reinterpret_cast<LRESULT>(States()[hwnd].font);
        case EM_GETSEL: {
            const EditState& s = States()[hwnd];
            if (wParam) *reinterpret_cast<DWORD*>(wParam) = static_cast<DWORD>(SelStart(s));
            if (lParam) *reinterpret_cast<DWORD*>(lParam) = static_cast<DWORD>(SelEnd(s));
            return MAKELONG(SelStart(s), SelEnd(s));
        }
        case EM_SETSEL: {
            EditState& s = States()[hwnd];
            const int len = static_cast<int>(s.text.size());
            int a = static_cast<int>(static_cast<LONG>(wParam));
            int b = static_cast<int>(static_cast<LONG>(lParam));
            if (a < 0) {
                a = b = s.caret;  // -1 removes the selection
            } else {
                if (b < 0 || b > len) b = len;
                a = std::min(a, len);
            }
            s.anchor = a;
            s.caret = b;
            PlaceCaret(hwnd, s);
            Repaint(hwnd);
            return 0;
        }
        case EM_REPLACESEL:
            ReplaceSelection(hwnd, wm::Text(reinterpret_cast<LPCWSTR>(lParam)), true);
            return 0;
        case EM_LIMITTEXT: {
            const size_t v = static_cast<size_t>(wParam);
            States()[hwnd].limit =
                (v == 0 || v > static_cast<size_t>(kMaxLimit)) ? kMaxLimit : static_cast<int>(v);
            return 0;
        }
        case EM_GETLIMITTEXT:
            return States()[hwnd].limit;
        default:
            return DefWindowProcW(hwnd, msg, wParam, lParam);
    }
}

}  // namespace

namespace controls {
WNDPROC EditWindowProc() {
    return EditProc;
}
}  // namespace controls
