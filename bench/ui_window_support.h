#pragma once

// The main window of the window benchmarks: read-only on a data file, so it writes nothing,
// with settings that always answer their defaults.

#include <QCoreApplication>
#include <QWidget>

#include <memory>
#include <string>

#include "app/tillane_dlg.h"
#include "bench/ui_bench_support.h"
#include "storage/configuration.h"

struct BenchWindow {
    explicit BenchWindow(const std::string& path) : storage(path), configuration(storage)
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

// Times opening a window on the file up to its first paint; closing it is not measured.
inline void MeasureOpenToFirstPaint(benchmark::State& state, const std::string& path)
{
    for (auto _ : state) {
        BenchWindow window(path);
        window.Open();
        state.PauseTiming();
        window.dialog.reset();
        state.ResumeTiming();
    }
}
