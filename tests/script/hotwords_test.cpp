#include "script/hotwords.h"

#include <string>

#include "book/state.h"
#include "page/controls.h"
#include "script/engine.h"
#include "support/engine_fixture.h"

namespace {

class Hotwords : public EngineTest {};

TEST_F(Hotwords, ButtonFacesAndTargets) {
    SetObjectValue(1, 1);  // the lamp's second text
    SetObjectValue(2, 7);  // coins
    SetObjectValue(3, 1);  // the second sketch: image 3
    Scan("<M \"Go on\" 47><g $5 12><m %1 3><M %2 4><M  \"x\" 5><M %3 6><M #7 8><M \"\" 9><G>");
    ASSERT_EQ(hotwordCount, 8);
    const char kinds[] = {'M', 'g', 'm', 'M', 'M', 'M', 'M', 'M'};
    const int16_t targets[] = {47, 12, 3, 4, 0, 6, 0, 9};
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(hotwordTable[i].kind, kinds[i]) << i;
        EXPECT_EQ(hotwordTable[i].target1, targets[i]) << i;
    }
    // Two spaces after the letter: the face is not quoted and not a picture.
    EXPECT_EQ(hotwordTable[4].controlId, 0);
    EXPECT_EQ(hotwordTable[6].controlId, 0);  // an unknown face makes no control
    ASSERT_EQ(buttonCount, 6);
    EXPECT_EQ(Caption(0), "Go on");
    EXPECT_EQ(buttonRecords[1].textLength, 0);  // image 5: bitmap 1705, 24 pixels wide
    EXPECT_EQ(buttonRecords[1].width, 24);
    EXPECT_EQ(Caption(2), "lit");
    EXPECT_EQ(Caption(3), " 7");
    EXPECT_EQ(buttonRecords[4].textLength, 0);  // image 3: bitmap 1703, 16 pixels wide
    EXPECT_EQ(buttonRecords[4].width, 16);
    EXPECT_EQ(Caption(5), "");
    EXPECT_EQ(hotwordTable[7].controlId, 5005);
    EXPECT_EQ(Items(), "button#0 button#1 button#2 button#3 button#4 button#5");
}

TEST_F(Hotwords, LongCaptionsAreCut) {
    Scan("<M \"" + std::string(150, 'k') + "\" 2><G>");
    ASSERT_EQ(buttonCount, 1);
    EXPECT_EQ(Caption(0), std::string(103, 'k'));
    EXPECT_EQ(hotwordTable[0].target1, 2);
}

TEST_F(Hotwords, ChanceChoicesStoreRunningBounds) {
    Scan(
        "<L \"Leap\" (12) 100 101><d \"Roll\" (30) 10 (50) 11 (20) 12 13><d \"Two\" (40) 20 (35) "
        "21 22>"
        "<L \"Wild\" (200) 1 2><G>");
    ASSERT_EQ(hotwordCount, 4);
    // The chance, the bounds, then the targets in the markup's order.
    using V = std::vector<int>;
    const HotwordRecord& leap = hotwordTable[0];
    EXPECT_EQ(leap.kind, 'L');
    EXPECT_EQ((V{leap.value, leap.threshold2, leap.threshold3, leap.target1, leap.target2}),
              (V{12, 0, 0, 100, 101}));
    const HotwordRecord& roll = hotwordTable[1];
    EXPECT_EQ((V{roll.value, roll.threshold2, roll.threshold3, roll.target1, roll.target3,
                 roll.target4, roll.target2}),
              (V{30, 80, 100, 10, 11, 12, 13}));
    const HotwordRecord& two = hotwordTable[2];
    EXPECT_EQ((V{two.threshold2, two.threshold3, two.target3, two.target2}), (V{75, 0, 21, 22}));
    EXPECT_EQ(hotwordTable[3].value, -56);  // a chance is a signed byte
    EXPECT_EQ(Caption(1), "Roll");
}

TEST_F(Hotwords, AnswerBoxesStoreAnswersAndTheLongestLength) {
    Scan("<S (rope) 40 (ab cd) 41 50><S () 1 2><S (" + std::string(30, 'a') +
         ") 3 (b) 4 (cc) 5 6><G>");
    ASSERT_EQ(hotwordCount, 3);
    const HotwordRecord& first = hotwordTable[0];
    EXPECT_EQ(first.kind, 'S');
    EXPECT_STREQ(first.answer1, "rope");
    EXPECT_STREQ(first.answer2, "ab cd");
    EXPECT_STREQ(first.answer3, "");
    EXPECT_EQ((std::vector<int>{first.target1, first.target3, first.target2, first.controlId}),
              (std::vector<int>{40, 41, 50, 4000}));
    EXPECT_STREQ(hotwordTable[1].answer1, "");
    EXPECT_EQ(hotwordTable[1].target2, 2);
    const HotwordRecord& third = hotwordTable[2];
    EXPECT_STREQ(third.answer1, std::string(19, 'a').c_str());  // cut to fit its 20 bytes
    EXPECT_STREQ(third.answer3, "cc");
    EXPECT_EQ(third.target4, 5);
    EXPECT_EQ(third.target2, 6);
    ASSERT_EQ(editBoxCount, 3);
    EXPECT_EQ(editBoxRecords[0].maxChars, 5);
    EXPECT_EQ(editBoxRecords[1].maxChars, 0);
    EXPECT_EQ(editBoxRecords[2].maxChars, 19);
    EXPECT_EQ(Items(), "edit#0 edit#1 edit#2");
}

}  // namespace
