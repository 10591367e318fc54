#include "framework/placement.h"
#include "ui/icon_origin.h"

#include <gtest/gtest.h>

namespace {

TEST(MinimisedIcon, IsCentredWithTruncatingDivision)
{
    EXPECT_EQ(CentredIconOrigin(0, 0, 32, 32).x, -15);
    EXPECT_EQ(CentredIconOrigin(0, 0, 32, 32).y, -15);
    EXPECT_EQ(CentredIconOrigin(100, 41, 32, 32).x, 34);
    EXPECT_EQ(CentredIconOrigin(100, 41, 32, 32).y, 5);
}

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
