// The explorer on a book written with one of each defect: it must find each,
// where it is, and nothing else.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "tools/explore/explorer.h"

namespace {

std::vector<int> Paragraphs(const std::vector<explore::Finding>& findings) {
    std::vector<int> out;
    for (const explore::Finding& f : findings) out.push_back(f.paragraph);
    return out;
}

std::string Steps(const explore::Path& path) {
    std::string out;
    for (const explore::Step& s : path) out += (out.empty() ? "" : ">") + s.text;
    return out;
}

TEST(Explorer, FindsEachDefectOfTheBookAndNothingElse) {
    std::ifstream in(DEFECTS_BOOK);
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    bookc::CompileResult book = bookc::Compile({{"defects.book", text}});
    ASSERT_TRUE(book.ok);
    // The search's reduced key must find what telling every state apart finds.
    for (const bool exact : {false, true}) {
        SCOPED_TRACE(exact ? "exact" : "reduced");
        explore::Options options;
        options.exact = exact;
        const explore::Report r = explore::Explore(book.book, options);

        EXPECT_TRUE(r.cutShort.empty());
        EXPECT_EQ(r.unreached, std::vector<int>{18});
        EXPECT_EQ(Paragraphs(r.deadEnds), std::vector<int>{14});
        ASSERT_EQ(Paragraphs(r.messages), std::vector<int>{15});
        EXPECT_NE(r.messages[0].what.find("Overflow"), std::string::npos) << r.messages[0].what;
        EXPECT_EQ(Steps(r.messages[0].path), "Go>Read>Unroll") << r.messages[0].what;
        ASSERT_EQ(Paragraphs(r.impossibleOutcomes), std::vector<int>{8});
        EXPECT_NE(r.impossibleOutcomes[0].what.find("(paragraph 11) never"), std::string::npos);
        EXPECT_EQ(Paragraphs(r.unreachableAnswers), std::vector<int>{9});
        EXPECT_EQ(Paragraphs(r.hopelessCheckpoints), std::vector<int>{16});
        EXPECT_EQ(Paragraphs(r.unheldValues), (std::vector<int>{2, 19}));
        EXPECT_EQ(Paragraphs(r.unstablePages), std::vector<int>{20});
        ASSERT_EQ(r.endings.size(), 2u);
        EXPECT_TRUE(r.endings[0].reached && r.endings[1].reached);
        EXPECT_EQ(Steps(r.endings[0].path), "Go>Home");
        EXPECT_FALSE(r.Clean());
        // Each page alone: the dead end and the overflow, whatever leads there.
        const std::vector<int> alarms =
            exact ? std::vector<int>{} : std::vector<int>{2, 8, 14, 15, 19, 20};
        EXPECT_EQ(Paragraphs(r.pageAlarms), alarms);
        // The gate's good ending needs the key its only way on gives remembered.
        EXPECT_EQ(Paragraphs(r.checkpointsUnproven),
                  exact ? std::vector<int>{} : std::vector<int>{16});
        EXPECT_EQ(r.checkpointsProven, exact ? std::vector<int>{} : std::vector<int>{21});
    }
}

}  // namespace
