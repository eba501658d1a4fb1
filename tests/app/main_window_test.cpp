// The main window end to end: what it loads, what it writes, its commands, keys, menu
// state and layout, driven the way the user drives it.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QWidget>

#include <algorithm>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "app/forecast.h"
#include "main_window_support.h"
#include "model/date_repeater.h"
#include "model/dates.h"
#include "storage/data_file.h"
#include "storage/text_file.h"
#include "support/tz_guard.h"
#include "ui/cash_flow_list_ctrl.h"
#include "ui/platform/api.h"

namespace {

using main_window_testing::MainWindow;
using testing_support::ReadFileBytes;
using testing_support::WriteFileBytes;

class MainWindowTest : public ::testing::Test {
protected:
    std::filesystem::path DataFile() const { return m_folder / "default.Tillane"; }

    DataFile::Contents Saved() const
    {
        DataFile::LoadResult read = DataFile::LoadFile(DataFile(), Today());
        EXPECT_EQ(read.status, DataFile::Status::Loaded);
        return std::move(read.contents);
    }

    static std::vector<std::string> AccountNames(const DataFile::Contents& contents)
    {
        std::vector<std::string> names;
        for (const DataFile::Account& account : contents.accounts)
            names.push_back(account.description);
        return names;
    }
    static std::vector<std::string> TransactionNames(const DataFile::Contents& contents)
    {
        std::vector<std::string> names;
        for (const DataFile::Transaction& transaction : contents.transactions)
            names.push_back(transaction.description);
        return names;
    }
    static std::vector<std::string> Column0(win::CListCtrl& list)
    {
        std::vector<std::string> texts;
        for (int row = 0; row < list.GetItemCount(); ++row)
            texts.push_back(list.GetItemText(row, 0));
        return texts;
    }

    // A data file in the program's own layout (the lists keep their rows sorted by
    // description, so the file has them in that order).
    void WriteData(const DataFile::Contents& contents)
    {
        WriteFileBytes(DataFile(), TextFile::ToTextMode(DataFile::WriteDocument(contents, Today())));
    }

    static DataFile::Contents TwoOfEach()
    {
        DataFile::Contents contents;
        contents.accounts = {{"Alpha", 10}, {"Zeta", 5}};
        DataFile::Transaction first {"Bonus", MakeDate(2026, 12, 15) + 10 * 3600, 300,
                                     std::make_unique<CDateRepeaterOnce>()};
        DataFile::Transaction second {"Groceries", MakeDate(2026, 12, 20) + 10 * 3600, -80,
                                      std::make_unique<CDateRepeaterOnce>()};
        contents.transactions.push_back(std::move(first));
        contents.transactions.push_back(std::move(second));
        return contents;
    }

    testing_support::TzGuard m_tz {testing_support::kEastern};
    testing_support::TempDir m_folder;
    win::ScriptedRunner m_runner;
};

TEST_F(MainWindowTest, FirstRunShowsTheSampleDataProjectedAndClosingWritesIt)
{
    MainWindow main(DataFile());
    main.Open(m_runner);
    ASSERT_EQ(m_runner.DialogsRun(), (std::vector<int>{res::IDD_ABOUTBOX}));
    EXPECT_FALSE(main.window->DataFileUnreadable());

    CAccountsListCtrl& accounts = main.Accounts();
    ASSERT_EQ(accounts.GetItemCount(), 2);
    EXPECT_EQ(Column0(accounts), (std::vector<std::string>{"Checking", "Savings"}));
    EXPECT_EQ(accounts.GetBalance(0), 0);
    EXPECT_EQ(accounts.GetBalance(1), 0);

    CTransListCtrl& transactions = main.Transactions();
    ASSERT_EQ(transactions.GetItemCount(), 2);
    const int selected = transactions.GetSelectedIndex();
    ASSERT_GE(selected, 0);
    EXPECT_EQ(transactions.GetDescription(selected), "Rent/Mortgage") << "the last one added is selected";
    EXPECT_EQ(transactions.GetSelectedCount(), 1);
    for (int row = 0; row < 2; ++row)
        EXPECT_EQ(transactions.GetDate(row), Today());

    // The projection holds both, every two weeks and every month, over its 13 months.
    CCashFlowListCtrl& projection = main.window->CashFlowPage().CashFlowList();
    int paydays = 0;
    int rents = 0;
    for (int row = 0; row < projection.GetCount(); ++row) {
        if (const TransactionData* record = projection.GetTransaction(row)) {
            paydays += record->description == "Payday";
            rents += record->description == "Rent/Mortgage";
        }
    }
    EXPECT_GE(paydays, 26);
    EXPECT_GE(rents, 12);
    EXPECT_FALSE(std::filesystem::exists(DataFile())) << "the sample data is not written until a save";

    main.CloseBox();
    EXPECT_FALSE(main.window->HasWindow());
    const DataFile::Contents saved = Saved();
    EXPECT_EQ(AccountNames(saved), (std::vector<std::string>{"Checking", "Savings"}));
    ASSERT_EQ(TransactionNames(saved), (std::vector<std::string>{"Payday", "Rent/Mortgage"}));
    EXPECT_EQ(saved.transactions[0].amount, 400);
    EXPECT_EQ(saved.transactions[0].rule->GetType(), RepeatWeekly);
    EXPECT_EQ(saved.transactions[0].rule->delta, 14);
    EXPECT_EQ(saved.transactions[1].amount, -600);
    EXPECT_EQ(saved.transactions[1].rule->GetType(), RepeatMonthly);
    EXPECT_EQ(saved.transactions[1].date, Today());

    // What the program wrote reads back and writes out to the same bytes.
    const std::string written = ReadFileBytes(DataFile());
    MainWindow again(DataFile());
    again.Open(m_runner);
    EXPECT_EQ(again.Transactions().GetItemCount(), 2);
    again.CloseBox();
    EXPECT_EQ(ReadFileBytes(DataFile()), written);
}

TEST_F(MainWindowTest, FilesWithNothingInThemLoadEmptyWithoutSampleData)
{
    const struct {
        const char* name;
        std::string text;
    } cases[] = {
        {"only the top element", "<TILLANE Format=\"1\"/>\r\r\n"},
        {"top element with an end tag", "<TILLANE Format=\"1\">\r\r\n</TILLANE>\r\r\n"},
        {"zero bytes", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        WriteFileBytes(DataFile(), c.text);
        {
            MainWindow main(DataFile());
            main.Open(m_runner);
            EXPECT_FALSE(main.window->DataFileUnreadable());
            EXPECT_EQ(main.Accounts().GetItemCount(), 0);
            EXPECT_EQ(main.Transactions().GetItemCount(), 0);
            EXPECT_EQ(main.window->CashFlowPage().CashFlowList().GetCount(), 1) << "the opening row alone";
            main.CloseBox();
        }
        // Nothing to save but the cash-flow settings: no ACCOUNTS and no TRANSACTIONS.
        const std::string written = ReadFileBytes(DataFile());
        EXPECT_EQ(written.find("<ACCOUNTS"), std::string::npos) << written;
        EXPECT_EQ(written.find("<TRANSACTIONS"), std::string::npos) << written;
        EXPECT_NE(written.find("<CASHFLOW"), std::string::npos) << written;
        const DataFile::Contents saved = Saved();
        EXPECT_TRUE(saved.accounts.empty());
        EXPECT_TRUE(saved.transactions.empty());
    }
}

TEST_F(MainWindowTest, ClosingWritesEvenWithoutChangesAndSaveAndExitCloses)
{
    WriteData(TwoOfEach());
    const std::string original = ReadFileBytes(DataFile());
    MainWindow main(DataFile());
    main.Open(m_runner);
    ASSERT_EQ(main.Accounts().GetItemCount(), 2);

    // The file goes away behind the program's back; closing writes it again.
    std::filesystem::remove(DataFile());
    EXPECT_TRUE(main.window->KeyDown('Q', true, false, false)) << "Ctrl+Q is File > Save & Exit";
    QCoreApplication::sendPostedEvents();
    QCoreApplication::sendPostedEvents();
    EXPECT_FALSE(main.window->HasWindow());
    EXPECT_EQ(main.window->GetResult(), win::IDCANCEL);
    EXPECT_EQ(ReadFileBytes(DataFile()), original);
}

TEST_F(MainWindowTest, ResortingAListChangesTheOrderOfTheSavedFile)
{
    WriteData(TwoOfEach());
    MainWindow main(DataFile());
    main.Open(m_runner);
    main.window->SetActivePage(1);

    std::vector<std::vector<std::string>> accountOrders;
    std::vector<std::vector<std::string>> transactionOrders;
    for (int click = 0; click < 2; ++click) {
        main.Accounts().NotifyColumnClick(1);      // by balance
        main.Transactions().NotifyColumnClick(2);  // by amount
        main.window->KeyDown('S', true, false, false);
        const DataFile::Contents saved = Saved();
        EXPECT_EQ(AccountNames(saved), Column0(main.Accounts())) << "as the list shows them";
        EXPECT_EQ(TransactionNames(saved).size(), 2u);
        std::vector<std::string> shown;
        for (int row = 0; row < main.Transactions().GetItemCount(); ++row)
            shown.push_back(main.Transactions().GetDescription(row));
        EXPECT_EQ(TransactionNames(saved), shown);
        accountOrders.push_back(AccountNames(saved));
        transactionOrders.push_back(TransactionNames(saved));
    }
    // The second click sorts the other way round; one of the two orders is not the
    // order of the descriptions the file was loaded in.
    EXPECT_EQ(accountOrders[1], (std::vector<std::string>{accountOrders[0][1], accountOrders[0][0]}));
    EXPECT_EQ(transactionOrders[1], (std::vector<std::string>{transactionOrders[0][1], transactionOrders[0][0]}));
}

TEST_F(MainWindowTest, AccountCommandsAddEditAndDeleteOnlyOnYes)
{
    WriteData(TwoOfEach());
    MainWindow main(DataFile());
    main.Open(m_runner);
    main.window->SetActivePage(1);
    CAccountsListCtrl& accounts = main.Accounts();

    m_runner.OnNextDialog([](win::CDialog& editor) {
        editor.SetDlgItemText(res::IDC_DESCRIPTION, "Credit union");
        editor.SetDlgItemText(res::IDC_BALANCE, "250");
        editor.PressButton(win::IDOK);
    });
    main.window->PostCommand(res::ID_ADD_ACCOUNT);
    QCoreApplication::sendPostedEvents();
    ASSERT_EQ(accounts.GetItemCount(), 3);
    const int added = accounts.GetSelectedIndex();
    ASSERT_GE(added, 0);
    EXPECT_EQ(accounts.GetItemText(added, 0), "Credit union");
    EXPECT_EQ(accounts.GetTotalBalance(), 265);

    m_runner.OnNextDialog([](win::CDialog& editor) {
        EXPECT_EQ(editor.GetDlgItemText(res::IDC_DESCRIPTION), "Credit union");
        editor.SetDlgItemText(res::IDC_BALANCE, "-35");
        editor.PressButton(win::IDOK);
    });
    main.window->PostCommand(res::ID_EDIT_ENTRY);
    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(accounts.GetTotalBalance(), -20);
    EXPECT_EQ(main.window->CashFlowPage().CashFlowList().GetBalance(0), -20) << "the opening balance follows";

    m_runner.AnswerNextMessageBox(win::IDNO);
    main.window->PostCommand(res::ID_DELETE_ENTRY);
    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(accounts.GetItemCount(), 3);
    m_runner.AnswerNextMessageBox(win::IDYES);
    main.window->PostCommand(res::ID_DELETE_ENTRY);
    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(accounts.GetItemCount(), 2);
    EXPECT_EQ(accounts.GetSelectedIndex(), -1) << "nothing stays selected after a delete";
    EXPECT_EQ(m_runner.MessageBoxes().size(), 2u);
    EXPECT_EQ(m_runner.PendingScripts(), 0u);

    main.CloseBox();
    EXPECT_EQ(AccountNames(Saved()), (std::vector<std::string>{"Alpha", "Zeta"}));
}

TEST_F(MainWindowTest, TransactionCommandsAddEditAndDeleteOnlyOnYes)
{
    WriteData(TwoOfEach());
    MainWindow main(DataFile());
    main.Open(m_runner);
    main.window->SetActivePage(2);
    CTransListCtrl& transactions = main.Transactions();
    CCashFlowListCtrl& projection = main.window->CashFlowPage().CashFlowList();
    const int rowsBefore = projection.GetCount();

    m_runner.OnNextDialog([&projection](win::CDialog& editor) {
        editor.SetDlgItemText(res::IDC_DESCRIPTION, "Refund");
        editor.SetDlgItemText(res::IDC_AMOUNT, "45");
        editor.PressButton(res::IDC_CREDIT);
        // The preview knows the Cash Flow's window: a day before it is not listed.
        auto& picker = *editor.GetDlgItemAs<win::CDateTimeCtrl>(res::IDC_DATE);
        std::int64_t today = 0;
        ASSERT_TRUE(picker.GetTime(today));
        picker.SetTime(AddDays(projection.GetStartDate(), -1));
        EXPECT_NE(editor.GetDlgItemText(res::IDC_PREVIEW)
                      .find("None of these falls between " + FormatDate(projection.GetStartDate()) + " and " +
                            FormatDate(AddDays(projection.GetEndDate(), -1))),
                  std::string::npos)
            << editor.GetDlgItemText(res::IDC_PREVIEW);
        picker.SetTime(today);
        editor.PressButton(win::IDOK);
    });
    main.window->PostCommand(res::ID_ADD_TRANSACTION);
    QCoreApplication::sendPostedEvents();
    ASSERT_EQ(transactions.GetItemCount(), 3);
    const int added = transactions.GetSelectedIndex();
    ASSERT_GE(added, 0);
    EXPECT_EQ(transactions.GetDescription(added), "Refund");
    EXPECT_EQ(transactions.GetAmount(added), 45);
    EXPECT_EQ(projection.GetCount(), rowsBefore + 1);

    m_runner.OnNextDialog([](win::CDialog& editor) {
        editor.SetDlgItemText(res::IDC_AMOUNT, "60");
        editor.PressButton(res::IDC_DEBIT);
        editor.PressButton(win::IDOK);
    });
    main.window->PostCommand(res::ID_EDIT_ENTRY);
    QCoreApplication::sendPostedEvents();
    const int edited = transactions.GetSelectedIndex();
    ASSERT_GE(edited, 0);
    EXPECT_EQ(transactions.GetDescription(edited), "Refund");
    EXPECT_EQ(transactions.GetAmount(edited), -60);

    m_runner.AnswerNextMessageBox(win::IDNO);
    main.window->PostCommand(res::ID_DELETE_ENTRY);
    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(transactions.GetItemCount(), 3);
    m_runner.AnswerNextMessageBox(win::IDYES);
    main.window->PostCommand(res::ID_DELETE_ENTRY);
    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(transactions.GetItemCount(), 2);
    EXPECT_EQ(transactions.GetSelectedIndex(), -1) << "nothing stays selected after a delete";
    EXPECT_EQ(projection.GetCount(), rowsBefore);
    EXPECT_EQ(m_runner.PendingScripts(), 0u);

    main.CloseBox();
    EXPECT_EQ(TransactionNames(Saved()), (std::vector<std::string>{"Bonus", "Groceries"}));
}

// A what-if bonus: marked in both lists and beside the firm forecast on the summary line;
// View leaves it out (and says so next time), the editor's check box clears the mark, and
// Undo puts it back.
TEST_F(MainWindowTest, WhatIfTransactionsAreMarkedLeftOutOnRequestAndEditedWithUndo)
{
    DataFile::Contents contents = TwoOfEach();
    contents.transactions[0].tentative = true;
    WriteData(contents);
    MainWindow main(DataFile());
    main.Open(m_runner);
    CTransListCtrl& transactions = main.Transactions();
    CCashFlowPgDlg& page = main.window->CashFlowPage();
    CCashFlowListCtrl& projection = page.CashFlowList();
    auto rowOf = [&](const std::string& description) {
        for (int row = 0; row < projection.GetCount(); ++row)
            if (projection.GetDescription(row) == description)
                return row;
        return -1;
    };
    auto summaryLine = [&] {
        QCoreApplication::sendPostedEvents();
        return page.GetDlgItemText(res::IDC_SUMMARY);
    };
    auto viewChecked = [&] {
        win::CMenu menu;
        EXPECT_TRUE(menu.LoadMenu(res::IDR_MAINFRAME));
        win::CMenu* view = menu.GetSubMenu(2);
        main.window->MenuAboutToShow(*view, 2);
        return view->IsMenuItemChecked(res::ID_VIEW_WHAT_IF);
    };
    ASSERT_GE(rowOf("Bonus"), 0);
    EXPECT_EQ(projection.GetRowNote(rowOf("Bonus")), "What-if");
    EXPECT_EQ(projection.GetRowNote(rowOf("Groceries")), "");
    EXPECT_EQ(transactions.GetRowNote(0), "What-if");
    EXPECT_EQ(transactions.GetRowNote(1), "");
    const std::string firmLowest = " \u00B7 firm: lowest -65 on 12/20/2026 \u00B7 Closing 235";
    EXPECT_NE(summaryLine().find(firmLowest), std::string::npos) << summaryLine();
    EXPECT_TRUE(viewChecked());

    main.window->PostCommand(res::ID_VIEW_WHAT_IF);
    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(rowOf("Bonus"), -1);
    EXPECT_GE(rowOf("Groceries"), 0);
    EXPECT_EQ(summaryLine().find("firm"), std::string::npos) << summaryLine();
    EXPECT_FALSE(viewChecked());
    EXPECT_EQ(main.settings.ReadInt("View", "WhatIf", 1), 0);
    main.window->PostCommand(res::ID_VIEW_WHAT_IF);
    QCoreApplication::sendPostedEvents();
    EXPECT_GE(rowOf("Bonus"), 0);

    // The editor shows the mark and takes it off; the rest of the record stays.
    main.window->SetActivePage(2);
    transactions.SetItemState(0, win::LVIS_SELECTED, win::LVIS_SELECTED);
    m_runner.OnNextDialog([](win::CDialog& editor) {
        EXPECT_EQ(editor.GetDlgItemText(res::IDC_TENTATIVE), "&What-if (tentative)");
        auto* box = editor.GetDlgItemAs<win::CButton>(res::IDC_TENTATIVE);
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(box->GetCheck(), 1);
        editor.PressButton(res::IDC_TENTATIVE);
        editor.PressButton(win::IDOK);
    });
    main.window->PostCommand(res::ID_EDIT_ENTRY);
    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(transactions.GetRowNote(0), "");
    EXPECT_EQ(main.window->DataFileText().find("Tentative"), std::string::npos);
    EXPECT_EQ(summaryLine().find("firm"), std::string::npos) << summaryLine();
    main.window->History().Undo();
    EXPECT_NE(main.window->DataFileText().find("<TRANSACTION Type=\"Once\" Tentative=\"1\">"), std::string::npos);
    EXPECT_NE(summaryLine().find(firmLowest), std::string::npos) << summaryLine();
    EXPECT_EQ(m_runner.PendingScripts(), 0u);
}

TEST_F(MainWindowTest, CashFlowPageEditsATransactionRowAndNeverDeletes)
{
    WriteData(TwoOfEach());
    MainWindow main(DataFile());
    main.Open(m_runner);
    ASSERT_EQ(main.window->GetActiveIndex(), 0);
    CCashFlowListCtrl& projection = main.window->CashFlowPage().CashFlowList();
    ASSERT_EQ(projection.GetCount(), 3);
    ASSERT_NE(projection.GetTransaction(1), nullptr);
    const std::string description = projection.GetTransaction(1)->description;
    projection.SetItemState(1, win::LVIS_SELECTED, win::LVIS_SELECTED);

    m_runner.OnNextDialog([](win::CDialog& editor) {
        editor.SetDlgItemText(res::IDC_DESCRIPTION, "Renamed");
        editor.PressButton(win::IDOK);
    });
    main.window->PostCommand(res::ID_EDIT_ENTRY);
    main.window->PostCommand(res::ID_DELETE_ENTRY);
    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(m_runner.DialogsRun().back(), res::IDD_TRANS_EDIT);
    EXPECT_TRUE(m_runner.MessageBoxes().empty()) << "Delete does nothing on this page";
    std::vector<std::string> names;
    for (int row = 0; row < main.Transactions().GetItemCount(); ++row)
        names.push_back(main.Transactions().GetDescription(row));
    EXPECT_EQ(std::count(names.begin(), names.end(), "Renamed"), 1);
    EXPECT_EQ(std::count(names.begin(), names.end(), description), 0);
    EXPECT_EQ(projection.GetCount(), 3);
}

// What the Edit menu offers, and whether Enter and Delete post their commands, for each
// page and selection; Insert adds what the page lists, whatever is selected.
TEST_F(MainWindowTest, CommandsAreGreyedAndKeysPostOnlyWhenTheyApply)
{
    WriteData(TwoOfEach());
    MainWindow main(DataFile());
    main.Open(m_runner);
    CCashFlowListCtrl& projection = main.window->CashFlowPage().CashFlowList();

    enum class Select { Nothing, First, Second };
    const struct {
        const char* name;
        int page;
        Select select;
        bool canEdit;
        bool canDelete;
        int editor;
    } cases[] = {
        {"cash flow, opening row", 0, Select::First, false, false, 0},
        {"cash flow, a transaction", 0, Select::Second, true, false, res::IDD_TRANS_EDIT},
        {"cash flow, nothing", 0, Select::Nothing, false, false, 0},
        {"accounts, a row", 1, Select::First, true, true, res::IDD_ACCOUNT_EDIT},
        {"accounts, nothing", 1, Select::Nothing, false, false, 0},
        {"transactions, a row", 2, Select::Second, true, true, res::IDD_TRANS_EDIT},
        {"transactions, nothing", 2, Select::Nothing, false, false, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        main.window->SetActivePage(c.page);
        win::CListCtrl& list = c.page == 0   ? static_cast<win::CListCtrl&>(projection)
                               : c.page == 1 ? static_cast<win::CListCtrl&>(main.Accounts())
                                             : static_cast<win::CListCtrl&>(main.Transactions());
        for (int row = 0; row < list.GetItemCount(); ++row)
            list.SetItemState(row, 0, win::LVIS_SELECTED);
        if (c.select != Select::Nothing)
            list.SetItemState(c.select == Select::First ? 0 : 1, win::LVIS_SELECTED, win::LVIS_SELECTED);

        EXPECT_EQ(main.MenuEnabled(res::ID_EDIT_ENTRY), c.canEdit);
        EXPECT_EQ(main.MenuEnabled(res::ID_DELETE_ENTRY), c.canDelete);
        EXPECT_TRUE(main.MenuEnabled(res::ID_ADD_ACCOUNT));

        // Enter: the editor opens (and is cancelled) only when editing applies.
        const std::size_t dialogs = m_runner.DialogsRun().size();
        if (c.canEdit)
            m_runner.OnNextDialog([](win::CDialog& editor) { editor.PressButton(win::IDCANCEL); });
        list.SetFocus(); // Enter on a focused button presses that button instead
        EXPECT_FALSE(main.window->KeyDown(win::VK_RETURN, false, false, false)) << "Enter is not consumed";
        QCoreApplication::sendPostedEvents();
        ASSERT_EQ(m_runner.DialogsRun().size(), dialogs + (c.canEdit ? 1 : 0));
        if (c.canEdit) {
            EXPECT_EQ(m_runner.DialogsRun().back(), c.editor);
        }

        // Delete: the question comes (and is answered No) only when deleting applies.
        const std::size_t questions = m_runner.MessageBoxes().size();
        if (c.canDelete)
            m_runner.AnswerNextMessageBox(win::IDNO);
        main.window->KeyDown(win::VK_DELETE, false, false, false);
        QCoreApplication::sendPostedEvents();
        EXPECT_EQ(m_runner.MessageBoxes().size(), questions + (c.canDelete ? 1 : 0));
        EXPECT_EQ(m_runner.PendingAnswers(), 0u);

        // Insert: the editor of a new entry opens (and is cancelled).
        m_runner.OnNextDialog([](win::CDialog& editor) { editor.PressButton(win::IDCANCEL); });
        main.window->KeyDown(win::VK_INSERT, false, false, false);
        QCoreApplication::sendPostedEvents();
        ASSERT_EQ(m_runner.DialogsRun().size(), dialogs + (c.canEdit ? 2 : 1));
        EXPECT_EQ(m_runner.DialogsRun().back(), c.page == 1 ? res::IDD_ACCOUNT_EDIT : res::IDD_TRANS_EDIT);
    }
    EXPECT_EQ(main.Accounts().GetItemCount(), 2);
    EXPECT_EQ(main.Transactions().GetItemCount(), 2);
}

// Enter presses the push button that has the focus; on a list it opens the selected entry.
TEST_F(MainWindowTest, EnterPressesTheFocusedButtonAndOnTheListOpensTheSelectedEntry)
{
    WriteData(TwoOfEach());
    MainWindow main(DataFile());
    main.Open(m_runner);
    CCashFlowPgDlg& page = main.window->CashFlowPage();
    page.CashFlowList().SetItemState(1, win::LVIS_SELECTED, win::LVIS_SELECTED); // a transaction's row
    const struct {
        int control;
        int dialog;
    } cases[] = {{res::IDC_STARTING_DATE, res::IDD_START_DATE},
                 {res::IDC_WARN_BELOW, res::IDD_WARN_BELOW},
                 {res::IDC_CASHFLOW_LIST, res::IDD_TRANS_EDIT}};
    for (const auto& c : cases) {
        win::CWnd* control = page.GetDlgItem(c.control);
        ASSERT_NE(control, nullptr);
        control->SetFocus();
        const std::size_t before = m_runner.DialogsRun().size();
        m_runner.OnNextDialog([](win::CDialog& dialog) { dialog.PressButton(win::IDCANCEL); });
        QKeyEvent press(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"));
        QApplication::sendEvent(control->Widget(), &press);
        QCoreApplication::sendPostedEvents();
        ASSERT_EQ(m_runner.DialogsRun().size(), before + 1) << c.control;
        EXPECT_EQ(m_runner.DialogsRun().back(), c.dialog) << c.control;
    }
}

// The chart is the tab stop after Warn...: Enter there selects the chosen day's row (End:
// the last day's, the list's last row) and opens nothing.
TEST_F(MainWindowTest, TheChartFollowsWarnInTheTabOrderAndEnterThereSelectsTheDaysRow)
{
    WriteData(TwoOfEach());
    MainWindow main(DataFile());
    main.Open(m_runner);
    CCashFlowPgDlg& page = main.window->CashFlowPage();
    page.CashFlowList().SetItemState(1, win::LVIS_SELECTED, win::LVIS_SELECTED);
    QWidget* window = main.window->Widget();
    QWidget* warn = page.GetDlgItem(res::IDC_WARN_BELOW)->Widget();
    QWidget* next = warn->nextInFocusChain();
    while (next != warn && !(next->isVisibleTo(window) && next->isEnabled() && (next->focusPolicy() & Qt::TabFocus)))
        next = next->nextInFocusChain();
    EXPECT_EQ(next, main.window->Chart().Widget());

    main.window->Chart().SetFocus();
    const std::size_t before = m_runner.DialogsRun().size();
    for (Qt::Key key : {Qt::Key_End, Qt::Key_Return}) {
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
        QApplication::sendEvent(main.window->Chart().Widget(), &press);
    }
    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(m_runner.DialogsRun().size(), before);
    EXPECT_EQ(page.CashFlowList().GetSelectedIndex(), page.CashFlowList().GetItemCount() - 1);
}

// The Transaction Editor keeps the rule it was given: opened on a rule of any kind and
// confirmed unchanged, the file is saved byte for byte as it was; and Next Dates lists the
// rule's own dates (a monthly rule on the 1st dated the 9th, as the sample's rent is).
TEST_F(MainWindowTest, ConfirmingTheEditorUnchangedKeepsEveryKindOfRuleByteForByte)
{
    DataFile::Contents contents;
    auto add = [&contents](const char* name, TimeValue day, std::unique_ptr<CDateRepeater> rule) {
        contents.transactions.push_back({name, day + 10 * 3600, -100, std::move(rule)});
    };
    add("a once", MakeDate(2026, 12, 9), std::make_unique<CDateRepeaterOnce>());
    add("b every third day, 5 times", MakeDate(2026, 12, 10), std::make_unique<CDateRepeaterDaily>(3, 5));
    add("c every fifth day", MakeDate(2026, 12, 11), std::make_unique<CDateRepeaterDaily>(5, 0));
    add("d daily, once", MakeDate(2026, 12, 12), std::make_unique<CDateRepeaterDaily>(2, 1));
    add("e every other week", MakeDate(2026, 12, 13), std::make_unique<CDateRepeaterWeekly>(2, 0));
    add("f weekly, 10 times", MakeDate(2026, 12, 14), std::make_unique<CDateRepeaterWeekly>(1, 10));
    add("g monthly on the 1st", MakeDate(2026, 12, 9), std::make_unique<CDateRepeaterMonthly>(1, 0, 1));
    add("h monthly on the last day", MakeDate(2027, 1, 15), std::make_unique<CDateRepeaterMonthly>(1, 0, 0));
    add("i every sixth month", MakeDate(2026, 12, 20), std::make_unique<CDateRepeaterMonthly>(6, 0, 20));
    add("j every fourth month, 12 times", MakeDate(2026, 12, 28),
        std::make_unique<CDateRepeaterMonthly>(4, 12, 28));
    add("k yearly on 29 February", MakeDate(2028, 2, 29), std::make_unique<CDateRepeaterYearly>(1, 0));
    add("l every other year, 3 times", MakeDate(2027, 3, 1), std::make_unique<CDateRepeaterYearly>(2, 3));
    add("m last business day", MakeDate(2027, 1, 31),
        std::make_unique<CDateRepeaterMonthly>(1, 0, 0, MonthlyDays{}, BusinessDayMove::Before));
    add("n 2nd Friday, after a day off", MakeDate(2027, 1, 8),
        std::make_unique<CDateRepeaterMonthly>(1, 0, 8, MonthlyDays{2, 5, 0}, BusinessDayMove::After));
    add("o the 1st and the 15th, 24 times", MakeDate(2027, 1, 1),
        std::make_unique<CDateRepeaterMonthly>(1, 24, 1, MonthlyDays{0, 0, 15}, BusinessDayMove::Nearest));
    add("p once, before a day off", MakeDate(2027, 1, 2), std::make_unique<CDateRepeaterOnce>(BusinessDayMove::Before));
    add("q last Monday, every other month", MakeDate(2027, 5, 3),
        std::make_unique<CDateRepeaterMonthly>(2, 0, 3, MonthlyDays{-1, 1, 0}));
    contents.weekendDays = (1u << 5) | (1u << 6);
    contents.holidays = {{MakeDate(2026, 12, 25), "Christmas Day", true}, {MakeDate(2027, 4, 2), "Good Friday", false}};
    const int count = static_cast<int>(contents.transactions.size());
    WriteData(contents);
    const std::string original = ReadFileBytes(DataFile());

    MainWindow main(DataFile());
    main.Open(m_runner);
    main.window->SetActivePage(2);
    CTransListCtrl& list = main.Transactions();
    ASSERT_EQ(list.GetItemCount(), count);
    for (int row = 0; row < count; ++row) {
        for (int other = 0; other < count; ++other)
            list.SetItemState(other, other == row ? win::LVIS_SELECTED : 0, win::LVIS_SELECTED);
        std::string preview;
        m_runner.OnNextDialog([&preview](win::CDialog& editor) {
            preview = editor.GetDlgItemText(res::IDC_PREVIEW);
            editor.PressButton(win::IDOK);
        });
        main.window->KeyDown(win::VK_RETURN, false, false, false);
        QCoreApplication::sendPostedEvents();
        ASSERT_EQ(m_runner.DialogsRun().back(), res::IDD_TRANS_EDIT);
        if (list.GetItemText(row, 0) != "g monthly on the 1st")
            continue;
        // "Fri 01/01/2027" and so on, one line per date.
        std::istringstream lines(preview);
        int dates = 0;
        for (std::string line; std::getline(lines, line);)
            if (line.size() == 14 && line[3] == ' ' && line[6] == '/') {
                EXPECT_EQ(line.substr(7, 3), "01/") << preview;
                ++dates;
            }
        EXPECT_GT(dates, 0) << preview;
    }
    EXPECT_TRUE(main.window->KeyDown('S', true, false, false));
    EXPECT_EQ(ReadFileBytes(DataFile()), original);
}

TEST_F(MainWindowTest, CtrlSSavesAtOnceWithoutClosing)
{
    WriteData(TwoOfEach());
    const std::string original = ReadFileBytes(DataFile());
    MainWindow main(DataFile());
    main.Open(m_runner);
    main.window->History().AddAccount("Cash", 5);
    EXPECT_TRUE(main.window->KeyDown('S', true, false, false));
    EXPECT_NE(ReadFileBytes(DataFile()), original);
    EXPECT_EQ(ReadFileBytes(DataFile()), main.window->DataFileText()) << "written before any event is processed";
    QCoreApplication::sendPostedEvents();
    EXPECT_TRUE(main.window->HasWindow());
    EXPECT_TRUE(m_runner.MessageBoxes().empty());

    // The menu's Save does the same.
    const std::string first = ReadFileBytes(DataFile());
    main.window->History().AddAccount("Purse", 6);
    main.window->PostCommand(res::ID_FILE_SAVE);
    QCoreApplication::sendPostedEvents();
    EXPECT_NE(ReadFileBytes(DataFile()), first);
    EXPECT_EQ(ReadFileBytes(DataFile()), main.window->DataFileText());
    EXPECT_TRUE(main.window->HasWindow());
}

// A hand-edited rule that would fill the memory fills the projection to its limit; the
// user hears of it once after the load, not again at every rebuild, and the command
// line's check says so and refuses to go on.
TEST_F(MainWindowTest, AProjectionCutShortAtItsRowLimitIsToldOncePerLoad)
{
    WriteFileBytes(DataFile(),
                   "<TILLANE Format=\"1\"><CASHFLOW StartDate=\"01/01/2026\" Duration=\"2\"/><TRANSACTIONS>"
                   "<TRANSACTION Type=\"Daily\"><DESCRIPTION>Flood</DESCRIPTION><DATE>01/05/2026</DATE>"
                   "<AMOUNT>1</AMOUNT><REPEAT Type=\"Daily\" Delta=\"0\" Count=\"-294967296\"/></TRANSACTION>"
                   "<TRANSACTION Type=\"Once\"><DESCRIPTION>Odd</DESCRIPTION><DATE>1/5/2026</DATE><AMOUNT>1</AMOUNT>"
                   "<REPEAT Type=\"Once\" Delta=\"1\" Count=\"1\"/></TRANSACTION></TRANSACTIONS></TILLANE>");
    MainWindow main(DataFile());
    CCashFlowListCtrl& list = main.window->CashFlowPage().CashFlowList();
    list.SetRowLimit(1234);
    main.Open(m_runner);
    EXPECT_EQ(list.GetItemCount(), 1234);
    ASSERT_EQ(m_runner.MessageBoxes().size(), 1u);
    EXPECT_NE(m_runner.MessageBoxes()[0].text.find("limit of 1,234 rows"), std::string::npos)
        << m_runner.MessageBoxes()[0].text;

    list.SetDuration(3);
    main.window->CashFlowPage().PressButton(res::IDC_NEXT_DAY);
    QCoreApplication::sendPostedEvents();
    EXPECT_TRUE(list.IsCapped());
    EXPECT_EQ(m_runner.MessageBoxes().size(), 1u);

    std::ostringstream err;
    EXPECT_FALSE(CheckLoadedProjection(*main.window, err));
    EXPECT_EQ(err.str(), "tillane: " + DataFile().string() +
                             ": DATE \"1/5/2026\" of \"Odd\" read as " + FormatDate(Today()) + "\n"
                             "tillane: the projection of " + DataFile().string() +
                             " stops at its limit of 1234 rows; a transaction repeats more often than any real one "
                             "would (a step of 0, say)\n");
    main.CloseBox();
}

TEST_F(MainWindowTest, ResizingLaysOutTheTabsAndTheChartAndStoresTheOuterSize)
{
    MainWindow main(DataFile());
    main.Open(m_runner);
    QWidget* widget = main.window->Widget();
    widget->show();
    QCoreApplication::sendPostedEvents();
    const int extraHeight = widget->height() - main.window->GetClientRect().Height();
    widget->resize(500, 240 + extraHeight);
    QCoreApplication::sendPostedEvents();
    ASSERT_EQ(main.window->GetClientRect().Height(), 240);
    const int width = main.window->GetClientRect().Width();

    const int m = main.window->GetMargin();
    win::CRect tabs = main.window->GetTabControl()->GetWindowRect();
    main.window->ScreenToClient(tabs);
    EXPECT_EQ(tabs, (win::CRect {m, m, width - m, 240 - 60 - m}));

    win::CRect chart = main.window->Chart().GetWindowRect();
    main.window->ScreenToClient(chart);
    EXPECT_EQ(chart, (win::CRect {m, tabs.bottom + m, width - m, 240 - m}));

    // The pages shrink with the tab control.
    win::CRect page = main.window->TransactionsPage().GetWindowRect();
    main.window->ScreenToClient(page);
    EXPECT_LT(page.bottom, tabs.bottom);
    EXPECT_GT(page.Height(), 0);

    const win::CRect outer = main.window->GetWindowRect();
    EXPECT_EQ(main.settings.ReadInt("Frame", "Width", -1), outer.Width());
    EXPECT_EQ(main.settings.ReadInt("Frame", "Height", -1), outer.Height());

    // Moving stores the outer window's place on the screen.
    widget->move(37, 41);
    QCoreApplication::sendPostedEvents();
    const win::CRect moved = main.window->GetWindowRect();
    EXPECT_EQ(main.settings.ReadInt("Frame", "Left", -1), moved.left);
    EXPECT_EQ(main.settings.ReadInt("Frame", "Top", -1), moved.top);
}

TEST_F(MainWindowTest, TheWindowStopsShrinkingWhereTheCashFlowPageAndTheChartStillFit)
{
    MainWindow main(DataFile());
    main.Open(m_runner);
    QWidget* widget = main.window->Widget();
    widget->show();
    QCoreApplication::sendPostedEvents();
    widget->resize(300, 220);
    QCoreApplication::sendPostedEvents();
    widget->resize(300, 220);
    QCoreApplication::sendPostedEvents();

    win::CRect chart = main.window->Chart().GetWindowRect();
    main.window->ScreenToClient(chart);
    EXPECT_GE(chart.Height(), 40);
    win::CRect tabs = main.window->GetTabControl()->GetWindowRect();
    main.window->ScreenToClient(tabs);
    win::CRect page = main.window->CashFlowPage().GetWindowRect();
    main.window->ScreenToClient(page);
    EXPECT_LE(page.right, tabs.right);
    EXPECT_LE(page.bottom, tabs.bottom);
    // Every control of the page lies wholly inside it, the list with room for rows.
    const QWidget* pageWidget = main.window->CashFlowPage().Widget();
    for (const QWidget* control : pageWidget->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (control->isHidden())
            continue;
        EXPECT_TRUE(pageWidget->rect().contains(control->geometry())) << control->metaObject()->className();
    }
    const win::CRect list = main.window->CashFlowPage().CashFlowList().GetWindowRect();
    EXPECT_GE(list.Height(), main.window->CashFlowPage().CashFlowList().GetHeightForRows(1));

    // That smallest size is the controls', not the window's: grown, the window shrinks
    // back to it. (Under a window manager: tests/smoke/window_size_smoke.sh.)
    const QSize smallest = widget->size();
    widget->resize(900, 700);
    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(widget->size(), QSize(900, 700));
    widget->resize(300, 220);
    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(widget->size(), smallest);
}

TEST_F(MainWindowTest, TheAboutBoxComesFirst)
{
    MainWindow main(DataFile());
    ASSERT_TRUE(main.window->Create(nullptr, win::WS_POPUP));
    EXPECT_TRUE(m_runner.DialogsRun().empty()) << "posted, not shown during creation";
    main.window->PostCommand(res::ID_ADD_ACCOUNT);
    m_runner.OnNextDialog([](win::CDialog& dialog) { dialog.PressButton(win::IDOK); });
    m_runner.OnNextDialog([](win::CDialog& dialog) { dialog.PressButton(win::IDCANCEL); });
    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(m_runner.DialogsRun(), (std::vector<int>{res::IDD_ABOUTBOX, res::IDD_ACCOUNT_EDIT}));
}

// The bench file is not in the program's own order (its transactions are not sorted by
// description): the first save writes the same data in the lists' order, and from then on
// a load followed by a save writes the same bytes back.
TEST_F(MainWindowTest, TheBenchFileKeepsItsDataAndThenItsBytes)
{
    const char* variable = std::getenv("TILLANE_SAMPLE_DATA");
    const std::filesystem::path bench =
        (variable ? std::filesystem::path(variable) : std::filesystem::path(TILLANE_SOURCE_DIR) / "bench/data") /
        "typical.Tillane";
    ASSERT_TRUE(std::filesystem::exists(bench)) << bench;
    const std::string original = ReadFileBytes(bench);
    WriteFileBytes(DataFile(), original);
    const DataFile::Contents before = Saved();
    {
        MainWindow main(DataFile());
        main.Open(m_runner);
        EXPECT_EQ(main.Transactions().GetItemCount(), static_cast<int>(before.transactions.size()));
        main.CloseBox();
    }
    const DataFile::Contents after = Saved();
    auto rows = [](const DataFile::Contents& contents) {
        std::vector<std::string> texts;
        for (const DataFile::Transaction& t : contents.transactions)
            texts.push_back(t.description + "|" + std::to_string(t.date) + "|" + std::to_string(t.amount) + "|" +
                            std::to_string(t.rule->GetType()) + "|" + std::to_string(t.rule->delta) + "|" +
                            std::to_string(t.rule->count));
        std::sort(texts.begin(), texts.end());
        return texts;
    };
    EXPECT_EQ(rows(after), rows(before));
    std::vector<std::string> accountsBefore = AccountNames(before);
    std::sort(accountsBefore.begin(), accountsBefore.end());
    EXPECT_EQ(AccountNames(after), accountsBefore);
    EXPECT_EQ(after.startDate, before.startDate);
    EXPECT_EQ(after.duration, before.duration);

    const std::string written = ReadFileBytes(DataFile());
    {
        MainWindow main(DataFile());
        main.Open(m_runner);
        main.CloseBox();
    }
    EXPECT_EQ(ReadFileBytes(DataFile()), written);
}

// Edit > Business Days... changes what the rules move to at once, as one step of the
// history, and the file keeps it.
TEST_F(MainWindowTest, BusinessDaysMoveTheProjectionAtOnceAsOneUndoStepAndAreSaved)
{
    DataFile::Contents contents;
    contents.startDate = MakeDate(2027, 1, 1);
    contents.transactions.push_back({"Pay", MakeDate(2027, 1, 31), 100,
                                     std::make_unique<CDateRepeaterMonthly>(1, 0, 0, MonthlyDays{},
                                                                            BusinessDayMove::Before)});
    WriteData(contents);
    MainWindow main(DataFile());
    main.Open(m_runner);
    CCashFlowListCtrl& projection = main.window->CashFlowPage().CashFlowList();
    auto firstPay = [&projection] { return FormatDate(projection.GetDate(1)); };
    // 01/31/2027 is a Sunday.
    EXPECT_EQ(firstPay(), "01/29/2027");

    m_runner.OnNextDialog([this](win::CDialog& dialog) {
        // No weekend, but a holiday on the last of January.
        dialog.PressButton(res::IDC_WEEKEND_SUNDAY);
        dialog.PressButton(res::IDC_WEEKEND_SUNDAY + 6);
        m_runner.OnNextDialog([](win::CDialog& editor) {
            editor.GetDlgItemAs<win::CDateTimeCtrl>(res::IDC_HOLIDAY_DATE)->SetTime(MakeDate(2027, 1, 31));
            editor.SetDlgItemText(res::IDC_HOLIDAY_DESCRIPTION, "Founders");
            editor.PressButton(win::IDOK);
        });
        dialog.PressButton(res::IDC_ADD_HOLIDAY);
        dialog.PressButton(win::IDOK);
    });
    main.window->PostCommand(res::ID_BUSINESS_DAYS);
    QCoreApplication::sendPostedEvents();
    ASSERT_EQ(m_runner.DialogsRun().back(), res::IDD_HOLIDAY_EDIT);
    EXPECT_EQ(firstPay(), "01/30/2027");
    EXPECT_TRUE(main.window->KeyDown('Z', true, false, false));
    EXPECT_EQ(firstPay(), "01/29/2027");
    EXPECT_TRUE(main.window->KeyDown('Y', true, false, false));
    EXPECT_EQ(firstPay(), "01/30/2027");
    EXPECT_TRUE(main.window->KeyDown('S', true, false, false));
    const DataFile::Contents saved = Saved();
    EXPECT_EQ(saved.weekendDays, 0);
    ASSERT_EQ(saved.holidays.size(), 1u);
    EXPECT_EQ(saved.holidays[0].description, "Founders");
}

} // namespace
