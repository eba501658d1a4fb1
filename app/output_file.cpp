#include "app/output_file.h"

#include "res/resource.h"
#include "ui/platform/resources.h"

#include <filesystem>
#include <system_error>

#include <sys/stat.h>

namespace app {

namespace {

// The file a path names, absolute, with links followed and "..", "." resolved.
std::filesystem::path Resolve(const std::string& path)
{
    std::error_code error;
    const auto absolute = std::filesystem::absolute(ResolveTarget(path), error);
    const auto resolved = std::filesystem::weakly_canonical(absolute, error);
    return error ? absolute.lexically_normal() : resolved;
}

// The same with the last name kept as given, even when it is a link.
std::filesystem::path ResolveFolder(const std::string& path)
{
    const std::filesystem::path given = path;
    std::error_code error;
    const auto absolute = std::filesystem::absolute(given, error);
    const auto folder = std::filesystem::weakly_canonical(absolute.parent_path(), error);
    return (error ? absolute.parent_path().lexically_normal() : folder) / given.filename();
}

// What the program keeps beside a data file: the lock (".NAME.lock", named after the file
// a link leads to) and the copies it sets aside ("NAME.unreadable-…", "NAME.original-…",
// "NAME.changed-elsewhere-…", named after the link or its target).
// The string id of why an output may not be written there, or 0.
int KeptBeside(const std::filesystem::path& output, const std::filesystem::path& dataFile)
{
    if (output.parent_path() != dataFile.parent_path())
        return 0;
    const std::string name = output.filename().string();
    const std::string data = dataFile.filename().string();
    if (name == "." + data + ".lock")
        return res::IDS_OUTPUT_IS_LOCK;
    for (const char* label : {".unreadable-", ".original-", ".changed-elsewhere-"})
        if (name.starts_with(data + label))
            return res::IDS_OUTPUT_IS_KEPT_COPY;
    return 0;
}

} // namespace

bool IsSameFile(const std::string& first, const std::string& second)
{
    struct stat a {}, b {};
    if (::stat(first.c_str(), &a) == 0 && ::stat(second.c_str(), &b) == 0)
        return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
    return Resolve(first) == Resolve(second);
}

FileOutcome WriteOutputFile(const std::string& path, std::string_view bytes, const std::string& dataFilePath)
{
    if (IsSameFile(path, dataFilePath))
        return FileOutcome::Failed(win::LoadString(res::IDS_OUTPUT_IS_DATA_FILE));
    const std::filesystem::path output = Resolve(path);
    for (const std::filesystem::path& dataFile : {Resolve(dataFilePath), ResolveFolder(dataFilePath)})
        if (const int kept = KeptBeside(output, dataFile))
            return FileOutcome::Failed(win::LoadString(kept));
    struct stat existing {};
    if (::stat(path.c_str(), &existing) == 0 && !S_ISREG(existing.st_mode))
        return FileOutcome::Failed(win::LoadString(res::IDS_OUTPUT_NOT_REGULAR));
    // What writes of this output cut short left beside it goes before this one.
    RemoveStaleSaves(path);
    return ReplaceFile(path, bytes);
}

} // namespace app
