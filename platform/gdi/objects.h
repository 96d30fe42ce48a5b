// Graphics objects behind the handles: the handle table and the state of a
// device context. Internal to the graphics layer.
#pragma once

#include <algorithm>
#include <memory>

#include "gdi/surface.h"
#include "wingdi.h"

namespace gdi {

class FontInstance;

enum class Kind { Brush, Font, Bitmap, DC };

struct Object {
    explicit Object(Kind k) : kind(k) {}
    virtual ~Object() = default;
    Kind kind;
    bool stock = false;  // never freed; DeleteObject on it is a harmless no-op
};

struct Brush : Object {
    Brush() : Object(Kind::Brush) {}
    bool hollow = false;
    uint32_t rgb = 0;  // 0x00RRGGBB
};

struct Font : Object {
    Font() : Object(Kind::Font) {}
    LOGFONTW lf{};
    FontInstance* instance = nullptr;  // realized on first use; shared, never freed
};

struct Bitmap : Object {
    Bitmap() : Object(Kind::Bitmap) {}
    std::shared_ptr<Surface> surface;
    int bitsPixel = 32;
    bool readOnly = false;  // bitmaps loaded from resources cannot be drawn on
    HDC selectedIn = nullptr;
};

struct DC : Object {
    DC() : Object(Kind::DC) {}
    Surface* surface = nullptr;
    POINT origin{0, 0};
    RECT clip{0, 0, 0, 0};  // surface coordinates
    bool memory = false;
    bool readOnly = false;
    HBITMAP bitmap = nullptr;  // memory contexts only
    HFONT font = nullptr;
    HBRUSH brush = nullptr;
    uint32_t textColor = 0x000000;  // 0x00RRGGBB
    uint32_t bkColor = 0xFFFFFF;
    int bkMode = OPAQUE;
};

// Registers an object and hands out its handle.
HGDIOBJ Insert(std::unique_ptr<Object> object);
// The object behind a handle, or null (with ERROR_INVALID_HANDLE set) when
// the handle is unknown or of another kind.
Object* Find(HGDIOBJ handle);
template <class T>
T* FindAs(HGDIOBJ handle, Kind kind) {
    Object* o = Find(handle);
    if (!o || o->kind != kind) return nullptr;
    return static_cast<T*>(o);
}
DC* FindDC(HDC hdc);
void Erase(HGDIOBJ handle);

// The objects a context draws with; a deleted selection falls back to the
// default stock object.
Font* CurrentFont(DC* dc);
Brush* CurrentBrush(DC* dc);

// COLORREF (0x00BBGGRR) <-> surface pixel (0x00RRGGBB).
inline uint32_t ToPixel(COLORREF c) {
    return ((c & 0xff) << 16) | (c & 0xff00) | ((c >> 16) & 0xff);
}
inline COLORREF ToColorRef(uint32_t p) {
    return ToPixel(p);
}

// The part of the surface a context may draw on: its clip inside the surface.
RECT DrawableArea(const DC* dc);
inline bool IsEmpty(const RECT& r) {
    return r.right <= r.left || r.bottom <= r.top;
}
// Inline: every drawing call clips with it, and the screen record tests every
// run it holds against each fill.
inline RECT Intersect(const RECT& a, const RECT& b) {
    RECT r{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
           std::min(a.bottom, b.bottom)};
    if (IsEmpty(r)) r = RECT{0, 0, 0, 0};
    return r;
}

// Fills a rectangle given in surface coordinates, already clipped.
void FillSurface(Surface* s, const RECT& r, uint32_t rgb);
// Tells the surface's row record that the pixels of `r` (surface
// coordinates) have changed to anything.
void Touched(Surface* s, const RECT& r);

}  // namespace gdi
