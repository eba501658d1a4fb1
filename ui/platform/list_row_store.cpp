#include "ui/platform/list_row_store.h"

#include <algorithm>
#include <cassert>
#include <tuple>

namespace win {

namespace {
// Chunks split when they grow beyond twice this size and are filled up to it when rows
// are assigned in bulk.
constexpr std::size_t kChunkSize = 512;
} // namespace

std::pair<std::size_t, std::size_t> ListRowStore::Locate(std::size_t index) const
{
    assert(index < m_size);
    const auto after = std::upper_bound(m_starts.begin(), m_starts.end(), index);
    const auto chunk = static_cast<std::size_t>(after - m_starts.begin()) - 1;
    return {chunk, index - m_starts[chunk]};
}

void ListRowStore::RenumberFrom(std::size_t chunk)
{
    m_starts.resize(m_chunks.size());
    std::size_t start = chunk == 0 ? 0 : m_starts[chunk - 1] + m_chunks[chunk - 1].size();
    for (std::size_t i = chunk; i < m_chunks.size(); ++i) {
        m_starts[i] = start;
        start += m_chunks[i].size();
    }
}

std::size_t ListRowStore::CountSelected(const std::vector<ListRow>& rows)
{
    return static_cast<std::size_t>(std::count_if(rows.begin(), rows.end(), [](const ListRow& row) { return row.selected; }));
}

ListRow& ListRowStore::At(std::size_t index)
{
    const auto [chunk, offset] = Locate(index);
    return m_chunks[chunk][offset];
}

const ListRow& ListRowStore::At(std::size_t index) const
{
    const auto [chunk, offset] = Locate(index);
    return m_chunks[chunk][offset];
}

void ListRowStore::Insert(std::size_t index, ListRow row)
{
    assert(index <= m_size);
    std::size_t chunk = 0;
    std::size_t offset = 0;
    if (m_chunks.empty()) {
        m_chunks.emplace_back();
        m_selectedIn.push_back(0);
    } else if (index == m_size) {
        chunk = m_chunks.size() - 1;
        offset = m_chunks[chunk].size();
    } else {
        std::tie(chunk, offset) = Locate(index);
    }
    auto& rows = m_chunks[chunk];
    if (row.selected) {
        ++m_selectedIn[chunk];
        ++m_selectedCount;
    }
    rows.insert(rows.begin() + static_cast<std::ptrdiff_t>(offset), std::move(row));
    ++m_size;
    if (rows.size() > 2 * kChunkSize) {
        std::vector<ListRow> upper(std::make_move_iterator(rows.begin() + kChunkSize),
                                   std::make_move_iterator(rows.end()));
        rows.erase(rows.begin() + kChunkSize, rows.end());
        const std::size_t upperSelected = CountSelected(upper);
        m_selectedIn[chunk] -= upperSelected;
        m_chunks.insert(m_chunks.begin() + static_cast<std::ptrdiff_t>(chunk) + 1, std::move(upper));
        m_selectedIn.insert(m_selectedIn.begin() + static_cast<std::ptrdiff_t>(chunk) + 1, upperSelected);
    }
    RenumberFrom(chunk);
}

void ListRowStore::Erase(std::size_t index)
{
    const auto [chunk, offset] = Locate(index);
    auto& rows = m_chunks[chunk];
    if (rows[offset].selected) {
        --m_selectedIn[chunk];
        --m_selectedCount;
    }
    rows.erase(rows.begin() + static_cast<std::ptrdiff_t>(offset));
    --m_size;
    if (rows.empty()) {
        m_chunks.erase(m_chunks.begin() + static_cast<std::ptrdiff_t>(chunk));
        m_selectedIn.erase(m_selectedIn.begin() + static_cast<std::ptrdiff_t>(chunk));
    }
    RenumberFrom(chunk == 0 ? 0 : chunk - 1);
}

void ListRowStore::Clear()
{
    m_chunks.clear();
    m_starts.clear();
    m_selectedIn.clear();
    m_size = 0;
    m_selectedCount = 0;
}

void ListRowStore::Assign(std::vector<ListRow> rows)
{
    Clear();
    for (std::size_t first = 0; first < rows.size(); first += kChunkSize) {
        const std::size_t last = std::min(rows.size(), first + kChunkSize);
        m_chunks.emplace_back(std::make_move_iterator(rows.begin() + static_cast<std::ptrdiff_t>(first)),
                              std::make_move_iterator(rows.begin() + static_cast<std::ptrdiff_t>(last)));
        m_selectedIn.push_back(CountSelected(m_chunks.back()));
        m_selectedCount += m_selectedIn.back();
    }
    m_size = rows.size();
    RenumberFrom(0);
}

std::vector<ListRow> ListRowStore::TakeAll()
{
    std::vector<ListRow> rows;
    rows.reserve(m_size);
    for (auto& chunk : m_chunks)
        for (auto& row : chunk)
            rows.push_back(std::move(row));
    Clear();
    return rows;
}

void ListRowStore::SetSelected(std::size_t index, bool selected)
{
    const auto [chunk, offset] = Locate(index);
    ListRow& row = m_chunks[chunk][offset];
    if (row.selected == selected)
        return;
    row.selected = selected;
    if (selected) {
        ++m_selectedIn[chunk];
        ++m_selectedCount;
    } else {
        --m_selectedIn[chunk];
        --m_selectedCount;
    }
}

std::size_t ListRowStore::NextSelected(std::size_t from) const
{
    if (from >= m_size || m_selectedCount == 0)
        return npos;
    auto [chunk, offset] = Locate(from);
    for (; chunk < m_chunks.size(); ++chunk, offset = 0) {
        if (m_selectedIn[chunk] == 0)
            continue;
        const auto& rows = m_chunks[chunk];
        for (std::size_t i = offset; i < rows.size(); ++i)
            if (rows[i].selected)
                return m_starts[chunk] + i;
    }
    return npos;
}

void ListRowStore::ForEach(const std::function<bool(std::size_t, const ListRow&)>& visit) const
{
    std::size_t index = 0;
    for (const auto& chunk : m_chunks)
        for (const auto& row : chunk)
            if (!visit(index++, row))
                return;
}

} // namespace win
