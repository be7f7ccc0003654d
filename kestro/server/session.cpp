// A connection's logon and the logon family it answers.
#include "kestro/server/session.h"

#include <utility>

#include "kestro/model/result_codes.h"
#include "kestro/wire/pump_calls.h"

namespace kestro::server {
namespace {

constexpr WCHAR kServerVersion[] = WSTR("Kestro controller server 4.2.1 (kestrod 23.01)");

thread_local Session* current = nullptr;

}  // namespace

Session::Session(ServedStation& served, std::string name)
    : served_(served), name_(std::move(name)) {}

bool Session::NeedsLogon(std::uint16_t call) {
    using wire::CallCode;
    const wire::CallInfo* info = wire::FindAnyCall(call);
    return info != nullptr && info->code != CallCode::ClientLogonEx &&
           info->code != CallCode::ResultString && info->code != CallCode::DllVersion;
}

std::int32_t Session::ClientLogonEx(std::int32_t clientId, std::int32_t clientKind,
                                    WideStringView serverName, std::int32_t callPort,
                                    std::int32_t eventsPort, std::int32_t callTimeout,
                                    std::int32_t options, std::int32_t eventMask,
                                    std::int32_t bufferSize) {
    return logon_.ClientLogonEx({clientId, clientKind, WideString(serverName), callPort, eventsPort,
                                 callTimeout, options, eventMask, bufferSize});
}

std::int32_t Session::SetClientType(std::int32_t clientType) {
    return logon_.SetClientType(clientType);
}

std::int32_t Session::ClientLogoff() {
    return logon_.ClientLogoff();
}

std::int32_t Session::ServerVersion(WideString* version) {
    return logon_.ServerVersion(kServerVersion, version);
}

Session& Session::Current() {
    return *current;
}

Session::Binding::Binding(Session& session) {
    current = &session;
}

Session::Binding::~Binding() {
    current = nullptr;
}

}  // namespace kestro::server
