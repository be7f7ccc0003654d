// The face comparison: the text boxes from the face's own layout table, per-pixel rules, the
// ink check per text, the report and the reviewer's picture.
#include "tools/face_compare/face_comparison.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace face_compare {

namespace {

// How far from a pixel the expected picture's colours count as what a glyph edge there may
// be blended with: a stroke of the face's bold fonts is at most five pixels wide.
constexpr int kNeighbourhood = 2;

constexpr int kDiffScale = 4;

int Red(std::uint32_t c) {
    return static_cast<int>(c >> 16 & 0xFF);
}
int Green(std::uint32_t c) {
    return static_cast<int>(c >> 8 & 0xFF);
}
int Blue(std::uint32_t c) {
    return static_cast<int>(c & 0xFF);
}

bool Holds(const RECT& box, int x, int y) {
    return x >= box.left && x < box.right && y >= box.top && y < box.bottom;
}

const tolvan::FaceTexts& Texts() {
    static constexpr tolvan::FaceTexts texts =
        tolvan::FaceTextsFor(CRect{0, 0, tolvan::kFaceSide, tolvan::kFaceSide});
    return texts;
}

// Where the ink of text `index` is looked for: the part of its rectangle its glyphs can reach,
// less the rows that another text's box covers (a readout's cell runs over the next readout's
// top rows), so that one text's glyphs never count as another's ink.
RECT InkRegion(int index) {
    const tolvan::FaceText& text = Texts().text[index];
    RECT region{std::max(text.area.left, text.reach.left), std::max(text.area.top, text.reach.top),
                std::min(text.area.right, text.reach.right),
                std::min(text.area.bottom, text.reach.bottom)};
    for (int other = 0; other < tolvan::kFaceTextCount; ++other) {
        const CRect& box = Texts().text[other].reach;
        if (other == index || box.right <= region.left || box.left >= region.right) {
            continue;
        }
        if (box.top <= region.top && box.bottom > region.top) {
            region.top = box.bottom;
        }
        if (box.top > region.top && box.top < region.bottom) {
            region.bottom = box.top;
        }
    }
    return region;
}

int CountPixels(const platform::PixelSurface& picture, int atX, int atY, const RECT& region,
                std::uint32_t colour) {
    int count = 0;
    for (int y = region.top; y < region.bottom; ++y) {
        for (int x = region.left; x < region.right; ++x) {
            count += picture.at(atX + x, atY + y) == colour ? 1 : 0;
        }
    }
    return count;
}

std::optional<std::uint32_t> ExpectedInk(const platform::PixelSurface& expected, int index) {
    const tolvan::FaceText& text = Texts().text[index];
    std::optional<std::uint32_t> ink;
    int most = 0;
    for (int i = 0; i < text.inkCount; ++i) {
        const std::uint32_t candidate = platform::ToPixel(text.inks[i]);
        const int count = CountPixels(expected, 0, 0, InkRegion(index), candidate);
        if (count > most) {
            most = count;
            ink = candidate;
        }
    }
    return ink;
}

// Whether `c` lies within `tolerance` (in every channel) of a point on the line from `ink`
// to `other`: the colour of `ink` laid over `other` with some coverage.
bool BetweenColours(std::uint32_t c, std::uint32_t ink, std::uint32_t other, int tolerance) {
    const int from[3] = {Red(ink), Green(ink), Blue(ink)};
    const int to[3] = {Red(other), Green(other), Blue(other)};
    const int at[3] = {Red(c), Green(c), Blue(c)};
    double along = 0;
    double length = 0;
    for (int i = 0; i < 3; ++i) {
        along += static_cast<double>(at[i] - from[i]) * (to[i] - from[i]);
        length += static_cast<double>(to[i] - from[i]) * (to[i] - from[i]);
    }
    const double t = length == 0 ? 0 : std::clamp(along / length, 0.0, 1.0);
    for (int i = 0; i < 3; ++i) {
        const double nearest = from[i] + t * (to[i] - from[i]);
        if (std::abs(at[i] - nearest) > tolerance) {
            return false;
        }
    }
    return true;
}

bool TextPixelFits(const platform::PixelSurface& expected, int x, int y, std::uint32_t captured,
                   std::uint32_t ink, int tolerance) {
    for (int ny = std::max(0, y - kNeighbourhood);
         ny <= std::min(tolvan::kFaceSide - 1, y + kNeighbourhood); ++ny) {
        for (int nx = std::max(0, x - kNeighbourhood);
             nx <= std::min(tolvan::kFaceSide - 1, x + kNeighbourhood); ++nx) {
            if (BetweenColours(captured, ink, expected.at(nx, ny), tolerance)) {
                return true;
            }
        }
    }
    return false;
}

std::string AreaName(int area) {
    return area < 0 ? "outside the text areas" : std::string("in the ") + Texts().text[area].name;
}

}  // namespace

std::optional<std::uint32_t> ParseColour(const std::string& text) {
    if (text.size() != 7 || text[0] != '#') {
        return std::nullopt;
    }
    std::uint32_t colour = 0;
    for (std::size_t i = 1; i < text.size(); ++i) {
        const char c = text[i];
        int digit = 0;
        if (c >= '0' && c <= '9') {
            digit = c - '0';
        } else if (c >= 'a' && c <= 'f') {
            digit = c - 'a' + 10;
        } else if (c >= 'A' && c <= 'F') {
            digit = c - 'A' + 10;
        } else {
            return std::nullopt;
        }
        colour = colour << 4 | static_cast<std::uint32_t>(digit);
    }
    return colour;
}

std::string ColourText(std::uint32_t colour) {
    char text[8];
    std::snprintf(text, sizeof text, "#%06X", static_cast<unsigned>(colour & 0xFFFFFF));
    return text;
}

std::string InputProblem(const platform::PixelSurface& expected,
                         const platform::PixelSurface& captured, const CompareOptions& options) {
    const int side = tolvan::kFaceSide;
    if (expected.width != side || expected.height != side) {
        return "the expected picture is " + std::to_string(expected.width) + " by " +
               std::to_string(expected.height) + ", not a face of 80 by 80";
    }
    if (options.atX < 0 || options.atY < 0 || options.atX > captured.width - side ||
        options.atY > captured.height - side) {
        return "a face of 80 by 80 at " + std::to_string(options.atX) + "," +
               std::to_string(options.atY) + " does not fit in the captured picture of " +
               std::to_string(captured.width) + " by " + std::to_string(captured.height);
    }
    if (options.tolerance < 0 || options.tolerance > 255) {
        return "the tolerance must be 0 to 255";
    }
    return "";
}

bool Comparison::Match() const {
    return mismatches.empty() &&
           std::none_of(areas.begin(), areas.end(), [](const AreaOutcome& area) {
               return area.inkMissing || area.inkUnexpected;
           });
}

Comparison CompareFaces(const platform::PixelSurface& expected,
                        const platform::PixelSurface& captured, const CompareOptions& options) {
    const tolvan::FaceTexts& texts = Texts();
    Comparison result;
    for (int i = 0; i < tolvan::kFaceTextCount; ++i) {
        AreaOutcome& area = result.areas[i];
        area.ink = options.inks[i] ? options.inks[i] : ExpectedInk(expected, i);
        if (area.ink) {
            const RECT region = InkRegion(i);
            area.expectedInkPixels = CountPixels(expected, 0, 0, region, *area.ink);
            area.capturedInkPixels =
                CountPixels(captured, options.atX, options.atY, region, *area.ink);
            area.inkMissing = area.expectedInkPixels > 0 && area.capturedInkPixels == 0;
            area.inkUnexpected = area.expectedInkPixels == 0 && area.capturedInkPixels > 0;
        }
    }
    for (int y = 0; y < tolvan::kFaceSide; ++y) {
        for (int x = 0; x < tolvan::kFaceSide; ++x) {
            const std::uint32_t want = expected.at(x, y);
            const std::uint32_t got = captured.at(options.atX + x, options.atY + y);
            if (want == got) {
                continue;
            }
            int firstArea = -1;
            bool fits = false;
            for (int i = 0; i < tolvan::kFaceTextCount && !fits; ++i) {
                if (!Holds(texts.text[i].reach, x, y)) {
                    continue;
                }
                if (firstArea < 0) {
                    firstArea = i;
                }
                const std::optional<std::uint32_t>& ink = result.areas[i].ink;
                fits = ink && TextPixelFits(expected, x, y, got, *ink, options.tolerance);
            }
            if (fits) {
                continue;
            }
            result.mismatches.push_back({x, y, firstArea, want, got});
            if (firstArea < 0) {
                ++result.outsideMismatches;
            } else {
                ++result.areas[firstArea].mismatches;
            }
        }
    }
    return result;
}

std::string Report(const Comparison& comparison, std::size_t pixelLines) {
    const tolvan::FaceTexts& texts = Texts();
    std::string report;
    if (comparison.Match()) {
        report = "the faces match; inks:";
        for (int i = 0; i < tolvan::kFaceTextCount; ++i) {
            const std::optional<std::uint32_t>& ink = comparison.areas[i].ink;
            report += std::string(i == 0 ? " " : ", ") + texts.text[i].name + " " +
                      (ink ? ColourText(*ink) : "none");
        }
        return report + "\n";
    }
    for (std::size_t i = 0; i < comparison.mismatches.size() && i < pixelLines; ++i) {
        const PixelMismatch& m = comparison.mismatches[i];
        report += "pixel (" + std::to_string(m.x) + "," + std::to_string(m.y) + ") " +
                  AreaName(m.area) + ": expected " + ColourText(m.expected) + ", captured " +
                  ColourText(m.captured) + "\n";
    }
    if (comparison.mismatches.size() > pixelLines) {
        report += "... and " + std::to_string(comparison.mismatches.size() - pixelLines) +
                  " more pixels\n";
    }
    for (int i = 0; i < tolvan::kFaceTextCount; ++i) {
        const AreaOutcome& area = comparison.areas[i];
        if (area.inkMissing) {
            report += std::string(texts.text[i].name) + ": expected ink " + ColourText(*area.ink) +
                      ", none captured\n";
        } else if (area.inkUnexpected) {
            report += std::string(texts.text[i].name) + ": no text expected, " +
                      std::to_string(area.capturedInkPixels) + " pixels of ink " +
                      ColourText(*area.ink) + " captured\n";
        }
    }
    report +=
        "differing pixels: outside the text areas " + std::to_string(comparison.outsideMismatches);
    for (int i = 0; i < tolvan::kFaceTextCount; ++i) {
        report += std::string(", ") + texts.text[i].name + " " +
                  std::to_string(comparison.areas[i].mismatches);
    }
    return report + "\n";
}

platform::PixelSurface DiffPicture(const platform::PixelSurface& expected,
                                   const platform::PixelSurface& captured,
                                   const CompareOptions& options, const Comparison& comparison) {
    const int side = tolvan::kFaceSide;
    platform::PixelSurface marks;
    marks.Reset(side, side, 0);
    for (int y = 0; y < side; ++y) {
        for (int x = 0; x < side; ++x) {
            // Faded three quarters of the way to white: the failing pixels stand out.
            const std::uint32_t c = expected.at(x, y);
            const auto fade = [](int channel) {
                return static_cast<std::uint32_t>((channel + 3 * 255) / 4);
            };
            marks.at(x, y) = fade(Red(c)) << 16 | fade(Green(c)) << 8 | fade(Blue(c));
        }
    }
    for (int i = 0; i < tolvan::kFaceTextCount; ++i) {
        const AreaOutcome& area = comparison.areas[i];
        if (!area.inkMissing && !area.inkUnexpected) {
            continue;
        }
        const RECT region = InkRegion(i);
        for (int y = region.top; y < region.bottom; ++y) {
            for (int x = region.left; x < region.right; ++x) {
                if (y == region.top || y == region.bottom - 1 || x == region.left ||
                    x == region.right - 1) {
                    marks.at(x, y) = 0xFF00FF;
                }
            }
        }
    }
    for (const PixelMismatch& m : comparison.mismatches) {
        marks.at(m.x, m.y) = 0xFF0000;
    }

    platform::PixelSurface picture;
    picture.Reset(3 * side * kDiffScale, side * kDiffScale, 0);
    for (int y = 0; y < picture.height; ++y) {
        for (int x = 0; x < picture.width; ++x) {
            const int panel = x / (side * kDiffScale);
            const int fx = x % (side * kDiffScale) / kDiffScale;
            const int fy = y / kDiffScale;
            picture.at(x, y) = panel == 0   ? expected.at(fx, fy)
                               : panel == 1 ? captured.at(options.atX + fx, options.atY + fy)
                                            : marks.at(fx, fy);
        }
    }
    return picture;
}

}  // namespace face_compare
