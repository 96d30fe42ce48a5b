// Plays the shipped book from its first page as many simple readers would:
// each page is built through the engine, one of its choices (or the page
// arrow) is taken, and the choice's effect on the objects is applied the way
// a click applies it. The readers prefer choices that lead where readers have
// been least, so that together they reach every story page, which the
// explorer's bounded search cannot promise. Messages, dead ends and pages that
// change when built again are the explorer's, which judges every page alone.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <map>
#include <random>
#include <vector>

#include "base/app_state.h"
#include "book/state.h"
#include "book/tables.h"
#include "book/text_store.h"
#include "page/builder.h"
#include "script/engine.h"
#include "script/hotwords.h"
#include "shell/navigation.h"
#include "support/page_host.h"

namespace {

constexpr int kFirstStory = 48;

struct Choice {
    int16_t to;      // paragraph number
    int hotword;     // index in the hotword table, or -1 for the page arrow
    int answer = 0;  // answer boxes: 0 wrong, 1 to 3 the accepted answers
};

// The destinations a click could lead to, one entry per outcome.
std::vector<Choice> Choices() {
    std::vector<Choice> out;
    for (int i = 0; i < hotwordCount; ++i) {
        const HotwordRecord& h = hotwordTable[i];
        auto add = [&](int16_t reference, int answer = 0) {
            out.push_back({static_cast<int16_t>(reference + 1), i, answer});
        };
        switch (h.kind) {
            case 'g':
                break;  // side pages leave the story where it is
            case 'u':
                out.push_back(
                    {static_cast<int16_t>(checkpointSlots[h.objectIndex].paragraph + 1), i});
                break;
            case 'L':
                add(h.target1);
                add(h.target2);
                break;
            case 'd':
                add(h.target1);
                add(h.target2);
                if (h.threshold2 != 0) add(h.target3);
                if (h.threshold3 != 0) add(h.target4);
                break;
            case 'S':
                add(h.target2, 0);
                add(h.target1, 1);
                if (h.answer2[0]) add(h.target3, 2);
                if (h.answer3[0]) add(h.target4, 3);
                break;
            default:
                add(h.target1);
                break;
        }
    }
    if (nextArrowMode == 1) out.push_back({static_cast<int16_t>(nextArrowTarget + 1), -1});
    return out;
}

// Carries out the state change of the chosen hotword, as a click does.
void Apply(const Choice& c) {
    if (c.hotword < 0) return;
    const HotwordRecord& h = hotwordTable[c.hotword];
    switch (h.kind) {
        case 'N':
            SetObjectHeld(h.objectIndex, true);
            break;
        case 'Q':
            SetObjectHeld(h.objectIndex, false);
            break;
        case 'R':
            SetObjectValue(h.objectIndex, h.value);
            break;
        case 'u':
            RestoreCheckpoint(h.objectIndex);
            break;
        default:
            break;
    }
}

bool IsEnding(int16_t p) {
    AssembleParagraph(p, paragraphText);
    return std::strstr(paragraphText, "THE END") != nullptr ||
           std::strstr(paragraphText, "not a good ending") != nullptr;
}

TEST(FernvalePlay, ReadersReachEveryStoryPage) {
    ResetPageState();
    std::srand(20261206u);
    rollSeeded = true;
    soundOn = 0;
    ResetBookState();
    ClearCheckpoints();

    std::map<int16_t, int> visits;
    std::mt19937 rng(7);

    constexpr int kReaders = 2000;
    constexpr int kSteps = 400;
    for (int reader = 0; reader < kReaders; ++reader) {
        int16_t p = 2;
        for (int step = 0; step < kSteps; ++step) {
            BuildParagraph(p);
            ++visits[p];
            if (p >= kFirstStory && IsEnding(p)) {
                if (rng() % 3 == 0) break;  // some readers stop at an ending
                BuildParagraph(p);
            }
            std::vector<Choice> choices = Choices();
            ASSERT_FALSE(choices.empty()) << "paragraph " << p << " has no way on";
            // Least visited destination first; ties broken at random.
            std::shuffle(choices.begin(), choices.end(), rng);
            const Choice pick = rng() % 4 == 0
                                    ? choices[rng() % choices.size()]
                                    : *std::min_element(choices.begin(), choices.end(),
                                                        [&](const Choice& a, const Choice& b) {
                                                            return visits[a.to] < visits[b.to];
                                                        });
            Apply(pick);
            p = pick.to;
        }
    }

    std::vector<int> missed;
    for (int16_t p = kFirstStory; p <= paragraphCount; ++p)
        if (visits[p] == 0) missed.push_back(p);
    EXPECT_TRUE(missed.empty()) << "story pages no reader reached: "
                                << ::testing::PrintToString(missed);
}

}  // namespace
