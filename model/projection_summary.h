#pragma once

#include "model/dates.h"

#include <cstddef>
#include <cstdint>
#include <optional>

class CashFlowProjection;

// What a projection comes to, in the terms a reader asks first: how low the balance goes
// and when, whether and how long it stays under a chosen threshold, and where it ends.
// Every figure but the closing one is a day's: a day's balance is the one after its last
// row (a dip between two rows of one day does not count), or the day before's when it has
// no rows, and the days run from the window's first through its last.
struct ProjectionSummary {
    // The days below the threshold: the first, the first later day back at the threshold
    // or above (none when it never comes back within the window), how many days of the
    // window are below it, and the last of them.
    struct Below {
        TimeValue from = 0;
        std::optional<TimeValue> back;
        std::int64_t days = 0;
        TimeValue last = 0;
    };

    std::int64_t threshold = 0;
    // False for a projection without rows; everything below is then meaningless.
    bool hasRows = false;
    // The lowest day balance, the first day that has it, and that day's first row.
    std::int64_t lowestBalance = 0;
    TimeValue lowestDate = 0;
    std::size_t lowestRow = 0;
    std::optional<Below> below;
    // The balance after the last row, and that row's date.
    std::int64_t closingBalance = 0;
    TimeValue closingDate = 0;

    bool GoesBelow() const { return below.has_value(); }
};

// Builds a summary from the rows given one by one in projection order, in one pass and
// without keeping them.
class ProjectionSummaryBuilder {
public:
    explicit ProjectionSummaryBuilder(std::int64_t threshold);

    // A row: its local day (see LocalDay), never earlier than the row before's, and the
    // balance after it.
    void Add(std::int64_t day, std::int64_t balance);
    // The summary of the rows added, over a window that ends before endDay. Call once,
    // after the last row.
    ProjectionSummary Finish(std::int64_t endDay);

private:
    // Days [first, end) all close at the balance; row is the first row of the first.
    void CloseDays(std::int64_t first, std::int64_t end, std::int64_t balance, std::size_t row);

    std::int64_t m_threshold;
    std::size_t m_rows = 0;
    // The day of the rows being added, its first row and its balance so far.
    std::int64_t m_day = 0;
    std::size_t m_dayRow = 0;
    std::int64_t m_balance = 0;
    // The figures found so far, in local days.
    std::int64_t m_lowestBalance = 0;
    std::int64_t m_lowestDay = 0;
    std::size_t m_lowestRow = 0;
    std::optional<std::int64_t> m_belowFrom, m_backOn;
    std::int64_t m_daysBelow = 0;
    std::int64_t m_lastBelow = 0;
};

// The summary of a projection's rows as they stand now (their balances brought up to
// date first), over its window.
ProjectionSummary SummarizeProjection(CashFlowProjection& projection, std::int64_t threshold);
