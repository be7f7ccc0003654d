// kestrod's command line: where to listen, the station database and the station a new one
// starts with, and the faults to inject for tests.
#pragma once

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

#include "kestro/model/fault_plan.h"

namespace kestro::server {

struct ServerOptions {
    std::string address = "127.0.0.1";  // IPv4 address to listen on, dotted
    std::uint16_t callPort = 5123;      // 0: any free port
    std::uint16_t eventsPort = 5124;    // 0: any free port
    std::string database = "kestrod.db";
    std::string station = "sample";  // generator of a new database: empty, sample or max
    bool stationGiven = false;       // --station was on the command line
    std::vector<Fault> faults;       // in command-line order
    // A logged-on call connection silent this long is closed.
    std::chrono::milliseconds idleTimeout{10 * 60 * 1000};
    bool manualClock = false;          // --clock manual: the forecourt moves only on ClockTick
    bool demo = false;                 // --demo: simulated customers use the pumps
    std::uint32_t seed = 1;            // --seed N: the demo's customers
    double flowRate = 0.5;             // --flow-rate L: litres per second of every pump
    std::uint32_t eventsQueue = 4096;  // --events-queue N: events a subscriber may fall behind
    bool help = false;
};

// The usage text printed by --help, ending with a line feed.
extern const char kServerUsage[];

// Parses the arguments after the program name into `options` (which starts with the
// defaults above): --listen ADDRESS, --call-port N, --events-port N, --db FILE,
// --station empty|sample|max, --fail CALL[:RECORD]=CODE (repeatable), --idle-timeout SECONDS
// (more than 0, at most a day, fractions allowed), --clock real|manual, --demo, --seed N,
// --flow-rate L, --events-queue N, --help; each option with a value also in the form
// --option=VALUE. On a bad argument returns false with `error` set to one
// line naming it; `options` is then not to be used.
bool ParseServerOptions(const std::vector<std::string>& arguments, ServerOptions& options,
                        std::string& error);

}  // namespace kestro::server
