#pragma once

#include "model/cash_flow_rows.h"
#include "model/cashflow_interfaces.h"
#include "model/dates.h"

#include <cstdint>
#include <memory>
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
    void InsertEntries(const std::vector<TimeValue>& dates, const std::string& description,
                       std::int32_t amount, TransactionData* record) override;
    int DeleteEntriesOf(const TransactionData* record) override;

    std::int32_t GetAmount(int row);
    const std::string& GetDescription(int row);

    TimeValue GetStartDate() const { return ProjectionStartDate(); }
    unsigned GetDuration() const { return m_duration; }
    void SetStartDate(TimeValue date);
    void SetDuration(unsigned months);
    // Starts again from the opening row and projects every transaction.
    void Rebuild();
    // The opening row, as when the list first gets its window.
    void InsertOpeningRow();
    void DeleteAllEntries();

    CashFlowRows& Rows() { return m_rows; }

protected:
    // Rows were inserted, deleted or their texts changed.
    virtual void OnRowsChanged() {}
    // A recalculation ended: the chart repaints.
    virtual void OnRecalculated() {}

private:
    bool InWindow(TimeValue date) const;

    IAccountsListCtrl& m_accounts;
    ITransListCtrl& m_transactions;
    unsigned m_duration;
    std::shared_ptr<const std::string> m_openingDescription;
    CashFlowRows m_rows;
};

// Inserts every occurrence of a transaction that falls inside the projection window,
// then recalculates from row 0. A rule that does not move forward in time (a zero or
// negative step from a hand-edited file) stops at its first occurrence that is not later
// than the one before, so the projection always ends.
void ProjectTransactionOccurrences(ICashflowListCtrl& cashflow, TimeValue date, const std::string& description,
                                   std::int32_t amount, TransactionData* record, const CDateRepeater& rule);

// Removes every row of a transaction; with recalculate set, recomputes the balances from
// the first row it had.
void WithdrawTransactionEntries(ICashflowListCtrl& cashflow, const TransactionData* record, bool recalculate);
