#include "storage/xdg_documents_folder.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <system_error>

namespace {

std::string Environment(const char* name)
{
    const char* value = std::getenv(name);
    return value ? value : "";
}

// The home folder: $HOME, "/" when it is empty, without a trailing '/'.
std::string HomeFolder()
{
    std::string home = Environment("HOME");
    if (home.empty())
        return "/";
    while (home.size() > 1 && home.back() == '/')
        home.pop_back();
    return home;
}

bool IsFolder(const std::string& path)
{
    std::error_code error;
    return !path.empty() && std::filesystem::is_directory(path, error);
}

} // namespace

std::string ChooseXdgDocumentsFolder(const std::string& home, const std::string& userDirsText)
{
    std::string documents;
    std::istringstream lines(userDirsText);
    const std::string key = "XDG_DOCUMENTS_DIR=";
    for (std::string line; std::getline(lines, line);) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.rfind(key, 0) != 0)
            continue;
        std::string value = line.substr(key.size());
        if (value.size() > 2 && value.front() == '"' && value.back() == '"')
            value = value.substr(1, value.size() - 2);
        documents = value.rfind("$HOME", 0) == 0 ? home + value.substr(5) : value;
        if (documents.size() > 1 && documents.back() == '/')
            documents.pop_back();
    }
    if (documents.empty())
        documents = home + "/Documents";
    return IsFolder(documents) ? documents : home;
}

std::string XdgDocumentsFolder::GetDocumentsFolder() const
{
    const std::string home = HomeFolder();
    std::string configHome = Environment("XDG_CONFIG_HOME");
    if (configHome.empty())
        configHome = home + "/.config";
    std::ifstream file(configHome + "/user-dirs.dirs", std::ios::binary);
    std::ostringstream text;
    if (file)
        text << file.rdbuf();
    return ChooseXdgDocumentsFolder(home, text.str());
}
