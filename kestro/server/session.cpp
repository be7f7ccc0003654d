// A connection's logon and the logon family it answers.
#include "kestro/server/session.h"

#include <utility>

#include "kestro/model/result_codes.h"
#include "kestro/wire/calls.h"

namespace kestro::server {
namespace {

constexpr char16_t kServerVersion[] = u"Kestro controller server 4.2.1 (kestrod 23.01)";

thread_local Session* current = nullptr;

bool IsPort(std::int32_t port) {
    return port >= 1 && port <= 65535;
}

}  // namespace

Session::Session(ServedStation& served, std::string name)
    : served_(served), name_(std::move(name)) {}

bool Session::NeedsLogon(std::uint16_t call) {
    using wire::CallCode;
    const wire::CallInfo* info = wire::FindCall(call);
    return info != nullptr && info->code != CallCode::ClientLogonEx &&
           info->code != CallCode::ResultString && info->code != CallCode::DllVersion;
}

std::int32_t Session::Admit(RecordedCall call, bool needsLogon) {
    if (std::int32_t fault = served_.logonFaults.Check(call)) {
        return fault;
    }
    return needsLogon && !LoggedOn() ? kNotLoggedOn : kSuccess;
}

std::int32_t Session::ClientLogonEx(std::int32_t clientId, std::int32_t clientKind,
                                    std::u16string_view serverName, std::int32_t callPort,
                                    std::int32_t eventsPort, std::int32_t callTimeout,
                                    std::int32_t options, std::int32_t eventMask,
                                    std::int32_t bufferSize) {
    LogonSettings settings{clientId, clientKind, std::u16string(serverName),
                           callPort, eventsPort, callTimeout,
                           options,  eventMask,  bufferSize};
    if (std::int32_t rc = Admit({"ClientLogonEx",
                                 {clientId, clientKind, settings.serverName, callPort, eventsPort,
                                  callTimeout, options, eventMask, bufferSize}},
                                false)) {
        return rc;
    }
    if (LoggedOn()) {
        return kAlreadyLoggedOn;
    }
    if (serverName.empty() || !IsPort(callPort) || !IsPort(eventsPort) || callTimeout < 1) {
        return kInvalidArgument;
    }
    logon_ = std::move(settings);
    return kSuccess;
}

std::int32_t Session::SetClientType(std::int32_t clientType) {
    if (std::int32_t rc = Admit({"SetClientType", {clientType}}, true)) {
        return rc;
    }
    clientType_ = clientType;
    return kSuccess;
}

std::int32_t Session::ClientLogoff() {
    if (std::int32_t rc = Admit({"ClientLogoff", {}}, true)) {
        return rc;
    }
    logon_.reset();
    clientType_.reset();
    return kSuccess;
}

std::int32_t Session::ServerVersion(std::u16string* version) {
    if (std::int32_t rc = Admit({"ServerVersion", {}}, true)) {
        return rc;
    }
    if (version == nullptr) {
        return kInvalidArgument;
    }
    *version = kServerVersion;
    return kSuccess;
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
