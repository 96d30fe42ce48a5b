#include "sdl/sdl_audio.h"

#include <vector>

namespace sdl {
namespace {

// Decodes a RIFF/WAVE image and converts it to the device's format.
bool Convert(const unsigned char* bytes, size_t size, const SDL_AudioSpec& have,
             std::vector<uint8_t>* out) {
    if (size > static_cast<size_t>(INT32_MAX)) return false;
    SDL_RWops* rw = SDL_RWFromConstMem(bytes, static_cast<int>(size));
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

Audio::~Audio() {
    Close();
}

bool Audio::Open() {
    std::lock_guard<std::mutex> hold(lock_);
    if (!tried_) {
        tried_ = true;
        opener_ = SDL_CreateThread(
            [](void* audio) {
                static_cast<Audio*>(audio)->OpenDevice();
                return 0;
            },
            "audio opener", this);
        failed_ = opener_ == nullptr;
    }
    return !failed_;
}

void Audio::OpenDevice() {
    SDL_AudioDeviceID opened = 0;
    SDL_AudioSpec have{};
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) == 0) {
        SDL_AudioSpec want{};
        want.freq = 22050;
        want.format = AUDIO_S16SYS;
        want.channels = 2;
        want.samples = 1024;
        want.callback = nullptr;  // queue mode
        // SDL converts from this format to whatever the hardware takes.
        opened = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
        if (!opened) SDL_QuitSubSystem(SDL_INIT_AUDIO);
    }
    std::lock_guard<std::mutex> hold(lock_);
    failed_ = !opened;
    have_ = have;
    device_ = opened;
    if (!opened) return;
    SDL_PauseAudioDevice(opened, 0);
    if (!pending_.empty()) Queue(pending_.data(), pending_.size());
    pending_.clear();
}

void Audio::WaitForOpen() {
    if (!opener_) return;
    SDL_WaitThread(opener_, nullptr);
    opener_ = nullptr;
}

void Audio::Close() {
    WaitForOpen();
    std::lock_guard<std::mutex> hold(lock_);
    tried_ = failed_ = false;
    pending_.clear();
    if (!device_) return;
    SDL_CloseAudioDevice(device_);
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    device_ = 0;
}

bool Audio::Queue(const unsigned char* wave, size_t size) {
    std::vector<uint8_t> pcm;
    if (!Convert(wave, size, have_, &pcm)) return false;
    SDL_ClearQueuedAudio(device_);
    lastQueued_ = static_cast<uint32_t>(pcm.size());
    return SDL_QueueAudio(device_, pcm.data(), lastQueued_) == 0;
}

bool Audio::Play(const unsigned char* wave, size_t size, bool wait) {
    if (wait) WaitForOpen();
    std::unique_lock<std::mutex> hold(lock_);
    if (!device_) {
        if (failed_) return false;
        // Still opening: kept to play once open, if it can be decoded.
        SDL_AudioSpec format{};
        Uint8* buffer = nullptr;
        Uint32 length = 0;
        SDL_RWops* rw = size <= static_cast<size_t>(INT32_MAX)
                            ? SDL_RWFromConstMem(wave, static_cast<int>(size))
                            : nullptr;
        if (!rw || !SDL_LoadWAV_RW(rw, 1, &format, &buffer, &length)) return false;
        SDL_FreeWAV(buffer);
        pending_.assign(wave, wave + size);
        return true;
    }
    if (!Queue(wave, size)) return false;
    const SDL_AudioDeviceID device = device_;
    const uint64_t perSecond =
        static_cast<uint64_t>(have_.freq) * have_.channels * (SDL_AUDIO_BITSIZE(have_.format) / 8);
    hold.unlock();
    if (wait) {
        // Back when the sound has been handed to the hardware. A device that
        // stops taking sound cannot hold the program for longer than the
        // sound lasts, and a second.
        const uint64_t deadline =
            SDL_GetTicks64() + 1000 + (perSecond ? lastQueued_ * 1000ull / perSecond : 0);
        while (SDL_GetQueuedAudioSize(device) > 0 && SDL_GetTicks64() < deadline) SDL_Delay(5);
    }
    return true;
}

void Audio::Stop() {
    std::lock_guard<std::mutex> hold(lock_);
    pending_.clear();
    if (device_) SDL_ClearQueuedAudio(device_);
}

uint32_t Audio::Queued() const {
    return device_ ? SDL_GetQueuedAudioSize(device_) : 0;
}

}  // namespace sdl
