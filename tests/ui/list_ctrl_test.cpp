#include <gtest/gtest.h>

#include <QApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScrollBar>
#include <QTableView>

#include <random>
#include <string>
#include <vector>

#include "res/resource.h"
#include "ui/platform/data_exchange.h"
#include "ui/platform/dialog.h"
#include "ui/platform/list_ctrl.h"
#include "ui/platform/list_row_store.h"

namespace {

// A list on a page's list view, as a page binds it.
// The row the view shows selected, or -1.
int SelectedRowIn(QTableView* view)
{
    const QModelIndexList rows = view->selectionModel()->selectedRows();
    return rows.size() == 1 ? rows.front().row() : -1;
}

class ListPage : public win::CDialog {
public:
    ListPage(int templateId, int listId, win::CListCtrl& list) : CDialog(templateId), m_listId(listId), m_list(list) {}

protected:
    void DoDataExchange(win::CDataExchange* dx) override { DDX_Control(dx, m_listId, m_list); }

private:
    int m_listId;
    win::CListCtrl& m_list;
};

std::vector<std::string> FirstColumn(const win::CListCtrl& list)
{
    std::vector<std::string> texts;
    for (int row = 0; row < list.GetItemCount(); ++row)
        texts.push_back(list.GetItemText(row, 0));
    return texts;
}

TEST(ListRowStoreTest, InsertsErasesAndSelectsAtArbitraryPositionsLikeAVector)
{
    // Enough rows to split chunks many times over; the selected rows are found through
    // counts kept per chunk, so they are checked against a plain vector too.
    std::mt19937 random(7);
    win::ListRowStore store;
    std::vector<std::pair<std::uintptr_t, bool>> reference;
    auto any = [&](std::size_t size) { return std::uniform_int_distribution<std::size_t>(0, size - 1)(random); };
    auto nextSelected = [&](std::size_t from) {
        for (std::size_t i = from; i < reference.size(); ++i)
            if (reference[i].second)
                return i;
        return win::ListRowStore::npos;
    };
    for (std::uintptr_t value = 0; value < 6000; ++value) {
        const std::size_t at = any(reference.size() + 1);
        const bool selected = value % 50 == 0;
        store.Insert(at, win::ListRow{{}, value, selected});
        reference.insert(reference.begin() + static_cast<std::ptrdiff_t>(at), {value, selected});
        if (value % 3 == 0) {
            const std::size_t gone = any(reference.size());
            store.Erase(gone);
            reference.erase(reference.begin() + static_cast<std::ptrdiff_t>(gone));
        }
        if (value % 7 == 0 && !reference.empty()) {
            const std::size_t row = any(reference.size());
            reference[row].second = !reference[row].second;
            store.SetSelected(row, reference[row].second);
        }
        if (value % 11 == 0) {
            const std::size_t from = any(reference.size() + 1);
            ASSERT_EQ(store.NextSelected(from), nextSelected(from)) << "from " << from;
        }
    }
    ASSERT_EQ(store.Size(), reference.size());
    EXPECT_EQ(store.SelectedCount(),
              static_cast<std::size_t>(std::count_if(reference.begin(), reference.end(), [](auto& r) { return r.second; })));
    for (std::size_t i = 0; i < reference.size(); ++i)
        ASSERT_EQ(std::make_pair(store.At(i).data, store.At(i).selected), reference[i]) << "row " << i;
    std::vector<win::ListRow> rows = store.TakeAll();
    EXPECT_TRUE(store.Empty());
    EXPECT_EQ(store.SelectedCount(), 0u);
    store.Assign(std::move(rows));
    ASSERT_EQ(store.Size(), reference.size());
    EXPECT_EQ(store.At(reference.size() - 1).data, reference.back().first);
    EXPECT_EQ(store.NextSelected(0), nextSelected(0));
}

TEST(ListCtrlTest, SortedStylePlacesRowsByFoldedFirstColumnTextKeepingTiesInOrder)
{
    win::CListCtrl list;
    ListPage page(res::IDD_ACCOUNTS_PAGE, res::IDC_ACCOUNTS_LIST, list); // sorted ascending
    ASSERT_TRUE(page.Create(nullptr));
    list.InsertColumn(0, "Description");
    EXPECT_EQ(list.InsertItem(0, "Rent/Mortgage", 1), 0);
    EXPECT_EQ(list.InsertItem(0, "Payday", 2), 0);
    EXPECT_EQ(list.InsertItem(5, "savings", 3), 2);
    EXPECT_EQ(list.InsertItem(0, "Savings", 4), 3); // equal when folded: after the first
    EXPECT_EQ(list.InsertItem(0, "_x", 5), 0);      // '_' sorts before letters once they are folded
    EXPECT_EQ(list.InsertItem(0, "", 6), 0);
    EXPECT_EQ(FirstColumn(list), (std::vector<std::string>{"", "_x", "Payday", "Rent/Mortgage", "savings", "Savings"}));
    EXPECT_EQ(list.GetItemData(4), 3u);
    EXPECT_EQ(list.GetItemData(5), 4u);
}

// The sorted style's rule, as a scan from the top: before the first row whose folded text
// compares greater, else last.
int FirstGreaterRow(const win::CListCtrl& list, const std::string& text)
{
    auto folded = [](std::string value) {
        for (char& c : value)
            if (c >= 'A' && c <= 'Z')
                c = static_cast<char>(c - 'A' + 'a');
        return std::vector<unsigned char>(value.begin(), value.end());
    };
    for (int row = 0; row < list.GetItemCount(); ++row)
        if (folded(list.GetItemText(row, 0)) > folded(text))
            return row;
    return list.GetItemCount();
}

TEST(ListCtrlTest, SortedStylePlacesEveryRowWhereAScanFromTheTopWould)
{
    // Random texts with many ties and case variants, mixed with the changes that can
    // leave the rows out of text order: edited texts, a sort by other data, appends.
    win::CListCtrl list;
    ListPage page(res::IDD_ACCOUNTS_PAGE, res::IDC_ACCOUNTS_LIST, list);
    ASSERT_TRUE(page.Create(nullptr));
    list.InsertColumn(0, "Description");
    std::mt19937 random(11);
    auto below = [&](int n) { return std::uniform_int_distribution<int>(0, n - 1)(random); };
    auto text = [&] {
        std::string value;
        for (int length = below(4); length > 0; --length)
            value += "aAbB_~"[below(6)];
        return value;
    };
    for (std::uintptr_t step = 1; step <= 4000; ++step) {
        const int action = below(100);
        const int count = list.GetItemCount();
        if (action < 70 || count == 0) {
            const std::string inserted = text();
            const int expected = FirstGreaterRow(list, inserted);
            ASSERT_EQ(list.InsertItem(below(count + 1), inserted, step), expected) << "step " << step;
            ASSERT_EQ(list.GetItemData(expected), step);
        } else if (action < 80) {
            list.SetItemText(below(count), 0, text());
        } else if (action < 90) {
            list.DeleteItem(below(count));
        } else if (action < 93) {
            list.AppendItem({text()}, step);
        } else if (action < 96) {
            list.SortItems([](std::uintptr_t a, std::uintptr_t b) { return a % 3 < b % 3 ? -1 : a % 3 > b % 3 ? 1 : 0; });
        } else if (action < 97) {
            list.DeleteAllItems();
        }
    }
}

TEST(ListCtrlTest, UnsortedListInsertsAtTheIndexAndAppendsBeyondTheEnd)
{
    win::CListCtrl list;
    list.InsertColumn(0, "Date");
    EXPECT_EQ(list.InsertItem(0, "b"), 0);
    EXPECT_EQ(list.InsertItem(0, "a"), 0);
    EXPECT_EQ(list.InsertItem(99, "d"), 2);
    EXPECT_EQ(list.InsertItem(2, "c"), 2);
    EXPECT_EQ(list.InsertItem(-1, "x"), -1);
    EXPECT_EQ(FirstColumn(list), (std::vector<std::string>{"a", "b", "c", "d"}));
}

int CompareData(std::uintptr_t a, std::uintptr_t b, std::uintptr_t descending)
{
    const int order = static_cast<int>(a / 10) - static_cast<int>(b / 10);
    return descending ? -order : order;
}

TEST(ListCtrlTest, CallbackSortIsStableAndKeepsTextsSelectionWithTheirRows)
{
    win::CListCtrl list;
    list.InsertColumn(0, "Name");
    list.InsertColumn(1, "Other");
    const std::uintptr_t data[] = {31, 10, 32, 11, 20, 33};
    for (std::uintptr_t value : data) {
        const int row = list.InsertItem(list.GetItemCount(), std::to_string(value), value);
        list.SetItemText(row, 1, "second " + std::to_string(value));
    }
    list.SetItemState(2, win::LVIS_SELECTED, win::LVIS_SELECTED); // 32
    ASSERT_TRUE(list.SortItems(&CompareData, 0));
    EXPECT_EQ(FirstColumn(list), (std::vector<std::string>{"10", "11", "20", "31", "32", "33"}));
    EXPECT_EQ(list.GetItemText(4, 1), "second 32");
    EXPECT_EQ(list.GetNextItem(-1, win::LVNI_SELECTED), 4);
    ASSERT_TRUE(list.SortItems(&CompareData, 1));
    EXPECT_EQ(FirstColumn(list), (std::vector<std::string>{"31", "32", "33", "20", "10", "11"}));
}

TEST(ListCtrlTest, CallbackSortSurvivesAComparisonThatIsNotAnOrder)
{
    win::CListCtrl list;
    list.InsertColumn(0, "Name");
    for (int i = 0; i < 200; ++i)
        list.InsertItem(i, std::to_string(i), static_cast<std::uintptr_t>(i));
    std::mt19937 random(3);
    ASSERT_TRUE(list.SortItems([&random](std::uintptr_t, std::uintptr_t) {
        return std::uniform_int_distribution<int>(-1, 1)(random);
    }));
    std::vector<bool> seen(200, false);
    for (int row = 0; row < list.GetItemCount(); ++row)
        seen[list.GetItemData(row)] = true;
    EXPECT_EQ(list.GetItemCount(), 200);
    EXPECT_EQ(std::count(seen.begin(), seen.end(), true), 200);
}

TEST(ListCtrlTest, SingleSelectionKeepsOneSelectedRowThroughDeletes)
{
    win::CListCtrl list;
    ListPage page(res::IDD_TRANS_PAGE, res::IDC_TRANS_LIST, list);
    ASSERT_TRUE(page.Create(nullptr));
    list.InsertColumn(0, "Description");
    for (const char* text : {"a", "b", "c"})
        list.InsertItem(0, text);
    EXPECT_EQ(list.GetNextItem(-1, win::LVNI_SELECTED), -1);
    EXPECT_EQ(list.GetSelectedCount(), 0);
    list.SetItemState(0, win::LVIS_SELECTED, win::LVIS_SELECTED);
    list.SetItemState(2, win::LVIS_SELECTED, win::LVIS_SELECTED);
    EXPECT_EQ(list.GetSelectedCount(), 1);
    EXPECT_EQ(list.GetNextItem(-1, win::LVNI_SELECTED), 2);
    auto* view = static_cast<QTableView*>(list.Widget());
    ASSERT_EQ(view->selectionModel()->selectedRows().size(), 1);
    EXPECT_EQ(view->selectionModel()->selectedRows().front().row(), 2);
    EXPECT_TRUE(list.DeleteItem(2));
    EXPECT_EQ(list.GetSelectedCount(), 0);
    EXPECT_EQ(list.GetNextItem(-1, win::LVNI_SELECTED), -1);
    EXPECT_FALSE(list.DeleteItem(2));
    // A deleted selected row with rows after it: its neighbour does not inherit the selection.
    list.InsertItem(2, "c");
    list.SetItemState(1, win::LVIS_SELECTED, win::LVIS_SELECTED);
    EXPECT_TRUE(list.DeleteItem(1));
    EXPECT_EQ(list.GetSelectedCount(), 0);
    EXPECT_EQ(list.GetNextItem(-1, win::LVNI_SELECTED), -1);
    EXPECT_TRUE(view->selectionModel()->selectedRows().isEmpty());
    EXPECT_FALSE(list.SetItemState(5, win::LVIS_SELECTED, win::LVIS_SELECTED));
    EXPECT_FALSE(list.SetItemData(-1, 1));
}

TEST(ListCtrlTest, ClickInTheViewSelectsInTheStore)
{
    win::CListCtrl list;
    ListPage page(res::IDD_TRANS_PAGE, res::IDC_TRANS_LIST, list);
    ASSERT_TRUE(page.Create(nullptr));
    list.InsertColumn(0, "Description", win::LVCFMT_LEFT, 80);
    list.InsertItem(0, "a");
    list.InsertItem(1, "b");
    auto* view = static_cast<QTableView*>(list.Widget());
    view->selectionModel()->select(view->model()->index(1, 0),
                                   QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    EXPECT_EQ(list.GetNextItem(-1, win::LVNI_SELECTED), 1);
    EXPECT_EQ(list.GetSelectedCount(), 1);
}

TEST(ListCtrlTest, BatchUpdatesTheViewOnceAndShowsEveryRow)
{
    win::CListCtrl list;
    ListPage page(res::IDD_CASHFLOW_PAGE, res::IDC_CASHFLOW_LIST, list);
    ASSERT_TRUE(page.Create(nullptr));
    list.InsertColumn(0, "Date", win::LVCFMT_LEFT, 70);
    list.InsertColumn(1, "Amount", win::LVCFMT_RIGHT, 60);
    auto* view = static_cast<QTableView*>(list.Widget());
    int resets = 0;
    int inserts = 0;
    QObject::connect(view->model(), &QAbstractItemModel::modelReset, [&resets] { ++resets; });
    QObject::connect(view->model(), &QAbstractItemModel::rowsInserted, [&inserts] { ++inserts; });
    {
        win::CListCtrl::UpdateBatch batch(list);
        for (int i = 0; i < 1000; ++i) {
            const int row = list.InsertItem(i / 2, std::to_string(i));
            list.SetItemText(row, 1, std::to_string(-i));
        }
    }
    EXPECT_EQ(resets, 1);
    EXPECT_EQ(inserts, 0);
    EXPECT_EQ(view->model()->rowCount(), 1000);
    EXPECT_EQ(view->model()->index(999, 0).data().toString(), QStringLiteral("0")) << "pushed to the end";
    EXPECT_EQ(view->model()->index(500, 1).data().toString().toStdString(), list.GetItemText(500, 1));
    EXPECT_EQ(view->horizontalHeader()->sectionSize(1), 60);
    list.InsertItem(0, "single");
    EXPECT_EQ(inserts, 1);
    EXPECT_EQ(view->model()->index(0, 0).data().toString(), QStringLiteral("single"));
    EXPECT_EQ(view->model()->index(0, 1).data(Qt::TextAlignmentRole).value<Qt::Alignment>() & Qt::AlignRight,
              Qt::AlignRight);
}

// The view lays out each painted cell's whole text, so a cell holding megabytes would take
// seconds to paint: it shows its first 4096 characters and an ellipsis, never cutting a
// character in two.
TEST(ListCtrlTest, TheViewShowsAtMost4096CharactersOfACell)
{
    win::CListCtrl list;
    ListPage page(res::IDD_TRANS_PAGE, res::IDC_TRANS_LIST, list);
    ASSERT_TRUE(page.Create(nullptr));
    list.InsertColumn(0, "Description", win::LVCFMT_LEFT, 80);
    auto* view = static_cast<QTableView*>(list.Widget());
    const char* const characters[] = {"a", " ", "\xC3\xA9", "\xE2\x82\xAC", "\xF0\x9F\x92\xB0"};
    std::mt19937 random(4096);
    for (const std::size_t length : {std::size_t(0), std::size_t(4095), std::size_t(4096), std::size_t(4097),
                                     std::size_t(5000), std::size_t(1'000'000)}) {
        std::string text;
        for (std::size_t i = 0; i < length; ++i)
            text += characters[random() % std::size(characters)];
        list.DeleteAllItems();
        list.InsertItem(0, text);
        const QList<uint> all = QString::fromStdString(text).toUcs4();
        const QList<uint> expected = all.size() <= 4096 ? all : all.mid(0, 4096) + QList<uint>{0x2026};
        EXPECT_EQ(view->model()->index(0, 0).data().toString().toUcs4(), expected) << length << " characters";
    }
}

TEST(ListCtrlTest, KeysMoveTheWholeRowSelectionAsAReportListDoes)
{
    win::CListCtrl list;
    ListPage page(res::IDD_CASHFLOW_PAGE, res::IDC_CASHFLOW_LIST, list);
    ASSERT_TRUE(page.Create(nullptr));
    list.SetExtendedStyle(win::LVS_EX_FULLROWSELECT);
    for (int column = 0; column < 4; ++column)
        list.InsertColumn(column, "Column", win::LVCFMT_LEFT, 120);
    {
        win::CListCtrl::UpdateBatch batch(list);
        for (int row = 0; row < 500; ++row)
            list.AppendItem({std::to_string(row), "b", "c", "d"});
    }
    auto* view = static_cast<QTableView*>(list.Widget());
    page.Widget()->resize(300, 300);
    page.Widget()->show();
    view->setFocus();
    QApplication::processEvents();
    const auto press = [view](int key) {
        QKeyEvent down(QEvent::KeyPress, key, Qt::NoModifier);
        QApplication::sendEvent(view, &down);
        QApplication::processEvents();
        return SelectedRowIn(view);
    };
    const int height = view->rowHeight(0);
    const int pageRows = (view->viewport()->height() + height - 1) / height;
    ASSERT_GT(pageRows, 2);
    ASSERT_LT(pageRows, 100);

    EXPECT_EQ(press(Qt::Key_End), 499);
    EXPECT_EQ(view->visualRect(view->indexAt(QPoint(0, 0))).top(), 0) << "the top row in sight is whole";
    EXPECT_EQ(press(Qt::Key_PageUp), 499 - pageRows) << "a row partly in sight counts";
    EXPECT_EQ(press(Qt::Key_Home), 0);
    EXPECT_EQ(view->horizontalScrollBar()->value(), 0);
    EXPECT_EQ(press(Qt::Key_Right), 0) << "sideways keys scroll, the row stays";
    EXPECT_GT(view->horizontalScrollBar()->value(), 0);
    EXPECT_EQ(press(Qt::Key_Down), 1);
    EXPECT_EQ(list.GetNextItem(-1, win::LVNI_SELECTED), 1);
    page.Widget()->hide();
}

// A list that records its notices.
class NoticeList : public win::CListCtrl {
public:
    std::vector<std::string> notices;

protected:
    void OnDoubleClick(int row) override { notices.push_back("double " + std::to_string(row)); }
    void OnColumnClick(int column) override { notices.push_back("column " + std::to_string(column)); }
    void OnEndTrack(int column) override
    {
        notices.push_back("end " + std::to_string(column) + " " + std::to_string(GetColumnWidth(column)));
    }
};

void SendMouse(QWidget* widget, QEvent::Type type, QPoint at, Qt::MouseButtons buttons)
{
    QMouseEvent event(type, at, widget->mapToGlobal(at), Qt::LeftButton, buttons, Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
}

TEST(ListCtrlTest, DividerDragReportsItsEndOnceOnMouseRelease)
{
    NoticeList list;
    ListPage page(res::IDD_TRANS_PAGE, res::IDC_TRANS_LIST, list);
    ASSERT_TRUE(page.Create(nullptr));
    page.Widget()->show();
    list.InsertColumn(0, "Description", win::LVCFMT_LEFT, 100);
    list.InsertColumn(1, "Date", win::LVCFMT_LEFT, 70);
    auto* view = static_cast<QTableView*>(list.Widget());
    QWidget* header = view->horizontalHeader()->viewport();
    const int y = view->horizontalHeader()->height() / 2;
    SendMouse(header, QEvent::MouseButtonPress, QPoint(99, y), Qt::LeftButton);
    SendMouse(header, QEvent::MouseMove, QPoint(110, y), Qt::LeftButton);
    SendMouse(header, QEvent::MouseMove, QPoint(129, y), Qt::LeftButton);
    EXPECT_TRUE(list.notices.empty()) << "nothing is reported while the button is down";
    SendMouse(header, QEvent::MouseButtonRelease, QPoint(129, y), Qt::NoButton);
    ASSERT_EQ(list.notices.size(), 1u);
    EXPECT_EQ(list.notices[0], "end 0 130");
    EXPECT_EQ(list.GetColumnWidth(1), 70);
}

TEST(ListCtrlTest, PlaysDoubleClickAndColumnClickNotices)
{
    NoticeList list;
    list.NotifyDoubleClick(-1);
    list.NotifyColumnClick(2);
    list.InsertColumn(0, "A", win::LVCFMT_LEFT, 10);
    list.NotifyEndTrack(0, 44);
    EXPECT_EQ(list.notices, (std::vector<std::string>{"double -1", "column 2", "end 0 44"}));
}

} // namespace
