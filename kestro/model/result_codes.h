// Result codes of the Kestro stand-in and their texts, kept in this one table so that the
// station model, the in-process binding and every later binding answer the same codes with
// the same words.
#pragma once

#include <cstdint>
#include <string>

#include "platform/win_types.h"

namespace kestro {

// Every call of the flat interface answers one of these: 0 is success, any other value a
// failure. The numbers are our own; clients only rely on 0 meaning success.
inline constexpr std::int32_t kSuccess = 0;
inline constexpr std::int32_t kCannotConnect = 1;     // no controller server at that address
inline constexpr std::int32_t kTimeOut = 2;           // no answer within the call time-out
inline constexpr std::int32_t kConnectionLost = 3;    // the server went away during the call
inline constexpr std::int32_t kNotLoggedOn = 4;       // the call needs a logon first
inline constexpr std::int32_t kAlreadyLoggedOn = 5;   // a second logon without a logoff
inline constexpr std::int32_t kRecordNotFound = 6;    // no record with that identifier
inline constexpr std::int32_t kInvalidArgument = 7;   // a value out of range, a null out-pointer
inline constexpr std::int32_t kCallNotSupported = 8;  // the stand-in does not serve this call
inline constexpr std::int32_t kNoDeviceDetails = 9;   // the device has reported no details
inline constexpr std::int32_t kNotSaved = 10;         // the server could not store the change
inline constexpr std::int32_t kInvalidAnswer = 11;    // the server's answer made no sense
// Refusals of the pump commands (the pump simulator, kestro/model/pump_simulator.h).
inline constexpr std::int32_t kWrongPumpState = 20;     // the pump's state does not allow it
inline constexpr std::int32_t kNotAllowedByModes = 21;  // the pump's modes do not allow it
inline constexpr std::int32_t kLimitOutOfRange = 22;    // a limit type or value out of range
inline constexpr std::int32_t kPumpReserved = 23;       // reserved by another client
inline constexpr std::int32_t kStackFull = 24;          // no room for another stacked delivery
inline constexpr std::int32_t kDeliveryStarted = 25;    // a delivery has already started
inline constexpr std::int32_t kNoCurrentDelivery = 26;  // the pump has no current delivery
// Codes that the wire protocol answers with (kestro/wire/frame.h keeps the same numbers).
inline constexpr std::int32_t kMalformedRequest = 100;  // the values do not fit the call
inline constexpr std::int32_t kCallNotServed = 101;     // the server serves no such call
inline constexpr std::int32_t kAnswerTooLarge = 102;    // the answer exceeds the protocol's bounds

// The text of `code` ("success", "time-out", ...), without a closing full stop: clients print
// it inside their own sentence. A code outside the table gets "unknown result code <code>".
WideString ResultText(std::int32_t code);

}  // namespace kestro
