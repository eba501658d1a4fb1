#pragma once

// CUpdateBalancesDlg: File or Edit > Update Balances..., where the user catches the
// forecast up with the bank: each account's balance as the bank shows it, the day those
// balances hold for (the new start date), and which of the payments the forecast expected
// until then are not yet paid. One dialog, read from top to bottom: the day; an account
// chosen in a drop-down list and its balance, with every account's new balance listed
// below; then the expected payments, each with a check box (Space toggles it), listed
// again whenever the day changes. It only collects; the main window applies what OK
// confirms as one step.

#include "model/dates.h"
#include "ui/late_payments.h"
#include "ui/platform/dialog.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

class CUpdateBalancesDlg : public win::CDialog {
public:
    struct Account {
        std::string description;
        std::int32_t balance = 0;
    };
    // What the payments list shows of one.
    struct Shown {
        std::string description;
        ExpectedPayment payment;
    };
    // The payments expected from the start date until a day (excluded).
    using PaymentsUntil = std::function<std::vector<Shown>(TimeValue)>;

    CUpdateBalancesDlg(std::vector<Account> accounts, TimeValue startDate, TimeValue today, PaymentsUntil payments,
                       win::CWnd* parent = nullptr);

    // As confirmed with OK: the balances in the order of the accounts given, the day, and
    // the payments checked not yet paid.
    const std::vector<std::int32_t>& GetBalances() const { return m_balances; }
    TimeValue GetDate() const { return m_date; }
    std::vector<ExpectedPayment> GetNotYetPaid() const;

protected:
    bool OnInitDialog() override;
    void DoDataExchange(win::CDataExchange* dx) override;

private:
    // The payments expected until the day the picker shows; those checked before stay so.
    void ListPayments();
    // The balance field of the account chosen: read (when it holds an amount) or shown.
    void ReadBalance();
    void ShowBalance();

    std::vector<Account> m_accounts;
    std::vector<std::int32_t> m_balances;
    TimeValue m_startDate;
    TimeValue m_date;
    PaymentsUntil m_paymentsUntil;
    std::vector<Shown> m_payments;
    std::vector<bool> m_checked;
    int m_account = 0;
};
