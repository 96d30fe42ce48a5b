#include "gdi_helpers.h"

#include <gtest/gtest.h>
#include <png.h>

#include <cstdlib>
#include <filesystem>

namespace gfxtest {

Canvas::Canvas(int w, int h, uint32_t fill) {
    surface.width = w;
    surface.height = h;
    surface.pixels.assign(static_cast<size_t>(w) * h, fill);
    dc = gdi::CreateSurfaceDC(&surface, POINT{0, 0}, RECT{0, 0, w, h});
}

Canvas::~Canvas() {
    gdi::DeleteSurfaceDC(dc);
}

RECT Canvas::Changed(uint32_t background) const {
    RECT r{surface.width, surface.height, 0, 0};
    for (int y = 0; y < surface.height; ++y)
        for (int x = 0; x < surface.width; ++x)
            if (At(x, y) != background) {
                r.left = std::min<LONG>(r.left, x);
                r.top = std::min<LONG>(r.top, y);
                r.right = std::max<LONG>(r.right, x + 1);
                r.bottom = std::max<LONG>(r.bottom, y + 1);
            }
    if (r.right == 0) r = RECT{0, 0, 0, 0};
    return r;
}

int Canvas::Count(uint32_t color) const {
    int n = 0;
    for (uint32_t p : surface.pixels) n += p == color;
    return n;
}

gdi::Surface Crop(const gdi::Surface& s, RECT r) {
    gdi::Surface out;
    out.width = r.right - r.left;
    out.height = r.bottom - r.top;
    for (int y = r.top; y < r.bottom; ++y)
        for (int x = r.left; x < r.right; ++x)
            out.pixels.push_back(s.pixels[static_cast<size_t>(y) * s.width + x]);
    return out;
}

bool ReadPng(const std::string& path, gdi::Surface* out) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.c_str())) return false;
    image.format = PNG_FORMAT_RGB;
    std::vector<png_byte> buffer(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, buffer.data(), 0, nullptr)) return false;
    out->width = static_cast<int>(image.width);
    out->height = static_cast<int>(image.height);
    out->pixels.resize(static_cast<size_t>(out->width) * out->height);
    for (size_t i = 0; i < out->pixels.size(); ++i)
        out->pixels[i] = (buffer[3 * i] << 16) | (buffer[3 * i + 1] << 8) | buffer[3 * i + 2];
    return true;
}

::testing::AssertionResult MatchesGolden(const gdi::Surface& s, const std::string& name) {
    std::string expectedPath = std::string(FERNVALE_GOLDEN_DIR) + "/" + name + ".png";
    const char* update = std::getenv("FERNVALE_UPDATE_GOLDEN");
    if (update && std::string(update) == "1") {
        if (!gdi::WritePng(s, expectedPath.c_str()))
            return ::testing::AssertionFailure() << "cannot write " << expectedPath;
        return ::testing::AssertionSuccess();
    }
    gdi::Surface expected;
    std::string why;
    if (!ReadPng(expectedPath, &expected)) {
        why = "cannot read " + expectedPath;
    } else if (expected.width != s.width || expected.height != s.height) {
        why = "size differs from " + expectedPath;
    } else {
        for (int i = 0; i < s.width * s.height; ++i)
            if (expected.pixels[i] != s.pixels[i]) {
                why = "pixel (" + std::to_string(i % s.width) + "," + std::to_string(i / s.width) +
                      ") differs from " + expectedPath;
                break;
            }
    }
    if (why.empty()) return ::testing::AssertionSuccess();
    std::filesystem::create_directories(FERNVALE_GOLDEN_ACTUAL_DIR);
    std::string actualPath = std::string(FERNVALE_GOLDEN_ACTUAL_DIR) + "/" + name + ".png";
    gdi::WritePng(s, actualPath.c_str());
    return ::testing::AssertionFailure() << why << "; the actual picture is in " << actualPath;
}

HFONT MakeFont(LONG height, LONG weight) {
    LOGFONTW lf{};
    GetObjectW(GetStockObject(SYSTEM_FONT), sizeof lf, &lf);
    lf.lfHeight = height;
    lf.lfWeight = weight;
    return CreateFontIndirectW(&lf);
}

}  // namespace gfxtest
