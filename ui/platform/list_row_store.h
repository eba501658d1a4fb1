#pragma once

// The rows of a list view: cell texts, item data and selected state, in display order.
// Knows nothing of windows; CListCtrl shows it through a Qt model. Rows are kept in
// chunks of bounded size, so inserting or deleting at any position costs about the square
// root of the row count instead of the row count, and indexing stays logarithmic: a list
// of a few hundred thousand rows can be built row by row at arbitrary positions. Each chunk
// counts its selected rows, so finding the selected rows skips the chunks that have none.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace win {

struct ListRow {
    std::vector<std::string> texts; // one per column that has been set; missing ones read as empty
    std::uintptr_t data = 0;
    bool selected = false;
    // The row's check box (LVS_EX_CHECKBOXES).
    bool checked = false;
};

class ListRowStore {
public:
    std::size_t Size() const { return m_size; }
    bool Empty() const { return m_size == 0; }

    // The row at an index; the index must be less than Size(). Change a row's selected
    // state only through SetSelected.
    ListRow& At(std::size_t index);
    const ListRow& At(std::size_t index) const;

    // Inserts a row before index (index == Size() appends).
    void Insert(std::size_t index, ListRow row);
    void Append(ListRow row) { Insert(m_size, std::move(row)); }
    // Removes the row at index.
    void Erase(std::size_t index);
    void Clear();

    // Replaces all rows at once.
    void Assign(std::vector<ListRow> rows);
    // Moves all rows out, leaving the store empty.
    std::vector<ListRow> TakeAll();

    void SetSelected(std::size_t index, bool selected);
    std::size_t SelectedCount() const { return m_selectedCount; }
    // The first selected row at or after from, or npos.
    static constexpr std::size_t npos = static_cast<std::size_t>(-1);
    std::size_t NextSelected(std::size_t from) const;

    // Calls visit(index, row) for every row in order; stops early when visit returns false.
    void ForEach(const std::function<bool(std::size_t, const ListRow&)>& visit) const;

private:
    // Chunk index and offset of a row.
    std::pair<std::size_t, std::size_t> Locate(std::size_t index) const;
    void RenumberFrom(std::size_t chunk);
    static std::size_t CountSelected(const std::vector<ListRow>& rows);

    std::vector<std::vector<ListRow>> m_chunks;
    std::vector<std::size_t> m_starts; // index of the first row of each chunk
    std::vector<std::size_t> m_selectedIn; // selected rows of each chunk
    std::size_t m_size = 0;
    std::size_t m_selectedCount = 0;
};

} // namespace win
