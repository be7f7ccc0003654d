// The Kestro client automation object: one logon to kestrod of its own (call connection and
// events subscription), the pump members a control calls by DISPID, and the registered pump
// controls whose sinks it calls with the events of their pumps.
//
// Threads: the object belongs to the thread that created it (apartment). Its events are read
// on a reader thread of its own and posted, as messages, to a hidden window the object made on
// the creating thread (EventWindow); the sinks of the registered controls and the container's
// ConnectionLost event are called only there, when that thread's message loop dispatches.
// Events not delivered when the object goes are dropped. A lost connection is reported once,
// as the event ConnectionLost(3), and every later call answers kConnectionLost (3) until
// Logoff.
#pragma once

#include <atomic>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "kestro/automation/event_window.h"
#include "kestro/client/client_link.h"
#include "kestro/client/event_subscription.h"
#include "platform/com.h"
#include "platform/com_ptr.h"
#include "platform/connection_point.h"
#include "platform/typeinfo.h"
#include "platform/unknown_base.h"

namespace kestro::automation {

class CKestroClient final
    : public CountedObject<IDispatch, IConnectionPointContainer, IProvideClassInfo> {
  public:
    // A new object with one reference, bound to the calling thread (its window is made there).
    // `onLastRelease` runs when the last reference goes (the module counts its objects with it).
    explicit CKestroClient(std::function<void()> onLastRelease = {});
    CKestroClient(const CKestroClient&) = delete;
    CKestroClient& operator=(const CKestroClient&) = delete;

    // IDispatch: the members of ClientInterface(). By-value arguments are converted to their
    // types (DISP_E_TYPEMISMATCH when they cannot be); by-reference ones must carry exactly
    // their type, or be a script's variable (VT_BYREF | VT_VARIANT), which is then made to hold
    // that type: an input converted, an output emptied first (one variable given for two
    // parameters is E_INVALIDARG). A by-reference BSTR output frees the BSTR it replaces.
    HRESULT GetTypeInfoCount(UINT* pctinfo) override;
    HRESULT GetTypeInfo(UINT iTInfo, LCID lcid, ITypeInfo** ppTInfo) override;
    HRESULT GetIDsOfNames(REFIID riid, LPOLESTR* rgszNames, UINT cNames, LCID lcid,
                          DISPID* rgDispId) override;
    HRESULT Invoke(DISPID dispIdMember, REFIID riid, LCID lcid, WORD wFlags,
                   DISPPARAMS* pDispParams, VARIANT* pVarResult, EXCEPINFO* pExcepInfo,
                   UINT* puArgErr) override;

    // IConnectionPointContainer: the one point of _DKestroClientEvents; no enumeration.
    HRESULT EnumConnectionPoints(IEnumConnectionPoints** ppEnum) override {
        if (ppEnum != nullptr) {
            *ppEnum = nullptr;
        }
        return E_NOTIMPL;
    }
    HRESULT FindConnectionPoint(REFIID riid, IConnectionPoint** ppCP) override;
    // IProvideClassInfo
    HRESULT GetClassInfo(ITypeInfo** ppTI) override;

    // For measurements: called on the owning thread after each sink call with the server's
    // time stamp of the event (MonotonicMicroseconds of kestrod's host).
    void SetSinkObserver(std::function<void(std::int64_t emittedUs)> observer) {
        observer_ = std::move(observer);
    }
    std::size_t RegisteredControls() const { return controls_.size(); }

  private:
    struct Arguments;
    struct Entry;

    ~CKestroClient() override;
    bool AlsoAnswers(REFIID riid) const override;

    // Runs the module's callback once the object is gone: as the first member it is
    // destroyed last.
    struct LastReleaseNotice {
        std::function<void()> callback;
        ~LastReleaseNotice() {
            if (callback) {
                callback();
            }
        }
    };

    // The dispatch table: the entry that serves `dispid`, null for a DISPID it lacks.
    static const Entry* FindEntry(DISPID dispid);
    HRESULT InvokeProperty(const MemberInfo& member, const Entry& entry, WORD wFlags,
                           const DISPPARAMS& params, VARIANT* pVarResult, UINT* puArgErr);

    std::int32_t Logon(BSTR serverName, std::int32_t callTimeout);
    std::int32_t Logoff();
    std::int32_t RegisterPumpControl(std::int32_t pumpId, IDispatch* control);
    // Members as the table calls them: a command that takes the pump alone, one that takes a
    // limit (pump, limit type, value, hose, price level), and those that hand texts back.
    template <wire::CallCode code>
    static std::int32_t PumpCommand(CKestroClient& c, const Arguments& a);
    template <wire::CallCode code>
    static std::int32_t LimitCommand(CKestroClient& c, const Arguments& a);
    static std::int32_t ReadPumpProperties(CKestroClient& c, const Arguments& a);
    static std::int32_t ReadPumpStatus(CKestroClient& c, const Arguments& a);
    static std::int32_t ReadPumpDelivery(CKestroClient& c, const Arguments& a);

    void StartReader();
    void StopReader();
    // On the owning thread, from the event window:
    void Deliver(const wire::ReceivedEvent& received, bool gap);
    void ConnectionLost();
    // Reads every registered pump's status and deliveries afresh and hands them to its
    // control, after events were missed.
    void Resynchronise();
    void CallStatusSink(IDispatch* control, const PumpStatus& status);
    void CallDeliverySink(IDispatch* control, const PumpDelivery& delivery);

    LastReleaseNotice onLastRelease_;
    EventWindow window_;  // the reader thread's posted events run through it
    client::ClientLink link_;
    client::EventSubscription events_;
    std::thread reader_;
    std::atomic<bool> stopReader_ = false;
    bool loggedOn_ = false;
    bool lost_ = false;
    std::int32_t callPort_ = 5123;
    std::int32_t eventsPort_ = 5124;
    std::int32_t clientId_ = 1;
    std::int32_t currentPump_ = -1;
    std::map<std::int32_t, ComPtr<IDispatch>> controls_;
    ConnectionPoint point_;  // _DKestroClientEvents
    std::function<void(std::int64_t)> observer_;
};

}  // namespace kestro::automation
