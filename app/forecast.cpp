#include "app/forecast.h"

#include "app/forecast_output.h"
#include "app/forecast_report.h"
#include "app/output_file.h"
#include "app/tillane_dlg.h"
#include "model/firm_forecast.h"
#include "model/projection_summary.h"
#include "storage/config_data_manager.h"
#include "storage/configuration.h"
#include "storage/data_file.h"
#include "storage/file_locations.h"
#include "ui/chart_image.h"
#include "ui/platform/win_app.h"

#include <cerrno>
#include <cstdlib>
#include <iostream>

namespace {

// Writes the text on stdout; false, said on stderr, when it cannot be written.
bool PrintOut(const std::string& text, const std::string& what)
{
    errno = 0;
    std::cout << text;
    std::cout.flush();
    if (std::cout)
        return true;
    std::cerr << StandardOutputFailure(what, errno);
    return false;
}

// The summary of the projection under the threshold: labelled lines on stdout; 0 when
// no day ends below the threshold, 3 when one does, 1 when the output cannot be written.
int PrintSummary(CashFlowProjection& projection, std::int64_t threshold)
{
    const ProjectionSummary summary = SummarizeProjection(projection, threshold);
    if (!PrintOut(FormatSummaryText(summary, SummarizeFirmForecast(projection, threshold)), "summary"))
        return 1;
    return summary.GoesBelow() ? kExitBelowThreshold : 0;
}

class CommandLineApp : public win::CWinApp {
public:
    explicit CommandLineApp(const CommandLine& line) : m_line(line) {}
    int Status() const { return m_status; }

protected:
    bool InitInstance() override
    {
        m_status = Forecast();
        return false;
    }

private:
    int Forecast()
    {
        const std::string path = GetDataFilePath();
        if (m_line.file && NamedFileMissing(path)) {
            std::cerr << "tillane: no such file: " << path << "\n";
            return 1;
        }
        // Read and parsed once: the refusal, the projection length and the window's lists
        // all come from these bytes.
        DataFileReading reading = ReadDataFileOnce(path, {.findDifferences = true});
        const DataFile::Status status = reading.loaded.status;
        if (status == DataFile::Status::Unreadable || status == DataFile::Status::Malformed ||
            status == DataFile::Status::NotDataFile) {
            std::cerr << DataFileRefusal(path, status, reading.loaded.reason);
            return 1;
        }
        DataFileReadingSeed seed(reading);
        app::IConfiguration& configuration = GetConfiguration(seed);

        CTillaneDlg window(GetConfigDataManager(), configuration, win::CRect {}, CTillaneDlg::Access::ReadOnly);
        window.LoadWhenOpening(std::move(reading));
        if (!window.Create(nullptr, win::WS_POPUP | win::WS_CAPTION))
            return 1;
        if (window.DataFileUnreadable()) {
            std::cerr << DataFileRefusal(path, DataFile::Status::Unreadable);
            return 1;
        }
        // The same steps as the Cash Flow page's date buttons and month spin.
        CCashFlowListCtrl& list = window.CashFlowPage().CashFlowList();
        if (m_line.start)
            list.SetStartDate(*m_line.start);
        if (m_line.months)
            list.SetDuration(*m_line.months);
        if (m_line.firm)
            list.SetIncludeTentative(false);
        if (!CheckLoadedProjection(window, std::cerr))
            return 1;

        if (m_line.mode == CommandLine::Mode::Report)
            return WriteReport(window);
        if (m_line.mode == CommandLine::Mode::Summary)
            return PrintSummary(list, m_line.below.value_or(window.CashFlowPage().WarnBelow()));
        if (m_line.mode == CommandLine::Mode::Chart) {
            const QByteArray png = ChartPng(list, m_line.width, m_line.height);
            const app::FileOutcome written =
                png.isEmpty() ? app::FileOutcome::Failed("the picture could not be made")
                              : app::WriteOutputFile(m_line.chartFile, std::string_view(png.constData(), png.size()), path);
            if (!written.ok) {
                std::cerr << "tillane: cannot write the chart to " << m_line.chartFile << ": " << written.reason << "\n";
                return 1;
            }
            return 0;
        }
        std::vector<ForecastRow> rows;
        rows.reserve(static_cast<std::size_t>(list.GetItemCount()));
        for (int row = 0; row < list.GetItemCount(); ++row)
            rows.push_back({list.GetItemText(row, 0), list.GetItemText(row, 1), list.GetItemText(row, 2),
                            list.GetItemText(row, 3)});
        return PrintOut(m_line.csv ? FormatForecastCsv(rows) : FormatForecastText(rows), "forecast") ? 0 : 1;
    }

    // The printed report as a PDF file on US Letter paper.
    int WriteReport(CTillaneDlg& window)
    {
        const QByteArray pdf = CForecastReport(window).Pdf();
        const app::FileOutcome outcome =
            pdf.isEmpty() ? app::FileOutcome::Failed("the report could not be drawn")
                          : app::WriteOutputFile(m_line.reportFile,
                                                 std::string_view(pdf.constData(), static_cast<std::size_t>(pdf.size())),
                                                 GetDataFilePath());
        if (!outcome.ok) {
            std::cerr << "tillane: cannot write the report to " << m_line.reportFile << ": " << outcome.reason << "\n";
            return 1;
        }
        return 0;
    }

    const CommandLine& m_line;
    int m_status = 0;
};

} // namespace

bool CheckLoadedProjection(CTillaneDlg& window, std::ostream& err)
{
    const std::string path = window.DataFilePath();
    err << LoadNotesText(path, window.LoadNotes(), window.LoadDifferences());
    CCashFlowListCtrl& list = window.CashFlowPage().CashFlowList();
    if (!list.IsCapped())
        return true;
    err << ProjectionCapNotice(path, list.GetRowLimit());
    return false;
}

int RunWithoutWindow(const CommandLine& line, int& argc, char** argv)
{
    // No display is needed: the windows are made, never shown.
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    CommandLineApp application(line);
    application.Run(argc, argv);
    return application.Status();
}
