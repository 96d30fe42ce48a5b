#pragma once

#include <cstdint>

#include "book/limits.h"

// A choice on the page: what clicking its button, or confirming its answer
// box, will do. Filled while the page is built; carried out when chosen.
struct HotwordRecord {
    char kind;            // the tag letter: M g m N Q R L d S u (R also for r)
    int16_t objectIndex;  // N Q R: the object; u: the checkpoint slot
    int32_t value;        // R: the value to store; L d: the first chance
    int8_t threshold2;    // d: upper bound of the second outcome
    int8_t threshold3;    // d: upper bound of the third outcome
    char answer1[ANSWER_SIZE];
    char answer2[ANSWER_SIZE];
    char answer3[ANSWER_SIZE];
    int16_t controlId;  // 5000 + n for buttons, 4000 + n for answer boxes, 0 for none
    int16_t target1;    // destinations, as paragraph number minus one
    int16_t target2;
    int16_t target3;
    int16_t target4;
};

extern HotwordRecord hotwordTable[HOTWORD_LIMIT];
extern int16_t hotwordCount;

// The record the current tag fills: hotwordTable[hotwordCount], or a scratch
// record once the table is full, so that a tag past the hundredth hotword is
// read but neither stored nor given a control.
HotwordRecord& CurrentHotword();
bool HotwordTableFull();
// Counts the current record as made (nothing once the table is full).
void CompleteHotword();

// The three constructs, reading commandBuffer from commandPos.
void AddHotword(bool quoted);
void AddChanceHotword();
void AddAnswerBox();
