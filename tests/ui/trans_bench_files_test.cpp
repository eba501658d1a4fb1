#include "storage/data_file.h"

#include "support/tz_guard.h"
#include "trans_test_support.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <ostream>
#include <string>

namespace {

using testing_support::kEastern;
using testing_support::TzGuard;
using trans_testing::TransactionsHarness;

struct BenchFile {
    const char* name;
    int rows; // with the opening row
};

void PrintTo(const BenchFile& file, std::ostream* out) { *out << file.name; }

class TransBenchFilesTest : public ::testing::TestWithParam<BenchFile> {};

// The sample schedules, loaded one transaction at a time as the main window does, over
// 99 months from 7 March 2026: the projection has a known number of rows, the same after
// a rebuild, in date order with balances that add up.
TEST_P(TransBenchFilesTest, LoadingThroughTheListGivesTheKnownRowCount)
{
    TzGuard tz(kEastern);
    const char* variable = std::getenv("TILLANE_SAMPLE_DATA");
    const std::filesystem::path folder =
        variable ? std::filesystem::path(variable) : std::filesystem::path(TILLANE_SOURCE_DIR) / "bench/data";
    const TimeValue start = MakeDate(2026, 3, 7);
    DataFile::LoadResult file = DataFile::LoadFile(folder / GetParam().name, start);
    ASSERT_EQ(file.status, DataFile::Status::Loaded);
    EXPECT_EQ(file.differences, 0u) << "a save keeps everything in the file: "
                                    << (file.notes.empty() ? "" : file.notes[0]);
    std::int64_t total = 0;
    for (const DataFile::Account& account : file.contents.accounts)
        total += account.balance;

    TransactionsHarness harness(start, 99, total);
    for (DataFile::Transaction& transaction : file.contents.transactions)
        harness.List().AddTransaction(transaction.date, transaction.description, transaction.amount,
                                      std::move(transaction.rule), true);
    CashFlowProjection& projection = harness.projection;
    EXPECT_EQ(harness.List().GetItemCount(), static_cast<int>(file.contents.transactions.size()));
    EXPECT_EQ(projection.GetCount(), GetParam().rows);
    projection.Rebuild();
    ASSERT_EQ(projection.GetCount(), GetParam().rows);

    std::int64_t balance = total;
    EXPECT_EQ(projection.GetBalance(0), total);
    for (int r = 1; r < projection.GetCount(); ++r) {
        ASSERT_LE(projection.GetDate(r - 1), projection.GetDate(r)) << r;
        balance += projection.GetAmount(r);
    }
    EXPECT_EQ(projection.GetBalance(projection.GetCount() - 1), balance);
    EXPECT_LT(projection.GetDate(projection.GetCount() - 1), projection.GetEndDate());
}

INSTANTIATE_TEST_SUITE_P(Files, TransBenchFilesTest,
                         ::testing::Values(BenchFile{"typical.Tillane", 2370}, BenchFile{"large.Tillane", 19253},
                                           BenchFile{"stress.Tillane", 269757}),
                         [](const ::testing::TestParamInfo<BenchFile>& info) {
                             std::string name = info.param.name;
                             return name.substr(0, name.find('.'));
                         });

} // namespace
