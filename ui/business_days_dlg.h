#pragma once

// CBusinessDaysDlg: Edit > Business Days..., where the user sets the weekend days and the
// holidays that rules move their dates off. It only collects them; the main window applies
// what the user confirms, as one step of the edit history.

#include "model/business_calendar.h"
#include "ui/platform/dialog.h"

#include <vector>

class CBusinessDaysDlg : public win::CDialog {
public:
    // Holidays are imported for the years firstYear to lastYear (the Cash Flow window's).
    CBusinessDaysDlg(const BusinessCalendar& calendar, int firstYear, int lastYear, win::CWnd* parent = nullptr);

    // The weekend days and the holidays, in date order, as confirmed with OK.
    BusinessCalendar GetCalendar() const;
    const std::vector<Holiday>& GetHolidays() const { return m_holidays; }

    // Imports the holidays of an iCalendar file, as Import... does with the file chosen:
    // those not in the list already are added. Tells the user what came of it.
    void ImportFile(const std::string& path);

protected:
    bool OnInitDialog() override;
    void DoDataExchange(win::CDataExchange* dx) override;

private:
    void ShowHolidays(int selected);
    int SelectedHoliday() const;
    // Puts the holiday at its place in date order (after those of the same date);
    // returns that place.
    int Insert(Holiday holiday);
    void AddHoliday();
    void EditHoliday();
    void DeleteHoliday();
    void ImportHolidays();

    int m_weekend[7] = {};
    std::vector<Holiday> m_holidays;
    int m_firstYear;
    int m_lastYear;
};
