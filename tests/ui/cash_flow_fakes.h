#pragma once

// Stand-ins for the accounts and transactions lists around the cash-flow list: a total
// to hand out, and transactions that are projected the way the transactions list does
// it, with a record of what the cash-flow list asked of them.

#include <cstdint>
#include <memory>
#include <vector>

#include "model/cash_flow_projection.h"
#include "model/date_repeater.h"
#include "model/transaction_data.h"

class FakeAccounts : public IAccountsListCtrl {
public:
    std::int64_t GetTotalBalance() override { return total; }
    std::int64_t total = 0;
};

class FakeTransactions : public ITransListCtrl {
public:
    // The cash-flow list is built after this object; it is wired in afterwards, as the
    // main window does.
    ICashflowListCtrl* cashflow = nullptr;
    std::vector<std::unique_ptr<TransactionData>> records;
    int projectAllCalls = 0;
    std::vector<const TransactionData*> found;
    std::vector<int> edited;

    TransactionData& Add(TimeValue date, std::int32_t amount, std::unique_ptr<CDateRepeater> rule,
                         const char* description = "T")
    {
        records.push_back(std::make_unique<TransactionData>(date, description, amount, std::move(rule)));
        if (cashflow)
            Project(*records.back());
        return *records.back();
    }
    TransactionData& AddOnce(TimeValue date, std::int32_t amount, const char* description = "T")
    {
        return Add(date, amount, std::make_unique<CDateRepeaterOnce>(), description);
    }

    void EditTransaction(int row) override { edited.push_back(row); }
    int FindTransaction(const TransactionData* record) override
    {
        found.push_back(record);
        for (std::size_t row = 0; row < records.size(); ++row)
            if (records[row].get() == record)
                return static_cast<int>(row);
        return -1;
    }
    int ProjectAllTransactions() override
    {
        ++projectAllCalls;
        for (const auto& record : records)
            Project(*record);
        return static_cast<int>(records.size());
    }

private:
    void Project(TransactionData& record)
    {
        ProjectTransactionOccurrences(*cashflow, record.date, record.description, record.amount, &record,
                                      *record.repeater);
    }
};
