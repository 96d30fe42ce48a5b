#pragma once

#include <cstdint>

#include "book/limits.h"

// Carrying out a chosen hotword or a confirmed answer.

struct HotwordRecord;

// The information page's button for each object, -1 where it has none. The
// book compiler refuses a book with more objects.
extern int16_t infoPageButtonIds[OBJECT_LIMIT];

// Where a choice leads: the paragraph number to show and the navigation mode
// (NavMode). `leads` is false when the choice leads nowhere and nothing
// changes page.
struct ChoiceDestination {
    bool leads;
    int16_t paragraph;
    int mode;
};

// Finds the page's hotword whose control has `id`, applies its effect and
// gives where it leads; the shell navigates there. `answer` is the confirmed
// text of an answer box, "" for a button.
ChoiceDestination ResolveChoice(int16_t id, const char* answer);
// On the code-built information page: the clicked object's description, as a
// side page.
ChoiceDestination ResolveInventoryChoice(int16_t id);
// The rolls a chance hotword draws from: 1 to 20 for `L`, 1 to 100 for `d`;
// 0 for the kinds that roll nothing.
int ChanceRange(char kind);
// Where a hotword leads, as a paragraph reference: a chance hotword by the
// band `roll` falls in, an answer box by the first accepted answer `answer`
// matches, each with target2 as its fallback; every other kind to target1
// (a checkpoint's own place is ResolveChoice's).
int16_t HotwordTarget(const HotwordRecord& record, int roll, const char* answer);
// 0 when the two texts are equal ignoring spaces and the case of a-z.
int AnswersMatch(const char* stored, const char* typed);
