// The connection point of one outgoing dispinterface: the IConnectionPoint an object's
// IConnectionPointContainer hands out, the sinks advised to it and the calls that raise an
// event on them. The control framework's event point and the client automation object's
// events point are both this class.
#pragma once

#include <cstddef>
#include <vector>

#include "platform/com.h"
#include "platform/com_ptr.h"
#include "platform/variant.h"

// Calls `dispid` on `sink` as a method with `reversedArgs` (the last argument first, as
// DISPPARAMS holds them). What it answers is dropped: its result, and on failure its
// exception information, are freed.
void CallSinkMethod(IDispatch* sink, DISPID dispid, VARIANT* reversedArgs, UINT count);

class ConnectionPoint : public IConnectionPoint {
  public:
    // `container` is the object the point belongs to and must outlive it (hold the point as a
    // member): the point has no reference count of its own, its references are the
    // container's. `events` is the outgoing interface; an object that learns it later sets it
    // with SetInterface.
    ConnectionPoint(IConnectionPointContainer& container, REFIID events);
    ConnectionPoint(const ConnectionPoint&) = delete;
    ConnectionPoint& operator=(const ConnectionPoint&) = delete;
    // Releases the sinks still advised.
    virtual ~ConnectionPoint();

    void SetInterface(REFIID events) { events_ = events; }
    const IID& Interface() const { return events_; }

    // IUnknown: IUnknown and IConnectionPoint; AddRef and Release are the container's.
    HRESULT QueryInterface(REFIID riid, void** ppv) override;
    ULONG AddRef() override;
    ULONG Release() override;

    // IConnectionPoint. Advise queries the sink for the outgoing interface, then for
    // IDispatch, and keeps that reference; a sink with neither gets CONNECT_E_CANNOTCONNECT
    // and cookie 0. Cookies count from 1. Unadvise of a cookie not advised (or advised and
    // already unadvised) is CONNECT_E_NOCONNECTION. Null pointers are E_POINTER.
    HRESULT GetConnectionInterface(IID* pIID) override;
    HRESULT GetConnectionPointContainer(IConnectionPointContainer** ppCPC) override;
    HRESULT Advise(IUnknown* pUnkSink, DWORD* pdwCookie) override;
    HRESULT Unadvise(DWORD dwCookie) override;
    // The sinks advised now, oldest first, as advised (the interface Advise kept).
    HRESULT EnumConnections(IEnumConnections** ppEnum) override;

    // CallSinkMethod on every sink advised, in the order they were advised. A sink's failure
    // does not stop the others. A sink may advise or unadvise while it is called: the sinks
    // called are those advised when Fire began.
    void Fire(DISPID dispid, VARIANT* reversedArgs, UINT count);

    // Number of sinks advised.
    std::size_t Count() const { return sinks_.size(); }

  private:
    struct Sink {
        DWORD cookie;
        ComPtr<IDispatch> dispatch;
    };

    IConnectionPointContainer& container_;
    IID events_;
    std::vector<Sink> sinks_;  // in the order they were advised
    DWORD nextCookie_ = 1;
};
