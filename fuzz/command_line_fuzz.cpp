// Feeds arbitrary words to the command-line reader (the input split at NUL bytes). Whatever
// it accepts must hold to the limits it promises: one mode, months 1 to 99, a chart size
// within its bounds, and no option that belongs to another mode.
#include "app/command_line.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::vector<std::string> words(1);
    for (std::size_t i = 0; i < size; ++i) {
        if (data[i] == 0)
            words.emplace_back();
        else
            words.back() += static_cast<char>(data[i]);
    }
    const CommandLineParse parse = ParseCommandLine(words);
    if (!parse.commandLine) {
        if (parse.error.empty())
            std::abort();
        return 0;
    }
    const CommandLine& line = *parse.commandLine;
    if (line.months && (*line.months < 1 || *line.months > 99))
        std::abort();
    if (line.width < 16 || line.height < 16 || line.width > 10000 || line.height > 10000 ||
        static_cast<long long>(line.width) * line.height > 50'000'000)
        std::abort();
    if (line.mode == CommandLine::Mode::Chart && line.chartFile.empty())
        std::abort();
    if (line.csv && line.mode != CommandLine::Mode::Forecast)
        std::abort();
    return 0;
}
