// Tests of FixedAmount: rounding from double, saturation, NaN, conversion back and ordering.
#include "common/fixed_amount.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

constexpr std::int64_t kMax = std::numeric_limits<std::int64_t>::max();
constexpr std::int64_t kMin = std::numeric_limits<std::int64_t>::min();

TEST(FixedAmountTest, FromDoubleRoundsHalfAwayFromZero) {
    const struct {
        double value;
        std::int64_t count;
    } cases[] = {
        {0.0, 0},
        {-0.0, 0},
        {0.00005, 1},
        {-0.00005, -1},
        {0.00004, 0},
        {-0.00004, 0},
        {1.23444, 12344},
        {-1.23444, -12344},
        {5.199, 51990},
        {45123.50001, 451235000},
        {-45123.50001, -451235000},
        {2.5, 25000},
        {1e20, kMax},
        {-1e20, kMin},
        {1e14, 1000000000000000000},
        {std::numeric_limits<double>::infinity(), kMax},
        {-std::numeric_limits<double>::infinity(), kMin},
        {std::numeric_limits<double>::quiet_NaN(), 0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FixedAmount::FromDouble(c.value).Count(), c.count) << c.value;
    }
}

TEST(FixedAmountTest, ToDoubleDividesByTenThousand) {
    EXPECT_DOUBLE_EQ(FixedAmount::FromCount(12345).ToDouble(), 1.2345);
    EXPECT_DOUBLE_EQ(FixedAmount::FromCount(-5).ToDouble(), -0.0005);
    EXPECT_DOUBLE_EQ(FixedAmount().ToDouble(), 0.0);
    EXPECT_DOUBLE_EQ(FixedAmount::FromDouble(4.599).ToDouble(), 4.599);
}

TEST(FixedAmountTest, OrderingFollowsTheCount) {
    const FixedAmount low = FixedAmount::FromDouble(-1.5);
    const FixedAmount mid = FixedAmount::FromDouble(0.0001);
    const FixedAmount high = FixedAmount::FromDouble(3.999);
    EXPECT_LT(low, mid);
    EXPECT_LT(mid, high);
    EXPECT_GT(high, low);
    EXPECT_EQ(FixedAmount::FromDouble(1.00004), FixedAmount::FromDouble(1.0));
    EXPECT_NE(FixedAmount::FromDouble(1.0001), FixedAmount::FromDouble(1.0));
    EXPECT_EQ(FixedAmount(), FixedAmount::FromCount(0));
}

}  // namespace
