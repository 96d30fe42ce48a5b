#include "sample_app.h"

namespace sample {
namespace {

constexpr int kTextTop = 70;
constexpr int kLines = 40;
constexpr int kLineStep = 16;

HWND mainWindow = nullptr;
HWND answerBox = nullptr;
HWND soundBox = nullptr;
WNDPROC answerProc = nullptr;
int scrollOffset = 0;  // 0 at the top, negative when scrolled down
int pageHeight = 0;
HWND menuBar = nullptr;
DWORD panelFlags = 0;
int page = 0;  // moved by the back and forward buttons, 0 to 2

// The window's height for the input panel's state: down to the panel when it
// shows, down to the menu bar when it does not.
int HeightFor(const SIPINFO& si) {
    const int h = si.rcVisibleDesktop.bottom - si.rcVisibleDesktop.top;
    return si.fdwFlags == SIPF_DOCKED ? h - 26 : h;
}

void FollowInputPanel(HWND hwnd) {
    SIPINFO si{};
    si.cbSize = 48;
    if (!SHSipInfo(SPI_GETSIPINFO, 0, &si, 0) || si.fdwFlags == panelFlags) return;
    panelFlags = si.fdwFlags;
    SetWindowPos(hwnd, HWND_TOP, 0, 0, si.rcVisibleDesktop.right - si.rcVisibleDesktop.left,
                 HeightFor(si), SWP_NOMOVE | SWP_NOZORDER);
    RECT r;
    GetWindowRect(hwnd, &r);
    Result().heights.push_back(r.bottom - r.top);
}

void ShowPageButtons() {
    SendMessageW(menuBar, TB_SETSTATE, kBack, page > 0 ? TBSTATE_ENABLED : TBSTATE_HIDDEN);
    SendMessageW(menuBar, TB_SETSTATE, kForward, page < 2 ? TBSTATE_ENABLED : TBSTATE_HIDDEN);
}

LRESULT CALLBACK AnswerBoxProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_KEYDOWN && wParam == VK_RETURN) {
        SendMessageW(mainWindow, WM_COMMAND, MAKEWPARAM(kAnswer, EN_MAXTEXT), 0);
        return 0;
    }
    return CallWindowProcW(answerProc, hwnd, msg, wParam, lParam);
}

void Paint(HWND hwnd) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    SetBkMode(dc, TRANSPARENT);
    RECT client;
    GetClientRect(hwnd, &client);
    for (int i = 0; i < kLines; ++i) {
        const int y = kTextTop + i * kLineStep + scrollOffset;
        if (y + kLineStep <= ps.rcPaint.top || y >= ps.rcPaint.bottom) continue;
        char16_t line[64];
        const char* words = i % 3 == 0   ? ": the fern path winds on"
                            : i % 3 == 1 ? ": past the old mill"
                                         : ": to the river";
        int n = 0;
        for (const char16_t* p = u"Line "; *p; ++p) line[n++] = *p;
        if (i + 1 >= 10) line[n++] = static_cast<char16_t>(u'0' + (i + 1) / 10);
        line[n++] = static_cast<char16_t>(u'0' + (i + 1) % 10);
        for (const char* p = words; *p; ++p) line[n++] = static_cast<char16_t>(*p);
        RECT r{4, y, client.right - 4, y + kLineStep};
        DrawTextW(dc, line, n, &r, DT_LEFT | DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
    }
    EndPaint(hwnd, &ps);
}

void Scroll(HWND hwnd, int code, int thumb) {
    SCROLLINFO si{sizeof si, SIF_ALL, 0, 0, 0, 0, 0};
    GetScrollInfo(hwnd, SB_VERT, &si);
    const int old = si.nPos;
    const int pageStep = static_cast<int>(si.nPage);
    int pos = old;
    if (code == SB_LINEUP || code == SB_LINEDOWN)
        pos += code == SB_LINEUP ? -kLineStep : kLineStep;
    else if (code == SB_PAGEUP || code == SB_PAGEDOWN)
        pos += code == SB_PAGEUP ? -pageStep : pageStep;
    else if (code == SB_THUMBTRACK || code == SB_THUMBPOSITION)
        pos = thumb;
    else
        return;
    si.fMask = SIF_POS;
    si.nPos = pos;
    SetScrollInfo(hwnd, SB_VERT, &si, TRUE);
    GetScrollInfo(hwnd, SB_VERT, &si);
    if (si.nPos == old) return;
    ScrollWindowEx(hwnd, 0, old - si.nPos, nullptr, nullptr, nullptr, nullptr,
                   SW_SCROLLCHILDREN | SW_INVALIDATE | SW_ERASE);
    scrollOffset += old - si.nPos;
    UpdateWindow(hwnd);
}

void OnCreate(HWND hwnd, HINSTANCE instance) {
    answerBox = CreateWindowExW(
        0, u"EDIT", u"", WS_CHILD | WS_VISIBLE | WS_BORDER | ES_AUTOHSCROLL | ES_NOHIDESEL, 10, 10,
        120, 19, hwnd, reinterpret_cast<HMENU>(kAnswer), instance, nullptr);
    SendMessageW(answerBox, EM_LIMITTEXT, 12, 0);
    answerProc = reinterpret_cast<WNDPROC>(
        SetWindowLongW(answerBox, GWL_WNDPROC, reinterpret_cast<LONG_PTR>(AnswerBoxProc)));
    CreateWindowExW(0, u"button", u"Next", WS_CHILD | WS_VISIBLE | BS_DEFPUSHBUTTON, 140, 9, 60, 21,
                    hwnd, reinterpret_cast<HMENU>(kNext), instance, nullptr);
    soundBox =
        CreateWindowExW(0, u"BUTTON", u"Sound", WS_CHILD | WS_VISIBLE | BS_AUTOCHECKBOX, 10, 40, 70,
                        16, hwnd, reinterpret_cast<HMENU>(kSound), instance, nullptr);
    CreateWindowExW(0, u"button", u"", WS_CHILD | WS_VISIBLE | WS_BORDER | BS_OWNERDRAW, 100, 38,
                    80, 21, hwnd, reinterpret_cast<HMENU>(kPicture), instance, nullptr);
    SetTimer(hwnd, 1, 1000, nullptr);

    SHMENUBARINFO mbi{};
    mbi.cbSize = 36;
    mbi.hwndParent = hwnd;
    mbi.nToolBarId = 102;
    mbi.hInstRes = instance;
    mbi.nBmpId = 421;
    mbi.cBmpImages = 3;
    SHCreateMenuBar(&mbi);
    menuBar = mbi.hwndMB;
    SipShowIM(SIPF_OFF);
}

LRESULT CALLBACK MainProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg != WM_CREATE && msg != WM_DESTROY) FollowInputPanel(hwnd);
    switch (msg) {
        case WM_CREATE:
            OnCreate(hwnd, reinterpret_cast<CREATESTRUCTW*>(lParam)->hInstance);
            return 0;
        case WM_SIZE: {
            pageHeight = HIWORD(lParam);
            SCROLLINFO si{sizeof si,
                          SIF_RANGE | SIF_PAGE | SIF_DISABLENOSCROLL,
                          0,
                          kTextTop + kLines * kLineStep - 1,
                          static_cast<UINT>(pageHeight),
                          0,
                          0};
            SetScrollInfo(hwnd, SB_VERT, &si, TRUE);
            return 0;
        }
        case WM_PAINT:
            Paint(hwnd);
            return 0;
        case WM_VSCROLL:
            Scroll(hwnd, LOWORD(wParam), static_cast<short>(HIWORD(wParam)));
            return 0;
        case WM_KEYDOWN:
            if (wParam == VK_DOWN) PostMessageW(hwnd, WM_VSCROLL, SB_LINEDOWN, 0);
            if (wParam == VK_UP) PostMessageW(hwnd, WM_VSCROLL, SB_LINEUP, 0);
            return 0;
        case WM_DRAWITEM: {
            auto* d = reinterpret_cast<DRAWITEMSTRUCT*>(lParam);
            const bool down = (d->itemState & ODS_SELECTED) != 0;
            FillRect(d->hDC, &d->rcItem,
                     static_cast<HBRUSH>(GetStockObject(down ? BLACK_BRUSH : LTGRAY_BRUSH)));
            SetBkMode(d->hDC, TRANSPARENT);
            SetTextColor(d->hDC, down ? RGB(255, 255, 255) : RGB(0, 0, 0));
            RECT r = d->rcItem;
            DrawTextW(d->hDC, u"Picture", -1, &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
            return TRUE;
        }
        case WM_COMMAND:
            if (LOWORD(wParam) >= kAbout && LOWORD(wParam) <= kHelp)
                Result().commands.push_back(LOWORD(wParam));
            switch (LOWORD(wParam)) {
                case kAbout:
                    MessageBoxW(hwnd, u"A sample program for the handheld.", u"About", MB_OK);
                    break;
                case kKeyboard:
                    SipShowIM((panelFlags & SIPF_ON) ? SIPF_OFF : SIPF_ON);
                    break;
                case kExit:
                    PostMessageW(hwnd, WM_CLOSE, 0, 0);
                    break;
                case kBack:
                    if (page > 0) --page;
                    ShowPageButtons();
                    break;
                case kForward:
                    if (page < 2) ++page;
                    ShowPageButtons();
                    break;
                case kNext:
                    Result().questions.push_back(
                        MessageBoxW(hwnd, u"Go on to the next page?", u"Sample", MB_YESNO));
                    break;
                case kSound:
                    Result().sound = static_cast<int>(SendMessageW(soundBox, BM_GETCHECK, 0, 0));
                    if (Result().sound == BST_CHECKED)
                        PlaySoundW(u"chime", nullptr, SND_RESOURCE | SND_ASYNC);
                    else
                        PlaySoundW(nullptr, nullptr, SND_FILENAME | SND_NODEFAULT | SND_ASYNC);
                    break;
                case kPicture:
                    ++Result().pictureClicks;
                    break;
                case kAnswer:
                    if (HIWORD(wParam) == EN_MAXTEXT && lParam == 0) {
                        char16_t text[13];
                        GetWindowTextW(answerBox, text, 13);
                        Result().answer = text;
                    }
                    break;
                default:
                    break;
            }
            return DefWindowProcW(hwnd, msg, wParam, lParam);
        case WM_TIMER:
            ++Result().ticks;
            return 0;
        case WM_DESTROY:
            Result().scrollPos = GetScrollPos(hwnd, SB_VERT);
            KillTimer(hwnd, 1);
            PostQuitMessage(0);
            return 0;
        default:
            return DefWindowProcW(hwnd, msg, wParam, lParam);
    }
}

}  // namespace

Seen& Result() {
    static Seen seen;
    return seen;
}

int SampleMain(HINSTANCE instance, int show) {
    Result() = Seen{};
    scrollOffset = 0;
    page = 0;
    panelFlags = 0;
    WNDCLASSW wc{};
    wc.lpfnWndProc = MainProc;
    wc.hInstance = instance;
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    wc.lpszClassName = u"SampleWindow";
    RegisterClassW(&wc);  // a second run finds it registered already
    // The window fills what the shell leaves visible, above the menu bar.
    SIPINFO si{};
    si.cbSize = 48;
    SHSipInfo(SPI_GETSIPINFO, 0, &si, 0);
    panelFlags = si.fdwFlags;
    mainWindow =
        CreateWindowExW(0, u"SampleWindow", u"Sample", WS_VISIBLE | WS_VSCROLL, CW_USEDEFAULT,
                        CW_USEDEFAULT, si.rcVisibleDesktop.right - si.rcVisibleDesktop.left,
                        HeightFor(si), nullptr, nullptr, instance, nullptr);
    if (!mainWindow) return -1;
    ShowWindow(mainWindow, show);
    UpdateWindow(mainWindow);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return static_cast<int>(msg.wParam);
}

}  // namespace sample
