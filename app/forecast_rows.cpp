#include "app/forecast_rows.h"

#include "ui/cash_flow_list_ctrl.h"

std::vector<ForecastRow> ForecastRowsOf(CCashFlowListCtrl& list)
{
    std::vector<ForecastRow> rows;
    const int count = list.GetItemCount();
    rows.reserve(static_cast<std::size_t>(count));
    for (int row = 0; row < count; ++row)
        rows.push_back({list.GetItemText(row, 0), list.GetItemText(row, 1), list.GetItemText(row, 2),
                        list.GetItemText(row, 3)});
    return rows;
}
