// A container of the pump display control written against Windows' COM alone, as a
// point-of-sale program is: it creates TOLVAN.TolvanCtrl.1 and Kestro.Client.1 by their
// ProgIDs, logs the client object on, advises a sink of its own on the control's events (and on
// the client object's, to learn when the server is gone), puts the pump's ID and hands the
// control the client object with SetKestro. Then it runs its message loop, in which the client
// object calls the control's sinks and the control raises its events, and prints every event
// with its arguments, each held against the types the control's type library declares.
// Once the connection is lost (the test stops the server) it calls DeliveryEventSink itself, as
// a container may, prints what the control then holds and ends.
// Usage: tolvan_events_host ADDRESS PUMP SECONDS
#include <ocidl.h>
#include <ole2.h>
#include <windows.h>

#include "host_support.h"
#include "tolvan_event_text.h"

#include <cstdio>
#include <cstdlib>
#include <initializer_list>
#include <string>
#include <vector>

namespace {

using host::Get;
using host::I2;
using host::I4;
using host::kNameRef;
using host::kTolvanEventsIid;
using host::Narrow;
using host::Number;
using host::Put;
using host::R8;

// The client object's _DKestroClientEvents with its ConnectionLost.
constexpr IID kClientEventsIid = {
    0x6E0B5C3A, 0x2F41, 0x4D8B, {0x9A, 0x7E, 0x3C, 0x15, 0xD2, 0xB8, 0xF4, 0x03}};
constexpr DISPID kConnectionLost = 1;

int eventsOnOtherThreads = 0;
bool connectionLost = false;

void OnControlEvent(DISPID dispid, const DISPPARAMS& params) {
    if (!host::OnCreatingThread()) {
        ++eventsOnOtherThreads;
    }
    std::printf("%s\n", host::EventText(dispid, params).c_str());
}

void OnClientEvent(DISPID dispid, const DISPPARAMS&) {
    if (!host::OnCreatingThread()) {
        ++eventsOnOtherThreads;
    }
    if (dispid == kConnectionLost) {
        std::printf("the client object lost its connection\n");
        connectionLost = true;
    }
}

// What the control holds, property by property, as VALUE or "TEXT".
std::string Properties(IDispatch* control, std::initializer_list<const wchar_t*> names) {
    std::string line;
    for (const wchar_t* name : names) {
        VARIANT value;
        VariantInit(&value);
        const HRESULT hr = Get(control, name, &value);
        line += (line.empty() ? "" : ", ") + Narrow(name) + " ";
        if (FAILED(hr)) {
            char failure[32];
            std::snprintf(failure, sizeof failure, "failed 0x%08lX",
                          static_cast<unsigned long>(hr));
            line += failure;
        } else if (value.vt == VT_BSTR) {
            line += "\"" + Narrow(value.bstrVal) + "\"";
        } else if (value.vt == VT_R8) {
            line += Number(value.dblVal);
        } else if (SUCCEEDED(VariantChangeType(&value, &value, 0, VT_I4))) {
            line += std::to_string(value.lVal);
        }
        VariantClear(&value);
    }
    return line;
}

}  // namespace

using host::Advise;
using host::Call;
using host::Create;
using host::Fail;

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: tolvan_events_host ADDRESS PUMP SECONDS\n");
        return 2;
    }
    if (FAILED(host::EnterApartment())) {
        return Fail("CoInitializeEx", E_FAIL);
    }
    IDispatch* control = nullptr;
    HRESULT hr = Create(L"TOLVAN.TolvanCtrl.1", &control);
    if (FAILED(hr)) {
        return Fail("creating TOLVAN.TolvanCtrl.1", hr);
    }
    IDispatch* client = nullptr;
    hr = Create(L"Kestro.Client.1", &client);
    if (FAILED(hr)) {
        return Fail("creating Kestro.Client.1", hr);
    }
    hr = host::Logon(client, argv[1]);
    if (FAILED(hr)) {
        return Fail("Logon", hr);
    }
    VARIANT rc;
    VariantInit(&rc);

    host::EventSink controlSink(kTolvanEventsIid, OnControlEvent);
    host::EventSink clientSink(kClientEventsIid, OnClientEvent);
    IConnectionPoint* controlPoint = nullptr;
    IConnectionPoint* clientPoint = nullptr;
    DWORD controlCookie = 0;
    DWORD clientCookie = 0;
    hr = Advise(control, kTolvanEventsIid, &controlSink, &controlPoint, &controlCookie);
    if (FAILED(hr)) {
        return Fail("advising on _DTolvanEvents", hr);
    }
    hr = Advise(client, kClientEventsIid, &clientSink, &clientPoint, &clientCookie);
    if (FAILED(hr)) {
        return Fail("advising on the client object's events", hr);
    }

    const LONG pump = std::atol(argv[2]);
    hr = Put(control, L"ID", I4(pump));
    if (FAILED(hr)) {
        return Fail("putting ID", hr);
    }
    IDispatch* handle = client;
    VARIANT byReference;
    byReference.vt = VT_BYREF | VT_DISPATCH;
    byReference.ppdispVal = &handle;
    hr = Call(control, L"SetKestro", &byReference, 1, &rc);
    if (FAILED(hr) || rc.vt != VT_I4 || rc.lVal != 0) {
        return Fail("SetKestro", hr);
    }
    std::printf("control of pump %ld: %s\n", pump,
                Properties(control, {L"Number", L"Name", L"PumpState", L"CurGradeID"}).c_str());
    std::printf("ready for events\n");
    std::fflush(stdout);

    // The client object's events arrive as messages of this thread: the ordinary loop delivers
    // them, and the control raises its own from within.
    host::RunMessageLoop(static_cast<DWORD>(std::atoi(argv[3])), [] { return connectionLost; });
    if (!connectionLost) {
        std::printf("FAILED: no lost connection within %s seconds\n", argv[3]);
    }
    std::printf("after the events: %s\n",
                Properties(control, {L"PumpState", L"CurHoseNumber", L"CurGradeName", L"CurPrice",
                                     L"CurVolume", L"CurValue", L"StackSize"})
                    .c_str());

    // A container may pass on a delivery change itself: DeliveryID -1 empties the control's
    // list, and the control raises DeliveryEvent with the arguments as given.
    BSTR gradeName = SysAllocString(L"");
    BSTR shortName = SysAllocString(L"");
    VARIANT change[17];
    change[16] = I4(-1);
    change[15] = I4(-1);
    change[14] = I2(0);
    change[13] = I4(-1);
    change[12].vt = kNameRef;
    change[12].pbstrVal = &gradeName;
    change[11].vt = kNameRef;
    change[11].pbstrVal = &shortName;
    change[10] = I2(1);
    change[9] = R8(0);
    change[8] = R8(0);
    change[7] = R8(0);
    change[6] = I2(3);
    change[5] = I2(0);
    change[4] = I4(-1);
    change[3] = I4(-1);
    change[2] = I4(0);
    change[1] = R8(0, VT_DATE);
    change[0] = I4(-1);
    VariantInit(&rc);
    hr = Call(control, L"DeliveryEventSink", change, 17, &rc);
    std::printf("DeliveryEventSink(-1): hr 0x%08lX, result %ld\n", static_cast<unsigned long>(hr),
                rc.vt == VT_I4 ? rc.lVal : -999L);
    SysFreeString(gradeName);
    SysFreeString(shortName);

    hr = controlPoint->Unadvise(controlCookie);
    std::printf("Unadvise: 0x%08lX\n", static_cast<unsigned long>(hr));
    controlPoint->Release();
    clientPoint->Unadvise(clientCookie);
    clientPoint->Release();
    control->Release();
    Call(client, L"Logoff", nullptr, 0, &rc);
    client->Release();
    CoUninitialize();
    std::printf("%s\n", eventsOnOtherThreads == 0 ? "every event on the creating thread"
                                                  : "EVENTS ON ANOTHER THREAD");
    return connectionLost && eventsOnOtherThreads == 0 ? 0 : 1;
}
