// Reads every paragraph of the shipped book back through the engine, as the
// page rebuild does (AssembleParagraph, then ScanParagraph), under several
// states of the objects and checkpoints, and checks that no page raises a
// message and that every choice it offers leads to a written paragraph.
#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <regex>
#include <string>
#include <vector>

#include "book/state.h"
#include "book/tables.h"
#include "book/text_store.h"
#include "device/record.h"
#include "page/builder.h"
#include "page/controls.h"
#include "script/engine.h"
#include "script/hotwords.h"
#include "shell/app_state.h"
#include "shell/navigation.h"
#include "support/page_host.h"

namespace {

// A whole book state: each object's held flag and current entry, and which
// checkpoint slots are in use.
struct BookStateSnapshot {
    std::string name;
    std::vector<uint8_t> held, current;
    std::vector<uint8_t> used;
};

BookStateSnapshot Fresh() {
    BookStateSnapshot s{"fresh", std::vector<uint8_t>(objectCount, 0),
                        std::vector<uint8_t>(objectCount, 0),
                        std::vector<uint8_t>(checkpointCount, 0)};
    return s;
}

// Everything held, every object at its last entry, every slot used.
BookStateSnapshot Full() {
    BookStateSnapshot s = Fresh();
    s.name = "full";
    for (int k = 0; k < objectCount; ++k) {
        s.held[k] = 1;
        s.current[k] =
            static_cast<uint8_t>(objectTable[k].count > 0 ? objectTable[k].count - 1 : 0);
    }
    for (int c = 0; c < checkpointCount; ++c) s.used[c] = 1;
    return s;
}

BookStateSnapshot Random(unsigned seed) {
    std::mt19937 rng(seed);
    BookStateSnapshot s = Fresh();
    s.name = "random " + std::to_string(seed);
    for (int k = 0; k < objectCount; ++k) {
        s.held[k] = static_cast<uint8_t>(rng() % 2);
        const int count = objectTable[k].count;
        s.current[k] = static_cast<uint8_t>(count > 0 ? rng() % static_cast<unsigned>(count) : 0);
    }
    for (int c = 0; c < checkpointCount; ++c) s.used[c] = static_cast<uint8_t>(rng() % 2);
    return s;
}

void Apply(const BookStateSnapshot& s) {
    ResetBookState();
    ClearCheckpoints();
    for (int k = 0; k < objectCount; ++k) {
        objectTable[k].held = s.held[k];
        objectTable[k].current = s.current[k];
    }
    for (int c = 0; c < checkpointCount; ++c) checkpointSlots[c].used = s.used[c];
}

bool Leads(int16_t reference) {
    const int paragraph = reference + 1;
    return paragraph >= 1 && paragraph <= paragraphCount &&
           ParagraphHasText(static_cast<int16_t>(paragraph));
}

// Builds paragraph `p` as the page rebuild would and returns what went wrong.
std::vector<std::string> BuildPage(int16_t p) {
    std::vector<std::string> faults;
    device::MessageBoxLog().clear();
    BuildParagraph(p);

    for (const auto& box : device::MessageBoxLog())
        faults.push_back("message: " + device::Narrow(box.text));
    if (titleMode != 0) faults.push_back("title left open");
    if (pageItemCount < 1 || pageItems[1].type != ItemTitle)
        faults.push_back("page does not start with its title");
    if (hotwordCount >= HOTWORD_LIMIT) faults.push_back("too many hotwords");
    // Spaces at the start of a run are dropped, so a run that follows a tag
    // must not need one: no sentence may run into the next word.
    static const std::regex joined("[.!?,;:]\"?[A-Za-z]");
    for (int i = 1; i <= pageItemCount; ++i)
        if (pageItems[i].type == ItemText && std::regex_search(pageItems[i].text, joined))
            faults.push_back(std::string("words run together: ") + pageItems[i].text);
    for (int i = 0; i < buttonCount; ++i) {
        // Text hotwords are the bordered buttons; pictures have no border.
        if (!(GetWindowLongW(buttonWindows[i], GWL_STYLE) & WS_BORDER)) continue;
        if (buttonRecords[i].textLength > 32)
            faults.push_back("caption too long for a line: button " + std::to_string(i));
        if (buttonRecords[i].textLength == 0) faults.push_back("button with no caption");
    }
    // A story page always offers a way on: a choice, or the page arrow.
    if ((p == 2 || p >= 48) && hotwordCount == 0 && nextArrowMode == 0)
        faults.push_back("no way on");
    for (int i = 0; i < hotwordCount; ++i) {
        const HotwordRecord& h = hotwordTable[i];
        const std::string which = std::string("hotword ") + h.kind + " #" + std::to_string(i);
        if (h.controlId == 0) faults.push_back(which + " has no control");
        if (h.kind == 'u') continue;  // goes to its slot's saved paragraph
        if (!Leads(h.target1)) faults.push_back(which + " target1 " + std::to_string(h.target1));
        if ((h.kind == 'L' || h.kind == 'd' || h.kind == 'S') && !Leads(h.target2))
            faults.push_back(which + " target2 " + std::to_string(h.target2));
        if (h.kind == 'd' && h.threshold2 != 0 && !Leads(h.target3))
            faults.push_back(which + " target3");
        if (h.kind == 'd' && h.threshold3 != 0 && !Leads(h.target4))
            faults.push_back(which + " target4");
        if (h.kind == 'S') {
            if (h.answer1[0] == '\0') faults.push_back(which + " has no answer");
            if (h.answer2[0] != '\0' && !Leads(h.target3)) faults.push_back(which + " target3");
            if (h.answer3[0] != '\0' && !Leads(h.target4)) faults.push_back(which + " target4");
        }
    }
    return faults;
}

class FernvaleScan : public ::testing::TestWithParam<int> {
   protected:
    void SetUp() override {
        ResetPageState();
        soundOn = 1;
        lastCondition = 1;
        hotwordCount = 0;
    }
};

TEST_P(FernvaleScan, EveryParagraphBuildsWithoutAMessage) {
    const int variant = GetParam();
    const BookStateSnapshot state = variant == 0   ? Fresh()
                                    : variant == 1 ? Full()
                                                   : Random(1000u + variant);
    int built = 0;
    for (int16_t p = 1; p <= paragraphCount; ++p) {
        if (!ParagraphHasText(p) ||
            paragraphTable[p - 1].firstWord == paragraphTable[p - 1].endWord)
            continue;
        Apply(state);
        for (const std::string& fault : BuildPage(p))
            ADD_FAILURE() << "paragraph " << p << " (" << state.name << "): " << fault;
        ++built;
    }
    EXPECT_EQ(built, 303);
}

// Fresh, everything held at its last state, and a spread of mixed states.
INSTANTIATE_TEST_SUITE_P(States, FernvaleScan, ::testing::Range(0, 10));

}  // namespace
