#pragma once

// The rows of a list view: cell texts, item data and selected state, in display order.
// Knows nothing of windows; CListCtrl shows it through a Qt model. Rows are kept in
// chunks of bounded size, so inserting or deleting at any position costs about the square
// root of the row count instead of the row count, and indexing stays logarithmic: a list
// of a few hundred thousand rows can be built row by row at arbitrary positions.

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
};

class ListRowStore {
public:
    std::size_t Size() const { return m_size; }
    bool Empty() const { return m_size == 0; }

    // The row at an index; the index must be less than Size().
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

    // Calls visit(index, row) for every row in order; stops early when visit returns false.
    void ForEach(const std::function<bool(std::size_t, const ListRow&)>& visit) const;

private:
    // Chunk index and offset of a row.
    std::pair<std::size_t, std::size_t> Locate(std::size_t index) const;
    void RenumberFrom(std::size_t chunk);

    std::vector<std::vector<ListRow>> m_chunks;
    std::vector<std::size_t> m_starts; // index of the first row of each chunk
    std::size_t m_size = 0;
};

} // namespace win
