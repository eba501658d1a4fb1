// What the what-if transactions cost on the stress schedule, projected over 99 months from
// 7 March 2026 as the command line and the window project it: without any ("today"), and
// with every fifth transaction tentative and included, which adds the firm forecast's pass
// over the rows wherever it is shown.
//   Forecast: a rebuild with every balance read (what --forecast prints from).
//   Summary:  a rebuild and the summary (--summary), with the firm summary beside it.
//   Move:     ">>": the window moved a day, then what the window shows again: the summary
//             line (with the firm one) and the chart's firm balances.

#include "model/cash_flow_projection.h"
#include "model/firm_forecast.h"
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

const TimeValue& Start()
{
    static const TimeValue start = MakeDate(2026, 3, 7);
    return start;
}

// The stress schedule, every `tentativeEvery`th transaction tentative (0: none).
struct Schedule {
    explicit Schedule(int tentativeEvery)
    {
        ProjectionStartDate() = Start();
        DataFile::LoadResult file =
            DataFile::LoadFile(std::filesystem::path(TILLANE_SAMPLE_DATA) / "stress.Tillane", Start());
        if (file.status != DataFile::Status::Loaded) {
            std::cerr << "cannot load stress.Tillane\n";
            std::exit(1);
        }
        std::int64_t total = 0;
        for (const DataFile::Account& account : file.contents.accounts)
            total += account.balance;
        accounts = std::make_unique<Accounts>(total);
        for (DataFile::Transaction& transaction : file.contents.transactions) {
            transactions.records.push_back(std::make_unique<TransactionData>(
                transaction.date, transaction.description, transaction.amount, std::move(transaction.rule)));
            transactions.records.back()->tentative =
                tentativeEvery > 0 && transactions.records.size() % static_cast<std::size_t>(tentativeEvery) == 0;
        }
        projection = std::make_unique<CashFlowProjection>(*accounts, transactions, 99, "Current Accounts");
        transactions.cashflow = projection.get();
    }

    void Rebuild()
    {
        projection->Rebuild();
        benchmark::DoNotOptimize(projection->GetBalance(projection->GetCount() - 1));
    }

    // The summary; with what-ifs, the firm one beside it (without any, as today, nothing
    // of it).
    void Summarize(bool firm)
    {
        benchmark::DoNotOptimize(SummarizeProjection(*projection, 0).lowestBalance);
        if (!firm)
            return;
        if (const auto firmSummary = SummarizeFirmForecast(*projection, 0))
            benchmark::DoNotOptimize(firmSummary->lowestBalance);
    }
    // What the window shows again after a change: the summary line and, with what-ifs,
    // the chart's firm balances.
    void Show(bool firm)
    {
        Summarize(firm);
        if (firm)
            benchmark::DoNotOptimize(FirmBalances(projection->Rows()).size());
    }

    std::unique_ptr<Accounts> accounts;
    Transactions transactions;
    std::unique_ptr<CashFlowProjection> projection;
};

void Forecast(benchmark::State& state)
{
    Schedule schedule(static_cast<int>(state.range(0)));
    for (auto _ : state)
        schedule.Rebuild();
    state.counters["rows"] = schedule.projection->GetCount();
}

void Summary(benchmark::State& state)
{
    Schedule schedule(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        schedule.Rebuild();
        schedule.Summarize(state.range(0) != 0);
    }
}

void Move(benchmark::State& state)
{
    Schedule schedule(static_cast<int>(state.range(0)));
    schedule.Rebuild();
    int step = 1;
    for (auto _ : state) {
        // Forward, then back again now and then, so that the window stays near its start.
        step = ProjectionStartDate() >= AddDays(Start(), 30) ? -1 : ProjectionStartDate() <= Start() ? 1 : step;
        schedule.projection->SetStartDate(AddDays(ProjectionStartDate(), step));
        schedule.Show(state.range(0) != 0);
    }
}

// The passes over the rows alone, on a projection built once: the summary (0), the firm
// summary (1), the chart's firm balances (2).
void Pass(benchmark::State& state)
{
    Schedule schedule(5);
    schedule.Rebuild();
    for (auto _ : state) {
        switch (state.range(0)) {
        case 0: benchmark::DoNotOptimize(SummarizeProjection(*schedule.projection, 0).lowestBalance); break;
        case 1: benchmark::DoNotOptimize(SummarizeFirmForecast(*schedule.projection, 0)->lowestBalance); break;
        default: benchmark::DoNotOptimize(FirmBalances(schedule.projection->Rows()).size()); break;
        }
    }
}

} // namespace

BENCHMARK(Pass)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);
// The argument: every how-many-th transaction is tentative (0: none, as today).
BENCHMARK(Forecast)->Arg(0)->Arg(5)->Unit(benchmark::kMillisecond);
BENCHMARK(Summary)->Arg(0)->Arg(5)->Unit(benchmark::kMillisecond);
BENCHMARK(Move)->Arg(0)->Arg(5)->Unit(benchmark::kMillisecond);

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
