// The rules by which a delivery change enters, updates or leaves the pump's delivery list.
#include "control/delivery_list.h"

#include "client/pump_codes.h"
#include "control/pump_properties.h"

namespace tolvan {

namespace {

bool Listed(SHORT deliveryState) {
    return deliveryState == delivery_state::kCurrent || deliveryState == delivery_state::kStacked;
}

}  // namespace

DeliveryListUpdate DeliveryList::Apply(const DeliveryChange& c) {
    using Change = DeliveryListUpdate::Change;
    if (c.DeliveryID == -1) {
        Clear();
        return {Change::kEmptied, true, false};
    }
    CDelivery* delivery = First();
    while (delivery != nullptr && delivery->DeliveryID != c.DeliveryID) {
        delivery = Next();
    }
    if (delivery != nullptr) {
        const bool wasCurrent = delivery->DeliveryState == delivery_state::kCurrent;
        if (!Listed(c.DeliveryState)) {
            DeleteCurrent();
            return {Change::kRemoved, wasCurrent, false};
        }
        // Only the delivery's progress changes; what it was created with stays.
        delivery->DeliveryState = c.DeliveryState;
        delivery->DeliveryType = c.DeliveryType;
        delivery->LockedBy = c.LockedBy;
        delivery->ReservedBy = c.ReservedBy;
        delivery->Age = c.Age;
        delivery->AgeTimer.Restart();
        return {Change::kUpdated, wasCurrent, false};
    }
    if (!Listed(c.DeliveryState)) {
        return {Change::kNone, true, false};
    }
    auto* added = new CDelivery;
    added->DeliveryID = c.DeliveryID;
    added->HoseID = c.HoseID;
    added->HoseNumber = c.HoseNumber;
    added->GradeID = c.GradeID;
    added->GradeName = TrimBlanks(Utf8Of(c.GradeName));
    added->ShortGradeName = TrimBlanks(Utf8Of(c.ShortGradeName));
    added->PriceLevel = c.PriceLevel;
    added->Price = c.Price;
    added->Volume = c.Volume;
    added->Value = c.Value;
    added->DeliveryState = c.DeliveryState;
    added->DeliveryType = c.DeliveryType;
    added->LockedBy = c.LockedBy;
    added->ReservedBy = c.ReservedBy;
    added->Age = c.Age;
    added->CompletedDT = c.CompletedDT;
    added->AttendantID = c.AttendantID;
    added->VolumeETot = c.VolumeETot;
    added->Volume2ETot = c.Volume2ETot;
    added->ValueETot = c.ValueETot;
    Add(added);
    const bool current = c.DeliveryState == delivery_state::kCurrent;
    return {Change::kAdded, current, current};
}

}  // namespace tolvan
