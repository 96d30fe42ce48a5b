// Text output and measurement: DrawTextW, GetTextExtentExPointW
// and GetTextMetricsW, all over the same cached glyphs.
//
// Implements: DrawTextW with left, centre and right alignment,
// DT_SINGLELINE with DT_VCENTER (two truncating halvings, as the handheld
// computes it) or DT_BOTTOM, DT_WORDBREAK at spaces, DT_EXPANDTABS,
// DT_EXTERNALLEADING, DT_NOCLIP, DT_CALCRECT, prefix marks ("&x" underlined,
// "&&"), an opaque or transparent background; measuring and drawing with the
// same glyphs, so a measured line is as wide as the drawn one.
//
// Leaves out: DT_END_ELLIPSIS and the other ellipsis flags (the text is
// clipped instead), ExtTextOutW, text alignment modes.
//
// Differs: nothing known.
#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "gdi/font.h"
#include "gdi/objects.h"
#include "gdi/record.h"
#include "winbase.h"

using namespace gdi;

namespace {

FontInstance* FontOf(DC* dc) {
    FontInstance* fi = CurrentFont(dc)->instance;
    if (!fi) {
        fi = Realize(CurrentFont(dc)->lf);
        CurrentFont(dc)->instance = fi;
    }
    if (!fi) SetLastError(ERROR_INVALID_HANDLE);
    return fi;
}

struct Layout {
    int tabStop = 0;  // pixels between tab stops; 0 when tabs are ordinary glyphs
};

int AdvanceAt(FontInstance* fi, const Layout& layout, char16_t c, int x) {
    if (c == u'\t' && layout.tabStop > 0) return layout.tabStop - (x % layout.tabStop);
    return fi->Advance(c);
}

int Width(FontInstance* fi, const Layout& layout, const char16_t* s, size_t n) {
    int x = 0;
    for (size_t i = 0; i < n; ++i) x += AdvanceAt(fi, layout, s[i], x);
    return x;
}

// Draws one line with its cell's top at surface (x, y); `underline` is the
// index of a character to underline (a prefix mark), or -1.
void DrawRun(DC* dc, FontInstance* fi, const Layout& layout, const char16_t* s, size_t n, long x,
             long y, const RECT& clip, long underline) {
    if (IsEmpty(clip)) return;
    const TEXTMETRICW& tm = fi->Metrics();
    Surface* surface = dc->surface;
    auto plot = [&](long px, long py) {
        if (px < clip.left || px >= clip.right || py < clip.top || py >= clip.bottom) return;
        surface->pixels[static_cast<size_t>(py) * surface->width + px] = dc->textColor;
    };
    long baseline = y + tm.tmAscent;
    long pen = x;
    // Every pixel the run may have set: its cell, and any glyph reaching out of it.
    RECT inked{static_cast<LONG>(x), static_cast<LONG>(y), static_cast<LONG>(x),
               static_cast<LONG>(y + tm.tmHeight)};
    for (size_t i = 0; i < n; ++i) {
        int advance = AdvanceAt(fi, layout, s[i], static_cast<int>(pen - x));
        if (pen > clip.right) {
            // Nothing more shows; the record still takes the whole run's cell.
            if (!DrawRecording()) break;
            pen += advance;
            continue;
        }
        if (!(s[i] == u'\t' && layout.tabStop > 0)) {
            const Glyph& g = fi->GetGlyph(s[i]);
            // Only the glyph's rows and columns inside the clip are visited.
            const long gx = pen + g.left, gy = baseline - g.top;
            const long col0 = std::max(0L, clip.left - gx);
            const long col1 = std::min<long>(g.width, clip.right - gx);
            const long row0 = std::max(0L, clip.top - gy);
            const long row1 = std::min<long>(g.height, clip.bottom - gy);
            if (row0 < row1 && col0 < col1)
                inked = RECT{std::min<LONG>(inked.left, static_cast<LONG>(gx + col0)),
                             std::min<LONG>(inked.top, static_cast<LONG>(gy + row0)),
                             std::max<LONG>(inked.right, static_cast<LONG>(gx + col1)),
                             std::max<LONG>(inked.bottom, static_cast<LONG>(gy + row1))};
            for (long row = row0; row < row1; ++row) {
                const uint8_t* ink = g.ink.data() + row * g.width;
                uint32_t* out =
                    surface->pixels.data() + static_cast<size_t>(gy + row) * surface->width + gx;
                for (long col = col0; col < col1; ++col)
                    if (ink[col]) out[col] = dc->textColor;
            }
        }
        if (static_cast<long>(i) == underline || tm.tmUnderlined)
            for (int k = 0; k < advance; ++k) plot(pen + k, baseline + 1);
        if (tm.tmStruckOut)
            for (int k = 0; k < advance; ++k) plot(pen + k, baseline - (tm.tmAscent * 2) / 5);
        pen += advance;
    }
    inked.right = std::max<LONG>(inked.right, static_cast<LONG>(pen));
    inked.bottom = std::max<LONG>(inked.bottom, static_cast<LONG>(baseline + 2));  // an underline
    Touched(surface, Intersect(inked, clip));
    if (DrawRecording() && !dc->memory) {
        const LONG weight = CurrentFont(dc)->lf.lfWeight;
        NoteText(surface,
                 RECT{static_cast<LONG>(x), static_cast<LONG>(y), static_cast<LONG>(pen),
                      static_cast<LONG>(y + tm.tmHeight)},
                 clip, std::u16string(s, n), tm.tmHeight,
                 weight ? static_cast<int>(weight) : FW_NORMAL);
    }
}

// Removes prefix marks: "&x" shows x underlined, "&&" shows one "&".
std::u16string StripPrefixes(const std::u16string& in, long* underline) {
    std::u16string out;
    *underline = -1;
    for (size_t i = 0; i < in.size(); ++i) {
        if (in[i] == u'&') {
            if (i + 1 < in.size() && in[i + 1] == u'&') {
                out.push_back(u'&');
                ++i;
                continue;
            }
            if (i + 1 < in.size()) *underline = static_cast<long>(out.size());
            continue;
        }
        out.push_back(in[i]);
    }
    return out;
}

struct Line {
    size_t start, length;
};

// Splits at CR, LF or CR LF, and with DT_WORDBREAK wraps at spaces so that a
// line fits `width` (a single word wider than that keeps a line to itself).
std::vector<Line> SplitLines(FontInstance* fi, const Layout& layout, const std::u16string& s,
                             UINT format, long width) {
    std::vector<Line> lines;
    if (format & DT_SINGLELINE) {
        lines.push_back({0, s.size()});
        return lines;
    }
    size_t i = 0;
    while (true) {
        size_t end = i;
        while (end < s.size() && s[end] != u'\r' && s[end] != u'\n') ++end;
        if (!(format & DT_WORDBREAK)) {
            lines.push_back({i, end - i});
        } else {
            size_t lineStart = i;
            while (true) {
                size_t fit = lineStart, pos = lineStart;
                // Advance word by word while the line still fits.
                while (pos < end) {
                    size_t wordEnd = pos;
                    while (wordEnd < end && s[wordEnd] == u' ') ++wordEnd;
                    while (wordEnd < end && s[wordEnd] != u' ') ++wordEnd;
                    if (Width(fi, layout, s.data() + lineStart, wordEnd - lineStart) > width &&
                        fit > lineStart)
                        break;
                    fit = pos = wordEnd;
                }
                size_t visible = fit;
                while (visible > lineStart && s[visible - 1] == u' ') --visible;
                lines.push_back({lineStart, visible - lineStart});
                lineStart = fit;
                while (lineStart < end && s[lineStart] == u' ') ++lineStart;
                if (lineStart >= end) break;
            }
        }
        if (end >= s.size()) break;
        i = end + ((s[end] == u'\r' && end + 1 < s.size() && s[end + 1] == u'\n') ? 2 : 1);
    }
    return lines;
}

RECT Offset(const DC* dc, const RECT& r) {
    auto shift = [](LONG v, LONG by) {
        return static_cast<LONG>(
            std::clamp<long>(static_cast<long>(v) + by, -(1L << 30), 1L << 30));
    };
    return RECT{shift(r.left, dc->origin.x), shift(r.top, dc->origin.y),
                shift(r.right, dc->origin.x), shift(r.bottom, dc->origin.y)};
}

}  // namespace

int DrawTextW(HDC hdc, LPCWSTR text, int count, RECT* rect, UINT format) {
    DC* dc = FindDC(hdc);
    if (!dc) return 0;
    if (!rect || (!text && count != 0) || count < -1) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    FontInstance* fi = FontOf(dc);
    if (!fi) return 0;
    const TEXTMETRICW& tm = fi->Metrics();
    std::u16string s =
        count == -1 ? std::u16string(text) : std::u16string(text, static_cast<size_t>(count));
    if (s.empty()) {
        if (format & DT_CALCRECT) {
            rect->right = rect->left;
            rect->bottom = (format & DT_SINGLELINE) ? rect->top + tm.tmHeight : rect->top;
        }
        return 0;
    }
    long underline = -1;
    if (!(format & DT_NOPREFIX)) s = StripPrefixes(s, &underline);
    Layout layout;
    if (format & DT_EXPANDTABS) layout.tabStop = 8 * tm.tmAveCharWidth;
    long lineHeight = tm.tmHeight + ((format & DT_EXTERNALLEADING) ? tm.tmExternalLeading : 0);
    std::vector<Line> lines =
        SplitLines(fi, layout, s, format, static_cast<long>(rect->right) - rect->left);

    RECT clip = DrawableArea(dc);
    if (!(format & DT_NOCLIP)) clip = Intersect(clip, Offset(dc, *rect));
    bool draw = !(format & DT_CALCRECT);
    long y = rect->top, maxWidth = 0, result = 0;
    for (const Line& line : lines) {
        long cx = Width(fi, layout, s.data() + line.start, line.length);
        maxWidth = std::max(maxWidth, cx);
        long x = rect->left;
        if (format & DT_CENTER)
            x = (static_cast<long>(rect->left) + rect->right - cx) / 2;
        else if (format & DT_RIGHT)
            x = rect->right - cx;
        // Two separate truncating halvings, as the handheld computes it.
        if (format & DT_SINGLELINE) {
            if (format & DT_VCENTER)
                y = rect->top + (static_cast<long>(rect->bottom) - rect->top) / 2 - tm.tmHeight / 2;
            else if (format & DT_BOTTOM)
                y = rect->bottom - tm.tmHeight;
        }
        if (draw) {
            long sx = x + dc->origin.x, sy = y + dc->origin.y;
            if (dc->bkMode == OPAQUE) {
                RECT cell{
                    static_cast<LONG>(std::clamp<long>(sx, -(1L << 30), 1L << 30)),
                    static_cast<LONG>(std::clamp<long>(sy, -(1L << 30), 1L << 30)),
                    static_cast<LONG>(std::clamp<long>(sx + cx, -(1L << 30), 1L << 30)),
                    static_cast<LONG>(std::clamp<long>(sy + tm.tmHeight, -(1L << 30), 1L << 30))};
                FillSurface(dc->surface, Intersect(cell, clip), dc->bkColor);
            }
            long lineUnderline = -1;
            if (underline >= static_cast<long>(line.start) &&
                underline < static_cast<long>(line.start + line.length))
                lineUnderline = underline - static_cast<long>(line.start);
            DrawRun(dc, fi, layout, s.data() + line.start, line.length, sx, sy, clip,
                    lineUnderline);
        }
        result = (format & DT_SINGLELINE) ? y - rect->top + tm.tmHeight : result + lineHeight;
        y += lineHeight;
    }
    if (format & DT_CALCRECT) {
        rect->right = static_cast<LONG>(rect->left + maxWidth);
        rect->bottom =
            static_cast<LONG>(rect->top + ((format & DT_SINGLELINE) ? tm.tmHeight : result));
    }
    return static_cast<int>(result);
}

BOOL GetTextExtentExPointW(HDC hdc, LPCWSTR text, int count, int maxExtent, INT* fit, INT* dx,
                           SIZE* size) {
    DC* dc = FindDC(hdc);
    if (!dc) return FALSE;
    if (count < 0 || (!text && count > 0)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    FontInstance* fi = FontOf(dc);
    if (!fi) return FALSE;
    long x = 0;
    int fits = 0;
    int i = 0;
    // Text is often measured again with more of it each time (up to each
    // space in turn, to find where a line breaks). Widths add up character by
    // character, so the width of a prefix measured last time is reused.
    static struct {
        FontInstance* font = nullptr;
        std::u16string text;
        long width = 0;
    } last;
    const bool extentOnly = !fit && !dx;
    if (extentOnly && last.font == fi && static_cast<size_t>(count) >= last.text.size() &&
        std::memcmp(last.text.data(), text, last.text.size() * sizeof(char16_t)) == 0) {
        i = static_cast<int>(last.text.size());
        x = last.width;
    } else if (extentOnly) {
        last.text.clear();
    }
    for (; i < count; ++i) {
        x += fi->Advance(text[i]);
        if (x <= maxExtent) fits = i + 1;
        if (dx) dx[i] = static_cast<INT>(x);
    }
    if (extentOnly) {
        last.font = fi;
        last.text.append(text + last.text.size(), static_cast<size_t>(count) - last.text.size());
        last.width = x;
    }
    if (fit) *fit = fits;
    if (size) *size = SIZE{static_cast<LONG>(x), fi->Metrics().tmHeight};
    return TRUE;
}

BOOL GetTextExtentPoint32W(HDC hdc, LPCWSTR text, int count, SIZE* size) {
    return GetTextExtentExPointW(hdc, text, count, 0, nullptr, nullptr, size);
}

BOOL GetTextMetricsW(HDC hdc, TEXTMETRICW* tm) {
    DC* dc = FindDC(hdc);
    if (!dc) return FALSE;
    if (!tm) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    FontInstance* fi = FontOf(dc);
    if (!fi) return FALSE;
    *tm = fi->Metrics();
    return TRUE;
}
