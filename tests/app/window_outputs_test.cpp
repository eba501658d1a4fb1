// The forecast taken out of the window: the CSV export (the command line's bytes), the
// chart's picture, the printed report through the print dialog and the preview, and the
// failures of each reported without touching anything.
#include <gtest/gtest.h>

#include <QImage>
#include <QPdfWriter>
#include <QPrinter>

#include <cstdio>
#include <filesystem>
#include <string>

#include "app/forecast_report.h"
#include "main_window_support.h"
#include "model/dates.h"
#include "support/tz_guard.h"
#include "support/unprivileged_user.h"
#include "ui/cash_flow_list_ctrl.h"
#include "ui/chart_image.h"

namespace {

namespace fs = std::filesystem;
using main_window_testing::MainWindow;
using testing_support::ReadFileBytes;
using testing_support::TempDir;

// What a command prints on its standard output.
std::string Output(const std::string& command)
{
    std::string text;
    if (FILE* pipe = ::popen(command.c_str(), "r")) {
        char block[65536];
        for (std::size_t read; (read = std::fread(block, 1, sizeof block, pipe)) > 0;)
            text.append(block, read);
        ::pclose(pipe);
    }
    return text;
}

int PdfPages(const fs::path& pdf)
{
    const std::string info = Output("pdfinfo '" + pdf.string() + "' 2>/dev/null");
    const auto at = info.find("Pages:");
    return at == std::string::npos ? -1 : std::stoi(info.substr(at + 6));
}

class WindowOutputsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        fs::copy_file(TILLANE_SOURCE_DIR "/bench/data/typical.Tillane", DataFile());
        m_main.emplace(DataFile());
        m_main->Open(m_runner);
        m_main->window->Widget()->show();
        m_main->window->Widget()->resize(700, 500);
        QCoreApplication::sendPostedEvents();
    }

    fs::path DataFile() const { return m_folder / "default.Tillane"; }
    CCashFlowListCtrl& List() { return m_main->window->CashFlowPage().CashFlowList(); }
    // Runs a File command with the save dialog answering path.
    void Export(int command, const fs::path& path)
    {
        m_runner.AnswerNextSaveFileDialog([path](win::SaveFileRequest&) { return path.string(); });
        m_main->window->SendCommand(command);
    }

    testing_support::TzGuard m_zone {testing_support::kEastern};
    TempDir m_folder, m_exports;
    win::ScriptedRunner m_runner;
    std::optional<MainWindow> m_main;
};

TEST_F(WindowOutputsTest, ExportedForecastIsTheCommandLinesCsvForTheSameWindow)
{
    List().SetStartDate(MakeDate(2026, 5, 17));
    List().SetDuration(7);
    Export(res::ID_EXPORT_FORECAST, m_exports / "forecast.csv");

    ASSERT_EQ(m_runner.SaveFileRequests().size(), 1u);
    EXPECT_EQ(m_runner.SaveFileRequests()[0].fileName, "Tillane forecast 05-17-2026.csv");
    EXPECT_TRUE(m_runner.MessageBoxes().empty()) << m_runner.MessageBoxes()[0].text;
    const std::string cli = Output(std::string(TILLANE_BINARY_DIR "/tillane --forecast --csv --file '") +
                                   DataFile().string() + "' --start 05/17/2026 --months 7");
    ASSERT_GT(std::count(cli.begin(), cli.end(), '\n'), 100) << cli;
    EXPECT_EQ(ReadFileBytes(m_exports / "forecast.csv"), cli);

    // The next export starts in the folder the last one went to.
    Export(res::ID_EXPORT_CHART, m_exports / "chart.png");
    ASSERT_EQ(m_runner.SaveFileRequests().size(), 2u);
    EXPECT_EQ(fs::path(m_runner.SaveFileRequests()[1].folder), m_exports.Path());
}

TEST_F(WindowOutputsTest, ExportThatCannotBeWrittenSaysWhereAndWhyAndLeavesNothing)
{
    const fs::path readOnly = m_exports / "read-only";
    fs::create_directory(readOnly);
    fs::permissions(readOnly, fs::perms::owner_read | fs::perms::owner_exec | fs::perms::others_read |
                                  fs::perms::others_exec);
    fs::permissions(m_exports.Path(), fs::perms::owner_all | fs::perms::others_exec);
    {
        testing_support::AsUnprivilegedUser unprivileged;
        Export(res::ID_EXPORT_FORECAST, readOnly / "forecast.csv");
        Export(res::ID_EXPORT_CHART, readOnly / "chart.png");
    }
    ASSERT_EQ(m_runner.MessageBoxes().size(), 2u);
    for (const auto& box : m_runner.MessageBoxes()) {
        EXPECT_NE(box.text.find((readOnly / "").string()), std::string::npos) << box.text;
        EXPECT_NE(box.text.find("Permission denied"), std::string::npos) << box.text;
    }
    EXPECT_TRUE(fs::is_empty(readOnly));

    // The data file is never an output: the export is refused and the file left whole.
    const std::string before = ReadFileBytes(DataFile());
    Export(res::ID_EXPORT_FORECAST, DataFile());
    ASSERT_EQ(m_runner.MessageBoxes().size(), 3u);
    EXPECT_NE(m_runner.MessageBoxes()[2].text.find("data file"), std::string::npos) << m_runner.MessageBoxes()[2].text;
    EXPECT_EQ(ReadFileBytes(DataFile()), before);
}

TEST_F(WindowOutputsTest, ChartPictureHasTheSizeChosenInTheDialogAndTheWindowsDrawing)
{
    const win::CRect chart = m_main->window->Chart().GetClientRect();
    ASSERT_GT(chart.Height(), 16);
    m_runner.AnswerNextSaveFileDialog([this](win::SaveFileRequest& request) {
        request.pictureSize = win::PictureSize {333, 111};
        return (m_exports / "chart.png").string();
    });
    m_main->window->SendCommand(res::ID_EXPORT_CHART);

    ASSERT_EQ(m_runner.SaveFileRequests().size(), 1u);
    const win::SaveFileRequest& asked = m_runner.SaveFileRequests()[0];
    EXPECT_EQ(asked.fileName, "Tillane chart " + FormatDate(List().GetStartDate()).replace(2, 1, "-").replace(5, 1, "-") + ".png");
    const QImage written((m_exports / "chart.png").c_str(), "PNG");
    EXPECT_EQ(written.size(), QSize(333, 111));
    EXPECT_EQ(written.convertToFormat(QImage::Format_RGB32), RenderChartImage(List(), 333, 111));
    // The size offered at first: the chart's on the screen, twice over.
    m_runner.AnswerNextSaveFileDialog([](win::SaveFileRequest&) { return std::nullopt; });
    m_main->window->SendCommand(res::ID_EXPORT_CHART);
    ASSERT_TRUE(m_runner.SaveFileRequests()[1].pictureSize);
    EXPECT_EQ(m_runner.SaveFileRequests()[1].pictureSize->width, chart.Width() * 2);
    EXPECT_EQ(m_runner.SaveFileRequests()[1].pictureSize->height, chart.Height() * 2);
}

TEST_F(WindowOutputsTest, PrintToFileAndPreviewGiveTheReportsPages)
{
    List().SetDuration(13);
    const CForecastReport report(*m_main->window);
    QPdfWriter measure((m_exports / "measure.pdf").string().c_str());
    measure.setPageLayout(CForecastReport::DefaultPage());
    measure.setResolution(1200);
    const int pages = report.PageCount(measure);
    ASSERT_GE(pages, 3);

    const fs::path printed = m_exports / "printed.pdf";
    m_runner.AnswerNextPrintDialog([&printed](QPrinter& printer) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(QString::fromStdString(printed.string()));
        return true;
    });
    m_main->window->KeyDown('P', true, false, false);
    QCoreApplication::sendPostedEvents();
    EXPECT_TRUE(m_runner.MessageBoxes().empty());
    EXPECT_EQ(PdfPages(printed), pages);

    const fs::path previewed = m_exports / "previewed.pdf";
    m_runner.OnNextPrintPreview([&previewed](QPrinter& printer, const std::function<void(QPrinter&)>& paint) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(QString::fromStdString(previewed.string()));
        paint(printer);
    });
    m_main->window->SendCommand(res::ID_FILE_PRINT_PREVIEW);
    EXPECT_EQ(PdfPages(previewed), pages);
}

} // namespace
