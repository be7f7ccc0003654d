// The in-process controller station: what a controller server keeps for its client (logon
// state, version texts, result texts), the record of every call the client made, and fault
// injection. This piece serves the logon family; the configuration records and the pumps
// join it as the model grows.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "kestro/model/call_record.h"
#include "kestro/model/fault_plan.h"

namespace kestro {

// What the client asked for in its logon, kept while it is logged on.
struct LogonSettings {
    std::int32_t clientId = 0;
    std::int32_t clientKind = 0;
    std::u16string serverName;
    std::int32_t callPort = 0;
    std::int32_t eventsPort = 0;
    std::int32_t callTimeout = 0;
    std::int32_t options = 0;
    std::int32_t eventMask = 0;
    std::int32_t bufferSize = 0;

    bool operator==(const LogonSettings&) const = default;
};

class Station {
  public:
    Station() = default;
    Station(const Station&) = delete;
    Station& operator=(const Station&) = delete;

    // ---- The logon family --------------------------------------------------------------
    // The flat interface's calls of the same names (client/kestro.h) with C++ types. Every
    // call is recorded first (name and values passed in). It then answers, in this order:
    // an injected fault for it; kNotLoggedOn when it needs a logon and there is none (all
    // calls except ClientLogonEx, ResultString and DllVersion, which a client library
    // answers by itself); kInvalidArgument for a null out-pointer or a bad value; else its
    // own result. Out-values are written only on success.

    // Logs on. kAlreadyLoggedOn while logged on; kInvalidArgument for an empty server name,
    // a port outside 1..65535 or a call time-out below 1 ms.
    std::int32_t ClientLogonEx(std::int32_t clientId, std::int32_t clientKind,
                               std::u16string_view serverName, std::int32_t callPort,
                               std::int32_t eventsPort, std::int32_t callTimeout,
                               std::int32_t options, std::int32_t eventMask,
                               std::int32_t bufferSize);
    // Keeps the client's type code for the rest of the logon.
    std::int32_t SetClientType(std::int32_t clientType);
    // Ends the logon; the client type is forgotten.
    std::int32_t ClientLogoff();
    // The text of any code: the station's own text when one was set, else the common table's.
    std::int32_t ResultString(std::int32_t code, std::u16string* text);
    std::int32_t DllVersion(std::u16string* version);
    std::int32_t ServerVersion(std::u16string* version);

    // A call of the flat interface that the model does not serve yet: recorded like any
    // other, then answered with kCallNotSupported unless a fault or kNotLoggedOn comes first.
    std::int32_t NotSupported(RecordedCall call);

    // ---- Set-up --------------------------------------------------------------------------

    void SetDllVersionText(std::u16string text) { dllVersion_ = std::move(text); }
    void SetServerVersionText(std::u16string text) { serverVersion_ = std::move(text); }
    // Replaces the text of `code` for this station (a localised library, for instance).
    void SetResultText(std::int32_t code, std::u16string text);
    // See FaultPlan::Add (throws std::invalid_argument for a fault that could never apply).
    void InjectFault(Fault fault) { faults_.Add(std::move(fault)); }
    // Shorthand: every call named `call` answers `code` from now on.
    void FailCall(std::string call, std::int32_t code);
    void ClearFaults() { faults_.Clear(); }

    // ---- Inspection ----------------------------------------------------------------------

    // Every call received, in order, faulted and rejected ones included.
    const std::vector<RecordedCall>& Calls() const { return calls_; }
    // The names of the calls received, in order.
    std::vector<std::string> CallNames() const;
    void ClearCalls() { calls_.clear(); }

    bool LoggedOn() const { return logon_.has_value(); }
    // The current logon's settings; null while logged off.
    const LogonSettings* Logon() const { return logon_ ? &*logon_ : nullptr; }
    // The client type declared in the current logon, if any.
    std::optional<std::int32_t> ClientType() const { return clientType_; }

  private:
    // Records `call` and returns the code it must answer without running (an injected
    // fault, or kNotLoggedOn when `needsLogon` and logged off), or 0 to let it run.
    std::int32_t Admit(RecordedCall call, bool needsLogon);

    std::vector<RecordedCall> calls_;
    FaultPlan faults_;
    std::optional<LogonSettings> logon_;
    std::optional<std::int32_t> clientType_;
    std::u16string dllVersion_ = u"Kestro client 4.2.1 (in-process station model)";
    std::u16string serverVersion_ = u"Kestro station model 4.2.1";
    std::map<std::int32_t, std::u16string> resultTexts_;
};

}  // namespace kestro
