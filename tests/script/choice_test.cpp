// Choice resolution: each hotword kind's effect and destination, chance rolls
// with injected results and typed answers. A tap on the page takes the whole
// road: the window procedure resolves it and navigates, and the new page is
// built and painted. The information page's buttons and the generator's
// seeding are the reader's scenarios' and walkthroughs' (their dumps change
// when either goes wrong).
#include "script/choice.h"

#include <cstdlib>
#include <cstring>
#include <string>

#include "base/app_state.h"
#include "book/state.h"
#include "book/tables.h"
#include "page/controls.h"
#include "script/engine.h"
#include "script/hotwords.h"
#include "shell/navigation.h"
#include "support/engine_fixture.h"
#include "windows.h"

namespace {

// Destinations as references: paragraphs 3, 4, 5 and 6 of the test book.
constexpr int16_t T1 = 2, T2 = 3, T3 = 4, T4 = 5;

class Choice : public EngineTest {
   protected:
    // The page holds one hotword, on button 5000.
    static HotwordRecord& Only(char kind) {
        hotwordCount = 1;
        HotwordRecord& h = hotwordTable[0];
        h = HotwordRecord{};
        h.kind = kind;
        h.controlId = 5000;
        h.target1 = T1;
        h.target2 = T2;
        h.target3 = T3;
        h.target4 = T4;
        return h;
    }
    // The next RandomNumber() % range + 1 will be `roll`.
    static void InjectRoll(int range, int roll) {
        for (unsigned seed = 1;; ++seed) {
            std::srand(seed);
            if (std::rand() % range + 1 == roll) {
                std::srand(seed);
                rollSeeded = true;
                return;
            }
        }
    }
    // The reference of the paragraph a choice leads to.
    static int16_t Went(const ChoiceDestination& to) {
        EXPECT_TRUE(to.leads);
        return static_cast<int16_t>(to.paragraph - 1);
    }
    // A tap on button 5000, through the window procedure.
    static void Tap() {
        choiceTaken = 0;
        SendMessageW(mainWindow, WM_COMMAND, MAKEWPARAM(HOTWORD_ID_BASE, BN_CLICKED), 0);
    }
};

TEST_F(Choice, ChanceOutOfTwentyTakesTheFirstTargetUpToTheChance) {
    const struct {
        int32_t chance;
        int roll;
        int16_t to;
    } cases[] = {{20, 20, T1}, {25, 20, T1}, {0, 1, T2}, {-3, 1, T2}, {10, 10, T1}, {10, 11, T2}};
    for (const auto& c : cases) {
        Only('L').value = c.chance;
        InjectRoll(20, c.roll);
        EXPECT_EQ(Went(ResolveChoice(5000, "")), c.to)
            << "chance " << c.chance << " roll " << c.roll;
    }
}

TEST_F(Choice, ChanceOutOfAHundredPicksTheGroupOfTheRoll) {
    const struct {
        int8_t second, third;
        int roll;
        int16_t to;
    } cases[] = {{80, 100, 1, T1},  {80, 100, 30, T1},  {80, 100, 31, T3}, {80, 100, 80, T3},
                 {80, 100, 81, T4}, {80, 100, 100, T4}, {80, 0, 81, T2},   {80, 0, 100, T2}};
    for (const auto& c : cases) {
        HotwordRecord& h = Only('d');
        h.value = 30;
        h.threshold2 = c.second;
        h.threshold3 = c.third;
        InjectRoll(100, c.roll);
        EXPECT_EQ(Went(ResolveChoice(5000, "")), c.to)
            << "roll " << c.roll << " third bound " << int{c.third};
    }
}

TEST_F(Choice, TypedAnswersMatchAcrossSpacesAndCase) {
    const struct {
        const char* typed;
        int16_t to;
    } cases[] = {
        {"open sesame", T1},
        {"Open SESAME", T1},
        {"  open   sesame ", T1},
        {"opensesame", T1},
        {"open", T2},
        {"open sesamex", T2},
        {"wrong", T2},
        {"", T2},
        {"   ", T2},
        {"sesame", T3},
        {"RING", T4},
        {"open sesame open sesame", T2},
    };
    for (const auto& c : cases) {
        HotwordRecord& h = Only('S');
        h.controlId = 4000;
        std::strcpy(h.answer1, "open sesame");
        std::strcpy(h.answer2, "Sesame");
        std::strcpy(h.answer3, "ring");
        EXPECT_EQ(Went(ResolveChoice(4000, c.typed)), c.to) << '"' << c.typed << '"';
    }
}

TEST_F(Choice, AnEmptyAnswerGoesToTheWrongAnswerTargetEvenWhenAnAnswerIsEmpty) {
    Only('S');  // no accepted answers written: "" would match answer1
    EXPECT_EQ(Went(ResolveChoice(5000, "")), T2);
    HotwordRecord& twice = Only('S');
    std::strcpy(twice.answer1, "gate");
    std::strcpy(twice.answer2, "GATE");
    EXPECT_EQ(Went(ResolveChoice(5000, "gate")),
              T1);  // the first accepted answer that matches wins
    EXPECT_NE(AnswersMatch("gate", nullptr), 0);
}

TEST_F(Choice, EffectsOnTheObjectsComeBeforeTheNewPage) {
    Only('N').objectIndex = 4;
    ResolveChoice(5000, "");
    EXPECT_EQ(ObjectHeld(4), 1);
    Only('Q').objectIndex = 4;
    ResolveChoice(5000, "");
    EXPECT_EQ(ObjectHeld(4), 0);
    HotwordRecord& set = Only('R');
    set.objectIndex = 5;  // a text object keeps the low byte
    set.value = 300;
    EXPECT_EQ(Went(ResolveChoice(5000, "")), T1);
    EXPECT_EQ(objectTable[5].current, 44);
}

TEST_F(Choice, StoryAndSidePagesFollowTheKind) {
    const struct {
        char kind;
        int32_t startInStory;
        int32_t inStoryAfter;
        int16_t storyAfter;  // paragraph number
    } cases[] = {{'M', 1, 1, T1 + 1}, {'M', 0, 0, 2}, {'g', 1, 0, 2}, {'m', 0, 1, T1 + 1}};
    for (const auto& c : cases) {
        inStory = c.startInStory;
        storyParagraph = 2;
        Only(c.kind);
        Tap();
        EXPECT_EQ(currentParagraph, T1 + 1) << c.kind;
        EXPECT_EQ(inStory, c.inStoryAfter) << c.kind << " from " << c.startInStory;
        EXPECT_EQ(storyParagraph, c.storyAfter) << c.kind << " from " << c.startInStory;
    }
}

TEST_F(Choice, ACheckpointRestoresEveryObjectAndGoesToItsPlaceAsAStoryPage) {
    SetObjectHeld(4, true);
    SetObjectValue(5, 2);
    storyParagraph = 7;
    SaveCheckpoint(1);
    ResetBookState();
    inStory = 0;
    Only('u').objectIndex = 1;
    Tap();
    EXPECT_EQ(ObjectHeld(4), 1);
    EXPECT_EQ(ObjectValue(5), 2);
    EXPECT_EQ(currentParagraph, 7);  // the slot's place, whatever target1 holds
    EXPECT_EQ(inStory, 1);
}

TEST_F(Choice, AClickMatchingNoHotwordChangesNothing) {
    Only('N').objectIndex = 4;
    EXPECT_FALSE(ResolveChoice(5001, "").leads);
    hotwordCount = 0;
    EXPECT_FALSE(ResolveChoice(5000, "").leads);
    EXPECT_EQ(ObjectHeld(4), 0);
}

}  // namespace
