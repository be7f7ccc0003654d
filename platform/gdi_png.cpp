// PNG output of a pixel surface through libpng, written to a temporary file and renamed so
// that a failed write leaves no partial picture.
#include <png.h>

#include <cstdio>
#include <string>
#include <vector>

#include "platform/gdi.h"

namespace {

bool WriteRows(std::FILE* file, const platform::PixelSurface& surface) {
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    if (png == nullptr) {
        return false;
    }
    png_infop info = png_create_info_struct(png);
    if (info == nullptr) {
        png_destroy_write_struct(&png, nullptr);
        return false;
    }
    std::vector<png_byte> row(static_cast<std::size_t>(surface.width) * 3);
    // libpng reports errors by longjmp; nothing with a destructor is created past this point.
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_init_io(png, file);
    png_set_IHDR(png, info, static_cast<png_uint_32>(surface.width),
                 static_cast<png_uint_32>(surface.height), 8, PNG_COLOR_TYPE_RGB,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int y = 0; y < surface.height; ++y) {
        for (int x = 0; x < surface.width; ++x) {
            const std::uint32_t p = surface.at(x, y);
            row[static_cast<std::size_t>(x) * 3] = static_cast<png_byte>(p >> 16);
            row[static_cast<std::size_t>(x) * 3 + 1] = static_cast<png_byte>(p >> 8);
            row[static_cast<std::size_t>(x) * 3 + 2] = static_cast<png_byte>(p);
        }
        png_write_row(png, row.data());
    }
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return true;
}

}  // namespace

bool WritePng(const platform::PixelSurface& surface, const char* path) {
    if (path == nullptr || surface.width <= 0 || surface.height <= 0 ||
        surface.pixels.size() !=
            static_cast<std::size_t>(surface.width) * static_cast<std::size_t>(surface.height)) {
        return false;
    }
    const std::string partial = std::string(path) + ".partial";
    std::FILE* file = std::fopen(partial.c_str(), "wbe");
    if (file == nullptr) {
        return false;
    }
    const bool written = WriteRows(file, surface);
    const bool closed = std::fclose(file) == 0;
    if (!written || !closed || std::rename(partial.c_str(), path) != 0) {
        std::remove(partial.c_str());
        return false;
    }
    return true;
}
