// Speed and memory of the projection as the program builds it: the transactions of a
// sample schedule added one by one to the Transactions page's list (each add projects
// its transaction at once), then one Rebuild, over 99 months from 7 March 2026. The
// cash-flow list is the core projection; the list has its page window, so it keeps its
// rows sorted by description as in the program.
//
// Peak memory (getrusage) is for the whole process: run one file at a time for its own
// figure, e.g. --benchmark_filter=stress.

#include "bench/ui_bench_support.h"
#include "storage/data_file.h"
#include "tests/ui/trans_test_support.h"

#include <QApplication>

#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

namespace {

const TimeValue& Start()
{
    static const TimeValue start = MakeDate(2026, 3, 7);
    return start;
}

DataFile::Contents ReadSample(const std::string& name)
{
    DataFile::LoadResult file = DataFile::LoadFile(std::filesystem::path(TILLANE_SAMPLE_DATA) / name, Start());
    if (file.status != DataFile::Status::Loaded) {
        std::cerr << "cannot load " << name << '\n';
        std::exit(1);
    }
    return std::move(file.contents);
}

std::int64_t AccountsTotal(const DataFile::Contents& contents)
{
    std::int64_t total = 0;
    for (const DataFile::Account& account : contents.accounts)
        total += account.balance;
    return total;
}

double PeakMegabytes()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

void LoadAndRebuild(benchmark::State& state, const std::string& name)
{
    int rows = 0;
    for (auto _ : state) {
        state.PauseTiming();
        DataFile::Contents contents = ReadSample(name);
        auto harness = std::make_unique<trans_testing::TransactionsHarness>(Start(), 99, AccountsTotal(contents));
        state.ResumeTiming();

        for (DataFile::Transaction& transaction : contents.transactions)
            harness->List().AddTransaction(transaction.date, transaction.description, transaction.amount,
                                           std::move(transaction.rule), true);
        harness->projection.Rebuild();
        // Reading the last balance makes the projection finish every row.
        benchmark::DoNotOptimize(harness->projection.GetBalance(harness->projection.GetCount() - 1));
        rows = harness->projection.GetCount();

        state.PauseTiming();
        harness.reset();
        state.ResumeTiming();
    }
    state.counters["rows"] = rows;
    state.counters["peak_MB"] = PeakMegabytes();
}

// The same adds with a projection that takes nothing: what the list itself costs.
class NoProjection : public ICashflowListCtrl {
public:
    int InsertEntry(TimeValue, const std::string&, std::int32_t, TransactionData*, bool) override { return -1; }
    TimeValue GetEndDate() const override { return 0; }
    int GetCount() override { return 0; }
    std::int64_t GetBalance(int) override { return 0; }
    TimeValue GetDate(int) override { return 0; }
    TransactionData* GetTransaction(int) override { return nullptr; }
    void Recalculate(int) override {}
    void DeleteEntry(int) override {}
    bool InsertEntries(const std::vector<TimeValue>&, const std::string&, std::int32_t, TransactionData*) override
    {
        return true;
    }
    int DeleteEntriesOf(const TransactionData*) override { return 0; }
};

void StoreOnly(benchmark::State& state, const std::string& name)
{
    for (auto _ : state) {
        state.PauseTiming();
        DataFile::Contents contents = ReadSample(name);
        FakeConfig config;
        NoProjection projection;
        auto page = std::make_unique<CTransPageDlg>(config, projection);
        page->Create(nullptr);
        state.ResumeTiming();

        for (DataFile::Transaction& transaction : contents.transactions)
            page->GetListCtrl().AddTransaction(transaction.date, transaction.description, transaction.amount,
                                               std::move(transaction.rule), true);
        benchmark::DoNotOptimize(page->GetListCtrl().GetItemCount());

        state.PauseTiming();
        page.reset();
        state.ResumeTiming();
    }
}

void ReadFileOnly(benchmark::State& state, const std::string& name)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(ReadSample(name).transactions.size());
}

} // namespace

BENCHMARK_CAPTURE(LoadAndRebuild, typical, std::string("typical.Tillane"))->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(LoadAndRebuild, large, std::string("large.Tillane"))->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(LoadAndRebuild, stress, std::string("stress.Tillane"))->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(StoreOnly, stress, std::string("stress.Tillane"))->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(ReadFileOnly, stress, std::string("stress.Tillane"))->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) { return RunWindowBenchmarks(argc, argv, {.timeZone = "EST5EDT,M3.2.0,M11.1.0"}); }
