// The codes of a pump's status and of its deliveries as the Kestro interface carries them (flat
// calls, automation members and events), named once for the simulator that sets them and for
// the programs and the control that show and act on them. The values are the interface's: they
// travel as 16-bit integers, and each name converts to one where the interface wants a number.
#pragma once

#include <cstdint>

// A pump's State.
namespace pump_state {
enum Code : std::int16_t {
    kNotResponding = 0,
    kError1 = 1,  // 1, 2, 16 and 17 are error states
    kError2 = 2,
    kIdle = 3,        // locked: a lifted nozzle waits for an authorisation
    kAuthorised = 5,  // nozzle in its holder
    kCalling = 6,     // nozzle lifted, waiting for an authorisation
    kStarting = 7,
    kDelivering = 8,
    kTempStopped = 9,
    kNearLimit = 10,        // delivering within the last tenth of its limit
    kPrepayNearLimit = 12,  // the same for a prepaid delivery
    kLimitReached = 13,     // delivery ended at its limit, nozzle still out
    kPrepayStopped = 14,    // a prepaid delivery stopped for now
    kStoppedByController = 15,
    kError16 = 16,
    kError17 = 17,
};

constexpr bool IsError(int state) {
    return state == kError1 || state == kError2 || state == kError16 || state == kError17;
}
}  // namespace pump_state

// A pump's ReservedFor.
namespace reserved_for {
enum Code : std::int16_t {
    kNone = 0,
    kPrepayReserved = 2,
    kPrepayAuthorised = 3,
    kPreauthReserved = 4,
    kPreauthAuthorised = 5,
};
}  // namespace reserved_for

// A delivery's State: the current (completed, unpaid) and the stacked deliveries are a pump's
// unpaid ones; a cleared delivery has been paid and leaves the pump.
namespace delivery_state {
enum Code : std::int16_t {
    kCurrent = 1,
    kStacked = 2,
    kCleared = 3,
};
}  // namespace delivery_state

// A delivery's Type.
namespace delivery_type {
enum Code : std::int16_t {
    kNormal = 1,
    kPrepay = 2,
    kDriveOff = 3,
    kPreauth = 4,
};
}  // namespace delivery_type

// The LimitType of a prepay, preauth or preset limit.
namespace limit_type {
enum Code : std::int16_t {
    kValue = 1,   // a money value
    kVolume = 2,  // litres
};
}  // namespace limit_type
