// FixedAmount: conversion from double with half-away-from-zero rounding, saturating at the
// ends of the 64-bit count.
#include "common/fixed_amount.h"

#include <cmath>
#include <limits>

FixedAmount FixedAmount::FromDouble(double x) {
    if (std::isnan(x)) {
        return FixedAmount();
    }
    const double scaled = x >= 0 ? std::floor(x * kScale + 0.5) : std::ceil(x * kScale - 0.5);
    // 2^63 is the first double above the range; -2^63 itself is the smallest count.
    constexpr double kLimit = 9223372036854775808.0;
    if (scaled >= kLimit) {
        return FixedAmount(std::numeric_limits<std::int64_t>::max());
    }
    if (scaled < -kLimit) {
        return FixedAmount(std::numeric_limits<std::int64_t>::min());
    }
    return FixedAmount(static_cast<std::int64_t>(scaled));
}
