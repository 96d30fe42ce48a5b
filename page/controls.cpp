#include "page/controls.h"

#include <cstdio>
#include <cstring>

#include "base/app_state.h"
#include "base/report_error.h"
#include "book/tables.h"
#include "page/builder.h"
#include "page/layout.h"
#include "page/line.h"

EditBoxRecord editBoxRecords[CONTROL_SLOTS];
HWND editBoxWindows[CONTROL_SLOTS];
int16_t editBoxCount = 0;
ButtonRecord buttonRecords[CONTROL_SLOTS];
HWND buttonWindows[CONTROL_SLOTS];
int16_t buttonCount = 0;

namespace {

constexpr DWORD EDIT_BOX_STYLE = 0x50800180;  // child, visible, border, auto-scroll, keep selection
constexpr DWORD COMMAND_BUTTON_STYLE = 0x50000001;  // child, visible, default push button
constexpr DWORD TEXT_HOTWORD_STYLE = 0x5080000B;    // child, visible, border, owner-drawn
constexpr DWORD IMAGE_HOTWORD_STYLE = 0x5000000B;   // child, visible, owner-drawn, no border

// Book text is 8-bit; each byte becomes the 16-bit character of the same code
// (bytes above 127 read as Latin-1, never sign-extended).
char16_t Widen(char c) {
    return static_cast<char16_t>(static_cast<uint8_t>(c));
}

HMENU AsMenu(int id) {
    return reinterpret_cast<HMENU>(static_cast<intptr_t>(id));
}

// Both tables hold CONTROL_SLOTS controls. The slot after the last control is
// cleared while there is one; a control past the last slot is refused (no
// window, no record, no item) so a crowded page never writes past the tables.
bool SlotFree(int16_t n) {
    return n < CONTROL_SLOTS;
}

void ClearSlotAfter(HWND* windows, int16_t n) {
    if (n + 1 < CONTROL_SLOTS) windows[n + 1] = nullptr;
}

int16_t ResourceOfImage(int16_t imageIndex) {
    if (imageIndex < 0 || imageIndex >= imageCount) return 0;
    return static_cast<int16_t>(imageTable[imageIndex].resourceId);
}

}  // namespace

int16_t AddEditBox(int16_t maxChars) {
    const int16_t n = editBoxCount;
    if (!SlotFree(n)) return 0;
    const int clientWidth = clientRect.right - clientRect.left;
    int width = 2 * (static_cast<int16_t>(averageCharWidth * maxChars) + 1);
    if (width > clientWidth) width = clientWidth;
    const int height = textLineHeight * 3 / 2;

    EditBoxRecord& record = editBoxRecords[n];
    record.width = static_cast<int16_t>(width);
    record.height = static_cast<int16_t>(height);
    record.creationX = clientRect.left;
    record.creationY = static_cast<int16_t>(clientRect.top + penY);
    record.maxChars = maxChars;

    const int16_t id = static_cast<int16_t>(EDIT_BOX_ID_BASE + n);
    HWND box = CreateWindowExW(0, u"EDIT", u"", EDIT_BOX_STYLE, record.creationX, record.creationY,
                               width, height, mainWindow, AsMenu(id), appInstance, nullptr);
    editBoxWindows[n] = box;
    if (box) {
        ShowWindow(box, SW_HIDE);
        UpdateWindow(box);
    } else {
        MessageBoxW(nullptr, u"Null Edit Box", u"Bad Edit Box", MB_OK);
    }
    SendMessageW(box, EM_LIMITTEXT, static_cast<WPARAM>(maxChars), 0);
    record.previousProc = reinterpret_cast<WNDPROC>(
        SetWindowLongW(box, GWL_WNDPROC, reinterpret_cast<LONG_PTR>(&EditBoxProc)));
    AppendIndexedItem(ItemEditBox, static_cast<uint16_t>(n));
    editBoxCount = static_cast<int16_t>(n + 1);
    ClearSlotAfter(editBoxWindows, n);
    return id;
}

void AddTextButton(const char* caption, int16_t id) {
    const int16_t n = buttonCount;
    if (!SlotFree(n)) return;
    ButtonRecord& record = buttonRecords[n];
    HDC dc = CreateCompatibleDC(nullptr);
    int len = static_cast<int>(std::strlen(caption));
    if (len > BUTTON_CAPTION_SIZE - 1) len = BUTTON_CAPTION_SIZE - 1;
    // Command buttons of the built-in pages are always measured bold.
    HGDIOBJ previous =
        SelectObject(dc, (builderBold || id < HOTWORD_ID_BASE) ? boldFont : normalFont);
    for (int i = 0; i < len; ++i) record.caption[i] = Widen(caption[i]);
    record.caption[len] = u'\0';
    SIZE size = {};
    GetTextExtentExPointW(dc, record.caption, len, 0, nullptr, nullptr, &size);
    SelectObject(dc, previous);
    DeleteDC(dc);

    const int width = (size.cx > 3 * len ? size.cx : 3 * len) + 12;
    record.bitmap = nullptr;
    record.width = static_cast<int16_t>(width);
    record.height = static_cast<int16_t>(size.cy + 4);
    record.creationX = clientRect.left;
    record.textLength = static_cast<int16_t>(len);
    record.creationY = static_cast<int16_t>(clientRect.top + penY);
    record.bold = static_cast<uint8_t>(builderBold);

    const bool command = id < HOTWORD_ID_BASE;
    HWND button = CreateWindowExW(0, u"button", command ? record.caption : u"",
                                  command ? COMMAND_BUTTON_STYLE : TEXT_HOTWORD_STYLE,
                                  record.creationX, record.creationY, record.width, record.height,
                                  mainWindow, AsMenu(id), appInstance, nullptr);
    buttonWindows[n] = button;
    if (button) {
        ShowWindow(button, SW_HIDE);
        UpdateWindow(button);
    } else {
        char narrow[32];
        std::snprintf(narrow, sizeof narrow, " Error %x", static_cast<unsigned>(GetLastError()));
        char16_t title[32];
        for (size_t i = 0; i <= std::strlen(narrow); ++i) title[i] = Widen(narrow[i]);
        MessageBoxW(nullptr, u"Could not create button", title, MB_OK);
        PostMessageW(mainWindow, WM_CLOSE, 0, 0);
    }
    AppendIndexedItem(ItemButton, static_cast<uint16_t>(n));
    buttonCount = static_cast<int16_t>(n + 1);
    ClearSlotAfter(buttonWindows, n);
}

void AddImageButton(int16_t imageIndex, int16_t id) {
    const int16_t n = buttonCount;
    if (!SlotFree(n)) return;
    ButtonRecord& record = buttonRecords[n];
    record.bitmap = LoadBitmapW(appInstance, MAKEINTRESOURCEW(ResourceOfImage(imageIndex)));
    BITMAP size = {};
    if (!record.bitmap || !GetObjectW(record.bitmap, sizeof size, &size)) {
        // A picture that cannot be measured keeps the room of a whole line
        // and the height of a line of text, so it can still be tapped.
        IgnoreDrawingFailure();
        size.bmWidth = rightLimit - clientRect.left;
        size.bmHeight = textLineHeight;
    }
    record.width = static_cast<int16_t>(size.bmWidth);
    record.height = static_cast<int16_t>(size.bmHeight);
    record.creationX = clientRect.left;
    record.textLength = 0;
    record.creationY = static_cast<int16_t>(clientRect.top + penY);
    record.bold = static_cast<uint8_t>(builderBold);
    buttonWindows[n] =
        CreateWindowExW(0, u"button", u"", IMAGE_HOTWORD_STYLE, record.creationX, record.creationY,
                        record.width, record.height, mainWindow, AsMenu(id), appInstance, nullptr);
    AppendIndexedItem(ItemButton, static_cast<uint16_t>(n));
    buttonCount = static_cast<int16_t>(n + 1);
    ClearSlotAfter(buttonWindows, n);
}

int16_t AddHotwordButton(const char* caption) {
    if (!SlotFree(buttonCount)) return 0;
    const auto id = static_cast<int16_t>(HOTWORD_ID_BASE + buttonCount);
    AddTextButton(caption, id);
    return id;
}

int16_t AddHotwordImageButton(int16_t imageIndex) {
    if (!SlotFree(buttonCount)) return 0;
    const auto id = static_cast<int16_t>(HOTWORD_ID_BASE + buttonCount);
    AddImageButton(imageIndex, id);
    return id;
}

void DrawPageButton(const DRAWITEMSTRUCT* item) {
    const int n = static_cast<int>(item->CtlID) - HOTWORD_ID_BASE;
    if (n < 0) return;
    // An id past the table (no button of this page) draws nothing.
    if (n >= CONTROL_SLOTS) return;
    const ButtonRecord& record = buttonRecords[n];
    if (record.bitmap) {
        HDC memory = CreateCompatibleDC(nullptr);
        HGDIOBJ previous = SelectObject(memory, record.bitmap);
        BitBlt(item->hDC, 0, 0, record.width, record.height, memory, 0, 0, SRCCOPY);
        SelectObject(memory, previous);
        if (!DeleteDC(memory)) IgnoreDrawingFailure();
        return;
    }
    HGDIOBJ previous = SelectObject(item->hDC, record.bold ? boldFont : normalFont);
    RECT rect = item->rcItem;
    DrawTextW(item->hDC, record.caption, record.textLength, &rect, DT_CENTER | DT_NOPREFIX);
    SelectObject(item->hDC, previous);
}
