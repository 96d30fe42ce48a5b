// The paragraph scanner: walks the assembled text once, gathering running text
// into runs for the page and commands for the tag interpreter, and showing or
// skipping the brace blocks after conditional tags.

#include <climits>
#include <cstring>

#include "base/report_error.h"
#include "page/builder.h"
#include "script/engine.h"
#include "script/hotwords.h"

int16_t scanPos = 0;
int scannerState = BetweenWords;
char wordBuffer[WORD_BUFFER_SIZE];
int16_t wordLength = 0;
char commandBuffer[COMMAND_BUFFER_SIZE];
int16_t commandPos = 0;
int16_t skipCount = 0;
uint8_t tagResult = 0;
uint8_t conditionalTag = 0;
uint8_t titleMode = 0;
uint8_t lastCondition = 1;

namespace {

// A run or command that outgrows its buffer is reported once; the characters
// that do not fit are dropped until the buffer is emptied.
bool wordOverflowReported = false;
bool commandOverflowReported = false;

void EmptyWord() {
    wordBuffer[0] = '\0';
    wordLength = 0;
    wordOverflowReported = false;
}

void AppendWordChar(char ch) {
    if (wordLength + 1 >= WORD_BUFFER_SIZE) {
        if (!wordOverflowReported) {
            ReportErrorF("%d is Too many letters in word", wordLength + 1);
            wordOverflowReported = true;
        }
        return;
    }
    wordBuffer[wordLength++] = ch;
    wordBuffer[wordLength] = '\0';
}

void AppendCommandChar(char ch) {
    if (commandPos + 1 >= COMMAND_BUFFER_SIZE) {
        if (!commandOverflowReported) {
            ReportErrorF("%d is Too many letters in command", commandPos + 1);
            commandOverflowReported = true;
        }
        return;
    }
    commandBuffer[commandPos++] = ch;
    commandBuffer[commandPos] = '\0';
}

void StartCommand() {
    if (!titleMode) FlushWord();
    commandPos = 0;
    std::memset(commandBuffer, 0, sizeof commandBuffer);
    commandOverflowReported = false;
    scannerState = InCommand;
}

void EndCommand() {
    if (scannerState != InCommand) return;
    tagResult = ExecuteTag();
    if (conditionalTag)
        scannerState = AfterCondition;
    else
        scannerState = tagResult ? BetweenWords : Skipping;
}

void OpenBlock(int16_t textLength) {
    if (scannerState == AfterCondition) {
        if (tagResult == 0) {
            // A count that would run past the end stops at the terminator; a
            // count that wrapped negative does not move backwards.
            int target = scanPos + (skipCount > 0 ? skipCount : 0);
            scanPos = static_cast<int16_t>(target < textLength ? target : textLength);
            scannerState = Skipping;
        } else {
            scannerState = BetweenWords;
        }
    }
    skipCount = 0;
}

void OrdinaryChar(char ch) {
    switch (scannerState) {
        case InWord:
            AppendWordChar(ch);
            if (ch == ' ' && !titleMode) FlushRunIfLong();
            break;
        case InCommand:
            AppendCommandChar(ch);
            break;
        case BetweenWords:
            if (ch == ' ') break;
            scannerState = InWord;
            AppendWordChar(ch);
            break;
        case AfterCondition:
            if (ch >= '0' && ch <= '9')
                skipCount = static_cast<int16_t>(skipCount * 10 + (ch - '0'));
            break;
        default:  // Skipping
            break;
    }
}

}  // namespace

void FlushWord() {
    if (wordBuffer[0] == '\0') return;
    AddTextAndClear(wordBuffer);
    EmptyWord();
}

void FlushRunIfLong() {
    const size_t length = std::strlen(wordBuffer);
    if (length <= LONG_RUN) return;
    AddTextAndClear(wordBuffer);
    wordLength = static_cast<int16_t>(wordLength - length);
    wordOverflowReported = false;
}

void FlushTitle() {
    AddTitleText(wordBuffer);
    EmptyWord();
}

void AppendToWord(const char* text) {
    const size_t length = std::strlen(wordBuffer) + std::strlen(text);
    if (length >= WORD_BUFFER_SIZE)
        ReportErrorF("%d is Too many letters in word", static_cast<int>(length));
    const size_t room = WORD_BUFFER_SIZE - 1 - std::strlen(wordBuffer);
    std::strncat(wordBuffer, text, room);
    wordLength = static_cast<int16_t>(std::strlen(wordBuffer));
}

void ScanParagraph(const char* text) {
    hotwordCount = 0;
    lastCondition = 1;
    EmptyWord();
    scanPos = 0;
    scannerState = BetweenWords;
    // Positions are 16-bit: text past the first 32,767 characters is not read.
    const int16_t textLength = static_cast<int16_t>(strnlen(text, SHRT_MAX));

    while (scanPos < textLength) {
        const char ch = text[scanPos++];
        switch (ch) {
            case '<':
                if (scannerState != Skipping) StartCommand();
                break;
            case '>':
                EndCommand();
                break;
            case '{':
                OpenBlock(textLength);
                break;
            case '}':
                scannerState = BetweenWords;
                break;
            default:
                OrdinaryChar(ch);
                break;
        }
    }
    if (scanPos < SHRT_MAX) ++scanPos;
}
