#include <gtest/gtest.h>

#include <QApplication>
#include <QDate>
#include <QDateTimeEdit>
#include <QKeyEvent>
#include <QLineEdit>
#include <QWidget>

#include <random>
#include <string>

#include "model/dates.h"
#include "res/resource.h"
#include "support/tz_guard.h"
#include "ui/edit_start_date_dlg.h"
#include "ui/platform/controls.h"
#include "ui/platform/scripted_runner.h"
#include "ui/platform/widgets.h"
#include "ui/trans_edit_dlg.h"

namespace {

using namespace res;
using testing_support::kEastern;
using testing_support::TzGuard;

// Sends a key to whatever has the focus in the dialog, as the keyboard would.
void Press(win::CDialog& dialog, int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier, const QString& text = {})
{
    QWidget* target = dialog.Widget()->focusWidget();
    if (!target)
        target = dialog.Widget();
    QKeyEvent press(QEvent::KeyPress, key, modifiers, text);
    QApplication::sendEvent(target, &press);
    QKeyEvent release(QEvent::KeyRelease, key, modifiers, text);
    QApplication::sendEvent(target, &release);
}

// Types text into the focused control, one key per character. The picker moves on to the
// next section by itself once one is full, so dates are typed as digits only.
void Type(win::CDialog& dialog, const std::string& text)
{
    for (char c : text) {
        const int key = c == '/' ? Qt::Key_Slash : Qt::Key_0 + (c - '0');
        Press(dialog, key, Qt::NoModifier, QString(QChar(c)));
    }
}

bool Checked(win::CDialog& dialog, int id) { return dialog.GetDlgItemAs<win::CButton>(id)->GetCheck() == 1; }

QString PickerText(win::CDialog& dialog)
{
    return dialog.GetDlgItem(IDC_DATE)->Widget()->findChild<QLineEdit*>()->text();
}

// Puts the focus on the picker with its month selected, ready to be typed over.
void FocusPickerForTyping(win::CDialog& dialog)
{
    dialog.GotoDlgCtrl(*dialog.GetDlgItem(IDC_DATE));
    static_cast<QDateTimeEdit*>(dialog.GetDlgItem(IDC_DATE)->Widget())->setSelectedSection(QDateTimeEdit::MonthSection);
}

TEST(DialogKeyboardTest, RadioGroupsAreOneTabStopAndArrowsCheckTheButtonTheyLandOn)
{
    TzGuard zone(kEastern);
    win::ScriptedRunner runner;
    CTransEditDlg editor(CTransEditDlg::AddMode);
    runner.OnNextDialog([](win::CDialog& dialog) {
        dialog.GotoDlgCtrl(*dialog.GetDlgItem(IDC_AMOUNT));
        Press(dialog, Qt::Key_Tab);
        ASSERT_EQ(dialog.GetFocusedControlId(), IDC_DEBIT);
        Press(dialog, Qt::Key_Down);
        EXPECT_EQ(dialog.GetFocusedControlId(), IDC_CREDIT);
        EXPECT_TRUE(Checked(dialog, IDC_CREDIT));
        EXPECT_FALSE(Checked(dialog, IDC_DEBIT));
        Press(dialog, Qt::Key_Right); // wraps within the group, never leaves it
        EXPECT_EQ(dialog.GetFocusedControlId(), IDC_DEBIT);
        EXPECT_TRUE(Checked(dialog, IDC_DEBIT));
        Press(dialog, Qt::Key_Up);
        EXPECT_EQ(dialog.GetFocusedControlId(), IDC_CREDIT);
        // The next Tab leaves the group; coming back lands on its checked button.
        Press(dialog, Qt::Key_Tab);
        EXPECT_EQ(dialog.GetFocusedControlId(), IDC_NO_REPEAT);
        Press(dialog, Qt::Key_Tab, Qt::ShiftModifier);
        EXPECT_EQ(dialog.GetFocusedControlId(), IDC_CREDIT);
        Press(dialog, Qt::Key_Tab);
        // An arrow checks Repeats as a click would: the repeat controls come alive.
        Press(dialog, Qt::Key_Down);
        EXPECT_TRUE(Checked(dialog, IDC_REPEATS));
        EXPECT_TRUE(dialog.GetDlgItem(IDC_ENDS_AFTER)->IsWindowEnabled());
        Press(dialog, Qt::Key_Tab);
        EXPECT_EQ(dialog.GetFocusedControlId(), IDC_STEP);
        Press(dialog, Qt::Key_Tab);
        Press(dialog, Qt::Key_Tab);
        EXPECT_EQ(dialog.GetFocusedControlId(), win::IDOK) << "the disabled count is skipped";
        Press(dialog, Qt::Key_Tab);
        Press(dialog, Qt::Key_Tab);
        EXPECT_EQ(dialog.GetFocusedControlId(), IDC_NEVER_ENDS);
        Press(dialog, Qt::Key_Down);
        EXPECT_TRUE(Checked(dialog, IDC_ENDS_AFTER));
        EXPECT_TRUE(dialog.GetDlgItem(IDC_OCCURRENCES)->IsWindowEnabled());
        dialog.SetDlgItemText(IDC_OCCURRENCES, "3");
        dialog.PressButton(win::IDOK);
    });
    ASSERT_EQ(editor.DoModal(), win::IDOK);
    EXPECT_EQ(editor.GetSignChoice(), CTransEditDlg::Credit);
    EXPECT_EQ(editor.CreateRepeater()->count, 3u);
}

TEST(DialogKeyboardTest, TabLeavesTheDatePickerInOneStepBothWays)
{
    TzGuard zone(kEastern);
    win::ScriptedRunner runner;
    CTransEditDlg editor(CTransEditDlg::AddMode);
    runner.OnNextDialog([](win::CDialog& dialog) {
        dialog.GotoDlgCtrl(*dialog.GetDlgItem(IDC_DATE));
        Press(dialog, Qt::Key_Tab);
        EXPECT_EQ(dialog.GetFocusedControlId(), IDC_AMOUNT);
        Press(dialog, Qt::Key_Tab, Qt::ShiftModifier);
        EXPECT_EQ(dialog.GetFocusedControlId(), IDC_DATE);
        Press(dialog, Qt::Key_Backtab, Qt::ShiftModifier);
        EXPECT_EQ(dialog.GetFocusedControlId(), IDC_DESCRIPTION);
        dialog.PressButton(win::IDCANCEL);
    });
    editor.DoModal();
}

// Dates typed in full are read back exactly; every shorter start of the text, and a day
// that does not exist, is not a date.
TEST(DialogKeyboardTest, OnlyAWholeTypedDateReadsAsADate)
{
    std::mt19937 random(14);
    std::uniform_int_distribution<int> day(0, 3000000);
    const QString format = QStringLiteral("MM/dd/yyyy");
    for (int i = 0; i < 500; ++i) {
        const QDate date = QDate(1000, 1, 1).addDays(day(random));
        const QString text = date.toString(format);
        ASSERT_EQ(win::ParseDateText(text, format), date) << text.toStdString();
        for (qsizetype length = 0; length < text.size(); ++length)
            ASSERT_FALSE(win::ParseDateText(text.left(length), format).isValid()) << text.left(length).toStdString();
        ASSERT_FALSE(win::ParseDateText(text + u'0', format).isValid());
    }
    EXPECT_EQ(win::ParseDateText(QStringLiteral("3/5/2007"), format), QDate(2007, 3, 5));
    EXPECT_FALSE(win::ParseDateText(QStringLiteral("02/30/2007"), format).isValid());
    EXPECT_FALSE(win::ParseDateText(QStringLiteral("031528"), format).isValid());
}

// What the user typed and how the field is left.
struct TypedDate {
    const char* typed;
    int leaveKey;
};

TEST(DialogKeyboardTest, AnIncompleteTypedDateIsRefusedOnOkAndNothingChanges)
{
    TzGuard zone(kEastern);
    const TimeValue given = MakeDate(2007, 1, 5);
    for (const TypedDate input : {TypedDate{"0315202", Qt::Key_Return}, TypedDate{"031528", Qt::Key_Tab},
                                  TypedDate{"12310999", Qt::Key_Return}}) {
        SCOPED_TRACE(input.typed);
        win::ScriptedRunner runner;
        CEditStartDateDlg dialog(given);
        runner.OnNextDialog([&](win::CDialog& run) {
            FocusPickerForTyping(run);
            Type(run, input.typed);
            const QString typed = PickerText(run);
            Press(run, input.leaveKey);
            EXPECT_EQ(PickerText(run), typed) << "the text is not completed by a guess";
            run.PressButton(win::IDOK);
            EXPECT_FALSE(run.IsEnded());
            EXPECT_EQ(run.GetFocusedControlId(), IDC_DATE);
            run.PressButton(win::IDCANCEL);
        });
        EXPECT_EQ(dialog.DoModal(), win::IDCANCEL);
        EXPECT_EQ(dialog.GetDate(), given);
        ASSERT_EQ(runner.MessageBoxes().size(), 1u);
        EXPECT_NE(runner.MessageBoxes()[0].text.find("MM/DD/YYYY"), std::string::npos)
            << runner.MessageBoxes()[0].text;
    }
}

TEST(DialogKeyboardTest, AWholeTypedDateIsTakenOnEnterInBothEditors)
{
    TzGuard zone(kEastern);
    win::ScriptedRunner runner;
    CEditStartDateDlg start(MakeDate(2007, 1, 5));
    runner.OnNextDialog([](win::CDialog& run) {
        FocusPickerForTyping(run);
        Type(run, "03152028");

        run.PressButton(win::IDOK);
    });
    ASSERT_EQ(start.DoModal(), win::IDOK);
    EXPECT_EQ(start.GetDate(), MakeDate(2028, 3, 15));

    CTransEditDlg editor(CTransEditDlg::AddMode);
    runner.OnNextDialog([](win::CDialog& run) {
        FocusPickerForTyping(run);
        Type(run, "0315202");
        run.PressButton(win::IDOK);
        EXPECT_FALSE(run.IsEnded());
        Type(run, "9");
        run.PressButton(win::IDOK);
    });
    ASSERT_EQ(editor.DoModal(), win::IDOK);
    EXPECT_EQ(FormatDate(editor.GetDate()), "03/15/2029");
    EXPECT_EQ(runner.MessageBoxes().size(), 1u);
}

} // namespace
