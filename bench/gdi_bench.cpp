// Text drawing speed: a screenful of page text in the two page fonts, and
// the measuring that layout does before it draws.
#include <benchmark/benchmark.h>

#include <string>

#include "gdi/surface.h"
#include "windows.h"

namespace {

const char16_t kLine[] = u"The lantern swings above the gate of Fernvale as you";

HFONT PageFont(LONG weight) {
    LOGFONTW lf{};
    GetObjectW(GetStockObject(SYSTEM_FONT), sizeof lf, &lf);
    lf.lfHeight = 13;
    lf.lfWeight = weight;
    return CreateFontIndirectW(&lf);
}

void DrawPage(benchmark::State& state) {
    gdi::Surface s;
    s.width = 240;
    s.height = 320;
    s.pixels.assign(240 * 320, 0xFFFFFF);
    HDC dc = gdi::CreateSurfaceDC(&s, POINT{0, 0}, RECT{0, 0, 240, 320});
    HFONT normal = PageFont(FW_LIGHT), bold = PageFont(FW_BOLD);
    for (auto _ : state) {
        for (int line = 0; line < 22; ++line) {
            SelectObject(dc, (line % 5 == 0) ? bold : normal);
            RECT r{2, line * 13, 227, line * 13 + 13};
            DrawTextW(dc, kLine, -1, &r, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
        }
        benchmark::DoNotOptimize(s.pixels.data());
    }
    SelectObject(dc, GetStockObject(SYSTEM_FONT));
    DeleteObject(normal);
    DeleteObject(bold);
    gdi::DeleteSurfaceDC(dc);
}
BENCHMARK(DrawPage);

void MeasureLine(benchmark::State& state) {
    gdi::Surface s;
    s.width = s.height = 1;
    s.pixels.assign(1, 0);
    HDC dc = gdi::CreateSurfaceDC(&s, POINT{0, 0}, RECT{0, 0, 1, 1});
    INT fit = 0;
    INT dx[64];
    SIZE size;
    for (auto _ : state) {
        GetTextExtentExPointW(dc, kLine, 52, 225, &fit, dx, &size);
        benchmark::DoNotOptimize(fit);
    }
    gdi::DeleteSurfaceDC(dc);
}
BENCHMARK(MeasureLine);

}  // namespace
