#include "support/page_host.h"

#include "book/state.h"
#include "device/headless.h"
#include "device/record.h"
#include "page/builder.h"
#include "page/controls.h"
#include "page/layout.h"
#include "page/line.h"
#include "script/choice.h"
#include "script/engine.h"
#include "script/hotwords.h"
#include "shell/app_state.h"
#include "shell/navigation.h"
#include "wm/wm.h"

namespace {

LRESULT CALLBACK HostProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_PAINT: PaintPage(window); return 0;
        case WM_DRAWITEM: DrawPageButton(reinterpret_cast<const DRAWITEMSTRUCT*>(lParam)); break;
        case WM_COMMAND: {
            const auto id = static_cast<int16_t>(LOWORD(wParam));
            if (id >= HOTWORD_ID_BASE && !choiceTaken) {
                choiceTaken = 1;
                if (infoPageShowing)
                    ResolveInventoryChoice(id);
                else
                    ResolveChoice(id, "");
            }
            break;
        }
        default: break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

HWND OpenPageHost() {
    // Destroy the last host's controls while their handles are still its own.
    if (mainWindow) ClearPage(mainWindow);
    wm::ResetForTests();
    device::HeadlessBackend().Reset();
    static bool registered = false;
    if (!registered) {
        WNDCLASSW wc{};
        wc.style = CS_HREDRAW | CS_VREDRAW;
        wc.lpfnWndProc = HostProc;
        wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
        wc.lpszClassName = u"PageHost";
        registered = RegisterClassW(&wc) != 0;
    }
    pageHeight = 268;
    pageDirty = 0;  // nothing to build until a test asks
    mainWindow = CreateWindowExW(0, u"PageHost", u"Page", WS_VISIBLE | WS_VSCROLL, 0, 26, 240, pageHeight, nullptr,
                                 nullptr, appInstance, nullptr);
    GetClientRect(mainWindow, &pageRect);
    GetClientRect(mainWindow, &clientRect);
    if (normalFont) DeleteObject(normalFont);
    if (boldFont) DeleteObject(boldFont);
    HDC dc = CreateCompatibleDC(nullptr);
    CreatePageFonts(dc);
    DeleteDC(dc);
    return mainWindow;
}

void BuildParagraph(int16_t p) {
    builderBold = 0;
    titleMode = 0;
    skipCount = 0;
    currentParagraph = storyParagraph = p;
    inStory = 1;
    pendingBuiltInPage = 0;
    RebuildPage(mainWindow);
}

void ResetPageState() {
    OpenPageHost();
    ClearPage(mainWindow);
    builderBold = 0;
    layoutBold = 0;
    drawBold = 0;
    alignment = 0;
    lineHeight = 0;
    titleMode = 0;
    skipCount = 0;
    lastCondition = 1;
    hotwordCount = 0;
    ResetBookState();
    ClearCheckpoints();
    soundOn = 1;
    currentParagraph = storyParagraph = 2;
    inStory = 1;
    pendingBuiltInPage = 0;
    scrollOffset = 0;
    lastContentHeight = lastPageHeight = 0;
    inputPanelShown = 0;
    device::MessageBoxLog().clear();
    device::SoundLog().clear();
}
