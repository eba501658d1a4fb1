#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "model/cashflow_interfaces.h"
#include "ui/account_data.h"
#include "ui/base_list_ctrl.h"

class IEditHistory;

// The accounts list: the only store of the user's accounts while the program runs, one
// row per account (description, balance as "%d" text). It gives the projection the total
// of the balances and tells it to recalculate after every change; it reads what it needs
// back from the row texts.
class CAccountsListCtrl : public CBaseListCtrl, public IAccountsListCtrl {
public:
    enum class Selection { Leave, Select };

    // Neither reference is owned; the cash-flow list may still be under construction.
    CAccountsListCtrl(IConfigDataManager& configuration, ICashflowListCtrl& cashflow);
    ~CAccountsListCtrl() override;

    // Adds an account in its place by description; returns its row, or -1 when the list
    // view refuses the row. Raises win::api::Exception when the row's record or selected
    // state cannot be set.
    int AddAccount(const std::string& description, std::int32_t balance, Selection selection);
    // Adds many accounts, each where AddAccount would have put it, selecting none, and
    // recalculates the projection once. Into an empty list they are sorted once rather
    // than placed one by one.
    void AddAccounts(std::vector<AccountData> accounts);
    // Changes an account in place: the row stays where it is whatever its new description.
    void UpdateAccount(int row, const std::string& description, std::int32_t balance);
    // Puts an account back at exactly this row (as undoing its deletion does), whatever
    // the sorted order; returns the row. Leaves the selection as it is.
    int RestoreAccount(int row, const std::string& description, std::int32_t balance);
    // Runs the Account Editor on a row and applies what the user confirms.
    void EditAccount(int row);
    void DeleteItemAt(int row) override;
    // The user's edits and deletes go through the history from now on (not owned).
    void SetEditHistory(IEditHistory* history) { m_history = history; }
    void DeleteConfirmed(int row) override;

    // The sum of every row's balance; 0 while the list has no window.
    std::int64_t GetTotalBalance() override;

    std::string GetSectionName() const override;
    int GetDefaultColumnWidth(int column) const override;

    // Sorts the rows by a column and flips that column's direction: the first sort of a
    // column in a run is descending (Z to A, largest balance first), the next ascending.
    void SortByColumn(int column);
    // Back to the start of a run: every column's next sort is descending.
    static void ResetSortDirections();

    // The balance a row shows, read as the data file reads numbers.
    std::int32_t GetBalance(int row) const;

protected:
    // Creates the columns, then the base step (full-row selection).
    void PreSubclassWindow() override;
    // Edits the selected account.
    void OnDoubleClick(int row) override;
    void OnColumnClick(int column) override;

private:
    // Inserts the row with its record; the list view's sorted style places it unless a row
    // is given. Returns the row or -1.
    int InsertAccount(int row, const std::string& description, std::int32_t balance);

    ICashflowListCtrl& m_cashflow;
    IEditHistory* m_history = nullptr;
    // The rows' records, owned here; each row's item data points at one.
    std::vector<std::unique_ptr<AccountData>> m_records;

    // Per column: false sorts descending next, true ascending. Shared by the whole run.
    static bool s_ascending[2];
};
