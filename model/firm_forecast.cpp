#include "model/firm_forecast.h"

#include "model/cash_flow_projection.h"
#include "model/transaction_data.h"

namespace {

bool IsTentative(const CashFlowRows::Row& row) { return row.record && row.record->tentative; }

// The first tentative row, or the row count.
std::size_t FirstTentativeRow(CashFlowRows& rows)
{
    const std::size_t count = rows.Count();
    for (std::size_t row = 0; row < count; ++row)
        if (IsTentative(rows.At(row)))
            return row;
    return count;
}

} // namespace

std::vector<std::int64_t> FirmBalances(CashFlowRows& rows)
{
    const std::size_t count = rows.Count();
    if (FirstTentativeRow(rows) == count)
        return {};
    std::vector<std::int64_t> balances(count);
    std::int64_t balance = 0;
    for (std::size_t row = 0; row < count; ++row) {
        const CashFlowRows::Row& entry = rows.At(row);
        if (!IsTentative(entry))
            balance += entry.amount;
        balances[row] = balance;
    }
    return balances;
}

std::optional<ProjectionSummary> SummarizeFirmForecast(CashFlowProjection& projection, std::int64_t threshold)
{
    CashFlowRows& rows = projection.Rows();
    const std::size_t count = rows.Count();
    if (FirstTentativeRow(rows) == count)
        return std::nullopt;
    ProjectionSummaryBuilder builder(threshold);
    std::int64_t balance = 0;
    for (std::size_t row = 0; row < count; ++row) {
        const CashFlowRows::Row& entry = rows.At(row);
        if (IsTentative(entry))
            continue;
        balance += entry.amount;
        builder.Add(entry.day, balance);
    }
    return builder.Finish(LocalDay(projection.GetEndDate()));
}
