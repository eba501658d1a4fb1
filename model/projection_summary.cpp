#include "model/projection_summary.h"

#include "model/cash_flow_projection.h"

ProjectionSummaryBuilder::ProjectionSummaryBuilder(std::int64_t threshold)
{
    m_summary.threshold = threshold;
}

void ProjectionSummaryBuilder::Add(TimeValue date, std::int64_t balance)
{
    const std::size_t row = m_rows++;
    ProjectionSummary& summary = m_summary;
    // Only a strictly lower balance moves the lowest: ties keep the first row.
    if (!summary.hasRows || balance < summary.lowestBalance) {
        summary.lowestBalance = balance;
        summary.lowestRow = row;
        summary.lowestDate = date;
    }
    if (!summary.below) {
        if (balance < summary.threshold)
            summary.below = ProjectionSummary::Dip{row, date, std::nullopt, std::nullopt};
    } else if (!summary.below->back && balance >= summary.threshold) {
        summary.below->backRow = row;
        summary.below->back = date;
    }
    summary.hasRows = true;
    summary.closingBalance = balance;
    summary.closingDate = date;
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
        builder.Add(rows.Date(entry), entry.balance);
    }
    return builder.Result();
}
