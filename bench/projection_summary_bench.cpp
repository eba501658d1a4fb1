// What the lowest-balance summary costs next to the rebuild it follows: the sample
// schedules projected over 99 months from 7 March 2026, then summarised; and what a
// rebuild of the stress schedule costs with exceptions. The window
// summarises once after every change, so its cost should be a few per cent of a rebuild.

#include "model/cash_flow_projection.h"
#include "model/projection_summary.h"
#include "model/transaction_data.h"
#include "storage/data_file.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

namespace {

class Accounts : public IAccountsListCtrl {
public:
    explicit Accounts(std::int64_t total) : m_total(total) {}
    std::int64_t GetTotalBalance() override { return m_total; }

private:
    std::int64_t m_total;
};

// The transactions of a sample file, projected in file order as the transactions list
// projects its rows.
class Transactions : public ITransListCtrl {
public:
    std::vector<std::unique_ptr<TransactionData>> records;
    ICashflowListCtrl* cashflow = nullptr;

    void EditTransaction(int) override {}
    int FindTransaction(const TransactionData*) override { return -1; }
    int ProjectAllTransactions() override
    {
        for (const auto& record : records)
            ProjectTransactionOccurrences(*cashflow, record->date, record->description, record->amount, record.get(),
                                          *record->repeater);
        return static_cast<int>(records.size());
    }
};

struct Schedule {
    explicit Schedule(const std::string& name)
    {
        const TimeValue start = MakeDate(2026, 3, 7);
        ProjectionStartDate() = start;
        DataFile::LoadResult file = DataFile::LoadFile(std::filesystem::path(TILLANE_SAMPLE_DATA) / name, start);
        if (file.status != DataFile::Status::Loaded) {
            std::cerr << "cannot load " << name << '\n';
            std::exit(1);
        }
        std::int64_t total = 0;
        for (const DataFile::Account& account : file.contents.accounts)
            total += account.balance;
        accounts = std::make_unique<Accounts>(total);
        for (DataFile::Transaction& transaction : file.contents.transactions) {
            transactions.records.push_back(std::make_unique<TransactionData>(
                transaction.date, transaction.description, transaction.amount, std::move(transaction.rule)));
            transactions.records.back()->exceptions = std::move(transaction.exceptions);
        }
        projection = std::make_unique<CashFlowProjection>(*accounts, transactions, 99, "Current Accounts");
        transactions.cashflow = projection.get();
    }

    void Rebuild()
    {
        projection->Rebuild();
        // Reading the last balance makes the projection finish every row.
        benchmark::DoNotOptimize(projection->GetBalance(projection->GetCount() - 1));
    }

    std::unique_ptr<Accounts> accounts;
    Transactions transactions;
    std::unique_ptr<CashFlowProjection> projection;
};

void Rebuild(benchmark::State& state, const std::string& name)
{
    Schedule schedule(name);
    for (auto _ : state)
        schedule.Rebuild();
    state.counters["rows"] = schedule.projection->GetCount();
}

void Summary(benchmark::State& state, const std::string& name)
{
    Schedule schedule(name);
    schedule.Rebuild();
    for (auto _ : state)
        benchmark::DoNotOptimize(SummarizeProjection(*schedule.projection, 0).lowestBalance);
    state.counters["rows"] = schedule.projection->GetCount();
}

} // namespace

BENCHMARK_CAPTURE(Rebuild, typical, std::string("typical.Tillane"))->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Summary, typical, std::string("typical.Tillane"))->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Rebuild, stress, std::string("stress.Tillane"))->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Summary, stress, std::string("stress.Tillane"))->Unit(benchmark::kMillisecond);
// The stress schedule with 10,000 exceptions (bench/make_stress_exceptions.py): skips,
// amounts, moves near and from beyond the window. Should cost at most a tenth more.
BENCHMARK_CAPTURE(Rebuild, stress_exceptions, std::string("stress-exceptions.Tillane"))->Unit(benchmark::kMillisecond);

int main(int argc, char** argv)
{
    setenv("TZ", "EST5EDT,M3.2.0,M11.1.0", 1);
    tzset();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
