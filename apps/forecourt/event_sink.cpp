// The forecourt's event sinks.
#include "apps/forecourt/event_sink.h"

#include <utility>

#include "platform/unknown_base.h"

namespace forecourt {

namespace {

class EventSink final : public CountedObject<IDispatch> {
  public:
    EventSink(const IID& events, EventHandler handler)
        : events_(events), handler_(std::move(handler)) {}
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
    ~EventSink() override = default;
    bool AlsoAnswers(REFIID riid) const override { return riid == events_; }

    IID events_;
    EventHandler handler_;
};

}  // namespace

ComPtr<IDispatch> MakeEventSink(const IID& events, EventHandler handler) {
    return ComPtr<IDispatch>::Adopt(new EventSink(events, std::move(handler)));
}

}  // namespace forecourt
