// What a left click on the pump face does, by PopupMode, the pump's state and its deliveries:
// a pump command, selecting the one current delivery, opening the popup, or nothing.
#pragma once

#include "control/delivery.h"
#include "control/element_list.h"

namespace tolvan {

enum class ClickAction {
    None,             // PopupMode 1, or a popup is open: the click only moves the current pump
    Authorise,        // state 6, no deliveries
    ReAuthorise,      // state 9, no deliveries
    TempStop,         // states 7, 8, 10, 12, no deliveries
    CancelAuthorise,  // state 5, no deliveries: TempStop follows when it answers 25, else the popup
    SelectDelivery,   // the one delivery, current, in states 2, 3, 5, 15, 17: DeliverySelectedEvent
    OpenPopup,
};

// The action for a click. With PopupMode 2 the list decides: empty, a command by state; exactly
// one delivery, selecting it when it is current and the state allows; more, the popup. Any
// other mode but 1 opens the popup. Walks `deliveries` from its first element (the list's cursor
// ends on the one delivery when it is selected).
ClickAction ChooseClickAction(LONG popupMode, bool popupOpen, LONG pumpState,
                              CElementList<CDelivery>& deliveries);

// The result of PumpCancelAuthorise on which a click or popup sends TempStop.
inline constexpr LONG kDeliveryAlreadyStarted = 25;

}  // namespace tolvan
