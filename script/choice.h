#pragma once

#include <cstdint>

// Carrying out a chosen hotword or a confirmed answer.

constexpr int OBJECT_SLOTS = 37;  // infoPageButtonIds holds one id per object of the table

// The information page's button for each object, -1 where it has none.
extern int16_t infoPageButtonIds[OBJECT_SLOTS];

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
// 0 when the two texts are equal ignoring spaces and the case of a-z.
int AnswersMatch(const char* stored, const char* typed);
