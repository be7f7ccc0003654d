// Tests of call marshalling: requests encoded on the client side, served by the dispatcher
// with test implementations, and responses applied to the caller's out-values; refusals of
// requests and responses that do not fit their call; BSTR ownership on both sides.
#include "kestro/wire/marshal.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include "kestro/wire/call_dispatcher.h"
#include "kestro/wire/calls.h"
#include "tests/kestro_wire/generic_calls.h"
#include "tests/kestro_wire/wire_printers.h"

namespace {

using kestro::wire::CallCode;
using kestro::wire::CallFunction;
using kestro::wire::CallTable;
using kestro::wire::DispatchOutcome;
using kestro::wire::DispatchRequest;
using kestro::wire::DispatchResult;
using kestro::wire::FindCall;
using kestro::wire::FrameKind;
using kestro::wire::FrameReader;
using kestro::wire::FrameWriter;
using kestro::wire::kResultAnswerTooLarge;
using kestro::wire::kResultCallNotServed;
using kestro::wire::kResultMalformedRequest;
using kestro::wire::Marshal;
using kestro::wire::WireError;
using wire_test::BstrUnits;
using wire_test::TextAt;
using wire_test::ValueAt;
using Bytes = std::vector<std::uint8_t>;

constexpr std::uint32_t kSequence = 41;
constexpr std::int32_t kRecordNotFound = 6;

std::u16string Units(const char16_t* text, std::size_t length) {
    return {text, length};
}

BSTR NewBstr(const std::u16string& text) {
    return SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
}

// The result code a response frame carries.
std::int32_t ResultOf(const Bytes& response) {
    FrameReader reader;
    EXPECT_EQ(reader.Open(response), WireError::kNone);
    EXPECT_EQ(reader.header().kind, FrameKind::kResponse);
    return reader.header().result;
}

// ---- Every call, generically --------------------------------------------------------------

// The caller's side of one parameter: an in-value to pass, or an out-slot to check.
template <typename P>
struct ClientArg;

template <typename V>
struct ClientScalarIn {
    V value{};
    void Init(std::size_t position) { value = ValueAt<V>(position, false); }
    V Get() { return value; }
    bool Holds(std::size_t) const { return true; }
};

template <typename V>
struct ClientScalarOut {
    V value = V(3);
    void Init(std::size_t) {}
    V* Get() { return &value; }
    bool Holds(std::size_t position) const { return value == ValueAt<V>(position, true); }
};

struct ClientBstrIn {
    BSTR value = nullptr;
    ~ClientBstrIn() { SysFreeString(value); }
    void Init(std::size_t position) { value = NewBstr(TextAt(position, false)); }
    BSTR Get() { return value; }
    bool Holds(std::size_t) const { return true; }
};

struct ClientBstrOut {
    BSTR value = nullptr;
    ~ClientBstrOut() { SysFreeString(value); }
    void Init(std::size_t) {}
    BSTR* Get() { return &value; }
    bool Holds(std::size_t position) const { return BstrUnits(value) == TextAt(position, true); }
};

template <>
struct ClientArg<std::int16_t> : ClientScalarIn<std::int16_t> {};
template <>
struct ClientArg<std::int32_t> : ClientScalarIn<std::int32_t> {};
template <>
struct ClientArg<std::int64_t> : ClientScalarIn<std::int64_t> {};
template <>
struct ClientArg<double> : ClientScalarIn<double> {};
template <>
struct ClientArg<std::int16_t*> : ClientScalarOut<std::int16_t> {};
template <>
struct ClientArg<std::int32_t*> : ClientScalarOut<std::int32_t> {};
template <>
struct ClientArg<std::int64_t*> : ClientScalarOut<std::int64_t> {};
template <>
struct ClientArg<double*> : ClientScalarOut<double> {};
template <>
struct ClientArg<BSTR> : ClientBstrIn {};
template <>
struct ClientArg<BSTR*> : ClientBstrOut {};

template <CallCode code, typename Function = CallFunction<code>>
struct GenericRoundTrip;

template <CallCode code, typename... P>
struct GenericRoundTrip<code, std::int32_t(P...)> {
    static void Check(const CallTable& table, const char* name) {
        Run(table, name, std::index_sequence_for<P...>{});
    }

    template <std::size_t... I>
    static void Run(const CallTable& table, const char* name, std::index_sequence<I...>) {
        std::tuple<ClientArg<P>...> args;
        (std::get<I>(args).Init(I), ...);
        Bytes request;
        Bytes response;
        ASSERT_EQ(Marshal<code>::EncodeRequest(kSequence, request, std::get<I>(args).Get()...),
                  WireError::kNone)
            << name;
        EXPECT_EQ(DispatchRequest(table, request, response).outcome, DispatchOutcome::kServed)
            << name;
        std::int32_t result = -1;
        ASSERT_EQ(
            Marshal<code>::DecodeResponse(response, kSequence, result, std::get<I>(args).Get()...),
            WireError::kNone)
            << name;
        EXPECT_EQ(result, 0) << name << " (77: the implementation saw other in-values)";
        EXPECT_TRUE((std::get<I>(args).Holds(I) && ...)) << name << ": out-values differ";
    }
};

TEST(MarshalEveryCall, ValuesKeepTheirOrderAndTypesBothWays) {
    const long baseline = SysLiveStringCount();
    const CallTable table = wire_test::GenericCallTable();
#define CHECK_CALL(code, name) GenericRoundTrip<CallCode::name>::Check(table, #name);
    KESTRO_WIRE_CALLS(CHECK_CALL)
#undef CHECK_CALL
    EXPECT_EQ(SysLiveStringCount(), baseline);
}

TEST(CallTableCodes, ReleasedCodesNeverChange) {
    const struct {
        std::uint16_t code;
        const char* name;
    } pinned[] = {
        {1, "ClientLogonEx"},
        {3, "ClientLogoff"},
        {10, "GetPortsCount"},
        {12, "GetPortProperties"},
        {33, "SetTankPropertiesEx2"},
        {57, "SetHosePropertiesEx2"},
        {82, "GetCardClientPropertiesEx4"},
        {90, "GetProductsCount"},
        {93, "SetProductProperties"},
    };
    for (const auto& call : pinned) {
        const kestro::wire::CallInfo* info = FindCall(call.code);
        ASSERT_NE(info, nullptr) << call.name;
        EXPECT_STREQ(info->name, call.name);
    }
    EXPECT_EQ(FindCall(0), nullptr);
    EXPECT_EQ(FindCall(7), nullptr);
    EXPECT_EQ(FindCall(94), nullptr);
}

// ---- Representative calls with recording implementations ----------------------------------

struct Recorded {
    int calls = 0;
    std::int32_t result = 0;
    std::vector<std::int64_t> integers;
    std::vector<double> doubles;
    std::vector<std::optional<std::u16string>> texts;
    bool handOutBeforeFailing = false;
};
Recorded recorded;

std::optional<std::u16string> TextOfIn(BSTR text) {
    if (text == nullptr) {
        return std::nullopt;
    }
    return std::u16string(text, SysStringLen(text));
}

std::int32_t FakeGetPortsCount(std::int32_t* count) {
    ++recorded.calls;
    *count = 37;
    return recorded.result;
}

std::int32_t FakeGetPortProperties(std::int32_t portId, std::int32_t* number, BSTR* name,
                                   std::int32_t* protocolId, std::int16_t* deviceType,
                                   BSTR* serialNo) {
    ++recorded.calls;
    recorded.integers.push_back(portId);
    if (recorded.handOutBeforeFailing) {
        *name = SysAllocString(u"handed out, then failed");
        return kRecordNotFound;
    }
    if (recorded.result != 0) {
        return recorded.result;
    }
    *number = portId + 100;
    *name = NewBstr(Units(u"Porta \u00c9\0\u20ac", 9));
    *protocolId = -1;
    *deviceType = INT16_MIN;
    *serialNo = nullptr;  // no serial number: a null text, not an empty one
    return 0;
}

std::int32_t FakeSetTankPropertiesEx2(std::int32_t tankId, std::int32_t number, BSTR name,
                                      std::int32_t gradeId, std::int16_t type, double capacity,
                                      double diameter, double height, double theoreticalCapacity,
                                      double lowLevelAlarm, double highLevelAlarm,
                                      double lowLowLevelAlarm, double highHighLevelAlarm,
                                      double highWaterAlarm, double thermalCoefficient,
                                      std::int32_t tankGauge, std::int16_t probe,
                                      std::int32_t gaugeAlarmsMask, std::int32_t slotZigBeeId,
                                      std::int16_t probeType, std::int32_t probeSerialNo) {
    ++recorded.calls;
    recorded.integers = {tankId, number,          gradeId,      type,      tankGauge,
                         probe,  gaugeAlarmsMask, slotZigBeeId, probeType, probeSerialNo};
    recorded.doubles = {capacity,       diameter,          height,           theoreticalCapacity,
                        lowLevelAlarm,  highLevelAlarm,    lowLowLevelAlarm, highHighLevelAlarm,
                        highWaterAlarm, thermalCoefficient};
    recorded.texts = {TextOfIn(name)};
    return recorded.result;
}

std::int32_t FakeGetProductsCount(std::int32_t* count, std::int32_t groupFilter,
                                  std::int32_t enabledOnly, std::int32_t barcodeOnly,
                                  std::int32_t firstNumber, std::int32_t maxCount,
                                  std::int32_t terminalFilter) {
    ++recorded.calls;
    recorded.integers = {groupFilter, enabledOnly, barcodeOnly,
                         firstNumber, maxCount,    terminalFilter};
    *count = 9999;
    return recorded.result;
}

std::int32_t FakeClientLogonEx(std::int32_t clientId, std::int32_t clientKind, BSTR serverName,
                               std::int32_t callPort, std::int32_t eventsPort,
                               std::int32_t callTimeout, std::int32_t options,
                               std::int32_t eventMask, std::int32_t bufferSize) {
    ++recorded.calls;
    recorded.integers = {clientId,    clientKind, callPort,  eventsPort,
                         callTimeout, options,    eventMask, bufferSize};
    recorded.texts = {TextOfIn(serverName)};
    return recorded.result;
}

std::int32_t FakeResultString(std::int32_t code, BSTR* text) {
    ++recorded.calls;
    recorded.integers = {code};
    // Longer than any string the protocol carries.
    std::u16string huge(kestro::wire::kMaxStringUnits + 1, u'x');
    *text = NewBstr(huge);
    return 0;
}

class MarshalCalls : public ::testing::Test {
  protected:
    MarshalCalls() {
        recorded = Recorded();
        table_.GetPortsCount = &FakeGetPortsCount;
        table_.GetPortProperties = &FakeGetPortProperties;
        table_.SetTankPropertiesEx2 = &FakeSetTankPropertiesEx2;
        table_.GetProductsCount = &FakeGetProductsCount;
        table_.ClientLogonEx = &FakeClientLogonEx;
        table_.ResultString = &FakeResultString;
    }
    ~MarshalCalls() override { EXPECT_EQ(SysLiveStringCount(), baseline_) << "a BSTR leaked"; }

    // Encodes a call, serves it with table_ and applies the response; the call's result.
    template <CallCode code, typename... Args>
    std::int32_t Call(Args... args) {
        Bytes request;
        Bytes response;
        EXPECT_EQ(Marshal<code>::EncodeRequest(kSequence, request, args...), WireError::kNone);
        last_ = DispatchRequest(table_, request, response);
        std::int32_t result = -12345;
        EXPECT_EQ(Marshal<code>::DecodeResponse(response, kSequence, result, args...),
                  WireError::kNone);
        return result;
    }

    const long baseline_ = SysLiveStringCount();
    CallTable table_;
    DispatchResult last_;
};

TEST_F(MarshalCalls, ACountGetterFillsItsCount) {
    std::int32_t count = -1;
    EXPECT_EQ(Call<CallCode::GetPortsCount>(&count), 0);
    EXPECT_EQ(count, 37);
    EXPECT_EQ(recorded.calls, 1);
}

TEST_F(MarshalCalls, GetPortPropertiesHandsOutNewBstrsAndKeepsNullApartFromEmpty) {
    std::int32_t number = 0;
    std::int32_t protocolId = 0;
    std::int16_t deviceType = 0;
    BSTR name = nullptr;
    BSTR serialNo = SysAllocString(u"");  // overwritten, so free it through a copy
    BSTR serialBefore = serialNo;
    ASSERT_EQ(
        Call<CallCode::GetPortProperties>(5, &number, &name, &protocolId, &deviceType, &serialNo),
        0);
    EXPECT_EQ(recorded.integers, (std::vector<std::int64_t>{5}));
    EXPECT_EQ(number, 105);
    EXPECT_EQ(protocolId, -1);
    EXPECT_EQ(deviceType, INT16_MIN);
    ASSERT_NE(name, nullptr);
    EXPECT_EQ(BstrUnits(name), Units(u"Porta \u00c9\0\u20ac", 9));
    EXPECT_EQ(name[SysStringLen(name)], u'\0');  // a real BSTR with its terminator
    EXPECT_EQ(serialNo, nullptr);
    SysFreeString(name);
    SysFreeString(serialBefore);
}

TEST_F(MarshalCalls, SetTankPropertiesEx2PassesAll21InValuesInOrder) {
    BSTR name = NewBstr(Units(u"Tanque \u00d3leo\0 2", 14));
    ASSERT_EQ(Call<CallCode::SetTankPropertiesEx2>(
                  3, 4, name, 5, std::int16_t{6}, 1.5, 2.5, 3.5, 4.5, 5.5, 6.5, 7.5, 8.5, 9.5,
                  -0.000125, 10, std::int16_t{-11}, 0x7FFFFFFF, 13, std::int16_t{14}, -15),
              0);
    EXPECT_EQ(recorded.integers,
              (std::vector<std::int64_t>{3, 4, 5, 6, 10, -11, 0x7FFFFFFF, 13, 14, -15}));
    EXPECT_EQ(recorded.doubles,
              (std::vector<double>{1.5, 2.5, 3.5, 4.5, 5.5, 6.5, 7.5, 8.5, 9.5, -0.000125}));
    ASSERT_EQ(recorded.texts.size(), 1u);
    EXPECT_EQ(recorded.texts[0], Units(u"Tanque \u00d3leo\0 2", 14));
    SysFreeString(name);
}

TEST_F(MarshalCalls, NullAndEmptyInStringsReachTheImplementationAsSuch) {
    BSTR empty = SysAllocString(u"");
    Call<CallCode::SetTankPropertiesEx2>(1, 1, nullptr, 1, std::int16_t{1}, 0.0, 0.0, 0.0, 0.0, 0.0,
                                         0.0, 0.0, 0.0, 0.0, 0.0, 1, std::int16_t{1}, 1, 1,
                                         std::int16_t{1}, 1);
    EXPECT_EQ(recorded.texts.at(0), std::nullopt);
    Call<CallCode::SetTankPropertiesEx2>(1, 1, empty, 1, std::int16_t{1}, 0.0, 0.0, 0.0, 0.0, 0.0,
                                         0.0, 0.0, 0.0, 0.0, 0.0, 1, std::int16_t{1}, 1, 1,
                                         std::int16_t{1}, 1);
    EXPECT_EQ(recorded.texts.at(0), u"");
    SysFreeString(empty);
}

TEST_F(MarshalCalls, GetProductsCountTakesItsOutFirstAndTheSixFiltersAfter) {
    std::int32_t count = 0;
    ASSERT_EQ(Call<CallCode::GetProductsCount>(&count, -1, 0, 0, 0, 0, -1), 0);
    EXPECT_EQ(count, 9999);
    EXPECT_EQ(recorded.integers, (std::vector<std::int64_t>{-1, 0, 0, 0, 0, -1}));
    Call<CallCode::GetProductsCount>(&count, 1, 2, 3, 4, 5, 6);
    EXPECT_EQ(recorded.integers, (std::vector<std::int64_t>{1, 2, 3, 4, 5, 6}));
}

TEST_F(MarshalCalls, TheLogonServerNameTravelsAsAString) {
    BSTR server = SysAllocString(u"127.0.0.7");
    EXPECT_EQ(Call<CallCode::ClientLogonEx>(110, 5, server, 5123, 5124, 10000, 0, 0, 1024), 0);
    EXPECT_EQ(recorded.integers,
              (std::vector<std::int64_t>{110, 5, 5123, 5124, 10000, 0, 0, 1024}));
    EXPECT_EQ(recorded.texts.at(0), u"127.0.0.7");
    SysFreeString(server);
}

TEST_F(MarshalCalls, AFailingResultLeavesEveryOutValueUntouched) {
    recorded.result = kRecordNotFound;
    std::int32_t number = -7;
    std::int32_t protocolId = -7;
    std::int16_t deviceType = -7;
    BSTR name = nullptr;
    BSTR serialNo = nullptr;
    const long before = SysLiveStringCount();
    EXPECT_EQ(
        Call<CallCode::GetPortProperties>(9, &number, &name, &protocolId, &deviceType, &serialNo),
        kRecordNotFound);
    EXPECT_EQ(number, -7);
    EXPECT_EQ(protocolId, -7);
    EXPECT_EQ(deviceType, -7);
    EXPECT_EQ(name, nullptr);
    EXPECT_EQ(serialNo, nullptr);
    EXPECT_EQ(SysLiveStringCount(), before);

    std::int32_t count = -7;
    EXPECT_EQ(Call<CallCode::GetPortsCount>(&count), kRecordNotFound);
    EXPECT_EQ(count, -7);
}

TEST_F(MarshalCalls, ABstrHandedOutByAFailingImplementationIsFreedByTheServer) {
    recorded.handOutBeforeFailing = true;
    std::int32_t number = 0;
    std::int32_t protocolId = 0;
    std::int16_t deviceType = 0;
    BSTR name = nullptr;
    BSTR serialNo = nullptr;
    EXPECT_EQ(
        Call<CallCode::GetPortProperties>(1, &number, &name, &protocolId, &deviceType, &serialNo),
        kRecordNotFound);
    EXPECT_EQ(name, nullptr);
    // The fixture's destructor checks that the implementation's BSTR was freed.
}

TEST_F(MarshalCalls, AnAnswerBeyondTheBoundsIsRefusedAndItsBstrFreed) {
    BSTR text = nullptr;
    EXPECT_EQ(Call<CallCode::ResultString>(3, &text), kResultAnswerTooLarge);
    EXPECT_EQ(last_.outcome, DispatchOutcome::kAnswerTooLarge);
    EXPECT_EQ(last_.error, WireError::kStringTooLong);
    EXPECT_EQ(text, nullptr);
}

TEST_F(MarshalCalls, ACallWithoutImplementationOrWithAnUnknownCodeIsNotServed) {
    std::int32_t count = 5;
    EXPECT_EQ(Call<CallCode::GetPumpsCount>(&count), kResultCallNotServed);
    EXPECT_EQ(last_.outcome, DispatchOutcome::kCallNotServed);
    EXPECT_EQ(count, 5);

    FrameWriter writer(FrameKind::kRequest, 999, 4);
    writer.AddInt32(1);
    Bytes request;
    ASSERT_EQ(writer.Finish(request), WireError::kNone);
    Bytes response;
    EXPECT_EQ(DispatchRequest(table_, request, response).outcome, DispatchOutcome::kCallNotServed);
    EXPECT_EQ(ResultOf(response), kResultCallNotServed);
}

// ---- Requests that do not fit their call --------------------------------------------------

TEST_F(MarshalCalls, RequestsWhoseValuesDoNotFitTheCallAreRefusedWithoutCallingIt) {
    struct Case {
        const char* what;
        void (*write)(FrameWriter&);
        WireError expected;
    };
    // GetPortProperties takes one 32-bit in-value.
    const Case cases[] = {
        {"no value", [](FrameWriter&) {}, WireError::kNoMoreValues},
        {"a 16-bit value", [](FrameWriter& w) { w.AddInt16(1); }, WireError::kTypeMismatch},
        {"a 64-bit value", [](FrameWriter& w) { w.AddInt64(1); }, WireError::kTypeMismatch},
        {"a string", [](FrameWriter& w) { w.AddString(u"1"); }, WireError::kTypeMismatch},
        {"a null string", [](FrameWriter& w) { w.AddNullString(); }, WireError::kTypeMismatch},
        {"one value too many",
         [](FrameWriter& w) {
             w.AddInt32(1);
             w.AddInt32(2);
         },
         WireError::kValuesLeftOver},
    };
    for (const Case& c : cases) {
        FrameWriter writer(FrameKind::kRequest,
                           static_cast<std::uint16_t>(CallCode::GetPortProperties), 8);
        c.write(writer);
        Bytes request;
        ASSERT_EQ(writer.Finish(request), WireError::kNone);
        Bytes response;
        DispatchResult result = DispatchRequest(table_, request, response);
        EXPECT_EQ(result.outcome, DispatchOutcome::kMalformedRequest) << c.what;
        EXPECT_EQ(result.error, c.expected) << c.what;
        EXPECT_EQ(ResultOf(response), kResultMalformedRequest) << c.what;
    }
    EXPECT_EQ(recorded.calls, 0);
}

TEST_F(MarshalCalls, AStringInOfTheWrongShapeFreesWhatWasDecoded) {
    // SetTankPropertiesEx2 with its name decoded, then a string where a 32-bit value belongs.
    FrameWriter writer(FrameKind::kRequest,
                       static_cast<std::uint16_t>(CallCode::SetTankPropertiesEx2), 8);
    writer.AddInt32(1);
    writer.AddInt32(2);
    writer.AddString(u"decoded first");
    writer.AddString(u"not a grade");
    Bytes request;
    ASSERT_EQ(writer.Finish(request), WireError::kNone);
    Bytes response;
    EXPECT_EQ(DispatchRequest(table_, request, response).outcome,
              DispatchOutcome::kMalformedRequest);
    EXPECT_EQ(recorded.calls, 0);
}

TEST_F(MarshalCalls, FramesThatAreNoWellFormedRequestGetNoAnswer) {
    Bytes request;
    std::int32_t count = 0;
    ASSERT_EQ(Marshal<CallCode::GetPortsCount>::EncodeRequest(1, request, &count),
              WireError::kNone);
    Bytes response = {9};
    struct Case {
        const char* what;
        std::size_t offset;
        std::uint8_t byte;
    };
    const Case cases[] = {{"a response", 6, 2}, {"an event", 6, 3}, {"bad magic", 1, 0}};
    for (const Case& c : cases) {
        Bytes bad = request;
        bad[c.offset] = c.byte;
        EXPECT_EQ(DispatchRequest(table_, bad, response).outcome, DispatchOutcome::kMalformedFrame)
            << c.what;
    }
    Bytes truncated(request.begin(), request.end() - 1);
    DispatchResult result = DispatchRequest(table_, truncated, response);
    EXPECT_EQ(result.outcome, DispatchOutcome::kMalformedFrame);
    EXPECT_EQ(result.error, WireError::kTruncated);
    EXPECT_EQ(response, Bytes{9});
    EXPECT_EQ(recorded.calls, 0);
}

// ---- Responses on the client side ---------------------------------------------------------

class ClientResponses : public ::testing::Test {
  protected:
    ~ClientResponses() override { EXPECT_EQ(SysLiveStringCount(), baseline_) << "a BSTR leaked"; }

    // Decodes `response` as the answer to GetPortProperties request kSequence into the
    // fixture's out-values, which start as sentinels.
    WireError Apply(const Bytes& response) {
        return Marshal<CallCode::GetPortProperties>::DecodeResponse(response, kSequence, result_, 5,
                                                                    &number_, &name_, &protocolId_,
                                                                    &deviceType_, &serialNo_);
    }

    void ExpectUntouched() {
        EXPECT_EQ(result_, -99);
        EXPECT_EQ(number_, -99);
        EXPECT_EQ(name_, nullptr);
        EXPECT_EQ(protocolId_, -99);
        EXPECT_EQ(deviceType_, -99);
        EXPECT_EQ(serialNo_, nullptr);
    }

    static Bytes Response(std::uint16_t call, std::uint32_t sequence, std::int32_t result,
                          void (*write)(FrameWriter&), FrameKind kind = FrameKind::kResponse) {
        FrameWriter writer(kind, call, sequence, result);
        write(writer);
        Bytes frame;
        EXPECT_EQ(writer.Finish(frame), WireError::kNone);
        return frame;
    }

    static void WriteAllOuts(FrameWriter& w) {
        w.AddInt32(1);
        w.AddString(u"name");
        w.AddInt32(2);
        w.AddInt16(3);
        w.AddString(u"serial");
    }

    const long baseline_ = SysLiveStringCount();
    std::int32_t result_ = -99;
    std::int32_t number_ = -99;
    BSTR name_ = nullptr;
    std::int32_t protocolId_ = -99;
    std::int16_t deviceType_ = -99;
    BSTR serialNo_ = nullptr;
};

constexpr auto kGetPortProperties = static_cast<std::uint16_t>(CallCode::GetPortProperties);

TEST_F(ClientResponses, AnswersThatDoNotFitTheRequestChangeNothing) {
    struct Case {
        const char* what;
        Bytes response;
        WireError expected;
    };
    const Case cases[] = {
        {"another sequence number", Response(kGetPortProperties, kSequence + 1, 0, WriteAllOuts),
         WireError::kUnexpectedFrame},
        {"another call", Response(kGetPortProperties + 1, kSequence, 0, WriteAllOuts),
         WireError::kUnexpectedFrame},
        {"a request", Response(kGetPortProperties, kSequence, 0, WriteAllOuts, FrameKind::kRequest),
         WireError::kUnexpectedFrame},
        {"an event", Response(kGetPortProperties, kSequence, 0, WriteAllOuts, FrameKind::kEvent),
         WireError::kUnexpectedFrame},
        {"a failure with values", Response(kGetPortProperties, kSequence, 6, WriteAllOuts),
         WireError::kValuesLeftOver},
        {"a success without values",
         Response(kGetPortProperties, kSequence, 0, [](FrameWriter&) {}), WireError::kNoMoreValues},
        {"the last out missing",
         Response(kGetPortProperties, kSequence, 0,
                  [](FrameWriter& w) {
                      w.AddInt32(1);
                      w.AddString(u"name");
                      w.AddInt32(2);
                      w.AddInt16(3);
                  }),
         WireError::kNoMoreValues},
        {"a wrong type after a string",
         Response(kGetPortProperties, kSequence, 0,
                  [](FrameWriter& w) {
                      w.AddInt32(1);
                      w.AddString(u"name");
                      w.AddInt32(2);
                      w.AddInt32(3);
                      w.AddString(u"serial");
                  }),
         WireError::kTypeMismatch},
        {"one value too many",
         Response(kGetPortProperties, kSequence, 0,
                  [](FrameWriter& w) {
                      WriteAllOuts(w);
                      w.AddNullString();
                  }),
         WireError::kValuesLeftOver},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Apply(c.response), c.expected) << c.what;
        ExpectUntouched();
    }
    Bytes truncated = Response(kGetPortProperties, kSequence, 0, WriteAllOuts);
    truncated.pop_back();
    EXPECT_EQ(Apply(truncated), WireError::kTruncated);
    ExpectUntouched();
}

TEST_F(ClientResponses, AFailureWithoutValuesSetsOnlyTheResult) {
    EXPECT_EQ(Apply(Response(kGetPortProperties, kSequence, 6, [](FrameWriter&) {})),
              WireError::kNone);
    EXPECT_EQ(result_, 6);
    EXPECT_EQ(number_, -99);
    EXPECT_EQ(name_, nullptr);
}

TEST_F(ClientResponses, NullOutPointersAreSkippedWithoutLeaking) {
    Bytes response = Response(kGetPortProperties, kSequence, 0, WriteAllOuts);
    std::int32_t result = -1;
    std::int16_t deviceType = 0;
    EXPECT_EQ(Marshal<CallCode::GetPortProperties>::DecodeResponse(
                  response, kSequence, result, 5, nullptr, nullptr, nullptr, &deviceType, nullptr),
              WireError::kNone);
    EXPECT_EQ(result, 0);
    EXPECT_EQ(deviceType, 3);
}

TEST(MarshalClient, OutPointersSetTellsWhetherEveryOutHasAPlace) {
    using Ports = Marshal<CallCode::GetPortProperties>;
    std::int32_t i = 0;
    std::int16_t s = 0;
    BSTR b = nullptr;
    EXPECT_TRUE(Ports::OutPointersSet(1, &i, &b, &i, &s, &b));
    EXPECT_FALSE(Ports::OutPointersSet(1, &i, &b, &i, &s, nullptr));
    EXPECT_FALSE(Ports::OutPointersSet(1, nullptr, &b, &i, &s, &b));
    // A null in-string is a value, not a missing place.
    EXPECT_TRUE(Marshal<CallCode::SetGradePrice>::OutPointersSet(1, 2, 3.0));
    EXPECT_TRUE(Marshal<CallCode::ClientLogonEx>::OutPointersSet(1, 2, nullptr, 3, 4, 5, 6, 7, 8));
    EXPECT_TRUE(Marshal<CallCode::ClientLogoff>::OutPointersSet());
}

TEST(MarshalClient, AnInStringBeyondTheBoundIsRefusedBeforeSending) {
    std::u16string longest(kestro::wire::kMaxStringUnits + 1, u'a');
    BSTR server = NewBstr(longest);
    Bytes request = {1};
    EXPECT_EQ(
        Marshal<CallCode::ClientLogonEx>::EncodeRequest(1, request, 1, 2, server, 3, 4, 5, 6, 7, 8),
        WireError::kStringTooLong);
    EXPECT_EQ(request, Bytes{1});
    SysFreeString(server);
}

}  // namespace
