#pragma once

#include "ui/cash_flow_list_ctrl.h"
#include "ui/list_based_page.h"
#include "ui/markup_persistence.h"
#include "storage/data_file.h"
#include "ui/platform/controls.h"

// The Cash Flow page: the projection's list below a row of controls that move the start
// date by a day ("<<", ">>"), pick it in the Starting Date dialog, and set the number of
// months with a spin control (1 to 99). It saves and loads the CASHFLOW element of the
// data file.
class CCashFlowPgDlg : public CListBasedPage, public app::IMarkupPersistence {
public:
    // None of the references is owned.
    CCashFlowPgDlg(IConfigDataManager& configuration, IAccountsListCtrl& accounts, ITransListCtrl& transactions,
                   unsigned duration);

    CCashFlowListCtrl& CashFlowList() { return m_list; }

    // CASHFLOW with the start date and Duration, below the document's current element.
    void Save(CXmlDocument& document) override;
    // The start date of the CASHFLOW child of the current element, when it has one;
    // Duration is the configuration's business. What had to be mended is added to notes.
    void Load(CXmlDocument& document) override { Load(document, nullptr); }
    void Load(CXmlDocument& document, DataFile::Notes* notes);

protected:
    bool OnInitDialog() override;
    void DoDataExchange(win::CDataExchange* dx) override;

private:
    void MoveStartDate(int days);
    // Before the spin's position changes: 1 refuses the change.
    int OnDurationDeltaPos(int position, int delta);

    win::CSpinButtonCtrl m_durationSpin;
    CCashFlowListCtrl m_list;
};
