#include "model/firm_forecast.h"

#include "model/cash_flow_projection.h"

namespace {

bool IsTentative(const CashFlowRows::Row& row) { return row.tentative != 0; }

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
        // Without a branch: tentative rows come in no order a processor could guess.
        balance += IsTentative(entry) ? 0 : entry.amount;
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
    // Every row goes in, a tentative one at the firm balance before it: a day it has alone
    // closes as a day without rows would, at the day before's balance, so every figure is
    // the firm forecast's but the closing date, which is its last firm row's. (The lowest
    // row is then a row of the projection.)
    ProjectionSummaryBuilder builder(threshold);
    std::int64_t balance = 0;
    std::int32_t lastFirmDay = 0;
    for (std::size_t row = 0; row < count; ++row) {
        const CashFlowRows::Row& entry = rows.At(row);
        const bool tentative = IsTentative(entry);
        balance += tentative ? 0 : entry.amount;
        lastFirmDay = tentative ? lastFirmDay : entry.day;
        builder.Add(entry.day, balance);
    }
    ProjectionSummary summary = builder.Finish(LocalDay(projection.GetEndDate()));
    summary.closingDate = TenOClockOfLocalDay(lastFirmDay);
    return summary;
}
