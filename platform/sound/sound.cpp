// PlaySoundW: WAVE resources played one at a time through the installed
// output.
//
// Implements: SND_RESOURCE (the resource's RIFF image), SND_ASYNC, a new
// sound replacing the one playing, a null name stopping it, SND_SYNC
// returning once the sound has been handed to the hardware.
//
// Leaves out: SND_LOOP (the sound plays once); SND_MEMORY and SND_FILENAME
// play nothing (a file name is not a resource) and return FALSE.
//
// Differs: nothing known.
#include "sound/sound.h"

#include "device/record.h"
#include "mmsystem.h"
#include "resources/resources.h"
#include "winbase.h"

namespace {

sound::Output* output = nullptr;

}  // namespace

namespace sound {

void SetOutput(Output* o) {
    if (output && output != o) output->Stop();
    output = o;
}

bool AudioOpen() {
    return output && output->IsOpen();
}
uint32_t QueuedBytes() {
    return AudioOpen() ? output->Queued() : 0;
}
uint32_t LastQueuedBytes() {
    return output ? output->LastQueued() : 0;
}

}  // namespace sound

BOOL PlaySoundW(LPCWSTR sound, HMODULE, DWORD flags) {
    if (!sound) {
        device::SoundLog().push_back(std::u16string());
        if (sound::AudioOpen()) output->Stop();
        return TRUE;
    }
    // SND_RESOURCE holds SND_MEMORY's bit: the whole value is tested first.
    const bool resource = (flags & SND_RESOURCE) == SND_RESOURCE;
    const bool named = reinterpret_cast<uintptr_t>(sound) > 0xFFFF;
    std::u16string logged;
    if (named) {
        logged = sound;
    } else {
        // MAKEINTRESOURCE(id): recorded as "#id"; sounds are found by name only.
        for (uintptr_t v = reinterpret_cast<uintptr_t>(sound); v; v /= 10)
            logged.insert(logged.begin(), static_cast<char16_t>(u'0' + v % 10));
        logged.insert(logged.begin(), u'#');
    }
    device::SoundLog().push_back(logged);
    resources::Data data;
    if (!resource || !named || !resources::FindSoundData(sound, &data)) {
        SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
        return FALSE;
    }
    if ((flags & SND_NOSTOP) && sound::QueuedBytes() > 0) return FALSE;
    if (!output || !output->Open()) return TRUE;  // recorded only
    return output->Play(data.bytes, data.size, !(flags & SND_ASYNC)) ? TRUE : FALSE;
}
