#include "support/page_host.h"

#include "aygshell.h"
#include "base/app_state.h"
#include "book/state.h"
#include "device/record.h"
#include "headless/headless.h"
#include "page/builder.h"
#include "page/layout.h"
#include "page/line.h"
#include "script/engine.h"
#include "script/hotwords.h"
#include "shell/navigation.h"
#include "shell/reader_state.h"
#include "shell/rebuild.h"
#include "shell/window.h"
#include "wm/wm.h"

HWND OpenPageHost() {
    // Destroy the last host's controls while their handles are still its own.
    if (mainWindow) ClearPage(mainWindow);
    wm::ResetForTests();
    device::HeadlessBackend().Reset();
    device::SetBackend(&device::HeadlessBackend());
    static const bool registered = (RegisterMainWindowClass(appInstance), true);
    (void)registered;
    // As at program start: the input panel down, the scroll range's first value.
    SipShowIM(SIPF_OFF);
    scrollMax = 400;
    inputPanelShown = 0;
    inputPanelFlags = 0;
    pageDirty = 0;  // nothing to build until a test asks
    mainWindow =
        CreateWindowExW(0, u"QOT1Fernvale", u"Page", WS_VISIBLE | WS_VSCROLL, CW_USEDEFAULT,
                        CW_USEDEFAULT, 240, 268, nullptr, nullptr, appInstance, nullptr);
    GetClientRect(mainWindow, &clientRect);
    return mainWindow;
}

void BuildParagraph(int16_t p) {
    ResetReader();
    currentParagraph = storyParagraph = p;
    RebuildPage(mainWindow);
}

void ResetPageState() {
    OpenPageHost();
    ClearPage(mainWindow);
    ResetReader();
    drawBold = 0;
    alignment = 0;
    lineHeight = 0;
    lastCondition = 1;
    hotwordCount = 0;
    ResetBookState();
    ClearCheckpoints();
    soundOn = 1;
    scrollOffset = 0;
    lastContentHeight = lastPageHeight = 0;
    inputPanelShown = 0;
    device::MessageBoxLog().clear();
    device::SoundLog().clear();
}

void DrainMessages() {
    MSG msg;
    for (int guard = 0; guard < 100000 && PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE); ++guard) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}
