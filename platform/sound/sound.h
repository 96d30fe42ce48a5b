// PlaySoundW's player. Every call is recorded (device::SoundLog); a sound is
// heard only once an output has been installed (the window's backend
// installs one over its audio) and it could open an audio device. Without
// one, sounds are recorded and nothing fails.
#pragma once

#include <cstddef>
#include <cstdint>

namespace sound {

// Where sounds are heard. One sound at a time: a new one replaces the one
// playing.
class Output {
   public:
    virtual ~Output() = default;
    // Opens the audio device if it is not open yet; false when there is none.
    virtual bool Open() = 0;
    virtual bool IsOpen() const = 0;
    // Replaces the sound playing with a RIFF/WAVE image; with `wait`, returns
    // once the sound has been handed to the device. False (the sound playing
    // left alone) when the image cannot be decoded.
    virtual bool Play(const unsigned char* wave, size_t size, bool wait) = 0;
    virtual void Stop() = 0;
    // Bytes of converted sound waiting to be played, and the bytes the last
    // sound started queued.
    virtual uint32_t Queued() const = 0;
    virtual uint32_t LastQueued() const = 0;
};

// Installs the output sounds go to (null: none, as under the headless
// backend). The caller keeps ownership.
void SetOutput(Output* output);
// True while an audio device is open.
bool AudioOpen();
uint32_t QueuedBytes();
uint32_t LastQueuedBytes();

}  // namespace sound
