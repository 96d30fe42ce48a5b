#pragma once

#include <cstdint>

#include "windows.h"

// Application-wide state that the script engine reads.
extern HINSTANCE appInstance;     // the program's module, for resources
extern int16_t storyParagraph;    // the last story page shown (a paragraph number)
extern uint8_t soundOn;           // the sound setting: book sounds play when set
