// The book state: values, shown values, the tables' bounds, and what reset and
// clear leave. A checkpoint's save and restore are the choice tests' (its
// hotword) and the checkpoint scenario's (the file it leaves).
#include "book/state.h"

#include "shell/navigation.h"
#include "support/engine_fixture.h"

namespace {

class BookState : public EngineTest {};

constexpr int LAMP = 1, COINS = 2, SKETCHES = 3, FEATHER = 4, ROPE = 5, GOLD = 6, COUNTER = 7;

TEST_F(BookState, ClampKeepsValuesInRangeAndTheMinimumWins) {
    EXPECT_EQ(ClampObjectValue(COINS, 50), 9);
    EXPECT_EQ(ClampObjectValue(COINS, -3), 0);
    EXPECT_EQ(ClampObjectValue(COINS, 4), 4);
    EXPECT_EQ(ClampObjectValue(GOLD, 2), 5);
    EXPECT_EQ(ClampObjectValue(FEATHER, 3), 0);  // count 0, minimum 0
    EXPECT_EQ(ClampObjectValue(FEATHER, -3), 0);
    objectTable[FEATHER].minimum = 2;  // a minimum above count - 1 wins
    EXPECT_EQ(ClampObjectValue(FEATHER, 1), 2);
    objectTable[FEATHER].minimum = 0;
}

TEST_F(BookState, ValuesAreStoredInTheStateBytes) {
    SetObjectValue(ROPE, 300);
    EXPECT_EQ(objectTable[ROPE].current, 44);
    EXPECT_EQ(ObjectValue(ROPE), 44);
    SetObjectValue(COUNTER, 300);
    EXPECT_EQ(ObjectValue(COUNTER), 300);
    EXPECT_EQ(objectTable[COUNTER].held, 300 & 0xff);
    EXPECT_EQ(objectTable[COUNTER].current, 300 >> 8);
    SetObjectValue(COUNTER, 256);
    SetObjectHeld(COUNTER, true);
    EXPECT_EQ(ObjectValue(COUNTER), 257);
    SetObjectValue(COUNTER, -2);
    EXPECT_EQ(ObjectValue(COUNTER), -2);
}

TEST_F(BookState, ShownValues) {
    SetObjectValue(LAMP, 1);
    EXPECT_STREQ(ObjectCurrentText(LAMP), "lit");
    EXPECT_EQ(ObjectCurrentText(FEATHER), nullptr);  // no list
    EXPECT_EQ(ObjectCurrentText(COINS), nullptr);    // not a text object
    SetObjectValue(LAMP, 2);                         // past the list
    EXPECT_EQ(ObjectCurrentText(LAMP), nullptr);
    SetObjectValue(SKETCHES, 2);
    EXPECT_EQ(ObjectCurrentImage(SKETCHES), 4);
    SetObjectValue(SKETCHES, 3);
    EXPECT_EQ(ObjectCurrentImage(SKETCHES), -1);
}

TEST_F(BookState, OutsideTheTableNothingIsReadOrWritten) {
    for (int k : {-1, 10, 37, 32767}) {
        EXPECT_EQ(ObjectAt(k), nullptr) << k;
        EXPECT_EQ(ObjectValue(k), 0) << k;
        EXPECT_EQ(ObjectHeld(k), 0) << k;
        SetObjectValue(k, 5);
        SetObjectHeld(k, true);
        EXPECT_EQ(ObjectCurrentText(k), nullptr) << k;
        EXPECT_EQ(ClampObjectValue(k, 7), 7) << k;
    }
    SaveCheckpoint(5);
    SaveCheckpoint(-1);
    RestoreCheckpoint(3);
    for (int s = 0; s < checkpointCount; ++s) EXPECT_EQ(checkpointSlots[s].used, 0);
}

TEST_F(BookState, ClearAndResetLeaveWhatTheyDoNotOwn) {
    storyParagraph = 5;
    SetObjectHeld(LAMP, true);
    SaveCheckpoint(0);
    ClearCheckpoints();
    EXPECT_EQ(checkpointSlots[0].used, 0);
    EXPECT_EQ(checkpointSlots[0].paragraph, 4);
    ResetBookState();
    EXPECT_EQ(ObjectHeld(LAMP), 0);
    EXPECT_EQ(checkpointStates[2 * LAMP], 1);  // checkpoint states are not reset
    // A later save overwrites the slot.
    storyParagraph = 6;
    SaveCheckpoint(0);
    EXPECT_EQ(checkpointSlots[0].paragraph, 5);
    EXPECT_EQ(checkpointStates[2 * LAMP], 0);
}

}  // namespace
