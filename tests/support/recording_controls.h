#pragma once

#include <cstdint>
#include <string>
#include <vector>

// A stand-in for the page controls: records what the markup engine asked
// for, numbers controls as the page does, and appends their page items.
struct RecordedControl {
    enum Kind { EditBox, TextButton, ImageButton } kind;
    std::string caption;   // text buttons
    int16_t imageIndex;    // image buttons
    int16_t maxChars;      // edit boxes
    int16_t id;
};

std::vector<RecordedControl>& RecordedControls();
// Forgets the controls and restarts the numbering (a new page).
void ResetRecordedControls();
