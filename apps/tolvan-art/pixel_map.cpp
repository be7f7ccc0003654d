// Parsing of the palette and the pixel maps (see pixel_map.h for the formats).
#include "apps/tolvan-art/pixel_map.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <sstream>

namespace art {
namespace {

// Splits text into lines without their end ("\n" or "\r\n"); a final newline ends no line.
std::vector<std::string_view> Lines(std::string_view text) {
    std::vector<std::string_view> lines;
    while (!text.empty()) {
        std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        lines.push_back(line);
        if (end == std::string_view::npos) {
            break;
        }
        text.remove_prefix(end + 1);
    }
    return lines;
}

bool IsSkipped(std::string_view line) {
    return line.empty() || line.front() == '#';
}

std::string Where(const std::string& fileName, std::size_t lineIndex) {
    return fileName + ":" + std::to_string(lineIndex + 1) + ": ";
}

std::string BaseName(const std::string& path) {
    std::size_t slash = path.find_last_of('/');
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    std::size_t dot = name.find_last_of('.');
    return dot == std::string::npos ? name : name.substr(0, dot);
}

// Parses a whole decimal number in 1..limit; -1 otherwise.
int ParseCount(const std::string& word, int limit) {
    if (word.empty() || word.size() > 5 ||
        word.find_first_not_of("0123456789") != std::string::npos) {
        return -1;
    }
    int value = std::stoi(word);
    return value >= 1 && value <= limit ? value : -1;
}

}  // namespace

int Palette::IndexOf(char letter) const {
    for (int i = 0; i < 16; ++i) {
        if (letters[static_cast<std::size_t>(i)] == letter) {
            return i;
        }
    }
    return -1;
}

std::optional<Palette> ParsePalette(std::string_view text, const std::string& fileName,
                                    std::string& error) {
    Palette palette;
    std::size_t count = 0;
    std::vector<std::string_view> lines = Lines(text);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (IsSkipped(lines[i])) {
            continue;
        }
        std::istringstream fields{std::string(lines[i])};
        std::string letter, hex, name;
        fields >> letter >> hex;
        std::getline(fields >> std::ws, name);
        if (letter.size() != 1 || letter[0] <= ' ' || letter[0] > '~' || letter[0] == '#') {
            error = Where(fileName, i) + "a colour needs one printable character, not \"" + letter +
                    "\"";
            return std::nullopt;
        }
        if (hex.size() != 6 ||
            hex.find_first_not_of("0123456789ABCDEFabcdef") != std::string::npos) {
            error = Where(fileName, i) + "colour '" + letter +
                    "' needs six hex digits RRGGBB, not \"" + hex + "\"";
            return std::nullopt;
        }
        if (count == 16) {
            error = Where(fileName, i) + "more than 16 colours";
            return std::nullopt;
        }
        if (palette.IndexOf(letter[0]) >= 0) {
            error = Where(fileName, i) + "character '" + letter + "' names two colours";
            return std::nullopt;
        }
        palette.letters[count] = letter[0];
        palette.rgb[count] = static_cast<std::uint32_t>(std::stoul(hex, nullptr, 16));
        palette.names[count] = name;
        ++count;
    }
    if (count != 16) {
        error = fileName + ": " + std::to_string(count) + " colours, a 4-bit palette needs 16";
        return std::nullopt;
    }
    for (int i = 0; i < 16; ++i) {
        if (palette.rgb[static_cast<std::size_t>(i)] == kKeyRgb && palette.keyIndex < 0) {
            palette.keyIndex = i;
        }
        if (palette.rgb[static_cast<std::size_t>(i)] == 0 && palette.blackIndex < 0) {
            palette.blackIndex = i;
        }
    }
    if (palette.keyIndex < 0 || palette.blackIndex < 0) {
        error = fileName + ": the palette needs the key colour 800080 and black 000000";
        return std::nullopt;
    }
    return palette;
}

std::optional<PixelMap> ParsePixelMap(std::string_view text, const std::string& fileName,
                                      const Palette& palette, std::string& error) {
    PixelMap map;
    map.name = BaseName(fileName);
    std::vector<std::string_view> lines = Lines(text);
    std::size_t i = 0;
    while (i < lines.size() && IsSkipped(lines[i])) {
        ++i;
    }
    if (i == lines.size()) {
        error = fileName + ": no \"size <width> <height>\" line";
        return std::nullopt;
    }
    std::istringstream header{std::string(lines[i])};
    std::string keyword, width, height, rest;
    header >> keyword >> width >> height >> rest;
    map.width = ParseCount(width, 4096);
    map.height = ParseCount(height, 4096);
    if (keyword != "size" || map.width < 0 || map.height < 0 || !rest.empty()) {
        error = Where(fileName, i) + "expected \"size <width> <height>\" (1 to 4096 each), not \"" +
                std::string(lines[i]) + "\"";
        return std::nullopt;
    }
    ++i;
    map.indices.reserve(static_cast<std::size_t>(map.width) * static_cast<std::size_t>(map.height));
    for (int row = 0; row < map.height; ++row, ++i) {
        if (i >= lines.size()) {
            error = fileName + ": " + std::to_string(row) + " rows, the map is " +
                    std::to_string(map.height) + " rows high";
            return std::nullopt;
        }
        std::string_view line = lines[i];
        if (line.size() != static_cast<std::size_t>(map.width)) {
            error = Where(fileName, i) + "row " + std::to_string(row + 1) + " is " +
                    std::to_string(line.size()) + " pixels wide, the map is " +
                    std::to_string(map.width);
            return std::nullopt;
        }
        for (std::size_t x = 0; x < line.size(); ++x) {
            int index = palette.IndexOf(line[x]);
            if (index < 0) {
                error = fileName + ":" + std::to_string(i + 1) + ":" + std::to_string(x + 1) +
                        ": unknown palette character '" + std::string(1, line[x]) + "'";
                return std::nullopt;
            }
            map.indices.push_back(static_cast<std::uint8_t>(index));
        }
    }
    for (; i < lines.size(); ++i) {
        if (!lines[i].empty()) {
            error = Where(fileName, i) + "text after the last of " + std::to_string(map.height) +
                    " rows";
            return std::nullopt;
        }
    }
    return map;
}

bool ReadTextFile(const std::string& path, std::string& text, std::string& error) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = path + ": cannot be read - " + std::strerror(errno);
        return false;
    }
    std::ostringstream content;
    content << in.rdbuf();
    text = content.str();
    return true;
}

}  // namespace art
