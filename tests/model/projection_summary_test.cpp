#include "model/projection_summary.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

namespace {

// Rows as a projection holds them: local days in order, the balance after each row, and
// the day the window ends before.
struct GivenRows {
    std::vector<std::int64_t> days;
    std::vector<std::int64_t> balances;
    std::int64_t endDay = 0;
};

ProjectionSummary Summarize(const GivenRows& rows, std::int64_t threshold)
{
    ProjectionSummaryBuilder builder(threshold);
    for (std::size_t row = 0; row < rows.days.size(); ++row)
        builder.Add(rows.days[row], rows.balances[row]);
    return builder.Finish(rows.endDay);
}

TEST(ProjectionSummaryTest, AgreesWithADayByDayScanOnRandomProjections)
{
    std::mt19937 random(20261209);
    int ties = 0, neverBack = 0, recovers = 0, severalSpells = 0, staysAbove = 0, dipWithinADay = 0,
        belowOnDaysWithoutRows = 0, openingOnly = 0;
    for (int round = 0; round < 5000; ++round) {
        GivenRows rows;
        // Few distinct balances, several rows a day and days without rows, so that ties,
        // dips between the rows of one day and gaps are common.
        const int count = std::uniform_int_distribution<int>(1, 16)(random);
        const std::int64_t firstDay = 20'000;
        std::int64_t day = firstDay;
        for (int row = 0; row < count; ++row) {
            if (row > 0)
                day += std::uniform_int_distribution<int>(0, 3)(random) / 2 * std::uniform_int_distribution<int>(1, 3)(random);
            rows.days.push_back(day);
            rows.balances.push_back(std::uniform_int_distribution<int>(-3, 3)(random));
        }
        rows.endDay = day + 1 + std::uniform_int_distribution<int>(0, 4)(random);
        const std::int64_t threshold = std::uniform_int_distribution<int>(-2, 2)(random);
        const ProjectionSummary summary = Summarize(rows, threshold);

        // Each day of the window closes at the balance after its last row, or the day
        // before's.
        std::vector<std::int64_t> closing;
        std::size_t next = 0;
        for (std::int64_t d = firstDay; d < rows.endDay; ++d) {
            while (next < rows.days.size() && rows.days[next] == d)
                ++next;
            closing.push_back(rows.balances[next - 1]);
        }
        auto dayAt = [&](std::size_t index) { return TenOClockOfLocalDay(firstDay + std::int64_t(index)); };
        const auto lowest = std::min_element(closing.begin(), closing.end());
        const auto lowestIndex = static_cast<std::size_t>(lowest - closing.begin());
        const auto lowestRow = static_cast<std::size_t>(
            std::find(rows.days.begin(), rows.days.end(), firstDay + std::int64_t(lowestIndex)) - rows.days.begin());
        std::vector<std::size_t> below;
        for (std::size_t i = 0; i < closing.size(); ++i)
            if (closing[i] < threshold)
                below.push_back(i);

        SCOPED_TRACE(round);
        ASSERT_TRUE(summary.hasRows);
        EXPECT_EQ(summary.threshold, threshold);
        EXPECT_EQ(summary.lowestBalance, *lowest);
        EXPECT_EQ(summary.lowestDate, dayAt(lowestIndex));
        ASSERT_LT(lowestRow, rows.days.size()) << "the lowest day has rows";
        EXPECT_EQ(summary.lowestRow, lowestRow);
        EXPECT_EQ(summary.closingBalance, rows.balances.back());
        EXPECT_EQ(summary.closingDate, TenOClockOfLocalDay(rows.days.back()));
        ASSERT_EQ(summary.GoesBelow(), !below.empty());
        if (summary.GoesBelow()) {
            const auto back = std::find_if(closing.begin() + std::ptrdiff_t(below.front()), closing.end(),
                                           [&](auto b) { return b >= threshold; });
            EXPECT_EQ(summary.below->from, dayAt(below.front()));
            EXPECT_EQ(summary.below->days, std::int64_t(below.size()));
            EXPECT_EQ(summary.below->last, dayAt(below.back()));
            ASSERT_EQ(summary.below->back.has_value(), back != closing.end());
            if (back != closing.end()) {
                EXPECT_EQ(summary.below->back, dayAt(std::size_t(back - closing.begin())));
                ++recovers;
                severalSpells += below.back() > std::size_t(back - closing.begin());
            } else {
                ++neverBack;
            }
            belowOnDaysWithoutRows += std::find(rows.days.begin(), rows.days.end(),
                                                firstDay + std::int64_t(below.back())) == rows.days.end();
        } else {
            ++staysAbove;
            dipWithinADay += std::any_of(rows.balances.begin(), rows.balances.end(),
                                         [&](auto b) { return b < threshold; });
        }
        ties += std::count(closing.begin(), closing.end(), *lowest) > 1;
        openingOnly += count == 1;
    }
    // The random cases do reach the corners that matter.
    EXPECT_GT(ties, 100);
    EXPECT_GT(neverBack, 100);
    EXPECT_GT(recovers, 100);
    EXPECT_GT(severalSpells, 100);
    EXPECT_GT(staysAbove, 100);
    EXPECT_GT(dipWithinADay, 100);
    EXPECT_GT(belowOnDaysWithoutRows, 100);
    EXPECT_GT(openingOnly, 100);
}

TEST(ProjectionSummaryTest, AProjectionWithoutRowsHasNothingToSay)
{
    const ProjectionSummary summary = Summarize(GivenRows {}, 0);
    EXPECT_FALSE(summary.hasRows);
    EXPECT_FALSE(summary.GoesBelow());
}

} // namespace
