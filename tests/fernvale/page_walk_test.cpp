// Shows every paragraph of the shipped book on the reader's window, with the
// objects as a new reader has them and with everything held at its last value
// and every checkpoint saved.
//
// EveryPageIsShownWholeWithoutAMessage scrolls each page to its end: no page
// raises a message, every text run drawn is whole and inside the window (no
// word is cut off at the right edge), no sentence runs into the next word, no
// stop can wrap alone, and every text hotword has a caption that fits a line.
//
// FernvaleRepaint drives each page through each sequence of a person's
// scrolling (keys, the scroll bar's arrows, page areas and thumb, the input
// panel, a trip to the information page and back), given as device script
// commands, and then the screen must be exactly what a paint of the whole
// window at the same scroll position shows: the same dump, the same pixels.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "base/app_state.h"
#include "book/state.h"
#include "book/tables.h"
#include "book/text_store.h"
#include "chrome/chrome.h"
#include "device/backend.h"
#include "device/record.h"
#include "entry/dump.h"
#include "entry/script.h"
#include "gdi/surface.h"
#include "page/builder.h"
#include "page/controls.h"
#include "page/layout.h"
#include "shell/navigation.h"
#include "support/page_host.h"

namespace {

struct Run {
    int x, width, weight;
    std::u16string text;
};

// The text runs of the reader's window in a screen dump.
std::vector<Run> RunsOnPage(const std::string& dump) {
    static const std::regex line(
        R"re(^  text at (-?\d+),-?\d+ size (\d+)x\d+ weight (\d+) "(.*)"$)re");
    std::vector<Run> runs;
    std::istringstream in(dump);
    std::string s;
    bool page = false;
    while (std::getline(in, s)) {
        if (s.rfind("window ", 0) == 0) page = s.find("class QOT1Fernvale") != std::string::npos;
        std::smatch m;
        if (!page || !std::regex_match(s, m, line)) continue;
        std::u16string text;
        const std::string q = m[4];
        for (size_t i = 0; i < q.size(); ++i) {
            if (q[i] == '\\' && i + 1 < q.size()) ++i;  // the book's text is printable ASCII
            text += static_cast<char16_t>(static_cast<unsigned char>(q[i]));
        }
        runs.push_back({std::stoi(m[1]), std::stoi(m[2]), std::stoi(m[3]), text});
    }
    return runs;
}

int Measure(const Run& run) {
    HDC dc = CreateCompatibleDC(nullptr);
    SelectObject(dc, run.weight >= 600 ? boldFont : normalFont);
    SIZE size = {};
    GetTextExtentPoint32W(dc, run.text.c_str(), static_cast<int>(run.text.size()), &size);
    DeleteDC(dc);
    return size.cx;
}

// Faults of the page on screen now: messages raised, runs cut short or
// reaching past the window.
int CheckRuns(int16_t p, std::vector<std::string>& faults) {
    // Taken before the dump, which empties the log.
    for (const auto& box : device::MessageBoxLog())
        faults.push_back("paragraph " + std::to_string(p) + ": message " +
                         device::Narrow(box.text));
    RECT client;
    GetClientRect(mainWindow, &client);
    const std::vector<Run> runs = RunsOnPage(device::DumpScreen());
    for (const Run& run : runs) {
        const int whole = Measure(run);
        const std::string text(run.text.begin(), run.text.end());
        if (whole > run.width || run.x + whole > client.right)
            faults.push_back("paragraph " + std::to_string(p) + ": cut off: \"" + text + "\"");
    }
    return static_cast<int>(runs.size());
}

// Faults of the page just built, in its items and controls.
void CheckBuild(int16_t p, std::vector<std::string>& faults) {
    const std::string at = "paragraph " + std::to_string(p) + ": ";
    // Spaces at the start of a run are dropped, so a run that follows a tag
    // must not need one.
    static const std::regex joined("[.!?,;:]\"?[A-Za-z]");
    // A run is cut from the one before it only by a bold change, a control or
    // a break, and a line may break between runs: a run that starts with a
    // stop would let the stop wrap alone to the next line.
    static const std::regex stop("^[.,;:!?]");
    for (int i = 1; i <= pageItemCount; ++i) {
        if (pageItems[i].type != ItemText) continue;
        if (std::regex_search(pageItems[i].text, joined))
            faults.push_back(at + "words run together: " + pageItems[i].text);
        if (std::regex_search(pageItems[i].text, stop))
            faults.push_back(at + "a stop that can wrap alone: " + pageItems[i].text);
    }
    for (int i = 0; i < buttonCount; ++i) {
        // Text hotwords are the bordered buttons; pictures have no border.
        if (!(GetWindowLongW(buttonWindows[i], GWL_STYLE) & WS_BORDER)) continue;
        if (buttonRecords[i].textLength == 0 || buttonRecords[i].textLength > 32)
            faults.push_back(at + "caption empty or too long for a line: button " +
                             std::to_string(i));
    }
}

// Everything held at its last value, every checkpoint slot saved.
void HoldEverything() {
    for (int k = 0; k < objectCount; ++k) {
        SetObjectHeld(k, true);
        if (objectTable[k].count > 0)
            objectTable[k].current = static_cast<uint8_t>(objectTable[k].count - 1);
    }
    for (int c = 0; c < checkpointCount; ++c) checkpointSlots[c].used = 1;
}

// Shows every paragraph with text as a story page, with the objects as a new
// reader has them and with everything held, and has `check` look at each.
void ForEveryPage(const std::function<void(int16_t p, bool everything)>& check) {
    ResetPageState();
    device::StartScreenRecording();
    for (bool everything : {false, true}) {
        for (int16_t p = 1; p <= paragraphCount; ++p) {
            if (!ParagraphHasText(p)) continue;
            ResetBookState();
            ClearCheckpoints();
            if (everything) HoldEverything();
            device::SetInputPanel(false);
            DrainMessages();
            pendingBuiltInPage = 0;
            GoToParagraph(p, NAV_STORY);
            DrainMessages();
            check(p, everything);
        }
    }
}

TEST(FernvaleWalk, EveryPageIsShownWholeWithoutAMessage) {
    std::vector<std::string> faults;
    int shown = 0, runs = 0;
    ForEveryPage([&](int16_t p, bool) {
        ++shown;
        CheckBuild(p, faults);
        for (int page = 0; page < 20; ++page) {
            runs += CheckRuns(p, faults);
            const int32_t before = scrollOffset;
            SendMessageW(mainWindow, WM_VSCROLL, SB_PAGEDOWN, 0);
            if (scrollOffset == before) break;
        }
    });
    EXPECT_GT(shown, 600);
    EXPECT_GT(runs, 5 * shown);  // the walk saw the pages' text
    EXPECT_TRUE(faults.empty()) << ::testing::PrintToString(faults);
}

// --- Repainting after scrolls ------------------------------------------------

// The screen as the dump lists it and as its pixels are; when `fresh`, after
// a paint of the whole main window. The log of sounds is emptied first: only
// the first of two dumps would list a page's sound.
std::pair<std::string, std::vector<uint32_t>> TakeScreen(bool fresh) {
    if (fresh && InvalidateRect(mainWindow, nullptr, TRUE)) UpdateWindow(mainWindow);
    device::SoundLog().clear();
    std::string dump = device::DumpScreen();
    device::Present();
    return {dump, gdi::Screen().pixels};
}

// Sequences of a person's scrolling, "Name: a device script" with commands
// separated by ';'. The scroll bar's arrows are at y 32 and (the window's
// bottom) 287, or 207 with the input panel shown; its thumb starts at y 39 and
// reaches past 45 on any page.
constexpr const char* kSequences[] = {
    "LinesDownAndUp: key DOWN; key DOWN; key DOWN; key UP",
    "PagesDownAndUp: key NEXT; key NEXT; key PRIOR",
    "EndPageUpLineUp: key END; key PRIOR; key UP",
    "EndThenHome: key END; key HOME",
    "BarArrows: tap 233 287; tap 233 287; tap 233 32",
    "ThumbOffTheTop: drag 233 45 233 48",
    "BarPageAreas: tap 233 270; tap 233 270; tap 233 45",
    "ThumbDrag: drag 233 45 233 85 233 48",
    "PagesWithThePanel: sip on; key NEXT; key PRIOR",
    "PanelMidPage: key NEXT; sip on; key DOWN; sip off; key UP",
    "SideTripAndBack: key NEXT; press 501; key NEXT; press 510; key NEXT; key UP",
    "LinesWithThePanel: sip on; key DOWN; key DOWN; key DOWN; key UP",
    "ThumbBackToTheTop: sip on; key END; key PRIOR; drag 233 45 233 42",
    ("BarWithThePanel: sip on; tap 233 190; tap 233 207; drag 233 45 233 85 233 48; "
     "tap 233 32; tap 233 45"),
};

// The sequences run one after another on the same reader, as a session
// goes on: what one leaves behind (windows and surfaces made and freed) is
// there for the next.
TEST(FernvaleRepaint, AfterEverySequenceTheScreenIsWhatAFreshPaintShows) {
    device::SetScriptFailureHandler([](const std::string& message) { ADD_FAILURE() << message; });
    for (const char* sequence : kSequences) {
        const std::string name(sequence, std::strchr(sequence, ':'));
        std::string text = std::strchr(sequence, ':') + 1;
        std::replace(text.begin(), text.end(), ';', '\n');
        device::Script script;
        std::string error;
        ASSERT_TRUE(device::ParseScript(name, text, &script, &error)) << error;
        std::vector<std::string> faults;
        int scrolled = 0;
        ForEveryPage([&](int16_t p, bool everything) {
            bool moved = false;
            for (const device::ScriptCommand& command : script.commands) {
                device::RunCommand(script, command);
                DrainMessages();
                moved |= scrollOffset != 0;
            }
            scrolled += moved ? 1 : 0;
            const auto got = TakeScreen(false);
            const auto fresh = TakeScreen(true);
            int pixels = 0;
            for (size_t i = 0; i < got.second.size(); ++i)
                pixels += got.second[i] != fresh.second[i];
            if (pixels == 0 && got.first == fresh.first) return;
            size_t line = 0;
            while (line < got.first.size() && got.first[line] == fresh.first[line]) ++line;
            line = got.first.rfind('\n', line) + 1;
            faults.push_back(std::to_string(p) + (everything ? " (all held): " : ": ") +
                             std::to_string(pixels) + " pixels differ; " +
                             got.first.substr(line, 150) +
                             " -- fresh: " + fresh.first.substr(line, 150));
        });
        EXPECT_GT(scrolled, 40) << name;  // the long pages did scroll
        EXPECT_TRUE(faults.empty())
            << name << ": " << faults.size() << " screens differ, the first at " << faults[0];
    }
}

}  // namespace
