#include "app/browser.h"

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <string_view>

#include <sys/wait.h>
#include <unistd.h>

namespace app::url {

namespace {

constexpr const char* kOpener = "xdg-open";

Browser::Impl g_desktopLauncher;
IBrowserImpl* g_launcher = &g_desktopLauncher;

} // namespace

bool Browser::Impl::IsAvailable()
{
    const char* path = std::getenv("PATH");
    if (!path)
        return false;
    std::string_view folders = path;
    while (true) {
        const auto colon = folders.find(':');
        const std::string_view folder = folders.substr(0, colon);
        const std::filesystem::path candidate =
            std::filesystem::path(folder.empty() ? std::string_view(".") : folder) / kOpener;
        if (::access(candidate.c_str(), X_OK) == 0)
            return true;
        if (colon == std::string_view::npos)
            return false;
        folders.remove_prefix(colon + 1);
    }
}

void Browser::Impl::Launch(const std::string& address)
{
    // Started through an intermediate child that exits at once, so the browser is never
    // left as a child of ours and the About box does not wait for it.
    const pid_t child = ::fork();
    if (child < 0)
        return;
    if (child == 0) {
        if (::fork() == 0) {
            ::setsid();
            // The browser gets the ordinary file-size signal this program ignores.
            ::signal(SIGXFSZ, SIG_DFL);
            ::execlp(kOpener, kOpener, address.c_str(), static_cast<char*>(nullptr));
        }
        ::_exit(0);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
}

bool Browser::OpenUrl(const std::string& address)
{
    if (!g_launcher->IsAvailable())
        return false;
    g_launcher->Launch(address);
    return true;
}

IBrowserImpl& Browser::Install(IBrowserImpl& launcher)
{
    IBrowserImpl& previous = *g_launcher;
    g_launcher = &launcher;
    return previous;
}

} // namespace app::url
