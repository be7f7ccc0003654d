// The texts of the stand-in's result codes.
#include "kestro/model/result_codes.h"

#include <string>

#include "platform/text_conversion.h"

namespace kestro {

std::u16string ResultText(std::int32_t code) {
    switch (code) {
        case kSuccess:
            return u"success";
        case kCannotConnect:
            return u"cannot connect";
        case kTimeOut:
            return u"time-out";
        case kConnectionLost:
            return u"connection lost";
        case kNotLoggedOn:
            return u"not logged on";
        case kAlreadyLoggedOn:
            return u"already logged on";
        case kRecordNotFound:
            return u"record not found";
        case kInvalidArgument:
            return u"invalid argument";
        case kCallNotSupported:
            return u"call not supported";
        case kNoDeviceDetails:
            return u"device details not available";
        case kNotSaved:
            return u"change not saved by the server";
        case kInvalidAnswer:
            return u"invalid answer from the server";
        case kWrongPumpState:
            return u"the pump's state does not allow this command";
        case kNotAllowedByModes:
            return u"not allowed by the pump's modes";
        case kLimitOutOfRange:
            return u"limit out of range";
        case kPumpReserved:
            return u"the pump is reserved by another client";
        case kStackFull:
            return u"the delivery stack is full";
        case kDeliveryStarted:
            return u"a delivery has already started";
        case kNoCurrentDelivery:
            return u"the pump has no current delivery";
        case kMalformedRequest:
            return u"request does not fit the call";
        case kCallNotServed:
            return u"call not served by the server";
        case kAnswerTooLarge:
            return u"answer too large";
    }
    std::u16string text = u"unknown result code ";
    text += Utf8ToUtf16(std::to_string(code));
    return text;
}

}  // namespace kestro
