// The program's rendered pictures and sounds, read back from its embedded
// resources: every id that the book's tables and the program name is there in
// the right form, the pictures keep their size limits and are real pictures,
// and every sound is clean PCM at one level.
#include <SDL.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <map>
#include <regex>
#include <set>
#include <string>
#include <vector>

#include "book/tables.h"
#include "book/text_store.h"
#include "resources/resources.h"

namespace {

constexpr int kPageWidth = 219;  // the page between its margins
constexpr int kSmallWidth = 104, kSmallHeight = 64;
constexpr int kRate = 22050;

struct Picture {
    uint16_t id;
    std::shared_ptr<gdi::Surface> surface;
    int depth = 0;
};

Picture LoadPicture(uint16_t id, bool icon = false) {
    Picture p{id, nullptr, 0};
    resources::Data data;
    if (icon ? resources::FindIconData(id, &data) : resources::FindBitmapData(id, &data))
        p.surface = resources::DecodeBmp(data.bytes, data.size, &p.depth);
    return p;
}

std::vector<uint16_t> BookImageIds() {
    std::vector<uint16_t> ids;
    for (int i = 0; i < imageCount; ++i) ids.push_back(imageTable[i].resourceId);
    return ids;
}

// Images that a paragraph shows inside a line or as a picture button.
std::set<uint16_t> SmallImageIds() {
    std::set<uint16_t> ids;
    static const std::regex kUse(R"(<v ?(\d+)>|<M ?\$(\d+))");
    static char text[PARAGRAPH_TEXT_SIZE];
    for (int16_t p = 1; p <= paragraphCount; ++p) {
        if (!ParagraphHasText(p)) continue;
        AssembleParagraph(p, text);
        const std::string s(text);
        for (std::sregex_iterator m(s.begin(), s.end(), kUse), end; m != end; ++m)
            ids.insert(imageTable[std::stoi((*m)[1].matched ? (*m)[1] : (*m)[2])].resourceId);
    }
    return ids;
}

std::vector<Picture> AllPictures() {
    std::vector<Picture> all;
    for (uint16_t id : BookImageIds()) all.push_back(LoadPicture(id));
    for (uint16_t id : {421, 1101, 1102, 1103, 1104, 1105, 1106})
        all.push_back(LoadPicture(static_cast<uint16_t>(id)));
    all.push_back(LoadPicture(420, true));
    return all;
}

TEST(Pictures, EveryIdIsAPictureWithinItsLimits) {
    const std::set<uint16_t> small = SmallImageIds();
    EXPECT_FALSE(small.empty());
    for (const Picture& p : AllPictures()) {
        SCOPED_TRACE(p.id);
        ASSERT_TRUE(p.surface);
        EXPECT_LE(p.surface->width, kPageWidth);
        if (small.count(p.id)) {
            EXPECT_LE(p.surface->width, kSmallWidth);
            EXPECT_LE(p.surface->height, kSmallHeight);
        }
    }
    const Picture strip = LoadPicture(421);
    EXPECT_EQ(strip.surface->width, 112);
    EXPECT_EQ(strip.surface->height, 16);
    EXPECT_EQ(strip.depth, 1);
    for (uint16_t id = 1101; id <= 1106; ++id) EXPECT_EQ(LoadPicture(id).depth, 24) << id;
    const Picture icon = LoadPicture(420, true);
    EXPECT_EQ(icon.surface->width, 32);
    EXPECT_EQ(icon.surface->height, 32);
}

TEST(Pictures, NoneIsOneColourAndNoTwoAreTheSame) {
    const std::vector<Picture> all = AllPictures();
    for (size_t i = 0; i < all.size(); ++i) {
        ASSERT_TRUE(all[i].surface) << all[i].id;
        const std::vector<uint32_t>& px = all[i].surface->pixels;
        EXPECT_NE(std::count(px.begin(), px.end(), px.front()), static_cast<long>(px.size()))
            << all[i].id << " is a single colour";
        for (size_t j = 0; j < i; ++j)
            EXPECT_FALSE(all[j].surface->width == all[i].surface->width &&
                         all[j].surface->pixels == px)
                << all[i].id << " is the same picture as " << all[j].id;
    }
}

// --- Sounds ------------------------------------------------------------------

// The samples of a sound, decoded as the player decodes it; empty unless it is
// 16-bit mono PCM at the device's rate.
std::vector<int16_t> Samples(const resources::Data& d) {
    SDL_AudioSpec format;
    Uint8* buffer = nullptr;
    Uint32 length = 0;
    SDL_RWops* rw = SDL_RWFromConstMem(d.bytes, static_cast<int>(d.size));
    if (!SDL_LoadWAV_RW(rw, 1, &format, &buffer, &length)) return {};
    std::vector<int16_t> samples;
    if (format.format == AUDIO_S16LSB && format.channels == 1 && format.freq == kRate) {
        samples.resize(length / 2);
        std::memcpy(samples.data(), buffer, samples.size() * 2);
    }
    SDL_FreeWAV(buffer);
    return samples;
}

double Db(double amplitude) {
    return 20 * std::log10(std::max(amplitude, 1e-9) / 32768.0);
}

double Peak(const std::vector<int16_t>& s, size_t from, size_t to) {
    int peak = 0;
    for (size_t i = from; i < to; ++i) peak = std::max(peak, std::abs(static_cast<int>(s[i])));
    return peak;
}

// The loudest 400 ms stretch's RMS level: how loud the sound seems at its
// height, which is what should match from one sound to the next.
double LoudestRms(const std::vector<int16_t>& s) {
    const size_t window = kRate * 4 / 10;
    double best = 0;
    for (size_t from = 0; from + window <= s.size(); from += window / 4) {
        double sum = 0;
        for (size_t i = from; i < from + window; ++i) sum += static_cast<double>(s[i]) * s[i];
        best = std::max(best, std::sqrt(sum / window));
    }
    return best;
}

TEST(Sounds, EverySoundIsCleanMonoPcmAtOneLevel) {
    std::map<std::string, double> loudness;
    for (int i = 0; i < 14; ++i) {
        const std::u16string name(soundTable[i]);
        const std::string shown(name.begin(), name.end());
        SCOPED_TRACE(shown);
        resources::Data data;
        ASSERT_TRUE(resources::FindSoundData(name, &data));
        const std::vector<int16_t> samples = Samples(data);
        const double seconds = static_cast<double>(samples.size()) / kRate;
        EXPECT_GE(seconds, 0.3);
        EXPECT_LE(seconds, 4.0);
        ASSERT_GT(samples.size(), static_cast<size_t>(kRate / 10)) << "16-bit mono PCM, 22,050 Hz";
        EXPECT_NEAR(Db(Peak(samples, 0, samples.size())), -3.0, 0.5);
        const size_t edge = kRate / 500;  // the first and last 2 ms
        EXPECT_LT(Db(Peak(samples, 0, edge)), -30.0) << "starts with a click";
        EXPECT_LT(Db(Peak(samples, samples.size() - edge, samples.size())), -30.0)
            << "ends with a click";
        loudness[shown] = Db(LoudestRms(samples));
    }
    std::vector<double> levels;
    for (const auto& [name, level] : loudness) levels.push_back(level);
    std::sort(levels.begin(), levels.end());
    const double median = levels[levels.size() / 2];
    for (const auto& [name, level] : loudness)
        EXPECT_NEAR(level, median, 3.0) << name << " is louder or softer than the others";
}

}  // namespace
