// Test implementations of every call of the flat interface, made from the call's type: each
// checks that its in-values are the ones expected at their positions and fills each
// out-value with a value that names its position. A round trip through them proves that a
// call's values keep their order and types on the wire. Used by the marshalling tests and
// the wire fuzz target.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <type_traits>
#include <utility>

#include "kestro/wire/call_dispatcher.h"
#include "platform/oleauto.h"
#include "tests/support/automation_values.h"

namespace wire_test {

// Answered by a generic implementation whose in-values are not the expected ones.
inline constexpr std::int32_t kWrongInValues = 77;

// The value at parameter `position`, distinct for ins and outs and for every position.
template <typename Value>
Value ValueAt(std::size_t position, bool out) {
    auto base = static_cast<int>((out ? 500 : 100) + position);
    if constexpr (std::is_same_v<Value, double>) {
        return base + 0.25;
    } else if constexpr (std::is_same_v<Value, std::int64_t>) {
        return (std::int64_t{base} << 40) - 1;
    } else {
        return static_cast<Value>(-base);
    }
}

// A text at parameter `position` with units above 0xFF and an embedded zero.
inline std::u16string TextAt(std::size_t position, bool out) {
    std::u16string text = out ? u"out\u20ac" : u"in\u00e9";
    text.push_back(u'\0');
    text.push_back(static_cast<char16_t>(u'A' + position));
    return text;
}

using test_variants::BstrUnits;

inline bool InMatches(std::size_t position, std::int16_t v) {
    return v == ValueAt<std::int16_t>(position, false);
}
inline bool InMatches(std::size_t position, std::int32_t v) {
    return v == ValueAt<std::int32_t>(position, false);
}
inline bool InMatches(std::size_t position, std::int64_t v) {
    return v == ValueAt<std::int64_t>(position, false);
}
inline bool InMatches(std::size_t position, double v) {
    return v == ValueAt<double>(position, false);
}
inline bool InMatches(std::size_t position, BSTR v) {
    return BstrUnits(v) == TextAt(position, false);
}
template <typename Out>
bool InMatches(std::size_t, Out*) {
    return true;
}

template <typename Value>
void FillOut(std::size_t position, Value* out) {
    *out = ValueAt<Value>(position, true);
}
inline void FillOut(std::size_t position, BSTR* out) {
    std::u16string text = TextAt(position, true);
    *out = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
}
template <typename In>
void FillOut(std::size_t, In) {}
inline void FillOut(std::size_t, BSTR) {}  // an in-string, though BSTR is a pointer

template <typename Function>
struct GenericCall;

template <typename... P>
struct GenericCall<std::int32_t(P...)> {
    static std::int32_t Run(P... params) {
        return Check(std::index_sequence_for<P...>{}, params...);
    }

  private:
    template <std::size_t... I>
    static std::int32_t Check(std::index_sequence<I...>, P... params) {
        if (!(InMatches(I, params) && ...)) {
            return kWrongInValues;
        }
        (FillOut(I, params), ...);
        return 0;
    }
};

// A table that serves every call with its generic implementation.
inline kestro::wire::CallTable GenericCallTable() {
    kestro::wire::CallTable table;
#define WIRE_TEST_GENERIC_CALL(code, name) \
    table.name = &GenericCall<kestro::wire::CallFunction<kestro::wire::CallCode::name>>::Run;
    KESTRO_WIRE_CALLS(WIRE_TEST_GENERIC_CALL)
#undef WIRE_TEST_GENERIC_CALL
    return table;
}

}  // namespace wire_test
