// PNG output of a pixel surface through libpng, written to a partial file and renamed over
// the target (AtomicFile) so that a failed write leaves no half picture and replaces nothing
// but a regular file.
#include <png.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "platform/atomic_file.h"
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

bool WritePng(const platform::PixelSurface& surface, const char* path, std::string* failure) {
    const auto fail = [failure](std::string why) {
        if (failure != nullptr) {
            *failure = std::move(why);
        }
        return false;
    };
    if (path == nullptr || surface.width <= 0 || surface.height <= 0 ||
        surface.pixels.size() !=
            static_cast<std::size_t>(surface.width) * static_cast<std::size_t>(surface.height)) {
        return fail("no picture to write");
    }
    AtomicFile file(path);
    if (!file.Create()) {
        return fail(file.FailureText());
    }
    // The stream gets a descriptor of its own: AtomicFile keeps its one (and the lock on it)
    // until the rename.
    const int descriptor = dup(file.Descriptor());
    std::FILE* stream = descriptor >= 0 ? fdopen(descriptor, "wb") : nullptr;
    if (stream == nullptr) {
        const int error = errno;
        if (descriptor >= 0) {
            close(descriptor);
        }
        file.Discard();
        return fail(std::strerror(error));
    }
    const bool written = WriteRows(stream, surface);
    const long size = std::ftell(stream);
    const bool closed = std::fclose(stream) == 0;
    if (!written || !closed || size < 0) {
        file.Discard();
        return fail(closed ? "the picture could not be encoded" : std::strerror(errno));
    }
    if (!file.Commit(size)) {
        file.Discard();
        return fail(file.FailureText());
    }
    return true;
}
