// Builds tiny.book with add_book() and reads its tables as the reader does.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "book/tables.h"

namespace {

std::string Assemble(int paragraph) {
    const ParagraphEntry& row = paragraphTable[paragraph - 1];
    std::string text;
    const TextChunk& chunk = textChunks[row.chunk];
    for (int32_t i = row.firstWord; i < row.endWord; ++i) {
        text += chunk.wordPool + chunk.wordOffsets[i];
        text += ' ';
    }
    return text;
}

TEST(TinyBook, ParagraphRowsKeepSourceOrderAndMarkMissingOnes) {
    ASSERT_EQ(paragraphCount, 9);
    ASSERT_EQ(textChunkCount, 1);
    for (int p : {1, 3, 6, 7, 9}) {
        EXPECT_EQ(paragraphTable[p - 1].chunk, -1) << p;
        EXPECT_EQ(paragraphTable[p - 1].firstWord, 0) << p;
        EXPECT_EQ(paragraphTable[p - 1].endWord, 0) << p;
    }
    // Paragraph 8 is written with no words: an empty range in the chunk,
    // between paragraph 2's words and paragraph 4's.
    EXPECT_EQ(paragraphTable[8 - 1].chunk, 0);
    EXPECT_EQ(paragraphTable[8 - 1].firstWord, paragraphTable[2 - 1].endWord);
    EXPECT_EQ(paragraphTable[8 - 1].endWord, paragraphTable[8 - 1].firstWord);
    EXPECT_EQ(paragraphTable[4 - 1].firstWord, paragraphTable[8 - 1].endWord);
    EXPECT_EQ(paragraphTable[5 - 1].firstWord, paragraphTable[4 - 1].endWord);
}

TEST(TinyBook, AssembledTextIsTheSourceWithSingleSpaces) {
    EXPECT_EQ(Assemble(2), "<H>Start<J><F> Go to \"the  gate\" <M \"Go\" 3><G> ");
    EXPECT_EQ(Assemble(4), "<H>The Gate<J><s *0> Go <U>to the gate.<n 1><G> ");
    EXPECT_EQ(Assemble(5), "<H>You<J> You are <l %0>.<G> ");
    EXPECT_EQ(Assemble(8), "");
}

TEST(TinyBook, ObjectsStartWithTheirWrittenState) {
    ASSERT_EQ(objectCount, 4);
    const ObjectEntry& character = objectTable[0];
    EXPECT_STREQ(character.name, "Character");
    EXPECT_EQ(character.type, OBJECT_TEXT);
    EXPECT_EQ(character.count, 2);
    EXPECT_EQ(character.infoParagraph, 4);  // paragraph 5, minus one
    EXPECT_EQ(character.held, 0);
    EXPECT_EQ(character.current, 0);
    auto texts = static_cast<const char* const*>(character.values);
    EXPECT_STREQ(texts[1], "a squire");

    const ObjectEntry& coins = objectTable[1];
    EXPECT_EQ(coins.type, OBJECT_NUMBER);
    EXPECT_EQ(coins.number, 258);
    EXPECT_EQ(coins.held, 2);  // the low byte of 258
    EXPECT_EQ(coins.current, 1);
    EXPECT_EQ(coins.count, 300);
    EXPECT_EQ(coins.minimum, 2);
    EXPECT_EQ(coins.infoParagraph, 0);  // default: paragraph 1
    EXPECT_EQ(coins.values, nullptr);

    const ObjectEntry& portrait = objectTable[2];
    EXPECT_EQ(portrait.type, OBJECT_IMAGE);
    EXPECT_EQ(portrait.held, 1);
    EXPECT_EQ(portrait.current, 1);
    EXPECT_EQ(portrait.count, 3);
    EXPECT_EQ(portrait.infoParagraph, 5);
    auto images = static_cast<const int16_t*>(portrait.values);
    EXPECT_EQ(images[0], 2);
    EXPECT_EQ(images[2], 1);

    EXPECT_EQ(objectTable[3].count, 0);
    EXPECT_EQ(objectTable[3].values, nullptr);
}

TEST(TinyBook, CheckpointsImagesSoundsAndHeader) {
    ASSERT_EQ(checkpointCount, 1);
    EXPECT_STREQ(checkpointSlots[0].name, "The Gate");
    EXPECT_EQ(checkpointSlots[0].used, 0);
    EXPECT_EQ(checkpointSlots[0].paragraph, 3);
    // One block of two bytes per object, zero at start.
    for (int i = 0; i < checkpointCount * 2 * objectCount; ++i) EXPECT_EQ(checkpointStates[i], 0);

    ASSERT_EQ(imageCount, 3);
    EXPECT_EQ(imageTable[0].resourceId, 1100);
    EXPECT_EQ(imageTable[1].resourceId, 1701);
    EXPECT_EQ(imageTable[1].width, 240);
    EXPECT_EQ(imageTable[1].height, 120);
    EXPECT_EQ(imageTable[2].width, 0);

    ASSERT_EQ(soundCount, 2);
    EXPECT_EQ(std::u16string(soundTable[0]), u"BELL");
    EXPECT_EQ(std::u16string(soundTable[1]), u"DOOR_2");

    EXPECT_STREQ(bookHeader.title, "The Tiny Book");
    EXPECT_STREQ(bookHeader.copyrightHolder, "Fernvale Team");
    EXPECT_STREQ(bookHeader.language, "English");
    EXPECT_STREQ(bookHeader.author, "A. Writer");
    EXPECT_EQ(bookHeader.presentsImage, 0);
    EXPECT_STREQ(bookHeader.closingLine, " ");
    EXPECT_EQ(bookHeader.titleImage, 1);
    EXPECT_STREQ(bookHeader.webAddress, "www.example.org");
    EXPECT_STREQ(bookHeader.contactAddress, "contact@example.org");
    EXPECT_STREQ(bookHeader.supportAddress, "support@example.org");
}

}  // namespace
