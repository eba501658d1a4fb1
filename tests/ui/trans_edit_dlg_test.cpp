#include "ui/trans_edit_dlg.h"

#include "res/resource.h"
#include "ui/platform/controls.h"
#include "ui/platform/scripted_runner.h"

#include "support/tz_guard.h"

#include <gtest/gtest.h>

#include <QDateTimeEdit>
#include <QLineEdit>

#include <functional>
#include <ostream>
#include <string>

namespace {

using testing_support::kEastern;
using testing_support::TzGuard;

win::CComboBox& Combo(win::CDialog& dialog, int id) { return *dialog.GetDlgItemAs<win::CComboBox>(id); }

bool Checked(win::CDialog& dialog, int id) { return dialog.GetDlgItemAs<win::CButton>(id)->GetCheck() == 1; }

bool Enabled(win::CDialog& dialog, int id) { return dialog.GetDlgItem(id)->IsWindowEnabled(); }

void SetDate(win::CDialog& dialog, TimeValue date) { dialog.GetDlgItemAs<win::CDateTimeCtrl>(res::IDC_DATE)->SetTime(date); }

// Runs the editor with a script; returns what DoModal returned.
int RunEditor(CTransEditDlg& editor, win::ScriptedRunner& runner, std::function<void(win::CDialog&)> script)
{
    runner.OnNextDialog(std::move(script));
    return editor.DoModal();
}

// Chooses "Repeats" with a step and unit, and the ending.
void ChooseRepeat(win::CDialog& dialog, int step, int unit, int occurrences)
{
    dialog.PressButton(res::IDC_REPEATS);
    Combo(dialog, res::IDC_STEP).SetCurSel(step);
    Combo(dialog, res::IDC_UNIT).SetCurSel(unit);
    if (occurrences == 0) {
        dialog.PressButton(res::IDC_NEVER_ENDS);
    } else {
        dialog.PressButton(res::IDC_ENDS_AFTER);
        dialog.SetDlgItemText(res::IDC_OCCURRENCES, std::to_string(occurrences));
    }
}

TEST(TransEditDlgTest, AllDefaultsGiveAOneTimeDebitOfZeroTodayWithAnEmptyDescription)
{
    TzGuard tz(kEastern);
    win::ScriptedRunner runner;
    CTransEditDlg editor(CTransEditDlg::AddMode);
    const int result = RunEditor(editor, runner, [](win::CDialog& dialog) {
        EXPECT_EQ(dialog.GetDlgItemText(win::IDOK), "Add");
        EXPECT_EQ(dialog.GetFocusedControlId(), res::IDC_DESCRIPTION);
        EXPECT_TRUE(Checked(dialog, res::IDC_DEBIT));
        EXPECT_TRUE(Checked(dialog, res::IDC_NO_REPEAT));
        EXPECT_TRUE(Checked(dialog, res::IDC_NEVER_ENDS));
        EXPECT_EQ(Combo(dialog, res::IDC_STEP).GetCurSel(), 0);
        EXPECT_EQ(Combo(dialog, res::IDC_UNIT).GetCurSel(), 0);
        EXPECT_EQ(dialog.GetDlgItemText(res::IDC_OCCURRENCES), "2");
        EXPECT_EQ(dialog.GetDlgItemText(res::IDC_AMOUNT), "0");
        // Not repeating: the repeat details are all disabled.
        for (int id : {res::IDC_STEP, res::IDC_UNIT, res::IDC_NEVER_ENDS, res::IDC_ENDS_AFTER, res::IDC_OCCURRENCES,
                       res::IDC_OCCURRENCES_SPIN})
            EXPECT_FALSE(Enabled(dialog, id)) << id;
        int lower = 0, upper = 0;
        dialog.GetDlgItemAs<win::CSpinButtonCtrl>(res::IDC_OCCURRENCES_SPIN)->GetRange(lower, upper);
        EXPECT_EQ(lower, 2);
        EXPECT_EQ(upper, 32767);
        EXPECT_EQ(dialog.GetDlgItemAs<win::CEdit>(res::IDC_AMOUNT)->GetLimitText(), 13);
        dialog.PressButton(win::IDOK);
    });
    ASSERT_EQ(result, win::IDOK);
    EXPECT_EQ(editor.GetDescription(), "");
    EXPECT_EQ(editor.GetSignedAmount(), 0);
    EXPECT_EQ(editor.GetSignChoice(), CTransEditDlg::Debit);
    EXPECT_EQ(editor.GetDate(), Today());
    EXPECT_EQ(editor.CreateRepeater()->GetType(), RepeatOnce);
    EXPECT_TRUE(runner.MessageBoxes().empty());
}

TEST(TransEditDlgTest, EveryOtherWeekNeverEndingIsAFourteenDayRuleAndShowsAgainAsEveryOtherWeek)
{
    TzGuard tz(kEastern);
    win::ScriptedRunner runner;
    CTransEditDlg editor(CTransEditDlg::AddMode);
    ASSERT_EQ(RunEditor(editor, runner,
                  [](win::CDialog& dialog) {
                      dialog.SetDlgItemText(res::IDC_DESCRIPTION, "  Payday \t");
                      dialog.SetDlgItemText(res::IDC_AMOUNT, "400");
                      dialog.PressButton(res::IDC_CREDIT);
                      ChooseRepeat(dialog, 1, 1, 0);
                      EXPECT_TRUE(Enabled(dialog, res::IDC_STEP));
                      EXPECT_FALSE(Enabled(dialog, res::IDC_OCCURRENCES));
                      dialog.PressButton(win::IDOK);
                  }),
              win::IDOK);
    EXPECT_EQ(editor.GetDescription(), "Payday");
    EXPECT_EQ(editor.GetSignedAmount(), 400);
    const auto rule = editor.CreateRepeater();
    EXPECT_EQ(rule->GetType(), RepeatWeekly);
    EXPECT_EQ(rule->delta, 14);
    EXPECT_EQ(rule->count, 0u);

    CTransEditDlg again(CTransEditDlg::EditMode);
    again.SetTransaction(MakeDate(2026, 3, 7), "Payday", 400, *rule);
    ASSERT_EQ(RunEditor(again, runner,
                  [](win::CDialog& dialog) {
                      EXPECT_EQ(dialog.GetDlgItemText(win::IDOK), "Update");
                      EXPECT_EQ(dialog.GetFocusedControlId(), res::IDC_AMOUNT);
                      EXPECT_TRUE(Checked(dialog, res::IDC_REPEATS));
                      EXPECT_EQ(Combo(dialog, res::IDC_STEP).GetLBText(Combo(dialog, res::IDC_STEP).GetCurSel()),
                                "Every Other");
                      EXPECT_EQ(Combo(dialog, res::IDC_UNIT).GetLBText(Combo(dialog, res::IDC_UNIT).GetCurSel()),
                                "Week");
                      EXPECT_TRUE(Checked(dialog, res::IDC_NEVER_ENDS));
                      EXPECT_TRUE(Enabled(dialog, res::IDC_NEVER_ENDS));
                      EXPECT_FALSE(Enabled(dialog, res::IDC_OCCURRENCES));
                      dialog.PressButton(win::IDCANCEL);
                  }),
              win::IDCANCEL);
}

TEST(TransEditDlgTest, MonthlyRuleTakesItsDayFromTheInsertionDateWithDays29To31AsTheLastDay)
{
    TzGuard tz(kEastern);
    struct Case {
        int day;
        std::int32_t expectedDay;
    };
    for (const Case c : {Case{31, 0}, Case{29, 0}, Case{28, 28}, Case{15, 15}}) {
        win::ScriptedRunner runner;
        CTransEditDlg editor(CTransEditDlg::AddMode);
        ASSERT_EQ(RunEditor(editor, runner,
                      [&](win::CDialog& dialog) {
                          SetDate(dialog, MakeDate(2026, 1, c.day));
                          ChooseRepeat(dialog, 0, 2, 12);
                          dialog.PressButton(win::IDOK);
                      }),
                  win::IDOK);
        EXPECT_EQ(editor.GetDate(), MakeDate(2026, 1, c.day));
        const auto rule = editor.CreateRepeater();
        ASSERT_EQ(rule->GetType(), RepeatMonthly);
        EXPECT_EQ(static_cast<const CDateRepeaterMonthly&>(*rule).day, c.expectedDay) << c.day;
        EXPECT_EQ(rule->delta, 1);
        EXPECT_EQ(rule->count, 12u);
    }
}

TEST(TransEditDlgTest, EditingAMonthlyRuleThatEndsShowsItsStepUnitAndOccurrences)
{
    TzGuard tz(kEastern);
    win::ScriptedRunner runner;
    CTransEditDlg editor(CTransEditDlg::EditMode);
    editor.SetTransaction(MakeDate(2026, 1, 15), "Loan", -300, CDateRepeaterMonthly(3, 12, 15));
    ASSERT_EQ(RunEditor(editor, runner,
                  [](win::CDialog& dialog) {
                      EXPECT_TRUE(Checked(dialog, res::IDC_REPEATS));
                      EXPECT_EQ(Combo(dialog, res::IDC_STEP).GetCurSel(), 2);
                      EXPECT_EQ(Combo(dialog, res::IDC_UNIT).GetCurSel(), 2);
                      EXPECT_TRUE(Checked(dialog, res::IDC_ENDS_AFTER));
                      EXPECT_TRUE(Enabled(dialog, res::IDC_OCCURRENCES));
                      EXPECT_TRUE(Enabled(dialog, res::IDC_OCCURRENCES_SPIN));
                      EXPECT_EQ(dialog.GetDlgItemText(res::IDC_OCCURRENCES), "12");
                      // Turning the repetition off and on again keeps the ending.
                      dialog.PressButton(res::IDC_NO_REPEAT);
                      EXPECT_FALSE(Enabled(dialog, res::IDC_OCCURRENCES));
                      EXPECT_FALSE(Enabled(dialog, res::IDC_ENDS_AFTER));
                      dialog.PressButton(res::IDC_REPEATS);
                      EXPECT_TRUE(Enabled(dialog, res::IDC_OCCURRENCES));
                      dialog.PressButton(win::IDOK);
                  }),
              win::IDOK);
    const auto rule = editor.CreateRepeater();
    EXPECT_EQ(rule->GetType(), RepeatMonthly);
    EXPECT_EQ(rule->delta, 3);
    EXPECT_EQ(rule->count, 12u);
    EXPECT_EQ(editor.GetSignedAmount(), -300);
}

TEST(TransEditDlgTest, AmountsShowWithoutSignAndZeroShowsAsACredit)
{
    TzGuard tz(kEastern);
    struct Case {
        std::int32_t amount;
        const char* text;
        int checked;
    };
    for (const Case c : {Case{-250, "250", res::IDC_DEBIT}, Case{0, "0", res::IDC_CREDIT},
                         Case{250, "250", res::IDC_CREDIT}, Case{-2147483647 - 1, "2147483648", res::IDC_DEBIT}}) {
        win::ScriptedRunner runner;
        CTransEditDlg editor(CTransEditDlg::EditMode);
        editor.SetTransaction(MakeDate(2026, 3, 7), "x", c.amount, CDateRepeaterOnce());
        RunEditor(editor, runner, [&](win::CDialog& dialog) {
            EXPECT_EQ(dialog.GetDlgItemText(res::IDC_AMOUNT), c.text);
            EXPECT_TRUE(Checked(dialog, c.checked)) << c.amount;
            EXPECT_TRUE(Checked(dialog, res::IDC_NO_REPEAT));
            dialog.PressButton(win::IDCANCEL);
        });
    }
}

struct RefusedInput {
    const char* name;
    const char* amount;
    bool repeats;
    const char* occurrences;
    const char* message;
    int focus;
};

void PrintTo(const RefusedInput& input, std::ostream* out) { *out << input.name; }

class TransEditDlgRefusalTest : public ::testing::TestWithParam<RefusedInput> {};

TEST_P(TransEditDlgRefusalTest, OkIsRefusedWithTheMessageAndTheFocusOnTheFailingControl)
{
    TzGuard tz(kEastern);
    const RefusedInput input = GetParam();
    win::ScriptedRunner runner;
    CTransEditDlg editor(CTransEditDlg::AddMode);
    const int result = RunEditor(editor, runner, [&](win::CDialog& dialog) {
        dialog.SetDlgItemText(res::IDC_AMOUNT, input.amount);
        if (input.repeats)
            ChooseRepeat(dialog, 0, 0, 1);
        dialog.SetDlgItemText(res::IDC_OCCURRENCES, input.occurrences);
        dialog.PressButton(win::IDOK);
        EXPECT_FALSE(dialog.IsEnded());
        // A disabled control cannot take the focus.
        if (dialog.GetDlgItem(input.focus)->IsWindowEnabled()) {
            EXPECT_EQ(dialog.GetFocusedControlId(), input.focus);
        }
        // A valid value then passes.
        dialog.SetDlgItemText(input.focus, input.focus == res::IDC_AMOUNT ? "2147483647" : "9999");
        dialog.PressButton(win::IDOK);
    });
    EXPECT_EQ(result, win::IDOK);
    ASSERT_EQ(runner.MessageBoxes().size(), 1u);
    EXPECT_EQ(runner.MessageBoxes()[0].text, input.message);
}

INSTANTIATE_TEST_SUITE_P(
    Inputs, TransEditDlgRefusalTest,
    ::testing::Values(
        RefusedInput{"EmptyAmount", "", false, "2", "Please enter a positive integer.", res::IDC_AMOUNT},
        RefusedInput{"AmountAboveTheLargest", "2147483648", false, "2",
                     "Please enter an integer between 0 and 2147483647.", res::IDC_AMOUNT},
        RefusedInput{"AmountOfTenNines", "9999999999", false, "2",
                     "Please enter an integer between 0 and 2147483647.", res::IDC_AMOUNT},
        RefusedInput{"OneOccurrence", "5", true, "1", "Please enter an integer between 2 and 9999.",
                     res::IDC_OCCURRENCES},
        RefusedInput{"TenThousandOccurrences", "5", true, "10000", "Please enter an integer between 2 and 9999.",
                     res::IDC_OCCURRENCES}),
    [](const ::testing::TestParamInfo<RefusedInput>& info) { return info.param.name; });

TEST(TransEditDlgTest, TheLargestAmountIsAcceptedAsADebit)
{
    TzGuard tz(kEastern);
    win::ScriptedRunner runner;
    CTransEditDlg editor(CTransEditDlg::AddMode);
    ASSERT_EQ(RunEditor(editor, runner,
                  [](win::CDialog& dialog) {
                      dialog.SetDlgItemText(res::IDC_AMOUNT, "2147483647");
                      dialog.PressButton(win::IDOK);
                  }),
              win::IDOK);
    EXPECT_EQ(editor.GetSignedAmount(), -2147483647);
}

TEST(TransEditDlgTest, AnOccurrencesCountTheUserCannotEditIsNeitherCheckedNorUsed)
{
    TzGuard tz(kEastern);
    win::ScriptedRunner runner;
    // Ends After with a count of 1, then Never Ends; and a count of 0 while not repeating.
    for (bool repeats : {true, false}) {
        CTransEditDlg editor(CTransEditDlg::AddMode);
        ASSERT_EQ(RunEditor(editor, runner,
                            [&](win::CDialog& dialog) {
                                if (repeats) {
                                    ChooseRepeat(dialog, 0, 2, 1);
                                    dialog.PressButton(res::IDC_NEVER_ENDS);
                                } else {
                                    dialog.SetDlgItemText(res::IDC_OCCURRENCES, "0");
                                }
                                dialog.PressButton(win::IDOK);
                            }),
                  win::IDOK)
            << repeats;
        EXPECT_EQ(editor.CreateRepeater()->count, repeats ? 0u : 1u) << repeats;
    }
    EXPECT_TRUE(runner.MessageBoxes().empty());
}

// Puts text into the date picker's field as if typed, complete or not.
void TypeDate(win::CDialog& dialog, const char* text)
{
    auto* picker = qobject_cast<QDateTimeEdit*>(dialog.GetDlgItem(res::IDC_DATE)->Widget());
    picker->findChild<QLineEdit*>()->setText(QString::fromLatin1(text));
}

// The first line and the line after the dates of a preview.
std::string FirstLine(const std::string& text) { return text.substr(0, text.find('\n')); }

TEST(TransEditDlgTest, PreviewFollowsEveryRepeatControlAndSaysWhatIsMissing)
{
    TzGuard tz(kEastern);
    win::ScriptedRunner runner;
    CTransEditDlg editor(CTransEditDlg::AddMode);
    const TimeValue start = MakeDate(2026, 12, 9);
    editor.SetCashFlowWindow({start, AddDays(start, 31 * 13)});
    const int result = RunEditor(editor, runner, [](win::CDialog& dialog) {
        auto preview = [&dialog] { return dialog.GetDlgItemText(res::IDC_PREVIEW); };
        // The wider dialog still fits the smallest screen it is made for.
        const win::CRect frame = dialog.GetWindowRect();
        EXPECT_LE(frame.Width(), 1024);
        EXPECT_LE(frame.Height(), 768);

        SetDate(dialog, MakeDate(2027, 1, 31));
        EXPECT_EQ(preview(), "Sun 01/31/2027\nonce only");
        dialog.PressButton(res::IDC_REPEATS);
        EXPECT_EQ(preview(), "Sun 01/31/2027\nMon 02/01/2027\nTue 02/02/2027\nWed 02/03/2027\nThu 02/04/2027\n"
                             "every day, for ever");
        Combo(dialog, res::IDC_UNIT).SetCurSel(CTransEditDlg::Month);
        EXPECT_EQ(preview(), "Sun 01/31/2027\nSun 02/28/2027\nWed 03/31/2027\nFri 04/30/2027\nMon 05/31/2027\n"
                             "every month, for ever\n(on the last day of shorter months)");
        Combo(dialog, res::IDC_STEP).SetCurSel(1);
        EXPECT_EQ(preview(), "Sun 01/31/2027\nWed 03/31/2027\nMon 05/31/2027\nSat 07/31/2027\nThu 09/30/2027\n"
                             "every other month, for ever\n(on the last day of shorter months)");
        dialog.PressButton(res::IDC_ENDS_AFTER);
        EXPECT_EQ(preview(), "Sun 01/31/2027\nWed 03/31/2027\n2 payments, the last on 03/31/2027\n"
                             "(on the last day of shorter months)");
        ASSERT_TRUE(dialog.GetDlgItemAs<win::CSpinButtonCtrl>(res::IDC_OCCURRENCES_SPIN)->Step(+1));
        EXPECT_EQ(preview(), "Sun 01/31/2027\nWed 03/31/2027\nMon 05/31/2027\n3 payments, the last on 05/31/2027\n"
                             "(on the last day of shorter months)");
        // Counts OK would refuse show what to enter, not stale dates.
        const std::string enterCount = "Enter from 2 to 9999 occurrences to see the payments";
        for (const char* count : {"1", "10000", "", "0"}) {
            dialog.SetDlgItemText(res::IDC_OCCURRENCES, count);
            EXPECT_EQ(preview(), enterCount) << count;
        }
        dialog.SetDlgItemText(res::IDC_OCCURRENCES, "9999");
        EXPECT_NE(preview().find("9999 payments, the last on 05/31/3693"), std::string::npos) << preview();
        // A count that plays no part does not matter.
        dialog.SetDlgItemText(res::IDC_OCCURRENCES, "1");
        dialog.PressButton(res::IDC_NEVER_ENDS);
        EXPECT_EQ(FirstLine(preview()), "Sun 01/31/2027");
        // A date being typed is not a date yet.
        TypeDate(dialog, "03/15/202");
        EXPECT_EQ(preview(), "Enter a date to see the payments");
        TypeDate(dialog, "03/15/2027");
        EXPECT_EQ(FirstLine(preview()), "Mon 03/15/2027");
        dialog.PressButton(res::IDC_NO_REPEAT);
        EXPECT_EQ(preview(), "Mon 03/15/2027\nonce only");
        dialog.PressButton(win::IDCANCEL);
    });
    EXPECT_EQ(result, win::IDCANCEL);
}

TEST(TransEditDlgTest, DaysOfTheMonthAndMovesOffDaysOffShowAsGivenAndMakeTheRuleChosen)
{
    TzGuard tz(kEastern);
    win::ScriptedRunner runner;
    auto monthlyDays = [](const CDateRepeater& rule) {
        return rule.GetType() == RepeatMonthly ? static_cast<const CDateRepeaterMonthly&>(rule).GetDays()
                                               : MonthlyDays{};
    };
    // The 2nd Friday, moved after a day off: shown exactly, and kept on OK.
    CTransEditDlg club(CTransEditDlg::EditMode);
    club.SetTransaction(MakeDate(2027, 1, 8), "Club", -20,
                        CDateRepeaterMonthly(1, 0, 8, MonthlyDays{2, 5, 0}, BusinessDayMove::After));
    ASSERT_EQ(RunEditor(club, runner,
                        [](win::CDialog& dialog) {
                            EXPECT_TRUE(Checked(dialog, res::IDC_ON_WEEKDAY));
                            EXPECT_FALSE(Checked(dialog, res::IDC_ON_DAY));
                            EXPECT_EQ(Combo(dialog, res::IDC_WEEK).GetCurSel(), 1);
                            EXPECT_EQ(Combo(dialog, res::IDC_WEEKDAY).GetCurSel(), 5);
                            EXPECT_TRUE(Enabled(dialog, res::IDC_WEEK));
                            EXPECT_FALSE(Enabled(dialog, res::IDC_ALSO_ON_DAY));
                            EXPECT_TRUE(Checked(dialog, res::IDC_BUSINESS_AFTER));
                            EXPECT_EQ(dialog.GetDlgItemText(res::IDC_ON_DAY), "On da&y 8");
                            dialog.PressButton(win::IDOK);
                        }),
              win::IDOK);
    const auto kept = club.CreateRepeater();
    EXPECT_EQ(monthlyDays(*kept), (MonthlyDays{2, 5, 0}));
    EXPECT_EQ(kept->GetBusinessDay(), BusinessDayMove::After);

    // Twice a month and the day before a day off, then the last Friday instead.
    CTransEditDlg pay(CTransEditDlg::AddMode);
    pay.SetCashFlowWindow({MakeDate(2027, 1, 1), MakeDate(2028, 1, 1)});
    std::unique_ptr<CDateRepeater> twice;
    ASSERT_EQ(RunEditor(pay, runner,
                        [&twice, &pay](win::CDialog& dialog) {
                            SetDate(dialog, MakeDate(2027, 1, 31));
                            ChooseRepeat(dialog, 0, CTransEditDlg::Month, 0);
                            EXPECT_EQ(dialog.GetDlgItemText(res::IDC_ON_DAY), "On the last da&y");
                            EXPECT_FALSE(Enabled(dialog, res::IDC_DAY2));
                            dialog.PressButton(res::IDC_ALSO_ON_DAY);
                            dialog.SetDlgItemText(res::IDC_DAY2, "15");
                            dialog.PressButton(res::IDC_BUSINESS_BEFORE);
                            // 01/31/2027 is a Sunday, 05/15/2027 a Saturday.
                            EXPECT_EQ(dialog.GetDlgItemText(res::IDC_PREVIEW),
                                      "Fri 01/15/2027\nFri 01/29/2027 (moved from Sun 01/31)\nMon 02/15/2027\n"
                                      "Fri 02/26/2027 (moved from Sun 02/28)\nMon 03/15/2027\n"
                                      "every month, for ever\n(on the last day of shorter months)");
                            dialog.SetDlgItemText(res::IDC_DAY2, "32");
                            EXPECT_EQ(dialog.GetDlgItemText(res::IDC_PREVIEW),
                                      "Enter a day from 1 to 31 to see the payments");
                            dialog.SetDlgItemText(res::IDC_DAY2, "15");
                            dialog.PressButton(win::IDOK);
                            twice = pay.CreateRepeater();
                        }),
              win::IDOK);
    EXPECT_EQ(monthlyDays(*twice), (MonthlyDays{0, 0, 15}));
    EXPECT_EQ(twice->GetBusinessDay(), BusinessDayMove::Before);
    EXPECT_EQ(static_cast<const CDateRepeaterMonthly&>(*twice).day, 0);

    CTransEditDlg last(CTransEditDlg::AddMode);
    ASSERT_EQ(RunEditor(last, runner,
                        [](win::CDialog& dialog) {
                            SetDate(dialog, MakeDate(2027, 1, 4));
                            ChooseRepeat(dialog, 0, CTransEditDlg::Month, 0);
                            dialog.PressButton(res::IDC_ALSO_ON_DAY);
                            dialog.PressButton(res::IDC_ON_WEEKDAY);
                            EXPECT_FALSE(Enabled(dialog, res::IDC_ALSO_ON_DAY));
                            Combo(dialog, res::IDC_WEEK).SetCurSel(4);
                            Combo(dialog, res::IDC_WEEKDAY).SetCurSel(5);
                            dialog.PressButton(res::IDC_BUSINESS_NEAREST);
                            EXPECT_EQ(FirstLine(dialog.GetDlgItemText(res::IDC_PREVIEW)), "Fri 01/29/2027");
                            dialog.PressButton(win::IDOK);
                        }),
              win::IDOK);
    const auto lastFriday = last.CreateRepeater();
    EXPECT_EQ(monthlyDays(*lastFriday), (MonthlyDays{-1, 5, 0}));
    EXPECT_EQ(lastFriday->GetBusinessDay(), BusinessDayMove::Nearest);
}

} // namespace

namespace {

// The Changed Payments column lists every exception with what it changes and counts the
// skipped ones; Restore takes the selected one out, and only OK hands the rest on.
TEST(TransEditDlgTest, ChangedPaymentsAreListedCountedAndRestoredOnOk)
{
    TzGuard tz(kEastern);
    win::ScriptedRunner runner;
    std::vector<PaymentException> exceptions(4);
    exceptions[0].date = MakeDate(2027, 1, 5);
    exceptions[0].skip = true;
    exceptions[1].date = MakeDate(2027, 2, 5);
    exceptions[1].moveTo = MakeDate(2027, 2, 8);
    exceptions[1].amount = -650;
    exceptions[2].date = MakeDate(2027, 3, 5);
    exceptions[2].skip = true;
    exceptions[3].date = MakeDate(2027, 4, 5);
    exceptions[3].amount = 0;
    auto run = [&](bool ok) {
        CTransEditDlg editor(CTransEditDlg::EditMode);
        editor.SetTransaction(MakeDate(2027, 1, 5), "Rent", -600, CDateRepeaterMonthly(1, 0, 5));
        editor.SetExceptions(exceptions);
        RunEditor(editor, runner, [ok](win::CDialog& dialog) {
            auto& list = *dialog.GetDlgItemAs<win::CListCtrl>(res::IDC_EXCEPTIONS_LIST);
            ASSERT_EQ(list.GetItemCount(), 4);
            EXPECT_EQ(list.GetItemText(0, 0), "01/05/2027");
            EXPECT_EQ(list.GetItemText(0, 1), "Skipped");
            EXPECT_EQ(list.GetItemText(1, 1), "Moved to 02/08/2027, Amount -650");
            EXPECT_EQ(list.GetItemText(3, 1), "Amount 0");
            EXPECT_EQ(dialog.GetDlgItemText(res::IDC_SKIPPED_COUNT), "2 payments skipped");
            // The first two restored: the second becomes the first and stays selected.
            list.SetItemState(0, win::LVIS_SELECTED, win::LVIS_SELECTED);
            dialog.PressButton(res::IDC_RESTORE_EXCEPTION);
            EXPECT_EQ(list.GetNextItem(-1, win::LVNI_SELECTED), 0);
            dialog.PressButton(res::IDC_RESTORE_EXCEPTION);
            EXPECT_EQ(list.GetItemCount(), 2);
            EXPECT_EQ(dialog.GetDlgItemText(res::IDC_SKIPPED_COUNT), "1 payment skipped");
            dialog.PressButton(ok ? win::IDOK : win::IDCANCEL);
        });
        TransactionData record(0, "", 0, nullptr);
        record.exceptions = exceptions;
        if (ok)
            editor.ApplyTo(record);
        return record.exceptions;
    };
    EXPECT_EQ(run(false), exceptions);
    EXPECT_EQ(run(true), (std::vector<PaymentException>{exceptions[2], exceptions[3]}));

    // A transaction without exceptions leaves the column out of the way.
    CTransEditDlg plain(CTransEditDlg::AddMode);
    RunEditor(plain, runner, [](win::CDialog& dialog) {
        EXPECT_FALSE(Enabled(dialog, res::IDC_EXCEPTIONS_LIST));
        EXPECT_FALSE(Enabled(dialog, res::IDC_RESTORE_EXCEPTION));
        EXPECT_EQ(dialog.GetDlgItemText(res::IDC_SKIPPED_COUNT), "");
        dialog.PressButton(win::IDCANCEL);
    });
}

} // namespace
