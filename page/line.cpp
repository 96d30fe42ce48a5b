#include "page/line.h"

#include "base/app_state.h"
#include "base/report_error.h"
#include "page/controls.h"
#include "page/layout.h"

LineEntry pendingLine[PENDING_LINE_SLOTS];
int16_t pendingCount = 0;
char16_t lineText[LINE_TEXT_SIZE];
int16_t lineTextUsed = 0;
char16_t measureBuffer[MEASURE_BUFFER_SIZE];
int penX = 4;
int penY = 0;
int lineHeight = 0;
int textLineHeight = 0;
int leftMargin = 4;
int rightLimit = 0;
int16_t alignment = 0;
int layoutBold = 0;
int drawBold = 0;
int pageHasEditBox = 0;

namespace {

constexpr UINT LINE_TEXT_FLAGS = DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX;

// The control of a line entry, or null for a number no control of the page has.
HWND ControlWindow(HWND* windows, int16_t n) {
    return (n >= 0 && n < CONTROL_SLOTS) ? windows[n] : nullptr;
}

// Shown only while its lower edge stays above the bottom of the page area; one
// scrolled up past the top stays shown and the window clips it.
void PlaceControl(HWND control, int width, int height) {
    ShowWindow(control, penY + height < pageRect.bottom ? SW_SHOW : SW_HIDE);
    if (!MoveWindow(control, penX, penY, width, height, FALSE)) IgnoreDrawingFailure();
}

void DrawPicture(HDC dc, int16_t resourceId, const RECT& client) {
    HBITMAP bitmap = LoadBitmapW(appInstance, MAKEINTRESOURCEW(static_cast<uint16_t>(resourceId)));
    HDC memory = CreateCompatibleDC(nullptr);
    HGDIOBJ previous = SelectObject(memory, bitmap);
    BITMAP size = {};
    if (!bitmap || !GetObjectW(bitmap, sizeof size, &size)) {
        IgnoreDrawingFailure();
        size.bmWidth = rightLimit - client.left;
        size.bmHeight = 0;
    }
    BitBlt(dc, penX, penY, size.bmWidth, size.bmHeight, memory, 0, 0, SRCCOPY);
    SelectObject(memory, previous);
    if (!DeleteDC(memory)) IgnoreDrawingFailure();
    if (bitmap && !DeleteObject(bitmap)) IgnoreDrawingFailure();
    penX += size.bmWidth;
}

}  // namespace

int FitTextToWidth(char16_t* dst, const char* src, int& height, int& width, HDC dc, bool title) {
    int len = 0;
    while (src[len] != '\0') ++len;
    SelectObject(dc, (title || layoutBold) ? boldFont : normalFont);

    // The walk never goes past the measuring buffer: a run without a space
    // that long is wider than any line and is treated as ending there.
    const int walk = len < MEASURE_BUFFER_SIZE - 1 ? len : MEASURE_BUFFER_SIZE - 1;
    int fit = 0;
    SIZE fitted = {};
    bool stopped = false;
    for (int i = 0; i < walk; ++i) {
        dst[i] = static_cast<char16_t>(static_cast<uint8_t>(src[i]));
        if (src[i] != ' ') continue;
        SIZE size = {};
        GetTextExtentExPointW(dc, dst, i + 1, 0, nullptr, nullptr, &size);
        if (size.cx >= width) {
            stopped = true;
            break;
        }
        fit = i + 1;
        fitted = size;
    }
    if (!stopped && fit < walk) {
        SIZE size = {};
        GetTextExtentExPointW(dc, dst, walk, 0, nullptr, nullptr, &size);
        if (size.cx < width) {
            fit = walk;
            fitted = size;
        }
    }
    dst[fit] = u'\0';
    if (fit == 0) return 0;
    if (fitted.cy > height) height = fitted.cy;
    width = fitted.cx;
    return fit;
}

void FlushLine(HWND window, HDC dc) {
    int total = 0;
    for (int i = 0; i < pendingCount; ++i) total += pendingLine[i].width;
    RECT client = {};
    GetClientRect(window, &client);

    if (alignment == 1)
        penX = (rightLimit + client.left - total) / 2;
    else if (alignment == 2)
        penX = rightLimit - total;
    else
        penX = leftMargin;

    for (int i = 0; i < pendingCount; ++i) {
        const LineEntry& entry = pendingLine[i];
        switch (entry.type) {
            case 1: {
                RECT rect = {penX + client.left, penY, rightLimit, penY + lineHeight};
                SelectObject(dc, drawBold ? boldFont : normalFont);
                DrawTextW(dc, entry.text, entry.count, &rect, LINE_TEXT_FLAGS);
                penX += entry.width;
                break;
            }
            case 5:
                drawBold = 1;
                break;
            case 6:
                drawBold = 0;
                break;
            case 10:
                penX += entry.width;
                break;
            case 13:
                DrawPicture(dc, entry.count, client);
                break;
            case 14: {
                HWND box = ControlWindow(editBoxWindows, entry.count);
                if (!box) break;
                PlaceControl(box, entry.width, editBoxRecords[entry.count].height);
                pageHasEditBox = 1;
                penX += entry.width + 2;
                SetFocus(box);
                break;
            }
            case 15: {
                HWND button = ControlWindow(buttonWindows, entry.count);
                if (!button) break;
                const ButtonRecord& record = buttonRecords[entry.count];
                PlaceControl(button, entry.width, record.height);
                penX += entry.width + (record.bitmap ? 0 : 2);
                break;
            }
            default:
                break;
        }
    }
    pendingCount = 0;
    lineTextUsed = 0;
}

void InvertArea(HDC dc, const RECT& rect) {
    BitBlt(dc, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, dc, rect.left,
           rect.top, DSTINVERT);
}

void EndLine(HWND window, HDC dc, int advance) {
    if (pendingCount > 0) FlushLine(window, dc);
    penY += advance;
    lineHeight = textLineHeight;
    penX = leftMargin;
}

void AppendLineEntry(HWND window, HDC dc, int32_t type, int16_t count, int width,
                     const char16_t* text) {
    // The pending line holds PENDING_LINE_SLOTS entries and LINE_TEXT_SIZE
    // characters: a line that would need more ends here, as a wrap does, and
    // the entry starts the next line.
    const bool textFull = text && lineTextUsed + count + 1 > LINE_TEXT_SIZE;
    if (pendingCount >= PENDING_LINE_SLOTS || textFull) EndLine(window, dc, lineHeight + 1);
    LineEntry& entry = pendingLine[pendingCount];
    entry.type = type;
    entry.count = count;
    entry.width = static_cast<int16_t>(width);
    entry.text = nullptr;
    if (text) {
        // Even alone on a line a piece keeps at most what lineText holds.
        if (count > LINE_TEXT_SIZE - 1) entry.count = count = LINE_TEXT_SIZE - 1;
        entry.text = lineText + lineTextUsed;
        for (int i = 0; i < count; ++i) entry.text[i] = text[i];
        entry.text[count] = u'\0';
        lineTextUsed = static_cast<int16_t>(lineTextUsed + count + 1);
    }
    ++pendingCount;
}
