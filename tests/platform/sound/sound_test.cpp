// PlaySoundW: flag decoding, recording, and playback through the window
// module's output on SDL's dummy audio driver (open, queue, replace, stop).
#include "sound/sound.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "device/record.h"
#include "resources/resources.h"
#include "sdl/sdl_audio.h"
#include "windows.h"

namespace {

sdl::Audio audio;

// With audio, the device is opened first (it opens in the background).
void UseAudio(bool on) {
    audio.Close();
    sound::SetOutput(on ? &audio : nullptr);
    if (!on) return;
    audio.Open();
    audio.WaitForOpen();
}

TEST(Sound, FlagsAndNamesWithoutAudio) {
    UseAudio(false);
    device::SoundLog().clear();
    struct Case {
        LPCWSTR name;
        DWORD flags;
        BOOL result;
        const char16_t* logged;
    } cases[] = {
        {u"Gong", SND_RESOURCE | SND_ASYNC, TRUE, u"Gong"},
        {u"gONG", SND_RESOURCE | SND_ASYNC | SND_NODEFAULT, TRUE,
         u"gONG"},                                            // names match without case
        {u"Gong", SND_MEMORY | SND_ASYNC, FALSE, u"Gong"},    // only the memory bit: not a resource
        {u"Gong", SND_FILENAME | SND_ASYNC, FALSE, u"Gong"},  // a file name is not a resource
        {u"Missing", SND_RESOURCE | SND_ASYNC, FALSE, u"Missing"},
        {reinterpret_cast<LPCWSTR>(static_cast<uintptr_t>(42)), SND_RESOURCE, FALSE, u"#42"},
        {nullptr, SND_FILENAME | SND_NODEFAULT | SND_ASYNC, TRUE, u""},
        {nullptr, 0, TRUE, u""},
    };
    for (const Case& c : cases) {
        device::SoundLog().clear();
        EXPECT_EQ(PlaySoundW(c.name, nullptr, c.flags), c.result) << device::Narrow(c.logged);
        ASSERT_EQ(device::SoundLog().size(), 1u);
        EXPECT_EQ(device::SoundLog()[0], c.logged);
    }
    EXPECT_FALSE(sound::AudioOpen()) << "the headless device opens no audio device";
}

TEST(Sound, PlaysReplacesAndStopsThroughSdlAudio) {
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    UseAudio(true);
    device::SoundLog().clear();
    ASSERT_TRUE(PlaySoundW(u"Gong", nullptr, SND_RESOURCE | SND_ASYNC));
    if (!sound::AudioOpen()) GTEST_SKIP() << "no dummy audio driver in this SDL";
    const uint32_t one = sound::LastQueuedBytes();
    EXPECT_GT(one, 0u);
    EXPECT_LE(sound::QueuedBytes(), one);
    // A new sound replaces the one playing: the queue never holds two.
    ASSERT_TRUE(PlaySoundW(u"Gong", nullptr, SND_RESOURCE | SND_ASYNC));
    EXPECT_EQ(sound::LastQueuedBytes(), one);
    EXPECT_LE(sound::QueuedBytes(), one);
    EXPECT_GT(sound::QueuedBytes(), 0u);
    // A sound that is not there leaves the playing one alone.
    EXPECT_FALSE(PlaySoundW(u"Missing", nullptr, SND_RESOURCE | SND_ASYNC));
    EXPECT_GT(sound::QueuedBytes(), 0u);
    // SND_SYNC returns when the sound has gone to the device.
    ASSERT_TRUE(PlaySoundW(u"Gong", nullptr, SND_RESOURCE | SND_SYNC));
    EXPECT_EQ(sound::QueuedBytes(), 0u);
    ASSERT_TRUE(PlaySoundW(u"Gong", nullptr, SND_RESOURCE | SND_ASYNC));
    // A null name stops it.
    EXPECT_TRUE(PlaySoundW(nullptr, nullptr, SND_FILENAME | SND_NODEFAULT | SND_ASYNC));
    EXPECT_EQ(sound::QueuedBytes(), 0u);
    ASSERT_EQ(device::SoundLog().size(), 6u);
    EXPECT_EQ(device::SoundLog()[5], u"");
    UseAudio(false);
    EXPECT_FALSE(sound::AudioOpen());
    EXPECT_EQ(sound::QueuedBytes(), 0u);
}

// Damaged WAVE images, registered as resources of their own: refused with
// FALSE, nothing queued, the device still usable.
const unsigned char kGarbage[] = {'R', 'I', 'F', 'F', 0xFF, 0xFF, 0xFF, 0x7F,
                                  'W', 'A', 'V', 'E', 'j',  'u',  'n',  'k'};
const unsigned char kNoData[] = {'R',  'I',  'F', 'F', 36,   0,    0, 0, 'W', 'A', 'V', 'E',
                                 'f',  'm',  't', ' ', 16,   0,    0, 0, 1,   0,   1,   0,
                                 0x22, 0x56, 0,   0,   0x44, 0xAC, 0, 0, 2,   0,   16,  0};
const resources::FileEntry kBroken[] = {{0, u"Garbage", kGarbage, sizeof kGarbage},
                                        {0, u"NoData", kNoData, sizeof kNoData},
                                        {0, u"Empty", kNoData, 0}};
const resources::Table kBrokenTable = {"sound_test", nullptr, 0,       kBroken, 3,       nullptr, 0,
                                       nullptr,      0,       nullptr, 0,       nullptr, 0};

TEST(Sound, DamagedWavesAreRefused) {
    static bool registered = false;
    if (!registered) resources::Register(&kBrokenTable);
    registered = true;
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    UseAudio(true);
    for (const char16_t* name : {u"Garbage", u"NoData", u"Empty"}) {
        PlaySoundW(nullptr, nullptr, 0);
        EXPECT_FALSE(PlaySoundW(name, nullptr, SND_RESOURCE | SND_ASYNC)) << device::Narrow(name);
        EXPECT_EQ(sound::QueuedBytes(), 0u);
    }
    if (sound::AudioOpen()) {
        EXPECT_TRUE(PlaySoundW(u"Gong", nullptr, SND_RESOURCE | SND_ASYNC));
        EXPECT_GT(sound::QueuedBytes(), 0u);
    }
    UseAudio(false);
}

}  // namespace
