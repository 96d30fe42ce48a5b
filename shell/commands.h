#pragma once

#include "windows.h"

// The reader's command identifiers: the menu's items, the icon bar's buttons
// and the built-in pages' buttons. resources/resources.txt gives the menu and
// the icon bar the same numbers.
enum Command : int16_t {
    CMD_MENU = 401,
    CMD_BEGINNING = 500,
    CMD_INFORMATION = 501,
    CMD_RESTART = 502,
    CMD_OBJECTIVE = 503,
    CMD_SOUNDS = 504,
    CMD_HINTS = 506,
    CMD_ABOUT = 507,
    CMD_CREDITS = 508,
    CMD_EXIT = 509,
    CMD_RETURN = 510,
    CMD_NEXT = 511,
    CMD_PREVIOUS = 512,
    CMD_INSTRUCTIONS = 513,
    // Blank icon-bar buttons that hold the places of the return and previous
    // arrows while those are hidden.
    CMD_RETURN_BLANK = 514,
    CMD_PREVIOUS_BLANK = 515,
    CMD_SOUND_BOX = 518,
    CMD_SOUND_OK = 519,
};

// The notification an answer box sends its parent when the reader confirms
// the typed answer.
constexpr WORD ANSWER_CONFIRM = 0x501;
