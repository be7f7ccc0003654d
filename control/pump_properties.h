// The pump's configuration and live state as the control keeps it, with the defaults a new
// control starts from, and the reset that forgets a pump. Plain data: the control publishes it
// through _DTolvan and the client link fills it.
#pragma once

#include <string>

#include "common/fixed_amount.h"
#include "platform/oleauto.h"
#include "platform/win_types.h"

namespace tolvan {

// Fields in the control's declaration order; names as the automation properties. Text is
// UTF-8. The codes stored in 32 bits (PumpState, ReservedFor, the display formats) hold 16-bit
// codes, sign-extended.
struct PumpProperties {
    LONG ID = -1;     // the pump's identifier in the client object; -1 = no pump
    LONG Number = 0;  // 0 also means the pump's data has not been loaded
    std::string Name;
    SHORT PhysicalNumber = 0;
    SHORT Side = 0;
    SHORT Address = 0;
    SHORT PriceLevel1 = 0;
    SHORT PriceLevel2 = 0;
    SHORT Type = 0;
    LONG PortID = -1;
    LONG AttendantID = -1;
    SHORT AuthMode = 0;
    SHORT StackMode = 0;
    SHORT PrepayAllowed = 0;
    SHORT PreauthAllowed = 0;
    LONG PumpState = 0;
    LONG ReservedFor = 0;
    LONG ReservedBy = -1;
    LONG CurHoseID = -1;
    SHORT CurHoseNumber = 0;  // 0: no hose in use
    std::string CurGradeName;
    std::string CurShortGradeName;
    LONG CurGradeID = -1;
    SHORT CurPriceLevel = 1;
    FixedAmount CurPrice;
    FixedAmount CurVolume;
    FixedAmount CurValue;
    SHORT StackSize = 0;
    LONG PriceDspFormat = 1;
    LONG VolumeDspFormat = 9;
    LONG ValueDspFormat = 10;
    SHORT IsCurrentPump = 0;  // set by the container; nonzero marks the current pump

    // Every field but ID back to its default (IsCurrentPump included): the control no longer
    // shows a pump's data.
    void ResetPumpFields();
};

// Settings of the control that the container makes and the pump's data leaves alone.
struct ControlSettings {
    bool BeepEnabled = false;
    LONG PopupMode = 1;  // what a click on the face does: 1, 2 or 3
};

// Whether `mode` is a PopupMode the control accepts (1, 2 or 3).
bool IsValidPopupMode(LONG mode);

// `text` without its trailing blanks / without blanks at either end. Blanks are the white-space
// characters (space, tab, line feed, carriage return, vertical tab, form feed).
std::string TrimTrailingBlanks(std::string text);
std::string TrimBlanks(std::string text);

// The text behind a by-reference BSTR argument, as UTF-8; a null pointer reads as empty.
std::string Utf8Of(const BSTR* text);

}  // namespace tolvan
