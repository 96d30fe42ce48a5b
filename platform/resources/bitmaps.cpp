// Bitmap resources: BMP files decoded with SDL's loader into the 32-bit
// pixel format, and LoadBitmapW on top of them.
#include <SDL.h>

#include <map>

#include "gdi/objects.h"
#include "gdi/record.h"
#include "resources/resources.h"
#include "winbase.h"

namespace resources {

std::shared_ptr<gdi::Surface> DecodeBmp(const unsigned char* bytes, size_t size,
                                        int* bitsPerPixel) {
    // The header is checked here so SDL only ever sees something that claims
    // to be a BMP of a sane size.
    if (!bytes || size < 54 || size > (1u << 30) || bytes[0] != 'B' || bytes[1] != 'M')
        return nullptr;
    SDL_RWops* rw = SDL_RWFromConstMem(bytes, static_cast<int>(size));
    if (!rw) return nullptr;
    SDL_Surface* loaded = SDL_LoadBMP_RW(rw, 1);
    if (!loaded) return nullptr;
    // SDL widens 1- and 4-bit pictures; the depth reported is the file's.
    size_t headerSize = bytes[14] | (bytes[15] << 8);
    size_t at = headerSize == 12 ? 24 : 28;
    int depth = bytes[at] | (bytes[at + 1] << 8);
    SDL_Surface* rgb = SDL_ConvertSurfaceFormat(loaded, SDL_PIXELFORMAT_RGB888, 0);
    SDL_FreeSurface(loaded);
    if (!rgb) return nullptr;
    auto out = std::make_shared<gdi::Surface>();
    out->width = rgb->w;
    out->height = rgb->h;
    out->pixels.resize(static_cast<size_t>(rgb->w) * rgb->h);
    SDL_LockSurface(rgb);
    for (int y = 0; y < rgb->h; ++y) {
        const auto* row = reinterpret_cast<const uint32_t*>(
            static_cast<const uint8_t*>(rgb->pixels) + static_cast<ptrdiff_t>(y) * rgb->pitch);
        for (int x = 0; x < rgb->w; ++x)
            out->pixels[static_cast<size_t>(y) * rgb->w + x] = row[x] & 0xFFFFFF;
    }
    SDL_UnlockSurface(rgb);
    SDL_FreeSurface(rgb);
    if (bitsPerPixel) *bitsPerPixel = depth;
    return out;
}

}  // namespace resources

HBITMAP LoadBitmapW(HINSTANCE, LPCWSTR name) {
    // Pictures are loaded again and again while pages are painted; each is
    // decoded once. The bitmaps handed out are read-only, as on the handheld,
    // so they can share the decoded pixels.
    struct Decoded {
        std::shared_ptr<gdi::Surface> surface;
        int depth = 0;
    };
    static std::map<uint16_t, Decoded> cache;
    if (reinterpret_cast<uintptr_t>(name) > 0xFFFF || !name) {
        SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
        return nullptr;
    }
    auto id = static_cast<uint16_t>(reinterpret_cast<uintptr_t>(name));
    auto it = cache.find(id);
    if (it == cache.end()) {
        resources::Data data;
        if (!resources::FindBitmapData(id, &data)) {
            SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
            return nullptr;
        }
        Decoded d;
        d.surface = resources::DecodeBmp(data.bytes, data.size, &d.depth);
        if (!d.surface) {
            SetLastError(ERROR_INVALID_BITMAP);
            return nullptr;
        }
        gdi::NoteLoadedBitmap(d.surface.get(), id);
        it = cache.emplace(id, d).first;
    }
    auto b = std::make_unique<gdi::Bitmap>();
    b->surface = it->second.surface;
    b->bitsPixel = it->second.depth;
    b->readOnly = true;
    return static_cast<HBITMAP>(gdi::Insert(std::move(b)));
}
