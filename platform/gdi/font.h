// Fonts: the Tahoma-metric faces rendered by FreeType from their 1-bit
// strikes, with GDI's metrics (font.cpp), or the same glyphs and metrics
// from the tables tools/glyphs bakes, where there is no FreeType
// (font_baked.cpp). Internal to the graphics layer.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "wingdi.h"

namespace gdi {

struct Glyph {
    int advance = 0;  // pen advance in pixels
    int left = 0;     // x of the first column from the pen
    int top = 0;      // rows from the baseline up to the first row
    int width = 0;
    int height = 0;
    std::vector<uint8_t> ink;  // width*height, 1 where the pixel is set
};

// One face at one pixel size: its metrics and a cache of rendered glyphs.
class FontInstance {
   public:
    ~FontInstance();
    const TEXTMETRICW& Metrics() const { return metrics_; }
    // Inline for the glyphs already rendered: text is measured and drawn a
    // character at a time.
    const Glyph& GetGlyph(char16_t c) {
        if (c < latin_.size() && latin_[c]) return *latin_[c];
        return Load(c);
    }
    int Advance(char16_t c) { return GetGlyph(c).advance; }

   private:
    friend FontInstance* Realize(const LOGFONTW& lf);
    const Glyph& Load(char16_t c);
    void* source_ = nullptr;  // the FT_Face, or the BakedFont
    TEXTMETRICW metrics_{};
    std::array<std::unique_ptr<Glyph>, 256> latin_;
    std::unordered_map<char16_t, std::unique_ptr<Glyph>> others_;
};

// The instance that draws `lf` (shared by every font asking for the same face
// and size), or null when the font files cannot be loaded.
FontInstance* Realize(const LOGFONTW& lf);

// The system font's LOGFONTW (defined with the stock objects).
LOGFONTW SystemLogFont();

// Where the faces are read from (the fonts-wine package's folder).
std::string FontDirectory();

}  // namespace gdi
