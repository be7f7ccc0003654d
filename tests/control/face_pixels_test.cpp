// What a cashier reads on the painted face, pixel by pixel: every status icon leaves the
// readouts and the grade name as they are, the longest readouts stay on the display window's
// white, and the small grade name is crisp white on the body. Faces are painted by the
// control's painter into 80 by 80 surfaces, with the locale pinned (en-US and pt-BR).
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>

#include "control/face_painter.h"
#include "tests/platform/gdi/gdi_test_support.h"
#include "tests/support/locale_variables.h"

namespace tolvan {
namespace {

constexpr COLORREF kBackground = 0x00D0D0D0;
constexpr std::uint32_t kWhite = 0xFFFFFF;

struct Point {
    int x;
    int y;
};

class FacePixelsTest : public ::testing::Test {
  protected:
    // The face of `pump` as painted over a whole 80 by 80 surface.
    platform::PixelSurface Paint(const PumpProperties& pump, bool blinkOn = true) {
        gdi_test::SurfaceDC surface(80, 80, 0x123456);
        CDC dc;
        dc.Attach(surface.dc());
        FacePainter painter(resources_, faceOldBitmap_);
        painter.Paint(dc, {0, 0, 80, 80}, {0, 0, 80, 80}, kBackground, pump, blinkOn, deliveries_);
        dc.Detach();
        return surface.surface();
    }

    // The pixels where `with` differs from `without`, inside rows top..bottom (both included).
    static std::vector<Point> Differences(const platform::PixelSurface& with,
                                          const platform::PixelSurface& without, int top = 0,
                                          int bottom = 79) {
        std::vector<Point> found;
        for (int y = top; y <= bottom; ++y) {
            for (int x = 0; x < 80; ++x) {
                if (with.at(x, y) != without.at(x, y))
                    found.push_back({x, y});
            }
        }
        return found;
    }

    // A pump with its readouts and grade name and no status icon (state 8 with hose 0).
    static PumpProperties Readouts(double volume, double value, double price, const char* grade) {
        PumpProperties pump;
        pump.Number = 4;
        pump.PumpState = 8;
        pump.CurVolume = FixedAmount::FromDouble(volume);
        pump.CurValue = FixedAmount::FromDouble(value);
        pump.CurPrice = FixedAmount::FromDouble(price);
        pump.CurShortGradeName = grade;
        return pump;
    }

    static PumpProperties Blank() { return Readouts(0, 0, 0, ""); }

    test_support::LocaleVariables variables_;
    FaceResources resources_;
    CBitmap* faceOldBitmap_ = nullptr;
    CElementList<CDelivery> deliveries_;
};

TEST_F(FacePixelsTest, EveryStatusIconLeavesTheReadoutsAndTheGradeNameAsTheyAre) {
    const struct {
        LONG state;
        LONG reservedFor;
        UINT icon;
    } icons[] = {{3, 0, 201}, {6, 0, 215},  {9, 0, 214}, {1, 0, 218}, {5, 3, 207},
                 {5, 2, 208}, {14, 0, 237}, {5, 5, 205}, {5, 4, 206}};
    const struct {
        const char* locale;
        double volume, value, price;
        const char* grade;
    } faces[] = {
        {"en_US.UTF-8", 3.5, 7.0, 2.59, "GC"},
        {"pt_BR.UTF-8", 345.678, 24.68, 2.59, "S10"},  // the comma reaches below the digits
        {"en_US.UTF-8", 19.87, 39.74, 12.345, "DIESEL"},
    };
    for (const auto& face : faces) {
        setenv("LC_ALL", face.locale, 1);
        const PumpProperties readouts = Readouts(face.volume, face.value, face.price, face.grade);
        const platform::PixelSurface plain = Paint(readouts);
        const std::vector<Point> text = Differences(plain, Paint(Blank()));
        int priceInk = 0, gradeInk = 0;
        for (const Point& p : text) {
            priceInk += p.y >= 42 && p.y < 62 ? 1 : 0;
            gradeInk += p.y >= 62 ? 1 : 0;
        }
        ASSERT_GT(priceInk, 20) << face.locale << ": the price row has ink";
        ASSERT_GT(gradeInk, 8) << face.grade << ": the grade name has ink";

        for (const auto& c : icons) {
            PumpProperties pump = readouts;
            pump.PumpState = c.state;
            pump.ReservedFor = c.reservedFor;
            ASSERT_EQ(StatusIconFor(c.state, c.reservedFor, true).id, c.icon);
            const platform::PixelSurface withIcon = Paint(pump);
            EXPECT_GT(Differences(withIcon, plain, 45, 79).size(), 20u)
                << "icon " << c.icon << " is drawn";
            std::string covered;
            for (const Point& p : text) {
                if (withIcon.at(p.x, p.y) != plain.at(p.x, p.y)) {
                    covered += " " + std::to_string(p.x) + "," + std::to_string(p.y);
                }
            }
            EXPECT_EQ(covered, "")
                << "icon " << c.icon << " over the text of " << face.locale << " " << face.grade;
        }
    }
}

TEST_F(FacePixelsTest, TheLongestReadoutsStayOnTheDisplayWindowsWhite) {
    const struct {
        const char* locale;
        double volume, value, price;
    } cases[] = {
        {"pt_BR.UTF-8", 345.678, 24.68, 12.345},   // "345,678", "R$24,68", "2,345/L"
        {"en_US.UTF-8", 8345.678, 9876.54, 2.59},  // "345.678", "9876.54", "2.590/L"
        {"pt_BR.UTF-8", 88.888, 8888.88, 8.888},   // "88,888", "8888,88", "8,888/L"
    };
    const platform::PixelSurface window = Paint(Blank());
    for (const auto& c : cases) {
        setenv("LC_ALL", c.locale, 1);
        const platform::PixelSurface face = Paint(Readouts(c.volume, c.value, c.price, ""));
        const std::vector<Point> ink = Differences(face, window, 17, 61);
        ASSERT_GT(ink.size(), 100u) << c.locale;
        int leftmost = 80;
        for (const Point& p : ink) {
            leftmost = std::min(leftmost, p.x);
            EXPECT_EQ(window.at(p.x, p.y), kWhite) << c.locale << " " << c.volume << ": text at "
                                                   << p.x << "," << p.y << " off the window";
        }
        EXPECT_LE(leftmost, 4) << c.locale << ": the seven characters reach the left";
    }
}

TEST_F(FacePixelsTest, TheSmallGradeNameIsCrispWhiteOnTheBody) {
    setenv("LC_ALL", "en_US.UTF-8", 1);
    const platform::PixelSurface blank = Paint(Blank());
    for (const char* grade : {"GC", "S10", "U91", "ETANOL"}) {
        const std::vector<Point> ink = Differences(Paint(Readouts(0, 0, 0, grade)), blank, 0, 79);
        ASSERT_GT(ink.size(), 8u) << grade;
        const platform::PixelSurface face = Paint(Readouts(0, 0, 0, grade));
        for (const Point& p : ink) {
            EXPECT_GE(p.y, 62) << grade << " stays in its row";
            EXPECT_EQ(face.at(p.x, p.y), kWhite)
                << grade << " at " << p.x << "," << p.y << " is smoothed";
        }
    }
}

}  // namespace
}  // namespace tolvan
