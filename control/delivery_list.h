// The pump's deliveries as the control keeps them (Deliveries): the current and the stacked
// ones, in arrival order, at most one per DeliveryID, changed only by the delivery changes the
// client object reports. Apply says what a change did; the control beeps, repaints and raises
// the events from that, so the list's rules hold without a control (or a window) around them.
#pragma once

#include "control/delivery.h"
#include "control/element_list.h"
#include "platform/variant.h"

namespace tolvan {

// The values of a delivery change as the two delivery sinks receive them; a change without
// electronic totals carries 0 for the three of them.
struct DeliveryChange {
    LONG DeliveryID;  // -1: the pump has no delivery any more
    LONG HoseID;
    SHORT HoseNumber;
    LONG GradeID;
    BSTR* GradeName;  // by reference, as received; null reads as empty
    BSTR* ShortGradeName;
    SHORT PriceLevel;
    double Price;
    double Volume;
    double Value;
    SHORT DeliveryState;  // 1 current, 2 stacked: listed; any other state leaves the list
    SHORT DeliveryType;
    LONG LockedBy;
    LONG ReservedBy;
    LONG Age;
    DATE CompletedDT;
    LONG AttendantID;
    double VolumeETot;
    double Volume2ETot;
    double ValueETot;
};

// What one change did to the list, and what of the face shows it.
struct DeliveryListUpdate {
    enum class Change {
        kEmptied,  // DeliveryID -1: every delivery deleted
        kUpdated,  // a listed delivery took the change's state, type, lock, reservation, age
        kRemoved,  // a listed delivery left in another state
        kAdded,    // a new delivery in state 1 or 2, appended
        kNone,     // an unknown delivery in another state: nothing stored
    };
    Change change = Change::kNone;
    // The whole face (with erase) when the deciding state, the delivery's before the change or
    // the new one's, is 1 (and after kEmptied and kNone); else only the stack indicator.
    bool repaintWholeFace = true;
    // A new delivery arrived as the current one (the control beeps for it).
    bool currentArrived = false;
};

class DeliveryList : public CElementList<CDelivery> {
  public:
    // Applies `change`: finds the delivery by DeliveryID from the first element (the cursor
    // stays on it); a listed one keeps what it was created with and takes only the change's
    // state, type, LockedBy, ReservedBy and Age, its age timer restarted, or is deleted when
    // the new state is neither 1 nor 2; an unknown one in state 1 or 2 is created from every
    // value (names trimmed at both ends, age timer started) and appended as the cursor
    // element. DeliveryID -1 deletes every delivery.
    DeliveryListUpdate Apply(const DeliveryChange& change);
};

}  // namespace tolvan
