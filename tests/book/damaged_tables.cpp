// Tables that the book compiler would refuse: paragraphs longer than the
// assembly buffer, a row pointing at a chunk that does not exist, and a text
// object whose list is missing.
#include <cstring>

#include "book/tables.h"

namespace {

// Word 0 (offset 0): 99 letters; word 1 (offset 100): 77 letters; word 2 (offset 178): "x".
char pool[184];
// Paragraph 1 (words 0-13): 13 long words and the 77-letter word, exactly
// 1,378 characters; paragraph 2 (14-28): the same and "x"; paragraph 4
// (29-48): twenty long words.
const uint16_t offsets[] = {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,   0,   0, 100, 0, 0, 0,
                            0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 100, 178, 0, 0,   0, 0, 0,
                            0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,   0,   0, 0,   0};

const bool poolReady = [] {
    std::memset(pool, 'w', 99);
    pool[99] = '\0';
    std::memset(pool + 100, 's', 77);
    pool[177] = '\0';
    pool[178] = 'x';
    std::memset(pool + 179, 0, sizeof pool - 179);
    return true;
}();

const char* const textsMissing = nullptr;

}  // namespace

const TextChunk textChunks[] = {{offsets, pool}};
const int16_t textChunkCount = 1;
const ParagraphEntry paragraphTable[] = {
    {0, 0, 0, 14},
    {0, 0, 14, 29},
    {5, 0, 0, 0},
    {0, 0, 29, 49},
};
const int16_t paragraphCount = 4;

ObjectEntry objectTable[] = {
    {"Satchel", OBJECT_TEXT, 0, {{0, 0}}, 3, 0, 0, 0, textsMissing},
    {"Pebbles", OBJECT_NUMBER, 0, {{0, 0}}, 20, 0, 0, 0, nullptr},
};
const int16_t objectCount = 2;

CheckpointSlot checkpointSlots[] = {{"Cellar", 0, 0, 1}};
const int16_t checkpointCount = 1;
uint8_t checkpointStates[2 * 2];

const ImageEntry imageTable[] = {{1100, 0, 0}};
const int16_t imageCount = 1;
const char16_t* const soundTable[] = {u"DRIP"};
const int16_t soundCount = 1;

const BookHeader bookHeader = {"Damaged", "", 0, "", "", 0, "", 0, "", "", ""};
