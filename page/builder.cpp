#include "page/builder.h"

#include <cstring>

#include "base/report_error.h"
#include "book/tables.h"

PageItem pageItems[PAGE_ITEM_SLOTS];
int16_t pageItemCount = 0;
char pageTextPool[PAGE_TEXT_POOL_SIZE];
int16_t poolUsed = 0;
int builderBold = 0;
int nextArrowMode = 0, prevArrowMode = 0;
int16_t nextArrowTarget = 0, prevArrowTarget = 0;

namespace {

// The slot for the next item, or null once the page holds PAGE_ITEM_LIMIT
// items: further items are dropped, as no message exists for a full list.
PageItem* NextSlot() {
    if (pageItemCount >= PAGE_ITEM_LIMIT) return nullptr;
    return &pageItems[pageItemCount + 1];
}

void AppendType(int32_t type) {
    if (PageItem* slot = NextSlot()) {
        slot->type = type;
        ++pageItemCount;
    }
}

}  // namespace

void ClearPageBuilder() {
    pageItemCount = 0;
    poolUsed = 0;
    nextArrowMode = ARROW_NONE;
    prevArrowMode = ARROW_NONE;
}

void AddTextRun(const char* text, int32_t kind) {
    const size_t len = std::strlen(text);
    if (poolUsed + len >= PAGE_TEXT_POOL_SIZE - 1) {
        ReportError("Page buffer Overflow");
        return;
    }
    PageItem* last = pageItemCount > 0 ? &pageItems[pageItemCount] : nullptr;
    if (last && last->type == kind) {
        // The last run ends at the end of the pool: overwrite its terminator.
        std::memmove(pageTextPool + poolUsed - 1, text, len + 1);
        poolUsed = static_cast<int16_t>(poolUsed + len);
        return;
    }
    PageItem* slot = NextSlot();
    if (!slot) return;
    std::memmove(pageTextPool + poolUsed, text, len + 1);
    slot->type = kind;
    slot->text = pageTextPool + poolUsed;
    poolUsed = static_cast<int16_t>(poolUsed + len + 1);
    ++pageItemCount;
}

void AddText(const char* text) {
    AddTextRun(text, ItemText);
}

int AddTextAndClear(char* buffer) {
    const int length = static_cast<int>(std::strlen(buffer));
    AddText(buffer);
    buffer[0] = '\0';
    return length;
}

void AddTitleText(const char* text) {
    AddTextRun(text, ItemTitle);
}
void AddLineBreak() {
    AppendType(ItemLineBreak);
}
void AddParagraphBreak() {
    AppendType(ItemParagraphBreak);
}
void AddTab() {
    AppendType(ItemTab);
}

void BeginBold() {
    builderBold = 1;
    AppendType(ItemBoldOn);
}

void EndBold() {
    builderBold = 0;
    AppendType(ItemBoldOff);
}

void SetAlignment(int alignment) {
    if (alignment < 0 || alignment > 2) return;
    AppendType(alignment + 2);
}

void AddBitmap(uint16_t resourceId) {
    if (PageItem* slot = NextSlot()) {
        slot->type = ItemPicture;
        slot->index = resourceId;
        slot->value = 1;
        ++pageItemCount;
    }
}

void AddImage(int imageIndex, uint8_t value) {
    if (imageIndex < 0 || imageIndex >= imageCount) return;
    if (PageItem* slot = NextSlot()) {
        slot->type = ItemPicture;
        slot->index = imageTable[imageIndex].resourceId;
        slot->value = value;
        ++pageItemCount;
    }
}

bool AppendIndexedItem(int32_t type, uint16_t index) {
    PageItem* slot = NextSlot();
    if (!slot) return false;
    slot->type = type;
    slot->index = index;
    ++pageItemCount;
    return true;
}

void SetNextArrowParagraph(int16_t target) {
    nextArrowMode = ARROW_PARAGRAPH;
    nextArrowTarget = target;
}

void SetPrevArrowParagraph(int16_t target) {
    prevArrowMode = ARROW_PARAGRAPH;
    prevArrowTarget = target;
}

void SetPrevArrowPage(int16_t page) {
    prevArrowMode = ARROW_BUILT_IN_PAGE;
    prevArrowTarget = page;
}
