#pragma once

// Where a list view in owner-data mode (CListCtrl::SetDataSource) finds its rows: the
// list keeps none of its own and asks the source, on demand, for the row count, the cell
// texts and the selected state. The source tells the list when its rows changed
// (CListCtrl::DataSourceChanged); the view is then refreshed once, however many changes
// came before.

#include <cstddef>
#include <string>

namespace win {

class IListDataSource {
public:
    virtual int GetRowCount() = 0;
    // The text of a cell; row and column are in range.
    virtual std::string GetCellText(int row, int column) = 0;
    // The first `bytes` bytes of a cell's text (all of a shorter one), which may end inside
    // a character: the view shows only the start of a long text. The default cuts
    // GetCellText; a source holding long texts answers without copying them whole.
    virtual std::string GetCellTextStart(int row, int column, std::size_t bytes)
    {
        std::string text = GetCellText(row, column);
        if (text.size() > bytes)
            text.resize(bytes);
        return text;
    }
    virtual bool IsRowSelected(int row) = 0;
    virtual void SetRowSelected(int row, bool selected) = 0;
    // The first selected row after `after` (-1: from the top), or -1. The default asks
    // row by row.
    virtual int GetNextSelectedRow(int after)
    {
        for (int row = after < 0 ? 0 : after + 1, count = GetRowCount(); row < count; ++row)
            if (IsRowSelected(row))
                return row;
        return -1;
    }

protected:
    ~IListDataSource() = default;
};

} // namespace win
