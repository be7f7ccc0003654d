// What every connection of kestrod shares: the one station whose configuration the calls
// read and change, the database that keeps it, and the faults injected into the calls that
// each connection answers itself (the logon family). Every request is served with `mutex`
// held, so that the station sees one call at a time.
#pragma once

#include <mutex>

#include "kestro/model/fault_plan.h"
#include "kestro/model/station.h"
#include "kestro/store/station_store.h"

namespace kestro::server {

struct ServedStation {
    Station& station;
    StationStore& store;
    FaultPlan logonFaults;
    std::mutex mutex;
};

}  // namespace kestro::server
