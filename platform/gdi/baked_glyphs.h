// Glyphs rendered ahead of time: the faces' glyphs and metrics as the
// FreeType-backed fonts give them, written into tables by tools/glyphs when
// the program is built for a device without FreeType (the browser). A build
// that draws from these tables draws the same pixels, since the tables were
// made by the same code. Internal to the graphics layer.
#pragma once

#include <cstdint>

#include "wingdi.h"

namespace gdi {

struct BakedGlyph {
    char16_t c;  // the character; kBakedMissing for the face's missing-glyph box
    int16_t advance, left, top;
    uint8_t width, height;
    uint32_t ink;  // index of the glyph's first bit in its font's ink bits
};

// One font request (height as asked, bold or not) and what it gives; glyphs
// sorted by character.
struct BakedFont {
    LONG height;
    bool bold;
    TEXTMETRICW metrics;
    const BakedGlyph* glyphs;
    int glyphCount;
    const uint8_t* ink;  // row after row, one bit a pixel, most significant first
};

constexpr char16_t kBakedMissing = 0xFFFF;

extern const BakedFont kBakedFonts[];
extern const int kBakedFontCount;

}  // namespace gdi
