#include "model/cash_flow_rows.h"

#include <algorithm>
#include <cassert>
#include <functional>
#include <iterator>

std::size_t CashFlowRows::Count()
{
    // Merging keeps every queued row: the count is known without it.
    return m_rows.size() + m_queued.size();
}

const CashFlowRows::Row& CashFlowRows::At(std::size_t row)
{
    MergeQueued();
    assert(row < m_rows.size());
    return m_rows[row];
}

std::size_t CashFlowRows::Insert(TimeValue date, std::shared_ptr<const std::string> description,
                                 std::int64_t amount, TransactionData* record)
{
    MergeQueued();
    auto position = std::upper_bound(m_rows.begin(), m_rows.end(), date,
                                     [](TimeValue value, const Row& row) { return value < row.date; });
    const auto index = static_cast<std::size_t>(position - m_rows.begin());
    m_rows.insert(position, Row{date, 0, amount, false, record, std::move(description)});
    m_firstStale = std::min(m_firstStale, index);
    return index;
}

void CashFlowRows::Queue(TimeValue date, const std::shared_ptr<const std::string>& description,
                         std::int32_t amount, TransactionData* record)
{
    // A row earlier than the one queued before it starts a new run of rows in date order.
    if (!m_queued.empty() && date < m_queued.back().date)
        m_runStarts.push_back(m_queued.size());
    m_queuedEarliest = m_queued.empty() ? date : std::min(m_queuedEarliest, date);
    m_queued.push_back(Row{date, 0, amount, false, record, description});
}

void CashFlowRows::MergeQueued()
{
    if (m_queued.empty())
        return;
    // The queue holds runs of rows in date order (each transaction's occurrences come in
    // order); the rows already there from the first one a queued row goes before are one
    // more run. Merging them all at once, an earlier run's row first among equal dates,
    // puts every row where Insert would have put it: after the rows already there and
    // after those queued before it.
    auto firstMoved = std::upper_bound(m_rows.begin(), m_rows.end(), m_queuedEarliest,
                                       [](TimeValue value, const Row& row) { return value < row.date; });
    const auto firstIndex = static_cast<std::size_t>(firstMoved - m_rows.begin());
    struct Run {
        Row* next;
        Row* end;
    };
    std::vector<Run> runs;
    runs.reserve(m_runStarts.size() + 2);
    runs.push_back({m_rows.data() + firstIndex, m_rows.data() + m_rows.size()});
    std::size_t from = 0;
    for (const std::size_t start : m_runStarts) {
        runs.push_back({m_queued.data() + from, m_queued.data() + start});
        from = start;
    }
    runs.push_back({m_queued.data() + from, m_queued.data() + m_queued.size()});

    std::vector<Row> merged;
    merged.reserve(m_rows.size() + m_queued.size());
    std::move(m_rows.begin(), firstMoved, std::back_inserter(merged));
    // A heap of the runs that have rows left, by the date of their next row; the one that
    // goes first on top.
    using Head = std::pair<TimeValue, std::size_t>;
    std::vector<Head> heap;
    heap.reserve(runs.size());
    for (std::size_t run = 0; run < runs.size(); ++run)
        if (runs[run].next != runs[run].end)
            heap.emplace_back(runs[run].next->date, run);
    const auto later = std::greater<Head>();
    std::make_heap(heap.begin(), heap.end(), later);
    while (!heap.empty()) {
        std::pop_heap(heap.begin(), heap.end(), later);
        const std::size_t run = heap.back().second;
        Run& taken = runs[run];
        // Take from this run for as long as it stays first.
        do
            merged.push_back(std::move(*taken.next++));
        while (taken.next != taken.end &&
               (heap.size() == 1 || !later(Head(taken.next->date, run), heap.front())));
        if (taken.next == taken.end) {
            heap.pop_back();
        } else {
            heap.back().first = taken.next->date;
            std::push_heap(heap.begin(), heap.end(), later);
        }
    }
    m_rows = std::move(merged);
    m_queued.clear();
    m_runStarts.clear();
    m_firstStale = std::min(m_firstStale, firstIndex);
}

void CashFlowRows::SetAmount(std::size_t row, std::int64_t amount)
{
    // The first row stays first when nothing queued goes before it: changing it (as every
    // recalculation does to the opening row) then need not merge the queue.
    const bool firstStaysFirst =
        row == 0 && !m_rows.empty() && (m_queued.empty() || m_queuedEarliest >= m_rows.front().date);
    if (!firstStaysFirst)
        MergeQueued();
    m_rows[row].amount = amount;
    m_firstStale = std::min(m_firstStale, row);
}

void CashFlowRows::InvalidateFrom(std::size_t row)
{
    m_firstStale = std::min(m_firstStale, row);
}

std::int64_t CashFlowRows::Balance(std::size_t row)
{
    MergeQueued();
    if (row >= m_firstStale)
        UpdateBalances();
    return m_rows[row].balance;
}

void CashFlowRows::UpdateBalances()
{
    std::int64_t balance = m_firstStale == 0 ? 0 : m_rows[m_firstStale - 1].balance;
    for (std::size_t r = m_firstStale; r < m_rows.size(); ++r) {
        balance += m_rows[r].amount;
        m_rows[r].balance = balance;
    }
    m_firstStale = m_rows.size();
}

void CashFlowRows::Erase(std::size_t row)
{
    MergeQueued();
    m_rows.erase(m_rows.begin() + static_cast<std::ptrdiff_t>(row));
    m_firstStale = std::min(m_firstStale, row);
}

void CashFlowRows::Clear()
{
    m_rows.clear();
    m_queued.clear();
    m_runStarts.clear();
    m_firstStale = 0;
}

std::size_t CashFlowRows::EraseRecord(const TransactionData* record)
{
    MergeQueued();
    auto first = std::find_if(m_rows.begin(), m_rows.end(), [record](const Row& row) { return row.record == record; });
    const auto lowest = static_cast<std::size_t>(first - m_rows.begin());
    m_rows.erase(std::remove_if(first, m_rows.end(), [record](const Row& row) { return row.record == record; }),
                 m_rows.end());
    m_firstStale = std::min(m_firstStale, lowest);
    return std::min(lowest, m_rows.size());
}

void CashFlowRows::SetSelected(std::size_t row, bool selected)
{
    MergeQueued();
    m_rows[row].selected = selected;
}

std::ptrdiff_t CashFlowRows::FirstSelected()
{
    MergeQueued();
    for (std::size_t r = 0; r < m_rows.size(); ++r)
        if (m_rows[r].selected)
            return static_cast<std::ptrdiff_t>(r);
    return -1;
}

std::size_t CashFlowRows::SelectedCount()
{
    MergeQueued();
    return static_cast<std::size_t>(
        std::count_if(m_rows.begin(), m_rows.end(), [](const Row& row) { return row.selected; }));
}
