#include "ui/list_based_page.h"

#include "ui/platform/api.h"

CListBasedPage::CListBasedPage(int templateId) : win::CPropertyPage(templateId) {}

void CListBasedPage::DoDataExchange(win::CDataExchange*) {}

void CListBasedPage::OnSize(int type, int cx, int cy)
{
    win::CPropertyPage::OnSize(type, cx, cy);
    if (!m_list || !m_list->HasWindow())
        return;
    const win::CRect listRect = m_list->GetWindowRect();
    const win::CRect pageRect = GetWindowRect();
    const int dx = listRect.left - pageRect.left;
    const int dy = listRect.top - pageRect.top;
    const int edge = win::GetSystemMetrics(win::SM_CYEDGE);
    m_list->SetWindowPos(0, 0, cx - 2 * dx - edge, cy - dy - dx - edge, win::SWP_NOMOVE | win::SWP_NOZORDER);
}
