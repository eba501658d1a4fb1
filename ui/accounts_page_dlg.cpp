#include "ui/accounts_page_dlg.h"

#include "res/resource.h"
#include "storage/data_file.h"
#include "storage/xml_document.h"
#include "ui/platform/data_exchange.h"

CAccountsPageDlg::CAccountsPageDlg(IConfigDataManager& configuration, ICashflowListCtrl& cashflow, int)
    : CListBasedPage(res::IDD_ACCOUNTS_PAGE), m_list(configuration, cashflow)
{
    SetList(m_list);
}

void CAccountsPageDlg::DoDataExchange(win::CDataExchange* dx)
{
    CListBasedPage::DoDataExchange(dx);
    win::DDX_Control(dx, res::IDC_ACCOUNTS_LIST, m_list);
}

void CAccountsPageDlg::DeleteSelected()
{
    const int row = m_list.GetSelectedIndex();
    if (row != -1)
        m_list.DeleteWithConfirmation(row);
}

void CAccountsPageDlg::Save(CXmlDocument& document)
{
    const int count = m_list.GetItemCount();
    if (count == 0)
        return;
    DataFile::BeginAccounts(document);
    for (int row = 0; row < count; ++row)
        DataFile::WriteAccount(document, m_list.GetItemText(row, 0), m_list.GetItemText(row, 1));
    DataFile::EndList(document);
}

