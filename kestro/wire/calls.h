// The calls of the Kestro flat interface (client/kestro.h) as the wire protocol numbers
// them: one list, the codes that travel in a frame's call field, and each call's function
// type, from which marshal.h derives how its values travel.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "client/kestro.h"

namespace kestro::wire {

// X(code, name) for every call. A code never changes meaning once released: a new call
// takes a free code in its family's block of ten, a withdrawn call's code stays unused.
// ResultString and DllVersion are listed like the others, though a client library may
// answer them itself.
#define KESTRO_WIRE_CALLS(X)          \
    X(1, ClientLogonEx)               \
    X(2, SetClientType)               \
    X(3, ClientLogoff)                \
    X(4, ResultString)                \
    X(5, DllVersion)                  \
    X(6, ServerVersion)               \
    X(10, GetPortsCount)              \
    X(11, GetPortByOrdinal)           \
    X(12, GetPortProperties)          \
    X(13, SetPortProperties)          \
    X(14, GetZB2GConfig)              \
    X(15, GetDeviceDetails)           \
    X(20, GetGradesCount)             \
    X(21, GetGradeByOrdinal)          \
    X(22, GetGradePropertiesEx)       \
    X(23, SetGradePropertiesEx)       \
    X(24, GetGradePrice)              \
    X(25, SetGradePrice)              \
    X(30, GetTanksCount)              \
    X(31, GetTankByOrdinal)           \
    X(32, GetTankPropertiesEx2)       \
    X(33, SetTankPropertiesEx2)       \
    X(40, GetZigBeeCount)             \
    X(41, GetZigBeeByOrdinal)         \
    X(42, GetZigBeeProperties)        \
    X(43, SetZigBeeProperties)        \
    X(50, GetPumpsCount)              \
    X(51, GetPumpByOrdinal)           \
    X(52, GetPumpPropertiesEx)        \
    X(53, SetPumpPropertiesEx)        \
    X(54, GetPumpHosesCount)          \
    X(55, GetPumpHoseByNumber)        \
    X(56, GetHosePropertiesEx2)       \
    X(57, SetHosePropertiesEx2)       \
    X(60, GetSensorsCount)            \
    X(61, GetSensorByOrdinal)         \
    X(62, GetSensorPropertiesEx)      \
    X(63, SetSensorPropertiesEx)      \
    X(70, GetAttendantsCount)         \
    X(71, GetAttendantByOrdinal)      \
    X(72, GetAttendantPropertiesEx2)  \
    X(73, SetAttendantPropertiesEx2)  \
    X(80, GetCardClientsCount)        \
    X(81, GetCardClientByOrdinal)     \
    X(82, GetCardClientPropertiesEx4) \
    X(83, SetCardClientPropertiesEx4) \
    X(90, GetProductsCount)           \
    X(91, GetProductByOrdinal)        \
    X(92, GetProductProperties)       \
    X(93, SetProductProperties)

enum class CallCode : std::uint16_t {
#define KESTRO_WIRE_CALL_ENUM(code, name) name = code,
    KESTRO_WIRE_CALLS(KESTRO_WIRE_CALL_ENUM)
#undef KESTRO_WIRE_CALL_ENUM
};

struct CallInfo {
    CallCode code;
    const char* name;  // the function's name in client/kestro.h
};

// Every call, in ascending order of code.
inline constexpr std::array kCalls = {
#define KESTRO_WIRE_CALL_INFO(code, name) CallInfo{CallCode::name, #name},
    KESTRO_WIRE_CALLS(KESTRO_WIRE_CALL_INFO)
#undef KESTRO_WIRE_CALL_INFO
};

static_assert(kCalls.size() == 50, "the flat interface has 50 functions");

constexpr bool CallCodesAscend() {
    for (std::size_t i = 1; i < kCalls.size(); ++i) {
        if (kCalls[i - 1].code >= kCalls[i].code) {
            return false;
        }
    }
    return true;
}
static_assert(CallCodesAscend(), "call codes are unique and listed in ascending order");

// The call with the code `code`, or null when no call has it.
constexpr const CallInfo* FindCall(std::uint16_t code) {
    for (const CallInfo& call : kCalls) {
        if (static_cast<std::uint16_t>(call.code) == code) {
            return &call;
        }
    }
    return nullptr;
}

// The function type of a call as client/kestro.h declares it.
template <CallCode code>
struct CallSignature;
#define KESTRO_WIRE_CALL_SIGNATURE(code, name) \
    template <>                                \
    struct CallSignature<CallCode::name> {     \
        using type = decltype(::name);         \
    };
KESTRO_WIRE_CALLS(KESTRO_WIRE_CALL_SIGNATURE)
#undef KESTRO_WIRE_CALL_SIGNATURE

template <CallCode code>
using CallFunction = typename CallSignature<code>::type;

}  // namespace kestro::wire
