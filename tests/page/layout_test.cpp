// The layout of whole pages, painted on the headless device: each paragraph
// of the layout test book is one case, checked against a golden screen dump
// (positions of text runs, controls, pictures, inversions, scroll bar and
// input panel); a few cases are also checked by number or by pixels.
#include "page/layout.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

#include "base/app_state.h"
#include "book/state.h"
#include "controls/controls.h"
#include "device/record.h"
#include "entry/dump.h"
#include "gdi_helpers.h"
#include "headless/headless.h"
#include "page/builder.h"
#include "page/controls.h"
#include "page/line.h"
#include "shell/navigation.h"
#include "support/page_host.h"
#include "wm/wm.h"

namespace {

// The main window's part of the screen dump, with the scroll bar and the
// input panel, and any message box raised.
std::string PageDump() {
    std::istringstream all(device::DumpScreen());
    std::string line, out;
    bool inPage = false;
    while (std::getline(all, line)) {
        if (line.rfind("window ", 0) == 0)
            inPage = line.find("class QOT1Fernvale") != std::string::npos;
        if (inPage || line.rfind("inputpanel", 0) == 0 || line.rfind("messagebox", 0) == 0)
            out += line + "\n";
    }
    return out;
}

::testing::AssertionResult MatchesGoldenDump(const std::string& actual, const std::string& name) {
    const std::string path = std::string(FERNVALE_LAYOUT_GOLDEN_DIR) + "/" + name + ".dump";
    const char* update = std::getenv("FERNVALE_UPDATE_GOLDEN");
    if (update && std::string(update) == "1") {
        std::ofstream(path) << actual;
        return ::testing::AssertionSuccess();
    }
    std::ifstream in(path);
    std::stringstream expected;
    expected << in.rdbuf();
    if (expected.str() == actual) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << name << " differs from " << path << "; actual:\n"
                                         << actual;
}

class Layout : public ::testing::Test {
   protected:
    void SetUp() override {
        ResetPageState();
        device::StartScreenRecording();
    }
    // As a choice does: the page is rebuilt and painted before this returns.
    static void Show(int16_t p) { GoToParagraph(p, NAV_STORY); }
    static SCROLLINFO Scroll() {
        SCROLLINFO info = {};
        info.cbSize = sizeof info;
        info.fMask = SIF_ALL;
        GetScrollInfo(mainWindow, SB_VERT, &info);
        return info;
    }
};

TEST_F(Layout, EveryCaseMatchesItsGoldenDump) {
    for (int16_t p : {2, 3, 4, 5, 6, 7, 8, 9, 13, 14, 15, 16}) {
        Show(p);
        EXPECT_TRUE(MatchesGoldenDump(PageDump(), "layout_" + std::to_string(p)));
    }
}

TEST_F(Layout, ScrollRangeIsWholePagesOrOneLessThanAPage) {
    const struct {
        int16_t paragraph;
        int content;
        int nMax;
    } cases[] = {{10, 268, 267}, {11, 536, 536}, {12, 700, 804}};
    DrainMessages();
    for (const auto& c : cases) {
        pageHeight = 268;  // the page height of the worked examples
        Show(c.paragraph);
        EXPECT_EQ(lastContentHeight, c.content) << c.paragraph;
        EXPECT_EQ(Scroll().nMax, c.nMax) << c.paragraph;
    }
}

TEST_F(Layout, AHeightChangeWhileScrolledGoesBackToTheTopAndPaintsAgain) {
    Show(13);
    SendMessageW(mainWindow, WM_VSCROLL, SB_LINEDOWN, 0);
    ASSERT_EQ(scrollOffset, -16);
    EXPECT_EQ(PageDump().find("inverted at 0,26"),
              std::string::npos);  // the top title is scrolled away
    // The input panel takes room from the page: a paint at a new height.
    SipShowIM(SIPF_ON);
    DrainMessages();
    EXPECT_EQ(scrollOffset, 0);
    EXPECT_EQ(Scroll().nPos, 0);
    EXPECT_NE(PageDump().find("inverted at 0,26"),
              std::string::npos);  // painted again from the top
}

TEST_F(Layout, AMessageBoxDuringARebuildDoesNotRebuildThePageAgain) {
    device::SetMessageBoxAutoAnswer(false);
    device::HeadlessBackend().Then([] { controls::PressMessageBoxButton(IDOK); });
    Show(99);  // no such paragraph: reported while the page is built
    EXPECT_EQ(device::MessageBoxLog().size(), 1u);
    device::SetMessageBoxAutoAnswer(true);
}

// Taps that reach the page before it can be repainted (here the window is
// hidden, so the paint that would rebuild it waits): only the first is
// resolved; the rest find the page's choice taken.
TEST_F(Layout, ATapStormBeforeTheRepaintResolvesOneChoice) {
    Show(18);
    ASSERT_EQ(buttonCount, 3);
    ShowWindow(mainWindow, SW_HIDE);
    for (int i = 0; i < 50; ++i)
        PostMessageW(mainWindow, WM_COMMAND, MAKEWPARAM(HOTWORD_ID_BASE + i % 3, BN_CLICKED),
                     reinterpret_cast<LPARAM>(buttonWindows[i % 3]));
    DrainMessages();
    EXPECT_EQ(pageDirty, 1);  // not rebuilt yet
    EXPECT_EQ(ObjectHeld(0), 1);
    EXPECT_EQ(ObjectValue(1), 0);
    EXPECT_EQ(currentParagraph, 17);
    ShowWindow(mainWindow, SW_SHOW);
    UpdateWindow(mainWindow);
    EXPECT_EQ(pageDirty, 0);
    EXPECT_EQ(buttonCount, 0);
    EXPECT_EQ(choiceTaken, 0);
}

TEST_F(Layout, APageWithTitleBoldPictureButtonsAndAnswerBoxLooksRight) {
    Show(2);
    wm::ComposeScreen();
    EXPECT_TRUE(gfxtest::MatchesGolden(gdi::Screen(), "layout_page"));
}

}  // namespace
