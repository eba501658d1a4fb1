#include "storage/file_locations.h"

#include <optional>
#include <stdexcept>

namespace {

const IDocumentsFolderProvider* g_provider = nullptr;
std::optional<std::string> g_pathOverride;

} // namespace

void InstallDocumentsFolderProvider(const IDocumentsFolderProvider& provider)
{
    if (!g_provider)
        g_provider = &provider;
}

const std::string& GetDocumentsFolder()
{
    if (!g_provider)
        throw std::logic_error("no documents folder provider installed before GetDocumentsFolder");
    static const std::string folder = g_provider->GetDocumentsFolder();
    return folder;
}

std::string MakeDataFilePath(std::string_view folder)
{
    const std::size_t kept = folder.find_last_not_of("/ ");
    std::string path(folder.substr(0, kept == std::string_view::npos ? 0 : kept + 1));
    path += "/default.Tillane";
    return path;
}

bool SetDataFilePathOverride(std::string path)
{
    if (g_pathOverride)
        return false;
    g_pathOverride = std::move(path);
    return true;
}

std::string GetDataFilePath()
{
    if (g_pathOverride)
        return *g_pathOverride;
    return MakeDataFilePath(GetDocumentsFolder());
}
