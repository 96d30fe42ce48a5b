#pragma once

#include <cstdint>

#include "book/limits.h"

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

constexpr int LONG_RUN = 150;  // a run longer than this is handed over at the next space

// The flags a page build leaves for the next one, as one record
// (shell/reader_state.h): titleMode, skipCount and scannerState here,
// builderBold in page/builder.h and layoutBold in page/line.h. `spare` fills
// what would be padding, so two records compare by their bytes.
struct CarriedFlags {
    int32_t builderBold;
    uint8_t titleMode;
    uint8_t spare;
    int16_t skipCount;
    int32_t scannerState;
    int32_t layoutBold;
};

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
constexpr int STACK_SIZE = 10;
enum OperandKind : int { TruthValue = 0, ObjectReference = 2, NumberLiteral = 3 };
struct Operand {
    int32_t value;
    int kind;
};
struct Operator {
    char op;
    int16_t depth;  // parenthesis depth at which it was read
};
extern Operand operandStack[STACK_SIZE];
extern int16_t operandCount;
extern Operator operatorStack[STACK_SIZE];
extern int16_t operatorCount;
uint8_t EvaluateCondition();
// A push onto a full stack is reported and dropped; a pop from an empty one is
// reported and gives the bottom entry.
void PushOperand(int32_t value, int kind);
void PushOperator(char op);
int32_t PopOperand();
int32_t PopOperandValue();  // an object reference gives the object's value
void PopOperator();
// Moves commandPos over one parenthesised group, stopping on the ) that closes it.
void SkipOperandGroup(int16_t level);

// Chance (random.cpp).
extern bool rollSeeded;
int RandomNumber();
