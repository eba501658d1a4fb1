#include "app/forecast_output.h"

#include "model/cash_flow_projection.h"
#include "model/firm_forecast.h"
#include "model/projection_summary.h"
#include "model/transaction_schedule.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <charconv>

#include <sys/stat.h>

namespace {

// The opening row's description, as the cash-flow list names it.
constexpr const char* kOpeningDescription = "Current Accounts";

// Most fields need no quotes: they go out as they are, without a copy.
void AppendCsvField(OutputBuffer& out, std::string_view text)
{
    if (CsvNeedsQuotes(text))
        out.Append(CsvField(text));
    else
        out.Append(text);
}

// One row's four texts, made once per row from its typed values.
class RowTexts {
public:
    explicit RowTexts(CashFlowRows& rows) : m_rows(rows) {}

    void Load(std::size_t index)
    {
        const CashFlowRows::Row& row = m_rows.At(index);
        if (!m_hasDate || row.day != m_day) {
            m_day = row.day;
            m_hasDate = true;
            m_dateLength = FormatLocalDayInto(row.day, m_dateText.data());
        }
        if (const std::string& description = m_rows.Description(row); &description != m_descriptionOwner) {
            m_descriptionOwner = &description;
            m_descriptionWidth = DisplayWidth(description);
        }
        m_amountLength = static_cast<std::size_t>(
            std::to_chars(m_amountText.data(), m_amountText.data() + m_amountText.size(), row.amount).ptr -
            m_amountText.data());
        const std::int64_t balance = m_rows.Balance(index);
        m_balanceLength = static_cast<std::size_t>(
            std::to_chars(m_balanceText.data(), m_balanceText.data() + m_balanceText.size(), balance).ptr -
            m_balanceText.data());
    }

    std::string_view Date() const { return {m_dateText.data(), m_dateLength}; }
    std::string_view Description() const { return *m_descriptionOwner; }
    std::size_t DescriptionWidth() const { return m_descriptionWidth; }
    std::string_view Amount() const { return {m_amountText.data(), m_amountLength}; }
    std::string_view Balance() const { return {m_balanceText.data(), m_balanceLength}; }

private:
    CashFlowRows& m_rows;
    std::int32_t m_day = 0;
    bool m_hasDate = false;
    std::array<char, kFormattedDateMaximum> m_dateText{};
    std::size_t m_dateLength = 0;
    const std::string* m_descriptionOwner = nullptr;
    std::size_t m_descriptionWidth = 0;
    std::array<char, 24> m_amountText{};
    std::size_t m_amountLength = 0;
    std::array<char, 24> m_balanceText{};
    std::size_t m_balanceLength = 0;
};

void WriteCsv(CashFlowRows& rows, OutputBuffer& out)
{
    out.Append("Date,Description,Amount,Balance\n");
    RowTexts texts(rows);
    for (std::size_t row = 0; row < rows.Count(); ++row) {
        texts.Load(row);
        AppendCsvField(out, texts.Date());
        out.Append(",");
        AppendCsvField(out, texts.Description());
        out.Append(",");
        out.Append(texts.Amount());
        out.Append(",");
        out.Append(texts.Balance());
        out.Append("\n");
    }
}

std::size_t NumberWidth(std::int64_t number)
{
    std::array<char, 24> text{};
    return static_cast<std::size_t>(std::to_chars(text.data(), text.data() + text.size(), number).ptr - text.data());
}

void WriteColumns(CashFlowRows& rows, OutputBuffer& out)
{
    std::array<std::size_t, 4> widths = {4, 11, 6, 7}; // the headings'
    // The widest number of a column is its least or its greatest; dates and descriptions
    // are measured once for each run of rows that share them.
    const std::size_t count = rows.Count();
    std::int64_t amounts[2] = {0, 0}, balances[2] = {0, 0};
    if (count > 0)
        rows.Balance(count - 1); // every balance up to date
    std::array<char, kFormattedDateMaximum> date{};
    std::int32_t lastDay = 0;
    std::uint32_t lastDescription = 0;
    for (std::size_t index = 0; index < count; ++index) {
        const CashFlowRows::Row& row = rows.At(index);
        if (index == 0 || row.day != lastDay) {
            lastDay = row.day;
            widths[0] = std::max(widths[0], DisplayWidth({date.data(), FormatLocalDayInto(row.day, date.data())}));
        }
        if (index == 0 || row.description != lastDescription) {
            lastDescription = row.description;
            widths[1] = std::max(widths[1], DisplayWidth(rows.Description(row)));
        }
        amounts[0] = std::min(amounts[0], row.amount);
        amounts[1] = std::max(amounts[1], row.amount);
        balances[0] = std::min(balances[0], row.balance);
        balances[1] = std::max(balances[1], row.balance);
    }
    if (count > 0) {
        widths[2] = std::max({widths[2], NumberWidth(amounts[0]), NumberWidth(amounts[1])});
        widths[3] = std::max({widths[3], NumberWidth(balances[0]), NumberWidth(balances[1])});
    }
    RowTexts texts(rows);
    auto line = [&](std::string_view date, std::string_view description, std::size_t descriptionWidth,
                    std::string_view amount, std::string_view balance) {
        const std::size_t dateWidth = DisplayWidth(date);
        out.Append(date);
        out.Append(' ', widths[0] - dateWidth + 2);
        out.Append(description);
        out.Append(' ', widths[1] - descriptionWidth + 2);
        out.Append(' ', widths[2] - amount.size());
        out.Append(amount);
        out.Append(' ', 2 + widths[3] - balance.size());
        out.Append(balance);
        out.Append("\n");
    };
    line("Date", "Description", 11, "Amount", "Balance");
    for (std::size_t row = 0; row < rows.Count(); ++row) {
        texts.Load(row);
        line(texts.Date(), texts.Description(), texts.DescriptionWidth(), texts.Amount(), texts.Balance());
    }
}

} // namespace

OutputBuffer::OutputBuffer(std::FILE* stream) : m_stream(stream), m_data(new char[kBlock]) {}

OutputBuffer::~OutputBuffer() { Drain(); }

void OutputBuffer::Drain()
{
    Write(std::string_view(m_data.get(), m_size));
    m_size = 0;
}

void OutputBuffer::Write(std::string_view text)
{
    if (text.empty() || m_failed)
        return;
    errno = 0;
    if (std::fwrite(text.data(), 1, text.size(), m_stream) != text.size()) {
        m_failed = true;
        m_error = errno;
    }
}

void OutputBuffer::AppendBeyondBlock(std::string_view text)
{
    Drain();
    if (text.size() > kBlock) {
        Write(text);
        return;
    }
    std::memcpy(m_data.get(), text.data(), text.size());
    m_size = text.size();
}

bool OutputBuffer::Finish()
{
    Drain();
    errno = 0;
    if ((std::fflush(m_stream) != 0 || std::ferror(m_stream)) && !m_failed) {
        m_failed = true;
        m_error = errno;
    }
    return !m_failed;
}

void WriteForecast(CashFlowProjection& projection, bool csv, OutputBuffer& out)
{
    if (csv)
        WriteCsv(projection.Rows(), out);
    else
        WriteColumns(projection.Rows(), out);
}

std::string DataFileRefusal(const std::string& path, DataFile::Status status, const std::string& reason)
{
    if (status == DataFile::Status::Unreadable && !reason.empty())
        return "tillane: cannot use the data file " + path + ": " + reason + "\n";
    const char* why = status == DataFile::Status::Unreadable ? "it cannot be read"
                      : status == DataFile::Status::Malformed ? "it is not a well-formed document"
                                                              : "it is not a Tillane data file";
    return "tillane: cannot use the data file " + path + ": " + why + "\n";
}

bool NamedFileMissing(const std::string& path)
{
    struct stat info {};
    return ::stat(path.c_str(), &info) != 0 && errno == ENOENT;
}

std::string StandardOutputFailure(const std::string& what, int error)
{
    return "tillane: cannot write the " + what + " to standard output: " +
           (error != 0 ? std::strerror(error) : "the write failed") + "\n";
}

std::string ProjectionCapNotice(const std::string& path, std::size_t limit)
{
    return "tillane: the projection of " + path + " stops at its limit of " + std::to_string(limit) +
           " rows; a transaction repeats more often than any real one would (a step of 0, say)\n";
}

std::string LoadNotesText(const std::string& path, const DataFile::Notes& notes, std::size_t differences)
{
    std::string text;
    for (const std::string& note : notes)
        text += "tillane: " + path + ": " + note + "\n";
    if (differences > notes.size())
        text += "tillane: " + path + ": and " + std::to_string(differences - notes.size()) + " more difference" +
                (differences - notes.size() == 1 ? "" : "s") + "\n";
    return text;
}

int RunForecast(const CommandLine& line, const std::string& path, std::FILE* out, std::FILE* err)
{
    if (line.file && NamedFileMissing(path)) {
        std::fprintf(err, "tillane: no such file: %s\n", path.c_str());
        return 1;
    }
    const TimeValue today = Today();
    DataFile::LoadResult loaded = DataFile::LoadFile(path, today);
    if (loaded.status == DataFile::Status::Unreadable || loaded.status == DataFile::Status::Malformed ||
        loaded.status == DataFile::Status::NotDataFile) {
        std::fputs(DataFileRefusal(path, loaded.status, loaded.reason).c_str(), err);
        return 1;
    }

    DataFile::Contents& contents = loaded.contents;
    TransactionSchedule schedule;
    // The window's first run starts with the sample data.
    if (loaded.status == DataFile::Status::Missing)
        contents = DataFile::SampleContents(today);
    TimeValue start = contents.startDate.value_or(today);
    for (const DataFile::Account& account : contents.accounts)
        schedule.AddAccount(account.balance);
    for (DataFile::Transaction& transaction : contents.transactions) {
        auto record = std::make_unique<TransactionData>(
            transaction.date, std::move(transaction.description), transaction.amount,
            transaction.rule ? std::move(transaction.rule) : std::make_unique<CDateRepeaterOnce>());
        record->tentative = transaction.tentative;
        record->exceptions = std::move(transaction.exceptions);
        schedule.AddTransaction(std::move(record));
    }
    if (line.start)
        start = *line.start;
    const unsigned duration = line.months ? *line.months : contents.duration;

    std::fputs(LoadNotesText(path, loaded.notes, loaded.differences).c_str(), err);
    ProjectionStartDate() = ClampDate(start);
    CashFlowProjection projection(schedule, schedule, duration, kOpeningDescription);
    schedule.SetProjection(projection);
    projection.SetBusinessCalendar(BusinessCalendar(contents.weekendDays, std::move(contents.holidays)));
    projection.SetIncludeTentative(!line.firm);
    projection.Rebuild();
    if (projection.IsCapped()) {
        std::fputs(ProjectionCapNotice(path, projection.GetRowLimit()).c_str(), err);
        return 1;
    }

    OutputBuffer buffer(out);
    if (line.mode == CommandLine::Mode::Summary) {
        const std::int64_t threshold = line.below.value_or(contents.warnBelow);
        const ProjectionSummary summary = SummarizeProjection(projection, threshold);
        buffer.Append(FormatSummaryText(summary, SummarizeFirmForecast(projection, threshold)));
        if (!buffer.Finish()) {
            std::fputs(StandardOutputFailure("summary", buffer.Error()).c_str(), err);
            return 1;
        }
        return summary.GoesBelow() ? kExitBelowThreshold : 0;
    }
    WriteForecast(projection, line.csv, buffer);
    if (!buffer.Finish()) {
        std::fputs(StandardOutputFailure("forecast", buffer.Error()).c_str(), err);
        return 1;
    }
    return 0;
}
