#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <random>
#include <string>

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

// Amounts with grouping commas, against a plain formatting of the number: grouped
// properly they read as the number; with a group of the wrong size, or cents, they are
// refused, and only the cents are taken for a decimal point.
TEST(DialogIntegerTest, GroupingCommasAreReadAsSuchAndAnythingElseIsRefused)
{
    std::mt19937 random(23);
    std::uniform_int_distribution<int> value(std::numeric_limits<int>::min(), std::numeric_limits<int>::max());
    std::uniform_int_distribution<int> coin(0, 1);
    for (int round = 0; round < 3000; ++round) {
        int number = value(random);
        if (round % 3 == 0)
            number /= 1 << std::uniform_int_distribution<int>(0, 30)(random); // short ones too
        const std::string digits = std::to_string(number < 0 ? -static_cast<long long>(number) : number);
        std::string grouped;
        for (std::size_t i = 0; i < digits.size(); ++i) {
            if (i > 0 && (digits.size() - i) % 3 == 0)
                grouped += ',';
            grouped += digits[i];
        }
        const std::string sign = number < 0 ? "-" : number > 0 && coin(random) ? "+" : "";
        const std::string blank = coin(random) ? " " : "";
        const std::string text = blank + sign + grouped + blank;
        int read = 0;
        ASSERT_TRUE(win::ParseDialogInteger(win::WithoutGrouping(text), read)) << text;
        ASSERT_EQ(read, number) << text;
        ASSERT_FALSE(win::HasDecimalPoint(text)) << text;

        const std::string cents = blank + sign + grouped + (coin(random) ? "." : ".50") + blank;
        ASSERT_FALSE(win::ParseDialogInteger(win::WithoutGrouping(cents), read)) << cents;
        ASSERT_TRUE(win::HasDecimalPoint(cents)) << cents;

        // A comma moved by one place, doubled or put first makes a group of the wrong size.
        const std::size_t comma = grouped.find(',');
        if (comma == std::string::npos)
            continue;
        std::string wrong = grouped;
        switch (round % 4) {
        case 0:
            std::swap(wrong[comma], wrong[comma - 1]);
            break;
        case 1:
            std::swap(wrong[comma], wrong[comma + 1]);
            break;
        case 2:
            wrong.insert(comma, ",");
            break;
        default:
            wrong.insert(0, ",");
            break;
        }
        ASSERT_FALSE(win::ParseDialogInteger(win::WithoutGrouping(sign + wrong), read)) << wrong;
        ASSERT_FALSE(win::HasDecimalPoint(sign + wrong)) << wrong;
    }
    EXPECT_TRUE(win::HasDecimalPoint(" .5 "));
    for (const char* text : {".", "-.", "1.2.3", "1.5x", "a.5", "1,50.5"})
        EXPECT_FALSE(win::HasDecimalPoint(text)) << text;
}

} // namespace
