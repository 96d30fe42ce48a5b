// PlaySoundW's output in the browser: the RIFF/WAVE image handed to the
// page, which decodes it and plays it through Web Audio, a new sound
// replacing the one playing.
// Leaves out: sound before the person has first touched or typed on the page
// (browsers start audio only then): it is recorded and not heard.
// Differs: SND_SYNC returns at once (the browser decodes in the background),
// as on a device without audio; the bytes queued are the whole image while
// the page still decodes or plays it, nothing once it has ended.
#pragma once

#include "sound/sound.h"

namespace web {

class Audio : public sound::Output {
   public:
    bool Open() override;
    bool IsOpen() const override;
    bool Play(const unsigned char* wave, size_t size, bool wait) override;
    void Stop() override;
    uint32_t Queued() const override;
    uint32_t LastQueued() const override { return lastQueued_; }

   private:
    uint32_t lastQueued_ = 0;
};

}  // namespace web
