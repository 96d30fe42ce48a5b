// PlaySoundW's output through SDL audio in queue mode: the resource's RIFF
// image is decoded by SDL and converted to the device's format.
#include <SDL.h>

#include <vector>

#include "sound/output.h"
#include "sound/sound.h"

namespace {

bool enabled = false;
bool triedOpen = false;
SDL_AudioDeviceID audio = 0;
SDL_AudioSpec have{};
uint32_t lastQueued = 0;

bool OpenDevice() {
    if (audio) return true;
    if (!enabled || triedOpen) return false;
    triedOpen = true;
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return false;
    SDL_AudioSpec want{};
    want.freq = 22050;
    want.format = AUDIO_S16SYS;
    want.channels = 2;
    want.samples = 1024;
    want.callback = nullptr;  // queue mode
    // SDL converts from this format to whatever the hardware takes.
    audio = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
    if (!audio) {
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return false;
    }
    SDL_PauseAudioDevice(audio, 0);
    return true;
}

void CloseDevice() {
    if (!audio) return;
    SDL_CloseAudioDevice(audio);
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    audio = 0;
}

// Decodes a RIFF/WAVE image and converts it to the device's format.
bool Convert(const resources::Data& data, std::vector<uint8_t>* out) {
    if (data.size > static_cast<size_t>(INT32_MAX)) return false;
    SDL_RWops* rw = SDL_RWFromConstMem(data.bytes, static_cast<int>(data.size));
    if (!rw) return false;
    SDL_AudioSpec wave{};
    Uint8* buffer = nullptr;
    Uint32 length = 0;
    if (!SDL_LoadWAV_RW(rw, 1, &wave, &buffer, &length)) return false;
    SDL_AudioCVT cvt{};
    const int need = SDL_BuildAudioCVT(&cvt, wave.format, wave.channels, wave.freq, have.format,
                                       have.channels, have.freq);
    bool ok = need >= 0;
    if (ok && need == 0) {
        out->assign(buffer, buffer + length);
    } else if (ok) {
        std::vector<uint8_t> work(static_cast<size_t>(length) * static_cast<size_t>(cvt.len_mult));
        std::copy(buffer, buffer + length, work.begin());
        cvt.buf = work.data();
        cvt.len = static_cast<int>(length);
        ok = SDL_ConvertAudio(&cvt) == 0;
        if (ok) out->assign(work.begin(), work.begin() + cvt.len_cvt);
    }
    SDL_FreeWAV(buffer);
    return ok;
}

}  // namespace

namespace sound {

void EnableAudio(bool on) {
    enabled = on;
    triedOpen = false;
    if (!on) CloseDevice();
}

bool AudioOpen() {
    return audio != 0;
}
uint32_t QueuedBytes() {
    return audio ? SDL_GetQueuedAudioSize(audio) : 0;
}
uint32_t LastQueuedBytes() {
    return lastQueued;
}

}  // namespace sound

namespace sound::output {

bool Open() {
    return OpenDevice();
}

bool Busy() {
    return audio && SDL_GetQueuedAudioSize(audio) > 0;
}

void Stop() {
    if (audio) SDL_ClearQueuedAudio(audio);
}

bool Play(const resources::Data& wave, bool wait) {
    std::vector<uint8_t> pcm;
    if (!audio || !Convert(wave, &pcm)) return false;
    SDL_ClearQueuedAudio(audio);
    lastQueued = static_cast<uint32_t>(pcm.size());
    if (SDL_QueueAudio(audio, pcm.data(), lastQueued) != 0) return false;
    if (wait) {
        // SND_SYNC: back when the sound has been handed to the hardware.
        // A device that stops taking sound cannot hold the program for
        // longer than the sound lasts, and a second.
        const uint64_t perSecond =
            static_cast<uint64_t>(have.freq) * have.channels * (SDL_AUDIO_BITSIZE(have.format) / 8);
        const uint64_t deadline =
            SDL_GetTicks64() + 1000 + (perSecond ? lastQueued * 1000ull / perSecond : 0);
        while (SDL_GetQueuedAudioSize(audio) > 0 && SDL_GetTicks64() < deadline) SDL_Delay(5);
    }
    return true;
}

}  // namespace sound::output
