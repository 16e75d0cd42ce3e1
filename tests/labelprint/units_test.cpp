// Rounding of report lengths: halves go to the even neighbour, and values beyond the int range
// saturate instead of overflowing (spin fields put no limits on the settings).
#include "labelprint/units.h"

#include <gtest/gtest.h>
#include <limits>

namespace labelprint {
namespace {

TEST(Units, NearestRoundsHalvesToEvenAndSaturates) {
    const struct {
        double v;
        int expected;
    } cases[] = {{0.5, 0},
                 {1.5, 2},
                 {2.5, 2},
                 {-0.5, 0},
                 {-1.5, -2},
                 {-2.5, -2},
                 {75.59, 76},
                 {632.35, 632},
                 {-3.78, -4},
                 {1e12, std::numeric_limits<int>::max()},
                 {-1e12, std::numeric_limits<int>::min()}};
    for (const auto& c : cases) {
        EXPECT_EQ(nearest(c.v), c.expected) << c.v;
    }
    EXPECT_EQ(lengthToDevice(2100, 96), 794);
    EXPECT_DOUBLE_EQ(snapToGrid(20, 96), 8 * 254.0 / 96);
}

} // namespace
} // namespace labelprint
