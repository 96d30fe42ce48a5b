// The "BUTTON" class.
//
// Implements: push buttons and default push buttons (drawn flat, inverted while
// pressed, the default one with a thicker frame), owner-drawn buttons
// (WM_DRAWITEM to the parent with ODA_DRAWENTIRE / ODA_SELECT / ODA_FOCUS),
// check boxes, auto check boxes and three-state boxes; the stylus (capture,
// pressed look following the pointer, BN_CLICKED on release inside), the space
// bar, BM_GETCHECK / BM_SETCHECK / BM_GETSTATE / BM_SETSTATE / BM_SETSTYLE /
// BM_CLICK, WM_SETFONT / WM_GETFONT.
//
// Leaves out: radio button groups (a radio button only checks itself), group
// boxes (drawn as their caption), BS_LEFTTEXT, WM_CTLCOLORBTN, focus
// rectangles, BN_DOUBLECLICKED, images on buttons.
#include <map>

#include "controls/controls.h"
#include "wm/wm.h"

namespace {

enum class Look { Push, Check, Radio, Group, Owner };

struct TypeInfo {
    Look look;
    int maxCheck;    // BM_SETCHECK clamps to this
    bool autoCheck;  // a click changes the check
    bool isDefault;
};

// Behaviour by button type (style & BS_TYPEMASK).
const TypeInfo kTypes[16] = {
    {Look::Push, 0, false, false},   // BS_PUSHBUTTON
    {Look::Push, 0, false, true},    // BS_DEFPUSHBUTTON
    {Look::Check, 1, false, false},  // BS_CHECKBOX
    {Look::Check, 1, true, false},   // BS_AUTOCHECKBOX
    {Look::Radio, 1, false, false},  // BS_RADIOBUTTON
    {Look::Check, 2, false, false},  // BS_3STATE
    {Look::Check, 2, true, false},   // BS_AUTO3STATE
    {Look::Group, 0, false, false},  // BS_GROUPBOX
    {Look::Push, 0, false, false},   // 8: user button, drawn as a push button
    {Look::Radio, 1, true, false},   // BS_AUTORADIOBUTTON
    {Look::Push, 0, false, false},   // 10: push box
    {Look::Owner, 0, false, false},  // BS_OWNERDRAW
    {Look::Push, 0, false, false},  {Look::Push, 0, false, false},
    {Look::Push, 0, false, false},  {Look::Push, 0, false, false},
};

struct ButtonState {
    int check = 0;
    bool pushed = false;
    bool focus = false;
    bool tracking = false;
    HFONT font = nullptr;
};

std::map<HWND, ButtonState>& States() {
    static std::map<HWND, ButtonState> states;
    return states;
}

const TypeInfo& TypeOf(HWND hwnd) {
    return kTypes[static_cast<DWORD>(GetWindowLongW(hwnd, GWL_STYLE)) & BS_TYPEMASK];
}

void DrawPush(HWND hwnd, HDC dc, const ButtonState& s, const RECT& r, bool isDefault) {
    const bool enabled = IsWindowEnabled(hwnd);
    HBRUSH black = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    FillRect(dc, &r, black);
    RECT face = r;
    const int frame = isDefault ? 2 : 1;
    InflateRect(&face, -frame, -frame);
    if (!s.pushed) FillRect(dc, &face, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    std::u16string text(static_cast<size_t>(GetWindowTextLengthW(hwnd)) + 1, u'\0');
    const int n = GetWindowTextW(hwnd, text.data(), static_cast<int>(text.size()));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, !enabled   ? wm::SysColor(COLOR_GRAYTEXT)
                     : s.pushed ? RGB(255, 255, 255)
                                : RGB(0, 0, 0));
    RECT tr = face;
    DrawTextW(dc, text.c_str(), n, &tr, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
}

void DrawCheck(HWND hwnd, HDC dc, const ButtonState& s, const RECT& r, bool radio) {
    FillRect(dc, &r, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    const int box = 11;
    const int top = r.top + (r.bottom - r.top - box) / 2;
    RECT b{r.left, top, r.left + box, top + box};
    HBRUSH black = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    FillRect(dc, &b, black);
    RECT inner = b;
    InflateRect(&inner, -1, -1);
    FillRect(dc, &inner,
             s.pushed ? GetSysColorBrush(COLOR_3DLIGHT)
                      : static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    HBRUSH mark = s.check == 2 ? static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH)) : black;
    if (s.check && radio) {
        RECT dot{b.left + 3, b.top + 3, b.right - 3, b.bottom - 3};
        FillRect(dc, &dot, mark);
    } else if (s.check) {
        // A tick: down from (2,5) to (4,7), then up to (8,3), two pixels thick.
        const int xs[] = {2, 3, 4, 5, 6, 7, 8};
        const int ys[] = {4, 5, 6, 5, 4, 3, 2};
        for (int i = 0; i < 7; ++i) {
            RECT px{b.left + xs[i], b.top + ys[i], b.left + xs[i] + 1, b.top + ys[i] + 3};
            FillRect(dc, &px, mark);
        }
    }
    std::u16string text(static_cast<size_t>(GetWindowTextLengthW(hwnd)) + 1, u'\0');
    const int n = GetWindowTextW(hwnd, text.data(), static_cast<int>(text.size()));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, IsWindowEnabled(hwnd) ? RGB(0, 0, 0) : wm::SysColor(COLOR_GRAYTEXT));
    RECT tr{r.left + box + 4, r.top, r.right, r.bottom};
    DrawTextW(dc, text.c_str(), n, &tr, DT_LEFT | DT_VCENTER | DT_SINGLELINE);
}

void Paint(HWND hwnd, HDC dc, UINT action) {
    auto it = States().find(hwnd);
    if (it == States().end()) return;
    const ButtonState s = it->second;
    const TypeInfo& type = TypeOf(hwnd);
    RECT r;
    GetClientRect(hwnd, &r);
    HGDIOBJ oldFont = s.font ? SelectObject(dc, s.font) : nullptr;
    switch (type.look) {
        case Look::Push:
            DrawPush(hwnd, dc, s, r, type.isDefault);
            break;
        case Look::Check:
        case Look::Radio:
            DrawCheck(hwnd, dc, s, r, type.look == Look::Radio);
            break;
        case Look::Group: {
            std::u16string text(static_cast<size_t>(GetWindowTextLengthW(hwnd)) + 1, u'\0');
            const int n = GetWindowTextW(hwnd, text.data(), static_cast<int>(text.size()));
            DrawTextW(dc, text.c_str(), n, &r, DT_LEFT | DT_TOP | DT_SINGLELINE);
            break;
        }
        case Look::Owner: {
            HWND parent = GetParent(hwnd);
            DRAWITEMSTRUCT dis{};
            dis.CtlType = ODT_BUTTON;
            dis.CtlID = static_cast<UINT>(GetDlgCtrlID(hwnd));
            dis.itemID = 0;
            dis.itemAction = action;
            dis.itemState = (s.pushed ? ODS_SELECTED : 0) | (s.focus ? ODS_FOCUS : 0) |
                            (IsWindowEnabled(hwnd) ? 0 : ODS_DISABLED);
            dis.hwndItem = hwnd;
            dis.hDC = dc;
            dis.rcItem = r;
            dis.itemData = 0;
            if (parent)
                SendMessageW(parent, WM_DRAWITEM, dis.CtlID, reinterpret_cast<LPARAM>(&dis));
            break;
        }
    }
    if (oldFont) SelectObject(dc, oldFont);
}

// Draws at once, outside WM_PAINT, as the system does when a button's state changes.
void PaintNow(HWND hwnd, UINT action) {
    if (!IsWindowVisible(hwnd)) return;
    HDC dc = GetDC(hwnd);
    Paint(hwnd, dc, action);
    ReleaseDC(hwnd, dc);
}

void SetPushed(HWND hwnd, bool pushed) {
    ButtonState& s = States()[hwnd];
    if (s.pushed == pushed) return;
    s.pushed = pushed;
    PaintNow(hwnd, ODA_SELECT);
}

void SetCheck(HWND hwnd, int check) {
    const TypeInfo& type = TypeOf(hwnd);
    if (check > type.maxCheck) check = type.maxCheck;
    if (check < 0) check = 0;
    ButtonState& s = States()[hwnd];
    if (s.check == check) return;
    s.check = check;
    PaintNow(hwnd, ODA_SELECT);
}

void Click(HWND hwnd) {
    const TypeInfo& type = TypeOf(hwnd);
    if (type.autoCheck) {
        const int check = States()[hwnd].check;
        if (type.look == Look::Radio)
            SetCheck(hwnd, 1);
        else
            SetCheck(hwnd, type.maxCheck == 2 ? (check + 1) % 3 : !check);
    }
    if (!IsWindow(hwnd)) return;
    if (HWND parent = GetParent(hwnd))
        SendMessageW(parent, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(hwnd), BN_CLICKED),
                     reinterpret_cast<LPARAM>(hwnd));
}

bool InsideClient(HWND hwnd, LPARAM lParam) {
    RECT r;
    GetClientRect(hwnd, &r);
    return PtInRect(&r, POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}) != FALSE;
}

LRESULT CALLBACK ButtonProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    const TypeInfo& type = TypeOf(hwnd);
    switch (msg) {
        case WM_NCCREATE:
            States()[hwnd] = ButtonState{};
            return DefWindowProcW(hwnd, msg, wParam, lParam);
        case WM_NCDESTROY:
            States().erase(hwnd);
            return 0;
        case WM_ERASEBKGND:
            return 1;
        case WM_PAINT: {
            PAINTSTRUCT ps;
            HDC dc = BeginPaint(hwnd, &ps);
            Paint(hwnd, dc, ODA_DRAWENTIRE);
            EndPaint(hwnd, &ps);
            return 0;
        }
        case WM_LBUTTONDOWN:
            if (type.look == Look::Group) return 0;
            SetCapture(hwnd);
            SetFocus(hwnd);
            if (!IsWindow(hwnd)) return 0;
            States()[hwnd].tracking = true;
            SetPushed(hwnd, true);
            return 0;
        case WM_MOUSEMOVE:
            if (States()[hwnd].tracking && GetCapture() == hwnd)
                SetPushed(hwnd, InsideClient(hwnd, lParam));
            return 0;
        case WM_LBUTTONUP: {
            ButtonState& s = States()[hwnd];
            if (!s.tracking) return 0;
            s.tracking = false;
            const bool inside = InsideClient(hwnd, lParam);
            SetPushed(hwnd, false);
            if (GetCapture() == hwnd) ReleaseCapture();
            if (inside) Click(hwnd);
            return 0;
        }
        case WM_KEYDOWN:
            if (wParam == VK_SPACE && type.look != Look::Group) SetPushed(hwnd, true);
            return 0;
        case WM_KEYUP:
            if (wParam == VK_SPACE && States()[hwnd].pushed) {
                SetPushed(hwnd, false);
                Click(hwnd);
            }
            return 0;
        case WM_SETFOCUS:
            States()[hwnd].focus = true;
            PaintNow(hwnd, ODA_FOCUS);
            return 0;
        case WM_KILLFOCUS: {
            ButtonState& s = States()[hwnd];
            s.focus = false;
            if (s.tracking) {
                s.tracking = false;
                if (GetCapture() == hwnd) ReleaseCapture();
                s.pushed = false;
            }
            PaintNow(hwnd, ODA_FOCUS);
            return 0;
        }
        case WM_ENABLE:
            InvalidateRect(hwnd, nullptr, FALSE);
            return 0;
        case WM_SETTEXT: {
            LRESULT r = DefWindowProcW(hwnd, msg, wParam, lParam);
            InvalidateRect(hwnd, nullptr, FALSE);
            return r;
        }
        case WM_SETFONT:
            States()[hwnd].font = reinterpret_cast<HFONT>(wParam);
            if (lParam) InvalidateRect(hwnd, nullptr, FALSE);
            return 0;
        case WM_GETFONT:
            return reinterpret_cast<LRESULT>(States()[hwnd].font);
        case BM_GETCHECK:
            return States()[hwnd].check;
        case BM_SETCHECK:
            SetCheck(hwnd, static_cast<int>(wParam));
            return 0;
        case BM_GETSTATE: {
            const ButtonState& s = States()[hwnd];
            return s.check | (s.pushed ? BST_PUSHED : 0) | (s.focus ? BST_FOCUS : 0);
        }
        case BM_SETSTATE:
            SetPushed(hwnd, wParam != 0);
            return 0;
        case BM_SETSTYLE: {
            const DWORD style = static_cast<DWORD>(GetWindowLongW(hwnd, GWL_STYLE));
            SetWindowLongW(hwnd, GWL_STYLE,
                           static_cast<LONG>((style & ~BS_TYPEMASK) | (wParam & BS_TYPEMASK)));
            if (lParam) InvalidateRect(hwnd, nullptr, FALSE);
            return 0;
        }
        case BM_CLICK:
            SendMessageW(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, 0);
            SendMessageW(hwnd, WM_LBUTTONUP, 0, 0);
            return 0;
        default:
            return DefWindowProcW(hwnd, msg, wParam, lParam);
    }
}

}  // namespace

namespace controls {
WNDPROC ButtonWindowProc() {
    return ButtonProc;
}
}  // namespace controls
