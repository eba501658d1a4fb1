// The main window on a sample schedule, shown on a real display (run it under xvfb-run):
// opening it on the file up to its first paint, and each input the user repeats on a
// large projection up to the repaint of the whole window (list, summary line and chart):
// ">>", "<<", a click of the Duration spin, and adding, editing and deleting one
// transaction as the editor's OK and the delete confirmation hand them on. The window is
// read-only: it writes nothing.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QWidget>

#include <memory>
#include <string>

#include "bench/ui_window_support.h"
#include "app/tillane_dlg.h"
#include "model/date_repeater.h"
#include "res/resource.h"
#include "storage/config_data_manager.h"
#include "storage/configuration.h"
#include "ui/edit_history.h"
#include "ui/platform/controls.h"
#include "ui/platform/widgets.h"

namespace {

std::string Schedule(const std::string& name) { return std::string(TILLANE_SAMPLE_DATA) + "/" + name + ".Tillane"; }

using Window = BenchWindow;

const char* const kSchedules[] = {"typical", "large", "stress", "stress-business"};

// The window opened and painted on the benchmark's schedule, which names the results.
std::unique_ptr<Window> OpenSchedule(benchmark::State& state)
{
    state.SetLabel(kSchedules[state.range(0)]);
    auto window = std::make_unique<Window>(Schedule(kSchedules[state.range(0)]));
    window->Open();
    return window;
}

void OpenToFirstPaint(benchmark::State& state)
{
    const std::string path = Schedule(kSchedules[state.range(0)]);
    state.SetLabel(kSchedules[state.range(0)]);
    MeasureOpenToFirstPaint(state, path);
}
BENCHMARK(OpenToFirstPaint)->DenseRange(0, 3)->Unit(benchmark::kMillisecond)->MinTime(1.0);

// Presses a Cash Flow page button on each iteration and repaints.
void ButtonToRepaint(benchmark::State& state, int button)
{
    const std::unique_ptr<Window> opened = OpenSchedule(state);
    Window& window = *opened;
    for (auto _ : state) {
        window.dialog->CashFlowPage().PressButton(button);
        window.Paint();
    }
}

void NextDayToRepaint(benchmark::State& state) { ButtonToRepaint(state, res::IDC_NEXT_DAY); }
BENCHMARK(NextDayToRepaint)->DenseRange(0, 3)->Unit(benchmark::kMillisecond)->MinTime(1.0);

// The same on the stress schedule with every fifth transaction a what-if: the summary
// line and the chart show the firm forecast beside the one with them.
void NextDayToRepaintWithWhatIfs(benchmark::State& state)
{
    state.SetLabel("stress-whatif");
    Window window(Schedule("stress-whatif"));
    window.Open();
    for (auto _ : state) {
        window.dialog->CashFlowPage().PressButton(res::IDC_NEXT_DAY);
        window.Paint();
    }
}
BENCHMARK(NextDayToRepaintWithWhatIfs)->Unit(benchmark::kMillisecond)->MinTime(1.0);

void PreviousDayToRepaint(benchmark::State& state) { ButtonToRepaint(state, res::IDC_PREVIOUS_DAY); }
BENCHMARK(PreviousDayToRepaint)->DenseRange(0, 3)->Unit(benchmark::kMillisecond)->MinTime(1.0);

// One click of the Duration spin, down and up in turn.
void DurationStepToRepaint(benchmark::State& state)
{
    const std::unique_ptr<Window> opened = OpenSchedule(state);
    Window& window = *opened;
    auto* spin = window.dialog->CashFlowPage().GetDlgItemAs<win::CSpinButtonCtrl>(res::IDC_DURATION_SPIN);
    if (!spin) {
        state.SkipWithError("no Duration spin");
        return;
    }
    int delta = -1;
    for (auto _ : state) {
        spin->Step(delta);
        window.Paint();
        delta = -delta;
    }
}
BENCHMARK(DurationStepToRepaint)->DenseRange(0, 3)->Unit(benchmark::kMillisecond)->MinTime(1.0);

// The transaction the add, edit and delete benchmarks work with: monthly from the start
// date, so it has a row in every month of the projection.
void AddBenchTransaction(Window& window, std::int32_t amount)
{
    window.dialog->History().AddTransaction(window.dialog->CashFlowPage().CashFlowList().GetStartDate(),
                                            "Bench payment", amount,
                                            std::make_unique<CDateRepeaterMonthly>(1, 0, 15));
}

int SelectedTransaction(Window& window)
{
    return window.dialog->TransactionsPage().GetListCtrl().GetNextItem(-1, win::LVNI_SELECTED);
}

void AddTransactionToRepaint(benchmark::State& state)
{
    const std::unique_ptr<Window> opened = OpenSchedule(state);
    Window& window = *opened;
    for (auto _ : state) {
        AddBenchTransaction(window, -25);
        window.Paint();
        state.PauseTiming(); // taking it out again is not measured
        window.dialog->History().Undo();
        window.Paint();
        state.ResumeTiming();
    }
}
BENCHMARK(AddTransactionToRepaint)->DenseRange(0, 3)->Unit(benchmark::kMillisecond)->MinTime(1.0);

// A new amount for the transaction, two amounts in turn.
void EditTransactionToRepaint(benchmark::State& state)
{
    const std::unique_ptr<Window> opened = OpenSchedule(state);
    Window& window = *opened;
    AddBenchTransaction(window, -25);
    window.Paint();
    const int row = SelectedTransaction(window);
    const TimeValue date = window.dialog->TransactionsPage().GetListCtrl().GetDate(row);
    std::int32_t amount = -25;
    for (auto _ : state) {
        amount = amount == -25 ? -30 : -25;
        window.dialog->History().UpdateTransaction(row, date, "Bench payment", amount,
                                                   std::make_unique<CDateRepeaterMonthly>(1, 0, 15));
        window.Paint();
    }
}
BENCHMARK(EditTransactionToRepaint)->DenseRange(0, 3)->Unit(benchmark::kMillisecond)->MinTime(1.0);

void DeleteTransactionToRepaint(benchmark::State& state)
{
    const std::unique_ptr<Window> opened = OpenSchedule(state);
    Window& window = *opened;
    for (auto _ : state) {
        state.PauseTiming(); // putting it in is not measured
        AddBenchTransaction(window, -25);
        window.Paint();
        const int row = SelectedTransaction(window);
        state.ResumeTiming();
        window.dialog->History().DeleteTransaction(row);
        window.Paint();
    }
}
BENCHMARK(DeleteTransactionToRepaint)->DenseRange(0, 3)->Unit(benchmark::kMillisecond)->MinTime(1.0);

} // namespace

int main(int argc, char** argv) { return RunWindowBenchmarks(argc, argv, {.offscreen = false}); }
