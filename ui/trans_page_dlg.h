#pragma once

// CTransPageDlg: the "Transactions" page. One list fills it: the transactions list, which
// is also the store of the transactions. The page deletes the selected transaction after
// asking, and writes the TRANSACTIONS element of the data file; the main window's loader
// reads that element itself.

#include "model/cashflow_interfaces.h"
#include "storage/config_data_manager.h"
#include "ui/list_based_page.h"
#include "ui/markup_persistence.h"
#include "ui/trans_list_ctrl.h"

class CXmlDocument;

class CTransPageDlg : public CListBasedPage, public app::IMarkupPersistence {
public:
    // Both are handed on to the list and not owned.
    CTransPageDlg(IConfigDataManager& configuration, ICashflowListCtrl& cashflow);

    CTransListCtrl& GetListCtrl() { return m_list; }

    // Deletes the selected transaction when the user confirms; nothing when no row is
    // selected.
    void DeleteSelected();

    // Adds TRANSACTIONS below the document's current element, one TRANSACTION per row in
    // the order shown; nothing at all when the list is empty.
    void Save(CXmlDocument& document) override;

protected:
    void DoDataExchange(win::CDataExchange* dx) override;
    // The list's window goes with the page's: so do its records.
    void OnWindowDestroyed() override;

private:
    CTransListCtrl m_list;
};
