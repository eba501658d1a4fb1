// Tillane: the forecast, the version and the help are answered here, on the core alone;
// the window and the chart are the window program's, which this one hands the same
// words to.
#include "app/command_line.h"
#include "app/forecast_output.h"
#include "app/version.h"
#include "storage/file_locations.h"
#include "storage/xdg_documents_folder.h"

#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

namespace {

// The window program: beside this one (the build tree), else where installation puts it.
std::string WindowProgram()
{
    std::error_code error;
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
    const std::filesystem::path folder = error ? std::filesystem::path(".") : self.parent_path();
    const std::filesystem::path beside = folder / "tillane-window";
    if (access(beside.c_str(), X_OK) == 0)
        return beside.string();
    return (folder / ".." / "libexec" / "tillane" / "tillane-window").lexically_normal().string();
}

int HandOver(char** argv)
{
    const std::string program = WindowProgram();
    execv(program.c_str(), argv);
    std::fprintf(stderr, "tillane: cannot start %s: %s\n", program.c_str(), std::strerror(errno));
    return 1;
}

} // namespace

int main(int argc, char** argv)
{
    // A file-size limit (a quota) reached while writing must fail that write with EFBIG,
    // reported like a full disk, not end the program with the data unsaved.
    std::signal(SIGXFSZ, SIG_IGN);
    const std::vector<std::string> words(argv + 1, argv + argc);
    const CommandLineParse parse = ParseCommandLine(words);
    if (!parse.commandLine) {
        std::fprintf(stderr, "tillane: %s\n\n%s", parse.error.c_str(), UsageText().c_str());
        return 2;
    }
    const CommandLine& line = *parse.commandLine;
    switch (line.mode) {
    case CommandLine::Mode::Help:
        std::fputs(HelpText().c_str(), stdout);
        return std::fflush(stdout) == 0 ? 0 : 1;
    case CommandLine::Mode::Version:
        std::printf("tillane %s\n", VersionText().c_str());
        return std::fflush(stdout) == 0 ? 0 : 1;
    case CommandLine::Mode::Forecast:
    case CommandLine::Mode::Summary: {
        static const XdgDocumentsFolder documents;
        InstallDocumentsFolderProvider(documents);
        const std::string path = line.file ? *line.file : GetDataFilePath();
        return RunForecast(line, path, stdout, stderr);
    }
    default:
        return HandOver(argv);
    }
}
