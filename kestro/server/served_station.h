// What every connection of kestrod shares: the one station whose configuration the calls
// read and change, the database that keeps it, and the faults injected into the calls that
// each connection answers itself (the logon family). Every request is served with `mutex`
// held, so that the station sees one call at a time.
#pragma once

#include <mutex>

#include "kestro/inproc/current_station.h"
#include "kestro/model/fault_plan.h"
#include "kestro/model/station.h"
#include "kestro/store/station_store.h"

namespace kestro::server {

class EventHub;
class LiveForecourt;

struct ServedStation {
    // Makes `station` the current station of the flat binding (kestro/inproc) for this
    // object's lifetime, so one ServedStation lives at a time, and logs it on for good: the
    // logon a client sees is its connection's Session. `store` holds the station's records.
    ServedStation(Station& station, StationStore& store);
    ServedStation(const ServedStation&) = delete;
    ServedStation& operator=(const ServedStation&) = delete;

    // Adds `fault` (see FaultPlan::Add): the logon family's to logonFaults, every other
    // call's to the station.
    void InjectFault(const Fault& fault);

    Station& station;
    StationStore& store;
    FaultPlan logonFaults;
    std::mutex mutex;
    // The live forecourt and the events port's hub, when the server runs them (else null).
    LiveForecourt* forecourt = nullptr;
    EventHub* events = nullptr;

  private:
    ScopedStation current_;
};

}  // namespace kestro::server
