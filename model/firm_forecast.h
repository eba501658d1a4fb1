#pragma once

#include "model/projection_summary.h"

#include <cstdint>
#include <optional>
#include <vector>

class CashFlowProjection;
class CashFlowRows;

// The firm forecast: the projection as it would be without its tentative ("what-if")
// transactions, read off the rows of a projection that includes them, in one more pass
// over those rows, so that both futures come from one projection. Leaving a transaction
// out changes no other row and no order within a day: the firm forecast's rows are the
// others, with balances that do not count the tentative amounts.

// The balance after each row without the amounts of tentative rows (a tentative row keeps
// the firm balance before it); empty when no row is of a tentative transaction.
std::vector<std::int64_t> FirmBalances(CashFlowRows& rows);

// The summary of the firm forecast, as SummarizeProjection gives it for a projection that
// leaves the tentative transactions out; none when no row is of a tentative transaction.
// Its lowestRow is a row of this projection: the first of the lowest day.
std::optional<ProjectionSummary> SummarizeFirmForecast(CashFlowProjection& projection, std::int64_t threshold);
