// The tag interpreter: carries out one command of the markup, gathered by the
// scanner into commandBuffer, and gives the result that decides whether a
// brace block after it is shown.

#include "script/tags.h"

#include <cstdio>

#include "base/app_state.h"
#include "base/report_error.h"
#include "book/state.h"
#include "book/tables.h"
#include "page/builder.h"
#include "script/engine.h"
#include "script/hotwords.h"
#include "windows.h"

namespace {

char Peek() {
    return CommandAt(commandPos);
}

void PassSpace() {
    if (Peek() == ' ') ++commandPos;
}

// Tags that take a number right after the letter allow one space before it.
void StartAfterLetter() {
    commandPos = (commandBuffer[1] == ' ') ? 2 : 1;
}

// Runs the face-and-target construct for a quoted or unquoted face at commandPos.
void MakeHotwordHere() {
    if (Peek() == '"') {
        ++commandPos;
        AddHotword(true);
    } else {
        AddHotword(false);
    }
    CompleteHotword();
}

void GainOrLose(char letter) {
    HotwordRecord& record = CurrentHotword();
    record.kind = letter;
    SkipPastChar('%');
    const int16_t object = ParseNumber();
    record.objectIndex = object;
    PassSpace();
    if (Peek() != '\0') {
        MakeHotwordHere();
    } else {
        SetObjectHeld(object, letter == 'N');
    }
}

void SetValue(char letter) {
    HotwordRecord& record = CurrentHotword();
    record.kind = 'R';
    SkipPastChar('%');
    const int16_t object = ParseNumber();
    record.objectIndex = object;
    PassSpace();

    bool subtract = false;
    if (Peek() == '-' && CommandAt(commandPos + 1) == '%') {
        subtract = true;
        ++commandPos;
    }
    int v;
    if (Peek() == '%') {
        ++commandPos;
        v = ObjectValue(ParseNumber());
    } else if (Peek() == 'z' && letter == 'R') {
        ++commandPos;
        v = RandomNumber();
        const ObjectEntry* entry = ObjectAt(object);
        if (entry && entry->count > 0) v %= entry->count;
    } else {
        v = ParseNumber();
    }
    if (letter == 'r') v = (subtract ? -v : v) + ObjectValue(object);
    v = ClampObjectValue(object, v);
    record.value = v;
    PassSpace();
    if (Peek() != '\0') {
        MakeHotwordHere();
    } else {
        SetObjectValue(object, v);
    }
}

void ShowObjectValue() {
    SkipPastChar('%');
    const int16_t k = ParseNumber();
    const ObjectEntry* object = ObjectAt(k);
    if (!object) return;
    char number[16];
    const char* text = nullptr;
    switch (object->type) {
        case OBJECT_TEXT:
            text = ObjectCurrentText(k);
            break;
        case OBJECT_NUMBER:
            std::snprintf(number, sizeof number, " %d", object->number);
            text = number;
            break;
        case OBJECT_IMAGE:
            if (titleMode)
                ReportError("Images not allowed in title");
            else
                AddImage(ObjectCurrentImage(k), 1);  // an object without an image adds nothing
            return;
        default:
            return;
    }
    if (!text) return;
    if (titleMode)
        AppendToWord(text);
    else
        AddText(text);
}

void RecordCheckpoint() {
    SkipPastChar('*');
    const int16_t slot = ParseNumber();
    SaveCheckpoint(slot);
}

// The checkpoint hotword: a button and the slot's place name when the slot is
// in use; otherwise false, so the block after it is skipped.
uint8_t CheckpointHotword() {
    SkipPastChar('*');
    const int16_t slot = ParseNumber();
    const CheckpointSlot* entry = CheckpointAt(slot);
    if (!entry || !entry->used) return 0;
    HotwordRecord& record = CurrentHotword();
    record.kind = 'u';
    record.objectIndex = slot;
    SkipPastChar('"');
    AddHotword(true);
    CompleteHotword();
    AppendToWord(entry->name ? entry->name : "");
    AppendToWord(" ");
    return 1;
}

uint8_t Condition() {
    const uint8_t result = EvaluateCondition();
    lastCondition = result;
    return result;
}

}  // namespace

int16_t ParseNumber() {
    // Accumulated modulo 2^16: the stored number is its low 16 bits anyway.
    uint16_t value = 0;
    bool negative = false;
    for (;; ++commandPos) {
        const char c = Peek();
        if (c == '+') continue;
        if (c == '-') {
            negative = true;
            continue;
        }
        if (c < '0' || c > '9') break;
        value = static_cast<uint16_t>(value * 10u + static_cast<unsigned>(c - '0'));
    }
    return static_cast<int16_t>(negative ? static_cast<uint16_t>(0u - value) : value);
}

void SkipPastChar(char c) {
    while (CommandAt(commandPos) != '\0' && CommandAt(commandPos) != c) ++commandPos;
    // Past `c`, or past the terminator; never further than one past the buffer.
    if (commandPos <= COMMAND_BUFFER_SIZE) ++commandPos;
}

void PlayBookSound(int16_t index) {
    if (!soundOn || index < 0 || index >= soundCount) return;
    PlaySoundW(soundTable[index], appInstance, SND_RESOURCE | SND_ASYNC);
}

void StopBookSound() {
    PlaySoundW(nullptr, nullptr, SND_FILENAME | SND_NODEFAULT | SND_ASYNC);
}

uint8_t ExecuteTag() {
    const char letter = commandBuffer[0];
    const TagInfo* tag = FindTag(letter);
    conditionalTag = tag && tag->block ? 1 : 0;  // the scanner then shows or skips its block
    HotwordRecord& fresh = CurrentHotword();
    fresh.controlId = 0;
    fresh.target1 = 0;
    commandPos = 1;

    switch (letter) {
        case 'A':
            StartAfterLetter();
            PlayBookSound(ParseNumber());
            break;
        case 'B':
            BeginBold();
            break;
        case 'C':
            StopBookSound();
            break;
        case 'D':
            EndBold();
            break;
        case 'E':
            return lastCondition == 0 ? 1 : 0;
        case 'G':
            scannerState = BetweenWords;
            break;
        case 'H':
            titleMode = 1;
            break;
        case 'J':
            titleMode = 0;
            FlushTitle();
            scannerState = BetweenWords;
            break;
        case 'L':
        case 'd':
            CurrentHotword().kind = letter;
            SkipPastChar('"');
            AddChanceHotword();
            CompleteHotword();
            break;
        case 'M':
        case 'g':
        case 'm':
            CurrentHotword().kind = letter;
            StartAfterLetter();
            MakeHotwordHere();
            break;
        case 'N':
        case 'Q':
            GainOrLose(letter);
            break;
        case 'O':
            return Condition();
        case 'P':
            AddParagraphBreak();
            break;
        case 'R':
        case 'r':
            SetValue(letter);
            break;
        case 'S':
            CurrentHotword().kind = 'S';
            SkipPastChar('(');
            AddAnswerBox();
            CompleteHotword();
            break;
        case 'T':
            AddTab();
            break;
        case 'U':
            AddLineBreak();
            break;
        case 'V':
            StartAfterLetter();
            AddImage(ParseNumber(), 0);
            break;
        case 'W':
            StartAfterLetter();
            SetAlignment(ParseNumber());
            break;
        case 'a':
            if (titleMode)
                AppendToWord(" ");
            else
                AddText(" ");
            break;
        case 'l':
            ShowObjectValue();
            break;
        case 'n':
            StartAfterLetter();
            SetNextArrowParagraph(ParseNumber());
            break;
        case 'o':
            if (lastCondition) return 0;
            return Condition();
        case 'p':
            StartAfterLetter();
            SetPrevArrowParagraph(ParseNumber());
            break;
        case 's':
            RecordCheckpoint();
            break;
        case 'u':
            if (!CheckpointHotword()) return 0;
            break;
        case 'v':
            StartAfterLetter();
            AddImage(ParseNumber(), 1);
            break;
        default:  // I, K, Y, F and unknown letters: no effect
            break;
    }
    if (hotwordCount >= HOTWORD_LIMIT) ReportError("Hotwords structure array overflow");
    return 1;
}
