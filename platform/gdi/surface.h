// The pixels behind the device contexts, for the window manager and the
// backends: the screen's framebuffer, device contexts over a part of a
// surface, scrolling and PNG output.
#pragma once

#include <cstdint>
#include <vector>

#include "windef.h"

namespace gdi {

struct Surface {
    int width = 0, height = 0;
    std::vector<uint32_t> pixels;  // 0x00RRGGBB, row-major
    // For each row, a stretch of it known to hold one colour, so that a fill
    // with that colour over it is skipped (the erase before every page turn
    // mostly repaints white on white). Kept by the drawing calls on window
    // surfaces (see KnowSurface); empty for other surfaces, and for any
    // surface whose pixels are written other than through the drawing calls.
    struct Known {
        int left = 0, right = 0;  // left >= right: nothing known
        uint32_t rgb = 0;
    };
    std::vector<Known> known;
};

// Sets every pixel of `s` to `rgb` and starts following the rows it knows.
void KnowSurface(Surface* s, uint32_t rgb);

// The device's 240x320 framebuffer (created white on first use).
Surface& Screen();

// A device context drawing on `s`: logical (0,0) maps to `origin` on s and
// drawing is clipped to `clip` (surface coordinates). It starts with the
// default state (system font, white brush, black pen, black text on an opaque
// white background).
HDC CreateSurfaceDC(Surface* s, POINT origin, RECT clip);
void DeleteSurfaceDC(HDC dc);

// Moves the pixels inside `area` by (dx, dy), clipped to `area`. The pixels
// left behind keep their old values (the caller repaints them).
void ScrollSurface(Surface* s, RECT area, int dx, int dy);

// Writes the surface as an 8-bit RGB PNG; false (and nothing half-written
// left behind) when the file cannot be written.
bool WritePng(const Surface& s, const char* path);

}  // namespace gdi
