#include "model/cash_flow_projection.h"
#include "model/date_repeater.h"
#include "model/occurrence_preview.h"
#include "model/payment_exceptions.h"
#include "model/firm_forecast.h"
#include "model/projection_summary.h"
#include "model/transaction_data.h"

#include "support/tz_guard.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <ctime>
#include <limits>
#include <list>
#include <optional>
#include <memory>
#include <random>
#include <set>
#include <string>
#include <vector>

namespace {

using testing_support::kEastern;
using testing_support::TzGuard;

// The projection done literally, one text row at a time: binary search over the date
// texts, balances recomputed from the texts, nothing cached, every occurrence of a rule
// with a count tried in turn, and a row limit that refuses entries once reached. The fast
// projection must give exactly the same rows.
class LiteralCashflow : public ICashflowListCtrl {
public:
    struct TextRow {
        std::string date, description, amount, balance;
        TransactionData* record = nullptr;
    };

    LiteralCashflow(IAccountsListCtrl& accounts, unsigned duration) : m_accounts(accounts), m_duration(duration) {}

    int InsertEntry(TimeValue date, const std::string& description, std::int32_t amount, TransactionData* record,
                    bool recalculate) override
    {
        if (date < ProjectionStartDate() || date >= GetEndDate())
            return -1;
        if (rows.size() >= limit) {
            capped = true;
            return -1;
        }
        int position = 0;
        if (!rows.empty()) {
            int lo = 0, hi = GetCount() - 1;
            while (lo != hi) {
                const int mid = lo + (hi - lo) / 2;
                if (date >= GetDate(mid))
                    lo = mid + 1;
                else
                    hi = mid;
            }
            position = date >= GetDate(hi) ? hi + 1 : lo;
        }
        rows.insert(rows.begin() + position, TextRow{FormatDate(date), description, std::to_string(amount), "", record});
        if (recalculate)
            Recalculate(position);
        return position;
    }
    TimeValue GetEndDate() const override
    {
        return std::min(AddDays(ProjectionStartDate(), 31 * std::int64_t(m_duration)), MakeDate(10000, 1, 1));
    }
    int GetCount() override { return static_cast<int>(rows.size()); }
    std::int64_t GetBalance(int row) override { return ReadLong(rows[std::size_t(row)].balance); }
    TimeValue GetDate(int row) override { return *ParseDate(rows[std::size_t(row)].date); }
    TransactionData* GetTransaction(int row) override { return rows[std::size_t(row)].record; }
    void Recalculate(int first) override
    {
        // The opening amount is set by the recalculation that follows its insertion.
        if (rows.empty())
            InsertEntry(ProjectionStartDate(), "Current Accounts", 0, nullptr, true);
        for (int r = first; r < GetCount(); ++r) {
            if (r == 0)
                rows[0].amount = std::to_string(m_accounts.GetTotalBalance());
            const std::int64_t previous = r > 0 ? GetBalance(r - 1) : 0;
            rows[std::size_t(r)].balance = std::to_string(previous + ReadLong(rows[std::size_t(r)].amount));
        }
    }
    void DeleteEntry(int row) override { rows.erase(rows.begin() + row); }
    bool InsertEntries(const std::vector<TimeValue>&, const std::string&, std::int32_t, TransactionData*) override
    {
        ADD_FAILURE() << "the literal projection inserts one entry at a time";
        return false;
    }
    int DeleteEntriesOf(const TransactionData*) override
    {
        ADD_FAILURE() << "the literal projection deletes one entry at a time";
        return 0;
    }

    // Whether a day is off: its weekday's digit is among the weekend digits, or a holiday
    // has its date text (a yearly one its month and day).
    bool IsOffDay(TimeValue date) const
    {
        if (weekendDigits.find(char('0' + DayOfWeek(date))) != std::string::npos)
            return true;
        const std::string text = FormatDate(date);
        for (const Holiday& holiday : holidays) {
            const std::string on = FormatDate(holiday.date);
            if (on == text || (holiday.yearly && on.compare(0, 5, text, 0, 5) == 0))
                return true;
        }
        return false;
    }
    // The calendar day k days from the date's, as the C library's UTC calendar counts, at
    // 10:00 local time; none when the zone skipped that day.
    static std::optional<TimeValue> CalendarDayFrom(TimeValue date, int k)
    {
        const CalendarDate from = SplitDate(date);
        std::tm fields{};
        fields.tm_year = from.year - 1900;
        fields.tm_mon = from.month - 1;
        fields.tm_mday = from.day + k;
        fields.tm_hour = 12;
        timegm(&fields);
        const CalendarDate day{fields.tm_year + 1900, fields.tm_mon + 1, fields.tm_mday};
        const TimeValue value = MakeDate(day.year, day.month, day.day);
        if (SplitDate(value) != day)
            return std::nullopt;
        return value;
    }
    // The business day a move takes a date to, walked day by day through the calendar.
    TimeValue Moved(TimeValue date, BusinessDayMove move) const
    {
        if (move == BusinessDayMove::Keep || !IsOffDay(date))
            return date;
        auto open = [&](int k) {
            const std::optional<TimeValue> day = CalendarDayFrom(date, k);
            return day && !IsOffDay(*day);
        };
        int before = 0, after = 0;
        for (int k = 1; k <= 31 && before == 0; ++k)
            if (open(-k))
                before = k;
        for (int k = 1; k <= 31 && after == 0; ++k)
            if (open(k))
                after = k;
        if (move == BusinessDayMove::Before || (move == BusinessDayMove::Nearest && before != 0 &&
                                                (after == 0 || before <= after)))
            return before != 0 ? *CalendarDayFrom(date, -before) : date;
        return after != 0 ? *CalendarDayFrom(date, after) : date;
    }

    // The exception whose date text is the occurrence's, when no earlier occurrence had
    // that text (the set holds the texts seen so far).
    static const PaymentException* ExceptionOf(const TransactionData& record, TimeValue occurrence,
                                               std::set<std::string>& seen)
    {
        const std::string text = FormatDate(occurrence);
        if (!seen.insert(text).second)
            return nullptr;
        for (const PaymentException& exception : record.exceptions)
            if (FormatDate(exception.date) == text)
                return &exception;
        return nullptr;
    }
    static bool SameMonthsDay(const CDateRepeater& rule, std::uint32_t n, TimeValue occurrence, TimeValue previous)
    {
        return rule.GetType() == RepeatMonthly && static_cast<const CDateRepeaterMonthly&>(rule).GetDays().day2 != 0 &&
               n % 2 == 1 && occurrence == previous;
    }
    // Project a transaction, one occurrence at a time: up to `count` of them, each at its
    // moved date, stopping once a date could no longer move into the window; a rule
    // without a count also stops when it does not move forward (from one month to the
    // next, for a rule twice a month). An occurrence with an exception is left out; then
    // each exception that is not a skip, in turn, finds its occurrence among all the
    // rule's (up to the count, or while they move forward) and inserts it at its new date
    // or its moved due date, with its amount.
    void Project(TimeValue date, const std::string& description, std::int32_t amount, TransactionData* record)
    {
        if (amount != 0) {
            const CDateRepeater& rule = *record->repeater;
            const BusinessDayMove move = rule.GetBusinessDay();
            const TimeValue stop = move == BusinessDayMove::Keep ? GetEndDate() : AddDays(GetEndDate(), 31);
            std::set<std::string> seen;
            std::uint32_t n = 0;
            TimeValue occurrence = rule.GetOccurrence(date, n);
            for (;;) {
                if (rule.count != 0 && n >= rule.count)
                    break;
                if (!ExceptionOf(*record, occurrence, seen))
                    InsertEntry(Moved(occurrence, move), description, amount, record, false);
                const TimeValue previous = occurrence;
                ++n;
                occurrence = rule.GetOccurrence(date, n);
                if (occurrence >= stop || (rule.count == 0 && occurrence <= previous &&
                                           !SameMonthsDay(rule, n, occurrence, previous)))
                    break;
            }
            for (const PaymentException& exception : record->exceptions) {
                if (exception.skip)
                    continue;
                const std::string text = FormatDate(exception.date);
                TimeValue previous = 0;
                for (std::uint32_t m = 0; rule.count == 0 || m < rule.count; ++m) {
                    const TimeValue due = rule.GetOccurrence(date, m);
                    if (rule.count == 0 && m > 0 && due <= previous && !SameMonthsDay(rule, m, due, previous))
                        break;
                    if (FormatDate(due) == text) {
                        InsertEntry(exception.moveTo ? *exception.moveTo : Moved(due, move), description,
                                    exception.amount.value_or(amount), record, false);
                        break;
                    }
                    if (rule.count == 0 && due > exception.date)
                        break;
                    previous = due;
                }
            }
        }
        Recalculate(0);
    }
    void Withdraw(const TransactionData* record, bool recalculate)
    {
        int lowest = GetCount();
        int r = 0;
        while (r < GetCount()) {
            if (GetTransaction(r) == record) {
                lowest = std::min(lowest, r);
                DeleteEntry(r);
            } else {
                ++r;
            }
        }
        if (recalculate && lowest < GetCount())
            Recalculate(lowest);
    }
    // Without the tentative transactions, when firmOnly.
    void Rebuild(const std::vector<std::unique_ptr<TransactionData>>& transactions, bool firmOnly = false)
    {
        rows.clear();
        capped = false;
        InsertEntry(ProjectionStartDate(), "Current Accounts", 0, nullptr, true);
        for (const auto& t : transactions)
            if (!firmOnly || !t->tentative)
                Project(t->date, t->description, t->amount, t.get());
    }

    static std::int64_t ReadLong(const std::string& text) { return text.empty() ? 0 : std::stoll(text); }

    std::vector<TextRow> rows;
    std::string weekendDigits = "06";
    std::vector<Holiday> holidays;
    std::size_t limit = std::numeric_limits<std::size_t>::max();
    bool capped = false;
    IAccountsListCtrl& m_accounts;
    unsigned m_duration;
};

struct FixedAccounts : IAccountsListCtrl {
    std::int64_t GetTotalBalance() override { return total; }
    std::int64_t total = 0;
};

// A transactions list reduced to what the projection needs: records in list order.
struct TransactionStore : ITransListCtrl {
    void EditTransaction(int) override {}
    int FindTransaction(const TransactionData* record) override
    {
        for (std::size_t i = 0; i < records.size(); ++i)
            if (records[i].get() == record)
                return int(i);
        return -1;
    }
    int ProjectAllTransactions() override
    {
        for (const auto& t : records)
            ProjectTransactionOccurrences(*cashflow, t->date, t->description, t->amount, t.get(), *t->repeater);
        return int(records.size());
    }
    std::vector<std::unique_ptr<TransactionData>> records;
    ICashflowListCtrl* cashflow = nullptr;
};

struct Fixture {
    explicit Fixture(unsigned duration) : projection(accounts, store, duration, "Current Accounts")
    {
        store.cashflow = &projection;
    }
    FixedAccounts accounts;
    TransactionStore store;
    CashFlowProjection projection;
};

std::vector<std::string> RowTexts(CashFlowProjection& projection)
{
    std::vector<std::string> texts;
    for (int r = 0; r < projection.GetCount(); ++r)
        texts.push_back(FormatDate(projection.GetDate(r)) + "|" + projection.GetDescription(r) + "|" +
                        std::to_string(projection.GetAmount(r)) + "|" + std::to_string(projection.GetBalance(r)));
    return texts;
}

std::vector<std::string> RowTexts(const LiteralCashflow& literal)
{
    std::vector<std::string> texts;
    for (const auto& row : literal.rows)
        texts.push_back(row.date + "|" + row.description + "|" + row.amount + "|" + row.balance);
    return texts;
}

TimeValue Date(int year, int month, int day) { return MakeDate(year, month, day); }

std::string Described(const std::vector<std::unique_ptr<TransactionData>>& records)
{
    std::string text;
    for (const auto& t : records) {
        const CDateRepeater& rule = *t->repeater;
        text += "\n" + t->description + " " + FormatDate(t->date) + " " + RepeatTypeName(rule) + " delta " +
                std::to_string(rule.delta) + " count " + std::to_string(rule.count) + " move " +
                std::to_string(int(rule.GetBusinessDay()));
        if (rule.GetType() == RepeatMonthly) {
            const auto& monthly = static_cast<const CDateRepeaterMonthly&>(rule);
            text += " day " + std::to_string(monthly.day) + " week " + std::to_string(monthly.GetDays().week) + "/" +
                    std::to_string(monthly.GetDays().weekday) + " day2 " + std::to_string(monthly.GetDays().day2);
        }
    }
    return text;
}

// Rules of every kind, half of them moving their dates off days off, monthly ones also on
// the n-th weekday or twice a month.
std::unique_ptr<CDateRepeater> RandomRule(std::mt19937& random)
{
    std::uniform_int_distribution<int> kind(0, 4), step(-1, 4), count(0, 6), day(0, 31), moves(0, 5), extra(0, 3);
    const std::uint32_t n = std::uint32_t(count(random) == 0 ? 0 : count(random));
    const int movePick = moves(random);
    const BusinessDayMove move = movePick > 3 ? BusinessDayMove::Keep : BusinessDayMove(movePick);
    switch (kind(random)) {
    case 0: return std::make_unique<CDateRepeaterOnce>(move);
    case 1: return std::make_unique<CDateRepeaterDaily>(step(random), n, move);
    case 2: return std::make_unique<CDateRepeaterWeekly>(step(random), n, move);
    case 3: {
        MonthlyDays days;
        const int pick = extra(random);
        if (pick == 1)
            days = {int(random() % 5) == 4 ? -1 : 1 + int(random() % 4), int(random() % 7), 0};
        else if (pick == 2)
            days.day2 = 1 + int(random() % 31);
        return std::make_unique<CDateRepeaterMonthly>(step(random), n, day(random), days, move);
    }
    default: return std::make_unique<CDateRepeaterYearly>(step(random), n, move);
    }
}

// Weekend days and holidays for a set: often the usual weekend, sometimes another or none
// or every day; holidays near and on the window's ends, some of them yearly.
void RandomCalendar(std::mt19937& random, unsigned duration, CashFlowProjection& projection, LiteralCashflow& literal)
{
    std::uint8_t weekend = BusinessCalendar::kDefaultWeekend;
    switch (random() % 5) {
    case 0: weekend = std::uint8_t(random() % 128); break;
    case 1: weekend = random() % 2 == 0 ? 0x7F : 0; break;
    case 2: weekend = (1u << 5) | (1u << 6); break;
    default: break;
    }
    std::string digits;
    for (int d = 0; d < 7; ++d)
        if ((weekend >> d) & 1u)
            digits += char('0' + d);
    std::vector<Holiday> holidays;
    const int count = int(random() % 9);
    const std::int64_t span = 31 * std::int64_t(duration);
    for (int h = 0; h < count; ++h) {
        const std::int64_t pick = random() % 4;
        const std::int64_t offset = pick == 0 ? 0 : pick == 1 ? span - 1 - std::int64_t(random() % 3)
                                                              : std::int64_t(random() % (span + 80)) - 40;
        Holiday holiday{AddDays(ProjectionStartDate(), offset), "H" + std::to_string(h), random() % 3 == 0};
        if (holiday.yearly && random() % 2 == 0)
            holiday.date = AddDays(holiday.date, -365 * std::int64_t(1 + random() % 3));
        holidays.push_back(holiday);
    }
    literal.weekendDigits = digits;
    literal.holidays = holidays;
    projection.SetBusinessCalendar(BusinessCalendar(weekend, std::move(holidays)));
}

// Now and then a few exceptions: on occurrences (some beyond the count) or on other days;
// skips, moves anywhere, in the window or far from it, other amounts.
void AddRandomExceptions(std::mt19937& random, std::unique_ptr<TransactionData>& record)
{
    if (random() % 3 != 0)
        return;
    for (int e = 1 + int(random() % 4); e > 0; --e) {
        const std::uint32_t count = record->repeater->count;
        const std::uint32_t n = std::uint32_t(random() % (count != 0 ? count + 2 : 30));
        PaymentException exception{random() % 5 == 0 ? AddDays(ProjectionStartDate(), int(random() % 90) - 10)
                                                      : record->repeater->GetOccurrence(record->date, n),
                                   random() % 4 == 0, std::nullopt, std::nullopt};
        if (random() % 2 == 0)
            exception.moveTo = AddDays(ProjectionStartDate(), int(random() % 140) - 20 -
                                                                  (random() % 8 == 0 ? 4000 : 0));
        if (random() % 2 == 0)
            exception.amount = int(random() % 7) * 100 - 300;
        record = WithException(*record, exception);
    }
}

// Each transaction's rows, by the projection and as ListedOccurrences gives them for the
// window: dates and amounts in the order of the rows.
void ExpectListedOccurrencesAreTheRows(CashFlowProjection& projection,
                                       const std::vector<std::unique_ptr<TransactionData>>& records)
{
    for (const auto& record : records) {
        std::vector<std::string> rows, listed;
        for (int r = 0; r < projection.GetCount(); ++r)
            if (projection.GetTransaction(r) == record.get())
                rows.push_back(FormatDate(projection.GetDate(r)) + " " + std::to_string(projection.GetAmount(r)));
        for (const ListedOccurrence& occurrence : ListedOccurrences(
                 *record, projection.GetBusinessCalendar(), projection.GetStartDate(), projection.GetEndDate()))
            listed.push_back(FormatDate(occurrence.taken) + " " + std::to_string(occurrence.amount));
        ASSERT_EQ(listed, rows) << record->description;
    }
}

TEST(CashFlowProjection, MatchesTheLiteralProjectionOnRandomTransactionSets)
{
    // Windows across clock changes: daylight saving, a zone that skipped a day (Apia at
    // the end of 2011: a window just after it, with transactions from before it, whose
    // offset then differs by a day), offsets of odd minutes, the end of local mean time.
    struct Window {
        const char* zone;
        int year, month, day;
    };
    const Window windows[] = {{kEastern, 2026, 3, 7},          {"Pacific/Apia", 2012, 1, 5},
                              {"Pacific/Apia", 2011, 12, 20},  {"Asia/Kathmandu", 1985, 12, 20},
                              {"Europe/London", 1847, 11, 25}, {"America/Sao_Paulo", 2018, 10, 25}};
    std::mt19937 random(20261208);
    for (int set = 0; set < 1200; ++set) {
        // Every sixth set has windows of up to 99 months, so that yearly rules fall in it
        // more than once (29 February among them), with fewer steps to keep it quick.
        const bool longWindows = set % 6 == 5;
        std::uniform_int_distribution<int> durationPick(1, longWindows ? 99 : 4), dayOffset(-60, 160),
            amountPick(-3, 3), operation(0, 11), descriptionPick(0, 3);
        const unsigned duration = unsigned(durationPick(random));
        const Window& window = windows[std::size_t(set) % std::size(windows)];
        TzGuard zone(window.zone);
        ProjectionStartDate() = Date(window.year, window.month, window.day);
        Fixture fast(duration);
        LiteralCashflow literal(fast.accounts, duration);
        if (set % 3 == 0) {
            // A projection that fills up: every later entry in the window is refused.
            literal.limit = std::size_t(1 + random() % 30);
            fast.projection.SetRowLimit(literal.limit);
        }
        RandomCalendar(random, duration, fast.projection, literal);
        fast.projection.Rebuild();
        literal.Rebuild(fast.store.records);

        const int steps = longWindows ? 1 + set % 4 : 1 + set % 12;
        for (int step = 0; step < steps; ++step) {
            const int op = operation(random);
            auto& records = fast.store.records;
            if (op <= 5 || records.empty()) {
                // Equal dates are frequent: days are drawn from a narrow range; now and then
                // a transaction starts years before the window.
                const std::int64_t yearsBefore = set % 3 == 0 ? std::int64_t(random() % 12000) : 0;
                TimeValue date = AddDays(ProjectionStartDate(), dayOffset(random) / 4 - yearsBefore);
                if (longWindows && random() % 3 == 0) {
                    // 29 February of a leap year from a dozen years before the window to
                    // a few years into it.
                    std::int64_t year = SplitDate(ProjectionStartDate()).year + 4 - std::int64_t(random() % 16);
                    while (DaysInMonth(year, 2) != 29)
                        --year;
                    date = MakeDate(year, 2, 29);
                }
                auto record = std::make_unique<TransactionData>(date, "T" + std::to_string(descriptionPick(random)),
                                                                amountPick(random) * 100, RandomRule(random));
                AddRandomExceptions(random, record);
                TransactionData* t = record.get();
                records.push_back(std::move(record));
                ProjectTransactionOccurrences(fast.projection, t->date, t->description, t->amount, t, *t->repeater);
                literal.Project(t->date, t->description, t->amount, t);
            } else if (op == 6) {
                const std::size_t i = std::size_t(random() % records.size());
                WithdrawTransactionEntries(fast.projection, records[i].get(), true);
                literal.Withdraw(records[i].get(), true);
                records.erase(records.begin() + std::ptrdiff_t(i));
            } else if (op == 7) {
                // An edit: the old rows go without recalculation, the new values are projected.
                const std::size_t i = std::size_t(random() % records.size());
                auto replacement = std::make_unique<TransactionData>(
                    AddDays(ProjectionStartDate(), dayOffset(random) / 4), records[i]->description,
                    amountPick(random) * 50, RandomRule(random));
                AddRandomExceptions(random, replacement);
                WithdrawTransactionEntries(fast.projection, records[i].get(), false);
                literal.Withdraw(records[i].get(), false);
                records[i] = std::move(replacement);
                TransactionData* t = records[i].get();
                ProjectTransactionOccurrences(fast.projection, t->date, t->description, t->amount, t, *t->repeater);
                literal.Project(t->date, t->description, t->amount, t);
            } else if (op == 8) {
                // Now and then a total beyond 32 bits, either side of 2^31 and 2^32.
                const std::int64_t large[] = {(std::int64_t(1) << 31) + 1, (std::int64_t(1) << 32) + 5};
                if (random() % 3 == 0)
                    fast.accounts.total = large[random() % 2] * (random() % 2 == 0 ? 1 : -1);
                else
                    fast.accounts.total += amountPick(random) * 7;
                fast.projection.Recalculate(0);
                literal.Recalculate(0);
            } else if (random() % 4 == 0) {
                // The transactions list is sorted another way: the next move of the window
                // gives the new order.
                std::shuffle(records.begin(), records.end(), random);
                fast.projection.ProjectAllOnNextMove();
            } else if (random() % 3 == 0) {
                const unsigned months = unsigned(durationPick(random));
                fast.projection.SetDuration(months);
                literal.m_duration = months;
                literal.Rebuild(records);
            } else {
                // Moves of the window by a few days, often several in a row: the rows of
                // the days kept must be those a rebuild gives.
                const TimeValue start = AddDays(ProjectionStartDate(), dayOffset(random) / 8);
                fast.projection.SetStartDate(start);
                literal.Rebuild(records);
            }
            ASSERT_EQ(RowTexts(fast.projection), RowTexts(literal))
                << "set " << set << " step " << step << " weekend " << literal.weekendDigits << Described(records);
            ASSERT_EQ(fast.projection.IsCapped(), literal.capped) << "set " << set << " step " << step;
            if (!literal.capped)
                ExpectListedOccurrencesAreTheRows(fast.projection, records);
        }
    }
}

// A move of the window keeps the rows of the days the two windows share and projects
// only the days it gains: an occurrence due up to a month inside the shared days and moved
// out of them to a business day is one of those, whichever way the window went.
TEST(CashFlowProjection, MovingTheWindowGivesTheRowsARebuildGives)
{
    TzGuard zone(kEastern);
    std::mt19937 random(20261209);
    for (int set = 0; set < 300; ++set) {
        ProjectionStartDate() = Date(2027, 1, 1 + set % 28);
        const unsigned duration = unsigned(3 + set % 3);
        Fixture fast(duration);
        LiteralCashflow literal(fast.accounts, duration);
        RandomCalendar(random, duration, fast.projection, literal);
        auto& records = fast.store.records;
        for (int t = 0; t < 12; ++t)
            records.push_back(std::make_unique<TransactionData>(
                AddDays(ProjectionStartDate(), std::int64_t(random() % 200) - 100), "T" + std::to_string(t % 4),
                100 * (1 + t), RandomRule(random)));
        fast.projection.Rebuild();
        for (int step = 0; step < 6; ++step) {
            fast.projection.SetStartDate(AddDays(ProjectionStartDate(), std::int64_t(random() % 81) - 40));
            literal.Rebuild(records);
            ASSERT_EQ(RowTexts(fast.projection), RowTexts(literal))
                << "set " << set << " step " << step << " weekend " << literal.weekendDigits << Described(records);
        }
    }
}

// A summary's figures in one line, for comparing two of them (the lowest row aside).
std::string SummaryFigures(const ProjectionSummary& summary)
{
    std::string text = std::to_string(summary.hasRows) + " " + std::to_string(summary.lowestBalance) + " " +
                       FormatDate(summary.lowestDate) + " " + std::to_string(summary.closingBalance) + " " +
                       FormatDate(summary.closingDate);
    if (summary.below)
        text += " below " + FormatDate(summary.below->from) + " " +
                (summary.below->back ? FormatDate(*summary.below->back) : "-") + " " +
                std::to_string(summary.below->days) + " " + FormatDate(summary.below->last);
    return text;
}

// Tentative transactions left out give the projection of the schedule without them, row
// for row; included, they count as ordinary transactions; and the firm forecast read off
// the projection that includes them is the one that leaves them out. Transactions are
// added, edited and removed, and the window moved, both ways.
TEST(CashFlowProjection, TentativeTransactionsLeftOutGiveTheScheduleWithoutThemAndTheFirmForecast)
{
    TzGuard zone(kEastern);
    std::mt19937 random(20261210);
    std::uniform_int_distribution<int> dayOffset(-40, 120), amountPick(-3, 3), durationPick(1, 5), coin(0, 1);
    for (int set = 0; set < 300; ++set) {
        ProjectionStartDate() = Date(2026, 3, 7);
        const unsigned duration = unsigned(durationPick(random));
        Fixture fast(duration);
        fast.accounts.total = amountPick(random) * 100;
        LiteralCashflow all(fast.accounts, duration), firm(fast.accounts, duration);
        auto& records = fast.store.records;
        auto newRecord = [&] {
            auto record = std::make_unique<TransactionData>(AddDays(ProjectionStartDate(), dayOffset(random) / 4),
                                                            "T" + std::to_string(random() % 4),
                                                            amountPick(random) * 100, RandomRule(random));
            record->tentative = random() % 3 == 0;
            return record;
        };
        for (int i = int(random() % 5); i > 0; --i)
            records.push_back(newRecord());
        fast.projection.SetIncludeTentative(coin(random) == 0);
        fast.projection.Rebuild();
        all.Rebuild(records);
        firm.Rebuild(records, true);

        for (int step = 0; step < 6; ++step) {
            const int op = int(random() % 5);
            // The references follow each change as the literal test above does: a
            // transaction added or edited goes after the rows of its days, a rebuild or a
            // move of the window projects in list order.
            auto project = [&](TransactionData* t) {
                ProjectTransactionOccurrences(fast.projection, t->date, t->description, t->amount, t, *t->repeater);
                all.Project(t->date, t->description, t->amount, t);
                if (!t->tentative)
                    firm.Project(t->date, t->description, t->amount, t);
                else
                    firm.Recalculate(0); // projecting ends with a recalculation all the same
            };
            auto withdraw = [&](const TransactionData* t, bool recalculate) {
                WithdrawTransactionEntries(fast.projection, t, recalculate);
                all.Withdraw(t, recalculate);
                firm.Withdraw(t, recalculate);
            };
            if (op == 0 || records.empty()) {
                records.push_back(newRecord());
                project(records.back().get());
            } else if (op == 1) {
                // An edit that may turn the flag either way.
                const std::size_t i = std::size_t(random() % records.size());
                auto edited = CopyTransaction(*records[i]);
                edited->tentative = !edited->tentative;
                edited->amount = amountPick(random) * 50;
                withdraw(records[i].get(), false);
                records[i] = std::move(edited);
                project(records[i].get());
            } else if (op == 2) {
                const std::size_t i = std::size_t(random() % records.size());
                withdraw(records[i].get(), true);
                records.erase(records.begin() + std::ptrdiff_t(i));
            } else {
                if (op == 3)
                    fast.projection.SetIncludeTentative(!fast.projection.IncludesTentative());
                else
                    fast.projection.SetStartDate(AddDays(ProjectionStartDate(), dayOffset(random) / 8));
                all.Rebuild(records);
                firm.Rebuild(records, true);
            }
            SCOPED_TRACE("set " + std::to_string(set) + " step " + std::to_string(step));
            if (!fast.projection.IncludesTentative()) {
                ASSERT_EQ(RowTexts(fast.projection), RowTexts(firm));
                EXPECT_TRUE(FirmBalances(fast.projection.Rows()).empty());
                EXPECT_FALSE(SummarizeFirmForecast(fast.projection, 0));
                continue;
            }
            ASSERT_EQ(RowTexts(fast.projection), RowTexts(all));
            // The firm rows with their firm balances are the firm projection's rows.
            const std::vector<std::int64_t> balances = FirmBalances(fast.projection.Rows());
            const std::optional<ProjectionSummary> firmSummary = SummarizeFirmForecast(fast.projection, 0);
            const bool anyTentative = RowTexts(all).size() != RowTexts(firm).size();
            ASSERT_EQ(!balances.empty(), anyTentative);
            ASSERT_EQ(firmSummary.has_value(), anyTentative);
            if (!anyTentative)
                continue;
            std::vector<std::string> firmRows;
            for (int r = 0; r < fast.projection.GetCount(); ++r) {
                const TransactionData* record = fast.projection.GetTransaction(r);
                if (!record || !record->tentative)
                    firmRows.push_back(FormatDate(fast.projection.GetDate(r)) + "|" + fast.projection.GetDescription(r) +
                                       "|" + std::to_string(fast.projection.GetAmount(r)) + "|" +
                                       std::to_string(balances[std::size_t(r)]));
            }
            ASSERT_EQ(firmRows, RowTexts(firm));
            Fixture without(duration);
            without.accounts.total = fast.accounts.total;
            for (const auto& record : records)
                if (!record->tentative)
                    without.store.records.push_back(CopyTransaction(*record));
            without.projection.Rebuild();
            EXPECT_EQ(SummaryFigures(*firmSummary), SummaryFigures(SummarizeProjection(without.projection, 0)));
        }
    }
}

// A series cut at one of its occurrences, and both parts projected, gives the rows of the
// uncut series: the later part's rule keeps the days, the moves and the count, and the
// exceptions go to the part their occurrence is in.
TEST(PaymentExceptions, SplitThenMergedBackGivesTheSameRows)
{
    std::mt19937 random(20261209);
    const char* zones[] = {kEastern, "Europe/London", "Pacific/Apia"};
    for (int set = 0; set < 600; ++set) {
        TzGuard zone(zones[set % 3]);
        ProjectionStartDate() = set % 3 == 2 ? Date(2011, 12, 1) : Date(2026, 3, 7);
        const unsigned duration = unsigned(1 + random() % 24);
        Fixture uncut(duration), cut(duration);
        LiteralCashflow unused(uncut.accounts, duration);
        RandomCalendar(random, duration, uncut.projection, unused);
        cut.projection.SetBusinessCalendar(uncut.projection.GetBusinessCalendar());
        std::unique_ptr<CDateRepeater> rule = RandomRule(random);
        while (rule->delta <= 0 || rule->GetType() == RepeatOnce || rule->count == 1)
            rule = RandomRule(random);
        const TimeValue start = random() % 6 == 0 ? Date(2008 - 4 * int(random() % 3), 2, 29)
                                                  : AddDays(ProjectionStartDate(), int(random() % 500) - 400);
        auto record = std::make_unique<TransactionData>(start, "T", -100, std::move(rule));
        const std::uint32_t count = record->repeater->count;
        const std::uint32_t k = 1 + std::uint32_t(random() % (count != 0 ? count - 1 : 40));
        const TimeValue due = record->repeater->GetOccurrence(record->date, k);
        for (int e = int(random() % 4); e > 0; --e) {
            PaymentException exception{record->repeater->GetOccurrence(record->date, std::uint32_t(random() % (k + 5))),
                                       random() % 3 == 0, std::nullopt, std::nullopt};
            if (random() % 2 == 0)
                exception.moveTo = AddDays(ProjectionStartDate(), int(random() % 60));
            if (random() % 2 == 0)
                exception.amount = -7;
            record = WithException(*record, exception);
        }
        SplitSeries split = SplitAt(*record, due + 3600 * int(random() % 12));
        uncut.store.records.push_back(std::move(record));
        SCOPED_TRACE("set " + std::to_string(set) + " cut at " + FormatDate(due) + Described(uncut.store.records));
        const TransactionData* original = uncut.store.records.back().get();
        const CalendarDate from = SplitDate(original->date), at = SplitDate(due);
        const std::optional<std::uint32_t> index = OccurrenceIndex(*original, due);
        ASSERT_TRUE(index);
        if (*index == 0 || (original->repeater->GetType() == RepeatYearly &&
                            (from.month != at.month || from.day != at.day))) {
            // The first occurrence (a month's two dates on one day), or 29 February in a
            // common year: no yearly rule from that day gives the rest.
            EXPECT_FALSE(split.first);
            continue;
        }
        ASSERT_TRUE(split.first && split.later);
        EXPECT_EQ(split.first->repeater->count, *index);
        cut.store.records.push_back(std::move(split.first));
        cut.store.records.push_back(std::move(split.later));
        uncut.projection.Rebuild();
        cut.projection.Rebuild();
        // Two records may share a day in another order than one: compare the rows of each
        // day as a set.
        auto rows = [](CashFlowProjection& projection) {
            std::vector<std::string> texts;
            for (int r = 0; r < projection.GetCount(); ++r)
                texts.push_back(FormatDate(projection.GetDate(r)) + "|" + std::to_string(projection.GetAmount(r)));
            std::sort(texts.begin(), texts.end());
            return texts;
        };
        ASSERT_EQ(rows(cut.projection), rows(uncut.projection)) << Described(cut.store.records);
    }
}

TEST(CashFlowProjection, RulesLandWhereTheirOwnDatesDoOnADayTheZoneSkipped)
{
    // 30 December 2011 never happened in Apia: its rows, if any, are where the rules'
    // own dates put them.
    TzGuard zone("Pacific/Apia");
    ProjectionStartDate() = Date(2011, 12, 20);
    Fixture fast(1);
    auto add = [&](TimeValue date, std::unique_ptr<CDateRepeater> rule) {
        fast.store.records.push_back(
            std::make_unique<TransactionData>(date, "T" + std::to_string(fast.store.records.size()), 10, std::move(rule)));
    };
    add(Date(2011, 11, 30), std::make_unique<CDateRepeaterDaily>(30, 0));
    add(Date(2011, 10, 3), std::make_unique<CDateRepeaterMonthly>(1, 0, 0));
    add(Date(2011, 12, 22), std::make_unique<CDateRepeaterDaily>(1, 0));
    add(Date(2010, 12, 30), std::make_unique<CDateRepeaterYearly>(1, 0));
    fast.projection.Rebuild();
    LiteralCashflow literal(fast.accounts, 1);
    literal.Rebuild(fast.store.records);
    EXPECT_EQ(RowTexts(fast.projection), RowTexts(literal));
}

TEST(CashFlowProjection, WindowIncludesTheStartDateAndExcludesTheEndDate)
{
    TzGuard zone(kEastern);
    ProjectionStartDate() = Date(2026, 1, 1);
    Fixture f(1);
    f.projection.Rebuild();
    EXPECT_EQ(f.projection.GetEndDate(), Date(2026, 2, 1));
    EXPECT_EQ(f.projection.InsertEntry(Date(2026, 1, 1), "At start", 5, nullptr, true), 1);
    EXPECT_EQ(f.projection.InsertEntry(Date(2026, 2, 1), "At end", 5, nullptr, true), -1);
    EXPECT_EQ(f.projection.InsertEntry(Date(2025, 12, 31), "Before", 5, nullptr, true), -1);
    EXPECT_EQ(f.projection.GetCount(), 2);

    ProjectionStartDate() = Date(2026, 2, 1);
    EXPECT_EQ(f.projection.GetEndDate(), Date(2026, 3, 4));
}

TEST(CashFlowProjection, OpeningRowAloneCarriesTheAccountTotal)
{
    TzGuard zone(kEastern);
    ProjectionStartDate() = Date(2026, 3, 7);
    Fixture f(13);
    f.accounts.total = 75;
    f.projection.Rebuild();
    ASSERT_EQ(f.projection.GetCount(), 1);
    EXPECT_EQ(f.projection.GetDescription(0), "Current Accounts");
    EXPECT_EQ(f.projection.GetAmount(0), 75);
    EXPECT_EQ(f.projection.GetBalance(0), 75);
    EXPECT_EQ(f.projection.GetTransaction(0), nullptr);
}

TEST(CashFlowProjection, DurationZeroRefusesEvenTheOpeningRow)
{
    TzGuard zone(kEastern);
    ProjectionStartDate() = Date(2026, 3, 7);
    Fixture f(0);
    f.projection.Rebuild();
    EXPECT_EQ(f.projection.GetCount(), 0);
    f.projection.Recalculate(0);
    EXPECT_EQ(f.projection.GetCount(), 0);
}

TEST(CashFlowProjection, BalancesAreSixtyFourBitSums)
{
    TzGuard zone(kEastern);
    ProjectionStartDate() = Date(2026, 3, 7);
    Fixture f(2);
    f.accounts.total = 2147483647;
    auto& records = f.store.records;
    records.push_back(std::make_unique<TransactionData>(Date(2026, 3, 8), "Windfall", 2147483647,
                                                        std::make_unique<CDateRepeaterDaily>(1, 3)));
    f.projection.Rebuild();
    ASSERT_EQ(f.projection.GetCount(), 4);
    EXPECT_EQ(f.projection.GetBalance(3), 4 * std::int64_t(2147483647));
}

TEST(CashFlowProjection, OpeningAmountIsTheAccountsTotalInFullBeyond32Bits)
{
    TzGuard zone(kEastern);
    ProjectionStartDate() = Date(2026, 3, 7);
    for (const std::int64_t total : {(std::int64_t(1) << 31) + 1, -(std::int64_t(1) << 31) - 1,
                                     (std::int64_t(1) << 32) + 5, -(std::int64_t(1) << 32) - 5}) {
        SCOPED_TRACE(total);
        Fixture f(2);
        f.accounts.total = total;
        f.store.records.push_back(std::make_unique<TransactionData>(Date(2026, 3, 8), "Pay", 10,
                                                                    std::make_unique<CDateRepeaterOnce>()));
        f.projection.Rebuild();
        ASSERT_EQ(f.projection.GetCount(), 2);
        EXPECT_EQ(f.projection.GetAmount(0), total);
        EXPECT_EQ(f.projection.GetBalance(1), total + 10);
        // A change of the accounts reaches the opening row the same way.
        f.accounts.total = -total;
        f.projection.Recalculate(0);
        EXPECT_EQ(f.projection.GetAmount(0), -total);
        EXPECT_EQ(f.projection.GetBalance(1), -total + 10);
    }
}

TEST(CashFlowProjection, RulesWithACountGiveThatManyOccurrencesEvenWithoutMovingForward)
{
    TzGuard zone(kEastern);
    ProjectionStartDate() = Date(2026, 2, 1);
    Fixture f(99);
    auto add = [&](const char* description, TimeValue date, std::unique_ptr<CDateRepeater> rule) {
        f.store.records.push_back(std::make_unique<TransactionData>(date, description, 10, std::move(rule)));
    };
    add("Five", Date(2026, 3, 9), std::make_unique<CDateRepeaterDaily>(0, 5));
    // March, February and January; January lies before the start.
    add("Back", Date(2026, 3, 5), std::make_unique<CDateRepeaterMonthly>(-1, 3, 5));
    // Without a count, a rule that does not move forward gives its first occurrence only.
    add("Stuck", Date(2026, 4, 1), std::make_unique<CDateRepeaterDaily>(0, 0));
    add("Backwards", Date(2026, 6, 9), std::make_unique<CDateRepeaterMonthly>(-1, 0, 9));
    // Counts far beyond any window end as soon as the rule has fallen before the start
    // (or fills the projection): none of these runs through its count.
    add("Before", Date(2026, 1, 9), std::make_unique<CDateRepeaterDaily>(0, 4000000000u));
    add("Back for ever", Date(2026, 2, 3), std::make_unique<CDateRepeaterDaily>(-1, 4000000000u));
    add("Back yearly", Date(2027, 2, 3), std::make_unique<CDateRepeaterYearly>(-1, 4000000000u));
    f.projection.Rebuild();

    std::vector<std::string> rows;
    for (int r = 1; r < f.projection.GetCount(); ++r)
        rows.push_back(FormatDate(f.projection.GetDate(r)) + " " + f.projection.GetDescription(r));
    EXPECT_EQ(rows, (std::vector<std::string>{
                        "02/01/2026 Back for ever", "02/02/2026 Back for ever", "02/03/2026 Back for ever",
                        "02/03/2026 Back yearly", "02/05/2026 Back", "03/05/2026 Back", "03/09/2026 Five",
                        "03/09/2026 Five", "03/09/2026 Five", "03/09/2026 Five", "03/09/2026 Five",
                        "04/01/2026 Stuck", "06/09/2026 Backwards", "02/03/2027 Back yearly"}));
    EXPECT_FALSE(f.projection.IsCapped());
}

// The bound on what a hand-edited file can ask for: Count 4000000000 with Delta 0 on a
// day in the window fills the projection to its limit, and no more.
TEST(CashFlowProjection, StopsAtItsRowLimitAndSaysSoUntilTheNextRebuild)
{
    TzGuard zone(kEastern);
    ProjectionStartDate() = Date(2026, 3, 7);
    Fixture f(13);
    EXPECT_EQ(f.projection.GetRowLimit(), CashFlowProjection::kRowLimit);
    f.projection.SetRowLimit(1000);
    auto& records = f.store.records;
    records.push_back(std::make_unique<TransactionData>(Date(2026, 3, 9), "Flood", 1,
                                                        std::make_unique<CDateRepeaterDaily>(0, 4000000000u)));
    records.push_back(std::make_unique<TransactionData>(Date(2026, 3, 8), "Rent", -5,
                                                        std::make_unique<CDateRepeaterOnce>()));
    f.projection.Rebuild();
    EXPECT_TRUE(f.projection.IsCapped());
    ASSERT_EQ(f.projection.GetCount(), 1000);
    EXPECT_EQ(f.projection.GetDescription(999), "Flood");
    EXPECT_EQ(f.projection.GetBalance(999), 999);
    EXPECT_EQ(f.projection.InsertEntry(Date(2026, 3, 10), "More", 1, nullptr, true), -1);

    records.erase(records.begin());
    f.projection.Rebuild();
    EXPECT_FALSE(f.projection.IsCapped());
    EXPECT_EQ(f.projection.GetCount(), 2);
}

// Nothing in the projection lies past the last day the program can write.
TEST(CashFlowProjection, WindowEndsAfterTheLastDayOf9999)
{
    TzGuard zone(kEastern);
    Fixture f(99);
    f.projection.SetStartDate(Date(9999, 12, 1));
    EXPECT_EQ(f.projection.GetEndDate(), Date(10000, 1, 1));
    f.store.records.push_back(std::make_unique<TransactionData>(Date(9999, 12, 1), "Daily", 1,
                                                                std::make_unique<CDateRepeaterDaily>(1, 0)));
    f.projection.Rebuild();
    ASSERT_EQ(f.projection.GetCount(), 32);
    EXPECT_EQ(FormatDate(f.projection.GetDate(31)), "12/31/9999");

    // Start dates are held between the first and the last day.
    f.projection.SetStartDate(Date(10000, 1, 1));
    EXPECT_EQ(FormatDate(f.projection.GetStartDate()), "12/31/9999");
    f.projection.SetStartDate(Date(999, 12, 31));
    EXPECT_EQ(FormatDate(f.projection.GetStartDate()), "01/01/1000");
}

} // namespace
