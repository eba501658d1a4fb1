#include "model/cash_flow_projection.h"

#include "model/date_repeater.h"

#include <algorithm>
#include <cassert>
#include <limits>

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
    // A month counts 31 days here, not a calendar month. The window never reaches past
    // the last day the program handles, so no row has a date it could not write.
    return std::min(AddDays(ProjectionStartDate(), 31 * static_cast<std::int64_t>(m_duration)),
                    AddDays(LatestDate(), 1));
}

bool CashFlowProjection::InWindow(TimeValue date) const
{
    return date >= ProjectionStartDate() && date < GetEndDate();
}

void CashFlowProjection::SetRowLimit(std::size_t limit)
{
    m_rowLimit = std::max<std::size_t>(limit, 1);
}

bool CashFlowProjection::HasRoom()
{
    if (m_rows.Count() < m_rowLimit)
        return true;
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
    if (!InWindow(date) || !HasRoom())
        return -1;
    // The row holds its date as its text reads back: the day, at 10:00.
    const auto position = static_cast<int>(m_rows.Insert(date, description, amount, record));
    OnRowsChanged();
    if (recalculate)
        Recalculate(position);
    return position;
}

bool CashFlowProjection::InsertEntries(const std::vector<TimeValue>& dates, const std::string& description,
                                       std::int32_t amount, TransactionData* record)
{
    const TimeValue start = ProjectionStartDate();
    const TimeValue end = GetEndDate();
    std::shared_ptr<const std::string> shared;
    bool room = true;
    for (TimeValue date : dates) {
        if (date < start || date >= end)
            continue;
        if (!HasRoom()) {
            room = false;
            break;
        }
        if (!shared)
            shared = std::make_shared<const std::string>(description);
        m_rows.Queue(date, shared, amount, record);
    }
    if (shared)
        OnRowsChanged();
    return room;
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
    DeleteAllEntries();
    InsertOpeningRow();
    m_transactions.ProjectAllTransactions();
}

void CashFlowProjection::SetStartDate(TimeValue date)
{
    // Whatever asks (the date buttons stepping past the last day, say), the start stays
    // a day the program can write.
    ProjectionStartDate() = ClampDate(date);
    Rebuild();
}

void CashFlowProjection::SetDuration(unsigned months)
{
    m_duration = months;
    Rebuild();
}

namespace {

// An occurrence index to start stepping from: every occurrence before it lies before the
// window's start, so stepping from 0 would only have walked up to it. A rule dated long
// before the window (a daily rule from year 1) then costs no more than one inside it.
std::uint32_t FirstIndexBefore(const CDateRepeater& rule, TimeValue date, TimeValue start)
{
    if (date >= start || rule.delta <= 0)
        return 0;
    std::int64_t guess = 0;
    switch (rule.GetType()) {
    case RepeatDaily:
    case RepeatWeekly:
        guess = (start - date) / (kSecondsPerDay * rule.delta);
        break;
    case RepeatMonthly: {
        const CalendarDate from = SplitDate(date), to = SplitDate(start);
        guess = ((std::int64_t(to.year) - from.year) * 12 + (to.month - from.month)) / rule.delta;
        break;
    }
    case RepeatYearly:
        guess = (std::int64_t(SplitDate(start).year) - SplitDate(date).year) / rule.delta;
        break;
    default:
        return 0;
    }
    // Two steps back keep the guess clear of the start whatever the clock did in between.
    guess -= 2;
    if (guess <= 0)
        return 0;
    guess = std::min<std::int64_t>(guess, std::numeric_limits<std::uint32_t>::max());
    if (rule.count != 0)
        guess = std::min<std::int64_t>(guess, rule.count);
    const auto n = static_cast<std::uint32_t>(guess);
    return rule.GetOccurrence(date, n) < start ? n : 0;
}

} // namespace

void ProjectTransactionOccurrences(ICashflowListCtrl& cashflow, TimeValue date, const std::string& description,
                                   std::int32_t amount, TransactionData* record, const CDateRepeater& rule)
{
    if (amount != 0) {
        const TimeValue start = ProjectionStartDate();
        const TimeValue end = cashflow.GetEndDate();
        // Dates go to the projection in batches, so that a rule with a huge count stops
        // soon after the projection is full instead of gathering all its dates first.
        constexpr std::size_t kBatch = 4096;
        std::vector<TimeValue> batch;
        bool room = true;
        std::uint32_t n = FirstIndexBefore(rule, date, start);
        TimeValue occurrence = rule.GetOccurrence(date, n);
        for (;;) {
            if (rule.count != 0 && n >= rule.count)
                break;
            if (occurrence >= start && occurrence < end) {
                batch.push_back(occurrence);
                if (batch.size() == kBatch) {
                    room = cashflow.InsertEntries(batch, description, amount, record);
                    batch.clear();
                    if (!room)
                        break;
                }
            }
            if (n == std::numeric_limits<std::uint32_t>::max())
                break;
            ++n;
            const TimeValue next = rule.GetOccurrence(date, n);
            if (next >= end)
                break;
            // Occurrences of one rule never turn back: one that is not later than the
            // one before stays where it is or goes on backwards.
            if (next <= occurrence && (rule.count == 0 || next < start))
                break;
            occurrence = next;
        }
        if (room && !batch.empty())
            cashflow.InsertEntries(batch, description, amount, record);
    }
    cashflow.Recalculate(0);
}

void WithdrawTransactionEntries(ICashflowListCtrl& cashflow, const TransactionData* record, bool recalculate)
{
    const int lowest = cashflow.DeleteEntriesOf(record);
    if (recalculate && lowest < cashflow.GetCount())
        cashflow.Recalculate(lowest);
}
