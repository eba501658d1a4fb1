#include "ui/trans_list_ctrl.h"

#include "res/resource.h"
#include "ui/platform/controls.h"
#include "ui/platform/dialog_builder.h"
#include "ui/platform/scripted_runner.h"

#include "support/tz_guard.h"
#include "trans_test_support.h"

#include <gtest/gtest.h>

#include <QFontMetrics>
#include <QWidget>

#include <algorithm>
#include <climits>
#include <memory>
#include <random>
#include <sstream>
#include <string>
#include <vector>

namespace {

using testing_support::kEastern;
using testing_support::TzGuard;
using trans_testing::TransactionsHarness;

// What the projection shows, one "date description amount balance" text per row.
std::vector<std::string> Projection(CashFlowProjection& projection)
{
    std::vector<std::string> rows;
    for (int r = 0; r < projection.GetCount(); ++r)
        rows.push_back(FormatDate(projection.GetDate(r)) + " " + projection.GetDescription(r) + " " +
                       std::to_string(projection.GetAmount(r)) + " " + std::to_string(projection.GetBalance(r)));
    return rows;
}

std::vector<std::string> Column(CTransListCtrl& list, int column)
{
    std::vector<std::string> texts;
    for (int r = 0; r < list.GetItemCount(); ++r)
        texts.push_back(list.GetItemText(r, column));
    return texts;
}

std::unique_ptr<CDateRepeater> Once() { return std::make_unique<CDateRepeaterOnce>(); }

class TransListCtrlTest : public ::testing::Test {
protected:
    TzGuard m_tz{kEastern};
    const TimeValue m_start = MakeDate(2026, 3, 7);
    TransactionsHarness m_harness{m_start, 1, 1000};
    CTransListCtrl& m_list = m_harness.List();
    CashFlowProjection& m_projection = m_harness.projection;
};

TEST_F(TransListCtrlTest, ColumnsHaveTheirHeadingsAlignmentsAndDefaultWidths)
{
    ASSERT_EQ(m_list.GetColumnCount(), 4);
    const std::vector<std::string> headings{"Description", "Start Date", "Amount", "Repeats"};
    const std::vector<int> formats{win::LVCFMT_LEFT, win::LVCFMT_LEFT, win::LVCFMT_RIGHT, win::LVCFMT_RIGHT};
    // Measured for the default UI font, scaled for the one in use.
    const std::vector<int> widths{win::ScaleForFont(160), win::ScaleForFont(70), win::ScaleForFont(60),
                                  win::ScaleForFont(60)};
    const int widestAmount = QFontMetrics(m_list.Widget()->font()).horizontalAdvance(QStringLiteral("-2147483648"));
    for (int c = 0; c < 4; ++c) {
        EXPECT_EQ(m_list.GetColumnHeading(c), headings[std::size_t(c)]);
        EXPECT_EQ(m_list.GetColumnFormat(c), formats[std::size_t(c)]);
        if (c == 2) {
            // Wide enough for the widest amount, with room for the cell's margins.
            EXPECT_GE(m_list.win::CListCtrl::GetColumnWidth(c), widestAmount + 8);
        } else {
            EXPECT_EQ(m_list.win::CListCtrl::GetColumnWidth(c), widths[std::size_t(c)]);
        }
    }
    EXPECT_EQ(m_list.GetSectionName(), "TransactionsList");
    EXPECT_TRUE(m_list.GetExtendedStyle() & win::LVS_EX_FULLROWSELECT);
}

TEST_F(TransListCtrlTest, RowsArePlacedByDescriptionAndTheNewRowIsTheOnlySelectedOne)
{
    m_list.AddTransaction(MakeDate(2026, 3, 1), "Rent/Mortgage", -600,
                          std::make_unique<CDateRepeaterMonthly>(1, 0, 1), true);
    const int payday = m_list.AddTransaction(MakeDate(2026, 3, 13), "Payday", 400,
                                             std::make_unique<CDateRepeaterWeekly>(2, 0), true);
    EXPECT_EQ(payday, 0);
    EXPECT_EQ(Column(m_list, 0), (std::vector<std::string>{"Payday", "Rent/Mortgage"}));
    EXPECT_EQ(Column(m_list, 1), (std::vector<std::string>{"03/13/2026", "03/01/2026"}));
    EXPECT_EQ(Column(m_list, 2), (std::vector<std::string>{"400", "-600"}));
    EXPECT_EQ(Column(m_list, 3), (std::vector<std::string>{"Weekly", "Monthly"}));
    EXPECT_EQ(m_list.GetSelectedCount(), 1);
    EXPECT_EQ(m_list.GetSelectedIndex(), 0);
    // A window of 31 days from 7 March: paydays 13 and 27 March, rent 1 April.
    EXPECT_EQ(Projection(m_projection),
              (std::vector<std::string>{"03/07/2026 Current Accounts 1000 1000", "03/13/2026 Payday 400 1400",
                                        "03/27/2026 Payday 400 1800", "04/01/2026 Rent/Mortgage -600 1200"}));
}

// Loading adds a file's transactions all at once: the rows, their texts and the selection
// must be those of adding them one by one, ties and capitals included.
TEST(TransListCtrlBulkTest, AddingManyAtOnceGivesTheRowsOfAddingThemOneByOne)
{
    TzGuard zone(kEastern);
    std::mt19937 random(9);
    const char* names[] = {"rent", "Rent", "RENT", "pay", "Pay day", "_x", "a", "B", "b", ""};
    for (int round = 0; round < 30; ++round) {
        TransactionsHarness oneByOne(MakeDate(2026, 3, 7), 2, 0);
        TransactionsHarness atOnce(MakeDate(2026, 3, 7), 2, 0);
        std::vector<std::unique_ptr<TransactionData>> records;
        const int count = std::uniform_int_distribution<int>(1, 40)(random);
        for (int i = 0; i < count; ++i) {
            const std::string name = names[random() % std::size(names)];
            const TimeValue date = MakeDate(2026, 3, 1 + int(random() % 28));
            const auto amount = std::int32_t(random() % 200) - 100;
            const int weeks = int(random() % 4); // 0: no rule given
            auto rule = [weeks]() -> std::unique_ptr<CDateRepeater> {
                if (weeks == 0)
                    return nullptr;
                return std::make_unique<CDateRepeaterWeekly>(weeks, 0);
            };
            oneByOne.List().AddTransaction(date, name, amount, rule(), i + 1 == count,
                                           CTransListCtrl::Projection::Later);
            records.push_back(std::make_unique<TransactionData>(date, name, amount, rule()));
        }
        atOnce.List().AddTransactions(std::move(records), true);
        for (int column = 0; column < CTransListCtrl::kColumnCount; ++column)
            ASSERT_EQ(Column(atOnce.List(), column), Column(oneByOne.List(), column)) << "round " << round;
        ASSERT_EQ(atOnce.List().GetSelectedIndex(), oneByOne.List().GetSelectedIndex()) << "round " << round;
        ASSERT_EQ(atOnce.List().GetSelectedCount(), 1u) << "round " << round;
        oneByOne.projection.Rebuild();
        atOnce.projection.Rebuild();
        ASSERT_EQ(Projection(atOnce.projection), Projection(oneByOne.projection)) << "round " << round;
    }
}

TEST_F(TransListCtrlTest, ATransactionOfAmountZeroIsListedButYieldsNoRows)
{
    m_list.AddTransaction(m_start, "Nothing", 0, std::make_unique<CDateRepeaterDaily>(1, 0), true);
    EXPECT_EQ(Column(m_list, 2), std::vector<std::string>{"0"});
    EXPECT_EQ(m_projection.GetCount(), 1);
}

TEST_F(TransListCtrlTest, EqualDatesKeepInsertionOrderUntilARebuildGivesListOrder)
{
    const TimeValue day = MakeDate(2026, 3, 20);
    m_list.AddTransaction(day, "b", 1, Once(), true);
    m_list.AddTransaction(day, "a", 2, Once(), true);
    m_list.AddTransaction(day, "c", 3, Once(), true);
    auto descriptions = [&] {
        std::string order;
        for (int r = 1; r < m_projection.GetCount(); ++r)
            order += m_projection.GetDescription(r);
        return order;
    };
    EXPECT_EQ(descriptions(), "bac");
    m_projection.Rebuild();
    EXPECT_EQ(descriptions(), "abc");
    // The edited one comes last among its date's rows.
    m_list.UpdateTransaction(0, day, "a", 20, Once());
    EXPECT_EQ(descriptions(), "bca");
    EXPECT_EQ(m_projection.GetBalance(3), 1000 + 1 + 3 + 20);
    // Moving the window projects again in the list's order, also after a sort by amount.
    m_projection.SetStartDate(AddDays(m_start, 1));
    EXPECT_EQ(descriptions(), "abc");
    m_list.SortByColumn(CTransListCtrl::AmountColumn); // descending first: a, c, b
    m_projection.SetStartDate(m_start);
    EXPECT_EQ(descriptions(), "acb");
}

TEST_F(TransListCtrlTest, ValuesAreReadBackFromTheRowTexts)
{
    const int row = m_list.AddTransaction(MakeDate(2026, 3, 10), "Groceries", -80, Once(), true);
    // A row text changed behind the record's back is what projecting uses.
    m_list.SetItemText(row, CTransListCtrl::AmountColumn, "-90");
    m_list.SetItemText(row, CTransListCtrl::DateColumn, "03/11/2026");
    m_list.WithdrawTransaction(m_list.GetRecord(row), false);
    m_list.ProjectTransaction(row);
    EXPECT_EQ(Projection(m_projection),
              (std::vector<std::string>{"03/07/2026 Current Accounts 1000 1000", "03/11/2026 Groceries -90 910"}));
    EXPECT_EQ(m_list.GetAmount(row), -90);
    EXPECT_EQ(m_list.GetDate(row), MakeDate(2026, 3, 11));
}

TEST_F(TransListCtrlTest, DeletingTheOnlyTransactionLeavesTheOpeningRowAndForgetsTheRecord)
{
    m_list.AddTransaction(m_start, "Rent", -600, std::make_unique<CDateRepeaterDaily>(7, 0), true);
    const TransactionData* record = m_list.GetRecord(0);
    EXPECT_EQ(m_list.FindTransaction(record), 0);
    EXPECT_EQ(m_projection.GetCount(), 6);
    m_list.DeleteItemAt(0);
    EXPECT_EQ(m_list.GetItemCount(), 0);
    EXPECT_EQ(m_list.FindTransaction(record), -1);
    EXPECT_EQ(Projection(m_projection), std::vector<std::string>{"03/07/2026 Current Accounts 1000 1000"});
}

TEST_F(TransListCtrlTest, DeletingRecomputesTheBalancesAfterTheDeletedRows)
{
    m_list.AddTransaction(MakeDate(2026, 3, 10), "a", 100, Once(), true);
    m_list.AddTransaction(MakeDate(2026, 3, 12), "b", 10, Once(), true);
    m_list.AddTransaction(MakeDate(2026, 3, 14), "c", 1, Once(), true);
    m_list.DeleteItemAt(1);
    EXPECT_EQ(Projection(m_projection),
              (std::vector<std::string>{"03/07/2026 Current Accounts 1000 1000", "03/10/2026 a 100 1100",
                                        "03/14/2026 c 1 1101"}));
}

TEST_F(TransListCtrlTest, FindTransactionOfAReplacedRecordIsMinusOne)
{
    m_list.AddTransaction(m_start, "x", 5, Once(), true);
    m_list.AddTransaction(m_start, "y", 6, Once(), true);
    const TransactionData* old = m_list.GetRecord(1);
    m_list.UpdateTransaction(1, m_start, "y", 7, Once());
    EXPECT_EQ(m_list.FindTransaction(old), -1);
    EXPECT_EQ(m_list.FindTransaction(m_list.GetRecord(1)), 1);
    EXPECT_EQ(m_list.FindTransaction(nullptr), -1);
}

TEST_F(TransListCtrlTest, EditingIntoAmountZeroRemovesItsRowsAndRecomputesEveryBalance)
{
    m_list.AddTransaction(MakeDate(2026, 3, 8), "daily", -1, std::make_unique<CDateRepeaterDaily>(1, 0), true);
    m_list.AddTransaction(MakeDate(2026, 3, 9), "once", 50, Once(), true);
    m_list.UpdateTransaction(0, MakeDate(2026, 3, 8), "daily", 0, std::make_unique<CDateRepeaterDaily>(1, 0));
    EXPECT_EQ(Projection(m_projection),
              (std::vector<std::string>{"03/07/2026 Current Accounts 1000 1000", "03/09/2026 once 50 1050"}));
    EXPECT_EQ(Column(m_list, 2), (std::vector<std::string>{"0", "50"}));
}

TEST_F(TransListCtrlTest, EditCancelledChangesNothingAndConfirmedReplacesTheTransaction)
{
    win::ScriptedRunner runner;
    m_list.AddTransaction(MakeDate(2026, 3, 9), "Payday", 400, std::make_unique<CDateRepeaterWeekly>(2, 0), true);
    const TransactionData* record = m_list.GetRecord(0);
    const CDateRepeater* rule = record->repeater.get();
    const auto before = Projection(m_projection);

    runner.OnNextDialog([](win::CDialog& dialog) {
        dialog.SetDlgItemText(res::IDC_AMOUNT, "999");
        dialog.PressButton(win::IDCANCEL);
    });
    m_list.EditTransaction(0);
    EXPECT_EQ(m_list.GetRecord(0), record);
    EXPECT_EQ(record->repeater.get(), rule);
    EXPECT_EQ(Column(m_list, 2), std::vector<std::string>{"400"});
    EXPECT_EQ(Projection(m_projection), before);

    runner.OnNextDialog([](win::CDialog& dialog) {
        EXPECT_EQ(dialog.GetDlgItemText(res::IDC_AMOUNT), "400");
        dialog.SetDlgItemText(res::IDC_AMOUNT, "250");
        dialog.PressButton(res::IDC_DEBIT);
        dialog.PressButton(res::IDC_NO_REPEAT);
        dialog.PressButton(win::IDOK);
    });
    m_list.EditTransaction(0);
    EXPECT_EQ(m_list.FindTransaction(record), -1);
    EXPECT_EQ(Column(m_list, 2), std::vector<std::string>{"-250"});
    EXPECT_EQ(Column(m_list, 3), std::vector<std::string>{"Once"});
    EXPECT_EQ(Projection(m_projection),
              (std::vector<std::string>{"03/07/2026 Current Accounts 1000 1000", "03/09/2026 Payday -250 750"}));
}

TEST_F(TransListCtrlTest, DoubleClickEditsTheSelectedRowAndDoesNothingWithoutOne)
{
    win::ScriptedRunner runner;
    m_list.AddTransaction(m_start, "x", 5, Once(), true);
    m_list.SetItemState(0, 0, win::LVIS_SELECTED);
    m_list.NotifyDoubleClick(-1);
    EXPECT_TRUE(runner.DialogsRun().empty());

    m_list.SetItemState(0, win::LVIS_SELECTED, win::LVIS_SELECTED);
    runner.OnNextDialog([](win::CDialog& dialog) { dialog.PressButton(win::IDCANCEL); });
    m_list.NotifyDoubleClick(0);
    EXPECT_EQ(runner.DialogsRun(), std::vector<int>{res::IDD_TRANS_EDIT});
}

struct SortRow {
    const char* description;
    TimeValue date;
    std::int32_t amount;
    int type;
};

std::unique_ptr<CDateRepeater> RuleOfType(int type)
{
    switch (type) {
    case RepeatDaily:
        return std::make_unique<CDateRepeaterDaily>(1, 3);
    case RepeatWeekly:
        return std::make_unique<CDateRepeaterWeekly>(1, 3);
    case RepeatMonthly:
        return std::make_unique<CDateRepeaterMonthly>(1, 3, 5);
    case RepeatYearly:
        return std::make_unique<CDateRepeaterYearly>(1, 3);
    default:
        return std::make_unique<CDateRepeaterOnce>();
    }
}

TEST_F(TransListCtrlTest, EachColumnSortsDescendingOnItsFirstClickAndAlternatesOnItsOwn)
{
    CTransListCtrl::ResetSortDirections();
    const std::vector<SortRow> rows{
        {"delta", MakeDate(2026, 5, 1), 2147483647, RepeatOnce},
        {"Alpha", MakeDate(2026, 3, 9), -2147483647 - 1, RepeatYearly},
        {"charlie", MakeDate(2027, 1, 1), 0, RepeatWeekly},
        {"Bravo", MakeDate(2025, 1, 1), 400, RepeatMonthly},
        {"echo", MakeDate(2026, 4, 1), -600, RepeatDaily},
    };
    for (const SortRow& row : rows)
        m_list.AddTransaction(row.date, row.description, row.amount, RuleOfType(row.type), true);
    EXPECT_EQ(Column(m_list, 0), (std::vector<std::string>{"Alpha", "Bravo", "charlie", "delta", "echo"}));

    m_list.NotifyColumnClick(CTransListCtrl::DescriptionColumn);
    EXPECT_EQ(Column(m_list, 0), (std::vector<std::string>{"echo", "delta", "charlie", "Bravo", "Alpha"}));
    // The largest credit first, the largest debit last, even at the limits of an amount.
    m_list.NotifyColumnClick(CTransListCtrl::AmountColumn);
    EXPECT_EQ(Column(m_list, 2),
              (std::vector<std::string>{"2147483647", "400", "0", "-600", "-2147483648"}));
    m_list.NotifyColumnClick(CTransListCtrl::DateColumn);
    EXPECT_EQ(Column(m_list, 1), (std::vector<std::string>{"01/01/2027", "05/01/2026", "04/01/2026", "03/09/2026",
                                                           "01/01/2025"}));
    m_list.NotifyColumnClick(CTransListCtrl::RepeatsColumn);
    EXPECT_EQ(Column(m_list, 3), (std::vector<std::string>{"Yearly", "Monthly", "Weekly", "Daily", "Once"}));

    // The second click on each column sorts ascending, whatever the others did.
    m_list.NotifyColumnClick(CTransListCtrl::AmountColumn);
    EXPECT_EQ(Column(m_list, 2),
              (std::vector<std::string>{"-2147483648", "-600", "0", "400", "2147483647"}));
    m_list.NotifyColumnClick(CTransListCtrl::DescriptionColumn);
    EXPECT_EQ(Column(m_list, 0), (std::vector<std::string>{"Alpha", "Bravo", "charlie", "delta", "echo"}));
    m_list.NotifyColumnClick(CTransListCtrl::DescriptionColumn);
    EXPECT_EQ(Column(m_list, 0), (std::vector<std::string>{"echo", "delta", "charlie", "Bravo", "Alpha"}));
    // Every row keeps its own record through the sorts.
    for (int r = 0; r < m_list.GetItemCount(); ++r) {
        EXPECT_EQ(m_list.GetRecord(r)->description, m_list.GetItemText(r, 0));
        EXPECT_EQ(std::to_string(m_list.GetRecord(r)->amount), m_list.GetItemText(r, 2));
    }
    CTransListCtrl::ResetSortDirections();
}

TEST(TransListCtrlCompareTest, DescriptionsCompareFoldingOnlyAsciiCapitals)
{
    TransactionData a(0, "ABC", 0, std::make_unique<CDateRepeaterOnce>());
    TransactionData b(0, "abd", 0, std::make_unique<CDateRepeaterOnce>());
    TransactionData empty(0, "", 0, std::make_unique<CDateRepeaterOnce>());
    TransactionData same(0, "abc", 0, std::make_unique<CDateRepeaterOnce>());
    EXPECT_LT(CTransListCtrl::CompareByColumn(a, b, 0), 0);
    EXPECT_GT(CTransListCtrl::CompareByColumn(b, a, 0), 0);
    EXPECT_EQ(CTransListCtrl::CompareByColumn(a, same, 0), 0);
    EXPECT_LT(CTransListCtrl::CompareByColumn(empty, a, 0), 0);
    EXPECT_EQ(CTransListCtrl::CompareByColumn(a, b, 7), 0);
}

TEST(TransListCtrlWindowTest, DestroyingTheWindowDestroysEveryRecord)
{
    TzGuard tz(kEastern);
    TransactionsHarness harness(MakeDate(2026, 3, 7), 13, 0);
    harness.List().AddTransaction(MakeDate(2026, 3, 8), "x", 5, Once(), true);
    harness.List().AddTransaction(MakeDate(2026, 3, 8), "y", 5, Once(), true);
    harness.page.DestroyWindow();
    EXPECT_FALSE(harness.List().HasWindow());
    EXPECT_EQ(harness.List().GetItemCount(), 0);
}

// What the editor's preview shows: its date lines ("Sun 01/31/2027") and its other lines.
struct PreviewLines {
    std::vector<std::string> dates;
    std::vector<std::string> notes;
};

PreviewLines ReadPreview(const std::string& text)
{
    PreviewLines lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        if (line.size() == 14 && line[3] == ' ' && ParseDate(line.substr(4)))
            lines.dates.push_back(line.substr(4));
        else
            lines.notes.push_back(line);
    }
    return lines;
}

TEST(TransEditPreviewTest, PreviewedDatesAreTheCashFlowRowsTheConfirmedRuleGives)
{
    TzGuard tz(kEastern);
    std::mt19937 random(20261209);
    auto pick = [&random](int low, int high) { return std::uniform_int_distribution<int>(low, high)(random); };
    TransactionsHarness harness(MakeDate(2026, 12, 9), 13, 0);
    CTransListCtrl& list = harness.List();
    CashFlowProjection& projection = harness.projection;
    list.AddTransaction(MakeDate(2026, 12, 9), "Rent", -600, Once(), true);
    win::ScriptedRunner runner;

    for (int i = 0; i < 500; ++i) {
        ProjectionStartDate() = MakeDate(pick(2024, 2028), pick(1, 12), pick(1, 28));
        projection.SetDuration(pick(0, 3) == 0 ? pick(1, 99) : pick(1, 14));
        const TimeValue windowStart = ProjectionStartDate();
        const TimeValue windowEnd = projection.GetEndDate();
        // Mostly near the window, sometimes decades before it; month ends and 29 February often.
        const int year = pick(0, 9) == 0 ? pick(1970, 2020) : pick(2021, 2031);
        const int month = pick(0, 4) == 0 ? 2 : pick(1, 12);
        const int day = std::min(pick(0, 2) == 0 ? pick(28, 31) : pick(1, 28), DaysInMonth(year, month));
        const bool repeats = pick(0, 5) != 0;
        const int step = pick(0, 3), unit = pick(0, 3);
        const bool ends = pick(0, 1) == 0;
        const int occurrences = pick(0, 9) == 0 ? pick(2, 9999) : pick(2, 12);

        std::string preview;
        runner.OnNextDialog([&](win::CDialog& dialog) {
            dialog.GetDlgItemAs<win::CDateTimeCtrl>(res::IDC_DATE)->SetTime(MakeDate(year, month, day));
            dialog.PressButton(repeats ? res::IDC_REPEATS : res::IDC_NO_REPEAT);
            dialog.GetDlgItemAs<win::CComboBox>(res::IDC_STEP)->SetCurSel(step);
            dialog.GetDlgItemAs<win::CComboBox>(res::IDC_UNIT)->SetCurSel(unit);
            dialog.PressButton(ends ? res::IDC_ENDS_AFTER : res::IDC_NEVER_ENDS);
            dialog.SetDlgItemText(res::IDC_OCCURRENCES, std::to_string(occurrences));
            preview = dialog.GetDlgItemText(res::IDC_PREVIEW);
            dialog.PressButton(win::IDOK);
        });
        list.EditTransaction(0);
        ASSERT_EQ(runner.PendingScripts(), 0u);

        std::vector<std::string> rows;
        for (int r = 0; r < projection.GetCount(); ++r)
            if (projection.GetTransaction(r) == list.GetRecord(0))
                rows.push_back(FormatDate(projection.GetDate(r)));
        const PreviewLines shown = ReadPreview(preview);
        std::vector<std::string> inside;
        for (const std::string& date : shown.dates)
            if (*ParseDate(date) >= windowStart && *ParseDate(date) < windowEnd)
                inside.push_back(date);
        const std::vector<std::string> firstRows(rows.begin(), rows.begin() + std::min<std::size_t>(rows.size(), 5));
        ASSERT_EQ(inside, firstRows) << "case " << i << ":\n" << preview;
        ASSERT_FALSE(shown.dates.empty()) << preview;

        // The preview says so when the list shows fewer of its dates than it does.
        const std::string& last = shown.notes.back();
        if (inside.empty())
            EXPECT_EQ(last.rfind("None of these falls between", 0), 0u) << preview;
        else if (inside.size() < shown.dates.size())
            EXPECT_NE(last.find("holds the first " + std::to_string(inside.size()) + " of these"), std::string::npos)
                << preview;
        else
            EXPECT_EQ(last.find("Cash Flow"), std::string::npos) << preview;
    }
}

} // namespace
