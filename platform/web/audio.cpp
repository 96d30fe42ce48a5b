// PlaySoundW's output in the browser: the RIFF/WAVE image goes to the page,
// which plays it through Web Audio once the person has first touched the
// page (browsers start audio only then; sounds before that are recorded and
// not heard). The browser decodes in the background, so SND_SYNC returns at
// once, as on a device without audio.
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
