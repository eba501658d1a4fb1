#pragma once

// What the transactions tests share: an accounts list that only has a total, and a
// Transactions page with its window wired to a core projection as its cash-flow list,
// the way the main window wires the real ones.

#include "model/cash_flow_projection.h"
#include "fake_config.h"
#include "ui/trans_list_ctrl.h"
#include "ui/trans_page_dlg.h"

#include <cstdint>

namespace trans_testing {

class FixedAccounts : public IAccountsListCtrl {
public:
    explicit FixedAccounts(std::int64_t total = 0) : total(total) {}
    std::int64_t GetTotalBalance() override { return total; }
    std::int64_t total;
};

// The page is declared before the projection it is given: the page only keeps the
// reference until the projection exists.
struct TransactionsHarness {
    TransactionsHarness(TimeValue start, unsigned duration, std::int64_t accountsTotal, bool withWindow = true)
        : accounts(accountsTotal), page(config, projection),
          projection(accounts, page.GetListCtrl(), duration, "Current Accounts")
    {
        ProjectionStartDate() = start;
        if (withWindow)
            page.Create(nullptr);
        projection.Rebuild();
    }

    CTransListCtrl& List() { return page.GetListCtrl(); }

    FakeConfig config;
    FixedAccounts accounts;
    CTransPageDlg page;
    CashFlowProjection projection;
};

} // namespace trans_testing
