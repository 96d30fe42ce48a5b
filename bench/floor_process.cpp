// The floor for the reader's start: a process of the platform that only
// starts, loads the page font (the system font at the page's weight) and
// draws one line of text on the screen, then exits. reader_process runs it
// beside the reader.
#include "windows.h"

int main() {
    HDC dc = GetDC(nullptr);
    LOGFONTW lf{};
    GetObjectW(GetStockObject(SYSTEM_FONT), sizeof lf, &lf);
    lf.lfWeight = 300;
    HFONT font = CreateFontIndirectW(&lf);
    SelectObject(dc, font);
    RECT line{4, 30, 236, 43};
    const int drawn = DrawTextW(dc, u"The path to Fernvale Green", -1, &line, DT_SINGLELINE);
    ReleaseDC(nullptr, dc);
    DeleteObject(font);
    return drawn > 0 ? 0 : 1;
}
