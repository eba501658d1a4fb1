// Skip, Change and Restore This Payment on Cash Flow rows, in the real window: which
// payment of a series each row is when several rows of one transaction share a day, the
// menus that offer the commands, the Change dialog's words, and how a changed row marks
// its cells.
#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QAction>
#include <QCoreApplication>
#include <QMenu>
#include <QTest>

#include <string>
#include <vector>

#include "main_window_support.h"
#include "model/dates.h"
#include "model/transaction_data.h"
#include "support/tz_guard.h"
#include "ui/cash_flow_list_ctrl.h"
#include "ui/platform/controls.h"

namespace {

using main_window_testing::MainWindow;
using testing_support::WriteFileBytes;

enum Column { kDate, kDescription, kAmount, kBalance };

// Lunch every day from Friday 01/01/2027, taken the business day after a weekend: Monday
// 01/04 lists Saturday's, Sunday's and Monday's own, in that order, with Rent that day too.
constexpr const char* kSchedule =
    "<TILLANE Format=\"1\">\r\r\n<CASHFLOW StartDate=\"01/01/2027\" Duration=\"1\"/>\r\r\n"
    "<ACCOUNTS>\r\r\n<ACCOUNT>\r\r\n<DESCRIPTION>Checking</DESCRIPTION>\r\r\n<AMOUNT>1000</AMOUNT>\r\r\n"
    "</ACCOUNT>\r\r\n</ACCOUNTS>\r\r\n<TRANSACTIONS>\r\r\n"
    "<TRANSACTION Type=\"Daily\">\r\r\n<DESCRIPTION>Lunch</DESCRIPTION>\r\r\n<DATE>01/01/2027</DATE>\r\r\n"
    "<AMOUNT>-10</AMOUNT>\r\r\n<REPEAT Type=\"Daily\" Delta=\"1\" Count=\"0\" BusinessDay=\"After\"/>\r\r\n"
    "</TRANSACTION>\r\r\n"
    "<TRANSACTION Type=\"Once\">\r\r\n<DESCRIPTION>Rent</DESCRIPTION>\r\r\n<DATE>01/04/2027</DATE>\r\r\n"
    "<AMOUNT>-500</AMOUNT>\r\r\n<REPEAT Type=\"Once\" Delta=\"1\" Count=\"1\"/>\r\r\n</TRANSACTION>\r\r\n"
    "</TRANSACTIONS>\r\r\n</TILLANE>\r\r\n";

PaymentException Skipped(TimeValue due)
{
    PaymentException exception;
    exception.date = due;
    exception.skip = true;
    return exception;
}

class PaymentCommandsTest : public ::testing::Test {
protected:
    PaymentCommandsTest()
    {
        WriteFileBytes(m_folder / "default.Tillane", kSchedule);
        m_main = std::make_unique<MainWindow>(m_folder / "default.Tillane");
        m_main->Open(m_runner);
    }
    ~PaymentCommandsTest() override
    {
        m_main.reset();
        ProjectionStartDate() = m_startDate;
    }

    CCashFlowListCtrl& List() { return m_main->window->CashFlowPage().CashFlowList(); }
    const std::vector<PaymentException>& Exceptions() { return m_main->Transactions().GetRecord(0)->exceptions; }
    // The rows of Lunch on a day, top to bottom.
    std::vector<int> LunchRows(TimeValue day)
    {
        std::vector<int> rows;
        for (int row = 1; row < List().GetCount(); ++row)
            if (LocalDay(List().GetDate(row)) == LocalDay(day) && List().GetDescription(row) == "Lunch")
                rows.push_back(row);
        return rows;
    }
    void Command(int id)
    {
        m_main->window->PostCommand(id);
        QCoreApplication::sendPostedEvents();
    }
    // Selects the k-th Lunch row of the day and runs a command on it.
    void OnLunchRow(TimeValue day, std::size_t k, int command)
    {
        const std::vector<int> rows = LunchRows(day);
        ASSERT_LT(k, rows.size());
        List().SelectAndShow(rows[k]);
        Command(command);
    }

    testing_support::TzGuard m_tz{testing_support::kEastern};
    testing_support::TempDir m_folder;
    win::ScriptedRunner m_runner;
    std::unique_ptr<MainWindow> m_main;
    TimeValue m_startDate = ProjectionStartDate();
    const TimeValue m_monday = MakeDate(2027, 1, 4);
};

// Each command acts on the payment of its row, not on the first of its transaction that
// day, however the day's rows were reordered by the commands before it.
TEST_F(PaymentCommandsTest, EachCommandActsOnThePaymentOfItsRowAmongSeveralOfOneDay)
{
    ASSERT_EQ(LunchRows(m_monday).size(), 3u);
    // The opening row and Rent's have no payment of a series to act on.
    List().SelectAndShow(0);
    EXPECT_FALSE(m_main->MenuEnabled(res::ID_SKIP_PAYMENT));
    List().SelectAndShow(LunchRows(m_monday)[1]);
    EXPECT_TRUE(m_main->MenuEnabled(res::ID_SKIP_PAYMENT));
    EXPECT_TRUE(m_main->MenuEnabled(res::ID_CHANGE_PAYMENT));
    EXPECT_FALSE(m_main->MenuEnabled(res::ID_RESTORE_PAYMENT));

    // Monday's second row is Sunday's payment.
    OnLunchRow(m_monday, 1, res::ID_SKIP_PAYMENT);
    EXPECT_EQ(Exceptions(), std::vector<PaymentException>{Skipped(MakeDate(2027, 1, 3))});
    ASSERT_EQ(LunchRows(m_monday).size(), 2u);

    // Now Monday's second row is Monday's own: 25 instead of 10, its date kept.
    m_runner.OnNextDialog([](win::CDialog& dialog) {
        dialog.SetDlgItemText(res::IDC_AMOUNT, "25");
        EXPECT_EQ(dialog.GetDlgItemText(res::IDC_PAYMENT_CHANGES), "Amount -25 instead of -10");
        dialog.PressButton(win::IDOK);
    });
    OnLunchRow(m_monday, 1, res::ID_CHANGE_PAYMENT);
    PaymentException changed;
    changed.date = m_monday;
    changed.amount = -25;
    EXPECT_EQ(Exceptions(), (std::vector<PaymentException>{Skipped(MakeDate(2027, 1, 3)), changed}));

    // Saturday's payment, still first, goes to Wednesday; the changed ones follow the plain
    // ones of their day.
    m_runner.OnNextDialog([](win::CDialog& dialog) {
        dialog.GetDlgItemAs<win::CDateTimeCtrl>(res::IDC_DATE)->SetTime(MakeDate(2027, 1, 6));
        EXPECT_EQ(dialog.GetDlgItemText(res::IDC_PAYMENT_CHANGES), "Moves from Mon 01/04/2027 to Wed 01/06/2027");
        dialog.PressButton(win::IDOK);
    });
    OnLunchRow(m_monday, 0, res::ID_CHANGE_PAYMENT);
    PaymentException moved;
    moved.date = MakeDate(2027, 1, 2);
    moved.moveTo = MakeDate(2027, 1, 6);
    EXPECT_EQ(Exceptions(), (std::vector<PaymentException>{moved, Skipped(MakeDate(2027, 1, 3)), changed}));

    // The moved row comes after Wednesday's own and marks its date; the changed amount
    // marks Monday's amount; neither marks the description.
    // The selection goes with the payment.
    const std::vector<int> wednesday = LunchRows(MakeDate(2027, 1, 6));
    ASSERT_EQ(wednesday.size(), 2u);
    EXPECT_EQ(List().GetSelectedIndex(), wednesday[1]);
    EXPECT_EQ(List().GetCellNote(wednesday[0], kDate), "");
    EXPECT_EQ(List().GetCellNote(wednesday[1], kDate), "Moved from 01/04/2027");
    EXPECT_EQ(List().GetCellNote(wednesday[1], kAmount), "");
    const int mondayOwn = LunchRows(m_monday).at(0);
    EXPECT_EQ(List().GetCellNote(mondayOwn, kAmount), "Planned amount -10");
    EXPECT_EQ(List().GetCellNote(mondayOwn, kDescription), "");
    EXPECT_EQ(List().GetCellNote(mondayOwn, kDate), "");
    // The view's tooltip and what screen readers hear of the cell say the same.
    List().FlushDataSourceChanges();
    auto* view = qobject_cast<QAbstractItemView*>(List().Widget());
    ASSERT_NE(view, nullptr);
    const QModelIndex amountCell = view->model()->index(mondayOwn, kAmount);
    EXPECT_EQ(amountCell.data(Qt::ToolTipRole).toString(), QStringLiteral("Planned amount -10"));
    EXPECT_EQ(amountCell.data(Qt::AccessibleDescriptionRole).toString(), QStringLiteral("Planned amount -10"));

    // Restore brings Monday's payment back, from the list's context menu (Shift+F10).
    List().SelectAndShow(mondayOwn);
    m_main->window->CashFlowPage().GotoDlgCtrl(List());
    QTest::keyClick(List().Widget(), Qt::Key_F10, Qt::ShiftModifier);
    QMenu* menu = m_main->window->RowMenu().GetSubMenu(0)->BoundPopup();
    ASSERT_NE(menu, nullptr);
    QAction* restore = nullptr;
    for (QAction* action : menu->actions())
        if (action->data().toInt() == res::ID_RESTORE_PAYMENT)
            restore = action;
    ASSERT_NE(restore, nullptr);
    EXPECT_TRUE(restore->isEnabled());
    restore->trigger();
    menu->close();
    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(Exceptions(), (std::vector<PaymentException>{moved, Skipped(MakeDate(2027, 1, 3))}));
}

// OK on the values the row already shows changes nothing: no exception, no undo step.
TEST_F(PaymentCommandsTest, ChangeWithoutChangesIsNoStep)
{
    const int steps = m_main->window->History().StepCount();
    m_runner.OnNextDialog([](win::CDialog& dialog) {
        EXPECT_EQ(dialog.GetDlgItemText(res::IDC_PAYMENT_CHANGES), "As planned: Mon 01/04/2027, -10");
        dialog.PressButton(win::IDOK);
    });
    OnLunchRow(m_monday, 2, res::ID_CHANGE_PAYMENT);
    EXPECT_TRUE(Exceptions().empty());
    EXPECT_EQ(m_main->window->History().StepCount(), steps);
}

} // namespace
