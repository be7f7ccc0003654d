// The station model's logon family and its call gate (recording, faults, logon state).
#include "kestro/model/station.h"

#include <utility>

#include "kestro/model/result_codes.h"

namespace kestro {
namespace {

bool IsPort(std::int32_t port) {
    return port >= 1 && port <= 65535;
}

}  // namespace

std::int32_t Station::Admit(RecordedCall call, bool needsLogon) {
    calls_.push_back(std::move(call));
    if (std::int32_t fault = faults_.Check(calls_.back())) {
        return fault;
    }
    if (needsLogon && !LoggedOn()) {
        return kNotLoggedOn;
    }
    return kSuccess;
}

std::int32_t Station::ClientLogonEx(std::int32_t clientId, std::int32_t clientKind,
                                    std::u16string_view serverName, std::int32_t callPort,
                                    std::int32_t eventsPort, std::int32_t callTimeout,
                                    std::int32_t options, std::int32_t eventMask,
                                    std::int32_t bufferSize) {
    LogonSettings settings{clientId, clientKind, std::u16string(serverName),
                           callPort, eventsPort, callTimeout,
                           options,  eventMask,  bufferSize};
    RecordedCall call{"ClientLogonEx",
                      {clientId, clientKind, settings.serverName, callPort, eventsPort, callTimeout,
                       options, eventMask, bufferSize}};
    if (std::int32_t rc = Admit(std::move(call), false)) {
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

std::int32_t Station::SetClientType(std::int32_t clientType) {
    if (std::int32_t rc = Admit({"SetClientType", {clientType}}, true)) {
        return rc;
    }
    clientType_ = clientType;
    return kSuccess;
}

std::int32_t Station::ClientLogoff() {
    if (std::int32_t rc = Admit({"ClientLogoff", {}}, true)) {
        return rc;
    }
    logon_.reset();
    clientType_.reset();
    return kSuccess;
}

std::int32_t Station::ResultString(std::int32_t code, std::u16string* text) {
    if (std::int32_t rc = Admit({"ResultString", {code}}, false)) {
        return rc;
    }
    if (text == nullptr) {
        return kInvalidArgument;
    }
    auto own = resultTexts_.find(code);
    *text = own != resultTexts_.end() ? own->second : ResultText(code);
    return kSuccess;
}

std::int32_t Station::DllVersion(std::u16string* version) {
    if (std::int32_t rc = Admit({"DllVersion", {}}, false)) {
        return rc;
    }
    if (version == nullptr) {
        return kInvalidArgument;
    }
    *version = dllVersion_;
    return kSuccess;
}

std::int32_t Station::ServerVersion(std::u16string* version) {
    if (std::int32_t rc = Admit({"ServerVersion", {}}, true)) {
        return rc;
    }
    if (version == nullptr) {
        return kInvalidArgument;
    }
    *version = serverVersion_;
    return kSuccess;
}

std::int32_t Station::NotSupported(RecordedCall call) {
    if (std::int32_t rc = Admit(std::move(call), true)) {
        return rc;
    }
    return kCallNotSupported;
}

void Station::SetResultText(std::int32_t code, std::u16string text) {
    resultTexts_[code] = std::move(text);
}

void Station::FailCall(std::string call, std::int32_t code) {
    InjectFault(Fault{.call = std::move(call), .code = code});
}

std::vector<std::string> Station::CallNames() const {
    std::vector<std::string> names;
    names.reserve(calls_.size());
    for (const RecordedCall& call : calls_) {
        names.push_back(call.name);
    }
    return names;
}

}  // namespace kestro
