#include "assist/display.h"

#include <algorithm>

#include "gdi/record.h"
#include "wm/wm.h"

namespace assist {
namespace {

constexpr uint32_t kBlack = 0x000000, kWhite = 0xFFFFFF, kOrange = 0xFF8C00;

// Fills `r` clipped to `clip` and the surface.
void Fill(gdi::Surface& s, RECT r, const RECT& clip, uint32_t colour) {
    const RECT whole{0, 0, s.width, s.height};
    if (!IntersectRect(&r, &r, &clip) || !IntersectRect(&r, &r, &whole)) return;
    for (LONG y = r.top; y < r.bottom; ++y)
        std::fill_n(s.pixels.begin() + y * s.width + r.left, r.right - r.left, colour);
}

void Frame(gdi::Surface& s, const RECT& r, const RECT& clip, int width, uint32_t colour) {
    Fill(s, RECT{r.left, r.top, r.right, r.top + width}, clip, colour);
    Fill(s, RECT{r.left, r.bottom - width, r.right, r.bottom}, clip, colour);
    Fill(s, RECT{r.left, r.top, r.left + width, r.bottom}, clip, colour);
    Fill(s, RECT{r.right - width, r.top, r.right, r.bottom}, clip, colour);
}

}  // namespace

void DrawHighContrast(gdi::Surface& screen) {
    // Where pictures show: windows from the bottom up, each covering what
    // lies under it, then marking its own pictures.
    std::vector<uint8_t> picture(screen.pixels.size(), 0);
    const RECT whole{0, 0, screen.width, screen.height};
    auto mark = [&](RECT r, uint8_t value) {
        if (!IntersectRect(&r, &r, &whole)) return;
        for (LONG y = r.top; y < r.bottom; ++y)
            std::fill_n(picture.begin() + y * screen.width + r.left, r.right - r.left, value);
    };
    for (auto it = wm::TopLevels().rbegin(); it != wm::TopLevels().rend(); ++it) {
        const wm::Window* t = *it;
        if (!(t->style & WS_VISIBLE) || t->destroying) continue;
        const RECT origin = wm::WindowOnScreen(t);
        mark(origin, 0);
        if (!t->surface) continue;
        const RECT client = wm::ClientOnScreen(t);
        for (const gdi::Mark& m : gdi::MarksOn(t->surface.get())) {
            if (m.kind != gdi::MarkKind::Picture) continue;
            RECT r = m.rect;
            OffsetRect(&r, origin.left, origin.top);
            if (IntersectRect(&r, &r, &client)) mark(r, 1);
        }
    }
    for (size_t i = 0; i < screen.pixels.size(); ++i) {
        if (picture[i]) continue;
        const uint32_t p = screen.pixels[i];
        // Rec. 601 brightness; the handheld's grays (disabled text, the bar's
        // edge) turn black, its light faces white.
        const uint32_t luma =
            (299 * ((p >> 16) & 0xFF) + 587 * ((p >> 8) & 0xFF) + 114 * (p & 0xFF)) / 1000;
        screen.pixels[i] = luma >= 0xC0 ? kWhite : kBlack;
    }
}

void DrawRing(gdi::Surface& screen, const RECT& target, const RECT& clip, bool thick) {
    const int width = thick ? 3 : 2;
    RECT ring = target;
    InflateRect(&ring, width, width);
    Frame(screen, ring, clip, width, kOrange);
    InflateRect(&ring, 1, 1);
    Frame(screen, ring, clip, 1, kBlack);
}

}  // namespace assist
