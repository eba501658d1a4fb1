#include "model/cash_flow_projection.h"

#include "model/date_repeater.h"
#include "model/occurrence_walk.h"
#include "model/transaction_data.h"

#include <algorithm>
#include <cassert>
#include <limits>
#include <type_traits>

TimeValue& ProjectionStartDate()
{
    static TimeValue startDate = Today();
    return startDate;
}

CashFlowProjection::CashFlowProjection(IAccountsListCtrl& accounts, ITransListCtrl& transactions,
                                       unsigned duration, std::string openingDescription)
    : m_accounts(accounts)
    , m_transactions(transactions)
    , m_duration(duration)
    , m_openingDescription(std::make_shared<const std::string>(std::move(openingDescription)))
{
}

TimeValue CashFlowProjection::GetEndDate() const
{
    if (m_window)
        return m_window->end;
    // A month counts 31 days here, not a calendar month. The window never reaches past
    // the last day the program handles, so no row has a date it could not write.
    const TimeValue byMonths = AddDays(ProjectionStartDate(), 31 * static_cast<std::int64_t>(m_duration));
    const TimeValue latest = LatestDate();
    return byMonths <= latest ? byMonths : std::min(byMonths, AddDays(latest, 1));
}

bool CashFlowProjection::InWindow(TimeValue date) const
{
    return date >= ProjectionStartDate() && date < GetEndDate();
}

bool CashFlowProjection::LeftOut(const TransactionData* record) const
{
    return !m_includeTentative && record && record->tentative;
}

void CashFlowProjection::SetIncludeTentative(bool include)
{
    if (include == m_includeTentative)
        return;
    m_includeTentative = include;
    // A projection not begun yet (no opening row) stays so: its first rebuild follows.
    if (m_rows.Count() > 0)
        Rebuild();
}

void CashFlowProjection::SetRowLimit(std::size_t limit)
{
    m_rowLimit = std::max<std::size_t>(limit, 1);
}

class CashFlowProjection::ProjectingAll {
public:
    explicit ProjectingAll(CashFlowProjection& projection) : m_projection(projection)
    {
        const TimeValue start = ProjectionStartDate();
        const TimeValue end = m_projection.GetEndDate();
        // Window days are days of the years the program handles: well within 32 bits.
        m_projection.m_window = Window{start, end, static_cast<std::int32_t>(LocalDay(start)),
                                       static_cast<std::int32_t>(LocalDay(end))};
        m_projection.m_projectingAll = true;
    }
    ~ProjectingAll()
    {
        m_projection.m_projectingAll = false;
        m_projection.m_window.reset();
    }
    ProjectingAll(const ProjectingAll&) = delete;
    ProjectingAll& operator=(const ProjectingAll&) = delete;

private:
    // The pass works out every date in one zone.
    ZoneHold m_zone;
    CashFlowProjection& m_projection;
};

bool CashFlowProjection::HasRoom()
{
    if (m_rows.Count() < m_rowLimit)
        return true;
    if (m_kept.from < m_kept.to) {
        // A move never stops at the limit: where it would, the rebuild that follows does.
        m_moveOverflowed = true;
        return false;
    }
    if (!m_capped) {
        m_capped = true;
        OnCapped();
    }
    return false;
}

int CashFlowProjection::InsertEntry(TimeValue date, const std::string& description, std::int32_t amount,
                                    TransactionData* record, bool recalculate)
{
    return InsertRow(date, std::make_shared<const std::string>(description), amount, record, recalculate);
}

int CashFlowProjection::InsertRow(TimeValue date, const std::shared_ptr<const std::string>& description,
                                  std::int64_t amount, TransactionData* record, bool recalculate)
{
    if (!InWindow(date) || LeftOut(record) || !HasRoom())
        return -1;
    if (!m_projectingAll)
        m_inListOrder = false;
    // The row holds its date as its text reads back: the day, at 10:00.
    const auto position = static_cast<int>(m_rows.Insert(date, description, amount, record));
    OnRowsChanged();
    if (recalculate)
        Recalculate(position);
    return position;
}

template <typename Date, typename AmountOf>
bool CashFlowProjection::QueueEntries(const std::vector<Date>& dates, Date start, Date end,
                                      const std::string& description, AmountOf amountOf, TransactionData* record)
{
    if (LeftOut(record))
        return true;
    std::shared_ptr<const std::string> shared;
    bool room = true;
    if (!m_projectingAll)
        m_inListOrder = false;
    for (const Date& date : dates) {
        if (date < start || date >= end || m_kept.Holds(date))
            continue;
        if (!HasRoom()) {
            room = false;
            break;
        }
        if (!shared) {
            if (!m_queuedDescription || *m_queuedDescription != description)
                m_queuedDescription = std::make_shared<const std::string>(description);
            shared = m_queuedDescription;
        }
        if constexpr (std::is_same_v<Date, std::int32_t>)
            m_rows.QueueDay(date, shared, amountOf(&date - dates.data()), record);
        else
            m_rows.Queue(date, shared, amountOf(&date - dates.data()), record);
    }
    if (shared)
        OnRowsChanged();
    return room;
}

bool CashFlowProjection::InsertEntries(const std::vector<TimeValue>& dates, const std::string& description,
                                       std::int32_t amount, TransactionData* record)
{
    auto same = [amount](std::ptrdiff_t) { return amount; };
    if (m_window)
        return QueueEntries(dates, m_window->start, m_window->end, description, same, record);
    return QueueEntries(dates, ProjectionStartDate(), GetEndDate(), description, same, record);
}

bool CashFlowProjection::InsertChangedEntries(const std::vector<ListedOccurrence>& changed,
                                              const std::string& description, TransactionData* record)
{
    std::vector<TimeValue> dates;
    dates.reserve(changed.size());
    for (const ListedOccurrence& occurrence : changed)
        dates.push_back(occurrence.taken);
    auto own = [&changed](std::ptrdiff_t i) { return changed[static_cast<std::size_t>(i)].amount; };
    if (m_window)
        return QueueEntries(dates, m_window->start, m_window->end, description, own, record);
    return QueueEntries(dates, ProjectionStartDate(), GetEndDate(), description, own, record);
}

bool CashFlowProjection::InsertEntryDays(const std::vector<std::int32_t>& days, const std::string& description,
                                         std::int32_t amount, TransactionData* record)
{
    auto same = [amount](std::ptrdiff_t) { return amount; };
    if (m_window)
        return QueueEntries(days, m_window->startDay, m_window->endDay, description, same, record);
    // Window days are days of the years the program handles: well within 32 bits.
    return QueueEntries(days, static_cast<std::int32_t>(LocalDay(ProjectionStartDate())),
                        static_cast<std::int32_t>(LocalDay(GetEndDate())), description, same, record);
}

int CashFlowProjection::GetCount()
{
    return static_cast<int>(m_rows.Count());
}

std::int64_t CashFlowProjection::GetBalance(int row)
{
    return m_rows.Balance(static_cast<std::size_t>(row));
}

TimeValue CashFlowProjection::GetDate(int row)
{
    return m_rows.Date(m_rows.At(static_cast<std::size_t>(row)));
}

std::int64_t CashFlowProjection::GetAmount(int row)
{
    return m_rows.At(static_cast<std::size_t>(row)).amount;
}

const std::string& CashFlowProjection::GetDescription(int row)
{
    return m_rows.Description(m_rows.At(static_cast<std::size_t>(row)));
}

TransactionData* CashFlowProjection::GetTransaction(int row)
{
    return m_rows.At(static_cast<std::size_t>(row)).record;
}

void CashFlowProjection::Recalculate(int first)
{
    if (m_rows.Count() == 0) {
        // Inserting the opening row recalculates from row 0 by itself.
        InsertOpeningRow();
    }
    if (first < 0)
        first = 0;
    if (static_cast<std::size_t>(first) < m_rows.Count()) {
        if (first == 0)
            m_rows.SetAmount(0, m_accounts.GetTotalBalance());
        m_rows.InvalidateFrom(static_cast<std::size_t>(first));
        OnRowsChanged();
    }
    OnRecalculated();
}

void CashFlowProjection::DeleteEntry(int row)
{
    m_inListOrder = false;
    m_rows.Erase(static_cast<std::size_t>(row));
    OnRowsChanged();
}

int CashFlowProjection::DeleteEntriesOf(const TransactionData* record)
{
    const auto lowest = static_cast<int>(m_rows.EraseRecord(record));
    OnRowsChanged();
    return lowest;
}

void CashFlowProjection::InsertOpeningRow()
{
    InsertRow(ProjectionStartDate(), m_openingDescription, m_accounts.GetTotalBalance(), nullptr, true);
}

void CashFlowProjection::DeleteAllEntries()
{
    m_rows.Clear();
    m_capped = false;
    OnRowsChanged();
}

void CashFlowProjection::Rebuild()
{
    {
        ProjectingAll projecting(*this);
        DeleteAllEntries();
        InsertOpeningRow();
        m_inListOrder = true;
        m_transactions.ProjectAllTransactions();
    }
    m_projectedStart = ProjectionStartDate();
    m_projectedEnd = GetEndDate();
}

void CashFlowProjection::Reproject()
{
    const TimeValue start = ProjectionStartDate();
    const TimeValue end = GetEndDate();
    const TimeValue keptFrom = std::max(start, m_projectedStart);
    const TimeValue keptTo = std::min(end, m_projectedEnd);
    if (!m_inListOrder || m_capped || m_rows.Count() == 0 || keptFrom >= keptTo) {
        Rebuild();
        return;
    }
    // The shared days' rows are what a rebuild would give them: the same transactions in
    // the same order. The opening row moves to the new start, before every other row, and
    // the days gained are projected in the list's order, as a rebuild projects them.
    {
        ProjectingAll projecting(*this);
        m_rows.ReplaceFirstKeepingDays(LocalDay(keptFrom), LocalDay(keptTo), start, m_openingDescription,
                                       m_accounts.GetTotalBalance(), nullptr);
        OnRowsChanged();
        m_kept = {keptFrom, keptTo, static_cast<std::int32_t>(LocalDay(keptFrom)),
                  static_cast<std::int32_t>(LocalDay(keptTo))};
        m_moveOverflowed = false;
        m_transactions.ProjectAllTransactions();
        m_kept = {};
    }
    if (m_moveOverflowed) {
        Rebuild();
        return;
    }
    m_projectedStart = start;
    m_projectedEnd = end;
    Recalculate(0);
}

void CashFlowProjection::SetStartDate(TimeValue date)
{
    // Whatever asks (the date buttons stepping past the last day, say), the start stays
    // a day the program can write.
    ProjectionStartDate() = ClampDate(date);
    Reproject();
}

void CashFlowProjection::SetDuration(unsigned months)
{
    m_duration = months;
    Reproject();
}

bool ICashflowListCtrl::InsertChangedEntries(const std::vector<ListedOccurrence>& changed,
                                             const std::string& description, TransactionData* record)
{
    // Runs of one amount go together.
    std::vector<TimeValue> batch;
    for (std::size_t i = 0; i < changed.size(); ++i) {
        batch.push_back(changed[i].taken);
        if (i + 1 < changed.size() && changed[i + 1].amount == changed[i].amount)
            continue;
        if (!InsertEntries(batch, description, changed[i].amount, record))
            return false;
        batch.clear();
    }
    return true;
}

const BusinessCalendar& ICashflowListCtrl::GetBusinessCalendar() const
{
    static const BusinessCalendar plain;
    return plain;
}

namespace {

// A rule's occurrences as local days, stepped by the calendar's integer arithmetic: the
// same days as the rule's own dates wherever the zone's clock stays within reach of the
// start's, which is checked for each projection before the days are used.
class OccurrenceDays {
public:
    OccurrenceDays(const CDateRepeater& rule, TimeValue date)
        : m_type(rule.GetType())
        , m_delta(rule.delta)
        , m_first(LocalDay(date))
        , m_from(SplitDate(date))
        , m_monthly(m_type == RepeatMonthly ? static_cast<const CDateRepeaterMonthly*>(&rule) : nullptr)
        , m_perMonth(m_monthly ? m_monthly->PerMonth() : 1)
    {
    }

    std::int64_t Day(std::uint64_t n) const
    {
        switch (m_type) {
        case RepeatMonthly: {
            // Rules stepping forward only: the month index is never negative.
            const std::int64_t monthIndex = (m_from.month - 1) + static_cast<std::int64_t>(n / m_perMonth) * m_delta;
            const std::int64_t year = m_from.year + monthIndex / 12;
            const int month = static_cast<int>(monthIndex % 12) + 1;
            return DayOfCalendarDate(year, month, m_monthly->DayInMonth(year, month, n % m_perMonth));
        }
        case RepeatYearly:
            return DayOfCalendarDate(m_from.year + static_cast<std::int64_t>(n) * m_delta, m_from.month, m_from.day);
        default:
            return m_first + static_cast<std::int64_t>(n) * m_delta;
        }
    }

    // The index of the first occurrence on or after the day.
    std::uint64_t FirstNotBefore(std::int64_t day) const
    {
        std::int64_t guess = 0;
        auto to = [&] { return day > m_first ? SplitDate(TenOClockOfLocalDay(day)) : m_from; };
        switch (m_type) {
        case RepeatMonthly: {
            const CalendarDate target = to();
            guess = (((std::int64_t(target.year) - m_from.year) * 12 + (target.month - m_from.month)) / m_delta - 1) *
                    m_perMonth;
            break;
        }
        case RepeatYearly:
            guess = (std::int64_t(to().year) - m_from.year) / m_delta - 1;
            break;
        default:
            guess = (day - m_first) / m_delta - 1;
            break;
        }
        auto n = static_cast<std::uint64_t>(std::max<std::int64_t>(guess, 0));
        while (Day(n) < day)
            ++n;
        return n;
    }

private:
    int m_type;
    std::int64_t m_delta;
    std::int64_t m_first;
    CalendarDate m_from;
    const CDateRepeaterMonthly* m_monthly;
    std::uint32_t m_perMonth;
};

// Where the rule's occurrences are taken: the window [start, end), and the days the rule's
// own dates are looked for in, wider by the farthest a move to a business day reaches.
struct Reach {
    Reach(const ICashflowListCtrl& cashflow, const CDateRepeater& rule)
        : calendar(cashflow.GetBusinessCalendar())
        , move(rule.GetBusinessDay())
        , start(ProjectionStartDate())
        , end(cashflow.GetEndDate())
        , from(move == BusinessDayMove::Keep ? start : AddDays(start, -BusinessCalendar::kMoveReach))
        , to(move == BusinessDayMove::Keep ? end : AddDays(end, BusinessCalendar::kMoveReach))
    {
    }

    bool Moves() const { return move != BusinessDayMove::Keep; }

    const BusinessCalendar& calendar;
    BusinessDayMove move;
    TimeValue start, end, from, to;
};

// Whether OccurrenceDays gives the rule's own days in [start, end): a rule stepping
// forward by days, weeks, months or years, in a window where no clock change moves 10:00
// of a day off that day, and, for a rule stepping by days, where the start's clock time
// plus any change of the zone's offset since its date stays on the same day.
bool SteppedByDays(const CDateRepeater& rule, TimeValue date, TimeValue start, TimeValue end)
{
    if (rule.delta <= 0 || rule.GetType() == RepeatOnce || rule.GetType() > RepeatYearly)
        return false;
    constexpr std::int64_t kMargin = 3 * kSecondsPerDay;
    const std::optional<OffsetRange> offsets = UtcOffsetsBetween(start - kMargin, end + kMargin);
    if (!offsets || offsets->greatest - offsets->least >= 14 * 3600)
        return false;
    if (rule.GetType() == RepeatDaily || rule.GetType() == RepeatWeekly) {
        const std::int64_t local = LocalSecondsOf(date);
        const std::int64_t offset = local - date;
        const std::int64_t clock = local - LocalDay(date) * kSecondsPerDay;
        if (offsets->least - offset < -clock || offsets->greatest - offset >= kSecondsPerDay - clock)
            return false;
    }
    return true;
}

const std::vector<PaymentException>& ExceptionsOf(const TransactionData* record)
{
    static const std::vector<PaymentException> none;
    return record ? record->exceptions : none;
}

// Queues the days of the rule's occurrences in the window through the projection's
// batches, but for those with an exception; false when the days could not be used. An
// occurrence belongs to the window when the day it is taken on does, wherever it was due.
bool ProjectOccurrenceDays(ICashflowListCtrl& cashflow, TimeValue date, const std::string& description,
                           std::int32_t amount, TransactionData* record, const CDateRepeater& rule,
                           ExceptionCursor& exceptions)
{
    const Reach reach(cashflow, rule);
    if (!SteppedByDays(rule, date, reach.from, reach.to))
        return false;
    const OccurrenceDays days(rule, date);
    const std::int64_t fromDay = LocalDay(reach.from);
    const std::int64_t toDay = LocalDay(reach.to);
    const std::int64_t startDay = LocalDay(reach.start);
    const std::int64_t endDay = LocalDay(reach.end);
    const std::uint64_t first = days.FirstNotBefore(fromDay);
    const std::uint64_t count = rule.count != 0 ? rule.count : std::numeric_limits<std::uint32_t>::max();
    // The first day looked at, and the one before it, must be where the rule's own dates
    // put them.
    if (first > std::numeric_limits<std::uint32_t>::max() ||
        (first < count && rule.GetOccurrence(date, static_cast<std::uint32_t>(first)) < reach.from) ||
        (first > 0 && first - 1 < count &&
         rule.GetOccurrence(date, static_cast<std::uint32_t>(first - 1)) >= reach.from))
        return false;
    const std::int64_t firstHandled = LocalDay(EarliestDate());
    const std::int64_t lastHandled = LocalDay(LatestDate());
    // Occurrences due on these days are taken on days whose rows the projection keeps,
    // however far a move takes them: they are passed over.
    const ICashflowListCtrl::DayRange kept = cashflow.DaysKept();
    const std::int64_t keptReach = reach.Moves() ? BusinessCalendar::kMoveReach : 0;
    const std::int64_t passFrom = std::int64_t{kept.from} + keptReach;
    const std::int64_t passTo = std::int64_t{kept.to} - keptReach;
    constexpr std::size_t kBatch = 4096;
    std::vector<std::int32_t> batch;
    const bool excepted = !exceptions.Empty();
    for (std::uint64_t n = first; n < count; ++n) {
        std::int64_t day = days.Day(n);
        if (day >= passFrom && day < passTo) {
            // The first occurrence due on passTo or later is later than this one.
            n = days.FirstNotBefore(passTo) - 1;
            continue;
        }
        if (day >= toDay)
            break;
        if (excepted && exceptions.Find(static_cast<std::uint32_t>(n), day))
            continue;
        if (reach.Moves()) {
            day = reach.calendar.Move(day, reach.move,
                                      [&](std::int64_t d) { return d >= firstHandled && d <= lastHandled; });
            if (day < startDay || day >= endDay)
                continue;
        }
        batch.push_back(static_cast<std::int32_t>(day));
        if (batch.size() == kBatch) {
            if (!cashflow.InsertEntryDays(batch, description, amount, record))
                return true;
            batch.clear();
        }
    }
    if (!batch.empty())
        cashflow.InsertEntryDays(batch, description, amount, record);
    return true;
}

// Steps the rule's own dates from its first occurrence before the window.
void ProjectOccurrenceDates(ICashflowListCtrl& cashflow, TimeValue date, const std::string& description,
                            std::int32_t amount, TransactionData* record, const CDateRepeater& rule,
                            ExceptionCursor& exceptions)
{
    const Reach reach(cashflow, rule);
    // Dates go to the projection in batches, so that a rule with a huge count stops
    // soon after the projection is full instead of gathering all its dates first.
    constexpr std::size_t kBatch = 4096;
    std::vector<TimeValue> batch;
    bool room = true;
    WalkOccurrenceDates(rule, date, reach.from, reach.to, [&](std::uint32_t n, TimeValue occurrence) {
        if (!exceptions.Empty() && exceptions.Find(n, LocalDay(occurrence)))
            return true;
        const TimeValue taken = reach.Moves() ? MovedOccurrence(occurrence, rule, reach.calendar) : occurrence;
        if (taken >= reach.start && taken < reach.end)
            batch.push_back(taken);
        if (batch.size() == kBatch) {
            room = cashflow.InsertEntries(batch, description, amount, record);
            batch.clear();
        }
        return room;
    });
    if (room && !batch.empty())
        cashflow.InsertEntries(batch, description, amount, record);
}

// Queues the occurrences an exception changes, at the dates they are taken on, after the
// plain ones: on a day, a transaction's changed rows follow its plain rows.
void ProjectChangedOccurrences(ICashflowListCtrl& cashflow, TimeValue date, const std::string& description,
                               std::int32_t amount, TransactionData* record, const CDateRepeater& rule,
                               const ExceptionCursor& walked)
{
    const std::vector<ListedOccurrence> changed =
        ChangedOccurrences(rule, date, amount, record->exceptions, cashflow.GetBusinessCalendar(),
                           ProjectionStartDate(), cashflow.GetEndDate(), &walked);
    if (!changed.empty())
        cashflow.InsertChangedEntries(changed, description, record);
}

} // namespace

void ProjectTransactionOccurrences(ICashflowListCtrl& cashflow, TimeValue date, const std::string& description,
                                   std::int32_t amount, TransactionData* record, const CDateRepeater& rule)
{
    if (amount != 0) {
        ExceptionCursor exceptions(ExceptionsOf(record), rule, date);
        if (!ProjectOccurrenceDays(cashflow, date, description, amount, record, rule, exceptions))
            ProjectOccurrenceDates(cashflow, date, description, amount, record, rule, exceptions);
        if (!exceptions.Empty())
            ProjectChangedOccurrences(cashflow, date, description, amount, record, rule, exceptions);
    }
    // A rule that steps back or stands still with a count stops where the window ends
    // before its first occurrence inside: which of its rows a day has depends on the
    // whole window.
    if (amount != 0 && rule.delta <= 0 && rule.count != 0)
        cashflow.ProjectAllOnNextMove();
    cashflow.Recalculate(0);
}

void WithdrawTransactionEntries(ICashflowListCtrl& cashflow, const TransactionData* record, bool recalculate)
{
    const int lowest = cashflow.DeleteEntriesOf(record);
    if (recalculate && lowest < cashflow.GetCount())
        cashflow.Recalculate(lowest);
}
