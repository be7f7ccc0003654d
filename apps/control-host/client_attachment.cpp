// Creating, logging on and releasing control-host's client object, and printing its event.
#include "apps/control-host/client_attachment.h"

#include "apps/control-host/host_objects.h"
#include "kestro/automation/client_type_library.h"
#include "platform/dispatch_call.h"
#include "platform/typeinfo.h"
#include "platform/user.h"
#include "platform/variant_values.h"

namespace {

constexpr char16_t kProgId[] = u"Kestro.Client.1";

using platform::variants::I4;
using platform::variants::Text;

// Calls `dispid` of the client object as `flags` with `args` (in order); its long result, 0
// when it gives none, in `result`.
HRESULT CallClient(IDispatch* client, DISPID dispid, WORD flags, std::vector<VARIANT> args,
                   long& result) {
    Variant value;
    const HRESULT hr = platform::Invoke(client, dispid, flags, std::move(args),
                                        flags == DISPATCH_PROPERTYPUT ? nullptr : &value);
    result = value.Type() == VT_I4 ? value.Get().lVal : 0;
    return hr;
}

}  // namespace

ClientAttachment::~ClientAttachment() {
    if (connection_) {
        connection_->Unadvise(cookie_);
    }
    if (loggedOn_) {
        long ignored = 0;
        CallClient(client_.Get(), kestro::automation::kLogoff, DISPATCH_METHOD, {}, ignored);
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
        error =
            "cannot create Kestro.Client.1: " + CoGetLastErrorText() + " (" + HResultText(hr) + ")";
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
    long result = 0;
    hr = CallClient(client, kestro::automation::kCallPort, DISPATCH_PROPERTYPUT,
                    {I4(static_cast<LONG>(callPort))}, result);
    if (SUCCEEDED(hr)) {
        hr = CallClient(client, kestro::automation::kEventsPort, DISPATCH_PROPERTYPUT,
                        {I4(static_cast<LONG>(eventsPort))}, result);
    }
    if (SUCCEEDED(hr)) {
        hr = CallClient(client, kestro::automation::kLogon, DISPATCH_METHOD,
                        {Text(server), I4(static_cast<LONG>(timeoutMs))}, result);
    }
    if (FAILED(hr) || result != 0) {
        error = FAILED(hr) ? "the client object refused its logon (" + HResultText(hr) + ")"
                           : "Logon to " + server + " failed with result " + std::to_string(result);
        return nullptr;
    }
    self->loggedOn_ = true;
    return self;
}

void ClientAttachment::Wait(int ms) {
    platform::RunMessageLoopFor(static_cast<DWORD>(ms));
}
