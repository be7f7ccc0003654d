// How C++ values meet VARIANTs in the framework: which automation types a C++ parameter or
// result type can carry, reading a coerced argument as its C++ type, storing a C++ result,
// and building an argument VARIANT from a C++ value for an outgoing call (events, the
// dispatch driver). Used by the dispatch map, COleControl::FireEvent and COleDispatchDriver.
#pragma once

#include <string>
#include <type_traits>
#include <vector>

#include "platform/afx/ole_exception.h"
#include "platform/com.h"

namespace afx_detail {

// The C++ types a dispatch map member may take and return. LONG is 32 bits (never `long`).
enum class CppArg : std::uint8_t {
    Void,
    Short,     // SHORT: VT_I2 or VT_BOOL (VARIANT_BOOL is the same C++ type)
    Long,      // LONG: VT_I4
    Double,    // double: VT_R8 or VT_DATE
    Bstr,      // BSTR: VT_BSTR (an argument is borrowed; a result is handed to the caller)
    Dispatch,  // IDispatch*: VT_DISPATCH (borrowed argument; a result carries a reference)
    ShortRef,
    LongRef,
    DoubleRef,
    BstrRef,
    DispatchRef,
    VariantRef,  // VARIANT*: a VARIANT parameter, or VT_BYREF|VT_VARIANT
};

template <class T>
constexpr CppArg CppArgOf() {
    if constexpr (std::is_void_v<T>) {
        return CppArg::Void;
    } else if constexpr (std::is_same_v<T, SHORT>) {
        return CppArg::Short;
    } else if constexpr (std::is_same_v<T, LONG>) {
        return CppArg::Long;
    } else if constexpr (std::is_same_v<T, double>) {
        return CppArg::Double;
    } else if constexpr (std::is_same_v<T, BSTR>) {
        return CppArg::Bstr;
    } else if constexpr (std::is_same_v<T, IDispatch*>) {
        return CppArg::Dispatch;
    } else if constexpr (std::is_same_v<T, SHORT*>) {
        return CppArg::ShortRef;
    } else if constexpr (std::is_same_v<T, LONG*>) {
        return CppArg::LongRef;
    } else if constexpr (std::is_same_v<T, double*>) {
        return CppArg::DoubleRef;
    } else if constexpr (std::is_same_v<T, BSTR*>) {
        return CppArg::BstrRef;
    } else if constexpr (std::is_same_v<T, IDispatch**>) {
        return CppArg::DispatchRef;
    } else if constexpr (std::is_same_v<T, VARIANT*>) {
        return CppArg::VariantRef;
    } else {
        static_assert(sizeof(T) == 0,
                      "a dispatch member takes and returns SHORT, LONG, "
                      "double, BSTR, IDispatch*, pointers to them, VARIANT*");
    }
}

// Whether a C++ type can carry automation type `vt` (VT_VOID or VT_EMPTY for no result).
bool Fits(CppArg arg, VARTYPE vt);

template <class T>
T Extract(VARIANT& v) {
    constexpr CppArg kind = CppArgOf<T>();
    if constexpr (kind == CppArg::Short) {
        return v.iVal;
    } else if constexpr (kind == CppArg::Long) {
        return v.lVal;
    } else if constexpr (kind == CppArg::Double) {
        return v.dblVal;
    } else if constexpr (kind == CppArg::Bstr) {
        return v.bstrVal;
    } else if constexpr (kind == CppArg::Dispatch) {
        return v.pdispVal;
    } else if constexpr (kind == CppArg::VariantRef) {
        return (v.vt & VT_BYREF) != 0 ? v.pvarVal : &v;
    } else {
        return static_cast<T>(v.byref);
    }
}

template <class T>
void Store(VARIANT* out, VARTYPE vt, T value) {
    constexpr CppArg kind = CppArgOf<T>();
    VariantInit(out);
    out->vt = vt;
    if constexpr (kind == CppArg::Short) {
        out->iVal = value;
    } else if constexpr (kind == CppArg::Long) {
        out->lVal = value;
    } else if constexpr (kind == CppArg::Double) {
        out->dblVal = value;
    } else if constexpr (kind == CppArg::Bstr) {
        out->bstrVal = value;
    } else if constexpr (kind == CppArg::Dispatch) {
        out->pdispVal = value;
    } else if constexpr (kind == CppArg::VariantRef) {
        *out = *value;
    } else {
        out->byref = value;
    }
}

// Builds outgoing arguments. BSTRs made from narrow text are owned here and freed on
// destruction; everything else is borrowed from the caller for the duration of the call.
class ArgBuilder {
  public:
    ArgBuilder() = default;
    ArgBuilder(const ArgBuilder&) = delete;
    ArgBuilder& operator=(const ArgBuilder&) = delete;
    ~ArgBuilder();

    // Sets `v` to `value` as automation type `vt` (VT_BYREF for a pointer). Throws
    // COleException(E_INVALIDARG) when the C++ type cannot carry `vt`: a programming error that
    // must fail loudly rather than send a wrong value.
    template <class T>
    void Set(VARIANT& v, VARTYPE vt, T value) {
        VariantInit(&v);
        v.vt = vt;
        using U = std::decay_t<T>;
        const VARTYPE base = vt & ~VT_BYREF;
        const bool byref = (vt & VT_BYREF) != 0;
        if constexpr (std::is_integral_v<U>) {
            if (byref) {
                Mismatch(vt);
            }
            if (base == VT_I2) {
                v.iVal = static_cast<SHORT>(value);
            } else if (base == VT_I4) {
                v.lVal = static_cast<LONG>(value);
            } else if (base == VT_BOOL) {
                v.boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
            } else if (base == VT_R8 || base == VT_DATE) {
                v.dblVal = static_cast<double>(value);
            } else {
                Mismatch(vt);
            }
        } else if constexpr (std::is_floating_point_v<U>) {
            if (byref || (base != VT_R8 && base != VT_DATE)) {
                Mismatch(vt);
            }
            v.dblVal = static_cast<double>(value);
        } else if constexpr (std::is_same_v<U, const char*> || std::is_same_v<U, char*> ||
                             std::is_same_v<U, std::string>) {
            if (vt != VT_BSTR) {
                Mismatch(vt);
            }
            v.bstrVal = Own(BstrFromUtf8(value));
        } else if constexpr (std::is_same_v<U, BSTR> || std::is_same_v<U, const OLECHAR*>) {
            if (vt != VT_BSTR) {
                Mismatch(vt);
            }
            v.bstrVal = const_cast<BSTR>(value);
        } else if constexpr (std::is_same_v<U, IDispatch*> || std::is_same_v<U, std::nullptr_t>) {
            if (vt != VT_DISPATCH) {
                Mismatch(vt);
            }
            v.pdispVal = value;
        } else if constexpr (std::is_same_v<U, const VARIANT*> || std::is_same_v<U, VARIANT*>) {
            if (vt == (VT_BYREF | VT_VARIANT)) {
                v.pvarVal = const_cast<VARIANT*>(value);
            } else if (vt == VT_VARIANT) {
                v = *value;  // borrowed contents
            } else {
                Mismatch(vt);
            }
        } else if constexpr (std::is_pointer_v<U>) {
            using P = std::remove_pointer_t<U>;
            const bool fits =
                byref && ((std::is_same_v<P, SHORT> && (base == VT_I2 || base == VT_BOOL)) ||
                          (std::is_same_v<P, LONG> && base == VT_I4) ||
                          (std::is_same_v<P, double> && (base == VT_R8 || base == VT_DATE)) ||
                          (std::is_same_v<P, BSTR> && base == VT_BSTR) ||
                          (std::is_same_v<P, IDispatch*> && base == VT_DISPATCH));
            if (!fits) {
                Mismatch(vt);
            }
            v.byref = value;
        } else {
            static_assert(sizeof(U) == 0, "unsupported argument type");
        }
    }

  private:
    BSTR Own(BSTR text);
    [[noreturn]] static void Mismatch(VARTYPE vt);
    std::vector<BSTR> owned_;
};

// The automation type that an MFC parameter-type byte (VTS_*) stands for.
constexpr VARTYPE VarTypeFromVts(unsigned char vts) {
    return (vts & 0x40) != 0 ? static_cast<VARTYPE>((vts & ~0x40) | VT_BYREF) : vts;
}

}  // namespace afx_detail
