// Tolvan's pictures are kept as text pixel maps: one character per pixel, the characters
// named by a shared palette of 16 colours. This reads the palette and the maps and reports
// every fault with its file, line and column, so a bad edit stops the build readably.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace art {

// The transparent key of every picture: red 128, green 0, blue 128, as 0x00RRGGBB.
inline constexpr std::uint32_t kKeyRgb = 0x800080;

// Exactly 16 colours in BMP palette order. Each has one character of the maps; the palette
// must hold the key colour and black (an icon's transparent pixels are black in its image).
struct Palette {
    std::array<char, 16> letters{};
    std::array<std::uint32_t, 16> rgb{};  // 0x00RRGGBB
    std::array<std::string, 16> names;
    int keyIndex = -1;
    int blackIndex = -1;

    // The colour index of a map character, or -1 when the palette has no such character.
    int IndexOf(char letter) const;
};

// One picture: `width` by `height` palette indices, rows top-down.
struct PixelMap {
    std::string name;  // the map's file name without folder and extension
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> indices;

    std::uint8_t at(int x, int y) const {
        return indices[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
                       static_cast<std::size_t>(x)];
    }
};

// Palette text: '#' comment lines and blank lines, then 16 lines
// "<character> <RRGGBB> <name...>". On failure returns nothing and sets `error` to
// "<fileName>:<line>: <what is wrong>".
std::optional<Palette> ParsePalette(std::string_view text, const std::string& fileName,
                                    std::string& error);

// Map text: '#' comment lines, then "size <width> <height>", then exactly `height` rows of
// exactly `width` palette characters. The map's name is `fileName` without folder and
// extension. On failure returns nothing and sets `error` as ParsePalette does (with the
// column for an unknown character).
std::optional<PixelMap> ParsePixelMap(std::string_view text, const std::string& fileName,
                                      const Palette& palette, std::string& error);

// Reads a whole file; false (and `error` set) when it cannot be read.
bool ReadTextFile(const std::string& path, std::string& text, std::string& error);

}  // namespace art
