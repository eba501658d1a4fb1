#pragma once

// CTransListCtrl: the transactions list, and the store of the transactions. Each row
// shows a transaction (description, insertion date, amount, repeat type) and carries the
// TransactionData record, with its repeat rule, that the list owns. Every change is
// passed on to the projection at once through ICashflowListCtrl. The record carries
// everything the transaction is (what-if flag included): adding, editing, undoing and
// saving pass records, never values rebuilt from the row's texts. A tentative
// transaction's row is shown in italics.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "model/cashflow_interfaces.h"
#include "model/date_repeater.h"
#include "model/dates.h"
#include "model/transaction_data.h"
#include "ui/base_list_ctrl.h"

class CTransEditDlg;
class IEditHistory;

class CTransListCtrl : public CBaseListCtrl, public ITransListCtrl {
public:
    enum Column : int { DescriptionColumn = 0, DateColumn = 1, AmountColumn = 2, RepeatsColumn = 3 };
    static constexpr int kColumnCount = 4;

    // Neither the profile store nor the projection is owned.
    CTransListCtrl(IConfigDataManager& configuration, ICashflowListCtrl& cashflow);
    ~CTransListCtrl() override;

    // When a new transaction reaches the projection: at once, or with a rebuild of the
    // whole projection that the caller makes after adding many.
    enum class Projection { Now, Later };

    // Stores a new transaction in its place by description, selects it when asked, and
    // projects it. The rule passes to the new record. Returns the row, or -1 when the row
    // could not be inserted (the rule is then destroyed). Raises win::api::Exception when
    // the new row cannot be selected.
    int AddTransaction(TimeValue date, const std::string& description, std::int32_t amount,
                       std::unique_ptr<CDateRepeater> rule, bool select, Projection projection = Projection::Now);
    // The same for a whole record (a null rule becomes a one-time rule).
    int AddRecord(std::unique_ptr<TransactionData> record, bool select, Projection projection = Projection::Now);
    // Stores many new transactions, each where AddTransaction would have put it, selecting
    // the last one when asked and projecting none of them (the caller rebuilds the
    // projection). Into an empty list they are sorted once rather than placed one by one.
    void AddTransactions(std::vector<std::unique_ptr<TransactionData>> records, bool selectLast);
    // Replaces a row's values and record and projects it again; the old record and its
    // rule are destroyed.
    void UpdateTransaction(int row, TimeValue date, const std::string& description, std::int32_t amount,
                           std::unique_ptr<CDateRepeater> rule);
    void UpdateRecord(int row, std::unique_ptr<TransactionData> record);
    // Withdraws the row's transaction from the projection, then removes the row and its
    // record.
    void DeleteItemAt(int row) override;
    // Puts a transaction back at exactly this row (as undoing its deletion does), whatever
    // the sorted order, and projects it; returns the row. Leaves the selection as it is.
    int RestoreTransaction(int row, TimeValue date, const std::string& description, std::int32_t amount,
                           std::unique_ptr<CDateRepeater> rule);
    int RestoreRecord(int row, std::unique_ptr<TransactionData> record);
    // The user's edits and deletes go through the history from now on (not owned).
    void SetEditHistory(IEditHistory* history) { m_history = history; }
    void DeleteConfirmed(int row) override;
    // Inserts the occurrences of the row's transaction into the projection, then
    // recalculates every balance.
    void ProjectTransaction(int row);
    // Removes the record's rows from the projection; with recalculate, recomputes the
    // balances from the first of them.
    void WithdrawTransaction(const TransactionData* record, bool recalculate);

    void EditTransaction(int row) override;
    // This payment only sets the payment's exception; this and later payments cuts the
    // series there (one step) and gives the later part the values confirmed.
    void EditPayment(int row, const ListedOccurrence& payment) override;
    int FindTransaction(const TransactionData* record) override;
    int ProjectAllTransactions() override;

    std::string GetSectionName() const override;
    int GetDefaultColumnWidth(int column) const override;

    // The row's values as its texts read back, and its record (null for no such row).
    std::string GetDescription(int row) const;
    TimeValue GetDate(int row) const;
    std::int32_t GetAmount(int row) const;
    TransactionData* GetRecord(int row) const;
    // A tentative transaction's row is shown in italics, its tooltip saying "What-if".
    std::string GetRowNote(int row) override;

    // Sorts the rows by a column: the first time descending, then alternately ascending
    // and descending. The directions are shared by every transactions list of the run.
    void SortByColumn(int column);
    // The order of two transactions by a column, before the direction is applied:
    // negative when a comes first in ascending order.
    static int CompareByColumn(const TransactionData& a, const TransactionData& b, int column);
    // Whether the next sort by the column is ascending.
    static bool IsNextSortAscending(int column);
    // Every column back to its first-click direction, as at the start of a run.
    static void ResetSortDirections();

protected:
    // Creates the columns, then runs the base step.
    void PreSubclassWindow() override;
    void OnDoubleClick(int row) override;
    void OnColumnClick(int column) override;
    // The records go with the window.
    void OnWindowDestroyed() override;

private:
    // The page destroys the records when its window goes, whatever the list hears of it.
    friend class CTransPageDlg;

    void SetRowTexts(int row, TimeValue date, std::int32_t amount);
    void DestroyAllRecords();
    // Fills the editor with the row's transaction and the Cash Flow's window.
    void ShowInEditor(CTransEditDlg& editor, int row, const TransactionData& record);

    ICashflowListCtrl& m_cashflow;
    IEditHistory* m_history = nullptr;
};
