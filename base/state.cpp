#include "base/app_state.h"
#include "base/navigation_state.h"

HINSTANCE appInstance = nullptr;
HWND mainWindow = nullptr;
HWND menuBar = nullptr;
HANDLE progressFile = INVALID_HANDLE_VALUE;
uint32_t inputPanelFlags = 0;
int32_t pageHeight = 0;
RECT clientRect = {};
RECT pageRect = {};
uint8_t soundOn = 1;

int16_t currentParagraph = PARAGRAPH_BEGINNING;
int16_t storyParagraph = PARAGRAPH_BEGINNING;
int32_t inStory = 1;
int32_t pendingBuiltInPage = PAGE_PRESENTS;  // the intro sequence starts here
int32_t pageDirty = 1;
int32_t scrollOffset = 0;
int32_t choiceTaken = 0;
int32_t infoPageShowing = 0;
int32_t soundPageShowing = 0;
