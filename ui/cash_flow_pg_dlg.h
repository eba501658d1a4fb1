#pragma once

#include "model/projection_summary.h"
#include "ui/cash_flow_list_ctrl.h"
#include "ui/list_based_page.h"
#include "ui/markup_persistence.h"
#include "storage/data_file.h"
#include "ui/platform/controls.h"

// The Cash Flow page: the projection's list below a row of controls that move the start
// date by a day ("<<", ">>"), pick it in the Starting Date dialog, and set the number of
// months with a spin control (1 to 99). Under the list one line tells how low the
// balance goes at the end of a day and when, in red when a day ends under the "Warn below"
// threshold; clicking it (or Alt+L) selects the first row of the lowest day. It saves and loads the CASHFLOW
// element of the data file, the threshold with it.
class CCashFlowPgDlg : public CListBasedPage, public app::IMarkupPersistence {
public:
    // None of the references is owned.
    CCashFlowPgDlg(IConfigDataManager& configuration, IAccountsListCtrl& accounts, ITransListCtrl& transactions,
                   unsigned duration);

    CCashFlowListCtrl& CashFlowList() { return m_list; }
    // The start date and Duration controls and the list's Starting Date dialog go through
    // the history from now on (not owned).
    void SetEditHistory(IEditHistory* history);
    // Sets Duration and shows it in the spin control.
    void ApplyDuration(unsigned months);

    // The balance under which the summary line warns, in whole dollars (default 0).
    std::int32_t WarnBelow() const { return m_warnBelow; }
    void SetWarnBelow(std::int32_t threshold);
    // Asks for a new threshold in the Warn Below dialog and applies it.
    void EditWarnBelow();
    // The projection as it stands, summarised against the threshold.
    ProjectionSummary Summary();
    // The summary line's text (with its '&' key mark) for a summary, and the firm
    // forecast's lowest balance when there is a firm forecast beside it.
    static std::string SummaryText(const ProjectionSummary& summary,
                                   const std::optional<ProjectionSummary>& firm = std::nullopt);
    // The firm forecast summarised the same way, while the projection includes rows of
    // tentative transactions.
    std::optional<ProjectionSummary> FirmSummary();
    // Selects the first row of the day of the lowest balance and scrolls to it.
    void SelectLowestRow();

    // CASHFLOW with the start date and Duration, below the document's current element.
    void Save(CXmlDocument& document) override;
    // The start date of the CASHFLOW child of the current element, when it has one;
    // Duration is the configuration's business.
    void Load(CXmlDocument& document);

protected:
    bool OnInitDialog() override;
    void DoDataExchange(win::CDataExchange* dx) override;
    // The list fills the page but for one line below it: the summary and its button.
    void OnSize(int type, int cx, int cy) override;

private:
    void MoveStartDate(int days);
    // Before the spin's position changes: 1 refuses the change.
    int OnDurationDeltaPos(int position, int delta);
    // The Duration field's text changed (typed, or shown by the spin).
    void OnDurationTyped();
    // The projection changed: the summary line follows once the current event is done,
    // so a rebuild of many rows summarises once.
    void SummaryChanged();
    void UpdateSummaryLine();

    win::CSpinButtonCtrl m_durationSpin;
    win::CButton m_summaryLine;
    CCashFlowListCtrl m_list;
    IEditHistory* m_history = nullptr;
    std::int32_t m_warnBelow = 0;
    bool m_summaryPosted = false;
};
