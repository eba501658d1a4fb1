#include "ui/chart_source.h"

#include "model/cash_flow_projection.h"
#include "model/firm_forecast.h"

int ProjectionChartSource::GetCount()
{
    return m_projection.GetCount();
}

TimeValue ProjectionChartSource::GetDate(int row)
{
    return m_projection.GetDate(row);
}

std::int64_t ProjectionChartSource::GetDay(int row)
{
    return m_projection.Rows().At(static_cast<std::size_t>(row)).day;
}

std::int64_t ProjectionChartSource::GetBalance(int row)
{
    return m_projection.GetBalance(row);
}

TimeValue ProjectionChartSource::GetStartDate() const
{
    return m_projection.GetStartDate();
}

TimeValue ProjectionChartSource::GetEndDate() const
{
    return m_projection.GetEndDate();
}

unsigned ProjectionChartSource::GetDuration() const
{
    return m_projection.GetDuration();
}

ProjectionSummary IChartSource::Summary()
{
    ProjectionSummaryBuilder summary(0);
    const int count = GetCount();
    for (int row = 0; row < count; ++row)
        summary.Add(GetDay(row), GetBalance(row));
    return summary.Finish(LocalDay(GetEndDate()));
}

ProjectionSummary ProjectionChartSource::Summary()
{
    return SummarizeProjection(m_projection, 0);
}

std::vector<std::int64_t> ProjectionChartSource::GetFirmBalances()
{
    return FirmBalances(m_projection.Rows());
}
