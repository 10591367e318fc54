#include "framework/placement.h"

#include <gtest/gtest.h>

namespace {

// A dialog on a second monitor left of the first; over an owner at its
// monitor's edge; larger than the work area.
TEST(DialogPlacement, CentresWithinTheMonitorsWorkArea)
{
    const struct {
        ScreenRect around, work;
        int width, height, x, y;
    } rows[] = {{{-1920, 0, 0, 1040}, {-1920, 0, 0, 1040}, 300, 200, -1110, 420},
                {{1700, -50, 2100, 250}, {0, 0, 1920, 1040}, 300, 200, 1620, 0},
                {{0, 0, 800, 600}, {0, 0, 800, 600}, 1000, 700, 0, 0}};
    for (const auto& row : rows) {
        const ScreenPoint at = PlaceWithin(row.around, row.work, row.width, row.height);
        EXPECT_EQ(at.x, row.x) << row.around.left;
        EXPECT_EQ(at.y, row.y) << row.around.left;
    }
}

}  // namespace
