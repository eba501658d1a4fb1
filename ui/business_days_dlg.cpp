#include "ui/business_days_dlg.h"

#include "res/resource.h"
#include "ui/date_picker.h"
#include "ui/holiday_import.h"
#include "ui/platform/api.h"
#include "ui/platform/controls.h"
#include "ui/platform/data_exchange.h"
#include "storage/file_locations.h"
#include "ui/platform/modal_runner.h"
#include "ui/platform/list_ctrl.h"
#include "ui/platform/resources.h"
#include "ui/platform/save_file_dialog.h"

#include <algorithm>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace {

// One holiday: its date, its description and whether it comes every year.
class CHolidayEditDlg : public win::CDialog {
public:
    CHolidayEditDlg(Holiday holiday, win::CWnd* parent) : CDialog(res::IDD_HOLIDAY_EDIT, parent), m_holiday(std::move(holiday)) {}

    Holiday m_holiday;

protected:
    bool OnInitDialog() override
    {
        CDialog::OnInitDialog();
        if (auto* picker = GetDlgItemAs<win::CDateTimeCtrl>(res::IDC_HOLIDAY_DATE))
            SetUpDatePicker(*picker);
        return true;
    }
    void DoDataExchange(win::CDataExchange* dx) override
    {
        CDialog::DoDataExchange(dx);
        win::DDX_DateTimeCtrl(dx, res::IDC_HOLIDAY_DATE, m_holiday.date);
        if (dx->m_bSaveAndValidate)
            m_holiday.date = ToTenOClock(m_holiday.date);
        win::DDX_Text(dx, res::IDC_HOLIDAY_DESCRIPTION, m_holiday.description);
        int yearly = m_holiday.yearly ? 1 : 0;
        win::DDX_Check(dx, res::IDC_HOLIDAY_YEARLY, yearly);
        m_holiday.yearly = yearly != 0;
    }
};

std::string Filled(int id, const std::string& first, const std::string& second = {})
{
    std::string text = win::LoadString(id);
    if (const auto at = text.find("%1"); at != std::string::npos)
        text.replace(at, 2, first);
    if (const auto at = text.find("%2"); at != std::string::npos)
        text.replace(at, 2, second);
    return text;
}

} // namespace

CBusinessDaysDlg::CBusinessDaysDlg(const BusinessCalendar& calendar, int firstYear, int lastYear, win::CWnd* parent)
    : CDialog(res::IDD_BUSINESS_DAYS, parent), m_holidays(calendar.Holidays()), m_firstYear(firstYear),
      m_lastYear(lastYear)
{
    for (int day = 0; day < 7; ++day)
        m_weekend[day] = (calendar.WeekendDays() >> day) & 1u;
    OnClicked(res::IDC_ADD_HOLIDAY, [this] { AddHoliday(); });
    OnClicked(res::IDC_EDIT_HOLIDAY, [this] { EditHoliday(); });
    OnClicked(res::IDC_DELETE_HOLIDAY, [this] { DeleteHoliday(); });
    OnClicked(res::IDC_IMPORT_HOLIDAYS, [this] { ImportHolidays(); });
}

BusinessCalendar CBusinessDaysDlg::GetCalendar() const
{
    std::uint8_t weekend = 0;
    for (int day = 0; day < 7; ++day)
        if (m_weekend[day])
            weekend = static_cast<std::uint8_t>(weekend | (1u << day));
    return BusinessCalendar(weekend, m_holidays);
}

void CBusinessDaysDlg::DoDataExchange(win::CDataExchange* dx)
{
    CDialog::DoDataExchange(dx);
    for (int day = 0; day < 7; ++day)
        win::DDX_Check(dx, res::IDC_WEEKEND_SUNDAY + day, m_weekend[day]);
}

bool CBusinessDaysDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    if (auto* list = GetDlgItemAs<win::CListCtrl>(res::IDC_HOLIDAY_LIST)) {
        list->InsertColumn(0, "Date", win::LVCFMT_LEFT, 80);
        list->InsertColumn(1, "Description", win::LVCFMT_LEFT, 150);
        list->InsertColumn(2, win::LoadString(res::IDS_HOLIDAY_YEARLY), win::LVCFMT_LEFT, 50);
    }
    ShowHolidays(m_holidays.empty() ? -1 : 0);
    return true;
}

void CBusinessDaysDlg::ShowHolidays(int selected)
{
    auto* list = GetDlgItemAs<win::CListCtrl>(res::IDC_HOLIDAY_LIST);
    if (!list)
        return;
    list->DeleteAllItems();
    for (std::size_t i = 0; i < m_holidays.size(); ++i) {
        const Holiday& holiday = m_holidays[i];
        const int row = list->InsertItem(static_cast<int>(i), FormatDate(holiday.date));
        list->SetItemText(row, 1, holiday.description);
        list->SetItemText(row, 2, holiday.yearly ? win::LoadString(res::IDS_HOLIDAY_YEARLY) : "");
    }
    if (selected >= 0 && selected < list->GetItemCount())
        list->SetItemState(selected, win::LVIS_SELECTED, win::LVIS_SELECTED);
}

int CBusinessDaysDlg::SelectedHoliday() const
{
    const auto* list = GetDlgItemAs<win::CListCtrl>(res::IDC_HOLIDAY_LIST);
    return list ? list->GetNextItem(-1, win::LVNI_SELECTED) : -1;
}

int CBusinessDaysDlg::Insert(Holiday holiday)
{
    const auto place = std::upper_bound(m_holidays.begin(), m_holidays.end(), holiday.date,
                                        [](TimeValue date, const Holiday& other) { return date < other.date; });
    return static_cast<int>(m_holidays.insert(place, std::move(holiday)) - m_holidays.begin());
}

void CBusinessDaysDlg::AddHoliday()
{
    CHolidayEditDlg editor(Holiday{Today(), "", false}, this);
    if (editor.DoModal() != win::IDOK)
        return;
    ShowHolidays(Insert(editor.m_holiday));
}

void CBusinessDaysDlg::EditHoliday()
{
    const int row = SelectedHoliday();
    if (row < 0 || row >= static_cast<int>(m_holidays.size()))
        return;
    CHolidayEditDlg editor(m_holidays[static_cast<std::size_t>(row)], this);
    if (editor.DoModal() != win::IDOK)
        return;
    m_holidays.erase(m_holidays.begin() + row);
    ShowHolidays(Insert(editor.m_holiday));
}

void CBusinessDaysDlg::DeleteHoliday()
{
    const int row = SelectedHoliday();
    if (row < 0 || row >= static_cast<int>(m_holidays.size()))
        return;
    m_holidays.erase(m_holidays.begin() + row);
    ShowHolidays(std::min(row, static_cast<int>(m_holidays.size()) - 1));
}

void CBusinessDaysDlg::ImportHolidays()
{
    // The documents folder, when the program has one (a window under test has none).
    std::string folder;
    try {
        folder = GetDocumentsFolder();
    } catch (const std::logic_error&) {
    }
    const win::OpenFileRequest request{win::LoadString(res::IDS_IMPORT_HOLIDAYS_TITLE), folder,
                                       win::LoadString(res::IDS_ICS_FILTER)};
    if (const std::optional<std::string> path = win::GetOpenFileName(this, request))
        ImportFile(*path);
}

void CBusinessDaysDlg::ImportFile(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    const HolidayImport imported = file ? ReadHolidayCalendar(text.str(), m_firstYear, m_lastYear) : HolidayImport{};
    if (!imported.readable) {
        win::AfxMessageBox(Filled(res::IDS_HOLIDAYS_NOT_CALENDAR, path), win::MB_OK | win::MB_ICONEXCLAMATION);
        return;
    }
    std::size_t added = 0;
    for (const Holiday& holiday : imported.holidays) {
        if (std::find(m_holidays.begin(), m_holidays.end(), holiday) != m_holidays.end())
            continue;
        Insert(holiday);
        ++added;
    }
    ShowHolidays(SelectedHoliday());
    std::string message = Filled(res::IDS_HOLIDAYS_IMPORTED, std::to_string(added), path);
    if (imported.timedEvents != 0)
        message += "\n" + Filled(res::IDS_HOLIDAYS_TIMED_PASSED, std::to_string(imported.timedEvents));
    win::AfxMessageBox(message, win::MB_OK | win::MB_ICONINFORMATION);
}
