// Regions as USER keeps them: unions without overlap, subtraction, intersection and bounds.
#include <gtest/gtest.h>

#include "platform/user/update_region.h"

namespace {

using platform::Region;

long Area(const Region& region) {
    long area = 0;
    for (const RECT& r : region.Rects()) {
        area += static_cast<long>(r.right - r.left) * (r.bottom - r.top);
    }
    return area;
}

bool Disjoint(const Region& region) {
    const auto& rects = region.Rects();
    for (std::size_t i = 0; i < rects.size(); ++i) {
        for (std::size_t j = i + 1; j < rects.size(); ++j) {
            if (!platform::RectEmpty(platform::RectIntersection(rects[i], rects[j]))) {
                return false;
            }
        }
    }
    return true;
}

TEST(UpdateRegion, OperationsKeepTheAreaAndNoOverlap) {
    struct Row {
        const char* what;
        std::vector<RECT> added;
        RECT subtracted;  // empty: none
        long area;
        RECT bounds;
    };
    const Row rows[] = {
        {"one", {{0, 0, 10, 10}}, {}, 100, {0, 0, 10, 10}},
        {"the same twice", {{0, 0, 10, 10}, {0, 0, 10, 10}}, {}, 100, {0, 0, 10, 10}},
        {"overlapping", {{0, 0, 10, 10}, {5, 5, 15, 15}}, {}, 175, {0, 0, 15, 15}},
        {"inside another", {{0, 0, 10, 10}, {2, 2, 4, 4}}, {}, 100, {0, 0, 10, 10}},
        {"apart", {{0, 0, 2, 2}, {8, 8, 10, 10}}, {}, 8, {0, 0, 10, 10}},
        {"empty ignored", {{5, 5, 5, 9}, {3, 3, 1, 1}}, {}, 0, {0, 0, 0, 0}},
        {"a hole", {{0, 0, 10, 10}}, {4, 4, 6, 6}, 96, {0, 0, 10, 10}},
        {"a slice off", {{0, 0, 10, 10}}, {0, 0, 10, 3}, 70, {0, 3, 10, 10}},
        {"all of it", {{0, 0, 10, 10}, {10, 0, 20, 10}}, {0, 0, 20, 10}, 0, {0, 0, 0, 0}},
    };
    for (const Row& row : rows) {
        Region region;
        for (const RECT& r : row.added) {
            region.Add(r);
        }
        region.Subtract(row.subtracted);
        EXPECT_EQ(Area(region), row.area) << row.what;
        EXPECT_TRUE(Disjoint(region)) << row.what;
        const RECT b = region.Bounds();
        EXPECT_EQ((std::vector<LONG>{b.left, b.top, b.right, b.bottom}),
                  (std::vector<LONG>{row.bounds.left, row.bounds.top, row.bounds.right,
                                     row.bounds.bottom}))
            << row.what;
    }
}

TEST(UpdateRegion, IntersectAndContain) {
    Region region(RECT{0, 0, 10, 10});
    region.Add(RECT{20, 0, 30, 10});
    Region window(RECT{5, 5, 25, 8});
    region.Intersect(window);
    EXPECT_EQ(Area(region), 30);  // 5 by 3 on each side
    EXPECT_TRUE(region.Contains({5, 5}));
    EXPECT_TRUE(region.Contains({24, 7}));
    EXPECT_FALSE(region.Contains({15, 6}));
    EXPECT_FALSE(region.Contains({10, 6}));  // right edges are outside
    region.Offset(100, 50);
    EXPECT_TRUE(region.Contains({105, 55}));
    region.Intersect(RECT{0, 0, 1, 1});
    EXPECT_TRUE(region.Empty());
}

}  // namespace
