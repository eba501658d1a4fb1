#include "app/tillane_app.h"
#include "ui/platform/resources.h"

#include <fstream>
#include <string>

#include <gtest/gtest.h>

namespace {

TEST(VersionText, ShowsTheBuildNumberOnlyAboveOne)
{
    EXPECT_EQ(FormatVersionText("0.4", 0), "0.4");
    EXPECT_EQ(FormatVersionText("0.4", 1), "0.4");
    EXPECT_EQ(FormatVersionText("0.4", 7), "0.4 Build #7");
    EXPECT_EQ(FormatVersionText("0.4", 3), "0.4 Build #3");
}

// Docks group a window with the entry whose StartupWMClass is the window's class, which
// is the application name (the window's instance name is its program's, tillane-window).
TEST(DesktopEntry, IsTheApplicationsAndNamesItsWindowClass)
{
    const CTillaneApp app;
    std::ifstream entry(std::string(TILLANE_SOURCE_DIR) + "/packaging/" + app.GetDesktopEntry() + ".desktop");
    ASSERT_TRUE(entry) << "no packaging/" << app.GetDesktopEntry() << ".desktop";
    std::string line, windowClass;
    while (std::getline(entry, line))
        if (line.rfind("StartupWMClass=", 0) == 0)
            windowClass = line.substr(line.find('=') + 1);
    EXPECT_EQ(windowClass, win::ApplicationName());
}

} // namespace
