// One face as tolvan-face shows it: the pump's status, its deliveries, the locale and the blink
// phase, and the command-line options that describe it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "apps/tolvan-face/scripted_client.h"
#include "platform/gdi.h"

namespace tolvan_face {

// The kind of the current delivery (state 1) a face shows instead of the live amounts.
enum class CurrentDelivery { None, Plain, Locked, Overdue, Negative };

struct FaceCase {
    ScriptedPump pump;
    int stacked = 0;  // deliveries in state 2
    CurrentDelivery current = CurrentDelivery::None;
    bool isCurrentPump = false;
    bool blinkOn = true;  // false: one second of blinking has passed
    // The delivery popup instead of the face: a current, an overdue, a locked and a drive-off
    // delivery, the buttons as the pump's state and stack mode allow them.
    bool popup = false;
    std::string caption;
    // The site's ambient BackColor as an OLE_COLOR (the button face colour of a point-of-sale
    // form by default); none: the site answers no BackColor, as a host without ambient
    // properties, and the control paints with its default, the window colour.
    std::optional<std::uint32_t> ambientBackColor = 0x80000000u | COLOR_BTNFACE;
};

// The options of one face: --state S --reserved R --hose N --volume V --value V --price P
// --stack N --current-delivery plain|locked|overdue|negative --number N --grade NAME
// --current-pump --blink on|off --popup --stack-mode N --name TEXT --back-colour #RRGGBB|none
// --formats P,V,V (the price, volume and value display format codes). Parses args[first..] that
// it knows; returns an error text for a bad value, nothing when all went well. Unknown options
// are left to the caller in `rest`.
std::optional<std::string> ParseFaceOptions(const std::vector<std::string>& args, FaceCase* face,
                                            std::vector<std::string>* rest);

}  // namespace tolvan_face
