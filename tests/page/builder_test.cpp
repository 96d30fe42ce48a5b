#include "page/builder.h"

#include <cstring>
#include <string>

#include "support/engine_fixture.h"

namespace {

class Builder : public EngineTest {};

// Runs of one kind merge (every page of the reader's scenarios shows it);
// a run of another kind starts a new item.
TEST_F(Builder, RunsOfAnotherKindStartANewItem) {
    AddText("body");
    AddTitleText("Ti");
    AddTitleText("tle");
    AddText("more");
    EXPECT_EQ(Items(), "T\"body\" H\"Title\" T\"more\"");
    // The pool stays a sequence of whole strings.
    EXPECT_EQ(std::string(pageTextPool, static_cast<size_t>(poolUsed)),
              std::string("body\0Title\0more\0", 16));
}

TEST_F(Builder, EmptyRuns) {
    AddText("");
    EXPECT_EQ(Items(), "T\"\"");
    EXPECT_EQ(poolUsed, 1);
    AddText("");
    EXPECT_EQ(pageItemCount, 1);
    EXPECT_EQ(poolUsed, 1);
    AddLineBreak();
    AddTitleText("");
    EXPECT_EQ(Items(), "T\"\" line H\"\"");
    EXPECT_EQ(poolUsed, 2);
}

TEST_F(Builder, AddTextAndClearEmptiesTheBufferAndGivesTheLength) {
    char buffer[16] = "hello ";
    EXPECT_EQ(AddTextAndClear(buffer), 6);
    EXPECT_EQ(buffer[0], '\0');
    EXPECT_EQ(Items(), "T\"hello \"");
}

TEST_F(Builder, ThePoolRefusesARunThatWouldReachItsLastByte) {
    const std::string filler(999, 'f');
    AddText(filler.c_str());
    AddTab();
    ASSERT_EQ(poolUsed, 1000);
    pageTextPool[1779] = '#';
    AddText(std::string(778, 'x').c_str());
    EXPECT_TRUE(Messages().empty());
    EXPECT_EQ(pageTextPool[1778], '\0');
    EXPECT_EQ(poolUsed, 1779);
    AddTab();
    AddText("");  // even an empty run no longer fits
    EXPECT_EQ(Messages(), std::vector<std::string>{"Page buffer Overflow"});
    EXPECT_EQ(pageTextPool[1779], '#');

    SetUp();
    AddText(filler.c_str());
    AddTab();
    AddText(std::string(779, 'x').c_str());
    EXPECT_EQ(Messages(), std::vector<std::string>{"Page buffer Overflow"});
    EXPECT_EQ(Items(), "T\"" + filler + "\" tab");  // the refused run adds nothing
    EXPECT_EQ(poolUsed, 1000);
}

TEST_F(Builder, LayoutItems) {
    SetAlignment(1);
    SetAlignment(2);
    SetAlignment(0);
    SetAlignment(3);
    BeginBold();
    EndBold();
    AddParagraphBreak();
    AddBitmap(1105);
    AddImage(2, 0);
    AddImage(1, 1);
    AddImage(6, 0);  // past the test book's images
    AddImage(-1, 0);
    EXPECT_EQ(Items(), "centre right left bold /bold para pic(1105,1) pic(1702,0) pic(1701,1)");
    EXPECT_EQ(pageItems[1].type, 3);
}

TEST_F(Builder, BoldOutlivesARebuildAndArrowsDoNot) {
    BeginBold();
    SetNextArrowParagraph(47);
    SetPrevArrowPage(2);
    EXPECT_EQ(prevArrowMode, 2);
    ClearPageBuilder();
    EXPECT_EQ(builderBold, 1);
    EXPECT_EQ(nextArrowMode, 0);
    EXPECT_EQ(prevArrowMode, 0);
    EXPECT_EQ(pageItemCount, 0);
    EXPECT_EQ(poolUsed, 0);
    EndBold();
    EXPECT_EQ(builderBold, 0);
}

TEST_F(Builder, TheListHoldsFourHundredItemsAndDropsTheRest) {
    pageItems[0].type = -7;  // slot 0 is never used
    for (int i = 0; i < 410; ++i) {
        AddTab();
        AddText("w");
    }
    EXPECT_EQ(pageItemCount, 400);
    EXPECT_EQ(pageItems[0].type, -7);
    EXPECT_EQ(pageItems[400].type, ItemText);
    EXPECT_TRUE(Messages().empty());
    // A run of the last item's kind still merges into it.
    AddText("z");
    EXPECT_EQ(std::string(pageItems[400].text), std::string(211, 'w') + "z");
    EXPECT_FALSE(AppendIndexedItem(ItemButton, 0));
}

}  // namespace
