#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "book/state.h"
#include "book/text_store.h"
#include "device/record.h"
#include "page/builder.h"
#include "script/engine.h"

namespace {

std::vector<std::string> TakeMessages() {
    std::vector<std::string> out;
    for (const auto& box : device::MessageBoxLog()) out.push_back(device::Narrow(box.text));
    device::MessageBoxLog().clear();
    return out;
}

TEST(DamagedBook, TextOfExactlyTheLimitAssemblesWithoutAMessage) {
    device::MessageBoxLog().clear();
    AssembleParagraph(1, paragraphText);
    EXPECT_EQ(std::strlen(paragraphText), 1378u);
    EXPECT_TRUE(TakeMessages().empty());
}

TEST(DamagedBook, LongerTextIsReportedOnceAndKeepsTheWordsThatFit) {
    device::MessageBoxLog().clear();
    paragraphText[1379] = '#';
    AssembleParagraph(2, paragraphText);
    EXPECT_EQ(TakeMessages(), std::vector<std::string>{"15 is Too many words"});
    EXPECT_EQ(std::strlen(paragraphText), 1378u);
    EXPECT_EQ(paragraphText[1379], '#');
    AssembleParagraph(4, paragraphText);
    EXPECT_EQ(TakeMessages(), std::vector<std::string>{"20 is Too many words"});
    EXPECT_EQ(std::strlen(paragraphText), 1300u);
}

TEST(DamagedBook, ARowPointingPastTheChunksHasNoText) {
    device::MessageBoxLog().clear();
    std::strcpy(paragraphText, "kept");
    AssembleParagraph(3, paragraphText);
    EXPECT_STREQ(paragraphText, "kept");
    EXPECT_EQ(TakeMessages(), std::vector<std::string>{"Paragraph 3 does not exist"});
}

TEST(DamagedBook, ATextObjectWithoutItsListShowsNothing) {
    device::MessageBoxLog().clear();
    ClearPageBuilder();
    objectTable[0].current = 1;
    ScanParagraph("<l %0><M %0 3><H><l %0><J><G>");
    EXPECT_EQ(pageItemCount, 1);  // only the empty title
    EXPECT_EQ(pageItems[1].type, ItemTitle);
    EXPECT_STREQ(pageItems[1].text, "");
    EXPECT_TRUE(TakeMessages().empty());
}

}  // namespace
