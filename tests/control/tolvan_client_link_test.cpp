// The control and its client object through COM: every forwarding method by DISPID with its
// arguments in order and its result unchanged (or -21 without a client object), storing and
// dropping the client object as a borrowed reference, the refresh that registers the control
// and loads its pump, and the withdrawal on a put of ID -1.
#include "tests/control/tolvan_test_support.h"

namespace tolvan_test {
namespace {

// A forwarding method: its DISPID and parameter types on the control, the client member's
// DISPID, and whether the client takes the argument first and the pump's ID second.
struct ForwardCase {
    const char* method;
    DISPID dispid;
    std::vector<VARTYPE> params;
    DISPID clientDispid;
    bool pumpIdSecond = false;
};

constexpr VARTYPE kPI2 = VT_BYREF | VT_I2;
constexpr VARTYPE kPI4 = VT_BYREF | VT_I4;
constexpr VARTYPE kPR8 = VT_BYREF | VT_R8;
constexpr VARTYPE kPBSTR = VT_BYREF | VT_BSTR;
constexpr VARTYPE kPDATE = VT_BYREF | VT_DATE;

const std::vector<VARTYPE> kDeliveryOutputs = {kPI4,   kPI2,   kPI2, kPI4,   kPI2, kPI4,
                                               kPBSTR, kPBSTR, kPI2, kPR8,   kPR8, kPR8,
                                               kPI4,   kPI4,   kPI4, kPDATE, kPI4};

std::vector<VARTYPE> Join(std::vector<VARTYPE> a, const std::vector<VARTYPE>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

const std::vector<ForwardCase>& ForwardCases() {
    static const std::vector<ForwardCase> cases = {
        {"GetHosesCount", 32, {kPI4}, 10},
        {"GetHoseByNumber", 33, {VT_I4, kPI4}, 11},
        {"GetDeliveryProperties", 34, Join({VT_I2}, kDeliveryOutputs), 13},
        {"PrepayReserve", 35, {}, 14},
        {"PrepayCancel", 36, {}, 15},
        {"PrepayAuthorise", 37, {VT_I2, VT_R8, VT_I2, VT_I2}, 16},
        {"PreauthReserve", 38, {}, 17},
        {"PreauthCancel", 39, {}, 18},
        {"PreauthAuthorise", 40, {VT_I2, VT_R8, VT_I2, VT_I2}, 19},
        {"LoadPreset", 41, {VT_I2, VT_R8, VT_I2, VT_I2}, 20},
        {"AttendantAuthorise", 42, {VT_I4}, 21},
        {"Authorise", 43, {}, 22},
        {"CancelAuthorise", 44, {}, 23},
        {"TempStop", 45, {}, 24},
        {"ReAuthorise", 46, {}, 25},
        {"TerminateDelivery", 47, {}, 26},
        {"StackCurrentDelivery", 48, {}, 27},
        {"AttendantLogon", 60, {VT_I4}, 87, true},
        {"GetDeliveryPropertiesEx", 64, Join(Join({VT_I2}, kDeliveryOutputs), {kPR8, kPR8, kPR8}),
         93},
    };
    return cases;
}

// Storage for the out-parameters of one call, and the arguments that point into it. Inputs
// are numbered by position: short 10 + k, long 1000 + k, double 0.5 + k.
class Arguments {
  public:
    explicit Arguments(const std::vector<VARTYPE>& types) : slots_(types.size()) {
        for (std::size_t k = 0; k < types.size(); ++k) {
            const VARTYPE vt = types[k];
            Slot& slot = slots_[k];
            switch (vt) {
                case VT_I2:
                    args.push_back(I2(static_cast<SHORT>(10 + k)));
                    break;
                case VT_I4:
                    args.push_back(I4(static_cast<LONG>(1000 + k)));
                    break;
                case VT_R8:
                    args.push_back(R8(0.5 + static_cast<double>(k)));
                    break;
                case kPI2:
                    args.push_back(ByRef(VT_I2, &slot.s));
                    break;
                case kPI4:
                    args.push_back(ByRef(VT_I4, &slot.l));
                    break;
                case kPR8:
                    args.push_back(ByRef(VT_R8, &slot.d));
                    break;
                case kPDATE:
                    args.push_back(ByRef(VT_DATE, &slot.d));
                    break;
                case kPBSTR:
                    args.push_back(ByRef(VT_BSTR, &slot.b));
                    break;
                default:
                    ADD_FAILURE() << "no argument for type " << vt;
            }
        }
    }
    ~Arguments() {
        for (Slot& slot : slots_) {
            SysFreeString(slot.b);
        }
    }
    // A copy for one call (Call clears by-value arguments).
    std::vector<VARIANT> ForCall() const {
        std::vector<VARIANT> copy(args.size());
        for (std::size_t k = 0; k < args.size(); ++k) {
            VariantInit(&copy[k]);
            copy[k] = args[k];
        }
        return copy;
    }
    // Whether the container's storage for out-parameter k holds what FillOutputs wrote.
    bool Filled(std::size_t k, VARTYPE vt) const {
        const Slot& slot = slots_[k];
        switch (vt) {
            case kPI2:
                return slot.s == static_cast<SHORT>(40 + k);
            case kPI4:
                return slot.l == static_cast<LONG>(4000 + k);
            case kPR8:
            case kPDATE:
                return slot.d == 4.25 + static_cast<double>(k);
            case kPBSTR:
                return BstrToUtf8(slot.b) == "out " + std::to_string(k);
            default:
                return true;
        }
    }

    std::vector<VARIANT> args;

  private:
    struct Slot {
        SHORT s = 0;
        LONG l = 0;
        double d = 0;
        BSTR b = nullptr;
    };
    std::vector<Slot> slots_;
};

// Writes a value through every by-reference argument of a client call; `offset` is the
// position of the control's first argument among the client's.
void FillOutputs(DISPPARAMS* params, std::size_t offset) {
    for (UINT i = 0; i < params->cArgs; ++i) {
        VARIANT& arg = params->rgvarg[params->cArgs - 1 - i];
        if ((arg.vt & VT_BYREF) == 0 || i < offset) {
            continue;
        }
        const std::size_t k = i - offset;
        switch (arg.vt) {
            case kPI2:
                *arg.piVal = static_cast<SHORT>(40 + k);
                break;
            case kPI4:
                *arg.plVal = static_cast<LONG>(4000 + k);
                break;
            case kPR8:
            case kPDATE:
                *arg.pdblVal = 4.25 + static_cast<double>(k);
                break;
            case kPBSTR:
                *arg.pbstrVal = BstrFromUtf8("out " + std::to_string(k));
                break;
            default:
                break;
        }
    }
}

class TolvanClientLinkTest : public TolvanTest {
  protected:
    // Stores `client` and puts ID 3 with a pump that loads (then forgets those calls).
    void LoadPumpThree(RecordingClient& client) {
        client.Expect(72, 0);
        client.Expect(7, 0);
        client.Expect(12, 0);
        SetKestro(&client);
        PutOk(1, I4(3));
        client.ClearCalls();
        Object().TakeInvalidations();
    }
};

TEST_F(TolvanClientLinkTest, EveryForwardingMethodAnswersMinusTwentyOneWithoutClientObject) {
    RecordingClient client;
    SetKestro(&client);  // ID -1: nothing is called
    SetKestro(nullptr);  // dropped again
    for (const ForwardCase& c : ForwardCases()) {
        Arguments args(c.params);
        EXPECT_EQ(CallLong(c.dispid, args.ForCall()), -21) << c.method;
    }
    EXPECT_TRUE(client.calls.empty());
    EXPECT_EQ(client.refs, 1u);
}

TEST_F(TolvanClientLinkTest, EveryForwardingMethodCallsItsClientMemberAndReturnsItsResult) {
    RecordingClient client;
    LoadPumpThree(client);
    for (const ForwardCase& c : ForwardCases()) {
        SCOPED_TRACE(c.method);
        const LONG answer = 500 + c.clientDispid;
        client.Expect(c.clientDispid, answer,
                      [&](DISPPARAMS* params) { FillOutputs(params, c.pumpIdSecond ? 0 : 1); });
        client.ClearCalls();
        Arguments args(c.params);
        EXPECT_EQ(CallLong(c.dispid, args.ForCall()), answer);

        ASSERT_EQ(client.calls.size(), 1u);
        const ClientCall& call = client.calls[0];
        EXPECT_EQ(call.dispid, c.clientDispid);
        EXPECT_EQ(call.flags, DISPATCH_METHOD);
        std::vector<VARTYPE> types = c.params;
        types.insert(c.pumpIdSecond ? types.end() : types.begin(), VT_I4);
        EXPECT_EQ(call.types, types);
        ASSERT_EQ(call.values.size(), types.size());
        const std::size_t pumpAt = c.pumpIdSecond ? c.params.size() : 0;
        EXPECT_EQ(call.values[pumpAt].lVal, 3);
        const std::size_t first = c.pumpIdSecond ? 0 : 1;
        for (std::size_t k = 0; k < c.params.size(); ++k) {
            const VARIANT& got = call.values[first + k];
            switch (c.params[k]) {
                case VT_I2:
                    EXPECT_EQ(got.iVal, 10 + static_cast<SHORT>(k)) << "argument " << k;
                    break;
                case VT_I4:
                    EXPECT_EQ(got.lVal, 1000 + static_cast<LONG>(k)) << "argument " << k;
                    break;
                case VT_R8:
                    EXPECT_EQ(got.dblVal, 0.5 + static_cast<double>(k)) << "argument " << k;
                    break;
                default:
                    EXPECT_TRUE(args.Filled(k, c.params[k])) << "out-parameter " << k;
            }
        }
    }
    EXPECT_EQ(client.refs, 1u);
}

TEST_F(TolvanClientLinkTest, StoringTheClientWhileIdIsMinusOneCallsNothingAndKeepsDefaults) {
    RecordingClient client;
    SetKestro(&client);
    EXPECT_TRUE(client.calls.empty());
    EXPECT_EQ(GetLong(2), 0);
    EXPECT_EQ(GetLong(16), -1);
    VARIANT kestro = Get(62);
    ASSERT_EQ(kestro.vt, VT_DISPATCH);
    EXPECT_EQ(kestro.pdispVal, &client);
    EXPECT_EQ(client.refs, 2u);  // the caller's reference from the get
    VariantClear(&kestro);
    EXPECT_EQ(client.refs, 1u);
}

TEST_F(TolvanClientLinkTest, PutOfIdRegistersTheControlAndLoadsThePump) {
    RecordingClient client;
    client.Expect(72, 99);  // not examined
    client.Expect(7, 0, [](DISPPARAMS* p) {
        VARIANT* a = p->rgvarg;  // reversed: a[17] is the pump ID
        *a[16].plVal = 3;
        *a[15].pbstrVal = BstrFromUtf8("Pump three ");
        *a[14].piVal = 13;
        *a[13].piVal = 1;
        *a[12].piVal = 21;
        *a[11].piVal = 2;
        *a[10].piVal = 3;
        *a[9].piVal = -2;  // price format, sign-extended
        *a[8].piVal = 4;
        *a[7].piVal = 5;
        *a[6].piVal = 6;
        *a[5].plVal = 70;
        *a[4].plVal = 80;
        *a[3].piVal = 1;
        *a[2].piVal = 2;
        *a[1].piVal = 1;
        *a[0].piVal = 1;
    });
    client.Expect(12, 0, [](DISPPARAMS* p) {
        VARIANT* a = p->rgvarg;  // a[13] is the pump ID
        *a[12].piVal = 8;
        *a[11].piVal = 3;
        *a[10].plVal = 44;
        *a[9].plVal = 301;
        *a[8].piVal = 2;
        *a[7].plVal = 5;
        *a[6].pbstrVal = BstrFromUtf8(" Super 95  ");
        *a[5].pbstrVal = BstrFromUtf8("S95 ");
        *a[4].piVal = 2;
        *a[3].pdblVal = 1.23456;
        *a[2].pdblVal = 0.03125;  // half a ten-thousandth: away from zero
        *a[1].pdblVal = -0.03125;
        *a[0].piVal = 1;
    });
    SetKestro(&client);
    Object().TakeInvalidations();
    PutOk(1, I4(3));

    ASSERT_EQ(client.calls.size(), 3u);
    EXPECT_EQ(client.calls[0].dispid, 72);
    EXPECT_EQ(client.calls[0].types, (std::vector<VARTYPE>{VT_I4, VT_BYREF | VT_DISPATCH}));
    EXPECT_EQ(client.calls[0].values[0].lVal, 3);
    EXPECT_EQ(client.calls[0].values[1].pdispVal, control_);  // its own dispatch interface
    EXPECT_EQ(client.calls[1].dispid, 7);
    EXPECT_EQ(client.calls[1].types.size(), 18u);
    EXPECT_EQ(client.calls[2].dispid, 12);
    EXPECT_EQ(client.calls[2].types.size(), 14u);

    EXPECT_EQ(GetLong(2), 3);
    EXPECT_EQ(GetText(3), "Pump three ");
    EXPECT_EQ(GetText(61), "Pump three ");  // PumpName is Name
    EXPECT_EQ(GetShort(4), 13);
    EXPECT_EQ(GetShort(9), -2);
    EXPECT_EQ(GetShort(10), 4);
    EXPECT_EQ(GetShort(11), 5);
    EXPECT_EQ(GetShort(12), 6);
    EXPECT_EQ(GetLong(16), 70);
    EXPECT_EQ(GetLong(17), 80);
    EXPECT_EQ(GetShort(21), 1);
    EXPECT_EQ(GetShort(22), 8);
    EXPECT_EQ(GetShort(23), 3);
    EXPECT_EQ(GetLong(24), 44);
    EXPECT_EQ(GetLong(25), 301);
    EXPECT_EQ(GetShort(59), 2);
    EXPECT_EQ(GetLong(51), 5);
    EXPECT_EQ(GetText(26), " Super 95");  // trailing blanks removed
    EXPECT_EQ(GetText(53), "S95");
    EXPECT_EQ(GetShort(27), 2);
    EXPECT_EQ(GetDouble(28), 1.2346);
    EXPECT_EQ(GetDouble(29), 0.0313);
    EXPECT_EQ(GetDouble(30), -0.0313);
    EXPECT_EQ(GetShort(31), 1);
    const std::vector<COleControl::Invalidation> repaint = Object().TakeInvalidations();
    ASSERT_EQ(repaint.size(), 1u);
    EXPECT_EQ(repaint[0].rect, CRect(0, 0, 80, 80));
    EXPECT_TRUE(repaint[0].erase);
    EXPECT_EQ(client.refs, 1u);
}

TEST_F(TolvanClientLinkTest, AFailedReadResetsEveryPumpField) {
    struct Case {
        const char* what;
        LONG propertiesResult;
        LONG statusResult;
        std::vector<DISPID> calls;
    };
    const Case kCases[] = {
        {"properties", 1, 0, {72, 7}},
        {"status", 0, 25, {72, 7, 12}},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.what);
        RecordingClient client;
        client.Expect(72, 0);
        client.Expect(7, c.propertiesResult, [](DISPPARAMS* p) {
            *p->rgvarg[16].plVal = 9;  // Number, written before the failure
            *p->rgvarg[15].pbstrVal = BstrFromUtf8("half");
            *p->rgvarg[5].plVal = 12;  // PortID
        });
        if (c.propertiesResult == 0) {
            client.Expect(12, c.statusResult, [](DISPPARAMS* p) { *p->rgvarg[10].plVal = 7; });
        }
        SetKestro(&client);
        PutOk(1, I4(3));
        std::vector<DISPID> calls;
        for (const ClientCall& call : client.calls) {
            calls.push_back(call.dispid);
        }
        EXPECT_EQ(calls, c.calls);
        EXPECT_EQ(GetLong(1), 3);
        EXPECT_EQ(GetLong(2), 0);
        EXPECT_EQ(GetText(3), "");
        EXPECT_EQ(GetLong(16), -1);
        EXPECT_EQ(GetLong(24), -1);
        EXPECT_EQ(GetShort(9), 1);
        SetKestro(nullptr);
        PutOk(1, I4(-1));
    }
}

TEST_F(TolvanClientLinkTest, PutOfIdMinusOneWithdrawsTheRegistrationAndDropsTheClient) {
    RecordingClient client;
    LoadPumpThree(client);
    PutOk(1, I4(-1));

    ASSERT_EQ(client.calls.size(), 1u);
    EXPECT_EQ(client.calls[0].dispid, 72);
    EXPECT_EQ(client.calls[0].types, (std::vector<VARTYPE>{VT_I4, VT_BYREF | VT_DISPATCH}));
    EXPECT_EQ(client.calls[0].values[0].lVal, 3);  // the old ID
    EXPECT_EQ(client.calls[0].values[1].pdispVal, nullptr);
    EXPECT_EQ(GetLong(1), -1);
    VARIANT kestro = Get(62);
    EXPECT_EQ(kestro.pdispVal, nullptr);
    EXPECT_EQ(CallLong(43), -21);
    EXPECT_EQ(client.calls.size(), 1u);
    EXPECT_EQ(client.refs, 1u);
}

TEST_F(TolvanClientLinkTest, AChangeToAnotherIdRegistersAgainWithoutWithdrawing) {
    RecordingClient client;
    LoadPumpThree(client);
    PutOk(1, I4(4));
    ASSERT_EQ(client.calls.size(), 3u);
    EXPECT_EQ(client.calls[0].dispid, 72);
    EXPECT_EQ(client.calls[0].values[0].lVal, 4);
    EXPECT_EQ(client.calls[0].values[1].pdispVal, control_);
}

TEST_F(TolvanClientLinkTest, TheKestroPropertyStoresAndDropsLikeSetKestro) {
    RecordingClient client;
    client.Expect(72, 0);
    client.Expect(7, 0, [](DISPPARAMS* p) { *p->rgvarg[16].plVal = 5; });
    client.Expect(12, 0);
    PutOk(1, I4(2));
    PutOk(62, Dispatch(&client));
    EXPECT_EQ(client.calls.size(), 3u);
    EXPECT_EQ(GetLong(2), 5);

    PutOk(62, Dispatch(nullptr));
    EXPECT_EQ(client.calls.size(), 3u);  // dropped without a call
    EXPECT_EQ(GetLong(2), 0);
    EXPECT_EQ(CallLong(43), -21);
    EXPECT_EQ(client.refs, 1u);
}

TEST_F(TolvanClientLinkTest, AFailingClientInvocationReachesTheContainerAsAnException) {
    RecordingClient client;
    LoadPumpThree(client);
    client.ExpectFailure(22, "pump offline");
    VARIANT result;
    VariantInit(&result);
    EXCEPINFO info{};
    EXPECT_EQ(Call(43, DISPATCH_METHOD, {}, &result, &info), DISP_E_EXCEPTION);
    EXPECT_EQ(BstrToUtf8(info.bstrDescription), "pump offline");
    ClearExcepInfo(&info);
}

TEST_F(TolvanClientLinkTest, ReleasingTheControlNeverReleasesTheClient) {
    RecordingClient client;
    LoadPumpThree(client);
    EXPECT_EQ(control_->Release(), 0u);
    control_ = nullptr;
    EXPECT_TRUE(client.calls.empty());
    EXPECT_EQ(client.refs, 1u);
}

}  // namespace
}  // namespace tolvan_test
