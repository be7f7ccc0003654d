// Tests of the click rules of the pump face: every PopupMode, an open popup, the commands of an
// empty list by pump state, the one current delivery, and lists of two or more.
#include <gtest/gtest.h>

#include "control/face_click.h"

namespace tolvan {
namespace {

const char* Name(ClickAction action) {
    switch (action) {
        case ClickAction::None:
            return "None";
        case ClickAction::Authorise:
            return "Authorise";
        case ClickAction::ReAuthorise:
            return "ReAuthorise";
        case ClickAction::TempStop:
            return "TempStop";
        case ClickAction::CancelAuthorise:
            return "CancelAuthorise";
        case ClickAction::SelectDelivery:
            return "SelectDelivery";
        case ClickAction::OpenPopup:
            return "OpenPopup";
    }
    return "?";
}

// A list of deliveries in the given states.
void Fill(CElementList<CDelivery>& list, std::initializer_list<SHORT> states) {
    LONG id = 1;
    for (SHORT state : states) {
        auto* delivery = new CDelivery;
        delivery->DeliveryID = id++;
        delivery->DeliveryState = state;
        list.Add(delivery);
    }
}

struct ClickCase {
    LONG popupMode;
    bool popupOpen;
    LONG state;
    std::initializer_list<SHORT> deliveries;
    ClickAction expected;
};

TEST(FaceClick, EveryRule) {
    using A = ClickAction;
    const ClickCase cases[] = {
        // PopupMode 1 and an open popup: nothing but the current pump.
        {1, false, 6, {}, A::None},
        {1, false, 3, {1}, A::None},
        {2, true, 6, {}, A::None},
        {3, true, 3, {}, A::None},
        // PopupMode 3 (and any mode the control would not store): the popup.
        {3, false, 6, {}, A::OpenPopup},
        {3, false, 3, {1}, A::OpenPopup},
        {0, false, 6, {}, A::OpenPopup},
        // PopupMode 2, no deliveries: a command by state, else the popup.
        {2, false, 6, {}, A::Authorise},
        {2, false, 9, {}, A::ReAuthorise},
        {2, false, 7, {}, A::TempStop},
        {2, false, 8, {}, A::TempStop},
        {2, false, 10, {}, A::TempStop},
        {2, false, 12, {}, A::TempStop},
        {2, false, 5, {}, A::CancelAuthorise},
        {2, false, 0, {}, A::OpenPopup},
        {2, false, 3, {}, A::OpenPopup},
        {2, false, 13, {}, A::OpenPopup},
        {2, false, 15, {}, A::OpenPopup},
        // One delivery: selected when current in states 2, 3, 5, 15, 17.
        {2, false, 2, {1}, A::SelectDelivery},
        {2, false, 3, {1}, A::SelectDelivery},
        {2, false, 5, {1}, A::SelectDelivery},
        {2, false, 15, {1}, A::SelectDelivery},
        {2, false, 17, {1}, A::SelectDelivery},
        {2, false, 6, {1}, A::OpenPopup},
        {2, false, 8, {1}, A::OpenPopup},
        {2, false, 16, {1}, A::OpenPopup},
        {2, false, 3, {2}, A::OpenPopup},
        // Two or more: the popup.
        {2, false, 3, {1, 2}, A::OpenPopup},
        {2, false, 6, {2, 2, 2}, A::OpenPopup},
    };
    for (const ClickCase& c : cases) {
        CElementList<CDelivery> deliveries;
        Fill(deliveries, c.deliveries);
        const ClickAction action = ChooseClickAction(c.popupMode, c.popupOpen, c.state, deliveries);
        EXPECT_STREQ(Name(action), Name(c.expected))
            << "PopupMode " << c.popupMode << (c.popupOpen ? " (popup open)" : "") << ", state "
            << c.state << ", " << c.deliveries.size() << " deliveries";
    }
}

}  // namespace
}  // namespace tolvan
