// The client object's members, its reader thread and the sink calls on the owning thread.
#include "kestro/automation/kestro_client.h"

#include <algorithm>
#include <utility>

#include "client/kestro_automation.h"
#include "kestro/automation/client_type_library.h"
#include "kestro/model/result_codes.h"
#include "kestro/wire/pump_calls.h"
#include "platform/bstr.h"
#include "platform/dispatch_call.h"
#include "platform/variant_owner.h"
#include "platform/variant_values.h"

namespace kestro::automation {
namespace {

using namespace kestro_automation;
namespace calls = wire::pump_calls;

constexpr int kReadSliceMs = 200;

using platform::variants::BstrRef;
using platform::variants::I2;
using platform::variants::I4;
using platform::variants::R8;

// A script passes its variables by reference as VARIANTs (VT_BYREF | VT_VARIANT): the caller's
// VARIANT is made to hold the parameter's type (an input converted, an output emptied to that
// type's zero), and `bound` points at its value as a by-reference argument of that type.
HRESULT BindVariantTarget(VARIANT& target, const ParamInfo& param, Variant* bound) {
    const auto vt = static_cast<VARTYPE>(param.vt & ~VT_BYREF);
    if ((target.vt & VT_BYREF) != 0) {
        return DISP_E_TYPEMISMATCH;
    }
    if ((param.flags & PARAMFLAG_FIN) != 0) {
        if (HRESULT hr = VariantChangeType(&target, &target, 0, vt); FAILED(hr)) {
            return hr;
        }
    } else {
        if (HRESULT hr = VariantClear(&target); FAILED(hr)) {
            return hr;
        }
        target.vt = vt;
        target.llVal = 0;  // zero of every type it may hold, a null BSTR among them
    }
    VARIANT reference;
    VariantInit(&reference);
    reference.vt = param.vt;
    reference.byref = &target.llVal;  // the value's place, whatever its type
    *bound = Variant(reference);
    return S_OK;
}

}  // namespace

// ---- Arguments of one Invoke -----------------------------------------------------------

// The arguments in their order: by-value ones converted to their parameter's type (owned
// here), by-reference ones as the caller passed them (pointers only: clearing them leaves the
// caller's targets alone).
struct CKestroClient::Arguments {
    std::vector<Variant> values;

    std::int32_t Long(std::size_t i) const { return values[i].Get().lVal; }
    std::int16_t Short(std::size_t i) const { return values[i].Get().iVal; }
    double Double(std::size_t i) const { return values[i].Get().dblVal; }
    BSTR Text(std::size_t i) const { return values[i].Get().bstrVal; }
    // LONG is long on Windows: 32 bits like std::int32_t, but another type.
    std::int32_t* RefLong(std::size_t i) const {
        return reinterpret_cast<std::int32_t*>(values[i].Get().plVal);
    }
    std::int16_t* RefShort(std::size_t i) const { return values[i].Get().piVal; }
    double* RefDouble(std::size_t i) const { return values[i].Get().pdblVal; }
    DATE* RefDate(std::size_t i) const { return values[i].Get().pdate; }
    IDispatch** RefDispatch(std::size_t i) const { return values[i].Get().ppdispVal; }
    // Hands `text` to the caller's by-reference BSTR `i`, freeing the text it replaces.
    void HandBack(std::size_t i, Bstr& text) const {
        BSTR* slot = values[i].Get().pbstrVal;
        SysFreeString(*slot);
        *slot = text.Detach();
    }
};

// ---- Life and IUnknown -------------------------------------------------------------------

CKestroClient::CKestroClient(std::function<void()> onLastRelease)
    : onLastRelease_{std::move(onLastRelease)}, point_(*this, kClientEventsIid) {}

CKestroClient::~CKestroClient() {
    if (loggedOn_) {
        Logoff();
    }
    controls_.clear();
    // window_ goes last, with the events not delivered: their code is this module's, which
    // may be unloaded next.
}

bool CKestroClient::AlsoAnswers(REFIID riid) const {
    return riid == kClientIid;
}

// ---- Type information --------------------------------------------------------------------

HRESULT CKestroClient::GetTypeInfoCount(UINT* pctinfo) {
    if (pctinfo == nullptr) {
        return E_POINTER;
    }
    *pctinfo = 1;
    return S_OK;
}

HRESULT CKestroClient::GetTypeInfo(UINT iTInfo, LCID, ITypeInfo** ppTInfo) {
    if (ppTInfo == nullptr) {
        return E_POINTER;
    }
    if (iTInfo != 0) {
        *ppTInfo = nullptr;
        return DISP_E_BADINDEX;
    }
    return CreateTypeInfo(ClientTypeLibrary(), &ClientInterface(), nullptr,
                          static_cast<IDispatch*>(this), ppTInfo);
}

HRESULT CKestroClient::GetClassInfo(ITypeInfo** ppTI) {
    if (ppTI == nullptr) {
        return E_POINTER;
    }
    return CreateTypeInfo(ClientTypeLibrary(), nullptr, &ClientCoClass(),
                          static_cast<IDispatch*>(this), ppTI);
}

HRESULT CKestroClient::GetIDsOfNames(REFIID riid, LPOLESTR* rgszNames, UINT cNames, LCID,
                                     DISPID* rgDispId) {
    if (riid != IID_NULL) {
        return DISP_E_UNKNOWNINTERFACE;
    }
    return GetIDsOfNamesFromInfo(ClientInterface(), rgszNames, cNames, rgDispId);
}

HRESULT CKestroClient::FindConnectionPoint(REFIID riid, IConnectionPoint** ppCP) {
    if (ppCP == nullptr) {
        return E_POINTER;
    }
    if (riid != kClientEventsIid) {
        *ppCP = nullptr;
        return CONNECT_E_NOCONNECTION;
    }
    *ppCP = &point_;
    point_.AddRef();
    return S_OK;
}

// ---- The dispatch table ----------------------------------------------------------------

// How the object serves one member of ClientInterface(): a long property kept in a field, the
// Connected property, or a method over the converted arguments that returns its result code.
struct CKestroClient::Entry {
    DISPID dispid;
    std::int32_t CKestroClient::*field = nullptr;
    std::int32_t (*method)(CKestroClient&, const Arguments&) = nullptr;
    // The method goes to the server: after a lost connection it answers kConnectionLost.
    bool needsConnection = true;
};

const CKestroClient::Entry* CKestroClient::FindEntry(DISPID dispid) {
    using C = CKestroClient;
    using A = Arguments;
    static const Entry entries[] = {
        {kLogon, nullptr, [](C& c, const A& a) { return c.Logon(a.Text(0), a.Long(1)); }, false},
        {kLogoff, nullptr, [](C& c, const A&) { return c.Logoff(); }, false},
        {kCallPort, &C::callPort_},
        {kEventsPort, &C::eventsPort_},
        {kClientID, &C::clientId_},
        {kConnected},
        {kCurrentPumpID, &C::currentPump_},
        {kRegisterPumpControl, nullptr,
         [](C& c, const A& a) { return c.RegisterPumpControl(a.Long(0), *a.RefDispatch(1)); },
         false},
        {kReadPumpProperties, nullptr, &C::ReadPumpProperties},
        {kReadPumpHosesCount, nullptr,
         [](C& c, const A& a) {
             return c.link_.Forward<wire::CallCode::GetPumpHosesCount>(a.Long(0), a.RefLong(1));
         }},
        {kReadPumpHoseByNumber, nullptr,
         [](C& c, const A& a) {
             return c.link_.Forward<wire::CallCode::GetPumpHoseByNumber>(a.Long(0), a.Long(1),
                                                                         a.RefLong(2));
         }},
        {kReadPumpStatus, nullptr, &C::ReadPumpStatus},
        {kReadPumpDelivery, nullptr, &C::ReadPumpDelivery},
        {kReadPumpDeliveryEx, nullptr, &C::ReadPumpDelivery},
        {kPumpPrepayReserve, nullptr, &C::PumpCommand<calls::PumpPrepayReserve>},
        {kPumpPrepayCancel, nullptr, &C::PumpCommand<calls::PumpPrepayCancel>},
        {kPumpPrepayAuthorise, nullptr, &C::LimitCommand<calls::PumpPrepayAuthorise>},
        {kPumpPreauthReserve, nullptr, &C::PumpCommand<calls::PumpPreauthReserve>},
        {kPumpPreauthCancel, nullptr, &C::PumpCommand<calls::PumpPreauthCancel>},
        {kPumpPreauthAuthorise, nullptr, &C::LimitCommand<calls::PumpPreauthAuthorise>},
        {kPumpLoadPreset, nullptr, &C::LimitCommand<calls::PumpLoadPreset>},
        {kPumpAttendantAuthorise, nullptr,
         [](C& c, const A& a) {
             return c.link_.Forward<calls::PumpAttendantAuthorise>(a.Long(0), a.Long(1));
         }},
        {kPumpAuthorise, nullptr, &C::PumpCommand<calls::PumpAuthorise>},
        {kPumpCancelAuthorise, nullptr, &C::PumpCommand<calls::PumpCancelAuthorise>},
        {kPumpTempStop, nullptr, &C::PumpCommand<calls::PumpTempStop>},
        {kPumpReAuthorise, nullptr, &C::PumpCommand<calls::PumpReAuthorise>},
        {kPumpTerminateDelivery, nullptr, &C::PumpCommand<calls::PumpTerminateDelivery>},
        {kPumpStackCurrentDelivery, nullptr, &C::PumpCommand<calls::PumpStackCurrentDelivery>},
        // Arguments: attendant first, pump second.
        {kPumpAttendantLogon, nullptr,
         [](C& c, const A& a) {
             return c.link_.Forward<calls::PumpAttendantLogon>(a.Long(0), a.Long(1));
         }},
    };
    for (const Entry& entry : entries) {
        if (entry.dispid == dispid) {
            return &entry;
        }
    }
    return nullptr;
}

template <wire::CallCode code>
std::int32_t CKestroClient::PumpCommand(CKestroClient& c, const Arguments& a) {
    return c.link_.Forward<code>(a.Long(0));
}

template <wire::CallCode code>
std::int32_t CKestroClient::LimitCommand(CKestroClient& c, const Arguments& a) {
    return c.link_.Forward<code>(a.Long(0), a.Short(1), a.Double(2), a.Short(3), a.Short(4));
}

std::int32_t CKestroClient::ReadPumpProperties(CKestroClient& c, const Arguments& a) {
    Bstr name;
    std::int32_t slot = 0;
    std::int32_t muxSlot = 0;
    std::int16_t priceControl = 0;
    std::int16_t hasPreset = 0;
    const std::int32_t result = c.link_.Forward<wire::CallCode::GetPumpPropertiesEx>(
        a.Long(0), a.RefLong(1), name.Out(), a.RefShort(3), a.RefShort(4), a.RefShort(5),
        a.RefShort(6), a.RefShort(7), a.RefShort(8), a.RefShort(9), a.RefShort(10), a.RefShort(11),
        a.RefLong(12), a.RefLong(13), a.RefShort(14), a.RefShort(15), a.RefShort(16),
        a.RefShort(17), &slot, &muxSlot, &priceControl, &hasPreset);
    if (result == kSuccess) {
        a.HandBack(2, name);
    }
    return result;
}

std::int32_t CKestroClient::ReadPumpStatus(CKestroClient& c, const Arguments& a) {
    Bstr name;
    Bstr shortName;
    const std::int32_t result = c.link_.Forward<calls::ReadPumpStatus>(
        a.Long(0), a.RefShort(1), a.RefShort(2), a.RefLong(3), a.RefLong(4), a.RefShort(5),
        a.RefLong(6), name.Out(), shortName.Out(), a.RefShort(9), a.RefDouble(10), a.RefDouble(11),
        a.RefDouble(12), a.RefShort(13));
    if (result == kSuccess) {
        a.HandBack(7, name);
        a.HandBack(8, shortName);
    }
    return result;
}

// ReadPumpDelivery, and ReadPumpDeliveryEx with the three totals after its other outputs.
std::int32_t CKestroClient::ReadPumpDelivery(CKestroClient& c, const Arguments& a) {
    Bstr name;
    Bstr shortName;
    double totals[3] = {};
    const bool ex = a.values.size() > 19;
    const std::int32_t result = c.link_.Forward<calls::ReadPumpDelivery>(
        a.Long(0), a.Short(1), a.RefLong(2), a.RefShort(3), a.RefShort(4), a.RefLong(5),
        a.RefShort(6), a.RefLong(7), name.Out(), shortName.Out(), a.RefShort(10), a.RefDouble(11),
        a.RefDouble(12), a.RefDouble(13), a.RefLong(14), a.RefLong(15), a.RefLong(16),
        a.RefDate(17), a.RefLong(18), ex ? a.RefDouble(19) : &totals[0],
        ex ? a.RefDouble(20) : &totals[1], ex ? a.RefDouble(21) : &totals[2]);
    if (result == kSuccess) {
        a.HandBack(8, name);
        a.HandBack(9, shortName);
    }
    return result;
}

// ---- Invoke ------------------------------------------------------------------------------

HRESULT CKestroClient::Invoke(DISPID dispIdMember, REFIID riid, LCID, WORD wFlags,
                              DISPPARAMS* pDispParams, VARIANT* pVarResult, EXCEPINFO*,
                              UINT* puArgErr) {
    if (riid != IID_NULL) {
        return DISP_E_UNKNOWNINTERFACE;
    }
    if (pDispParams == nullptr) {
        return E_INVALIDARG;
    }
    const MemberInfo* member = FindMemberById(ClientInterface(), dispIdMember, wFlags);
    const Entry* entry = FindEntry(dispIdMember);
    if (member == nullptr || entry == nullptr) {
        return DISP_E_MEMBERNOTFOUND;
    }
    if (member->kind == MemberKind::Property) {
        return InvokeProperty(*member, *entry, wFlags, *pDispParams, pVarResult, puArgErr);
    }
    if (entry->method == nullptr) {
        return DISP_E_MEMBERNOTFOUND;
    }
    if (pDispParams->cNamedArgs != 0) {
        return DISP_E_NONAMEDARGS;
    }
    const std::size_t count = member->params.size();
    if (pDispParams->cArgs != count) {
        return DISP_E_BADPARAMCOUNT;
    }
    Arguments args;
    args.values.reserve(count);
    // A script's variable given twice would be made to hold two types at once, and an output
    // of one written over the other's BSTR: it is refused.
    std::vector<const VARIANT*> boundVariables;
    for (std::size_t i = 0; i < count; ++i) {
        const VARTYPE vt = member->params[i].vt;
        VARIANT& given = pDispParams->rgvarg[count - 1 - i];
        Variant value;
        HRESULT hr = S_OK;
        if ((vt & VT_BYREF) != 0) {
            if (given.vt == vt && given.byref != nullptr) {
                value = Variant(given);
            } else if (given.vt == (VT_BYREF | VT_VARIANT) && given.pvarVal != nullptr) {
                if (std::find(boundVariables.begin(), boundVariables.end(), given.pvarVal) !=
                    boundVariables.end()) {
                    hr = E_INVALIDARG;
                } else {
                    boundVariables.push_back(given.pvarVal);
                    hr = BindVariantTarget(*given.pvarVal, member->params[i], &value);
                }
            } else {
                hr = DISP_E_TYPEMISMATCH;
            }
        } else {
            hr = VariantChangeType(value.Out(), &given, 0, vt);
        }
        if (FAILED(hr)) {
            if (puArgErr != nullptr) {
                *puArgErr = static_cast<UINT>(count - 1 - i);
            }
            return hr;
        }
        args.values.push_back(std::move(value));
    }
    const std::int32_t result =
        entry->needsConnection && lost_ ? kConnectionLost : entry->method(*this, args);
    if (pVarResult != nullptr) {
        *pVarResult = I4(result);
    }
    return S_OK;
}

HRESULT CKestroClient::InvokeProperty(const MemberInfo& member, const Entry& entry, WORD wFlags,
                                      const DISPPARAMS& params, VARIANT* pVarResult,
                                      UINT* puArgErr) {
    if ((wFlags & DISPATCH_PROPERTYPUT) != 0) {
        if (member.readOnly || entry.field == nullptr) {
            return DISP_E_MEMBERNOTFOUND;
        }
        if (params.cArgs != 1 || params.cNamedArgs != 1 ||
            params.rgdispidNamedArgs[0] != DISPID_PROPERTYPUT) {
            return DISP_E_BADPARAMCOUNT;
        }
        Variant value;
        if (HRESULT hr = VariantChangeType(value.Out(), &params.rgvarg[0], 0, VT_I4); FAILED(hr)) {
            if (puArgErr != nullptr) {
                *puArgErr = 0;
            }
            return hr;
        }
        this->*entry.field = value.Get().lVal;
        return S_OK;
    }
    if (params.cArgs != 0) {
        return DISP_E_BADPARAMCOUNT;
    }
    if (pVarResult != nullptr) {
        *pVarResult = entry.field != nullptr ? I4(this->*entry.field)
                                             : I2(loggedOn_ && !lost_ ? 1 : 0);  // Connected
    }
    return S_OK;
}

// ---- Logon, registration, events -----------------------------------------------------------

std::int32_t CKestroClient::Logon(BSTR serverName, std::int32_t callTimeout) {
    if (loggedOn_) {
        return kAlreadyLoggedOn;
    }
    std::int32_t rc =
        link_.LogOn(clientId_, 0, serverName, callPort_, eventsPort_, callTimeout, 0, 0, 0);
    if (rc != kSuccess) {
        return rc;
    }
    std::string host;
    for (UINT i = 0; i < SysStringLen(serverName); ++i) {
        host.push_back(static_cast<char>(serverName[i]));  // LogOn accepted it: plain ASCII
    }
    events_ = client::EventSubscription();
    rc = events_.Open(link_, host, static_cast<std::uint16_t>(eventsPort_), callTimeout);
    if (rc != kSuccess) {
        link_.LogOff();
        return rc;
    }
    loggedOn_ = true;
    lost_ = false;
    StartReader();
    return kSuccess;
}

std::int32_t CKestroClient::Logoff() {
    if (!loggedOn_) {
        return kNotLoggedOn;
    }
    StopReader();
    const std::int32_t rc = link_.LogOff();
    loggedOn_ = false;
    lost_ = false;
    return rc;
}

std::int32_t CKestroClient::RegisterPumpControl(std::int32_t pumpId, IDispatch* control) {
    if (control == nullptr) {
        controls_.erase(pumpId);
    } else {
        controls_[pumpId] = ComPtr<IDispatch>(control);
    }
    return kSuccess;
}

void CKestroClient::StartReader() {
    stopReader_ = false;
    reader_ = std::thread([this, poster = window_.MakePoster()] {
        while (!stopReader_) {
            wire::ReceivedEvent received;
            bool gap = false;
            const client::EventSubscription::Next next = events_.Read(kReadSliceMs, received, gap);
            if (next == client::EventSubscription::Next::kTimeOut) {
                continue;
            }
            if (next == client::EventSubscription::Next::kLost) {
                if (!stopReader_) {
                    poster.Post([this] {
                        AddRef();  // the container may release its last reference in its sink
                        ConnectionLost();
                        Release();
                    });
                }
                return;
            }
            poster.Post([this, received = std::move(received), gap] {
                AddRef();  // a sink may release the container's last reference
                Deliver(received, gap);
                Release();
            });
        }
    });
}

void CKestroClient::StopReader() {
    stopReader_ = true;
    events_.Close();
    if (reader_.joinable()) {
        reader_.join();
    }
}

void CKestroClient::ConnectionLost() {
    if (!loggedOn_ || lost_) {
        return;
    }
    lost_ = true;
    VARIANT result = I4(kConnectionLost);
    point_.Fire(kConnectionLostEvent, &result, 1);
}

void CKestroClient::Deliver(const wire::ReceivedEvent& received, bool gap) {
    if (!loggedOn_ || lost_) {
        return;
    }
    if (gap) {
        Resynchronise();  // the fresh reading covers this event too
        return;
    }
    auto it = controls_.find(received.event.pumpId);
    if (it == controls_.end()) {
        return;
    }
    const ComPtr<IDispatch> control = it->second;  // a sink may withdraw its own registration
    if (received.event.kind == PumpEvent::Kind::kStatus) {
        CallStatusSink(control.Get(), received.event.status);
    } else {
        CallDeliverySink(control.Get(), received.event.delivery);
    }
    if (observer_) {
        observer_(received.emittedUs);
    }
}

void CKestroClient::Resynchronise() {
    const std::vector<std::pair<std::int32_t, ComPtr<IDispatch>>> registered(controls_.begin(),
                                                                             controls_.end());
    for (const auto& [pumpId, control] : registered) {
        PumpStatus status;
        Bstr name;
        Bstr shortName;
        if (link_.Forward<calls::ReadPumpStatus>(
                pumpId, &status.state, &status.reservedFor, &status.reservedBy, &status.hoseId,
                &status.hoseNumber, &status.gradeId, name.Out(), shortName.Out(),
                &status.priceLevel, &status.price, &status.volume, &status.value,
                &status.stackSize) == kSuccess) {
            status.gradeName = name.View();
            status.shortGradeName = shortName.View();
            CallStatusSink(control.Get(), status);
        }
        std::int32_t count = 0;
        link_.Forward<calls::ReadPumpDeliveryCount>(pumpId, &count);
        for (std::int32_t index = 1; index <= count; ++index) {
            PumpDelivery d;
            if (link_.Forward<calls::ReadPumpDelivery>(
                    pumpId, static_cast<std::int16_t>(index), &d.id, &d.type, &d.state, &d.hoseId,
                    &d.hoseNumber, &d.gradeId, name.Out(), shortName.Out(), &d.priceLevel, &d.price,
                    &d.volume, &d.value, &d.lockedBy, &d.reservedBy, &d.age, &d.completedDate,
                    &d.attendantId, &d.volumeTotal, &d.volume2Total, &d.valueTotal) == kSuccess) {
                d.gradeName = name.View();
                d.shortGradeName = shortName.View();
                CallDeliverySink(control.Get(), d);
            }
        }
    }
}

void CKestroClient::CallStatusSink(IDispatch* control, const PumpStatus& s) {
    // The names travel by reference: the sink may replace them, the last text is freed here.
    // A sink that fails is the control's business; the events of the other pumps go on.
    Bstr name = Bstr::FromUtf16(s.gradeName);
    Bstr shortName = Bstr::FromUtf16(s.shortGradeName);
    platform::Invoke(
        control, kStatusEventSink, DISPATCH_METHOD,
        {I2(s.state), I2(s.reservedFor), I4(s.reservedBy), I4(s.hoseId), I2(s.hoseNumber),
         I4(s.gradeId), BstrRef(name.InOut()), BstrRef(shortName.InOut()), I2(s.priceLevel),
         R8(s.price), R8(s.volume), R8(s.value), I2(s.stackSize)});
}

void CKestroClient::CallDeliverySink(IDispatch* control, const PumpDelivery& d) {
    Bstr name = Bstr::FromUtf16(d.gradeName);
    Bstr shortName = Bstr::FromUtf16(d.shortGradeName);
    platform::Invoke(control, kDeliveryEventExSink, DISPATCH_METHOD,
                     {I4(d.id),
                      I4(d.hoseId),
                      I2(d.hoseNumber),
                      I4(d.gradeId),
                      BstrRef(name.InOut()),
                      BstrRef(shortName.InOut()),
                      I2(d.priceLevel),
                      R8(d.price),
                      R8(d.volume),
                      R8(d.value),
                      I2(d.state),
                      I2(d.type),
                      I4(d.lockedBy),
                      I4(d.reservedBy),
                      I4(d.age),
                      R8(d.completedDate, VT_DATE),
                      I4(d.attendantId),
                      R8(d.volumeTotal),
                      R8(d.volume2Total),
                      R8(d.valueTotal)});
}

}  // namespace kestro::automation
