#include "app/forecast_report.h"

#include "app/forecast_rows.h"
#include "app/tillane_dlg.h"
#include "ui/accounts_list_ctrl.h"
#include "ui/cash_flow_list_ctrl.h"
#include "ui/cash_flow_pg_dlg.h"
#include "ui/chart_image.h"

#include <QBuffer>
#include <QFont>
#include <QFontMetricsF>
#include <QPageSize>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <functional>

namespace {

QFont ReportFont(double points, bool bold = false)
{
    // "Arial" resolves to Liberation Sans, the chart's own face.
    QFont font(QStringLiteral("Arial"));
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}

QString Text(const std::string& text) { return QString::fromStdString(text); }

} // namespace

CForecastReport::CForecastReport(CTillaneDlg& window) : m_chart(window.CashFlowPage().CashFlowList())
{
    CCashFlowListCtrl& list = window.CashFlowPage().CashFlowList();
    m_rows = ForecastRowsOf(list);
    m_title = "Tillane forecast: " + std::filesystem::path(window.DataFilePath()).filename().string();
    const unsigned months = list.GetDuration();
    m_dates = FormatDate(list.GetStartDate()) + " to " + FormatDate(AddDays(list.GetEndDate(), -1)) + " (" +
              std::to_string(months) + (months == 1 ? " month" : " months") + " of 31 days)";
    CAccountsListCtrl& accounts = window.AccountsPage().GetAccountsList();
    for (int row = 0; row < accounts.GetItemCount(); ++row)
        m_accounts.emplace_back(accounts.GetItemText(row, 0), accounts.GetItemText(row, 1));
    m_total = std::to_string(accounts.GetTotalBalance());
    // The page's line without its key mark.
    m_summary = CCashFlowPgDlg::SummaryText(window.CashFlowPage().Summary());
    std::erase(m_summary, '&');
}

QPageLayout CForecastReport::DefaultPage()
{
    return QPageLayout(QPageSize(QPageSize::Letter), QPageLayout::Portrait, QMarginsF(36, 36, 36, 36),
                       QPageLayout::Point);
}

int CForecastReport::PageCount(QPagedPaintDevice& device) const { return Flow(device, nullptr, 0); }

bool CForecastReport::Paint(QPagedPaintDevice& device) const
{
    const int pages = PageCount(device);
    QPainter painter;
    if (!painter.begin(&device))
        return false;
    Flow(device, &painter, pages);
    return painter.end();
}

QByteArray CForecastReport::Pdf(const QPageLayout& page) const
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        writer.setPageLayout(page);
        writer.setResolution(300);
        writer.setCreator(QStringLiteral("Tillane"));
        writer.setTitle(Text(m_title));
        if (!Paint(writer))
            return {};
    }
    return buffer.data();
}

int CForecastReport::Flow(QPagedPaintDevice& device, QPainter* painter, int pageCount) const
{
    const double dpi = device.logicalDpiY();
    auto points = [dpi](double value) { return value * dpi / 72.0; };
    const double width = device.width();
    const double height = device.height();

    const QFont titleFont = ReportFont(16, true), plainFont = ReportFont(10), headingFont = ReportFont(11, true),
                totalFont = ReportFont(10, true), tableFont = ReportFont(9), tableHeadingFont = ReportFont(9, true),
                footerFont = ReportFont(8);
    auto lineHeight = [&device](const QFont& font) { return QFontMetricsF(font, &device).lineSpacing(); };
    const double footerHeight = lineHeight(footerFont) + points(6);
    const double bottom = height - footerHeight;

    int page = 1;
    double y = 0;
    auto draw = [&](const QFont& font, double left, double right, int align, const std::string& text) {
        if (!painter)
            return;
        painter->setFont(font);
        QString shown = Text(text);
        if (align & Qt::AlignLeft)
            shown = QFontMetricsF(font, &device).elidedText(shown, Qt::ElideRight, right - left);
        painter->drawText(QRectF(left, y, right - left, lineHeight(font)), align | Qt::AlignVCenter, shown);
    };
    auto footer = [&] {
        if (!painter)
            return;
        painter->setFont(footerFont);
        painter->drawText(QRectF(0, height - lineHeight(footerFont), width, lineHeight(footerFont)), Qt::AlignCenter,
                          QStringLiteral("Page %1 of %2").arg(page).arg(pageCount));
    };
    auto newPage = [&] {
        footer();
        if (painter)
            device.newPage();
        ++page;
        y = 0;
    };
    // Starts a new page unless this much room is left on the current one.
    auto room = [&](double needed) {
        if (y > 0 && y + needed > bottom)
            newPage();
    };

    draw(titleFont, 0, width, Qt::AlignLeft, m_title);
    y += lineHeight(titleFont);
    draw(plainFont, 0, width, Qt::AlignLeft, m_dates);
    y += lineHeight(plainFont) + points(10);

    const double amountRight = width * 0.6;
    room(lineHeight(headingFont) + lineHeight(plainFont));
    draw(headingFont, 0, width, Qt::AlignLeft, "Accounts");
    y += lineHeight(headingFont);
    for (const auto& [description, balance] : m_accounts) {
        room(lineHeight(plainFont));
        draw(plainFont, 0, width * 0.45, Qt::AlignLeft, description);
        draw(plainFont, width * 0.45, amountRight, Qt::AlignRight, balance);
        y += lineHeight(plainFont);
    }
    room(lineHeight(totalFont));
    draw(totalFont, 0, width * 0.45, Qt::AlignLeft, "Total");
    draw(totalFont, width * 0.45, amountRight, Qt::AlignRight, m_total);
    y += lineHeight(totalFont) + points(6);
    room(lineHeight(plainFont));
    draw(plainFont, 0, width, Qt::AlignLeft, m_summary);
    y += lineHeight(plainFont) + points(12);

    // The chart as the window draws it, at the screen's 96 pixels to the inch.
    const double chartHeight = width / 3.5;
    room(chartHeight);
    if (painter) {
        const QImage chart = RenderChartImage(m_chart, static_cast<int>(std::lround(width * 96 / dpi)),
                                              static_cast<int>(std::lround(chartHeight * 96 / dpi)));
        painter->drawImage(QRectF(0, y, width, chartHeight), chart);
    }
    y += chartHeight + points(12);

    // The table: its headings open it and every page it continues on.
    const double columns[5] = {0, width * 0.17, width * 0.64, width * 0.82, width};
    const ForecastRow headings = {"Date", "Description", "Amount", "Balance"};
    const double rowHeight = lineHeight(tableFont);
    const double headingHeight = lineHeight(tableHeadingFont) + points(3);
    auto row = [&](const QFont& font, const ForecastRow& cells) {
        draw(font, columns[0], columns[1] - points(6), Qt::AlignLeft, cells[0]);
        draw(font, columns[1], columns[2] - points(6), Qt::AlignLeft, cells[1]);
        draw(font, columns[2], columns[3], Qt::AlignRight, cells[2]);
        draw(font, columns[3], columns[4], Qt::AlignRight, cells[3]);
    };
    auto headingRow = [&] {
        row(tableHeadingFont, headings);
        if (painter)
            painter->drawLine(QPointF(0, y + lineHeight(tableHeadingFont) + points(1)),
                              QPointF(width, y + lineHeight(tableHeadingFont) + points(1)));
        y += headingHeight;
    };
    room(headingHeight + rowHeight);
    headingRow();
    for (const ForecastRow& cells : m_rows) {
        if (y + rowHeight > bottom) {
            newPage();
            headingRow();
        }
        row(tableFont, cells);
        y += rowHeight;
    }
    footer();
    return page;
}
