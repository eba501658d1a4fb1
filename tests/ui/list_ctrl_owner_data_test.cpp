#include <gtest/gtest.h>

#include <QAbstractItemModel>
#include <QAbstractItemView>
#include <QCoreApplication>
#include <QWidget>

#include <set>
#include <string>
#include <vector>

#include "res/resource.h"
#include "ui/platform/data_exchange.h"
#include "ui/platform/dialog.h"
#include "ui/platform/list_ctrl.h"
#include "ui/platform/list_data_source.h"

namespace {

// Rows of one column, "r0", "r1", ..., kept outside the list.
class VectorSource : public win::IListDataSource {
public:
    int GetRowCount() override { return static_cast<int>(selected.size()); }
    std::string GetCellText(int row, int) override { return "r" + std::to_string(row); }
    bool IsRowSelected(int row) override { return selected[static_cast<std::size_t>(row)]; }
    void SetRowSelected(int row, bool value) override { selected[static_cast<std::size_t>(row)] = value; }

    std::vector<bool> selected;
};

class ListPage : public win::CDialog {
public:
    ListPage() : win::CDialog(res::IDD_CASHFLOW_PAGE) {}
    win::CListCtrl list;

protected:
    void DoDataExchange(win::CDataExchange* dx) override
    {
        win::DDX_Control(dx, res::IDC_CASHFLOW_LIST, list);
    }
};

TEST(ListCtrlOwnerDataTest, TheListAnswersFromItsSourceAndReturnsToItsOwnRows)
{
    ListPage page;
    ASSERT_TRUE(page.Create(nullptr));
    win::CListCtrl& list = page.list;
    list.InsertColumn(0, "Name");
    list.InsertItem(0, "own");
    VectorSource source;
    source.selected = {false, false, true};

    list.SetDataSource(&source);
    EXPECT_EQ(list.GetItemCount(), 3);
    EXPECT_EQ(list.GetItemText(1, 0), "r1");
    EXPECT_EQ(list.GetItemText(3, 0), "");
    EXPECT_EQ(list.GetNextItem(-1, win::LVNI_SELECTED), 2);
    list.SetItemState(0, win::LVIS_SELECTED, win::LVIS_SELECTED);
    EXPECT_EQ(source.selected, (std::vector<bool>{true, false, false})) << "single selection";
    EXPECT_EQ(list.GetSelectedCount(), 1);

    auto* view = dynamic_cast<QAbstractItemView*>(list.Widget());
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(view->model()->rowCount(), 3);

    list.SetDataSource(nullptr);
    EXPECT_EQ(list.GetItemCount(), 1);
    EXPECT_EQ(list.GetItemText(0, 0), "own");
    EXPECT_EQ(view->model()->rowCount(), 1);
}

TEST(ListCtrlOwnerDataTest, ManyChangesReachTheViewAsOneRefresh)
{
    ListPage page;
    ASSERT_TRUE(page.Create(nullptr));
    win::CListCtrl& list = page.list;
    list.InsertColumn(0, "Name");
    VectorSource source;
    list.SetDataSource(&source);
    QAbstractItemModel* model = dynamic_cast<QAbstractItemView*>(list.Widget())->model();
    int resets = 0;
    QObject::connect(model, &QAbstractItemModel::modelReset, [&] { ++resets; });

    for (int row = 0; row < 1000; ++row) {
        source.selected.push_back(false);
        list.DataSourceChanged();
    }
    EXPECT_EQ(model->rowCount(), 0);
    QCoreApplication::processEvents();
    EXPECT_EQ(resets, 1);
    EXPECT_EQ(model->rowCount(), 1000);

    source.selected.resize(10);
    list.DataSourceChanged();
    list.FlushDataSourceChanges();
    EXPECT_EQ(resets, 2);
    EXPECT_EQ(model->rowCount(), 10);
    QCoreApplication::processEvents();
    EXPECT_EQ(resets, 2) << "the posted refresh finds nothing left to do";
}

// Rows that remember being asked for.
class CountingSource : public VectorSource {
public:
    std::string GetCellText(int row, int column) override
    {
        asked.insert(row);
        return VectorSource::GetCellText(row, column);
    }
    std::set<int> asked;
};

TEST(ListCtrlOwnerDataTest, NewRowsOfTheSameCountAreRepaintedWithoutAReset)
{
    ListPage page;
    ASSERT_TRUE(page.Create(nullptr));
    win::CListCtrl& list = page.list;
    list.InsertColumn(0, "Name", win::LVCFMT_LEFT, 60);
    CountingSource source;
    source.selected.assign(50'000, false);
    list.SetDataSource(&source);
    QWidget* window = list.Widget()->window();
    window->show();
    QCoreApplication::processEvents();
    QAbstractItemModel* model = dynamic_cast<QAbstractItemView*>(list.Widget())->model();
    int resets = 0;
    QObject::connect(model, &QAbstractItemModel::modelReset, [&] { ++resets; });

    // The rows in sight are read again when the view next paints; nothing else is.
    source.asked.clear();
    list.DataSourceChanged();
    // The refresh, then the paint it asks for.
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
    EXPECT_EQ(resets, 0);
    ASSERT_FALSE(source.asked.empty());
    EXPECT_EQ(*source.asked.begin(), 0);
    EXPECT_LT(*source.asked.rbegin(), 100);

    source.selected[3] = true;
    list.DataSourceChanged();
    QCoreApplication::processEvents();
    EXPECT_EQ(resets, 0);
    EXPECT_EQ(list.GetNextItem(-1, win::LVNI_SELECTED), 3);
    EXPECT_TRUE(dynamic_cast<QAbstractItemView*>(list.Widget())->selectionModel()->isRowSelected(3, {}));

    source.selected.push_back(false);
    list.DataSourceChanged();
    QCoreApplication::processEvents();
    EXPECT_EQ(resets, 1);
    EXPECT_EQ(model->rowCount(), 50'001);
    window->hide();
}

TEST(ListCtrlOwnerDataTest, PaintingAsksOnlyForTheRowsInView)
{
    // Far more rows than fit in the view.
    ListPage page;
    ASSERT_TRUE(page.Create(nullptr));
    win::CListCtrl& list = page.list;
    for (int column = 0; column < 4; ++column)
        list.InsertColumn(column, "Column", win::LVCFMT_LEFT, 60);
    CountingSource source;
    source.selected.assign(200'000, false);
    list.SetDataSource(&source);
    list.Widget()->grab();
    EXPECT_FALSE(source.asked.empty());
    EXPECT_LT(source.asked.size(), 100u);
    EXPECT_LT(*source.asked.rbegin(), 100);

    source.asked.clear();
    list.EnsureVisible(150'000);
    list.Widget()->grab();
    EXPECT_LT(source.asked.size(), 100u);
    EXPECT_GT(*source.asked.begin(), 149'000);
}

} // namespace
