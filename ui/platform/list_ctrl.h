#pragma once

// CListCtrl: a list view in report mode. The rows (texts, item data, selected state) live
// in the control's own ListRowStore, which works with or without a window; when the
// control is attached to a list view of a dialog, a Qt model shows the store. The user's
// actions arrive as the virtual notices OnDoubleClick, OnColumnClick and OnEndTrack.
//
// Speed: every single-row operation updates the view at once; for many rows, wrap them in
// BeginUpdate/EndUpdate (or an UpdateBatch) so the view is refreshed once at the end, or
// use ReplaceAllRows/AppendItem.
//
// Owner data (SetDataSource): the rows live elsewhere and the list reads them on demand
// through an IListDataSource; the row operations then answer from the source (count,
// texts, selected state) and those that would change rows of the list's own fail.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "ui/platform/list_data_source.h"
#include "ui/platform/list_row_store.h"
#include "ui/platform/wnd.h"

namespace win {

class ListModel;

class CListCtrl : public CWnd {
public:
    CListCtrl();
    ~CListCtrl() override;

    // Columns.
    // Inserts a column before column (or last); returns its index, or -1.
    int InsertColumn(int column, const std::string& heading, int format = LVCFMT_LEFT, int width = -1);
    int GetColumnCount() const;
    // Current width in pixels (as the user left it), or 0 for no such column.
    int GetColumnWidth(int column) const;
    // The width in pixels of a text in the list's font (the application's before the list
    // has a window), without the cell's margins.
    int GetStringWidth(const std::string& text) const;
    // The height the list needs to show its heading and this many rows, frame included.
    int GetHeightForRows(int rows) const;
    bool SetColumnWidth(int column, int width);
    std::string GetColumnHeading(int column) const;
    // LVCFMT_LEFT, LVCFMT_RIGHT or LVCFMT_CENTER.
    int GetColumnFormat(int column) const;

    // Extended style (LVS_EX_FULLROWSELECT ...); SetExtendedStyle returns the old one.
    std::uint32_t GetExtendedStyle() const;
    std::uint32_t SetExtendedStyle(std::uint32_t style);

    // Rows.
    int GetItemCount() const;
    // Inserts a row with its first-column text; returns the index where it landed, or -1
    // for a negative index. With LVS_SORTASCENDING the index is ignored: the row goes
    // before the first row whose first-column text compares greater (ASCII capitals folded
    // to small letters, byte-wise), else last. An index beyond the end appends.
    int InsertItem(int index, const std::string& text);
    int InsertItem(int index, const std::string& text, std::uintptr_t data);
    // Inserts a row at exactly this index (clamped to the end), ignoring the sorted style:
    // to put a row back where it was. Returns the index, or -1 for a negative index.
    int InsertItemAt(int index, const std::string& text, std::uintptr_t data);
    // Appends a row with all its texts, ignoring the sorted style (for bulk building).
    int AppendItem(std::vector<std::string> texts, std::uintptr_t data = 0);
    // Replaces all rows in one go (one view refresh).
    void ReplaceAllRows(std::vector<ListRow> rows);
    bool DeleteItem(int row);
    bool DeleteAllItems();

    std::string GetItemText(int row, int column) const;
    // The first `bytes` bytes of a cell's text (all of a shorter one), without copying the
    // rest; it may end inside a character.
    std::string GetItemTextStart(int row, int column, std::size_t bytes) const;
    bool SetItemText(int row, int column, const std::string& text);
    std::uintptr_t GetItemData(int row) const;
    bool SetItemData(int row, std::uintptr_t data);

    // State bits (LVIS_SELECTED). Selecting a row of a single-selection list deselects
    // the others.
    bool SetItemState(int row, unsigned state, unsigned mask);
    unsigned GetItemState(int row, unsigned mask) const;
    int GetSelectedCount() const;
    // The check box of a row (LVS_EX_CHECKBOXES, the list's own rows); the user toggles it
    // with Space or a click.
    bool GetCheck(int row) const;
    bool SetCheck(int row, bool checked);
    // The next row after start (-1: from the top) with the flags (LVNI_SELECTED), or -1.
    int GetNextItem(int start, unsigned flags) const;
    bool EnsureVisible(int row);

    // Sorts the rows by a comparison of their item data; stable (equal rows keep their
    // order) and safe with any comparison.
    using CompareFunction = int (*)(std::uintptr_t data1, std::uintptr_t data2, std::uintptr_t sortData);
    bool SortItems(CompareFunction compare, std::uintptr_t sortData);
    bool SortItems(const std::function<int(std::uintptr_t, std::uintptr_t)>& compare);

    // Batches: between BeginUpdate and the matching EndUpdate the view is not told about
    // changes; EndUpdate refreshes it once. Nested batches count.
    void BeginUpdate();
    void EndUpdate();
    class UpdateBatch {
    public:
        explicit UpdateBatch(CListCtrl& list) : m_list(list) { m_list.BeginUpdate(); }
        ~UpdateBatch() { m_list.EndUpdate(); }
        UpdateBatch(const UpdateBatch&) = delete;
        UpdateBatch& operator=(const UpdateBatch&) = delete;

    private:
        CListCtrl& m_list;
    };

    // A row shown apart from the others (in italics), with a tooltip saying why: that text,
    // empty for an ordinary row. The default shows every row alike.
    virtual std::string GetRowNote(int /*row*/) { return {}; }
    // A cell marked apart from the rest of its row (in bold, with a mark in its corner that
    // needs no colour to be seen), whose tooltip and description for screen readers say
    // why: that text, empty for an ordinary cell. The default marks none.
    virtual std::string GetCellNote(int /*row*/, int /*column*/) { return {}; }

    // The rows themselves, for reading (empty in owner-data mode).
    const ListRowStore& Rows() const { return m_rows; }

    // Owner data: reads the rows from source (not owned) from now on; nullptr returns to
    // the list's own rows.
    void SetDataSource(IListDataSource* source);
    IListDataSource* GetDataSource() const { return m_source; }
    // The source's rows changed. The view is refreshed once: at the end of the current
    // batch, else when the event loop next runs; until then it keeps showing what it
    // showed, however many changes come.
    void DataSourceChanged();
    // Refreshes the view now when a refresh is due (outside a batch).
    void FlushDataSourceChanges();

    // The user's actions, as the view reports them; public so tests and scripts can
    // play them. The row is -1 when the double-click hit no row.
    void NotifyDoubleClick(int row) { OnDoubleClick(row); }
    void NotifyColumnClick(int column) { OnColumnClick(column); }
    // The user finished dragging the divider at the right of column to width.
    void NotifyEndTrack(int column, int width);
    // The user asked for a row's context menu, to be shown at a point of the screen: a
    // right click on the row (selected first; -1 off the rows), or the Menu key or
    // Shift+F10 (the selected row, -1 for none).
    void NotifyContextMenu(int row, const CPoint& screen) { OnContextMenu(row, screen); }

protected:
    // Notices; the defaults do nothing.
    virtual void OnDoubleClick(int row);
    virtual void OnColumnClick(int column);
    virtual void OnEndTrack(int column);
    virtual void OnContextMenu(int row, const CPoint& screen);

    // The attach step; derived lists create their columns here. The default does nothing.
    void PreSubclassWindow() override;
    void BindWidget() override;
    void OnWindowDestroyed() override;

private:
    friend class ListModel;
    friend class ListViewWidget;

    struct Column {
        std::string heading;
        int format = LVCFMT_LEFT;
        int width = 0;
    };

    bool IsValidRow(int row) const;
    // Where the sorted style places a row with this first-column text.
    std::size_t SortedPosition(const std::string& text) const;
    // Whether the first-column texts are in folded order around a row, and throughout.
    bool FitsInOrder(std::size_t row) const;
    bool IsOrdered() const;
    // The row count the view was last told about.
    int ViewRowCount() const;
    // The view shows the rows as they are (no refresh is due).
    bool ViewInSync() const { return !m_source || !m_sourceChanged; }
    void RefreshFromSource();
    bool Notifying() const;
    void ApplyColumnsToView();
    void ApplySelectionToView();
    void ApplyExtendedStyleToView();
    void SelectionChangedInView();
    void ColumnResizedInView(int column, int width);

    ListRowStore m_rows;
    std::vector<Column> m_columns;
    std::uint32_t m_extendedStyle = 0;
    // The first-column texts are known to be in folded order, so the sorted style can
    // find a row's place by bisection; when unknown it scans from the top.
    bool m_ordered = true;
    int m_updateDepth = 0;
    bool m_pendingReset = false;
    bool m_syncingSelection = false;
    IListDataSource* m_source = nullptr;
    int m_shownRowCount = 0;
    bool m_sourceChanged = false;
    bool m_refreshPosted = false;
    std::unique_ptr<ListModel> m_model;
};

} // namespace win
