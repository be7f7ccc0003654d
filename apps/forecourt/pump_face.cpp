// One Tolvan control of the forecourt.
#include "apps/forecourt/pump_face.h"

#include "apps/forecourt/event_sink.h"
#include "control/tolvan_ids.h"
#include "platform/bstr.h"
#include "platform/dispatch_call.h"
#include "platform/ole_inplace.h"
#include "platform/oleauto.h"
#include "platform/text_conversion.h"
#include "platform/variant_values.h"

namespace forecourt {

namespace {

constexpr char16_t kProgId[] = u"TOLVAN.TolvanCtrl.1";

using platform::Invoke;
using platform::variants::BstrRef;
using platform::variants::ByRef;
using platform::variants::I2;
using platform::variants::I4;
using platform::variants::R8;

}  // namespace

double NumberOf(const VARIANT& value) {
    Variant number;
    return SUCCEEDED(VariantChangeType(number.Out(), &value, 0, VT_R8)) ? number.Get().dblVal : 0;
}

std::string TextOf(const VARIANT& value) {
    const VARIANT* v = &value;
    if (v->vt == (VT_BYREF | VT_VARIANT) && v->pvarVal != nullptr) {
        v = v->pvarVal;
    }
    BSTR text = nullptr;
    if (v->vt == VT_BSTR) {
        text = v->bstrVal;
    } else if (v->vt == (VT_BYREF | VT_BSTR) && v->pbstrVal != nullptr) {
        text = *v->pbstrVal;
    }
    return text != nullptr ? Utf16ToUtf8(std::u16string(text, SysStringLen(text))) : "";
}

PumpFace::PumpFace(long pumpId, FaceEventHandler handler)
    : pumpId_(pumpId), handler_(std::move(handler)) {}

std::unique_ptr<PumpFace> PumpFace::Create(long pumpId, IDispatch* client, FaceEventHandler handler,
                                           std::string* error) {
    std::unique_ptr<PumpFace> face(new PumpFace(pumpId, handler));
    CLSID clsid{};
    HRESULT hr = CLSIDFromProgID(kProgId, &clsid);
    if (SUCCEEDED(hr)) {
        hr = CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch,
                              face->control_.OutVoid());
    }
    if (FAILED(hr)) {
        *error = "cannot create TOLVAN.TolvanCtrl.1 for pump " + std::to_string(pumpId) + ": " +
                 HResultText(hr);
        return nullptr;
    }
    if (auto container = face->control_.As<IConnectionPointContainer>()) {
        if (SUCCEEDED(container->FindConnectionPoint(tolvan::IID_DTolvanEvents,
                                                     face->connection_.Out()))) {
            auto sink = MakeEventSink(
                tolvan::IID_DTolvanEvents,
                [pumpId, handler = std::move(handler)](DISPID event, const DISPPARAMS& args) {
                    if (handler) {
                        handler(pumpId, event, args);
                    }
                });
            if (FAILED(face->connection_->Advise(sink.Get(), &face->cookie_))) {
                face->connection_ = nullptr;
            }
        }
    }
    IDispatch* borrowed = client;
    hr = Invoke(face->control_.Get(), tolvan::dispidSetKestro, DISPATCH_METHOD,
                {ByRef(VT_DISPATCH, &borrowed)});
    if (SUCCEEDED(hr)) {
        hr = Invoke(face->control_.Get(), tolvan::dispidID, DISPATCH_PROPERTYPUT,
                    {I4(static_cast<LONG>(pumpId))});
    }
    if (FAILED(hr)) {
        *error = "pump " + std::to_string(pumpId) + " cannot be loaded: " + HResultText(hr);
        return nullptr;
    }
    return face;
}

PumpFace::~PumpFace() {
    if (connection_) {
        connection_->Unadvise(cookie_);
    }
    if (control_) {
        if (auto inplace = control_.As<IOleInPlaceObject>()) {
            inplace->InPlaceDeactivate();
        }
        // Withdraws the control from the client object, which would otherwise keep it.
        IDispatch* none = nullptr;
        Invoke(control_.Get(), tolvan::dispidSetKestro, DISPATCH_METHOD,
               {ByRef(VT_DISPATCH, &none)});
    }
}

std::string PumpFace::Name() {
    Variant name;
    return SUCCEEDED(Invoke(control_.Get(), tolvan::dispidName, DISPATCH_PROPERTYGET, {}, &name))
               ? TextOf(name.Get())
               : "";
}

bool PumpFace::Configure(int popupMode, bool beep) {
    return SUCCEEDED(Invoke(control_.Get(), tolvan::dispidPopupMode, DISPATCH_PROPERTYPUT,
                            {I2(static_cast<short>(popupMode))}, nullptr)) &&
           SUCCEEDED(Invoke(control_.Get(), tolvan::dispidBeepEnabled, DISPATCH_PROPERTYPUT,
                            {I2(beep ? 1 : 0)}, nullptr));
}

int PumpFace::State() {
    Variant state;
    return SUCCEEDED(
               Invoke(control_.Get(), tolvan::dispidPumpState, DISPATCH_PROPERTYGET, {}, &state))
               ? static_cast<int>(NumberOf(state.Get()))
               : -1;
}

void PumpFace::ShowNotResponding() {
    // The status a controller gives a pump it cannot reach: state 0, no hose, no amounts.
    Bstr gradeName;
    Bstr shortGradeName;
    Invoke(control_.Get(), tolvan::dispidStatusEventSink, DISPATCH_METHOD,
           {I2(0), I2(0), I4(-1), I4(-1), I2(0), I4(-1), BstrRef(gradeName.Out()),
            BstrRef(shortGradeName.Out()), I2(1), R8(0), R8(0), R8(0), I2(0)});
}

void PumpFace::SetCurrent(bool current) {
    if (current_ == static_cast<int>(current)) {
        return;
    }
    current_ = current ? 1 : 0;
    Invoke(control_.Get(), tolvan::dispidIsCurrentPump, DISPATCH_PROPERTYPUT,
           {I2(current ? 1 : 0)});
}

bool PumpFace::Place(HWND parent, const RECT& at, std::string* error) {
    auto object = control_.As<IOleObject>();
    const HRESULT hr =
        object ? object->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, nullptr, 0, parent, &at)
               : E_NOINTERFACE;
    if (FAILED(hr)) {
        *error = "pump " + std::to_string(pumpId_) + " cannot be shown: " + HResultText(hr);
        return false;
    }
    return true;
}

HWND PumpFace::Window() {
    HWND hwnd = nullptr;
    if (auto inplace = control_.As<IOleInPlaceObject>()) {
        if (FAILED(inplace->GetWindow(&hwnd))) {
            hwnd = nullptr;
        }
    }
    return hwnd;
}

}  // namespace forecourt
