#pragma once

#include "common/folded_text.h"
#include "model/cashflow_interfaces.h"
#include "model/transaction_data.h"

#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

// The accounts and transactions of a data file as the window's lists hold them, without
// any window: the transactions in the list's order (by description, ASCII letters
// folded, equal descriptions in the order added), projected in that order. The command
// line's forecast works on it; the projection it feeds is the window's own.
class TransactionSchedule : public IAccountsListCtrl, public ITransListCtrl {
public:
    void AddAccount(std::int32_t balance) { m_total += balance; }
    // Keeps the record at its sorted place: before the first transaction whose description
    // compares greater.
    void AddTransaction(std::unique_ptr<TransactionData> record);
    // The projection the transactions are projected into; not owned.
    void SetProjection(ICashflowListCtrl& projection) { m_projection = &projection; }

    std::int64_t GetTotalBalance() override { return m_total; }
    void EditTransaction(int) override {}
    int FindTransaction(const TransactionData* record) override;
    int ProjectAllTransactions() override;

    const std::vector<std::unique_ptr<TransactionData>>& Transactions();

private:
    // Records added out of order are sorted once, when the list is next looked at.
    void SortAdded();

    std::int64_t m_total = 0;
    std::vector<std::unique_ptr<TransactionData>> m_transactions;
    bool m_sorted = true;
    ICashflowListCtrl* m_projection = nullptr;
};

// Projects one transaction as the transactions list does: from the date, description and
// amount as its row's texts read back.
void ProjectTransaction(ICashflowListCtrl& projection, TransactionData& record);
