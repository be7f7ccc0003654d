// What the host programs of the SDK's COM share: creating an object by its ProgID, calling its
// methods and reading and writing its properties by name, advising a sink on a connection point,
// logging the client object on, a sink that passes the events of one connection point to a
// handler, the message loop that delivers them, and the failure line.
#pragma once

#include <ocidl.h>
#include <ole2.h>
#include <windows.h>

#include <cstdio>
#include <functional>
#include <string>
#include <utility>

namespace host {

// The thread that entered the single-threaded apartment: every event is to arrive on it.
inline DWORD creatingThread = 0;

inline HRESULT EnterApartment() {
    creatingThread = GetCurrentThreadId();
    return CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
}

inline bool OnCreatingThread() {
    return GetCurrentThreadId() == creatingThread;
}

// A sink for the connection point IID; each event goes to HANDLER, then stdout is flushed so
// the test sees every line as it happens.
class EventSink final : public IDispatch {
  public:
    using Handler = std::function<void(DISPID dispid, const DISPPARAMS& params)>;

    EventSink(const IID& iid, Handler handler) : iid_(iid), handler_(std::move(handler)) {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override {
        if (ppv == nullptr) {
            return E_POINTER;
        }
        if (riid == IID_IUnknown || riid == IID_IDispatch || riid == iid_) {
            *ppv = static_cast<IDispatch*>(this);
            AddRef();
            return S_OK;
        }
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    // Outlives every connection it is advised on: no count to keep.
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
        handler_(dispid, *params);
        std::fflush(stdout);
        return S_OK;
    }

  private:
    IID iid_;
    Handler handler_;
};

// Runs this thread's message loop until DONE() holds or SECONDS have passed: the objects'
// events arrive as messages of this thread, and the ordinary loop delivers them.
template <typename Done>
void RunMessageLoop(DWORD seconds, Done done) {
    const DWORD deadline = GetTickCount() + 1000u * seconds;
    while (!done() && GetTickCount() < deadline) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
    }
}

// Arguments by value, as a container passes them.
inline VARIANT I4(LONG value) {
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_I4;
    v.lVal = value;
    return v;
}

inline VARIANT I2(SHORT value) {
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_I2;
    v.iVal = value;
    return v;
}

// A double, or with VT_DATE a date (the same double).
inline VARIANT R8(double value, VARTYPE vt = VT_R8) {
    VARIANT v;
    VariantInit(&v);
    v.vt = vt;
    v.dblVal = value;
    return v;
}

inline HRESULT Create(const wchar_t* progId, IDispatch** object) {
    CLSID clsid;
    const HRESULT hr = CLSIDFromProgID(progId, &clsid);
    return FAILED(hr) ? hr
                      : CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch,
                                         reinterpret_cast<void**>(object));
}

// Calls the method NAME with the arguments given last first; the result goes to *result.
inline HRESULT Call(IDispatch* object, const wchar_t* name, VARIANT* reversedArgs, UINT count,
                    VARIANT* result) {
    DISPID dispid = 0;
    LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
    const HRESULT hr = object->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &dispid);
    if (FAILED(hr)) {
        return hr;
    }
    DISPPARAMS params{reversedArgs, nullptr, count, 0};
    return object->Invoke(dispid, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, result,
                          nullptr, nullptr);
}

// Logs the client object on to the server at ADDRESS; a logon the server refuses is E_FAIL.
inline HRESULT Logon(IDispatch* client, const char* address) {
    const std::string narrow = address;
    const std::wstring wide(narrow.begin(), narrow.end());
    VARIANT args[2];
    args[1].vt = VT_BSTR;
    args[1].bstrVal = SysAllocString(wide.c_str());
    args[0].vt = VT_I4;
    args[0].lVal = 5000;  // the timeout, in milliseconds
    VARIANT rc;
    VariantInit(&rc);
    const HRESULT hr = Call(client, L"Logon", args, 2, &rc);
    SysFreeString(args[1].bstrVal);
    return FAILED(hr) ? hr : (rc.lVal != 0 ? E_FAIL : S_OK);
}

// The dispatch identifier of the member NAME, or DISPID_UNKNOWN.
inline DISPID IdOf(IDispatch* object, const wchar_t* name) {
    DISPID dispid = DISPID_UNKNOWN;
    LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
    object->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &dispid);
    return dispid;
}

inline HRESULT Get(IDispatch* object, const wchar_t* name, VARIANT* value) {
    DISPPARAMS none{nullptr, nullptr, 0, 0};
    return object->Invoke(IdOf(object, name), IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET,
                          &none, value, nullptr, nullptr);
}

inline HRESULT Put(IDispatch* object, const wchar_t* name, VARIANT value) {
    DISPID putId = DISPID_PROPERTYPUT;
    DISPPARAMS params{&value, &putId, 1, 1};
    return object->Invoke(IdOf(object, name), IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYPUT,
                          &params, nullptr, nullptr, nullptr);
}

// Advises SINK on the connection point IID of OBJECT; the point and cookie go to the caller.
inline HRESULT Advise(IDispatch* object, const IID& iid, IDispatch* sink, IConnectionPoint** point,
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

inline int Fail(const char* what, HRESULT hr) {
    std::printf("FAILED: %s (0x%08lX)\n", what, static_cast<unsigned long>(hr));
    return 1;
}

}  // namespace host
