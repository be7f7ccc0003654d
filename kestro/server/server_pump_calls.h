// The pump calls kestrod serves (kestro/wire/pump_calls.h): the live forecourt's commands,
// readings, customer actions, faults and clock, and the tickets of the events port. They act
// on the served station's LiveForecourt with the served station's mutex held, as the calls
// of the configuration do; without a forecourt they answer kCallNotSupported.
#pragma once

#include "kestro/wire/pump_calls.h"

namespace kestro::server {

wire::PumpCallTable ServerPumpCallTable();

}  // namespace kestro::server
