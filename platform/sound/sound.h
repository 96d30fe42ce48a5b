// PlaySoundW's player. Every call is recorded (device::SoundLog); a sound is
// heard only once audio has been enabled (the SDL backend does that) and an
// audio device could be opened. Without one, sounds are recorded and nothing
// fails.
#pragma once

#include <cstdint>

namespace sound {

// Allows or forbids opening the audio device (forbidden by default, as under
// the headless backend). Forbidding closes a device that is open.
void EnableAudio(bool on);
// True while an audio device is open.
bool AudioOpen();
// Bytes of converted sound waiting in the device's queue, and the bytes the
// last started sound queued.
uint32_t QueuedBytes();
uint32_t LastQueuedBytes();

}  // namespace sound
