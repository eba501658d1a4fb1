// Tillane: the desktop program, or a forecast or chart of the data file on the command line.
#include "app/command_line.h"
#include "app/forecast.h"
#include "app/tillane_app.h"
#include "storage/file_locations.h"
#include "app/documents_folder.h"
#include "app/settings_store.h"
#include "ui/platform/win_app.h"

#include <csignal>
#include <cstdio>
#include <iostream>
#include <string>
#include <vector>

int main(int argc, char** argv)
{
    // A file-size limit (a quota) reached while writing must fail that write with EFBIG,
    // reported like a full disk, not end the program with the data unsaved.
    std::signal(SIGXFSZ, SIG_IGN);
    const std::vector<std::string> words(argv + 1, argv + argc);
    const CommandLineParse parse = ParseCommandLine(words);
    if (!parse.commandLine) {
        std::cerr << "tillane: " << parse.error << "\n\n" << UsageText();
        return 2;
    }
    const CommandLine& line = *parse.commandLine;
    switch (line.mode) {
    case CommandLine::Mode::Help:
        std::cout << HelpText();
        return 0;
    case CommandLine::Mode::Version:
        std::cout << "tillane " << VersionText() << "\n";
        return 0;
    default:
        break;
    }

    const bool withoutWindow = line.mode == CommandLine::Mode::Forecast || line.mode == CommandLine::Mode::Summary ||
                               line.mode == CommandLine::Mode::Chart || line.mode == CommandLine::Mode::Report;
    if (withoutWindow)
        win::QuietPlatformNotices();
    if (line.file)
        SetDataFilePathOverride(*line.file);
    app::InstallDocumentsFolder();
    app::InstallSettingsStore();
    if (withoutWindow)
        return RunWithoutWindow(line, argc, argv);

    CTillaneApp application;
    return application.Run(argc, argv);
}
