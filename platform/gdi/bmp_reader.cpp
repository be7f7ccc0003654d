// DIB decoding with every size checked before it is used.
#include "platform/bmp_reader.h"

#include <cstdint>

namespace platform {

namespace {

constexpr std::size_t kInfoHeaderSize = 40;
constexpr std::size_t kFileHeaderSize = 14;
constexpr std::uint32_t kBiRgb = 0;

std::uint32_t U32(const unsigned char* p) {
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
           (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}
std::uint16_t U16(const unsigned char* p) {
    return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}

bool Fail(std::string* error, const char* reason) {
    if (error != nullptr)
        *error = reason;
    return false;
}

constexpr std::size_t kAfterColourTable = SIZE_MAX;

// Reads the DIB whose pixel rows start at `bitsOffset` from `data`.
bool ReadDib(const unsigned char* data, std::size_t size, std::size_t bitsOffset, DibImage* out,
             std::string* error) {
    if (data == nullptr || size < 4)
        return Fail(error, "truncated bitmap header");
    const std::uint32_t headerSize = U32(data);
    if (headerSize != 40 && headerSize != 108 && headerSize != 124) {
        return Fail(error, "unsupported bitmap header size");
    }
    if (size < headerSize)
        return Fail(error, "truncated bitmap header");
    const auto width = static_cast<std::int32_t>(U32(data + 4));
    const auto rawHeight = static_cast<std::int32_t>(U32(data + 8));
    const std::uint16_t planes = U16(data + 12);
    const std::uint16_t bits = U16(data + 14);
    const std::uint32_t compression = U32(data + 16);
    const std::uint32_t colorsUsed = U32(data + 32);
    if (planes != 1)
        return Fail(error, "bitmap planes other than 1");
    if (bits != 1 && bits != 4 && bits != 8 && bits != 24) {
        return Fail(error, "unsupported bits per pixel");
    }
    if (compression != kBiRgb)
        return Fail(error, "compressed bitmaps are not supported");
    const bool topDown = rawHeight < 0;
    const std::int64_t height = topDown ? -static_cast<std::int64_t>(rawHeight) : rawHeight;
    if (width <= 0 || height <= 0 || width > kLargestDibSide || height > kLargestDibSide) {
        return Fail(error, "bitmap dimensions out of range");
    }
    const std::uint32_t maxColors = bits <= 8 ? (1u << bits) : 0;
    if (bits <= 8 && colorsUsed > maxColors)
        return Fail(error, "too many colours for bit count");
    // A 24-bit DIB may carry an optional colour table, which drawing ignores.
    const std::uint64_t tableEntries =
        bits <= 8 ? (colorsUsed == 0 ? maxColors : colorsUsed) : colorsUsed;
    if (bits > 8 && tableEntries > 256)
        return Fail(error, "too many colours for bit count");
    const std::uint64_t tableEnd = headerSize + tableEntries * 4;
    if (tableEnd > size)
        return Fail(error, "colour table beyond the data");
    const std::uint64_t stride = ((static_cast<std::uint64_t>(width) * bits + 31) / 32) * 4;
    const std::uint64_t start = bitsOffset == kAfterColourTable ? tableEnd : bitsOffset;
    if (start < tableEnd)
        return Fail(error, "pixel data overlaps the colour table");
    if (start + stride * static_cast<std::uint64_t>(height) > size) {
        return Fail(error, "pixel data beyond the data");
    }

    DibImage image;
    image.width = width;
    image.height = static_cast<int>(height);
    image.bitsPerPixel = bits;
    if (bits <= 8) {
        for (std::uint64_t i = 0; i < tableEntries; ++i) {
            const unsigned char* q = data + headerSize + i * 4;  // blue, green, red, reserved
            image.palette.push_back((static_cast<std::uint32_t>(q[2]) << 16) |
                                    (static_cast<std::uint32_t>(q[1]) << 8) | q[0]);
        }
    }
    image.pixels.resize(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
    for (std::int64_t row = 0; row < height; ++row) {
        const unsigned char* line = data + start + static_cast<std::uint64_t>(row) * stride;
        const std::int64_t y = topDown ? row : height - 1 - row;
        std::uint32_t* target = &image.pixels[static_cast<std::size_t>(y) * width];
        for (std::int32_t x = 0; x < width; ++x) {
            if (bits == 24) {
                const unsigned char* p = line + static_cast<std::size_t>(x) * 3;
                target[x] = (static_cast<std::uint32_t>(p[2]) << 16) |
                            (static_cast<std::uint32_t>(p[1]) << 8) | p[0];
                continue;
            }
            const std::size_t bitIndex = static_cast<std::size_t>(x) * bits;
            const unsigned byte = line[bitIndex / 8];
            const unsigned shift = 8 - bits - static_cast<unsigned>(bitIndex % 8);
            const unsigned index = (byte >> shift) & ((1u << bits) - 1);
            target[x] = index < image.palette.size() ? image.palette[index] : 0;
        }
    }
    *out = std::move(image);
    return true;
}

}  // namespace

bool ReadPackedDib(const unsigned char* data, std::size_t size, DibImage* out, std::string* error) {
    return ReadDib(data, size, kAfterColourTable, out, error);
}

bool ReadBmpFile(const unsigned char* data, std::size_t size, DibImage* out, std::string* error) {
    if (data == nullptr || size < kFileHeaderSize + kInfoHeaderSize) {
        return Fail(error, "truncated bitmap file header");
    }
    if (data[0] != 'B' || data[1] != 'M')
        return Fail(error, "not a bitmap file");
    const std::uint32_t offset = U32(data + 10);
    if (offset < kFileHeaderSize || offset > size) {
        return Fail(error, "pixel offset outside the file");
    }
    return ReadDib(data + kFileHeaderSize, size - kFileHeaderSize, offset - kFileHeaderSize, out,
                   error);
}

}  // namespace platform
