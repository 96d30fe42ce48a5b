// picture: turns a rendered PNG into a bitmap resource with the handheld's
// look. A host tool run by the build (resources/CMakeLists.txt).
//
//   picture <in.png> <out.bmp> [--mono] [--preview <out.png>] [--zoom <out.png>]
//
// Colour pictures are reduced to the 16-bit (5-6-5) colours of the handheld's
// screen, with a 4x4 ordered dither so gradients keep their shape, and written
// as 24-bit BMP files. --mono writes a 1-bit black-and-white BMP (the icon bar
// strip), threshold at half brightness. Transparent parts become white.
// --preview also writes the reduced picture as a PNG and --zoom the same at
// twice the size, every pixel a 2x2 block, for the contact sheet.
// Any failure prints "<file>: <message>" and exits with status 1.
#include <png.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

struct Picture {
    int width = 0, height = 0;
    std::vector<uint8_t> rgb;  // rows top to bottom, 3 bytes a pixel
};

bool ReadPng(const char* path, Picture* out) {
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path)) return false;
    image.format = PNG_FORMAT_RGB;
    out->width = static_cast<int>(image.width);
    out->height = static_cast<int>(image.height);
    out->rgb.resize(PNG_IMAGE_SIZE(image));
    png_color white = {255, 255, 255};
    return png_image_finish_read(&image, &white, out->rgb.data(), 0, nullptr) != 0;
}

bool WritePng(const char* path, const Picture& p) {
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(p.width);
    image.height = static_cast<png_uint_32>(p.height);
    image.format = PNG_FORMAT_RGB;
    return png_image_write_to_file(&image, path, 0, p.rgb.data(), 0, nullptr) != 0;
}

// Quantizes one 8-bit channel to `bits` bits with the dither threshold
// (0..15), and widens it back the way the screen shows it.
uint8_t Reduce(uint8_t v, int bits, int threshold) {
    const int levels = (1 << bits) - 1;
    int q = (v * levels * 16 + threshold * 255 + 8) / (255 * 16);
    if (q > levels) q = levels;
    return static_cast<uint8_t>((q << (8 - bits)) | (q >> (2 * bits - 8)));
}

void ReduceTo565(Picture* p) {
    static const int kBayer[4][4] = {{0, 8, 2, 10}, {12, 4, 14, 6}, {3, 11, 1, 9}, {15, 7, 13, 5}};
    for (int y = 0; y < p->height; ++y)
        for (int x = 0; x < p->width; ++x) {
            uint8_t* px = &p->rgb[(static_cast<size_t>(y) * p->width + x) * 3];
            const int t = kBayer[y & 3][x & 3];
            px[0] = Reduce(px[0], 5, t);
            px[1] = Reduce(px[1], 6, t);
            px[2] = Reduce(px[2], 5, t);
        }
}

Picture Zoomed(const Picture& p) {
    Picture z;
    z.width = p.width * 2;
    z.height = p.height * 2;
    z.rgb.resize(static_cast<size_t>(z.width) * z.height * 3);
    for (int y = 0; y < z.height; ++y)
        for (int x = 0; x < z.width; ++x)
            std::memcpy(&z.rgb[(static_cast<size_t>(y) * z.width + x) * 3],
                        &p.rgb[(static_cast<size_t>(y / 2) * p.width + x / 2) * 3], 3);
    return z;
}

void ReduceToMono(Picture* p) {
    for (size_t i = 0; i < p->rgb.size(); i += 3) {
        const int luma = (p->rgb[i] * 299 + p->rgb[i + 1] * 587 + p->rgb[i + 2] * 114) / 1000;
        const uint8_t v = luma < 128 ? 0 : 255;
        p->rgb[i] = p->rgb[i + 1] = p->rgb[i + 2] = v;
    }
}

void Put16(std::vector<uint8_t>& out, uint32_t v) {
    out.push_back(static_cast<uint8_t>(v));
    out.push_back(static_cast<uint8_t>(v >> 8));
}
void Put32(std::vector<uint8_t>& out, uint32_t v) {
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}

// A bottom-up BMP with a 40-byte info header: 24 bits, or 1 bit with a
// black-and-white palette.
std::vector<uint8_t> EncodeBmp(const Picture& p, bool mono) {
    const int bits = mono ? 1 : 24;
    const uint32_t stride = ((static_cast<uint32_t>(p.width) * bits + 31) / 32) * 4;
    const uint32_t paletteSize = mono ? 8 : 0;
    const uint32_t offset = 14 + 40 + paletteSize;
    const uint32_t imageSize = stride * static_cast<uint32_t>(p.height);
    std::vector<uint8_t> out;
    out.push_back('B');
    out.push_back('M');
    Put32(out, offset + imageSize);
    Put32(out, 0);
    Put32(out, offset);
    Put32(out, 40);
    Put32(out, static_cast<uint32_t>(p.width));
    Put32(out, static_cast<uint32_t>(p.height));
    Put16(out, 1);
    Put16(out, static_cast<uint32_t>(bits));
    Put32(out, 0);  // BI_RGB
    Put32(out, imageSize);
    Put32(out, 3780);  // 96 DPI
    Put32(out, 3780);
    Put32(out, mono ? 2 : 0);
    Put32(out, 0);
    if (mono) {
        Put32(out, 0x000000);
        Put32(out, 0xFFFFFF);
    }
    for (int y = p.height - 1; y >= 0; --y) {
        std::vector<uint8_t> row(stride, 0);
        for (int x = 0; x < p.width; ++x) {
            const uint8_t* px = &p.rgb[(static_cast<size_t>(y) * p.width + x) * 3];
            if (mono) {
                if (px[0]) row[x / 8] |= static_cast<uint8_t>(0x80 >> (x % 8));
            } else {
                row[x * 3] = px[2];
                row[x * 3 + 1] = px[1];
                row[x * 3 + 2] = px[0];
            }
        }
        out.insert(out.end(), row.begin(), row.end());
    }
    return out;
}

int Fail(const char* file, const char* message) {
    std::fprintf(stderr, "%s: %s\n", file, message);
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    const char* in = nullptr;
    const char* out = nullptr;
    const char* preview = nullptr;
    const char* zoom = nullptr;
    bool mono = false;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--mono") == 0) {
            mono = true;
        } else if (std::strcmp(argv[i], "--preview") == 0 && i + 1 < argc) {
            preview = argv[++i];
        } else if (std::strcmp(argv[i], "--zoom") == 0 && i + 1 < argc) {
            zoom = argv[++i];
        } else if (!in) {
            in = argv[i];
        } else if (!out) {
            out = argv[i];
        } else {
            in = nullptr;
            break;
        }
    }
    if (!in || !out) {
        std::fprintf(stderr,
                     "usage: picture <in.png> <out.bmp> [--mono] [--preview <out.png>] [--zoom "
                     "<out.png>]\n");
        return 2;
    }
    Picture p;
    if (!ReadPng(in, &p)) return Fail(in, "is not a PNG that can be read");
    if (mono)
        ReduceToMono(&p);
    else
        ReduceTo565(&p);
    const std::vector<uint8_t> bmp = EncodeBmp(p, mono);
    FILE* f = std::fopen(out, "wb");
    if (!f) return Fail(out, "cannot be written");
    const bool written = std::fwrite(bmp.data(), 1, bmp.size(), f) == bmp.size();
    if (std::fclose(f) != 0 || !written) return Fail(out, "cannot be written");
    if (preview && !WritePng(preview, p)) return Fail(preview, "cannot be written");
    if (zoom && !WritePng(zoom, Zoomed(p))) return Fail(zoom, "cannot be written");
    return 0;
}
