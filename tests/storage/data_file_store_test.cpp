#include "storage/data_file_store.h"

#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <filesystem>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using testing_support::ReadFileBytes;
using testing_support::TempDir;
using testing_support::WriteFileBytes;

std::ptrdiff_t EntriesIn(const std::filesystem::path& folder)
{
    return std::distance(std::filesystem::directory_iterator(folder), std::filesystem::directory_iterator());
}

TEST(ReplaceFile, WritesANewFileAndReplacesAnOldOneKeepingItsPermissions)
{
    TempDir folder;
    const auto path = folder / "default.Tillane";
    ASSERT_TRUE(app::ReplaceFile(path.string(), "first\r\r\n").ok);
    EXPECT_EQ(ReadFileBytes(path), "first\r\r\n");

    ::chmod(path.c_str(), 0640);
    ASSERT_TRUE(app::ReplaceFile(path.string(), "second").ok);
    EXPECT_EQ(ReadFileBytes(path), "second");
    struct stat info {};
    ASSERT_EQ(::stat(path.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0640u);
    // Nothing is left behind but the file itself.
    EXPECT_EQ(EntriesIn(folder.Path()), 1);
}

TEST(ReplaceFile, ASaveCutShortBeforeTheRenameLeavesTheOldFile)
{
    TempDir folder;
    const auto path = folder / "default.Tillane";
    WriteFileBytes(path, "the user's data");
    const auto outcome = app::ReplaceFile(path.string(), "new data", [] { return false; });
    EXPECT_FALSE(outcome.ok);
    EXPECT_FALSE(outcome.reason.empty());
    EXPECT_EQ(ReadFileBytes(path), "the user's data");
    EXPECT_EQ(EntriesIn(folder.Path()), 1);
}

TEST(ReplaceFile, AFolderThatCannotBeWrittenReportsTheReason)
{
    TempDir folder;
    const auto missing = folder / "no such folder" / "default.Tillane";
    const auto outcome = app::ReplaceFile(missing.string(), "data");
    EXPECT_FALSE(outcome.ok);
    EXPECT_EQ(outcome.reason, "No such file or directory");
}

TEST(ReplaceFile, FollowsALinkToTheRealFile)
{
    TempDir folder;
    std::filesystem::create_directory(folder / "synced");
    WriteFileBytes(folder / "synced" / "real.Tillane", "old");
    std::filesystem::create_symlink(folder / "synced" / "real.Tillane", folder / "default.Tillane");
    ASSERT_TRUE(app::ReplaceFile((folder / "default.Tillane").string(), "new").ok);
    EXPECT_TRUE(std::filesystem::is_symlink(folder / "default.Tillane"));
    EXPECT_EQ(ReadFileBytes(folder / "synced" / "real.Tillane"), "new");
}

TEST(SetAsideUnreadable, KeepsTheFileByteForByteUnderADatedName)
{
    TempDir folder;
    const auto path = folder / "default.Tillane";
    WriteFileBytes(path, "<TILLANE><broken");
    std::tm when {};
    when.tm_year = 2026 - 1900;
    when.tm_mon = 11;
    when.tm_mday = 8;
    when.tm_hour = 10;
    when.tm_min = 15;
    when.tm_isdst = -1;
    const std::time_t now = std::mktime(&when);

    const auto first = app::SetAsideUnreadable(path.string(), now);
    ASSERT_TRUE(first.ok) << first.reason;
    EXPECT_EQ(first.path, path.string() + ".unreadable-20261208-1015");
    EXPECT_EQ(ReadFileBytes(first.path), "<TILLANE><broken");
    EXPECT_FALSE(std::filesystem::exists(path));

    WriteFileBytes(path, "second");
    const auto second = app::SetAsideUnreadable(path.string(), now);
    ASSERT_TRUE(second.ok);
    EXPECT_EQ(second.path, path.string() + ".unreadable-20261208-1015-2");
    EXPECT_EQ(ReadFileBytes(first.path), "<TILLANE><broken");
}

TEST(DataFileLock, ASecondProcessIsRefusedWhileTheFirstHoldsIt)
{
    TempDir folder;
    const auto path = (folder / "default.Tillane").string();
    auto otherProcessStatus = [&] {
        const pid_t child = ::fork();
        if (child == 0) {
            app::DataFileLock other(path);
            ::_exit(static_cast<int>(other.GetStatus()));
        }
        int status = 0;
        ::waitpid(child, &status, 0);
        return static_cast<app::DataFileLock::Status>(WEXITSTATUS(status));
    };
    {
        app::DataFileLock lock(path);
        ASSERT_EQ(lock.GetStatus(), app::DataFileLock::Status::Held);
        EXPECT_EQ(otherProcessStatus(), app::DataFileLock::Status::HeldElsewhere);
    }
    EXPECT_EQ(otherProcessStatus(), app::DataFileLock::Status::Held);
}

} // namespace

namespace {

// The lock's status as another process finds it when it opens the data file by `path`.
app::DataFileLock::Status StatusInOtherProcess(const std::string& path)
{
    const pid_t child = ::fork();
    if (child == 0) {
        int status = 0;
        {
            app::DataFileLock other(path);
            status = static_cast<int>(other.GetStatus());
        }
        ::_exit(status);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    return static_cast<app::DataFileLock::Status>(WEXITSTATUS(status));
}

TEST(DataFileLock, HoldsTheFileByEveryNameAcrossSavesAndTidiesUpWhenLetGo)
{
    TempDir folder;
    std::filesystem::create_directory(folder / "elsewhere");
    const auto path = (folder / "default.Tillane").string();
    const auto lockFile = folder / ".default.Tillane.lock";
    WriteFileBytes(path, "data");
    std::filesystem::create_hard_link(path, folder / "elsewhere" / "same.Tillane");
    {
        app::DataFileLock lock(path);
        ASSERT_EQ(lock.GetStatus(), app::DataFileLock::Status::Held);
        EXPECT_EQ(StatusInOtherProcess((folder / "elsewhere" / "same.Tillane").string()),
                  app::DataFileLock::Status::HeldElsewhere);

        // A save makes a new file; the lock follows it to its new inode.
        ASSERT_TRUE(app::ReplaceFile(path, "saved").ok);
        lock.FollowDataFile();
        std::filesystem::create_hard_link(path, folder / "elsewhere" / "after.Tillane");
        EXPECT_EQ(StatusInOtherProcess((folder / "elsewhere" / "after.Tillane").string()),
                  app::DataFileLock::Status::HeldElsewhere);
        // The refused process leaves the lock file where it is.
        EXPECT_TRUE(std::filesystem::exists(lockFile));
    }
    EXPECT_FALSE(std::filesystem::exists(lockFile));
    EXPECT_EQ(StatusInOtherProcess(path), app::DataFileLock::Status::Held);
    EXPECT_FALSE(std::filesystem::exists(lockFile));
}

TEST(ReplaceFile, KeepsTheOwnerAndGroupWhereTheProcessMay)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "only an administrator may give a file to someone else";
    TempDir folder;
    const auto path = folder / "default.Tillane";
    WriteFileBytes(path, "old");
    ASSERT_EQ(::chown(path.c_str(), 4242, 4343), 0);
    ::chmod(path.c_str(), 0640);
    ASSERT_TRUE(app::ReplaceFile(path.string(), "new").ok);
    struct stat info {};
    ASSERT_EQ(::stat(path.c_str(), &info), 0);
    EXPECT_EQ(info.st_uid, 4242u);
    EXPECT_EQ(info.st_gid, 4343u);
    EXPECT_EQ(info.st_mode & 0777, 0640u);
}

TEST(RemoveStaleSaves, StartUpRemovesOnlyTheTemporaryFilesOfThisDataFile)
{
    TempDir folder;
    const auto path = (folder / "default.Tillane").string();
    for (const char* name : {".default.Tillane.saving-a1B2c3", ".default.Tillane.saving-zzzzzz", ".default.Tillane.saving-abc",
                             ".other.Tillane.saving-a1B2c3", "default.Tillane.old"})
        WriteFileBytes(folder / name, "x");
    std::filesystem::create_directory(folder / ".default.Tillane.saving-folder");
    {
        const app::DataFileLock lock(path);
        EXPECT_EQ(app::RemoveStaleSaves(path), 2);
    }
    EXPECT_EQ(EntriesIn(folder.Path()), 4);
    EXPECT_FALSE(std::filesystem::exists(folder / ".default.Tillane.saving-a1B2c3"));

    // A save under way holds its temporary file: a clean-up meanwhile leaves it.
    int removedMeanwhile = -1;
    EXPECT_TRUE(app::ReplaceFile(path, "new", [&] {
                    removedMeanwhile = app::RemoveStaleSaves(path);
                    return true;
                }).ok);
    EXPECT_EQ(removedMeanwhile, 0);
    EXPECT_EQ(ReadFileBytes(path), "new");
}

} // namespace

namespace {

TEST(BackUpDataFile, KeepsTheFirstVersionOfEachDayAndOnlyTheLastTen)
{
    TempDir folder;
    const auto path = (folder / "default.Tillane").string();
    const auto backups = folder / "state" / "Tillane" / "backups";
    EXPECT_TRUE(app::BackUpDataFile(path, backups, 0).ok) << "no data file yet: nothing to keep";
    EXPECT_FALSE(std::filesystem::exists(backups));

    std::tm day {};
    day.tm_year = 2026 - 1900;
    day.tm_mday = 1;
    day.tm_hour = 10;
    day.tm_isdst = -1;
    for (int d = 1; d <= 12; ++d) {
        day.tm_mday = d;
        const std::time_t morning = std::mktime(&day);
        WriteFileBytes(path, "day " + std::to_string(d));
        ASSERT_TRUE(app::BackUpDataFile(path, backups, morning).ok);
        WriteFileBytes(path, "later on day " + std::to_string(d));
        ASSERT_TRUE(app::BackUpDataFile(path, backups, morning + 3600).ok);
    }
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(backups))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    ASSERT_EQ(names.size(), 10u);
    EXPECT_EQ(names.front().substr(0, 16), "default.Tillane.");
    EXPECT_EQ(names.front().substr(names.front().size() - 11), ".2026-01-03");
    EXPECT_EQ(ReadFileBytes(backups / names.back()), "day 12") << "the file as it was before the day's first save";

    // The clock put back, after copies written while it was ahead: the oldest copy by
    // its age goes (here the one of the 12th), never the one just written.
    for (const std::string& name : names) {
        const int written = name.ends_with("-12") ? 0 : std::stoi(name.substr(name.size() - 2));
        const timespec times[2] = {{0, UTIME_OMIT}, {1'900'000'000 + written * 86'400, 0}};
        ASSERT_EQ(::utimensat(AT_FDCWD, (backups / name).c_str(), times, 0), 0);
    }
    // Backups cut short left their temporary files: this data file's go, not another's.
    const std::string prefix = names.front().substr(0, names.front().size() - 10);
    WriteFileBytes(backups / ("." + prefix + "2026-01-05.saving-a1B2c3"), "cut short");
    WriteFileBytes(backups / ".other.Tillane.0badf00d.2026-01-05.saving-a1B2c3", "another's");
    day.tm_mday = 1;
    WriteFileBytes(path, "clock put back");
    ASSERT_TRUE(app::BackUpDataFile(path, backups, std::mktime(&day)).ok);
    EXPECT_FALSE(std::filesystem::exists(backups / ("." + prefix + "2026-01-05.saving-a1B2c3")));
    EXPECT_TRUE(std::filesystem::remove(backups / ".other.Tillane.0badf00d.2026-01-05.saving-a1B2c3"));
    EXPECT_EQ(ReadFileBytes(backups / (prefix + "2026-01-01")), "clock put back");
    EXPECT_FALSE(std::filesystem::exists(backups / (prefix + "2026-01-12")));
    EXPECT_TRUE(std::filesystem::exists(backups / (prefix + "2026-01-03")));
    EXPECT_EQ(EntriesIn(backups), 10);

    // A file of the same name in another folder has backups of its own.
    std::filesystem::create_directory(folder / "other");
    WriteFileBytes(folder / "other" / "default.Tillane", "other");
    ASSERT_TRUE(app::BackUpDataFile((folder / "other" / "default.Tillane").string(), backups, std::mktime(&day)).ok);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(backups), std::filesystem::directory_iterator()), 11);
}

} // namespace
