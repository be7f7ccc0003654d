// Painting the pump face: the element table (test rectangles, anchors, conditions) and the
// tables that choose the nozzle, stack and status pictures.
#include "control/face_painter.h"

#include <cstdio>

#include "client/pump_codes.h"
#include "control/readout_text.h"

namespace tolvan {

namespace {

constexpr UINT kReadoutFlags = DT_RIGHT | DT_TOP | DT_NOCLIP | DT_NOPREFIX;

bool Touches(const CRect& test, const CRect& invalid) {
    CRect overlap;
    return overlap.IntersectRect(&test, &invalid) != FALSE;
}

}  // namespace

UINT NozzleBitmapId(SHORT curHoseNumber, LONG pumpState) {
    if (curHoseNumber == 0) {
        return 216;
    }
    switch (pumpState) {
        case pump_state::kDelivering:
            return 202;
        case pump_state::kLimitReached:
            return 203;
        default:
            return 204;
    }
}

UINT StackBitmapId(int stacked) {
    switch (stacked) {
        case 0:
            return 217;
        case 1:
            return 210;
        case 2:
            return 211;
        case 3:
            return 212;
        case 4:
            return 213;
        default:
            return 219;
    }
}

StatusIcon StatusIconFor(LONG pumpState, LONG reservedFor, bool blinkOn) {
    switch (pumpState) {
        case pump_state::kError1:
        case pump_state::kError2:
        case pump_state::kError16:
        case pump_state::kError17:
            return {218, false};
        case pump_state::kCalling:
            return blinkOn ? StatusIcon{215, false} : StatusIcon{};
        case pump_state::kTempStopped:
        case pump_state::kStoppedByController:
            return {214, false};
        case pump_state::kPrepayStopped:
            return {237, false};
        default:
            break;
    }
    switch (reservedFor) {
        case reserved_for::kPrepayReserved:
            return {208, false};
        case reserved_for::kPrepayAuthorised:
            return {207, true};
        case reserved_for::kPreauthReserved:
            return {206, false};
        case reserved_for::kPreauthAuthorised:
            return {205, true};
        default:
            return pumpState == pump_state::kIdle ? StatusIcon{201, false} : StatusIcon{};
    }
}

DisplayedAmounts DisplayedAmountsFor(const PumpProperties& pump,
                                     CElementList<CDelivery>& deliveries) {
    DisplayedAmounts shown{pump.CurVolume, pump.CurValue, pump.CurPrice, pump.CurShortGradeName,
                           kFaceLiveGreen};
    for (CDelivery* delivery = deliveries.First(); delivery != nullptr;
         delivery = deliveries.Next()) {
        if (delivery->DeliveryState != delivery_state::kCurrent) {
            continue;
        }
        shown.value = FixedAmount::FromDouble(delivery->Value);
        shown.volume = FixedAmount::FromDouble(delivery->Volume);
        shown.price = FixedAmount::FromDouble(delivery->Price);
        shown.shortGradeName = delivery->ShortGradeName;
        if (delivery->LockedBy != -1) {
            shown.colour = kFaceLockedGrey;
        } else if (delivery->Value < 0 || delivery->Age < 0) {
            shown.colour = kFaceRed;
        } else {
            shown.colour = kFaceStackedBlack;
        }
        break;
    }
    return shown;
}

int StackedDeliveryCount(CElementList<CDelivery>& deliveries) {
    int stacked = 0;
    for (CDelivery* delivery = deliveries.First(); delivery != nullptr;
         delivery = deliveries.Next()) {
        if (delivery->DeliveryState == delivery_state::kStacked) {
            ++stacked;
        }
    }
    return stacked;
}

void FacePainter::DrawFaceBitmap(int x, int y, CBitmap* bitmap, CDC& target, CDC& memory) {
    if (bitmap == nullptr) {
        return;
    }
    BITMAP info{};
    bitmap->GetBitmap(&info);
    CBitmap* replaced = memory.SelectObject(bitmap);
    if (faceOldBitmap_ == nullptr) {
        faceOldBitmap_ = replaced;
    }
    target.TransparentBlt(x, y, info.bmWidth, info.bmHeight, &memory, 0, 0, info.bmWidth,
                          info.bmHeight, kFaceKeyColour);
}

void FacePainter::Paint(CDC& target, const CRect& bounds, const CRect& invalid, COLORREF background,
                        const PumpProperties& pump, bool blinkOn,
                        CElementList<CDelivery>& deliveries) {
    const FaceLayout layout = FaceLayoutFor(bounds);
    const CRect& bodyArea = layout.body;
    const CRect& numberArea = layout.number;
    const CRect& volumeArea = layout.volume;
    const CRect& valueArea = layout.value;
    const CRect& priceArea = layout.price;
    const CRect& nozzleArea = layout.nozzle;
    const CRect& stackArea = layout.stack;
    const CRect& gradeArea = layout.grade;
    const CRect& statusArea = layout.status;

    CDC memory;
    memory.CreateCompatibleDC(&target);
    faceOldBitmap_ = nullptr;

    CFont* oldFont = target.SelectObject(&resources_.NumberFont());
    const COLORREF oldTextColour = target.SetTextColor(kFaceStackedBlack);
    const int oldMode = target.SetBkMode(TRANSPARENT);

    CBrush brush(background);
    target.FillRect(&invalid, &brush);

    if (Touches(bodyArea, invalid)) {
        DrawFaceBitmap(bodyArea.left, bodyArea.top,
                       resources_.Bitmap(pump.PumpState == pump_state::kNotResponding ? 238 : 209),
                       target, memory);
    }
    if (Touches(numberArea, invalid) && pump.Number > 0) {
        char number[16];
        std::snprintf(number, sizeof number, "%02d", static_cast<int>(pump.Number));
        CRect area = numberArea;
        target.SetTextColor(pump.IsCurrentPump != 0 ? kFaceRed : kFaceWhite);
        target.DrawText(number, -1, &area, DT_LEFT | DT_TOP | DT_NOCLIP | DT_NOPREFIX);
    }

    const DisplayedAmounts shown = DisplayedAmountsFor(pump, deliveries);
    const auto drawReadout = [&](const CRect& test, const std::string& text) {
        CRect area = test;
        target.SelectObject(&resources_.ReadoutFont());
        target.SetTextColor(shown.colour);
        target.DrawText(text, &area, kReadoutFlags);
    };
    if (Touches(volumeArea, invalid) && shown.volume.Count() != 0) {
        drawReadout(volumeArea, VolumeReadout(shown.volume, pump.VolumeDspFormat));
    }
    if (Touches(valueArea, invalid) && shown.value.Count() != 0) {
        drawReadout(valueArea, ValueReadout(shown.value, pump.ValueDspFormat));
    }
    if (Touches(priceArea, invalid) && shown.price.Count() > 0) {
        drawReadout(priceArea, PriceReadout(shown.price, pump.PriceDspFormat));
    }
    if (Touches(nozzleArea, invalid)) {
        DrawFaceBitmap(nozzleArea.left, nozzleArea.top,
                       resources_.Bitmap(NozzleBitmapId(pump.CurHoseNumber, pump.PumpState)),
                       target, memory);
    }
    if (Touches(stackArea, invalid)) {
        DrawFaceBitmap(stackArea.left, stackArea.top,
                       resources_.Bitmap(StackBitmapId(StackedDeliveryCount(deliveries))), target,
                       memory);
    }
    if (Touches(gradeArea, invalid) && !shown.shortGradeName.empty()) {
        CRect area = gradeArea;
        target.SelectObject(&resources_.GradeFont());
        target.SetTextColor(kFaceWhite);
        target.DrawText(shown.shortGradeName, &area,
                        DT_CENTER | DT_VCENTER | DT_NOCLIP | DT_NOPREFIX);
    }
    const StatusIcon icon = StatusIconFor(pump.PumpState, pump.ReservedFor, blinkOn);
    if (Touches(statusArea, invalid) && icon.id != 0) {
        DrawFaceBitmap(statusArea.left, icon.lowered ? statusArea.top + 12 : statusArea.top,
                       resources_.Bitmap(icon.id), target, memory);
    }

    target.SetBkMode(oldMode);
    target.SetTextColor(oldTextColour);
    if (oldFont != nullptr) {
        target.SelectObject(oldFont);
    }
    if (faceOldBitmap_ != nullptr) {
        memory.SelectObject(faceOldBitmap_);
    }
    memory.DeleteDC();
    // The wrapper of the original bitmap belonged to the memory DC.
    faceOldBitmap_ = nullptr;
}

}  // namespace tolvan
