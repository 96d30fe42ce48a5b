// The process entry of the browser build: the store folder is the one the
// page filled from the browser's storage before the program started, the
// clock and the input come from the page, message boxes wait on the screen,
// and the device's keys, voice and look go around the program as on the
// desktop (their settings kept by the page). When the program ends, the page
// is told, and keeps the store folder.
#include <emscripten.h>

#include <memory>
#include <string>

#include "assist/assist.h"
#include "device/record.h"
#include "entry/dump.h"
#include "files/store.h"
#include "sound/sound.h"
#include "web/audio.h"
#include "web/backend.h"
#include "web/voice.h"
#include "windows.h"

extern "C" {
void fv_program_ended(int code);
int fv_setting(const char* name);
void fv_keep_setting(const char* name, int value);
}

int main() {
    // The page fills the store folder here before the program starts (app.js).
    device::SetStoreDirectory("/store");
    device::SetMessageBoxAutoAnswer(false);
    device::StartScreenRecording();
    static web::Backend browser;
    device::SetBackend(&browser);
    static web::Audio audio;
    sound::SetOutput(&audio);

    assist::Settings settings;
    settings.voice = fv_setting("voice") > 0;
    settings.highContrast = fv_setting("contrast") > 0;
    // The page scales the screen to the window itself; the browser's own zoom
    // stands for the scale keys.
    auto keep = [](const std::string& name, int value) {
        if (name != "scale") fv_keep_setting(name.c_str(), value);
    };
    std::string error;
    assist::Install(settings, std::make_unique<web::Voice>(), keep, &error);

    static char16_t commandLine[1] = {0};
    const int code = WinMain(reinterpret_cast<HINSTANCE>(static_cast<uintptr_t>(0x10000)), nullptr,
                             commandLine, SW_SHOW);
    assist::Uninstall();
    sound::SetOutput(nullptr);
    device::SetBackend(nullptr);
    fv_program_ended(code);
    return code;
}
