#pragma once

#include "model/cash_flow_projection.h"
#include "model/payment_exceptions.h"
#include "ui/base_list_ctrl.h"
#include "ui/chart_source.h"
#include "ui/payment_change_text.h"
#include "ui/platform/list_data_source.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>

class IEditHistory;

// The Cash Flow page's list: the projection's rows shown as Date, Description, Amount and
// Balance. The rows live in the projection; the list view reads them on demand (owner
// data), so a rebuild of a few hundred thousand rows costs one refresh of the view. The
// selection is kept on the projection's rows and moves with its row. Row 0, the opening
// row, opens the Starting Date dialog; any other row opens the Transaction Editor on the
// transaction behind it. Rows cannot be deleted by the user. The chart draws from it.
class CCashFlowListCtrl : public CBaseListCtrl,
                          public CashFlowProjection,
                          public IChartSource,
                          private win::IListDataSource {
public:
    // None of the references is owned.
    CCashFlowListCtrl(IConfigDataManager& configuration, IAccountsListCtrl& accounts,
                      ITransListCtrl& transactions, unsigned duration);
    ~CCashFlowListCtrl() override;

    // Projection rows cannot be deleted by the user.
    void DeleteItemAt(int row) override;
    std::string GetSectionName() const override;
    int GetDefaultColumnWidth(int column) const override;

    // True when the row was produced by a transaction (not the opening row).
    virtual bool CanEditEntry(int row);
    // Row 0: the Starting Date dialog; another row: the Transaction Editor on its
    // transaction, through the transactions list.
    virtual void EditEntry(int row);
    // Runs the Starting Date dialog and applies a date that differs from the start date.
    void EditStartDate();

    // What the projection and the chart both read.
    int GetCount() override { return CashFlowProjection::GetCount(); }
    TimeValue GetDate(int row) override { return CashFlowProjection::GetDate(row); }
    std::int64_t GetDay(int row) override
    {
        return CashFlowProjection::Rows().At(static_cast<std::size_t>(row)).day;
    }
    std::int64_t GetBalance(int row) override { return CashFlowProjection::GetBalance(row); }
    TimeValue GetEndDate() const override { return CashFlowProjection::GetEndDate(); }
    TimeValue GetStartDate() const override { return CashFlowProjection::GetStartDate(); }
    unsigned GetDuration() const override { return CashFlowProjection::GetDuration(); }
    // The chart draws nothing until the list has its window.
    bool HasWindow() const override { return CBaseListCtrl::HasWindow(); }

    // A new start date goes through the history from now on (not owned).
    void SetEditHistory(IEditHistory* history) { m_history = history; }

    // Called after every recalculation, for the chart to repaint.
    void SetRedrawHandler(std::function<void()> handler) { m_redraw = std::move(handler); }
    // Called after every change of rows or balances (often: many times in one rebuild).
    void SetChangeHandler(std::function<void()> handler) { m_changed = std::move(handler); }

    // Selects the row alone and scrolls the list to it.
    void SelectAndShow(int row);
    // A tentative transaction's row is shown in italics, its tooltip saying "What-if".
    std::string GetRowNote(int row) override;
    // A moved payment's Date cell and a changed amount's Amount cell are marked; their
    // note says what was planned ("Moved from 03/01/2027", "Planned amount -500").
    std::string GetCellNote(int row, int column) override;

    // The payment a row lists: which occurrence of its transaction it is, and its
    // exception. The k-th row of a transaction on a day is the k-th occurrence the model
    // lists for that day. Nothing for the opening row.
    std::optional<ListedOccurrence> OccurrenceAt(int row);
    // A payment of the record as its rule gives it.
    PlannedPayment Planned(const TransactionData& record, const ListedOccurrence& occurrence);
    // The commands on one payment of a row, each one step of the history (without a
    // history they do nothing): leave it out, change its date or amount in the Change
    // This Payment dialog, or bring a changed one back to its plan.
    bool CanChangePayment(int row);
    bool CanRestorePayment(int row);
    void SkipPayment(int row);
    void ChangePayment(int row);
    void RestorePayment(int row);
    // Called when the user asks for a row's context menu (right click, Menu key,
    // Shift+F10) with the row (-1: none) and the point of the screen to show it at.
    void SetContextMenuHandler(std::function<void(int, const win::CPoint&)> handler)
    {
        m_contextMenu = std::move(handler);
    }

    // The firm forecast's balances, when some rows are of tentative transactions.
    std::vector<std::int64_t> GetFirmBalances() override;
    ProjectionSummary Summary() override { return SummarizeProjection(*this, 0); }
    // Called when the projection first reaches its row limit after a rebuild.
    void SetCappedHandler(std::function<void()> handler) { m_capped = std::move(handler); }

protected:
    // Creates the columns, then the base step, then the opening row.
    void PreSubclassWindow() override;
    // A double-click edits the first selected row.
    void OnDoubleClick(int row) override;
    void OnContextMenu(int row, const win::CPoint& screen) override;

    void OnRowsChanged() override;
    void OnRecalculated() override;
    void OnCapped() override;

private:
    int GetRowCount() override;
    std::string GetCellText(int row, int column) override;
    std::string GetCellTextStart(int row, int column, std::size_t bytes) override;
    bool IsRowSelected(int row) override;
    void SetRowSelected(int row, bool selected) override;
    int GetNextSelectedRow(int after) override;

    // Replaces the record of a row's transaction with changed, through the history; the
    // transaction's row in the transactions list, or -1 when nothing was done.
    int UpdatePayment(const TransactionData& record, std::unique_ptr<TransactionData> changed);
    // Selects the row of the transaction's payment due on `due`, listed on listedOn's day:
    // a changed or restored payment keeps the selection wherever it moved.
    void SelectPayment(int transaction, TimeValue due, TimeValue listedOn);

    ITransListCtrl& m_transactions;
    IEditHistory* m_history = nullptr;
    std::function<void(int, const win::CPoint&)> m_contextMenu;
    std::function<void()> m_redraw;
    std::function<void()> m_changed;
    std::function<void()> m_capped;
};
