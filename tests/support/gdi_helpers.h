// Helpers shared by the graphics tests: a scratch surface with a context on
// it, pixel queries and golden-image comparison.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "gdi/surface.h"
#include "windows.h"

namespace gfxtest {

// A white surface of the given size with a context covering all of it.
struct Canvas {
    Canvas(int w, int h, uint32_t fill = 0xFFFFFF);
    ~Canvas();
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;
    uint32_t At(int x, int y) const {
        return surface.pixels[static_cast<size_t>(y) * surface.width + x];
    }
    // The smallest rectangle holding every pixel that differs from `background`.
    RECT Changed(uint32_t background = 0xFFFFFF) const;
    int Count(uint32_t color) const;
    gdi::Surface surface;
    HDC dc;
};

// The part `r` of `s`.
gdi::Surface Crop(const gdi::Surface& s, RECT r);

// Compares `s` with tests/platform/golden/<name>.png. On a mismatch the actual
// picture is written to the build's golden-actual folder and the message says
// where. With FERNVALE_UPDATE_GOLDEN=1 in the environment the golden file is
// (re)written instead.
::testing::AssertionResult MatchesGolden(const gdi::Surface& s, const std::string& name);

// Reads a PNG into a surface; false when it cannot be read.
bool ReadPng(const std::string& path, gdi::Surface* out);

HFONT MakeFont(LONG height, LONG weight);

}  // namespace gfxtest
