// The face comparison against faces painted by the control's own painter: a face matches
// itself and its texts drawn by another font; a bitmap one pixel off, a changed pixel, text in
// the wrong colour, missing or unexpected text fail, naming what differs.
#include "tools/face_compare/face_comparison.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "control/face_painter.h"
#include "tests/platform/gdi/gdi_test_support.h"
#include "tests/support/locale_variables.h"

namespace face_compare {
namespace {

using tolvan::CDelivery;
using tolvan::FaceResources;
using tolvan::PumpProperties;

constexpr COLORREF kBackground = 0x00D0D0D0;
constexpr std::uint32_t kGreen = 0x008000;
constexpr std::uint32_t kRed = 0xC00000;
constexpr std::uint32_t kWhite = 0xFFFFFF;

const CRect kFace{0, 0, 80, 80};
const tolvan::FaceLayout kLayout = tolvan::FaceLayoutFor(kFace);

// A drawing added after the painter's: a bitmap, a text, whatever a case changes.
using Drawing = std::function<void(CDC&, tolvan::FacePainter&, CDC& memory)>;

class FaceComparisonTest : public ::testing::Test {
  protected:
    void SetUp() override { test_support::SetVariable("LC_ALL", "en_US.UTF-8"); }

    // `pump` painted over an 80 by 80 surface of the background, the part `invalid` only,
    // then `after` drawn on it.
    platform::PixelSurface Paint(const PumpProperties& pump, const CRect& invalid = kFace,
                                 const Drawing& after = {}) {
        gdi_test::SurfaceDC surface(80, 80, 0xD0D0D0);
        CDC dc;
        dc.Attach(surface.dc());
        tolvan::FacePainter painter(resources_, faceOldBitmap_);
        painter.Paint(dc, kFace, invalid, kBackground, pump, true, deliveries_);
        if (after) {
            CDC memory;
            memory.CreateCompatibleDC(&dc);
            after(dc, painter, memory);
            if (faceOldBitmap_ != nullptr) {
                memory.SelectObject(faceOldBitmap_);
                faceOldBitmap_ = nullptr;
            }
            memory.DeleteDC();
        }
        dc.Detach();
        return surface.surface();
    }

    // A face with every element: number, three readouts, grade name, the padlock (state 3),
    // the nozzle lifted (hose 1).
    static PumpProperties Full() {
        PumpProperties pump;
        pump.Number = 7;
        pump.PumpState = 3;
        pump.CurHoseNumber = 1;
        pump.CurVolume = FixedAmount::FromDouble(12.5);
        pump.CurValue = FixedAmount::FromDouble(31.25);
        pump.CurPrice = FixedAmount::FromDouble(2.5);
        pump.CurShortGradeName = "U91";
        return pump;
    }

    // The same face without any text.
    static PumpProperties Textless() {
        PumpProperties pump = Full();
        pump.Number = 0;
        pump.CurVolume = FixedAmount{};
        pump.CurValue = FixedAmount{};
        pump.CurPrice = FixedAmount{};
        pump.CurShortGradeName.clear();
        return pump;
    }

    // The texts of Full() drawn with other fonts (another rasteriser's) in the given colours,
    // `dx` pixels to the right, with the painter's flags: the number and readouts in `face`,
    // bold, the grade name in the 13-row bitmap face a Windows system gives for height 10.
    struct OtherFonts {
        const char* face;
        int numberHeight;
        int readoutHeight;
    };
    static Drawing OtherTexts(OtherFonts fonts, std::uint32_t numberInk, std::uint32_t readoutInk,
                              int dx = 0) {
        return [=](CDC& dc, tolvan::FacePainter&, CDC&) {
            const auto font = [](const char* face, int height, int weight) {
                LOGFONTW logFont{};
                logFont.lfHeight = height;
                logFont.lfWeight = weight;
                for (std::size_t i = 0; face[i] != 0 && i + 1 < LF_FACESIZE; ++i) {
                    logFont.lfFaceName[i] = static_cast<WCHAR>(face[i]);
                }
                return CreateFontIndirectW(&logFont);
            };
            const auto draw = [&](HFONT f, std::uint32_t ink, CRect area, const char* text,
                                  UINT flags) {
                area.OffsetRect(dx, 0);
                HGDIOBJ old = SelectObject(dc.GetSafeHdc(), gdi_test::Obj(f));
                SetBkMode(dc.GetSafeHdc(), TRANSPARENT);
                SetTextColor(dc.GetSafeHdc(), RGB(ink >> 16, ink >> 8 & 0xFF, ink & 0xFF));
                DrawTextA(dc.GetSafeHdc(), text, -1, &area, flags | DT_NOCLIP | DT_NOPREFIX);
                SelectObject(dc.GetSafeHdc(), old);
                DeleteObject(gdi_test::Obj(f));
            };
            draw(font(fonts.face, fonts.numberHeight, FW_BOLD), numberInk, kLayout.number, "07",
                 DT_LEFT | DT_TOP);
            draw(font(fonts.face, fonts.readoutHeight, FW_BOLD), readoutInk, kLayout.volume,
                 "12.500", DT_RIGHT | DT_TOP);
            draw(font(fonts.face, fonts.readoutHeight, FW_BOLD), readoutInk, kLayout.value,
                 "$31.25", DT_RIGHT | DT_TOP);
            draw(font(fonts.face, fonts.readoutHeight, FW_BOLD), readoutInk, kLayout.price,
                 "2.500/L", DT_RIGHT | DT_TOP);
            draw(font("MS Sans Serif", 13, FW_NORMAL), kWhite, kLayout.grade, "U91",
                 DT_CENTER | DT_TOP);
        };
    }

    test_support::LocaleVariables variables_;
    FaceResources resources_;
    CBitmap* faceOldBitmap_ = nullptr;
    CElementList<CDelivery> deliveries_;
};

// Every failing pixel of `comparison` lies in `box`.
::testing::AssertionResult AllMismatchesIn(const Comparison& comparison, const RECT& box) {
    for (const PixelMismatch& m : comparison.mismatches) {
        if (m.x < box.left || m.x >= box.right || m.y < box.top || m.y >= box.bottom) {
            return ::testing::AssertionFailure()
                   << "pixel (" << m.x << "," << m.y << ") differs outside the moved bitmap";
        }
    }
    return ::testing::AssertionSuccess();
}

TEST_F(FaceComparisonTest, AFaceMatchesItselfAndItsInksAreReadFromIt) {
    const platform::PixelSurface face = Paint(Full());
    const Comparison comparison = CompareFaces(face, face, {});
    EXPECT_TRUE(comparison.Match());
    EXPECT_EQ(Report(comparison),
              "the faces match; inks: pump number #FFFFFF, volume readout #008000, value readout "
              "#008000, price readout #008000, grade name #FFFFFF\n");
}

TEST_F(FaceComparisonTest, TheCurrentPumpsNumberIsRedAndAStackedDeliveryBlack) {
    PumpProperties pump = Full();
    pump.IsCurrentPump = 1;
    CDelivery* delivery = deliveries_.Add(new CDelivery);
    delivery->DeliveryState = 1;
    delivery->LockedBy = -1;
    delivery->Volume = 3;
    delivery->Value = 6;
    delivery->Price = 2;
    delivery->ShortGradeName = "DSL";
    const Comparison comparison = CompareFaces(Paint(pump), Paint(pump), {});
    EXPECT_TRUE(comparison.Match());
    EXPECT_EQ(Report(comparison),
              "the faces match; inks: pump number #C00000, volume readout #000000, value readout "
              "#000000, price readout #000000, grade name #FFFFFF\n");
}

// A bitmap drawn one pixel off is caught outside the texts, and only where the bitmap was or
// now is. The expected face is built the same way with no offset, which must match.
TEST_F(FaceComparisonTest, ABitmapOnePixelOffFailsAndNamesItsPixels) {
    PumpProperties noIcon = Full();
    noIcon.PumpState = 5;  // no status icon, the same nozzle and body
    const CRect withoutNozzle{0, 0, kLayout.nozzle.left, 80};
    // Bitmaps are drawn whole, so below the strip's test rectangle the face is all there.
    const CRect withoutStack{0, kLayout.stack.bottom, 80, 80};
    const struct {
        const char* name;
        PumpProperties pump;
        CRect invalid;
        UINT bitmap;
        CPoint anchor;
        CSize size;
    } bitmaps[] = {
        {"padlock", noIcon, kFace, 201, kLayout.status.TopLeft(), {45, 35}},
        {"nozzle", Full(), withoutNozzle, 204, kLayout.nozzle.TopLeft(), {18, 69}},
        {"stack strip", Full(), withoutStack, 217, kLayout.stack.TopLeft(), {52, 13}},
    };
    const struct { int dx, dy; } offsets[] = {{1, 0}, {0, 1}, {-1, 0}, {0, -1}};
    const platform::PixelSurface expected = Paint(Full());
    for (const auto& b : bitmaps) {
        SCOPED_TRACE(b.name);
        const auto drawnAt = [&](int dx, int dy) {
            return Paint(b.pump, b.invalid,
                         [&](CDC& dc, tolvan::FacePainter& painter, CDC& memory) {
                             painter.DrawFaceBitmap(b.anchor.x + dx, b.anchor.y + dy,
                                                    resources_.Bitmap(b.bitmap), dc, memory);
                         });
        };
        ASSERT_TRUE(CompareFaces(expected, drawnAt(0, 0), {}).Match())
            << "the face is rebuilt as painted";
        for (const auto& o : offsets) {
            const Comparison comparison = CompareFaces(expected, drawnAt(o.dx, o.dy), {});
            EXPECT_FALSE(comparison.Match()) << o.dx << "," << o.dy;
            EXPECT_GT(comparison.outsideMismatches, 0) << o.dx << "," << o.dy;
            const RECT swept{b.anchor.x - 1, b.anchor.y - 1, b.anchor.x + b.size.cx + 1,
                             b.anchor.y + b.size.cy + 1};
            EXPECT_TRUE(AllMismatchesIn(comparison, swept)) << o.dx << "," << o.dy;
            EXPECT_NE(Report(comparison).find(") outside the text areas: expected #"),
                      std::string::npos)
                << Report(comparison);
        }
    }
}

TEST_F(FaceComparisonTest, OneChangedPixelOutsideTheTextsFails) {
    const platform::PixelSurface expected = Paint(Full());
    ASSERT_EQ(expected.at(0, 40), 0x000000u) << "the body's left edge";
    ASSERT_EQ(expected.at(75, 15), 0xD0D0D0u) << "the background right of the nozzle";
    const struct {
        int x, y;
        std::uint32_t colour;
        const char* line;
    } pixels[] = {
        {0, 40, 0x000001,
         "pixel (0,40) outside the text areas: expected #000000, captured "
         "#000001\n"},
        {75, 15, 0xF0F0F0,
         "pixel (75,15) outside the text areas: expected #D0D0D0, captured "
         "#F0F0F0\n"},
    };
    for (const auto& p : pixels) {
        platform::PixelSurface captured = expected;
        captured.at(p.x, p.y) = p.colour;
        const Comparison comparison = CompareFaces(expected, captured, {});
        EXPECT_FALSE(comparison.Match());
        EXPECT_EQ(comparison.outsideMismatches, 1);
        EXPECT_EQ(Report(comparison),
                  std::string(p.line) +
                      "differing pixels: outside the text areas 1, pump number 0, volume "
                      "readout 0, value readout 0, price readout 0, grade name 0\n");
    }
}

TEST_F(FaceComparisonTest, TextsDrawnByAnotherFontInTheirColoursMatch) {
    const platform::PixelSurface expected = Paint(Full());
    const struct {
        OtherFonts fonts;
        int dx;
    } cases[] = {
        {{"Liberation Serif", 19, 16}, 0},  {{"Liberation Serif", 19, 16}, 1},
        {{"Liberation Serif", 19, 16}, -1}, {{"Liberation Sans", 18, 15}, 0},
        {{"Liberation Mono", 18, 13}, 0},   {{"DejaVu Sans", 17, 14}, 0},
    };
    for (const auto& c : cases) {
        const Comparison comparison = CompareFaces(
            expected, Paint(Textless(), kFace, OtherTexts(c.fonts, kWhite, kGreen, c.dx)), {});
        EXPECT_TRUE(comparison.Match()) << c.fonts.face << " moved " << c.dx << "\n"
                                        << Report(comparison);
    }
}

TEST_F(FaceComparisonTest, TextsInTheWrongColourFail) {
    const platform::PixelSurface expected = Paint(Full());
    const struct {
        std::uint32_t numberInk, readoutInk;
        const char* missing;
    } cases[] = {
        {kWhite, kRed, "volume readout: expected ink #008000, none captured\n"},
        {kWhite, 0x008001, "value readout: expected ink #008000, none captured\n"},
        {kRed, kGreen, "pump number: expected ink #FFFFFF, none captured\n"},
    };
    for (const auto& c : cases) {
        const Comparison comparison =
            CompareFaces(expected,
                         Paint(Textless(), kFace,
                               OtherTexts({"Liberation Sans", 19, 16}, c.numberInk, c.readoutInk)),
                         {});
        EXPECT_FALSE(comparison.Match());
        const std::string report = Report(comparison);
        EXPECT_NE(report.find(c.missing), std::string::npos) << report;
    }
}

TEST_F(FaceComparisonTest, MissingTextFails) {
    const platform::PixelSurface expected = Paint(Full());
    PumpProperties noValue = Full();
    noValue.CurValue = FixedAmount{};
    const Comparison comparison = CompareFaces(expected, Paint(noValue), {});
    EXPECT_FALSE(comparison.Match());
    EXPECT_TRUE(comparison.areas[2].inkMissing);
    EXPECT_EQ(Report(comparison),
              "value readout: expected ink #008000, none captured\n"
              "differing pixels: outside the text areas 0, pump number 0, volume readout 0, "
              "value readout 0, price readout 0, grade name 0\n");
}

TEST_F(FaceComparisonTest, TextWhereNoneIsExpectedFails) {
    PumpProperties noVolume = Full();
    noVolume.CurVolume = FixedAmount{};
    const platform::PixelSurface expected = Paint(noVolume);
    const platform::PixelSurface captured = Paint(Full());

    // The volume's ink cannot be read from a picture without it: its pixels must be equal.
    const Comparison unknownInk = CompareFaces(expected, captured, {});
    EXPECT_FALSE(unknownInk.Match());
    EXPECT_FALSE(unknownInk.areas[1].ink.has_value());
    EXPECT_GT(unknownInk.areas[1].mismatches, 20);
    EXPECT_NE(Report(unknownInk).find(") in the volume readout: expected #FFFFFF, captured #"),
              std::string::npos)
        << Report(unknownInk);

    CompareOptions options;
    options.inks[1] = kGreen;
    const Comparison givenInk = CompareFaces(expected, captured, options);
    EXPECT_FALSE(givenInk.Match());
    EXPECT_TRUE(givenInk.areas[1].inkUnexpected);
    EXPECT_NE(Report(givenInk).find("volume readout: no text expected, "), std::string::npos)
        << Report(givenInk);
}

TEST_F(FaceComparisonTest, AFaceInsideALargerCaptureIsFoundAtItsPosition) {
    const platform::PixelSurface face = Paint(Full());
    platform::PixelSurface capture;
    capture.Reset(200, 120, 0x123456);
    for (int y = 0; y < 80; ++y) {
        for (int x = 0; x < 80; ++x) {
            capture.at(37 + x, 21 + y) = face.at(x, y);
        }
    }
    const struct {
        int x, y;
        bool fits, matches;
    } positions[] = {
        {37, 21, true, true},  {36, 21, true, false},  {37, 22, true, false},
        {0, 0, true, false},   {120, 40, true, false}, {121, 0, false, false},
        {0, 41, false, false}, {-1, 0, false, false},
    };
    for (const auto& p : positions) {
        CompareOptions options;
        options.atX = p.x;
        options.atY = p.y;
        const std::string problem = InputProblem(face, capture, options);
        EXPECT_EQ(problem.empty(), p.fits) << p.x << "," << p.y << ": " << problem;
        if (p.fits) {
            EXPECT_EQ(CompareFaces(face, capture, options).Match(), p.matches) << p.x << "," << p.y;
        }
    }
}

TEST_F(FaceComparisonTest, OnlyAFaceOfEightyByEightyIsExpected) {
    platform::PixelSurface wide;
    wide.Reset(81, 80);
    platform::PixelSurface face;
    face.Reset(80, 80);
    EXPECT_EQ(InputProblem(wide, wide, {}),
              "the expected picture is 81 by 80, not a face of 80 by 80");
    EXPECT_EQ(InputProblem(face, face, {}), "");
    platform::PixelSurface small;
    small.Reset(79, 80);
    EXPECT_EQ(InputProblem(face, small, {}),
              "a face of 80 by 80 at 0,0 does not fit in the captured picture of 79 by 80");
}

TEST_F(FaceComparisonTest, TheReviewersPictureShowsBothFacesAndMarksTheFailures) {
    const platform::PixelSurface expected = Paint(Full());
    platform::PixelSurface captured = expected;
    captured.at(0, 40) = 0x00FF00;
    const Comparison comparison = CompareFaces(expected, captured, {});
    const platform::PixelSurface picture = DiffPicture(expected, captured, {}, comparison);
    ASSERT_EQ(picture.width, 960);
    ASSERT_EQ(picture.height, 320);
    EXPECT_EQ(picture.at(0, 160), 0x000000u) << "the expected face";
    EXPECT_EQ(picture.at(320 + 3, 163), 0x00FF00u) << "the captured face";
    EXPECT_EQ(picture.at(640 + 2, 162), 0xFF0000u) << "the failing pixel";
    EXPECT_EQ(picture.at(640 + 4 * 75, 4 * 15), 0xF3F3F3u) << "the rest faded";
}

TEST(FaceColourText, ReadsAndWritesHashRgb) {
    const struct {
        const char* text;
        std::optional<std::uint32_t> colour;
    } cases[] = {{"#008000", 0x008000},     {"#c0C0c0", 0xC0C0C0},    {"#FFFFFF", 0xFFFFFF},
                 {"008000", std::nullopt},  {"#00800", std::nullopt}, {"#0080000", std::nullopt},
                 {"#00800G", std::nullopt}, {"", std::nullopt}};
    for (const auto& c : cases) {
        EXPECT_EQ(ParseColour(c.text), c.colour) << c.text;
    }
    EXPECT_EQ(ColourText(0x0000C0), "#0000C0");
}

}  // namespace
}  // namespace face_compare
