#pragma once

#include "model/business_calendar.h"
#include "model/cash_flow_rows.h"
#include "model/cashflow_interfaces.h"
#include "model/dates.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

class CDateRepeater;

// The program-wide start date of the projection: today at 10:00 until something sets it.
TimeValue& ProjectionStartDate();

// The projection: from the start date over Duration months of 31 days, every occurrence
// of every transaction in date order with the running balance after it, behind an
// opening row that carries the total of the accounts. The cash-flow list shows these
// rows; this class keeps them and knows nothing of windows.
class CashFlowProjection : public ICashflowListCtrl {
public:
    // The most rows a projection holds. Far more than any real schedule gives (a daily
    // transaction over 99 months gives 3,069 rows), it keeps a hand-edited rule such as
    // Count 4000000000 with Delta 0 from filling the memory: 32 bytes a row.
    static constexpr std::size_t kRowLimit = 10'000'000;

    CashFlowProjection(IAccountsListCtrl& accounts, ITransListCtrl& transactions, unsigned duration,
                       std::string openingDescription);
    virtual ~CashFlowProjection() = default;

    int InsertEntry(TimeValue date, const std::string& description, std::int32_t amount,
                    TransactionData* record, bool recalculate) override;
    TimeValue GetEndDate() const override;
    int GetCount() override;
    std::int64_t GetBalance(int row) override;
    TimeValue GetDate(int row) override;
    TransactionData* GetTransaction(int row) override;
    void Recalculate(int first) override;
    void DeleteEntry(int row) override;
    bool InsertEntries(const std::vector<TimeValue>& dates, const std::string& description,
                       std::int32_t amount, TransactionData* record) override;
    bool InsertEntryDays(const std::vector<std::int32_t>& days, const std::string& description,
                         std::int32_t amount, TransactionData* record) override;
    bool InsertChangedEntries(const std::vector<ListedOccurrence>& changed, const std::string& description,
                              TransactionData* record) override;
    int DeleteEntriesOf(const TransactionData* record) override;
    void ProjectAllOnNextMove() override { m_inListOrder = false; }
    const BusinessCalendar& GetBusinessCalendar() const override { return m_calendar; }
    DayRange DaysKept() const override { return {m_kept.fromDay, m_kept.toDay}; }
    // The weekend days and holidays rules move their dates by; they take effect with the
    // next Rebuild, which the caller makes.
    void SetBusinessCalendar(BusinessCalendar calendar) { m_calendar = std::move(calendar); }

    // The opening row's amount is the total of the accounts, which may exceed 32 bits.
    std::int64_t GetAmount(int row);
    const std::string& GetDescription(int row);

    TimeValue GetStartDate() const { return ProjectionStartDate(); }
    unsigned GetDuration() const { return m_duration; }
    // Kept between EarliestDate and LatestDate. Moving the window keeps the rows of the
    // days the old and the new window share when they are what projecting them again
    // would give, and projects only the days it gains; otherwise it rebuilds.
    void SetStartDate(TimeValue date);
    void SetDuration(unsigned months);
    // Starts again from the opening row and projects every transaction.
    void Rebuild();
    // The opening row, as when the list first gets its window.
    void InsertOpeningRow();
    void DeleteAllEntries();

    CashFlowRows& Rows() { return m_rows; }

    // Whether tentative ("what-if") transactions get rows, as ordinary ones do (the
    // default), or are left out. Changing it rebuilds the projection.
    bool IncludesTentative() const { return m_includeTentative; }
    void SetIncludeTentative(bool include);

    // Whether entries in the window were refused since the last rebuild because the
    // projection held its limit of rows: the rows shown are then not all there are.
    bool IsCapped() const { return m_capped; }
    std::size_t GetRowLimit() const { return m_rowLimit; }
    // A lower limit than kRowLimit (at least 1, for the opening row), so that tests need
    // not build millions of rows.
    void SetRowLimit(std::size_t limit);

protected:
    // Rows were inserted, deleted or their texts changed.
    virtual void OnRowsChanged() {}
    // A recalculation ended: the chart repaints.
    virtual void OnRecalculated() {}
    // The first entry since the last rebuild was refused for want of room.
    virtual void OnCapped() {}

private:
    // While every transaction is projected again, by a rebuild or a move of the window.
    class ProjectingAll;
    // The days of a move's window that keep their rows: nothing is queued for them.
    struct KeptDays {
        TimeValue from = 0, to = 0;
        std::int32_t fromDay = 0, toDay = 0;
        bool Holds(TimeValue date) const { return date >= from && date < to; }
        bool Holds(std::int32_t day) const { return day >= fromDay && day < toDay; }
    };

    // After the start date or the duration changed.
    void Reproject();
    bool InWindow(TimeValue date) const;
    // A tentative transaction's entry while tentative transactions are left out.
    bool LeftOut(const TransactionData* record) const;
    // Whether one more row fits; records the refusal when not.
    bool HasRoom();
    int InsertRow(TimeValue date, const std::shared_ptr<const std::string>& description, std::int64_t amount,
                  TransactionData* record, bool recalculate);
    // Queues the dates (time values or local days) inside [start, end) while there is
    // room, sharing one copy of the description, each with amountOf(its index); false
    // when the projection was full.
    template <typename Date, typename AmountOf>
    bool QueueEntries(const std::vector<Date>& dates, Date start, Date end, const std::string& description,
                      AmountOf amountOf, TransactionData* record);

    IAccountsListCtrl& m_accounts;
    ITransListCtrl& m_transactions;
    unsigned m_duration;
    std::shared_ptr<const std::string> m_openingDescription;
    // The text of the last rows queued: a transaction's changed payments, queued one by
    // one after its plain ones, share it.
    std::shared_ptr<const std::string> m_queuedDescription;
    CashFlowRows m_rows;
    BusinessCalendar m_calendar;
    std::size_t m_rowLimit = kRowLimit;
    bool m_capped = false;
    bool m_projectingAll = false;
    // While every transaction is projected the window stands still: its ends, worked out
    // once for the whole pass (each batch of rows asks for them).
    struct Window {
        TimeValue start, end;
        std::int32_t startDay, endDay;
    };
    std::optional<Window> m_window;
    // Whether the rows of each day are in the transactions list's order, as a rebuild
    // leaves them: nothing inserted on its own or reordered since.
    bool m_inListOrder = false;
    KeptDays m_kept;
    // The window the rows were last projected for, by a rebuild or a move.
    TimeValue m_projectedStart = 0, m_projectedEnd = 0;
    // A move of the window found the projection full: it rebuilds instead.
    bool m_moveOverflowed = false;
    bool m_includeTentative = true;
};

// Inserts every occurrence of a transaction that falls inside the projection window,
// then recalculates from row 0. A rule with a count gives up to that many occurrences,
// even when it does not move forward in time (a zero or negative step from a hand-edited
// file: Delta 0 Count 5 is five entries on one day); one that has fallen before the start
// date without moving forward is done. A rule without a count stops at its first
// occurrence that is not later than the one before, so the projection always ends, and
// no rule goes on once the projection is full.
void ProjectTransactionOccurrences(ICashflowListCtrl& cashflow, TimeValue date, const std::string& description,
                                   std::int32_t amount, TransactionData* record, const CDateRepeater& rule);

// Removes every row of a transaction; with recalculate set, recomputes the balances from
// the first row it had.
void WithdrawTransactionEntries(ICashflowListCtrl& cashflow, const TransactionData* record, bool recalculate);
