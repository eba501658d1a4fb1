#include <gtest/gtest.h>

#include <QApplication>
#include <QCalendarWidget>
#include <QImage>
#include <QKeySequence>
#include <QDate>
#include <QDateTimeEdit>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTest>
#include <QWidget>

#include <random>
#include <string>
#include <vector>

#include "model/dates.h"
#include "res/resource.h"
#include "support/tz_guard.h"
#include "res/resources.h"
#include "ui/account_edit_dlg.h"
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
        EXPECT_EQ(dialog.GetFocusedControlId(), IDC_NEVER_ENDS);
        Press(dialog, Qt::Key_Tab);
        EXPECT_EQ(dialog.GetFocusedControlId(), IDC_KEEP_DATE)
            << "the disabled count is skipped, and the days of the month of a rule that is not monthly";
        Press(dialog, Qt::Key_Tab, Qt::ShiftModifier);
        EXPECT_EQ(dialog.GetFocusedControlId(), IDC_NEVER_ENDS);
        Press(dialog, Qt::Key_Down);
        EXPECT_TRUE(Checked(dialog, IDC_ENDS_AFTER));
        EXPECT_TRUE(dialog.GetDlgItem(IDC_OCCURRENCES)->IsWindowEnabled());
        Press(dialog, Qt::Key_Tab);
        EXPECT_EQ(dialog.GetFocusedControlId(), IDC_OCCURRENCES) << "the count it ends after comes next";
        dialog.SetDlgItemText(IDC_OCCURRENCES, "3");
        dialog.PressButton(win::IDOK);
    });
    ASSERT_EQ(editor.DoModal(), win::IDOK);
    EXPECT_EQ(editor.GetSignChoice(), CTransEditDlg::Credit);
    EXPECT_EQ(editor.CreateRepeater()->count, 3u);
}

// Tab goes through the editor as it reads, top to bottom and left to right, OK and Cancel
// last, and Shift+Tab the other way.
TEST(DialogKeyboardTest, TabFollowsTheTransactionEditorsVisualOrder)
{
    TzGuard zone(kEastern);
    win::ScriptedRunner runner;
    CTransEditDlg editor(CTransEditDlg::EditMode);
    editor.SetTransaction(MakeDate(2007, 1, 5), "Rent", -600, CDateRepeaterMonthly(1, 12, 5));
    runner.OnNextDialog([](win::CDialog& dialog) {
        // The left column, the column right of Next Dates (the disabled week and day of the
        // week skipped), the What-if box in the row of the buttons, then OK and Cancel.
        const std::vector<int> order{IDC_DESCRIPTION, IDC_DATE,      IDC_AMOUNT,      IDC_DEBIT,
                                     IDC_REPEATS,     IDC_STEP,      IDC_UNIT,        IDC_ENDS_AFTER,
                                     IDC_OCCURRENCES, IDC_ON_DAY,    IDC_ALSO_ON_DAY, IDC_KEEP_DATE,
                                     IDC_TENTATIVE,   win::IDOK,     win::IDCANCEL,   IDC_DESCRIPTION};
        dialog.GotoDlgCtrl(*dialog.GetDlgItem(order[0]));
        for (std::size_t i = 1; i < order.size(); ++i) {
            Press(dialog, Qt::Key_Tab);
            EXPECT_EQ(dialog.GetFocusedControlId(), order[i]) << "after " << order[i - 1];
        }
        for (std::size_t i = order.size() - 1; i-- > 0;) {
            Press(dialog, Qt::Key_Backtab, Qt::ShiftModifier);
            EXPECT_EQ(dialog.GetFocusedControlId(), order[i]) << "before " << order[i + 1];
        }
        dialog.PressButton(win::IDCANCEL);
    });
    editor.DoModal();
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

// Shows the dialog as the active window, so that its key marks and focus frames work as
// on a desktop.
void ShowActive(win::CDialog& dialog)
{
    QWidget* window = dialog.Widget();
    window->show();
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window));
}

// Alt+letter: the key mark of a label, group box or button.
void PressAlt(win::CDialog& dialog, Qt::Key letter)
{
    QWidget* target = QApplication::focusWidget() ? QApplication::focusWidget() : dialog.Widget();
    QTest::keyClick(target, letter, Qt::AltModifier);
}

struct KeyMark {
    Qt::Key letter;
    int focused;     // the control that has the focus afterwards
    int checked = 0; // the option button checked with it, if any
};

// Every key mark of a dialog puts the focus where its label says (checking an option
// button as a click does), and none of its letters is typed into the field that had the
// focus.
void ExpectKeyMarks(win::CDialog& dialog, const std::vector<KeyMark>& marks, int typedInto)
{
    ShowActive(dialog);
    const std::string before = dialog.GetDlgItemText(typedInto);
    for (const KeyMark& mark : marks) {
        SCOPED_TRACE(QKeySequence(mark.letter).toString().toStdString());
        dialog.GotoDlgCtrl(*dialog.GetDlgItem(typedInto));
        PressAlt(dialog, mark.letter);
        EXPECT_EQ(dialog.GetFocusedControlId(), mark.focused)
            << (QApplication::focusWidget() ? QApplication::focusWidget()->metaObject()->className() : "no focus");
        if (mark.checked != 0) {
            EXPECT_TRUE(QTest::qWaitFor([&] { return Checked(dialog, mark.checked); }));
        }
        EXPECT_EQ(dialog.GetDlgItemText(typedInto), before);
    }
}

TEST(DialogKeyboardTest, AltAndTheUnderlinedLetterGoToItsControlInEveryDialog)
{
    TzGuard zone(kEastern);
    win::ScriptedRunner runner;
    CTransEditDlg editor(CTransEditDlg::AddMode);
    runner.OnNextDialog([](win::CDialog& dialog) {
        dialog.SetDlgItemText(IDC_AMOUNT, "12");
        ExpectKeyMarks(dialog,
                       {{Qt::Key_D, IDC_DESCRIPTION},
                        {Qt::Key_I, IDC_DATE},
                        {Qt::Key_A, IDC_AMOUNT},
                        {Qt::Key_C, IDC_CREDIT, IDC_CREDIT},
                        {Qt::Key_B, IDC_DEBIT, IDC_DEBIT},
                        {Qt::Key_R, IDC_REPEATS, IDC_REPEATS},
                        {Qt::Key_E, IDC_ENDS_AFTER, IDC_ENDS_AFTER},
                        {Qt::Key_O, IDC_OCCURRENCES},
                        {Qt::Key_V, IDC_NEVER_ENDS, IDC_NEVER_ENDS},
                        {Qt::Key_N, IDC_NO_REPEAT, IDC_NO_REPEAT}},
                       IDC_AMOUNT);
        dialog.PressButton(win::IDCANCEL);
    });
    editor.DoModal();

    // The column of a monthly rule's days and the business days, and the What-if box.
    CTransEditDlg monthly(CTransEditDlg::EditMode);
    monthly.SetTransaction(MakeDate(2007, 1, 5), "Rent", -600, CDateRepeaterMonthly(1, 12, 5));
    runner.OnNextDialog([](win::CDialog& dialog) {
        ExpectKeyMarks(dialog,
                       {{Qt::Key_Y, IDC_ON_DAY, IDC_ON_DAY},
                        {Qt::Key_L, IDC_ALSO_ON_DAY, IDC_ALSO_ON_DAY},
                        {Qt::Key_F, IDC_BUSINESS_BEFORE, IDC_BUSINESS_BEFORE},
                        {Qt::Key_T, IDC_BUSINESS_AFTER, IDC_BUSINESS_AFTER},
                        {Qt::Key_S, IDC_BUSINESS_NEAREST, IDC_BUSINESS_NEAREST},
                        {Qt::Key_K, IDC_KEEP_DATE, IDC_KEEP_DATE},
                        {Qt::Key_W, IDC_TENTATIVE, IDC_TENTATIVE},
                        {Qt::Key_H, IDC_ON_WEEKDAY, IDC_ON_WEEKDAY}},
                       IDC_AMOUNT);
        dialog.PressButton(win::IDCANCEL);
    });
    monthly.DoModal();

    win::CDialog holiday(IDD_HOLIDAY_EDIT);
    runner.OnNextDialog([](win::CDialog& dialog) {
        ExpectKeyMarks(dialog,
                       {{Qt::Key_T, IDC_HOLIDAY_DATE},
                        {Qt::Key_D, IDC_HOLIDAY_DESCRIPTION},
                        {Qt::Key_Y, IDC_HOLIDAY_YEARLY, IDC_HOLIDAY_YEARLY}},
                       IDC_HOLIDAY_DESCRIPTION);
        dialog.PressButton(win::IDCANCEL);
    });
    holiday.DoModal();

    CAccountEditDlg account(CAccountEditDlg::Mode::Add);
    runner.OnNextDialog([](win::CDialog& dialog) {
        ExpectKeyMarks(dialog, {{Qt::Key_B, IDC_BALANCE}, {Qt::Key_D, IDC_DESCRIPTION}}, IDC_BALANCE);
        dialog.PressButton(win::IDCANCEL);
    });
    account.DoModal();

    CEditStartDateDlg start(MakeDate(2007, 1, 5));
    runner.OnNextDialog([](win::CDialog& dialog) {
        ShowActive(dialog);
        dialog.GetDlgItem(win::IDOK)->SetFocus();
        PressAlt(dialog, Qt::Key_S);
        EXPECT_EQ(dialog.GetFocusedControlId(), IDC_DATE);
        dialog.PressButton(win::IDCANCEL);
    });
    start.DoModal();
    EXPECT_TRUE(runner.MessageBoxes().empty());
}

// No two key marks of one dialog (or of a page and the menu bar above it) share a letter,
// and the key mark of every label and group box leads to a control.
TEST(DialogKeyboardTest, KeyMarksDoNotClashAndEveryLabelsMarkLeadsSomewhere)
{
    const std::string menuLetters = "feh"; // File, Edit, Help
    for (const win::DialogTemplate& dialogTemplate : res::DialogTemplates()) {
        SCOPED_TRACE(dialogTemplate.caption);
        const bool page = (dialogTemplate.style & win::WS_CHILD) != 0;
        std::string letters = page ? menuLetters : std::string();
        if (dialogTemplate.id == IDD_CASHFLOW_PAGE)
            letters += 'l'; // the summary line's, from the string table
        for (const win::ControlTemplate& control : dialogTemplate.controls) {
            const QString text = QString::fromStdString(control.text);
            const QKeySequence mark = QKeySequence::mnemonic(text);
            if (mark.isEmpty())
                continue;
            const char letter = static_cast<char>(QChar(mark[0].key()).toLower().toLatin1());
            EXPECT_EQ(letters.find(letter), std::string::npos) << control.text << " clashes";
            letters += letter;
            const bool label = control.kind == win::ControlKind::Static ||
                               (control.style & win::BS_TYPEMASK) == win::BS_GROUPBOX;
            if (label) {
                EXPECT_NE(dialogTemplate.FindControl(control.buddy), nullptr) << control.text << " leads nowhere";
            }
        }
    }
}

// The calendar opens from the keyboard (F4 or Alt+Down, as a combo box's list does), and
// its arrows and Enter pick the day.
TEST(DialogKeyboardTest, TheCalendarOpensWithF4OrAltDownAndPicksTheDayFromTheKeyboard)
{
    TzGuard zone(kEastern);
    for (const auto& [key, modifiers] : {std::pair{Qt::Key_F4, Qt::KeyboardModifiers(Qt::NoModifier)},
                                         std::pair{Qt::Key_Down, Qt::KeyboardModifiers(Qt::AltModifier)}}) {
        win::ScriptedRunner runner;
        CEditStartDateDlg start(MakeDate(2007, 1, 5));
        runner.OnNextDialog([key = key, modifiers = modifiers](win::CDialog& dialog) {
            ShowActive(dialog);
            dialog.GotoDlgCtrl(*dialog.GetDlgItem(IDC_DATE));
            QTest::keyClick(QApplication::focusWidget(), key, modifiers);
            auto* calendar = dialog.GetDlgItem(IDC_DATE)->Widget()->findChild<QCalendarWidget*>();
            ASSERT_NE(calendar, nullptr);
            ASSERT_TRUE(calendar->isVisible());
            QWidget* grid = calendar->focusWidget() ? calendar->focusWidget() : calendar;
            QTest::keyClick(grid, Qt::Key_Right);
            QTest::keyClick(grid, Qt::Key_Return);
            EXPECT_FALSE(calendar->isVisible());
            dialog.PressButton(win::IDOK);
        });
        ASSERT_EQ(start.DoModal(), win::IDOK);
        EXPECT_EQ(start.GetDate(), MakeDate(2007, 1, 6));
    }
}

// Whatever has the focus shows it: each control reached with Tab looks different from the
// same control without the focus (flat buttons and the frameless Duration field included).
TEST(DialogKeyboardTest, EveryControlShowsTheFocusItHas)
{
    for (const win::DialogTemplate& dialogTemplate : res::DialogTemplates()) {
        SCOPED_TRACE(dialogTemplate.caption);
        win::CDialog dialog(dialogTemplate.id);
        ASSERT_TRUE(dialog.Create(nullptr));
        ShowActive(dialog);
        std::vector<std::pair<QWidget*, QImage>> focused;
        for (int i = 0; i < 20; ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QWidget* widget = nullptr;
            if (win::CWnd* item = dialog.GetDlgItem(dialog.GetFocusedControlId()))
                widget = item->Widget();
            ASSERT_NE(widget, nullptr);
            if (!focused.empty() && focused.front().first == widget)
                break;
            focused.emplace_back(widget, widget->grab().toImage());
        }
        // The focus goes to a control that is not a tab stop.
        auto* away = new QWidget(dialog.Widget());
        away->setFocusPolicy(Qt::StrongFocus);
        away->show();
        away->setFocus(Qt::TabFocusReason);
        for (const auto& [widget, image] : focused)
            EXPECT_NE(widget->grab().toImage(), image) << widget->metaObject()->className();
    }
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
    EXPECT_EQ(win::ParseDateText(QStringLiteral("03052007"), format), QDate(2007, 3, 5));
    EXPECT_FALSE(win::ParseDateText(QStringLiteral("02/30/2007"), format).isValid());
    EXPECT_FALSE(win::ParseDateText(QStringLiteral("031528"), format).isValid());
}

std::string TwoDigits(int value) { return (value < 10 ? "0" : "") + std::to_string(value); }

// How people type a date: with slashes, the month and the day each with or without a
// leading zero, or as the eight digits MMDDYYYY.
std::vector<std::string> TypedForms(const QDate& date)
{
    const std::string m = std::to_string(date.month());
    const std::string d = std::to_string(date.day());
    const std::string mm = TwoDigits(date.month());
    const std::string dd = TwoDigits(date.day());
    const std::string yyyy = std::to_string(date.year());
    return {mm + "/" + dd + "/" + yyyy, m + "/" + d + "/" + yyyy, m + "/" + dd + "/" + yyyy,
            mm + "/" + d + "/" + yyyy, mm + dd + yyyy};
}

// Texts that are not a whole date: shorter digit strings (1122026 could be 1/12 or 11/2),
// a year cut short, a date being typed.
std::vector<std::string> RefusedForms(const QDate& date)
{
    const std::string whole = TypedForms(date)[0];
    std::vector<std::string> refused{whole.substr(0, 9), TypedForms(date)[4].substr(0, 7)};
    if (date.month() < 10 || date.day() < 10)
        refused.push_back(std::to_string(date.month()) + std::to_string(date.day()) + std::to_string(date.year()));
    return refused;
}

// Takes back what was typed in the picker as the user does: Backspace after Backspace, or
// all of it selected with Shift+Home to be typed over.
void Erase(QWidget* picker, int turn)
{
    if (turn % 2)
        QTest::keyClick(picker, Qt::Key_Home, Qt::ShiftModifier);
    else
        for (int i = 0; i < 10; ++i)
            QTest::keyClick(picker, Qt::Key_Backspace);
}

// Every form over random dates from 1000 to 9999, typed key by key as the user does (over
// the date shown, or after erasing the last one), in both dialogs that show the picker:
// the picker reads the typed date and nothing else, and the last one is what OK confirms.
TEST(DialogKeyboardTest, ADateTypedInAnyFormIsThatDateInBothDialogs)
{
    TzGuard zone(kEastern);
    std::mt19937 random(31);
    std::uniform_int_distribution<qint64> day(0, QDate(1000, 1, 1).daysTo(QDate(9999, 12, 31)));
    QDate last;
    int erased = 0;
    auto typeEveryForm = [&](win::CDialog& run) {
        auto* picker = static_cast<QDateTimeEdit*>(run.GetDlgItem(IDC_DATE)->Widget());
        auto* control = run.GetDlgItemAs<win::CDateTimeCtrl>(IDC_DATE);
        FocusPickerForTyping(run);
        bool overTheShownDate = true;
        for (int i = 0; i < 300; ++i) {
            const QDate date = QDate(1000, 1, 1).addDays(day(random));
            const std::string expected = date.toString(QStringLiteral("MM/dd/yyyy")).toStdString();
            for (const std::string& form : TypedForms(date)) {
                // The first is typed over the date shown, its month selected.
                if (!overTheShownDate)
                    Erase(picker, ++erased);
                overTheShownDate = false;
                QTest::keyClicks(picker, QString::fromStdString(form));
                ASSERT_EQ(PickerText(run).toStdString(), form) << "shown as typed";
                ASSERT_TRUE(control->HasCompleteDate()) << form;
                TimeValue time = 0;
                ASSERT_TRUE(control->GetTime(time));
                ASSERT_EQ(FormatDate(time), expected) << form;
            }
            for (const std::string& form : RefusedForms(date)) {
                Erase(picker, ++erased);
                QTest::keyClicks(picker, QString::fromStdString(form));
                ASSERT_FALSE(control->HasCompleteDate()) << form;
            }
            last = date;
        }
        Erase(picker, ++erased);
        QTest::keyClicks(picker, QString::fromStdString(TypedForms(last)[1]));
        run.PressButton(win::IDOK);
    };
    win::ScriptedRunner runner;
    CEditStartDateDlg start(MakeDate(2007, 1, 5));
    runner.OnNextDialog(typeEveryForm);
    ASSERT_EQ(start.DoModal(), win::IDOK);
    EXPECT_EQ(FormatDate(start.GetDate()), last.toString(QStringLiteral("MM/dd/yyyy")).toStdString());

    CTransEditDlg editor(CTransEditDlg::AddMode);
    runner.OnNextDialog(typeEveryForm);
    ASSERT_EQ(editor.DoModal(), win::IDOK);
    EXPECT_EQ(FormatDate(editor.GetDate()), last.toString(QStringLiteral("MM/dd/yyyy")).toStdString());
    EXPECT_TRUE(runner.MessageBoxes().empty());
}

// The amount field shows what is typed: cents are refused with a message that says why,
// never read as another number, and grouping commas are read as such.
TEST(DialogKeyboardTest, AnAmountTypedWithCentsIsRefusedAndOneWithGroupingCommasIsRead)
{
    TzGuard zone(kEastern);
    win::ScriptedRunner runner;
    CTransEditDlg editor(CTransEditDlg::AddMode);
    runner.OnNextDialog([](win::CDialog& run) {
        QWidget* amount = run.GetDlgItem(IDC_AMOUNT)->Widget();
        run.GotoDlgCtrl(*run.GetDlgItem(IDC_AMOUNT));
        QTest::keyClicks(amount, QStringLiteral("12.50"));
        EXPECT_EQ(run.GetDlgItemText(IDC_AMOUNT), "12.50");
        run.PressButton(win::IDOK);
        EXPECT_FALSE(run.IsEnded());
        EXPECT_EQ(run.GetFocusedControlId(), IDC_AMOUNT);
        QTest::keyClicks(amount, QStringLiteral("1,500")); // over the selected text
        run.PressButton(win::IDOK);
    });
    ASSERT_EQ(editor.DoModal(), win::IDOK);
    EXPECT_EQ(editor.GetAmount(), 1500u);
    ASSERT_EQ(runner.MessageBoxes().size(), 1u);
    EXPECT_EQ(runner.MessageBoxes()[0].text.rfind("Amounts are in whole dollars", 0), 0u)
        << runner.MessageBoxes()[0].text;
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

    // Typed with the cursor in the day, the digits replace the day.
    CEditStartDateDlg day(MakeDate(2007, 1, 5));
    runner.OnNextDialog([](win::CDialog& run) {
        run.GotoDlgCtrl(*run.GetDlgItem(IDC_DATE));
        QLineEdit* text = run.GetDlgItem(IDC_DATE)->Widget()->findChild<QLineEdit*>();
        text->deselect();
        text->setCursorPosition(4);
        QTest::keyClicks(run.GetDlgItem(IDC_DATE)->Widget(), QStringLiteral("15"));
        EXPECT_EQ(PickerText(run), QStringLiteral("01/15/2007"));
        run.PressButton(win::IDOK);
    });
    ASSERT_EQ(day.DoModal(), win::IDOK);
    EXPECT_EQ(day.GetDate(), MakeDate(2007, 1, 15));

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
