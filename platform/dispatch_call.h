// Invoke: the one way this system calls an IDispatch member by DISPID, with the arguments
// written first to last and one rule for who clears them.
#pragma once

#include <algorithm>
#include <vector>

#include "platform/com.h"
#include "platform/variant.h"
#include "platform/variant_owner.h"

namespace platform {

// Calls member `dispid` of `object` as `flags` (DISPATCH_METHOD, DISPATCH_PROPERTYGET,
// DISPATCH_PROPERTYPUT or DISPATCH_PROPERTYPUTREF; a put's value is the last argument and is
// named DISPID_PROPERTYPUT) with `args` in their order, first to last.
// - The arguments are Invoke's: every one is cleared after the call, whatever it answers. A
//   by-value builder's BSTR or interface is freed there; a by-reference one (ByRef, BstrRef)
//   owns nothing, so what the callee leaves in its target stays the caller's.
// - `result` (null: the callee is told no result is wanted) is cleared first and receives the
//   member's value.
// - `info` (null: freed here) receives a DISP_E_EXCEPTION's details, which the caller then
//   frees with ClearExcepInfo; `argErr` (null allowed) the index of a refused argument, as
//   DISPPARAMS counts them (the last argument is 0).
// Returns what the member's Invoke returns.
inline HRESULT Invoke(IDispatch* object, DISPID dispid, WORD flags, std::vector<VARIANT> args,
                      Variant* result = nullptr, EXCEPINFO* info = nullptr,
                      UINT* argErr = nullptr) {
    std::reverse(args.begin(), args.end());  // DISPPARAMS holds the last argument first
    DISPID named = DISPID_PROPERTYPUT;
    const bool put = (flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) != 0;
    DISPPARAMS params{args.data(), put ? &named : nullptr, static_cast<UINT>(args.size()),
                      put ? 1u : 0u};
    EXCEPINFO scratch{};
    UINT scratchArgErr = 0;
    const HRESULT hr = object->Invoke(
        dispid, IID_NULL, 0, flags, &params, result != nullptr ? result->Out() : nullptr,
        info != nullptr ? info : &scratch, argErr != nullptr ? argErr : &scratchArgErr);
    ClearExcepInfo(&scratch);
    for (VARIANT& arg : args) {
        VariantClear(&arg);
    }
    return hr;
}

}  // namespace platform
