// The calls of the live forecourt beside the flat interface's: the pump commands, reading a
// pump's status and deliveries, the customer actions and faults of the simulated forecourt,
// the manual clock, and the ticket that opens the events port. They travel in the same frames
// and are marshalled the same way (marshal.h) from the function types declared below; their
// codes lie from 200 up, apart from the flat calls'.
//
// The events port: a client connects, sends one request Subscribe(ticket) with a ticket from
// OpenEvents on its logged-on call connection, and gets a response (0, or a refusal after
// which the server closes). From then on the server sends event frames (kind 3) only: the
// call field holds the event code, the sequence field numbers the subscriber's events from 1
// without a gap, so that a jump tells the client it missed some and must read afresh.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <vector>

#include "kestro/wire/calls.h"
#include "kestro/wire/marshal.h"
#include "platform/oleauto.h"

namespace kestro::wire {

// Function types of the pump calls, in the forms marshal.h knows. Declared only.
namespace pump_signatures {
using I16 = std::int16_t;
using I32 = std::int32_t;
using I64 = std::int64_t;
I32 OpenEvents(I32* ticket);
I32 Subscribe(I32 ticket);
// pump ID; State, ReservedFor, ReservedBy, HoseID, HoseNumber, GradeID, GradeName,
// ShortGradeName, PriceLevel, Price, Volume, Value, StackSize
I32 ReadPumpStatus(I32 pumpId, I16* state, I16* reservedFor, I32* reservedBy, I32* hoseId,
                   I16* hoseNumber, I32* gradeId, BSTR* gradeName, BSTR* shortGradeName,
                   I16* priceLevel, double* price, double* volume, double* value, I16* stackSize);
// pump ID, index (1 = oldest unpaid); ID, Type, State, HoseID, HoseNumber, GradeID,
// GradeName, ShortGradeName, PriceLevel, Price, Volume, Value, LockedBy, ReservedBy, Age,
// CompletedDT, AttendantID, VolumeETot, Volume2ETot, ValueETot
I32 ReadPumpDelivery(I32 pumpId, I16 index, I32* id, I16* type, I16* state, I32* hoseId,
                     I16* hoseNumber, I32* gradeId, BSTR* gradeName, BSTR* shortGradeName,
                     I16* priceLevel, double* price, double* volume, double* value, I32* lockedBy,
                     I32* reservedBy, I32* age, double* completedDate, I32* attendantId,
                     double* volumeTotal, double* volume2Total, double* valueTotal);
I32 ReadPumpDeliveryCount(I32 pumpId, I32* count);
I32 CurrentPump(I32 pumpId);
I32 PumpCommand(I32 pumpId);
I32 PumpLimitCommand(I32 pumpId, I16 limitType, double limit, I16 hose, I16 priceLevel);
I32 PumpWithId(I32 pumpId, I32 otherId);
I32 PumpFault(I32 pumpId, I16 state);
I32 ClockTick(I32 ms, I64* nowMs);
I32 SetFlowRate(double litresPerSecond);
}  // namespace pump_signatures

// The most one ClockTick may move the manual clock (10 minutes): the server steps it with the
// station held, so that the bound keeps every other client's wait short (a fraction of a
// second on the sample station, about 2 s on the maximal one with the demo).
inline constexpr std::int32_t kMaxClockTickMs = 600000;

// X(code, name, signature) for every pump call; `signature` names a declaration above.
#define KESTRO_WIRE_PUMP_CALLS(X)                        \
    X(200, OpenEvents, OpenEvents)                       \
    X(201, Subscribe, Subscribe)                         \
    X(202, ReadPumpStatus, ReadPumpStatus)               \
    X(203, ReadPumpDelivery, ReadPumpDelivery)           \
    X(204, ReadPumpDeliveryCount, ReadPumpDeliveryCount) \
    X(205, CurrentPump, CurrentPump)                     \
    X(210, PumpAuthorise, PumpCommand)                   \
    X(211, PumpCancelAuthorise, PumpCommand)             \
    X(212, PumpTempStop, PumpCommand)                    \
    X(213, PumpReAuthorise, PumpCommand)                 \
    X(214, PumpTerminateDelivery, PumpCommand)           \
    X(215, PumpStackCurrentDelivery, PumpCommand)        \
    X(216, PumpAttendantAuthorise, PumpWithId)           \
    X(217, PumpAttendantLogon, PumpWithId)               \
    X(220, PumpPrepayReserve, PumpCommand)               \
    X(221, PumpPrepayCancel, PumpCommand)                \
    X(222, PumpPrepayAuthorise, PumpLimitCommand)        \
    X(223, PumpPreauthReserve, PumpCommand)              \
    X(224, PumpPreauthCancel, PumpCommand)               \
    X(225, PumpPreauthAuthorise, PumpLimitCommand)       \
    X(226, PumpLoadPreset, PumpLimitCommand)             \
    X(230, CustomerLift, PumpWithId)                     \
    X(231, CustomerHang, PumpCommand)                    \
    X(232, CustomerPay, PumpWithId)                      \
    X(233, CustomerDriveOff, PumpWithId)                 \
    X(234, PumpFault, PumpFault)                         \
    X(235, ClockTick, ClockTick)                         \
    X(236, SetFlowRate, SetFlowRate)

namespace pump_calls {
#define KESTRO_WIRE_PUMP_CODE(code, name, signature) \
    inline constexpr CallCode name = static_cast<CallCode>(code);
KESTRO_WIRE_PUMP_CALLS(KESTRO_WIRE_PUMP_CODE)
#undef KESTRO_WIRE_PUMP_CODE
}  // namespace pump_calls

#define KESTRO_WIRE_PUMP_SIGNATURE(code, name, signature)  \
    template <>                                            \
    struct CallSignature<pump_calls::name> {               \
        using type = decltype(pump_signatures::signature); \
    };
KESTRO_WIRE_PUMP_CALLS(KESTRO_WIRE_PUMP_SIGNATURE)
#undef KESTRO_WIRE_PUMP_SIGNATURE

inline constexpr std::array kPumpCalls = {
#define KESTRO_WIRE_PUMP_INFO(code, name, signature) CallInfo{pump_calls::name, #name},
    KESTRO_WIRE_PUMP_CALLS(KESTRO_WIRE_PUMP_INFO)
#undef KESTRO_WIRE_PUMP_INFO
};

// The flat or pump call with the code `code`, or null.
constexpr const CallInfo* FindAnyCall(std::uint16_t code) {
    if (const CallInfo* call = FindCall(code)) {
        return call;
    }
    for (const CallInfo& call : kPumpCalls) {
        if (static_cast<std::uint16_t>(call.code) == code) {
            return &call;
        }
    }
    return nullptr;
}

// Codes of the event frames.
enum class EventCode : std::uint16_t {
    // pump ID (32), State (16), ReservedFor (16), ReservedBy (32), HoseID (32), HoseNumber
    // (16), GradeID (32), GradeName, ShortGradeName (strings), PriceLevel (16), Price, Volume,
    // Value (doubles), StackSize (16), emitted at (64: microseconds of the server's monotonic
    // clock, for latency figures on one machine)
    kStatus = 1,
    // pump ID (32), DeliveryID (32), HoseID (32), HoseNumber (16), GradeID (32), GradeName,
    // ShortGradeName (strings), PriceLevel (16), Price, Volume, Value (doubles),
    // DeliveryState (16), DeliveryType (16), LockedBy (32), ReservedBy (32), Age (32),
    // CompletedDT (double), AttendantID (32), VolumeETot, Volume2ETot, ValueETot (doubles),
    // emitted at (64)
    kDelivery = 2,
};

// The server's handlers of the pump calls, null where not served.
struct PumpCallTable {
#define KESTRO_WIRE_PUMP_SLOT(code, name, signature) CallFunction<pump_calls::name>* name = nullptr;
    KESTRO_WIRE_PUMP_CALLS(KESTRO_WIRE_PUMP_SLOT)
#undef KESTRO_WIRE_PUMP_SLOT
};

// True when `code` is one of the pump calls.
bool IsPumpCall(std::uint16_t code);

// As DispatchRequest (call_dispatcher.h), for a request frame of a pump call.
DispatchResult DispatchPumpRequest(const PumpCallTable& table,
                                   std::span<const std::uint8_t> request,
                                   std::vector<std::uint8_t>& response);

}  // namespace kestro::wire
