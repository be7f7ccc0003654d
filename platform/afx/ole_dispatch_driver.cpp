// Outgoing automation calls by DISPID.
#include "platform/afx/ole_dispatch_driver.h"

#include "platform/com_ptr.h"
#include "platform/text_conversion.h"

COleDispatchDriver::COleDispatchDriver(IDispatch* dispatch, BOOL bAutoRelease)
    : m_lpDispatch(dispatch), m_bAutoRelease(bAutoRelease) {}

COleDispatchDriver::~COleDispatchDriver() {
    ReleaseDispatch();
}

void COleDispatchDriver::AttachDispatch(IDispatch* dispatch, BOOL bAutoRelease) {
    ReleaseDispatch();
    m_lpDispatch = dispatch;
    m_bAutoRelease = bAutoRelease;
}

IDispatch* COleDispatchDriver::DetachDispatch() {
    IDispatch* dispatch = m_lpDispatch;
    m_lpDispatch = nullptr;
    return dispatch;
}

void COleDispatchDriver::ReleaseDispatch() {
    if (m_lpDispatch != nullptr && m_bAutoRelease) {
        m_lpDispatch->Release();
    }
    m_lpDispatch = nullptr;
}

BOOL COleDispatchDriver::CreateDispatch(LPCSTR progIdOrClsid) {
    const WideString wide = Utf8ToUtf16(progIdOrClsid);
    CLSID clsid{};
    if (FAILED(CLSIDFromString(wide.c_str(), &clsid)) &&
        FAILED(CLSIDFromProgID(wide.c_str(), &clsid))) {
        return FALSE;
    }
    ComPtr<IDispatch> dispatch = CreateInstance<IDispatch>(clsid);
    if (!dispatch) {
        return FALSE;
    }
    AttachDispatch(dispatch.Detach(), TRUE);
    return TRUE;
}

void COleDispatchDriver::GetProperty(DISPID dwDispID, VARTYPE vtProp, void* pvProp) {
    InvokeHelper(dwDispID, DISPATCH_PROPERTYGET, vtProp, pvProp, VTS_NONE);
}

void COleDispatchDriver::InvokeArgs(DISPID dispid, WORD wFlags, VARTYPE vtRet, void* pvRet,
                                    VARIANT* reversed, UINT count) {
    if (m_lpDispatch == nullptr) {
        throw COleException(E_POINTER);
    }
    DISPID putId = DISPID_PROPERTYPUT;
    DISPPARAMS params{reversed, nullptr, count, 0};
    if ((wFlags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) != 0) {
        params.rgdispidNamedArgs = &putId;
        params.cNamedArgs = 1;
    }
    VARIANT result;
    VariantInit(&result);
    EXCEPINFO info{};
    UINT argErr = 0;
    const HRESULT hr = m_lpDispatch->Invoke(dispid, IID_NULL, 0, wFlags, &params,
                                            vtRet == VT_EMPTY ? nullptr : &result, &info, &argErr);
    if (FAILED(hr)) {
        VariantClear(&result);
        AfxThrowInvokeFailure(hr, &info);
    }
    if (vtRet == VT_EMPTY) {
        return;
    }
    if (vtRet == VT_VARIANT) {
        *static_cast<VARIANT*>(pvRet) = result;
        return;
    }
    const HRESULT converted = VariantChangeType(&result, &result, 0, vtRet);
    if (FAILED(converted)) {
        VariantClear(&result);
        throw COleException(converted);
    }
    switch (vtRet) {
        case VT_I2:
            *static_cast<SHORT*>(pvRet) = result.iVal;
            break;
        case VT_I4:
            *static_cast<LONG*>(pvRet) = result.lVal;
            break;
        case VT_R8:
        case VT_DATE:
            *static_cast<double*>(pvRet) = result.dblVal;
            break;
        case VT_BOOL:
            *static_cast<VARIANT_BOOL*>(pvRet) = result.boolVal;
            break;
        case VT_BSTR:
            *static_cast<BSTR*>(pvRet) = result.bstrVal;  // handed to the caller
            break;
        case VT_DISPATCH:
            *static_cast<IDispatch**>(pvRet) = result.pdispVal;  // with its reference
            break;
        default:
            VariantClear(&result);
            throw COleException(DISP_E_BADVARTYPE);
    }
}
