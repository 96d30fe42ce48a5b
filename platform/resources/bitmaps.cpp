// Bitmap resources: BMP files decoded into the 32-bit pixel format, and
// LoadBitmapW on top of them. The decoder is our own, so that every backend
// (the browser's too) reads pictures the same way with nothing else loaded.
#include <map>

#include "gdi/objects.h"
#include "gdi/record.h"
#include "resources/resources.h"
#include "winbase.h"

namespace resources {
namespace {

uint32_t U16(const unsigned char* p) {
    return p[0] | (p[1] << 8);
}
uint32_t U32(const unsigned char* p) {
    return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

}  // namespace

std::shared_ptr<gdi::Surface> DecodeBmp(const unsigned char* bytes, size_t size,
                                        int* bitsPerPixel) {
    constexpr uint32_t kRgb = 0;
    if (!bytes || size < 26 || size > (1u << 30) || bytes[0] != 'B' || bytes[1] != 'M')
        return nullptr;
    const uint32_t offset = U32(bytes + 10), header = U32(bytes + 14);
    const bool core = header == 12;  // the old 12-byte header: 16-bit sizes, RGB triples
    if ((!core && header < 40) || 14 + uint64_t{header} > size) return nullptr;
    // The new header's sizes are signed (a negative height: stored top-down).
    const int64_t width =
        core ? int64_t{U16(bytes + 18)} : int64_t{static_cast<int32_t>(U32(bytes + 18))};
    int64_t height =
        core ? int64_t{U16(bytes + 20)} : int64_t{static_cast<int32_t>(U32(bytes + 22))};
    const int depth = static_cast<int>(U16(bytes + (core ? 24 : 28)));
    const uint32_t compression = core ? kRgb : U32(bytes + 30);
    const bool topDown = height < 0;
    if (topDown) height = -height;
    if (width <= 0 || height <= 0 || width > 32768 || height > 32768) return nullptr;
    if ((depth != 1 && depth != 4 && depth != 8 && depth != 24) || compression != kRgb)
        return nullptr;

    // The palette follows the header (entries of 3 bytes after the old one).
    std::vector<uint32_t> palette;
    if (depth <= 8) {
        const size_t entry = core ? 3 : 4;
        uint32_t count = core ? 0 : U32(bytes + 46);
        if (count == 0 || count > (1u << depth)) count = 1u << depth;
        const size_t at = 14 + size_t{header};  // within size: checked above
        if (at + count * entry > size) return nullptr;
        for (uint32_t i = 0; i < count; ++i) {
            const unsigned char* e = bytes + at + i * entry;
            palette.push_back((e[2] << 16) | (e[1] << 8) | e[0]);
        }
    }
    const size_t stride = ((static_cast<size_t>(width) * depth + 31) / 32) * 4;
    if (offset > size || stride * static_cast<size_t>(height) > size - offset) return nullptr;
    auto out = std::make_shared<gdi::Surface>();
    out->width = static_cast<int>(width);
    out->height = static_cast<int>(height);
    out->pixels.resize(static_cast<size_t>(width) * static_cast<size_t>(height));
    for (int64_t y = 0; y < height; ++y) {
        const unsigned char* row = bytes + offset + stride * static_cast<size_t>(y);
        uint32_t* line = out->pixels.data() + static_cast<size_t>(topDown ? y : height - 1 - y) *
                                                  static_cast<size_t>(width);
        for (int64_t x = 0; x < width; ++x) {
            uint32_t pixel = 0;
            if (depth <= 8) {
                const size_t bit = static_cast<size_t>(x) * depth;
                const uint32_t index =
                    (row[bit / 8] >> (8 - depth - bit % 8)) & ((1u << depth) - 1);
                pixel = index < palette.size() ? palette[index] : 0;
            } else {
                const unsigned char* p = row + 3 * x;
                pixel = (p[2] << 16) | (p[1] << 8) | p[0];
            }
            line[x] = pixel;
        }
    }
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
