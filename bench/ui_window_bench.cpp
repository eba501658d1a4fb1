// The main window on a sample schedule, as the user sees it: from creating the window to
// its first paint, and from a click on ">>" to the repainted window. The window is
// read-only (no About box, nothing written). Run it under Xvfb for the real platform:
//   xvfb-run -a build/bench/ui_window_bench --benchmark_filter=stress
// (without a display it uses the offscreen platform).

#include "app/tillane_dlg.h"
#include "res/resource.h"
#include "storage/configuration.h"
#include "tests/ui/fake_config.h"

#include <QAbstractButton>
#include <QApplication>
#include <QWidget>

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <memory>
#include <string>

namespace {

std::string SamplePath(const std::string& name)
{
    return std::string(TILLANE_SAMPLE_DATA) + "/" + name;
}

struct Window {
    explicit Window(const std::string& path) : storage(path), configuration(storage)
    {
        window = std::make_unique<CTillaneDlg>(settings, configuration, win::CRect {0, 0, 640, 480},
                                               CTillaneDlg::Access::ReadOnly);
        window->SetDataFilePath(path);
    }

    void OpenAndPaint()
    {
        window->Create(nullptr, win::WS_POPUP | win::WS_VISIBLE | win::WS_CAPTION);
        Paint();
    }

    void Paint()
    {
        QCoreApplication::processEvents();
        window->Widget()->repaint();
    }

    FakeConfig settings;
    app::Configuration::Storage storage;
    app::Configuration configuration;
    std::unique_ptr<CTillaneDlg> window;
};

void StartToFirstPaint(benchmark::State& state, const std::string& name)
{
    for (auto _ : state) {
        Window window(SamplePath(name));
        window.OpenAndPaint();
        state.PauseTiming();
        window.window.reset();
        state.ResumeTiming();
    }
}

void NextDayToRepaint(benchmark::State& state, const std::string& name)
{
    Window window(SamplePath(name));
    window.OpenAndPaint();
    win::CWnd* next = window.window->CashFlowPage().GetDlgItem(res::IDC_NEXT_DAY);
    auto* button = next ? qobject_cast<QAbstractButton*>(next->Widget()) : nullptr;
    if (!button) {
        state.SkipWithError("no >> button");
        return;
    }
    for (auto _ : state) {
        button->click();
        window.Paint();
    }
}

} // namespace

BENCHMARK_CAPTURE(StartToFirstPaint, typical, std::string("typical.Tillane"))->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(StartToFirstPaint, stress, std::string("stress.Tillane"))->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(NextDayToRepaint, typical, std::string("typical.Tillane"))->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(NextDayToRepaint, stress, std::string("stress.Tillane"))->Unit(benchmark::kMillisecond);

int main(int argc, char** argv)
{
    setenv("TZ", "EST5EDT,M3.2.0,M11.1.0", 1);
    if (!std::getenv("DISPLAY"))
        setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
