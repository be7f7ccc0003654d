// One face as tolvan-face shows it: the pump's status, its deliveries, the locale and the blink
// phase, and the command-line options that describe it.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "apps/tolvan-face/scripted_client.h"

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
    // False: the site answers no ambient property, as Wine's AtlAxWin site (which has no
    // IDispatch) does; the control then paints its default background, the window colour.
    bool ambient = true;
    std::string caption;
};

// The options of one face: --state S --reserved R --hose N --volume V --value V --price P
// --stack N --current-delivery plain|locked|overdue|negative --number N --grade NAME
// --current-pump --blink on|off --popup --stack-mode N --name TEXT --formats P,V,V (the
// price, volume and value display format codes) --no-ambient. Parses args[first..] that it
// knows; returns an error text for a bad value, nothing when all went well. Unknown options are
// left to the caller in `rest`.
std::optional<std::string> ParseFaceOptions(const std::vector<std::string>& args, FaceCase* face,
                                            std::vector<std::string>* rest);

}  // namespace tolvan_face
