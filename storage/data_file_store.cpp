#include "storage/data_file_store.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <utility>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <vector>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace app {

namespace {

std::string SystemError(int error) { return std::strerror(error); }

// Where a save writes before its rename: ".<name>.saving-" and six characters.
std::string TemporaryPrefix(const std::filesystem::path& target)
{
    return "." + target.filename().string() + ".saving-";
}

mode_t NewFileMode()
{
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

bool WriteAll(int descriptor, std::string_view bytes)
{
    while (!bytes.empty()) {
        const ssize_t written = ::write(descriptor, bytes.data(), bytes.size());
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

void SyncFolder(const std::filesystem::path& folder)
{
    const int descriptor = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (descriptor >= 0) {
        ::fsync(descriptor);
        ::close(descriptor);
    }
}

std::int64_t Nanoseconds(const timespec& time)
{
    return static_cast<std::int64_t>(time.tv_sec) * 1000000000 + time.tv_nsec;
}

std::int64_t NowNs()
{
    timespec now {};
    ::clock_gettime(CLOCK_REALTIME, &now);
    return Nanoseconds(now);
}

FileIdentity Describe(const struct stat& info)
{
    FileIdentity identity;
    identity.exists = true;
    identity.device = static_cast<std::uint64_t>(info.st_dev);
    identity.inode = static_cast<std::uint64_t>(info.st_ino);
    identity.size = static_cast<std::uint64_t>(info.st_size);
    identity.modifiedNs = Nanoseconds(info.st_mtim);
    identity.changedNs = Nanoseconds(info.st_ctim);
    identity.mode = static_cast<std::uint32_t>(info.st_mode & 07777);
    identity.links = static_cast<std::uint64_t>(info.st_nlink);
    identity.regular = S_ISREG(info.st_mode);
    identity.takenNs = NowNs();
    return identity;
}

// Coarser than any file system's clock tick and any lag of its clock behind ours.
constexpr std::int64_t kTimestampSlackNs = 2'000'000'000;

// Whether a name is one a write of a file named `name` makes for its temporary file: the
// prefix and the six characters mkstemp puts in.
bool IsTemporaryOf(const std::string& entry, const std::string& name)
{
    const std::string prefix = "." + name + ".saving-";
    return entry.size() == prefix.size() + 6 && entry.compare(0, prefix.size(), prefix) == 0;
}

// Removes the temporary files in `folder` that `ours` picks out and that no write holds:
// a write holds its own (a lock on it) until it is renamed, so what is free to take was
// left by a write cut short. Returns how many were removed.
int RemoveAbandonedTemporaries(const std::filesystem::path& folder, const std::function<bool(const std::string&)>& ours)
{
    int removed = 0;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
        if (!ours(entry.path().filename().string()))
            continue;
        const int descriptor = ::open(entry.path().c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        if (descriptor < 0)
            continue;
        struct stat open {}, named {};
        if (::fstat(descriptor, &open) == 0 && S_ISREG(open.st_mode) && ::flock(descriptor, LOCK_EX | LOCK_NB) == 0 &&
            ::lstat(entry.path().c_str(), &named) == 0 && open.st_dev == named.st_dev && open.st_ino == named.st_ino &&
            ::unlink(entry.path().c_str()) == 0)
            ++removed;
        ::close(descriptor);
    }
    return removed;
}

} // namespace

namespace {

template <typename Hash, Hash kOffset, Hash kPrime>
Hash Fnv1a(std::string_view bytes)
{
    Hash hash = kOffset;
    for (const char c : bytes)
        hash = static_cast<Hash>((hash ^ static_cast<unsigned char>(c)) * kPrime);
    return hash;
}

} // namespace

std::uint64_t HashBytes(std::string_view bytes)
{
    return Fnv1a<std::uint64_t, 14695981039346656037u, 1099511628211u>(bytes);
}

std::uint32_t HashBytes32(std::string_view bytes) { return Fnv1a<std::uint32_t, 2166136261u, 16777619u>(bytes); }

namespace {
FileIdentity IdentifyTarget(const std::string& path);
} // namespace

bool IsSymbolicLink(const std::string& path)
{
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0 && S_ISLNK(info.st_mode);
}

FileIdentity IdentifyFile(const std::string& path)
{
    FileIdentity identity = IdentifyTarget(path);
    identity.symbolicLink = IsSymbolicLink(path);
    return identity;
}

namespace {

FileIdentity IdentifyTarget(const std::string& path)
{
    const int descriptor = ::open(ResolveTarget(path).c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (descriptor < 0) {
        FileIdentity identity;
        struct stat info {};
        // There but not to be opened: described without its bytes.
        if (::stat(ResolveTarget(path).c_str(), &info) == 0)
            identity = Describe(info);
        return identity;
    }
    struct stat info {};
    FileIdentity identity;
    if (::fstat(descriptor, &info) == 0) {
        identity = Describe(info);
        if (S_ISREG(info.st_mode)) {
            std::string bytes;
            char buffer[65536];
            ssize_t got = 0;
            for (;;) {
                got = ::read(descriptor, buffer, sizeof buffer);
                if (got < 0 && errno == EINTR)
                    continue;
                if (got <= 0)
                    break;
                bytes.append(buffer, static_cast<std::size_t>(got));
            }
            identity.hashed = got == 0;
            identity.hash = HashBytes(bytes);
        }
    }
    ::close(descriptor);
    return identity;
}

} // namespace

FileRead ReadAndIdentify(const std::string& path, int descriptor)
{
    FileRead result;
    const std::int64_t takenNs = NowNs();
    result.read = descriptor >= 0 ? TextFile::ReadBytes(descriptor) : TextFile::ReadBytes(path);
    FileIdentity& identity = result.identity;
    if (const auto& facts = result.read.facts) {
        identity.exists = true;
        static_cast<TextFile::FileFacts&>(identity) = *facts;
    } else if (struct stat info {}; result.read.status == TextFile::ReadStatus::Unreadable &&
                                    ::stat(path.c_str(), &info) == 0) {
        // There but not to be opened: described without its bytes.
        identity = Describe(info);
    }
    identity.takenNs = takenNs;
    identity.symbolicLink = IsSymbolicLink(path);
    if (result.read.status == TextFile::ReadStatus::Ok) {
        identity.hashed = true;
        identity.hash = HashBytes(result.read.bytes);
    }
    return result;
}

bool FileChangedSince(const std::string& path, const FileIdentity& known)
{
    struct stat info {};
    if (::stat(ResolveTarget(path).c_str(), &info) != 0)
        // Gone; when it cannot be looked at, there is nothing to tell.
        return (errno == ENOENT || errno == ENOTDIR) && known.exists;
    if (!known.exists)
        return true;
    // A link where there was a file, or the reverse, is another file whatever it holds.
    if (IsSymbolicLink(path) != known.symbolicLink || !S_ISREG(info.st_mode))
        return true;
    const FileIdentity now = Describe(info);
    if (now.size != known.size)
        return true;
    const bool sameFields = now.device == known.device && now.inode == known.inode &&
                            now.modifiedNs == known.modifiedNs;
    // Both times well before the record: a write since would have moved one of them. An
    // edit that puts the modification time back still moves the change time.
    const bool proven = sameFields && now.changedNs == known.changedNs &&
                        std::max(known.modifiedNs, known.changedNs) + kTimestampSlackNs < known.takenNs;
    if (proven)
        return false;
    // Replaced by a copy of the same bytes (a sync tool, say) is no change. A file that
    // cannot be read now (permissions) is judged by the fields alone.
    const FileIdentity read = IdentifyTarget(path);
    if (!read.hashed || !known.hashed)
        return !sameFields;
    return read.hash != known.hash;
}

std::filesystem::path ResolveTarget(const std::string& path)
{
    // Each link is read by hand rather than canonicalised: a link whose target does not
    // exist yet must still lead to that target, never to the link itself.
    std::filesystem::path current = path;
    std::error_code error;
    for (int hops = 0; hops < 40 && std::filesystem::is_symlink(current, error); ++hops) {
        const std::filesystem::path target = std::filesystem::read_symlink(current, error);
        if (error)
            break;
        current = target.is_absolute() ? target : current.parent_path() / target;
    }
    if (current == std::filesystem::path(path))
        return current;
    const auto resolved = std::filesystem::weakly_canonical(current, error);
    return error ? current : resolved;
}

FileOutcome ReplaceFile(const std::string& path, std::string_view bytes, const std::function<bool()>& beforeRename,
                        FileIdentity* written, const ReplaceOptions& options)
{
    const std::filesystem::path target = options.followLinks ? ResolveTarget(path) : std::filesystem::path(path);
    std::filesystem::path folder = target.parent_path();
    if (folder.empty())
        folder = ".";

    const std::string pattern = (folder / (TemporaryPrefix(target) + "XXXXXX")).string();
    std::string temporary;
    int descriptor = -1;
    // Held until the rename, so that a clean-up of what writes cut short leaves this one
    // alone. One taken between its creation and the lock is made again.
    for (int attempt = 0; attempt < 3 && descriptor < 0; ++attempt) {
        std::vector<char> name(pattern.begin(), pattern.end());
        name.push_back('\0');
        descriptor = ::mkstemp(name.data());
        if (descriptor < 0)
            return FileOutcome::Failed(SystemError(errno));
        temporary = name.data();
        struct stat info {};
        if (::flock(descriptor, LOCK_EX) == 0 && ::fstat(descriptor, &info) == 0 && info.st_nlink == 0) {
            ::close(descriptor);
            descriptor = -1;
        }
    }
    if (descriptor < 0)
        return FileOutcome::Failed("no temporary file could be kept for the write");
    // A second descriptor holds the lock, as the first is closed before the rename.
    const int holder = ::dup(descriptor);

    auto release = [&] {
        if (holder >= 0)
            ::close(holder);
    };
    auto fail = [&](int error) {
        ::close(descriptor);
        ::unlink(temporary.c_str());
        release();
        return FileOutcome::Failed(SystemError(error));
    };

    struct stat existing {};
    // A link replaced by a file lends it nothing: not its target's owner, nor its mode.
    const bool replacing = (options.followLinks || !IsSymbolicLink(path)) && ::stat(target.c_str(), &existing) == 0;
    const mode_t mode = options.mode ? static_cast<mode_t>(*options.mode & 07777)
                        : replacing  ? (existing.st_mode & 07777)
                                     : NewFileMode();
    // The owner and group stay where the process may set them (an administrator's save of
    // a user's file); otherwise the new file is the process's own, as any new file is.
    // The mode is set after, as a change of owner may clear some of its bits.
    if (replacing)
        (void)!::fchown(descriptor, existing.st_uid, existing.st_gid);
    if (::fchmod(descriptor, mode) != 0)
        return fail(errno);
    if (!WriteAll(descriptor, bytes))
        return fail(errno);
    if (::fsync(descriptor) != 0)
        return fail(errno);
    // The rename keeps the inode and its times: this is what the data file will be.
    FileIdentity identity;
    if (struct stat info {}; ::fstat(descriptor, &info) == 0) {
        identity = Describe(info);
        identity.hashed = true;
        identity.hash = HashBytes(bytes);
    }
    if (::close(descriptor) != 0) {
        const int error = errno;
        ::unlink(temporary.c_str());
        release();
        return FileOutcome::Failed(SystemError(error));
    }
    if (beforeRename && !beforeRename()) {
        ::unlink(temporary.c_str());
        release();
        return FileOutcome::Failed("the save was interrupted");
    }
    const int renamed = ::rename(temporary.c_str(), target.c_str());
    const int renameError = errno;
    if (renamed != 0)
        ::unlink(temporary.c_str());
    release();
    if (renamed != 0)
        return FileOutcome::Failed(SystemError(renameError));
    SyncFolder(folder);
    if (written) {
        *written = identity;
        written->symbolicLink = IsSymbolicLink(path);
    }
    return FileOutcome::Done();
}

std::filesystem::path BackupFolder()
{
    const char* state = std::getenv("XDG_STATE_HOME");
    std::filesystem::path base;
    if (state && *state == '/')
        base = state;
    else if (const char* home = std::getenv("HOME"); home && *home)
        base = std::filesystem::path(home) / ".local" / "state";
    else
        return {};
    return base / "Tillane" / "backups";
}

FileOutcome BackUpDataFile(const std::string& path, const std::filesystem::path& folder, std::time_t now, int keep)
{
    const std::filesystem::path target = ResolveTarget(path);
    std::error_code error;
    if (!std::filesystem::exists(target, error))
        return FileOutcome::Done();
    // Reading a pipe would wait for a writer: only a regular file is kept.
    if (!std::filesystem::is_regular_file(target, error))
        return FileOutcome::Failed("it is not a regular file");
    if (folder.empty())
        return FileOutcome::Failed("there is no home folder to keep backups in");
    // Files of the same name in different folders get backups of their own.
    char hex[9];
    std::snprintf(hex, sizeof hex, "%08x",
                  static_cast<unsigned>(HashBytes32(std::filesystem::absolute(target, error).parent_path().string())));
    const std::string prefix = target.filename().string() + "." + hex + ".";
    std::tm local {};
    ::localtime_r(&now, &local);
    char date[16];
    std::strftime(date, sizeof date, "%Y-%m-%d", &local);
    const std::filesystem::path backup = folder / (prefix + date);
    // Backups of this data file cut short (by a kill, say) leave their temporary files.
    RemoveAbandonedTemporaries(folder, [&](const std::string& name) {
        const std::size_t dated = 1 + prefix.size() + 10;
        return name.size() > dated && name.compare(1, prefix.size(), prefix) == 0 &&
               IsTemporaryOf(name, name.substr(1, dated - 1));
    });
    if (std::filesystem::exists(backup, error))
        return FileOutcome::Done();

    std::filesystem::create_directories(folder, error);
    if (error)
        return FileOutcome::Failed(error.message());
    std::ifstream in(target, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (!in.good() && !in.eof())
        return FileOutcome::Failed("the data file could not be read");
    const FileOutcome written = ReplaceFile(backup.string(), bytes);
    if (!written.ok)
        return written;

    // The oldest copies go by when they were written, not by the date in their names: a
    // clock put back names today's copy before the others. The one just written stays.
    std::vector<std::pair<std::int64_t, std::string>> others;
    for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
        const std::string name = entry.path().filename().string();
        struct stat info {};
        if (name.size() == prefix.size() + 10 && name.compare(0, prefix.size(), prefix) == 0 &&
            name != backup.filename().string() && ::lstat(entry.path().c_str(), &info) == 0)
            others.emplace_back(Nanoseconds(info.st_mtim), name);
    }
    std::sort(others.begin(), others.end());
    const std::size_t keepOthers = keep > 1 ? static_cast<std::size_t>(keep - 1) : 0;
    for (std::size_t i = 0; i + keepOthers < others.size(); ++i)
        std::filesystem::remove(folder / others[i].second, error);
    return FileOutcome::Done();
}

namespace {

// What one try to put a file under a name made.
enum class Placed { Done, NameTaken, Failed };

// Tries `place` with "<base>", then "<base>-2", "<base>-3", ... until it is done, fails,
// or no name is free. Done with the name used, or failed with `place`'s reason.
FileOutcome UnderFreeName(const std::string& base, const std::function<Placed(const std::string&, std::string*)>& place)
{
    for (int attempt = 1; attempt < 1000; ++attempt) {
        const std::string candidate = attempt == 1 ? base : base + "-" + std::to_string(attempt);
        std::string reason;
        switch (place(candidate, &reason)) {
        case Placed::Done:
            return FileOutcome::Done(candidate);
        case Placed::NameTaken:
            continue;
        case Placed::Failed:
            return FileOutcome::Failed(reason);
        }
    }
    return FileOutcome::Failed("no free name to keep it under");
}

// "<path>.<label>-YYYYMMDD-HHMM", local time of now.
std::string StampedName(const std::string& path, const std::string& label, std::time_t now)
{
    std::tm local {};
    ::localtime_r(&now, &local);
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M", &local);
    return path + "." + label + "-" + stamp;
}

} // namespace

FileOutcome KeepCopy(const std::string& path, std::time_t now, const std::string& label, bool followLinks)
{
    const std::string target = followLinks ? ResolveTarget(path).string() : path;
    return UnderFreeName(StampedName(target, label, now), [&](const std::string& candidate, std::string* reason) {
        // A save replaces the data file by a new one, so a second name keeps the old bytes.
        if (::link(target.c_str(), candidate.c_str()) == 0)
            return Placed::Done;
        if (errno == EEXIST)
            return Placed::NameTaken;
        std::error_code error;
        if (!followLinks && IsSymbolicLink(target)) {
            std::filesystem::copy_symlink(target, candidate, error);
            if (!error)
                return Placed::Done;
        } else if (std::filesystem::copy_file(target, candidate, std::filesystem::copy_options::none, error)) {
            return Placed::Done;
        }
        if (error == std::errc::file_exists)
            return Placed::NameTaken;
        *reason = error.message();
        return Placed::Failed;
    });
}

FileOutcome SetAsideUnreadable(const std::string& dataFilePath, std::time_t now)
{
    // A link stays: what it leads to is what a save would write, so that is kept aside.
    const std::string path = ResolveTarget(dataFilePath).string();
    // A folder, a pipe or a device there is not a data file to move out of the way.
    struct stat there {};
    if (::stat(path.c_str(), &there) == 0 && !S_ISREG(there.st_mode))
        return FileOutcome::Failed("it is not a regular file");
    bool gone = false;
    FileOutcome outcome =
        UnderFreeName(StampedName(path, "unreadable", now), [&](const std::string& candidate, std::string* reason) {
            // link + unlink instead of rename: never replaces a file that already has the name.
            if (::link(path.c_str(), candidate.c_str()) == 0) {
                ::unlink(path.c_str());
                return Placed::Done;
            }
            if (errno == EEXIST)
                return Placed::NameTaken;
            if (errno == ENOENT) {
                // Gone since it was found unreadable: there is nothing left to keep.
                struct stat left {};
                if (::lstat(path.c_str(), &left) != 0 && errno == ENOENT) {
                    gone = true;
                    return Placed::Done;
                }
                errno = ENOENT;
            }
            if (errno == EPERM || errno == EXDEV || errno == ENOTSUP || errno == EMLINK) {
                // File systems without hard links: rename, after checking the name is free.
                std::error_code error;
                if (std::filesystem::exists(candidate, error))
                    return Placed::NameTaken;
                if (::rename(path.c_str(), candidate.c_str()) == 0)
                    return Placed::Done;
            }
            *reason = SystemError(errno);
            return Placed::Failed;
        });
    if (gone)
        outcome.path.clear();
    return outcome;
}

int RemoveStaleSaves(const std::string& dataFilePath)
{
    const std::filesystem::path target = ResolveTarget(dataFilePath);
    std::filesystem::path folder = target.parent_path();
    if (folder.empty())
        folder = ".";
    const std::string name = target.filename().string();
    return RemoveAbandonedTemporaries(folder, [&](const std::string& entry) { return IsTemporaryOf(entry, name); });
}

namespace {

int LockDescriptor(const std::filesystem::path& path, int flags)
{
    const int descriptor = ::open(path.c_str(), flags | O_CLOEXEC | O_NONBLOCK, 0600);
    if (descriptor < 0)
        return -1;
    if (::flock(descriptor, LOCK_EX | LOCK_NB) == 0)
        return descriptor;
    const int error = errno;
    ::close(descriptor);
    errno = error;
    return -1;
}

bool SameFile(int descriptor, const std::filesystem::path& path)
{
    struct stat open {}, named {};
    return ::fstat(descriptor, &open) == 0 && ::stat(path.c_str(), &named) == 0 && open.st_dev == named.st_dev &&
           open.st_ino == named.st_ino;
}

} // namespace

DataFileLock::DataFileLock(const std::string& dataFilePath) : m_dataFilePath(dataFilePath)
{
    const std::filesystem::path target = ResolveTarget(dataFilePath);
    m_lockPath = target.parent_path() / ("." + target.filename().string() + ".lock");
    // A lock file removed by the copy that held it, between our open and our lock, is no
    // longer the lock: try again with the one now under the name.
    for (int attempt = 0; attempt < 10 && m_descriptor < 0; ++attempt) {
        m_descriptor = LockDescriptor(m_lockPath, O_RDWR | O_CREAT);
        if (m_descriptor < 0) {
            if (errno == EWOULDBLOCK)
                m_status = Status::HeldElsewhere;
            return;
        }
        if (!SameFile(m_descriptor, m_lockPath)) {
            ::close(m_descriptor);
            m_descriptor = -1;
        }
    }
    if (m_descriptor < 0)
        return;
    // The data file itself is locked too, so that its other names (hard links, in any
    // folder) lead to the same lock.
    struct stat info {};
    if (::stat(target.c_str(), &info) == 0) {
        m_fileDescriptor = LockDescriptor(target, O_RDONLY);
        if (m_fileDescriptor < 0 && errno == EWOULDBLOCK) {
            ::close(m_descriptor);
            m_descriptor = -1;
            m_status = Status::HeldElsewhere;
            return;
        }
    }
    m_status = Status::Held;
}

void DataFileLock::FollowDataFile()
{
    if (m_status != Status::Held)
        return;
    // A save puts a new file under the name; the old one is no longer the data file.
    const int descriptor = LockDescriptor(ResolveTarget(m_dataFilePath), O_RDONLY);
    if (descriptor < 0)
        return;
    if (m_fileDescriptor >= 0)
        ::close(m_fileDescriptor);
    m_fileDescriptor = descriptor;
}

DataFileLock::~DataFileLock()
{
    if (m_fileDescriptor >= 0)
        ::close(m_fileDescriptor);
    if (m_descriptor < 0)
        return;
    // Removed only while held, and only when the name is still this lock's file.
    if (SameFile(m_descriptor, m_lockPath))
        ::unlink(m_lockPath.c_str());
    ::close(m_descriptor);
}

} // namespace app
