// The shape of the book the reader ships with, read straight from its compiled
// tables: what the compiler cannot know about this book (the roles of the
// first paragraphs, its titles, objects, checkpoints, images and sounds). The
// markup rules the compiler enforces (printable text, sound names among them)
// are not checked again here; that every story page is reached is the play
// test's, and every description page the information page's below.
#include <gtest/gtest.h>

#include <cstring>
#include <regex>
#include <set>
#include <string>

#include "book/tables.h"
#include "book/text_store.h"

namespace {

constexpr int kParagraphs = 307;
constexpr int kFirstStory = 48;
constexpr size_t kTitleLimit = 30;

const ParagraphEntry& Row(int paragraph) {
    return paragraphTable[paragraph - 1];
}

// The paragraph as the reader assembles it; "" for one without text.
std::string Assembled(int paragraph) {
    if (!ParagraphHasText(static_cast<int16_t>(paragraph))) return "";
    static char text[PARAGRAPH_TEXT_SIZE];
    AssembleParagraph(static_cast<int16_t>(paragraph), text);
    return text;
}

// All assembled story and menu text, for the checks that look across pages.
std::string WholeBook() {
    std::string all;
    for (int p = 1; p <= kParagraphs; ++p) all += Assembled(p);
    return all;
}

std::set<int> Numbers(const std::string& text, const std::regex& pattern) {
    std::set<int> found;
    for (std::sregex_iterator it(text.begin(), text.end(), pattern), end; it != end; ++it)
        found.insert(std::stoi((*it)[1].str()));
    return found;
}

TEST(FernvaleBook, ParagraphRolesFollowTheBooksLayout) {
    ASSERT_EQ(paragraphCount, kParagraphs);
    EXPECT_FALSE(ParagraphHasText(1)) << "paragraph 1 has no text";
    // 8 to 10 hold the hints of one subject each, offered by the hints page.
    for (int p = 2; p <= kParagraphs; ++p)
        EXPECT_LT(Row(p).firstWord, Row(p).endWord) << "paragraph " << p << " has words";
    // The beginning leads to the first story page, 48, written as 47.
    EXPECT_NE(Assembled(2).find(" 47>"), std::string::npos);
}

TEST(FernvaleBook, TitlesAreShortPlainAndFollowedByF) {
    for (int p = 2; p <= kParagraphs; ++p) {
        const std::string text = Assembled(p);
        if (text.empty()) continue;
        SCOPED_TRACE("paragraph " + std::to_string(p));
        // The compiler has checked the markup: <H>...<J> first, <G> last.
        const size_t end = text.find("<J>");
        std::string title = text.substr(3, end - 3);
        for (size_t at; (at = title.find("<a>")) != std::string::npos;) title.replace(at, 3, " ");
        EXPECT_FALSE(title.empty());
        EXPECT_LE(title.size(), kTitleLimit) << title;
        EXPECT_EQ(title.find_first_of("<>{}"), std::string::npos) << title;
        EXPECT_EQ(text.compare(end + 3, 3, "<F>"), 0) << "<F> follows the title";
    }
}

TEST(FernvaleBook, ObjectsAreTextObjectsWithTheirDescriptionPages) {
    ASSERT_EQ(objectCount, 37);
    int withList = 0, withoutList = 0, characters = 0;
    for (int k = 0; k < objectCount; ++k) {
        const ObjectEntry& object = objectTable[k];
        SCOPED_TRACE("object " + std::to_string(k));
        ASSERT_NE(object.name, nullptr);
        EXPECT_GT(std::strlen(object.name), 0u);
        // Its type, minimum, description page, and held flag and text as a new reader has them.
        EXPECT_EQ((std::vector<int>{object.type, object.minimum, object.infoParagraph, object.held,
                                    object.current}),
                  (std::vector<int>{OBJECT_TEXT, 0, 10 + k, 0, 0}));
        EXPECT_TRUE(ParagraphHasText(11 + k)) << "description page";
        if (std::strcmp(object.name, "Character") == 0) ++characters;
        if (object.count == 0) {
            EXPECT_EQ(object.values, nullptr);
            ++withoutList;
            continue;
        }
        ++withList;
        EXPECT_GE(object.count, 2);
        EXPECT_LE(object.count, 4);
        ASSERT_NE(object.values, nullptr);
        const char* const* texts = static_cast<const char* const*>(object.values);
        for (int i = 0; i < object.count; ++i) {
            ASSERT_NE(texts[i], nullptr);
            EXPECT_GT(std::strlen(texts[i]), 0u);
            EXPECT_LE(std::strlen(texts[i]), 24u) << texts[i];
        }
    }
    EXPECT_EQ(withList, 33);
    EXPECT_EQ(withoutList, 4);
    EXPECT_EQ(characters, 1);
}

TEST(FernvaleBook, InformationPageOffersEveryObject) {
    const std::string info = Assembled(6);
    // The character, then the reader's condition (health, weather, songs,
    // the fen folk's favour, the tower alarm) shown by its current text, then
    // the items held, each by name; every one is a side button to its
    // description, shown only while held.
    EXPECT_NE(info.find("<g %0 10>"), std::string::npos);
    const size_t items = info.find("following items");
    ASSERT_NE(items, std::string::npos);
    const std::set<int> conditions = {15, 33, 34, 35, 36};
    for (int k = 1; k < objectCount; ++k) {
        const std::string number = std::to_string(k);
        const std::string face =
            conditions.count(k) ? "%" + number : "\"" + std::string(objectTable[k].name) + "\"";
        const std::regex block("<O \\(X %" + number + "\\)[^>]*>\\{[^{}]*<g " + face + " " +
                               std::to_string(10 + k) + ">[^{}]*\\}");
        std::smatch found;
        ASSERT_TRUE(std::regex_search(info, found, block)) << objectTable[k].name;
        EXPECT_EQ(static_cast<size_t>(found.position(0)) > items, conditions.count(k) == 0)
            << objectTable[k].name;
    }
}

TEST(FernvaleBook, CheckpointsAreSavedWhereTheirPlacesAreReached) {
    ASSERT_EQ(checkpointCount, 5);
    const std::string restart = Assembled(3);
    for (int k = 0; k < checkpointCount; ++k) {
        const CheckpointSlot& slot = checkpointSlots[k];
        SCOPED_TRACE("slot " + std::to_string(k));
        ASSERT_NE(slot.name, nullptr);
        EXPECT_GT(std::strlen(slot.name), 0u);
        EXPECT_EQ(slot.used, 0);
        const int page = slot.paragraph + 1;
        ASSERT_GE(page, kFirstStory);
        ASSERT_LE(page, kParagraphs);
        const std::string save = "<s *" + std::to_string(k) + " >";
        EXPECT_NE(Assembled(page).find(save), std::string::npos) << "page " << page;
        int savers = 0;
        for (int p = 1; p <= kParagraphs; ++p)
            if (Assembled(p).find(save) != std::string::npos) ++savers;
        EXPECT_EQ(savers, 1);
        EXPECT_NE(restart.find("<u *" + std::to_string(k) + " \""), std::string::npos);
    }
}

TEST(FernvaleBook, ImagesAndSoundsAreAllInUse) {
    ASSERT_EQ(imageCount, 39);
    EXPECT_EQ(imageTable[0].resourceId, 1100);
    for (int i = 1; i < imageCount; ++i) EXPECT_EQ(imageTable[i].resourceId, 1700 + i) << i;

    const std::string all = WholeBook();
    std::set<int> shown = Numbers(all, std::regex("<[Vv] (\\d+)>"));
    const std::set<int> buttons = Numbers(all, std::regex("\\$(\\d+)"));
    EXPECT_FALSE(buttons.empty()) << "at least one picture button";
    shown.insert(buttons.begin(), buttons.end());
    std::set<int> story;
    for (int i = 2; i < imageCount; ++i) story.insert(i);
    EXPECT_EQ(shown, story);

    ASSERT_EQ(soundCount, 14);
    std::set<std::u16string> names;
    for (int i = 0; i < soundCount; ++i) {
        const std::u16string name(soundTable[i]);
        EXPECT_FALSE(name.empty());
        names.insert(name);
    }
    EXPECT_EQ(names.size(), 14u);
    std::set<int> played = Numbers(all, std::regex("<A (\\d+)>"));
    EXPECT_EQ(played.size(), 14u);
    EXPECT_EQ(*played.rbegin(), 13);
    EXPECT_NE(all.find("<C>"), std::string::npos);
}

}  // namespace
