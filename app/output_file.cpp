#include "app/output_file.h"

#include <filesystem>
#include <system_error>

#include <sys/stat.h>

namespace app {

bool IsSameFile(const std::string& first, const std::string& second)
{
    struct stat a {}, b {};
    if (::stat(first.c_str(), &a) == 0 && ::stat(second.c_str(), &b) == 0)
        return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
    auto resolve = [](const std::string& path) {
        std::error_code error;
        const auto absolute = std::filesystem::absolute(ResolveTarget(path), error);
        const auto resolved = std::filesystem::weakly_canonical(absolute, error);
        return error ? absolute.lexically_normal() : resolved;
    };
    return resolve(first) == resolve(second);
}

FileOutcome WriteOutputFile(const std::string& path, std::string_view bytes, const std::string& dataFilePath)
{
    if (IsSameFile(path, dataFilePath))
        return {false, "that is the data file, which an output never replaces"};
    struct stat existing {};
    if (::stat(path.c_str(), &existing) == 0 && !S_ISREG(existing.st_mode))
        return {false, "it is not a regular file"};
    return ReplaceFile(path, bytes);
}

} // namespace app
