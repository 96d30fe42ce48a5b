// Hotword construction: reads a hotword tag's face, chances, answers and
// targets into the record of the page, and asks the page for its control.

#include "script/hotwords.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "book/state.h"
#include "page/controls.h"
#include "script/engine.h"

HotwordRecord hotwordTable[HOTWORD_LIMIT];
int16_t hotwordCount = 0;

namespace {

HotwordRecord scratch;

char Peek() {
    return CommandAt(commandPos);
}

// Steps over `c` when it is the next character.
void Pass(char c) {
    if (Peek() == c) ++commandPos;
}

// Copies the characters up to `end` (or the terminator) into `out`, cut to
// size - 1 characters, and steps past `end` if it is there. Gives the length
// stored.
int ReadUntil(char end, char* out, int size) {
    int stored = 0;
    while (Peek() != '\0' && Peek() != end) {
        if (stored < size - 1) out[stored++] = Peek();
        ++commandPos;
    }
    out[stored] = '\0';
    Pass(end);
    return stored;
}

// Steps into an optional parenthesised group when one follows.
bool OpenGroup() {
    if (Peek() != '(') return false;
    ++commandPos;
    return true;
}

// After a group's contents: passes one `)` and one space, reads the group's
// target and passes one more space.
int16_t CloseGroupAndReadTarget() {
    Pass(')');
    Pass(' ');
    const int16_t target = ParseNumber();
    Pass(' ');
    return target;
}

int16_t MakeTextButton(const char* caption) {
    return HotwordTableFull() ? 0 : AddHotwordButton(caption);
}

int16_t MakeImageButton(int16_t imageIndex) {
    return HotwordTableFull() ? 0 : AddHotwordImageButton(imageIndex);
}

// The face of an unquoted hotword: a picture ($n) or an object's shown value (%n).
int16_t MakeUnquotedFace() {
    const char c = Peek();
    if (c != '$' && c != '%') return 0;
    ++commandPos;
    const int16_t n = ParseNumber();
    if (c == '$') return MakeImageButton(n);
    const ObjectEntry* object = ObjectAt(n);
    if (!object) return 0;
    switch (object->type) {
        case OBJECT_TEXT: {
            const char* text = ObjectCurrentText(n);
            return text ? MakeTextButton(text) : 0;
        }
        case OBJECT_NUMBER: {
            char number[16];
            std::snprintf(number, sizeof number, " %d", object->number);
            return MakeTextButton(number);
        }
        case OBJECT_IMAGE: {
            const int image = ObjectCurrentImage(n);
            return image >= 0 ? MakeImageButton(static_cast<int16_t>(image)) : 0;
        }
        default:
            return 0;
    }
}

}  // namespace

bool HotwordTableFull() {
    return hotwordCount >= HOTWORD_LIMIT;
}

HotwordRecord& CurrentHotword() {
    return HotwordTableFull() ? scratch : hotwordTable[hotwordCount];
}

void CompleteHotword() {
    if (!HotwordTableFull()) ++hotwordCount;
}

void AddHotword(bool quoted) {
    HotwordRecord& record = CurrentHotword();
    int16_t id = 0;
    if (quoted) {
        char caption[BUTTON_TEXT_SIZE];
        ReadUntil('"', caption, sizeof caption);
        id = MakeTextButton(caption);
    } else {
        id = MakeUnquotedFace();
    }
    record.controlId = id;
    Pass(' ');
    record.target1 = ParseNumber();
}

void AddChanceHotword() {
    HotwordRecord& record = CurrentHotword();
    char caption[BUTTON_TEXT_SIZE];
    ReadUntil('"', caption, sizeof caption);
    record.controlId = MakeTextButton(caption);

    // Chances are written as separate percentages and kept as running bounds.
    SkipPastChar('(');
    record.value = static_cast<int8_t>(ParseNumber());
    record.target1 = CloseGroupAndReadTarget();
    record.threshold2 = 0;
    record.threshold3 = 0;
    if (OpenGroup()) {
        record.threshold2 = static_cast<int8_t>(record.value + ParseNumber());
        record.target3 = CloseGroupAndReadTarget();
    }
    if (OpenGroup()) {
        record.threshold3 = static_cast<int8_t>(record.threshold2 + ParseNumber());
        record.target4 = CloseGroupAndReadTarget();
    }
    record.target2 = ParseNumber();
}

void AddAnswerBox() {
    HotwordRecord& record = CurrentHotword();
    int longest = ReadUntil(')', record.answer1, ANSWER_SIZE);
    record.answer2[0] = '\0';
    record.answer3[0] = '\0';
    record.target1 = CloseGroupAndReadTarget();
    if (OpenGroup()) {
        longest = std::max(longest, ReadUntil(')', record.answer2, ANSWER_SIZE));
        record.target3 = CloseGroupAndReadTarget();
    }
    if (OpenGroup()) {
        longest = std::max(longest, ReadUntil(')', record.answer3, ANSWER_SIZE));
        record.target4 = CloseGroupAndReadTarget();
    }
    record.target2 = ParseNumber();
    if (!HotwordTableFull()) record.controlId = AddEditBox(static_cast<int16_t>(longest));
}
