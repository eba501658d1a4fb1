#include "ui/trans_list_ctrl.h"

#include <algorithm>
#include <array>

#include "model/cash_flow_projection.h"
#include "common/decimal.h"
#include "model/transaction_schedule.h"
#include "res/resource.h"
#include "ui/platform/api.h"
#include "ui/platform/dialog_builder.h"
#include "ui/platform/resources.h"
#include "ui/edit_history_interface.h"
#include "ui/trans_edit_dlg.h"

namespace {

// One direction flag per column for the whole run; clear means the next sort by that
// column is descending.
std::array<bool, CTransListCtrl::kColumnCount>& SortAscending()
{
    static std::array<bool, CTransListCtrl::kColumnCount> ascending{};
    return ascending;
}

std::uintptr_t ItemData(const TransactionData* record) { return reinterpret_cast<std::uintptr_t>(record); }

TransactionData* RecordOf(std::uintptr_t data) { return reinterpret_cast<TransactionData*>(data); }

template <typename T>
int Order(T a, T b)
{
    return a < b ? -1 : a > b ? 1 : 0;
}

} // namespace

CTransListCtrl::CTransListCtrl(IConfigDataManager& configuration, ICashflowListCtrl& cashflow)
    : CBaseListCtrl(configuration), m_cashflow(cashflow)
{
}

CTransListCtrl::~CTransListCtrl() { DestroyAllRecords(); }

std::string CTransListCtrl::GetSectionName() const { return "TransactionsList"; }

int CTransListCtrl::GetDefaultColumnWidth(int column) const
{
    constexpr std::array<int, kColumnCount> widths{160, 70, 60, 60};
    // The widths are those of the default UI font, scaled for the one in use.
    if (column == AmountColumn)
        return AmountColumnWidth(win::ScaleForFont(widths[AmountColumn]));
    return column >= 0 && column < kColumnCount ? win::ScaleForFont(widths[static_cast<std::size_t>(column)]) : 0;
}

void CTransListCtrl::PreSubclassWindow()
{
    InsertColumn(DescriptionColumn, win::LoadString(res::IDS_DESCRIPTION), win::LVCFMT_LEFT,
                 GetColumnWidth(DescriptionColumn));
    InsertColumn(DateColumn, win::LoadString(res::IDS_START_DATE), win::LVCFMT_LEFT, GetColumnWidth(DateColumn));
    InsertColumn(AmountColumn, win::LoadString(res::IDS_AMOUNT), win::LVCFMT_RIGHT, GetColumnWidth(AmountColumn));
    InsertColumn(RepeatsColumn, win::LoadString(res::IDS_REPEATS), win::LVCFMT_RIGHT,
                 GetColumnWidth(RepeatsColumn));
    CBaseListCtrl::PreSubclassWindow();
}

void CTransListCtrl::SetRowTexts(int row, TimeValue date, std::int32_t amount)
{
    SetItemText(row, DateColumn, FormatDate(date));
    SetItemText(row, AmountColumn, std::to_string(amount));
}

int CTransListCtrl::AddTransaction(TimeValue date, const std::string& description, std::int32_t amount,
                                   std::unique_ptr<CDateRepeater> rule, bool select, Projection projection)
{
    return AddRecord(std::make_unique<TransactionData>(date, description, amount, std::move(rule)), select,
                     projection);
}

int CTransListCtrl::AddRecord(std::unique_ptr<TransactionData> record, bool select, Projection projection)
{
    if (!record->repeater)
        record->repeater = std::make_unique<CDateRepeaterOnce>();
    // The list keeps its rows by description: the row lands at its sorted place.
    const int row = InsertItem(0, record->description, ItemData(record.get()));
    if (row < 0)
        return -1;
    TransactionData* stored = record.release();
    SetRowTexts(row, stored->date, stored->amount);
    SetItemText(row, RepeatsColumn, RepeatTypeName(*stored->repeater));
    if (select && !SetItemState(row, win::LVIS_SELECTED, win::LVIS_SELECTED))
        throw win::api::Exception(win::GetLastError());
    if (projection == Projection::Now)
        ProjectTransaction(row);
    else
        m_cashflow.ProjectAllOnNextMove(); // the projection lacks it until the next rebuild
    return row;
}

void CTransListCtrl::AddTransactions(std::vector<std::unique_ptr<TransactionData>> records, bool selectLast)
{
    if (records.empty())
        return;
    if (GetItemCount() != 0 || !(GetStyle() & win::LVS_SORTASCENDING)) {
        for (std::size_t i = 0; i < records.size(); ++i)
            AddRecord(std::move(records[i]), selectLast && i + 1 == records.size(), Projection::Later);
        return;
    }
    // Added one by one to an empty list, each row would land after every row whose
    // description compares equal or smaller: a stable sort of the rows as they came.
    const TransactionData* last = records.back().get();
    std::stable_sort(records.begin(), records.end(), [](const auto& a, const auto& b) {
        return CompareFolded(a->description, b->description) < 0;
    });
    std::vector<win::ListRow> rows;
    rows.reserve(records.size());
    int lastRow = -1;
    for (auto& record : records) {
        if (!record->repeater)
            record->repeater = std::make_unique<CDateRepeaterOnce>();
        if (record.get() == last)
            lastRow = static_cast<int>(rows.size());
        rows.push_back(win::ListRow{{record->description, FormatDate(record->date), std::to_string(record->amount),
                                     RepeatTypeName(*record->repeater)},
                                    ItemData(record.get()),
                                    false});
        record.release();
    }
    ReplaceAllRows(std::move(rows));
    m_cashflow.ProjectAllOnNextMove();
    if (selectLast && !SetItemState(lastRow, win::LVIS_SELECTED, win::LVIS_SELECTED))
        throw win::api::Exception(win::GetLastError());
}

int CTransListCtrl::RestoreTransaction(int row, TimeValue date, const std::string& description, std::int32_t amount,
                                       std::unique_ptr<CDateRepeater> rule)
{
    return RestoreRecord(row, std::make_unique<TransactionData>(date, description, amount, std::move(rule)));
}

int CTransListCtrl::RestoreRecord(int row, std::unique_ptr<TransactionData> record)
{
    if (!record->repeater)
        record->repeater = std::make_unique<CDateRepeaterOnce>();
    row = InsertItemAt(std::max(row, 0), record->description, ItemData(record.get()));
    if (row < 0)
        return -1;
    TransactionData* stored = record.release();
    SetRowTexts(row, stored->date, stored->amount);
    SetItemText(row, RepeatsColumn, RepeatTypeName(*stored->repeater));
    ProjectTransaction(row);
    return row;
}

void CTransListCtrl::UpdateTransaction(int row, TimeValue date, const std::string& description, std::int32_t amount,
                                       std::unique_ptr<CDateRepeater> rule)
{
    const TransactionData* old = GetRecord(row);
    if (!old)
        return;
    UpdateRecord(row, WithValues(*old, date, description, amount, std::move(rule)));
}

void CTransListCtrl::UpdateRecord(int row, std::unique_ptr<TransactionData> record)
{
    TransactionData* old = GetRecord(row);
    if (!old)
        return;
    if (!record->repeater)
        record->repeater = std::make_unique<CDateRepeaterOnce>();
    SetItemText(row, DescriptionColumn, record->description);
    SetRowTexts(row, record->date, record->amount);
    SetItemData(row, ItemData(record.get()));
    const std::unique_ptr<TransactionData> replaced(old);
    TransactionData* stored = record.release();
    SetItemText(row, RepeatsColumn, RepeatTypeName(*stored->repeater));
    // The old rows go without recalculation: projecting ends with a full one.
    WithdrawTransaction(replaced.get(), false);
    ProjectTransaction(row);
}

void CTransListCtrl::DeleteItemAt(int row)
{
    TransactionData* record = GetRecord(row);
    if (!record)
        return;
    const std::unique_ptr<TransactionData> owned(record);
    WithdrawTransaction(record, true);
    DeleteItem(row);
}

void CTransListCtrl::ProjectTransaction(int row)
{
    TransactionData* record = GetRecord(row);
    if (!record)
        return;
    // The row's texts and its record always agree; the texts are what the user sees.
    const TimeValue date = ParseDate(GetItemText(row, DateColumn)).value_or(record->date);
    ProjectTransactionOccurrences(m_cashflow, date, GetItemText(row, DescriptionColumn),
                                  Utility::ReadDecimal(GetItemText(row, AmountColumn)), record, *record->repeater);
}

void CTransListCtrl::WithdrawTransaction(const TransactionData* record, bool recalculate)
{
    WithdrawTransactionEntries(m_cashflow, record, recalculate);
}

void CTransListCtrl::ShowInEditor(CTransEditDlg& editor, int row, const TransactionData& record)
{
    editor.SetTransaction(GetDate(row), GetDescription(row), GetAmount(row), *record.repeater);
    editor.SetTentative(record.tentative);
    editor.SetExceptions(record.exceptions);
    editor.SetCashFlowWindow({ProjectionStartDate(), m_cashflow.GetEndDate(), &m_cashflow.GetBusinessCalendar()});
}

void CTransListCtrl::EditTransaction(int row)
{
    TransactionData* record = GetRecord(row);
    if (!record)
        return;
    CTransEditDlg editor(CTransEditDlg::EditMode);
    ShowInEditor(editor, row, *record);
    if (editor.DoModal() != win::IDOK)
        return;
    // The record's other values stay as they were.
    auto edited = CopyTransaction(*record);
    editor.ApplyTo(*edited);
    if (m_history)
        m_history->UpdateTransaction(row, std::move(edited));
    else
        UpdateRecord(row, std::move(edited));
}

void CTransListCtrl::EditPayment(int row, const ListedOccurrence& payment)
{
    TransactionData* record = GetRecord(row);
    if (!record)
        return;
    CTransEditDlg editor(CTransEditDlg::EditMode);
    ShowInEditor(editor, row, *record);
    SplitSeries split = SplitAt(*record, payment.due);
    editor.SetPayment(payment, split.later ? CopyRepeater(*split.later->repeater) : nullptr);
    if (editor.DoModal() != win::IDOK)
        return;
    // The changed payments the user kept in the editor's list (some may have been restored).
    auto kept = CopyTransaction(*record);
    if (const std::vector<PaymentException>* exceptions = editor.GetExceptions())
        kept->exceptions = *exceptions;
    std::unique_ptr<TransactionData> edited;
    switch (editor.GetScope()) {
    case CTransEditDlg::ThisPayment:
        edited = editor.ChangePayment(*kept);
        break;
    case CTransEditDlg::ThisAndLater:
        // Cut at the first payment, the series is every payment.
        if (split.first && split.later) {
            editor.ApplyTo(*split.later);
            // Each part keeps those of its own payments.
            split.first->exceptions.clear();
            split.later->exceptions.clear();
            for (const PaymentException& exception : kept->exceptions)
                (LocalDay(exception.date) < LocalDay(payment.due) ? split.first : split.later)
                    ->exceptions.push_back(exception);
            if (m_history) {
                m_history->SplitTransaction(row, std::move(split.first), std::move(split.later));
            } else {
                UpdateRecord(row, std::move(split.first));
                AddRecord(std::move(split.later), true);
            }
            return;
        }
        [[fallthrough]];
    default:
        edited = CopyTransaction(*record);
        editor.ApplyTo(*edited);
        break;
    }
    if (m_history)
        m_history->UpdateTransaction(row, std::move(edited));
    else
        UpdateRecord(row, std::move(edited));
}

void CTransListCtrl::DeleteConfirmed(int row)
{
    if (m_history)
        m_history->DeleteTransaction(row);
    else
        DeleteItemAt(row);
}

int CTransListCtrl::FindTransaction(const TransactionData* record)
{
    int found = -1;
    Rows().ForEach([&](std::size_t index, const win::ListRow& row) {
        if (RecordOf(row.data) != record)
            return true;
        found = static_cast<int>(index);
        return false;
    });
    return found;
}

int CTransListCtrl::ProjectAllTransactions()
{
    for (int row = 0; row < GetItemCount(); ++row)
        ProjectTransaction(row);
    return GetItemCount();
}

std::string CTransListCtrl::GetDescription(int row) const { return GetItemText(row, DescriptionColumn); }

TimeValue CTransListCtrl::GetDate(int row) const
{
    const TransactionData* record = GetRecord(row);
    const auto date = ParseDate(GetItemText(row, DateColumn));
    return date ? *date : record ? record->date : 0;
}

std::int32_t CTransListCtrl::GetAmount(int row) const { return Utility::ReadDecimal(GetItemText(row, AmountColumn)); }

TransactionData* CTransListCtrl::GetRecord(int row) const { return RecordOf(GetItemData(row)); }

int CTransListCtrl::CompareByColumn(const TransactionData& a, const TransactionData& b, int column)
{
    switch (column) {
    case DescriptionColumn:
        return CompareFolded(a.description, b.description);
    case DateColumn:
        return Order(a.date, b.date);
    case AmountColumn:
        // Not a difference of the amounts: that overflows for amounts far apart.
        return Order(a.amount, b.amount);
    case RepeatsColumn:
        return a.repeater->GetType() - b.repeater->GetType();
    default:
        return 0;
    }
}

void CTransListCtrl::SortByColumn(int column)
{
    const bool ascending = IsNextSortAscending(column);
    SortItems([column, ascending](std::uintptr_t a, std::uintptr_t b) {
        const int order = CompareByColumn(*RecordOf(a), *RecordOf(b), column);
        return ascending ? order : -order;
    });
    if (column >= 0 && column < kColumnCount)
        SortAscending()[static_cast<std::size_t>(column)] = !ascending;
    m_cashflow.ProjectAllOnNextMove();
}

bool CTransListCtrl::IsNextSortAscending(int column)
{
    return column >= 0 && column < kColumnCount && SortAscending()[static_cast<std::size_t>(column)];
}

void CTransListCtrl::ResetSortDirections() { SortAscending().fill(false); }

void CTransListCtrl::OnDoubleClick(int)
{
    const int row = GetSelectedIndex();
    if (row != -1)
        EditTransaction(row);
}

void CTransListCtrl::OnColumnClick(int column) { SortByColumn(column); }

void CTransListCtrl::OnWindowDestroyed()
{
    DestroyAllRecords();
    CBaseListCtrl::OnWindowDestroyed();
}

std::string CTransListCtrl::GetRowNote(int row)
{
    const TransactionData* record = GetRecord(row);
    return record && record->tentative ? win::LoadString(res::IDS_TENTATIVE_ROW_TIP) : std::string();
}

void CTransListCtrl::DestroyAllRecords()
{
    for (int row = 0; row < GetItemCount(); ++row) {
        delete GetRecord(row);
        SetItemData(row, 0);
    }
    DeleteAllItems();
}
