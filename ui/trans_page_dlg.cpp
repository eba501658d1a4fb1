#include "ui/trans_page_dlg.h"

#include "res/resource.h"
#include "storage/data_file.h"
#include "ui/platform/data_exchange.h"

CTransPageDlg::CTransPageDlg(IConfigDataManager& configuration, ICashflowListCtrl& cashflow)
    : CListBasedPage(res::IDD_TRANS_PAGE), m_list(configuration, cashflow)
{
    SetList(m_list);
}

void CTransPageDlg::DoDataExchange(win::CDataExchange* dx)
{
    CListBasedPage::DoDataExchange(dx);
    win::DDX_Control(dx, res::IDC_TRANS_LIST, m_list);
}

void CTransPageDlg::OnWindowDestroyed()
{
    m_list.DestroyAllRecords();
    CListBasedPage::OnWindowDestroyed();
}

void CTransPageDlg::DeleteSelected()
{
    const int row = m_list.GetSelectedIndex();
    if (row != -1)
        m_list.DeleteWithConfirmation(row);
}

void CTransPageDlg::Save(CXmlDocument& document)
{
    const int count = m_list.GetItemCount();
    if (count == 0)
        return;
    DataFile::BeginTransactions(document);
    for (int row = 0; row < count; ++row) {
        const TransactionData* record = m_list.GetRecord(row);
        DataFile::WriteTransaction(document, m_list.GetItemText(row, CTransListCtrl::DescriptionColumn),
                                   m_list.GetItemText(row, CTransListCtrl::DateColumn),
                                   m_list.GetItemText(row, CTransListCtrl::AmountColumn), *record->repeater,
                                   record->tentative, record->exceptions);
    }
    DataFile::EndList(document);
}

