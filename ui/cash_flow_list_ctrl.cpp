#include "ui/cash_flow_list_ctrl.h"

#include "model/firm_forecast.h"
#include "model/transaction_data.h"
#include "res/resource.h"
#include "ui/edit_history_interface.h"
#include "ui/edit_start_date_dlg.h"
#include "ui/platform/dialog_builder.h"
#include "ui/platform/resources.h"

namespace {

enum Column { kDateColumn, kDescriptionColumn, kAmountColumn, kBalanceColumn, kColumnCount };

struct ColumnDescription {
    int heading;
    int format;
    int defaultWidth;
};

constexpr ColumnDescription kColumns[kColumnCount] = {
    {res::IDS_DATE, win::LVCFMT_LEFT, 70},
    {res::IDS_DESCRIPTION, win::LVCFMT_LEFT, 130},
    {res::IDS_AMOUNT, win::LVCFMT_RIGHT, 60},
    {res::IDS_BALANCE, win::LVCFMT_RIGHT, 80},
};

} // namespace

CCashFlowListCtrl::CCashFlowListCtrl(IConfigDataManager& configuration, IAccountsListCtrl& accounts,
                                     ITransListCtrl& transactions, unsigned duration)
    : CBaseListCtrl(configuration)
    , CashFlowProjection(accounts, transactions, duration, win::LoadString(res::IDS_CURRENT_ACCOUNTS))
    , m_transactions(transactions)
{
    SetDataSource(this);
}

CCashFlowListCtrl::~CCashFlowListCtrl()
{
    SetDataSource(nullptr);
}

void CCashFlowListCtrl::DeleteItemAt(int) {}

std::string CCashFlowListCtrl::GetSectionName() const { return "CashflowList"; }

int CCashFlowListCtrl::GetDefaultColumnWidth(int column) const
{
    // The widths are those of the default UI font, scaled for the one in use.
    if (column == kAmountColumn || column == kBalanceColumn)
        return AmountColumnWidth(win::ScaleForFont(kColumns[column].defaultWidth));
    return column >= 0 && column < kColumnCount ? win::ScaleForFont(kColumns[column].defaultWidth) : 0;
}

bool CCashFlowListCtrl::CanEditEntry(int row)
{
    return row >= 0 && row < GetCount() && GetTransaction(row) != nullptr;
}

void CCashFlowListCtrl::EditEntry(int row)
{
    if (row == 0 && GetCount() > 0) {
        EditStartDate();
        return;
    }
    if (!CanEditEntry(row))
        return;
    const int transaction = m_transactions.FindTransaction(GetTransaction(row));
    if (transaction < 0)
        return;
    if (const std::optional<ListedOccurrence> payment = GetPayment(row))
        m_transactions.EditPayment(transaction, *payment);
    else
        m_transactions.EditTransaction(transaction);
}

std::optional<ListedOccurrence> CCashFlowListCtrl::GetPayment(int row)
{
    if (!CanEditEntry(row))
        return std::nullopt;
    const TransactionData* record = GetTransaction(row);
    const CDateRepeater* rule = record->repeater.get();
    if (!rule || rule->GetType() == RepeatOnce || rule->count == 1)
        return std::nullopt;
    // The k-th row of a transaction on a day is its k-th payment listed that day.
    CashFlowRows& rows = CashFlowProjection::Rows();
    const std::int32_t day = rows.At(static_cast<std::size_t>(row)).day;
    std::size_t before = 0;
    for (int other = row - 1; other >= 0 && rows.At(static_cast<std::size_t>(other)).day == day; --other)
        before += rows.At(static_cast<std::size_t>(other)).record == record ? 1 : 0;
    const TimeValue date = TenOClockOfLocalDay(day);
    const std::vector<ListedOccurrence> listed =
        ListedOccurrences(*record, GetBusinessCalendar(), date, AddDays(date, 1));
    if (before >= listed.size())
        return std::nullopt;
    return listed[before];
}

void CCashFlowListCtrl::EditStartDate()
{
    CEditStartDateDlg dialog(GetStartDate());
    dialog.DoModal();
    // Cancel hands the start date back unchanged, so only a new date rebuilds.
    if (dialog.GetDate() == GetStartDate())
        return;
    if (m_history)
        m_history->SetStartDate(dialog.GetDate());
    else
        SetStartDate(dialog.GetDate());
}

void CCashFlowListCtrl::PreSubclassWindow()
{
    for (int column = 0; column < kColumnCount; ++column)
        InsertColumn(column, win::LoadStringOrThrow(kColumns[column].heading), kColumns[column].format,
                     GetColumnWidth(column));
    CBaseListCtrl::PreSubclassWindow();
    // Rows can exist before the window here (they live in the projection); a second
    // opening row must never appear.
    if (GetCount() == 0)
        InsertOpeningRow();
}

void CCashFlowListCtrl::OnDoubleClick(int row)
{
    const int selected = GetSelectedIndex();
    if (selected < 0) {
        CBaseListCtrl::OnDoubleClick(row);
        return;
    }
    EditEntry(selected);
}

void CCashFlowListCtrl::OnRowsChanged()
{
    DataSourceChanged();
    if (m_changed)
        m_changed();
}

void CCashFlowListCtrl::OnRecalculated()
{
    DataSourceChanged();
    if (m_changed)
        m_changed();
    if (m_redraw)
        m_redraw();
}

void CCashFlowListCtrl::SelectAndShow(int row)
{
    if (row < 0 || row >= GetCount())
        return;
    SetItemState(row, win::LVIS_SELECTED, win::LVIS_SELECTED);
    // The view must know the row before it can scroll to it.
    FlushDataSourceChanges();
    EnsureVisible(row);
}

std::string CCashFlowListCtrl::GetRowNote(int row)
{
    if (row < 0 || row >= GetCount())
        return {};
    const TransactionData* record = GetTransaction(row);
    return record && record->tentative ? win::LoadString(res::IDS_TENTATIVE_ROW_TIP) : std::string();
}

std::vector<std::int64_t> CCashFlowListCtrl::GetFirmBalances()
{
    return FirmBalances(CashFlowProjection::Rows());
}

void CCashFlowListCtrl::OnCapped()
{
    if (m_capped)
        m_capped();
}

int CCashFlowListCtrl::GetRowCount() { return GetCount(); }

std::string CCashFlowListCtrl::GetCellText(int row, int column)
{
    if (row < 0 || row >= GetCount())
        return {};
    switch (column) {
    case kDateColumn:
        return FormatDate(GetDate(row));
    case kDescriptionColumn:
        return GetDescription(row);
    case kAmountColumn:
        return std::to_string(GetAmount(row));
    case kBalanceColumn:
        return std::to_string(GetBalance(row));
    default:
        return {};
    }
}

std::string CCashFlowListCtrl::GetCellTextStart(int row, int column, std::size_t bytes)
{
    // A description may be megabytes long and is shown on every repaint: its start only.
    if (column == kDescriptionColumn && row >= 0 && row < GetCount())
        return GetDescription(row).substr(0, bytes);
    return IListDataSource::GetCellTextStart(row, column, bytes);
}

bool CCashFlowListCtrl::IsRowSelected(int row)
{
    return row >= 0 && row < GetCount() && CashFlowProjection::Rows().At(static_cast<std::size_t>(row)).selected;
}

void CCashFlowListCtrl::SetRowSelected(int row, bool selected)
{
    if (row >= 0 && row < GetCount())
        CashFlowProjection::Rows().SetSelected(static_cast<std::size_t>(row), selected);
}

int CCashFlowListCtrl::GetNextSelectedRow(int after)
{
    CashFlowRows& rows = CashFlowProjection::Rows();
    const std::size_t count = rows.SelectedCount() == 0 ? 0 : rows.Count();
    for (std::size_t row = after < 0 ? 0 : static_cast<std::size_t>(after) + 1; row < count; ++row)
        if (rows.At(row).selected)
            return static_cast<int>(row);
    return -1;
}
