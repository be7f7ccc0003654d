// kestrod, the Kestro controller server: opens (or creates) the station database, loads the
// station, listens on the call and events ports and serves clients until SIGINT or SIGTERM.
#include <signal.h>

#include <atomic>
#include <cstdio>
#include <string>
#include <vector>

#include "kestro/model/station_generators.h"
#include "kestro/server/controller_server.h"
#include "kestro/server/event_hub.h"
#include "kestro/server/live_forecourt.h"
#include "kestro/server/server_calls.h"
#include "kestro/server/server_log.h"
#include "kestro/server/server_options.h"
#include "kestro/server/server_pump_calls.h"

namespace {

using namespace kestro;
using namespace kestro::server;

std::atomic<bool> stopRequested = false;
static_assert(std::atomic<bool>::is_always_lock_free, "set from a signal handler");

void RequestStop(int) {
    stopRequested = true;
}

void HandleSignals() {
    struct sigaction action {};
    action.sa_handler = RequestStop;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
    signal(SIGPIPE, SIG_IGN);
}

std::string Counts(const Configuration& station) {
    return std::to_string(station.ports.Count()) + " ports, " +
           std::to_string(station.grades.Count()) + " grades, " +
           std::to_string(station.tanks.Count()) + " tanks, " +
           std::to_string(station.zigBees.Count()) + " ZigBee devices, " +
           std::to_string(station.pumps.Count()) + " pumps, " +
           std::to_string(station.hoses.Count()) + " hoses, " +
           std::to_string(station.sensors.Count()) + " sensors, " +
           std::to_string(station.attendants.Count()) + " attendants, " +
           std::to_string(station.cardClients.Count()) + " card clients, " +
           std::to_string(station.products.Count()) + " products";
}

std::string Describe(const Fault& fault) {
    return fault.call + (fault.record ? " for record " + std::to_string(*fault.record) : "") +
           " answers " + std::to_string(fault.code);
}

std::string FlowText(double litresPerSecond) {
    char text[32];
    std::snprintf(text, sizeof text, "%g", litresPerSecond);
    return text;
}

int Serve(const ServerOptions& options) {
    StationStore store;
    if (!store.Open(options.database, [&] { return *GenerateStation(options.station); })) {
        LogLine("cannot open the station database " + store.error(), LogPriority::kError);
        return 1;
    }
    Configuration configuration;
    if (!store.Load(configuration)) {
        LogLine("cannot read the station database " + options.database + ": " + store.error(),
                LogPriority::kError);
        return 1;
    }
    if (store.created()) {
        LogLine("created " + options.database + " with the " + options.station + " station");
    } else if (options.stationGiven) {
        LogLine(
            "--station " + options.station + " ignored: " + options.database + " exists already",
            LogPriority::kWarning);
    }
    LogLine("station " + options.database + ": " + Counts(configuration));

    Station station(std::move(configuration));
    ServedStation served(station, store);
    for (const Fault& fault : options.faults) {
        served.InjectFault(fault);
        LogLine("fault injected: " + Describe(fault));
    }

    EventHub events(options.eventsQueue);
    LiveForecourt forecourt(
        served, events, options.manualClock ? ClockMode::kManual : ClockMode::kReal,
        options.demo ? std::optional<std::uint32_t>(options.seed) : std::nullopt);
    forecourt.pumps().SetFlowRate(options.flowRate);
    forecourt.EndStepsOn(stopRequested);
    served.forecourt = &forecourt;
    served.events = &events;
    LogLine(std::string("forecourt: ") + (options.manualClock ? "manual" : "real-time") +
            " clock, flow " + FlowText(options.flowRate) + " L/s" +
            (options.demo ? ", demo customers (seed " + std::to_string(options.seed) + ")" : ""));

    HandleSignals();
    ControllerServer server(served, ServerCallTable(), ServerPumpCallTable());
    server.SetTimeouts(kLogonTimeout, options.idleTimeout);
    std::string error;
    if (!server.Listen(options.address, options.callPort, options.eventsPort, error)) {
        LogLine(error, LogPriority::kError);
        // A server that cannot serve leaves no new database behind.
        if (store.RemoveCreated()) {
            LogLine("removed " + options.database + ", created for this start");
        }
        return 1;
    }
    std::printf("kestrod listening on %s, call port %u, events port %u\n", options.address.c_str(),
                server.callPort(), server.eventsPort());
    std::fflush(stdout);
    forecourt.Start();
    server.Run(stopRequested);
    forecourt.Stop();
    served.forecourt = nullptr;
    served.events = nullptr;
    LogLine("stopped");
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> arguments(argv + 1, argv + argc);
    ServerOptions options;
    std::string error;
    if (!ParseServerOptions(arguments, options, error)) {
        std::fprintf(stderr, "kestrod: %s\nTry 'kestrod --help'.\n", error.c_str());
        return 2;
    }
    if (options.help) {
        std::printf("%s", kServerUsage);
        return 0;
    }
    return Serve(options);
}
