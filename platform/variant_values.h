// VARIANT builders: one automation value of a given type, ready to pass as an Invoke argument.
// A by-value builder's VARIANT owns what it holds (a BSTR, a reference on an interface), so the
// caller VariantClear's it, as Invoke's caller does with its arguments; a by-reference one owns
// nothing and its target must outlive it.
#pragma once

#include <string_view>

#include "platform/com.h"
#include "platform/oleauto.h"
#include "platform/variant.h"

namespace platform::variants {

// An initialised VARIANT of type `vt`; the caller fills in its value.
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

// A double; `vt` may name another type stored as one (VT_DATE).
inline VARIANT R8(double value, VARTYPE vt = VT_R8) {
    VARIANT v = Of(vt);
    v.dblVal = value;
    return v;
}

inline VARIANT Date(DATE value) {
    VARIANT v = Of(VT_DATE);
    v.date = value;
    return v;
}

// A new BSTR decoded from UTF-8, owned by the VARIANT.
inline VARIANT Text(std::string_view utf8) {
    VARIANT v = Of(VT_BSTR);
    v.bstrVal = BstrFromUtf8(utf8);
    return v;
}

// Takes a reference of its own on `value` (null allowed), released when the VARIANT is cleared.
inline VARIANT Dispatch(IDispatch* value) {
    if (value != nullptr) {
        value->AddRef();
    }
    VARIANT v = Of(VT_DISPATCH);
    v.pdispVal = value;
    return v;
}

// A by-reference argument of type `vt` pointing at `target`; the callee may write there.
template <class T>
VARIANT ByRef(VARTYPE vt, T* target) {
    VARIANT v = Of(static_cast<VARTYPE>(vt | VT_BYREF));
    v.byref = target;
    return v;
}

// A by-reference BSTR (a BSTR* argument): the VARIANT owns neither the slot nor the text in it;
// whatever the callee leaves in `*text` is the caller's to free.
inline VARIANT BstrRef(BSTR* text) {
    return ByRef(VT_BSTR, text);
}

}  // namespace platform::variants
