#include "script/choice.h"

#include "base/navigation_state.h"
#include "book/state.h"
#include "book/tables.h"
#include "script/engine.h"
#include "script/hotwords.h"

int16_t infoPageButtonIds[OBJECT_LIMIT];

int ChanceRange(char kind) {
    return kind == 'L' ? 20 : kind == 'd' ? 100 : 0;
}

int16_t HotwordTarget(const HotwordRecord& record, int roll, const char* answer) {
    switch (record.kind) {
        case 'L':
            return roll > static_cast<int16_t>(record.value) ? record.target2 : record.target1;
        case 'd':
            // Up to four outcomes: the first bound is `value`, then threshold2
            // and threshold3 (0 when unused).
            if (roll <= record.value) return record.target1;
            if (roll <= record.threshold2) return record.target3;
            if (roll <= record.threshold3) return record.target4;
            return record.target2;
        case 'S':
            if (AnswersMatch(" ", answer) == 0) return record.target2;  // nothing but spaces
            if (AnswersMatch(record.answer1, answer) == 0) return record.target1;
            if (AnswersMatch(record.answer2, answer) == 0) return record.target3;
            if (AnswersMatch(record.answer3, answer) == 0) return record.target4;
            return record.target2;
        default:
            return record.target1;
    }
}

ChoiceDestination ResolveChoice(int16_t id, const char* answer) {
    const ChoiceDestination nowhere = {false, 0, NAV_KEEP};
    if (hotwordCount == 0) return nowhere;
    const HotwordRecord* found = nullptr;
    for (int i = 0; i < hotwordCount && i < HOTWORD_LIMIT; ++i) {
        if (hotwordTable[i].controlId == id) {
            found = &hotwordTable[i];
            break;
        }
    }
    if (!found) return nowhere;
    const HotwordRecord& record = *found;
    const int range = ChanceRange(record.kind);
    int16_t destination = HotwordTarget(record, range ? RandomNumber() % range + 1 : 0, answer);
    int mode = NAV_KEEP;
    switch (record.kind) {
        case 'g':
            mode = NAV_ASIDE;
            break;
        case 'm':
            mode = NAV_STORY;
            break;
        case 'N':
            SetObjectHeld(record.objectIndex, true);
            break;
        case 'Q':
            SetObjectHeld(record.objectIndex, false);
            break;
        case 'R':
            SetObjectValue(record.objectIndex, static_cast<int16_t>(record.value));
            break;
        case 'u': {
            const CheckpointSlot* slot = CheckpointAt(record.objectIndex);
            if (!slot) return nowhere;  // a slot the book does not have: nowhere to go back to
            RestoreCheckpoint(record.objectIndex);
            destination = slot->paragraph;
            mode = NAV_STORY;
            break;
        }
        default:
            break;
    }
    return {true, static_cast<int16_t>(destination + 1), mode};
}

ChoiceDestination ResolveInventoryChoice(int16_t id) {
    for (int k = 0; k < OBJECT_LIMIT && k < objectCount; ++k)
        if (infoPageButtonIds[k] == id)
            return {true, static_cast<int16_t>(objectTable[k].infoParagraph + 1), NAV_ASIDE};
    return {false, 0, NAV_KEEP};
}

int AnswersMatch(const char* stored, const char* typed) {
    if (!typed) return 1;
    for (;;) {
        while (*stored == ' ') ++stored;
        while (*typed == ' ') ++typed;
        if (*stored == '\0' || *typed == '\0')
            return static_cast<unsigned char>(*stored) - static_cast<unsigned char>(*typed);
        char s = *stored, t = *typed;
        if (s >= 'a' && s <= 'z') s = static_cast<char>(s - 'a' + 'A');
        if (t >= 'a' && t <= 'z') t = static_cast<char>(t - 'a' + 'A');
        if (s != t) return static_cast<unsigned char>(s) - static_cast<unsigned char>(t);
        ++stored;
        ++typed;
    }
}
