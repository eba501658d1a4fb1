#pragma once

#include "model/dates.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

struct TransactionData;

// The projection's rows in date order, with their running balances. Holds typed values
// that read back exactly as the list's texts would (dates at 10:00, whole dollars), and
// is built for speed: many insertions queue up and are merged in one pass when the rows
// are next looked at, and balances are recomputed only when one is asked for. Knows
// nothing of windows, start dates or what the rows mean.
class CashFlowRows {
public:
    struct Row {
        TimeValue date = 0;
        std::int64_t balance = 0;
        // 64 bits: the opening row carries the total of all accounts.
        std::int64_t amount = 0;
        bool selected = false;
        TransactionData* record = nullptr;
        std::shared_ptr<const std::string> description;
    };

    std::size_t Count();
    const Row& At(std::size_t row);

    // Inserts after every row whose date is equal or earlier; returns the position.
    std::size_t Insert(TimeValue date, std::shared_ptr<const std::string> description,
                       std::int64_t amount, TransactionData* record);
    // Queues an insertion that behaves exactly as Insert would at this point, without
    // telling where the row lands.
    void Queue(TimeValue date, const std::shared_ptr<const std::string>& description,
               std::int32_t amount, TransactionData* record);

    void SetAmount(std::size_t row, std::int64_t amount);
    // Balances from this row on are to be recomputed before they are next read.
    void InvalidateFrom(std::size_t row);
    std::int64_t Balance(std::size_t row);

    void Erase(std::size_t row);
    void Clear();
    // Removes every row of the record; returns the lowest index one had, or the count of
    // rows left when there was none.
    std::size_t EraseRecord(const TransactionData* record);

    void SetSelected(std::size_t row, bool selected);
    // The first selected row, or -1.
    std::ptrdiff_t FirstSelected();
    std::size_t SelectedCount();

private:
    void MergeQueued();
    void UpdateBalances();

    std::vector<Row> m_rows;
    std::vector<Row> m_queued;
    std::vector<std::size_t> m_runStarts; // where the queue goes back in time
    TimeValue m_queuedEarliest = 0; // the earliest date queued, while the queue is not empty
    std::size_t m_firstStale = 0;
};
