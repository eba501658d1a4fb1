#include "ui/edit_history.h"

#include "common/fill_in.h"
#include "model/date_repeater.h"
#include "model/transaction_data.h"
#include "ui/accounts_list_ctrl.h"
#include "res/resource.h"
#include "ui/cash_flow_pg_dlg.h"
#include "ui/platform/resources.h"
#include "ui/trans_list_ctrl.h"

#include <cassert>
#include <utility>

namespace {

using Identities = CEditHistory::Identities;
using RowIdentity = CEditHistory::RowIdentity;
using TimePoint = std::chrono::steady_clock::time_point;

std::string Quoted(const std::string& kind, const std::string& description)
{
    return kind + " \"" + description + "\"";
}

// The selected row of a list, by identity (null: none).
std::shared_ptr<RowIdentity> SelectionOf(Identities& rows)
{
    win::CListCtrl& list = rows.List();
    return rows.Of(list.GetNextItem(-1, win::LVNI_SELECTED));
}

void RestoreSelection(Identities& rows, const std::shared_ptr<RowIdentity>& selected)
{
    win::CListCtrl& list = rows.List();
    const int row = selected ? rows.RowOf(*selected) : -1;
    if (row >= 0) {
        // One selected row at most: selecting it clears any other.
        list.SetItemState(row, win::LVIS_SELECTED, win::LVIS_SELECTED);
        list.EnsureVisible(row);
        return;
    }
    for (int other = list.GetNextItem(-1, win::LVNI_SELECTED); other >= 0;
         other = list.GetNextItem(other, win::LVNI_SELECTED))
        list.SetItemState(other, 0, win::LVIS_SELECTED);
}

// The selection of the list a step changes, before and after it.
struct SelectionChange {
    std::shared_ptr<RowIdentity> before;
    std::shared_ptr<RowIdentity> after;
};

struct AccountValues {
    std::string description;
    std::int32_t balance = 0;
    const std::string& Description() const { return description; }
};

AccountValues AccountAt(CAccountsListCtrl& list, int row)
{
    return {list.GetItemText(row, 0), list.GetBalance(row)};
}

// A copy of the whole record, so that undoing and redoing keep every value it carries.
struct TransactionValues {
    std::unique_ptr<TransactionData> record;
    const std::string& Description() const { return record->description; }
};

TransactionValues TransactionAt(CTransListCtrl& list, int row)
{
    const TransactionData* record = list.GetRecord(row);
    assert(record);
    return {CopyTransaction(*record)};
}

// What the steps need to know of each kind of record: its list, its values, and how the
// list puts a row back or changes it.
struct AccountKind {
    using List = CAccountsListCtrl;
    using Values = AccountValues;
    static constexpr const char* kName = "Account";
    static int PutBack(List& list, int row, const Values& values)
    {
        return list.RestoreAccount(row, values.description, values.balance);
    }
    static void Update(List& list, Identities&, const std::shared_ptr<RowIdentity>&, int row, const Values& values)
    {
        list.UpdateAccount(row, values.description, values.balance);
    }
};

struct TransactionKind {
    using List = CTransListCtrl;
    using Values = TransactionValues;
    static constexpr const char* kName = "Transaction";
    static int PutBack(List& list, int row, const Values& values)
    {
        return list.RestoreRecord(row, CopyTransaction(*values.record));
    }
    // Only this transaction's rows of the projection are withdrawn and projected again.
    static void Update(List& list, Identities& rows, const std::shared_ptr<RowIdentity>& identity, int row,
                       const Values& values)
    {
        list.UpdateRecord(row, CopyTransaction(*values.record));
        // The list gives the row a new record.
        rows.Rebind(identity, list.GetItemData(row));
    }
};

// Adding (present after) or deleting (present before) one record.
template <typename Kind>
class PresenceStep : public win::CUndoStep {
public:
    PresenceStep(typename Kind::List& list, Identities& rows, bool added, std::shared_ptr<RowIdentity> identity,
                 int row, typename Kind::Values values, SelectionChange selection)
        : m_list(list), m_rows(rows), m_added(added), m_identity(std::move(identity)), m_row(row)
        , m_values(std::move(values)), m_selection(std::move(selection))
    {
    }
    void Undo() override
    {
        m_added ? Remove() : PutBack();
        RestoreSelection(m_rows, m_selection.before);
    }
    void Redo() override
    {
        m_added ? PutBack() : Remove();
        RestoreSelection(m_rows, m_selection.after);
    }
    std::string Text() const override
    {
        return Quoted(std::string(m_added ? "Add " : "Delete ") + Kind::kName, m_values.Description());
    }

private:
    void Remove()
    {
        m_list.DeleteItemAt(m_rows.RowOf(*m_identity));
        m_rows.Release(*m_identity);
    }
    void PutBack()
    {
        const int row = Kind::PutBack(m_list, m_row, m_values);
        m_rows.Rebind(m_identity, m_list.GetItemData(row));
    }

    typename Kind::List& m_list;
    Identities& m_rows;
    bool m_added;
    std::shared_ptr<RowIdentity> m_identity;
    int m_row;
    typename Kind::Values m_values;
    SelectionChange m_selection;
};

template <typename Kind>
class EditStep : public win::CUndoStep {
public:
    EditStep(typename Kind::List& list, Identities& rows, std::shared_ptr<RowIdentity> identity,
             typename Kind::Values before, typename Kind::Values after, SelectionChange selection)
        : m_list(list), m_rows(rows), m_identity(std::move(identity)), m_before(std::move(before))
        , m_after(std::move(after)), m_selection(std::move(selection))
    {
    }
    void Undo() override
    {
        Apply(m_before);
        RestoreSelection(m_rows, m_selection.before);
    }
    void Redo() override
    {
        Apply(m_after);
        RestoreSelection(m_rows, m_selection.after);
    }
    std::string Text() const override { return Quoted(std::string("Edit ") + Kind::kName, m_after.Description()); }

private:
    void Apply(const typename Kind::Values& values)
    {
        const int row = m_rows.RowOf(*m_identity);
        if (row >= 0)
            Kind::Update(m_list, m_rows, m_identity, row, values);
    }

    typename Kind::List& m_list;
    Identities& m_rows;
    std::shared_ptr<RowIdentity> m_identity;
    typename Kind::Values m_before;
    typename Kind::Values m_after;
    SelectionChange m_selection;
};

// A change of the start date or of the Duration: the projection is rebuilt either way.
template <typename Value>
class SettingStep : public win::CUndoStep {
public:
    enum Kind { StartDate = 1, Duration = 2, BusinessDays = 3 };

    SettingStep(Kind kind, std::function<void(Value)> apply, Value before, Value after, bool mergeable, TimePoint when)
        : m_kind(kind), m_apply(std::move(apply)), m_before(before), m_after(after), m_mergeable(mergeable)
        , m_last(when)
    {
    }
    void Undo() override { m_apply(m_before); }
    void Redo() override { m_apply(m_after); }
    std::string Text() const override
    {
        const std::string name = m_kind == StartDate ? "Starting Date" : m_kind == Duration ? "Duration" : "Business Days";
        return m_changes == 1 ? name : name + " (" + std::to_string(m_changes) + " changes)";
    }
    int MergeKind() const override { return m_mergeable ? m_kind : 0; }
    bool MergeWith(const win::CUndoStep& other) override
    {
        const auto* later = dynamic_cast<const SettingStep*>(&other);
        if (!later || later->m_kind != m_kind || !later->m_mergeable ||
            later->m_last - m_last >= CEditHistory::kBurst)
            return false;
        m_after = later->m_after;
        m_last = later->m_last;
        m_changes += later->m_changes;
        return true;
    }

private:
    Kind m_kind;
    std::function<void(Value)> m_apply;
    Value m_before;
    Value m_after;
    bool m_mergeable;
    // When the last change merged into this step was made.
    TimePoint m_last;
    int m_changes = 1;
};

// Several changes made as one: undone last first.
class GroupStep : public win::CUndoStep {
public:
    GroupStep(std::string text, std::vector<std::unique_ptr<win::CUndoStep>> steps)
        : m_text(std::move(text)), m_steps(std::move(steps))
    {
    }
    void Undo() override
    {
        for (auto step = m_steps.rbegin(); step != m_steps.rend(); ++step)
            (*step)->Undo();
    }
    void Redo() override
    {
        for (const auto& step : m_steps)
            step->Redo();
    }
    std::string Text() const override { return m_text; }

private:
    std::string m_text;
    std::vector<std::unique_ptr<win::CUndoStep>> m_steps;
};

} // namespace

// Identities.

std::shared_ptr<RowIdentity> Identities::Of(int row)
{
    if (row < 0 || row >= m_list.GetItemCount())
        return nullptr;
    const std::uintptr_t data = m_list.GetItemData(row);
    std::shared_ptr<RowIdentity>& identity = m_byData[data];
    if (!identity)
        identity = std::make_shared<RowIdentity>(RowIdentity{data});
    return identity;
}

int Identities::RowOf(const RowIdentity& identity) const
{
    int found = -1;
    if (identity.data == 0)
        return found;
    m_list.Rows().ForEach([&](std::size_t index, const win::ListRow& row) {
        if (row.data != identity.data)
            return true;
        found = static_cast<int>(index);
        return false;
    });
    return found;
}

void Identities::Rebind(const std::shared_ptr<RowIdentity>& identity, std::uintptr_t data)
{
    if (auto found = m_byData.find(identity->data); found != m_byData.end() && found->second == identity)
        m_byData.erase(found);
    identity->data = data;
    m_byData[data] = identity;
}

void Identities::Release(RowIdentity& identity)
{
    // A record's address may be given to a later record: it must not find this identity.
    if (auto found = m_byData.find(identity.data); found != m_byData.end() && found->second.get() == &identity)
        m_byData.erase(found);
    identity.data = 0;
}

// The history.

CEditHistory::CEditHistory(CAccountsListCtrl& accounts, CTransListCtrl& transactions, CCashFlowPgDlg& cashFlow)
    : m_accounts(accounts)
    , m_transactions(transactions)
    , m_cashFlow(cashFlow)
    , m_accountRows(accounts)
    , m_transactionRows(transactions)
    , m_clock([] { return std::chrono::steady_clock::now(); })
{
}

CEditHistory::~CEditHistory() = default;

void CEditHistory::Record(std::unique_ptr<win::CUndoStep> step)
{
    if (m_group)
        m_group->push_back(std::move(step));
    else
        m_stack.Record(std::move(step));
}

void CEditHistory::BeginGroup()
{
    assert(!m_group);
    m_group = std::make_unique<std::vector<std::unique_ptr<win::CUndoStep>>>();
}

void CEditHistory::EndGroup(const std::string& text)
{
    auto steps = std::move(m_group);
    if (steps && !steps->empty())
        m_stack.Record(std::make_unique<GroupStep>(text, std::move(*steps)));
}

void CEditHistory::SplitTransaction(int row, std::unique_ptr<TransactionData> first,
                                    std::unique_ptr<TransactionData> later)
{
    if (!m_transactions.GetRecord(row) || !first || !later)
        return;
    const std::string text = FillIn(win::LoadString(res::IDS_SPLIT_STEP), {later->description, FormatDate(later->date)});
    BeginGroup();
    try {
        UpdateTransaction(row, std::move(first));
        AddTransaction(std::move(later));
    } catch (...) {
        // What was changed before the failure stays undoable.
        EndGroup(text);
        throw;
    }
    EndGroup(text);
}

void CEditHistory::UpdateBalances(const std::vector<std::int32_t>& balances, TimeValue startDate,
                                  std::vector<TransactionChange> transactions)
{
    const std::string text = win::LoadString(res::IDS_UPDATE_BALANCES_STEP);
    BeginGroup();
    try {
        for (std::size_t row = 0; row < balances.size() && static_cast<int>(row) < m_accounts.GetItemCount(); ++row)
            if (m_accounts.GetBalance(static_cast<int>(row)) != balances[row])
                UpdateAccount(static_cast<int>(row), m_accounts.GetItemText(static_cast<int>(row), 0), balances[row]);
        SetStartDate(startDate);
        for (TransactionChange& change : transactions)
            UpdateTransaction(change.row, std::move(change.record));
    } catch (...) {
        EndGroup(text);
        throw;
    }
    EndGroup(text);
}

void CEditHistory::AddAccount(const std::string& description, std::int32_t balance)
{
    SelectionChange selection{SelectionOf(m_accountRows), nullptr};
    const int row = m_accounts.AddAccount(description, balance, CAccountsListCtrl::Selection::Select);
    if (row < 0)
        return;
    auto identity = m_accountRows.Of(row);
    selection.after = SelectionOf(m_accountRows);
    Record(std::make_unique<PresenceStep<AccountKind>>(m_accounts, m_accountRows, true, std::move(identity), row,
                                                 AccountAt(m_accounts, row), std::move(selection)));
}

void CEditHistory::UpdateAccount(int row, const std::string& description, std::int32_t balance)
{
    if (row < 0 || row >= m_accounts.GetItemCount())
        return;
    SelectionChange selection{SelectionOf(m_accountRows), nullptr};
    auto identity = m_accountRows.Of(row);
    AccountValues before = AccountAt(m_accounts, row);
    m_accounts.UpdateAccount(row, description, balance);
    selection.after = SelectionOf(m_accountRows);
    Record(std::make_unique<EditStep<AccountKind>>(m_accounts, m_accountRows, std::move(identity), std::move(before),
                                             AccountAt(m_accounts, row), std::move(selection)));
}

void CEditHistory::DeleteAccount(int row)
{
    if (row < 0 || row >= m_accounts.GetItemCount())
        return;
    SelectionChange selection{SelectionOf(m_accountRows), nullptr};
    auto identity = m_accountRows.Of(row);
    AccountValues values = AccountAt(m_accounts, row);
    m_accounts.DeleteItemAt(row);
    m_accountRows.Release(*identity);
    selection.after = SelectionOf(m_accountRows);
    Record(std::make_unique<PresenceStep<AccountKind>>(m_accounts, m_accountRows, false, std::move(identity), row,
                                                 std::move(values), std::move(selection)));
}

void CEditHistory::AddTransaction(TimeValue date, const std::string& description, std::int32_t amount,
                                  std::unique_ptr<CDateRepeater> rule)
{
    AddTransaction(std::make_unique<TransactionData>(date, description, amount, std::move(rule)));
}

void CEditHistory::AddTransaction(std::unique_ptr<TransactionData> record)
{
    SelectionChange selection{SelectionOf(m_transactionRows), nullptr};
    const int row = m_transactions.AddRecord(std::move(record), true);
    if (row < 0)
        return;
    auto identity = m_transactionRows.Of(row);
    selection.after = SelectionOf(m_transactionRows);
    Record(std::make_unique<PresenceStep<TransactionKind>>(m_transactions, m_transactionRows, true, std::move(identity),
                                                     row, TransactionAt(m_transactions, row), std::move(selection)));
}

void CEditHistory::UpdateTransaction(int row, TimeValue date, const std::string& description, std::int32_t amount,
                                     std::unique_ptr<CDateRepeater> rule)
{
    const TransactionData* old = m_transactions.GetRecord(row);
    if (!old)
        return;
    UpdateTransaction(row, WithValues(*old, date, description, amount, std::move(rule)));
}

void CEditHistory::UpdateTransaction(int row, std::unique_ptr<TransactionData> record)
{
    if (!m_transactions.GetRecord(row))
        return;
    SelectionChange selection{SelectionOf(m_transactionRows), nullptr};
    auto identity = m_transactionRows.Of(row);
    TransactionValues before = TransactionAt(m_transactions, row);
    m_transactions.UpdateRecord(row, std::move(record));
    m_transactionRows.Rebind(identity, m_transactions.GetItemData(row));
    selection.after = SelectionOf(m_transactionRows);
    Record(std::make_unique<EditStep<TransactionKind>>(m_transactions, m_transactionRows, std::move(identity),
                                                 std::move(before), TransactionAt(m_transactions, row),
                                                 std::move(selection)));
}

void CEditHistory::DeleteTransaction(int row)
{
    if (!m_transactions.GetRecord(row))
        return;
    SelectionChange selection{SelectionOf(m_transactionRows), nullptr};
    auto identity = m_transactionRows.Of(row);
    TransactionValues values = TransactionAt(m_transactions, row);
    m_transactions.DeleteItemAt(row);
    m_transactionRows.Release(*identity);
    selection.after = SelectionOf(m_transactionRows);
    Record(std::make_unique<PresenceStep<TransactionKind>>(m_transactions, m_transactionRows, false, std::move(identity),
                                                     row, std::move(values), std::move(selection)));
}

void CEditHistory::SetStartDate(TimeValue date)
{
    CCashFlowListCtrl& list = m_cashFlow.CashFlowList();
    const TimeValue before = list.GetStartDate();
    if (date == before)
        return;
    list.SetStartDate(date);
    Record(std::make_unique<SettingStep<TimeValue>>(
        SettingStep<TimeValue>::StartDate, [&list](TimeValue value) { list.SetStartDate(value); }, before, date,
        false, Now()));
}

void CEditHistory::MoveStartDate(int days)
{
    CCashFlowListCtrl& list = m_cashFlow.CashFlowList();
    const TimeValue before = list.GetStartDate();
    // Whole days, brought back to 10:00, so that a daylight-saving change on the way does
    // not move the date off its day.
    const TimeValue after = AddDays(before, days);
    list.SetStartDate(after);
    Record(std::make_unique<SettingStep<TimeValue>>(
        SettingStep<TimeValue>::StartDate, [&list](TimeValue value) { list.SetStartDate(value); }, before, after,
        true, Now()));
}

void CEditHistory::SetDuration(unsigned months)
{
    const unsigned before = m_cashFlow.CashFlowList().GetDuration();
    if (months == before)
        return;
    // The spin asks before it moves: it shows the new number itself.
    m_cashFlow.CashFlowList().SetDuration(months);
    CCashFlowPgDlg& page = m_cashFlow;
    Record(std::make_unique<SettingStep<unsigned>>(
        SettingStep<unsigned>::Duration, [&page](unsigned value) { page.ApplyDuration(value); }, before, months, true,
        Now()));
}

void CEditHistory::SetBusinessCalendar(BusinessCalendar calendar)
{
    CCashFlowListCtrl& list = m_cashFlow.CashFlowList();
    BusinessCalendar before = list.GetBusinessCalendar();
    auto apply = [&list](BusinessCalendar value) {
        list.SetBusinessCalendar(std::move(value));
        list.Rebuild();
    };
    apply(calendar);
    Record(std::make_unique<SettingStep<BusinessCalendar>>(SettingStep<BusinessCalendar>::BusinessDays, apply,
                                                           std::move(before), std::move(calendar), false, Now()));
}

std::string CEditHistory::UndoText() const { return CanUndo() ? "Undo " + m_stack.UndoText() : "Undo"; }

std::string CEditHistory::RedoText() const { return CanRedo() ? "Redo " + m_stack.RedoText() : "Redo"; }

void CEditHistory::Undo() { m_stack.Undo(); }

void CEditHistory::Redo() { m_stack.Redo(); }

void CEditHistory::Clear()
{
    m_stack.Clear();
    m_accountRows.Clear();
    m_transactionRows.Clear();
}
