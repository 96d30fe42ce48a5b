// Fonts from baked tables (gdi/baked_glyphs.h), for a build without FreeType:
// the same requests give the same metrics and glyphs as font.cpp gives,
// because tools/glyphs made the tables through font.cpp.
#include <algorithm>
#include <cstdio>
#include <map>

#include "gdi/baked_glyphs.h"
#include "gdi/font.h"

namespace gdi {

FontInstance::~FontInstance() = default;

const Glyph& FontInstance::Load(char16_t c) {
    std::unique_ptr<Glyph>* slot = c < latin_.size() ? &latin_[c] : &others_[c];
    if (*slot) return **slot;
    const auto* font = static_cast<const BakedFont*>(source_);
    const BakedGlyph* end = font->glyphs + font->glyphCount;
    const BakedGlyph* b = std::lower_bound(
        font->glyphs, end, c, [](const BakedGlyph& g, char16_t key) { return g.c < key; });
    // A character that was not baked is drawn as the face draws a missing
    // one: with its box, the last entry.
    if (b == end || b->c != c) b = end - 1;
    auto g = std::make_unique<Glyph>();
    g->advance = b->advance;
    g->left = b->left;
    g->top = b->top;
    g->width = b->width;
    g->height = b->height;
    g->ink.resize(static_cast<size_t>(g->width) * g->height);
    for (size_t i = 0; i < g->ink.size(); ++i) {
        const size_t bit = b->ink + i;
        g->ink[i] = (font->ink[bit / 8] >> (7 - bit % 8)) & 1;
    }
    *slot = std::move(g);
    return **slot;
}

FontInstance* Realize(const LOGFONTW& lf) {
    static std::map<long, std::unique_ptr<FontInstance>> instances;
    const bool bold = lf.lfWeight >= FW_SEMIBOLD;
    const long key = (static_cast<long>(lf.lfHeight) << 4) | (bold ? 1 : 0) |
                     (lf.lfUnderline ? 2 : 0) | (lf.lfStrikeOut ? 4 : 0);
    auto found = instances.find(key);
    if (found != instances.end()) return found->second.get();
    const BakedFont* baked =
        std::find_if(kBakedFonts, kBakedFonts + kBakedFontCount,
                     [&](const BakedFont& f) { return f.height == lf.lfHeight && f.bold == bold; });
    if (baked == kBakedFonts + kBakedFontCount) {
        std::fprintf(stderr, "fernvale: no baked glyphs for a font of height %ld%s\n",
                     static_cast<long>(lf.lfHeight), bold ? ", bold" : "");
        return nullptr;
    }
    auto inst = std::unique_ptr<FontInstance>(new FontInstance);
    inst->source_ = const_cast<BakedFont*>(baked);
    inst->metrics_ = baked->metrics;
    inst->metrics_.tmUnderlined = lf.lfUnderline ? 1 : 0;
    inst->metrics_.tmStruckOut = lf.lfStrikeOut ? 1 : 0;
    FontInstance* result = inst.get();
    instances[key] = std::move(inst);
    return result;
}

}  // namespace gdi
