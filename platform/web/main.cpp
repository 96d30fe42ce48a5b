// The process entry of the browser build: the store folder is the one the
// page filled from the browser's storage before the program started, the
// clock and the input come from the page, message boxes wait on the screen.
// When the program ends, the page is told, and keeps the store folder.
#include <emscripten.h>

#include "device/record.h"
#include "entry/dump.h"
#include "files/store.h"
#include "web/backend.h"
#include "windows.h"

extern "C" void fv_program_ended(int code);

int main() {
    // The page fills the store folder here before the program starts (app.js).
    device::SetStoreDirectory("/store");
    device::SetMessageBoxAutoAnswer(false);
    device::StartScreenRecording();
    static web::Backend browser;
    device::SetBackend(&browser);

    static char16_t commandLine[1] = {0};
    const int code = WinMain(reinterpret_cast<HINSTANCE>(static_cast<uintptr_t>(0x10000)), nullptr,
                             commandLine, SW_SHOW);
    device::SetBackend(nullptr);
    fv_program_ended(code);
    return code;
}
