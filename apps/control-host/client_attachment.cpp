// Creating, logging on and releasing control-host's client object, and printing its event.
#include "apps/control-host/client_attachment.h"

#include "apps/control-host/host_objects.h"
#include "platform/user.h"
#include "platform/typeinfo.h"

namespace {

constexpr char16_t kProgId[] = u"Kestro.Client.1";

// Puts the property `name` of `object` to the long `value`.
HRESULT PutLong(IDispatch* object, const char16_t* name, long value) {
    DISPID dispid = 0;
    LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
    HRESULT hr = object->GetIDsOfNames(IID_NULL, names, 1, 0, &dispid);
    if (FAILED(hr)) {
        return hr;
    }
    VARIANT arg;
    VariantInit(&arg);
    arg.vt = VT_I4;
    arg.lVal = static_cast<LONG>(value);
    DISPID named = DISPID_PROPERTYPUT;
    DISPPARAMS params{&arg, &named, 1, 1};
    return object->Invoke(dispid, IID_NULL, 0, DISPATCH_PROPERTYPUT, &params, nullptr, nullptr,
                          nullptr);
}

// Calls the method `name` of `object` with `args` (in order); its long result in `result`.
HRESULT CallLong(IDispatch* object, const char16_t* name, std::vector<VARIANT> args,
                 long& result) {
    DISPID dispid = 0;
    LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
    HRESULT hr = object->GetIDsOfNames(IID_NULL, names, 1, 0, &dispid);
    if (FAILED(hr)) {
        return hr;
    }
    std::vector<VARIANT> reversed(args.rbegin(), args.rend());
    DISPPARAMS params{reversed.data(), nullptr, static_cast<UINT>(reversed.size()), 0};
    VARIANT value;
    VariantInit(&value);
    hr = object->Invoke(dispid, IID_NULL, 0, DISPATCH_METHOD, &params, &value, nullptr, nullptr);
    result = value.vt == VT_I4 ? value.lVal : 0;
    VariantClear(&value);
    return hr;
}

}  // namespace

ClientAttachment::~ClientAttachment() {
    if (connection_) {
        connection_->Unadvise(cookie_);
    }
    if (loggedOn_) {
        long ignored = 0;
        CallLong(client_.Get(), u"Logoff", {}, ignored);
    }
}

std::unique_ptr<ClientAttachment> ClientAttachment::Open(std::ostream& out,
                                                         const std::string& server, long callPort,
                                                         long eventsPort, long timeoutMs,
                                                         std::string& error) {
    std::unique_ptr<ClientAttachment> self(new ClientAttachment);
    CLSID clsid{};
    HRESULT hr = CLSIDFromProgID(kProgId, &clsid);
    if (SUCCEEDED(hr)) {
        hr = CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch,
                              self->client_.OutVoid());
    }
    if (FAILED(hr)) {
        error = "cannot create Kestro.Client.1: " + CoGetLastErrorText() + " (" +
                HResultText(hr) + ")";
        return nullptr;
    }
    IDispatch* client = self->client_.Get();
    ComPtr<IProvideClassInfo> provider = self->client_.As<IProvideClassInfo>();
    ComPtr<IConnectionPointContainer> container = self->client_.As<IConnectionPointContainer>();
    ComPtr<ITypeInfo> classInfo;
    if (provider && container && SUCCEEDED(provider->GetClassInfo(classInfo.Out()))) {
        // The tables stay with the module, which the client object keeps loaded.
        const DispInterfaceInfo* events = classInfo->GetCoClassInfo()->defaultSource;
        self->sink_ = ComPtr<IDispatch>::Adopt(new host_objects::EventSink(out, events));
        if (events == nullptr ||
            FAILED(container->FindConnectionPoint(events->iid, self->connection_.Out())) ||
            FAILED(self->connection_->Advise(self->sink_.Get(), &self->cookie_))) {
            self->connection_ = nullptr;
        }
    }
    hr = PutLong(client, u"CallPort", callPort);
    if (SUCCEEDED(hr)) {
        hr = PutLong(client, u"EventsPort", eventsPort);
    }
    long result = 0;
    if (SUCCEEDED(hr)) {
        VARIANT name;
        VariantInit(&name);
        name.vt = VT_BSTR;
        name.bstrVal = BstrFromUtf8(server);
        VARIANT timeout;
        VariantInit(&timeout);
        timeout.vt = VT_I4;
        timeout.lVal = static_cast<LONG>(timeoutMs);
        hr = CallLong(client, u"Logon", {name, timeout}, result);
        VariantClear(&name);
    }
    if (FAILED(hr) || result != 0) {
        error = FAILED(hr) ? "the client object refused its logon (" + HResultText(hr) + ")"
                           : "Logon to " + server + " failed with result " +
                                 std::to_string(result);
        return nullptr;
    }
    self->loggedOn_ = true;
    return self;
}

void ClientAttachment::Wait(int ms) {
    platform::RunMessageLoopFor(static_cast<DWORD>(ms));
}
