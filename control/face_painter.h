// The pump face: what an 80 by 80 face shows for a pump's state and deliveries (the nozzle,
// stack and status tables, the displayed amounts and their colour) and the painting of it into
// a device context, element by element, skipping every element whose test rectangle misses
// the part to repaint.
#pragma once

#include <string>

#include "control/delivery.h"
#include "control/element_list.h"
#include "control/face_layout.h"
#include "control/face_resources.h"
#include "control/pump_properties.h"
#include "platform/afx/dc.h"

namespace tolvan {

// The nozzle bitmap: 216 without a hose in use, else 202 in state 8, 203 in state 13, 204.
UINT NozzleBitmapId(SHORT curHoseNumber, LONG pumpState);

// The stack indicator for `stacked` deliveries in state 2: 217, 210 to 213, 219 from 5 on.
UINT StackBitmapId(int stacked);

// The status icon, 0 for none; `lowered` for the 23-pixel icons 207 and 205, drawn 12 pixels
// lower so that every icon ends at the bottom of the face.
struct StatusIcon {
    UINT id = 0;
    bool lowered = false;
};
StatusIcon StatusIconFor(LONG pumpState, LONG reservedFor, bool blinkOn);

// What the readouts show: the live state in green, or the first current delivery (state 1)
// of the list in grey when locked, red when its value or received age is negative, else black.
// Walks `deliveries` from its first element (the list's cursor moves).
struct DisplayedAmounts {
    FixedAmount volume;
    FixedAmount value;
    FixedAmount price;
    std::string shortGradeName;
    COLORREF colour = kFaceLiveGreen;
};
DisplayedAmounts DisplayedAmountsFor(const PumpProperties& pump,
                                     CElementList<CDelivery>& deliveries);

// The number of deliveries in state 2 in the whole list (the list's cursor moves).
int StackedDeliveryCount(CElementList<CDelivery>& deliveries);

// Paints one face into `target` for the control whose field `faceOldBitmap` keeps the memory
// DC's original bitmap during the paint. `bounds` is the face's rectangle, `invalid` the part
// to repaint (filled with `background` first); the elements are drawn in their order, each
// only when its test rectangle meets `invalid`. The DC's font, text colour and background mode
// are restored at the end.
class FacePainter {
  public:
    FacePainter(FaceResources& resources, CBitmap*& faceOldBitmap)
        : resources_(resources), faceOldBitmap_(faceOldBitmap) {}

    void Paint(CDC& target, const CRect& bounds, const CRect& invalid, COLORREF background,
               const PumpProperties& pump, bool blinkOn, CElementList<CDelivery>& deliveries);

    // Draws `bitmap` (nothing for null) with its own size at (x, y) of `target` through
    // `memory`, leaving out the key colour; the bitmap stays selected in `memory`.
    void DrawFaceBitmap(int x, int y, CBitmap* bitmap, CDC& target, CDC& memory);

  private:
    FaceResources& resources_;
    CBitmap*& faceOldBitmap_;
};

}  // namespace tolvan
