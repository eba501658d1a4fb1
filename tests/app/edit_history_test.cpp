// Undo and redo in the main window: random changes undone, redone and replayed leave the
// same file; the Edit menu's texts and greying; the keys; the selection after undo; and
// sorting, which is not a change.
#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QCoreApplication>
#include <QTest>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "main_window_support.h"
#include "model/business_calendar.h"
#include "model/date_repeater.h"
#include "model/payment_exceptions.h"
#include "model/transaction_data.h"
#include "model/dates.h"
#include "model/transaction_data.h"
#include "support/tz_guard.h"
#include "ui/cash_flow_list_ctrl.h"
#include "ui/edit_history.h"
#include "ui/late_payments.h"
#include "ui/platform/controls.h"
#include "ui/platform/list_ctrl.h"

namespace {

using main_window_testing::MainWindow;
using testing_support::ReadFileBytes;
using testing_support::WriteFileBytes;
using Op = std::function<void()>;

std::filesystem::path SampleFile(const char* name)
{
    const char* variable = std::getenv("TILLANE_SAMPLE_DATA");
    return (variable ? std::filesystem::path(variable) : std::filesystem::path(TILLANE_SOURCE_DIR) / "bench/data") /
           name;
}

class EditHistoryTest : public ::testing::Test {
protected:
    // The start date is the program's one: later tests find it as this test found it.
    ~EditHistoryTest() override
    {
        m_main.reset();
        ProjectionStartDate() = m_startDate;
    }

    std::filesystem::path DataFile() const { return m_folder / "default.Tillane"; }

    // Opens the window on a copy of a sample schedule, with a clock the test moves.
    MainWindow& Open(const char* sample = "typical.Tillane")
    {
        WriteFileBytes(DataFile(), ReadFileBytes(SampleFile(sample)));
        m_main = std::make_unique<MainWindow>(DataFile());
        m_main->Open(m_runner);
        History().SetClock([this] { return m_now; });
        return *m_main;
    }
    // The same on a file of the test's own.
    MainWindow& OpenText(const std::string& text)
    {
        WriteFileBytes(DataFile(), text);
        m_main = std::make_unique<MainWindow>(DataFile());
        m_main->Open(m_runner);
        History().SetClock([this] { return m_now; });
        return *m_main;
    }
    // The Cash Flow's row of a transaction on a day, or -1.
    int CashFlowRow(const std::string& description, TimeValue date)
    {
        for (int row = 1; row < Projection().GetCount(); ++row)
            if (Projection().GetDescription(row) == description && LocalDay(Projection().GetDate(row)) == LocalDay(date))
                return row;
        return -1;
    }
    CEditHistory& History() { return m_main->window->History(); }
    CCashFlowListCtrl& Projection() { return m_main->window->CashFlowPage().CashFlowList(); }
    void Later(std::chrono::milliseconds by) { m_now += by; }

    void Command(int id)
    {
        m_main->window->PostCommand(id);
        QCoreApplication::sendPostedEvents();
    }
    std::string MenuText(int id)
    {
        win::CMenu menu;
        EXPECT_TRUE(menu.LoadMenu(res::IDR_MAINFRAME));
        win::CMenu* edit = menu.GetSubMenu(1);
        m_main->window->MenuAboutToShow(*edit, 1);
        return (edit->IsMenuItemEnabled(id) ? "" : "(grey) ") + edit->GetMenuItemText(id);
    }

    // Everything a step may change: the file's bytes, both lists' selections, the
    // projection's length and last balance, and the Duration the spin shows.
    std::string Snapshot()
    {
        CCashFlowListCtrl& projection = Projection();
        const int last = projection.GetCount() - 1;
        return m_main->window->DataFileText() + "\nselected account " +
               std::to_string(m_main->Accounts().GetSelectedIndex()) + ", transaction " +
               std::to_string(m_main->Transactions().GetSelectedIndex()) + "; projection " +
               std::to_string(projection.GetCount()) + " rows ending at " +
               std::to_string(last >= 0 ? projection.GetBalance(last) : 0) + "; spin " +
               m_main->window->CashFlowPage().GetDlgItemText(res::IDC_DURATION);
    }

    testing_support::TzGuard m_tz{testing_support::kEastern};
    testing_support::TempDir m_folder;
    win::ScriptedRunner m_runner;
    std::unique_ptr<MainWindow> m_main;
    std::chrono::steady_clock::time_point m_now{};
    TimeValue m_startDate = ProjectionStartDate();
};

TimeValue DateShown(win::CDialog& dialog)
{
    TimeValue date = 0;
    EXPECT_TRUE(dialog.GetDlgItemAs<win::CDateTimeCtrl>(res::IDC_DATE)->GetTime(date));
    return ToTenOClock(date);
}

// A random change through the history's entry points (those the commands use), with its
// values fixed, so that it can be made again later on the same state.
class RandomChanges {
public:
    // The runner answers the Change This Payment dialog.
    RandomChanges(MainWindow& main, win::ScriptedRunner& runner, std::uint32_t seed)
        : m_main(main), m_runner(runner), m_random(seed)
    {
    }

    Op Next()
    {
        CEditHistory& history = m_main.window->History();
        CAccountsListCtrl& accounts = m_main.Accounts();
        CTransListCtrl& transactions = m_main.Transactions();
        const int accountRows = accounts.GetItemCount();
        const int transactionRows = transactions.GetItemCount();
        switch (Pick(0, 14)) {
        case 0: {
            const std::string description = Description();
            const std::int32_t balance = Amount();
            return [&history, description, balance] { history.AddAccount(description, balance); };
        }
        case 1:
        case 2:
            if (accountRows == 0)
                return Next();
            else {
                const int row = Pick(0, accountRows - 1);
                const std::string description = Description();
                const std::int32_t balance = Amount();
                const bool remove = Pick(0, 2) == 0;
                return [&history, row, description, balance, remove] {
                    remove ? history.DeleteAccount(row) : history.UpdateAccount(row, description, balance);
                };
            }
        case 3:
        case 4: {
            const TimeValue date = Date();
            const std::string description = Description();
            const std::int32_t amount = Amount();
            const int rule = Pick(0, 1 << 20);
            const bool tentative = Pick(0, 2) == 0;
            return [&history, date, description, amount, rule, tentative] {
                history.AddTransaction(Record(date, description, amount, Rule(rule, date), tentative));
            };
        }
        case 5:
        case 6:
        case 7:
            if (transactionRows == 0)
                return Next();
            else {
                const int row = Pick(0, transactionRows - 1);
                const TimeValue date = Date();
                const std::string description = Description();
                const std::int32_t amount = Amount();
                const int rule = Pick(0, 1 << 20);
                const bool remove = Pick(0, 2) == 0;
                const bool tentative = Pick(0, 2) == 0;
                return [&history, row, date, description, amount, rule, remove, tentative] {
                    if (remove)
                        history.DeleteTransaction(row);
                    else
                        history.UpdateTransaction(row, Record(date, description, amount, Rule(rule, date), tentative));
                };
            }
        case 8: {
            const int days = Pick(-40, 40);
            return [&history, days] { history.SetStartDate(AddDays(ProjectionStartDate(), days)); };
        }
        case 9: {
            const int days = Pick(0, 1) ? 1 : -1;
            return [&history, days] { history.MoveStartDate(days); };
        }
        case 11:
        case 12:
            return PaymentChange();
        case 13:
            if (transactionRows == 0)
                return Next();
            else {
                // A series cut at one of its first payments (no cut at the first or past the end).
                const int row = Pick(0, transactionRows - 1);
                const int payment = Pick(0, 5);
                return [&history, &transactions, row, payment] {
                    const TransactionData* record = transactions.GetRecord(row);
                    const auto dates = ListedOccurrences(*record, BusinessCalendar(), record->date,
                                                         AddDays(record->date, 3000));
                    if (static_cast<std::size_t>(payment) >= dates.size())
                        return;
                    SplitSeries split = SplitAt(*record, dates[static_cast<std::size_t>(payment)].due);
                    if (split.first)
                        history.SplitTransaction(row, std::move(split.first), std::move(split.later));
                };
            }
        case 14: {
            // Balances and a start date set, with some of the payments expected meanwhile
            // moved to the new start date (their amounts changed now and then first).
            std::vector<std::int32_t> balances;
            for (int row = 0; row < accountRows; ++row)
                balances.push_back(Pick(0, 1) ? accounts.GetBalance(row) : Amount());
            const int days = Pick(-10, 60);
            const std::uint32_t lateSeed = static_cast<std::uint32_t>(Pick(0, 1 << 20));
            return [&history, &transactions, balances, days, lateSeed] {
                std::vector<const TransactionData*> records;
                for (int row = 0; row < transactions.GetItemCount(); ++row)
                    records.push_back(transactions.GetRecord(row));
                const TimeValue start = ProjectionStartDate();
                const TimeValue date = AddDays(start, days);
                std::mt19937 pick(lateSeed);
                std::vector<ExpectedPayment> late;
                for (const ExpectedPayment& payment : ExpectedPayments(records, BusinessCalendar(), true, start, date))
                    if (pick() % 2)
                        late.push_back(payment);
                std::vector<CEditHistory::TransactionChange> changes;
                for (auto& [index, record] : MoveLatePayments(records, late, date)) {
                    if (pick() % 3 == 0 && !record->exceptions.empty())
                        record->exceptions.front().amount = static_cast<std::int32_t>(pick() % 900) - 450;
                    changes.push_back({static_cast<int>(index), std::move(record)});
                }
                history.UpdateBalances(balances, date, std::move(changes));
            };
        }
        default: {
            // The spin, as the user clicks it.
            auto* spin = m_main.window->CashFlowPage().GetDlgItemAs<win::CSpinButtonCtrl>(res::IDC_DURATION_SPIN);
            const int delta = Pick(0, 1) ? 1 : -1;
            return [spin, delta] { spin->Step(delta); };
        }
        }
    }

    int Pick(int low, int high) { return std::uniform_int_distribution<int>(low, high)(m_random); }

private:
    // One payment of a Cash Flow row skipped, changed in its dialog (moved a few days,
    // another amount, or both) or restored; a restore picks a row of a transaction that
    // has exceptions. The row is found again as the k-th of its transaction on its day:
    // rows of different transactions on one day come in the order they were projected,
    // which depends on the changes before, not only on the data.
    Op PaymentChange()
    {
        CCashFlowListCtrl& list = m_main.window->CashFlowPage().CashFlowList();
        CTransListCtrl& transactions = m_main.Transactions();
        const int kind = Pick(0, 2);
        std::vector<int> rows;
        for (int row = 1; row < list.GetCount(); ++row)
            if (kind != 2 || (list.GetTransaction(row) && !list.GetTransaction(row)->exceptions.empty()))
                rows.push_back(row);
        if (rows.empty())
            return Next();
        const int picked = rows[static_cast<std::size_t>(Pick(0, static_cast<int>(rows.size()) - 1))];
        const TransactionData* record = list.GetTransaction(picked);
        const int transaction = transactions.FindTransaction(record);
        const std::int64_t day = LocalDay(list.GetDate(picked));
        int rank = 0;
        for (int row = picked - 1; row > 0 && LocalDay(list.GetDate(row)) == day; --row)
            rank += list.GetTransaction(row) == record ? 1 : 0;
        auto rowNow = [&list, &transactions, transaction, day, rank] {
            const TransactionData* now = transactions.GetRecord(transaction);
            int seen = 0;
            for (int row = 1; row < list.GetCount(); ++row)
                if (list.GetTransaction(row) == now && LocalDay(list.GetDate(row)) == day && seen++ == rank)
                    return row;
            return -1;
        };
        if (kind == 0)
            return [&list, rowNow] { list.SkipPayment(rowNow()); };
        if (kind == 2)
            return [&list, rowNow] { list.RestorePayment(rowNow()); };
        const int days = Pick(0, 1) ? Pick(-3, 3) : 0;
        const std::int32_t amount = Pick(0, 1) ? Pick(-5000, 5000) : 0;
        win::ScriptedRunner& runner = m_runner;
        return [&list, &runner, rowNow, days, amount] {
            const int row = rowNow();
            if (!list.CanChangePayment(row))
                return;
            const TimeValue date = AddDays(list.GetDate(row), days);
            // The dialog takes no amount beyond -2147483647, as the editor does.
            const std::int32_t shown =
                amount != 0 ? amount : static_cast<std::int32_t>(std::max<std::int64_t>(list.GetAmount(row), -2147483647));
            runner.OnNextDialog([date, shown](win::CDialog& dialog) {
                dialog.GetDlgItemAs<win::CDateTimeCtrl>(res::IDC_DATE)->SetTime(date);
                const std::int64_t magnitude = shown < 0 ? -static_cast<std::int64_t>(shown) : shown;
                dialog.SetDlgItemText(res::IDC_AMOUNT, std::to_string(magnitude));
                dialog.PressButton(shown < 0 ? res::IDC_DEBIT : res::IDC_CREDIT);
                dialog.PressButton(win::IDOK);
            });
            list.ChangePayment(row);
        };
    }

    std::string Description()
    {
        static const char* const names[] = {"Rent", "rent", "Car loan", "Visa Card", "R&D <\"x\">", "", "Zeta", "Payday"};
        return names[Pick(0, 7)];
    }
    std::int32_t Amount()
    {
        switch (Pick(0, 9)) {
        case 0:
            return Pick(0, 1) ? 2147483647 : -2147483647 - 1;
        case 1:
            return 0;
        default:
            return Pick(-5000, 5000);
        }
    }
    TimeValue Date() { return AddDays(MakeDate(2026, 3, 7), Pick(-60, 400)); }
    // A what-if now and then: undoing and redoing keep the flag as they keep the rest.
    static std::unique_ptr<TransactionData> Record(TimeValue date, const std::string& description,
                                                   std::int32_t amount, std::unique_ptr<CDateRepeater> rule,
                                                   bool tentative)
    {
        auto record = std::make_unique<TransactionData>(date, description, amount, std::move(rule));
        record->tentative = tentative;
        return record;
    }
    static std::unique_ptr<CDateRepeater> Rule(int seed, TimeValue date)
    {
        const int step = seed % 4 + 1;
        const auto count = static_cast<std::uint32_t>(seed / 4 % 3 == 0 ? 0 : seed / 12 % 30 + 2);
        switch (seed / 400 % 5) {
        case 0:
            return std::make_unique<CDateRepeaterOnce>();
        case 1:
            return std::make_unique<CDateRepeaterDaily>(step, count);
        case 2:
            return std::make_unique<CDateRepeaterWeekly>(step, count);
        case 3:
            return std::make_unique<CDateRepeaterMonthly>(step, count, date % 31);
        default:
            return std::make_unique<CDateRepeaterYearly>(step, count);
        }
    }

    MainWindow& m_main;
    win::ScriptedRunner& m_runner;
    std::mt19937 m_random;
};

TEST_F(EditHistoryTest, RandomChangesUndoneRedoneAndReplayedLeaveTheSameFile)
{
    Open();
    CEditHistory& history = History();
    const std::string start = Snapshot();
    RandomChanges changes(*m_main, m_runner, 20261209);

    auto undoAll = [&] {
        while (history.DoneCount() > 0)
            history.Undo();
    };
    // A change is made a little after the one before it: sometimes soon enough to merge.
    auto make = [&](const Op& op) {
        Later(std::chrono::milliseconds(changes.Pick(0, 1) ? 100 : 5000));
        op();
    };

    for (int sequence = 0; sequence < 200; ++sequence) {
        SCOPED_TRACE("sequence " + std::to_string(sequence));
        ASSERT_EQ(history.DoneCount(), 0);
        // What the history should hold: each step is the group of changes merged into it,
        // and the first `done` steps are done.
        std::vector<std::vector<Op>> steps;
        std::size_t done = 0;
        auto change = [&] {
            const Op op = changes.Next();
            const int before = history.DoneCount();
            make(op);
            steps.resize(done);
            if (history.DoneCount() > before) {
                steps.push_back({op});
                ++done;
            } else if (!steps.empty()) {
                steps.back().push_back(op);
            }
        };

        // Changes only: undoing all of them gives the start back, redoing them the end.
        for (int count = changes.Pick(1, 8); count > 0; --count)
            change();
        const std::string end = Snapshot();
        undoAll();
        ASSERT_EQ(Snapshot(), start);
        // (Changes that changed nothing leave steps undone before as they were.)
        for (std::size_t step = 0; step < steps.size(); ++step)
            history.Redo();
        ASSERT_EQ(Snapshot(), end);

        // Undo, redo and new changes in any order: the outcome is the surviving changes
        // made afresh from the start.
        for (int action = 0; action < 20; ++action) {
            const int kind = changes.Pick(0, 3);
            if (kind == 0 && done > 0) {
                history.Undo();
                --done;
            } else if (kind == 1 && done < steps.size() && history.CanRedo()) {
                history.Redo();
                ++done;
            } else if (kind >= 2) {
                change();
            }
        }
        ASSERT_EQ(static_cast<std::size_t>(history.DoneCount()), done);
        const std::string outcome = Snapshot();
        undoAll();
        ASSERT_EQ(Snapshot(), start);
        for (std::size_t step = 0; step < done; ++step)
            for (const Op& op : steps[step])
                make(op);
        ASSERT_EQ(Snapshot(), outcome);
        undoAll();
    }
}

// What Edit > Undo and Redo say and whether they are offered, after the commands, the
// page's buttons, its spin and the Starting Date dialog.
TEST_F(EditHistoryTest, TheEditMenuNamesEachStepAndGreysWhatCannotBeDone)
{
    Open();
    EXPECT_EQ(MenuText(res::ID_EDIT_UNDO), "(grey) &Undo");
    EXPECT_EQ(MenuText(res::ID_EDIT_REDO), "(grey) &Redo");

    m_runner.OnNextDialog([](win::CDialog& editor) {
        editor.SetDlgItemText(res::IDC_DESCRIPTION, "Car loan");
        editor.SetDlgItemText(res::IDC_AMOUNT, "300");
        editor.PressButton(win::IDOK);
    });
    Command(res::ID_ADD_TRANSACTION);
    EXPECT_EQ(MenuText(res::ID_EDIT_UNDO), "&Undo Add Transaction \"Car loan\"");
    EXPECT_EQ(MenuText(res::ID_EDIT_REDO), "(grey) &Redo");
    Command(res::ID_EDIT_UNDO);
    EXPECT_EQ(MenuText(res::ID_EDIT_UNDO), "(grey) &Undo");
    EXPECT_EQ(MenuText(res::ID_EDIT_REDO), "&Redo Add Transaction \"Car loan\"");

    // A new change drops what was undone; an ampersand shows as itself.
    m_runner.OnNextDialog([](win::CDialog& editor) {
        editor.SetDlgItemText(res::IDC_DESCRIPTION, "Visa & Card");
        editor.PressButton(win::IDOK);
    });
    Command(res::ID_ADD_ACCOUNT);
    EXPECT_EQ(MenuText(res::ID_EDIT_REDO), "(grey) &Redo");
    m_main->window->SetActivePage(1);
    m_runner.AnswerNextMessageBox(win::IDYES);
    Command(res::ID_DELETE_ENTRY);
    EXPECT_EQ(MenuText(res::ID_EDIT_UNDO), "&Undo Delete Account \"Visa && Card\"");
    Command(res::ID_EDIT_UNDO);
    EXPECT_EQ(MenuText(res::ID_EDIT_REDO), "&Redo Delete Account \"Visa && Card\"");
    EXPECT_EQ(MenuText(res::ID_EDIT_UNDO), "&Undo Add Account \"Visa && Card\"");

    // Quick presses of the day buttons or the spin make one step; a pause starts another.
    CCashFlowPgDlg& page = m_main->window->CashFlowPage();
    const TimeValue start = ProjectionStartDate();
    page.PressButton(res::IDC_NEXT_DAY);
    Later(std::chrono::milliseconds(300));
    page.PressButton(res::IDC_NEXT_DAY);
    EXPECT_EQ(MenuText(res::ID_EDIT_UNDO), "&Undo Starting Date (2 changes)");
    Later(std::chrono::seconds(2));
    page.PressButton(res::IDC_PREVIOUS_DAY);
    EXPECT_EQ(MenuText(res::ID_EDIT_UNDO), "&Undo Starting Date");
    Command(res::ID_EDIT_UNDO);
    Command(res::ID_EDIT_UNDO);
    EXPECT_EQ(ProjectionStartDate(), start);

    auto* spin = page.GetDlgItemAs<win::CSpinButtonCtrl>(res::IDC_DURATION_SPIN);
    ASSERT_NE(spin, nullptr);
    ASSERT_TRUE(spin->Step(-1));
    ASSERT_TRUE(spin->Step(-1));
    EXPECT_EQ(MenuText(res::ID_EDIT_UNDO), "&Undo Duration (2 changes)");
    Command(res::ID_EDIT_UNDO);
    EXPECT_EQ(Projection().GetDuration(), 99u);
    EXPECT_EQ(spin->GetPos(), 99);

    // The date picked in the dialog is a step of its own, even straight after a press.
    page.PressButton(res::IDC_NEXT_DAY);
    m_runner.OnNextDialog([](win::CDialog& dialog) {
        dialog.GetDlgItemAs<win::CDateTimeCtrl>(res::IDC_DATE)->SetTime(MakeDate(2027, 1, 4));
        dialog.PressButton(win::IDOK);
    });
    page.PressButton(res::IDC_STARTING_DATE);
    EXPECT_EQ(MenuText(res::ID_EDIT_UNDO), "&Undo Starting Date");
    Command(res::ID_EDIT_UNDO);
    EXPECT_EQ(ProjectionStartDate(), AddDays(start, 1));
}

TEST_F(EditHistoryTest, CtrlZUndoesAndCtrlYOrCtrlShiftZRedoes)
{
    Open();
    CCashFlowPgDlg& page = m_main->window->CashFlowPage();
    const TimeValue start = ProjectionStartDate();
    page.PressButton(res::IDC_NEXT_DAY);
    EXPECT_TRUE(m_main->window->KeyDown('Z', true, false, false));
    EXPECT_EQ(ProjectionStartDate(), start);
    EXPECT_TRUE(m_main->window->KeyDown('Y', true, false, false));
    EXPECT_EQ(ProjectionStartDate(), AddDays(start, 1));
    m_main->window->KeyDown('Z', true, false, false);
    EXPECT_TRUE(m_main->window->KeyDown('Z', true, true, false));
    EXPECT_EQ(ProjectionStartDate(), AddDays(start, 1));
    EXPECT_EQ(Projection().GetDate(0), AddDays(start, 1)) << "the projection follows";
}

// Undo selects the row it changed back, wherever sorting has moved it; sorting itself is
// not a step.
TEST_F(EditHistoryTest, UndoSelectsTheRowItChangedAndSortingIsNoStep)
{
    Open();
    m_main->window->SetActivePage(2);
    CTransListCtrl& transactions = m_main->Transactions();
    auto rowOf = [&](const std::string& description) {
        for (int row = 0; row < transactions.GetItemCount(); ++row)
            if (transactions.GetDescription(row) == description)
                return row;
        return -1;
    };
    const std::string original = m_main->window->DataFileText();
    const int gym = rowOf("Gym");
    transactions.SetItemState(gym, win::LVIS_SELECTED, win::LVIS_SELECTED);
    m_runner.OnNextDialog([](win::CDialog& editor) {
        editor.SetDlgItemText(res::IDC_AMOUNT, "45");
        editor.PressButton(win::IDOK);
    });
    Command(res::ID_EDIT_ENTRY);

    transactions.SortByColumn(CTransListCtrl::AmountColumn);
    EXPECT_EQ(MenuText(res::ID_EDIT_UNDO), "&Undo Edit Transaction \"Gym\"") << "sorting is no step";
    transactions.SetItemState(rowOf("Vacation"), win::LVIS_SELECTED, win::LVIS_SELECTED);
    Command(res::ID_EDIT_UNDO);
    const int moved = rowOf("Gym");
    EXPECT_EQ(transactions.GetAmount(moved), -40);
    EXPECT_EQ(transactions.GetSelectedIndex(), moved);
    EXPECT_FALSE(m_main->window->History().CanUndo());

    // A deleted row comes back at its place and selected; later steps still find it.
    transactions.SortByColumn(CTransListCtrl::DescriptionColumn);
    const std::string sorted = m_main->window->DataFileText();
    Command(res::ID_EDIT_REDO);
    transactions.SetItemState(rowOf("Gym"), win::LVIS_SELECTED, win::LVIS_SELECTED);
    m_runner.AnswerNextMessageBox(win::IDYES);
    Command(res::ID_DELETE_ENTRY);
    EXPECT_EQ(rowOf("Gym"), -1);
    Command(res::ID_EDIT_UNDO);
    EXPECT_EQ(transactions.GetSelectedIndex(), rowOf("Gym"));
    Command(res::ID_EDIT_UNDO);
    EXPECT_EQ(m_main->window->DataFileText(), sorted);
    EXPECT_EQ(transactions.GetSelectedIndex(), rowOf("Gym"));
    EXPECT_NE(sorted, original);
}

// From a Cash Flow row the editor asks what the edit applies to. This and all later
// payments cuts the series in one step: rent of -1200 on the 1st from 01/01/2027 for ever,
// -1250 from the 03/01/2027 row on, leaves -1200 for two payments and -1250 from 03/01/2027
// for ever. This payment only changes that payment alone.
TEST_F(EditHistoryTest, AnEditFromACashFlowRowAppliesToThePaymentToItAndLaterOnesOrToEveryOne)
{
    OpenText("<TILLANE Format=\"1\">\n<CASHFLOW StartDate=\"12/15/2026\" Duration=\"6\"/>\n<ACCOUNTS>\n<ACCOUNT>\n"
             "<DESCRIPTION>Checking</DESCRIPTION>\n<AMOUNT>5000</AMOUNT>\n</ACCOUNT>\n</ACCOUNTS>\n<TRANSACTIONS>\n"
             "<TRANSACTION Type=\"Monthly\">\n<DESCRIPTION>Rent</DESCRIPTION>\n<DATE>01/01/2027</DATE>\n"
             "<AMOUNT>-1200</AMOUNT>\n<REPEAT Type=\"Monthly\" Delta=\"1\" Count=\"0\" Day=\"1\"/>\n"
             "</TRANSACTION>\n</TRANSACTIONS>\n</TILLANE>\n");
    CTransListCtrl& transactions = m_main->Transactions();
    const std::string before = m_main->window->DataFileText();

    // From the Transactions page the editor asks nothing.
    m_main->window->SetActivePage(2);
    transactions.SetItemState(0, win::LVIS_SELECTED, win::LVIS_SELECTED);
    m_runner.OnNextDialog([](win::CDialog& editor) {
        EXPECT_TRUE(editor.GetDlgItem(res::IDC_SCOPE_LATER)->Widget()->isHidden());
        editor.PressButton(win::IDCANCEL);
    });
    Command(res::ID_EDIT_ENTRY);

    m_runner.OnNextDialog([](win::CDialog& editor) {
        EXPECT_FALSE(editor.GetDlgItem(res::IDC_SCOPE_LATER)->Widget()->isHidden());
        EXPECT_EQ(editor.GetDlgItemAs<win::CButton>(res::IDC_SCOPE_EVERY)->GetCheck(), 1) << "today's edit by default";
        EXPECT_EQ(DateShown(editor), MakeDate(2027, 1, 1));
        editor.PressButton(res::IDC_SCOPE_LATER);
        EXPECT_EQ(DateShown(editor), MakeDate(2027, 3, 1));
        editor.SetDlgItemText(res::IDC_AMOUNT, "1250");
        editor.PressButton(win::IDOK);
    });
    Projection().EditEntry(CashFlowRow("Rent", MakeDate(2027, 3, 1)));
    ASSERT_EQ(transactions.GetItemCount(), 2);
    for (int row = 0; row < 2; ++row) {
        const TransactionData& record = *transactions.GetRecord(row);
        const bool first = record.amount == -1200;
        EXPECT_EQ(record.date, first ? MakeDate(2027, 1, 1) : MakeDate(2027, 3, 1));
        EXPECT_EQ(record.amount, first ? -1200 : -1250);
        EXPECT_EQ(record.repeater->count, first ? 2u : 0u);
    }
    EXPECT_EQ(MenuText(res::ID_EDIT_UNDO), "&Undo Edit Transaction \"Rent\" From 03/01/2027 On");
    EXPECT_EQ(Projection().GetAmount(CashFlowRow("Rent", MakeDate(2027, 2, 1))), -1200);
    EXPECT_EQ(Projection().GetAmount(CashFlowRow("Rent", MakeDate(2027, 5, 1))), -1250);
    const std::string split = m_main->window->DataFileText();
    Command(res::ID_EDIT_UNDO);
    EXPECT_EQ(m_main->window->DataFileText(), before);
    Command(res::ID_EDIT_REDO);
    EXPECT_EQ(m_main->window->DataFileText(), split);

    // This payment only: its date and amount, nothing else; the choice shows what it
    // starts from, and a field already changed keeps what was typed.
    m_runner.OnNextDialog([](win::CDialog& editor) {
        editor.SetDlgItemText(res::IDC_AMOUNT, "1300");
        editor.PressButton(res::IDC_SCOPE_THIS);
        EXPECT_EQ(DateShown(editor), MakeDate(2027, 4, 1));
        EXPECT_EQ(editor.GetDlgItemText(res::IDC_AMOUNT), "1300");
        EXPECT_FALSE(editor.GetDlgItem(res::IDC_DESCRIPTION)->IsWindowEnabled());
        EXPECT_FALSE(editor.GetDlgItem(res::IDC_ENDS_AFTER)->IsWindowEnabled());
        editor.GetDlgItemAs<win::CDateTimeCtrl>(res::IDC_DATE)->SetTime(MakeDate(2027, 4, 6));
        editor.PressButton(win::IDOK);
    });
    Projection().EditEntry(CashFlowRow("Rent", MakeDate(2027, 4, 1)));
    const TransactionData* later = transactions.GetRecord(transactions.FindTransaction(
        Projection().GetTransaction(CashFlowRow("Rent", MakeDate(2027, 5, 1)))));
    ASSERT_EQ(later->exceptions.size(), 1u);
    EXPECT_EQ(later->exceptions[0], (PaymentException{MakeDate(2027, 4, 1), false, MakeDate(2027, 4, 6), -1300}));
    EXPECT_EQ(later->amount, -1250);
    EXPECT_EQ(CashFlowRow("Rent", MakeDate(2027, 4, 1)), -1);
    EXPECT_EQ(Projection().GetAmount(CashFlowRow("Rent", MakeDate(2027, 4, 6))), -1300);
    Command(res::ID_EDIT_UNDO);
    EXPECT_EQ(m_main->window->DataFileText(), split);
}

// Update Balances: the checked payments expected meanwhile appear on the new start date
// (with an amount they were changed to), the others are gone, every balance and the start date are set; one undo step undoes it all.
TEST_F(EditHistoryTest, UpdateBalancesMovesThePaymentsNotYetPaidToTheNewStartDateInOneStep)
{
    OpenText("<TILLANE Format=\"1\">\n<CASHFLOW StartDate=\"03/01/2027\" Duration=\"3\"/>\n<ACCOUNTS>\n"
             "<ACCOUNT>\n<DESCRIPTION>Checking</DESCRIPTION>\n<AMOUNT>1000</AMOUNT>\n</ACCOUNT>\n"
             "<ACCOUNT>\n<DESCRIPTION>Savings</DESCRIPTION>\n<AMOUNT>2000</AMOUNT>\n</ACCOUNT>\n</ACCOUNTS>\n"
             "<TRANSACTIONS>\n<TRANSACTION Type=\"Monthly\">\n<DESCRIPTION>Rent</DESCRIPTION>\n"
             "<DATE>01/01/2027</DATE>\n<AMOUNT>-1200</AMOUNT>\n"
             "<REPEAT Type=\"Monthly\" Delta=\"1\" Count=\"0\" Day=\"1\"/>\n</TRANSACTION>\n"
             "<TRANSACTION Type=\"Monthly\">\n<DESCRIPTION>Pay</DESCRIPTION>\n<DATE>01/03/2027</DATE>\n"
             "<AMOUNT>2000</AMOUNT>\n<REPEAT Type=\"Monthly\" Delta=\"1\" Count=\"0\" Day=\"3\"/>\n"
             "</TRANSACTION>\n<TRANSACTION Type=\"Weekly\">\n<DESCRIPTION>Gym</DESCRIPTION>\n"
             "<DATE>03/02/2027</DATE>\n<AMOUNT>-40</AMOUNT>\n"
             "<REPEAT Type=\"Weekly\" Delta=\"1\" Count=\"0\"/>\n<EXCEPTION Date=\"03/09/2027\" Amount=\"-55\"/>\n"
             "</TRANSACTION>\n</TRANSACTIONS>\n</TILLANE>\n");
    const std::string before = m_main->window->DataFileText();
    const TimeValue start = MakeDate(2027, 3, 10);

    m_runner.OnNextDialog([&](win::CDialog& dialog) {
        dialog.GetDlgItemAs<win::CDateTimeCtrl>(res::IDC_DATE)->SetTime(start);
        auto* payments = dialog.GetDlgItemAs<win::CListCtrl>(res::IDC_UPDATE_PAYMENTS);
        // Rent on the 1st, Gym on the 2nd and 9th, Pay on the 3rd.
        ASSERT_EQ(payments->GetItemCount(), 4);
        EXPECT_EQ(payments->GetItemText(0, 1), "Rent");
        EXPECT_EQ(payments->GetItemText(3, 0), "03/09/2027");
        EXPECT_EQ(payments->GetItemText(3, 2), "-55");
        // Rent and the second Gym are not yet paid: Space checks the row in focus.
        payments->SetFocus();
        for (int row : {0, 3}) {
            payments->SetItemState(row, win::LVIS_SELECTED, win::LVIS_SELECTED);
            static_cast<QAbstractItemView*>(payments->Widget())
                ->setCurrentIndex(static_cast<QAbstractItemView*>(payments->Widget())->model()->index(row, 0));
            QTest::keyClick(payments->Widget(), Qt::Key_Space);
        }
        EXPECT_TRUE(payments->GetCheck(0));
        EXPECT_FALSE(payments->GetCheck(1));
        // A later day keeps the checks and lists the payments until then.
        dialog.GetDlgItemAs<win::CDateTimeCtrl>(res::IDC_DATE)->SetTime(AddDays(start, 7));
        EXPECT_EQ(payments->GetItemCount(), 5);
        dialog.GetDlgItemAs<win::CDateTimeCtrl>(res::IDC_DATE)->SetTime(start);
        ASSERT_EQ(payments->GetItemCount(), 4);
        EXPECT_TRUE(payments->GetCheck(0) && payments->GetCheck(3));

        dialog.SetDlgItemText(res::IDC_BALANCE, "800");
        dialog.GetDlgItemAs<win::CComboBox>(res::IDC_UPDATE_ACCOUNT)->SetCurSel(1);
        EXPECT_EQ(dialog.GetDlgItemText(res::IDC_BALANCE), "2000");
        dialog.SetDlgItemText(res::IDC_BALANCE, "2,150");
        EXPECT_EQ(dialog.GetDlgItemAs<win::CListCtrl>(res::IDC_UPDATE_ACCOUNTS)->GetItemText(0, 1), "800");
        dialog.PressButton(win::IDOK);
    });
    Command(res::ID_UPDATE_BALANCES);

    EXPECT_EQ(ProjectionStartDate(), start);
    EXPECT_EQ(m_main->Accounts().GetBalance(0), 800);
    EXPECT_EQ(m_main->Accounts().GetBalance(1), 2150);
    std::vector<std::string> onStart;
    for (int row = 1; row < Projection().GetCount() && LocalDay(Projection().GetDate(row)) == LocalDay(start); ++row)
        onStart.push_back(Projection().GetDescription(row) + " " + std::to_string(Projection().GetAmount(row)));
    EXPECT_EQ(onStart, (std::vector<std::string>{"Gym -55", "Rent -1200"})) << "a changed amount stays";
    EXPECT_EQ(CashFlowRow("Pay", MakeDate(2027, 3, 3)), -1) << "paid: before the start";
    EXPECT_EQ(MenuText(res::ID_EDIT_UNDO), "&Undo Update Balances");
    Command(res::ID_EDIT_UNDO);
    EXPECT_EQ(m_main->window->DataFileText(), before);
    EXPECT_FALSE(History().CanUndo());

    // Cancel changes nothing.
    m_runner.OnNextDialog([&](win::CDialog& dialog) {
        dialog.GetDlgItemAs<win::CDateTimeCtrl>(res::IDC_DATE)->SetTime(start);
        dialog.SetDlgItemText(res::IDC_BALANCE, "1");
        dialog.PressButton(win::IDCANCEL);
    });
    Command(res::ID_UPDATE_BALANCES);
    EXPECT_EQ(m_main->window->DataFileText(), before);
    EXPECT_FALSE(History().CanUndo());
}

} // namespace
