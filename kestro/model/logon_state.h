// A client's logon as a controller keeps it, and the logon family's rules in one place: the
// gate in front of every call (faults, then not logged on), the argument checks of
// ClientLogonEx, the client type and the logoff. The in-process station and every kestrod
// connection each hold one.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "kestro/model/call_record.h"
#include "platform/win_types.h"

namespace kestro {

// What the client asked for in its logon, kept while it is logged on.
struct LogonSettings {
    std::int32_t clientId = 0;
    std::int32_t clientKind = 0;
    WideString serverName;
    std::int32_t callPort = 0;
    std::int32_t eventsPort = 0;
    std::int32_t callTimeout = 0;
    std::int32_t options = 0;
    std::int32_t eventMask = 0;
    std::int32_t bufferSize = 0;

    bool operator==(const LogonSettings&) const = default;
};

class LogonState {
  public:
    // What the holder does first with every call: records it if it keeps a record, and
    // returns the code of the fault injected for it, or 0 when none applies.
    using CallIntake = std::function<std::int32_t(RecordedCall)>;

    explicit LogonState(CallIntake intake) : intake_(std::move(intake)) {}

    // The gate in front of a call: the intake's fault code when it has one, else kNotLoggedOn
    // when `needsLogon` and logged off, else kSuccess (0), which lets the call run.
    std::int32_t Admit(RecordedCall call, bool needsLogon);

    // The logon family (client/kestro.h), each through Admit first; only ClientLogonEx runs
    // without a logon. ClientLogonEx answers kAlreadyLoggedOn while logged on and
    // kInvalidArgument for an empty server name, a port outside 1..65535 or a call time-out
    // below 1 ms, and otherwise keeps `settings`. SetClientType keeps the type for the rest of
    // the logon; ClientLogoff ends the logon and forgets the type. ServerVersion writes `text`
    // to `version` (kInvalidArgument for a null `version`). Nothing changes on failure.
    std::int32_t ClientLogonEx(LogonSettings settings);
    std::int32_t SetClientType(std::int32_t clientType);
    std::int32_t ClientLogoff();
    std::int32_t ServerVersion(WideStringView text, WideString* version);

    bool LoggedOn() const { return settings_.has_value(); }
    // The current logon's settings; null while logged off.
    const LogonSettings* Settings() const { return settings_ ? &*settings_ : nullptr; }
    // The client type declared in the current logon, if any.
    std::optional<std::int32_t> ClientType() const { return clientType_; }

  private:
    CallIntake intake_;
    std::optional<LogonSettings> settings_;
    std::optional<std::int32_t> clientType_;
};

}  // namespace kestro
