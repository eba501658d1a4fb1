#pragma once

#include "model/dates.h"
#include "model/projection_summary.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The command line: the desktop program, or a forecast, chart or report of the data file
// made without a window.
struct CommandLine {
    enum class Mode { Window, Forecast, Summary, Chart, Report, Version, Help };

    Mode mode = Mode::Window;
    std::optional<std::string> file;
    std::optional<TimeValue> start;
    std::optional<unsigned> months;
    bool csv = false;
    // --below: the summary's threshold instead of the data file's.
    std::optional<std::int64_t> below;
    // --firm: the forecast without the what-if (tentative) transactions.
    bool firm = false;
    std::string chartFile;
    std::string reportFile;
    int width = 600;
    int height = 200;
};

struct CommandLineParse {
    std::optional<CommandLine> commandLine;
    // What is wrong with the words when commandLine is empty.
    std::string error;
};

// Reads the words after the program's name. Options take their value as the next word or
// after '=' (--months=24).
CommandLineParse ParseCommandLine(const std::vector<std::string>& words);

// A start date written exactly as MM/DD/YYYY, naming a real day from the year 1000 on;
// 10:00 of it.
std::optional<TimeValue> ParseStartDate(const std::string& text);

std::string UsageText();
// What `tillane --help` prints.
std::string HelpText();

// One row of the forecast: Date, Description, Amount, Balance, as the Cash Flow list
// shows them.
using ForecastRow = std::array<std::string, 4>;

// The rows under a heading line, in columns: text left-aligned, numbers right-aligned.
std::string FormatForecastText(const std::vector<ForecastRow>& rows);
// A header line "Date,Description,Amount,Balance", then a line per row; fields quoted
// where they hold a comma, a quote or a line break; lines end with LF.
std::string FormatForecastCsv(const std::vector<ForecastRow>& rows);

// What both forecast writers (these and WriteForecast of forecast_output.h) line up and
// quote with. DisplayWidth: code points, for lining up texts that are not plain ASCII.
// CsvField: the text as a CSV field, in quotes with its quotes doubled when it holds a
// comma, a quote or a line end (CsvNeedsQuotes), else as it is.
std::size_t DisplayWidth(std::string_view text);
bool CsvNeedsQuotes(std::string_view text);
std::string CsvField(std::string_view text);

// The summary as labelled lines: Lowest balance, Lowest on, Below <threshold> from (a date
// or "never"); when it went below, Back on (when it came back), Days below and Last below
// on; Closing balance, Closing on; then, with a firm forecast beside it (the projection
// without its what-if transactions), Firm lowest balance and Firm lowest on.
std::string FormatSummaryText(const ProjectionSummary& summary,
                              const std::optional<ProjectionSummary>& firm = std::nullopt);

// The exit status of --summary: 3 when the balance goes below the threshold, else 0.
inline constexpr int kExitBelowThreshold = 3;
