// The commands of kestroctl over libkestro's link and the events port.
#include "kestro/ctl/ctl_commands.h"

#include <chrono>
#include <cinttypes>
#include <cstdint>
#include <limits>
#include <optional>

#include "client/kestro.h"
#include "client/pump_codes.h"
#include "common/number_word.h"
#include "kestro/client/client_link.h"
#include "kestro/client/event_subscription.h"
#include "kestro/model/pump_simulator.h"
#include "kestro/model/result_codes.h"
#include "kestro/wire/pump_calls.h"
#include "platform/bstr.h"
#include "platform/text_conversion.h"

namespace kestro::ctl {

const char kUsage[] =
    "Usage: kestroctl [--server ADDRESS] [--call-port N] [--events-port N] COMMAND\n"
    "Drives the live forecourt of a running kestrod.\n"
    "  lift PUMP HOSE          a customer lifts the hose numbered HOSE\n"
    "  hang PUMP               the customer hangs the nozzle up\n"
    "  pay PUMP DELIVERY       the customer pays an unpaid delivery (it is cleared)\n"
    "  driveoff PUMP DELIVERY  the customer drives off without paying\n"
    "  fault PUMP STATE        the pump goes into STATE (0 not responding, 1, 2, 16, 17\n"
    "                          errors, 3 idle again; no other state)\n"
    "  authorise PUMP          the cashier authorises the pump\n"
    "  status [PUMP]           the status of one pump or of every pump\n"
    "  deliveries PUMP         the pump's unpaid deliveries\n"
    "  tick MS                 moves a manual clock forward by MS milliseconds (at most\n"
    "                          600000, ten minutes)\n"
    "  flow LITRES             litres per second of every pump from now on\n"
    "  watch [COUNT]           prints events as they come (stops after COUNT of them)\n";

namespace {

struct Options {
    std::string server = "127.0.0.1";
    std::int32_t callPort = 5123;
    std::int32_t eventsPort = 5124;
    std::vector<std::string> command;
};

// A number word of a command: any 32-bit number (the ranges are checked by OutOfRange, with
// the name of what the number stands for).
std::optional<std::int32_t> ReadInteger(const std::string& text) {
    return ParseNumberWord<std::int32_t>(text, INT32_MIN, INT32_MAX);
}

std::optional<double> ReadDecimal(const std::string& text) {
    return ParseNumberWord<double>(text, std::numeric_limits<double>::lowest(),
                                   std::numeric_limits<double>::max());
}

const char* StateName(std::int16_t state) {
    using namespace pump_state;
    switch (state) {
        case kNotResponding:
            return "not responding";
        case kError1:
        case kError2:
        case kError16:
        case kError17:
            return "error";
        case kIdle:
            return "idle";
        case kAuthorised:
            return "authorised";
        case kCalling:
            return "calling";
        case kStarting:
            return "starting";
        case kDelivering:
            return "delivering";
        case kTempStopped:
            return "stopped";
        case kNearLimit:
            return "delivering, limit near";
        case kPrepayNearLimit:
            return "prepay, limit near";
        case kLimitReached:
            return "ended at its limit";
        case kPrepayStopped:
            return "prepay stopped";
        case kStoppedByController:
            return "stopped by the controller";
        default:
            return "unknown";
    }
}

const char* DeliveryStateName(std::int16_t state) {
    switch (state) {
        case delivery_state::kCurrent:
            return "current";
        case delivery_state::kStacked:
            return "stacked";
        case delivery_state::kCleared:
            return "cleared";
        default:
            return "other";
    }
}

void PrintStatus(std::FILE* out, std::int32_t pumpId, const PumpStatus& s) {
    std::fprintf(out,
                 "pump %d: state %d %s, reserved for %d by %d, hose %d (id %d), grade %d %s (%s), "
                 "level %d, price %.3f, volume %.3f, value %.2f, stack %d\n",
                 pumpId, s.state, StateName(s.state), s.reservedFor, s.reservedBy, s.hoseNumber,
                 s.hoseId, s.gradeId, Utf16ToUtf8(s.gradeName).c_str(),
                 Utf16ToUtf8(s.shortGradeName).c_str(), s.priceLevel, s.price, s.volume, s.value,
                 s.stackSize);
}

void PrintDelivery(std::FILE* out, std::int32_t pumpId, const PumpDelivery& d) {
    std::fprintf(out,
                 "pump %d delivery %d: state %d %s, type %d, hose %d (id %d), grade %d %s, "
                 "level %d, price %.3f, volume %.3f, value %.2f, age %d s, attendant %d, "
                 "totals %.3f %.3f %.2f\n",
                 pumpId, d.id, d.state, DeliveryStateName(d.state), d.type, d.hoseNumber, d.hoseId,
                 d.gradeId, Utf16ToUtf8(d.gradeName).c_str(), d.priceLevel, d.price, d.volume,
                 d.value, d.age, d.attendantId, d.volumeTotal, d.volume2Total, d.valueTotal);
}

// What is wrong with the numbers of `command` (all numbers already) that the server would
// refuse or that would not fit its call; empty when nothing is.
std::string OutOfRange(const std::string& verb, const std::vector<std::string>& command) {
    if (verb == "fault") {
        const std::int32_t state = *ReadInteger(command[2]);
        if (state != pump_state::kNotResponding && state != pump_state::kIdle &&
            !pump_state::IsError(state)) {
            return "fault: STATE is 0, 1, 2, 16 or 17 (a fault) or 3 (its end), not '" +
                   command[2] + "'";
        }
    } else if (verb == "tick") {
        const std::int32_t ms = *ReadInteger(command[1]);
        if (ms < 0 || ms > wire::kMaxClockTickMs) {
            return "tick: MS is from 0 to " + std::to_string(wire::kMaxClockTickMs) + ", not '" +
                   command[1] + "'";
        }
    } else if (verb == "watch" && command.size() > 1 && *ReadInteger(command[1]) < 0) {
        return "watch: COUNT is 0 or more, not '" + command[1] + "'";
    }
    return {};
}

class Ctl {
  public:
    Ctl(const Options& options, std::FILE* out, std::FILE* err)
        : options_(options), out_(out), err_(err) {}

    int Run();

  private:
    client::ClientLink& link() { return client::ClientLink::Instance(); }
    // Prints "kestroctl: WHAT failed - TEXT." for a failed `rc`; returns the exit status.
    int Check(std::int32_t rc, const std::string& what);
    int Usage(const std::string& problem);
    std::optional<std::int32_t> Number(std::size_t index);
    int Status(std::int32_t pumpId);
    int Deliveries(std::int32_t pumpId);
    int Watch(std::optional<std::int64_t> count);

    const Options& options_;
    std::FILE* out_;
    std::FILE* err_;
};

int Ctl::Check(std::int32_t rc, const std::string& what) {
    if (rc == kSuccess) {
        return 0;
    }
    std::fprintf(err_, "kestroctl: %s failed - %s.\n", what.c_str(),
                 Utf16ToUtf8(ResultText(rc)).c_str());
    return 1;
}

int Ctl::Usage(const std::string& problem) {
    std::fprintf(err_, "kestroctl: %s\n%s", problem.c_str(), kUsage);
    return 2;
}

std::optional<std::int32_t> Ctl::Number(std::size_t index) {
    if (index >= options_.command.size()) {
        return std::nullopt;
    }
    return ReadInteger(options_.command[index]);
}

int Ctl::Status(std::int32_t pumpId) {
    PumpStatus s;
    Bstr name;
    Bstr shortName;
    std::int32_t rc = link().Forward<wire::pump_calls::ReadPumpStatus>(
        pumpId, &s.state, &s.reservedFor, &s.reservedBy, &s.hoseId, &s.hoseNumber, &s.gradeId,
        name.Out(), shortName.Out(), &s.priceLevel, &s.price, &s.volume, &s.value, &s.stackSize);
    if (rc == kSuccess) {
        s.gradeName = name.View();
        s.shortGradeName = shortName.View();
        PrintStatus(out_, pumpId, s);
    }
    return Check(rc, "status " + std::to_string(pumpId));
}

int Ctl::Deliveries(std::int32_t pumpId) {
    std::int32_t count = 0;
    if (int status = Check(link().Forward<wire::pump_calls::ReadPumpDeliveryCount>(pumpId, &count),
                           "deliveries " + std::to_string(pumpId))) {
        return status;
    }
    if (count == 0) {
        std::fprintf(out_, "pump %d has no unpaid delivery\n", pumpId);
    }
    for (std::int32_t index = 1; index <= count; ++index) {
        PumpDelivery d;
        Bstr name;
        Bstr shortName;
        std::int32_t rc = link().Forward<wire::pump_calls::ReadPumpDelivery>(
            pumpId, static_cast<std::int16_t>(index), &d.id, &d.type, &d.state, &d.hoseId,
            &d.hoseNumber, &d.gradeId, name.Out(), shortName.Out(), &d.priceLevel, &d.price,
            &d.volume, &d.value, &d.lockedBy, &d.reservedBy, &d.age, &d.completedDate,
            &d.attendantId, &d.volumeTotal, &d.volume2Total, &d.valueTotal);
        if (rc != kSuccess) {
            return Check(rc, "deliveries " + std::to_string(pumpId));
        }
        d.gradeName = name.View();
        PrintDelivery(out_, pumpId, d);
    }
    return 0;
}

int Ctl::Watch(std::optional<std::int64_t> count) {
    client::EventSubscription events;
    if (int status = Check(events.Open(link(), options_.server,
                                       static_cast<std::uint16_t>(options_.eventsPort), 5000),
                           "watch")) {
        return status;
    }
    std::fprintf(out_, "watching %s\n", options_.server.c_str());
    std::fflush(out_);
    for (std::int64_t seen = 0; !count || seen < *count;) {
        wire::ReceivedEvent received;
        bool gap = false;
        client::EventSubscription::Next next = events.Read(1000, received, gap);
        if (next == client::EventSubscription::Next::kTimeOut) {
            continue;
        }
        if (next == client::EventSubscription::Next::kLost) {
            return Check(kConnectionLost, "watch");
        }
        ++seen;
        if (gap) {
            std::fprintf(out_, "#%" PRIu32 ": events were missed before this one\n",
                         received.sequence);
        }
        std::fprintf(out_, "#%" PRIu32 " ", received.sequence);
        if (received.event.kind == PumpEvent::Kind::kStatus) {
            PrintStatus(out_, received.event.pumpId, received.event.status);
        } else {
            PrintDelivery(out_, received.event.pumpId, received.event.delivery);
        }
        std::fflush(out_);
    }
    return 0;
}

int Ctl::Run() {
    const std::vector<std::string>& command = options_.command;
    if (command.empty()) {
        return Usage("no command");
    }
    const std::string& verb = command[0];
    struct Shape {
        const char* verb;
        std::size_t numbers;   // required numbers after the verb
        std::size_t optional;  // further optional ones
    };
    const Shape shapes[] = {{"lift", 2, 0},     {"hang", 1, 0},       {"pay", 2, 0},
                            {"driveoff", 2, 0}, {"fault", 2, 0},      {"authorise", 1, 0},
                            {"status", 0, 1},   {"deliveries", 1, 0}, {"tick", 1, 0},
                            {"flow", 1, 0},     {"watch", 0, 1}};
    const Shape* shape = nullptr;
    for (const Shape& candidate : shapes) {
        if (verb == candidate.verb) {
            shape = &candidate;
        }
    }
    if (shape == nullptr) {
        return Usage("unknown command '" + verb + "'");
    }
    const std::size_t given = command.size() - 1;
    if (given < shape->numbers || given > shape->numbers + shape->optional) {
        return Usage(verb + " takes " + std::to_string(shape->numbers) +
                     (shape->optional != 0 ? " or " + std::to_string(shape->numbers + 1) : "") +
                     " arguments");
    }
    for (std::size_t i = 1; i < command.size(); ++i) {
        const bool ok =
            verb == "flow" ? ReadDecimal(command[i]).has_value() : Number(i).has_value();
        if (!ok) {
            return Usage(verb + ": '" + command[i] + "' is no number");
        }
    }
    if (std::string problem = OutOfRange(verb, command); !problem.empty()) {
        return Usage(problem);
    }

    Bstr server = Bstr::FromUtf8(options_.server);
    std::int32_t rc =
        ClientLogonEx(0, 0, server.Get(), options_.callPort, options_.eventsPort, 5000, 0, 0, 0);
    if (rc != kSuccess) {
        return Check(rc, "logon to " + options_.server);
    }
    const std::int32_t a = given >= 1 ? *Number(1) : 0;
    const std::int32_t b = given >= 2 && verb != "flow" ? *Number(2) : 0;
    const std::string what =
        verb + (given >= 1 ? " " + command[1] : "") + (given >= 2 ? " " + command[2] : "");
    using namespace wire::pump_calls;
    int status = 0;
    if (verb == "lift") {
        status = Check(link().Forward<CustomerLift>(a, b), what);
    } else if (verb == "hang") {
        status = Check(link().Forward<CustomerHang>(a), what);
    } else if (verb == "pay") {
        status = Check(link().Forward<CustomerPay>(a, b), what);
    } else if (verb == "driveoff") {
        status = Check(link().Forward<CustomerDriveOff>(a, b), what);
    } else if (verb == "fault") {
        status = Check(link().Forward<PumpFault>(a, static_cast<std::int16_t>(b)), what);
    } else if (verb == "authorise") {
        status = Check(link().Forward<PumpAuthorise>(a), what);
    } else if (verb == "tick") {
        std::int64_t now = 0;
        status = Check(link().Forward<ClockTick>(a, &now), what);
        if (status == 0) {
            std::fprintf(out_, "clock at %" PRId64 ".%03d s\n", now / 1000,
                         static_cast<int>(now % 1000));
        }
    } else if (verb == "flow") {
        status = Check(link().Forward<SetFlowRate>(*ReadDecimal(command[1])), what);
    } else if (verb == "deliveries") {
        status = Deliveries(a);
    } else if (verb == "watch") {
        status = Watch(given >= 1 ? std::optional<std::int64_t>(a) : std::nullopt);
    } else if (given == 1) {
        status = Status(a);
    } else {
        std::int32_t count = 0;
        status = Check(GetPumpsCount(&count), "status");
        for (std::int32_t ordinal = 1; status == 0 && ordinal <= count; ++ordinal) {
            std::int32_t pumpId = 0;
            status = Check(GetPumpByOrdinal(ordinal, &pumpId), "status");
            if (status == 0) {
                status = Status(pumpId);
            }
        }
    }
    ClientLogoff();
    return status;
}

}  // namespace

int RunCtl(const std::vector<std::string>& arguments, std::FILE* out, std::FILE* err) {
    Options options;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (argument == "--help") {
            std::fprintf(out, "%s", kUsage);
            return 0;
        }
        if (!options.command.empty() || !argument.starts_with("--")) {
            options.command.push_back(argument);
            continue;
        }
        if (i + 1 == arguments.size()) {
            std::fprintf(err, "kestroctl: %s needs a value\n%s", argument.c_str(), kUsage);
            return 2;
        }
        const std::string& value = arguments[++i];
        const std::optional<std::int32_t> port = ParseNumberWord<std::int32_t>(value, 1, 65535);
        if (argument == "--server") {
            options.server = value;
        } else if ((argument == "--call-port" || argument == "--events-port") && port) {
            (argument == "--call-port" ? options.callPort : options.eventsPort) = *port;
        } else {
            std::fprintf(err, "kestroctl: bad option '%s %s'\n%s", argument.c_str(), value.c_str(),
                         kUsage);
            return 2;
        }
    }
    Ctl ctl(options, out, err);
    return ctl.Run();
}

}  // namespace kestro::ctl
