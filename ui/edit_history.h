#pragma once

// The one way the user's changes reach the data: adding, editing and deleting accounts and
// transactions, and moving the start date or the Duration. CEditHistory makes each change
// through the lists' and the page's own operations and records it as an undo step that
// holds what changed (the record before and after, its row), never a copy of the data.
// A command that makes several such changes (a series cut in two, Update Balances) records
// them as one step.

#include "model/business_calendar.h"
#include "model/dates.h"
#include "ui/edit_history_interface.h"
#include "ui/platform/undo_stack.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

class CAccountsListCtrl;
class CCashFlowPgDlg;
class CDateRepeater;
class CTransListCtrl;
struct TransactionData;
namespace win {
class CListCtrl;
}

class CEditHistory : public IEditHistory {
public:
    using Clock = std::function<std::chrono::steady_clock::time_point()>;
    // Presses of "<<", ">>" or the spin closer together than this merge into one step.
    static constexpr std::chrono::milliseconds kBurst{1000};

    // None of the references is owned; the history must not outlive them.
    CEditHistory(CAccountsListCtrl& accounts, CTransListCtrl& transactions, CCashFlowPgDlg& cashFlow);
    ~CEditHistory();

    void AddAccount(const std::string& description, std::int32_t balance) override;
    void UpdateAccount(int row, const std::string& description, std::int32_t balance) override;
    void DeleteAccount(int row) override;
    void AddTransaction(TimeValue date, const std::string& description, std::int32_t amount,
                        std::unique_ptr<CDateRepeater> rule) override;
    void UpdateTransaction(int row, TimeValue date, const std::string& description, std::int32_t amount,
                           std::unique_ptr<CDateRepeater> rule) override;
    void DeleteTransaction(int row) override;
    void AddTransaction(std::unique_ptr<TransactionData> record) override;
    void UpdateTransaction(int row, std::unique_ptr<TransactionData> record) override;
    void SplitTransaction(int row, std::unique_ptr<TransactionData> first,
                          std::unique_ptr<TransactionData> later) override;
    // Catching up with the bank (File > Update Balances...), as one step: each account's
    // balance (by row; those unchanged are left alone), the start date, and the records
    // that replace some transactions' (by row: the late payments moved to the start date).
    struct TransactionChange {
        int row;
        std::unique_ptr<TransactionData> record;
    };
    void UpdateBalances(const std::vector<std::int32_t>& balances, TimeValue startDate,
                        std::vector<TransactionChange> transactions);
    void SetStartDate(TimeValue date) override;
    void MoveStartDate(int days) override;
    void SetDuration(unsigned months) override;
    // New weekend days or holidays (Edit > Business Days...): one step; the projection is
    // made again at once.
    void SetBusinessCalendar(BusinessCalendar calendar);

    bool CanUndo() const { return m_stack.CanUndo(); }
    bool CanRedo() const { return m_stack.CanRedo(); }
    // "Undo Add Transaction "Car loan"", or "Undo" when there is nothing to undo; the
    // same for Redo.
    std::string UndoText() const;
    std::string RedoText() const;
    void Undo();
    void Redo();
    // Forgets every step (the lists now hold data the steps do not know).
    void Clear();
    // Steps held, done and undone, and how many of them are done.
    int StepCount() const { return m_stack.Count(); }
    int DoneCount() const { return m_stack.Index(); }

    // For tests: the clock that tells quick presses apart.
    void SetClock(Clock clock) { m_clock = std::move(clock); }

    // Which row a step means, whatever sorting or other steps did to the row's place: the
    // row's item data while the row is in its list, 0 while it is not.
    struct RowIdentity {
        std::uintptr_t data = 0;
    };
    // The identities of one list's rows that some step refers to, by item data.
    class Identities {
    public:
        explicit Identities(win::CListCtrl& list) : m_list(list) {}
        // The identity of a row (made on first need); null for no row.
        std::shared_ptr<RowIdentity> Of(int row);
        // The row now, or -1.
        int RowOf(const RowIdentity& identity) const;
        // The row's record was replaced, or the row came back: its item data is now data.
        void Rebind(const std::shared_ptr<RowIdentity>& identity, std::uintptr_t data);
        // The row has left the list.
        void Release(RowIdentity& identity);
        void Clear() { m_byData.clear(); }
        win::CListCtrl& List() { return m_list; }

    private:
        win::CListCtrl& m_list;
        std::unordered_map<std::uintptr_t, std::shared_ptr<RowIdentity>> m_byData;
    };

private:
    void Record(std::unique_ptr<win::CUndoStep> step);
    // Between these, the changes made are gathered into one step with the given text.
    void BeginGroup();
    void EndGroup(const std::string& text);
    std::chrono::steady_clock::time_point Now() const { return m_clock(); }

    CAccountsListCtrl& m_accounts;
    CTransListCtrl& m_transactions;
    CCashFlowPgDlg& m_cashFlow;
    Identities m_accountRows;
    Identities m_transactionRows;
    Clock m_clock;
    win::CUndoStack m_stack;
    // The steps of the group being made, while one is.
    std::unique_ptr<std::vector<std::unique_ptr<win::CUndoStep>>> m_group;
};
