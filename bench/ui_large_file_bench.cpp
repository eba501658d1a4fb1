// The main window opened on generated data files that are large in one direction, up to
// its first paint (run it under xvfb-run): many accounts, and one description of many
// megabytes, in an account and in a transaction. The files are written to a temporary folder
// before the measurement and removed afterwards. The window is read-only: it writes
// nothing.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QWidget>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <random>
#include <string>

#include "bench/ui_window_support.h"
#include "app/tillane_dlg.h"
#include "storage/configuration.h"

namespace {

using Window = BenchWindow;

// A folder of its own under the system's temporary folder, removed with everything in it.
class TemporaryFolder {
public:
    TemporaryFolder()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "tillane-bench-XXXXXX").string();
        if (mkdtemp(pattern.data()))
            m_path = pattern;
    }
    ~TemporaryFolder()
    {
        std::error_code ignored;
        if (!m_path.empty())
            std::filesystem::remove_all(m_path, ignored);
    }
    TemporaryFolder(const TemporaryFolder&) = delete;
    TemporaryFolder& operator=(const TemporaryFolder&) = delete;
    bool Made() const { return !m_path.empty(); }
    std::string File(const std::string& name) const { return (m_path / name).string(); }

private:
    std::filesystem::path m_path;
};

void WriteAccount(std::ofstream& out, const std::string& description, int balance)
{
    out << "<ACCOUNT>\n<DESCRIPTION>" << description << "</DESCRIPTION>\n<AMOUNT>" << balance
        << "</AMOUNT>\n</ACCOUNT>\n";
}

void WriteTransaction(std::ofstream& out, const std::string& description)
{
    out << "<TRANSACTION Type=\"Monthly\">\n<DESCRIPTION>" << description
        << "</DESCRIPTION>\n<DATE>03/10/2026</DATE>\n<AMOUNT>-25</AMOUNT>\n"
           "<REPEAT Type=\"Monthly\" Delta=\"1\" Count=\"0\" Day=\"10\"/>\n</TRANSACTION>\n";
}

void WriteHeading(std::ofstream& out)
{
    out << "<TILLANE Format=\"1\">\n<CASHFLOW StartDate=\"03/07/2026\" Duration=\"12\"/>\n";
}

// Accounts in no order, their names drawn from fewer names than accounts (so many are
// equal) in three spellings of case; a monthly transaction gives the projection rows.
bool WriteManyAccounts(const std::string& path, int count)
{
    std::ofstream out(path, std::ios::binary);
    WriteHeading(out);
    out << "<ACCOUNTS>\n";
    std::mt19937 random(23);
    const char* const prefixes[] = {"Account ", "account ", "ACCOUNT "};
    for (int i = 0; i < count; ++i) {
        const auto number = std::uniform_int_distribution<int>(0, count / 2)(random);
        WriteAccount(out, prefixes[random() % 3] + std::to_string(number), int(random() % 2000) - 500);
    }
    out << "</ACCOUNTS>\n<TRANSACTIONS>\n";
    WriteTransaction(out, "Rent");
    out << "</TRANSACTIONS>\n</TILLANE>\n";
    return bool(out);
}

// Words with a character reference now and then, to about this many bytes.
std::string LongDescription(std::size_t size)
{
    const std::string words = "Savings &amp; loan payment for the house on Main Street ";
    std::string text;
    text.reserve(size + words.size());
    while (text.size() < size)
        text += words;
    return text;
}

enum LongDescriptionIn { InAccount, InTransaction };

bool WriteLongDescription(const std::string& path, LongDescriptionIn where, std::size_t size)
{
    std::ofstream out(path, std::ios::binary);
    WriteHeading(out);
    out << "<ACCOUNTS>\n";
    WriteAccount(out, where == InAccount ? LongDescription(size) : "Checking", 1500);
    out << "</ACCOUNTS>\n<TRANSACTIONS>\n";
    WriteTransaction(out, where == InTransaction ? LongDescription(size) : "Rent");
    out << "</TRANSACTIONS>\n</TILLANE>\n";
    return bool(out);
}

void OpenManyAccounts(benchmark::State& state)
{
    TemporaryFolder folder;
    const std::string path = folder.File("accounts.Tillane");
    if (!folder.Made() || !WriteManyAccounts(path, static_cast<int>(state.range(0)))) {
        state.SkipWithError("cannot write the data file");
        return;
    }
    MeasureOpenToFirstPaint(state, path);
}
BENCHMARK(OpenManyAccounts)
    ->Arg(10'000)
    ->Arg(20'000)
    ->Arg(40'000)
    ->Arg(200'000)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);

void OpenLongDescription(benchmark::State& state)
{
    const auto where = static_cast<LongDescriptionIn>(state.range(0));
    state.SetLabel(where == InAccount ? "account" : "transaction");
    TemporaryFolder folder;
    const std::string path = folder.File("description.Tillane");
    const auto megabytes = static_cast<std::size_t>(state.range(1));
    if (!folder.Made() || !WriteLongDescription(path, where, megabytes * 1'000'000)) {
        state.SkipWithError("cannot write the data file");
        return;
    }
    MeasureOpenToFirstPaint(state, path);
}
BENCHMARK(OpenLongDescription)
    ->ArgsProduct({{InAccount, InTransaction}, {1, 2, 50}})
    ->ArgNames({"in", "MB"})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);

} // namespace

int main(int argc, char** argv) { return RunWindowBenchmarks(argc, argv, {.offscreen = false}); }
