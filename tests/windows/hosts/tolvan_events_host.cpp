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

#include <cstdio>
#include <cstdlib>
#include <initializer_list>
#include <string>
#include <vector>

namespace {

// _DTolvanEvents, and the client object's _DKestroClientEvents with its ConnectionLost.
constexpr IID kTolvanEventsIid = {
    0x1A23B247, 0xC9CF, 0x43F5, {0xA7, 0xAE, 0x6B, 0x1F, 0xF4, 0xBD, 0xB5, 0x2A}};
constexpr IID kClientEventsIid = {
    0x6E0B5C3A, 0x2F41, 0x4D8B, {0x9A, 0x7E, 0x3C, 0x15, 0xD2, 0xB8, 0xF4, 0x03}};
constexpr DISPID kConnectionLost = 1;

constexpr VARTYPE kNameRef = VT_BYREF | VT_BSTR;

struct Parameter {
    const char* name;
    VARTYPE vt;
};

// The parameters of the control's events, in the type library's order.
const std::vector<Parameter> kStatusParameters = {
    {"State", VT_I2},        {"ReservedFor", VT_I2},
    {"ReservedBy", VT_I4},   {"HoseID", VT_I4},
    {"HoseNumber", VT_I2},   {"GradeID", VT_I4},
    {"GradeName", kNameRef}, {"ShortGradeName", kNameRef},
    {"PriceLevel", VT_I2},   {"Price", VT_R8},
    {"Volume", VT_R8},       {"Value", VT_R8},
    {"StackSize", VT_I2}};

const std::vector<Parameter> kDeliveryParameters = {
    {"DeliveryID", VT_I4},    {"HoseID", VT_I4},        {"HoseNumber", VT_I2},
    {"GradeID", VT_I4},       {"GradeName", kNameRef},  {"ShortGradeName", kNameRef},
    {"PriceLevel", VT_I2},    {"Price", VT_R8},         {"Volume", VT_R8},
    {"Value", VT_R8},         {"DeliveryState", VT_I2}, {"DeliveryType", VT_I2},
    {"LockedBy", VT_I4},      {"ReservedBy", VT_I4},    {"Age", VT_I4},
    {"CompletedDT", VT_DATE}, {"AttendantID", VT_I4}};

std::vector<Parameter> WithTotals(std::vector<Parameter> parameters) {
    parameters.push_back({"VolumeETot", VT_R8});
    parameters.push_back({"Volume2ETot", VT_R8});
    parameters.push_back({"ValueETot", VT_R8});
    return parameters;
}

struct Event {
    DISPID dispid;
    const char* name;
    std::vector<Parameter> parameters;
};

const Event kEvents[] = {{1, "StatusEvent", kStatusParameters},
                         {2, "DeliveryEvent", kDeliveryParameters},
                         {3, "DeliverySelectedEvent", kDeliveryParameters},
                         {4, "DeliveryEventEx", WithTotals(kDeliveryParameters)}};

int eventsOnOtherThreads = 0;
bool connectionLost = false;

std::string Narrow(const wchar_t* text) {
    if (text == nullptr) {
        return "(null)";
    }
    const int size = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    std::string narrow(static_cast<std::size_t>(size > 0 ? size - 1 : 0), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, -1, narrow.data(), size, nullptr, nullptr);
    return narrow;
}

std::string Number(double value) {
    char text[40];
    std::snprintf(text, sizeof text, "%.15g", value);
    return text;
}

// The argument as NAME=VALUE, or NAME=<vt X, declared Y> when its type is not the declared one.
std::string Argument(const Parameter& parameter, const VARIANT& arg) {
    std::string text = std::string(parameter.name) + "=";
    if (arg.vt != parameter.vt) {
        char mismatch[64];
        std::snprintf(mismatch, sizeof mismatch, "<vt 0x%X, declared 0x%X>", arg.vt, parameter.vt);
        return text + mismatch;
    }
    switch (arg.vt) {
        case VT_I2:
            return text + std::to_string(arg.iVal);
        case VT_I4:
            return text + std::to_string(arg.lVal);
        case VT_R8:
            return text + Number(arg.dblVal);
        case VT_DATE:
            return text + Number(arg.date);
        case kNameRef:
            return text + "\"" + (arg.pbstrVal == nullptr ? "(no string)" : Narrow(*arg.pbstrVal)) +
                   "\"";
        default:
            return text + "?";
    }
}

void PrintEvent(DISPID dispid, const DISPPARAMS& params) {
    const Event* event = nullptr;
    for (const Event& known : kEvents) {
        if (known.dispid == dispid) {
            event = &known;
        }
    }
    if (event == nullptr) {
        std::printf("unknown event %ld with %u arguments\n", dispid, params.cArgs);
        return;
    }
    std::string line = event->name;
    if (params.cArgs != event->parameters.size()) {
        line += " with " + std::to_string(params.cArgs) + " arguments, declared " +
                std::to_string(event->parameters.size());
    } else {
        // The arguments come last first: the first one is rgvarg[cArgs - 1].
        for (UINT i = 0; i < params.cArgs; ++i) {
            line += " " + Argument(event->parameters[i], params.rgvarg[params.cArgs - 1 - i]);
        }
    }
    if (params.cNamedArgs != 0) {
        line += " (with named arguments)";
    }
    std::printf("%s\n", line.c_str());
}

void OnControlEvent(DISPID dispid, const DISPPARAMS& params) {
    if (!host::OnCreatingThread()) {
        ++eventsOnOtherThreads;
    }
    PrintEvent(dispid, params);
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

DISPID IdOf(IDispatch* object, const wchar_t* name) {
    DISPID dispid = DISPID_UNKNOWN;
    LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
    object->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &dispid);
    return dispid;
}

HRESULT Get(IDispatch* object, const wchar_t* name, VARIANT* value) {
    DISPPARAMS none{nullptr, nullptr, 0, 0};
    return object->Invoke(IdOf(object, name), IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET,
                          &none, value, nullptr, nullptr);
}

HRESULT Put(IDispatch* object, const wchar_t* name, VARIANT value) {
    DISPID putId = DISPID_PROPERTYPUT;
    DISPPARAMS params{&value, &putId, 1, 1};
    return object->Invoke(IdOf(object, name), IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYPUT,
                          &params, nullptr, nullptr, nullptr);
}

VARIANT I4(LONG value) {
    VARIANT v;
    v.vt = VT_I4;
    v.lVal = value;
    return v;
}

VARIANT I2(SHORT value) {
    VARIANT v;
    v.vt = VT_I2;
    v.iVal = value;
    return v;
}

VARIANT R8(double value, VARTYPE vt = VT_R8) {
    VARIANT v;
    v.vt = vt;
    v.dblVal = value;
    return v;
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

// Advises SINK on the connection point IID of OBJECT; the point and cookie go to the caller.
HRESULT Advise(IDispatch* object, const IID& iid, host::EventSink* sink, IConnectionPoint** point,
               DWORD* cookie) {
    IConnectionPointContainer* container = nullptr;
    HRESULT hr =
        object->QueryInterface(IID_IConnectionPointContainer, reinterpret_cast<void**>(&container));
    if (FAILED(hr)) {
        return hr;
    }
    hr = container->FindConnectionPoint(iid, point);
    container->Release();
    return FAILED(hr) ? hr : (*point)->Advise(sink, cookie);
}

}  // namespace

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
