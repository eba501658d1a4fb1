// Adding one-time transactions one by one to the Transactions list shown in a window, each
// selected as it is added (as loading a file used to), all dated before the forecast's
// window so the projection has nothing to add: what remains is the list's own work
// (sorted insert, selection) and the view's. Runs on Qt's offscreen platform.
#include <benchmark/benchmark.h>

#include <QApplication>

#include <cstdlib>
#include <memory>
#include <string>

#include "bench/ui_bench_support.h"
#include "model/cash_flow_projection.h"
#include "model/date_repeater.h"
#include "model/dates.h"
#include "storage/config_data_manager.h"
#include "ui/trans_page_dlg.h"

namespace {

class NoAccounts : public IAccountsListCtrl {
public:
    std::int64_t GetTotalBalance() override { return 0; }
};

// The page keeps only a reference to the projection until it exists (declared after it).
struct Window {
    Window() : page(config, projection), projection(accounts, page.GetListCtrl(), 99, "Current Accounts")
    {
        ProjectionStartDate() = MakeDate(2026, 3, 7);
        page.Create(nullptr);
        projection.Rebuild();
    }

    DefaultSettings config;
    NoAccounts accounts;
    CTransPageDlg page;
    CashFlowProjection projection;
};

void AddOneTimeTransactionsOneByOne(benchmark::State& state)
{
    const int count = static_cast<int>(state.range(0));
    const TimeValue before = MakeDate(1990, 1, 1);
    for (auto _ : state) {
        state.PauseTiming();
        auto window = std::make_unique<Window>();
        state.ResumeTiming();
        CTransListCtrl& list = window->page.GetListCtrl();
        for (int i = 0; i < count; ++i)
            list.AddTransaction(before, "Item " + std::to_string((i * 7919) % count), -1, nullptr, true);
        benchmark::DoNotOptimize(list.GetItemCount());
        state.PauseTiming(); // opening and closing the window are not what is measured
        window.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(AddOneTimeTransactionsOneByOne)->Arg(10'000)->Arg(30'000)->Arg(100'000)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace

int main(int argc, char** argv) { return RunWindowBenchmarks(argc, argv, {}); }
