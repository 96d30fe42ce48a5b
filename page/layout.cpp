#include "page/layout.h"

#include "base/app_state.h"
#include "base/navigation_state.h"
#include "base/report_error.h"
#include "page/builder.h"
#include "page/controls.h"
#include "page/line.h"

int averageCharWidth = 0;
int tabWidth = 0;
HFONT normalFont = nullptr;
HFONT boldFont = nullptr;
int lastContentHeight = 0;
int lastPageHeight = 0;
int scrollMax = 400;
int repaintPending = 0;
int inputPanelShown = 0;

namespace {

constexpr UINT BODY_TEXT_FLAGS = DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX;
constexpr UINT TITLE_FLAGS = DT_CENTER | DT_SINGLELINE | DT_NOPREFIX;

// What one paint works with: its device context, the window's client area and
// the part of it this paint draws (the rest keeps what is on the screen).
struct Pass {
    HWND window;
    HDC dc;
    RECT client;
    RECT painted;
};

// Whether the title line was last laid out inverted (the page at its top).
int titleInverted = 0;

int Larger(int a, int b) {
    return a > b ? a : b;
}

bool Inside(const RECT& inner, const RECT& outer) {
    return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
           inner.bottom <= outer.bottom;
}

int TextLength(const char* text) {
    int n = 0;
    while (text[n] != '\0') ++n;
    return n;
}

// A word too wide for the room between the margins never fits, so a line of
// its own would never take it. It is broken instead: the longest head of it
// that fits (at least one character) fills the line and the rest wraps, so
// the layout ends and every letter stays on the screen.
int FitWordPiece(const Pass& pass, const char* text, int remaining, int& room) {
    int n = 0;
    SIZE fitted = {};
    while (n < remaining && n < MEASURE_BUFFER_SIZE - 1) {
        measureBuffer[n] = static_cast<char16_t>(static_cast<uint8_t>(text[n]));
        SIZE size = {};
        GetTextExtentExPointW(pass.dc, measureBuffer, n + 1, 0, nullptr, nullptr, &size);
        if (n > 0 && size.cx >= room) break;
        fitted = size;
        ++n;
    }
    measureBuffer[n] = u'\0';
    if (fitted.cy > lineHeight) lineHeight = fitted.cy;
    room = fitted.cx;
    return n;
}

void LayBodyText(const Pass& pass, const char* text) {
    int remaining = TextLength(text);
    const char* p = text;
    while (remaining > 0) {
        int room = rightLimit - penX - pass.client.left;
        int n = FitTextToWidth(measureBuffer, p, lineHeight, room, pass.dc, false);
        if (n == 0 && penX == leftMargin) n = FitWordPiece(pass, p, remaining, room);
        if (n == 0) {
            EndLine(pass.window, pass.dc, lineHeight + 1);
            continue;
        }
        if (penX == leftMargin && n < remaining) {
            SelectObject(pass.dc, layoutBold ? boldFont : normalFont);
            static constexpr UINT ALIGN_FLAGS[] = {DT_LEFT, DT_CENTER, DT_RIGHT};
            RECT rect = {penX + pass.client.left, penY, rightLimit, penY + lineHeight};
            const UINT align =
                (alignment >= 0 && alignment <= 2) ? ALIGN_FLAGS[alignment] : DT_LEFT;
            DrawTextW(pass.dc, measureBuffer, n, &rect, BODY_TEXT_FLAGS | align);
        } else {
            AppendLineEntry(pass.window, pass.dc, ItemText, static_cast<int16_t>(n), room,
                            measureBuffer);
        }
        p += n;
        remaining -= n;
        if (remaining == 0)
            penX += room;
        else
            EndLine(pass.window, pass.dc, lineHeight + 1);
    }
}

void LayTitle(const Pass& pass, const char* text) {
    HGDIOBJ previous = SelectObject(pass.dc, boldFont);
    int room = rightLimit - pass.client.left;
    const int n = FitTextToWidth(measureBuffer, text, lineHeight, room, pass.dc, true);
    RECT rect = {pass.client.left, penY, pass.client.right, penY + lineHeight};
    DrawTextW(pass.dc, measureBuffer, n, &rect, TITLE_FLAGS);
    const int inverted = scrollOffset == 0;
    if (inverted) InvertArea(pass.dc, rect);
    // A scroll repaints only the strip it uncovers; the rest of the title line
    // moved with the page as it was drawn. When the position reaches or leaves
    // the top, the line's inversion changes, so it is painted again whole.
    RECT shown = {};
    if (inverted != titleInverted && IntersectRect(&shown, &rect, &pass.client) &&
        !Inside(shown, pass.painted))
        InvalidateRect(pass.window, &shown, TRUE);
    titleInverted = inverted;
    penY += lineHeight;
    SelectObject(pass.dc, previous);
    lineHeight = textLineHeight;
    penX = leftMargin;
}

void LayPicture(const Pass& pass, const PageItem& item) {
    HBITMAP bitmap = LoadBitmapW(appInstance, MAKEINTRESOURCEW(item.index));
    BITMAP size = {};
    if (!bitmap || !GetObjectW(bitmap, sizeof size, &size)) {
        // A picture that cannot be loaded keeps the room of a whole line and
        // the height of a line of text, so the page around it keeps its shape.
        IgnoreDrawingFailure();
        size.bmWidth = rightLimit - pass.client.left;
        size.bmHeight = textLineHeight;
    }
    if (bitmap && !DeleteObject(bitmap)) IgnoreDrawingFailure();
    if (size.bmWidth > rightLimit - penX && penX > leftMargin)
        EndLine(pass.window, pass.dc, lineHeight);
    AppendLineEntry(pass.window, pass.dc, ItemPicture, static_cast<int16_t>(item.index),
                    size.bmWidth);
    penX += size.bmWidth;
    lineHeight = Larger(lineHeight, size.bmHeight);
    if (item.value == 0) {
        FlushLine(pass.window, pass.dc);
        penY += lineHeight;
        lineHeight = textLineHeight;
        penX = leftMargin;
    }
}

void LayControl(const Pass& pass, const PageItem& item) {
    const bool editBox = item.type == ItemEditBox;
    if (item.index >= CONTROL_SLOTS) return;
    const int width = editBox ? editBoxRecords[item.index].width : buttonRecords[item.index].width;
    const int height =
        editBox ? editBoxRecords[item.index].height : buttonRecords[item.index].height;
    if (rightLimit - penX < width) EndLine(pass.window, pass.dc, lineHeight);
    AppendLineEntry(pass.window, pass.dc, item.type, static_cast<int16_t>(item.index), width);
    lineHeight = Larger(lineHeight, height);
    const bool spaced = editBox || !buttonRecords[item.index].bitmap;
    penX += width + (spaced ? 2 : 0);
}

void SetBold(const Pass& pass, int bold) {
    layoutBold = bold;
    if (pendingCount > 0)
        AppendLineEntry(pass.window, pass.dc, bold ? ItemBoldOn : ItemBoldOff, 0, 0);
    else
        drawBold = bold;
}

void LayTab(const Pass& pass) {
    if (tabWidth <= 0) return;  // no metrics measured: no tab stops
    const int gap = tabWidth - penX % tabWidth;
    if (penX + gap >= rightLimit) return;
    AppendLineEntry(pass.window, pass.dc, ItemTab, 0, gap);
    penX += gap;
}

void LayItem(const Pass& pass, const PageItem& item) {
    switch (item.type) {
        case ItemText:
            LayBodyText(pass, item.text);
            break;
        case ItemAlignLeft:
        case ItemAlignCentre:
        case ItemAlignRight:
            alignment = static_cast<int16_t>(item.type - ItemAlignLeft);
            break;
        case ItemBoldOn:
            SetBold(pass, 1);
            break;
        case ItemBoldOff:
            SetBold(pass, 0);
            break;
        case ItemLineBreak:
            EndLine(pass.window, pass.dc, lineHeight);
            break;
        case ItemParagraphBreak:
            EndLine(pass.window, pass.dc, 2 * lineHeight);
            break;
        case ItemTab:
            LayTab(pass);
            break;
        case ItemTitle:
            LayTitle(pass, item.text);
            break;
        case ItemPicture:
            LayPicture(pass, item);
            break;
        case ItemEditBox:
        case ItemButton:
            LayControl(pass, item);
            break;
        default:
            break;
    }
}

// The smallest whole number of pages that holds the content; a page that fits
// in one screen gets one less than the page so nothing scrolls.
int ScrollRange(int contentHeight) {
    if (contentHeight <= pageHeight) return pageHeight - 1;
    if (pageHeight <= 0) return contentHeight;  // no page area yet: one step per pixel
    return (contentHeight + pageHeight - 1) / pageHeight * pageHeight;
}

void UpdateScrollBar(HWND window) {
    const int contentHeight = penY - scrollOffset;
    if (contentHeight == lastContentHeight && pageHeight == lastPageHeight) return;
    if (scrollOffset != 0) repaintPending = 1;
    lastContentHeight = contentHeight;
    lastPageHeight = pageHeight;
    scrollMax = ScrollRange(contentHeight);
    scrollOffset = 0;
    SCROLLINFO info = {};
    info.cbSize = sizeof info;
    info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS | SIF_DISABLENOSCROLL;
    info.nMin = 0;
    info.nMax = scrollMax;
    info.nPage = static_cast<UINT>(pageHeight);
    info.nPos = 0;
    SetScrollInfo(window, SB_VERT, &info, TRUE);
}

}  // namespace

void ClearPage(HWND window) {
    pageHasEditBox = 0;
    for (int i = 0; i < buttonCount && i < CONTROL_SLOTS; ++i) {
        if (buttonWindows[i]) {
            DestroyWindow(buttonWindows[i]);
            buttonWindows[i] = nullptr;
        }
        if (buttonRecords[i].bitmap) {
            if (!DeleteObject(buttonRecords[i].bitmap)) IgnoreDrawingFailure();
            buttonRecords[i].bitmap = nullptr;
        }
    }
    for (int i = 0; i < editBoxCount && i < CONTROL_SLOTS; ++i) {
        if (editBoxWindows[i]) {
            DestroyWindow(editBoxWindows[i]);
            editBoxWindows[i] = nullptr;
        }
    }
    choiceTaken = 0;
    infoPageShowing = 0;
    soundPageShowing = 0;

    SCROLLINFO info = {};
    info.cbSize = sizeof info;
    info.fMask = SIF_POS | SIF_DISABLENOSCROLL;
    info.nPos = 0;
    SetScrollInfo(window, SB_VERT, &info, TRUE);

    HDC dc = GetDC(window);
    TEXTMETRICW metrics = {};
    GetTextMetricsW(dc, &metrics);
    textLineHeight = metrics.tmHeight;
    averageCharWidth = metrics.tmAveCharWidth;
    tabWidth = 2 * metrics.tmAveCharWidth;
    ReleaseDC(window, dc);

    buttonCount = 0;
    editBoxCount = 0;
    ClearPageBuilder();
    pendingCount = 0;
    lineTextUsed = 0;
    lastContentHeight = 0;
}

void PaintPage(HWND window) {
    penY = scrollOffset;
    leftMargin = 4;
    rightLimit = pageRect.right - 4;
    penX = 4;

    PAINTSTRUCT paint = {};
    Pass pass = {window, BeginPaint(window, &paint), {}, paint.rcPaint};
    GetClientRect(window, &pass.client);
    for (int i = 1; i <= pageItemCount; ++i) LayItem(pass, pageItems[i]);
    if (pendingCount > 0) EndLine(window, pass.dc, lineHeight + 1);
    UpdateScrollBar(window);
    EndPaint(window, &paint);

    if (repaintPending) {
        repaintPending = 0;
        InvalidateRect(window, nullptr, TRUE);
        UpdateWindow(window);
    }
    if (pageHasEditBox != inputPanelShown) {
        inputPanelShown = pageHasEditBox;
        SipShowIM(inputPanelShown ? SIPF_ON : SIPF_OFF);
    }
}

void CreatePageFonts(HDC dc) {
    LOGFONTW font = {};
    // A positive height is the cell: 10 points at the screen's resolution
    // gives the same 13-pixel cell as the system font's lines.
    const LONG height = static_cast<LONG>(GetDeviceCaps(dc, LOGPIXELSY) * 10.0 / 72.0 + 0.5);
    GetObjectW(GetStockObject(SYSTEM_FONT), sizeof font, &font);
    font.lfWeight = 700;
    font.lfHeight = height;
    boldFont = CreateFontIndirectW(&font);
    SelectObject(dc, boldFont);
    GetObjectW(GetStockObject(SYSTEM_FONT), sizeof font, &font);
    font.lfWeight = 300;
    font.lfHeight = height;
    normalFont = CreateFontIndirectW(&font);
    SelectObject(dc, normalFont);
    layoutBold = 0;
}

void ReleasePageFonts() {
    DeleteObject(normalFont);
    DeleteObject(boldFont);
    normalFont = nullptr;
    boldFont = nullptr;
    PostQuitMessage(0);
}
