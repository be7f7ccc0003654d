// export-bench: times Brenkar's export of generated stations through the in-process Kestro
// binding: the sample station, the maximal station (99 ports, grades, tanks and pumps with 8
// hoses, 95 ZigBee devices, 9,999 sensors, attendants, card clients and products) and the
// maximal station with half of its large kinds. Linear cost gives a ratio of about 2 between
// the last two.
#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>

#include "kestro/inproc/current_station.h"
#include "kestro/model/station_generators.h"
#include "transfer/export.h"

namespace {

constexpr int kRuns = 3;  // the best of three, to keep other load on the machine out

// Keeps the records of the large kinds with identifiers up to `last`.
template <typename Record>
void KeepFirst(kestro::RecordTable<Record>& table, std::int32_t last) {
    while (table.Count() > last) {
        table.Remove(table.AtOrdinal(table.Count())->id);
    }
}

kestro::Configuration HalfMaxStation() {
    kestro::Configuration station = kestro::MaxStation();
    KeepFirst(station.sensors, 5000);
    KeepFirst(station.attendants, 5000);
    KeepFirst(station.cardClients, 5000);
    KeepFirst(station.products, 5000);
    return station;
}

// Exports `configuration` to `path` with the console discarded; returns the seconds taken,
// or -1 when the export failed.
double ExportOnce(const kestro::Configuration& configuration, const std::string& path) {
    kestro::Station station(configuration);
    kestro::ScopedStation use(station);
    station.ClientLogonEx(110, 5, u"127.0.0.1", 5123, 5124, 10000, 0, 0, 1024);

    std::fflush(stdout);
    const int console = dup(STDOUT_FILENO);
    const int sink = open("/dev/null", O_WRONLY);
    dup2(sink, STDOUT_FILENO);
    const auto start = std::chrono::steady_clock::now();
    const std::int32_t result = ExportConfiguration(path.c_str(), false, false, false, false);
    std::fflush(stdout);
    const std::chrono::duration<double> seconds = std::chrono::steady_clock::now() - start;
    dup2(console, STDOUT_FILENO);
    close(console);
    close(sink);
    return result == 0 ? seconds.count() : -1;
}

double Best(const char* name, const kestro::Configuration& configuration, const std::string& path) {
    double best = 1e9;
    for (int run = 0; run < kRuns; ++run) {
        const double seconds = ExportOnce(configuration, path);
        if (seconds < 0) {
            std::printf("%s: the export failed\n", name);
            std::exit(1);
        }
        best = std::min(best, seconds);
    }
    std::printf("%-26s %9.0f bytes  %.3f s\n", name,
                static_cast<double>(std::filesystem::file_size(path)), best);
    return best;
}

}  // namespace

int main() {
    char folder[] = "/tmp/export-bench-XXXXXX";
    if (mkdtemp(folder) == nullptr) {
        std::perror("mkdtemp");
        return 1;
    }
    const std::string path = std::string(folder) + "/station.ini";
    Best("sample station", kestro::SampleStation(), path);
    const double half = Best("max station, half the large", HalfMaxStation(), path);
    const double max = Best("max station", kestro::MaxStation(), path);
    std::printf("ratio max / half: %.2f (linear: about 2)\n", max / half);
    std::filesystem::remove_all(folder);
    return 0;
}
