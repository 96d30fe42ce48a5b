// Screens as PNG files for the headless backend and the pixel tests.
#include <png.h>

#include <cstdio>
#include <string>
#include <vector>

#include "gdi/surface.h"

namespace gdi {

bool WritePng(const Surface& s, const char* path) {
    if (!path || s.width <= 0 || s.height <= 0 ||
        s.pixels.size() != static_cast<size_t>(s.width) * static_cast<size_t>(s.height))
        return false;
    // Written beside the target and renamed, so a failed write leaves no
    // truncated picture behind.
    std::string temporary = std::string(path) + ".part";
    FILE* f = std::fopen(temporary.c_str(), "wb");
    if (!f) return false;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    volatile bool ok = false;
    std::vector<png_byte> row(static_cast<size_t>(s.width) * 3);
    if (png && info && setjmp(png_jmpbuf(png)) == 0) {
        png_init_io(png, f);
        png_set_IHDR(png, info, static_cast<png_uint_32>(s.width),
                     static_cast<png_uint_32>(s.height), 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                     PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
        png_write_info(png, info);
        for (int y = 0; y < s.height; ++y) {
            const uint32_t* p = s.pixels.data() + static_cast<size_t>(y) * s.width;
            for (int x = 0; x < s.width; ++x) {
                row[3 * x] = static_cast<png_byte>(p[x] >> 16);
                row[3 * x + 1] = static_cast<png_byte>(p[x] >> 8);
                row[3 * x + 2] = static_cast<png_byte>(p[x]);
            }
            png_write_row(png, row.data());
        }
        png_write_end(png, nullptr);
        ok = true;
    }
    png_destroy_write_struct(png ? &png : nullptr, info ? &info : nullptr);
    if (std::fclose(f) != 0) ok = false;
    if (ok && std::rename(temporary.c_str(), path) != 0) ok = false;
    if (!ok) std::remove(temporary.c_str());
    return ok;
}

}  // namespace gdi
