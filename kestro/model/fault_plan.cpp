// Matching of calls against the injected faults.
#include "kestro/model/fault_plan.h"

#include <stdexcept>
#include <utility>

namespace kestro {
namespace {

bool Matches(const Fault& fault, const RecordedCall& call) {
    if (fault.call != call.name) {
        return false;
    }
    if (!fault.record) {
        return true;
    }
    const auto* first =
        call.values.empty() ? nullptr : std::get_if<std::int32_t>(&call.values.front());
    return first != nullptr && *first == *fault.record;
}

}  // namespace

void FaultPlan::Add(Fault fault) {
    if (fault.code == 0) {
        throw std::invalid_argument("a fault for " + fault.call + " needs a non-zero code");
    }
    if (fault.after < 0) {
        throw std::invalid_argument("a fault for " + fault.call + " needs after >= 0");
    }
    entries_.push_back(Entry{std::move(fault)});
}

void FaultPlan::Clear() {
    entries_.clear();
}

std::vector<Fault> FaultPlan::Listed() const {
    std::vector<Fault> faults;
    faults.reserve(entries_.size());
    for (const Entry& entry : entries_) {
        faults.push_back(entry.fault);
    }
    return faults;
}

std::int32_t FaultPlan::Check(const RecordedCall& call) {
    std::int32_t code = 0;
    for (Entry& entry : entries_) {
        if (!Matches(entry.fault, call)) {
            continue;
        }
        ++entry.matched;
        if (code == 0 && entry.matched > entry.fault.after) {
            code = entry.fault.code;
        }
    }
    return code;
}

}  // namespace kestro
