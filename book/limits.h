#pragma once

#include <cstdint>

// What the reader's fixed buffers hold, in one place: the book compiler
// refuses a book that would pass them, the engine reports and cuts at them.
// Sizes count the terminating NUL where there is one.

constexpr int WORD_BUFFER_SIZE = 300;       // a word, a title or a text run
constexpr int COMMAND_BUFFER_SIZE = 400;    // one tag between < and >
constexpr int HOTWORD_LIMIT = 100;          // reaching it is reported
constexpr int BUTTON_TEXT_SIZE = 104;       // a hotword's face text
constexpr int ANSWER_SIZE = 20;             // one answer of an answer box
constexpr int PARAGRAPH_TEXT_LIMIT = 1378;  // a paragraph's text, spaces included
constexpr int PAGE_ITEM_LIMIT = 400;        // items of one page
constexpr int PAGE_TEXT_POOL_SIZE = 1780;   // the text runs of one page
constexpr int OBJECT_LIMIT = 37;            // objects: the information page's ids, one each
constexpr uint32_t WORD_OFFSET_LIMIT =
    65535;  // a word index is 16-bit: the last pool offset it reaches
