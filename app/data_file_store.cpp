#include "app/data_file_store.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <vector>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace app {

namespace {

std::string SystemError(int error) { return std::strerror(error); }

// The file a path names in the end: a link is followed, so that replacing the data file
// keeps the link and writes where it points.
std::filesystem::path ResolveTarget(const std::string& path)
{
    std::error_code error;
    if (std::filesystem::is_symlink(path, error)) {
        auto target = std::filesystem::weakly_canonical(path, error);
        if (!error)
            return target;
    }
    return path;
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

} // namespace

FileOutcome ReplaceFile(const std::string& path, std::string_view bytes, const std::function<bool()>& beforeRename)
{
    const std::filesystem::path target = ResolveTarget(path);
    std::filesystem::path folder = target.parent_path();
    if (folder.empty())
        folder = ".";

    std::string pattern = (folder / ("." + target.filename().string() + ".saving-XXXXXX")).string();
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    const int descriptor = ::mkstemp(name.data());
    if (descriptor < 0)
        return {false, SystemError(errno)};
    const std::string temporary = name.data();

    auto fail = [&](int error) {
        ::close(descriptor);
        ::unlink(temporary.c_str());
        return FileOutcome{false, SystemError(error)};
    };

    struct stat existing {};
    const mode_t mode = ::stat(target.c_str(), &existing) == 0 ? (existing.st_mode & 07777) : NewFileMode();
    if (::fchmod(descriptor, mode) != 0)
        return fail(errno);
    if (!WriteAll(descriptor, bytes))
        return fail(errno);
    if (::fsync(descriptor) != 0)
        return fail(errno);
    if (::close(descriptor) != 0) {
        const int error = errno;
        ::unlink(temporary.c_str());
        return {false, SystemError(error)};
    }
    if (beforeRename && !beforeRename()) {
        ::unlink(temporary.c_str());
        return {false, "the save was interrupted"};
    }
    if (::rename(temporary.c_str(), target.c_str()) != 0) {
        const int error = errno;
        ::unlink(temporary.c_str());
        return {false, SystemError(error)};
    }
    SyncFolder(folder);
    return {true, {}};
}

std::optional<std::string> SetAsideUnreadable(const std::string& path, std::time_t now, std::string* reason)
{
    std::tm local {};
    ::localtime_r(&now, &local);
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M", &local);
    const std::string base = path + ".unreadable-" + stamp;
    for (int attempt = 1; attempt < 1000; ++attempt) {
        const std::string candidate = attempt == 1 ? base : base + "-" + std::to_string(attempt);
        // link + unlink instead of rename: never replaces a file that already has the name.
        if (::link(path.c_str(), candidate.c_str()) == 0) {
            ::unlink(path.c_str());
            return candidate;
        }
        if (errno == EEXIST)
            continue;
        if (errno == ENOENT) {
            // Gone since it was found unreadable: there is nothing left to keep.
            struct stat gone {};
            if (::lstat(path.c_str(), &gone) != 0 && errno == ENOENT)
                return std::string();
            errno = ENOENT;
        }
        if (errno == EPERM || errno == EXDEV || errno == ENOTSUP || errno == EMLINK) {
            // File systems without hard links: rename, after checking the name is free.
            std::error_code error;
            if (std::filesystem::exists(candidate, error))
                continue;
            if (::rename(path.c_str(), candidate.c_str()) == 0)
                return candidate;
        }
        if (reason)
            *reason = SystemError(errno);
        return std::nullopt;
    }
    if (reason)
        *reason = "no free name to keep it under";
    return std::nullopt;
}

DataFileLock::DataFileLock(const std::string& dataFilePath)
{
    const std::filesystem::path target = ResolveTarget(dataFilePath);
    const std::filesystem::path lockPath = target.parent_path() / ("." + target.filename().string() + ".lock");
    m_descriptor = ::open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (m_descriptor < 0)
        return;
    if (::flock(m_descriptor, LOCK_EX | LOCK_NB) == 0) {
        m_status = Status::Held;
        return;
    }
    if (errno == EWOULDBLOCK)
        m_status = Status::HeldElsewhere;
    ::close(m_descriptor);
    m_descriptor = -1;
}

DataFileLock::~DataFileLock()
{
    if (m_descriptor >= 0)
        ::close(m_descriptor);
}

} // namespace app
