#include "ui/update_balances_dlg.h"

#include "common/fill_in.h"
#include "res/resource.h"
#include "storage/data_file.h"
#include "ui/date_picker.h"
#include "ui/platform/controls.h"
#include "ui/platform/data_exchange.h"
#include "ui/platform/list_ctrl.h"
#include "ui/platform/resources.h"

#include <algorithm>

namespace {

// An amount as the balance field reads it, without messages.
bool ReadAmount(const std::string& text, std::int32_t& amount)
{
    int value = 0;
    if (win::HasDecimalPoint(text) || !win::ParseDialogInteger(win::WithoutGrouping(text), value))
        return false;
    amount = value;
    return true;
}

bool SamePayment(const ExpectedPayment& a, const ExpectedPayment& b)
{
    return a.transaction == b.transaction && a.occurrence.due == b.occurrence.due;
}

} // namespace

CUpdateBalancesDlg::CUpdateBalancesDlg(std::vector<Account> accounts, TimeValue startDate, TimeValue today,
                                       PaymentsUntil payments, win::CWnd* parent)
    : win::CDialog(res::IDD_UPDATE_BALANCES, parent), m_accounts(std::move(accounts)), m_startDate(startDate),
      m_date(ToTenOClock(today)), m_paymentsUntil(std::move(payments))
{
    for (const Account& account : m_accounts)
        m_balances.push_back(account.balance);
    OnChanged(res::IDC_DATE, [this] { ListPayments(); });
    OnChanged(res::IDC_UPDATE_ACCOUNT, [this] {
        const auto* combo = GetDlgItemAs<win::CComboBox>(res::IDC_UPDATE_ACCOUNT);
        if (!combo || combo->GetCurSel() < 0 || combo->GetCurSel() == m_account)
            return;
        m_account = combo->GetCurSel();
        ShowBalance();
    });
    OnChanged(res::IDC_BALANCE, [this] { ReadBalance(); });
}

std::vector<ExpectedPayment> CUpdateBalancesDlg::GetNotYetPaid() const
{
    std::vector<ExpectedPayment> late;
    for (std::size_t i = 0; i < m_payments.size(); ++i)
        if (m_checked[i])
            late.push_back(m_payments[i].payment);
    return late;
}

bool CUpdateBalancesDlg::OnInitDialog()
{
    if (auto* picker = GetDlgItemAs<win::CDateTimeCtrl>(res::IDC_DATE))
        SetUpDatePicker(*picker);
    if (auto* accounts = GetDlgItemAs<win::CListCtrl>(res::IDC_UPDATE_ACCOUNTS)) {
        accounts->SetExtendedStyle(win::LVS_EX_FULLROWSELECT);
        accounts->InsertColumn(0, win::LoadString(res::IDS_DESCRIPTION), win::LVCFMT_LEFT, 260);
        accounts->InsertColumn(1, win::LoadString(res::IDS_BALANCE), win::LVCFMT_RIGHT, 120);
        for (std::size_t i = 0; i < m_accounts.size(); ++i)
            accounts->AppendItem({m_accounts[i].description, DataFile::FormatAmount(m_balances[i])});
    }
    if (auto* payments = GetDlgItemAs<win::CListCtrl>(res::IDC_UPDATE_PAYMENTS)) {
        payments->SetExtendedStyle(win::LVS_EX_FULLROWSELECT | win::LVS_EX_CHECKBOXES);
        payments->InsertColumn(0, win::LoadString(res::IDS_DATE), win::LVCFMT_LEFT, 110);
        payments->InsertColumn(1, win::LoadString(res::IDS_DESCRIPTION), win::LVCFMT_LEFT, 200);
        payments->InsertColumn(2, win::LoadString(res::IDS_AMOUNT), win::LVCFMT_RIGHT, 90);
    }
    if (auto* combo = GetDlgItemAs<win::CComboBox>(res::IDC_UPDATE_ACCOUNT)) {
        for (const Account& account : m_accounts)
            combo->AddString(account.description);
        combo->SetCurSel(m_accounts.empty() ? -1 : 0);
    }
    m_account = 0;
    const bool result = win::CDialog::OnInitDialog();
    ShowBalance();
    ListPayments();
    if (m_accounts.empty())
        for (int id : {res::IDC_UPDATE_ACCOUNT, res::IDC_BALANCE})
            if (win::CWnd* control = GetDlgItem(id))
                control->EnableWindow(false);
    return result;
}

void CUpdateBalancesDlg::DoDataExchange(win::CDataExchange* dx)
{
    win::CDialog::DoDataExchange(dx);
    win::DDX_DateTimeCtrl(dx, res::IDC_DATE, m_date);
    if (dx->m_bSaveAndValidate)
        m_date = ToTenOClock(m_date);
    if (!dx->m_bSaveAndValidate)
        return;
    // The field holds the chosen account's balance; the others were read as they were typed.
    if (m_account >= 0 && static_cast<std::size_t>(m_account) < m_balances.size()) {
        int balance = m_balances[static_cast<std::size_t>(m_account)];
        win::DDX_Amount(dx, res::IDC_BALANCE, balance);
        m_balances[static_cast<std::size_t>(m_account)] = balance;
    }
    // The payments of the day confirmed, with their check boxes as left.
    const auto* payments = GetDlgItemAs<win::CListCtrl>(res::IDC_UPDATE_PAYMENTS);
    for (std::size_t i = 0; payments && i < m_checked.size(); ++i)
        m_checked[i] = payments->GetCheck(static_cast<int>(i));
}

void CUpdateBalancesDlg::ShowBalance()
{
    if (m_account < 0 || static_cast<std::size_t>(m_account) >= m_balances.size())
        return;
    SetDlgItemText(res::IDC_BALANCE, DataFile::FormatAmount(m_balances[static_cast<std::size_t>(m_account)]));
}

void CUpdateBalancesDlg::ReadBalance()
{
    std::int32_t balance = 0;
    if (m_account < 0 || static_cast<std::size_t>(m_account) >= m_balances.size() ||
        !ReadAmount(GetDlgItemText(res::IDC_BALANCE), balance))
        return;
    m_balances[static_cast<std::size_t>(m_account)] = balance;
    if (auto* accounts = GetDlgItemAs<win::CListCtrl>(res::IDC_UPDATE_ACCOUNTS))
        accounts->SetItemText(m_account, 1, DataFile::FormatAmount(balance));
}

void CUpdateBalancesDlg::ListPayments()
{
    auto* picker = GetDlgItemAs<win::CDateTimeCtrl>(res::IDC_DATE);
    auto* list = GetDlgItemAs<win::CListCtrl>(res::IDC_UPDATE_PAYMENTS);
    TimeValue date = 0;
    if (!picker || !list || !picker->HasCompleteDate() || !picker->GetTime(date))
        return;
    date = ToTenOClock(date);
    std::vector<ExpectedPayment> checked;
    for (std::size_t i = 0; i < m_payments.size(); ++i)
        if (list->GetCheck(static_cast<int>(i)))
            checked.push_back(m_payments[i].payment);
    m_payments = m_paymentsUntil ? m_paymentsUntil(date) : std::vector<Shown>();
    m_checked.assign(m_payments.size(), false);
    list->DeleteAllItems();
    for (std::size_t i = 0; i < m_payments.size(); ++i) {
        const ExpectedPayment& payment = m_payments[i].payment;
        list->AppendItem({FormatDate(payment.occurrence.taken), m_payments[i].description,
                          DataFile::FormatAmount(payment.occurrence.amount)});
        const bool wasChecked = std::any_of(checked.begin(), checked.end(),
                                            [&](const ExpectedPayment& other) { return SamePayment(other, payment); });
        list->SetCheck(static_cast<int>(i), wasChecked);
        m_checked[i] = wasChecked;
    }
    if (!m_payments.empty())
        list->SetItemState(0, win::LVIS_SELECTED, win::LVIS_SELECTED);
    const std::string from = FormatDate(m_startDate);
    const std::string until = FormatDate(AddDays(date, -1));
    std::string label = FillIn(win::LoadString(res::IDS_PAYMENTS_EXPECTED), {from, until, FormatDate(date)});
    if (LocalDay(date) <= LocalDay(m_startDate))
        label = FillIn(win::LoadString(res::IDS_NO_PAYMENTS_BEFORE), {from});
    else if (m_payments.empty())
        label = FillIn(win::LoadString(res::IDS_NO_PAYMENTS_EXPECTED), {from, until});
    SetDlgItemText(res::IDC_UPDATE_PAYMENTS_LABEL, label);
}
