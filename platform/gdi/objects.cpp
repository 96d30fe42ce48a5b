// The handle table and the objects' life: creation, selection, deletion and
// GetObjectW.
//
// Implements: the stock brushes and the system font, CreateSolidBrush,
// CreateFontIndirectW, CreateCompatibleDC (a memory context on a 1x1
// monochrome bitmap), SelectObject (a bitmap only into a memory context, and
// into one at a time), DeleteObject, DeleteDC, GetObjectW for bitmaps and
// fonts, GetDeviceCaps, text and background colours. Handles are never
// reused, so a stale handle is reported as invalid instead of reaching
// another object.
//
// Leaves out: pens, regions, palettes, patterned brushes, GetObjectW of a
// brush.
//
// Differs: nothing known.
#include "gdi/objects.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <unordered_map>

#include "device/screen.h"
#include "gdi/font.h"
#include "gdi/record.h"
#include "winbase.h"

namespace gdi {

LOGFONTW SystemLogFont() {
    // 8 pt at 96 DPI, rounded as GDI rounds it: an 11-pixel em.
    LOGFONTW lf{};
    lf.lfHeight = -11;
    lf.lfWeight = FW_NORMAL;
    lf.lfCharSet = ANSI_CHARSET;
    lf.lfPitchAndFamily = VARIABLE_PITCH | FF_SWISS;
    const char16_t name[] = u"Tahoma";
    std::copy(std::begin(name), std::end(name), lf.lfFaceName);
    return lf;
}

namespace {

struct Table {
    std::unordered_map<uintptr_t, std::unique_ptr<Object>> objects;
    uintptr_t next = 0x10000;
    // The objects looked up last, by handle: drawing looks up the same
    // context, font and brush call after call. Handles are never reused, so
    // an entry stays right until its object is erased.
    struct Recent {
        uintptr_t handle = 0;
        Object* object = nullptr;
    };
    std::array<Recent, 16> recent;
    Recent& RecentFor(uintptr_t handle) { return recent[(handle >> 2) % recent.size()]; }
    Object* Lookup(uintptr_t handle) {
        Recent& r = RecentFor(handle);
        if (r.handle == handle && r.object) return r.object;
        auto it = objects.find(handle);
        if (it == objects.end()) return nullptr;
        r = Recent{handle, it->second.get()};
        return r.object;
    }
};

Table& Objects() {
    static Table table;
    return table;
}

HGDIOBJ Stock(int index);

HGDIOBJ MakeStockBrush(bool hollow, uint32_t rgb) {
    auto b = std::make_unique<Brush>();
    b->stock = true;
    b->hollow = hollow;
    b->rgb = rgb;
    return Insert(std::move(b));
}

struct StockObjects {
    HGDIOBJ objects[DEFAULT_PALETTE + 1] = {};
    HGDIOBJ monoBitmap = nullptr;  // what a new memory context draws on
    StockObjects() {
        objects[WHITE_BRUSH] = MakeStockBrush(false, 0xFFFFFF);
        objects[LTGRAY_BRUSH] = MakeStockBrush(false, 0xC0C0C0);
        objects[GRAY_BRUSH] = MakeStockBrush(false, 0x808080);
        objects[DKGRAY_BRUSH] = MakeStockBrush(false, 0x404040);
        objects[BLACK_BRUSH] = MakeStockBrush(false, 0x000000);
        objects[NULL_BRUSH] = MakeStockBrush(true, 0);
        auto f = std::make_unique<Font>();
        f->stock = true;
        f->lf = SystemLogFont();
        objects[SYSTEM_FONT] = Insert(std::move(f));
        auto b = std::make_unique<Bitmap>();
        b->stock = true;
        b->bitsPixel = 1;
        b->surface = std::make_shared<Surface>();
        b->surface->width = b->surface->height = 1;
        b->surface->pixels.assign(1, 0);
        monoBitmap = Insert(std::move(b));
    }
};

StockObjects& Stocks() {
    static StockObjects stocks;
    return stocks;
}

HGDIOBJ Stock(int index) {
    return Stocks().objects[index];
}

void SetDefaults(DC* dc) {
    dc->font = static_cast<HFONT>(Stock(SYSTEM_FONT));
    dc->brush = static_cast<HBRUSH>(Stock(WHITE_BRUSH));
}

}  // namespace

HGDIOBJ Insert(std::unique_ptr<Object> object) {
    Table& t = Objects();
    uintptr_t h = t.next;
    t.next += 4;
    t.objects[h] = std::move(object);
    return reinterpret_cast<HGDIOBJ>(h);
}

Object* Find(HGDIOBJ handle) {
    Object* o = Objects().Lookup(reinterpret_cast<uintptr_t>(handle));
    if (!o) SetLastError(ERROR_INVALID_HANDLE);
    return o;
}

DC* FindDC(HDC hdc) {
    DC* dc = FindAs<DC>(hdc, Kind::DC);
    if (!dc) SetLastError(ERROR_INVALID_HANDLE);
    return dc;
}

void Erase(HGDIOBJ handle) {
    Table& t = Objects();
    const auto h = reinterpret_cast<uintptr_t>(handle);
    if (t.RecentFor(h).handle == h) t.RecentFor(h) = Table::Recent{};
    t.objects.erase(h);
}

namespace {

// The object selected as `selected` when it is still alive and of `kind`;
// otherwise `selected` falls back to the stock object `fallback`. One lookup:
// text is measured and drawn a run at a time through this.
template <class T, class H>
T* Selected(H& selected, Kind kind, int fallback) {
    Table& t = Objects();
    Object* o = t.Lookup(reinterpret_cast<uintptr_t>(selected));
    if (!o || o->kind != kind) {
        selected = static_cast<H>(Stock(fallback));
        o = t.Lookup(reinterpret_cast<uintptr_t>(selected));
    }
    return static_cast<T*>(o);
}

}  // namespace

Font* CurrentFont(DC* dc) {
    return Selected<Font>(dc->font, Kind::Font, SYSTEM_FONT);
}

Brush* CurrentBrush(DC* dc) {
    return Selected<Brush>(dc->brush, Kind::Brush, WHITE_BRUSH);
}

RECT DrawableArea(const DC* dc) {
    if (!dc->surface || dc->readOnly ||
        dc->surface->pixels.size() < static_cast<size_t>(std::max(0, dc->surface->width)) *
                                         static_cast<size_t>(std::max(0, dc->surface->height)))
        return RECT{0, 0, 0, 0};
    return Intersect(dc->clip, RECT{0, 0, dc->surface->width, dc->surface->height});
}

namespace {

// What stays known of a row's one-colour stretch after [left, right) has
// changed: the longer of the parts on either side.
void Forget(Surface::Known& k, int left, int right) {
    if (right <= k.left || left >= k.right) return;
    const int before = left - k.left, after = k.right - right;
    if (before <= 0 && after <= 0)
        k = Surface::Known{};
    else if (before >= after)
        k.right = left;
    else
        k.left = right;
}

}  // namespace

void KnowSurface(Surface* s, uint32_t rgb) {
    s->pixels.assign(static_cast<size_t>(s->width) * static_cast<size_t>(s->height), rgb);
    s->known.assign(static_cast<size_t>(s->height), Surface::Known{0, s->width, rgb});
}

void Touched(Surface* s, const RECT& r) {
    if (s->known.empty() || IsEmpty(r)) return;
    for (LONG y = r.top; y < r.bottom; ++y)
        Forget(s->known[static_cast<size_t>(y)], r.left, r.right);
}

void FillSurface(Surface* s, const RECT& r, uint32_t rgb) {
    NoteCover(s, r);
    if (IsEmpty(r)) return;
    const auto width = static_cast<size_t>(r.right - r.left);
    const uint32_t* row = nullptr;  // a row of the fill already written
    for (LONG y = r.top; y < r.bottom; ++y) {
        if (!s->known.empty()) {
            Surface::Known& k = s->known[static_cast<size_t>(y)];
            if (k.rgb == rgb && k.left <= r.left && r.right <= k.right) continue;
            if (k.left < k.right && k.rgb == rgb && r.left <= k.right && k.left <= r.right) {
                k.left = std::min<int>(k.left, r.left);
                k.right = std::max<int>(k.right, r.right);
            } else if (static_cast<int>(width) >= k.right - k.left) {
                k = Surface::Known{r.left, r.right, rgb};
            } else {
                Forget(k, r.left, r.right);
            }
        }
        uint32_t* out = s->pixels.data() + static_cast<size_t>(y) * s->width + r.left;
        // A block copy of a row already filled moves many pixels a step
        // where a fill loop stores one.
        if (row)
            std::memcpy(out, row, width * sizeof(uint32_t));
        else
            std::fill(out, out + width, rgb);
        row = out;
    }
}

Surface& Screen() {
    static Surface screen = [] {
        Surface s;
        s.width = device::kScreenWidth;
        s.height = device::kScreenHeight;
        s.pixels.assign(static_cast<size_t>(s.width) * s.height, 0xFFFFFF);
        return s;
    }();
    return screen;
}

HDC CreateSurfaceDC(Surface* s, POINT origin, RECT clip) {
    auto dc = std::make_unique<DC>();
    dc->surface = s;
    dc->origin = origin;
    dc->clip = clip;
    SetDefaults(dc.get());
    return static_cast<HDC>(Insert(std::move(dc)));
}

void DeleteSurfaceDC(HDC hdc) {
    DeleteDC(hdc);
}

}  // namespace gdi

using namespace gdi;

HGDIOBJ GetStockObject(int index) {
    if (index < 0 || index > DEFAULT_PALETTE || !Stock(index)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    return Stock(index);
}

HDC CreateCompatibleDC(HDC hdc) {
    if (hdc && !FindDC(hdc)) return nullptr;
    auto dc = std::make_unique<DC>();
    dc->memory = true;
    SetDefaults(dc.get());
    Bitmap* mono = FindAs<Bitmap>(Stocks().monoBitmap, Kind::Bitmap);
    dc->bitmap = static_cast<HBITMAP>(Stocks().monoBitmap);
    dc->surface = mono->surface.get();
    dc->clip = RECT{0, 0, 1, 1};
    return static_cast<HDC>(Insert(std::move(dc)));
}

BOOL DeleteDC(HDC hdc) {
    DC* dc = FindDC(hdc);
    if (!dc) return FALSE;
    if (dc->memory) {
        Bitmap* b = FindAs<Bitmap>(dc->bitmap, Kind::Bitmap);
        if (b && !b->stock) b->selectedIn = nullptr;
    }
    Erase(hdc);
    return TRUE;
}

int GetDeviceCaps(HDC hdc, int index) {
    if (!FindDC(hdc)) return 0;
    switch (index) {
        case HORZRES:
            return Screen().width;
        case VERTRES:
            return Screen().height;
        case BITSPIXEL:
            return 32;
        case PLANES:
            return 1;
        case LOGPIXELSX:
        case LOGPIXELSY:
            return 96;
        default:
            return 0;
    }
}

HGDIOBJ SelectObject(HDC hdc, HGDIOBJ obj) {
    DC* dc = FindDC(hdc);
    if (!dc) return nullptr;
    Object* o = Find(obj);
    if (!o) return nullptr;
    HGDIOBJ previous = nullptr;
    switch (o->kind) {
        case Kind::Brush:
            CurrentBrush(dc);
            previous = dc->brush;
            dc->brush = static_cast<HBRUSH>(obj);
            break;
        case Kind::Font:
            CurrentFont(dc);
            previous = dc->font;
            dc->font = static_cast<HFONT>(obj);
            break;
        case Kind::Bitmap: {
            // Only memory contexts draw on bitmaps, and a bitmap belongs to one
            // context at a time.
            auto* b = static_cast<Bitmap*>(o);
            if (!dc->memory || (b->selectedIn && b->selectedIn != hdc)) {
                SetLastError(ERROR_INVALID_PARAMETER);
                return nullptr;
            }
            previous = dc->bitmap;
            if (Bitmap* old = FindAs<Bitmap>(dc->bitmap, Kind::Bitmap); old && !old->stock)
                old->selectedIn = nullptr;
            if (!b->stock) b->selectedIn = hdc;
            dc->bitmap = static_cast<HBITMAP>(obj);
            dc->surface = b->surface.get();
            dc->clip = RECT{0, 0, b->surface->width, b->surface->height};
            dc->readOnly = b->readOnly;
            break;
        }
        case Kind::DC:
            SetLastError(ERROR_INVALID_HANDLE);
            return nullptr;
    }
    return previous;
}

BOOL DeleteObject(HGDIOBJ obj) {
    Object* o = Find(obj);
    if (!o || o->kind == Kind::DC) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    if (o->stock) return TRUE;
    if (o->kind == Kind::Bitmap && static_cast<Bitmap*>(o)->selectedIn) {
        // A bitmap still selected into a memory context stays alive.
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    Erase(obj);
    return TRUE;
}

int GetObjectW(HGDIOBJ obj, int size, LPVOID out) {
    Object* o = Find(obj);
    if (!o) return 0;
    if (o->kind == Kind::Font) {
        const LOGFONTW& lf = static_cast<Font*>(o)->lf;
        if (!out) return sizeof(LOGFONTW);
        if (size <= 0) {
            SetLastError(ERROR_INVALID_PARAMETER);
            return 0;
        }
        int n = std::min<int>(size, sizeof(LOGFONTW));
        std::memcpy(out, &lf, static_cast<size_t>(n));
        return n;
    }
    if (o->kind == Kind::Bitmap) {
        auto* b = static_cast<Bitmap*>(o);
        if (!out) return sizeof(BITMAP);
        if (size < static_cast<int>(sizeof(BITMAP))) {
            SetLastError(ERROR_INSUFFICIENT_BUFFER);
            return 0;
        }
        BITMAP bm{};
        bm.bmWidth = b->surface->width;
        bm.bmHeight = b->surface->height;
        bm.bmBitsPixel = static_cast<WORD>(b->bitsPixel);
        bm.bmWidthBytes = ((bm.bmWidth * b->bitsPixel + 15) / 16) * 2;
        bm.bmPlanes = 1;
        std::memcpy(out, &bm, sizeof bm);
        return sizeof(BITMAP);
    }
    if (o->kind == Kind::DC) {
        SetLastError(ERROR_INVALID_HANDLE);
        return 0;
    }
    // Brushes: the handheld's LOGBRUSH is not needed here.
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
}

HBRUSH CreateSolidBrush(COLORREF color) {
    auto b = std::make_unique<Brush>();
    b->rgb = ToPixel(color);
    return static_cast<HBRUSH>(Insert(std::move(b)));
}

HFONT CreateFontIndirectW(const LOGFONTW* lf) {
    if (!lf) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    auto f = std::make_unique<Font>();
    f->lf = *lf;
    return static_cast<HFONT>(Insert(std::move(f)));
}

COLORREF SetTextColor(HDC hdc, COLORREF color) {
    DC* dc = FindDC(hdc);
    if (!dc) return CLR_INVALID;
    COLORREF old = ToColorRef(dc->textColor);
    dc->textColor = ToPixel(color);
    return old;
}

COLORREF SetBkColor(HDC hdc, COLORREF color) {
    DC* dc = FindDC(hdc);
    if (!dc) return CLR_INVALID;
    COLORREF old = ToColorRef(dc->bkColor);
    dc->bkColor = ToPixel(color);
    return old;
}

int SetBkMode(HDC hdc, int mode) {
    DC* dc = FindDC(hdc);
    if (!dc) return 0;
    if (mode != TRANSPARENT && mode != OPAQUE) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    int old = dc->bkMode;
    dc->bkMode = mode;
    return old;
}
