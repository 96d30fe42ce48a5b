#include "shell/app_state.h"

HINSTANCE appInstance = nullptr;
int16_t storyParagraph = 2;
uint8_t soundOn = 1;
