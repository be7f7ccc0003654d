// The click rules of the pump face.
#include "control/face_click.h"

#include "client/pump_codes.h"

namespace tolvan {

namespace {

ClickAction CommandWithoutDeliveries(LONG pumpState) {
    using namespace pump_state;
    switch (pumpState) {
        case kCalling:
            return ClickAction::Authorise;
        case kTempStopped:
            return ClickAction::ReAuthorise;
        case kStarting:
        case kDelivering:
        case kNearLimit:
        case kPrepayNearLimit:
            return ClickAction::TempStop;
        case kAuthorised:
            return ClickAction::CancelAuthorise;
        default:
            return ClickAction::OpenPopup;
    }
}

bool StateSelectsTheDelivery(LONG pumpState) {
    using namespace pump_state;
    switch (pumpState) {
        case kError2:
        case kIdle:
        case kAuthorised:
        case kStoppedByController:
        case kError17:
            return true;
        default:
            return false;
    }
}

}  // namespace

ClickAction ChooseClickAction(LONG popupMode, bool popupOpen, LONG pumpState,
                              CElementList<CDelivery>& deliveries) {
    if (popupMode == 1 || popupOpen) {
        return ClickAction::None;
    }
    if (popupMode != 2) {
        return ClickAction::OpenPopup;
    }
    CDelivery* first = deliveries.First();
    if (first == nullptr) {
        return CommandWithoutDeliveries(pumpState);
    }
    if (deliveries.Count() != 1) {
        return ClickAction::OpenPopup;
    }
    return StateSelectsTheDelivery(pumpState) && first->DeliveryState == delivery_state::kCurrent
               ? ClickAction::SelectDelivery
               : ClickAction::OpenPopup;
}

}  // namespace tolvan
