// LoadBitmapW: bitmap resources of the program.
//
// Implements: a bitmap by numeric resource id, its BMP (1, 4, 8, 24 or 32
// bits, uncompressed) decoded into the device's 32-bit pixels, the depth
// GetObjectW reports the file's; each decoded once and shared by every
// handle, which is read-only, as the handheld's resource bitmaps are;
// ERROR_RESOURCE_NAME_NOT_FOUND for an id the program does not have and
// ERROR_INVALID_BITMAP for data that is no BMP it reads.
//
// Leaves out: compressed BMPs, bitmaps by name, LoadImage, CreateBitmap and
// DIB sections.
//
// Differs: nothing known.
#include <cstring>
#include <map>

#include "gdi/objects.h"
#include "gdi/record.h"
#include "resources/resources.h"
#include "winbase.h"

namespace resources {
namespace {

uint32_t Read(const unsigned char* p, int bytes) {
    uint32_t v = 0;
    for (int i = bytes - 1; i >= 0; --i) v = (v << 8) | p[i];
    return v;
}

}  // namespace

// Uncompressed files only (BI_RGB), with the core (12-byte) header or the
// info header (40 bytes and its longer successors); rows bottom-up, or
// top-down for a negative height.
std::shared_ptr<gdi::Surface> DecodeBmp(const unsigned char* bytes, size_t size,
                                        int* bitsPerPixel) {
    if (!bytes || size < 26 || size > (1u << 30) || bytes[0] != 'B' || bytes[1] != 'M')
        return nullptr;
    const size_t offset = Read(bytes + 10, 4), header = Read(bytes + 14, 4);
    const bool core = header == 12;
    if (!core && (header < 40 || 14 + header > size)) return nullptr;
    // The info header's sizes are signed: a negative height means top-down rows.
    auto field = [&](size_t coreAt, size_t infoAt) -> int64_t {
        if (core) return Read(bytes + coreAt, 2);
        return static_cast<int32_t>(Read(bytes + infoAt, 4));
    };
    const int64_t width = field(18, 18), rawHeight = field(20, 22);
    const int depth = static_cast<int>(Read(bytes + (core ? 24 : 28), 2));
    const uint32_t compression = core ? 0 : Read(bytes + 30, 4);
    const int64_t height = rawHeight < 0 ? -rawHeight : rawHeight;
    if (compression != 0 || width <= 0 || height <= 0 || width > 32768 || height > 32768)
        return nullptr;
    if (depth != 1 && depth != 4 && depth != 8 && depth != 24 && depth != 32) return nullptr;
    // The palette follows the header: 3-byte entries after a core header, 4-byte ones otherwise.
    std::vector<uint32_t> palette;
    if (depth <= 8) {
        const size_t entry = core ? 3 : 4;
        size_t count = core ? 0 : Read(bytes + 46, 4);
        if (count == 0 || count > (1u << depth)) count = size_t{1} << depth;
        const size_t at = 14 + header;
        if (at + count * entry > size) return nullptr;
        for (size_t i = 0; i < count; ++i) {
            const unsigned char* e = bytes + at + i * entry;
            palette.push_back((uint32_t{e[2]} << 16) | (uint32_t{e[1]} << 8) | e[0]);
        }
    }
    const size_t stride = ((static_cast<size_t>(width) * depth + 31) / 32) * 4;
    if (offset > size || stride * static_cast<size_t>(height) > size - offset) return nullptr;
    auto out = std::make_shared<gdi::Surface>();
    out->width = static_cast<int>(width);
    out->height = static_cast<int>(height);
    out->pixels.resize(static_cast<size_t>(width) * static_cast<size_t>(height));
    for (int64_t y = 0; y < height; ++y) {
        const unsigned char* row =
            bytes + offset + stride * static_cast<size_t>(rawHeight < 0 ? y : height - 1 - y);
        uint32_t* to = out->pixels.data() + static_cast<size_t>(y) * static_cast<size_t>(width);
        for (int64_t x = 0; x < width; ++x) {
            uint32_t p = 0;
            if (depth <= 8) {
                const size_t bit = static_cast<size_t>(x) * depth;
                const unsigned index =
                    (row[bit / 8] >> (8 - depth - bit % 8)) & ((1u << depth) - 1);
                p = index < palette.size() ? palette[index] : 0;
            } else {
                p = Read(row + x * (depth / 8), 3);
            }
            to[x] = p;
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
