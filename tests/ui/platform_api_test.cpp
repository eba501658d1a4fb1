#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

#include "ui/platform/api.h"
#include "ui/platform/controls.h"
#include "ui/platform/data_exchange.h"
#include "ui/platform/types.h"

namespace {

struct MulDivCase {
    std::int64_t a, b, c, expected;
};

TEST(MulDivTest, RoundsHalvesAwayFromZeroForEverySign)
{
    const MulDivCase cases[] = {
        {10, 1, 4, 3},    // 2.5 -> 3
        {-10, 1, 4, -3},  // -2.5 -> -3
        {10, -1, 4, -3},
        {-10, -1, 4, 3},
        {10, 1, -4, -3},
        {-10, 1, -4, 3},
        {7, 1, 4, 2},     // 1.75 -> 2
        {5, 1, 4, 1},     // 1.25 -> 1
        {-5, 1, 4, -1},
        {-7, 1, 4, -2},
        {1, 1, 3, 0},
        {2, 1, 3, 1},
        {0, 5, 7, 0},
        {8, 96, 72, 11},  // the chart font's height: 10.67 -> 11
        {403, 200, 403, 200},
    };
    for (const MulDivCase& c : cases)
        EXPECT_EQ(win::MulDiv(c.a, c.b, c.c), c.expected) << c.a << "*" << c.b << "/" << c.c;
}

TEST(MulDivTest, ComputesProductsBeyondSixtyFourBitsExactly)
{
    const std::int64_t big = std::int64_t{1} << 40;
    EXPECT_EQ(win::MulDiv(big, big, big), big);
    EXPECT_EQ(win::MulDiv(3'000'000'000LL, 3'000'000'000LL, 1'000'000'000LL), 9'000'000'000LL);
    EXPECT_EQ(win::MulDiv(std::numeric_limits<std::int64_t>::max(), 2, 2), std::numeric_limits<std::int64_t>::max());
    EXPECT_EQ(win::MulDiv(-(std::int64_t{1} << 62), 4, 8), -(std::int64_t{1} << 61));
    // The product needs more than 64 bits; the quotient does not.
    EXPECT_EQ(win::MulDiv(std::int64_t{1} << 62, 3, 2), 3 * (std::int64_t{1} << 61));
    // Half of an odd number beyond 32 bits rounds away from zero.
    EXPECT_EQ(win::MulDiv(5'000'000'001LL, 1, 2), 2'500'000'001LL);
    EXPECT_EQ(win::MulDiv(-5'000'000'001LL, 1, 2), -2'500'000'001LL);
}

TEST(MulDivTest, ReportsDivisionByZeroAndOverflowAsMinusOne)
{
    EXPECT_EQ(win::MulDiv(5, 5, 0), -1);
    EXPECT_EQ(win::MulDiv(std::numeric_limits<std::int64_t>::max(), 4, 1), -1);
}

TEST(UpDownRangeTest, RangeMessagePutsUpperInLowHalfAndLowerInHighHalf)
{
    const std::uint32_t range = win::MakeRangeParam(1, 99);
    EXPECT_EQ(range, (1u << 16) | 99u);
    EXPECT_EQ(win::LowWord(range), 99);
    EXPECT_EQ(win::HighWord(range), 1);
    const std::uint32_t wide = win::MakeRangeParam(2, 32767);
    EXPECT_EQ(win::LowWord(wide), 32767);
    EXPECT_EQ(win::HighWord(wide), 2);
    EXPECT_EQ(win::HighWord(win::MakeRangeParam(-5, 5)), -5);
}

TEST(ApiExceptionTest, CarriesTheErrorCode)
{
    try {
        throw win::api::Exception(1814);
    } catch (const win::api::Exception& error) {
        EXPECT_EQ(error.Code(), 1814u);
    }
}

struct IntegerCase {
    const char* text;
    bool accepted;
    int value;
};

TEST(DialogIntegerTest, ReadsSignedIntegersAsTheBalanceFieldDoes)
{
    const IntegerCase cases[] = {
        {"12", true, 12},
        {"  -250 \t", true, -250},
        {"0", true, 0},
        {" 007", true, 7},
        {"9999999999", true, 2147483647},
        {"-9999999999", true, -2147483647 - 1},
        {"", false, 0},
        {"   ", false, 0},
        {"-", false, 0},
        {"+", false, 0},
        {"12abc", false, 0},
        {"1 2", false, 0},
        {"-0", false, 0},
    };
    for (const IntegerCase& c : cases) {
        int value = 12345;
        EXPECT_EQ(win::ParseDialogInteger(c.text, value), c.accepted) << '"' << c.text << '"';
        if (c.accepted) {
            EXPECT_EQ(value, c.value) << '"' << c.text << '"';
        } else {
            EXPECT_EQ(value, 12345) << "a refused text leaves the value";
        }
    }
}

TEST(DialogIntegerTest, ReadsUnsignedIntegersAsTheAmountFieldDoes)
{
    const IntegerCase cases[] = {
        {"250", true, 250},   {" 0 ", true, 0},      {"\t42\t", true, 42}, {"", false, 0},
        {"-1", false, 0},     {"+1", false, 0},      {"4x", false, 0},     {" ", false, 0},
    };
    for (const IntegerCase& c : cases) {
        unsigned value = 777;
        EXPECT_EQ(win::ParseDialogUnsigned(c.text, value), c.accepted) << '"' << c.text << '"';
        if (c.accepted) {
            EXPECT_EQ(value, static_cast<unsigned>(c.value));
        }
    }
    unsigned value = 0;
    ASSERT_TRUE(win::ParseDialogUnsigned("99999999999", value));
    EXPECT_EQ(value, 4294967295u);
}

} // namespace
