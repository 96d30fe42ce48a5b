// PlaySoundW's output in the browser (sound/output.h).
// Implements: the RIFF/WAVE image handed to the page, which decodes it and
// plays it through Web Audio, a new sound replacing the one playing.
// Leaves out: sound before the person has first touched or typed on the page
// (browsers start audio only then): it is recorded and not heard.
// Differs: SND_SYNC returns at once (the browser decodes in the background),
// as on a device without audio.
#include "sound/output.h"

extern "C" {
int fv_audio_open();
int fv_audio_busy();
void fv_audio_stop();
int fv_audio_play(const unsigned char* wave, int size);
}

namespace sound::output {

bool Open() {
    return fv_audio_open() != 0;
}

bool Busy() {
    return fv_audio_busy() != 0;
}

void Stop() {
    fv_audio_stop();
}

bool Play(const resources::Data& wave, bool) {
    return fv_audio_play(wave.bytes, static_cast<int>(wave.size)) != 0;
}

}  // namespace sound::output
