#include "model/projection_summary.h"

#include "model/cash_flow_projection.h"

#include <algorithm>
#include <cassert>

ProjectionSummaryBuilder::ProjectionSummaryBuilder(std::int64_t threshold) : m_threshold(threshold) {}

void ProjectionSummaryBuilder::Add(std::int64_t day, std::int64_t balance)
{
    assert(m_rows == 0 || day >= m_day);
    if (m_rows == 0 || day != m_day) {
        // The day before is over: it and the days without rows after it close at its
        // last balance.
        if (m_rows > 0)
            CloseDays(m_day, day, m_balance, m_dayRow);
        m_day = day;
        m_dayRow = m_rows;
    }
    m_balance = balance;
    ++m_rows;
}

void ProjectionSummaryBuilder::CloseDays(std::int64_t first, std::int64_t end, std::int64_t balance,
                                         std::size_t row)
{
    // Only a strictly lower balance moves the lowest: ties keep the first day. A day
    // without rows has the balance of the day before, so the lowest day always has rows.
    if (row == 0 || balance < m_lowestBalance) {
        m_lowestBalance = balance;
        m_lowestDay = first;
        m_lowestRow = row;
    }
    if (balance < m_threshold) {
        if (!m_belowFrom)
            m_belowFrom = first;
        m_daysBelow += end - first;
        m_lastBelow = end - 1;
    } else if (m_belowFrom && !m_backOn) {
        m_backOn = first;
    }
}

ProjectionSummary ProjectionSummaryBuilder::Finish(std::int64_t endDay)
{
    ProjectionSummary summary;
    summary.threshold = m_threshold;
    if (m_rows == 0)
        return summary;
    // The last day with rows and every day after it up to the window's end; a window
    // that ended before the last row still has that row's day.
    CloseDays(m_day, std::max(endDay, m_day + 1), m_balance, m_dayRow);
    summary.hasRows = true;
    summary.lowestBalance = m_lowestBalance;
    summary.lowestDate = TenOClockOfLocalDay(m_lowestDay);
    summary.lowestRow = m_lowestRow;
    if (m_belowFrom) {
        summary.below = ProjectionSummary::Below {
            TenOClockOfLocalDay(*m_belowFrom),
            m_backOn ? std::optional<TimeValue>(TenOClockOfLocalDay(*m_backOn)) : std::nullopt, m_daysBelow,
            TenOClockOfLocalDay(m_lastBelow)};
    }
    summary.closingBalance = m_balance;
    summary.closingDate = TenOClockOfLocalDay(m_day);
    return summary;
}

ProjectionSummary SummarizeProjection(CashFlowProjection& projection, std::int64_t threshold)
{
    // Straight from the rows: reading them one by one through the list's interface would
    // check for pending work on every read and cost several times as much.
    CashFlowRows& rows = projection.Rows();
    const std::size_t count = rows.Count();
    if (count > 0)
        rows.Balance(count - 1); // every balance up to date
    ProjectionSummaryBuilder builder(threshold);
    for (std::size_t row = 0; row < count; ++row) {
        const CashFlowRows::Row& entry = rows.At(row);
        builder.Add(entry.day, entry.balance);
    }
    return builder.Finish(LocalDay(projection.GetEndDate()));
}
