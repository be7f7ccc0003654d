// The process-wide current station and its scoped replacement.
#include "kestro/inproc/current_station.h"

#include "kestro/model/station_generators.h"

namespace kestro {
namespace {

Station* installed = nullptr;

}  // namespace

Station& CurrentStation() {
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

}  // namespace kestro
