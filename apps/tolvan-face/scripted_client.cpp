// The scripted client object's answers.
#include "apps/tolvan-face/scripted_client.h"

#include "platform/oleauto.h"
#include "platform/variant.h"

namespace tolvan_face {

namespace {

constexpr DISPID kReadPumpProperties = 7;
constexpr DISPID kReadPumpStatus = 12;
constexpr DISPID kCurrentPumpID = 74;

// Argument `index` (first = 0) of a call; rgvarg holds them last first.
VARIANT& Arg(DISPPARAMS* params, UINT index) {
    return params->rgvarg[params->cArgs - 1 - index];
}

void Fill(DISPPARAMS* params, UINT index, LONG value) {
    VARIANT& v = Arg(params, index);
    if (v.vt == (VT_BYREF | VT_I4))
        *v.plVal = value;
}
void Fill(DISPPARAMS* params, UINT index, SHORT value) {
    VARIANT& v = Arg(params, index);
    if (v.vt == (VT_BYREF | VT_I2))
        *v.piVal = value;
}
void Fill(DISPPARAMS* params, UINT index, double value) {
    VARIANT& v = Arg(params, index);
    if (v.vt == (VT_BYREF | VT_R8))
        *v.pdblVal = value;
}
void Fill(DISPPARAMS* params, UINT index, const std::u16string& text) {
    VARIANT& v = Arg(params, index);
    if (v.vt == (VT_BYREF | VT_BSTR)) {
        SysFreeString(*v.pbstrVal);
        *v.pbstrVal = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
    }
}

}  // namespace

HRESULT ScriptedClient::GetTypeInfoCount(UINT* count) {
    if (count == nullptr)
        return E_POINTER;
    *count = 0;
    return S_OK;
}

HRESULT ScriptedClient::Invoke(DISPID dispid, REFIID, LCID, WORD flags, DISPPARAMS* params,
                               VARIANT* result, EXCEPINFO*, UINT*) {
    if (params == nullptr)
        return E_POINTER;
    if (dispid == kCurrentPumpID && (flags & DISPATCH_PROPERTYPUT) != 0) {
        if (params->cArgs == 1 && params->rgvarg[0].vt == VT_I4) {
            currentPumpId_ = params->rgvarg[0].lVal;
        }
        return S_OK;
    }
    if (dispid == kReadPumpProperties && params->cArgs == 18) {
        Fill(params, 1, pump_.number);
        Fill(params, 2, pump_.name);
        Fill(params, 3, static_cast<SHORT>(pump_.number));  // physical number
        Fill(params, 8, pump_.priceFormat);
        Fill(params, 9, pump_.volumeFormat);
        Fill(params, 10, pump_.valueFormat);
        Fill(params, 12, LONG{1});   // port
        Fill(params, 13, LONG{-1});  // attendant
        Fill(params, 15, pump_.stackMode);
    } else if (dispid == kReadPumpStatus && params->cArgs == 14) {
        Fill(params, 1, pump_.state);
        Fill(params, 2, pump_.reservedFor);
        Fill(params, 3, pump_.reservedBy);
        Fill(params, 4, LONG{pump_.hoseNumber != 0 ? pump_.hoseNumber : -1});
        Fill(params, 5, pump_.hoseNumber);
        Fill(params, 6, pump_.gradeId);
        Fill(params, 7, pump_.gradeName);
        Fill(params, 8, pump_.shortGradeName);
        Fill(params, 9, SHORT{1});
        Fill(params, 10, pump_.price);
        Fill(params, 11, pump_.volume);
        Fill(params, 12, pump_.value);
        Fill(params, 13, pump_.stackSize);
    }
    if (result != nullptr) {
        VariantClear(result);
        result->vt = VT_I4;
        result->lVal = 0;
    }
    return S_OK;
}

}  // namespace tolvan_face
