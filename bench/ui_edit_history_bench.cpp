// Undo history in the main window on a sample schedule: the heap a recorded step holds,
// and the time to undo and redo one step. Undoing a transaction's edit withdraws and
// projects that transaction alone; a start-date step rebuilds the whole projection and is
// there for comparison.

#include "bench/ui_bench_support.h"
#include "app/tillane_dlg.h"
#include "model/date_repeater.h"
#include "storage/configuration.h"
#include "tests/ui/fake_config.h"
#include "ui/platform/api.h"

#include <QApplication>

#include <benchmark/benchmark.h>
#include <malloc.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

namespace {

// The main window on a sample schedule, without settings, About box or saving.
class Window {
public:
    explicit Window(const std::string& name)
        : m_storage(std::filesystem::path(TILLANE_SAMPLE_DATA) / name), m_configuration(m_storage)
        , m_window(m_settings, m_configuration, win::CRect{}, CTillaneDlg::Access::ReadOnly)
    {
        m_window.SetDataFilePath((std::filesystem::path(TILLANE_SAMPLE_DATA) / name).string());
        if (!m_window.Create(nullptr, win::WS_POPUP))
            std::abort();
        // Every step well apart: none merges.
        m_window.History().SetClock([this] { return m_now += std::chrono::seconds(10); });
    }
    CTillaneDlg& operator*() { return m_window; }
    CTillaneDlg* operator->() { return &m_window; }

private:
    FakeConfig m_settings;
    app::Configuration::Storage m_storage;
    app::Configuration m_configuration;
    CTillaneDlg m_window;
    std::chrono::steady_clock::time_point m_now{};
};

std::size_t HeapInUse() { return mallinfo2().uordblks; }

// 10,000 steps of every kind but the start date (whose steps are as small and whose
// rebuilds would only make this slow): edits of transactions and accounts, adds and
// deletes. The data keeps its size, so what the heap gains is what the steps hold.
void RecordSteps(benchmark::State& state, const std::string& name)
{
    constexpr int kSteps = 10000;
    double perStep = 0;
    for (auto _ : state) {
        state.PauseTiming();
        auto window = std::make_unique<Window>(name);
        CEditHistory& history = (*window)->History();
        CTransListCtrl& transactions = (*window)->TransactionsPage().GetListCtrl();
        CAccountsListCtrl& accounts = (*window)->AccountsPage().GetAccountsList();
        const std::size_t before = HeapInUse();
        state.ResumeTiming();

        for (int step = 0; step < kSteps; ++step) {
            const int row = step % transactions.GetItemCount();
            switch (step % 5) {
            case 0:
            case 1:
                history.UpdateTransaction(row, transactions.GetDate(row), transactions.GetDescription(row),
                                          transactions.GetAmount(row) + (step % 2 ? 1 : -1),
                                          CopyRepeater(*transactions.GetRecord(row)->repeater));
                break;
            case 2:
                history.UpdateAccount(0, accounts.GetItemText(0, 0), accounts.GetBalance(0) + 1);
                break;
            case 3:
                history.AddTransaction(transactions.GetDate(row), "Extra", -10, std::make_unique<CDateRepeaterOnce>());
                break;
            default:
                history.DeleteTransaction(transactions.GetSelectedIndex());
                break;
            }
        }

        state.PauseTiming();
        perStep = static_cast<double>(HeapInUse() - before) / kSteps;
        window.reset();
        state.ResumeTiming();
    }
    state.counters["bytes_per_step"] = perStep;
    state.counters["steps"] = kSteps;
}

// Undo then redo of one step made on the schedule.
void UndoRedo(benchmark::State& state, const std::string& name, int kind)
{
    Window window(name);
    CEditHistory& history = window->History();
    CTransListCtrl& transactions = window->TransactionsPage().GetListCtrl();
    const int row = transactions.GetItemCount() / 2;
    switch (kind) {
    case 0:
        history.UpdateTransaction(row, transactions.GetDate(row), transactions.GetDescription(row),
                                  transactions.GetAmount(row) + 1, CopyRepeater(*transactions.GetRecord(row)->repeater));
        break;
    case 1:
        history.UpdateAccount(0, "Changed", 123);
        break;
    default:
        history.MoveStartDate(1);
        break;
    }
    CCashFlowListCtrl& projection = window->CashFlowPage().CashFlowList();
    for (auto _ : state) {
        history.Undo();
        benchmark::DoNotOptimize(projection.GetBalance(projection.GetCount() - 1));
        history.Redo();
        benchmark::DoNotOptimize(projection.GetBalance(projection.GetCount() - 1));
    }
    state.counters["rows"] = projection.GetCount();
}

void TransactionEdit(benchmark::State& state, const std::string& name) { UndoRedo(state, name, 0); }
void AccountEdit(benchmark::State& state, const std::string& name) { UndoRedo(state, name, 1); }
void StartDate(benchmark::State& state, const std::string& name) { UndoRedo(state, name, 2); }

} // namespace

BENCHMARK_CAPTURE(RecordSteps, typical, std::string("typical.Tillane"))->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK_CAPTURE(TransactionEdit, stress, std::string("stress.Tillane"))->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(AccountEdit, stress, std::string("stress.Tillane"))->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(StartDate, stress, std::string("stress.Tillane"))->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) { return RunWindowBenchmarks(argc, argv, {.timeZone = "EST5EDT,M3.2.0,M11.1.0"}); }
