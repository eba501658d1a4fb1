#include "ui/business_days_dlg.h"

#include "res/resource.h"
#include "ui/holiday_import.h"
#include "ui/platform/controls.h"
#include "ui/platform/list_ctrl.h"
#include "ui/platform/scripted_runner.h"

#include "support/temp_dir.h"
#include "support/tz_guard.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using testing_support::kEastern;
using testing_support::TempDir;
using testing_support::TzGuard;

std::vector<std::string> Listed(const std::vector<Holiday>& holidays)
{
    std::vector<std::string> texts;
    for (const Holiday& holiday : holidays)
        texts.push_back(FormatDate(holiday.date) + " " + holiday.description + (holiday.yearly ? " yearly" : ""));
    return texts;
}

// An all-day day, a yearly one, Thanksgiving as a rule expanded over the years asked for
// (one of them excluded), a two-day break, and two meetings with a time of day.
const char* const kCalendar = "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//test//EN\r\n"
                              "BEGIN:VEVENT\r\nUID:1\r\nDTSTART;VALUE=DATE:20270705\r\nSUMMARY:Bridge day\r\nEND:VEVENT\r\n"
                              "BEGIN:VEVENT\r\nUID:2\r\nDTSTART;VALUE=DATE:20201225\r\nRRULE:FREQ=YEARLY\r\n"
                              "SUMMARY:Christmas Day\r\nEND:VEVENT\r\n"
                              "BEGIN:VEVENT\r\nUID:3\r\nDTSTART;VALUE=DATE:20201126\r\n"
                              "RRULE:FREQ=YEARLY;BYMONTH=11;BYDAY=4TH\r\nEXDATE;VALUE=DATE:20281123\r\n"
                              "SUMMARY:Thanksgiving\r\nEND:VEVENT\r\n"
                              "BEGIN:VEVENT\r\nUID:4\r\nDTSTART;VALUE=DATE:20271227\r\nDTEND;VALUE=DATE:20271229\r\n"
                              "SUMMARY:Break\r\nEND:VEVENT\r\n"
                              "BEGIN:VEVENT\r\nUID:5\r\nDTSTART:20270105T090000Z\r\nSUMMARY:Meeting\r\nEND:VEVENT\r\n"
                              "BEGIN:VEVENT\r\nUID:6\r\nDTSTART:20270106T090000\r\nSUMMARY:Call\r\nEND:VEVENT\r\n"
                              "END:VCALENDAR\r\n";

TEST(HolidayImport, AllDayEventsBecomeHolidaysYearlyOnesStayYearlyOthersAreExpandedOverTheYears)
{
    TzGuard tz(kEastern);
    const HolidayImport imported = ReadHolidayCalendar(kCalendar, 2027, 2029);
    EXPECT_TRUE(imported.readable);
    EXPECT_EQ(imported.timedEvents, 2u);
    EXPECT_EQ(Listed(imported.holidays),
              (std::vector<std::string>{"12/25/2020 Christmas Day yearly", "07/05/2027 Bridge day",
                                        "11/25/2027 Thanksgiving", "12/27/2027 Break", "12/28/2027 Break",
                                        "11/22/2029 Thanksgiving"}));
    EXPECT_FALSE(ReadHolidayCalendar("Not a calendar", 2027, 2029).readable);
}

TEST(BusinessDaysDlg, ShowsTheWeekendAndHolidaysAndGivesBackWhatWasChanged)
{
    TzGuard tz(kEastern);
    TempDir dir;
    testing_support::WriteFileBytes(dir / "holidays.ics", kCalendar);
    win::ScriptedRunner runner;
    const BusinessCalendar calendar(BusinessCalendar::kDefaultWeekend,
                                    {{MakeDate(2027, 1, 1), "New Year", true}, {MakeDate(2027, 3, 2), "Town fair", false}});
    CBusinessDaysDlg dialog(calendar, 2027, 2027);
    runner.OnNextDialog([&](win::CDialog& shown) {
        auto checked = [&shown](int day) {
            return shown.GetDlgItemAs<win::CButton>(res::IDC_WEEKEND_SUNDAY + day)->GetCheck() == 1;
        };
        EXPECT_TRUE(checked(0));
        EXPECT_TRUE(checked(6));
        EXPECT_FALSE(checked(5));
        auto& list = *shown.GetDlgItemAs<win::CListCtrl>(res::IDC_HOLIDAY_LIST);
        ASSERT_EQ(list.GetItemCount(), 2);
        EXPECT_EQ(list.GetItemText(0, 1), "New Year");
        EXPECT_EQ(list.GetItemText(0, 2), "Yearly");
        // Friday and Saturday off.
        shown.PressButton(res::IDC_WEEKEND_SUNDAY);
        shown.PressButton(res::IDC_WEEKEND_SUNDAY + 5);
        // A new holiday goes to its place in date order; the town fair goes.
        runner.OnNextDialog([](win::CDialog& editor) {
            editor.GetDlgItemAs<win::CDateTimeCtrl>(res::IDC_HOLIDAY_DATE)->SetTime(MakeDate(2027, 2, 15));
            editor.SetDlgItemText(res::IDC_HOLIDAY_DESCRIPTION, "Founders");
            editor.PressButton(res::IDC_HOLIDAY_YEARLY);
            editor.PressButton(win::IDOK);
        });
        shown.PressButton(res::IDC_ADD_HOLIDAY);
        EXPECT_EQ(list.GetItemText(1, 1), "Founders");
        list.SetItemState(2, win::LVIS_SELECTED, win::LVIS_SELECTED);
        shown.PressButton(res::IDC_DELETE_HOLIDAY);
        // Import: what is new is added, and the user is told how many and what was passed over.
        runner.AnswerNextOpenFileDialog((dir / "holidays.ics").string());
        runner.AnswerNextMessageBox(win::IDOK);
        shown.PressButton(res::IDC_IMPORT_HOLIDAYS);
        shown.PressButton(win::IDOK);
    });
    ASSERT_EQ(dialog.DoModal(), win::IDOK);
    const BusinessCalendar chosen = dialog.GetCalendar();
    EXPECT_EQ(chosen.WeekendDays(), (1u << 5) | (1u << 6));
    EXPECT_EQ(Listed(chosen.Holidays()),
              (std::vector<std::string>{"12/25/2020 Christmas Day yearly", "01/01/2027 New Year yearly",
                                        "02/15/2027 Founders yearly", "07/05/2027 Bridge day", "11/25/2027 Thanksgiving",
                                        "12/27/2027 Break", "12/28/2027 Break"}));
    ASSERT_FALSE(runner.MessageBoxes().empty());
    EXPECT_NE(runner.MessageBoxes().back().text.find("5 holidays imported"), std::string::npos)
        << runner.MessageBoxes().back().text;
    EXPECT_NE(runner.MessageBoxes().back().text.find("2 events with a time of day"), std::string::npos);
}

} // namespace
