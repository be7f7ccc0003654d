// The dispatch map of a control: which C++ member serves each DISPID of its dispinterface.
// Names, kinds and automation types come from the type information (platform/typeinfo.h);
// the map binds them to members, and AfxCheckDispatchMap proves that the two agree.
//
//   const AFX_DISPMAP& CPumpCtrl::GetDispatchMap() const {
//       static constexpr AFX_DISPMAP_ENTRY entries[] = {
//           DispProperty<&CPumpCtrl::GetID, &CPumpCtrl::SetID>(1),
//           DispPropertyReadOnly<&CPumpCtrl::GetNumber>(2),
//           DispFunction<&CPumpCtrl::Authorise>(43),
//       };
//       static constexpr AFX_DISPMAP map{&kDPumpInfo, entries};
//       return map;
//   }
//
// Members take and return SHORT, LONG, double (also for DATE), BSTR, IDispatch* and pointers
// to these (by-reference parameters; a null pointer arrives as null). An argument BSTR or
// interface is borrowed for the call; a returned BSTR or interface belongs to the caller.
// A member fails its call by throwing COleDispatchException or COleException.
#pragma once

#include <array>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "platform/afx/dispatch_args.h"
#include "platform/typeinfo.h"

class CCmdTarget;

// Calls a member with arguments already coerced to its parameters' automation types (first
// argument first) and stores its result as `vtResult`.
using AFX_DISPATCH_THUNK = void (*)(CCmdTarget* target, VARIANT* args, VARIANT* result,
                                    VARTYPE vtResult);

struct AFX_DISPMAP_ENTRY {
    DISPID dispid;
    bool isProperty;
    AFX_DISPATCH_THUNK pfnMethod;  // methods
    AFX_DISPATCH_THUNK pfnGet;     // properties
    AFX_DISPATCH_THUNK pfnSet;     // properties; null for read-only (a put calls SetNotSupported)
    std::span<const afx_detail::CppArg> params;  // a method's parameters
    afx_detail::CppArg result;                   // a method's result or the property's type
};

struct AFX_DISPMAP {
    const DispInterfaceInfo* iface;
    std::span<const AFX_DISPMAP_ENTRY> entries;
};

namespace afx_detail {

template <auto Fn>
struct MemberTraits;

template <class C, class R, class... A, R (C::*Fn)(A...)>
struct MemberTraits<Fn> {
    using Class = C;
    using Result = R;
    static constexpr std::array<CppArg, sizeof...(A)> kParams{CppArgOf<A>()...};

    static void Call(CCmdTarget* target, VARIANT* args, VARIANT* result, VARTYPE vtResult) {
        CallWith(static_cast<C*>(target), args, result, vtResult, std::index_sequence_for<A...>{});
    }

  private:
    template <std::size_t... I>
    static void CallWith(C* self, VARIANT* args, VARIANT* result, VARTYPE vtResult,
                         std::index_sequence<I...>) {
        (void)args;
        if constexpr (std::is_void_v<R>) {
            (self->*Fn)(Extract<A>(args[I])...);
            VariantInit(result);
        } else {
            Store<R>(result, vtResult, (self->*Fn)(Extract<A>(args[I])...));
        }
    }
};

template <class C, class R, class... A, R (C::*Fn)(A...) const>
struct MemberTraits<Fn> {
    using Class = C;
    using Result = R;
    static constexpr std::array<CppArg, sizeof...(A)> kParams{CppArgOf<A>()...};

    static void Call(CCmdTarget* target, VARIANT* args, VARIANT* result, VARTYPE vtResult) {
        CallWith(static_cast<const C*>(target), args, result, vtResult,
                 std::index_sequence_for<A...>{});
    }

  private:
    template <std::size_t... I>
    static void CallWith(const C* self, VARIANT* args, VARIANT* result, VARTYPE vtResult,
                         std::index_sequence<I...>) {
        (void)args;
        if constexpr (std::is_void_v<R>) {
            (self->*Fn)(Extract<A>(args[I])...);
            VariantInit(result);
        } else {
            Store<R>(result, vtResult, (self->*Fn)(Extract<A>(args[I])...));
        }
    }
};

}  // namespace afx_detail

// A method: any member function with the types above.
template <auto Fn>
constexpr AFX_DISPMAP_ENTRY DispFunction(DISPID dispid) {
    using T = afx_detail::MemberTraits<Fn>;
    return {dispid,
            false,
            &T::Call,
            nullptr,
            nullptr,
            T::kParams,
            afx_detail::CppArgOf<typename T::Result>()};
}

// A read/write property: `T Get()` and `void Set(T)`.
template <auto Get, auto Set>
constexpr AFX_DISPMAP_ENTRY DispProperty(DISPID dispid) {
    using G = afx_detail::MemberTraits<Get>;
    using S = afx_detail::MemberTraits<Set>;
    static_assert(
        S::kParams.size() == 1 && S::kParams[0] == afx_detail::CppArgOf<typename G::Result>(),
        "the setter must take the getter's type");
    return {
        dispid, true, nullptr, &G::Call, &S::Call, {}, afx_detail::CppArgOf<typename G::Result>()};
}

// A read-only property: a put raises the read-only error (COleControl::SetNotSupported).
template <auto Get>
constexpr AFX_DISPMAP_ENTRY DispPropertyReadOnly(DISPID dispid) {
    using G = afx_detail::MemberTraits<Get>;
    return {
        dispid, true, nullptr, &G::Call, nullptr, {}, afx_detail::CppArgOf<typename G::Result>()};
}

// The entry for `dispid`, or null.
const AFX_DISPMAP_ENTRY* AfxFindDispatchEntry(const AFX_DISPMAP& map, DISPID dispid);

// Every disagreement between the map and its dispinterface, one sentence each: a member
// without an entry or an entry without a member, a property bound as a method or the other
// way round, a parameter count or a C++ type that cannot carry the automation type. Empty
// when they agree; tests of every control assert that.
std::vector<std::string> AfxCheckDispatchMap(const AFX_DISPMAP& map);
