#pragma once

#include <cstdint>

// Page controls the markup engine asks for. Each creates its control, appends
// the page item that places it and gives the control's identifier.

// An answer box taking at most `maxChars` characters: identifier 4000 + n.
int16_t AddEditBox(int16_t maxChars);
// A hotword button showing `caption`: identifier 5000 + n.
int16_t AddHotwordButton(const char* caption);
// A hotword button showing book image `imageIndex`: identifier 5000 + n.
int16_t AddHotwordImageButton(int16_t imageIndex);
