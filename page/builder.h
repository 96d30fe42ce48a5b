#pragma once

#include <cstdint>

#include "book/limits.h"

// A page before layout: an ordered list of items appended by the markup engine
// and the built-in pages, with its text runs kept in one fixed pool.

enum PageItemType : int32_t {
    ItemText = 1,
    ItemAlignLeft = 2,
    ItemAlignCentre = 3,
    ItemAlignRight = 4,
    ItemBoldOn = 5,
    ItemBoldOff = 6,
    ItemParagraphBreak = 8,
    ItemLineBreak = 9,
    ItemTab = 10,
    ItemTitle = 12,
    ItemPicture = 13,
    ItemEditBox = 14,
    ItemButton = 15,
};

struct PageItem {
    int32_t type;
    uint16_t index;  // picture: bitmap resource id; edit box / button: its number
    uint8_t value;   // picture: 0 ends the line after it, 1 lets the line go on
    char* text;      // text and title runs: inside pageTextPool
};

constexpr int PAGE_ITEM_SLOTS = PAGE_ITEM_LIMIT + 1;  // slot 0 is never used

extern PageItem pageItems[PAGE_ITEM_SLOTS];
extern int16_t pageItemCount;
extern char pageTextPool[PAGE_TEXT_POOL_SIZE];
extern int16_t poolUsed;
extern int builderBold;
// What an icon bar arrow leads to; its target is a paragraph reference or a
// built-in page number.
enum ArrowMode : int {
    ARROW_NONE = 0,
    ARROW_PARAGRAPH = 1,
    ARROW_BUILT_IN_PAGE = 2,
};
extern int nextArrowMode, prevArrowMode;
extern int16_t nextArrowTarget, prevArrowTarget;

// Empties the list and the pool and clears both arrows (start of a rebuild).
// builderBold is left as it is.
void ClearPageBuilder();

// Appends a text run of `kind` (ItemText or ItemTitle), merged into the last
// item when that is a run of the same kind. A run that does not fit the pool
// is reported ("Page buffer Overflow") and dropped.
void AddTextRun(const char* text, int32_t kind);
void AddText(const char* text);
// AddText, then empties `buffer`; gives the length the text had.
int AddTextAndClear(char* buffer);
void AddTitleText(const char* text);
void AddLineBreak();
void AddParagraphBreak();
void BeginBold();
void EndBold();
void AddTab();
// 0 left, 1 centre, 2 right; other values are ignored.
void SetAlignment(int alignment);
// A book image by image index; an index outside the image table adds nothing.
void AddImage(int imageIndex, uint8_t value);
void AddBitmap(uint16_t resourceId);
void SetNextArrowParagraph(int16_t target);
void SetPrevArrowParagraph(int16_t target);
void SetPrevArrowPage(int16_t page);

// Appends an item of `type` with its `index` (edit boxes and buttons).
// Gives false when the list is full and nothing was appended.
bool AppendIndexedItem(int32_t type, uint16_t index);
