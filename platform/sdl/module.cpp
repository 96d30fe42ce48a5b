// The window module's entry points (device/window.h): the SDL backend and
// its sound output, made when the program asks for a window.
#include <type_traits>

#include "device/window.h"
#include "sdl/desktop.h"
#include "sdl/sdl_audio.h"
#include "sdl/sdl_backend.h"
#include "sound/sound.h"

namespace {

sdl::Backend* window = nullptr;
sdl::Audio* audio = nullptr;

}  // namespace

extern "C" {

[[gnu::visibility("default")]] device::Backend* FernvaleOpenWindow(int scale, const char* title,
                                                                   std::string* error) {
    if (window) return window;
    auto* opened = new sdl::Backend;
    bool ok = false;
    {
        const sdl::QuietStart quiet;
        ok = opened->Open(scale, title, error);
    }
    if (!ok) {
        delete opened;
        return nullptr;
    }
    sdl::EndOnLostDisplay(title);
    window = opened;
    audio = new sdl::Audio;
    sound::SetOutput(audio);
    return window;
}

[[gnu::visibility("default")]] void FernvaleScaleWindow(int scale) {
    if (window) window->SetScale(scale);
}

[[gnu::visibility("default")]] void FernvaleCloseWindow() {
    sound::SetOutput(nullptr);
    delete audio;
    audio = nullptr;
    delete window;
    window = nullptr;
}
}

static_assert(std::is_same_v<decltype(&FernvaleOpenWindow), device::OpenWindowFunction>);
static_assert(std::is_same_v<decltype(&FernvaleCloseWindow), device::CloseWindowFunction>);
static_assert(std::is_same_v<decltype(&FernvaleScaleWindow), device::ScaleWindowFunction>);
