// Fault injection for the station model: a named call answers a chosen failure code instead
// of running, either every time, only for one record, or from a given matching call on, so
// that tests can reach every failure path of a client.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "kestro/model/call_record.h"

namespace kestro {

struct Fault {
    // The call to fail, by its flat-interface name ("GetPortProperties").
    std::string call{};
    // The code the call answers instead of running; never 0 (kSuccess).
    std::int32_t code = 0;
    // When set, only calls whose first value is this 32-bit identifier match (one record).
    std::optional<std::int32_t> record{};
    // Number of matching calls that still run before the fault applies: 0 fails the first
    // matching call and every later one, 2 lets two run and fails the third and later ones.
    int after = 0;
};

class FaultPlan {
  public:
    // Adds a fault. Throws std::invalid_argument when its code is 0 or `after` is negative,
    // since either would make the injection silently do nothing.
    void Add(Fault fault);

    // Removes every fault: all calls run again.
    void Clear();

    // Counts `call` against every fault it matches and returns the code of the first fault
    // (in the order added) that applies to it, or 0 when the call is to run normally.
    std::int32_t Check(const RecordedCall& call);

    // The faults, in the order added.
    std::vector<Fault> Listed() const;

  private:
    struct Entry {
        Fault fault;
        int matched = 0;  // matching calls seen so far
    };
    std::vector<Entry> entries_;
};

}  // namespace kestro
