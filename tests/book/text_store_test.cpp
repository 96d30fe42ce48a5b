#include "book/text_store.h"

#include <string>

#include "support/engine_fixture.h"

namespace {

class TextStore : public EngineTest {};

TEST_F(TextStore, AssemblesWordsEachFollowedByOneSpace) {
    char out[PARAGRAPH_TEXT_SIZE];
    AssembleParagraph(2, out);  // empty paragraph
    EXPECT_STREQ(out, "");
    AssembleParagraph(3, out);  // a single word
    EXPECT_STREQ(out, "<H>T<J><G> ");
    AssembleParagraph(4, out);
    EXPECT_STREQ(
        out,
        "<H>Fork<J><F> Left or right? <M \"go north\" 4> <M \"go north\" 5> left left left <G> ");
    EXPECT_TRUE(Messages().empty());
}

TEST_F(TextStore, MissingParagraphsAreReportedAndLeaveTheBuffer) {
    char out[PARAGRAPH_TEXT_SIZE] = "previous";
    for (int16_t paragraph : {1, 8, 0, -4, 13, 32767}) {
        SetUp();
        AssembleParagraph(paragraph, out);
        EXPECT_STREQ(out, "previous") << paragraph;
        EXPECT_EQ(Messages(), std::vector<std::string>{"Paragraph " + std::to_string(paragraph) +
                                                       " does not exist"});
        EXPECT_FALSE(ParagraphHasText(paragraph));
    }
    EXPECT_TRUE(ParagraphHasText(2));
}

}  // namespace
