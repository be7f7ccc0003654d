// Setting up the served station and routing injected faults.
#include "kestro/server/served_station.h"

namespace kestro::server {

ServedStation::ServedStation(Station& station, StationStore& store)
    : station(station), store(store), current_(station) {
    station.ClientLogonEx(0, 0, u"kestrod", 1, 1, 1, 0, 0, 0);
    station.ClearCalls();
}

void ServedStation::InjectFault(const Fault& fault) {
    if (fault.call == "ClientLogonEx" || fault.call == "SetClientType" ||
        fault.call == "ClientLogoff" || fault.call == "ServerVersion") {
        logonFaults.Add(fault);
    } else {
        station.InjectFault(fault);
    }
}

}  // namespace kestro::server
