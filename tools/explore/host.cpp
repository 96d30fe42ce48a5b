#include "tools/explore/host.h"

#include <cstdint>

#include "base/app_state.h"
#include "device/record.h"
#include "entry/dump.h"
#include "headless/headless.h"
#include "shell/window.h"

namespace explore {

void OpenHost(bool visible) {
    device::SetBackend(&device::HeadlessBackend());
    device::SetMessageBoxAutoAnswer(true);
    device::SetMessageBoxAnswer(IDOK);
    if (visible) device::StartScreenRecording();
    appInstance = reinterpret_cast<HINSTANCE>(static_cast<uintptr_t>(0x10000));
    RegisterMainWindowClass(appInstance);
    mainWindow =
        CreateWindowExW(0, u"QOT1Fernvale", u"Fernvale", WS_VSCROLL | (visible ? WS_VISIBLE : 0), 0,
                        26, 240, 268, nullptr, nullptr, appInstance, nullptr);
    GetClientRect(mainWindow, &clientRect);
    device::MessageBoxLog().clear();
}

}  // namespace explore
