#include <gtest/gtest.h>

#include <QWidget>

#include <string>
#include <vector>

#include "fake_config.h"
#include "res/resource.h"
#include "ui/base_list_ctrl.h"
#include "ui/list_based_page.h"
#include "ui/platform/api.h"
#include "ui/platform/controls.h"
#include "ui/platform/data_exchange.h"
#include "ui/platform/dialog_builder.h"
#include "ui/platform/scripted_runner.h"

namespace {

// A list like the transactions list: four columns created on attach.
class TestList : public CBaseListCtrl {
public:
    explicit TestList(IConfigDataManager& configuration) : CBaseListCtrl(configuration) {}

    std::vector<int> deleted;

    void DeleteItemAt(int row) override
    {
        deleted.push_back(row);
        DeleteItem(row);
    }
    std::string GetSectionName() const override { return "TransactionsList"; }
    int GetDefaultColumnWidth(int column) const override
    {
        static const int widths[] = {160, 70, 60, 60};
        return column >= 0 && column < 4 ? widths[column] : 0;
    }

protected:
    void PreSubclassWindow() override
    {
        const char* headings[] = {"Description", "Start Date", "Amount", "Repeats"};
        for (int column = 0; column < 4; ++column)
            InsertColumn(column, headings[column], column >= 2 ? win::LVCFMT_RIGHT : win::LVCFMT_LEFT,
                         GetColumnWidth(column));
        CBaseListCtrl::PreSubclassWindow();
    }
};

class TestPage : public CListBasedPage {
public:
    explicit TestPage(IConfigDataManager& configuration) : CListBasedPage(res::IDD_TRANS_PAGE), list(configuration)
    {
        SetList(list);
    }
    TestList list;

protected:
    void DoDataExchange(win::CDataExchange* dx) override { win::DDX_Control(dx, res::IDC_TRANS_LIST, list); }
};

TEST(BaseListCtrlTest, ColumnsTakeStoredWidthsElseTheDefaultsAndFullRowSelection)
{
    FakeConfig config;
    config.ints[{"TransactionsList", "ColumnWidth_1"}] = 95;
    config.ints[{"OtherList", "ColumnWidth_2"}] = 5;
    TestPage page(config);
    EXPECT_FALSE(page.list.HasWindow());
    ASSERT_TRUE(page.Create(nullptr));
    ASSERT_TRUE(page.list.HasWindow());
    ASSERT_EQ(page.list.GetColumnCount(), 4);
    const int expected[] = {160, 95, 60, 60};
    for (int column = 0; column < 4; ++column)
        EXPECT_EQ(page.list.win::CListCtrl::GetColumnWidth(column), expected[column]) << column;
    EXPECT_TRUE(page.list.GetExtendedStyle() & win::LVS_EX_FULLROWSELECT);
    EXPECT_EQ(page.GetDlgItem(res::IDC_TRANS_LIST), &page.list) << "the bound member stands for the control";
    EXPECT_TRUE(config.writes.empty()) << "reading widths writes nothing";
}

TEST(BaseListCtrlTest, EndOfADividerDragStoresOnlyThatColumn)
{
    FakeConfig config;
    TestPage page(config);
    ASSERT_TRUE(page.Create(nullptr));
    page.list.NotifyEndTrack(2, 88);
    EXPECT_EQ(config.writes, (std::vector<std::string>{"TransactionsList/ColumnWidth_2=88"}));

    // The next run reads it back; the other columns keep their defaults.
    TestPage next(config);
    ASSERT_TRUE(next.Create(nullptr));
    EXPECT_EQ(next.list.win::CListCtrl::GetColumnWidth(2), 88);
    EXPECT_EQ(next.list.win::CListCtrl::GetColumnWidth(0), 160);
}

TEST(BaseListCtrlTest, DeleteAsksFirstAndOnlyYesDeletes)
{
    FakeConfig config;
    TestPage page(config);
    ASSERT_TRUE(page.Create(nullptr));
    page.list.InsertItem(0, "Rent");
    page.list.InsertItem(0, "Payday");
    win::ScriptedRunner runner;
    runner.AnswerNextMessageBox(win::IDNO);
    page.list.DeleteWithConfirmation(1);
    EXPECT_EQ(page.list.GetItemCount(), 2);
    EXPECT_TRUE(page.list.deleted.empty());
    runner.AnswerNextMessageBox(win::IDYES);
    page.list.DeleteWithConfirmation(1);
    EXPECT_EQ(page.list.deleted, (std::vector<int>{1}));
    ASSERT_EQ(page.list.GetItemCount(), 1);
    EXPECT_EQ(page.list.GetItemText(0, 0), "Payday");
    ASSERT_EQ(runner.MessageBoxes().size(), 2u);
    const win::MessageBoxRecord& box = runner.MessageBoxes()[0];
    EXPECT_EQ(box.text, "Are you sure you want to delete the selected entry?");
    EXPECT_EQ(box.caption, "Delete Selection");
    EXPECT_EQ(box.type, win::MB_YESNO | win::MB_ICONQUESTION | win::MB_DEFBUTTON2);
    // Without an answer the default button, No, keeps the row.
    page.list.DeleteWithConfirmation(0);
    EXPECT_EQ(page.list.GetItemCount(), 1);
}

TEST(BaseListCtrlTest, SelectedIndexIsMinusOneWithoutSelectionElseTheSelectedRow)
{
    FakeConfig config;
    TestList list(config);
    EXPECT_EQ(list.GetSelectedIndex(), -1);
    list.InsertItem(0, "a");
    list.InsertItem(1, "b");
    EXPECT_EQ(list.GetSelectedIndex(), -1);
    list.SetItemState(1, win::LVIS_SELECTED, win::LVIS_SELECTED);
    EXPECT_EQ(list.GetSelectedIndex(), 1);
}

TEST(ListBasedPageTest, ResizeKeepsTheTemplateMarginsAndLeavesTheLeftMarginPlusAnEdge)
{
    FakeConfig config;
    // The page sits in its sheet as a child window, like the program's pages.
    QWidget sheet;
    win::CStatic host;
    host.Attach(&sheet, 0, win::WS_VISIBLE);
    sheet.show();
    TestPage page(config);
    ASSERT_TRUE(page.Create(&host));
    page.Widget()->show();
    const win::CRect listPlace = win::MapDialogRect(win::CRect{3, 3, 3, 3});
    const int dx = listPlace.left;
    const int dy = listPlace.top;
    const int edge = win::GetSystemMetrics(win::SM_CYEDGE);
    ASSERT_EQ(edge, 2);
    for (const auto& [width, height] : {std::pair{400, 300}, std::pair{250, 180}}) {
        page.Widget()->resize(width, height);
        const QRect list = page.list.Widget()->geometry();
        EXPECT_EQ(list.x(), dx);
        EXPECT_EQ(list.y(), dy);
        EXPECT_EQ(list.width(), width - 2 * dx - edge);
        EXPECT_EQ(list.height(), height - dy - dx - edge);
    }
}

} // namespace
