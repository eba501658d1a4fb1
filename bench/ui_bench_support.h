#pragma once

// What the window benchmarks share: settings that always answer their defaults, and a main
// that starts Qt before the benchmarks run.

#include "storage/config_data_manager.h"

#include <QApplication>
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <ctime>
#include <string>

class DefaultSettings : public IConfigDataManager {
public:
    void WriteInt(const std::string&, const std::string&, int) override {}
    void WriteString(const std::string&, const std::string&, const std::string&) override {}
    int ReadInt(const std::string&, const std::string&, int value) override { return value; }
    std::string ReadString(const std::string&, const std::string&, const std::string& value) override
    {
        return value;
    }
};

struct WindowBenchmarkRun {
    // A fixed zone, so the sample schedules give the same rows everywhere; none keeps the
    // machine's own.
    const char* timeZone = nullptr;
    // Offscreen unless the environment names a platform; false leaves the platform to Qt
    // (a real X server under xvfb-run).
    bool offscreen = true;
};

inline int RunWindowBenchmarks(int argc, char** argv, WindowBenchmarkRun run)
{
    if (run.timeZone) {
        setenv("TZ", run.timeZone, 1);
        tzset();
    }
    if (run.offscreen)
        setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
