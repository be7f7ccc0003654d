// The connection point of one outgoing dispinterface.
#include "platform/connection_point.h"

#include "platform/com_enum.h"

#include <utility>

void CallSinkMethod(IDispatch* sink, DISPID dispid, VARIANT* reversedArgs, UINT count) {
    DISPPARAMS params{reversedArgs, nullptr, count, 0};
    VARIANT result;
    VariantInit(&result);
    EXCEPINFO exception{};
    UINT argErr = 0;
    sink->Invoke(dispid, IID_NULL, 0, DISPATCH_METHOD, &params, &result, &exception, &argErr);
    VariantClear(&result);
    ClearExcepInfo(&exception);
}

ConnectionPoint::ConnectionPoint(IConnectionPointContainer& container, REFIID events)
    : container_(container), events_(events) {}

ConnectionPoint::~ConnectionPoint() {
    // A sink may call back while it is released: empty the list before releasing them.
    const std::vector<Sink> sinks = std::move(sinks_);
    sinks_.clear();
}

HRESULT ConnectionPoint::QueryInterface(REFIID riid, void** ppv) {
    if (ppv == nullptr) {
        return E_POINTER;
    }
    if (riid == IID_IUnknown || riid == IID_IConnectionPoint) {
        *ppv = static_cast<IConnectionPoint*>(this);
        AddRef();
        return S_OK;
    }
    *ppv = nullptr;
    return E_NOINTERFACE;
}

ULONG ConnectionPoint::AddRef() {
    return container_.AddRef();
}

ULONG ConnectionPoint::Release() {
    return container_.Release();
}

HRESULT ConnectionPoint::GetConnectionInterface(IID* pIID) {
    if (pIID == nullptr) {
        return E_POINTER;
    }
    *pIID = events_;
    return S_OK;
}

HRESULT ConnectionPoint::GetConnectionPointContainer(IConnectionPointContainer** ppCPC) {
    if (ppCPC == nullptr) {
        return E_POINTER;
    }
    *ppCPC = &container_;
    container_.AddRef();
    return S_OK;
}

HRESULT ConnectionPoint::Advise(IUnknown* pUnkSink, DWORD* pdwCookie) {
    if (pUnkSink == nullptr || pdwCookie == nullptr) {
        return E_POINTER;
    }
    *pdwCookie = 0;
    ComPtr<IDispatch> sink;
    if (FAILED(pUnkSink->QueryInterface(events_, sink.OutVoid())) &&
        FAILED(pUnkSink->QueryInterface(IID_IDispatch, sink.OutVoid()))) {
        return CONNECT_E_CANNOTCONNECT;
    }
    const DWORD cookie = nextCookie_++;
    sinks_.push_back({cookie, std::move(sink)});
    *pdwCookie = cookie;
    return S_OK;
}

HRESULT ConnectionPoint::Unadvise(DWORD dwCookie) {
    for (auto it = sinks_.begin(); it != sinks_.end(); ++it) {
        if (it->cookie == dwCookie) {
            // The sink may call back while it is released: take it out of the list first.
            const ComPtr<IDispatch> sink = std::move(it->dispatch);
            sinks_.erase(it);
            return S_OK;
        }
    }
    return CONNECT_E_NOCONNECTION;
}

void ConnectionPoint::Fire(DISPID dispid, VARIANT* reversedArgs, UINT count) {
    std::vector<ComPtr<IDispatch>> sinks;
    sinks.reserve(sinks_.size());
    for (const Sink& sink : sinks_) {
        sinks.push_back(sink.dispatch);
    }
    for (const ComPtr<IDispatch>& sink : sinks) {
        CallSinkMethod(sink.Get(), dispid, reversedArgs, count);
    }
}

HRESULT ConnectionPoint::EnumConnections(IEnumConnections** ppEnum) {
    if (ppEnum == nullptr) {
        return E_POINTER;
    }
    std::vector<CONNECTDATA> connections;
    connections.reserve(sinks_.size());
    for (const Sink& sink : sinks_) {
        connections.push_back({sink.dispatch.Get(), sink.cookie});
    }
    *ppEnum = new SnapshotEnum<IEnumConnections, CONNECTDATA>(std::move(connections), &container_);
    return S_OK;
}
