#pragma once

#include "app/command_line.h"
#include "model/dates.h"

#include <QByteArray>
#include <QPageLayout>

#include <string>
#include <utility>
#include <vector>

class CTillaneDlg;
class IChartSource;
class QPagedPaintDevice;
class QPainter;

// The printed report of a window's forecast: a title with the data file's name and the
// projection's dates, the accounts and their total, the Cash Flow page's summary line (the
// lowest balance and when), the chart across the page, and the
// forecast's rows in a table whose headings repeat on every page, each page numbered.
// It reads everything from the window when made; painting leaves the window alone, but
// the chart is drawn from the window's cash-flow list, which must outlive the report.
class CForecastReport {
public:
    explicit CForecastReport(CTillaneDlg& window);

    // The pages the report takes on this device (its page size and resolution).
    int PageCount(QPagedPaintDevice& device) const;
    // Paints every page on the device; false when the device cannot be painted on.
    bool Paint(QPagedPaintDevice& device) const;
    // The report as a PDF document laid out on the given page.
    QByteArray Pdf(const QPageLayout& page = DefaultPage()) const;

    // US Letter with half-inch margins: the command line's page.
    static QPageLayout DefaultPage();

    const std::vector<ForecastRow>& Rows() const { return m_rows; }

private:
    // Lays the report out page by page; paints too when given a painter. Returns the
    // number of pages.
    int Flow(QPagedPaintDevice& device, QPainter* painter, int pageCount) const;

    std::string m_title;
    std::string m_dates;
    std::vector<std::pair<std::string, std::string>> m_accounts;
    std::string m_total;
    std::string m_summary;
    std::vector<ForecastRow> m_rows;
    IChartSource& m_chart;
};
