// MessageBoxW: a modal box drawn on the screen, and the system classes.
//
// Implements: the box centred in the work area (caption strip, text wrapped to
// the box, a row of buttons: OK, OK/Cancel, Yes/No/Cancel, Yes/No,
// Retry/Cancel), answered by a tap on a button (pressed look while the stylus
// is on it), Enter (the default button, MB_DEFBUTTON2/3) or Escape (Cancel when
// the box has one, OK for a plain OK box); the owner is disabled while the box
// is up and enabled again afterwards; a nested message loop keeps timers and
// paints going for every window; a WM_QUIT read inside it ends the box and is
// posted again for the outer loop; a null caption shows "Error". Each box is
// recorded in device::MessageBoxLog(); in auto-answer mode (the default) the
// box is only recorded and answered at once.
//
// Leaves out: icons, MB_SYSTEMMODAL differences, Abort/Retry/Ignore boxes.
#include <algorithm>
#include <vector>

#include "controls/controls.h"
#include "device/input.h"
#include "device/record.h"
#include "device/screen.h"
#include "wm/wm.h"

namespace {

constexpr int kBoxWidth = 220;
constexpr int kCaption = 20;
constexpr int kButtonWidth = 52;
constexpr int kButtonHeight = 20;
constexpr int kGap = 8;
using device::kWorkBottom;
using device::kWorkTop;
constexpr size_t kMaxNested = 8;

struct Box {
    HWND hwnd = nullptr;
    std::u16string text;
    std::u16string caption;
    std::vector<int> ids;
    int defaultIndex = 0;
    int pressed = -1;   // button under the stylus while it is down
    int tracking = -1;  // button the stylus went down on
    int result = 0;
    bool done = false;
    int textHeight = 0;
};

std::vector<Box*>& Boxes() {
    static std::vector<Box*> boxes;
    return boxes;
}

Box* BoxOf(HWND hwnd) {
    for (Box* b : Boxes())
        if (b->hwnd == hwnd) return b;
    return nullptr;
}

const char16_t* Label(int id) {
    switch (id) {
        case IDOK:
            return u"OK";
        case IDCANCEL:
            return u"Cancel";
        case IDYES:
            return u"Yes";
        case IDNO:
            return u"No";
        case IDRETRY:
            return u"Retry";
        default:
            return u"";
    }
}

std::vector<int> ButtonsFor(UINT type) {
    switch (type & MB_TYPEMASK) {
        case MB_OKCANCEL:
            return {IDOK, IDCANCEL};
        case MB_YESNOCANCEL:
            return {IDYES, IDNO, IDCANCEL};
        case MB_YESNO:
            return {IDYES, IDNO};
        case MB_RETRYCANCEL:
            return {IDRETRY, IDCANCEL};
        default:
            return {IDOK};
    }
}

// The answer when the box is closed without a button: Cancel if it has one,
// otherwise No, otherwise OK.
int CloseAnswer(const std::vector<int>& ids) {
    for (int want : {IDCANCEL, IDNO, IDOK})
        if (std::find(ids.begin(), ids.end(), want) != ids.end()) return want;
    return ids.empty() ? IDOK : ids.front();
}

RECT ButtonRect(const Box& b, int i, const RECT& client) {
    const int n = static_cast<int>(b.ids.size());
    const int row = n * kButtonWidth + (n - 1) * kGap;
    const int left = (client.right - row) / 2 + i * (kButtonWidth + kGap);
    const int top = client.bottom - kGap - kButtonHeight;
    return RECT{left, top, left + kButtonWidth, top + kButtonHeight};
}

int ButtonAt(const Box& b, HWND hwnd, POINT p) {
    RECT client;
    GetClientRect(hwnd, &client);
    for (int i = 0; i < static_cast<int>(b.ids.size()); ++i) {
        RECT r = ButtonRect(b, i, client);
        if (PtInRect(&r, p)) return i;
    }
    return -1;
}

void Finish(Box& b, int id) {
    if (b.done) return;
    b.result = id;
    b.done = true;
    PostMessageW(nullptr, WM_NULL, 0, 0);  // wakes the box's loop, which then ends
}

void Paint(Box& b, HDC dc, HWND hwnd) {
    RECT client;
    GetClientRect(hwnd, &client);
    FillRect(dc, &client, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    RECT cap{0, 0, client.right, kCaption};
    FillRect(dc, &cap, GetSysColorBrush(COLOR_ACTIVECAPTION));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, RGB(255, 255, 255));
    RECT capText{4, 0, client.right - 4, kCaption};
    DrawTextW(dc, b.caption.c_str(), -1, &capText,
              DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    SetTextColor(dc, RGB(0, 0, 0));
    RECT body{kGap, kCaption + kGap, client.right - kGap, kCaption + kGap + b.textHeight};
    DrawTextW(dc, b.text.c_str(), -1, &body, DT_LEFT | DT_WORDBREAK | DT_NOPREFIX);
    HBRUSH black = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    for (int i = 0; i < static_cast<int>(b.ids.size()); ++i) {
        RECT r = ButtonRect(b, i, client);
        FillRect(dc, &r, black);
        RECT face = r;
        const int frame = i == b.defaultIndex ? 2 : 1;
        InflateRect(&face, -frame, -frame);
        const bool down = i == b.pressed;
        if (!down) FillRect(dc, &face, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        SetTextColor(dc, down ? RGB(255, 255, 255) : RGB(0, 0, 0));
        DrawTextW(dc, Label(b.ids[static_cast<size_t>(i)]), -1, &face,
                  DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    }
}

void SetPressed(Box& b, int index) {
    if (b.pressed == index) return;
    b.pressed = index;
    InvalidateRect(b.hwnd, nullptr, FALSE);
}

LRESULT CALLBACK BoxProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    Box* b = BoxOf(hwnd);
    if (!b) return DefWindowProcW(hwnd, msg, wParam, lParam);
    switch (msg) {
        case WM_ERASEBKGND:
            return 1;
        case WM_PAINT: {
            PAINTSTRUCT ps;
            HDC dc = BeginPaint(hwnd, &ps);
            Paint(*b, dc, hwnd);
            EndPaint(hwnd, &ps);
            return 0;
        }
        case WM_LBUTTONDOWN: {
            const int i = ButtonAt(*b, hwnd, POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
            if (i < 0) return 0;
            SetCapture(hwnd);
            b->tracking = i;
            SetPressed(*b, i);
            return 0;
        }
        case WM_MOUSEMOVE:
            if (b->tracking >= 0) {
                const int i = ButtonAt(*b, hwnd, POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
                SetPressed(*b, i == b->tracking ? i : -1);
            }
            return 0;
        case WM_LBUTTONUP: {
            if (b->tracking < 0) return 0;
            const int i = ButtonAt(*b, hwnd, POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
            const int was = b->tracking;
            b->tracking = -1;
            SetPressed(*b, -1);
            ReleaseCapture();
            if (i == was) Finish(*b, b->ids[static_cast<size_t>(i)]);
            return 0;
        }
        case WM_KEYDOWN:
            if (wParam == VK_RETURN) {
                Finish(*b, b->ids[static_cast<size_t>(b->defaultIndex)]);
            } else if (wParam == VK_ESCAPE) {
                const auto& ids = b->ids;
                if (std::find(ids.begin(), ids.end(), IDCANCEL) != ids.end())
                    Finish(*b, IDCANCEL);
                else if (ids.size() == 1 && ids[0] == IDOK)
                    Finish(*b, IDOK);
            }
            return 0;
        case WM_CLOSE:
            Finish(*b, CloseAnswer(b->ids));
            return 0;
        case WM_DESTROY:
            if (!b->done) Finish(*b, CloseAnswer(b->ids));
            return 0;
        default:
            return DefWindowProcW(hwnd, msg, wParam, lParam);
    }
}

int MeasureText(const std::u16string& text) {
    HDC dc = GetDC(nullptr);
    RECT r{0, 0, kBoxWidth - 2 * kGap - 2, 0};
    DrawTextW(dc, text.c_str(), -1, &r, DT_LEFT | DT_WORDBREAK | DT_NOPREFIX | DT_CALCRECT);
    ReleaseDC(nullptr, dc);
    return std::max(static_cast<int>(r.bottom - r.top), 13);
}

int RunBox(HWND owner, const std::u16string& text, const std::u16string& caption, UINT type) {
    Box box;
    box.text = text;
    box.caption = caption;
    box.ids = ButtonsFor(type);
    const int def = (type & MB_DEFBUTTON3) ? 2 : (type & MB_DEFBUTTON2) ? 1 : 0;
    box.defaultIndex = std::min(def, static_cast<int>(box.ids.size()) - 1);
    box.textHeight = std::min(MeasureText(text),
                              kWorkBottom - kWorkTop - 3 * kGap - kCaption - kButtonHeight - 4);

    const int height = 2 + kCaption + kGap + box.textHeight + kGap + kButtonHeight + kGap;
    const int x = (240 - kBoxWidth) / 2;
    const int y = kWorkTop + std::max((kWorkBottom - kWorkTop - height) / 2, 0);

    // The owner's top-level window is disabled while the box is up.
    HWND ownerTop = nullptr;
    if (wm::Window* o = wm::FindQuiet(owner)) ownerTop = wm::TopLevelOf(o)->handle;
    HWND previousFocus = GetFocus();
    const bool disabled = ownerTop && IsWindowEnabled(ownerTop);
    if (disabled) EnableWindow(ownerTop, FALSE);

    Boxes().push_back(&box);
    controls::RegisterSystemClasses();
    box.hwnd = CreateWindowExW(WS_EX_TOPMOST, u"#MessageBox", caption.c_str(), WS_POPUP | WS_BORDER,
                               x, y, kBoxWidth, height, ownerTop, nullptr, nullptr, nullptr);
    if (!box.hwnd) {
        Boxes().pop_back();
        if (disabled) EnableWindow(ownerTop, TRUE);
        return 0;
    }
    ShowWindow(box.hwnd, SW_SHOW);
    SetFocus(box.hwnd);

    MSG msg;
    bool quit = false;
    WPARAM quitCode = 0;
    while (!box.done) {
        const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
        if (got == 0) {
            quit = true;
            quitCode = msg.wParam;
            break;
        }
        if (got < 0) break;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    if (!box.done) box.result = CloseAnswer(box.ids);

    // Enable the owner before the box goes, so activation returns to it.
    if (disabled && IsWindow(ownerTop)) EnableWindow(ownerTop, TRUE);
    Boxes().erase(std::find(Boxes().begin(), Boxes().end(), &box));
    if (IsWindow(box.hwnd)) DestroyWindow(box.hwnd);
    if (IsWindow(previousFocus)) SetFocus(previousFocus);
    if (quit) PostQuitMessage(static_cast<int>(quitCode));
    return box.result;
}

}  // namespace

namespace controls {

bool MessageBoxShowing() {
    return !Boxes().empty();
}

void CancelMessageBox() {
    if (Boxes().empty()) return;
    Box& b = *Boxes().back();
    Finish(b, CloseAnswer(b.ids));
}

bool ShownMessageBox(MessageBoxInfo* out) {
    if (Boxes().empty() || !IsWindow(Boxes().back()->hwnd)) return false;
    const Box& b = *Boxes().back();
    RECT client;
    GetClientRect(b.hwnd, &client);
    POINT origin{0, 0};
    ClientToScreen(b.hwnd, &origin);
    *out =
        MessageBoxInfo{b.hwnd, b.caption, b.text, b.ids[static_cast<size_t>(b.defaultIndex)], {}};
    for (int i = 0; i < static_cast<int>(b.ids.size()); ++i) {
        RECT r = ButtonRect(b, i, client);
        OffsetRect(&r, origin.x, origin.y);
        out->buttons.push_back(
            {b.ids[static_cast<size_t>(i)], Label(b.ids[static_cast<size_t>(i)]), r});
    }
    return true;
}

bool PressMessageBoxButton(int id) {
    MessageBoxInfo box;
    if (!ShownMessageBox(&box)) return false;
    for (const MessageBoxButtonInfo& button : box.buttons) {
        if (button.id != id) continue;
        const RECT& r = button.rect;
        device::Tap((r.left + r.right) / 2, (r.top + r.bottom) / 2);
        return true;
    }
    return false;
}

WNDPROC MessageBoxWindowProc() {
    return BoxProc;
}

}  // namespace controls

int MessageBoxW(HWND owner, LPCWSTR text, LPCWSTR caption, UINT type) {
    device::MessageBoxLog().push_back({wm::Text(text), wm::Text(caption), type});
    if (device::MessageBoxAutoAnswer()) return device::MessageBoxAnswer();
    // A program that shows a box from a handler the box's own loop re-enters
    // (a paint that fails again) would stack boxes without end: past a few
    // levels the box is only recorded and closed at once.
    if (Boxes().size() >= kMaxNested) return CloseAnswer(ButtonsFor(type));
    return RunBox(owner, wm::Text(text),
                  caption ? std::u16string(caption) : std::u16string(u"Error"), type);
}
