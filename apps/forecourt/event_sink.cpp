// The forecourt's event sinks.
#include "apps/forecourt/event_sink.h"

#include <atomic>
#include <utility>

namespace forecourt {

namespace {

class EventSink final : public IDispatch {
  public:
    EventSink(const IID& events, EventHandler handler)
        : events_(events), handler_(std::move(handler)) {}
    HRESULT QueryInterface(REFIID riid, void** ppv) override {
        if (ppv == nullptr) {
            return E_POINTER;
        }
        if (riid == IID_IUnknown || riid == IID_IDispatch || riid == events_) {
            *ppv = static_cast<IDispatch*>(this);
            AddRef();
            return S_OK;
        }
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    ULONG AddRef() override { return ++refs_; }
    ULONG Release() override {
        const ULONG left = --refs_;
        if (left == 0) {
            delete this;
        }
        return left;
    }
    HRESULT GetTypeInfoCount(UINT* count) override {
        *count = 0;
        return S_OK;
    }
    HRESULT GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    HRESULT Invoke(DISPID dispid, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*, EXCEPINFO*,
                   UINT*) override {
        if (params != nullptr && handler_) {
            handler_(dispid, *params);
        }
        return S_OK;
    }

  private:
    ~EventSink() = default;
    IID events_;
    EventHandler handler_;
    std::atomic<ULONG> refs_ = 1;
};

}  // namespace

ComPtr<IDispatch> MakeEventSink(const IID& events, EventHandler handler) {
    return ComPtr<IDispatch>::Adopt(new EventSink(events, std::move(handler)));
}

}  // namespace forecourt
