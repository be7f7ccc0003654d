// A container of the client object written against Windows' COM alone, as a point-of-sale
// program is: it creates Kestro.Client.1 by its ProgID, logs on, advises its own sink on the
// object's events and registers the same sink as pump 1's control, then runs its message loop
// and prints each event it receives, and on which thread. cscript cannot receive these
// events under Wine (its WScript.ConnectObject is not implemented there).
// Usage: kestro_client_events_host ADDRESS SECONDS
#include <ocidl.h>
#include <ole2.h>
#include <windows.h>

#include "host_support.h"

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

// The client object's type library gives these: _DKestroClientEvents and its ConnectionLost,
// and the pump control's StatusEventSink and RegisterPumpControl DISPIDs.
constexpr IID kClientEventsIid = {
    0x6E0B5C3A, 0x2F41, 0x4D8B, {0x9A, 0x7E, 0x3C, 0x15, 0xD2, 0xB8, 0xF4, 0x03}};
constexpr DISPID kConnectionLost = 1;
constexpr DISPID kStatusEventSink = 49;

bool statusSeen = false;
bool lostSeen = false;

const char* ThreadName() {
    return host::OnCreatingThread() ? "the creating thread" : "ANOTHER THREAD";
}

// The arguments come last first: the first one is rgvarg[cArgs - 1].
void OnEvent(DISPID dispid, const DISPPARAMS& params) {
    const VARIANT& first = params.rgvarg[params.cArgs - 1];
    if (dispid == kStatusEventSink && !statusSeen) {
        const VARIANT& grade = params.rgvarg[params.cArgs - 7];  // GradeName, by reference
        std::printf("StatusEventSink: %u arguments, State %d, GradeName \"%ls\", on %s\n",
                    params.cArgs, first.iVal, *grade.pbstrVal, ThreadName());
        statusSeen = true;
    } else if (dispid == kConnectionLost) {
        std::printf("ConnectionLost: Result %ld, on %s\n", first.lVal, ThreadName());
        lostSeen = true;
    }
}

}  // namespace

using host::Call;
using host::Fail;

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: kestro_client_events_host ADDRESS SECONDS\n");
        return 2;
    }
    if (FAILED(host::EnterApartment())) {
        return Fail("CoInitializeEx", E_FAIL);
    }
    IDispatch* client = nullptr;
    HRESULT hr = host::Create(L"Kestro.Client.1", &client);
    if (FAILED(hr)) {
        return Fail("creating Kestro.Client.1", hr);
    }
    hr = host::Logon(client, argv[1]);
    if (FAILED(hr)) {
        return Fail("Logon", hr);
    }
    VARIANT rc;
    VariantInit(&rc);
    IConnectionPointContainer* container = nullptr;
    hr =
        client->QueryInterface(IID_IConnectionPointContainer, reinterpret_cast<void**>(&container));
    if (FAILED(hr)) {
        return Fail("IConnectionPointContainer", hr);
    }
    IConnectionPoint* point = nullptr;
    hr = container->FindConnectionPoint(kClientEventsIid, &point);
    container->Release();
    if (FAILED(hr)) {
        return Fail("FindConnectionPoint", hr);
    }
    host::EventSink sink(kClientEventsIid, OnEvent);
    DWORD cookie = 0;
    hr = point->Advise(&sink, &cookie);
    if (FAILED(hr)) {
        return Fail("Advise", hr);
    }
    IDispatch* control = &sink;
    VARIANT registration[2];
    registration[1].vt = VT_I4;
    registration[1].lVal = 1;
    registration[0].vt = VT_BYREF | VT_DISPATCH;
    registration[0].ppdispVal = &control;
    hr = Call(client, L"RegisterPumpControl", registration, 2, &rc);
    if (FAILED(hr) || rc.lVal != 0) {
        return Fail("RegisterPumpControl", hr);
    }
    std::printf("advised with cookie %lu, pump 1 registered\n", cookie);
    std::fflush(stdout);

    // The events arrive as messages of this thread: the ordinary loop delivers them.
    host::RunMessageLoop(static_cast<DWORD>(std::atoi(argv[2])),
                         [] { return statusSeen && lostSeen; });
    point->Unadvise(cookie);
    point->Release();
    Call(client, L"Logoff", nullptr, 0, &rc);
    client->Release();
    CoUninitialize();
    std::printf("%s\n", statusSeen && lostSeen ? "both events received" : "events missing");
    return statusSeen && lostSeen ? 0 : 1;
}
