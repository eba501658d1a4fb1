#include "ui/account_edit_dlg.h"
#include "ui/accounts_list_ctrl.h"
#include "ui/accounts_page_dlg.h"

#include "model/cash_flow_projection.h"
#include "res/resource.h"
#include "storage/data_file.h"
#include "storage/xml_document.h"
#include "ui/platform/controls.h"
#include "ui/platform/dialog_builder.h"
#include "ui/platform/scripted_runner.h"
#include "ui/platform/types.h"

#include "support/tz_guard.h"

#include "fake_config.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace {

using Selection = CAccountsListCtrl::Selection;

// Records the recalculations the accounts ask for.
class RecordingCashflow : public ICashflowListCtrl {
public:
    int InsertEntry(TimeValue, const std::string&, std::int32_t, TransactionData*, bool) override { return -1; }
    TimeValue GetEndDate() const override { return 0; }
    int GetCount() override { return 0; }
    std::int64_t GetBalance(int) override { return 0; }
    TimeValue GetDate(int) override { return 0; }
    TransactionData* GetTransaction(int) override { return nullptr; }
    void Recalculate(int first) override { recalculations.push_back(first); }
    void DeleteEntry(int) override {}
    bool InsertEntries(const std::vector<TimeValue>&, const std::string&, std::int32_t, TransactionData*) override
    {
        return true;
    }
    int DeleteEntriesOf(const TransactionData*) override { return 0; }

    std::vector<int> recalculations;
};

class NoTransactions : public ITransListCtrl {
public:
    void EditTransaction(int) override {}
    int FindTransaction(const TransactionData*) override { return -1; }
    int ProjectAllTransactions() override { return 0; }
};

std::vector<std::string> Column(const CAccountsListCtrl& list, int column)
{
    std::vector<std::string> texts;
    for (int row = 0; row < list.GetItemCount(); ++row)
        texts.push_back(list.GetItemText(row, column));
    return texts;
}

using Texts = std::vector<std::string>;

// The page with its window, as the main window creates it; the sort directions and the
// known descriptions start as in a fresh run.
class AccountsPageTest : public testing::Test {
protected:
    void SetUp() override
    {
        CAccountsListCtrl::ResetSortDirections();
        CAccountEditDlg::knownDescriptions.clear();
    }
    void TearDown() override { CAccountEditDlg::knownDescriptions.clear(); }

    void CreatePage() { ASSERT_TRUE(page.Create(nullptr)); }

    FakeConfig config;
    RecordingCashflow cashflow;
    CAccountsPageDlg page{config, cashflow};
    CAccountsListCtrl& list = page.GetAccountsList();
    win::ScriptedRunner runner;
};

TEST_F(AccountsPageTest, AttachingCreatesTheColumnsWithStoredOrDefaultWidths)
{
    config.ints[{"AccountsList", "ColumnWidth_1"}] = 95;
    CreatePage();
    ASSERT_TRUE(list.HasWindow());
    ASSERT_EQ(list.GetColumnCount(), 2);
    EXPECT_EQ(list.GetColumnHeading(0), "Description");
    EXPECT_EQ(list.GetColumnHeading(1), "Balance");
    EXPECT_EQ(list.GetColumnFormat(0), win::LVCFMT_LEFT);
    EXPECT_EQ(list.GetColumnFormat(1), win::LVCFMT_RIGHT);
    EXPECT_EQ(list.win::CListCtrl::GetColumnWidth(0), win::ScaleForFont(200));
    EXPECT_EQ(list.win::CListCtrl::GetColumnWidth(1), 95);
    EXPECT_TRUE(list.GetExtendedStyle() & win::LVS_EX_FULLROWSELECT);
}

TEST_F(AccountsPageTest, TotalIsZeroWhileTheListHasNoWindow)
{
    EXPECT_EQ(list.GetTotalBalance(), 0);
    CreatePage();
    list.AddAccount("Checking", 100, Selection::Leave);
    EXPECT_EQ(list.GetTotalBalance(), 100);
    page.DestroyWindow();
    ASSERT_FALSE(list.HasWindow());
    EXPECT_EQ(list.GetItemCount(), 1);
    EXPECT_EQ(list.GetTotalBalance(), 0);
}

TEST_F(AccountsPageTest, AccountsGoInDescriptionOrderAndEveryChangeRecalculatesFromRowZero)
{
    CreatePage();
    EXPECT_EQ(list.AddAccount("savings", 100, Selection::Leave), 0);
    EXPECT_EQ(list.AddAccount("Checking", -40, Selection::Select), 0);
    EXPECT_EQ(list.AddAccount("Wallet", 15, Selection::Leave), 2);
    EXPECT_EQ(Column(list, 0), (Texts{"Checking", "savings", "Wallet"}));
    EXPECT_EQ(Column(list, 1), (Texts{"-40", "100", "15"}));
    EXPECT_EQ(list.GetSelectedIndex(), 0);
    EXPECT_EQ(list.GetTotalBalance(), 75);

    list.UpdateAccount(1, "Savings", 60);
    list.DeleteItemAt(2);
    EXPECT_EQ(list.GetTotalBalance(), 20);
    EXPECT_EQ(cashflow.recalculations, (std::vector<int>{0, 0, 0, 0, 0}));
}

// Loading adds a file's accounts all at once: the rows must be those of adding them one
// by one (equal and case-folded names keep the order they came in), into an empty list or
// one that has rows, and the projection is recalculated once, not once per account.
TEST(AccountsListBulkTest, AddingManyAtOnceGivesTheRowsOfAddingThemOneByOneAndRecalculatesOnce)
{
    std::mt19937 random(10);
    const char* names[] = {"rent", "Rent", "RENT", "pay", "Pay day", "_x", "a", "B", "b", "", "savings", "Savings"};
    for (int round = 0; round < 40; ++round) {
        FakeConfig config;
        RecordingCashflow oneByOneCashflow;
        RecordingCashflow atOnceCashflow;
        CAccountsPageDlg oneByOnePage(config, oneByOneCashflow);
        CAccountsPageDlg atOncePage(config, atOnceCashflow);
        ASSERT_TRUE(oneByOnePage.Create(nullptr));
        ASSERT_TRUE(atOncePage.Create(nullptr));
        CAccountsListCtrl& oneByOne = oneByOnePage.GetAccountsList();
        CAccountsListCtrl& atOnce = atOncePage.GetAccountsList();
        // Every other round the list already has an account or two.
        for (int i = round % 2 ? int(random() % 3) : 0; i > 0; --i) {
            const std::string name = names[random() % std::size(names)];
            oneByOne.AddAccount(name, i, Selection::Leave);
            atOnce.AddAccount(name, i, Selection::Leave);
        }
        atOnceCashflow.recalculations.clear();
        std::vector<AccountData> accounts;
        const int count = std::uniform_int_distribution<int>(1, 40)(random);
        for (int i = 0; i < count; ++i) {
            accounts.push_back({names[random() % std::size(names)], std::int32_t(random() % 200) - 100});
            oneByOne.AddAccount(accounts.back().description, accounts.back().balance, Selection::Leave);
        }
        atOnce.AddAccounts(accounts);
        ASSERT_EQ(Column(atOnce, 0), Column(oneByOne, 0)) << "round " << round;
        ASSERT_EQ(Column(atOnce, 1), Column(oneByOne, 1)) << "round " << round;
        ASSERT_EQ(atOnce.GetTotalBalance(), oneByOne.GetTotalBalance()) << "round " << round;
        ASSERT_EQ(atOnce.GetSelectedCount(), 0) << "round " << round;
        ASSERT_EQ(atOnceCashflow.recalculations, std::vector<int>{0}) << "round " << round;
        // Each row's record follows it, as the balance sort shows (the sort direction is
        // shared by every accounts list).
        CAccountsListCtrl::ResetSortDirections();
        oneByOne.SortByColumn(1);
        CAccountsListCtrl::ResetSortDirections();
        atOnce.SortByColumn(1);
        ASSERT_EQ(Column(atOnce, 0), Column(oneByOne, 0)) << "round " << round;
    }
}

TEST_F(AccountsPageTest, TheTotalIsTheOpeningAmountOfTheProjection)
{
    testing_support::TzGuard tz(testing_support::kEastern);
    // The page and the projection refer to each other, as in the main window.
    struct Window {
        FakeConfig config;
        CAccountsPageDlg page;
        NoTransactions transactions;
        CashFlowProjection projection;
        Window() : page(config, projection), projection(page.GetAccountsList(), transactions, 13, "Current Accounts") {}
    } window;
    ASSERT_TRUE(window.page.Create(nullptr));
    CAccountsListCtrl& accounts = window.page.GetAccountsList();
    accounts.AddAccount("Checking", 100, Selection::Leave);
    accounts.AddAccount("Loan", -40, Selection::Leave);
    accounts.AddAccount("Savings", 15, Selection::Leave);
    ASSERT_EQ(window.projection.GetCount(), 1);
    EXPECT_EQ(window.projection.GetAmount(0), 75);
    EXPECT_EQ(window.projection.GetBalance(0), 75);

    accounts.UpdateAccount(1, "Loan", -50);
    EXPECT_EQ(window.projection.GetBalance(0), 65);
    accounts.DeleteItemAt(0);
    EXPECT_EQ(window.projection.GetBalance(0), -35);
}

TEST_F(AccountsPageTest, ColumnClicksSortEachColumnDescendingFirstThenAlternate)
{
    CreatePage();
    list.AddAccount("checking", 100, Selection::Leave);
    list.AddAccount("Savings", -40, Selection::Leave);
    list.AddAccount("Brokerage", 15, Selection::Leave);

    list.NotifyColumnClick(1);
    EXPECT_EQ(Column(list, 1), (Texts{"100", "15", "-40"}));
    list.NotifyColumnClick(1);
    EXPECT_EQ(Column(list, 1), (Texts{"-40", "15", "100"}));
    // Description has its own direction: its first click is still Z to A, ignoring case.
    list.NotifyColumnClick(0);
    EXPECT_EQ(Column(list, 0), (Texts{"Savings", "checking", "Brokerage"}));
    list.NotifyColumnClick(0);
    EXPECT_EQ(Column(list, 0), (Texts{"Brokerage", "checking", "Savings"}));
    list.NotifyColumnClick(1);
    EXPECT_EQ(Column(list, 1), (Texts{"100", "15", "-40"}));
    // The texts moved with their rows.
    EXPECT_EQ(Column(list, 0), (Texts{"checking", "Brokerage", "Savings"}));
}

TEST_F(AccountsPageTest, BalanceSortDoesNotOverflowOnExtremeBalances)
{
    CreatePage();
    list.AddAccount("a", 2147483647, Selection::Leave);
    list.AddAccount("b", -2147483647 - 1, Selection::Leave);
    list.AddAccount("c", 0, Selection::Leave);
    list.SortByColumn(1);
    EXPECT_EQ(Column(list, 0), (Texts{"a", "c", "b"}));
    EXPECT_EQ(list.GetTotalBalance(), -1);
}

TEST_F(AccountsPageTest, ARenamedAccountKeepsItsRowUntilTheNextSort)
{
    CreatePage();
    list.AddAccount("Checking", 10, Selection::Leave);
    list.AddAccount("Savings", 20, Selection::Leave);
    list.UpdateAccount(0, "Vacation", 30);
    EXPECT_EQ(Column(list, 0), (Texts{"Vacation", "Savings"}));
    EXPECT_EQ(Column(list, 1), (Texts{"30", "20"}));
    // The row's record follows the change, so the sort sees the new values.
    list.SortByColumn(0);
    list.SortByColumn(0);
    EXPECT_EQ(Column(list, 0), (Texts{"Savings", "Vacation"}));
    list.SortByColumn(1);
    EXPECT_EQ(Column(list, 0), (Texts{"Vacation", "Savings"}));
}

TEST_F(AccountsPageTest, DoubleClickEditsTheSelectedAccountInPlace)
{
    CreatePage();
    list.AddAccount("Checking", 10, Selection::Leave);
    list.AddAccount("Savings", -20, Selection::Select);
    cashflow.recalculations.clear();
    runner.OnNextDialog([](win::CDialog& d) {
        EXPECT_EQ(d.GetDlgItemText(win::IDOK), "Update");
        EXPECT_EQ(d.GetDlgItemText(res::IDC_DESCRIPTION), "Savings");
        EXPECT_EQ(d.GetDlgItemText(res::IDC_BALANCE), "-20");
        d.SetDlgItemText(res::IDC_DESCRIPTION, "Annual savings");
        d.SetDlgItemText(res::IDC_BALANCE, "250");
        d.PressButton(win::IDOK);
    });
    list.NotifyDoubleClick(1);
    EXPECT_EQ(Column(list, 0), (Texts{"Checking", "Annual savings"}));
    EXPECT_EQ(Column(list, 1), (Texts{"10", "250"}));
    EXPECT_EQ(cashflow.recalculations, std::vector<int>{0});

    // Cancel changes nothing and recalculates nothing.
    runner.OnNextDialog([](win::CDialog& d) {
        d.SetDlgItemText(res::IDC_BALANCE, "1");
        d.PressButton(win::IDCANCEL);
    });
    list.NotifyDoubleClick(1);
    EXPECT_EQ(Column(list, 1), (Texts{"10", "250"}));
    EXPECT_EQ(cashflow.recalculations.size(), 1u);

    // A double-click that leaves no row selected opens nothing.
    list.SetItemState(1, 0, win::LVIS_SELECTED);
    list.NotifyDoubleClick(-1);
    EXPECT_EQ(runner.DialogsRun().size(), 2u);
}

TEST_F(AccountsPageTest, DeletingAsksFirstAndNoKeepsTheAccount)
{
    CreatePage();
    list.AddAccount("Checking", 10, Selection::Select);
    cashflow.recalculations.clear();

    runner.AnswerNextMessageBox(win::IDNO);
    page.DeleteSelected();
    ASSERT_EQ(runner.MessageBoxes().size(), 1u);
    EXPECT_EQ(runner.MessageBoxes()[0].text, "Are you sure you want to delete the selected entry?");
    EXPECT_EQ(runner.MessageBoxes()[0].caption, "Delete Selection");
    EXPECT_EQ(list.GetItemCount(), 1);
    EXPECT_TRUE(cashflow.recalculations.empty());

    runner.AnswerNextMessageBox(win::IDYES);
    page.DeleteSelected();
    EXPECT_EQ(list.GetItemCount(), 0);
    EXPECT_EQ(cashflow.recalculations, std::vector<int>{0});

    // Nothing selected: nothing to ask about.
    page.DeleteSelected();
    EXPECT_EQ(runner.MessageBoxes().size(), 2u);
}

TEST_F(AccountsPageTest, EditorsListDescriptionsConfirmedEarlierEvenAfterTheAccountIsGone)
{
    CreatePage();
    // Loaded accounts are not known to the editor...
    list.AddAccount("Loaded", 5, Selection::Leave);
    // ...until an editor confirms them, even unchanged.
    runner.OnNextDialog([](win::CDialog& d) { d.PressButton(win::IDOK); });
    list.EditAccount(0);
    EXPECT_EQ(Column(list, 1), Texts{"5"});

    // The main window's Add a New Account command.
    CAccountEditDlg add(CAccountEditDlg::Mode::Add);
    runner.OnNextDialog([](win::CDialog& d) {
        d.SetDlgItemText(res::IDC_DESCRIPTION, "Checking");
        d.SetDlgItemText(res::IDC_BALANCE, "100");
        d.PressButton(win::IDOK);
    });
    ASSERT_EQ(add.DoModal(), win::IDOK);
    list.AddAccount(add.m_description, add.m_balance, Selection::Select);

    runner.AnswerNextMessageBox(win::IDYES);
    page.DeleteSelected();
    EXPECT_EQ(Column(list, 0), Texts{"Loaded"});

    std::vector<std::string> listed;
    runner.OnNextDialog([&listed](win::CDialog& d) {
        auto* combo = d.GetDlgItemAs<win::CComboBox>(res::IDC_DESCRIPTION);
        for (int i = 0; i < combo->GetCount(); ++i)
            listed.push_back(combo->GetLBText(i));
        d.PressButton(win::IDCANCEL);
    });
    list.EditAccount(0);
    EXPECT_EQ(listed, (Texts{"Checking", "Loaded"}));
}

TEST_F(AccountsPageTest, SavingWithoutAccountsWritesNoAccountsElement)
{
    CreatePage();
    CXmlDocument document;
    ASSERT_TRUE(DataFile::StartDocument(document));
    const std::string before = document.GetDocument();
    page.Save(document);
    EXPECT_EQ(document.GetDocument(), before);
}

TEST_F(AccountsPageTest, SavingWritesEveryAccountInTheListsCurrentOrder)
{
    CreatePage();
    list.AddAccount("Checking", 100, Selection::Leave);
    list.AddAccount("Savings & <more>", -40, Selection::Leave);
    list.AddAccount("Brokerage", 0, Selection::Leave);
    list.SortByColumn(1);

    CXmlDocument document;
    ASSERT_TRUE(DataFile::StartDocument(document));
    page.Save(document);
    ASSERT_TRUE(DataFile::WriteCashflow(document, 0, 13));
    const std::string text = document.GetDocument();

    // Read back as the loader reads it. CASHFLOW came after ACCOUNTS here, so the page
    // must have left the document positioned under the top-level element.
    CXmlDocument reread;
    ASSERT_TRUE(reread.SetDocument(text)) << text;
    ASSERT_TRUE(DataFile::FindRoot(reread));
    const std::vector<DataFile::Account> accounts = DataFile::ReadAccounts(reread);
    ASSERT_EQ(accounts.size(), 3u) << text;
    EXPECT_EQ(accounts[0].description, "Checking");
    EXPECT_EQ(accounts[0].balance, 100);
    EXPECT_EQ(accounts[1].description, "Brokerage");
    EXPECT_EQ(accounts[1].balance, 0);
    EXPECT_EQ(accounts[2].description, "Savings & <more>");
    EXPECT_EQ(accounts[2].balance, -40);

    CXmlDocument again;
    ASSERT_TRUE(again.SetDocument(text));
    ASSERT_TRUE(DataFile::FindRoot(again));
    EXPECT_TRUE(DataFile::ReadCashflow(again).has_value()) << text;
}

} // namespace
