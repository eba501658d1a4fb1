#include "app/command_line.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <utility>

namespace {

bool AllDigits(const std::string& text, std::size_t from, std::size_t count)
{
    for (std::size_t i = from; i < from + count; ++i)
        if (!std::isdigit(static_cast<unsigned char>(text[i])))
            return false;
    return true;
}

std::optional<unsigned> ParseMonths(const std::string& text)
{
    if (text.empty() || text.size() > 2 || !AllDigits(text, 0, text.size()))
        return std::nullopt;
    const unsigned months = static_cast<unsigned>(std::stoi(text));
    if (months < 1 || months > 99)
        return std::nullopt;
    return months;
}

// Whole dollars, a leading '-' allowed, within the range of an amount.
std::optional<std::int64_t> ParseDollars(const std::string& text)
{
    const std::size_t digits = !text.empty() && text[0] == '-' ? 1 : 0;
    if (text.size() == digits || text.size() - digits > 10 || !AllDigits(text, digits, text.size() - digits))
        return std::nullopt;
    const long long value = std::stoll(text);
    if (value < INT32_MIN || value > INT32_MAX)
        return std::nullopt;
    return value;
}

constexpr int kLargestSide = 10000;
constexpr long long kLargestArea = 50'000'000;

bool ParseSize(const std::string& text, int& width, int& height)
{
    const auto cross = text.find('x');
    if (cross == std::string::npos || cross == 0 || cross + 1 == text.size() || cross > 5 ||
        text.size() - cross - 1 > 5)
        return false;
    if (!AllDigits(text, 0, cross) || !AllDigits(text, cross + 1, text.size() - cross - 1))
        return false;
    width = std::stoi(text.substr(0, cross));
    height = std::stoi(text.substr(cross + 1));
    return width >= 16 && height >= 16;
}

// What a screen or a printed page needs, and no more: a larger picture only costs time
// and memory.
bool SizeWithinLimits(int width, int height)
{
    return width <= kLargestSide && height <= kLargestSide && static_cast<long long>(width) * height <= kLargestArea;
}

std::string Pad(const std::string& text, std::size_t width, bool right)
{
    const std::size_t length = DisplayWidth(text);
    const std::string padding(width > length ? width - length : 0, ' ');
    return right ? padding + text : text + padding;
}

constexpr const char* kChooseOneMode = "choose one of --forecast, --summary, --chart, --report, --version and --help";

const ForecastRow kHeadings = {"Date", "Description", "Amount", "Balance"};

} // namespace

std::optional<TimeValue> ParseStartDate(const std::string& text)
{
    if (text.size() != 10 || text[2] != '/' || text[5] != '/' || !AllDigits(text, 0, 2) || !AllDigits(text, 3, 2) ||
        !AllDigits(text, 6, 4))
        return std::nullopt;
    const int month = std::stoi(text.substr(0, 2));
    const int day = std::stoi(text.substr(3, 2));
    const int year = std::stoi(text.substr(6, 4));
    if (year < kEarliestYear || month < 1 || month > 12 || day < 1 || day > DaysInMonth(year, month))
        return std::nullopt;
    return MakeDate(year, month, day);
}

CommandLineParse ParseCommandLine(const std::vector<std::string>& words)
{
    CommandLine line;
    bool sawMode = false, sawSize = false;
    std::vector<std::string> given;
    // An option given twice is a mistake to point out, not a choice to make for the user.
    auto once = [&](const std::string& option) {
        if (std::find(given.begin(), given.end(), option) != given.end())
            return false;
        given.push_back(option);
        return true;
    };
    auto setMode = [&](CommandLine::Mode mode) {
        if (sawMode)
            return false;
        sawMode = true;
        line.mode = mode;
        return true;
    };
    for (std::size_t i = 0; i < words.size(); ++i) {
        std::string option = words[i];
        std::optional<std::string> attached;
        if (const auto equals = option.find('='); option.rfind("--", 0) == 0 && equals != std::string::npos) {
            attached = option.substr(equals + 1);
            option = option.substr(0, equals);
        }
        auto value = [&]() -> std::optional<std::string> {
            if (attached)
                return attached;
            if (i + 1 < words.size())
                return words[++i];
            return std::nullopt;
        };
        auto missing = [&] { return CommandLineParse{std::nullopt, option + " needs a value"}; };
        auto takesNoValue = [&] { return CommandLineParse{std::nullopt, option + " takes no value"}; };
        if ((option == "--file" || option == "--start" || option == "--months" || option == "--size" ||
             option == "--below" || option == "--csv" || option == "--firm") &&
            !once(option))
            return {std::nullopt, option + " is given more than once"};

        if (option == "--help" || option == "-h" || option == "--version" || option == "--forecast" ||
            option == "--summary") {
            if (attached)
                return takesNoValue();
            const auto mode = option == "--forecast"  ? CommandLine::Mode::Forecast
                              : option == "--summary" ? CommandLine::Mode::Summary
                              : option == "--version" ? CommandLine::Mode::Version
                                                      : CommandLine::Mode::Help;
            if (!setMode(mode))
                return {std::nullopt, kChooseOneMode};
        } else if (option == "--chart") {
            const auto path = value();
            if (!path || path->empty())
                return missing();
            if (!setMode(CommandLine::Mode::Chart))
                return {std::nullopt, kChooseOneMode};
            line.chartFile = *path;
        } else if (option == "--report") {
            const auto path = value();
            if (!path || path->empty())
                return missing();
            if (!setMode(CommandLine::Mode::Report))
                return {std::nullopt, kChooseOneMode};
            line.reportFile = *path;
        } else if (option == "--csv") {
            if (attached)
                return takesNoValue();
            line.csv = true;
        } else if (option == "--firm") {
            if (attached)
                return takesNoValue();
            line.firm = true;
        } else if (option == "--file") {
            const auto path = value();
            if (!path || path->empty())
                return missing();
            line.file = *path;
        } else if (option == "--start") {
            const auto text = value();
            if (!text)
                return missing();
            line.start = ParseStartDate(*text);
            if (!line.start)
                return {std::nullopt, "--start wants a date written MM/DD/YYYY, not \"" + *text + "\""};
        } else if (option == "--months") {
            const auto text = value();
            if (!text)
                return missing();
            line.months = ParseMonths(*text);
            if (!line.months)
                return {std::nullopt, "--months wants a number from 1 to 99, not \"" + *text + "\""};
        } else if (option == "--below") {
            const auto text = value();
            if (!text)
                return missing();
            line.below = ParseDollars(*text);
            if (!line.below)
                return {std::nullopt, "--below wants whole dollars such as 500 or -250, not \"" + *text + "\""};
        } else if (option == "--size") {
            const auto text = value();
            if (!text)
                return missing();
            if (!ParseSize(*text, line.width, line.height))
                return {std::nullopt, "--size wants WIDTHxHEIGHT, each at least 16 pixels, not \"" + *text + "\""};
            if (!SizeWithinLimits(line.width, line.height))
                return {std::nullopt, "--size " + *text + " is too large: at most " + std::to_string(kLargestSide) +
                                          " pixels a side and " + std::to_string(kLargestArea / 1'000'000) +
                                          " million pixels in all"};
            sawSize = true;
        } else {
            return {std::nullopt, "unknown option \"" + words[i] + "\""};
        }
    }
    const bool projects = line.mode == CommandLine::Mode::Forecast || line.mode == CommandLine::Mode::Summary ||
                          line.mode == CommandLine::Mode::Chart || line.mode == CommandLine::Mode::Report;
    if ((line.start || line.months) && !projects)
        return {std::nullopt, "--start and --months go with --forecast, --summary, --chart or --report"};
    if (line.firm && !projects)
        return {std::nullopt, "--firm goes with --forecast, --summary, --chart or --report"};
    if (line.below && line.mode != CommandLine::Mode::Summary)
        return {std::nullopt, "--below goes with --summary"};
    if (line.csv && line.mode != CommandLine::Mode::Forecast)
        return {std::nullopt, "--csv goes with --forecast"};
    if (sawSize && line.mode != CommandLine::Mode::Chart)
        return {std::nullopt, "--size goes with --chart"};
    return {line, {}};
}

std::string UsageText()
{
    return "Usage:\n"
           "  tillane [--file PATH]\n"
           "  tillane --forecast [--file PATH] [--start MM/DD/YYYY] [--months N] [--firm] [--csv]\n"
           "  tillane --summary [--file PATH] [--start MM/DD/YYYY] [--months N] [--firm] [--below AMOUNT]\n"
           "  tillane --chart OUT.png [--size WxH] [--file PATH] [--start MM/DD/YYYY] [--months N] [--firm]\n"
           "  tillane --report OUT.pdf [--file PATH] [--start MM/DD/YYYY] [--months N] [--firm]\n"
           "  tillane --version | --help\n";
}

std::size_t DisplayWidth(std::string_view text)
{
    return static_cast<std::size_t>(
        std::count_if(text.begin(), text.end(), [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; }));
}

bool CsvNeedsQuotes(std::string_view text) { return text.find_first_of(",\"\r\n") != std::string_view::npos; }

std::string CsvField(std::string_view text)
{
    if (!CsvNeedsQuotes(text))
        return std::string(text);
    std::string quoted = "\"";
    for (char c : text) {
        if (c == '"')
            quoted += '"';
        quoted += c;
    }
    return quoted + "\"";
}

std::string FormatForecastText(const std::vector<ForecastRow>& rows)
{
    std::array<std::size_t, 4> widths {};
    for (std::size_t c = 0; c < 4; ++c) {
        widths[c] = DisplayWidth(kHeadings[c]);
        for (const auto& row : rows)
            widths[c] = std::max(widths[c], DisplayWidth(row[c]));
    }
    auto line = [&](const ForecastRow& row) {
        return Pad(row[0], widths[0], false) + "  " + Pad(row[1], widths[1], false) + "  " +
               Pad(row[2], widths[2], true) + "  " + Pad(row[3], widths[3], true) + "\n";
    };
    std::string text = line(kHeadings);
    for (const auto& row : rows)
        text += line(row);
    return text;
}

std::string FormatForecastCsv(const std::vector<ForecastRow>& rows)
{
    std::string text = "Date,Description,Amount,Balance\n";
    for (const auto& row : rows)
        text += CsvField(row[0]) + "," + CsvField(row[1]) + "," + CsvField(row[2]) + "," + CsvField(row[3]) + "\n";
    return text;
}

std::string HelpText()
{
    return "Tillane projects your cash flow: from the balances of your accounts and your repeating\n"
           "transactions it lists every payment to come, with the running balance, and draws it.\n"
           "\n" +
           UsageText() +
           "\n"
           "  (no option)         open the Tillane window\n"
           "  --file PATH         use PATH as the data file instead of default.Tillane in your\n"
           "                      documents folder\n"
           "  --forecast          print the projection as the Cash Flow page lists it\n"
           "  --csv               with --forecast: comma-separated values with a header line\n"
           "  --summary           print, from the balance at the end of each day: Lowest balance\n"
           "                      and Lowest on (its first day); Below T from (the first day\n"
           "                      under the warning threshold T, or never), Back on (the first\n"
           "                      day after it back at T or above), Days below and Last below on;\n"
           "                      Closing balance and Closing on (the last row's date)\n"
           "  --below AMOUNT      with --summary: warn below AMOUNT whole dollars (may be negative)\n"
           "                      instead of the data file's \"Warn below\" setting (default 0)\n"
           "  --chart OUT.png     draw the balance chart into a PNG file\n"
           "  --size WxH          with --chart: the picture's size in pixels (default 600x200)\n"
           "  --report OUT.pdf    write the printed report (accounts, chart, forecast) as a PDF\n"
           "  --start MM/DD/YYYY  start the projection on this day (default: the data file's)\n"
           "  --months N          project N months of 31 days, 1 to 99 (default: the data file's)\n"
           "  --firm              leave the what-if (tentative) transactions out; without it they\n"
           "                      count as the others do, and --summary adds Firm lowest balance and\n"
           "                      Firm lowest on, the lowest day without them, when there are some;\n"
           "                      the chart and the report draw that firm forecast as a thin line\n"
           "  --version           print the version\n"
           "  --help              print this help\n"
           "\n"
           "The forecast, the summary, the chart and the report never change the data file or the\n"
           "settings.\n"
           "Exit status: 0 done, 1 the data file cannot be read, is not a Tillane data file or is\n"
           "not there (a file named with --file must exist), or the chart or report cannot be\n"
           "written; 2 bad usage, 3 (--summary) some day of the forecast asked for (with the\n"
           "what-if transactions, or without them with --firm) ends below the threshold, so that a\n"
           "scheduled job can warn: tillane --summary || notify-send \"Tillane: money runs low\"\n";
}

std::string FormatSummaryText(const ProjectionSummary& summary, const std::optional<ProjectionSummary>& firm)
{
    if (!summary.hasRows)
        return "The projection has no rows.\n";
    const std::string threshold = std::to_string(summary.threshold);
    std::vector<std::pair<std::string, std::string>> lines = {
        {"Lowest balance", std::to_string(summary.lowestBalance)},
        {"Lowest on", FormatDate(summary.lowestDate)},
        {"Below " + threshold + " from", summary.below ? FormatDate(summary.below->from) : "never"},
    };
    if (summary.below) {
        if (summary.below->back)
            lines.push_back({"Back on", FormatDate(*summary.below->back)});
        lines.push_back({"Days below", std::to_string(summary.below->days)});
        lines.push_back({"Last below on", FormatDate(summary.below->last)});
    }
    lines.push_back({"Closing balance", std::to_string(summary.closingBalance)});
    lines.push_back({"Closing on", FormatDate(summary.closingDate)});
    if (firm && firm->hasRows) {
        lines.push_back({"Firm lowest balance", std::to_string(firm->lowestBalance)});
        lines.push_back({"Firm lowest on", FormatDate(firm->lowestDate)});
    }

    std::size_t width = 0;
    for (const auto& [label, value] : lines)
        width = std::max(width, label.size());
    std::string text;
    for (const auto& [label, value] : lines)
        text += label + ":" + std::string(width - label.size() + 2, ' ') + value + "\n";
    return text;
}
