// The client object's members, its reader thread and the sink calls on the owning thread.
#include "kestro/automation/kestro_client.h"

#include <utility>

#include "client/kestro_automation.h"
#include "kestro/automation/client_type_library.h"
#include "kestro/model/result_codes.h"
#include "kestro/wire/pump_calls.h"
#include "platform/bstr.h"
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

// Calls `dispid` on `target` as a method with `forward` (the arguments in their order). A sink
// that fails is the control's business; the events of the other pumps go on.
void InvokeMethod(IDispatch* target, DISPID dispid, std::vector<VARIANT> forward) {
    std::vector<VARIANT> reversed(forward.rbegin(), forward.rend());
    CallSinkMethod(target, dispid, reversed.data(), static_cast<UINT>(reversed.size()));
}

}  // namespace

// ---- Arguments of one Invoke -----------------------------------------------------------

// The arguments in their order: by-value ones converted to their parameter's type (owned
// here), by-reference ones as the caller passed them.
struct CKestroClient::Arguments {
    std::vector<VARIANT> values;

    ~Arguments() {
        for (VARIANT& value : values) {
            VariantClear(&value);
        }
    }
    std::int32_t Long(std::size_t i) const { return values[i].lVal; }
    std::int16_t Short(std::size_t i) const { return values[i].iVal; }
    double Double(std::size_t i) const { return values[i].dblVal; }
    BSTR Text(std::size_t i) const { return values[i].bstrVal; }
    std::int32_t* RefLong(std::size_t i) const { return values[i].plVal; }
    std::int16_t* RefShort(std::size_t i) const { return values[i].piVal; }
    double* RefDouble(std::size_t i) const { return values[i].pdblVal; }
    DATE* RefDate(std::size_t i) const { return values[i].pdate; }
    BSTR* RefText(std::size_t i) const { return values[i].pbstrVal; }
    IDispatch** RefDispatch(std::size_t i) const { return values[i].ppdispVal; }
};

// ---- Life and IUnknown -------------------------------------------------------------------

CKestroClient::CKestroClient(std::function<void()> onLastRelease)
    : onLastRelease_(std::move(onLastRelease)), point_(*this, kClientEventsIid) {}

CKestroClient::~CKestroClient() {
    if (loggedOn_) {
        Logoff();
    }
    controls_.clear();
    // window_ goes last, with the events not delivered: their code is this module's, which
    // may be unloaded next.
}

HRESULT CKestroClient::QueryInterface(REFIID riid, void** ppv) {
    if (ppv == nullptr) {
        return E_POINTER;
    }
    if (riid == IID_IUnknown || riid == IID_IDispatch || riid == kClientIid) {
        *ppv = static_cast<IDispatch*>(this);
    } else if (riid == IID_IConnectionPointContainer) {
        *ppv = static_cast<IConnectionPointContainer*>(this);
    } else if (riid == IID_IProvideClassInfo) {
        *ppv = static_cast<IProvideClassInfo*>(this);
    } else {
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
}

ULONG CKestroClient::AddRef() {
    return ++refs_;
}

ULONG CKestroClient::Release() {
    const ULONG left = --refs_;
    if (left == 0) {
        std::function<void()> onLastRelease = std::move(onLastRelease_);
        delete this;
        if (onLastRelease) {
            onLastRelease();
        }
    }
    return left;
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
    if (member == nullptr) {
        return DISP_E_MEMBERNOTFOUND;
    }
    if (member->kind == MemberKind::Property) {
        if ((wFlags & DISPATCH_PROPERTYPUT) != 0) {
            if (member->readOnly) {
                return DISP_E_MEMBERNOTFOUND;
            }
            if (pDispParams->cArgs != 1 || pDispParams->cNamedArgs != 1 ||
                pDispParams->rgdispidNamedArgs[0] != DISPID_PROPERTYPUT) {
                return DISP_E_BADPARAMCOUNT;
            }
            VARIANT value;
            VariantInit(&value);
            if (HRESULT hr = VariantChangeType(&value, &pDispParams->rgvarg[0], 0, VT_I4);
                FAILED(hr)) {
                if (puArgErr != nullptr) {
                    *puArgErr = 0;
                }
                return hr;
            }
            (dispIdMember == kCallPort     ? callPort_
             : dispIdMember == kEventsPort ? eventsPort_
             : dispIdMember == kClientID   ? clientId_
                                           : currentPump_) = value.lVal;
            return S_OK;
        }
        if (pDispParams->cArgs != 0) {
            return DISP_E_BADPARAMCOUNT;
        }
        if (pVarResult != nullptr) {
            *pVarResult = dispIdMember == kConnected
                              ? I2(loggedOn_ && !lost_ ? 1 : 0)
                              : I4(dispIdMember == kCallPort     ? callPort_
                                   : dispIdMember == kEventsPort ? eventsPort_
                                   : dispIdMember == kClientID   ? clientId_
                                                                 : currentPump_);
        }
        return S_OK;
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
    for (std::size_t i = 0; i < count; ++i) {
        const VARTYPE vt = member->params[i].vt;
        VARIANT& given = pDispParams->rgvarg[count - 1 - i];
        VARIANT value;
        VariantInit(&value);
        HRESULT hr = S_OK;
        if ((vt & VT_BYREF) != 0) {
            if (given.vt == vt && given.byref != nullptr) {
                value = given;
            } else {
                hr = DISP_E_TYPEMISMATCH;
            }
        } else {
            hr = VariantChangeType(&value, &given, 0, vt);
        }
        if (FAILED(hr)) {
            if (puArgErr != nullptr) {
                *puArgErr = static_cast<UINT>(count - 1 - i);
            }
            return hr;
        }
        args.values.push_back(value);
    }
    std::int32_t result = 0;
    if (HRESULT hr = Call(dispIdMember, args, result); FAILED(hr)) {
        return hr;
    }
    // By-reference values were copied as pointers: nothing of the caller's may be cleared.
    for (std::size_t i = 0; i < count; ++i) {
        if ((member->params[i].vt & VT_BYREF) != 0) {
            VariantInit(&args.values[i]);
        }
    }
    if (pVarResult != nullptr) {
        *pVarResult = I4(result);
    }
    return S_OK;
}

HRESULT CKestroClient::Call(DISPID dispid, Arguments& args, std::int32_t& result) {
    if (dispid == kLogon) {
        result = Logon(args.Text(0), args.Long(1));
        return S_OK;
    }
    if (dispid == kLogoff) {
        result = Logoff();
        return S_OK;
    }
    if (dispid == kRegisterPumpControl) {
        result = RegisterPumpControl(args.Long(0), *args.RefDispatch(1));
        return S_OK;
    }
    if (lost_) {
        result = kConnectionLost;
        return S_OK;
    }
    const std::int32_t pump = args.Long(0);
    switch (dispid) {
        case kReadPumpProperties: {
            Bstr name;
            std::int32_t slot = 0;
            std::int32_t muxSlot = 0;
            std::int16_t priceControl = 0;
            std::int16_t hasPreset = 0;
            result = link_.Forward<wire::CallCode::GetPumpPropertiesEx>(
                pump, args.RefLong(1), name.Out(), args.RefShort(3), args.RefShort(4),
                args.RefShort(5), args.RefShort(6), args.RefShort(7), args.RefShort(8),
                args.RefShort(9), args.RefShort(10), args.RefShort(11), args.RefLong(12),
                args.RefLong(13), args.RefShort(14), args.RefShort(15), args.RefShort(16),
                args.RefShort(17), &slot, &muxSlot, &priceControl, &hasPreset);
            if (result == kSuccess) {
                SysFreeString(*args.RefText(2));
                *args.RefText(2) = name.Detach();
            }
            break;
        }
        case kReadPumpHosesCount:
            result = link_.Forward<wire::CallCode::GetPumpHosesCount>(pump, args.RefLong(1));
            break;
        case kReadPumpHoseByNumber:
            result = link_.Forward<wire::CallCode::GetPumpHoseByNumber>(pump, args.Long(1),
                                                                        args.RefLong(2));
            break;
        case kReadPumpStatus: {
            Bstr name;
            Bstr shortName;
            result = link_.Forward<calls::ReadPumpStatus>(
                pump, args.RefShort(1), args.RefShort(2), args.RefLong(3), args.RefLong(4),
                args.RefShort(5), args.RefLong(6), name.Out(), shortName.Out(), args.RefShort(9),
                args.RefDouble(10), args.RefDouble(11), args.RefDouble(12), args.RefShort(13));
            if (result == kSuccess) {
                SysFreeString(*args.RefText(7));
                *args.RefText(7) = name.Detach();
                SysFreeString(*args.RefText(8));
                *args.RefText(8) = shortName.Detach();
            }
            break;
        }
        case kReadPumpDelivery:
        case kReadPumpDeliveryEx: {
            Bstr name;
            Bstr shortName;
            double totals[3] = {};
            const bool ex = dispid == kReadPumpDeliveryEx;
            result = link_.Forward<calls::ReadPumpDelivery>(
                pump, args.Short(1), args.RefLong(2), args.RefShort(3), args.RefShort(4),
                args.RefLong(5), args.RefShort(6), args.RefLong(7), name.Out(), shortName.Out(),
                args.RefShort(10), args.RefDouble(11), args.RefDouble(12), args.RefDouble(13),
                args.RefLong(14), args.RefLong(15), args.RefLong(16), args.RefDate(17),
                args.RefLong(18), ex ? args.RefDouble(19) : &totals[0],
                ex ? args.RefDouble(20) : &totals[1], ex ? args.RefDouble(21) : &totals[2]);
            if (result == kSuccess) {
                SysFreeString(*args.RefText(8));
                *args.RefText(8) = name.Detach();
                SysFreeString(*args.RefText(9));
                *args.RefText(9) = shortName.Detach();
            }
            break;
        }
        case kPumpPrepayReserve:
            result = link_.Forward<calls::PumpPrepayReserve>(pump);
            break;
        case kPumpPrepayCancel:
            result = link_.Forward<calls::PumpPrepayCancel>(pump);
            break;
        case kPumpPrepayAuthorise:
            result = link_.Forward<calls::PumpPrepayAuthorise>(pump, args.Short(1), args.Double(2),
                                                               args.Short(3), args.Short(4));
            break;
        case kPumpPreauthReserve:
            result = link_.Forward<calls::PumpPreauthReserve>(pump);
            break;
        case kPumpPreauthCancel:
            result = link_.Forward<calls::PumpPreauthCancel>(pump);
            break;
        case kPumpPreauthAuthorise:
            result = link_.Forward<calls::PumpPreauthAuthorise>(pump, args.Short(1), args.Double(2),
                                                                args.Short(3), args.Short(4));
            break;
        case kPumpLoadPreset:
            result = link_.Forward<calls::PumpLoadPreset>(pump, args.Short(1), args.Double(2),
                                                          args.Short(3), args.Short(4));
            break;
        case kPumpAttendantAuthorise:
            result = link_.Forward<calls::PumpAttendantAuthorise>(pump, args.Long(1));
            break;
        case kPumpAuthorise:
            result = link_.Forward<calls::PumpAuthorise>(pump);
            break;
        case kPumpCancelAuthorise:
            result = link_.Forward<calls::PumpCancelAuthorise>(pump);
            break;
        case kPumpTempStop:
            result = link_.Forward<calls::PumpTempStop>(pump);
            break;
        case kPumpReAuthorise:
            result = link_.Forward<calls::PumpReAuthorise>(pump);
            break;
        case kPumpTerminateDelivery:
            result = link_.Forward<calls::PumpTerminateDelivery>(pump);
            break;
        case kPumpStackCurrentDelivery:
            result = link_.Forward<calls::PumpStackCurrentDelivery>(pump);
            break;
        case kPumpAttendantLogon:
            // Arguments: attendant first, pump second.
            result = link_.Forward<calls::PumpAttendantLogon>(args.Long(0), args.Long(1));
            break;
        default:
            return DISP_E_MEMBERNOTFOUND;
    }
    return S_OK;
}

// ---- Logon, registration, events -----------------------------------------------------------

std::int32_t CKestroClient::Logon(BSTR serverName, std::int32_t callTimeout) {
    if (loggedOn_) {
        return kAlreadyLoggedOn;
    }
    std::int32_t rc = link_.LogOn(clientId_, 0, serverName, callPort_, eventsPort_, callTimeout,
                                  0, 0, 0);
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
                    pumpId, static_cast<std::int16_t>(index), &d.id, &d.type, &d.state,
                    &d.hoseId, &d.hoseNumber, &d.gradeId, name.Out(), shortName.Out(), &d.priceLevel,
                    &d.price, &d.volume, &d.value, &d.lockedBy, &d.reservedBy, &d.age,
                    &d.completedDate, &d.attendantId, &d.volumeTotal, &d.volume2Total,
                    &d.valueTotal) == kSuccess) {
                d.gradeName = name.View();
                d.shortGradeName = shortName.View();
                CallDeliverySink(control.Get(), d);
            }
        }
    }
}

void CKestroClient::CallStatusSink(IDispatch* control, const PumpStatus& s) {
    // The names travel by reference: the sink may replace them, the last text is freed here.
    BSTR name = Bstr::FromUtf16(s.gradeName).Detach();
    BSTR shortName = Bstr::FromUtf16(s.shortGradeName).Detach();
    InvokeMethod(control, 49,
                 {I2(s.state), I2(s.reservedFor), I4(s.reservedBy), I4(s.hoseId),
                  I2(s.hoseNumber), I4(s.gradeId), BstrRef(&name), BstrRef(&shortName),
                  I2(s.priceLevel), R8(s.price), R8(s.volume), R8(s.value), I2(s.stackSize)});
    SysFreeString(name);
    SysFreeString(shortName);
}

void CKestroClient::CallDeliverySink(IDispatch* control, const PumpDelivery& d) {
    BSTR name = Bstr::FromUtf16(d.gradeName).Detach();
    BSTR shortName = Bstr::FromUtf16(d.shortGradeName).Detach();
    InvokeMethod(control, 63,
                 {I4(d.id), I4(d.hoseId), I2(d.hoseNumber), I4(d.gradeId), BstrRef(&name),
                  BstrRef(&shortName), I2(d.priceLevel), R8(d.price), R8(d.volume), R8(d.value),
                  I2(d.state), I2(d.type), I4(d.lockedBy), I4(d.reservedBy), I4(d.age),
                  R8(d.completedDate, VT_DATE), I4(d.attendantId), R8(d.volumeTotal),
                  R8(d.volume2Total), R8(d.valueTotal)});
    SysFreeString(name);
    SysFreeString(shortName);
}

}  // namespace kestro::automation
