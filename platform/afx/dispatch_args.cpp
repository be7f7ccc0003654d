// Type fitting and argument ownership for the framework's dispatch plumbing.
#include "platform/afx/dispatch_args.h"

namespace afx_detail {

bool Fits(CppArg arg, VARTYPE vt) {
    switch (arg) {
        case CppArg::Void:
            return vt == VT_VOID || vt == VT_EMPTY;
        case CppArg::Short:
            return vt == VT_I2 || vt == VT_BOOL;
        case CppArg::Long:
            return vt == VT_I4;
        case CppArg::Double:
            return vt == VT_R8 || vt == VT_DATE;
        case CppArg::Bstr:
            return vt == VT_BSTR;
        case CppArg::Dispatch:
            return vt == VT_DISPATCH;
        case CppArg::ShortRef:
            return vt == (VT_BYREF | VT_I2) || vt == (VT_BYREF | VT_BOOL);
        case CppArg::LongRef:
            return vt == (VT_BYREF | VT_I4);
        case CppArg::DoubleRef:
            return vt == (VT_BYREF | VT_R8) || vt == (VT_BYREF | VT_DATE);
        case CppArg::BstrRef:
            return vt == (VT_BYREF | VT_BSTR);
        case CppArg::DispatchRef:
            return vt == (VT_BYREF | VT_DISPATCH);
        case CppArg::VariantRef:
            return vt == VT_VARIANT || vt == (VT_BYREF | VT_VARIANT);
    }
    return false;
}

ArgBuilder::~ArgBuilder() {
    for (BSTR text : owned_) {
        SysFreeString(text);
    }
}

BSTR ArgBuilder::Own(BSTR text) {
    if (text == nullptr) {
        throw COleException(E_OUTOFMEMORY);
    }
    owned_.push_back(text);
    return text;
}

void ArgBuilder::Mismatch(VARTYPE) {
    throw COleException(E_INVALIDARG);
}

}  // namespace afx_detail
