#pragma once

#include "model/dates.h"
#include "model/projection_summary.h"

#include <cstdint>
#include <vector>

class CashFlowProjection;

// What the chart reads of the projection, each time it paints: the rows' dates and
// balances (rows in date order, as the projection keeps them), the window of the
// projection, and whether the list that shows the rows has its window yet (before that,
// the chart draws nothing).
class IChartSource {
public:
    virtual int GetCount() = 0;
    virtual TimeValue GetDate(int row) = 0;
    // The local day of the row's date (LocalDay), which the rows hold: rows of one date
    // are told apart from the next without reading the date itself.
    virtual std::int64_t GetDay(int row) { return LocalDay(GetDate(row)); }
    virtual std::int64_t GetBalance(int row) = 0;
    virtual TimeValue GetStartDate() const = 0;
    virtual TimeValue GetEndDate() const = 0;
    // In months of 31 days.
    virtual unsigned GetDuration() const = 0;
    virtual bool HasWindow() const = 0;
    // The firm forecast, drawn as a line over the bars: the balance after each row without
    // the rows of tentative transactions. Empty when no row is of one (nothing to draw).
    virtual std::vector<std::int64_t> GetFirmBalances() { return {}; }
    // How low the balance goes and where it ends, read from the rows (no threshold).
    virtual ProjectionSummary Summary();

protected:
    ~IChartSource() = default;
};

// A projection held without a list, as when the chart is drawn into an image: its rows
// are always there to be drawn.
class ProjectionChartSource final : public IChartSource {
public:
    explicit ProjectionChartSource(CashFlowProjection& projection) : m_projection(projection) {}

    int GetCount() override;
    TimeValue GetDate(int row) override;
    std::int64_t GetDay(int row) override;
    std::int64_t GetBalance(int row) override;
    TimeValue GetStartDate() const override;
    TimeValue GetEndDate() const override;
    unsigned GetDuration() const override;
    bool HasWindow() const override { return true; }
    std::vector<std::int64_t> GetFirmBalances() override;
    ProjectionSummary Summary() override;

private:
    CashFlowProjection& m_projection;
};
