#include "script/tags.h"

#include <cstring>
#include <string>

#include "base/app_state.h"
#include "book/state.h"
#include "page/builder.h"
#include "page/controls.h"
#include "script/engine.h"
#include "script/hotwords.h"
#include "support/engine_fixture.h"

namespace {

class Tags : public EngineTest {};

// Object numbers of the engine's test book.
constexpr int LAMP = 1, COINS = 2, SKETCHES = 3, ROPE = 5, GOLD = 6, COUNTER = 7, TALLY = 8;

TEST_F(Tags, SoundNumbersAllowOneSpaceAfterTheLetter) {
    Scan("<A3><A 3><A  3><A 99><A -1><C><G>");
    EXPECT_EQ(Sounds(), (std::vector<std::string>{"WIND", "WIND", "BELL", ""}));
    SetUp();
    soundOn = 0;
    Scan("<A 1><C><G>");
    EXPECT_EQ(Sounds(), std::vector<std::string>{""});  // stopping does not depend on the setting
}

TEST_F(Tags, SetAndAddClampToTheObjectsRange) {
    struct Case {
        const char* command;
        int coins, counter;  // values before
        int object, expected;
    };
    const Case cases[] = {
        {"<R %2 7>", 0, 0, COINS, 7},         {"<R %2 99>", 0, 0, COINS, 9},
        {"<R %2 -4>", 5, 0, COINS, 0},        {"<R %2 +3>", 0, 0, COINS, 3},
        {"<R %6 1>", 0, 0, GOLD, 5},     // the minimum wins
        {"<R %2 -%7>", 8, 4, COINS, 4},  // set ignores the minus
        {"<r %2 -%7>", 6, 4, COINS, 2},  // add subtracts the object's value
        {"<r %2 -2>", 6, 0, COINS, 4},   // a negative number
        {"<r %2 %7>", 6, 2, COINS, 8},        {"<r %2 5>", 8, 0, COINS, 9},
        {"<R %8 300>", 0, 0, TALLY, 9},  // text objects clamp to their list
        {"<r %7 -%2>", 3, 500, COUNTER, 497},
    };
    for (const Case& c : cases) {
        SetUp();
        SetObjectValue(COINS, c.coins);
        SetObjectValue(COUNTER, c.counter);
        Scan(std::string(c.command) + "<G>");
        EXPECT_EQ(ObjectValue(c.object), c.expected) << c.command;
        EXPECT_EQ(hotwordCount, 0) << c.command;
    }
}

TEST_F(Tags, AddWithZIsNotRandomAndLeavesAFacelessHotword) {
    SetObjectValue(LAMP, 1);
    Execute("r %1 z");
    EXPECT_EQ(hotwordCount, 1);
    EXPECT_EQ(hotwordTable[0].controlId, 0);
    EXPECT_EQ(hotwordTable[0].value, 1);
    EXPECT_EQ(ObjectValue(LAMP), 1);
}

// Without a label, gain and lose act at once (the scenarios' saved files and
// the walkthroughs show it on text objects); on a number object the flag is
// the value's low byte.
TEST_F(Tags, GainWithoutALabelSetsANumberObjectsLowByte) {
    SetObjectValue(COINS, 256);
    Execute("N %2");
    EXPECT_EQ(ObjectValue(COINS), 257);
}

TEST_F(Tags, GainLoseAndSetWithALabelWaitForTheClick) {
    Scan("<N %5 \"Take the rope\" 12><Q %1 \"Drop\" 3><R %2 4 \"Count\" 9><G>");
    EXPECT_EQ(ObjectHeld(ROPE), 0);
    EXPECT_EQ(ObjectValue(COINS), 0);
    ASSERT_EQ(hotwordCount, 3);
    EXPECT_EQ(hotwordTable[0].kind, 'N');
    EXPECT_EQ(hotwordTable[0].objectIndex, ROPE);
    EXPECT_EQ(hotwordTable[0].target1, 12);
    EXPECT_EQ(hotwordTable[0].controlId, 5000);
    EXPECT_EQ(hotwordTable[1].kind, 'Q');
    EXPECT_EQ(hotwordTable[2].kind, 'R');
    EXPECT_EQ(hotwordTable[2].value, 4);
    EXPECT_EQ(hotwordTable[2].target1, 9);
    ASSERT_EQ(buttonCount, 3);
    EXPECT_EQ(Caption(0), "Take the rope");
    EXPECT_EQ(Caption(2), "Count");
}

TEST_F(Tags, ShowValueInTextAndTitle) {
    SetObjectValue(LAMP, 1);
    SetObjectValue(COINS, 7);
    SetObjectValue(SKETCHES, 2);
    Scan("<l %1> and<l %2><l %3><l %4><G>");
    EXPECT_EQ(Items(), "T\"litand 7\" pic(1704,1)");
    SetUp();
    SetObjectValue(COINS, 7);
    Scan("<H>Coins<l %2><l %3><J><G>");
    EXPECT_EQ(Items(), "H\"Coins 7\"");
    EXPECT_EQ(Messages(), std::vector<std::string>{"Images not allowed in title"});
}

TEST_F(Tags, ObjectsWithoutAValueShowNothing) {
    objectTable[ROPE].current = 9;  // past its list, as a damaged save may leave it
    Scan("<l %5><l %4><l %99><M %5 3><M %4 3><G>");
    EXPECT_EQ(Items(), "");
    EXPECT_EQ(hotwordCount, 2);
    EXPECT_EQ(hotwordTable[0].controlId, 0);
    EXPECT_EQ(buttonCount + editBoxCount, 0);
    EXPECT_TRUE(Messages().empty());
}

TEST_F(Tags, NumbersOutsideTheTablesChangeNothing) {
    Scan(
        "<N %99><Q %-1><R %99 3><r %37 1><s *9 ><s *-1 ><V 39><v -2><A 14>"
        "<u *9 \"Back\">{ shown }<O (X %99) | (%99 = 0) >{ zero }<G>");
    EXPECT_EQ(Items(), "T\"zero \"");
    EXPECT_TRUE(Messages().empty());
    EXPECT_TRUE(Sounds().empty());
    for (int s = 0; s < checkpointCount; ++s) EXPECT_EQ(checkpointSlots[s].used, 0);
}

TEST_F(Tags, ConditionalTagsAndTheirResults) {
    EXPECT_EQ(Execute("O (X %1)"), 0);
    EXPECT_EQ(lastCondition, 0);
    EXPECT_EQ(Execute("E"), 1);
    EXPECT_EQ(conditionalTag, 1);
    SetObjectHeld(LAMP, true);
    EXPECT_EQ(Execute("O (X %1)"), 1);
    EXPECT_EQ(Execute("E"), 0);
    // Else-if after a taken branch does not evaluate.
    EXPECT_EQ(Execute("o (X %5)"), 0);
    EXPECT_EQ(lastCondition, 1);
    // Letters the markup does not have clear the flag and give 1.
    EXPECT_EQ(Execute("Z"), 1);
    EXPECT_EQ(conditionalTag, 0);
    EXPECT_EQ(Execute(""), 1);
    // The flag that makes the scanner show or skip a block is set by exactly
    // the tags the shared table gives a block.
    for (const TagInfo& tag : kTags) {
        SetUp();
        Execute(std::string(1, tag.letter));
        EXPECT_EQ(conditionalTag, tag.block ? 1 : 0) << tag.letter;
    }
}

TEST_F(Tags, ArrowsAndAlignment) {
    Scan("<n 47><p 12><W 2><W 5><W -1><G>");
    EXPECT_EQ(nextArrowMode, 1);
    EXPECT_EQ(nextArrowTarget, 47);
    EXPECT_EQ(prevArrowMode, 1);
    EXPECT_EQ(prevArrowTarget, 12);
    EXPECT_EQ(Items(), "right");
}

TEST_F(Tags, TheHundredthHotwordIsKeptAndEveryTagAfterItReports) {
    std::string page;
    for (int i = 0; i < 101; ++i) page += "<M \"go\" " + std::to_string(i) + ">";
    page += "<O (X %1) >{ x }<U><G>";
    Scan(page);
    EXPECT_EQ(hotwordCount, 100);
    EXPECT_EQ(hotwordTable[99].target1, 99);
    EXPECT_EQ(hotwordTable[99].controlId, 5099);
    EXPECT_EQ(buttonCount, 100);  // the 101st gets no control
    // After the 100th and 101st hotwords, <U> and <G>; not after <O>.
    EXPECT_EQ(Messages(), std::vector<std::string>(4, "Hotwords structure array overflow"));
}

}  // namespace
