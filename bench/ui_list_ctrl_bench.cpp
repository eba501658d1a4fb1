// The list view's row store at the size of a long projection: rows inserted one by one at
// scattered positions (as the projection places occurrences by date), texts set, and a
// stable callback sort. No window is needed: the store works without one.
#include <benchmark/benchmark.h>

#include <random>
#include <string>

#include "ui/platform/list_ctrl.h"

namespace {

void InsertAtScatteredPositions(benchmark::State& state)
{
    const int rows = static_cast<int>(state.range(0));
    for (auto _ : state) {
        win::CListCtrl list;
        for (int column = 0; column < 4; ++column)
            list.InsertColumn(column, "c");
        std::mt19937 random(1);
        win::CListCtrl::UpdateBatch batch(list);
        for (int i = 0; i < rows; ++i) {
            const int at = std::uniform_int_distribution<int>(0, list.GetItemCount())(random);
            const int row = list.InsertItem(at, "01/02/2007");
            list.SetItemText(row, 1, "Payday");
            list.SetItemText(row, 2, "100");
        }
        for (int row = 0; row < list.GetItemCount(); ++row)
            list.SetItemText(row, 3, std::to_string(row));
        benchmark::DoNotOptimize(list.GetItemCount());
    }
}
BENCHMARK(InsertAtScatteredPositions)->Arg(10'000)->Arg(270'000)->Unit(benchmark::kMillisecond);

void SortByCallback(benchmark::State& state)
{
    const int rows = static_cast<int>(state.range(0));
    win::CListCtrl list;
    list.InsertColumn(0, "c");
    std::mt19937 random(2);
    for (int i = 0; i < rows; ++i)
        list.InsertItem(i, "x", std::uniform_int_distribution<std::uintptr_t>(0, 1000)(random));
    bool descending = false;
    for (auto _ : state) {
        list.SortItems([descending](std::uintptr_t a, std::uintptr_t b) {
            const int order = a < b ? -1 : (a > b ? 1 : 0);
            return descending ? -order : order;
        });
        descending = !descending;
    }
}
BENCHMARK(SortByCallback)->Arg(270'000)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
