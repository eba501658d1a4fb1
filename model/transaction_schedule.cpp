#include "model/transaction_schedule.h"

#include "model/cash_flow_projection.h"

#include <algorithm>

void TransactionSchedule::AddTransaction(std::unique_ptr<TransactionData> record)
{
    if (m_sorted && !m_transactions.empty() && CompareFolded(m_transactions.back()->description, record->description) > 0)
        m_sorted = false;
    m_transactions.push_back(std::move(record));
}

void TransactionSchedule::SortAdded()
{
    // A stable sort of the records in the order they came puts each one where adding it
    // then would have: after every record whose description compares equal or smaller.
    if (!m_sorted) {
        std::stable_sort(m_transactions.begin(), m_transactions.end(), [](const auto& a, const auto& b) {
            return CompareFolded(a->description, b->description) < 0;
        });
        m_sorted = true;
    }
}

const std::vector<std::unique_ptr<TransactionData>>& TransactionSchedule::Transactions()
{
    SortAdded();
    return m_transactions;
}

int TransactionSchedule::FindTransaction(const TransactionData* record)
{
    SortAdded();
    for (std::size_t i = 0; i < m_transactions.size(); ++i)
        if (m_transactions[i].get() == record)
            return static_cast<int>(i);
    return -1;
}

int TransactionSchedule::ProjectAllTransactions()
{
    SortAdded();
    if (m_projection)
        for (const auto& record : m_transactions)
            ProjectTransaction(*m_projection, *record);
    return static_cast<int>(m_transactions.size());
}

void ProjectTransaction(ICashflowListCtrl& projection, TransactionData& record)
{
    // The list shows the date as a text and projects from that text: 10:00 of its day.
    const TimeValue date = ParseDate(FormatDate(record.date)).value_or(record.date);
    ProjectTransactionOccurrences(projection, date, record.description, record.amount, &record, *record.repeater);
}
