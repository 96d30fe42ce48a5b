#pragma once

#include <cstdint>

#include "book/limits.h"

// The assembled text of the paragraph being shown: at most 1,378 characters of
// words, each followed by one space, then a NUL.
constexpr int PARAGRAPH_TEXT_SIZE = 1380;
extern char paragraphText[PARAGRAPH_TEXT_SIZE];

// True when `paragraph` is a number of the book whose row has text.
bool ParagraphHasText(int16_t paragraph);

// Writes the words of `paragraph` into `out` (PARAGRAPH_TEXT_SIZE bytes), each
// followed by one space. A paragraph without text, or outside the book, is
// reported and leaves `out` as it was. Words that would take the text past
// 1,378 characters are reported once and dropped.
void AssembleParagraph(int16_t paragraph, char* out);
