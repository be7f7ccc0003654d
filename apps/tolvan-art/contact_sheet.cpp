// Layout and PNG output of contact sheets, and the 3 by 5 pixel font of their labels.
#include "apps/tolvan-art/contact_sheet.h"

#include <png.h>

#include <algorithm>
#include <cctype>

namespace art {
namespace {

constexpr std::uint32_t kPaper = 0xF4F4F4;
constexpr std::uint32_t kInk = 0x202020;
constexpr std::uint32_t kCheckLight = 0xFFFFFF;
constexpr std::uint32_t kCheckDark = 0xD8D8D8;
constexpr int kGap = 16;
constexpr int kLabelScale = 2;

// Each glyph is five rows of three bits, the left pixel in the high bit.
struct Glyph {
    char c;
    std::uint8_t rows[5];
};

constexpr Glyph kGlyphs[] = {
    {'0', {7, 5, 5, 5, 7}}, {'1', {2, 6, 2, 2, 7}}, {'2', {7, 1, 7, 4, 7}}, {'3', {7, 1, 3, 1, 7}},
    {'4', {5, 5, 7, 1, 1}}, {'5', {7, 4, 7, 1, 7}}, {'6', {7, 4, 7, 5, 7}}, {'7', {7, 1, 1, 2, 2}},
    {'8', {7, 5, 7, 5, 7}}, {'9', {7, 5, 7, 1, 7}}, {'A', {2, 5, 7, 5, 5}}, {'B', {6, 5, 6, 5, 6}},
    {'C', {3, 4, 4, 4, 3}}, {'D', {6, 5, 5, 5, 6}}, {'E', {7, 4, 6, 4, 7}}, {'F', {7, 4, 6, 4, 4}},
    {'G', {3, 4, 5, 5, 3}}, {'H', {5, 5, 7, 5, 5}}, {'I', {7, 2, 2, 2, 7}}, {'J', {1, 1, 1, 5, 2}},
    {'K', {5, 5, 6, 5, 5}}, {'L', {4, 4, 4, 4, 7}}, {'M', {5, 7, 7, 5, 5}}, {'N', {6, 5, 5, 5, 5}},
    {'O', {2, 5, 5, 5, 2}}, {'P', {6, 5, 6, 4, 4}}, {'Q', {2, 5, 5, 6, 3}}, {'R', {6, 5, 6, 5, 5}},
    {'S', {3, 4, 2, 1, 6}}, {'T', {7, 2, 2, 2, 2}}, {'U', {5, 5, 5, 5, 7}}, {'V', {5, 5, 5, 5, 2}},
    {'W', {5, 5, 7, 7, 5}}, {'X', {5, 5, 2, 5, 5}}, {'Y', {5, 5, 2, 2, 2}}, {'Z', {7, 1, 2, 4, 7}},
    {'_', {0, 0, 0, 0, 7}}, {'-', {0, 0, 7, 0, 0}}, {'.', {0, 0, 0, 0, 2}}, {':', {0, 2, 0, 2, 0}},
    {'/', {1, 1, 2, 4, 4}}, {'(', {1, 2, 2, 2, 1}}, {')', {4, 2, 2, 2, 4}}, {',', {0, 0, 0, 2, 4}},
    {'=', {0, 7, 0, 7, 0}}, {'+', {0, 2, 7, 2, 0}}, {'?', {7, 1, 2, 0, 2}}, {'$', {3, 6, 2, 3, 6}},
    {' ', {0, 0, 0, 0, 0}},
};

const Glyph* FindGlyph(char c) {
    char upper = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    for (const Glyph& g : kGlyphs) {
        if (g.c == upper) {
            return &g;
        }
    }
    return nullptr;
}

void Put(std::vector<std::uint32_t>& pixels, int width, int height, int x, int y,
         std::uint32_t colour) {
    if (x >= 0 && y >= 0 && x < width && y < height) {
        pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
               static_cast<std::size_t>(x)] = colour;
    }
}

// The extent of one picture cell: label line, then the 1:1 copy (optional) and the
// enlargement side by side.
struct Cell {
    int width;
    int height;
};

int LabelHeight() {
    return 5 * kLabelScale + 6;
}

Cell CellOf(const SheetPicture& p, const SheetOptions& o) {
    int w = p.width * o.scale + (o.alsoActualSize ? p.width + kGap / 2 : 0);
    w = std::max(w, PixelTextWidth(p.label, kLabelScale));
    return {w, LabelHeight() + p.height * o.scale};
}

void DrawPicture(std::vector<std::uint32_t>& out, int width, int height, const SheetPicture& p,
                 int left, int top, int scale) {
    for (int y = 0; y < p.height * scale; ++y) {
        for (int x = 0; x < p.width * scale; ++x) {
            std::uint32_t c =
                p.pixels[static_cast<std::size_t>(y / scale) * static_cast<std::size_t>(p.width) +
                         static_cast<std::size_t>(x / scale)];
            if (c == p.key) {
                // Checks of 4 screen pixels, whatever the scale, so 1:1 copies show them too.
                c = ((x / 4) + (y / 4)) % 2 == 0 ? kCheckLight : kCheckDark;
            }
            Put(out, width, height, left + x, top + y, c);
        }
    }
}

// Places the cells of every section in rows; calls `place` for each picture and title.
template <typename PlacePicture, typename PlaceTitle>
void Layout(const std::vector<SheetSection>& sections, PlacePicture place, PlaceTitle title,
            int& width, int& height) {
    int y = kGap;
    width = 0;
    for (const SheetSection& s : sections) {
        title(s.title, kGap, y);
        width = std::max(width, kGap * 2 + PixelTextWidth(s.title, 3));
        y += 5 * 3 + kGap;
        int x = kGap;
        int rowHeight = 0;
        for (const SheetPicture& p : s.pictures) {
            Cell c = CellOf(p, s.options);
            if (x > kGap && x + c.width > s.options.maxWidth) {
                x = kGap;
                y += rowHeight + kGap;
                rowHeight = 0;
            }
            place(p, s.options, x, y);
            x += c.width + kGap;
            width = std::max(width, x);
            rowHeight = std::max(rowHeight, c.height);
        }
        y += rowHeight + kGap * 2;
    }
    height = y;
}

}  // namespace

int PixelTextWidth(const std::string& text, int scale) {
    return text.empty() ? 0 : static_cast<int>(text.size()) * 4 * scale - scale;
}

int DrawPixelText(std::vector<std::uint32_t>& pixels, int width, int height, int x, int y,
                  const std::string& text, int scale, std::uint32_t colour) {
    int left = x;
    for (char c : text) {
        const Glyph* g = FindGlyph(c);
        if (g == nullptr) {
            g = FindGlyph('?');
        }
        for (int row = 0; row < 5; ++row) {
            for (int col = 0; col < 3; ++col) {
                if ((g->rows[row] & (4 >> col)) == 0) {
                    continue;
                }
                for (int dy = 0; dy < scale; ++dy) {
                    for (int dx = 0; dx < scale; ++dx) {
                        Put(pixels, width, height, left + col * scale + dx, y + row * scale + dy,
                            colour);
                    }
                }
            }
        }
        left += 4 * scale;
    }
    return PixelTextWidth(text, scale);
}

std::vector<std::uint32_t> RenderContactSheet(const std::vector<SheetSection>& sections, int& width,
                                              int& height) {
    Layout(
        sections, [](const SheetPicture&, const SheetOptions&, int, int) {},
        [](const std::string&, int, int) {}, width, height);
    std::vector<std::uint32_t> out(
        static_cast<std::size_t>(width) * static_cast<std::size_t>(height), kPaper);
    int w = width;
    int h = height;
    Layout(
        sections,
        [&](const SheetPicture& p, const SheetOptions& o, int x, int y) {
            DrawPixelText(out, w, h, x, y, p.label, kLabelScale, kInk);
            int top = y + LabelHeight();
            if (o.alsoActualSize) {
                DrawPicture(out, w, h, p, x, top, 1);
                x += p.width + kGap / 2;
            }
            DrawPicture(out, w, h, p, x, top, o.scale);
        },
        [&](const std::string& text, int x, int y) {
            DrawPixelText(out, w, h, x, y, text, 3, kInk);
        },
        width, height);
    return out;
}

bool WriteContactSheet(const std::vector<SheetSection>& sections, const std::string& path,
                       std::string& error) {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels = RenderContactSheet(sections, width, height);
    std::vector<png_byte> rgb;
    rgb.reserve(pixels.size() * 3);
    for (std::uint32_t c : pixels) {
        rgb.push_back(static_cast<png_byte>(c >> 16));
        rgb.push_back(static_cast<png_byte>(c >> 8));
        rgb.push_back(static_cast<png_byte>(c));
    }
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(width);
    image.height = static_cast<png_uint_32>(height);
    image.format = PNG_FORMAT_RGB;
    if (png_image_write_to_file(&image, path.c_str(), 0, rgb.data(), 0, nullptr) == 0) {
        error = path + ": cannot write the PNG - " + image.message;
        return false;
    }
    return true;
}

}  // namespace art
