#pragma once

#include <cstdint>

// The markup engine's shared state. A paragraph is scanned once per page
// build; its tags are executed as they are met. All of it lives on the
// user-interface thread and is not re-entrant.

enum ScannerState : int {
    InWord = 0,
    InCommand = 1,
    Skipping = 2,
    BetweenWords = 3,
    AfterCondition = 4,
};

constexpr int WORD_BUFFER_SIZE = 300;
constexpr int COMMAND_BUFFER_SIZE = 400;
constexpr int LONG_RUN = 150;  // a run longer than this is handed over at the next space

extern int16_t scanPos;
extern int scannerState;
extern char wordBuffer[WORD_BUFFER_SIZE];
extern int16_t wordLength;
// Zeroed when a command starts, so everything after its terminator reads as 0.
extern char commandBuffer[COMMAND_BUFFER_SIZE];
extern int16_t commandPos;
extern int16_t skipCount;
extern uint8_t tagResult;
extern uint8_t conditionalTag;
extern uint8_t titleMode;
extern uint8_t lastCondition;
extern int16_t currentObject;

// Scanner (scanner.cpp).
void ScanParagraph(const char* text);
void FlushWord();
void FlushRunIfLong();
void FlushTitle();
// Appends `text` to the pending run, reporting a run of 300 or more
// characters; what does not fit the buffer is cut.
void AppendToWord(const char* text);

// The command character at `pos`; 0 outside the buffer, so readers that step
// past the terminator never leave it.
inline char CommandAt(int pos) {
    return (pos >= 0 && pos < COMMAND_BUFFER_SIZE) ? commandBuffer[pos] : '\0';
}

// Tags (tags.cpp).
uint8_t ExecuteTag();
int16_t ParseNumber();
void SkipPastChar(char c);
void PlayBookSound(int16_t index);
void StopBookSound();

// Conditions (condition.cpp): ten operands and ten operators at most.
extern int16_t operandCount;
extern int16_t operatorCount;
uint8_t EvaluateCondition();

// Chance (random.cpp).
extern bool rollSeeded;
int RandomNumber();
