#include "app/output_file.h"

#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <csignal>
#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include <fcntl.h>
#include <sys/file.h>
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

    // Nor the files kept beside it: the lock and the copies set aside, by any name, also
    // when the data file is named through a link (copies set aside take the link's name).
    const fs::path lock = folder / ".default.Tillane.lock";
    const std::vector<fs::path> kept = {lock, folder / "default.Tillane.unreadable-20260101-1000",
                                        folder / "default.Tillane.original-20260101-1000-2",
                                        folder / "default.Tillane.changed-elsewhere-20260101-1000",
                                        folder / "soft.png.unreadable-20260101-1000"};
    for (const fs::path& name : kept)
        WriteFileBytes(name, "kept");
    fs::create_symlink(lock, folder / "lock.png");
    for (const fs::path& dataName : {data, folder / "soft.png"}) {
        std::vector<fs::path> names = kept;
        names.insert(names.end(), {folder / "lock.png", folder / "sub" / ".." / ".default.Tillane.lock"});
        for (const fs::path& name : names) {
            if (dataName == data && name.filename().string().rfind("soft.png.", 0) == 0)
                continue;
            const app::FileOutcome outcome = app::WriteOutputFile(name.string(), "png", dataName.string());
            EXPECT_FALSE(outcome.ok) << name << " beside " << dataName;
            EXPECT_NE(outcome.reason.find("data file"), std::string::npos) << outcome.reason;
        }
    }
    for (const fs::path& name : kept)
        EXPECT_EQ(ReadFileBytes(name), "kept") << name;
    // A name that only resembles theirs is the user's to write.
    EXPECT_TRUE(app::WriteOutputFile((folder / "default.Tillane.original.png").string(), "png", data.string()).ok);

    // Another file is written, and replaced whole.
    const fs::path chart = folder / "chart.png";
    ASSERT_TRUE(app::WriteOutputFile(chart.string(), "first, longer", data.string()).ok);
    ASSERT_TRUE(app::WriteOutputFile(chart.string(), "second", data.string()).ok);
    EXPECT_EQ(ReadFileBytes(chart), "second");
}

// Writes of an output cut short (killed) leave their temporary files beside it: the next
// write of it removes them, but never one that a write under way holds, nor another's.
TEST(WriteOutputFile, RemovesWhatWritesCutShortLeftButNotAWriteUnderWay)
{
    TempDir folder;
    for (const char* name : {".chart.png.saving-a1B2c3", ".chart.png.saving-d4E5f6", ".chart.png.saving-abc",
                             ".other.png.saving-a1B2c3"})
        WriteFileBytes(folder / name, "x");
    const int underWay = ::open((folder / ".chart.png.saving-d4E5f6").c_str(), O_RDONLY);
    ASSERT_EQ(::flock(underWay, LOCK_EX), 0);
    EXPECT_TRUE(app::WriteOutputFile((folder / "chart.png").string(), "png", (folder / "default.Tillane").string()).ok);
    ::close(underWay);
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder.Path()))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string> {".chart.png.saving-abc", ".chart.png.saving-d4E5f6",
                                                 ".other.png.saving-a1B2c3", "chart.png"}));
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
