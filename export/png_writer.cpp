#include "png_writer.h"

#include <png.h>

#include <csetjmp>
#include <vector>

#include "atomic_file.h"

namespace exporter {

namespace {

bool encode(std::FILE* f, const platform::Bitmap& picture) {
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    if (!png)
        return false;
    png_infop info = png_create_info_struct(png);
    if (!info) {
        png_destroy_write_struct(&png, nullptr);
        return false;
    }
    std::vector<png_byte> row(static_cast<size_t>(picture.width) * 3);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_init_io(png, f);
    png_set_IHDR(png, info, static_cast<png_uint_32>(picture.width),
                 static_cast<png_uint_32>(picture.height), 8, PNG_COLOR_TYPE_RGB,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int32_t y = 0; y < picture.height; ++y) {
        for (int32_t x = 0; x < picture.width; ++x) {
            const uint32_t p = picture.at(x, y);
            row[static_cast<size_t>(x) * 3] = static_cast<png_byte>(p >> 16 & 0xFF);
            row[static_cast<size_t>(x) * 3 + 1] = static_cast<png_byte>(p >> 8 & 0xFF);
            row[static_cast<size_t>(x) * 3 + 2] = static_cast<png_byte>(p & 0xFF);
        }
        png_write_row(png, row.data());
    }
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return true;
}

}  // namespace

std::string writePngFile(const std::string& path, const platform::Bitmap& picture) {
    if (picture.width <= 0 || picture.height <= 0)
        return "the picture is empty";
    return writeFileAtomically(path, [&](std::FILE* f) { return encode(f, picture); });
}

}  // namespace exporter
