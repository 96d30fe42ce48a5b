// Filling, pixels and block transfers on a context's surface.
//
// Implements: FillRect, SetPixel, BitBlt with SRCCOPY, SRCPAINT, SRCAND,
// SRCINVERT, NOTSRCCOPY, DSTINVERT, PATCOPY, PATINVERT, BLACKNESS and
// WHITENESS, clipped to both surfaces; a monochrome source coloured by the
// destination (black takes the text colour, white the background colour);
// source and destination on one surface.
//
// Leaves out: StretchBlt, MaskBlt, pens and lines, other raster operations
// (refused with ERROR_INVALID_PARAMETER).
//
// Differs: drawing on a resource bitmap, read-only here, is refused
// (ERROR_ACCESS_DENIED) rather than changing a shared picture.
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "gdi/objects.h"
#include "gdi/record.h"
#include "winbase.h"

using namespace gdi;

namespace {

// A logical rectangle moved onto the surface and clipped to the context.
LONG Shift(LONG v, LONG by) {
    return static_cast<LONG>(std::clamp<long>(static_cast<long>(v) + by, -(1L << 30), 1L << 30));
}

RECT ToSurface(const DC* dc, RECT r) {
    r = RECT{Shift(r.left, dc->origin.x), Shift(r.top, dc->origin.y), Shift(r.right, dc->origin.x),
             Shift(r.bottom, dc->origin.y)};
    return Intersect(r, DrawableArea(dc));
}

uint32_t Apply(DWORD rop, uint32_t dst, uint32_t src, uint32_t pattern) {
    switch (rop) {
        case SRCCOPY:
            return src;
        case SRCPAINT:
            return dst | src;
        case SRCAND:
            return dst & src;
        case SRCINVERT:
            return dst ^ src;
        case NOTSRCCOPY:
            return ~src & 0xFFFFFF;
        case DSTINVERT:
            return ~dst & 0xFFFFFF;
        case PATCOPY:
            return pattern;
        case PATINVERT:
            return dst ^ pattern;
        case BLACKNESS:
            return 0;
        case WHITENESS:
            return 0xFFFFFF;
        default:
            return dst;
    }
}

bool UsesSource(DWORD rop) {
    return rop == SRCCOPY || rop == SRCPAINT || rop == SRCAND || rop == SRCINVERT ||
           rop == NOTSRCCOPY;
}

bool KnownRop(DWORD rop) {
    return UsesSource(rop) || rop == DSTINVERT || rop == PATCOPY || rop == PATINVERT ||
           rop == BLACKNESS || rop == WHITENESS;
}

}  // namespace

int FillRect(HDC hdc, const RECT* rect, HBRUSH brush) {
    DC* dc = FindDC(hdc);
    if (!dc) return 0;
    Brush* b = FindAs<Brush>(brush, Kind::Brush);
    if (!b || !rect) {
        SetLastError(b ? ERROR_INVALID_PARAMETER : ERROR_INVALID_HANDLE);
        return 0;
    }
    if (dc->readOnly) {
        SetLastError(ERROR_ACCESS_DENIED);
        return 0;
    }
    if (!b->hollow) FillSurface(dc->surface, ToSurface(dc, *rect), b->rgb);
    return 1;
}

COLORREF SetPixel(HDC hdc, int x, int y, COLORREF color) {
    DC* dc = FindDC(hdc);
    if (!dc) return CLR_INVALID;
    RECT area = DrawableArea(dc);
    long sx = static_cast<long>(x) + dc->origin.x, sy = static_cast<long>(y) + dc->origin.y;
    if (sx < area.left || sx >= area.right || sy < area.top || sy >= area.bottom)
        return CLR_INVALID;
    dc->surface->pixels[static_cast<size_t>(sy) * dc->surface->width + sx] = ToPixel(color);
    Touched(dc->surface, RECT{static_cast<LONG>(sx), static_cast<LONG>(sy),
                              static_cast<LONG>(sx + 1), static_cast<LONG>(sy + 1)});
    return color;
}

BOOL BitBlt(HDC dst, int x, int y, int width, int height, HDC src, int xSrc, int ySrc, DWORD rop) {
    DC* d = FindDC(dst);
    if (!d) return FALSE;
    if (!KnownRop(rop)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    DC* s = nullptr;
    if (UsesSource(rop)) {
        s = FindDC(src);
        if (!s) return FALSE;
        if (!s->surface ||
            IsEmpty(Intersect(s->clip, RECT{0, 0, s->surface->width, s->surface->height})) ||
            s->surface->pixels.size() < static_cast<size_t>(s->surface->width) * s->surface->height)
            return TRUE;  // nothing to copy from
    }
    if (d->readOnly) {
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    if (width <= 0 || height <= 0) return TRUE;
    RECT target = ToSurface(d, RECT{x, y, Shift(x, width), Shift(y, height)});
    // Offset from a destination surface pixel to its source surface pixel.
    long offX = 0, offY = 0;
    if (s) {
        offX = static_cast<long>(xSrc) + s->origin.x - (static_cast<long>(x) + d->origin.x);
        offY = static_cast<long>(ySrc) + s->origin.y - (static_cast<long>(y) + d->origin.y);
        // Only source pixels inside the source surface take part.
        RECT from{static_cast<LONG>(std::clamp<long>(target.left + offX, -(1L << 30), 1L << 30)),
                  static_cast<LONG>(std::clamp<long>(target.top + offY, -(1L << 30), 1L << 30)),
                  static_cast<LONG>(std::clamp<long>(target.right + offX, -(1L << 30), 1L << 30)),
                  static_cast<LONG>(std::clamp<long>(target.bottom + offY, -(1L << 30), 1L << 30))};
        from = Intersect(from, RECT{0, 0, s->surface->width, s->surface->height});
        if (IsEmpty(from)) return TRUE;
        target = Intersect(
            target,
            RECT{static_cast<LONG>(from.left - offX), static_cast<LONG>(from.top - offY),
                 static_cast<LONG>(from.right - offX), static_cast<LONG>(from.bottom - offY)});
    }
    if (IsEmpty(target)) return TRUE;
    uint32_t pattern = 0;
    if (rop == PATCOPY || rop == PATINVERT) {
        Brush* b = CurrentBrush(d);
        if (b->hollow) return TRUE;
        pattern = b->rgb;
    }
    const int cw = target.right - target.left;
    // Where each row's source pixels are read from. A copy is taken first
    // when source and destination are the same surface, or when a
    // monochrome source must first be coloured by the destination (its
    // black pixels take the text colour, its white ones the background).
    std::vector<uint32_t> copy;
    auto sourceRow = [&](LONG row) -> const uint32_t* {
        if (!copy.empty()) return copy.data() + static_cast<size_t>(row - target.top) * cw;
        return s->surface->pixels.data() + static_cast<size_t>(row + offY) * s->surface->width +
               (target.left + offX);
    };
    if (s) {
        Bitmap* sb = s->memory ? FindAs<Bitmap>(s->bitmap, Kind::Bitmap) : nullptr;
        const bool mono = sb && sb->bitsPixel == 1;
        if (mono || s->surface == d->surface) {
            std::vector<uint32_t> rows(static_cast<size_t>(cw) * (target.bottom - target.top));
            for (LONG row = target.top; row < target.bottom; ++row)
                std::copy_n(sourceRow(row), cw,
                            rows.begin() + static_cast<ptrdiff_t>(row - target.top) * cw);
            if (mono)
                for (uint32_t& p : rows) p = p == 0 ? d->textColor : d->bkColor;
            copy = std::move(rows);
        }
    }
    for (LONG row = target.top; row < target.bottom; ++row) {
        uint32_t* out =
            d->surface->pixels.data() + static_cast<size_t>(row) * d->surface->width + target.left;
        // The two operations of every page (pictures, the inverted title)
        // go a row at a time; the others a pixel at a time.
        if (rop == SRCCOPY) {
            std::memcpy(out, sourceRow(row), static_cast<size_t>(cw) * sizeof(uint32_t));
        } else if (rop == DSTINVERT) {
            for (int col = 0; col < cw; ++col) out[col] = ~out[col] & 0xFFFFFF;
        } else {
            const uint32_t* in = s ? sourceRow(row) : nullptr;
            for (int col = 0; col < cw; ++col)
                out[col] = Apply(rop, out[col], in ? in[col] : 0, pattern);
        }
    }
    Touched(d->surface, target);
    if (DrawRecording() && !d->memory) {
        uint16_t id = 0;
        const Bitmap* from = s && s->bitmap ? FindAs<Bitmap>(s->bitmap, Kind::Bitmap) : nullptr;
        if (rop == DSTINVERT)
            NoteInvert(d->surface, target);
        else if (from && LoadedBitmapId(from->surface.get(), &id)) {
            // Where the whole bitmap lies: pieces of it drawn apart are one picture.
            const LONG left = Shift(Shift(x, -xSrc), d->origin.x);
            const LONG top = Shift(Shift(y, -ySrc), d->origin.y);
            NotePicture(d->surface, target,
                        RECT{left, top, Shift(left, from->surface->width),
                             Shift(top, from->surface->height)},
                        id);
        } else if (rop != DSTINVERT && rop != PATINVERT)
            NoteCover(d->surface, target);
    }
    return TRUE;
}

namespace gdi {

void ScrollSurface(Surface* s, RECT area, int dx, int dy) {
    if (!s || s->width <= 0 || s->height <= 0 ||
        s->pixels.size() < static_cast<size_t>(s->width) * s->height)
        return;
    area = Intersect(area, RECT{0, 0, s->width, s->height});
    if (IsEmpty(area) || std::abs(dx) >= area.right - area.left ||
        std::abs(dy) >= area.bottom - area.top)
        return;
    RECT to =
        Intersect(RECT{area.left + dx, area.top + dy, area.right + dx, area.bottom + dy}, area);
    if (IsEmpty(to)) return;
    NoteScroll(s, area, dx, dy);
    Touched(s, to);
    int w = to.right - to.left;
    std::vector<uint32_t> copy(static_cast<size_t>(w) * (to.bottom - to.top));
    for (LONG row = to.top; row < to.bottom; ++row) {
        const uint32_t* from =
            s->pixels.data() + static_cast<size_t>(row - dy) * s->width + (to.left - dx);
        std::copy(from, from + w, copy.begin() + static_cast<ptrdiff_t>(row - to.top) * w);
    }
    for (LONG row = to.top; row < to.bottom; ++row)
        std::copy(copy.begin() + static_cast<ptrdiff_t>(row - to.top) * w,
                  copy.begin() + static_cast<ptrdiff_t>(row - to.top + 1) * w,
                  s->pixels.begin() + static_cast<ptrdiff_t>(row) * s->width + to.left);
}

}  // namespace gdi
