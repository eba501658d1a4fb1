// Projects random transactions (every kind of rule, any step, count and day, the n-th
// weekday or twice a month, moved off days off or not) over a random small window, with
// random weekend days and holidays, and checks the rows against a plain reference that
// steps each rule through its occurrences one index at a time and walks day by day to the
// business day a move takes it to: the same dates for each transaction, in date order,
// behind an opening row, with every balance the one before plus the row's amount.
// Rules the editor can make (a step of one or more) are checked date for date; rules only
// a hand-edited file can hold (a step of zero or less) are checked to stay in the window
// and within their count.
#include "model/business_calendar.h"
#include "model/cash_flow_projection.h"
#include "model/cashflow_interfaces.h"
#include "model/date_repeater.h"
#include "model/dates.h"
#include "model/occurrence_preview.h"
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
    const auto move = static_cast<BusinessDayMove>(input.Range(0, 3));
    switch (input.Range(0, 4)) {
    case RepeatOnce:
        return std::make_unique<CDateRepeaterOnce>(move);
    case RepeatDaily:
        return std::make_unique<CDateRepeaterDaily>(step(45), count, move);
    case RepeatWeekly:
        return std::make_unique<CDateRepeaterWeekly>(step(8), count, move);
    case RepeatMonthly: {
        MonthlyDays days;
        switch (input.Range(0, 2)) {
        case 1:
            days = {static_cast<std::int32_t>(input.Range(-1, 4)), static_cast<std::int32_t>(input.Range(0, 6)), 0};
            break;
        case 2: days.day2 = static_cast<std::int32_t>(input.Range(0, 32)); break;
        default: break;
        }
        return std::make_unique<CDateRepeaterMonthly>(step(14), count, static_cast<std::int32_t>(input.Range(-1, 31)),
                                                      days, move);
    }
    default:
        return std::make_unique<CDateRepeaterYearly>(step(3), count, move);
    }
}

// Days off: a weekend day, or a holiday's date (a yearly one's month and day).
struct DaysOff {
    std::uint8_t weekend = BusinessCalendar::kDefaultWeekend;
    std::vector<Holiday> holidays;

    bool Off(TimeValue date) const
    {
        if ((weekend >> DayOfWeek(date)) & 1u)
            return true;
        // By the calendar date, which beyond the year 9999 its text would not tell.
        const CalendarDate day = SplitDate(date);
        for (const Holiday& holiday : holidays) {
            const CalendarDate on = SplitDate(holiday.date);
            if (on == day || (holiday.yearly && on.month == day.month && on.day == day.day))
                return true;
        }
        return false;
    }
    TimeValue Moved(TimeValue date, BusinessDayMove move) const
    {
        if (move == BusinessDayMove::Keep || !Off(date))
            return date;
        // Only days the program handles are business days to move to.
        auto open = [&](int k) { return IsDateInRange(AddDays(date, k)) && !Off(AddDays(date, k)); };
        int before = 0, after = 0;
        for (int k = 1; k <= 31 && before == 0; ++k)
            if (open(-k))
                before = k;
        for (int k = 1; k <= 31 && after == 0; ++k)
            if (open(k))
                after = k;
        if (move == BusinessDayMove::Before ||
            (move == BusinessDayMove::Nearest && before != 0 && (after == 0 || before <= after)))
            return before != 0 ? AddDays(date, -before) : date;
        return after != 0 ? AddDays(date, after) : date;
    }
};

// The dates of a rule inside [start, end), stepping its occurrences one by one, each where
// its move takes it: a rule ends at its count, at an occurrence past the reach of a move
// into the window, and, when an occurrence is not later than the one before (a month's
// second date on its first excepted), at once without a count or once before the window
// with one.
std::vector<std::uint64_t> ReferenceDays(const TransactionData& record, TimeValue start, TimeValue end,
                                         const DaysOff& off)
{
    std::vector<std::uint64_t> days;
    if (record.amount == 0)
        return days;
    const CDateRepeater& rule = *record.repeater;
    const bool moves = rule.GetBusinessDay() != BusinessDayMove::Keep;
    const TimeValue from = moves ? AddDays(start, -31) : start;
    const TimeValue to = moves ? AddDays(end, 31) : end;
    const bool twice = rule.GetType() == RepeatMonthly && static_cast<const CDateRepeaterMonthly&>(rule).PerMonth() == 2;
    TimeValue previous = 0;
    for (std::uint32_t n = 0; n < 1'000'000; ++n) {
        if (rule.count != 0 && n >= rule.count)
            break;
        const TimeValue occurrence = rule.GetOccurrence(record.date, n);
        if (n > 0 && occurrence >= to)
            break;
        const bool sameMonthsDay = twice && n % 2 == 1 && occurrence == previous;
        if (n > 0 && occurrence <= previous && !sameMonthsDay && (rule.count == 0 || occurrence < from))
            break;
        const TimeValue taken = off.Moved(occurrence, rule.GetBusinessDay());
        if (taken >= start && taken < end)
            days.push_back(DayNumber(taken));
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
    DaysOff off;
    if (input.Range(0, 1) == 1)
        off.weekend = static_cast<std::uint8_t>(input.Range(0, 127));
    for (std::int64_t h = input.Range(0, 4); h > 0; --h)
        off.holidays.push_back({ClampDate(ToTenOClock(AddDays(start, input.Range(-40, 31 * static_cast<std::int64_t>(months) + 40)))),
                                "H", input.Range(0, 2) == 0});
    projection.SetBusinessCalendar(BusinessCalendar(off.weekend, off.holidays));
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
        if (days != ReferenceDays(record, windowStart, end, off))
            std::abort();
    }
    return 0;
}
