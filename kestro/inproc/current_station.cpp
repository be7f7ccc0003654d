// The process-wide current station and its scoped replacement.
#include "kestro/inproc/current_station.h"

#include "kestro/model/station_generators.h"

namespace kestro {
namespace {

Station* installed = nullptr;
thread_local Station* installedForThread = nullptr;

}  // namespace

Station& CurrentStation() {
    if (installedForThread != nullptr) {
        return *installedForThread;
    }
    if (installed != nullptr) {
        return *installed;
    }
    static Station defaultStation(SampleStation());
    return defaultStation;
}

ScopedStation::ScopedStation(Station& station) : previous_(installed) {
    installed = &station;
}

ScopedStation::~ScopedStation() {
    installed = previous_;
}

ScopedThreadStation::ScopedThreadStation(Station& station) : previous_(installedForThread) {
    installedForThread = &station;
}

ScopedThreadStation::~ScopedThreadStation() {
    installedForThread = previous_;
}

}  // namespace kestro
