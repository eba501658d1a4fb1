// The main window on a sample schedule, shown on a real display (run it under xvfb-run):
// opening it on the file up to its first paint, and a click on ">>" up to the repaint of
// the window (list and chart). The window is read-only: it writes nothing.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QWidget>

#include <memory>
#include <string>

#include "bench/ui_bench_support.h"
#include "app/tillane_dlg.h"
#include "res/resource.h"
#include "storage/config_data_manager.h"
#include "storage/configuration.h"
#include "ui/platform/widgets.h"

namespace {

std::string Schedule(const std::string& name) { return std::string(TILLANE_SAMPLE_DATA) + "/" + name + ".Tillane"; }

struct Window {
    explicit Window(const std::string& path) : storage(path), configuration(storage)
    {
        dialog = std::make_unique<CTillaneDlg>(settings, configuration, win::CRect{0, 0, 800, 600},
                                               CTillaneDlg::Access::ReadOnly);
        dialog->SetDataFilePath(path);
    }
    // Opens the window and waits until it has been painted.
    void Open()
    {
        dialog->Create(nullptr, win::WS_POPUP | win::WS_VISIBLE);
        Paint();
    }
    // Runs what the last input queued (the list's refresh) and paints the whole window now.
    void Paint()
    {
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents();
        if (QWidget* widget = dialog->Widget()) {
            widget->repaint();
            QCoreApplication::processEvents();
        }
    }

    DefaultSettings settings;
    app::Configuration::Storage storage;
    app::Configuration configuration;
    std::unique_ptr<CTillaneDlg> dialog;
};

const char* const kSchedules[] = {"typical", "large", "stress"};

void OpenToFirstPaint(benchmark::State& state)
{
    const std::string path = Schedule(kSchedules[state.range(0)]);
    state.SetLabel(kSchedules[state.range(0)]);
    for (auto _ : state) {
        Window window(path);
        window.Open();
        state.PauseTiming(); // closing is not measured
        window.dialog.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(OpenToFirstPaint)->DenseRange(0, 2)->Unit(benchmark::kMillisecond)->MinTime(1.0);

void NextDayToRepaint(benchmark::State& state)
{
    const std::string path = Schedule(kSchedules[state.range(0)]);
    state.SetLabel(kSchedules[state.range(0)]);
    Window window(path);
    window.Open();
    for (auto _ : state) {
        window.dialog->CashFlowPage().PressButton(res::IDC_NEXT_DAY);
        window.Paint();
    }
}
BENCHMARK(NextDayToRepaint)->DenseRange(0, 2)->Unit(benchmark::kMillisecond)->MinTime(1.0);

} // namespace

int main(int argc, char** argv) { return RunWindowBenchmarks(argc, argv, {.offscreen = false}); }
