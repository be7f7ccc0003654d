// A contact sheet of pictures as one PNG: every picture enlarged with its label above it
// (drawn with a tiny built-in pixel font), transparent pixels shown as a checkerboard.
// Used by tolvan-art for the kept pixel maps; any tool with RGB pixels can use it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace art {

// One picture: pixels 0x00RRGGBB, rows top-down. Pixels equal to `key` are transparent.
struct SheetPicture {
    std::string label;  // digits, A-Z (any case), space and _ - . : / x ( ) are drawn
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;
    std::uint32_t key = 0x800080;
};

struct SheetOptions {
    int scale = 4;                // enlargement of every picture
    int maxWidth = 1800;          // pictures wrap to a new row beyond this width
    bool alsoActualSize = false;  // draw each picture at 1:1 too, left of the enlargement
};

// A section of the sheet: a title line and its pictures, laid out left to right.
struct SheetSection {
    std::string title;
    SheetOptions options;
    std::vector<SheetPicture> pictures;
};

// Renders the sections top to bottom into 0x00RRGGBB pixels; sets width and height.
std::vector<std::uint32_t> RenderContactSheet(const std::vector<SheetSection>& sections, int& width,
                                              int& height);

// Renders and writes the sheet as an 8-bit RGB PNG; false with `error` set on failure.
bool WriteContactSheet(const std::vector<SheetSection>& sections, const std::string& path,
                       std::string& error);

// Draws `text` with the pixel font (3 by 5 cells enlarged by `scale`) at (x, y) of a
// `width` by `height` pixel buffer; pixels outside it are skipped. Returns the text's width.
int DrawPixelText(std::vector<std::uint32_t>& pixels, int width, int height, int x, int y,
                  const std::string& text, int scale, std::uint32_t colour);

// The width DrawPixelText would draw.
int PixelTextWidth(const std::string& text, int scale);

}  // namespace art
