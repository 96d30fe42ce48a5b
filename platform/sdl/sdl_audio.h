// The sound output over SDL audio in queue mode: RIFF/WAVE images decoded by
// SDL and converted to the device's format, one sound at a time.
#pragma once

#include <SDL.h>

#include "sound/sound.h"

namespace sdl {

class Audio : public sound::Output {
   public:
    ~Audio() override;
    bool Open() override;
    bool IsOpen() const override { return device_ != 0; }
    bool Play(const unsigned char* wave, size_t size, bool wait) override;
    void Stop() override;
    uint32_t Queued() const override;
    uint32_t LastQueued() const override { return lastQueued_; }
    // Closes the audio device; the next sound may open it again.
    void Close();

   private:
    SDL_AudioDeviceID device_ = 0;
    SDL_AudioSpec have_{};
    bool triedOpen_ = false;
    uint32_t lastQueued_ = 0;
};

}  // namespace sdl
