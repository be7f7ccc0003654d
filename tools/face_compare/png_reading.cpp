// PNG input through libpng's simplified reading interface, which expands every format to RGB.
#include "tools/face_compare/png_reading.h"

#include <png.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

namespace face_compare {

namespace {

// Larger than any screen capture of a face; keeps the allocation for a forged size small.
constexpr png_uint_32 kLargestSide = 4096;

}  // namespace

bool ReadPng(const std::string& path, platform::PixelSurface* picture, std::string* failure) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) {
        *failure = path + ": " + std::strerror(errno);
        return false;
    }
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    const bool opened = png_image_begin_read_from_stdio(&image, file) != 0;
    if (!opened || image.width == 0 || image.height == 0 || image.width > kLargestSide ||
        image.height > kLargestSide) {
        *failure = opened ? path + ": a picture of " + std::to_string(image.width) + " by " +
                                std::to_string(image.height) + " is larger than 4096 by 4096"
                          : path + ": not a PNG picture: " + image.message;
        png_image_free(&image);
        std::fclose(file);
        return false;
    }
    image.format = PNG_FORMAT_RGB;
    std::vector<png_byte> rgb(PNG_IMAGE_SIZE(image));
    const bool read = png_image_finish_read(&image, nullptr, rgb.data(), 0, nullptr) != 0;
    std::fclose(file);
    if (!read) {
        *failure = path + ": the picture could not be decoded: " + image.message;
        png_image_free(&image);
        return false;
    }
    platform::PixelSurface result;
    result.Reset(static_cast<int>(image.width), static_cast<int>(image.height), 0);
    for (std::size_t i = 0; i < result.pixels.size(); ++i) {
        result.pixels[i] = static_cast<std::uint32_t>(rgb[i * 3]) << 16 |
                           static_cast<std::uint32_t>(rgb[i * 3 + 1]) << 8 | rgb[i * 3 + 2];
    }
    *picture = std::move(result);
    return true;
}

}  // namespace face_compare
