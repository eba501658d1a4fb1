#include "app/command_line.h"

#include "support/tz_guard.h"

#include <gtest/gtest.h>

namespace {

using Mode = CommandLine::Mode;

CommandLine Parsed(const std::vector<std::string>& words)
{
    const auto parse = ParseCommandLine(words);
    EXPECT_TRUE(parse.commandLine) << parse.error;
    return parse.commandLine.value_or(CommandLine {});
}

std::string Refusal(const std::vector<std::string>& words)
{
    const auto parse = ParseCommandLine(words);
    EXPECT_FALSE(parse.commandLine);
    return parse.error;
}

TEST(CommandLine, ReadsEveryModeWithItsOptions)
{
    testing_support::TzGuard zone(testing_support::kEastern);
    EXPECT_EQ(Parsed({}).mode, Mode::Window);
    EXPECT_EQ(Parsed({"--file", "/tmp/x.Tillane"}).file, "/tmp/x.Tillane");
    EXPECT_EQ(Parsed({"--version"}).mode, Mode::Version);
    EXPECT_EQ(Parsed({"--help"}).mode, Mode::Help);

    const CommandLine forecast = Parsed({"--forecast", "--start", "03/07/2026", "--months=24", "--csv"});
    EXPECT_EQ(forecast.mode, Mode::Forecast);
    EXPECT_EQ(forecast.start, MakeDate(2026, 3, 7));
    EXPECT_EQ(forecast.months, 24u);
    EXPECT_TRUE(forecast.csv);

    const CommandLine chart = Parsed({"--chart", "out.png", "--size", "800x16"});
    EXPECT_EQ(chart.mode, Mode::Chart);
    EXPECT_EQ(chart.chartFile, "out.png");
    EXPECT_EQ(chart.width, 800);
    EXPECT_EQ(chart.height, 16);
    EXPECT_EQ(Parsed({"--chart=c.png"}).width, 600);
    EXPECT_EQ(Parsed({"--chart=c.png"}).height, 200);

    const CommandLine report = Parsed({"--report", "r.pdf", "--months", "3", "--start", "03/07/2026"});
    EXPECT_EQ(report.mode, Mode::Report);
    EXPECT_EQ(report.reportFile, "r.pdf");
    EXPECT_EQ(report.months, 3u);
    const CommandLine summary = Parsed({"--summary", "--months", "3", "--below", "-250"});
    EXPECT_EQ(summary.mode, Mode::Summary);
    EXPECT_EQ(summary.below, -250);
    EXPECT_EQ(Parsed({"--summary"}).below, std::nullopt);
    EXPECT_EQ(Parsed({"--summary", "--below=2147483647"}).below, 2147483647);
}

TEST(CommandLine, RefusesBadUsageWithAReason)
{
    EXPECT_EQ(Refusal({"--colour"}), "unknown option \"--colour\"");
    EXPECT_EQ(Refusal({"--forecast", "--months"}), "--months needs a value");
    EXPECT_EQ(Refusal({"--file"}), "--file needs a value");
    EXPECT_NE(Refusal({"--forecast", "--months", "0"}).find("1 to 99"), std::string::npos);
    EXPECT_NE(Refusal({"--forecast", "--months", "100"}).find("1 to 99"), std::string::npos);
    EXPECT_NE(Refusal({"--forecast", "--months", "1x"}).find("1 to 99"), std::string::npos);
    for (const char* date : {"3/7/2026", "2026-03-07", "02/30/2026", "13/01/2026", "03/07/26", "03/07/0999"})
        EXPECT_NE(Refusal({"--forecast", "--start", date}).find("MM/DD/YYYY"), std::string::npos) << date;
    for (const char* size : {"15x200", "600x15", "600", "x200", "600x", "axb", "600X200"})
        EXPECT_NE(Refusal({"--chart", "c.png", "--size", size}).find("16 pixels"), std::string::npos) << size;
    EXPECT_FALSE(Refusal({"--forecast", "--chart", "c.png"}).empty());
    EXPECT_FALSE(Refusal({"--report", "r.pdf", "--forecast"}).empty());
    EXPECT_FALSE(Refusal({"--report", "r.pdf", "--csv"}).empty());
    EXPECT_FALSE(Refusal({"--report", "r.pdf", "--size", "100x100"}).empty());
    EXPECT_EQ(Refusal({"--report"}), "--report needs a value");
    EXPECT_FALSE(Refusal({"--csv"}).empty());
    EXPECT_FALSE(Refusal({"--months", "5"}).empty());
    EXPECT_FALSE(Refusal({"--forecast", "--size", "100x100"}).empty());
    EXPECT_FALSE(Refusal({"--version=2"}).empty());
    for (const char* amount : {"", "-", "1.5", "1e3", "2147483648", "-2147483649", "+5"})
        EXPECT_NE(Refusal({"--summary", "--below", amount}).find("whole dollars"), std::string::npos) << amount;
    EXPECT_FALSE(Refusal({"--below", "5"}).empty());
    EXPECT_FALSE(Refusal({"--summary", "--forecast"}).empty());
}

TEST(CommandLine, AnOptionGivenTwiceIsBadUsage)
{
    for (const std::vector<std::string>& twice : std::vector<std::vector<std::string>> {
             {"--forecast", "--file", "a", "--file=b"},
             {"--forecast", "--start", "01/01/2026", "--start", "01/01/2026"},
             {"--forecast", "--months", "3", "--months=4"},
             {"--chart", "c.png", "--size", "100x100", "--size", "200x200"},
             {"--summary", "--below", "5", "--below=5"},
             {"--forecast", "--csv", "--csv"}})
        EXPECT_NE(Refusal(twice).find("given more than once"), std::string::npos) << twice[2];
}

TEST(CommandLine, AChartSizeIsBoundedBySideAndByArea)
{
    EXPECT_EQ(Parsed({"--chart", "c.png", "--size", "10000x5000"}).width, 10000);
    for (const char* size : {"10001x100", "100x10001", "7072x7071", "99999x99999"})
        EXPECT_NE(Refusal({"--chart", "c.png", "--size", size}).find("at most 10000 pixels a side and 50 million"),
                  std::string::npos)
            << size;
}

TEST(CommandLine, LeapDaysAreRealStartDates)
{
    testing_support::TzGuard zone(testing_support::kEastern);
    EXPECT_EQ(ParseStartDate("02/29/2028"), MakeDate(2028, 2, 29));
    EXPECT_FALSE(ParseStartDate("02/29/2027"));
    EXPECT_EQ(ParseStartDate("12/31/1969"), MakeDate(1969, 12, 31));
}

TEST(ForecastOutput, TextLinesUpColumnsUnderAHeading)
{
    const std::vector<ForecastRow> rows = {
        {"03/07/2026", "Current Accounts", "0", "0"},
        {"03/20/2026", "Café", "-600", "-600"},
    };
    EXPECT_EQ(FormatForecastText(rows),
              "Date        Description       Amount  Balance\n"
              "03/07/2026  Current Accounts       0        0\n"
              "03/20/2026  Café                -600     -600\n");
}

TEST(ForecastOutput, CsvQuotesOnlyWhatNeedsIt)
{
    const std::vector<ForecastRow> rows = {
        {"03/07/2026", "Rent, \"flat\"", "-600", "-600"},
        {"03/08/2026", "Line\nbreak", "5", "-595"},
        {"03/09/2026", "Plain", "5", "-590"},
    };
    EXPECT_EQ(FormatForecastCsv(rows), "Date,Description,Amount,Balance\n"
                                       "03/07/2026,\"Rent, \"\"flat\"\"\",-600,-600\n"
                                       "03/08/2026,\"Line\nbreak\",5,-595\n"
                                       "03/09/2026,Plain,5,-590\n");
}

} // namespace
