// Comparing a captured pump face with the expected picture of the same state: every pixel
// outside the face's text boxes exactly, the texts by colour and box only, since another
// rasteriser and other fonts place and blend their glyphs differently.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "control/face_layout.h"
#include "platform/pixel_surface.h"

namespace face_compare {

// The text areas in the order of tolvan::FaceTextsFor, by the word --ink takes:
// number, volume, value, price, grade.
inline constexpr std::array<const char*, tolvan::kFaceTextCount> kAreaKeys{
    "number", "volume", "value", "price", "grade"};

// Colours are 0x00RRGGBB, as the pixels are.
struct CompareOptions {
    int atX = 0;  // the face's top-left in the captured picture
    int atY = 0;
    // How far (in any one channel) a text pixel may lie from the line between the ink and a
    // colour of the expected picture near it: the rounding of another blender.
    int tolerance = 8;
    // The ink of an area, by its index in kAreaKeys; unset: read from the expected picture.
    std::array<std::optional<std::uint32_t>, tolvan::kFaceTextCount> inks{};
};

// "" when the pictures can be compared, else why not ("the expected picture is 81 by 80, not
// a face of 80 by 80"; "the face at 10,0 does not fit in the captured 80 by 80").
std::string InputProblem(const platform::PixelSurface& expected,
                         const platform::PixelSurface& captured, const CompareOptions& options);

// A pixel that failed, in the face's coordinates; area -1 outside every text box, else the
// index of the first text box holding it.
struct PixelMismatch {
    int x;
    int y;
    int area;
    std::uint32_t expected;
    std::uint32_t captured;
};

struct AreaOutcome {
    std::optional<std::uint32_t> ink;  // none: no text expected and no --ink given
    int expectedInkPixels = 0;         // pixels of exactly the ink inside the text's rectangle
    int capturedInkPixels = 0;
    int mismatches = 0;
    bool inkMissing = false;     // ink expected, none captured
    bool inkUnexpected = false;  // no ink expected, some captured
};

struct Comparison {
    std::vector<PixelMismatch> mismatches;  // row by row
    int outsideMismatches = 0;
    std::array<AreaOutcome, tolvan::kFaceTextCount> areas{};
    bool Match() const;
};

// Compares the 80 by 80 `expected` with the face at options.atX, atY of `captured`; the
// pictures must have passed InputProblem. Outside the text boxes a pixel must be equal. In
// a text box it must be equal, or lie (within the tolerance) between the area's ink and a
// colour of the expected picture at most two pixels away: a glyph edge or a glyph placed a
// little differently. An area must hold a pixel of exactly its ink in the capture when, and
// only when, the expected picture has one. The ink of an area without --ink is the colour,
// among those the face draws that text in, of which the expected picture has most pixels in
// the text's rectangle; none when it has none of them.
Comparison CompareFaces(const platform::PixelSurface& expected,
                        const platform::PixelSurface& captured, const CompareOptions& options);

// The report for a person: on a match one line with the inks; otherwise the first
// `pixelLines` failing pixels, one line each, the ink problems, and the count per area.
std::string Report(const Comparison& comparison, std::size_t pixelLines = 20);

// A picture for a reviewer, four times enlarged: the expected face, the captured face, and
// the expected face faded with the failing pixels in red and the rectangle of each text with
// an ink problem framed in magenta.
platform::PixelSurface DiffPicture(const platform::PixelSurface& expected,
                                   const platform::PixelSurface& captured,
                                   const CompareOptions& options, const Comparison& comparison);

// "#RRGGBB" to a colour; none for any other text.
std::optional<std::uint32_t> ParseColour(const std::string& text);
std::string ColourText(std::uint32_t colour);

}  // namespace face_compare
