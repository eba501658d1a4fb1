#include <gtest/gtest.h>

#include <cstdint>

#include "model/dates.h"
#include "res/resource.h"
#include "support/tz_guard.h"
#include "ui/edit_start_date_dlg.h"
#include "ui/platform/controls.h"
#include "ui/platform/scripted_runner.h"

namespace {

using testing_support::kEastern;
using testing_support::TzGuard;

win::CDateTimeCtrl& Picker(win::CDialog& dialog)
{
    auto* picker = dialog.GetDlgItemAs<win::CDateTimeCtrl>(res::IDC_DATE);
    if (!picker)
        throw std::logic_error("no date picker");
    return *picker;
}

TEST(EditStartDateDlgTest, ShowsTheGivenDateInMonthDayYearFromTheYear1000)
{
    TzGuard zone(kEastern);
    const TimeValue given = MakeDate(2007, 1, 5);
    win::ScriptedRunner runner;
    std::int64_t shown = 0;
    std::int64_t minimum = 0;
    std::string format;
    runner.OnNextDialog([&](win::CDialog& dialog) {
        Picker(dialog).GetTime(shown);
        Picker(dialog).GetMinimum(minimum);
        format = Picker(dialog).GetFormat();
        dialog.PressButton(win::IDCANCEL);
    });
    CEditStartDateDlg dialog(given);
    EXPECT_EQ(dialog.DoModal(), win::IDCANCEL);
    EXPECT_EQ(shown, given);
    EXPECT_EQ(format, "MM/dd/yyyy");
    EXPECT_EQ(minimum, MakeDate(1000, 1, 1) - 10 * 3600) << "midnight of 1 January 1000 in New York";
    EXPECT_EQ(runner.DialogsRun(), std::vector<int>{res::IDD_START_DATE});
}

TEST(EditStartDateDlgTest, OkTakesThePickedDayAtTenEvenAcrossDaylightSaving)
{
    TzGuard zone(kEastern);
    win::ScriptedRunner runner;
    runner.OnNextDialog([](win::CDialog& dialog) {
        // A summer afternoon picked from a winter date.
        Picker(dialog).SetTime(MakeDate(2007, 7, 4) + 5 * 3600 + 17);
        dialog.PressButton(win::IDOK);
    });
    CEditStartDateDlg dialog(MakeDate(2007, 1, 5));
    EXPECT_EQ(dialog.DoModal(), win::IDOK);
    EXPECT_EQ(dialog.GetDate(), MakeDate(2007, 7, 4));
    EXPECT_EQ(FormatDate(dialog.GetDate()), "07/04/2007");
}

// Every day the program handles comes back from the picker as it went in; nothing later
// or earlier can be picked.
TEST(EditStartDateDlgTest, DaysFromTheYear1000To9999ComeBackUnchangedAndNoOthers)
{
    TzGuard zone(kEastern);
    struct Case {
        TimeValue given;
        TimeValue picked; // 0: nothing picked
        TimeValue result;
    };
    const Case cases[] = {
        {MakeDate(1000, 1, 1), 0, MakeDate(1000, 1, 1)},
        {MakeDate(1969, 12, 31), 0, MakeDate(1969, 12, 31)},
        {MakeDate(9999, 12, 31), 0, MakeDate(9999, 12, 31)},
        {MakeDate(2007, 1, 5), MakeDate(10000, 1, 1), MakeDate(9999, 12, 31)},
        {MakeDate(2007, 1, 5), MakeDate(999, 12, 31), MakeDate(1000, 1, 1)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(FormatDate(c.given));
        win::ScriptedRunner runner;
        runner.OnNextDialog([&](win::CDialog& dialog) {
            if (c.picked != 0)
                Picker(dialog).SetTime(c.picked);
            dialog.PressButton(win::IDOK);
        });
        CEditStartDateDlg dialog(c.given);
        EXPECT_EQ(dialog.DoModal(), win::IDOK);
        EXPECT_EQ(FormatDate(dialog.GetDate()), FormatDate(c.result));
        EXPECT_EQ(dialog.GetDate(), c.result);
    }
}

TEST(EditStartDateDlgTest, CancelKeepsTheGivenDateWhateverWasPicked)
{
    TzGuard zone(kEastern);
    win::ScriptedRunner runner;
    runner.OnNextDialog([](win::CDialog& dialog) {
        Picker(dialog).SetTime(MakeDate(2010, 3, 1));
        dialog.PressButton(win::IDCANCEL);
    });
    const TimeValue given = MakeDate(2007, 1, 5);
    CEditStartDateDlg dialog(given);
    dialog.DoModal();
    EXPECT_EQ(dialog.GetDate(), given);
}

} // namespace
