// Projects random transactions (every kind of rule, any step, count and day) over a random
// small window and checks the rows against a plain reference that steps each rule through
// its occurrences one index at a time: the same dates for each transaction, in date order,
// behind an opening row, with every balance the one before plus the row's amount.
// Rules the editor can make (a step of one or more) are checked date for date; rules only
// a hand-edited file can hold (a step of zero or less) are checked to stay in the window
// and within their count.
#include "model/cash_flow_projection.h"
#include "model/cashflow_interfaces.h"
#include "model/date_repeater.h"
#include "model/dates.h"
#include "model/transaction_data.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <map>
#include <memory>
#include <vector>

namespace {

// Reads the fuzzer's bytes as small numbers; zeros once they run out.
class Input {
public:
    Input(const std::uint8_t* data, std::size_t size) : m_data(data), m_size(size) {}

    // A number from low to high, both included.
    std::int64_t Range(std::int64_t low, std::int64_t high)
    {
        std::uint32_t value = 0;
        for (int i = 0; i < 3; ++i)
            value = (value << 8) | (m_at < m_size ? m_data[m_at++] : 0);
        return low + static_cast<std::int64_t>(value % static_cast<std::uint64_t>(high - low + 1));
    }
    bool Empty() const { return m_at >= m_size; }

private:
    const std::uint8_t* m_data;
    std::size_t m_size;
    std::size_t m_at = 0;
};

struct Accounts : IAccountsListCtrl {
    std::int64_t total = 0;
    std::int64_t GetTotalBalance() override { return total; }
};

struct Transactions : ITransListCtrl {
    std::vector<std::unique_ptr<TransactionData>> records;
    ICashflowListCtrl* cashflow = nullptr;
    void EditTransaction(int) override {}
    int FindTransaction(const TransactionData* record) override
    {
        for (std::size_t i = 0; i < records.size(); ++i)
            if (records[i].get() == record)
                return static_cast<int>(i);
        return -1;
    }
    int ProjectAllTransactions() override
    {
        for (const auto& record : records)
            ProjectTransactionOccurrences(*cashflow, record->date, record->description, record->amount, record.get(),
                                          *record->repeater);
        return static_cast<int>(records.size());
    }
};

std::unique_ptr<CDateRepeater> RandomRule(Input& input, bool handEdited)
{
    const auto count = static_cast<std::uint32_t>(input.Range(0, 3) == 0 ? 0 : input.Range(1, 60));
    const auto step = [&](std::int32_t most) {
        return static_cast<std::int32_t>(handEdited ? input.Range(-3, 0) : input.Range(1, most));
    };
    switch (input.Range(0, 4)) {
    case RepeatOnce:
        return std::make_unique<CDateRepeaterOnce>();
    case RepeatDaily:
        return std::make_unique<CDateRepeaterDaily>(step(45), count);
    case RepeatWeekly:
        return std::make_unique<CDateRepeaterWeekly>(step(8), count);
    case RepeatMonthly:
        return std::make_unique<CDateRepeaterMonthly>(step(14), count, static_cast<std::int32_t>(input.Range(-1, 31)));
    default:
        return std::make_unique<CDateRepeaterYearly>(step(3), count);
    }
}

// The dates of a rule inside [start, end), stepping its occurrences one by one: a rule
// ends at its count, at an occurrence past the window, and, when an occurrence is not
// later than the one before, at once without a count or once before the window with one.
std::vector<std::uint64_t> ReferenceDays(const TransactionData& record, TimeValue start, TimeValue end)
{
    std::vector<std::uint64_t> days;
    if (record.amount == 0)
        return days;
    const CDateRepeater& rule = *record.repeater;
    TimeValue previous = 0;
    for (std::uint32_t n = 0; n < 1'000'000; ++n) {
        if (rule.count != 0 && n >= rule.count)
            break;
        const TimeValue occurrence = rule.GetOccurrence(record.date, n);
        if (n > 0 && occurrence >= end)
            break;
        if (n > 0 && occurrence <= previous && (rule.count == 0 || occurrence < start))
            break;
        if (occurrence >= start && occurrence < end)
            days.push_back(DayNumber(occurrence));
        previous = occurrence;
    }
    return days;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    Input input(data, size);
    Accounts accounts;
    accounts.total = input.Range(-1'000'000, 1'000'000);
    Transactions transactions;
    const auto months = static_cast<unsigned>(input.Range(1, 12));
    CashFlowProjection projection(accounts, transactions, months, "Opening");
    transactions.cashflow = &projection;

    // Now and then a window at the very end of the years the program handles.
    const std::int64_t year = input.Range(0, 7) == 0 ? input.Range(9998, 9999) : input.Range(1995, 2035);
    const TimeValue start = ToTenOClock(MakeDate(year, input.Range(1, 12), input.Range(1, 31)));
    const auto kinds = input.Range(1, 8);
    std::vector<bool> handEdited;
    for (std::int64_t i = 0; i < kinds && !input.Empty(); ++i) {
        const bool odd = input.Range(0, 5) == 0;
        const TimeValue date = ClampDate(ToTenOClock(AddDays(start, input.Range(-1100, 400))));
        const auto amount = static_cast<std::int32_t>(input.Range(-5, 5) * input.Range(1, 100'000));
        transactions.records.push_back(
            std::make_unique<TransactionData>(date, "T", amount, RandomRule(input, odd)));
        handEdited.push_back(odd);
    }
    projection.SetStartDate(start);

    const TimeValue windowStart = ProjectionStartDate();
    const TimeValue end = std::min(AddDays(windowStart, 31 * static_cast<std::int64_t>(months)), AddDays(LatestDate(), 1));
    if (projection.GetEndDate() != end || projection.IsCapped())
        std::abort();

    // Row 0 opens with the accounts' total; then dates never go back and each balance is
    // the one before plus the row's amount.
    const int rows = projection.GetCount();
    if (rows < 1 || projection.GetTransaction(0) != nullptr || projection.GetBalance(0) != accounts.total)
        std::abort();
    std::map<const TransactionData*, std::vector<std::uint64_t>> seen;
    for (int row = 1; row < rows; ++row) {
        const TimeValue date = projection.GetDate(row);
        if (date < projection.GetDate(row - 1) || date < windowStart || date >= end)
            std::abort();
        if (projection.GetBalance(row) != projection.GetBalance(row - 1) + projection.GetAmount(row))
            std::abort();
        const TransactionData* record = projection.GetTransaction(row);
        if (!record || projection.GetAmount(row) != record->amount)
            std::abort();
        seen[record].push_back(DayNumber(date));
    }

    for (std::size_t i = 0; i < transactions.records.size(); ++i) {
        const TransactionData& record = *transactions.records[i];
        std::vector<std::uint64_t>& days = seen[&record];
        if (handEdited[i]) {
            if (record.amount == 0 ? !days.empty() : record.repeater->count != 0 && days.size() > record.repeater->count)
                std::abort();
            continue;
        }
        if (days != ReferenceDays(record, windowStart, end))
            std::abort();
    }
    return 0;
}
