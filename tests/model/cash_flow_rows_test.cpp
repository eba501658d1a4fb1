#include "model/cash_flow_rows.h"

#include "model/transaction_data.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <random>
#include <string>
#include <vector>

namespace {

// What the rows must look like: a plain vector kept in order by the rule the rows follow,
// after every row of the same or an earlier date.
struct ReferenceRow {
    TimeValue date;
    std::string description;
    std::int64_t amount;
    TransactionData* record;
    bool selected;
};

void ExpectSameRows(CashFlowRows& rows, const std::vector<ReferenceRow>& reference, int step)
{
    ASSERT_EQ(rows.Count(), reference.size()) << "step " << step;
    std::int64_t balance = 0;
    std::ptrdiff_t firstSelected = -1;
    std::size_t selected = 0;
    for (std::size_t index = 0; index < reference.size(); ++index) {
        const ReferenceRow& expected = reference[index];
        balance += expected.amount;
        const CashFlowRows::Row& row = rows.At(index);
        ASSERT_EQ(rows.Date(row), expected.date) << "step " << step << " row " << index;
        ASSERT_EQ(rows.Description(row), expected.description) << "step " << step << " row " << index;
        ASSERT_EQ(row.amount, expected.amount) << "step " << step << " row " << index;
        ASSERT_EQ(row.record, expected.record) << "step " << step << " row " << index;
        ASSERT_EQ(bool(row.selected), expected.selected) << "step " << step << " row " << index;
        ASSERT_EQ(rows.Balance(index), balance) << "step " << step << " row " << index;
        if (expected.selected && firstSelected < 0)
            firstSelected = static_cast<std::ptrdiff_t>(index);
        selected += expected.selected;
    }
    EXPECT_EQ(rows.FirstSelected(), firstSelected) << "step " << step;
    EXPECT_EQ(rows.SelectedCount(), selected) << "step " << step;
}

// Random insertions (one at a time or queued in runs, as a transaction's occurrences
// come), deletions, selections and amount changes, over dates a few weeks apart or
// centuries apart, with few distinct dates so that ties are common; every few steps the
// rows are compared with the reference in full.
TEST(CashFlowRowsTest, BehavesLikeAVectorKeptInDateOrder)
{
    std::mt19937 random(4242);
    auto pick = [&](int low, int high) { return std::uniform_int_distribution<int>(low, high)(random); };
    std::vector<std::unique_ptr<TransactionData>> records;
    for (int i = 0; i < 4; ++i)
        records.push_back(std::make_unique<TransactionData>(0, "", 0, nullptr));
    for (const bool centuries : {false, true}) {
        std::vector<TimeValue> days;
        for (int i = 0; i < 40; ++i)
            days.push_back(centuries ? MakeDate(pick(1000, 9999), pick(1, 12), pick(1, 28))
                                     : MakeDate(2027, 3, pick(1, 20)));
        CashFlowRows rows;
        std::vector<ReferenceRow> reference;
        auto place = [&](TimeValue date) {
            return static_cast<std::size_t>(
                std::upper_bound(reference.begin(), reference.end(), date,
                                 [](TimeValue value, const ReferenceRow& row) { return value < row.date; }) -
                reference.begin());
        };
        for (int step = 0; step < 5000; ++step) {
            const int action = pick(0, 99);
            auto description = std::make_shared<const std::string>("text " + std::to_string(step));
            TransactionData* record = records[static_cast<std::size_t>(pick(0, 3))].get();
            if (action < 25) {
                const TimeValue date = days[static_cast<std::size_t>(pick(0, 39))];
                const std::int64_t amount = pick(-50, 50) * (std::int64_t(1) << pick(0, 33));
                const std::size_t at = place(date);
                ASSERT_EQ(rows.Insert(date, description, amount, record), at) << "step " << step;
                reference.insert(reference.begin() + static_cast<std::ptrdiff_t>(at),
                                 {date, *description, amount, record, false});
            } else if (action < 55) {
                // A run of dates in order, sometimes starting earlier than the last run.
                std::vector<TimeValue> run;
                for (int i = pick(1, 12); i > 0; --i)
                    run.push_back(days[static_cast<std::size_t>(pick(0, 39))]);
                std::sort(run.begin(), run.end());
                const std::int32_t amount = pick(-9, 9);
                for (TimeValue date : run) {
                    rows.Queue(date, description, amount, record);
                    reference.insert(reference.begin() + static_cast<std::ptrdiff_t>(place(date)),
                                     {date, *description, amount, record, false});
                }
            } else if (action < 60 && !reference.empty()) {
                const auto row = static_cast<std::size_t>(pick(0, static_cast<int>(reference.size()) - 1));
                rows.Erase(row);
                reference.erase(reference.begin() + static_cast<std::ptrdiff_t>(row));
            } else if (action < 72) {
                const std::size_t lowest = rows.EraseRecord(record);
                auto ofRecord = [&](const ReferenceRow& row) { return row.record == record; };
                const auto first = static_cast<std::size_t>(
                    std::find_if(reference.begin(), reference.end(), ofRecord) - reference.begin());
                reference.erase(std::remove_if(reference.begin(), reference.end(), ofRecord), reference.end());
                ASSERT_EQ(lowest, std::min(first, reference.size())) << "step " << step;
            } else if (action < 85 && !reference.empty()) {
                const auto row = static_cast<std::size_t>(pick(0, static_cast<int>(reference.size()) - 1));
                const bool selected = pick(0, 1) == 1;
                rows.SetSelected(row, selected);
                reference[row].selected = selected;
            } else if (action < 95 && !reference.empty()) {
                const auto row = static_cast<std::size_t>(pick(0, static_cast<int>(reference.size()) - 1));
                const std::int64_t amount = pick(-100, 100);
                rows.SetAmount(row, amount);
                reference[row].amount = amount;
            } else if (action == 99) {
                rows.Clear();
                reference.clear();
            }
            if (step % 7 == 0)
                ExpectSameRows(rows, reference, step);
            if (HasFatalFailure())
                return;
        }
        ExpectSameRows(rows, reference, -1);
    }
}

} // namespace
