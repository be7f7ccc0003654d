// The live forecourt end to end with real processes: kestrod on a manual clock, kestroctl as
// the customer, and in this test (the container) the client object Kestro.Client.1 and the
// Tolvan control, both registered by regsvr and created through COM.
#include <gtest/gtest.h>
#include <sys/socket.h>

#include <atomic>
#include <csignal>
#include <thread>

#include "client/kestro_automation.h"
#include "kestro/client/event_subscription.h"
#include "kestro/model/result_codes.h"
#include "kestro/wire/pump_calls.h"
#include "tests/kestro_live/live_support.h"
#include "tests/support/automation_values.h"

namespace {

using live::DispatchUntil;
using live::Invoke;
using live::RecordingSink;
using live::RunCtl;
using namespace kestro_automation;
using test_variants::ByRef;
using test_variants::I4;
using test_variants::Text;

constexpr IID kTolvanEvents = MakeGuid("1A23B247-C9CF-43F5-A7AE-6B1FF4BDB52A");
constexpr IID kClientEvents = MakeGuid("6E0B5C3A-2F41-4D8B-9A7E-3C15D2B8F403");

// Tolvan's DISPIDs that the tests use.
enum : DISPID {
    kId = 1,
    kNumber = 2,
    kName = 3,
    kPumpState = 22,
    kCurVolume = 29,
    kAuthorise = 43,
    kCancelAuthorise = 44,
    kStackCurrentDelivery = 48,
    kSetKestro = 56,
};
enum : DISPID { kStatusEvent = 1, kDeliveryEventEx = 4 };
enum : DISPID { kLogon = 1, kLogoff = 2 };

VARIANT Get(IDispatch* object, DISPID dispid) {
    DISPPARAMS none{nullptr, nullptr, 0, 0};
    VARIANT value;
    VariantInit(&value);
    EXPECT_EQ(
        object->Invoke(dispid, IID_NULL, 0, DISPATCH_PROPERTYGET, &none, &value, nullptr, nullptr),
        S_OK);
    return value;
}

IDispatch* Create(const char16_t* progId) {
    CLSID clsid{};
    IDispatch* object = nullptr;
    EXPECT_EQ(CLSIDFromProgID(progId, &clsid), S_OK) << CoGetLastErrorText();
    EXPECT_EQ(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch,
                               reinterpret_cast<void**>(&object)),
              S_OK)
        << CoGetLastErrorText();
    return object;
}

// Joins `sink` to the connection point `iid` of `object`; the point, for Unadvise.
IConnectionPoint* Connect(IDispatch* object, REFIID iid, IDispatch* sink, DWORD* cookie) {
    IConnectionPointContainer* container = nullptr;
    IConnectionPoint* point = nullptr;
    EXPECT_EQ(
        object->QueryInterface(IID_IConnectionPointContainer, reinterpret_cast<void**>(&container)),
        S_OK);
    EXPECT_EQ(container->FindConnectionPoint(iid, &point), S_OK);
    EXPECT_EQ(point->Advise(sink, cookie), S_OK);
    container->Release();
    return point;
}

std::vector<const live::SinkCall*> CallsOf(const RecordingSink& sink, DISPID dispid) {
    std::vector<const live::SinkCall*> calls;
    for (const live::SinkCall& call : sink.calls) {
        if (call.dispid == dispid) {
            calls.push_back(&call);
        }
    }
    return calls;
}

// How many of the client object's event messages wait in this thread's queue; they stay there
// while its window lives.
int PendingEventMessages() {
    const UINT event = RegisterWindowMessageW(u"Kestro.Client.Event");
    std::vector<MSG> taken;
    MSG msg;
    while (PeekMessageW(&msg, nullptr, event, event, PM_REMOVE)) {
        taken.push_back(msg);
    }
    for (const MSG& m : taken) {
        PostMessageW(m.hwnd, m.message, m.wParam, m.lParam);
    }
    return static_cast<int>(taken.size());
}

// A control whose first sink call runs a modal loop of its own (as a popup does) until three
// calls have come, or five seconds have passed.
class ModalSink final : public IDispatch {
  public:
    HRESULT QueryInterface(REFIID riid, void** ppv) override {
        return inner.QueryInterface(riid, ppv);
    }
    ULONG AddRef() override { return inner.AddRef(); }
    ULONG Release() override { return inner.Release(); }
    HRESULT GetTypeInfoCount(UINT* count) override { return inner.GetTypeInfoCount(count); }
    HRESULT GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    HRESULT Invoke(DISPID dispid, REFIID riid, LCID lcid, WORD flags, DISPPARAMS* params,
                   VARIANT* result, EXCEPINFO* info, UINT* argErr) override {
        depths.push_back(depth);
        const HRESULT hr = inner.Invoke(dispid, riid, lcid, flags, params, result, info, argErr);
        if (inner.calls.size() == 1) {
            ++depth;
            const UINT_PTR limit = SetTimer(nullptr, 0, 5000, nullptr);
            MSG msg;
            while (inner.calls.size() < 3 && GetMessageW(&msg, nullptr, 0, 0)) {
                if (msg.message == WM_TIMER && msg.wParam == limit) {
                    break;
                }
                DispatchMessageW(&msg);
            }
            KillTimer(nullptr, limit);
            --depth;
        }
        return hr;
    }

    RecordingSink inner;
    std::vector<int> depths;  // the modal depth at each call
    int depth = 0;
};

class LiveForecourtTest : public testing::Test {
  protected:
    void Start(int block, std::vector<std::string> options = {}) {
        options.insert(options.begin(), {"--clock", "manual"});
        server_ = std::make_unique<e2e::Kestrod>(folder_, block, "live.db", options);
        ASSERT_TRUE(server_->ready());
        live::Register(folder_, live::kClientModule);
        live::Register(folder_, live::kTolvanModule);
        client_ = Create(u"Kestro.Client.1");
        ASSERT_NE(client_, nullptr);
        LONG rc = -1;
        VARIANT server = Text(server_->address());
        ASSERT_EQ(Invoke(client_, kLogon, {server, I4(5000)}, &rc), S_OK);
        ASSERT_EQ(rc, 0);
        point_ = Connect(client_, kClientEvents, &containerSink_, &cookie_);
    }
    void TearDown() override {
        if (point_ != nullptr) {
            point_->Unadvise(cookie_);
            point_->Release();
        }
        if (client_ != nullptr) {
            client_->Release();
        }
        CoFreeUnusedLibraries();
    }
    e2e::Run Ctl(const std::vector<std::string>& arguments) {
        return RunCtl(folder_, *server_, arguments);
    }
    LONG Register(LONG pumpId, IDispatch* control) {
        LONG rc = -1;
        EXPECT_EQ(
            Invoke(client_, kRegisterPumpControl, {I4(pumpId), ByRef(VT_DISPATCH, &control)}, &rc),
            S_OK);
        return rc;
    }

    test_support::TempFolder folder_;
    com_test::TempRegistry registry_;
    std::unique_ptr<e2e::Kestrod> server_;
    IDispatch* client_ = nullptr;
    RecordingSink containerSink_;
    IConnectionPoint* point_ = nullptr;
    DWORD cookie_ = 0;
};

TEST_F(LiveForecourtTest, ATolvanControlFollowsPump3ThroughADeliveryAndItsPayment) {
    Start(160);
    IDispatch* control = Create(u"TOLVAN.TolvanCtrl.1");
    ASSERT_NE(control, nullptr);
    RecordingSink events;
    DWORD cookie = 0;
    IConnectionPoint* point = Connect(control, kTolvanEvents, &events, &cookie);
    LONG rc = -1;
    ASSERT_EQ(Invoke(control, kSetKestro, {ByRef(VT_DISPATCH, &client_)}, &rc), S_OK);
    ASSERT_EQ(Invoke(control, kId, {I4(3)}, nullptr, DISPATCH_PROPERTYPUT), S_OK);

    VARIANT name = Get(control, kName);
    EXPECT_EQ(BstrToUtf8(name.bstrVal), "Bomba 3");
    VariantClear(&name);
    EXPECT_EQ(Get(control, kNumber).lVal, 3);
    EXPECT_EQ(Get(control, kPumpState).iVal, 3);

    auto lastStatus = [&](int field) {
        std::vector<const live::SinkCall*> statuses = CallsOf(events, kStatusEvent);
        return statuses.empty() ? -1 : statuses.back()->args[field].iVal;
    };
    ASSERT_EQ(Ctl({"lift", "3", "1"}).exitCode, 0);
    ASSERT_TRUE(DispatchUntil([&] { return lastStatus(0) == 6; }));
    EXPECT_EQ(Get(control, kPumpState).iVal, 6);

    ASSERT_EQ(Invoke(control, kAuthorise, {}, &rc), S_OK);
    EXPECT_EQ(rc, 0);
    ASSERT_TRUE(DispatchUntil([&] { return lastStatus(0) == 7; }));
    ASSERT_EQ(Ctl({"tick", "3000"}).exitCode, 0);  // 1 s starting, then 2 s at 0.5 L/s
    ASSERT_TRUE(DispatchUntil([&] { return Get(control, kCurVolume).dblVal == 1.0; }))
        << Get(control, kCurVolume).dblVal << " " << lastStatus(0) << " " << events.calls.size();
    EXPECT_EQ(Get(control, kPumpState).iVal, 8);
    // The amounts counted up step by step: a status per 100 ms of flow.
    EXPECT_GE(CallsOf(events, kStatusEvent).size(), 2u + 20u);

    ASSERT_EQ(Invoke(control, kCancelAuthorise, {}, &rc), S_OK);
    EXPECT_EQ(rc, 25);

    ASSERT_EQ(Ctl({"hang", "3"}).exitCode, 0);
    auto deliveryStates = [&] {
        std::vector<int> states;
        for (const live::SinkCall* call : CallsOf(events, kDeliveryEventEx)) {
            states.push_back(call->args[10].iVal);
        }
        return states;
    };
    ASSERT_TRUE(DispatchUntil([&] { return deliveryStates().size() == 1; }));
    const live::SinkCall& completed = *CallsOf(events, kDeliveryEventEx)[0];
    EXPECT_EQ(completed.args[0].lVal, 1);      // DeliveryID
    EXPECT_EQ(completed.args[10].iVal, 1);     // DeliveryState: current
    EXPECT_EQ(completed.args[8].dblVal, 1.0);  // Volume
    EXPECT_EQ(BstrToUtf8(completed.args[4].bstrVal), "Gasolina Comum");

    ASSERT_EQ(Invoke(control, kStackCurrentDelivery, {}, &rc), S_OK);
    EXPECT_EQ(rc, 0);
    ASSERT_TRUE(DispatchUntil([&] { return deliveryStates().size() == 2; }));
    EXPECT_EQ(deliveryStates()[1], 2);

    ASSERT_EQ(Ctl({"pay", "3", "1"}).exitCode, 0);
    ASSERT_TRUE(DispatchUntil([&] { return deliveryStates().size() == 3; }));
    EXPECT_EQ(deliveryStates()[2], 3);
    ASSERT_TRUE(DispatchUntil([&] { return lastStatus(12) == 0; })) << "stack size back to 0";

    // Withdrawn: no further sink call reaches the control.
    ASSERT_EQ(Invoke(control, kId, {I4(-1)}, nullptr, DISPATCH_PROPERTYPUT), S_OK);
    const std::size_t seen = events.calls.size();
    ASSERT_EQ(Ctl({"lift", "3", "2"}).exitCode, 0);
    ASSERT_EQ(Ctl({"tick", "500"}).exitCode, 0);
    platform::RunMessageLoopFor(300);
    EXPECT_EQ(events.calls.size(), seen);

    point->Unadvise(cookie);
    point->Release();
    control->Release();
}

TEST_F(LiveForecourtTest, SinksAreCalledOnlyOnTheCreatingThreadWhenItDispatches) {
    Start(161);
    RecordingSink control;
    ASSERT_EQ(Register(2, &control), 0);
    EXPECT_EQ(control.refs, 2u) << "the client object keeps a reference";
    ASSERT_EQ(Ctl({"lift", "2", "1"}).exitCode, 0);
    ASSERT_EQ(Ctl({"authorise", "2"}).exitCode, 0);
    ASSERT_EQ(Ctl({"tick", "2000"}).exitCode, 0);
    // The events have arrived on the reader thread and wait in this thread's message queue,
    // but nothing reaches the control until this thread dispatches.
    ASSERT_TRUE(
        e2e::WaitUntil([] { return PendingEventMessages() >= 3; }, std::chrono::seconds(10)));
    EXPECT_TRUE(control.calls.empty());
    ASSERT_TRUE(DispatchUntil([&] { return control.calls.size() >= 13; }));
    for (const live::SinkCall& call : control.calls) {
        EXPECT_EQ(call.thread, std::this_thread::get_id());
        EXPECT_EQ(call.dispid, 49);
        EXPECT_EQ(call.args.size(), 13u);
    }
    EXPECT_EQ(control.calls.front().args[0].iVal, 6);
    ASSERT_EQ(Register(2, nullptr), 0);
    EXPECT_EQ(control.refs, 1u) << "a withdrawn control is released";
}

TEST_F(LiveForecourtTest, EventsReachAControlWhileItsOwnModalLoopRuns) {
    Start(174);
    ModalSink control;
    ASSERT_EQ(Register(2, &control), 0);
    ASSERT_EQ(Ctl({"lift", "2", "1"}).exitCode, 0);
    ASSERT_EQ(Ctl({"authorise", "2"}).exitCode, 0);
    ASSERT_EQ(Ctl({"tick", "2000"}).exitCode, 0);
    ASSERT_TRUE(DispatchUntil([&] { return control.inner.calls.size() >= 3; }));
    ASSERT_GE(control.depths.size(), 3u);
    EXPECT_EQ(control.depths[0], 0);
    EXPECT_EQ(control.depths[1], 1) << "the second event came inside the first call's loop";
    EXPECT_EQ(control.depths[2], 1);
    EXPECT_EQ(control.inner.calls[0].args[0].iVal, 6) << "the events keep their order";
    for (const live::SinkCall& call : control.inner.calls) {
        EXPECT_EQ(call.thread, std::this_thread::get_id());
    }
    ASSERT_EQ(Register(2, nullptr), 0);
}

TEST_F(LiveForecourtTest, EventsNotDeliveredWhenTheClientObjectGoesAreDropped) {
    Start(175);
    RecordingSink control;
    ASSERT_EQ(Register(2, &control), 0);
    ASSERT_EQ(Ctl({"lift", "2", "1"}).exitCode, 0);
    ASSERT_EQ(Ctl({"authorise", "2"}).exitCode, 0);
    ASSERT_EQ(Ctl({"tick", "2000"}).exitCode, 0);
    ASSERT_TRUE(
        e2e::WaitUntil([] { return PendingEventMessages() >= 3; }, std::chrono::seconds(10)));
    // The container lets go of the object and its module while the events wait.
    point_->Unadvise(cookie_);
    point_->Release();
    point_ = nullptr;
    client_->Release();
    client_ = nullptr;
    EXPECT_EQ(control.refs, 1u) << "the object released the control as it went";
    CoFreeUnusedLibraries();
    // The waiting messages went with the object's window: no sink call, and no call into the
    // unloaded code.
    EXPECT_EQ(PendingEventMessages(), 0);
    platform::RunMessageLoopFor(100);
    EXPECT_TRUE(control.calls.empty());
}

TEST_F(LiveForecourtTest, AKilledServerGivesTheContainerALostConnectionAndEveryCall3) {
    Start(162);
    RecordingSink control;
    ASSERT_EQ(Register(4, &control), 0);
    server_->Stop(SIGKILL);
    ASSERT_TRUE(DispatchUntil([&] { return !containerSink_.calls.empty(); }));
    ASSERT_EQ(containerSink_.calls.size(), 1u);
    EXPECT_EQ(containerSink_.calls[0].dispid, 1);  // ConnectionLost
    EXPECT_EQ(containerSink_.calls[0].args[0].lVal, 3);
    LONG rc = -1;
    ASSERT_EQ(Invoke(client_, kPumpAuthorise, {I4(4)}, &rc), S_OK);
    EXPECT_EQ(rc, 3);
    EXPECT_EQ(Get(client_, 6).iVal, 0);  // Connected
    ASSERT_EQ(Invoke(client_, kLogoff, {}, &rc), S_OK);
    EXPECT_TRUE(control.calls.empty());
    ASSERT_EQ(Register(4, nullptr), 0);
}

TEST_F(LiveForecourtTest, TheClientObjectRefusesBadArgumentsWithoutCalling) {
    Start(163);
    LONG rc = -1;
    struct Row {
        const char* what;
        DISPID dispid;
        std::vector<VARIANT> args;
        HRESULT expected;
    };
    SHORT out = 0;
    const VARIANT wrongRef = ByRef(VT_I2, &out);  // the count is a long
    Row rows[] = {
        {"too few arguments", kPumpAuthorise, {}, DISP_E_BADPARAMCOUNT},
        {"a text that is no number", kPumpAuthorise, {Text("three")}, DISP_E_TYPEMISMATCH},
        {"an output of another type", kReadPumpHosesCount, {I4(3), wrongRef}, DISP_E_TYPEMISMATCH},
        {"an unknown member", 500, {}, DISP_E_MEMBERNOTFOUND},
    };
    for (Row& row : rows) {
        EXPECT_EQ(Invoke(client_, row.dispid, row.args, &rc), row.expected) << row.what;
    }
    // A number given as text is converted, as automation does.
    ASSERT_EQ(Invoke(client_, kPumpCancelAuthorise, {Text("3")}, &rc), S_OK);
    EXPECT_EQ(rc, 20);  // the idle pump cannot take it
    LONG count = 0;
    const VARIANT countRef = ByRef(VT_I4, &count);
    ASSERT_EQ(Invoke(client_, kReadPumpHosesCount, {I4(3), countRef}, &rc), S_OK);
    EXPECT_EQ(rc, 0);
    EXPECT_EQ(count, 2);
    ASSERT_EQ(Invoke(client_, kReadPumpHosesCount, {I4(77), countRef}, &rc), S_OK);
    EXPECT_EQ(rc, 6);
}

// A script hands its variables over as VARIANTs by reference, whatever they held before.
TEST_F(LiveForecourtTest, AScriptsVariablesReceiveTheOutputsInTheirTypes) {
    Start(166);
    LONG rc = -1;
    VARIANT count = Text("stale");
    ASSERT_EQ(Invoke(client_, kReadPumpHosesCount, {I4(3), ByRef(VT_VARIANT, &count)}, &rc), S_OK);
    EXPECT_EQ(rc, 0);
    ASSERT_EQ(count.vt, VT_I4) << "the text it held was freed and replaced";
    EXPECT_EQ(count.lVal, 2);

    ASSERT_EQ(Ctl({"lift", "3", "1"}).exitCode, 0);  // the pump shows its hose's grade
    ScopedVariants status(14);  // ReadPumpStatus: the pump, then its 13 outputs
    status[0] = Text("3");      // a by-value input is read, its variable left as it was
    std::vector<VARIANT> args;
    for (std::size_t i = 0; i < status.size(); ++i) {
        args.push_back(ByRef(VT_VARIANT, &status[i]));
    }
    ASSERT_EQ(Invoke(client_, kReadPumpStatus, args, &rc), S_OK);
    EXPECT_EQ(rc, 0);
    EXPECT_EQ(status[0].vt, VT_BSTR);
    EXPECT_EQ(status[1].vt, VT_I2);    // State
    EXPECT_EQ(status[1].iVal, 6);      // calling
    ASSERT_EQ(status[7].vt, VT_BSTR);  // GradeName
    EXPECT_FALSE(BstrToUtf8(status[7].bstrVal).empty());
    EXPECT_EQ(status[10].vt, VT_R8);  // Price
    EXPECT_GT(status[10].dblVal, 0.0);

    // One variable for the State (a short) and the GradeName (a BSTR) is refused before the
    // call, which would write the one over the other.
    std::vector<VARIANT> aliased = args;
    aliased[7] = ByRef(VT_VARIANT, &status[1]);
    UINT argErr = 99;
    EXPECT_EQ(platform::Invoke(client_, kReadPumpStatus, DISPATCH_METHOD, aliased, nullptr, nullptr,
                               &argErr),
              E_INVALIDARG);
    EXPECT_EQ(argErr, 6u) << "GradeName, counted from the last argument";
    EXPECT_EQ(status[1].vt, VT_I2) << "the variable keeps what it held";

    VARIANT nested = ByRef(VT_I4, &rc);  // a reference inside the reference is refused
    EXPECT_EQ(Invoke(client_, kReadPumpHosesCount, {I4(3), ByRef(VT_VARIANT, &nested)}, &rc),
              DISP_E_TYPEMISMATCH);
    VariantClear(&count);
}

TEST_F(LiveForecourtTest, AStuckSubscriberIsDroppedAndTheOthersMissNothing) {
    Start(164, {"--events-queue", "1024"});
    kestro::client::ClientLink stuckLink;
    kestro::client::ClientLink readerLink;
    BSTR address = BstrFromUtf8(server_->address());
    ASSERT_EQ(stuckLink.LogOn(7, 0, address, 5123, 5124, 5000, 0, 0, 0), 0);
    ASSERT_EQ(readerLink.LogOn(8, 0, address, 5123, 5124, 5000, 0, 0, 0), 0);
    SysFreeString(address);
    kestro::client::EventSubscription stuck;
    kestro::client::EventSubscription reader;
    ASSERT_EQ(stuck.Open(stuckLink, server_->address(), 5124, 5000), 0);
    ASSERT_EQ(reader.Open(readerLink, server_->address(), 5124, 5000), 0);

    std::atomic<std::uint32_t> received = 0;
    std::atomic<bool> gapSeen = false;
    std::atomic<double> pump8Volume = -1;
    std::atomic<bool> stop = false;
    std::thread reading([&] {
        while (!stop) {
            kestro::wire::ReceivedEvent event;
            bool gap = false;
            if (reader.Read(100, event, gap) == kestro::client::EventSubscription::Next::kEvent) {
                gapSeen = gapSeen || gap;
                if (event.event.pumpId == 8) {
                    pump8Volume = event.event.status.volume;
                }
                ++received;
            }
        }
    });
    // A failed assertion below must not leave the reading thread running.
    struct StopReading {
        std::atomic<bool>& stop;
        std::thread& reading;
        ~StopReading() {
            stop = true;
            if (reading.joinable()) {
                reading.join();
            }
        }
    } stopReading{stop, reading};
    namespace calls = kestro::wire::pump_calls;
    for (std::int32_t pump = 1; pump <= 8; ++pump) {
        ASSERT_EQ(readerLink.Forward<calls::CustomerLift>(pump, 1), 0);
        ASSERT_EQ(readerLink.Forward<calls::PumpAuthorise>(pump), 0);
    }
    // Eight pumps delivering for ten minutes, a status per pump every 100 ms: 6 MB of events,
    // far more than the stuck subscriber's queue and socket buffers hold. The reader keeps up
    // chunk by chunk, never more than 400 events behind (well inside its queue of 1,024 even
    // when the machine is busy).
    for (int chunk = 1; chunk <= 120; ++chunk) {
        std::int64_t now = 0;
        ASSERT_EQ(readerLink.Forward<calls::ClockTick>(5000, &now), 0);
        const double expected = static_cast<double>(now - 1000) * 0.0005;
        ASSERT_TRUE(
            e2e::WaitUntil([&] { return pump8Volume == expected; }, std::chrono::seconds(20)))
            << "chunk " << chunk;
    }
    e2e::WaitUntil([&] { return received == 8u * (2 + 1 + 5990); }, std::chrono::seconds(10));
    stop = true;
    reading.join();
    EXPECT_FALSE(gapSeen);
    EXPECT_EQ(received, 8u * (2 + 1 + 5990));
    EXPECT_EQ(pump8Volume, 299.5);
    ASSERT_TRUE(
        e2e::WaitUntil([&] { return server_->Log().find("(events) dropped") != std::string::npos; },
                       std::chrono::seconds(10)))
        << server_->Log();
    // What the stuck one still finds are the events its buffers held, then the end.
    kestro::wire::ReceivedEvent event;
    bool gap = false;
    kestro::client::EventSubscription::Next next;
    while ((next = stuck.Read(5000, event, gap)) ==
           kestro::client::EventSubscription::Next::kEvent) {
    }
    EXPECT_EQ(next, kestro::client::EventSubscription::Next::kLost);
    stuckLink.LogOff();
    readerLink.LogOff();
}

// A subscriber is in the server's hub before its subscription is answered: the first change
// after Open returns reaches it (it used to be answered first and could miss that change).
TEST_F(LiveForecourtTest, TheFirstChangeAfterASubscriptionIsNeverMissed) {
    Start(169);
    kestro::client::ClientLink link;
    BSTR address = BstrFromUtf8(server_->address());
    ASSERT_EQ(link.LogOn(9, 0, address, 5123, 5124, 5000, 0, 0, 0), 0);
    SysFreeString(address);
    namespace calls = kestro::wire::pump_calls;
    for (int round = 0; round < 20; ++round) {
        kestro::client::EventSubscription events;
        ASSERT_EQ(events.Open(link, server_->address(), 5124, 5000), 0);
        const bool lift = round % 2 == 0;
        ASSERT_EQ(
            lift ? link.Forward<calls::CustomerLift>(1, 1) : link.Forward<calls::CustomerHang>(1),
            0);
        kestro::wire::ReceivedEvent event;
        bool gap = false;
        ASSERT_EQ(events.Read(5000, event, gap), kestro::client::EventSubscription::Next::kEvent)
            << "round " << round;
        EXPECT_EQ(event.event.pumpId, 1) << "round " << round;
        EXPECT_FALSE(gap);
    }
    link.LogOff();
}

TEST_F(LiveForecourtTest, KestroctlShowsThePumpsAndExplainsRefusals) {
    Start(165);
    struct Row {
        std::vector<std::string> arguments;
        int exitCode;
        const char* output;  // a part of the output
    };
    const Row rows[] = {
        {{"status", "3"}, 0, "pump 3: state 3 idle, reserved for 0 by -1, hose 0 (id -1)"},
        {{"lift", "3", "9"}, 1, "kestroctl: lift 3 9 failed - invalid argument."},
        {{"lift", "3", "1"}, 0, ""},
        {{"lift", "3", "1"},
         1,
         "kestroctl: lift 3 1 failed - the pump's state does not allow this command."},
        {{"status"},
         0,
         "pump 3: state 6 calling, reserved for 0 by -1, hose 1 (id 31), grade 1 "
         "Gasolina Comum (GC), level 1, price 5.899"},
        {{"authorise", "3"}, 0, ""},
        {{"tick", "1500"}, 0, "clock at 1.500 s"},
        {{"hang", "3"}, 0, ""},
        {{"deliveries", "3"},
         0,
         "pump 3 delivery 1: state 1 current, type 1, hose 1 (id 31), grade 1 Gasolina Comum, "
         "level 1, price 5.899, volume 0.250, value 1.47"},
        {{"pay", "3", "2"}, 1, "kestroctl: pay 3 2 failed - record not found."},
        {{"driveoff", "3", "1"}, 0, ""},
        {{"fault", "3", "0"}, 0, ""},
        {{"status", "3"}, 0, "pump 3: state 0 not responding"},
        {{"flow", "2.5"}, 0, ""},
        {{"lift", "3"}, 2, "kestroctl: lift takes 2 arguments"},
        {{"jump", "3"}, 2, "kestroctl: unknown command 'jump'"},
        {{"tick", "x"}, 2, "kestroctl: tick: 'x' is no number"},
        // Numbers the call cannot carry or the server would refuse are usage errors.
        {{"fault", "3", "65539"},
         2,
         "kestroctl: fault: STATE is 0, 1, 2, 16 or 17 (a fault) or 3 (its end), not '65539'"},
        {{"fault", "3", "8"},
         2,
         "kestroctl: fault: STATE is 0, 1, 2, 16 or 17 (a fault) or 3 (its end), not '8'"},
        {{"fault", "3", "-1"}, 2, "not '-1'"},
        {{"status", "3"}, 0, "pump 3: state 0 not responding"},
        {{"tick", "2147483647"}, 2, "kestroctl: tick: MS is from 0 to 600000, not '2147483647'"},
        {{"tick", "-5"}, 2, "kestroctl: tick: MS is from 0 to 600000, not '-5'"},
        {{"watch", "-1"}, 2, "kestroctl: watch: COUNT is 0 or more, not '-1'"},
        {{"fault", "3", "3"}, 0, ""},
        {{"status", "3"}, 0, "pump 3: state 3 idle, reserved for 0 by -1, hose 0 (id -1)"},
    };
    for (const Row& row : rows) {
        e2e::Run run = Ctl(row.arguments);
        EXPECT_EQ(run.exitCode, row.exitCode) << row.arguments[0] << "\n" << run.output;
        EXPECT_NE(run.output.find(row.output), std::string::npos) << row.arguments[0] << "\n"
                                                                  << run.output;
    }
}

// kestrod on a manual clock and a client link logged on to it, without COM.
class LiveForecourtProgram : public testing::Test {
  protected:
    void Start(int block) {
        server_ = std::make_unique<e2e::Kestrod>(folder_, block, "live.db",
                                                 std::vector<std::string>{"--clock", "manual"});
        ASSERT_TRUE(server_->ready());
        BSTR address = BstrFromUtf8(server_->address());
        ASSERT_EQ(link_.LogOn(9, 0, address, 5123, 5124, 5000, 0, 0, 0), 0);
        SysFreeString(address);
    }

    test_support::TempFolder folder_{"live_program"};
    std::unique_ptr<e2e::Kestrod> server_;
    kestro::client::ClientLink link_;
};

// Subscribes on `server`'s events port with a ticket of `link`, sends one stray byte and
// closes: a client that misbehaves and goes. True when the subscription was accepted.
bool StraySubscriber(kestro::client::ClientLink& link, const e2e::Kestrod& server) {
    std::int32_t ticket = 0;
    if (link.Forward<kestro::wire::pump_calls::OpenEvents>(&ticket) != 0) {
        return false;
    }
    kestro::wire::Socket socket;
    if (!kestro::wire::ConnectTo(server.address(), 5124, 5000, socket).ok()) {
        return false;
    }
    using Subscribe = kestro::wire::Marshal<kestro::wire::pump_calls::Subscribe>;
    std::vector<std::uint8_t> frame;
    Subscribe::EncodeRequest(1, frame, ticket);
    std::int32_t result = -1;
    if (!kestro::wire::SendFrame(socket, frame, 5000).ok() ||
        !kestro::wire::ReceiveFrame(socket, 5000, frame).ok() ||
        Subscribe::DecodeResponse(frame, 1, result, ticket) != kestro::wire::WireError::kNone) {
        return false;
    }
    return result == 0 && send(socket.descriptor(), "x", 1, 0) == 1;
}

// 63 subscribers that each send a stray byte and close would hold 63 of the 64 places for as
// long as kestrod ran if they were not noticed; they are dropped at once, and a watch finds
// its place.
TEST_F(LiveForecourtProgram, SubscribersThatSendAByteAndCloseAreDroppedAtOnce) {
    Start(170);
    e2e::Kestrod& server = *server_;
    kestro::client::ClientLink& link = link_;
    const test_support::TempFolder& folder = folder_;
    for (int stray = 1; stray <= 63; ++stray) {
        ASSERT_TRUE(StraySubscriber(link, server)) << "stray subscriber " << stray;
    }
    link.LogOff();
    ASSERT_TRUE(e2e::WaitUntil(
        [&] {
            std::size_t dropped = 0;
            const std::string log = server.Log();
            for (std::size_t at = 0; (at = log.find("dropped: it sent data after subscribing",
                                                    at)) != std::string::npos;
                 ++at) {
                ++dropped;
            }
            return dropped == 63;
        },
        std::chrono::seconds(5)))
        << server.Log();
    e2e::Run watch = RunCtl(folder, server, {"watch", "0"});
    EXPECT_EQ(watch.exitCode, 0) << watch.output;
    EXPECT_EQ(watch.output, "watching " + server.address() + "\n");
    EXPECT_EQ(server.Stop(), 0);
}

// What any client may send, not only kestroctl: the server refuses a state that is no fault
// and a tick beyond its bound, and changes nothing.
TEST_F(LiveForecourtProgram, TheServerRefusesNonFaultStatesAndUnboundedTicks) {
    Start(171);
    e2e::Kestrod& server = *server_;
    kestro::client::ClientLink& link = link_;
    const test_support::TempFolder& folder = folder_;
    namespace calls = kestro::wire::pump_calls;
    for (std::int16_t state : {4, 5, 6, 7, 8, 15, 18, -1}) {
        EXPECT_EQ(link.Forward<calls::PumpFault>(3, state), kestro::kInvalidArgument) << state;
    }
    std::int64_t now = -1;
    for (std::int32_t ms : {600001, 2147483647, -1}) {
        EXPECT_EQ(link.Forward<calls::ClockTick>(ms, &now), kestro::kInvalidArgument) << ms;
    }
    ASSERT_EQ(link.Forward<calls::ClockTick>(600000, &now), 0);
    EXPECT_EQ(now, 600000);
    e2e::Run status = RunCtl(folder, server, {"status", "3"});
    EXPECT_NE(status.output.find("pump 3: state 3 idle, reserved for 0 by -1, hose 0 (id -1), "
                                 "grade -1"),
              std::string::npos)
        << status.output;
    for (std::int16_t state : {0, 1, 2, 16, 17, 3}) {
        EXPECT_EQ(link.Forward<calls::PumpFault>(3, state), 0) << state;
    }
    link.LogOff();
    EXPECT_EQ(server.Stop(), 0);
}

// A stop during the longest tick the server takes, on the largest station with the demo's
// customers: the steps end at once and kestrod exits within a second.
TEST(LiveForecourtMaxStation, SigtermEndsKestrodWithinASecondDuringALongTick) {
    test_support::TempFolder folder("live_long_tick");
    e2e::Kestrod server(folder, 172, "max.db", {"--clock", "manual", "--demo", "--station", "max"});
    ASSERT_TRUE(server.ready());
    std::atomic<bool> answered = false;
    std::thread ticking([&] {
        e2e::Run run = RunCtl(folder, server, {"tick", "600000"});
        answered = true;
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    const bool inTheTick = !answered;
    const auto start = std::chrono::steady_clock::now();
    const int exitCode = server.Stop();
    const auto took = std::chrono::steady_clock::now() - start;
    ticking.join();
    EXPECT_EQ(exitCode, 0);
    EXPECT_LT(std::chrono::duration_cast<std::chrono::milliseconds>(took).count(), 1000);
    if (!inTheTick) {
        GTEST_SKIP() << "the tick ended before the stop: this machine steps too fast to tell";
    }
}

}  // namespace
