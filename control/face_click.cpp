// The click rules of the pump face.
#include "control/face_click.h"

namespace tolvan {

namespace {

ClickAction CommandWithoutDeliveries(LONG pumpState) {
    switch (pumpState) {
        case 6:
            return ClickAction::Authorise;
        case 9:
            return ClickAction::ReAuthorise;
        case 7:
        case 8:
        case 10:
        case 12:
            return ClickAction::TempStop;
        case 5:
            return ClickAction::CancelAuthorise;
        default:
            return ClickAction::OpenPopup;
    }
}

bool StateSelectsTheDelivery(LONG pumpState) {
    switch (pumpState) {
        case 2:
        case 3:
        case 5:
        case 15:
        case 17:
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
    return StateSelectsTheDelivery(pumpState) && first->DeliveryState == 1
               ? ClickAction::SelectDelivery
               : ClickAction::OpenPopup;
}

}  // namespace tolvan
