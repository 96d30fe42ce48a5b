// Filling, lines, pixels and block transfers on a context's surface.
#include <algorithm>
#include <cstdlib>

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

void PlotPixel(DC* dc, const RECT& area, long x, long y, uint32_t rgb) {
    x += dc->origin.x;
    y += dc->origin.y;
    if (x < area.left || x >= area.right || y < area.top || y >= area.bottom) return;
    dc->surface->pixels[static_cast<size_t>(y) * dc->surface->width + x] = rgb;
}

// Cuts the segment to `box` (Liang-Barsky); false when nothing is left.
bool ClipSegment(double& x0, double& y0, double& x1, double& y1, const RECT& box) {
    double t0 = 0, t1 = 1, dx = x1 - x0, dy = y1 - y0;
    const double p[4] = {-dx, dx, -dy, dy};
    const double q[4] = {x0 - box.left, box.right - x0, y0 - box.top, box.bottom - y0};
    for (int i = 0; i < 4; ++i) {
        if (p[i] == 0) {
            if (q[i] < 0) return false;
            continue;
        }
        double t = q[i] / p[i];
        if (p[i] < 0)
            t0 = std::max(t0, t);
        else
            t1 = std::min(t1, t);
    }
    if (t0 > t1) return false;
    double ax = x0 + t0 * dx, ay = y0 + t0 * dy, bx = x0 + t1 * dx, by = y0 + t1 * dy;
    x0 = ax;
    y0 = ay;
    x1 = bx;
    y1 = by;
    return true;
}

// Bresenham from (x0,y0) towards (x1,y1), the end point excluded as GDI does.
void DrawLine(DC* dc, LONG x0, LONG y0, LONG x1, LONG y1) {
    Pen* pen = CurrentPen(dc);
    if (pen->style == PS_NULL) return;
    RECT area = DrawableArea(dc);
    // Far coordinates are first cut to a margin around the drawable area, so
    // the walk below stays short; the visible pixels are unchanged for lines
    // that lie within the margin.
    const LONG margin = 1 << 12;
    RECT box{area.left - dc->origin.x - margin, area.top - dc->origin.y - margin,
             area.right - dc->origin.x + margin, area.bottom - dc->origin.y + margin};
    bool endVisible = true;
    if (x0 < box.left || x0 > box.right || y0 < box.top || y0 > box.bottom || x1 < box.left ||
        x1 > box.right || y1 < box.top || y1 > box.bottom) {
        double fx0 = x0, fy0 = y0, fx1 = x1, fy1 = y1;
        if (!ClipSegment(fx0, fy0, fx1, fy1, box)) return;
        endVisible = false;
        x0 = static_cast<LONG>(fx0);
        y0 = static_cast<LONG>(fy0);
        x1 = static_cast<LONG>(fx1);
        y1 = static_cast<LONG>(fy1);
    }
    long dx = std::labs(static_cast<long>(x1) - x0), dy = -std::labs(static_cast<long>(y1) - y0);
    int sx = x0 < x1 ? 1 : -1, sy = y0 < y1 ? 1 : -1;
    long err = dx + dy;
    long x = x0, y = y0;
    long steps = std::max(dx, -dy) + (endVisible ? 0 : 1);
    for (long i = 0; i < steps; ++i) {
        bool dash = pen->style == PS_DASH && (i % 8) >= 6;
        if (!dash) {
            for (int w = 0; w < pen->width; ++w) {
                if (dx >= -dy)
                    PlotPixel(dc, area, static_cast<LONG>(x), static_cast<LONG>(y + w), pen->rgb);
                else
                    PlotPixel(dc, area, static_cast<LONG>(x + w), static_cast<LONG>(y), pen->rgb);
            }
        }
        long e2 = 2 * err;
        if (e2 >= dy) {
            err += dy;
            x += sx;
        }
        if (e2 <= dx) {
            err += dx;
            y += sy;
        }
    }
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

BOOL Rectangle(HDC hdc, int left, int top, int right, int bottom) {
    DC* dc = FindDC(hdc);
    if (!dc) return FALSE;
    if (dc->readOnly) {
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    if (right < left) std::swap(left, right);
    if (bottom < top) std::swap(top, bottom);
    Pen* pen = CurrentPen(dc);
    Brush* brush = CurrentBrush(dc);
    if (pen->style == PS_NULL) {
        // Without a border the filled area ends one pixel short on the right
        // and at the bottom.
        if (!brush->hollow)
            FillSurface(dc->surface, ToSurface(dc, RECT{left, top, right - 1, bottom - 1}),
                        brush->rgb);
        return TRUE;
    }
    int w = pen->width;
    if (!brush->hollow)
        FillSurface(dc->surface, ToSurface(dc, RECT{left + w, top + w, right - w, bottom - w}),
                    brush->rgb);
    uint32_t c = pen->rgb;
    if (pen->style == PS_SOLID) {
        FillSurface(dc->surface, ToSurface(dc, RECT{left, top, right, top + w}), c);
        FillSurface(dc->surface, ToSurface(dc, RECT{left, bottom - w, right, bottom}), c);
        FillSurface(dc->surface, ToSurface(dc, RECT{left, top, left + w, bottom}), c);
        FillSurface(dc->surface, ToSurface(dc, RECT{right - w, top, right, bottom}), c);
    } else {
        POINT keep = dc->position;
        DrawLine(dc, left, top, right - 1, top);
        DrawLine(dc, right - 1, top, right - 1, bottom - 1);
        DrawLine(dc, right - 1, bottom - 1, left, bottom - 1);
        DrawLine(dc, left, bottom - 1, left, top);
        dc->position = keep;
    }
    return TRUE;
}

BOOL MoveToEx(HDC hdc, int x, int y, POINT* previous) {
    DC* dc = FindDC(hdc);
    if (!dc) return FALSE;
    if (previous) *previous = dc->position;
    dc->position = POINT{x, y};
    return TRUE;
}

BOOL LineTo(HDC hdc, int x, int y) {
    DC* dc = FindDC(hdc);
    if (!dc) return FALSE;
    if (dc->readOnly) {
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    DrawLine(dc, dc->position.x, dc->position.y, x, y);
    dc->position = POINT{x, y};
    return TRUE;
}

BOOL Polyline(HDC hdc, const POINT* points, int count) {
    DC* dc = FindDC(hdc);
    if (!dc) return FALSE;
    if (!points || count < 2) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    if (dc->readOnly) {
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    for (int i = 1; i < count; ++i)
        DrawLine(dc, points[i - 1].x, points[i - 1].y, points[i].x, points[i].y);
    return TRUE;
}

COLORREF SetPixel(HDC hdc, int x, int y, COLORREF color) {
    DC* dc = FindDC(hdc);
    if (!dc) return CLR_INVALID;
    RECT area = DrawableArea(dc);
    long sx = static_cast<long>(x) + dc->origin.x, sy = static_cast<long>(y) + dc->origin.y;
    if (sx < area.left || sx >= area.right || sy < area.top || sy >= area.bottom)
        return CLR_INVALID;
    dc->surface->pixels[static_cast<size_t>(sy) * dc->surface->width + sx] = ToPixel(color);
    return color;
}

COLORREF GetPixel(HDC hdc, int x, int y) {
    DC* dc = FindDC(hdc);
    if (!dc || !dc->surface ||
        dc->surface->pixels.size() < static_cast<size_t>(dc->surface->width) * dc->surface->height)
        return CLR_INVALID;
    RECT area = Intersect(dc->clip, RECT{0, 0, dc->surface->width, dc->surface->height});
    long sx = static_cast<long>(x) + dc->origin.x, sy = static_cast<long>(y) + dc->origin.y;
    if (sx < area.left || sx >= area.right || sy < area.top || sy >= area.bottom)
        return CLR_INVALID;
    return ToColorRef(dc->surface->pixels[static_cast<size_t>(sy) * dc->surface->width + sx]);
}

BOOL PatBlt(HDC hdc, int x, int y, int width, int height, DWORD rop) {
    if (UsesSource(rop)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    return BitBlt(hdc, x, y, width, height, nullptr, 0, 0, rop);
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
    // Source and destination may be the same surface: copy the source first.
    std::vector<uint32_t> copy;
    int cw = target.right - target.left;
    if (s) {
        copy.resize(static_cast<size_t>(cw) * (target.bottom - target.top));
        for (LONG row = target.top; row < target.bottom; ++row) {
            const uint32_t* from = s->surface->pixels.data() +
                                   static_cast<size_t>(row + offY) * s->surface->width +
                                   (target.left + offX);
            std::copy(from, from + cw,
                      copy.begin() + static_cast<ptrdiff_t>(row - target.top) * cw);
        }
        // A monochrome source is coloured by the destination: its black
        // pixels take the text colour, its white ones the background colour.
        Bitmap* sb = s->memory ? FindAs<Bitmap>(s->bitmap, Kind::Bitmap) : nullptr;
        if (sb && sb->bitsPixel == 1)
            for (uint32_t& p : copy) p = p == 0 ? d->textColor : d->bkColor;
    }
    for (LONG row = target.top; row < target.bottom; ++row) {
        uint32_t* out = d->surface->pixels.data() + static_cast<size_t>(row) * d->surface->width;
        for (LONG col = target.left; col < target.right; ++col) {
            uint32_t sp =
                s ? copy[static_cast<size_t>(row - target.top) * cw + (col - target.left)] : 0;
            out[col] = Apply(rop, out[col], sp, pattern);
        }
    }
    if (DrawRecording() && !d->memory) {
        uint16_t id = 0;
        const Bitmap* from = s && s->bitmap ? FindAs<Bitmap>(s->bitmap, Kind::Bitmap) : nullptr;
        if (rop == DSTINVERT)
            NoteInvert(d->surface, target);
        else if (from && LoadedBitmapId(from->surface.get(), &id))
            NotePicture(d->surface, target, id);
        else if (rop != DSTINVERT && rop != PATINVERT)
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
