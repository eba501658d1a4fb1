#include <gtest/gtest.h>

#include <QComboBox>
#include <QDateTimeEdit>
#include <QLabel>
#include <QLineEdit>
#include <QWidget>

#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include "model/dates.h"
#include "res/resource.h"
#include "support/tz_guard.h"
#include "ui/date_picker.h"
#include "ui/platform/controls.h"
#include "ui/platform/data_exchange.h"
#include "ui/platform/dialog.h"
#include "ui/platform/dialog_builder.h"
#include "ui/platform/list_ctrl.h"
#include "ui/platform/scripted_runner.h"

namespace {

using namespace res;

struct TemplateCase {
    int id;
    const char* caption;
    std::vector<int> controls;
};

TEST(DialogTemplateTest, EveryTemplateBuildsWithItsControlsInPlace)
{
    const TemplateCase cases[] = {
        {IDD_ABOUTBOX, "About Tillane", {IDC_VERSION, win::IDOK, IDC_HOME_PAGE}},
        {IDD_TRANS_EDIT,
         "Transaction Editor",
         {IDC_DESCRIPTION, IDC_DATE, IDC_AMOUNT, IDC_DEBIT, IDC_CREDIT, IDC_NO_REPEAT, IDC_REPEATS, IDC_STEP,
          IDC_UNIT, IDC_OCCURRENCES, IDC_OCCURRENCES_SPIN, win::IDOK, win::IDCANCEL, IDC_NEVER_ENDS,
          IDC_ENDS_AFTER}},
        {IDD_CASHFLOW_PAGE,
         "Cash Flow",
         {IDC_PREVIOUS_DAY, IDC_STARTING_DATE, IDC_NEXT_DAY, IDC_DURATION_SPIN, IDC_DURATION, IDC_CASHFLOW_LIST}},
        {IDD_ACCOUNTS_PAGE, "Current Accounts", {IDC_ACCOUNTS_LIST}},
        {IDD_TRANS_PAGE, "Transactions", {IDC_TRANS_LIST}},
        {IDD_ACCOUNT_EDIT, "Account Editor", {IDC_DESCRIPTION, IDC_BALANCE, win::IDOK, win::IDCANCEL}},
        {IDD_START_DATE, "Starting Date", {IDC_DATE, win::IDOK, win::IDCANCEL}},
    };
    for (const TemplateCase& c : cases) {
        SCOPED_TRACE(c.id);
        win::CDialog dialog(c.id);
        ASSERT_TRUE(dialog.Create(nullptr));
        const win::DialogTemplate* dialogTemplate = dialog.GetTemplate();
        ASSERT_NE(dialogTemplate, nullptr);
        EXPECT_EQ(dialogTemplate->caption, c.caption);
        EXPECT_EQ(dialog.Widget()->windowTitle().toStdString(), c.caption);
        for (int id : c.controls) {
            const win::ControlTemplate* control = dialogTemplate->FindControl(id);
            ASSERT_NE(control, nullptr) << "control " << id;
            win::CWnd* item = dialog.GetDlgItem(id);
            ASSERT_NE(item, nullptr) << "control " << id;
            if (id == IDC_OCCURRENCES || id == IDC_OCCURRENCES_SPIN)
                continue; // placed together, below
            const win::CRect expected = win::MapDialogRect(*control);
            const QRect actual = item->Widget()->geometry();
            EXPECT_EQ(actual.x(), expected.left) << "control " << id;
            EXPECT_EQ(actual.y(), expected.top) << "control " << id;
            EXPECT_EQ(actual.width(), expected.Width()) << "control " << id;
            if (control->kind != win::ControlKind::ComboBox) {
                EXPECT_EQ(actual.height(), expected.Height()) << "control " << id;
            }
        }
        if (c.id == IDD_TRANS_EDIT) {
            // The occurrences spin sits at the right end of the edit it serves.
            const QRect edit = dialog.GetDlgItem(IDC_OCCURRENCES)->Widget()->geometry();
            const QRect spin = dialog.GetDlgItem(IDC_OCCURRENCES_SPIN)->Widget()->geometry();
            const win::CRect planned = win::MapDialogRect(*dialogTemplate->FindControl(IDC_OCCURRENCES));
            EXPECT_EQ(edit.x(), planned.left);
            EXPECT_EQ(spin.x() + spin.width(), planned.right);
            EXPECT_EQ(edit.x() + edit.width(), spin.x());
            EXPECT_EQ(spin.height(), edit.height());
        }
        const win::CRect size = win::MapDialogRect(win::CRect{0, 0, dialogTemplate->cx, dialogTemplate->cy});
        EXPECT_EQ(dialog.Widget()->width(), size.Width());
    }
}

TEST(DialogTemplateTest, ControlsGetTheWrapperAndTheTextsOfTheirKind)
{
    win::CDialog dialog(IDD_TRANS_EDIT);
    ASSERT_TRUE(dialog.Create(nullptr));
    EXPECT_NE(dialog.GetDlgItemAs<win::CComboBox>(IDC_DESCRIPTION), nullptr);
    EXPECT_NE(dialog.GetDlgItemAs<win::CDateTimeCtrl>(IDC_DATE), nullptr);
    EXPECT_NE(dialog.GetDlgItemAs<win::CEdit>(IDC_AMOUNT), nullptr);
    EXPECT_NE(dialog.GetDlgItemAs<win::CSpinButtonCtrl>(IDC_OCCURRENCES_SPIN), nullptr);
    EXPECT_EQ(dialog.GetDlgItemText(win::IDOK), "Add");
    EXPECT_EQ(dialog.GetDlgItemText(IDC_REPEATS), "&Repeats") << "the window text keeps its key mark";
    auto* step = dialog.GetDlgItemAs<win::CComboBox>(IDC_STEP);
    ASSERT_NE(step, nullptr);
    ASSERT_EQ(step->GetCount(), 4);
    EXPECT_EQ(step->GetLBText(3), "Every Fourth");
    EXPECT_EQ(step->GetCurSel(), win::CB_ERR) << "a new combo box has no selection";
    auto* unit = dialog.GetDlgItemAs<win::CComboBox>(IDC_UNIT);
    EXPECT_EQ(unit->GetLBText(2), "Month");
    EXPECT_EQ(dialog.GetDlgItem(4242), nullptr);
}

TEST(DialogTemplateTest, AutomaticRadioButtonsAreExclusiveWithinTheirGroupOnly)
{
    win::CDialog dialog(IDD_TRANS_EDIT);
    ASSERT_TRUE(dialog.Create(nullptr));
    auto check = [&](int id) { return dialog.GetDlgItemAs<win::CButton>(id)->GetCheck(); };
    dialog.PressButton(IDC_DEBIT);
    dialog.PressButton(IDC_REPEATS);
    dialog.PressButton(IDC_ENDS_AFTER);
    dialog.PressButton(IDC_CREDIT);
    dialog.PressButton(IDC_CREDIT); // a second click keeps it checked
    EXPECT_EQ(check(IDC_DEBIT), 0);
    EXPECT_EQ(check(IDC_CREDIT), 1);
    EXPECT_EQ(check(IDC_REPEATS), 1);
    EXPECT_EQ(check(IDC_NO_REPEAT), 0);
    EXPECT_EQ(check(IDC_ENDS_AFTER), 1);
}

// The account editor's exchange, as its dialog class will write it.
class AccountEditor : public win::CDialog {
public:
    AccountEditor() : CDialog(IDD_ACCOUNT_EDIT) {}
    std::string description = "Checking";
    int balance = 100;
    int repeatChoice = 1;

protected:
    void DoDataExchange(win::CDataExchange* dx) override
    {
        win::DDX_Text(dx, IDC_DESCRIPTION, description);
        win::DDV_MaxChars(dx, description, 50);
        win::DDX_Text(dx, IDC_BALANCE, balance);
    }
};

TEST(DialogRunTest, ValidationShowsTheMessageAndPutsTheFocusBackOnTheFailingControl)
{
    win::ScriptedRunner runner;
    AccountEditor editor;
    std::vector<int> focus;
    std::vector<std::string> selected;
    runner.OnNextDialog([&](win::CDialog& dialog) {
        EXPECT_EQ(dialog.GetDlgItemText(IDC_DESCRIPTION), "Checking");
        EXPECT_EQ(dialog.GetDlgItemText(IDC_BALANCE), "100");
        dialog.SetDlgItemText(IDC_BALANCE, "12abc");
        dialog.PressButton(win::IDOK);
        EXPECT_FALSE(dialog.IsEnded());
        focus.push_back(dialog.GetFocusedControlId());
        selected.push_back(static_cast<QLineEdit*>(dialog.GetDlgItem(IDC_BALANCE)->Widget())->selectedText().toStdString());

        dialog.SetDlgItemText(IDC_DESCRIPTION, std::string(48, 'x') + "     ");
        dialog.SetDlgItemText(IDC_BALANCE, " -250 ");
        dialog.PressButton(win::IDOK);
        EXPECT_FALSE(dialog.IsEnded());
        focus.push_back(dialog.GetFocusedControlId());

        dialog.SetDlgItemText(IDC_DESCRIPTION, "  Savings  ");
        dialog.PressButton(win::IDOK);
    });
    EXPECT_EQ(editor.DoModal(), win::IDOK);
    EXPECT_EQ(focus, (std::vector<int>{IDC_BALANCE, IDC_DESCRIPTION}));
    EXPECT_EQ(selected, (std::vector<std::string>{"12abc"}));
    ASSERT_EQ(runner.MessageBoxes().size(), 2u);
    EXPECT_EQ(runner.MessageBoxes()[0].text, "Please enter an integer.");
    EXPECT_EQ(runner.MessageBoxes()[0].caption, "Tillane");
    EXPECT_EQ(runner.MessageBoxes()[0].type, win::MB_OK);
    EXPECT_EQ(runner.MessageBoxes()[1].text, "Please enter no more than 50 characters.");
    EXPECT_EQ(runner.MessageBoxes()[1].type, win::MB_ICONEXCLAMATION);
    EXPECT_EQ(editor.description, "  Savings  ");
    EXPECT_EQ(editor.balance, -250);
    EXPECT_FALSE(editor.HasWindow()) << "the window goes when the run ends";
}

TEST(DialogRunTest, CancelLeavesTheMembersAndAScriptThatLeavesTheDialogOpenFails)
{
    win::ScriptedRunner runner;
    AccountEditor editor;
    runner.OnNextDialog([](win::CDialog& dialog) {
        dialog.SetDlgItemText(IDC_BALANCE, "7");
        dialog.PressButton(win::IDCANCEL);
    });
    EXPECT_EQ(editor.DoModal(), win::IDCANCEL);
    EXPECT_EQ(editor.balance, 100);

    runner.OnNextDialog([](win::CDialog&) {});
    EXPECT_THROW(editor.DoModal(), std::logic_error);
    EXPECT_FALSE(editor.HasWindow());
    EXPECT_THROW(editor.DoModal(), std::logic_error) << "no script queued";
    EXPECT_EQ(runner.DialogsRun(), (std::vector<int>{IDD_ACCOUNT_EDIT, IDD_ACCOUNT_EDIT, IDD_ACCOUNT_EDIT}));
}

TEST(DialogRunTest, MessageBoxesTakeQueuedAnswersElseTheirDefaultButton)
{
    win::ScriptedRunner runner;
    runner.AnswerNextMessageBox(win::IDYES);
    const unsigned question = win::MB_YESNO | win::MB_ICONQUESTION | win::MB_DEFBUTTON2;
    EXPECT_EQ(win::MessageBox(nullptr, "q", "c", question), win::IDYES);
    EXPECT_EQ(win::MessageBox(nullptr, "q", "c", question), win::IDNO);
    EXPECT_EQ(win::MessageBox(nullptr, "q", "c", win::MB_YESNO), win::IDYES);
    EXPECT_EQ(win::AfxMessageBox("done"), win::IDOK);
    EXPECT_EQ(runner.MessageBoxes().back().caption, "Tillane");
}

class DurationPage : public win::CDialog {
public:
    DurationPage() : CDialog(IDD_CASHFLOW_PAGE) {}
    win::CSpinButtonCtrl spin;
    std::vector<std::pair<int, int>> proposals;

protected:
    bool OnInitDialog() override
    {
        CDialog::OnInitDialog();
        spin.SendSetRange(win::MakeRangeParam(1, 99));
        spin.SetBuddy(*GetDlgItem(IDC_DURATION));
        spin.SetPos(13);
        spin.SetDeltaPosHandler([this](int position, int delta) {
            proposals.emplace_back(position, delta);
            const int proposed = position + delta;
            return proposed <= 0 || proposed >= 100 ? 1 : 0;
        });
        return true;
    }
    void DoDataExchange(win::CDataExchange* dx) override { DDX_Control(dx, IDC_DURATION_SPIN, spin); }
};

TEST(UpDownTest, DeltaPosSeesPositionAndChangeAndCanRefuse)
{
    DurationPage page;
    ASSERT_TRUE(page.Create(nullptr));
    int lower = 0;
    int upper = 0;
    page.spin.GetRange(lower, upper);
    EXPECT_EQ(lower, 1);
    EXPECT_EQ(upper, 99);
    EXPECT_EQ(page.GetDlgItemText(IDC_DURATION), "13");
    EXPECT_TRUE(page.spin.Step(1));
    EXPECT_EQ(page.spin.GetPos(), 14);
    EXPECT_EQ(page.GetDlgItemText(IDC_DURATION), "14");
    page.spin.SetPos(99);
    EXPECT_FALSE(page.spin.Step(1));
    EXPECT_EQ(page.spin.GetPos(), 99);
    page.spin.SetPos(1);
    EXPECT_FALSE(page.spin.Step(-1));
    EXPECT_EQ(page.GetDlgItemText(IDC_DURATION), "1");
    EXPECT_EQ(page.proposals, (std::vector<std::pair<int, int>>{{13, 1}, {99, 1}, {1, -1}}));
}

TEST(UpDownTest, AutoBuddyShowsThePositionInTheEditBeforeIt)
{
    win::CDialog dialog(IDD_TRANS_EDIT);
    ASSERT_TRUE(dialog.Create(nullptr));
    auto* spin = dialog.GetDlgItemAs<win::CSpinButtonCtrl>(IDC_OCCURRENCES_SPIN);
    spin->SetRange(2, 32767);
    spin->SetPos(40000);
    EXPECT_EQ(dialog.GetDlgItemText(IDC_OCCURRENCES), "32767");
    dialog.SetDlgItemText(IDC_OCCURRENCES, "12");
    EXPECT_TRUE(spin->Step(1)) << "the position is read back from what the user typed";
    EXPECT_EQ(dialog.GetDlgItemText(IDC_OCCURRENCES), "13");
}

TEST(DatePickerTest, SetUpShowsMonthDayYearFromTheYear1000AndKeepsTheTimeOfDay)
{
    testing_support::TzGuard zone(testing_support::kEastern);
    win::CDialog dialog(IDD_START_DATE);
    ASSERT_TRUE(dialog.Create(nullptr));
    auto* picker = dialog.GetDlgItemAs<win::CDateTimeCtrl>(IDC_DATE);
    ASSERT_NE(picker, nullptr);
    SetUpDatePicker(*picker);
    EXPECT_EQ(picker->GetFormat(), "MM/dd/yyyy");
    std::int64_t minimum = 0;
    ASSERT_TRUE(picker->GetMinimum(minimum));
    EXPECT_EQ(minimum, MakeDate(1000, 1, 1) - 10 * 3600) << "midnight of 1 January 1000 in New York";
    const std::int64_t january5At10 = 1168009200; // 5 January 2007, 10:00 EST
    ASSERT_TRUE(picker->SetTime(january5At10));
    auto* edit = static_cast<QDateTimeEdit*>(picker->Widget());
    EXPECT_EQ(edit->text().toStdString(), "01/05/2007");
    edit->setDate(QDate(2007, 7, 4)); // the user picks a summer day
    std::int64_t chosen = 0;
    ASSERT_TRUE(picker->GetTime(chosen));
    EXPECT_EQ(chosen, 1183557600) << "4 July 2007 at 10:00 EDT";
    picker->SetTime(MakeDate(999, 12, 31));
    picker->GetTime(chosen);
    EXPECT_EQ(chosen, minimum) << "nothing before the minimum";
}

} // namespace
