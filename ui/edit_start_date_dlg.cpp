#include "ui/edit_start_date_dlg.h"

#include "res/resource.h"
#include "ui/date_picker.h"
#include "ui/platform/data_exchange.h"

CEditStartDateDlg::CEditStartDateDlg(TimeValue date) : win::CDialog(res::IDD_START_DATE)
{
    m_date = date;
}

bool CEditStartDateDlg::OnInitDialog()
{
    const bool result = win::CDialog::OnInitDialog();
    SetUpDatePicker(m_picker);
    // The range is set after the first exchange; show the date again so the picker holds
    // exactly the date it was given.
    m_picker.SetTime(m_date);
    return result;
}

void CEditStartDateDlg::DoDataExchange(win::CDataExchange* dx)
{
    win::DDX_Control(dx, res::IDC_DATE, m_picker);
    win::DDX_DateTimeCtrl(dx, res::IDC_DATE, m_date);
    // The picker keeps the time of day of the date it was shown, but a date read from it
    // must be the picked day at 10:00 whatever happened on the way.
    if (dx->m_bSaveAndValidate)
        m_date = ToTenOClock(m_date);
}
