// The sound output over SDL audio in queue mode: RIFF/WAVE images decoded by
// SDL and converted to the device's format, one sound at a time. The device
// is opened on a thread of its own (probing the sound servers can take a
// good part of a second, which the first page, with its sound, would
// otherwise wait for); a sound started meanwhile plays once it is open. The
// thread is SDL's own, so the thread-local state SDL keeps for it (its last
// error) is freed when it ends.
#pragma once

#include <SDL.h>

#include <atomic>
#include <mutex>
#include <vector>

#include "sound/sound.h"

namespace sdl {

class Audio : public sound::Output {
   public:
    ~Audio() override;
    // Starts opening the device; true while it opens and once it is open.
    bool Open() override;
    bool IsOpen() const override { return device_ != 0; }
    bool Play(const unsigned char* wave, size_t size, bool wait) override;
    void Stop() override;
    uint32_t Queued() const override;
    uint32_t LastQueued() const override { return lastQueued_; }
    // Waits until the device has opened or failed to.
    void WaitForOpen();
    // Closes the audio device; the next sound may open it again.
    void Close();

   private:
    void OpenDevice();
    bool Queue(const unsigned char* wave, size_t size);  // with lock_ held

    std::mutex lock_;
    SDL_Thread* opener_ = nullptr;
    std::atomic<SDL_AudioDeviceID> device_{0};
    SDL_AudioSpec have_{};
    bool tried_ = false;
    bool failed_ = false;
    std::vector<unsigned char> pending_;  // the sound started while opening
    std::atomic<uint32_t> lastQueued_{0};
};

}  // namespace sdl
