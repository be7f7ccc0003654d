// COleDispatchDriver: calls another object's IDispatch by DISPID with typed C++ arguments,
// and raises a failing call as an automation exception.
#pragma once

#include "platform/afx/dispatch_args.h"

// Parameter-type strings of InvokeHelper, concatenated as string literals
// (VTS_I4 VTS_PBSTR). A P form passes a pointer: the callee reads and may fill it.
#define VTS_NONE ""
#define VTS_I2 "\x02"
#define VTS_I4 "\x03"
#define VTS_R8 "\x05"
#define VTS_DATE "\x07"
#define VTS_BSTR "\x08"
#define VTS_DISPATCH "\x09"
#define VTS_BOOL "\x0B"
#define VTS_VARIANT "\x0C"
#define VTS_PI2 "\x42"
#define VTS_PI4 "\x43"
#define VTS_PR8 "\x45"
#define VTS_PDATE "\x47"
#define VTS_PBSTR "\x48"
#define VTS_PDISPATCH "\x49"
#define VTS_PBOOL "\x4B"
#define VTS_PVARIANT "\x4C"

class COleDispatchDriver {
  public:
    COleDispatchDriver() = default;
    // Attaches `dispatch`; with `bAutoRelease` the driver releases it when it lets it go.
    explicit COleDispatchDriver(IDispatch* dispatch, BOOL bAutoRelease = TRUE);
    ~COleDispatchDriver();
    COleDispatchDriver(const COleDispatchDriver&) = delete;
    COleDispatchDriver& operator=(const COleDispatchDriver&) = delete;

    // Takes `dispatch` without adding a reference (the previous one is let go first).
    void AttachDispatch(IDispatch* dispatch, BOOL bAutoRelease = TRUE);
    // Gives up the interface without releasing it and returns it.
    IDispatch* DetachDispatch();
    // Gives up the interface, releasing it when auto-release is set.
    void ReleaseDispatch();
    // Creates an object by ProgID ("Lib.Class.1") or braced CLSID and attaches its IDispatch
    // with auto-release. FALSE on failure (CoGetLastErrorText says why).
    BOOL CreateDispatch(LPCSTR progIdOrClsid);

    // Calls member `dwDispID` (DISPATCH_METHOD, DISPATCH_PROPERTYGET or DISPATCH_PROPERTYPUT,
    // whose value is the last argument) with `args` typed by `pbParamInfo` (VTS_* in order).
    // The result is converted to `vtRet` and stored through `pvRet`: VT_EMPTY (none, pvRet
    // ignored), VT_I2 SHORT*, VT_I4 LONG*, VT_R8 or VT_DATE double*, VT_BOOL VARIANT_BOOL*,
    // VT_BSTR BSTR* (the caller frees it), VT_DISPATCH IDispatch** (with a reference),
    // VT_VARIANT VARIANT* (the caller clears it). A failed call throws COleDispatchException
    // (DISP_E_EXCEPTION, with the callee's EXCEPINFO) or COleException (any other failure,
    // including no attached interface (E_POINTER), arguments that do not fit their types and
    // a result that does not convert).
    template <class... Args>
    void InvokeHelper(DISPID dwDispID, WORD wFlags, VARTYPE vtRet, void* pvRet,
                      const char* pbParamInfo, Args... args) {
        constexpr std::size_t count = sizeof...(Args);
        if (std::char_traits<char>::length(pbParamInfo) != count) {
            throw COleException(E_INVALIDARG);
        }
        std::vector<VARIANT> reversed(count);
        afx_detail::ArgBuilder builder;
        std::size_t index = 0;
        ((builder.Set(reversed[count - 1 - index],
                      afx_detail::VarTypeFromVts(static_cast<unsigned char>(pbParamInfo[index])),
                      args),
          ++index),
         ...);
        InvokeArgs(dwDispID, wFlags, vtRet, pvRet, reversed.data(), static_cast<UINT>(count));
    }

    // Property access through InvokeHelper.
    void GetProperty(DISPID dwDispID, VARTYPE vtProp, void* pvProp);
    template <class T>
    void SetProperty(DISPID dwDispID, VARTYPE vtProp, T value) {
        const char info[2] = {static_cast<char>(vtProp), 0};
        InvokeHelper(dwDispID, DISPATCH_PROPERTYPUT, VT_EMPTY, nullptr, info, value);
    }

    IDispatch* m_lpDispatch = nullptr;
    BOOL m_bAutoRelease = TRUE;

  private:
    void InvokeArgs(DISPID dispid, WORD wFlags, VARTYPE vtRet, void* pvRet, VARIANT* reversed,
                    UINT count);
};
