// OLE Automation values: VARIANT with its Windows layout, the conversions between the types
// the system's automation interfaces use, automation DATE, and the argument and exception
// blocks of IDispatch::Invoke (DISPPARAMS, EXCEPINFO).
#pragma once

#include <vector>

#include "platform/com_errors.h"
#include "platform/oleauto.h"

#ifdef _WIN32
#include <oleauto.h>
#else

struct IUnknown;
struct IDispatch;

using VARTYPE = std::uint16_t;
using VARIANT_BOOL = std::int16_t;
using DATE = double;
using DISPID = std::int32_t;
using MEMBERID = DISPID;
using LCID = DWORD;

constexpr VARIANT_BOOL VARIANT_TRUE = -1;
constexpr VARIANT_BOOL VARIANT_FALSE = 0;

enum : VARTYPE {
    VT_EMPTY = 0,
    VT_NULL = 1,
    VT_I2 = 2,
    VT_I4 = 3,
    VT_R4 = 4,
    VT_R8 = 5,
    VT_CY = 6,
    VT_DATE = 7,
    VT_BSTR = 8,
    VT_DISPATCH = 9,
    VT_ERROR = 10,
    VT_BOOL = 11,
    VT_VARIANT = 12,
    VT_UNKNOWN = 13,
    VT_UI1 = 17,
    VT_VOID = 24,
    VT_HRESULT = 25,
    VT_ARRAY = 0x2000,
    VT_BYREF = 0x4000,
    VT_TYPEMASK = 0x0FFF,
};

// The Windows layout: a 2-byte type, three reserved words, then a 16-byte union (24 bytes on
// a 64-bit build). `vt` says which union member is live; with VT_BYREF the union holds a
// pointer to a value that the VARIANT does not own.
struct VARIANT {
    VARTYPE vt;
    WORD wReserved1;
    WORD wReserved2;
    WORD wReserved3;
    union {
        LONGLONG llVal;
        LONG lVal;
        BYTE bVal;
        SHORT iVal;
        float fltVal;
        double dblVal;
        VARIANT_BOOL boolVal;
        SCODE scode;
        DATE date;
        BSTR bstrVal;
        IUnknown* punkVal;
        IDispatch* pdispVal;
        BYTE* pbVal;
        SHORT* piVal;
        LONG* plVal;
        double* pdblVal;
        VARIANT_BOOL* pboolVal;
        SCODE* pscode;
        DATE* pdate;
        BSTR* pbstrVal;
        IUnknown** ppunkVal;
        IDispatch** ppdispVal;
        VARIANT* pvarVal;
        void* byref;
        struct {
            void* pvRecord;
            void* pRecInfo;
        } brecVal;
    };
};
using VARIANTARG = VARIANT;

static_assert(sizeof(VARIANT) == 8 + 2 * sizeof(void*));

// Flags of VariantChangeType.
constexpr USHORT VARIANT_NOVALUEPROP = 0x1;
constexpr USHORT VARIANT_ALPHABOOL = 0x2;

// Sets `var` to VT_EMPTY without looking at what it held.
void VariantInit(VARIANTARG* var);

// Frees what `var` owns (a BSTR, a reference on an interface) and sets it to VT_EMPTY. A
// VT_BYREF value's referent is never touched. DISP_E_BADVARTYPE for a type outside the
// automation set (nothing is changed then); E_INVALIDARG for a null `var`.
HRESULT VariantClear(VARIANTARG* var);

// Clears `dest`, then makes it a copy of `src`: a BSTR is duplicated (embedded zeros kept), an
// interface gets a reference added, a VT_BYREF pointer is copied as it is. Copying a VARIANT
// onto itself does nothing. On failure `dest` is left cleared.
HRESULT VariantCopy(VARIANTARG* dest, const VARIANTARG* src);

// As VariantCopy, but a VT_BYREF `src` is dereferenced: `dest` receives a copy of the value it
// points at (a VT_BYREF|VT_VARIANT yields a copy of the inner VARIANT).
HRESULT VariantCopyInd(VARIANT* dest, const VARIANTARG* src);

// Converts `src` (dereferenced first when VT_BYREF) to `vt` and stores the result in `dest`,
// which may be `src` itself. `dest` is cleared before the result is stored; on failure `dest`
// is untouched. Targets: VT_EMPTY, VT_I2, VT_I4, VT_R8, VT_DATE, VT_BSTR, VT_BOOL, VT_DISPATCH;
// any other target gives DISP_E_BADVARTYPE.
// - Numbers convert with range checks (DISP_E_OVERFLOW); a fraction rounds half to even, as
//   Windows does ("2.5" and 2.5 give 2, 3.5 gives 4).
// - Texts are read and written in the invariant form: digits with an optional sign, a full
//   stop for decimals and an optional exponent; booleans as "True"/"False" (any case) or a
//   number. A boolean becomes the text "-1"/"0", or "True"/"False" with VARIANT_ALPHABOOL.
// - A DATE converts to and from its number of days, and to and from text in the form
//   "YYYY-MM-DD HH:MM:SS" ("YYYY-MM-DD" when the time is 00:00:00, "HH:MM:SS" when the day is
//   1899-12-30); a DATE outside years 100 to 9999 gives DISP_E_OVERFLOW. The locale is not
//   consulted: this layer has no locale data.
// - VT_EMPTY becomes 0, "", FALSE or a zero date; VT_NULL, VT_ERROR and an interface convert
//   to nothing but themselves and VT_EMPTY (DISP_E_TYPEMISMATCH), and text that is not a
//   number gives DISP_E_TYPEMISMATCH.
HRESULT VariantChangeType(VARIANTARG* dest, const VARIANTARG* src, USHORT flags, VARTYPE vt);

#endif  // _WIN32

// VARIANTs that clear themselves: `count` of them, each VariantInit'ed now and VariantClear'ed
// when the guard goes, on every way out (a VT_BYREF one only forgets its target). They lie
// side by side, so data() can serve as a DISPPARAMS rgvarg.
class ScopedVariants {
  public:
    explicit ScopedVariants(std::size_t count = 1) : values_(count) {
        for (VARIANT& value : values_) {
            VariantInit(&value);
        }
    }
    ~ScopedVariants() {
        for (VARIANT& value : values_) {
            VariantClear(&value);
        }
    }
    ScopedVariants(const ScopedVariants&) = delete;
    ScopedVariants& operator=(const ScopedVariants&) = delete;

    VARIANT& operator[](std::size_t index) { return values_[index]; }
    VARIANT* data() { return values_.data(); }
    std::size_t size() const { return values_.size(); }

  private:
    std::vector<VARIANT> values_;
};

#ifndef _WIN32

// A civil date and time as automation DATE holds it (local time, whole seconds).
struct DateParts {
    int year = 1899;
    int month = 12;
    int day = 30;
    int hour = 0;
    int minute = 0;
    int second = 0;
};

// Encodes `parts` as a DATE: days since 1899-12-30 plus the time as a fraction of a day,
// subtracted for days before the epoch (so -1.25 is 1899-12-29 06:00). False, with `date`
// untouched, for a field out of range or a year outside 100 to 9999.
bool DateFromParts(const DateParts& parts, DATE* date);

// Decodes `date` to whole seconds (rounded to the nearest second). False, with `parts`
// untouched, for a value outside years 100 to 9999 or not a number.
bool PartsFromDate(DATE date, DateParts* parts);

// ---- IDispatch::Invoke blocks ------------------------------------------------------------

constexpr DISPID DISPID_VALUE = 0;
constexpr DISPID DISPID_UNKNOWN = -1;
constexpr DISPID DISPID_PROPERTYPUT = -3;
constexpr DISPID DISPID_NEWENUM = -4;
constexpr DISPID DISPID_REFRESH = -550;
constexpr DISPID DISPID_DOCLICK = -551;
constexpr DISPID DISPID_ABOUTBOX = -552;

constexpr WORD DISPATCH_METHOD = 0x1;
constexpr WORD DISPATCH_PROPERTYGET = 0x2;
constexpr WORD DISPATCH_PROPERTYPUT = 0x4;
constexpr WORD DISPATCH_PROPERTYPUTREF = 0x8;

// The arguments of one Invoke, in reverse order: rgvarg[0] is the last positional argument.
// The first cNamedArgs entries are the named ones, paired with rgdispidNamedArgs (a property
// put names its value DISPID_PROPERTYPUT).
struct DISPPARAMS {
    VARIANTARG* rgvarg;
    DISPID* rgdispidNamedArgs;
    UINT cArgs;
    UINT cNamedArgs;
};

// The details of a DISP_E_EXCEPTION. Either wCode (an application code) or scode is set, the
// other is 0. The caller of Invoke owns and frees the three strings.
struct EXCEPINFO {
    WORD wCode;
    WORD wReserved;
    BSTR bstrSource;
    BSTR bstrDescription;
    BSTR bstrHelpFile;
    DWORD dwHelpContext;
    void* pvReserved;
    HRESULT (*pfnDeferredFillIn)(EXCEPINFO*);
    SCODE scode;
};

#endif  // _WIN32

// Frees the strings of `info` and zeroes it. A null `info` is a no-op.
#ifdef _WIN32
inline void ClearExcepInfo(EXCEPINFO* info) {
    if (info != nullptr) {
        SysFreeString(info->bstrSource);
        SysFreeString(info->bstrDescription);
        SysFreeString(info->bstrHelpFile);
        *info = EXCEPINFO{};
    }
}
#else
void ClearExcepInfo(EXCEPINFO* info);
#endif
