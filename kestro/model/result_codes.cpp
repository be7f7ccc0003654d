// The texts of the stand-in's result codes.
#include "kestro/model/result_codes.h"

#include <string>

#include "platform/text_conversion.h"

namespace kestro {

WideString ResultText(std::int32_t code) {
    switch (code) {
        case kSuccess:
            return WSTR("success");
        case kCannotConnect:
            return WSTR("cannot connect");
        case kTimeOut:
            return WSTR("time-out");
        case kConnectionLost:
            return WSTR("connection lost");
        case kNotLoggedOn:
            return WSTR("not logged on");
        case kAlreadyLoggedOn:
            return WSTR("already logged on");
        case kRecordNotFound:
            return WSTR("record not found");
        case kInvalidArgument:
            return WSTR("invalid argument");
        case kCallNotSupported:
            return WSTR("call not supported");
        case kNoDeviceDetails:
            return WSTR("device details not available");
        case kNotSaved:
            return WSTR("change not saved by the server");
        case kInvalidAnswer:
            return WSTR("invalid answer from the server");
        case kWrongPumpState:
            return WSTR("the pump's state does not allow this command");
        case kNotAllowedByModes:
            return WSTR("not allowed by the pump's modes");
        case kLimitOutOfRange:
            return WSTR("limit out of range");
        case kPumpReserved:
            return WSTR("the pump is reserved by another client");
        case kStackFull:
            return WSTR("the delivery stack is full");
        case kDeliveryStarted:
            return WSTR("a delivery has already started");
        case kNoCurrentDelivery:
            return WSTR("the pump has no current delivery");
        case kMalformedRequest:
            return WSTR("request does not fit the call");
        case kCallNotServed:
            return WSTR("call not served by the server");
        case kAnswerTooLarge:
            return WSTR("answer too large");
    }
    WideString text = WSTR("unknown result code ");
    text += Utf8ToUtf16(std::to_string(code));
    return text;
}

}  // namespace kestro
