#include "shell/window.h"

#include "base/app_state.h"
#include "book/state.h"
#include "page/builder.h"
#include "page/controls.h"
#include "page/layout.h"
#include "page/line.h"
#include "script/choice.h"
#include "shell/builtin_pages.h"
#include "shell/commands.h"
#include "shell/navigation.h"
#include "shell/rebuild.h"

char answerText[ANSWER_TEXT_SIZE] = {};

namespace {

constexpr int MENU_BAR_HEIGHT = 26;
// Resources the window is made with (resources/resources.txt).
constexpr int APP_ICON = 420;
constexpr int MENU_BAR_ID = 102;  // the menu and the icon bar definition
constexpr int ICON_BAR_BITMAP = 421;
constexpr int ICON_BAR_IMAGES = 6;  // images 0 to 5: buttons naming 6, the blank, show none
constexpr int LINE_STEP = 16;       // pixels a line-up or line-down scrolls

void FollowInputPanel(HWND window) {
    SIPINFO info = {};
    info.cbSize = 48;
    SHSipInfo(SPI_GETSIPINFO, 0, &info, 0);
    if (info.fdwFlags == inputPanelFlags) return;
    inputPanelFlags = info.fdwFlags;
    const int height = PageHeightFor(info);
    pageHeight = height;
    SCROLLINFO scroll = {};
    scroll.cbSize = sizeof scroll;
    scroll.fMask = SIF_RANGE | SIF_PAGE;
    scroll.nMin = 0;
    scroll.nMax = scrollMax;
    scroll.nPage = static_cast<UINT>(height);
    SetScrollInfo(window, SB_VERT, &scroll, TRUE);
    SetWindowPos(window, HWND_TOP, 0, 0, info.rcVisibleDesktop.right - info.rcVisibleDesktop.left,
                 height, SWP_NOMOVE | SWP_NOOWNERZORDER);
    InvalidateRect(window, nullptr, TRUE);
    UpdateWindow(window);
}

LRESULT Scroll(HWND window, int code) {
    SCROLLINFO info = {};
    info.cbSize = sizeof info;
    info.fMask = SIF_ALL;
    GetScrollInfo(window, SB_VERT, &info);
    const int old = info.nPos;
    int pos = old;
    switch (code) {
        case SB_LINEUP:
            pos = old - LINE_STEP;
            break;
        case SB_LINEDOWN:
            pos = old + LINE_STEP;
            break;
        case SB_PAGEUP:
            pos = old - static_cast<int>(info.nPage);
            break;
        case SB_PAGEDOWN:
            pos = old + static_cast<int>(info.nPage);
            break;
        case SB_THUMBTRACK:
            pos = info.nTrackPos;
            break;
        case SB_TOP:
            pos = info.nMin;
            break;
        case SB_BOTTOM:
            pos = info.nMax;
            break;
        default:
            break;
    }
    info.fMask = SIF_POS | SIF_DISABLENOSCROLL;
    info.nPos = pos;
    SetScrollInfo(window, SB_VERT, &info, TRUE);
    info.fMask = SIF_ALL;
    GetScrollInfo(window, SB_VERT, &info);
    const int now = info.nPos;
    if (now == old) return 0;
    ScrollWindowEx(window, 0, old - now, &pageRect, &pageRect, nullptr, nullptr,
                   SW_SCROLLCHILDREN | SW_INVALIDATE | SW_ERASE);
    scrollOffset += old - now;
    UpdateWindow(window);
    return 0;
}

LRESULT OnKey(HWND window, WPARAM key, LPARAM lParam) {
    int code;
    switch (key) {
        case VK_PRIOR:
            code = SB_PAGEUP;
            break;
        case VK_NEXT:
            code = SB_PAGEDOWN;
            break;
        case VK_END:
            code = SB_BOTTOM;
            break;
        case VK_HOME:
            code = SB_TOP;
            break;
        case VK_UP:
            code = SB_LINEUP;
            break;
        case VK_DOWN:
            code = SB_LINEDOWN;
            break;
        default:
            return DefWindowProcW(window, WM_KEYDOWN, key, lParam);
    }
    PostMessageW(window, WM_VSCROLL, static_cast<WPARAM>(code), 0);
    return 0;
}

void FollowArrow(int mode, int16_t target) {
    if (mode == ARROW_PARAGRAPH)
        GoToParagraph(static_cast<int16_t>(target + 1), NAV_KEEP);
    else if (mode == ARROW_BUILT_IN_PAGE)
        ShowBuiltInPage(target);
}

void TakeSoundSetting() {
    soundOn = static_cast<uint8_t>(SendMessageW(buttonWindows[soundCheckBox], BM_GETCHECK, 0, 0));
    GoToParagraph(storyParagraph, NAV_STORY);
}

// The shell navigates where a choice leads.
void GoWhereChoiceLeads(const ChoiceDestination& to) {
    if (to.leads) GoToParagraph(to.paragraph, to.mode);
}

void ConfirmAnswer(int id) {
    const int n = id - EDIT_BOX_ID_BASE;
    if (n < 0 || n >= CONTROL_SLOTS) return;
    char16_t typed[ANSWER_TEXT_SIZE] = {};
    // The box never takes more than maxChars; the limit below keeps a damaged
    // record from reading or writing past either buffer.
    int limit = editBoxRecords[n].maxChars;
    if (limit < 0) limit = 0;
    if (limit > ANSWER_TEXT_SIZE - 1) limit = ANSWER_TEXT_SIZE - 1;
    GetWindowTextW(editBoxWindows[n], typed, limit + 1);
    for (int i = 0; i < limit; ++i) answerText[i] = static_cast<char>(typed[i] & 0xff);
    answerText[limit] = '\0';
    if (choiceTaken) return;
    choiceTaken = 1;
    GoWhereChoiceLeads(ResolveChoice(static_cast<int16_t>(id), answerText));
}

void OnCommand(HWND window, WPARAM wParam) {
    const int id = LOWORD(wParam);
    switch (id) {
        case CMD_BEGINNING:
            if (MessageBoxW(window, u"Do you really want to start again?", u"Beginning of Book",
                            MB_YESNO) == IDYES) {
                inStory = 1;
                ResetBookState();
                ClearCheckpoints();
                GoToParagraph(PARAGRAPH_BEGINNING, NAV_KEEP);
                layoutBold = 0;
            }
            break;
        case CMD_INFORMATION:
            inStory = 0;
            GoToParagraph(PARAGRAPH_INFORMATION, NAV_KEEP);
            break;
        case CMD_RESTART:
            inStory = 0;
            GoToParagraph(PARAGRAPH_RESTART, NAV_KEEP);
            break;
        case CMD_OBJECTIVE:
            inStory = 0;
            GoToParagraph(PARAGRAPH_OBJECTIVE, NAV_KEEP);
            break;
        case CMD_SOUNDS:
            inStory = 0;
            ShowBuiltInPage(PAGE_SOUND);
            break;
        case CMD_HINTS:
            inStory = 0;
            GoToParagraph(PARAGRAPH_HINTS, NAV_KEEP);
            break;
        case CMD_ABOUT:
            ShowBuiltInPage(PAGE_VERSION);
            inStory = 0;
            break;
        case CMD_CREDITS:
            inStory = 0;
            GoToParagraph(PARAGRAPH_CREDITS, NAV_KEEP);
            break;
        case CMD_EXIT:
            PostMessageW(window, WM_CLOSE, 0, 0);
            break;
        case CMD_RETURN:
            if (inStory) break;
            if (soundPageShowing)
                TakeSoundSetting();
            else
                GoToParagraph(storyParagraph, NAV_STORY);
            break;
        case CMD_NEXT:
            FollowArrow(nextArrowMode, nextArrowTarget);
            break;
        case CMD_PREVIOUS:
            FollowArrow(prevArrowMode, prevArrowTarget);
            break;
        case CMD_INSTRUCTIONS:
            inStory = 0;
            ShowBuiltInPage(PAGE_INSTRUCTIONS);
            break;
        case CMD_SOUND_OK:
            TakeSoundSetting();
            break;
        default:
            if (id >= HOTWORD_ID_BASE) {
                if (choiceTaken) break;
                choiceTaken = 1;
                GoWhereChoiceLeads(infoPageShowing
                                       ? ResolveInventoryChoice(static_cast<int16_t>(id))
                                       : ResolveChoice(static_cast<int16_t>(id), ""));
            } else if (id >= EDIT_BOX_ID_BASE && HIWORD(wParam) == ANSWER_CONFIRM) {
                ConfirmAnswer(id);
            }
            break;  // 401 and the blank buttons do nothing here
    }
}

void OnSize(HWND window, LPARAM lParam) {
    // Less the menu bar's allowance even though the client area already
    // excludes it: page steps then overlap by that much.
    pageHeight = HIWORD(lParam) - MENU_BAR_HEIGHT;
    SCROLLINFO scroll = {};
    scroll.cbSize = sizeof scroll;
    scroll.fMask = SIF_RANGE | SIF_PAGE | SIF_DISABLENOSCROLL;
    scroll.nMin = 0;
    scroll.nMax = scrollMax;
    scroll.nPage = static_cast<UINT>(pageHeight);
    SetScrollInfo(window, SB_VERT, &scroll, TRUE);
}

}  // namespace

// Docked and hidden, the visible desktop still includes the menu bar's strip.
int PageHeightFor(const SIPINFO& panel) {
    const int height = panel.rcVisibleDesktop.bottom - panel.rcVisibleDesktop.top;
    return panel.fdwFlags == SIPF_DOCKED ? height - MENU_BAR_HEIGHT : height;
}

void RegisterMainWindowClass(HINSTANCE instance) {
    WNDCLASSW wc = {};
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = MainWindowProc;
    wc.hInstance = instance;
    wc.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(APP_ICON));
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    wc.lpszClassName = MAIN_WINDOW_CLASS;
    RegisterClassW(&wc);
}

void CreateMenuBar(HWND window) {
    SHMENUBARINFO info = {};
    info.cbSize = 36;
    info.hwndParent = window;
    info.dwFlags = 0;
    info.nToolBarId = MENU_BAR_ID;
    info.hInstRes = appInstance;
    info.nBmpId = ICON_BAR_BITMAP;
    info.cBmpImages = ICON_BAR_IMAGES;
    if (!SHCreateMenuBar(&info))
        MessageBoxW(window, u"SHCreateMenuBar Failed to create a menu bar", u"Error", MB_OK);
    menuBar = info.hwndMB;
    SipShowIM(SIPF_OFF);
    inputPanelShown = 0;
    pageHasEditBox = 0;
}

LRESULT OnCreate(HWND window) {
    HDC dc = CreateCompatibleDC(nullptr);
    GetClientRect(window, &pageRect);
    CreateMenuBar(window);
    CreatePageFonts(dc);
    layoutBold = 0;
    DeleteDC(dc);
    return 0;
}

LRESULT MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    FollowInputPanel(window);
    switch (message) {
        case WM_CREATE:
            return OnCreate(window);
        case WM_DESTROY:
            ReleasePageFonts();
            return 0;
        case WM_SIZE:
            OnSize(window, lParam);
            return 0;
        case WM_PAINT:
            OnPaint(window);
            return 0;
        case WM_DRAWITEM:
            DrawPageButton(reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
            return DefWindowProcW(window, message, wParam, lParam);
        case WM_KEYDOWN:
            return OnKey(window, wParam, lParam);
        case WM_VSCROLL:
            return Scroll(window, LOWORD(wParam));
        case WM_TIMER:
            KillTimer(window, 1);
            pageDirty = 1;
            InvalidateRect(window, nullptr, TRUE);
            UpdateWindow(window);
            return DefWindowProcW(window, message, wParam, lParam);
        case WM_COMMAND:
            OnCommand(window, wParam);
            return DefWindowProcW(window, message, wParam, lParam);
        default:
            return DefWindowProcW(window, message, wParam, lParam);
    }
}

LRESULT EditBoxProc(HWND box, UINT message, WPARAM wParam, LPARAM lParam) {
    const int id = static_cast<int>(GetWindowLongW(box, GWL_ID));
    if (message == WM_KEYDOWN) {
        if (wParam == VK_TAB || wParam == VK_RETURN) {
            SendMessageW(mainWindow, WM_COMMAND, MAKEWPARAM(id, ANSWER_CONFIRM), 0);
            return 0;
        }
        if (wParam == VK_UP || wParam == VK_DOWN) {
            SendMessageW(mainWindow, WM_VSCROLL, wParam == VK_UP ? SB_LINEUP : SB_LINEDOWN, 0);
            return 0;
        }
    }
    const int n = id - EDIT_BOX_ID_BASE;
    // A box always carries its own id; one that does not has no previous
    // procedure to pass to, so the default procedure takes the message.
    if (n < 0 || n >= CONTROL_SLOTS || !editBoxRecords[n].previousProc)
        return DefWindowProcW(box, message, wParam, lParam);
    return CallWindowProcW(editBoxRecords[n].previousProc, box, message, wParam, lParam);
}
