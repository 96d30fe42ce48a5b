#include "book/text_store.h"

#include <cstring>

#include "base/report_error.h"
#include "book/tables.h"

char paragraphText[PARAGRAPH_TEXT_SIZE];

namespace {

const ParagraphEntry* RowOf(int16_t paragraph) {
    if (paragraph < 1 || paragraph > paragraphCount) return nullptr;
    return &paragraphTable[paragraph - 1];
}

}  // namespace

bool ParagraphHasText(int16_t paragraph) {
    const ParagraphEntry* row = RowOf(paragraph);
    return row && row->chunk >= 0 && row->chunk < textChunkCount;
}

void AssembleParagraph(int16_t paragraph, char* out) {
    if (!ParagraphHasText(paragraph)) {
        ReportErrorF("Paragraph %d does not exist", paragraph);
        return;
    }
    const ParagraphEntry& row = paragraphTable[paragraph - 1];
    const TextChunk& chunk = textChunks[row.chunk];
    size_t length = 0;
    out[0] = '\0';
    for (int32_t i = row.firstWord; i < row.endWord; ++i) {
        const char* word = chunk.wordPool + chunk.wordOffsets[i];
        size_t wordLength = std::strlen(word);
        if (length + wordLength + 1 > PARAGRAPH_TEXT_LIMIT) {
            ReportErrorF("%d is Too many words", static_cast<int>(row.endWord - row.firstWord));
            break;
        }
        std::memcpy(out + length, word, wordLength);
        length += wordLength;
        out[length++] = ' ';
        out[length] = '\0';
    }
}
