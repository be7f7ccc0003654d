// The age of a delivery: what the client object last said plus the time since.
#include "control/delivery.h"

#include <cstdlib>

namespace tolvan {

LONG CDelivery::CurrentAge() const {
    // In 64 bits, so that an Age of -2^31 has a magnitude too.
    const long long age = std::llabs(static_cast<long long>(Age)) + AgeTimer.ElapsedSeconds();
    return static_cast<LONG>(age);
}

}  // namespace tolvan
