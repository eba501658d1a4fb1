#include "app/output_file.h"

#include <filesystem>
#include <system_error>

namespace app {

namespace {

// The path made absolute, with links and "..", "." resolved as far as the file system
// lets us look; only the words themselves when it lets us see nothing.
std::filesystem::path Resolved(const std::string& path)
{
    std::error_code error;
    std::filesystem::path absolute = std::filesystem::absolute(path, error);
    if (error)
        absolute = path;
    const std::filesystem::path canonical = std::filesystem::weakly_canonical(absolute, error);
    return error ? absolute.lexically_normal() : canonical;
}

} // namespace

bool IsSameFile(const std::string& first, const std::string& second)
{
    std::error_code firstError, secondError, error;
    if (std::filesystem::exists(first, firstError) && std::filesystem::exists(second, secondError)) {
        const bool same = std::filesystem::equivalent(first, second, error);
        if (!error)
            return same;
    }
    return Resolved(first) == Resolved(second);
}

FileOutcome WriteOutputFile(const std::string& path, std::string_view bytes, const std::string& dataFilePath)
{
    if (!dataFilePath.empty() && IsSameFile(path, dataFilePath))
        return {false, "it is Tillane's data file"};
    return ReplaceFile(path, bytes);
}

} // namespace app
