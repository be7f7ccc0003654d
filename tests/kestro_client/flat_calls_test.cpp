// Every flat call that libkestro sends to the server: its values reach the server in order
// and with their types, and the server's out-values come back to the caller's places. Also
// what the shared libkestro.so exports: the 50 functions and nothing else.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <cstddef>
#include <tuple>
#include <utility>

#include "client/kestro.h"
#include "tests/kestro_client/fake_server.h"
#include "tests/kestro_wire/generic_calls.h"

namespace {

using kestro::wire::CallCode;
using kestro::wire::CallFunction;
using wire_test::TextAt;
using wire_test::ValueAt;

// The caller's side of one parameter: an in-value of its position, or a place for an
// out-value that must end up holding the out-value of its position.
template <typename P>
struct Arg;

template <typename V>
struct ScalarIn {
    V value{};
    void Init(std::size_t position) { value = ValueAt<V>(position, false); }
    V Get() { return value; }
    bool Holds(std::size_t) const { return true; }
};

template <typename V>
struct ScalarOut {
    V value{};
    void Init(std::size_t) {}
    V* Get() { return &value; }
    bool Holds(std::size_t position) const { return value == ValueAt<V>(position, true); }
};

template <>
struct Arg<std::int16_t> : ScalarIn<std::int16_t> {};
template <>
struct Arg<std::int32_t> : ScalarIn<std::int32_t> {};
template <>
struct Arg<std::int64_t> : ScalarIn<std::int64_t> {};
template <>
struct Arg<double> : ScalarIn<double> {};
template <>
struct Arg<std::int16_t*> : ScalarOut<std::int16_t> {};
template <>
struct Arg<std::int32_t*> : ScalarOut<std::int32_t> {};
template <>
struct Arg<std::int64_t*> : ScalarOut<std::int64_t> {};
template <>
struct Arg<double*> : ScalarOut<double> {};

template <>
struct Arg<BSTR> {
    BSTR value = nullptr;
    ~Arg() { SysFreeString(value); }
    void Init(std::size_t position) {
        std::u16string text = TextAt(position, false);
        value = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
    }
    BSTR Get() { return value; }
    bool Holds(std::size_t) const { return true; }
};

template <>
struct Arg<BSTR*> {
    BSTR value = nullptr;
    ~Arg() { SysFreeString(value); }
    void Init(std::size_t) {}
    BSTR* Get() { return &value; }
    bool Holds(std::size_t position) const {
        return wire_test::BstrUnits(value) == TextAt(position, true);
    }
};

template <CallCode code, typename Function = CallFunction<code>>
struct ThroughLibrary;

template <CallCode code, typename... P>
struct ThroughLibrary<code, std::int32_t(P...)> {
    static void Check(CallFunction<code>* function, const char* name) {
        Run(function, name, std::index_sequence_for<P...>{});
    }

    template <std::size_t... I>
    static void Run(CallFunction<code>* function, const char* name, std::index_sequence<I...>) {
        std::tuple<Arg<P>...> args;
        (std::get<I>(args).Init(I), ...);
        EXPECT_EQ(function(std::get<I>(args).Get()...), 0)
            << name << " (77: the server saw other in-values)";
        EXPECT_TRUE((std::get<I>(args).Holds(I) && ...)) << name << ": out-values differ";
    }
};

std::int32_t AcceptAnyLogon(std::int32_t, std::int32_t, BSTR, std::int32_t, std::int32_t,
                            std::int32_t, std::int32_t, std::int32_t, std::int32_t) {
    return 0;
}

TEST(FlatCalls, EveryServedCallCarriesItsValuesBothWays) {
    const long baseline = SysLiveStringCount();
    {
        client_test::FakeServer server([](const kestro::wire::Socket& socket) {
            kestro::wire::CallTable table = wire_test::GenericCallTable();
            table.ClientLogonEx = &AcceptAnyLogon;
            client_test::ServeWith(table, socket);
        });
        BSTR name = SysAllocString(u"127.0.0.1");
        ASSERT_EQ(ClientLogonEx(110, 5, name, server.port(), 5124, 5000, 0, 0, 1024), 0);
        SysFreeString(name);
        int checked = 0;
        // The logon and logoff are checked with the link; ResultString and DllVersion are
        // answered by the library itself.
#define CHECK_CALL(code, name)                                                                   \
    if (CallCode::name != CallCode::ClientLogonEx && CallCode::name != CallCode::ClientLogoff && \
        CallCode::name != CallCode::ResultString && CallCode::name != CallCode::DllVersion) {    \
        ThroughLibrary<CallCode::name>::Check(&::name, #name);                                   \
        ++checked;                                                                               \
    }
        KESTRO_WIRE_CALLS(CHECK_CALL)
#undef CHECK_CALL
        EXPECT_EQ(checked, 46);
        EXPECT_EQ(ClientLogoff(), 0);
    }
    EXPECT_EQ(SysLiveStringCount(), baseline);
}

TEST(FlatCalls, TheSharedLibraryExportsTheFlatInterfaceOnly) {
    void* library = dlopen(KESTRO_SHARED_LIBRARY, RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(library, nullptr) << dlerror();
    for (const kestro::wire::CallInfo& call : kestro::wire::kCalls) {
        EXPECT_NE(dlsym(library, call.name), nullptr) << call.name;
    }
    for (const char* hidden : {"SysAllocStringLen", "_ZN6kestro6client10ClientLink8InstanceEv",
                               "_ZN6kestro10ResultTextEi"}) {
        EXPECT_EQ(dlsym(library, hidden), nullptr) << hidden;
    }
    dlclose(library);
}

}  // namespace
