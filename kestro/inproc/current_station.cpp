// The process-wide current station and its scoped replacement.
#include "kestro/inproc/current_station.h"

namespace kestro {
namespace {

Station* installed = nullptr;

}  // namespace

Station& CurrentStation() {
    if (installed != nullptr) {
        return *installed;
    }
    static Station defaultStation;
    return defaultStation;
}

ScopedStation::ScopedStation(Station& station) : previous_(installed) {
    installed = &station;
}

ScopedStation::~ScopedStation() {
    installed = previous_;
}

}  // namespace kestro
