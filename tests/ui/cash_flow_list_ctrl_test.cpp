#include <gtest/gtest.h>

#include <QFontMetrics>
#include <QWidget>

#include <algorithm>

#include <QImage>

#include <string>
#include <vector>

#include "cash_flow_fakes.h"
#include "fake_config.h"
#include "model/dates.h"
#include "res/resource.h"
#include "support/tz_guard.h"
#include "ui/cash_flow_list_ctrl.h"
#include "ui/cash_flow_pg_dlg.h"
#include "ui/chart_image.h"
#include "ui/chart_source.h"
#include "ui/platform/dialog_builder.h"
#include "ui/platform/scripted_runner.h"

namespace {

using testing_support::kEastern;
using testing_support::TzGuard;

// The list inside its page, attached to its window as in the program.
class CashFlowListTest : public ::testing::Test {
protected:
    CashFlowListTest()
    {
        ProjectionStartDate() = MakeDate(2007, 1, 1);
        accounts.total = 100;
        transactions.cashflow = &list;
    }

    void Attach() { ASSERT_TRUE(page.Create(nullptr)); }

    std::vector<std::string> Row(int row)
    {
        std::vector<std::string> texts;
        for (int column = 0; column < 4; ++column)
            texts.push_back(list.GetItemText(row, column));
        return texts;
    }

    TzGuard zone{kEastern};
    FakeConfig config;
    FakeAccounts accounts;
    FakeTransactions transactions;
    CCashFlowPgDlg page{config, accounts, transactions, 13};
    CCashFlowListCtrl& list = page.CashFlowList();
};

TEST_F(CashFlowListTest, AttachingCreatesTheColumnsWithStoredOrDefaultWidthsAndTheOpeningRow)
{
    config.ints[{"CashflowList", "ColumnWidth_1"}] = 222;
    EXPECT_FALSE(list.HasWindow());
    EXPECT_EQ(list.GetItemCount(), 0);
    Attach();
    EXPECT_TRUE(list.HasWindow());
    ASSERT_EQ(list.GetColumnCount(), 4);
    const std::vector<std::string> headings = {"Date", "Description", "Amount", "Balance"};
    const std::vector<int> formats = {win::LVCFMT_LEFT, win::LVCFMT_LEFT, win::LVCFMT_RIGHT, win::LVCFMT_RIGHT};
    // Defaults are measured for the default UI font and scaled for the one in use; 222 is stored.
    const std::vector<int> widths = {win::ScaleForFont(70), 222, win::ScaleForFont(60), win::ScaleForFont(80)};
    // Amounts and balances: wide enough for the widest amount, with room for the cell's margins.
    const int widestAmount = QFontMetrics(list.Widget()->font()).horizontalAdvance(QStringLiteral("-2147483648"));
    for (int column = 0; column < 4; ++column) {
        EXPECT_EQ(list.GetColumnHeading(column), headings[column]);
        EXPECT_EQ(list.GetColumnFormat(column), formats[column]);
        if (column < 2) {
            EXPECT_EQ(list.win::CListCtrl::GetColumnWidth(column), widths[column]);
        } else {
            EXPECT_GE(list.win::CListCtrl::GetColumnWidth(column), std::max(widths[column], widestAmount + 8));
        }
    }
    EXPECT_TRUE(list.GetExtendedStyle() & win::LVS_EX_FULLROWSELECT);
    // The empty projection: one row whose amount and balance are the accounts' total.
    ASSERT_EQ(list.GetItemCount(), 1);
    EXPECT_EQ(Row(0), (std::vector<std::string>{"01/01/2007", "Current Accounts", "100", "100"}));
}

TEST_F(CashFlowListTest, RowsMadeBeforeTheWindowGetNoSecondOpeningRow)
{
    list.Rebuild();
    transactions.AddOnce(MakeDate(2007, 1, 3), 5);
    Attach();
    ASSERT_EQ(list.GetItemCount(), 2);
    EXPECT_EQ(Row(1), (std::vector<std::string>{"01/03/2007", "T", "5", "105"}));
}

TEST_F(CashFlowListTest, AnOccurrenceOnTheStartDateFollowsTheOpeningRowAndOneOnTheEndDateIsLeftOut)
{
    Attach();
    list.SetDuration(1); // 1 January to 1 February (31 days), excluded
    transactions.AddOnce(MakeDate(2007, 2, 1), 1000, "End");
    transactions.AddOnce(MakeDate(2007, 1, 1), -30, "Start");
    transactions.AddOnce(MakeDate(2007, 1, 31), 7, "Last");
    ASSERT_EQ(list.GetItemCount(), 3);
    EXPECT_EQ(Row(0), (std::vector<std::string>{"01/01/2007", "Current Accounts", "100", "100"}));
    EXPECT_EQ(Row(1), (std::vector<std::string>{"01/01/2007", "Start", "-30", "70"}));
    EXPECT_EQ(Row(2), (std::vector<std::string>{"01/31/2007", "Last", "7", "77"}));
}

TEST_F(CashFlowListTest, DurationOneLastsThirtyOneDays)
{
    struct Case {
        TimeValue start;
        TimeValue lastIncluded;
        TimeValue firstExcluded;
    };
    const Case cases[] = {
        {MakeDate(2007, 1, 1), MakeDate(2007, 1, 31), MakeDate(2007, 2, 1)},
        {MakeDate(2007, 2, 1), MakeDate(2007, 3, 3), MakeDate(2007, 3, 4)}, // not a leap year
    };
    Attach();
    for (const Case& c : cases) {
        transactions.records.clear();
        list.SetStartDate(c.start);
        list.SetDuration(1);
        EXPECT_EQ(list.GetEndDate(), c.firstExcluded) << FormatDate(c.start);
        transactions.Add(c.start, 1, std::make_unique<CDateRepeaterDaily>(1, 0));
        ASSERT_EQ(list.GetItemCount(), 32) << FormatDate(c.start);
        EXPECT_EQ(list.GetItemText(31, 0), FormatDate(c.lastIncluded));
        EXPECT_EQ(list.GetItemText(31, 3), "131");
    }
}

TEST_F(CashFlowListTest, AmountsAndBalancesBeyondThirtyTwoBitsShowInFull)
{
    accounts.total = 2147483647;
    Attach();
    transactions.Add(MakeDate(2007, 1, 2), 2147483647, std::make_unique<CDateRepeaterDaily>(1, 2));
    ASSERT_EQ(list.GetItemCount(), 3);
    EXPECT_EQ(list.GetItemText(2, 3), "6442450941");

    // Two accounts of 2,000,000,000 each, and the same owed.
    for (const std::int64_t total : {std::int64_t(4000000000), std::int64_t(-4000000000)}) {
        accounts.total = total;
        list.Recalculate(0);
        EXPECT_EQ(Row(0), (std::vector<std::string>{"01/01/2007", "Current Accounts", std::to_string(total),
                                                     std::to_string(total)}));
        EXPECT_EQ(list.GetItemText(2, 3), std::to_string(total + 2 * std::int64_t(2147483647)));
    }
}

// The view reads only the start of each cell (a description may be megabytes long): it must
// be the start of the cell's text, in every column.
TEST_F(CashFlowListTest, TheStartOfACellIsTheStartOfItsText)
{
    Attach();
    const std::string longDescription(100'000, 'd');
    transactions.Add(MakeDate(2007, 1, 2), -1234567, std::make_unique<CDateRepeaterDaily>(1, 3),
                     longDescription.c_str());
    ASSERT_EQ(list.GetItemCount(), 4);
    for (int row = 0; row < list.GetItemCount(); ++row)
        for (int column = 0; column < 4; ++column)
            for (const std::size_t bytes : {std::size_t(0), std::size_t(1), std::size_t(4), std::size_t(9),
                                            std::size_t(50'000), std::size_t(200'000)})
                ASSERT_EQ(list.GetItemTextStart(row, column, bytes), list.GetItemText(row, column).substr(0, bytes))
                    << "row " << row << ", column " << column << ", " << bytes << " bytes";
}

TEST_F(CashFlowListTest, OnlyTransactionRowsCanBeEditedAndNoneDeleted)
{
    Attach();
    transactions.AddOnce(MakeDate(2007, 1, 5), 10);
    ASSERT_EQ(list.GetItemCount(), 2);
    EXPECT_FALSE(list.CanEditEntry(0));
    EXPECT_TRUE(list.CanEditEntry(1));
    EXPECT_FALSE(list.CanEditEntry(2));
    EXPECT_FALSE(list.CanEditEntry(-1));
    list.DeleteItemAt(1);
    list.DeleteItemAt(0);
    EXPECT_EQ(list.GetItemCount(), 2);
}

TEST_F(CashFlowListTest, EditingATransactionRowOpensItsTransactionThroughTheTransactionsList)
{
    Attach();
    transactions.AddOnce(MakeDate(2007, 1, 20), 1, "Late");
    TransactionData& early = transactions.AddOnce(MakeDate(2007, 1, 10), 1, "Early");
    ASSERT_EQ(list.GetItemText(1, 1), "Early");
    win::ScriptedRunner runner; // any dialog would fail the test: none has a script
    list.EditEntry(1);
    EXPECT_EQ(transactions.found, std::vector<const TransactionData*>{&early});
    EXPECT_EQ(transactions.edited, std::vector<int>{1}) << "the record's row in the transactions list";
    EXPECT_TRUE(runner.DialogsRun().empty());
}

TEST_F(CashFlowListTest, EditingTheOpeningRowOpensTheStartingDateDialogAndOnlyANewDateRebuilds)
{
    Attach();
    transactions.AddOnce(MakeDate(2007, 1, 10), 1);
    win::ScriptedRunner runner;
    runner.OnNextDialog([](win::CDialog& dialog) { dialog.PressButton(win::IDOK); });
    list.EditEntry(0);
    EXPECT_EQ(runner.DialogsRun(), std::vector<int>{res::IDD_START_DATE});
    EXPECT_EQ(transactions.projectAllCalls, 0) << "OK on the same date does not rebuild";
    EXPECT_TRUE(transactions.edited.empty());

    runner.OnNextDialog([](win::CDialog& dialog) {
        dialog.GetDlgItemAs<win::CDateTimeCtrl>(res::IDC_DATE)->SetTime(MakeDate(2007, 1, 15));
        dialog.PressButton(win::IDCANCEL);
    });
    list.EditEntry(0);
    EXPECT_EQ(transactions.projectAllCalls, 0) << "Cancel changes nothing";
    EXPECT_EQ(list.GetStartDate(), MakeDate(2007, 1, 1));

    runner.OnNextDialog([](win::CDialog& dialog) {
        dialog.GetDlgItemAs<win::CDateTimeCtrl>(res::IDC_DATE)->SetTime(MakeDate(2007, 1, 15));
        dialog.PressButton(win::IDOK);
    });
    list.EditEntry(0);
    EXPECT_EQ(transactions.projectAllCalls, 1);
    EXPECT_EQ(list.GetStartDate(), MakeDate(2007, 1, 15));
    EXPECT_EQ(list.GetItemCount(), 1) << "the transaction of 10 January is before the new start";
}

TEST_F(CashFlowListTest, DoubleClickEditsTheSelectedRowAndNothingWithoutOne)
{
    Attach();
    transactions.AddOnce(MakeDate(2007, 1, 10), 1);
    win::ScriptedRunner runner;
    list.NotifyDoubleClick(-1);
    EXPECT_TRUE(transactions.edited.empty());
    list.SetItemState(1, win::LVIS_SELECTED, win::LVIS_SELECTED);
    list.NotifyDoubleClick(1);
    EXPECT_EQ(transactions.edited, std::vector<int>{0});
}

TEST_F(CashFlowListTest, EveryRecalculationAsksForARedraw)
{
    int redraws = 0;
    list.SetRedrawHandler([&] { ++redraws; });
    Attach();
    EXPECT_EQ(redraws, 1) << "the opening row";
    transactions.AddOnce(MakeDate(2007, 1, 10), 1);
    EXPECT_EQ(redraws, 2);
    list.Recalculate(0);
    EXPECT_EQ(redraws, 3);
    list.SetDuration(2);
    EXPECT_GE(redraws, 5) << "the opening row and the transaction";
}

TEST_F(CashFlowListTest, TheSelectionStaysWithItsRowWhenRowsAreInsertedOrDeletedBeforeIt)
{
    Attach();
    TransactionData& late = transactions.AddOnce(MakeDate(2007, 1, 20), 1, "Late");
    list.SetItemState(1, win::LVIS_SELECTED, win::LVIS_SELECTED);
    transactions.Add(MakeDate(2007, 1, 2), 1, std::make_unique<CDateRepeaterDaily>(1, 5), "Early");
    EXPECT_EQ(list.GetSelectedIndex(), 6);
    EXPECT_EQ(list.GetItemText(6, 1), "Late");
    EXPECT_EQ(list.GetSelectedCount(), 1);
    EXPECT_EQ(list.GetItemState(6, win::LVIS_SELECTED), win::LVIS_SELECTED);
    EXPECT_EQ(list.GetNextItem(6, win::LVNI_SELECTED), -1);

    // Single selection: selecting another row leaves only that one.
    list.SetItemState(2, win::LVIS_SELECTED, win::LVIS_SELECTED);
    EXPECT_EQ(list.GetSelectedCount(), 1);
    EXPECT_EQ(list.GetSelectedIndex(), 2);
    WithdrawTransactionEntries(list, &late, true);
    EXPECT_EQ(list.GetSelectedIndex(), 2);
    list.Rebuild();
    EXPECT_EQ(list.GetSelectedIndex(), -1) << "a rebuild starts from new rows";
}

int CountPixels(const QImage& image, QRgb colour)
{
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            count += image.pixel(x, y) == colour;
    return count;
}

TEST_F(CashFlowListTest, AChartDrawsTheListsRowsOnceTheListHasItsWindow)
{
    constexpr QRgb kBlack = 0xFF000000;
    constexpr QRgb kRed = 0xFFFF0000;
    list.Rebuild();
    transactions.AddOnce(MakeDate(2007, 3, 1), -300);
    EXPECT_EQ(CountPixels(RenderChartImage(list, 405, 115), kBlack), 0) << "no window, no bars";

    Attach();
    const QImage drawn = RenderChartImage(list, 405, 115);
    EXPECT_GT(CountPixels(drawn, kBlack), 0) << "100 before March";
    EXPECT_GT(CountPixels(drawn, kRed), 0) << "-200 from March";
    ProjectionChartSource rows(list);
    EXPECT_EQ(drawn, RenderChartImage(rows, 405, 115)) << "the same rows, the same chart";
}

} // namespace
