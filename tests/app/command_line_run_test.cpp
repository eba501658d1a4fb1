// The command line run for real: the built tillane executable started with a private home,
// its output, errors and exit status compared with what the window's own classes give.
#include "app/command_line.h"
#include "app/forecast.h"
#include "app/forecast_report.h"
#include "app/forecast_rows.h"
#include "app/tillane_app.h"
#include "app/tillane_dlg.h"
#include "storage/configuration.h"
#include "storage/file_locations.h"
#include "ui/cash_flow_pg_dlg.h"
#include "ui/chart_image.h"

#include "support/temp_dir.h"
#include "support/tz_guard.h"
#include "ui/fake_config.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QPdfWriter>

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using testing_support::ReadFileBytes;
using testing_support::TempDir;
using testing_support::WriteFileBytes;

struct Outcome {
    int status = -1; // the exit status, or -1 when the program did not exit normally
    std::string out;
    std::string err;
};

// A data file starting on 1 January 2026 for two months of 31 days, with one account and
// rent on the 31st (the last day of shorter months) and pay every other Friday.
std::string DataFileText(const std::string& rent = "Rent, \"flat\" 2")
{
    return "<TILLANE Format=\"1\">\r\n"
           "<CASHFLOW StartDate=\"01/01/2026\" Duration=\"2\"/>\r\n"
           "<ACCOUNTS>\r\n<ACCOUNT>\r\n<DESCRIPTION>Checking</DESCRIPTION>\r\n<AMOUNT>1000</AMOUNT>\r\n"
           "</ACCOUNT>\r\n</ACCOUNTS>\r\n"
           "<TRANSACTIONS>\r\n"
           "<TRANSACTION Type=\"Monthly\">\r\n<DESCRIPTION>" +
           rent +
           "</DESCRIPTION>\r\n<DATE>01/31/2026</DATE>\r\n<AMOUNT>-600</AMOUNT>\r\n"
           "<REPEAT Type=\"Monthly\" Delta=\"1\" Count=\"0\" Day=\"0\"/>\r\n</TRANSACTION>\r\n"
           "<TRANSACTION Type=\"Weekly\">\r\n<DESCRIPTION>Payday</DESCRIPTION>\r\n<DATE>01/02/2026</DATE>\r\n"
           "<AMOUNT>400</AMOUNT>\r\n<REPEAT Type=\"Weekly\" Delta=\"2\" Count=\"0\"/>\r\n</TRANSACTION>\r\n"
           "</TRANSACTIONS>\r\n</TILLANE>\r\n";
}

class CommandLineRunTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        fs::create_directories(m_home / "Documents");
        fs::create_directories(m_home / "config");
        fs::create_directories(m_runtime.Path());
        fs::permissions(m_runtime.Path(), fs::perms::owner_all);
    }

    // Runs the program with the words, in the private home, with no display; its standard
    // output goes to a file read back, or to the given path.
    Outcome Tillane(const std::vector<std::string>& words, const std::string& standardOutput = {})
    {
        const std::string program = TILLANE_BINARY_DIR "/tillane";
        std::vector<std::string> arguments = {program};
        arguments.insert(arguments.end(), words.begin(), words.end());
        std::vector<std::string> environment = {
            "HOME=" + m_home.Path().string(),
            "XDG_CONFIG_HOME=" + (m_home / "config").string(),
            "TZ=" + std::string(testing_support::kEastern),
            "PATH=/usr/bin:/bin",
        };
        if (m_withRuntimeFolder)
            environment.push_back("XDG_RUNTIME_DIR=" + m_runtime.Path().string());
        if (!m_display.empty())
            environment.push_back("DISPLAY=" + m_display);
        for (const char* name : {"ASAN_OPTIONS", "UBSAN_OPTIONS", "LANG", "LC_ALL"})
            if (const char* value = std::getenv(name))
                environment.push_back(std::string(name) + "=" + value);
        const fs::path out = m_output / "out", err = m_output / "err";

        auto pointers = [](std::vector<std::string>& texts) {
            std::vector<char*> list;
            for (auto& text : texts)
                list.push_back(text.data());
            list.push_back(nullptr);
            return list;
        };
        std::vector<char*> argv = pointers(arguments), envp = pointers(environment);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
        posix_spawn_file_actions_addopen(&actions, 1, standardOutput.empty() ? out.c_str() : standardOutput.c_str(),
                                         O_WRONLY | O_CREAT | O_TRUNC, 0600);
        posix_spawn_file_actions_addopen(&actions, 2, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        // A file-size limit is set here for the program to inherit, with this process
        // ignoring the signal it brings meanwhile and the program getting its default.
        posix_spawnattr_t attributes;
        posix_spawnattr_init(&attributes);
        sigset_t fileSizeSignal;
        sigemptyset(&fileSizeSignal);
        sigaddset(&fileSizeSignal, SIGXFSZ);
        posix_spawnattr_setsigdefault(&attributes, &fileSizeSignal);
        posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGDEF);
        rlimit unlimited {};
        getrlimit(RLIMIT_FSIZE, &unlimited);
        void (*const before)(int) = std::signal(SIGXFSZ, SIG_IGN);
        if (m_fileSizeLimit) {
            const rlimit limited {*m_fileSizeLimit, unlimited.rlim_max};
            setrlimit(RLIMIT_FSIZE, &limited);
        }
        pid_t child = 0;
        const int spawned = posix_spawn(&child, program.c_str(), &actions, &attributes, argv.data(), envp.data());
        setrlimit(RLIMIT_FSIZE, &unlimited);
        std::signal(SIGXFSZ, before);
        posix_spawnattr_destroy(&attributes);
        posix_spawn_file_actions_destroy(&actions);
        Outcome run;
        if (spawned != 0) {
            ADD_FAILURE() << "cannot start " << program;
            return run;
        }
        int status = 0;
        waitpid(child, &status, 0);
        run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        run.out = ReadFileBytes(out);
        run.err = ReadFileBytes(err);
        return run;
    }

    // Every file under the private home.
    std::vector<std::string> FilesInHome() const
    {
        std::vector<std::string> files;
        for (const auto& entry : fs::recursive_directory_iterator(m_home.Path()))
            if (!entry.is_directory())
                files.push_back(entry.path().string());
        return files;
    }

    fs::path HomeDataFile() const { return m_home / "Documents" / "default.Tillane"; }

    testing_support::TzGuard m_zone {testing_support::kEastern};
    TempDir m_home, m_runtime, m_output;
    bool m_withRuntimeFolder = true;
    std::optional<rlim_t> m_fileSizeLimit; // the most a file the program writes may hold
    std::string m_display; // none by default
};

// The data file loaded into a read-only window in this process, as the program loads it;
// the window reads the one path this test process gives the program's data file.
class ReferenceWindow {
public:
    explicit ReferenceWindow(const std::string& text)
    {
        static TempDir folder;
        static const bool overridden = SetDataFilePathOverride((folder / "reference.Tillane").string());
        EXPECT_TRUE(overridden);
        if (text.empty())
            fs::remove(GetDataFilePath());
        else
            WriteFileBytes(GetDataFilePath(), text);
        // As in a program that has just started: a start date set by an earlier window
        // in this process must not carry over.
        ProjectionStartDate() = Today();
        m_storage.emplace();
        m_configuration.emplace(*m_storage);
        m_window.emplace(m_settings, *m_configuration, win::CRect {}, CTillaneDlg::Access::ReadOnly);
        EXPECT_TRUE(m_window->Create(nullptr, win::WS_POPUP | win::WS_CAPTION));
    }

    CCashFlowListCtrl& List() { return m_window->CashFlowPage().CashFlowList(); }
    CTillaneDlg& Window() { return *m_window; }

    // The list's rows as CSV lines.
    std::string Csv()
    {
        std::vector<ForecastRow> rows;
        for (int row = 0; row < List().GetItemCount(); ++row)
            rows.push_back({List().GetItemText(row, 0), List().GetItemText(row, 1), List().GetItemText(row, 2),
                            List().GetItemText(row, 3)});
        return FormatForecastCsv(rows);
    }

private:
    FakeConfig m_settings;
    std::optional<app::Configuration::Storage> m_storage;
    std::optional<app::Configuration> m_configuration;
    std::optional<CTillaneDlg> m_window;
};

TEST_F(CommandLineRunTest, ForecastPrintsTheFileAsTheCashFlowListHoldsIt)
{
    WriteFileBytes(HomeDataFile(), DataFileText());
    const Outcome csv = Tillane({"--forecast", "--csv"});
    EXPECT_EQ(csv.status, 0) << csv.err;
    EXPECT_EQ(csv.err, "");
    // The rent's description is quoted, its quotes doubled; the 31st becomes 28 February.
    EXPECT_NE(csv.out.find("01/31/2026,\"Rent, \"\"flat\"\" 2\",-600,"), std::string::npos) << csv.out;
    EXPECT_NE(csv.out.find("02/28/2026,\"Rent, \"\"flat\"\" 2\",-600,"), std::string::npos) << csv.out;
    EXPECT_EQ(csv.out.rfind("Date,Description,Amount,Balance\n", 0), 0u);
    EXPECT_EQ(csv.out.find('\r'), std::string::npos) << "LF line ends";
    EXPECT_EQ(csv.out, ReferenceWindow(DataFileText()).Csv());

    // The text form: the same rows in columns under a heading line.
    const Outcome text = Tillane({"--forecast"});
    EXPECT_EQ(text.status, 0) << text.err;
    EXPECT_EQ(text.out.rfind("Date        Description", 0), 0u) << text.out;
    EXPECT_NE(text.out.find("02/28/2026  Rent, \"flat\" 2  "), std::string::npos) << text.out;
    EXPECT_EQ(std::count(text.out.begin(), text.out.end(), '\n'), std::count(csv.out.begin(), csv.out.end(), '\n'));
    EXPECT_EQ(ReadFileBytes(HomeDataFile()), DataFileText()) << "the data file is left as it was";
}

// Payments skipped, moved (one from June into the window, one out of it) or changed:
// the command line lists what the window lists, and says nothing of the file.
TEST_F(CommandLineRunTest, ForecastFollowsTheExceptionsAsTheWindowDoes)
{
    std::string text = DataFileText();
    text.insert(text.find("</TRANSACTION>"),
                "<EXCEPTION Date=\"01/31/2026\" MoveTo=\"02/02/2026\" Amount=\"-650\"/>\r\n");
    text.insert(text.rfind("</TRANSACTION>"),
                "<EXCEPTION Date=\"01/16/2026\" Skip=\"1\"/>\r\n<EXCEPTION Date=\"01/20/2026\" Amount=\"5\"/>\r\n"
                "<EXCEPTION Date=\"01/30/2026\" MoveTo=\"03/30/2026\"/>\r\n"
                "<EXCEPTION Date=\"06/05/2026\" MoveTo=\"01/05/2026\" Amount=\"450\"/>\r\n");
    WriteFileBytes(HomeDataFile(), text);
    const Outcome csv = Tillane({"--forecast", "--csv"});
    EXPECT_EQ(csv.status, 0) << csv.err;
    EXPECT_EQ(csv.err, "");
    EXPECT_EQ(csv.out, "Date,Description,Amount,Balance\n"
                       "01/01/2026,Current Accounts,1000,1000\n"
                       "01/02/2026,Payday,400,1400\n"
                       "01/05/2026,Payday,450,1850\n"
                       "02/02/2026,\"Rent, \"\"flat\"\" 2\",-650,1200\n"
                       "02/13/2026,Payday,400,1600\n"
                       "02/27/2026,Payday,400,2000\n"
                       "02/28/2026,\"Rent, \"\"flat\"\" 2\",-600,1400\n");
    EXPECT_EQ(csv.out, ReferenceWindow(text).Csv());
}

// The opening amount in full beyond 32 bits; a date the loader had to mend is said on
// standard error; a rule of four billion entries before the start date ends at once.
TEST_F(CommandLineRunTest, ForecastShowsLargeTotalsInFullAndSaysWhichDatesWereMended)
{
    const std::string text =
        "<TILLANE Format=\"1\">\r\n<CASHFLOW StartDate=\"01/01/2026\" Duration=\"1\"/>\r\n<ACCOUNTS>\r\n"
        "<ACCOUNT><DESCRIPTION>A</DESCRIPTION><AMOUNT>2000000000</AMOUNT></ACCOUNT>\r\n"
        "<ACCOUNT><DESCRIPTION>B</DESCRIPTION><AMOUNT>2000000000</AMOUNT></ACCOUNT>\r\n</ACCOUNTS>\r\n"
        "<TRANSACTIONS>\r\n<TRANSACTION Type=\"Daily\"><DESCRIPTION>Old</DESCRIPTION><DATE>01/01/0999</DATE>"
        "<AMOUNT>5</AMOUNT><REPEAT Type=\"Daily\" Delta=\"0\" Count=\"-294967296\"/></TRANSACTION>\r\n"
        "<TRANSACTION Type=\"Once\"><DESCRIPTION>Pay</DESCRIPTION><DATE>01/02/2026</DATE><AMOUNT>-1</AMOUNT>"
        "<REPEAT Type=\"Once\" Delta=\"1\" Count=\"1\"/></TRANSACTION>\r\n"
        "</TRANSACTIONS>\r\n</TILLANE>\r\n";
    WriteFileBytes(HomeDataFile(), text);
    const Outcome run = Tillane({"--forecast", "--csv"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "Date,Description,Amount,Balance\n"
                       "01/01/2026,Current Accounts,4000000000,4000000000\n"
                       "01/02/2026,Pay,-1,3999999999\n");
    EXPECT_EQ(run.err, "tillane: " + HomeDataFile().string() +
                           ": DATE \"01/01/0999\" of \"Old\" read as 01/01/1000\n");
}

// Every mode says on standard error what a save of the file would change, in the words
// the window uses: the first five differences, then how many more.
TEST_F(CommandLineRunTest, EveryModeSaysWhatASaveWouldChange)
{
    std::string text = "<?xml version=\"1.0\"?>\r\n<!-- budget -->\r\n" + DataFileText("Rent &#65;") + "PS\r\n";
    for (const auto& [from, to] : {std::pair<std::string, std::string> {"Duration=\"2\"", "Duration=\"02\""},
                                   {"<AMOUNT>1000</AMOUNT>", "<AMOUNT>1,000</AMOUNT>"},
                                   {"<TRANSACTION Type=\"Weekly\">", "<TRANSACTION Type=\"Weekly\" Note=\"pay\">"}})
        text.replace(text.find(from), from.size(), to);
    WriteFileBytes(HomeDataFile(), text);
    const std::string prefix = "tillane: " + HomeDataFile().string() + ": ";
    const std::string expected = prefix + "a processing instruction before the document\n" + prefix +
                                 "a comment before the document\n" + prefix + "CASHFLOW Duration \"02\" read as 2\n" +
                                 prefix + "AMOUNT \"1,000\" of \"Checking\" read as 1\n" + prefix +
                                 "reference &#65; in DESCRIPTION of \"Rent &#65;\" read as text\n" + prefix +
                                 "and 2 more differences\n";
    for (const std::vector<std::string>& words :
         {std::vector<std::string> {"--forecast"}, {"--forecast", "--csv"}, {"--summary"},
          {"--chart", (m_output / "c.png").string()}, {"--report", (m_output / "r.pdf").string()}}) {
        const Outcome run = Tillane(words);
        EXPECT_NE(run.status, 1) << words[0];
        EXPECT_EQ(run.err, expected) << words[0];
    }
    EXPECT_EQ(ReadFileBytes(HomeDataFile()), text);
}

TEST_F(CommandLineRunTest, StartAndMonthsChangeTheRowsAsThePageDoes)
{
    WriteFileBytes(HomeDataFile(), DataFileText("Rent"));
    const Outcome run = Tillane({"--forecast", "--csv", "--start", "02/01/2026", "--months", "1"});
    EXPECT_EQ(run.status, 0) << run.err;
    ReferenceWindow reference(DataFileText("Rent"));
    reference.List().SetStartDate(MakeDate(2026, 2, 1));
    reference.List().SetDuration(1);
    EXPECT_EQ(run.out, reference.Csv());
    // February and the first days of March only: no January row, no payday past 4 March.
    EXPECT_EQ(run.out.find("\n01/"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("02/13/2026,Payday,400,"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("02/27/2026,Payday,400,"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("02/28/2026,Rent,-600,"), std::string::npos) << run.out;
    EXPECT_EQ(run.out.find("03/13/2026"), std::string::npos) << run.out;

    const Outcome longer = Tillane({"--forecast", "--csv", "--months=3"});
    EXPECT_EQ(longer.status, 0) << longer.err;
    EXPECT_NE(longer.out.find("03/31/2026,Rent,-600,"), std::string::npos) << longer.out;
    EXPECT_EQ(ReadFileBytes(HomeDataFile()), DataFileText("Rent"));
}

TEST_F(CommandLineRunTest, SummaryTellsHowLowItGoesAndExitsThreeBelowTheThreshold)
{
    // From 1000 on 1 January the pay lifts the balance before the first rent: the
    // opening row is the lowest, and the projection closes on 28 February at 1800.
    WriteFileBytes(HomeDataFile(), DataFileText("Rent"));
    const Outcome above = Tillane({"--summary"});
    EXPECT_EQ(above.status, 0) << above.err;
    EXPECT_EQ(above.out, "Lowest balance:   1000\n"
                         "Lowest on:        01/01/2026\n"
                         "Below 0 from:     never\n"
                         "Closing balance:  1800\n"
                         "Closing on:       02/28/2026\n");

    // The first pay leaves the balance under 1500: back with the second one.
    const Outcome below = Tillane({"--summary", "--below", "1500"});
    EXPECT_EQ(below.status, 3) << below.err;
    EXPECT_EQ(below.out, "Lowest balance:   1000\n"
                         "Lowest on:        01/01/2026\n"
                         "Below 1500 from:  01/01/2026\n"
                         "Back on:          01/16/2026\n"
                         "Days below:       15\n"
                         "Last below on:    01/15/2026\n"
                         "Closing balance:  1800\n"
                         "Closing on:       02/28/2026\n");

    // The file's own threshold counts unless --below overrides it. Started on the day of
    // February's rent, the projection dips under it at once and is not back by the
    // window's last day, 30 March, two pays later.
    std::string warning = DataFileText("Rent");
    warning.replace(warning.find("Duration=\"2\""), 12, "Duration=\"2\" WarnBelow=\"1700\"");
    WriteFileBytes(HomeDataFile(), warning);
    const Outcome fileThreshold = Tillane({"--summary", "--start", "02/28/2026", "--months", "1"});
    EXPECT_EQ(fileThreshold.status, 3) << fileThreshold.err;
    EXPECT_EQ(fileThreshold.out, "Lowest balance:   400\n"
                                 "Lowest on:        02/28/2026\n"
                                 "Below 1700 from:  02/28/2026\n"
                                 "Days below:       31\n"
                                 "Last below on:    03/30/2026\n"
                                 "Closing balance:  1200\n"
                                 "Closing on:       03/27/2026\n");
    EXPECT_EQ(Tillane({"--summary", "--below", "-250"}).status, 0);
    EXPECT_EQ(ReadFileBytes(HomeDataFile()), warning);

    const Outcome bad = Tillane({"--summary", "--below", "12.50"});
    EXPECT_EQ(bad.status, 2);
    EXPECT_NE(bad.err.find("whole dollars"), std::string::npos) << bad.err;
    EXPECT_EQ(Tillane({"--forecast", "--below", "5"}).status, 2);
}

// A car bought on 10 January as a what-if: every mode counts it unless --firm, which
// gives what the file without it gives; the summary adds the firm lowest day.
TEST_F(CommandLineRunTest, WhatIfTransactionsCountUnlessFirmAndTheSummaryAddsTheFirmLowest)
{
    const std::string firm = DataFileText("Rent");
    std::string withCar = firm;
    withCar.insert(withCar.find("<TRANSACTION Type=\"Weekly\">"),
                   "<TRANSACTION Type=\"Once\" Tentative=\"1\">\r\n<DESCRIPTION>Car</DESCRIPTION>\r\n"
                   "<DATE>01/10/2026</DATE>\r\n<AMOUNT>-2000</AMOUNT>\r\n"
                   "<REPEAT Type=\"Once\" Delta=\"1\" Count=\"1\"/>\r\n</TRANSACTION>\r\n");
    const fs::path firmFile = m_output / "firm.Tillane";
    WriteFileBytes(firmFile, firm);
    WriteFileBytes(HomeDataFile(), withCar);

    const Outcome summary = Tillane({"--summary"});
    EXPECT_EQ(summary.status, 3) << summary.err;
    EXPECT_EQ(summary.out, "Lowest balance:       -600\n"
                           "Lowest on:            01/10/2026\n"
                           "Below 0 from:         01/10/2026\n"
                           "Back on:              01/30/2026\n"
                           "Days below:           37\n"
                           "Last below on:        03/03/2026\n"
                           "Closing balance:      -200\n"
                           "Closing on:           02/28/2026\n"
                           "Firm lowest balance:  1000\n"
                           "Firm lowest on:       01/01/2026\n");
    const Outcome firmSummary = Tillane({"--summary", "--firm"});
    EXPECT_EQ(firmSummary.status, 0) << firmSummary.err;
    EXPECT_EQ(firmSummary.out, Tillane({"--summary", "--file", firmFile.string()}).out);

    const Outcome forecast = Tillane({"--forecast", "--csv"});
    EXPECT_EQ(forecast.status, 0) << forecast.err;
    EXPECT_NE(forecast.out.find("01/10/2026,Car,-2000,-600\n"), std::string::npos) << forecast.out;
    EXPECT_EQ(Tillane({"--forecast", "--firm"}).out, Tillane({"--forecast", "--file", firmFile.string()}).out);

    // The chart draws the firm line only beside the what-if bars.
    const fs::path withLine = m_output / "with.png", firmOnly = m_output / "firm.png", plain = m_output / "plain.png";
    ASSERT_EQ(Tillane({"--chart", withLine.string()}).status, 0);
    ASSERT_EQ(Tillane({"--chart", firmOnly.string(), "--firm"}).status, 0);
    ASSERT_EQ(Tillane({"--chart", plain.string(), "--file", firmFile.string()}).status, 0);
    EXPECT_EQ(ReadFileBytes(firmOnly), ReadFileBytes(plain));
    EXPECT_NE(ReadFileBytes(withLine), ReadFileBytes(plain));

    EXPECT_EQ(Tillane({"--version", "--firm"}).status, 2);
    EXPECT_EQ(Tillane({"--forecast", "--firm=1"}).status, 2);
    EXPECT_EQ(ReadFileBytes(HomeDataFile()), withCar);
}

TEST_F(CommandLineRunTest, SummaryOfTheTypicalScheduleIsTheWindowsSummary)
{
    const std::string typical = ReadFileBytes(fs::path(TILLANE_SOURCE_DIR) / "bench" / "data" / "typical.Tillane");
    ASSERT_FALSE(typical.empty());
    WriteFileBytes(HomeDataFile(), typical);
    // The start date is the program's one value: the reference window's file sets it.
    const TimeValue previousStart = ProjectionStartDate();
    ReferenceWindow reference(typical);
    for (const std::int64_t threshold : {std::int64_t {0}, std::int64_t {-1'000'000'000}, std::int64_t {1'000'000'000}}) {
        const Outcome run = Tillane({"--summary", "--below", std::to_string(threshold)});
        const ProjectionSummary expected = SummarizeProjection(reference.List(), threshold);
        EXPECT_EQ(run.out, FormatSummaryText(expected));
        EXPECT_EQ(run.status, expected.GoesBelow() ? 3 : 0) << run.err;
    }
    ProjectionStartDate() = previousStart;
}

TEST_F(CommandLineRunTest, WithoutADataFileTheSampleIsProjectedAndNothingIsWritten)
{
    const Outcome run = Tillane({"--forecast", "--csv"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.out.find(",Payday,400,"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find(",Rent/Mortgage,-600,"), std::string::npos) << run.out;
    EXPECT_EQ(run.out, ReferenceWindow("").Csv());
    EXPECT_EQ(FilesInHome(), std::vector<std::string> {}) << "no data file, no settings";

    EXPECT_EQ(Tillane({"--chart", (m_output / "c.png").string()}).status, 0);
    EXPECT_EQ(FilesInHome(), std::vector<std::string> {});
}

TEST_F(CommandLineRunTest, AFileNamedOnTheCommandLineMustExist)
{
    const fs::path typo = m_output / "mine.Tilane";
    for (const std::vector<std::string>& words :
         {std::vector<std::string> {"--forecast", "--file", typo.string()},
          std::vector<std::string> {"--chart", (m_output / "c.png").string(), "--file", typo.string()}}) {
        const Outcome run = Tillane(words);
        EXPECT_EQ(run.status, 1);
        EXPECT_EQ(run.out, "");
        EXPECT_EQ(run.err, "tillane: no such file: " + typo.string() + "\n");
    }
    EXPECT_FALSE(fs::exists(typo));
    EXPECT_FALSE(fs::exists(m_output / "c.png"));
}

TEST_F(CommandLineRunTest, ChartIsTheWindowsChartAtTheRequestedSize)
{
    WriteFileBytes(HomeDataFile(), DataFileText());
    const fs::path png = m_output / "chart.png";
    const Outcome run = Tillane({"--chart", png.string(), "--size", "403x117", "--start", "01/15/2026", "--months", "3"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "");
    const QImage drawn(QString::fromStdString(png.string()));
    ASSERT_FALSE(drawn.isNull());
    EXPECT_EQ(drawn.size(), QSize(403, 117));

    ReferenceWindow reference(DataFileText());
    reference.List().SetStartDate(MakeDate(2026, 1, 15));
    reference.List().SetDuration(3);
    const QImage expected = RenderChartImage(reference.List(), 403, 117);
    EXPECT_EQ(drawn.convertToFormat(QImage::Format_RGB32), expected.convertToFormat(QImage::Format_RGB32));
    // Not a blank picture: the balance bars are there, in black.
    int black = 0;
    for (int y = 0; y < drawn.height(); ++y)
        for (int x = 0; x < drawn.width(); ++x)
            black += drawn.pixel(x, y) == 0xFF000000;
    EXPECT_GT(black, 100);

    const fs::path fallback = m_output / "default.png";
    EXPECT_EQ(Tillane({"--chart", fallback.string()}).status, 0);
    EXPECT_EQ(QImage(QString::fromStdString(fallback.string())).size(), QSize(600, 200));
}

TEST_F(CommandLineRunTest, AFileThatCannotBeUsedEndsWithStatusOne)
{
    struct Case {
        const char* name;
        std::string text; // empty: a folder stands at the data file's path
        const char* message;
    };
    const std::vector<Case> cases = {
        {"malformed", "<TILLANE Format=\"1\">\r\n<ACCOUNTS>\r\n</TILLANE", "not a well-formed document"},
        {"other XML", "<html><body>hello</body></html>\r\n", "not a Tillane data file"},
        {"unreadable", "", "not a regular file"},
    };
    for (const Case& c : cases) {
        const fs::path path = m_output / c.name;
        if (c.text.empty())
            fs::create_directories(path);
        else
            WriteFileBytes(path, c.text);
        for (const std::vector<std::string>& words :
             {std::vector<std::string> {"--forecast", "--file", path.string()},
              std::vector<std::string> {"--chart", (m_output / "c.png").string(), "--file", path.string()}}) {
            const Outcome run = Tillane(words);
            EXPECT_EQ(run.status, 1) << c.name << ": " << run.err;
            EXPECT_EQ(run.out, "") << c.name;
            EXPECT_NE(run.err.find(path.string()), std::string::npos) << c.name << ": " << run.err;
            EXPECT_NE(run.err.find(c.message), std::string::npos) << c.name << ": " << run.err;
        }
        EXPECT_FALSE(fs::exists(m_output / "c.png")) << c.name;
        if (!c.text.empty()) {
            EXPECT_EQ(ReadFileBytes(path), c.text) << c.name;
        }
    }
    EXPECT_EQ(FilesInHome(), std::vector<std::string> {});

    // A chart that cannot be written is a failure too, with the reason.
    const std::string nowhere = (m_output / "no such folder" / "c.png").string();
    const Outcome chart = Tillane({"--chart", nowhere});
    EXPECT_EQ(chart.status, 1);
    EXPECT_NE(chart.err.find("cannot write the chart to " + nowhere), std::string::npos) << chart.err;
}

TEST_F(CommandLineRunTest, OutputsNeverReplaceTheDataFileNorFailUnsaid)
{
    const fs::path data = m_output / "mine.Tillane";
    WriteFileBytes(data, DataFileText());
    fs::create_symlink(data, m_output / "link.png");
    for (const fs::path& chart : {data, m_output / "link.png"}) {
        const Outcome run = Tillane({"--chart", chart.string(), "--file", data.string()});
        EXPECT_EQ(run.status, 1) << chart;
        EXPECT_NE(run.err.find("cannot write the chart to " + chart.string() + ": that is the data file"),
                  std::string::npos)
            << run.err;
    }
    EXPECT_EQ(ReadFileBytes(data), DataFileText());

    const Outcome full = Tillane({"--chart", "/dev/full", "--file", data.string()});
    EXPECT_EQ(full.status, 1);
    EXPECT_NE(full.err.find("not a regular file"), std::string::npos) << full.err;

    // Printed onto a full device: a failure, with the reason.
    for (const std::vector<std::string>& words :
         {std::vector<std::string> {"--forecast"}, std::vector<std::string> {"--forecast", "--csv"},
          std::vector<std::string> {"--summary"}}) {
        std::vector<std::string> onData = words;
        onData.insert(onData.end(), {"--file", data.string()});
        const Outcome run = Tillane(onData, "/dev/full");
        EXPECT_EQ(run.status, 1) << words.back() << ": " << run.err;
        EXPECT_NE(run.err.find("tillane: cannot write the " + std::string(words[0] == "--summary" ? "summary" : "forecast") +
                               " to standard output: " + std::strerror(ENOSPC)),
                  std::string::npos)
            << words.back() << ": " << run.err;
    }

    // A file-size limit (a quota) reached while writing is a failure with the reason, as
    // a full disk is, and leaves nothing half-written.
    m_fileSizeLimit = 300;
    const fs::path limited = m_output / "limited";
    fs::create_directories(limited);
    for (const std::string what : {"chart", "report", "forecast"}) {
        const fs::path written = limited / (what + ".out");
        const Outcome run = what == "forecast"
                                ? Tillane({"--forecast", "--file", data.string()}, written.string())
                                : Tillane({"--" + what, written.string(), "--file", data.string()});
        EXPECT_EQ(run.status, 1) << what << ": " << run.err;
        const std::string to = what == "forecast" ? "standard output" : written.string();
        EXPECT_NE(run.err.find("cannot write the " + what + " to " + to + ": " + std::strerror(EFBIG)),
                  std::string::npos)
            << what << ": " << run.err;
        if (what != "forecast") {
            EXPECT_TRUE(fs::is_empty(limited)) << what;
        }
        fs::remove(written);
    }
    m_fileSizeLimit.reset();
}

TEST_F(CommandLineRunTest, ADataFileThatIsNotARegularFileIsRefusedAtOnce)
{
    const fs::path pipe = m_output / "pipe.Tillane";
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    for (const fs::path& odd : {pipe, fs::path("/dev/zero")}) {
        const Outcome run = Tillane({"--forecast", "--file", odd.string()});
        EXPECT_EQ(run.status, 1);
        EXPECT_EQ(run.err, "tillane: cannot use the data file " + odd.string() + ": it is not a regular file\n");
    }
}

TEST_F(CommandLineRunTest, BadUsageEndsWithStatusTwoAndTheUsage)
{
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
        {{"--colour"}, "unknown option \"--colour\""},
        {{"--forecast", "--months"}, "--months needs a value"},
        {{"--forecast", "--start", "2026-02-01"}, "MM/DD/YYYY"},
        {{"--forecast", "--start", "02/30/2026"}, "MM/DD/YYYY"},
        {{"--forecast", "--months", "0"}, "1 to 99"},
        {{"--forecast", "--months", "100"}, "1 to 99"},
        {{"--chart", "c.png", "--size", "600x15"}, "16 pixels"},
        {{"--chart", "c.png", "--size", "wide"}, "16 pixels"},
        {{"--summary", "--below", "5", "--below", "-5"}, "--below is given more than once"},
    };
    for (const auto& [words, message] : cases) {
        const Outcome run = Tillane(words);
        EXPECT_EQ(run.status, 2) << words[0] << " " << words.back();
        EXPECT_EQ(run.out, "");
        EXPECT_NE(run.err.find(message), std::string::npos) << run.err;
        EXPECT_NE(run.err.find(UsageText()), std::string::npos) << run.err;
    }
    EXPECT_EQ(FilesInHome(), std::vector<std::string> {});
}

TEST_F(CommandLineRunTest, VersionAndHelpNeedNothingElse)
{
    const Outcome version = Tillane({"--version"});
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out, "tillane " + VersionText() + "\n");
    const Outcome help = Tillane({"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_EQ(help.out, HelpText());
    EXPECT_EQ(help.err, "");
}

TEST_F(CommandLineRunTest, TheWindowWithoutADisplaySaysSoAndHowToGetTheForecast)
{
    const fs::path named = m_output / "named.Tillane";
    WriteFileBytes(named, DataFileText());
    // No display at all, then one named that nothing answers on.
    for (const std::string display : {"", ":1733"}) {
        m_display = display;
        for (const std::vector<std::string>& words : {std::vector<std::string> {}, {"--file", named.string()}}) {
            const Outcome run = Tillane(words);
            EXPECT_EQ(run.status, 1) << display << " " << run.err;
            EXPECT_EQ(run.out, "");
            EXPECT_EQ(run.err.rfind("tillane: the window needs a display", 0), 0u) << run.err;
            EXPECT_NE(run.err.find(display.empty() ? "DISPLAY is not set" : "DISPLAY=" + display), std::string::npos)
                << run.err;
            for (const char* mode : {"tillane --forecast", "tillane --summary"})
                EXPECT_NE(run.err.find(mode), std::string::npos) << run.err;
        }
    }
    // Nothing was started: no sample data file, no settings, the named file as it was.
    EXPECT_EQ(FilesInHome(), std::vector<std::string> {});
    EXPECT_EQ(ReadFileBytes(named), DataFileText());
}

TEST_F(CommandLineRunTest, ForecastAndChartAreSilentOnStandardErrorWithoutARuntimeFolder)
{
    m_withRuntimeFolder = false; // as under cron or a remote shell
    WriteFileBytes(m_home / "Documents" / "default.Tillane", DataFileText());
    const Outcome forecast = Tillane({"--forecast", "--csv"});
    EXPECT_EQ(forecast.status, 0);
    EXPECT_NE(forecast.out, "");
    EXPECT_EQ(forecast.err, "");
    const Outcome chart = Tillane({"--chart", (m_output / "chart.png").string()});
    EXPECT_EQ(chart.status, 0);
    EXPECT_EQ(chart.err, "");
}

// The lines of a PDF's text, each with its runs of spaces made one.
std::vector<std::string> PdfLines(const fs::path& pdf)
{
    std::string text;
    if (FILE* pipe = ::popen(("pdftotext -layout '" + pdf.string() + "' - 2>/dev/null").c_str(), "r")) {
        char block[65536];
        for (std::size_t read; (read = std::fread(block, 1, sizeof block, pipe)) > 0;)
            text.append(block, read);
        ::pclose(pipe);
    }
    std::vector<std::string> lines;
    std::istringstream stream(text);
    for (std::string line; std::getline(stream, line);) {
        std::istringstream words(line);
        std::string joined;
        for (std::string word; words >> word;)
            joined += (joined.empty() ? "" : " ") + word;
        lines.push_back(joined);
    }
    return lines;
}

TEST_F(CommandLineRunTest, ReportHoldsEveryRowInOrderOnTheReportsOwnPages)
{
    const std::string typical = ReadFileBytes(TILLANE_SOURCE_DIR "/bench/data/typical.Tillane");
    WriteFileBytes(HomeDataFile(), typical);
    const fs::path pdf = m_output / "report.pdf";
    const Outcome run = Tillane({"--report", pdf.string(), "--months", "13"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out + run.err, "");
    EXPECT_EQ(ReadFileBytes(HomeDataFile()), typical);

    ReferenceWindow reference(typical);
    reference.List().SetDuration(13);
    const CForecastReport report(reference.Window());
    QPdfWriter measure((m_output / "measure.pdf").string().c_str());
    measure.setPageLayout(CForecastReport::DefaultPage());
    measure.setResolution(300);
    const int pages = report.PageCount(measure);
    ASSERT_GT(pages, 3);

    // Every row, in order; the headings and the page's number on every page.
    const std::vector<std::string> lines = PdfLines(pdf);
    const std::vector<ForecastRow> rows = ForecastRowsOf(reference.List());
    ASSERT_GT(rows.size(), 300u);
    std::size_t at = 0;
    for (const ForecastRow& row : rows) {
        const std::string expected = row[0] + " " + row[1] + " " + row[2] + " " + row[3];
        while (at < lines.size() && lines[at] != expected)
            ++at;
        ASSERT_LT(at, lines.size()) << "missing or out of order: " << expected;
        ++at;
    }
    EXPECT_EQ(std::count(lines.begin(), lines.end(), "Date Description Amount Balance"), pages);
    for (int page = 1; page <= pages; ++page)
        EXPECT_EQ(std::count(lines.begin(), lines.end(), "Page " + std::to_string(page) + " of " + std::to_string(pages)), 1)
            << page;
    EXPECT_NE(std::find(lines.begin(), lines.end(), "Tillane forecast: default.Tillane"), lines.end());
    // The Cash Flow page's summary line, as the page words it.
    std::string summary = CCashFlowPgDlg::SummaryText(reference.Window().CashFlowPage().Summary());
    std::erase(summary, '&');
    EXPECT_NE(std::find(lines.begin(), lines.end(), summary), lines.end()) << summary;
}

TEST_F(CommandLineRunTest, ReportEndsWithTheForecastsStatuses)
{
    const fs::path pdf = m_output / "report.pdf";
    // No data file: the sample's report, and nothing else written.
    EXPECT_EQ(Tillane({"--report", pdf.string()}).status, 0);
    EXPECT_EQ(ReadFileBytes(pdf).rfind("%PDF-", 0), 0u);
    EXPECT_EQ(FilesInHome(), std::vector<std::string> {});

    WriteFileBytes(HomeDataFile(), "<html/>\r\n");
    const fs::path other = m_output / "other.pdf";
    const Outcome notData = Tillane({"--report", other.string()});
    EXPECT_EQ(notData.status, 1);
    EXPECT_NE(notData.err.find("not a Tillane data file"), std::string::npos) << notData.err;
    EXPECT_FALSE(fs::exists(other));

    // The data file is never an output; a folder that is not there is a failure.
    WriteFileBytes(HomeDataFile(), DataFileText());
    const Outcome ontoData = Tillane({"--report", HomeDataFile().string()});
    EXPECT_EQ(ontoData.status, 1);
    EXPECT_NE(ontoData.err.find("cannot write the report to " + HomeDataFile().string()), std::string::npos)
        << ontoData.err;
    EXPECT_EQ(ReadFileBytes(HomeDataFile()), DataFileText());
    EXPECT_EQ(Tillane({"--report", (m_output / "none" / "r.pdf").string()}).status, 1);

    const Outcome usage = Tillane({"--report", pdf.string(), "--csv"});
    EXPECT_EQ(usage.status, 2);
    EXPECT_NE(usage.err.find(UsageText()), std::string::npos);
}

} // namespace
