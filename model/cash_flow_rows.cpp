#include "model/cash_flow_rows.h"

#include "model/transaction_data.h"

#include <algorithm>
#include <cassert>
#include <iterator>
#include <limits>
#include <numeric>

namespace {

std::uint32_t TentativeBit(const TransactionData* record)
{
    return record && record->tentative ? 1 : 0;
}

bool DayBefore(std::int32_t day, const CashFlowRows::Row& row)
{
    return day < row.day;
}

// Rows hold days of the calendar the program handles; anything beyond 32 bits is held at
// their ends rather than wrapped around.
std::int32_t RowDay(TimeValue date)
{
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(LocalDay(date), std::numeric_limits<std::int32_t>::min(),
                                                              std::numeric_limits<std::int32_t>::max()));
}

} // namespace

std::size_t CashFlowRows::Count()
{
    // Merging keeps every queued row: the count is known without it.
    return m_rows.size() + m_queuedDays.size();
}

void CashFlowRows::CacheDate(std::int64_t day)
{
    m_cachedDay = day;
    m_cachedDate = TenOClockOfLocalDay(day);
    m_hasCachedDate = true;
}

std::uint32_t CashFlowRows::DescriptionIndex(const std::shared_ptr<const std::string>& description)
{
    // One insertion's rows share the one text; texts of rows deleted since are dropped
    // once they outnumber the rows, so that editing never makes the table grow for good.
    if (!m_descriptions.empty() && m_descriptions.back() == description)
        return static_cast<std::uint32_t>(m_descriptions.size() - 1);
    if (m_descriptions.size() >= 2 * Count() + 64)
        DropUnusedDescriptions();
    m_descriptions.push_back(description);
    return static_cast<std::uint32_t>(m_descriptions.size() - 1);
}

void CashFlowRows::DropUnusedDescriptions()
{
    constexpr std::uint32_t kUnused = std::numeric_limits<std::uint32_t>::max();
    std::vector<std::uint32_t> renumbered(m_descriptions.size(), kUnused);
    std::vector<std::shared_ptr<const std::string>> kept;
    auto renumber = [&](Row& row) {
        std::uint32_t& index = renumbered[row.description];
        if (index == kUnused) {
            index = static_cast<std::uint32_t>(kept.size());
            kept.push_back(std::move(m_descriptions[row.description]));
        }
        row.description = index;
    };
    std::for_each(m_rows.begin(), m_rows.end(), renumber);
    for (QueuedRun& run : m_queuedRuns) {
        Row row{};
        row.description = run.description;
        renumber(row);
        run.description = row.description;
    }
    m_descriptions = std::move(kept);
}

CashFlowRows::Row CashFlowRows::MakeRow(TimeValue date, const std::shared_ptr<const std::string>& description,
                                        std::int64_t amount, TransactionData* record)
{
    return Row{amount, 0, record, RowDay(date), DescriptionIndex(description), 0, TentativeBit(record)};
}

std::size_t CashFlowRows::Insert(TimeValue date, const std::shared_ptr<const std::string>& description,
                                 std::int64_t amount, TransactionData* record)
{
    MergeQueued();
    const Row row = MakeRow(date, description, amount, record);
    const auto position = std::upper_bound(m_rows.begin(), m_rows.end(), row.day, DayBefore);
    const auto index = static_cast<std::size_t>(position - m_rows.begin());
    m_rows.insert(position, row);
    m_firstStale = std::min(m_firstStale, index);
    return index;
}

void CashFlowRows::Queue(TimeValue date, const std::shared_ptr<const std::string>& description,
                         std::int32_t amount, TransactionData* record)
{
    QueueDay(RowDay(date), description, amount, record);
}

void CashFlowRows::QueueDayInNewRun(std::int32_t day, const std::shared_ptr<const std::string>& description,
                                    std::int32_t amount, TransactionData* record)
{
    const bool first = m_queuedDays.empty();
    m_queuedRuns.push_back({m_queuedDays.size(), amount, record, DescriptionIndex(description), TentativeBit(record)});
    m_queuedDays.push_back(day);
    m_queuedRuns.back().end = m_queuedDays.size();
    m_queuedEarliest = first ? day : std::min(m_queuedEarliest, day);
    m_queuedLatest = first ? day : std::max(m_queuedLatest, day);
}

void CashFlowRows::MergeQueuedRows()
{
    // Insert would put each queued row after the rows already there and after those
    // queued before it on the same or an earlier day: the rows from the first one a
    // queued row goes before, followed by the queue, sorted by day without disturbing
    // the order within a day. The days of a projection span a few thousand at most, so
    // the sort counts the rows of each day and places them; a wider span is sorted.
    const auto firstMoved = std::upper_bound(m_rows.begin(), m_rows.end(), m_queuedEarliest, DayBefore);
    const auto firstIndex = static_cast<std::size_t>(firstMoved - m_rows.begin());
    const std::size_t moved = m_rows.size() - firstIndex + m_queuedDays.size();
    auto forEachMoved = [&](auto&& visit) {
        std::for_each(firstMoved, m_rows.end(), visit);
        std::size_t day = 0;
        for (const QueuedRun& run : m_queuedRuns)
            for (; day < run.end; ++day)
                visit(Row{run.amount, 0, run.record, m_queuedDays[day], run.description, 0, run.tentative});
    };

    const std::int64_t firstDay = m_queuedEarliest;
    const std::int64_t lastDay = m_rows.empty() ? m_queuedLatest : std::max(m_queuedLatest, m_rows.back().day);
    const std::int64_t span = lastDay - firstDay + 1;
    // The rows from firstIndex on are put in order apart. When fewer than the rows before
    // them (a move of the window adds its days at the end), they are copied back and the
    // others stay where they are; otherwise the others join them, in a new list.
    const bool inPlace = moved <= firstIndex;
    const std::size_t base = inPlace ? 0 : firstIndex;
    decltype(m_rows) merged;
    if (span <= static_cast<std::int64_t>(2 * moved + 65536)) {
        std::vector<std::size_t> next(static_cast<std::size_t>(span) + 1, 0);
        forEachMoved([&](const Row& row) { ++next[static_cast<std::size_t>(row.day - firstDay) + 1]; });
        next[0] = base;
        for (std::size_t day = 1; day < next.size(); ++day)
            next[day] += next[day - 1];
        merged.resize(base + moved);
        std::copy(m_rows.begin(), m_rows.begin() + static_cast<std::ptrdiff_t>(base), merged.begin());
        auto place = [&](const Row& row) { merged[next[static_cast<std::size_t>(row.day - firstDay)]++] = row; };
        std::for_each(firstMoved, m_rows.end(), place);
        // The queued rows go band of days by band of days, each run taking up where it left
        // off: the writes of a band stay within a few pages, where placing the rows run by
        // run would spread them over every day at once. A run joins in the band of its
        // first day, among the others in queue order, so that the many short runs of
        // changed payments are not passed over band after band.
        struct Cursor {
            std::size_t at;
            const QueuedRun* run;
        };
        constexpr std::int64_t kBand = 32;
        auto bandOf = [&](const Cursor& cursor) { return (m_queuedDays[cursor.at] - firstDay) / kBand; };
        // The runs by the band of their first day, in queue order within a band.
        std::vector<std::size_t> bandStarts(static_cast<std::size_t>(span / kBand) + 2, 0);
        for (std::size_t start = 0; const QueuedRun& run : m_queuedRuns) {
            ++bandStarts[static_cast<std::size_t>(bandOf({start, &run})) + 1];
            start = run.end;
        }
        std::partial_sum(bandStarts.begin(), bandStarts.end(), bandStarts.begin());
        std::vector<Cursor> waiting(m_queuedRuns.size());
        for (std::size_t start = 0; const QueuedRun& run : m_queuedRuns) {
            waiting[bandStarts[static_cast<std::size_t>(bandOf({start, &run}))]++] = {start, &run};
            start = run.end;
        }
        std::vector<Cursor> cursors, joined;
        auto nextWaiting = waiting.begin();
        for (std::int64_t band = 0; !cursors.empty() || nextWaiting != waiting.end(); ++band) {
            const auto joining = nextWaiting;
            while (nextWaiting != waiting.end() && bandOf(*nextWaiting) == band)
                ++nextWaiting;
            if (joining != nextWaiting) {
                joined.clear();
                std::merge(cursors.begin(), cursors.end(), joining, nextWaiting, std::back_inserter(joined),
                           [](const Cursor& a, const Cursor& b) { return a.run < b.run; });
                cursors.swap(joined);
            }
            const std::int64_t bandEnd = firstDay + (band + 1) * kBand;
            std::size_t kept = 0;
            for (Cursor cursor : cursors) {
                const QueuedRun& run = *cursor.run;
                for (; cursor.at < run.end && m_queuedDays[cursor.at] < bandEnd; ++cursor.at)
                    place(Row{run.amount, 0, run.record, m_queuedDays[cursor.at], run.description, 0, run.tentative});
                if (cursor.at < run.end)
                    cursors[kept++] = cursor;
            }
            cursors.resize(kept);
        }
    } else {
        merged.reserve(base + moved);
        merged.assign(m_rows.begin(), m_rows.begin() + static_cast<std::ptrdiff_t>(base));
        forEachMoved([&](const Row& row) { merged.push_back(row); });
        std::stable_sort(merged.begin() + static_cast<std::ptrdiff_t>(base), merged.end(),
                         [](const Row& a, const Row& b) { return a.day < b.day; });
    }
    if (inPlace) {
        m_rows.resize(firstIndex + moved);
        std::copy(merged.begin(), merged.end(), m_rows.begin() + static_cast<std::ptrdiff_t>(firstIndex));
    } else {
        m_rows = std::move(merged);
    }
    m_queuedRuns.clear();
    m_queuedDays.clear();
    m_queuedDays.shrink_to_fit();
    m_firstStale = std::min(m_firstStale, firstIndex);
}

void CashFlowRows::SetAmount(std::size_t row, std::int64_t amount)
{
    // The first row stays first when nothing queued goes before it: changing it (as every
    // recalculation does to the opening row) then need not merge the queue.
    const bool firstStaysFirst =
        row == 0 && !m_rows.empty() && (m_queuedDays.empty() || m_queuedEarliest >= m_rows.front().day);
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
    m_selectedCount -= m_rows[row].selected;
    m_rows.erase(m_rows.begin() + static_cast<std::ptrdiff_t>(row));
    m_firstStale = std::min(m_firstStale, row);
}

void CashFlowRows::Clear()
{
    m_rows.clear();
    m_queuedRuns.clear();
    m_queuedDays.clear();
    m_firstStale = 0;
    m_selectedCount = 0;
    m_descriptions.clear();
    m_hasCachedDate = false;
}

void CashFlowRows::ReplaceFirstKeepingDays(std::int64_t firstDay, std::int64_t endDay, TimeValue date,
                                           const std::shared_ptr<const std::string>& description,
                                           std::int64_t amount, TransactionData* record)
{
    MergeQueued();
    assert(!m_rows.empty());
    if (m_selectedCount != 0) {
        for (Row& row : m_rows)
            row.selected = 0;
        m_selectedCount = 0;
    }
    auto dayBefore = [](const Row& row, std::int64_t day) { return row.day < day; };
    const auto first = std::lower_bound(m_rows.begin() + 1, m_rows.end(), firstDay, dayBefore);
    m_rows.erase(std::lower_bound(first, m_rows.end(), endDay, dayBefore), m_rows.end());
    // The new first row takes the place of the last row dropped before the days kept, so
    // that the rows kept move once at most.
    const Row row = MakeRow(date, description, amount, record);
    assert(row.day <= firstDay);
    *(first - 1) = row;
    m_rows.erase(m_rows.begin(), first - 1);
    m_firstStale = 0;
}

std::size_t CashFlowRows::EraseRecord(const TransactionData* record)
{
    MergeQueued();
    auto ofRecord = [record](const Row& row) { return row.record == record; };
    const auto first = std::find_if(m_rows.begin(), m_rows.end(), ofRecord);
    const auto lowest = static_cast<std::size_t>(first - m_rows.begin());
    const auto kept = std::remove_if(first, m_rows.end(), [&](const Row& row) {
        const bool erased = ofRecord(row);
        m_selectedCount -= erased && row.selected;
        return erased;
    });
    m_rows.erase(kept, m_rows.end());
    m_firstStale = std::min(m_firstStale, lowest);
    return std::min(lowest, m_rows.size());
}

void CashFlowRows::SetSelected(std::size_t row, bool selected)
{
    MergeQueued();
    Row& entry = m_rows[row];
    if (entry.selected != selected) {
        m_selectedCount += selected ? 1 : std::size_t(-1);
        entry.selected = selected;
    }
}

std::ptrdiff_t CashFlowRows::FirstSelected()
{
    if (m_selectedCount == 0)
        return -1;
    MergeQueued();
    for (std::size_t r = 0; r < m_rows.size(); ++r)
        if (m_rows[r].selected)
            return static_cast<std::ptrdiff_t>(r);
    return -1;
}

std::size_t CashFlowRows::SelectedCount()
{
    return m_selectedCount;
}
