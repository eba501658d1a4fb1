#include "app/output_file.h"

#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>

#include <sys/resource.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;
using testing_support::ReadFileBytes;
using testing_support::TempDir;
using testing_support::WriteFileBytes;

TEST(WriteOutputFile, RefusesEveryNameOfTheDataFileAndLeavesItAsItWas)
{
    TempDir folder;
    const fs::path data = folder / "default.Tillane";
    fs::create_directory(folder / "sub");
    // Before the data file exists, the same path counts, however it is spelled.
    EXPECT_FALSE(app::WriteOutputFile((folder / "sub" / ".." / "default.Tillane").string(), "png", data.string()).ok);
    EXPECT_FALSE(fs::exists(data));

    WriteFileBytes(data, "the user's data");
    fs::create_hard_link(data, folder / "hard.png");
    fs::create_symlink(data, folder / "soft.png");
    for (const fs::path& name : {data, folder / "hard.png", folder / "soft.png", folder / "sub" / ".." / "default.Tillane"}) {
        const app::FileOutcome outcome = app::WriteOutputFile(name.string(), "png", data.string());
        EXPECT_FALSE(outcome.ok) << name;
        EXPECT_NE(outcome.reason.find("data file"), std::string::npos) << outcome.reason;
    }
    EXPECT_EQ(ReadFileBytes(data), "the user's data");

    // Another file is written, and replaced whole.
    const fs::path chart = folder / "chart.png";
    ASSERT_TRUE(app::WriteOutputFile(chart.string(), "first, longer", data.string()).ok);
    ASSERT_TRUE(app::WriteOutputFile(chart.string(), "second", data.string()).ok);
    EXPECT_EQ(ReadFileBytes(chart), "second");
}

TEST(WriteOutputFile, AFailedWriteSaysWhyAndLeavesNothingBehind)
{
    TempDir folder;
    const fs::path data = folder / "default.Tillane";
    const app::FileOutcome device = app::WriteOutputFile("/dev/full", "png", data.string());
    EXPECT_FALSE(device.ok);
    EXPECT_EQ(device.reason, "it is not a regular file");

    // A disk that fills part-way: the process may not write more than a few bytes.
    const fs::path chart = folder / "chart.png";
    WriteFileBytes(chart, "old picture");
    rlimit saved {};
    ::getrlimit(RLIMIT_FSIZE, &saved);
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 4;
    ::setrlimit(RLIMIT_FSIZE, &small);
    const app::FileOutcome full = app::WriteOutputFile(chart.string(), "a picture too large", data.string());
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previousHandler);
    EXPECT_FALSE(full.ok);
    EXPECT_EQ(full.reason, "File too large");
    EXPECT_EQ(ReadFileBytes(chart), "old picture");
    EXPECT_EQ(std::distance(fs::directory_iterator(folder.Path()), fs::directory_iterator()), 1);
}

} // namespace
