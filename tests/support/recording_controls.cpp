#include "support/recording_controls.h"

#include "page/builder.h"
#include "page/controls.h"

namespace {
int16_t editBoxes = 0;
int16_t buttons = 0;
}  // namespace

std::vector<RecordedControl>& RecordedControls() {
    static std::vector<RecordedControl> controls;
    return controls;
}

void ResetRecordedControls() {
    RecordedControls().clear();
    editBoxes = 0;
    buttons = 0;
}

int16_t AddEditBox(int16_t maxChars) {
    const int16_t id = static_cast<int16_t>(4000 + editBoxes);
    AppendIndexedItem(ItemEditBox, static_cast<uint16_t>(editBoxes++));
    RecordedControls().push_back({RecordedControl::EditBox, "", 0, maxChars, id});
    return id;
}

int16_t AddHotwordButton(const char* caption) {
    const int16_t id = static_cast<int16_t>(5000 + buttons);
    AppendIndexedItem(ItemButton, static_cast<uint16_t>(buttons++));
    RecordedControls().push_back({RecordedControl::TextButton, caption, 0, 0, id});
    return id;
}

int16_t AddHotwordImageButton(int16_t imageIndex) {
    const int16_t id = static_cast<int16_t>(5000 + buttons);
    AppendIndexedItem(ItemButton, static_cast<uint16_t>(buttons++));
    RecordedControls().push_back({RecordedControl::ImageButton, "", imageIndex, 0, id});
    return id;
}
