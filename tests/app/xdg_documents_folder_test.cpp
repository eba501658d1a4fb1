// The command line finds the documents folder without Qt; it must find the one the
// window finds.
#include "storage/xdg_documents_folder.h"
#include "app/documents_folder.h"

#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>

namespace {

namespace fs = std::filesystem;

class EnvironmentGuard {
public:
    explicit EnvironmentGuard(const char* name) : m_name(name)
    {
        if (const char* value = std::getenv(name))
            m_previous = value;
    }
    ~EnvironmentGuard()
    {
        if (m_previous)
            setenv(m_name, m_previous->c_str(), 1);
        else
            unsetenv(m_name);
    }

private:
    const char* m_name;
    std::optional<std::string> m_previous;
};

TEST(XdgDocumentsFolder, FindsTheFolderTheWindowFinds)
{
    EnvironmentGuard home("HOME"), config("XDG_CONFIG_HOME");
    testing_support::TempDir folder;
    fs::create_directories(folder / "home/Documents");
    fs::create_directories(folder / "home/Papers");
    fs::create_directories(folder / "elsewhere");
    fs::create_directories(folder / "config");
    setenv("HOME", (folder / "home").c_str(), 1);
    setenv("XDG_CONFIG_HOME", (folder / "config").c_str(), 1);

    const std::string elsewhere = (folder / "elsewhere").string();
    const char* userDirs[] = {
        nullptr,
        "XDG_DESKTOP_DIR=\"$HOME/Desktop\"\nXDG_DOCUMENTS_DIR=\"$HOME/Papers\"\n",
        "XDG_DOCUMENTS_DIR=\"$HOME/Papers/\"\n",
        "XDG_DOCUMENTS_DIR=$HOME/Papers\n",
        "XDG_DOCUMENTS_DIR=\"$HOME/Missing\"\n",
        "# XDG_DOCUMENTS_DIR=\"$HOME/Papers\"\n",
        "XDG_DOCUMENTS_DIR=\"$HOME/Papers\"\nXDG_DOCUMENTS_DIR=\"$HOME/Documents\"\n",
        "XDG_DOCUMENTS_DIR=\"\"\n",
    };
    for (const char* text : userDirs) {
        if (text)
            testing_support::WriteFileBytes(folder / "config/user-dirs.dirs", text);
        EXPECT_EQ(XdgDocumentsFolder().GetDocumentsFolder(), app::DocumentsFolder().GetDocumentsFolder())
            << (text ? text : "no user-dirs file");
    }
    testing_support::WriteFileBytes(folder / "config/user-dirs.dirs", "XDG_DOCUMENTS_DIR=\"" + elsewhere + "\"\n");
    EXPECT_EQ(XdgDocumentsFolder().GetDocumentsFolder(), elsewhere);
    EXPECT_EQ(app::DocumentsFolder().GetDocumentsFolder(), elsewhere);

    fs::remove_all(folder / "home/Documents");
    fs::remove(folder / "config/user-dirs.dirs");
    EXPECT_EQ(XdgDocumentsFolder().GetDocumentsFolder(), (folder / "home").string());
    EXPECT_EQ(app::DocumentsFolder().GetDocumentsFolder(), (folder / "home").string());
}

} // namespace
