#pragma once

#include "storage/config_data_manager.h"
#include "ui/accounts_list_ctrl.h"
#include "ui/list_based_page.h"
#include "ui/markup_persistence.h"

class CXmlDocument;
class ICashflowListCtrl;

// The "Current Accounts" page: the accounts list filling the page. It deletes the
// selected account on the main window's command and writes the accounts into the data
// file; the main window's loader reads them back into the list.
class CAccountsPageDlg : public CListBasedPage, public app::IMarkupPersistence {
public:
    // The last argument is not used.
    CAccountsPageDlg(IConfigDataManager& configuration, ICashflowListCtrl& cashflow, int unused = 0);

    CAccountsListCtrl& GetAccountsList() { return m_list; }

    // Deletes the selected account when the user confirms.
    void DeleteSelected();

    // Writes ACCOUNTS with every row in the list's order; nothing when there are none.
    void Save(CXmlDocument& document) override;

protected:
    void DoDataExchange(win::CDataExchange* dx) override;

private:
    CAccountsListCtrl m_list;
};
