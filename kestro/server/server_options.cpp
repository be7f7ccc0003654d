// Parsing of kestrod's command line. Numbers are read as every tool reads them (whole words in
// base 10, common/number_word.h), so that a mistyped option is refused rather than half-read.
#include "kestro/server/server_options.h"

#include <arpa/inet.h>

#include <algorithm>
#include <cstdint>
#include <optional>
#include <string>

#include "common/number_word.h"
#include "kestro/wire/calls.h"

namespace kestro::server {

const char kServerUsage[] =
    "Usage: kestrod [--listen ADDRESS] [--call-port N] [--events-port N] [--db FILE]\n"
    "               [--station empty|sample|max] [--fail CALL[:RECORD]=CODE]...\n"
    "               [--clock real|manual] [--demo] [--seed N] [--flow-rate L]\n"
    "               [--events-queue N]\n"
    "The Kestro controller server: serves a station's configuration and its live pumps to\n"
    "Kestro clients.\n"
    "  --listen ADDRESS    IPv4 address to listen on (default 127.0.0.1)\n"
    "  --call-port N       port of the calls (default 5123; 0 picks a free port)\n"
    "  --events-port N     port of the events (default 5124; 0 picks a free port)\n"
    "  --db FILE           station database (default kestrod.db); created when missing\n"
    "  --station NAME      the station a new database starts with: empty, sample (default)\n"
    "                      or max\n"
    "  --fail CALL[:RECORD]=CODE\n"
    "                      the call CALL answers the result code CODE instead of running,\n"
    "                      only for the record RECORD when given (its first argument)\n"
    "  --idle-timeout SECONDS\n"
    "                      a logged-on connection that sends nothing for this long is\n"
    "                      closed (default 600; a connection must log on within 5)\n"
    "  --clock real|manual the pumps' clock: real time (default), or manual, moved only by\n"
    "                      'kestroctl tick MS' (for tests)\n"
    "  --demo              simulated customers use the pumps\n"
    "  --seed N            the demo's customers for a seed (default 1)\n"
    "  --flow-rate L       litres per second of every pump (default 0.5)\n"
    "  --events-queue N    events a subscriber may fall behind before it is dropped\n"
    "                      (default 4096)\n";

namespace {

bool ReadPort(const std::string& option, const std::string& text, std::uint16_t& port,
              std::string& error) {
    return ReadNumberWord<std::uint16_t>(option, text, 0, 65535, port, error, "a port number");
}

// The calls that only the client library answers: the server never sees them.
bool AnsweredByClientLibrary(const std::string& call) {
    return call == "ResultString" || call == "DllVersion";
}

bool IsCall(const std::string& name) {
    for (const wire::CallInfo& call : wire::kCalls) {
        if (name == call.name) {
            return true;
        }
    }
    return false;
}

bool ReadFault(const std::string& text, Fault& fault, std::string& error) {
    const std::size_t equals = text.find('=');
    const std::size_t colon = text.find(':');
    if (equals == std::string::npos || (colon != std::string::npos && colon > equals)) {
        error = "--fail needs CALL[:RECORD]=CODE, not '" + text + "'";
        return false;
    }
    fault.call = text.substr(0, std::min(colon, equals));
    if (!IsCall(fault.call)) {
        error = "--fail: '" + fault.call + "' is no call of the Kestro interface";
        return false;
    }
    if (AnsweredByClientLibrary(fault.call)) {
        error = "--fail: " + fault.call + " is answered by the client library, not the server";
        return false;
    }
    if (colon != std::string::npos) {
        fault.record = ParseNumberWord<std::int32_t>(text.substr(colon + 1, equals - colon - 1),
                                                     INT32_MIN, INT32_MAX);
        if (!fault.record) {
            error = "--fail: the record in '" + text + "' is no 32-bit number";
            return false;
        }
    }
    std::optional<std::int32_t> code =
        ParseNumberWord<std::int32_t>(text.substr(equals + 1), INT32_MIN, INT32_MAX);
    if (!code || *code == 0) {
        error = "--fail: the code in '" + text + "' is no non-zero 32-bit number";
        return false;
    }
    fault.code = *code;
    return true;
}

}  // namespace

bool ParseServerOptions(const std::vector<std::string>& arguments, ServerOptions& options,
                        std::string& error) {
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        std::string option = arguments[i];
        std::optional<std::string> value;
        if (std::size_t equals = option.find('=');
            option.starts_with("--") && equals != std::string::npos) {
            value = option.substr(equals + 1);
            option.resize(equals);
        }
        if (option == "--help" && !value) {
            options.help = true;
            continue;
        }
        if (option == "--demo" && !value) {
            options.demo = true;
            continue;
        }
        const bool known = option == "--listen" || option == "--call-port" ||
                           option == "--events-port" || option == "--db" || option == "--station" ||
                           option == "--fail" || option == "--idle-timeout" ||
                           option == "--clock" || option == "--seed" || option == "--flow-rate" ||
                           option == "--events-queue";
        if (!known) {
            error = "unknown option '" + arguments[i] + "'";
            return false;
        }
        if (!value) {
            if (i + 1 == arguments.size()) {
                error = option + " needs a value";
                return false;
            }
            value = arguments[++i];
        }
        if (option == "--listen") {
            in_addr address{};
            if (inet_pton(AF_INET, value->c_str(), &address) != 1) {
                error = "--listen needs an IPv4 address such as 127.0.0.1, not '" + *value + "'";
                return false;
            }
            options.address = *value;
        } else if (option == "--call-port") {
            if (!ReadPort(option, *value, options.callPort, error)) {
                return false;
            }
        } else if (option == "--events-port") {
            if (!ReadPort(option, *value, options.eventsPort, error)) {
                return false;
            }
        } else if (option == "--db") {
            if (value->empty()) {
                error = "--db needs a file name";
                return false;
            }
            options.database = *value;
        } else if (option == "--station") {
            if (*value != "empty" && *value != "sample" && *value != "max") {
                error = "--station needs empty, sample or max, not '" + *value + "'";
                return false;
            }
            options.station = *value;
            options.stationGiven = true;
        } else if (option == "--idle-timeout") {
            // Up to a day: longer would hold a place for no client that still lives.
            const std::optional<double> seconds = ParseNumberWord<double>(*value, 0, 86400);
            if (!seconds || !(*seconds > 0)) {
                error = "--idle-timeout needs seconds between 0 and 86400, not '" + *value + "'";
                return false;
            }
            options.idleTimeout = std::chrono::milliseconds(
                std::max<std::int64_t>(1, static_cast<std::int64_t>(*seconds * 1000 + 0.5)));
        } else if (option == "--clock") {
            if (*value != "real" && *value != "manual") {
                error = "--clock needs real or manual, not '" + *value + "'";
                return false;
            }
            options.manualClock = *value == "manual";
        } else if (option == "--seed") {
            if (!ReadNumberWord<std::uint32_t>(option, *value, 0, UINT32_MAX, options.seed, error,
                                               "a number")) {
                return false;
            }
        } else if (option == "--events-queue") {
            std::optional<std::uint32_t> frames =
                ParseNumberWord<std::uint32_t>(*value, 1, UINT32_MAX);
            if (!frames) {
                error = "--events-queue needs a number of events above 0, not '" + *value + "'";
                return false;
            }
            options.eventsQueue = *frames;
        } else if (option == "--flow-rate") {
            std::optional<double> rate = ParseNumberWord<double>(*value, 0, 100);
            if (!rate || !(*rate > 0)) {
                error = "--flow-rate needs litres per second above 0 and up to 100, not '" +
                        *value + "'";
                return false;
            }
            options.flowRate = *rate;
        } else {
            Fault fault;
            if (!ReadFault(*value, fault, error)) {
                return false;
            }
            options.faults.push_back(std::move(fault));
        }
    }
    if (options.callPort != 0 && options.callPort == options.eventsPort) {
        error = "the call port and the events port must differ";
        return false;
    }
    return true;
}

}  // namespace kestro::server
