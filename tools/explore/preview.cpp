// One page under a chosen state, painted as the reader paints it.
#include <sstream>

#include "base/app_state.h"
#include "book/state.h"
#include "book/tables.h"
#include "display/screenshot.h"
#include "entry/dump.h"
#include "shell/navigation.h"
#include "tools/explore/explorer.h"
#include "tools/explore/host.h"

namespace explore {

bool Preview(int paragraph, const std::string& stateText, const std::string& pngPath,
             std::string& dump, std::string& error) {
    if (paragraph < 1 || paragraph > paragraphCount) {
        error = "paragraph " + std::to_string(paragraph) + " is not in the book (1 to " +
                std::to_string(paragraphCount) + ")";
        return false;
    }
    OpenHost(true);
    ResetBookState();
    ClearCheckpoints();
    std::istringstream in(stateText);
    std::string line;
    for (int number = 1; std::getline(in, line); ++number) {
        if (line.empty() || line[0] == '#') continue;
        std::istringstream words(line);
        std::string object, heldWord, valueWord;
        int k = -1, held = 0, value = 0;
        if (!(words >> object >> k >> heldWord >> held >> valueWord >> value) ||
            object != "object" || heldWord != "held" || valueWord != "value" || k < 0 ||
            k >= objectCount) {
            error = "state line " + std::to_string(number) +
                    ": write \"object K held 0|1 value V\" with K an object of the book";
            return false;
        }
        if (objectTable[k].type == OBJECT_NUMBER) {
            SetObjectValue(k, value);
        } else {
            SetObjectHeld(k, held != 0);
            SetObjectValue(k, value);
        }
    }
    pendingBuiltInPage = 0;  // past the introduction, as a reader in the story is
    GoToParagraph(static_cast<int16_t>(paragraph), NAV_STORY);
    if (!device::SaveScreen(pngPath)) {
        error = "cannot write " + pngPath;
        return false;
    }
    dump = device::DumpScreen();
    return true;
}

}  // namespace explore
