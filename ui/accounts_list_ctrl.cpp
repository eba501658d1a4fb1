#include "ui/accounts_list_ctrl.h"

#include <algorithm>

#include "common/decimal.h"
#include "res/resource.h"
#include "storage/data_file.h"
#include "ui/account_edit_dlg.h"
#include "ui/edit_history_interface.h"
#include "ui/platform/api.h"
#include "ui/platform/dialog_builder.h"
#include "ui/platform/resources.h"

bool CAccountsListCtrl::s_ascending[2] = {false, false};

namespace {

constexpr int kDescriptionColumn = 0;
constexpr int kBalanceColumn = 1;

int FoldedCompare(const std::string& first, const std::string& second)
{
    auto fold = [](char c) {
        const auto byte = static_cast<unsigned char>(c);
        return byte >= 'A' && byte <= 'Z' ? byte + ('a' - 'A') : byte;
    };
    const std::size_t common = std::min(first.size(), second.size());
    for (std::size_t i = 0; i < common; ++i) {
        const int a = fold(first[i]);
        const int b = fold(second[i]);
        if (a != b)
            return a < b ? -1 : 1;
    }
    if (first.size() == second.size())
        return 0;
    return first.size() < second.size() ? -1 : 1;
}

const AccountData& RecordOf(std::uintptr_t data)
{
    static const AccountData missing;
    const auto* record = reinterpret_cast<const AccountData*>(data);
    return record ? *record : missing;
}

} // namespace

CAccountsListCtrl::CAccountsListCtrl(IConfigDataManager& configuration, ICashflowListCtrl& cashflow)
    : CBaseListCtrl(configuration), m_cashflow(cashflow)
{
}

CAccountsListCtrl::~CAccountsListCtrl() = default;

void CAccountsListCtrl::PreSubclassWindow()
{
    InsertColumn(kDescriptionColumn, win::LoadString(res::IDS_DESCRIPTION), win::LVCFMT_LEFT,
                 GetColumnWidth(kDescriptionColumn));
    InsertColumn(kBalanceColumn, win::LoadString(res::IDS_ACCOUNT_BALANCE), win::LVCFMT_RIGHT,
                 GetColumnWidth(kBalanceColumn));
    CBaseListCtrl::PreSubclassWindow();
}

int CAccountsListCtrl::InsertAccount(int row, const std::string& description, std::int32_t balance)
{
    auto record = std::make_unique<AccountData>(AccountData{description, balance});
    const auto data = reinterpret_cast<std::uintptr_t>(record.get());
    // Without a row the list view's sorted style decides where the row lands.
    row = row < 0 ? InsertItem(0, description) : InsertItemAt(row, description, data);
    if (row == -1)
        return -1;
    SetItemText(row, kBalanceColumn, DataFile::FormatAmount(balance));
    if (!SetItemData(row, data))
        throw win::api::Exception(win::GetLastError());
    m_records.push_back(std::move(record));
    return row;
}

int CAccountsListCtrl::AddAccount(const std::string& description, std::int32_t balance, Selection selection)
{
    const int row = InsertAccount(-1, description, balance);
    if (row == -1)
        return -1;
    if (selection == Selection::Select && !SetItemState(row, win::LVIS_SELECTED, win::LVIS_SELECTED))
        throw win::api::Exception(win::GetLastError());

    m_cashflow.Recalculate(0);
    return row;
}

void CAccountsListCtrl::AddAccounts(std::vector<AccountData> accounts)
{
    if (accounts.empty())
        return;
    if (GetItemCount() != 0 || !(GetStyle() & win::LVS_SORTASCENDING)) {
        UpdateBatch batch(*this);
        for (const AccountData& account : accounts)
            InsertAccount(-1, account.description, account.balance);
    } else {
        // Added one by one to an empty list, each row would land after every row whose
        // description compares equal or smaller: a stable sort of the rows as they came.
        std::stable_sort(accounts.begin(), accounts.end(), [](const AccountData& a, const AccountData& b) {
            return FoldedCompare(a.description, b.description) < 0;
        });
        std::vector<win::ListRow> rows;
        rows.reserve(accounts.size());
        m_records.reserve(m_records.size() + accounts.size());
        for (AccountData& account : accounts) {
            std::string balance = DataFile::FormatAmount(account.balance);
            m_records.push_back(std::make_unique<AccountData>(std::move(account)));
            const AccountData& record = *m_records.back();
            rows.push_back(win::ListRow{{record.description, std::move(balance)},
                                        reinterpret_cast<std::uintptr_t>(&record), false});
        }
        ReplaceAllRows(std::move(rows));
    }
    m_cashflow.Recalculate(0);
}

int CAccountsListCtrl::RestoreAccount(int row, const std::string& description, std::int32_t balance)
{
    row = InsertAccount(std::max(row, 0), description, balance);
    m_cashflow.Recalculate(0);
    return row;
}

void CAccountsListCtrl::UpdateAccount(int row, const std::string& description, std::int32_t balance)
{
    if (row < 0 || row >= GetItemCount())
        return;
    SetItemText(row, kDescriptionColumn, description);
    SetItemText(row, kBalanceColumn, DataFile::FormatAmount(balance));
    if (auto* record = reinterpret_cast<AccountData*>(GetItemData(row))) {
        record->description = description;
        record->balance = balance;
    }
    m_cashflow.Recalculate(0);
}

void CAccountsListCtrl::EditAccount(int row)
{
    if (row < 0 || row >= GetItemCount())
        return;
    CAccountEditDlg editor(CAccountEditDlg::Mode::Update);
    editor.m_description = GetItemText(row, kDescriptionColumn);
    editor.m_balance = GetBalance(row);
    if (editor.DoModal() != win::IDOK)
        return;
    if (m_history)
        m_history->UpdateAccount(row, editor.m_description, editor.m_balance);
    else
        UpdateAccount(row, editor.m_description, editor.m_balance);
}

void CAccountsListCtrl::DeleteConfirmed(int row)
{
    if (m_history)
        m_history->DeleteAccount(row);
    else
        DeleteItemAt(row);
}

void CAccountsListCtrl::DeleteItemAt(int row)
{
    if (row < 0 || row >= GetItemCount())
        return;
    const auto* record = reinterpret_cast<const AccountData*>(GetItemData(row));
    DeleteItem(row);
    std::erase_if(m_records, [record](const auto& owned) { return owned.get() == record; });
    m_cashflow.Recalculate(0);
}

std::int32_t CAccountsListCtrl::GetBalance(int row) const
{
    return Utility::ReadDecimal(GetItemText(row, kBalanceColumn));
}

std::int64_t CAccountsListCtrl::GetTotalBalance()
{
    if (!HasWindow())
        return 0;
    std::int64_t total = 0;
    for (int row = 0; row < GetItemCount(); ++row)
        total += GetBalance(row);
    return total;
}

std::string CAccountsListCtrl::GetSectionName() const { return "AccountsList"; }

int CAccountsListCtrl::GetDefaultColumnWidth(int column) const
{
    // The widths are those of the default UI font, scaled for the one in use.
    return column == kDescriptionColumn ? win::ScaleForFont(200) : AmountColumnWidth(win::ScaleForFont(60));
}

void CAccountsListCtrl::OnDoubleClick(int)
{
    // The double-click has selected its row already; a click below the rows selects none.
    const int row = GetSelectedIndex();
    if (row != -1)
        EditAccount(row);
}

void CAccountsListCtrl::OnColumnClick(int column) { SortByColumn(column); }

void CAccountsListCtrl::SortByColumn(int column)
{
    const bool known = column == kDescriptionColumn || column == kBalanceColumn;
    const bool ascending = known && s_ascending[column];
    SortItems([column, ascending](std::uintptr_t first, std::uintptr_t second) {
        const AccountData& a = RecordOf(first);
        const AccountData& b = RecordOf(second);
        int order = 0;
        if (column == kDescriptionColumn)
            order = FoldedCompare(a.description, b.description);
        else if (column == kBalanceColumn)
            // Compared, not subtracted: the difference of two balances may not fit.
            order = a.balance < b.balance ? -1 : (a.balance > b.balance ? 1 : 0);
        return ascending ? order : -order;
    });
    if (known)
        s_ascending[column] = !s_ascending[column];
}

void CAccountsListCtrl::ResetSortDirections() { s_ascending[0] = s_ascending[1] = false; }
