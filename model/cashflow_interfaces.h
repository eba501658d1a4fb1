#pragma once

#include "model/dates.h"

#include <cstdint>
#include <string>
#include <vector>

class BusinessCalendar;
struct ListedOccurrence;
struct TransactionData;

// What the transactions and accounts lists and the chart may ask of the projection. The
// cash-flow list implements it; its users hold a reference they do not own.
class ICashflowListCtrl {
public:
    // Inserts one entry when its date lies in [start date, end date): after every row of
    // the same or an earlier date. Returns the new row's index, or -1 when refused.
    virtual int InsertEntry(TimeValue date, const std::string& description, std::int32_t amount,
                            TransactionData* record, bool recalculate) = 0;
    // End of the projection window (excluded).
    virtual TimeValue GetEndDate() const = 0;
    virtual int GetCount() = 0;
    // Running balance after the row.
    virtual std::int64_t GetBalance(int row) = 0;
    virtual TimeValue GetDate(int row) = 0;
    // The transaction that produced the row; null for the opening row.
    virtual TransactionData* GetTransaction(int row) = 0;
    // Refreshes the opening amount (when first is 0) and every balance from row first on.
    virtual void Recalculate(int first) = 0;
    // Removes a row; balances are not recomputed.
    virtual void DeleteEntry(int row) = 0;

    // The same as InsertEntry without recalculation for each date in turn, in one step.
    // The dates are dates of the program (10:00 local time), as repeat rules give them.
    // False when the projection was full and refused some of them: more would be refused too.
    virtual bool InsertEntries(const std::vector<TimeValue>& dates, const std::string& description,
                               std::int32_t amount, TransactionData* record) = 0;
    // The same for dates given as local days (see LocalDay).
    virtual bool InsertEntryDays(const std::vector<std::int32_t>& days, const std::string& description,
                                 std::int32_t amount, TransactionData* record)
    {
        std::vector<TimeValue> dates;
        dates.reserve(days.size());
        for (const std::int32_t day : days)
            dates.push_back(TenOClockOfLocalDay(day));
        return InsertEntries(dates, description, amount, record);
    }
    // The same for a transaction's payments changed one by one, each with an amount of its
    // own: each at the date it is taken on, in the order given.
    virtual bool InsertChangedEntries(const std::vector<ListedOccurrence>& changed, const std::string& description,
                                      TransactionData* record);
    // The next change of the window projects every transaction again instead of keeping
    // the rows of the days it shares: the transactions list has put its transactions in
    // another order, holds one the projection has not been given yet, or a rule's rows
    // depend on where the window ends.
    virtual void ProjectAllOnNextMove() {}
    // The business days by which rules move their occurrences off days off: by default
    // Saturday and Sunday off and no holidays.
    virtual const BusinessCalendar& GetBusinessCalendar() const;
    // The local days [from, to) whose entries are dropped because the projection keeps the
    // rows it has for them, while it moves its window: a rule may pass over occurrences it
    // would take on those days. None (from == to) otherwise.
    struct DayRange {
        std::int32_t from = 0, to = 0;
    };
    virtual DayRange DaysKept() const { return {}; }
    // The same as DeleteEntry on every row of the record, from the top. Returns the lowest
    // index such a row had, or the row count left when there was none.
    virtual int DeleteEntriesOf(const TransactionData* record) = 0;

protected:
    ~ICashflowListCtrl() = default;
};

// What the projection and the main window ask of the transactions list.
class ITransListCtrl {
public:
    // Opens the transaction editor on a row and applies what the user confirms.
    virtual void EditTransaction(int row) = 0;
    // The same from one of the row's payments, as the Cash Flow lists it: the editor asks
    // whether the edit applies to it alone, to it and the later ones, or to every payment.
    virtual void EditPayment(int row, const ListedOccurrence&) { EditTransaction(row); }
    // The first row whose record is this one, or -1.
    virtual int FindTransaction(const TransactionData* record) = 0;
    // Projects every transaction in list order; returns the row count.
    virtual int ProjectAllTransactions() = 0;

protected:
    ~ITransListCtrl() = default;
};

// What the projection asks of the accounts list.
class IAccountsListCtrl {
public:
    // The sum of all account balances; 0 while the list has no window.
    virtual std::int64_t GetTotalBalance() = 0;

protected:
    ~IAccountsListCtrl() = default;
};
