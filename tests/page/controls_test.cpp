// The page controls: sizes from the measured text, the bold state, the limits
// of the tables and the messages of failed creation. Identifiers and styles
// are the scenario dumps' (each control shows its id and kind).
#include "page/controls.h"

#include <string>

#include "base/app_state.h"
#include "device/record.h"
#include "page/builder.h"
#include "page/layout.h"
#include "page/line.h"
#include "support/engine_fixture.h"

namespace {

class Controls : public EngineTest {};

// A box's size, limit and key handling are the layout's and the answer
// scenarios' to check; a box wider than the window is not in the book.
TEST_F(Controls, AnEditBoxWiderThanTheWindowIsCutToIt) {
    averageCharWidth = 5;
    EXPECT_EQ(AddEditBox(100), 4000);  // 1002 pixels
    EXPECT_EQ(editBoxRecords[0].width, clientRect.right - clientRect.left);
}

TEST_F(Controls, TextButtonsAreMeasuredAndCaptionsCut) {
    AddHotwordButton("iii");  // narrower than 3 pixels a letter
    EXPECT_EQ(buttonRecords[0].width, 3 * 3 + 12);
    EXPECT_EQ(buttonRecords[0].height, 13 + 4);
    AddHotwordButton(std::string(250, 'k').c_str());
    EXPECT_EQ(buttonRecords[1].textLength, 199);
    EXPECT_EQ(buttonRecords[1].caption[199], u'\0');
}

TEST_F(Controls, HotwordsBetweenBoldTagsAreBold) {
    BeginBold();
    AddHotwordButton("one");
    AddHotwordButton("two");
    EndBold();
    AddHotwordButton("three");
    EXPECT_EQ(buttonRecords[0].bold + buttonRecords[1].bold, 2);
    EXPECT_EQ(buttonRecords[2].bold, 0);
}

TEST_F(Controls, ImageButtonsTakeTheBitmapsSizeOrALineWhenItIsMissing) {
    rightLimit = 223;
    textLineHeight = 13;
    AddHotwordImageButton(5);   // bitmap 1705
    AddHotwordImageButton(40);  // outside the image table
    EXPECT_NE(buttonRecords[0].bitmap, nullptr);
    EXPECT_EQ(buttonRecords[0].width, 24);
    EXPECT_EQ(buttonRecords[1].bitmap, nullptr);
    EXPECT_EQ(buttonRecords[1].width, 223 - clientRect.left);
    EXPECT_EQ(buttonRecords[1].height, 13);
}

// A page may want more controls than the tables hold: the last slot is used,
// then further controls are refused and nothing is written past the tables.
TEST_F(Controls, TheTablesHoldAHundredOfEachAndRefuseMore) {
    for (int i = 0; i < 101; ++i) {
        const int16_t button = AddHotwordButton("b");
        const int16_t box = AddEditBox(1);
        EXPECT_EQ(button, i < 100 ? 5000 + i : 0) << i;
        EXPECT_EQ(box, i < 100 ? 4000 + i : 0) << i;
    }
    EXPECT_EQ(buttonCount, 100);
    EXPECT_EQ(editBoxCount, 100);
    EXPECT_NE(buttonWindows[99], nullptr);
    EXPECT_EQ(pageItemCount, 200);
    EXPECT_TRUE(Messages().empty());
}

TEST_F(Controls, ControlsThatCannotBeMadeAreReportedAndKeepTheirRecords) {
    mainWindow = reinterpret_cast<HWND>(static_cast<uintptr_t>(0x7ff0));  // no such window
    AddEditBox(3);
    AddHotwordButton("Go");
    ASSERT_EQ(device::MessageBoxLog().size(), 2u);
    EXPECT_EQ(device::Narrow(device::MessageBoxLog()[0].text), "Null Edit Box");
    EXPECT_EQ(device::Narrow(device::MessageBoxLog()[0].caption), "Bad Edit Box");
    EXPECT_EQ(device::Narrow(device::MessageBoxLog()[1].text), "Could not create button");
    char expected[32];
    std::snprintf(expected, sizeof expected, " Error %x", static_cast<unsigned>(GetLastError()));
    EXPECT_EQ(device::Narrow(device::MessageBoxLog()[1].caption), expected);
    EXPECT_EQ(Items(), "edit#0 button#0");
}

}  // namespace
