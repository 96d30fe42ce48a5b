// Where PlaySoundW's sounds are heard: one output per build of the device,
// chosen when it is linked (SDL audio, sdl_output.cpp; the browser's Web
// Audio, in platform/web). Internal to the sound layer and its outputs.
#pragma once

#include "resources/resources.h"

namespace sound::output {

// Opens the output the first time a sound is to be heard; false when there
// is none (sounds are then only recorded).
bool Open();
// True while a sound started earlier is still playing (SND_NOSTOP).
bool Busy();
// Stops the sound playing, if any.
void Stop();
// Starts a RIFF/WAVE image in place of the sound playing; with `wait`, returns
// once the sound has been handed to the hardware. False when the image cannot
// be played.
bool Play(const resources::Data& wave, bool wait);

}  // namespace sound::output
