#pragma once

#include "model/dates.h"

#include <algorithm>
#include <cassert>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

struct TransactionData;

// The projection's rows in date order, with their running balances. Holds typed values
// that read back exactly as the list's texts would (dates as local days, read back at
// 10:00; whole dollars), and is built for speed: a row is 32 bytes, its description
// shared with every row of the same insertion; insertions queue up (a day each) and are
// sorted into place in one pass when the rows are next looked at; balances are
// recomputed only when one is asked for. Knows nothing of windows, start dates or what
// the rows mean.
class CashFlowRows {
public:
    struct Row {
        // 64 bits: the opening row carries the total of all accounts.
        std::int64_t amount;
        std::int64_t balance;
        TransactionData* record;
        // The local day (see LocalDay); rows of one day are in the order they came.
        std::int32_t day;
        std::uint32_t description : 30;
        std::uint32_t selected : 1;
        // The record's what-if flag, kept here so that the firm forecast's pass over the
        // rows need not visit every record.
        std::uint32_t tentative : 1;
    };

    std::size_t Count();
    const Row& At(std::size_t row)
    {
        MergeQueued();
        assert(row < m_rows.size());
        return m_rows[row];
    }
    // The row's date at 10:00 and its description.
    TimeValue Date(const Row& row)
    {
        if (!m_hasCachedDate || row.day != m_cachedDay)
            CacheDate(row.day);
        return m_cachedDate;
    }
    const std::string& Description(const Row& row) const { return *m_descriptions[row.description]; }

    // Inserts after every row whose date is equal or earlier; returns the position.
    std::size_t Insert(TimeValue date, const std::shared_ptr<const std::string>& description,
                       std::int64_t amount, TransactionData* record);
    // Queues an insertion that behaves exactly as Insert would at this point, without
    // telling where the row lands.
    void Queue(TimeValue date, const std::shared_ptr<const std::string>& description,
               std::int32_t amount, TransactionData* record);
    // The same for a local day (see LocalDay).
    void QueueDay(std::int32_t day, const std::shared_ptr<const std::string>& description, std::int32_t amount,
                  TransactionData* record)
    {
        // A run is also in day order: a row earlier than the one before starts a new run.
        if (m_queuedDays.empty() || m_queuedRuns.back().amount != amount || m_queuedRuns.back().record != record ||
            m_descriptions[m_queuedRuns.back().description] != description || day < m_queuedDays.back()) {
            QueueDayInNewRun(day, description, amount, record);
            return;
        }
        m_queuedDays.push_back(day);
        m_queuedRuns.back().end = m_queuedDays.size();
        m_queuedLatest = std::max(m_queuedLatest, day);
    }

    void SetAmount(std::size_t row, std::int64_t amount);
    // Balances from this row on are to be recomputed before they are next read.
    void InvalidateFrom(std::size_t row);
    std::int64_t Balance(std::size_t row);

    void Erase(std::size_t row);
    void Clear();
    // Replaces the first row with a new one and removes every other row whose day lies
    // outside [firstDay, endDay); the new first row's day must not be later than firstDay.
    // No row stays selected.
    void ReplaceFirstKeepingDays(std::int64_t firstDay, std::int64_t endDay, TimeValue date,
                                 const std::shared_ptr<const std::string>& description, std::int64_t amount,
                                 TransactionData* record);
    // Removes every row of the record; returns the lowest index one had, or the count of
    // rows left when there was none.
    std::size_t EraseRecord(const TransactionData* record);

    void SetSelected(std::size_t row, bool selected);
    // The first selected row, or -1.
    std::ptrdiff_t FirstSelected();
    std::size_t SelectedCount();

private:
    // The rows' storage: a new row is written once, by the merge, not cleared first.
    template <typename T>
    struct Uncleared : std::allocator<T> {
        template <typename U>
        struct rebind {
            using other = Uncleared<U>;
        };
        using std::allocator<T>::allocator;
        template <typename U, typename... Args>
        void construct(U* place, Args&&... args)
        {
            if constexpr (sizeof...(Args) == 0)
                ::new (static_cast<void*>(place)) U;
            else
                ::new (static_cast<void*>(place)) U(std::forward<Args>(args)...);
        }
    };
    // Queued rows in runs that share their amount, transaction and description (one
    // insertion's dates): a day each, until they are merged.
    struct QueuedRun {
        std::size_t end; // of its days in m_queuedDays
        std::int64_t amount;
        TransactionData* record;
        std::uint32_t description;
        std::uint32_t tentative;
    };

    Row MakeRow(TimeValue date, const std::shared_ptr<const std::string>& description, std::int64_t amount,
                TransactionData* record);
    void CacheDate(std::int64_t day);
    void QueueDayInNewRun(std::int32_t day, const std::shared_ptr<const std::string>& description,
                          std::int32_t amount, TransactionData* record);
    std::uint32_t DescriptionIndex(const std::shared_ptr<const std::string>& description);
    void DropUnusedDescriptions();
    void MergeQueued()
    {
        if (!m_queuedDays.empty())
            MergeQueuedRows();
    }
    void MergeQueuedRows();
    void UpdateBalances();

    std::vector<Row, Uncleared<Row>> m_rows;
    std::vector<QueuedRun> m_queuedRuns;
    std::vector<std::int32_t> m_queuedDays;
    std::int32_t m_queuedEarliest = 0; // the earliest and latest days queued, while the
    std::int32_t m_queuedLatest = 0;   // queue is not empty
    std::size_t m_firstStale = 0;
    std::size_t m_selectedCount = 0;
    std::vector<std::shared_ptr<const std::string>> m_descriptions;
    // The last day read back as a date, which the next row usually shares.
    std::int64_t m_cachedDay = 0;
    TimeValue m_cachedDate = 0;
    bool m_hasCachedDate = false;
};
