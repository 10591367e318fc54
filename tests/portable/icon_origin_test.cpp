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

}  // namespace
