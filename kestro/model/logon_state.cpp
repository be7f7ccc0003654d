// The logon family's rules, shared by the in-process station and kestrod's sessions.
#include "kestro/model/logon_state.h"

#include <utility>

#include "kestro/model/result_codes.h"

namespace kestro {
namespace {

bool IsPort(std::int32_t port) {
    return port >= 1 && port <= 65535;
}

}  // namespace

std::int32_t LogonState::Admit(RecordedCall call, bool needsLogon) {
    if (std::int32_t fault = intake_(std::move(call))) {
        return fault;
    }
    return needsLogon && !LoggedOn() ? kNotLoggedOn : kSuccess;
}

std::int32_t LogonState::ClientLogonEx(LogonSettings settings) {
    RecordedCall call{"ClientLogonEx",
                      {settings.clientId, settings.clientKind, settings.serverName,
                       settings.callPort, settings.eventsPort, settings.callTimeout,
                       settings.options, settings.eventMask, settings.bufferSize}};
    if (std::int32_t rc = Admit(std::move(call), false)) {
        return rc;
    }
    if (LoggedOn()) {
        return kAlreadyLoggedOn;
    }
    if (settings.serverName.empty() || !IsPort(settings.callPort) || !IsPort(settings.eventsPort) ||
        settings.callTimeout < 1) {
        return kInvalidArgument;
    }
    settings_ = std::move(settings);
    return kSuccess;
}

std::int32_t LogonState::SetClientType(std::int32_t clientType) {
    if (std::int32_t rc = Admit({"SetClientType", {clientType}}, true)) {
        return rc;
    }
    clientType_ = clientType;
    return kSuccess;
}

std::int32_t LogonState::ClientLogoff() {
    if (std::int32_t rc = Admit({"ClientLogoff", {}}, true)) {
        return rc;
    }
    settings_.reset();
    clientType_.reset();
    return kSuccess;
}

std::int32_t LogonState::ServerVersion(WideStringView text, WideString* version) {
    if (std::int32_t rc = Admit({"ServerVersion", {}}, true)) {
        return rc;
    }
    if (version == nullptr) {
        return kInvalidArgument;
    }
    *version = text;
    return kSuccess;
}

}  // namespace kestro
