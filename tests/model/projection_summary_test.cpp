#include "model/projection_summary.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

namespace {

// Rows as a projection holds them: dates in order, the balance after each row.
struct GivenRows {
    std::vector<TimeValue> dates;
    std::vector<std::int64_t> balances;
};

ProjectionSummary Summarize(const GivenRows& rows, std::int64_t threshold)
{
    ProjectionSummaryBuilder builder(threshold);
    for (std::size_t row = 0; row < rows.dates.size(); ++row)
        builder.Add(rows.dates[row], rows.balances[row]);
    return builder.Result();
}

TEST(ProjectionSummaryTest, AgreesWithAPlainScanOnRandomProjections)
{
    std::mt19937 random(20261209);
    int ties = 0, neverBack = 0, openingLowest = 0, openingOnly = 0, staysAbove = 0, recovers = 0;
    for (int round = 0; round < 5000; ++round) {
        GivenRows rows;
        // Few distinct balances and dates, so that ties and same-day rows are common.
        const int count = std::uniform_int_distribution<int>(1, 12)(random);
        TimeValue date = 1'000'000'000;
        for (int row = 0; row < count; ++row) {
            date += 86400 * std::uniform_int_distribution<int>(0, 2)(random);
            rows.dates.push_back(date);
            rows.balances.push_back(std::uniform_int_distribution<int>(-3, 3)(random));
        }
        const std::int64_t threshold = std::uniform_int_distribution<int>(-2, 2)(random);
        const ProjectionSummary summary = Summarize(rows, threshold);

        const auto& balances = rows.balances;
        const auto lowest = std::min_element(balances.begin(), balances.end());
        const auto lowestRow = static_cast<std::size_t>(lowest - balances.begin());
        const auto under = std::find_if(balances.begin(), balances.end(), [&](auto b) { return b < threshold; });
        const auto back = under == balances.end()
                              ? balances.end()
                              : std::find_if(under, balances.end(), [&](auto b) { return b >= threshold; });

        SCOPED_TRACE(round);
        ASSERT_TRUE(summary.hasRows);
        EXPECT_EQ(summary.threshold, threshold);
        EXPECT_EQ(summary.lowestBalance, *lowest);
        EXPECT_EQ(summary.lowestRow, lowestRow);
        EXPECT_EQ(summary.lowestDate, rows.dates[lowestRow]);
        EXPECT_EQ(summary.closingBalance, balances.back());
        EXPECT_EQ(summary.closingDate, rows.dates.back());
        ASSERT_EQ(summary.GoesBelow(), under != balances.end());
        if (summary.GoesBelow()) {
            const auto fromRow = static_cast<std::size_t>(under - balances.begin());
            EXPECT_EQ(summary.below->fromRow, fromRow);
            EXPECT_EQ(summary.below->from, rows.dates[fromRow]);
            ASSERT_EQ(summary.below->back.has_value(), back != balances.end());
            if (back != balances.end()) {
                const auto backRow = static_cast<std::size_t>(back - balances.begin());
                EXPECT_EQ(summary.below->backRow, backRow);
                EXPECT_EQ(summary.below->back, rows.dates[backRow]);
                ++recovers;
            } else {
                ++neverBack;
            }
        } else {
            ++staysAbove;
        }
        ties += std::count(balances.begin(), balances.end(), *lowest) > 1;
        openingLowest += lowestRow == 0 && count > 1;
        openingOnly += count == 1;
    }
    // The random cases do reach the corners that matter.
    EXPECT_GT(ties, 100);
    EXPECT_GT(neverBack, 100);
    EXPECT_GT(recovers, 100);
    EXPECT_GT(staysAbove, 100);
    EXPECT_GT(openingLowest, 100);
    EXPECT_GT(openingOnly, 100);
}

TEST(ProjectionSummaryTest, AProjectionWithoutRowsHasNothingToSay)
{
    const ProjectionSummary summary = Summarize(GivenRows{}, 0);
    EXPECT_FALSE(summary.hasRows);
    EXPECT_FALSE(summary.GoesBelow());
}

} // namespace
