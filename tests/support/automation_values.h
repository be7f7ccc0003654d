// Test helpers for automation values, shared by every suite: VARIANT builders (the caller
// clears what they return) and BSTR contents as comparable strings.
#pragma once

#include <string>

#include "platform/com.h"
#include "platform/variant.h"

namespace test_variants {

inline VARIANT Of(VARTYPE vt) {
    VARIANT v;
    VariantInit(&v);
    v.vt = vt;
    return v;
}

inline VARIANT I2(SHORT value) {
    VARIANT v = Of(VT_I2);
    v.iVal = value;
    return v;
}

inline VARIANT I4(LONG value) {
    VARIANT v = Of(VT_I4);
    v.lVal = value;
    return v;
}

inline VARIANT R8(double value) {
    VARIANT v = Of(VT_R8);
    v.dblVal = value;
    return v;
}

inline VARIANT Date(DATE value) {
    VARIANT v = Of(VT_DATE);
    v.date = value;
    return v;
}

// A BSTR decoded from UTF-8.
inline VARIANT Text(const char* text) {
    VARIANT v = Of(VT_BSTR);
    v.bstrVal = BstrFromUtf8(text);
    return v;
}

// Holds a reference of its own on `value`, released when the VARIANT is cleared.
inline VARIANT Dispatch(IDispatch* value) {
    if (value != nullptr) {
        value->AddRef();
    }
    VARIANT v = Of(VT_DISPATCH);
    v.pdispVal = value;
    return v;
}

// A by-reference argument of type `vt` pointing at `pointer` (the VARIANT owns nothing).
template <class T>
VARIANT ByRef(VARTYPE vt, T* pointer) {
    VARIANT v = Of(static_cast<VARTYPE>(vt | VT_BYREF));
    v.byref = pointer;
    return v;
}

// Every unit of `text`, embedded zeros kept; "<null>" for a null BSTR, so that a null and an
// empty text compare differently.
inline std::u16string BstrUnits(BSTR text) {
    return text == nullptr ? std::u16string(u"<null>") : std::u16string(text, SysStringLen(text));
}

}  // namespace test_variants
