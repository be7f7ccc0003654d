// FixedAmount: the fixed-point amount shared by Brenkar and Tolvan, a signed 64-bit count of
// ten-thousandths (value x 10,000). Prices, volumes and money values pass through it so that
// they compare exactly and round the same way everywhere.
#pragma once

#include <compare>
#include <cstdint>

class FixedAmount {
  public:
    static constexpr std::int64_t kScale = 10000;

    constexpr FixedAmount() = default;

    // Rounds half away from zero: floor(x * 10,000 + 0.5) for x >= 0, ceil(x * 10,000 - 0.5)
    // below. Values beyond the 64-bit range saturate; NaN gives 0.
    static FixedAmount FromDouble(double x);
    static constexpr FixedAmount FromCount(std::int64_t count) { return FixedAmount(count); }

    // count / 10,000.
    double ToDouble() const { return static_cast<double>(count_) / kScale; }
    constexpr std::int64_t Count() const { return count_; }

    constexpr auto operator<=>(const FixedAmount&) const = default;

  private:
    constexpr explicit FixedAmount(std::int64_t count) : count_(count) {}
    std::int64_t count_ = 0;
};
