#include "transfer/decimal.h"

#include <gtest/gtest.h>

#include <limits>

namespace {

TEST(ParseDecimal, ReadsAsAtoiDoes)
{
    EXPECT_EQ(ParseDecimal("1500"), 1500);
    EXPECT_EQ(ParseDecimal(" \t\r\n+42abc"), 42);
    EXPECT_EQ(ParseDecimal("-17"), -17);
    EXPECT_EQ(ParseDecimal("007"), 7);
    EXPECT_EQ(ParseDecimal(""), 0);
    EXPECT_EQ(ParseDecimal("abc"), 0);
    EXPECT_EQ(ParseDecimal("- 5"), 0);
    EXPECT_EQ(ParseDecimal("12 34"), 12);
}

TEST(ParseDecimal, KeepsSizesBeyondFourGigabytes)
{
    EXPECT_EQ(ParseDecimal("5000000000"), 5000000000LL);
    EXPECT_EQ(ParseDecimal("9223372036854775807"), std::numeric_limits<std::int64_t>::max());
    EXPECT_EQ(ParseDecimal("99999999999999999999"), std::numeric_limits<std::int64_t>::max());
    EXPECT_EQ(ParseDecimal("-9223372036854775808"), std::numeric_limits<std::int64_t>::min());
    EXPECT_EQ(ParseDecimal("-99999999999999999999"), std::numeric_limits<std::int64_t>::min());
}

}  // namespace
