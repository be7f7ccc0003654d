// One client connection's session: its own logon, separate from every other connection's,
// and the logon family of calls that it answers (ClientLogonEx, SetClientType, ClientLogoff,
// ServerVersion). Configuration calls go to the shared station once the session is logged on.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "kestro/model/call_record.h"
#include "kestro/model/logon_state.h"
#include "kestro/server/served_station.h"
#include "platform/win_types.h"

namespace kestro::server {

class Session {
  public:
    // `name` names the connection in log lines ("connection 3").
    Session(ServedStation& served, std::string name);
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    ServedStation& served() { return served_; }
    const std::string& name() const { return name_; }
    bool LoggedOn() const { return logon_.LoggedOn(); }
    std::optional<std::int32_t> ClientType() const { return logon_.ClientType(); }
    // The client identifier of the logon (what ReservedBy names); 0 without one.
    std::int32_t ClientId() const {
        const LogonSettings* settings = logon_.Settings();
        return settings != nullptr ? settings->clientId : 0;
    }

    // True when the call with wire code `call` is refused with kNotLoggedOn outside a logon:
    // every call but ClientLogonEx, ResultString and DllVersion, the pump calls included (and
    // codes of no call, which the dispatcher answers).
    static bool NeedsLogon(std::uint16_t call);

    // The logon family for this connection. Each answers, in this order: an injected fault
    // (ServedStation::logonFaults); kNotLoggedOn when it needs a logon and there is none;
    // then its own result (see LogonState). Run with the served station's mutex held.
    std::int32_t ClientLogonEx(std::int32_t clientId, std::int32_t clientKind,
                               WideStringView serverName, std::int32_t callPort,
                               std::int32_t eventsPort, std::int32_t callTimeout,
                               std::int32_t options, std::int32_t eventMask,
                               std::int32_t bufferSize);
    std::int32_t SetClientType(std::int32_t clientType);
    std::int32_t ClientLogoff();
    std::int32_t ServerVersion(WideString* version);

    // The session of the connection that the calling thread serves; a thread serves one
    // connection at a time and binds its session with a Binding for as long as it does.
    static Session& Current();
    class Binding {
      public:
        explicit Binding(Session& session);
        ~Binding();
        Binding(const Binding&) = delete;
        Binding& operator=(const Binding&) = delete;
    };

  private:
    ServedStation& served_;
    std::string name_;
    // Calls are not recorded here; faults come from ServedStation::logonFaults.
    LogonState logon_{[this](RecordedCall call) { return served_.logonFaults.Check(call); }};
};

}  // namespace kestro::server
