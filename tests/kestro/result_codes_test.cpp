// The stand-in's result texts: one per code, a generic one naming any other code.
#include "kestro/model/result_codes.h"

#include <gtest/gtest.h>

#include <climits>
#include <set>

namespace {

TEST(ResultCodesTest, EveryCodeHasItsText) {
    struct Row {
        std::int32_t code;
        const char16_t* text;
    };
    const Row rows[] = {
        {kestro::kSuccess, u"success"},
        {kestro::kCannotConnect, u"cannot connect"},
        {kestro::kTimeOut, u"time-out"},
        {kestro::kConnectionLost, u"connection lost"},
        {kestro::kNotLoggedOn, u"not logged on"},
        {kestro::kAlreadyLoggedOn, u"already logged on"},
        {kestro::kRecordNotFound, u"record not found"},
        {kestro::kInvalidArgument, u"invalid argument"},
        {kestro::kCallNotSupported, u"call not supported"},
        {kestro::kNoDeviceDetails, u"device details not available"},
        {kestro::kNotSaved, u"change not saved by the server"},
        {kestro::kInvalidAnswer, u"invalid answer from the server"},
        {kestro::kMalformedRequest, u"request does not fit the call"},
        {kestro::kCallNotServed, u"call not served by the server"},
        {kestro::kAnswerTooLarge, u"answer too large"},
        {kestro::kWrongPumpState, u"the pump's state does not allow this command"},
        {kestro::kNotAllowedByModes, u"not allowed by the pump's modes"},
        {kestro::kLimitOutOfRange, u"limit out of range"},
        {kestro::kPumpReserved, u"the pump is reserved by another client"},
        {kestro::kStackFull, u"the delivery stack is full"},
        {kestro::kDeliveryStarted, u"a delivery has already started"},
        {kestro::kNoCurrentDelivery, u"the pump has no current delivery"},
        {12, u"unknown result code 12"},
        {103, u"unknown result code 103"},
        {-1, u"unknown result code -1"},
        {INT_MIN, u"unknown result code -2147483648"},
    };
    std::set<std::int32_t> codes;
    for (const Row& row : rows) {
        EXPECT_EQ(kestro::ResultText(row.code), row.text) << row.code;
        codes.insert(row.code);
    }
    // Codes are distinct, so no two failures can be mistaken for each other.
    EXPECT_EQ(codes.size(), std::size(rows));
}

}  // namespace
