// A container of the client object written against Windows' COM alone, as a point-of-sale
// program is: it creates Kestro.Client.1 by its ProgID, logs on, advises its own sink on the
// object's events and registers the same sink as pump 1's control, then runs its message loop
// and prints each event it receives, and on which thread. cscript cannot receive these
// events under Wine (its WScript.ConnectObject is not implemented there).
// Usage: kestro_client_events_host ADDRESS SECONDS
#include <ocidl.h>
#include <ole2.h>
#include <windows.h>

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

DWORD mainThread = 0;
bool statusSeen = false;
bool lostSeen = false;

const char* ThreadName() {
    return GetCurrentThreadId() == mainThread ? "the creating thread" : "ANOTHER THREAD";
}

class Sink final : public IDispatch {
  public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override {
        if (ppv == nullptr) {
            return E_POINTER;
        }
        if (riid == IID_IUnknown || riid == IID_IDispatch || riid == kClientEventsIid) {
            *ppv = static_cast<IDispatch*>(this);
            AddRef();
            return S_OK;
        }
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    // Lives on main's stack for the whole run.
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        *count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID dispid, REFIID, LCID, WORD, DISPPARAMS* params,
                                     VARIANT*, EXCEPINFO*, UINT*) override {
        // The arguments come last first: the first one is rgvarg[cArgs - 1].
        const VARIANT& first = params->rgvarg[params->cArgs - 1];
        if (dispid == kStatusEventSink && !statusSeen) {
            const VARIANT& grade = params->rgvarg[params->cArgs - 7];  // GradeName, by reference
            std::printf("StatusEventSink: %u arguments, State %d, GradeName \"%ls\", on %s\n",
                        params->cArgs, first.iVal, *grade.pbstrVal, ThreadName());
            statusSeen = true;
        } else if (dispid == kConnectionLost) {
            std::printf("ConnectionLost: Result %ld, on %s\n", first.lVal, ThreadName());
            lostSeen = true;
        }
        std::fflush(stdout);
        return S_OK;
    }
};

HRESULT Call(IDispatch* object, const wchar_t* name, VARIANT* reversedArgs, UINT count,
             VARIANT* result) {
    DISPID dispid = 0;
    LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
    HRESULT hr = object->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &dispid);
    if (FAILED(hr)) {
        return hr;
    }
    DISPPARAMS params{reversedArgs, nullptr, count, 0};
    return object->Invoke(dispid, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, result,
                          nullptr, nullptr);
}

int Fail(const char* what, HRESULT hr) {
    std::printf("FAILED: %s (0x%08lX)\n", what, static_cast<unsigned long>(hr));
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: kestro_client_events_host ADDRESS SECONDS\n");
        return 2;
    }
    mainThread = GetCurrentThreadId();
    if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {
        return Fail("CoInitializeEx", E_FAIL);
    }
    CLSID clsid;
    HRESULT hr = CLSIDFromProgID(L"Kestro.Client.1", &clsid);
    if (FAILED(hr)) {
        return Fail("CLSIDFromProgID", hr);
    }
    IDispatch* client = nullptr;
    hr = CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch,
                          reinterpret_cast<void**>(&client));
    if (FAILED(hr)) {
        return Fail("CoCreateInstance", hr);
    }
    const std::string narrow = argv[1];
    const std::wstring address(narrow.begin(), narrow.end());
    VARIANT logon[2];
    logon[1].vt = VT_BSTR;
    logon[1].bstrVal = SysAllocString(address.c_str());
    logon[0].vt = VT_I4;
    logon[0].lVal = 5000;
    VARIANT rc;
    VariantInit(&rc);
    hr = Call(client, L"Logon", logon, 2, &rc);
    SysFreeString(logon[1].bstrVal);
    if (FAILED(hr) || rc.lVal != 0) {
        return Fail("Logon", hr);
    }
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
    Sink sink;
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
    const DWORD deadline = GetTickCount() + 1000u * static_cast<DWORD>(std::atoi(argv[2]));
    while (!(statusSeen && lostSeen) && GetTickCount() < deadline) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
    }
    point->Unadvise(cookie);
    point->Release();
    Call(client, L"Logoff", nullptr, 0, &rc);
    client->Release();
    CoUninitialize();
    std::printf("%s\n", statusSeen && lostSeen ? "both events received" : "events missing");
    return statusSeen && lostSeen ? 0 : 1;
}
