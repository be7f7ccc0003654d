// Property exchange over an IPropertyBag.
#include "platform/afx/prop_exchange.h"

#include "platform/text_conversion.h"

namespace {

template <class T, class Get, class Set>
BOOL Exchange(CPropExchange* pPX, LPCSTR name, VARTYPE vt, T& value, T defaultValue, Get get,
              Set set) {
    VARIANT current;
    VARIANT fallback;
    VariantInit(&current);
    VariantInit(&fallback);
    set(current, value);
    set(fallback, defaultValue);
    const BOOL ok = pPX->ExchangeProp(name, vt, &current, fallback);
    if (ok && pPX->IsLoading()) {
        value = get(current);
    }
    VariantClear(&current);
    VariantClear(&fallback);
    return ok;
}

}  // namespace

BOOL CPropExchange::ExchangeVersion(DWORD& versionLoaded, DWORD versionDefault, BOOL convert) {
    LONG version = static_cast<LONG>(versionDefault);
    if (!PX_Long(this, "_Version", version, static_cast<LONG>(versionDefault))) {
        return FALSE;
    }
    versionLoaded = static_cast<DWORD>(version);
    return convert || versionLoaded == versionDefault;
}

BOOL CPropExchange::ExchangeProp(LPCSTR name, VARTYPE vt, VARIANT* value,
                                 const VARIANT& defaultValue) {
    const WideString wide = Utf8ToUtf16(name);
    switch (mode_) {
        case Mode::Reset:
            return SUCCEEDED(VariantCopy(value, const_cast<VARIANT*>(&defaultValue)));
        case Mode::Save:
            return SUCCEEDED(bag_->Write(wide.c_str(), value));
        case Mode::Load: {
            VARIANT read;
            VariantInit(&read);
            read.vt = vt;
            const HRESULT hr = bag_->Read(wide.c_str(), &read, nullptr);
            if (hr == E_INVALIDARG) {
                return SUCCEEDED(VariantCopy(value, const_cast<VARIANT*>(&defaultValue)));
            }
            if (FAILED(hr) || read.vt != vt) {
                if (SUCCEEDED(hr)) {
                    VariantClear(&read);
                }
                return FALSE;
            }
            VariantClear(value);
            *value = read;
            return TRUE;
        }
    }
    return FALSE;
}

BOOL PX_Long(CPropExchange* pPX, LPCSTR name, LONG& value, LONG defaultValue) {
    return Exchange(
        pPX, name, VT_I4, value, defaultValue, [](const VARIANT& v) { return v.lVal; },
        [](VARIANT& v, LONG x) {
            v.vt = VT_I4;
            v.lVal = x;
        });
}

BOOL PX_Short(CPropExchange* pPX, LPCSTR name, SHORT& value, SHORT defaultValue) {
    return Exchange(
        pPX, name, VT_I2, value, defaultValue, [](const VARIANT& v) { return v.iVal; },
        [](VARIANT& v, SHORT x) {
            v.vt = VT_I2;
            v.iVal = x;
        });
}

BOOL PX_Bool(CPropExchange* pPX, LPCSTR name, BOOL& value, BOOL defaultValue) {
    return Exchange(
        pPX, name, VT_BOOL, value, defaultValue,
        [](const VARIANT& v) { return v.boolVal != 0 ? TRUE : FALSE; },
        [](VARIANT& v, BOOL x) {
            v.vt = VT_BOOL;
            v.boolVal = x ? VARIANT_TRUE : VARIANT_FALSE;
        });
}

BOOL PX_Double(CPropExchange* pPX, LPCSTR name, double& value, double defaultValue) {
    return Exchange(
        pPX, name, VT_R8, value, defaultValue, [](const VARIANT& v) { return v.dblVal; },
        [](VARIANT& v, double x) {
            v.vt = VT_R8;
            v.dblVal = x;
        });
}

BOOL PX_String(CPropExchange* pPX, LPCSTR name, std::string& value,
               const std::string& defaultValue) {
    return Exchange(
        pPX, name, VT_BSTR, value, defaultValue,
        [](const VARIANT& v) { return BstrToUtf8(v.bstrVal); },
        [](VARIANT& v, const std::string& x) {
            v.vt = VT_BSTR;
            v.bstrVal = BstrFromUtf8(x);
        });
}
