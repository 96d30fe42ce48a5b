#include "shell/builtin_pages.h"

#include <cstdio>
#include <cstring>

#include "base/app_state.h"
#include "book/state.h"
#include "book/tables.h"
#include "page/builder.h"
#include "page/controls.h"
#include "page/layout.h"
#include "page/line.h"
#include "script/choice.h"
#include "shell/commands.h"
#include "shell/navigation.h"
#include "shell/progress.h"
#include "windows.h"

int32_t soundCheckBox = 0;

namespace {

constexpr UINT_PTR INTRO_TIMER = 1;
constexpr UINT INTRO_DELAY_MS = 2000;
constexpr int SOUND_BOX_CHARS = 14;  // the box is this many average characters wide

void Line() {
    AddLineBreak();
}
void Centre() {
    SetAlignment(1);
}
void Left() {
    SetAlignment(0);
}

void StartIntroTimer() {
    SetTimer(mainWindow, INTRO_TIMER, INTRO_DELAY_MS, nullptr);
}

void BuildPresentsPage() {
    Centre();
    AddParagraphBreak();
    AddImage(bookHeader.presentsImage, 0);
    AddParagraphBreak();
    Centre();
    AddText("Presents");
    Line();
    Left();
    pendingBuiltInPage = PAGE_TITLE;
    StartIntroTimer();
}

void BuildTitlePage() {
    Centre();
    AddImage(bookHeader.titleImage, 0);
    Line();
    BeginBold();
    AddText(bookHeader.title);
    EndBold();
    Line();
    Left();
    pendingBuiltInPage = PAGE_ABOUT;
    StartIntroTimer();
}

void BuildAboutPage() {
    Centre();
    BeginBold();
    AddText(bookHeader.title);
    Line();
    AddText(" 1.0");
    EndBold();
    Line();
    Left();
    AddText(" author: ");
    AddText(bookHeader.author);
    Line();
    AddText(" contact: ");
    AddText(bookHeader.contactAddress);
    Line();
    AddText(" support: ");
    AddText(bookHeader.supportAddress);
    Line();
    AddText("copyright: ");
    AddText(bookHeader.copyrightHolder);
    Line();
    AddText(bookHeader.closingLine);
    Line();
    SetNextArrowParagraph(PARAGRAPH_BEGINNING - 1);  // a reference: the number less one
    SetPrevArrowPage(PAGE_TITLE);
    AddTextButton("INSTRUCTIONS", CMD_INSTRUCTIONS);
    pendingBuiltInPage = NO_BUILT_IN_PAGE;
}

void BuildInstructionsPage() {
    AddText("The buttons below the Horizontal line ");
    AddText("at the bottom of the screen have the ");
    AddText("following actions. ");
    Line();
    Line();
    AddBitmap(1101);
    AddBitmap(1102);
    Line();
    AddText("The RESTART screen enables the ");
    AddText("reader to go back to an earlier ");
    AddText("screen. ");
    Line();
    Line();
    AddBitmap(1103);
    AddBitmap(1105);
    AddBitmap(1106);
    AddBitmap(1104);
    Line();
    AddText("The above three Arrows only appear if ");
    AddText("the function is available. ");
    Line();
    Line();
    AddText("Further information can be found on ");
    AddText("the hints page selected from the menu.");
    pendingBuiltInPage = NO_BUILT_IN_PAGE;
}

void BuildVersionPage() {
    Centre();
    AddImage(bookHeader.presentsImage, 0);
    Line();
    BeginBold();
    AddText(bookHeader.webAddress);
    Line();
    AddText(" 1.0");
    EndBold();
    Line();
    Left();
    Line();
    AddText("For more information (FAQs) please visit our web site. ");
    AddText("If you have a query about \"");
    AddText(bookHeader.title);
    AddText("\" email ");
    AddText(bookHeader.supportAddress);
    AddText(" giving the title and the following alphanumerical code");
    Line();
    Line();
    Line();

    OSVERSIONINFOW version = {};
    version.dwOSVersionInfoSize = sizeof version;
    GetVersionExW(&version);
    char number[24];
    AddText("A ");
    AddText("2.9.4");
    AddText("; B ");
    std::snprintf(number, sizeof number, "%d", static_cast<int>(SAVED_PROGRESS_VERSION));
    AddText(number);
    AddText("; C ");
    AddText("3.56");
    AddText("; O ");
    std::snprintf(number, sizeof number, "%d.%d", static_cast<int>(version.dwMajorVersion),
                  static_cast<int>(version.dwMinorVersion));
    AddText(number);
    AddText("; P ");
    AddText("1.11");
    inStory = 0;  // the return arrow shows on this page
    pendingBuiltInPage = NO_BUILT_IN_PAGE;
}

void BuildSoundPage() {
    Line();
    Line();
    Line();
    Centre();
    lineHeight += 4;
    const int width = averageCharWidth * SOUND_BOX_CHARS;
    const int x = clientRect.left;
    const int y = penY + clientRect.top;
    HWND box = CreateWindowExW(0, u"button", u"Sound", WS_CHILD | WS_VISIBLE | BS_AUTOCHECKBOX, x,
                               y, width, lineHeight, mainWindow,
                               reinterpret_cast<HMENU>(static_cast<intptr_t>(CMD_SOUND_BOX)),
                               appInstance, nullptr);
    // The page is freshly emptied, so a slot is always free; the test keeps a
    // full table from being written past all the same.
    if (!box || buttonCount >= CONTROL_SLOTS - 1) {
        if (box) DestroyWindow(box);
        MessageBoxW(nullptr, u"Could not create button", u"No Memory", MB_OK);
        PostMessageW(mainWindow, WM_CLOSE, 0, 0);
        return;
    }
    const int16_t index = buttonCount;
    buttonWindows[index] = box;
    ShowWindow(box, SW_SHOW);
    UpdateWindow(box);
    // The layout moves the box without repainting it, and being visible
    // already it is not shown again: have it painted once it is in place.
    InvalidateRect(box, nullptr, TRUE);
    ButtonRecord& record = buttonRecords[index];
    record = ButtonRecord{};
    record.width = static_cast<int16_t>(width);
    record.height = static_cast<int16_t>(lineHeight);
    record.creationX = x;
    record.creationY = static_cast<int16_t>(y);
    penY += lineHeight + 1;
    AppendIndexedItem(ItemButton, static_cast<uint16_t>(index));
    SendMessageW(box, BM_SETCHECK, soundOn, 0);
    soundCheckBox = index;
    ++buttonCount;

    for (int i = 0; i < 6; ++i) Line();
    AddTextButton("Ok", CMD_SOUND_OK);
    Line();
    Left();
    soundPageShowing = 1;
    pendingBuiltInPage = NO_BUILT_IN_PAGE;
}

// The product-line word with its third letter in bold, then `ending`.
void AddProductWord(const char* ending) {
    AddText("Ta");
    BeginBold();
    AddText("v");
    EndBold();
    AddText(ending);
}

}  // namespace

void BuildBuiltInPage() {
    switch (pendingBuiltInPage) {
        case PAGE_ABOUT:
            BuildAboutPage();
            break;
        case PAGE_TITLE:
            BuildTitlePage();
            break;
        case PAGE_PRESENTS:
            BuildPresentsPage();
            break;
        case PAGE_INSTRUCTIONS:
            BuildInstructionsPage();
            break;
        case PAGE_VERSION:
            BuildVersionPage();
            break;
        case PAGE_SOUND:
            BuildSoundPage();
            break;
        default:
            break;  // no such page: nothing is built and the value stays
    }
}

void BuildInformationPage() {
    int character = -1;
    for (int i = 0; i < objectCount && i < OBJECT_LIMIT; ++i) {
        infoPageButtonIds[i] = -1;
        if (std::strcmp(objectTable[i].name, "Character") == 0) {
            AddText("You are : ");
            const char* text = ObjectCurrentText(i);
            infoPageButtonIds[i] = AddHotwordButton(text ? text : "");
            Line();
            character = i;
        }
    }
    AddText("You have the following items");
    for (int i = 0; i < objectCount && i < OBJECT_LIMIT; ++i) {
        if (objectTable[i].held != 1 || i == character) continue;
        Line();
        infoPageButtonIds[i] = AddHotwordButton(objectTable[i].name);
        // Only a text object's list holds texts; number and image objects
        // show their name alone.
        if (const char* text = ObjectCurrentText(i)) {
            AddText(" : ");
            AddText(text);
        }
    }
}

void BuildHintsPage() {
    Left();
    AddText("The idea of an ");
    AddProductWord("lore ");
    AddText(
        "is that you, the reader, decide how the story ends through the choices "
        "you make along the way, so the story can be run many times. ");
    AddParagraphBreak();
    AddText("You interact with the ");
    AddProductWord("lore ");
    AddText(
        "by selecting the boxes on the screen that contain a word, or by pressing "
        "the arrows on the icon bar. The help icon '?' explains the arrows. ");
    AddParagraphBreak();
    AddText(
        "You may also collect items during the story. The inventory page, reached "
        "from the menu or from the 'i' on the icon bar, lists them; select an item "
        "to see its details. ");
    AddParagraphBreak();
    AddText("Some ");
    AddProductWord("lores ");
    AddText("may not go the same way each time, even when you make identical choices. ");
    AddParagraphBreak();
    AddText("If you get totally stuck, you can always e-mail us at  ");
    AddText(bookHeader.supportAddress);
    AddParagraphBreak();
}
