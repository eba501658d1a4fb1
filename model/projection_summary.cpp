#include "model/projection_summary.h"

#include "model/cashflow_interfaces.h"

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

ProjectionSummary SummarizeProjection(ICashflowListCtrl& projection, std::int64_t threshold)
{
    ProjectionSummaryBuilder builder(threshold);
    const int count = projection.GetCount();
    for (int row = 0; row < count; ++row)
        builder.Add(projection.GetDate(row), projection.GetBalance(row));
    return builder.Result();
}
