// The station model's logon family and its call gate: every call is recorded, then meets
// its injected faults and the logon rules of LogonState.
#include "kestro/model/station.h"

#include <utility>

#include "kestro/model/result_codes.h"

namespace kestro {

std::int32_t Station::Intake(RecordedCall call) {
    calls_.push_back(std::move(call));
    return faults_.Check(calls_.back());
}

std::int32_t Station::Admit(RecordedCall call, bool needsLogon) {
    return logon_.Admit(std::move(call), needsLogon);
}

std::int32_t Station::ClientLogonEx(std::int32_t clientId, std::int32_t clientKind,
                                    WideStringView serverName, std::int32_t callPort,
                                    std::int32_t eventsPort, std::int32_t callTimeout,
                                    std::int32_t options, std::int32_t eventMask,
                                    std::int32_t bufferSize) {
    return logon_.ClientLogonEx({clientId, clientKind, WideString(serverName), callPort, eventsPort,
                                 callTimeout, options, eventMask, bufferSize});
}

std::int32_t Station::SetClientType(std::int32_t clientType) {
    return logon_.SetClientType(clientType);
}

std::int32_t Station::ClientLogoff() {
    return logon_.ClientLogoff();
}

std::int32_t Station::ResultString(std::int32_t code, WideString* text) {
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

std::int32_t Station::DllVersion(WideString* version) {
    if (std::int32_t rc = Admit({"DllVersion", {}}, false)) {
        return rc;
    }
    if (version == nullptr) {
        return kInvalidArgument;
    }
    *version = dllVersion_;
    return kSuccess;
}

std::int32_t Station::ServerVersion(WideString* version) {
    return logon_.ServerVersion(serverVersion_, version);
}

std::int32_t Station::NotSupported(RecordedCall call) {
    if (std::int32_t rc = Admit(std::move(call), true)) {
        return rc;
    }
    return kCallNotSupported;
}

void Station::SetResultText(std::int32_t code, WideString text) {
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
