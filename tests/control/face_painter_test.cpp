// Tests of the pump face as it is painted: the nozzle, stack and status tables, the displayed
// amounts and their colour, and the drawing calls of whole and partial paints read from a
// recording device context. The locale is pinned to en-US (pt-BR where named).
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "control/face_painter.h"
#include "tests/platform/gdi/gdi_test_support.h"
#include "tests/support/locale_variables.h"

namespace tolvan {
namespace {

using gdi_test::SurfaceDC;

constexpr COLORREF kBackground = 0x00D0D0D0;

TEST(FaceTables, NozzleByHoseAndState) {
    const struct {
        SHORT hose;
        LONG state;
        UINT bitmap;
    } cases[] = {{0, 8, 216},  {0, 13, 216}, {0, 5, 216}, {1, 8, 202},
                 {2, 13, 203}, {1, 5, 204},  {3, 0, 204}, {-1, 6, 204}};
    for (const auto& c : cases) {
        EXPECT_EQ(NozzleBitmapId(c.hose, c.state), c.bitmap) << c.hose << " " << c.state;
    }
}

TEST(FaceTables, StackIndicatorByCount) {
    const UINT expected[] = {217, 210, 211, 212, 213, 219, 219, 219};
    for (int count = 0; count < 8; ++count) {
        EXPECT_EQ(StackBitmapId(count), expected[count]) << count;
    }
}

TEST(FaceTables, StatusIconByStateReservationAndBlink) {
    const struct {
        LONG state;
        LONG reservedFor;
        bool blinkOn;
        UINT icon;
        bool lowered;
    } cases[] = {
        {1, 2, true, 218, false},   {2, 0, false, 218, false}, {16, 3, true, 218, false},
        {17, 5, false, 218, false}, {6, 2, true, 215, false},  {6, 2, false, 0, false},
        {9, 3, true, 214, false},   {15, 0, true, 214, false}, {14, 2, true, 237, false},
        {5, 2, true, 208, false},   {5, 3, true, 207, true},   {3, 4, false, 206, false},
        {5, 5, true, 205, true},    {3, 0, true, 201, false},  {3, 7, true, 201, false},
        {5, 0, true, 0, false},     {0, 0, true, 0, false},    {8, 1, true, 0, false},
    };
    for (const auto& c : cases) {
        const StatusIcon icon = StatusIconFor(c.state, c.reservedFor, c.blinkOn);
        EXPECT_EQ(icon.id, c.icon) << c.state << " " << c.reservedFor << " " << c.blinkOn;
        EXPECT_EQ(icon.lowered, c.lowered) << c.state << " " << c.reservedFor;
    }
}

CDelivery* Delivery(LONG id, SHORT state, double value, LONG lockedBy = -1, LONG age = 0) {
    auto* delivery = new CDelivery;
    delivery->DeliveryID = id;
    delivery->DeliveryState = state;
    delivery->Value = value;
    delivery->Volume = value / 2;
    delivery->Price = 2.0;
    delivery->ShortGradeName = "D" + std::to_string(id);
    delivery->LockedBy = lockedBy;
    delivery->Age = age;
    return delivery;
}

PumpProperties LivePump() {
    PumpProperties pump;
    pump.Number = 7;
    pump.PumpState = 8;
    pump.CurHoseNumber = 1;
    pump.CurVolume = FixedAmount::FromDouble(10.5);
    pump.CurValue = FixedAmount::FromDouble(21.0);
    pump.CurPrice = FixedAmount::FromDouble(2.0);
    pump.CurShortGradeName = "U91";
    return pump;
}

TEST(FaceDisplayedAmounts, TheFirstCurrentDeliveryReplacesTheLiveStateInItsColour) {
    const struct {
        const char* name;
        LONG lockedBy;
        double value;
        LONG age;
        COLORREF colour;
    } cases[] = {
        {"stacked", -1, 12.0, 30, 0x000000u},
        {"locked", 4, 12.0, 30, 0xC0C0C0u},
        {"locked and negative", 4, -12.0, -3, 0xC0C0C0u},
        {"negative value", -1, -12.0, 30, 0x0000C0u},
        {"overdue", -1, 12.0, -1, 0x0000C0u},
    };
    for (const auto& c : cases) {
        CElementList<CDelivery> deliveries;
        deliveries.Add(Delivery(1, 2, 99.0));  // stacked deliveries are not shown
        deliveries.Add(Delivery(2, 1, c.value, c.lockedBy, c.age));
        deliveries.Add(Delivery(3, 1, 55.0));  // only the first current one counts
        const DisplayedAmounts shown = DisplayedAmountsFor(LivePump(), deliveries);
        EXPECT_EQ(shown.colour, c.colour) << c.name;
        EXPECT_EQ(shown.value, FixedAmount::FromDouble(c.value)) << c.name;
        EXPECT_EQ(shown.volume, FixedAmount::FromDouble(c.value / 2)) << c.name;
        EXPECT_EQ(shown.price, FixedAmount::FromDouble(2.0)) << c.name;
        EXPECT_EQ(shown.shortGradeName, "D2") << c.name;
    }

    CElementList<CDelivery> onlyStacked;
    onlyStacked.Add(Delivery(1, 2, 99.0));
    const DisplayedAmounts live = DisplayedAmountsFor(LivePump(), onlyStacked);
    EXPECT_EQ(live.colour, 0x008000u);
    EXPECT_EQ(live.value, FixedAmount::FromDouble(21.0));
    EXPECT_EQ(live.shortGradeName, "U91");
    EXPECT_EQ(StackedDeliveryCount(onlyStacked), 1);
}

// Paints into a recording 80 by 80 surface DC (or a larger one with the face moved).
class FacePaintTest : public ::testing::Test {
  protected:
    void SetUp() override { setenv("LC_ALL", "en_US.UTF-8", 1); }

    std::vector<DrawingRecord> Paint(const PumpProperties& pump, CRect invalid = {0, 0, 80, 80},
                                     bool blinkOn = true, CRect bounds = {0, 0, 80, 80}) {
        SurfaceDC surface(120, 100, 0x123456);
        CDC dc;
        dc.Attach(surface.dc());
        StartDrawingLog(dc);
        dc.SetTextColor(0x0A0B0C);
        dc.SetBkMode(OPAQUE);
        // The container's own font, which every paint must leave selected.
        CFont containerFont;
        LOGFONTW logfont{};
        logfont.lfHeight = 13;
        containerFont.CreateFontIndirect(&logfont);
        const HGDIOBJ previousFont = ::SelectObject(dc.GetSafeHdc(), containerFont.GetSafeHandle());
        FacePainter painter(resources, faceOldBitmap);
        painter.Paint(dc, bounds, invalid, kBackground, pump, blinkOn, deliveries);
        EXPECT_EQ(dc.GetTextColor(), 0x0A0B0CU);
        EXPECT_EQ(dc.GetBkMode(), OPAQUE);
        EXPECT_EQ(::SelectObject(dc.GetSafeHdc(), previousFont), containerFont.GetSafeHandle())
            << "the paint left another font selected";
        std::vector<DrawingRecord> log = TakeDrawingLog(dc);
        dc.Detach();
        return log;
    }

    static std::vector<std::string> Summary(const std::vector<DrawingRecord>& log) {
        std::vector<std::string> lines;
        for (const DrawingRecord& r : log) {
            std::string line = r.operation;
            if (r.bitmapId != 0)
                line += " " + std::to_string(r.bitmapId);
            if (!r.text.empty())
                line += " \"" + r.text + "\"";
            line +=
                " @" + std::to_string(r.destination.left) + "," + std::to_string(r.destination.top);
            lines.push_back(line);
        }
        return lines;
    }

    static const DrawingRecord* Text(const std::vector<DrawingRecord>& log, const std::string& t) {
        for (const DrawingRecord& r : log)
            if (r.operation == "DrawText" && r.text == t)
                return &r;
        return nullptr;
    }

    FaceResources resources;
    CBitmap* faceOldBitmap = nullptr;
    CElementList<CDelivery> deliveries;

  private:
    test_support::LocaleVariables variables_;
};

TEST_F(FacePaintTest, AWholePaintDrawsEveryElementInOrder) {
    PumpProperties pump = LivePump();
    pump.PumpState = 5;
    pump.ReservedFor = 3;
    pump.CurHoseNumber = 0;
    const std::vector<std::string> expected = {
        "FillRect @0,0",
        "TransparentBlt 209 @0,0",
        "DrawText \"07\" @6,1",
        "DrawText \"10.500\" @9,18",
        "DrawText \"$21.00\" @9,30",
        "DrawText \"2.000/L\" @9,42",
        "TransparentBlt 216 @62,11",
        "TransparentBlt 217 @29,0",
        "DrawText \"U91\" @9,62",
        "TransparentBlt 207 @9,57",
    };
    const std::vector<DrawingRecord> log = Paint(pump);
    EXPECT_EQ(Summary(log), expected);

    EXPECT_EQ(log[0].fillColour, kBackground);
    EXPECT_EQ(log[1].keyColour, 0x800080u);
    EXPECT_EQ(log[1].sourceSize.cx, 62);
    EXPECT_EQ(log[1].sourceSize.cy, 80);
    EXPECT_EQ(log[2].fontFace, "Arial");
    EXPECT_EQ(log[2].fontHeight, 19);
    EXPECT_EQ(log[2].fontWeight, 700);
    EXPECT_EQ(log[2].textColour, 0xFFFFFFu);
    EXPECT_EQ(log[2].flags, DT_LEFT | DT_TOP | DT_NOCLIP | DT_NOPREFIX);
    EXPECT_EQ(log[3].fontHeight, 16);
    EXPECT_EQ(log[3].textColour, 0x008000u);
    EXPECT_EQ(log[3].flags, DT_RIGHT | DT_TOP | DT_NOCLIP | DT_NOPREFIX);
    EXPECT_EQ(log[3].destination.right, 55);
    EXPECT_EQ(log[8].fontFace, "MS Sans Serif");
    EXPECT_EQ(log[8].fontHeight, 10);
    EXPECT_EQ(log[8].textColour, 0xFFFFFFu);
    EXPECT_EQ(log[8].flags, DT_CENTER | DT_VCENTER | DT_NOCLIP | DT_NOPREFIX);
    EXPECT_EQ(faceOldBitmap, nullptr) << "the memory DC's bitmap was put back";
}

TEST_F(FacePaintTest, TheFaceFollowsItsBounds) {
    PumpProperties pump = LivePump();
    pump.PumpState = 3;
    const std::vector<DrawingRecord> log = Paint(pump, {20, 10, 100, 90}, true, {20, 10, 100, 90});
    const std::vector<std::string> expected = {
        "FillRect @20,10",
        "TransparentBlt 209 @20,10",
        "DrawText \"07\" @26,11",
        "DrawText \"10.500\" @29,28",
        "DrawText \"$21.00\" @29,40",
        "DrawText \"2.000/L\" @29,52",
        "TransparentBlt 204 @82,21",
        "TransparentBlt 217 @49,10",
        "DrawText \"U91\" @29,72",
        "TransparentBlt 201 @29,55",
    };
    EXPECT_EQ(Summary(log), expected);
}

TEST_F(FacePaintTest, PumpNumbers) {
    const struct {
        LONG number;
        SHORT current;
        const char* text;
        COLORREF colour;
    } cases[] = {{7, 0, "07", 0xFFFFFFu},
                 {7, 1, "07", 0x0000C0u},
                 {123, 0, "123", 0xFFFFFFu},
                 {0, 1, nullptr, 0},
                 {-4, 0, nullptr, 0}};
    for (const auto& c : cases) {
        PumpProperties pump = LivePump();
        pump.Number = c.number;
        pump.IsCurrentPump = c.current;
        const std::vector<DrawingRecord> log = Paint(pump, {0, 0, 30, 18});
        const DrawingRecord* number = log.size() > 2 ? &log[2] : nullptr;
        if (c.text == nullptr) {
            EXPECT_TRUE(number == nullptr || number->operation != "DrawText") << c.number;
        } else {
            ASSERT_NE(number, nullptr) << c.number;
            EXPECT_EQ(number->text, c.text);
            EXPECT_EQ(number->textColour, c.colour) << c.number;
        }
    }
}

TEST_F(FacePaintTest, ZeroAndNegativeAmounts) {
    PumpProperties pump = LivePump();
    pump.CurVolume = FixedAmount::FromDouble(0);
    pump.CurValue = FixedAmount::FromDouble(-3.5);
    pump.CurPrice = FixedAmount::FromDouble(-1.0);
    std::vector<DrawingRecord> log = Paint(pump);
    EXPECT_EQ(Text(log, "$3.50")->destination.top, 30) << "the absolute value";
    for (const DrawingRecord& r : log) {
        EXPECT_NE(r.destination.top, 18) << r.operation << " " << r.text << ": no volume";
        EXPECT_EQ(r.text.find("/L"), std::string::npos) << "no price at or below 0";
    }

    pump.CurVolume = FixedAmount::FromDouble(-0.25);
    pump.CurValue = FixedAmount::FromDouble(0);
    pump.CurPrice = FixedAmount::FromDouble(12.345);
    log = Paint(pump);
    EXPECT_NE(Text(log, "0.250"), nullptr);
    EXPECT_NE(Text(log, "2.345/L"), nullptr) << "the last five characters before /L";
    for (const DrawingRecord& r : log) {
        EXPECT_NE(r.destination.top, 30) << r.text << ": no value row";
    }
}

// The price row shows a price above 0 only: exactly 0 shows nothing, while the smallest
// positive price shows even when its text rounds to zero.
TEST_F(FacePaintTest, ThePriceShowsOnlyAboveZero) {
    const struct {
        double price;
        const char* text;  // null: no price row
    } cases[] = {{0, nullptr},
                 {-0.0001, nullptr},
                 {0.0001, "0.000/L"},
                 {0.001, "0.001/L"},
                 {2.5, "2.500/L"}};
    for (const auto& c : cases) {
        PumpProperties pump = LivePump();
        pump.CurPrice = FixedAmount::FromDouble(c.price);
        const std::vector<DrawingRecord> log = Paint(pump);
        const DrawingRecord* row = nullptr;
        for (const DrawingRecord& r : log) {
            if (r.operation == "DrawText" && r.destination.top == 42)
                row = &r;
        }
        if (c.text == nullptr) {
            EXPECT_EQ(row, nullptr) << c.price << " showed " << (row ? row->text : "");
        } else {
            ASSERT_NE(row, nullptr) << c.price;
            EXPECT_EQ(row->text, c.text) << c.price;
        }
    }
}

// A bitmap that failed to load is drawn as nothing, and everything else of the face still is.
TEST_F(FacePaintTest, ABitmapThatFailedToLoadLeavesTheRestOfTheFace) {
    PumpProperties pump = LivePump();
    pump.PumpState = 3;
    ASSERT_NE(resources.Bitmap(209), nullptr);
    resources.Bitmap(209)->DeleteObject();  // as a load that failed leaves it
    resources.Bitmap(201)->DeleteObject();
    ASSERT_EQ(resources.Bitmap(209), nullptr);
    const std::vector<std::string> expected = {
        "FillRect @0,0",
        "DrawText \"07\" @6,1",
        "DrawText \"10.500\" @9,18",
        "DrawText \"$21.00\" @9,30",
        "DrawText \"2.000/L\" @9,42",
        "TransparentBlt 204 @62,11",
        "TransparentBlt 217 @29,0",
        "DrawText \"U91\" @9,62",
    };
    EXPECT_EQ(Summary(Paint(pump)), expected);
    EXPECT_EQ(faceOldBitmap, nullptr) << "the memory DC's bitmap was put back";
}

TEST_F(FacePaintTest, AValueLosesItsBlanksBeforeItsLastSevenCharacters) {
    setenv("LC_ALL", "pt_BR.UTF-8", 1);
    PumpProperties pump = LivePump();
    pump.CurValue = FixedAmount::FromDouble(1.5);
    EXPECT_NE(Text(Paint(pump), "R$ 1,50"), nullptr);
    pump.CurValue = FixedAmount::FromDouble(1234.5);
    EXPECT_NE(Text(Paint(pump), "1234,50"), nullptr);
    pump.CurValue = FixedAmount::FromDouble(123.45);
    EXPECT_NE(Text(Paint(pump), "$123,45"), nullptr);
}

TEST_F(FacePaintTest, TheStackIndicatorCountsStackedDeliveriesOnly) {
    for (int i = 1; i <= 5; ++i)
        deliveries.Add(Delivery(i, 2, i));
    deliveries.Add(Delivery(9, 1, 3.0));
    const std::vector<DrawingRecord> log = Paint(LivePump(), {28, 0, 79, 12});
    EXPECT_EQ(Summary(log),
              (std::vector<std::string>{"FillRect @28,0", "TransparentBlt 209 @0,0",
                                        "TransparentBlt 202 @62,11", "TransparentBlt 219 @29,0"}));
    deliveries.First();
    deliveries.DeleteCurrent();
    EXPECT_EQ(Summary(Paint(LivePump(), {28, 0, 79, 12}))[3], "TransparentBlt 213 @29,0");
}

// A status that changes only the amounts repaints its rectangle over the face drawn before, as
// the window system clips a paint to its update region: what the face then shows must be what a
// whole paint of the new amounts shows, pixel for pixel, with no ink of the old amounts left.
TEST_F(FacePaintTest, AnAmountsRepaintLeavesNothingOfTheOldAmounts) {
    const auto paintInto = [this](platform::PixelSurface& surface, const PumpProperties& pump,
                                  const CRect& invalid) {
        CDC dc;
        dc.Attach(CreateSurfaceDC(surface, POINT{0, 0}, {RECT(invalid)}));
        FacePainter painter(resources, faceOldBitmap);
        painter.Paint(dc, CRect{0, 0, 80, 80}, invalid, kBackground, pump, true, deliveries);
        ::DeleteDC(dc.Detach());
    };
    const struct {
        const char* what;
        double volume, value, price;
        CRect repaint;
    } cases[] = {
        {"volume and value", 10.503, 21.47, 2.0, kFaceVolumeAndValueRepaint},
        {"a shorter value", 2.95, 5.9, 2.0, kFaceVolumeAndValueRepaint},  // the sign moves
        {"every amount", 10.7, 22.47, 2.1, kFaceAmountsRepaint},
    };
    for (const auto& c : cases) {
        PumpProperties after = LivePump();
        after.CurVolume = FixedAmount::FromDouble(c.volume);
        after.CurValue = FixedAmount::FromDouble(c.value);
        after.CurPrice = FixedAmount::FromDouble(c.price);
        SurfaceDC repainted(80, 80, 0x123456);
        paintInto(repainted.surface(), LivePump(), CRect{0, 0, 80, 80});
        paintInto(repainted.surface(), after, c.repaint);
        SurfaceDC whole(80, 80, 0x123456);
        paintInto(whole.surface(), after, CRect{0, 0, 80, 80});
        int stale = 0;
        for (int y = 0; y < 80; ++y)
            for (int x = 0; x < 80; ++x)
                stale += repainted.at(x, y) != whole.at(x, y) ? 1 : 0;
        EXPECT_EQ(stale, 0) << c.what << ": pixels of the old amounts left by the repaint";
    }
}

TEST_F(FacePaintTest, AReadoutsRepaintDrawsOnlyTheBodyAndTheReadouts) {
    const std::vector<std::string> expected = {
        "FillRect @1,18", "TransparentBlt 209 @0,0", "DrawText \"10.500\" @9,18",
        "DrawText \"$21.00\" @9,30", "DrawText \"2.000/L\" @9,42"};
    EXPECT_EQ(Summary(Paint(LivePump(), kFaceAmountsRepaint)), expected);
    EXPECT_EQ(Summary(Paint(LivePump(), kFaceVolumeAndValueRepaint)), expected)
        << "the price row starts at 42, inside the rectangle";
    EXPECT_EQ(Summary(Paint(LivePump(), {70, 0, 80, 5})),
              (std::vector<std::string>{"FillRect @70,0", "TransparentBlt 217 @29,0"}));
}

TEST_F(FacePaintTest, TheQuestionMarkBlinksAndLowIconsSitTwelvePixelsLower) {
    PumpProperties pump = LivePump();
    pump.PumpState = 6;
    const CRect status{9, 45, 55, 80};
    EXPECT_EQ(Summary(Paint(pump, status, true)).back(), "TransparentBlt 215 @9,45");
    EXPECT_EQ(Summary(Paint(pump, status, false)).back(), "DrawText \"U91\" @9,62");

    pump.PumpState = 5;
    pump.ReservedFor = 5;
    EXPECT_EQ(Summary(Paint(pump, status)).back(), "TransparentBlt 205 @9,57");
    pump.ReservedFor = 4;
    EXPECT_EQ(Summary(Paint(pump, status)).back(), "TransparentBlt 206 @9,45");
}

TEST_F(FacePaintTest, DeliveryColoursOnTheReadouts) {
    deliveries.Add(Delivery(1, 1, 8.0, 3));
    PumpProperties pump = LivePump();
    pump.PumpState = 0;
    const std::vector<DrawingRecord> log = Paint(pump);
    EXPECT_EQ(log[1].bitmapId, 238U) << "the hatched body in state 0";
    EXPECT_EQ(Text(log, "4.000")->textColour, 0xC0C0C0u);
    EXPECT_EQ(Text(log, "$8.00")->textColour, 0xC0C0C0u);
    EXPECT_EQ(Text(log, "D1")->textColour, 0xFFFFFFu);
}

TEST_F(FacePaintTest, NoKeyColouredPixelReachesTheScreen) {
    SurfaceDC surface(80, 80, 0x123456);
    CDC dc;
    dc.Attach(surface.dc());
    PumpProperties pump = LivePump();
    pump.PumpState = 3;
    for (int i = 1; i <= 5; ++i)
        deliveries.Add(Delivery(i, 2, i));
    FacePainter painter(resources, faceOldBitmap);
    painter.Paint(dc, {0, 0, 80, 80}, {0, 0, 80, 80}, kBackground, pump, true, deliveries);
    dc.Detach();
    int background = 0;
    for (int y = 0; y < 80; ++y) {
        for (int x = 0; x < 80; ++x) {
            ASSERT_NE(surface.at(x, y), 0x800080U) << x << "," << y;
            ASSERT_NE(surface.at(x, y), 0x123456U) << x << "," << y << ": the whole face is filled";
            background += surface.at(x, y) == 0xD0D0D0U ? 1 : 0;
        }
    }
    EXPECT_GT(background, 0) << "the background shows around the body and nozzle";
    EXPECT_LT(background, 80 * 80 / 2);
}

}  // namespace
}  // namespace tolvan
