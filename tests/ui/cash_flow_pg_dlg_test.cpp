#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QApplication>
#include <QKeySequence>
#include <QLineEdit>
#include <QTest>
#include <QCoreApplication>
#include <QPalette>
#include <QStyle>
#include <QStyleFactory>
#include <QItemSelectionModel>
#include <QWidget>

#include <string>

#include "cash_flow_fakes.h"
#include "fake_config.h"
#include "model/dates.h"
#include "res/resource.h"
#include "storage/data_file.h"
#include "storage/xml_document.h"
#include "support/tz_guard.h"
#include "ui/cash_flow_pg_dlg.h"
#include "ui/platform/colour_contrast.h"
#include "ui/platform/control_look.h"
#include "ui/platform/controls.h"
#include "ui/platform/scripted_runner.h"

namespace {

using testing_support::kEastern;
using testing_support::TzGuard;

class CashFlowPageTest : public ::testing::Test {
protected:
    CashFlowPageTest()
    {
        ProjectionStartDate() = MakeDate(2007, 1, 1);
        transactions.cashflow = &list;
    }

    void Create(unsigned duration = 13)
    {
        page = std::make_unique<CCashFlowPgDlg>(config, accounts, transactions, duration);
        transactions.cashflow = &page->CashFlowList();
        ASSERT_TRUE(page->Create(nullptr));
        spin = page->GetDlgItemAs<win::CSpinButtonCtrl>(res::IDC_DURATION_SPIN);
        ASSERT_NE(spin, nullptr);
    }
    CCashFlowListCtrl& List() { return page->CashFlowList(); }

    TzGuard zone{kEastern};
    FakeConfig config;
    FakeAccounts accounts;
    FakeTransactions transactions;
    CCashFlowListCtrl list{config, accounts, transactions, 13}; // until the page exists
    std::unique_ptr<CCashFlowPgDlg> page;
    win::CSpinButtonCtrl* spin = nullptr;
};

TEST_F(CashFlowPageTest, TheSpinRunsFromOneToNinetyNineAndShowsTheDuration)
{
    Create(42);
    int lower = 0;
    int upper = 0;
    spin->GetRange(lower, upper);
    EXPECT_EQ(lower, 1);
    EXPECT_EQ(upper, 99);
    EXPECT_EQ(spin->GetPos(), 42);
    EXPECT_EQ(page->GetDlgItemText(res::IDC_DURATION), "42");

    EXPECT_TRUE(spin->Step(1));
    EXPECT_EQ(List().GetDuration(), 43u);
    EXPECT_EQ(page->GetDlgItemText(res::IDC_DURATION), "43");
    EXPECT_EQ(transactions.projectAllCalls, 1) << "a new Duration rebuilds";
}

TEST_F(CashFlowPageTest, TheSpinGoesNeitherAboveNinetyNineNorBelowOne)
{
    struct Case {
        unsigned duration;
        int step;
    };
    for (const Case c : {Case{99, 1}, Case{1, -1}}) {
        Create(c.duration);
        EXPECT_FALSE(spin->Step(c.step)) << c.duration;
        EXPECT_EQ(List().GetDuration(), c.duration);
        EXPECT_EQ(spin->GetPos(), static_cast<int>(c.duration));
        EXPECT_EQ(page->GetDlgItemText(res::IDC_DURATION), std::to_string(c.duration));
        EXPECT_EQ(transactions.projectAllCalls, 0) << "a refused change does not rebuild";
    }
}

// Duration is one control of the keyboard: Alt+U or Tab reach its field, Up and Down (and
// the sideways arrows, as its arrows lie) add and take a month, Page Up and Page Down ten,
// within 1 to 99, and typed digits set it; each new number rebuilds the projection once.
TEST_F(CashFlowPageTest, DurationTakesTheFocusStepsByOneOrTenAndTakesTypedMonths)
{
    Create(13);
    QWidget* window = page->Widget();
    window->show();
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window));
    auto* field = qobject_cast<QLineEdit*>(page->GetDlgItem(res::IDC_DURATION)->Widget());
    ASSERT_NE(field, nullptr);
    EXPECT_EQ(field->accessibleName(), QStringLiteral("Duration"));
    page->GetDlgItem(res::IDC_NEXT_DAY)->SetFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), field) << "the tab stop after >>";
    page->GetDlgItem(res::IDC_CASHFLOW_LIST)->SetFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_U, Qt::AltModifier);
    ASSERT_EQ(QApplication::focusWidget(), field) << "Alt+U";
    // The buttons' key marks press them.
    win::ScriptedRunner runner;
    for (int i = 0; i < 2; ++i)
        runner.OnNextDialog([](win::CDialog& dialog) { dialog.PressButton(win::IDCANCEL); });
    QTest::keyClick(field, Qt::Key_W, Qt::AltModifier);
    EXPECT_TRUE(QTest::qWaitFor([&] { return runner.DialogsRun().size() == 1; })) << "Alt+W";
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_S, Qt::AltModifier);
    EXPECT_TRUE(QTest::qWaitFor([&] { return runner.DialogsRun().size() == 2; })) << "Alt+S";
    EXPECT_EQ(runner.DialogsRun(), (std::vector<int>{res::IDD_WARN_BELOW, res::IDD_START_DATE}));
    field->setFocus();

    struct Key {
        Qt::Key key;
        unsigned duration;
    };
    int rebuilds = transactions.projectAllCalls;
    for (const Key k : {Key{Qt::Key_Up, 14}, Key{Qt::Key_Left, 13}, Key{Qt::Key_Right, 14}, Key{Qt::Key_Down, 13},
                        Key{Qt::Key_PageUp, 23}, Key{Qt::Key_PageDown, 13}, Key{Qt::Key_PageDown, 3},
                        Key{Qt::Key_PageDown, 1}, Key{Qt::Key_Down, 1}, Key{Qt::Key_PageUp, 11}}) {
        const unsigned before = List().GetDuration();
        QTest::keyClick(field, k.key);
        EXPECT_EQ(List().GetDuration(), k.duration) << QKeySequence(k.key).toString().toStdString();
        EXPECT_EQ(field->text().toStdString(), std::to_string(k.duration));
        EXPECT_EQ(spin->GetPos(), static_cast<int>(k.duration));
        rebuilds += k.duration != before ? 1 : 0;
        EXPECT_EQ(transactions.projectAllCalls, rebuilds);
    }
    field->selectAll();
    QTest::keyClicks(field, QStringLiteral("95"));
    EXPECT_EQ(List().GetDuration(), 95u);
    QTest::keyClick(field, Qt::Key_PageUp);
    EXPECT_EQ(List().GetDuration(), 99u) << "ten, or as many as there are";
    QTest::keyClick(field, Qt::Key_Up);
    EXPECT_EQ(List().GetDuration(), 99u);
    QTest::keyClicks(field, QStringLiteral("5"));
    EXPECT_EQ(field->text(), QStringLiteral("99")) << "two digits at most";

    // Numbers on the way that are not a Duration change nothing, and go when the focus does.
    field->selectAll();
    QTest::keyClick(field, Qt::Key_0);
    EXPECT_EQ(List().GetDuration(), 99u);
    QTest::keyClick(field, Qt::Key_Tab);
    EXPECT_NE(QApplication::focusWidget(), field);
    EXPECT_EQ(field->text(), QStringLiteral("99"));
}

TEST_F(CashFlowPageTest, TheDayButtonsMoveTheStartDateByOneCalendarDayAtTen)
{
    struct Case {
        TimeValue from;
        int button;
        TimeValue to;
    };
    const Case cases[] = {
        {MakeDate(2007, 3, 1), res::IDC_PREVIOUS_DAY, MakeDate(2007, 2, 28)},
        {MakeDate(2008, 3, 1), res::IDC_PREVIOUS_DAY, MakeDate(2008, 2, 29)},
        // Daylight saving begins on 11 March 2007 and ends on 4 November 2007.
        {MakeDate(2007, 3, 10), res::IDC_NEXT_DAY, MakeDate(2007, 3, 11)},
        {MakeDate(2007, 3, 12), res::IDC_PREVIOUS_DAY, MakeDate(2007, 3, 11)},
        {MakeDate(2007, 11, 4), res::IDC_NEXT_DAY, MakeDate(2007, 11, 5)},
        {MakeDate(2007, 11, 5), res::IDC_PREVIOUS_DAY, MakeDate(2007, 11, 4)},
        // Not past the first or the last day the program can write.
        {MakeDate(1000, 1, 1), res::IDC_PREVIOUS_DAY, MakeDate(1000, 1, 1)},
        {MakeDate(9999, 12, 31), res::IDC_NEXT_DAY, MakeDate(9999, 12, 31)},
    };
    Create();
    for (const Case& c : cases) {
        List().SetStartDate(c.from);
        const int rebuilds = transactions.projectAllCalls;
        page->PressButton(c.button);
        EXPECT_EQ(List().GetStartDate(), c.to) << FormatDate(c.from);
        EXPECT_EQ(FormatDate(List().GetStartDate()), FormatDate(c.to));
        EXPECT_EQ(transactions.projectAllCalls, rebuilds + 1);
        EXPECT_EQ(List().GetItemText(0, 0), FormatDate(c.to)) << "the opening row moves with it";
    }
}

TEST_F(CashFlowPageTest, StartingDateButtonAppliesOnlyADifferentDate)
{
    Create();
    win::ScriptedRunner runner;
    runner.OnNextDialog([](win::CDialog& dialog) { dialog.PressButton(win::IDOK); });
    page->PressButton(res::IDC_STARTING_DATE);
    EXPECT_EQ(runner.DialogsRun(), std::vector<int>{res::IDD_START_DATE});
    EXPECT_EQ(transactions.projectAllCalls, 0);

    runner.OnNextDialog([](win::CDialog& dialog) {
        dialog.GetDlgItemAs<win::CDateTimeCtrl>(res::IDC_DATE)->SetTime(MakeDate(2009, 6, 30));
        dialog.PressButton(win::IDOK);
    });
    page->PressButton(res::IDC_STARTING_DATE);
    EXPECT_EQ(List().GetStartDate(), MakeDate(2009, 6, 30));
    EXPECT_EQ(transactions.projectAllCalls, 1);
}

TEST_F(CashFlowPageTest, SaveWritesTheStartDateAsMonthDayYearWithLeadingZerosAndTheDuration)
{
    Create(7);
    List().SetStartDate(MakeDate(2007, 1, 5));
    CXmlDocument document;
    ASSERT_TRUE(DataFile::StartDocument(document));
    page->Save(document);
    EXPECT_EQ(document.GetDocument(), "<TILLANE Format=\"1\">\r\n<CASHFLOW StartDate=\"01/05/2007\" "
                                      "Duration=\"7\"/>\r\n</TILLANE>\r\n");
}

TEST_F(CashFlowPageTest, LoadTakesAFullStartDateAndNothingElse)
{
    struct Case {
        const char* text;
        TimeValue expected;
    };
    const TimeValue unchanged = MakeDate(2007, 1, 1);
    const Case cases[] = {
        {"<TILLANE Format=\"1\"><CASHFLOW StartDate=\"03/07/2006\" Duration=\"5\"/></TILLANE>",
         MakeDate(2006, 3, 7)},
        {"<TILLANE Format=\"1\"><CASHFLOW StartDate=\"3/7/2006\"/></TILLANE>", unchanged},
        {"<TILLANE Format=\"1\"><CASHFLOW StartDate=\"\"/></TILLANE>", unchanged},
        {"<TILLANE Format=\"1\"><CASHFLOW Duration=\"5\"/></TILLANE>", unchanged},
        {"<TILLANE Format=\"1\"/>", unchanged},
    };
    Create(13);
    for (const Case& c : cases) {
        List().SetStartDate(unchanged);
        CXmlDocument document;
        ASSERT_TRUE(document.SetDocument(c.text)) << c.text;
        ASSERT_TRUE(DataFile::FindRoot(document));
        page->Load(document);
        EXPECT_EQ(List().GetStartDate(), c.expected) << c.text;
        EXPECT_EQ(List().GetDuration(), 13u) << "Duration is not read here";
    }
}

// The summary line under the list, once the posted update has run, and whether it is red.
struct SummaryLine {
    std::string text;
    bool red = false;
    bool operator==(const SummaryLine&) const = default;
};

bool IsRed(win::COLORREF colour)
{
    return win::GetRValue(colour) > win::GetGValue(colour) + 90 && win::GetRValue(colour) > win::GetBValue(colour) + 90;
}

std::ostream& operator<<(std::ostream& out, const SummaryLine& line)
{
    return out << '"' << line.text << '"' << (line.red ? " in red" : "");
}

TEST_F(CashFlowPageTest, TheSummaryLineFollowsEveryKindOfChange)
{
    accounts.total = 1000;
    Create(1);
    win::CWnd* lineWindow = page->GetDlgItem(res::IDC_SUMMARY);
    ASSERT_NE(lineWindow, nullptr);
    auto line = [&] {
        QCoreApplication::sendPostedEvents();
        return SummaryLine{lineWindow->GetWindowText(), IsRed(win::GetTextColor(*lineWindow))};
    };
    EXPECT_EQ(line(), (SummaryLine{"&Lowest 1000 on 01/01/2007 \u00B7 Closing 1000 on 01/01/2007", false}));

    TransactionData& bill = transactions.AddOnce(MakeDate(2007, 1, 10), -1500);
    // Every day to the window's last, 31 January, ends below.
    EXPECT_EQ(line(), (SummaryLine{"Below 0 from 01/10/2007 \u00B7 22 days below, the last 01/31/2007 \u00B7 "
                                   "&lowest -500 on 01/10/2007",
                                   true}));
    transactions.AddOnce(MakeDate(2007, 1, 20), 800);
    EXPECT_EQ(line(), (SummaryLine{"Below 0 from 01/10/2007 \u00B7 10 days below, the last 01/19/2007 \u00B7 "
                                   "&lowest -500 on 01/10/2007",
                                   true}));

    accounts.total = 2000; // as the accounts list does after a change
    List().Recalculate(0);
    EXPECT_EQ(line(), (SummaryLine{"&Lowest 500 on 01/10/2007 \u00B7 Closing 1300 on 01/20/2007", false}));

    // Edited: withdrawn, changed and projected again, as the transactions list does it.
    WithdrawTransactionEntries(List(), &bill, false);
    bill.date = MakeDate(2007, 1, 25);
    ProjectTransactionOccurrences(List(), bill.date, bill.description, bill.amount, &bill, *bill.repeater);
    EXPECT_EQ(line(), (SummaryLine{"&Lowest 1300 on 01/25/2007 \u00B7 Closing 1300 on 01/25/2007", false}));

    page->SetWarnBelow(2500);
    // Two spells: up to the pay on the 20th, and from the bill on the 25th.
    EXPECT_EQ(line(), (SummaryLine{"Below 2500 from 01/01/2007 \u00B7 26 days below, the last 01/31/2007 \u00B7 "
                                   "&lowest 1300 on 01/25/2007",
                                   true}));
    page->SetWarnBelow(0);

    // Deleted: its rows go, with a recalculation from the first of them.
    WithdrawTransactionEntries(List(), &bill, true);
    transactions.records.erase(transactions.records.begin());
    EXPECT_EQ(line(), (SummaryLine{"&Lowest 2000 on 01/01/2007 \u00B7 Closing 2800 on 01/20/2007", false}));

    page->PressButton(res::IDC_NEXT_DAY);
    EXPECT_EQ(line(), (SummaryLine{"&Lowest 2000 on 01/02/2007 \u00B7 Closing 2800 on 01/20/2007", false}));
    List().SetStartDate(MakeDate(2006, 12, 1)); // the pay on 20 January falls outside one month
    EXPECT_EQ(line(), (SummaryLine{"&Lowest 2000 on 12/01/2006 \u00B7 Closing 2000 on 12/01/2006", false}));
    EXPECT_TRUE(spin->Step(1));
    EXPECT_EQ(line(), (SummaryLine{"&Lowest 2000 on 12/01/2006 \u00B7 Closing 2800 on 01/20/2007", false}));

    // The window's last day ends below; then money comes in later that day, and the dip
    // between its two rows is no warning.
    transactions.AddOnce(MakeDate(2007, 1, 31), -3000);
    EXPECT_EQ(line(), (SummaryLine{"Below 0 on 01/31/2007 only \u00B7 &lowest -200", true}));
    transactions.AddOnce(MakeDate(2007, 1, 31), 3000);
    EXPECT_EQ(line(), (SummaryLine{"&Lowest 2000 on 12/01/2006 \u00B7 Closing 2800 on 01/31/2007", false}));
}

// The summary line's text, black or red on a light page, reads at 4.5:1 at least on the
// page's background in a light and in a dark palette.
TEST_F(CashFlowPageTest, TheSummaryLineReadsOnLightAndDarkPages)
{
    QPalette dark;
    dark.setColor(QPalette::Window, QColor(45, 45, 48));
    dark.setColor(QPalette::WindowText, QColor(220, 220, 220));
    dark.setColor(QPalette::Button, QColor(45, 45, 48));
    dark.setColor(QPalette::ButtonText, QColor(220, 220, 220));
    dark.setColor(QPalette::Base, QColor(30, 30, 30));
    dark.setColor(QPalette::Text, QColor(220, 220, 220));
    std::unique_ptr<QStyle> fusion(QStyleFactory::create(QStringLiteral("Fusion")));
    const QPalette saved = QApplication::palette();
    for (const QPalette& palette : {fusion->standardPalette(), dark}) {
        QApplication::setPalette(palette);
        const QColor window = palette.color(QPalette::Window);
        const win::COLORREF background = win::RGB(window.red(), window.green(), window.blue());
        accounts.total = 1000;
        Create(1);
        win::CWnd* line = page->GetDlgItem(res::IDC_SUMMARY);
        ASSERT_NE(line, nullptr);
        QCoreApplication::sendPostedEvents();
        const win::COLORREF normal = win::GetTextColor(*line);
        page->SetWarnBelow(2000);
        QCoreApplication::sendPostedEvents();
        const win::COLORREF warning = win::GetTextColor(*line);
        EXPECT_FALSE(IsRed(normal));
        EXPECT_TRUE(IsRed(warning));
        EXPECT_GE(win::ContrastRatio(normal, background), 4.5);
        EXPECT_GE(win::ContrastRatio(warning, background), 4.5);
    }
    QApplication::setPalette(saved);
}

TEST_F(CashFlowPageTest, ClickingTheSummaryLineSelectsTheFirstRowOfTheLowestDayAndShowsIt)
{
    accounts.total = 100;
    Create(99);
    page->Widget()->resize(500, 300);
    page->Widget()->show();
    // Many rows, a deeper dip that is over by the end of its day, then days that end at
    // -150 twice: the first of the two is the one, from its first row.
    for (int day = 1; day <= 300; ++day)
        transactions.AddOnce(AddDays(MakeDate(2007, 1, 1), day), 1);
    transactions.AddOnce(MakeDate(2007, 11, 1), -1000);
    transactions.AddOnce(MakeDate(2007, 11, 1), 1000);
    transactions.AddOnce(MakeDate(2007, 12, 1), 50);
    transactions.AddOnce(MakeDate(2007, 12, 1), -600);
    transactions.AddOnce(MakeDate(2007, 12, 2), 100);
    transactions.AddOnce(MakeDate(2007, 12, 3), -100);
    QCoreApplication::sendPostedEvents();
    const win::CRect listRect = List().GetWindowRect();
    const win::CRect lineRect = page->GetDlgItem(res::IDC_SUMMARY)->GetWindowRect();
    EXPECT_GE(lineRect.top, listRect.bottom) << "the line sits under the list";
    EXPECT_GT(listRect.Height(), 150) << "and the list takes the rest of the page";

    const ProjectionSummary summary = page->Summary();
    ASSERT_EQ(summary.lowestBalance, -150);
    ASSERT_EQ(FormatDate(summary.lowestDate), "12/01/2007");

    page->PressButton(res::IDC_SUMMARY);
    QCoreApplication::processEvents();
    EXPECT_EQ(List().GetSelectedIndex(), static_cast<int>(summary.lowestRow));
    EXPECT_EQ(List().GetItemText(List().GetSelectedIndex(), 0), "12/01/2007");
    EXPECT_EQ(List().GetItemText(List().GetSelectedIndex(), 3), "450");
    auto* view = dynamic_cast<QAbstractItemView*>(List().Widget());
    ASSERT_NE(view, nullptr);
    const QRect shown = view->visualRect(view->model()->index(static_cast<int>(summary.lowestRow), 0));
    EXPECT_TRUE(view->viewport()->rect().intersects(shown)) << "scrolled to the row";
}

TEST_F(CashFlowPageTest, WarnBelowIsAskedForRememberedAndWrittenOnlyWhenNotZero)
{
    Create(7);
    List().SetStartDate(MakeDate(2007, 1, 5));
    win::ScriptedRunner runner;
    runner.OnNextDialog([](win::CDialog& dialog) {
        dialog.SetDlgItemText(res::IDC_WARN_BELOW_AMOUNT, "twelve");
        dialog.PressButton(win::IDOK); // refused: the dialog stays open
        dialog.SetDlgItemText(res::IDC_WARN_BELOW_AMOUNT, "-1,250.50");
        dialog.PressButton(win::IDOK); // refused too: never -125050 or -1250
        EXPECT_FALSE(dialog.IsEnded());
        dialog.SetDlgItemText(res::IDC_WARN_BELOW_AMOUNT, "-1,250");
        dialog.PressButton(win::IDOK);
    });
    page->PressButton(res::IDC_WARN_BELOW);
    EXPECT_EQ(runner.DialogsRun(), std::vector<int>{res::IDD_WARN_BELOW});
    ASSERT_EQ(runner.MessageBoxes().size(), 2u);
    EXPECT_EQ(runner.MessageBoxes()[1].text.rfind("Amounts are in whole dollars", 0), 0u);
    EXPECT_EQ(page->WarnBelow(), -1250);

    auto saved = [&] {
        CXmlDocument document;
        EXPECT_TRUE(DataFile::StartDocument(document));
        page->Save(document);
        return document.GetDocument();
    };
    const std::string withThreshold = saved();
    EXPECT_EQ(withThreshold, "<TILLANE Format=\"1\">\r\n<CASHFLOW StartDate=\"01/05/2007\" Duration=\"7\" "
                             "WarnBelow=\"-1250\"/>\r\n</TILLANE>\r\n");

    // Loaded into a fresh page, it comes back; set to 0, the attribute goes and the file
    // is again what it was without it.
    page = std::make_unique<CCashFlowPgDlg>(config, accounts, transactions, 7);
    transactions.cashflow = &page->CashFlowList();
    ASSERT_TRUE(page->Create(nullptr));
    CXmlDocument document;
    ASSERT_TRUE(document.SetDocument(withThreshold));
    ASSERT_TRUE(DataFile::FindRoot(document));
    page->Load(document);
    EXPECT_EQ(page->WarnBelow(), -1250);
    runner.OnNextDialog([](win::CDialog& dialog) {
        EXPECT_EQ(dialog.GetDlgItemText(res::IDC_WARN_BELOW_AMOUNT), "-1250");
        dialog.SetDlgItemText(res::IDC_WARN_BELOW_AMOUNT, "0");
        dialog.PressButton(win::IDOK);
    });
    page->PressButton(res::IDC_WARN_BELOW);
    EXPECT_EQ(saved(), "<TILLANE Format=\"1\">\r\n<CASHFLOW StartDate=\"01/05/2007\" Duration=\"7\"/>\r\n</TILLANE>\r\n");
}

// The list view reads the projection on demand: a rebuild of a hundred thousand rows
// reaches the view as one reset when the event loop runs, and nothing before.
TEST_F(CashFlowPageTest, AHundredThousandRowsReachTheViewAsOneReset)
{
    Create(99);
    page->Widget()->show();
    QCoreApplication::processEvents(); // the opening row
    auto* view = dynamic_cast<QAbstractItemView*>(List().Widget());
    ASSERT_NE(view, nullptr);
    QAbstractItemModel* model = view->model();
    int resets = 0;
    int rowSignals = 0;
    int dataSignals = 0;
    // The counters go with this test's scope: the page's teardown resets the view again.
    QObject counters;
    QObject::connect(model, &QAbstractItemModel::modelReset, &counters, [&] { ++resets; });
    QObject::connect(model, &QAbstractItemModel::rowsInserted, &counters, [&] { ++rowSignals; });
    QObject::connect(model, &QAbstractItemModel::rowsRemoved, &counters, [&] { ++rowSignals; });
    QObject::connect(model, &QAbstractItemModel::dataChanged, &counters, [&] { ++dataSignals; });

    for (int t = 0; t < 33; ++t)
        transactions.Add(MakeDate(2007, 1, 1), t + 1, std::make_unique<CDateRepeaterDaily>(1, 0));
    const int rows = List().GetItemCount();
    ASSERT_EQ(rows, 1 + 33 * 31 * 99);
    EXPECT_EQ(model->rowCount(), 1) << "the view still shows what it showed";
    EXPECT_EQ(resets, 0);

    QCoreApplication::processEvents();
    EXPECT_EQ(resets, 1);
    EXPECT_EQ(rowSignals, 0);
    EXPECT_EQ(dataSignals, 0);
    ASSERT_EQ(model->rowCount(), rows);
    const std::int64_t total = 33LL * 34 / 2 * 31 * 99;
    EXPECT_EQ(model->data(model->index(rows - 1, 3)).toString().toStdString(), std::to_string(total));
    EXPECT_EQ(model->data(model->index(1, 1)).toString().toStdString(), "T");

    // Inside a batch the refresh comes at its end, and only once.
    List().BeginUpdate();
    List().SetDuration(1);
    List().Recalculate(0);
    EXPECT_EQ(model->rowCount(), rows);
    List().EndUpdate();
    EXPECT_EQ(model->rowCount(), 1 + 33 * 31);
    QCoreApplication::processEvents();
    EXPECT_EQ(resets, 2);
}

TEST_F(CashFlowPageTest, ASelectionMadeInTheViewFollowsItsRow)
{
    Create();
    page->Widget()->show();
    transactions.AddOnce(MakeDate(2007, 1, 20), 1, "Late");
    QCoreApplication::processEvents();
    auto* view = dynamic_cast<QAbstractItemView*>(List().Widget());
    ASSERT_NE(view, nullptr);
    view->selectionModel()->select(view->model()->index(1, 0),
                                   QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    EXPECT_EQ(List().GetSelectedIndex(), 1);

    transactions.Add(MakeDate(2007, 1, 2), 1, std::make_unique<CDateRepeaterDaily>(1, 3), "Early");
    EXPECT_EQ(List().GetSelectedIndex(), 4);
    QCoreApplication::processEvents();
    const QModelIndexList selected = view->selectionModel()->selectedRows();
    ASSERT_EQ(selected.size(), 1);
    EXPECT_EQ(selected.front().row(), 4);
    EXPECT_EQ(view->model()->data(selected.front().siblingAtColumn(1)).toString().toStdString(), "Late");
}

} // namespace
