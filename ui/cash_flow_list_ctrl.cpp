#include "ui/cash_flow_list_ctrl.h"

#include "model/business_calendar.h"
#include "model/firm_forecast.h"
#include "model/transaction_data.h"
#include "res/resource.h"
#include "ui/change_payment_dlg.h"
#include "ui/edit_history_interface.h"
#include "ui/edit_start_date_dlg.h"
#include "ui/platform/dialog_builder.h"
#include "ui/platform/resources.h"

#include <algorithm>

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
    // From a payment of a repeating transaction, the editor asks what the edit applies to.
    const CDateRepeater* rule = GetTransaction(row)->repeater.get();
    const bool repeats = rule && rule->GetType() != RepeatOnce && rule->count != 1;
    if (const std::optional<ListedOccurrence> payment = repeats ? OccurrenceAt(row) : std::nullopt)
        m_transactions.EditPayment(transaction, *payment);
    else
        m_transactions.EditTransaction(transaction);
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

std::string CCashFlowListCtrl::GetCellNote(int row, int column)
{
    if ((column != kDateColumn && column != kAmountColumn) || row <= 0 || row >= GetCount())
        return {};
    // Asked for every cell painted: a transaction without exceptions answers at once.
    const TransactionData* record = GetTransaction(row);
    if (!record || record->exceptions.empty())
        return {};
    const std::optional<ListedOccurrence> occurrence = OccurrenceAt(row);
    if (!occurrence || !occurrence->exception)
        return {};
    const PlannedPayment planned = Planned(*record, *occurrence);
    const PaymentException& exception = *occurrence->exception;
    const bool marked = column == kDateColumn ? IsMoved(planned, exception) : IsAmountChanged(planned, exception);
    return marked ? ChangedPaymentNote(planned, exception) : std::string();
}

std::optional<ListedOccurrence> CCashFlowListCtrl::OccurrenceAt(int row)
{
    if (row <= 0 || row >= GetCount())
        return std::nullopt;
    const TransactionData* record = GetTransaction(row);
    if (!record || !record->repeater)
        return std::nullopt;
    CashFlowRows& rows = CashFlowProjection::Rows();
    const std::int32_t day = rows.At(static_cast<std::size_t>(row)).day;
    std::size_t rank = 0;
    for (int before = row - 1; before > 0 && rows.At(static_cast<std::size_t>(before)).day == day; --before)
        if (rows.At(static_cast<std::size_t>(before)).record == record)
            ++rank;
    const TimeValue date = TenOClockOfLocalDay(day);
    const std::vector<ListedOccurrence> listed =
        ListedOccurrences(*record, GetBusinessCalendar(), date, AddDays(date, 1));
    if (rank >= listed.size())
        return std::nullopt;
    return listed[rank];
}

PlannedPayment CCashFlowListCtrl::Planned(const TransactionData& record, const ListedOccurrence& occurrence)
{
    return {MovedOccurrence(occurrence.due, *record.repeater, GetBusinessCalendar()), record.amount};
}

bool CCashFlowListCtrl::CanChangePayment(int row)
{
    return m_history && OccurrenceAt(row).has_value();
}

bool CCashFlowListCtrl::CanRestorePayment(int row)
{
    const std::optional<ListedOccurrence> occurrence = OccurrenceAt(row);
    return m_history && occurrence && occurrence->exception;
}

void CCashFlowListCtrl::SkipPayment(int row)
{
    const std::optional<ListedOccurrence> occurrence = OccurrenceAt(row);
    if (!occurrence)
        return;
    const TransactionData& record = *GetTransaction(row);
    PaymentException skip;
    skip.date = occurrence->due;
    skip.skip = true;
    // The row goes; the one that takes its place is selected, for the next command.
    if (UpdatePayment(record, WithException(record, skip)) >= 0 && GetCount() > 1)
        SelectAndShow(std::min(row, GetCount() - 1));
}

void CCashFlowListCtrl::ChangePayment(int row)
{
    const std::optional<ListedOccurrence> occurrence = OccurrenceAt(row);
    if (!occurrence || !m_history)
        return;
    const TransactionData& record = *GetTransaction(row);
    const PlannedPayment planned = Planned(record, *occurrence);
    CChangePaymentDlg dialog(planned, occurrence->taken, occurrence->amount);
    if (dialog.DoModal() != win::IDOK)
        return;
    const TimeValue date = dialog.GetDate();
    const std::int32_t amount = dialog.GetSignedAmount();
    if (LocalDay(date) == LocalDay(occurrence->taken) && amount == occurrence->amount)
        return;
    // Only what differs from the plan is kept: a payment put back on its planned day with
    // its planned amount has no exception left.
    PaymentException change;
    change.date = occurrence->due;
    if (LocalDay(date) != LocalDay(planned.date))
        change.moveTo = ToTenOClock(date);
    if (amount != planned.amount)
        change.amount = amount;
    const int transaction = UpdatePayment(record, change.moveTo || change.amount
                                                      ? WithException(record, change)
                                                      : WithoutException(record, occurrence->due));
    SelectPayment(transaction, occurrence->due, change.moveTo ? *change.moveTo : planned.date);
}

void CCashFlowListCtrl::RestorePayment(int row)
{
    const std::optional<ListedOccurrence> occurrence = OccurrenceAt(row);
    if (!occurrence || !occurrence->exception)
        return;
    const TransactionData& record = *GetTransaction(row);
    const PlannedPayment planned = Planned(record, *occurrence);
    const int transaction = UpdatePayment(record, WithoutException(record, occurrence->due));
    SelectPayment(transaction, occurrence->due, planned.date);
}

int CCashFlowListCtrl::UpdatePayment(const TransactionData& record, std::unique_ptr<TransactionData> changed)
{
    if (!m_history || !changed)
        return -1;
    const int transaction = m_transactions.FindTransaction(&record);
    if (transaction >= 0)
        m_history->UpdateTransaction(transaction, std::move(changed));
    return transaction;
}

void CCashFlowListCtrl::SelectPayment(int transaction, TimeValue due, TimeValue listedOn)
{
    if (transaction < 0)
        return;
    const std::int64_t day = LocalDay(listedOn);
    for (int row = 1; row < GetCount(); ++row) {
        if (LocalDay(GetDate(row)) != day)
            continue;
        const TransactionData* record = GetTransaction(row);
        if (!record || m_transactions.FindTransaction(record) != transaction)
            continue;
        if (const std::optional<ListedOccurrence> occurrence = OccurrenceAt(row);
            occurrence && LocalDay(occurrence->due) == LocalDay(due)) {
            SelectAndShow(row);
            return;
        }
    }
}

void CCashFlowListCtrl::OnContextMenu(int row, const win::CPoint& screen)
{
    if (m_contextMenu)
        m_contextMenu(row, screen);
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
