// The paragraph scanner: markup into page items, conditional blocks and their
// skip counts, and the limits of a word, a title and a command. Long runs
// handed over at a space are the reader scenarios' and the page walk's (their
// text doubles or a message is raised when that breaks).
#include <string>

#include "book/tables.h"
#include "page/builder.h"
#include "script/engine.h"
#include "script/hotwords.h"
#include "support/engine_fixture.h"

namespace {

struct ScanCase {
    const char* markup;
    const char* items;
};

class Scanner : public EngineTest {};

TEST_F(Scanner, TurnsMarkupIntoPageItems) {
    const ScanCase cases[] = {
        {"", ""},
        {"word <B>next <G>", "T\"word \" bold T\"next \""},
        // Text after the last tag is never handed over.
        {"word <B>next ", "T\"word \" bold"},
        // Reserved characters never become text; a stray { or > changes nothing.
        {"a > b { c } d <G>", "T\"a  b  c d \""},
        // A } abandons the command being gathered; what follows is text.
        {"<M \"x\" 3 } rest <G>", "T\"rest \""},
        // An empty command has no letter: only the run in front is handed over.
        {"before <>after <G>", "T\"before after \""},
        // Runs merge across unknown tags; spaces at the start of a run are dropped.
        {"<K>   one <I> two <Y> three<F><G>", "T\"one two three\""},
        // A < inside a command starts it afresh.
        {"<Q <U>x<G>", "line T\"x\""},
        {"<W 1>mid<W 0><P><T><U><D><G>", "centre T\"mid\" left para tab line /bold"},
        {"<H>The<a>Mill<J><F> Text <G>", "H\"The Mill\" T\"Text \""},
        // Tags inside a title do not split it.
        {"<H>A<B>b<D>c<J><G>", "bold /bold H\"Abc\""},
        {"<V 2> and <v 3><V 99><G>", "pic(1702,0) T\"and \" pic(1703,1)"},
    };
    for (const ScanCase& c : cases) {
        SetUp();
        Scan(c.markup);
        EXPECT_EQ(Items(), c.items) << "markup: " << c.markup;
        EXPECT_TRUE(Messages().empty()) << "markup: " << c.markup;
    }
}

TEST_F(Scanner, EmptyTextLeavesNothingAndEndsOnePastTheTerminator) {
    hotwordCount = 7;
    Scan("");
    EXPECT_EQ(pageItemCount, 0);
    EXPECT_EQ(hotwordCount, 0);
    EXPECT_EQ(scanPos, 1);
    Scan("ab<G>");
    EXPECT_EQ(scanPos, 6);
}

TEST_F(Scanner, ElseBeforeAnyIfIsSkippedBecauseTheLastConditionStartsTrue) {
    lastCondition = 0;
    Scan("<E>{else }<o (X %1) >{elif }after<G>");
    EXPECT_EQ(Items(), "T\"after\"");
}

TEST_F(Scanner, ChainsShowExactlyOneBlock) {
    const char* chain = "<O (%5 = 0) >{zero }<o (%5 = 1) >{one }<E>{other }<G>";
    const std::pair<int, const char*> cases[] = {
        {0, "T\"zero \""}, {1, "T\"one \""}, {2, "T\"other \""}};
    for (auto [value, items] : cases) {
        SetUp();
        objectTable[5].current = static_cast<uint8_t>(value);
        Scan(chain);
        EXPECT_EQ(Items(), items) << "value " << value;
    }
}

TEST_F(Scanner, SkipCountJumpsOverInnerBlocks) {
    // The count after the tag jumps past the inner braces before looking for }.
    const std::string markup = "<O (X %1) > 19{ a <O (X %2) >{ b } c } d <G>";
    Scan(markup);
    EXPECT_EQ(Items(), "T\"d \"");
    SetUp();
    objectTable[1].held = 1;
    objectTable[2].held = 1;
    Scan(markup);
    EXPECT_EQ(Items(), "T\"a b c d \"");
    // Without the count a false outer block ends at the inner }.
    SetUp();
    Scan("<O (X %1) >{ a <O (X %2) >{ b } c } d <G>");
    EXPECT_EQ(Items(), "T\"c d \"");
}

TEST_F(Scanner, DigitsWaitForTheNextBraceWhenNoBlockFollows) {
    // The first tag's count carries to the second tag's block and jumps
    // past its first }.
    Scan("<O (X %1) > 5<U><O (X %1) >{ a } b } after<G>");
    EXPECT_EQ(Items(), "line T\"after\"");
    EXPECT_EQ(skipCount, 0);
    // A { that does not follow a conditional tag only clears the count.
    SetUp();
    Scan("<O (X %1) > 12<U>x{ y } z<G>");
    EXPECT_EQ(Items(), "line T\"x y z\"");
    EXPECT_EQ(skipCount, 0);
}

TEST_F(Scanner, SkipCountPastTheEndStopsAtTheTerminator) {
    const std::string markup = "<O (X %1) > 500{ abc }";
    Scan(markup);
    EXPECT_EQ(Items(), "");
    EXPECT_EQ(scanPos, static_cast<int16_t>(markup.size() + 1));
}

TEST_F(Scanner, SkipCountThatWrapsNegativeDoesNotJumpBackwards) {
    Scan("<O (X %1) > 99999{ hidden } shown <G>");
    EXPECT_EQ(Items(), "T\"shown \"");
}

TEST_F(Scanner, ATitleOfThreeHundredLettersIsReportedAndCut) {
    std::string title;
    while (title.size() < 320) title += "abcdefghi ";
    title.resize(320);
    Scan("<H>" + title + "<J><G>");
    ASSERT_EQ(Messages(), std::vector<std::string>{"300 is Too many letters in word"});
    EXPECT_EQ(Items(), "H\"" + title.substr(0, 299) + "\"");
}

TEST_F(Scanner, AWordOfThreeHundredLettersIsReportedOnceAndCut) {
    const std::string word(305, 'w');
    Scan(word + "<U>tail<G>");
    EXPECT_EQ(Messages(), std::vector<std::string>{"300 is Too many letters in word"});
    EXPECT_EQ(Items(), "T\"" + std::string(299, 'w') + "\" line T\"tail\"");
}

TEST_F(Scanner, ACommandOfFourHundredLettersIsReportedAndStillRuns) {
    const std::string command = "M \"" + std::string(420, 'c') + "\" 7";
    Scan("<" + command + ">after<G>");
    EXPECT_EQ(Messages(), std::vector<std::string>{"400 is Too many letters in command"});
    // The command kept its first 399 characters: a button, cut at 103 letters.
    EXPECT_EQ(hotwordCount, 1);
    EXPECT_EQ(Items(), "button#0 T\"after\"");
}

TEST_F(Scanner, TitleModeLastsAcrossScans) {
    Scan("<H>Open title ");
    EXPECT_EQ(titleMode, 1);
    Scan("more<J><G>");
    EXPECT_EQ(Items(), "H\"more\"");
    EXPECT_EQ(titleMode, 0);
}

}  // namespace
