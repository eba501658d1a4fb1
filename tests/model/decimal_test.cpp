#include "common/decimal.h"

#include <gtest/gtest.h>

namespace {

using Utility::ReadDecimal;

TEST(ReadDecimal, ReadsLikeAtoiForOrdinaryTexts)
{
    EXPECT_EQ(ReadDecimal("24"), 24);
    EXPECT_EQ(ReadDecimal("  -250 "), -250);
    EXPECT_EQ(ReadDecimal("+7"), 7);
    EXPECT_EQ(ReadDecimal("12abc"), 12);
    EXPECT_EQ(ReadDecimal("\t\n13"), 13);
    EXPECT_EQ(ReadDecimal("abc"), 0);
    EXPECT_EQ(ReadDecimal(""), 0);
    EXPECT_EQ(ReadDecimal("-"), 0);
    EXPECT_EQ(ReadDecimal("- 5"), 0);
}

TEST(ReadDecimal, SaturatesAtThe32BitLimits)
{
    EXPECT_EQ(ReadDecimal("2147483647"), 2147483647);
    EXPECT_EQ(ReadDecimal("2147483648"), 2147483647);
    EXPECT_EQ(ReadDecimal("-2147483648"), -2147483647 - 1);
    EXPECT_EQ(ReadDecimal("-2147483649"), -2147483647 - 1);
    EXPECT_EQ(ReadDecimal("99999999999999999999999999"), 2147483647);
    EXPECT_EQ(ReadDecimal("-99999999999999999999999999"), -2147483647 - 1);
}

} // namespace
