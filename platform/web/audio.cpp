#include "web/audio.h"

extern "C" {
int fv_audio_open();
int fv_audio_busy();
void fv_audio_stop();
int fv_audio_play(const unsigned char* wave, int size);
}

namespace web {

// The page makes its audio context on the first touch or key; until then
// there is nothing to open.
bool Audio::Open() {
    return IsOpen();
}

bool Audio::IsOpen() const {
    return fv_audio_open() != 0;
}

bool Audio::Play(const unsigned char* wave, size_t size, bool) {
    if (!fv_audio_play(wave, static_cast<int>(size))) return false;
    lastQueued_ = static_cast<uint32_t>(size);
    return true;
}

void Audio::Stop() {
    fv_audio_stop();
}

uint32_t Audio::Queued() const {
    return fv_audio_busy() ? lastQueued_ : 0;
}

}  // namespace web
