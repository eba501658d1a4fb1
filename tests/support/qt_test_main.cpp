// Entry point of the window test suites. The QApplication exists only when tests really
// run (test discovery at build time lists them without a display), and every run gets a
// private HOME, settings folder, documents folder and runtime folder, so no test can
// touch the real user's files.
#include <QApplication>
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <memory>

#include "support/temp_dir.h"

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    bool listing = false;
    for (int i = 1; i < argc; ++i)
        if (std::strncmp(argv[i], "--gtest_list_tests", 18) == 0)
            listing = true;
    if (listing)
        return RUN_ALL_TESTS();

    testing_support::TempDir home;
    std::filesystem::create_directories(home / "config");
    std::filesystem::create_directories(home / "Documents");
    std::filesystem::create_directories(home / "runtime");
    std::filesystem::permissions(home / "runtime", std::filesystem::perms::owner_all);
    setenv("HOME", home.Path().c_str(), 1);
    setenv("XDG_CONFIG_HOME", (home / "config").c_str(), 1);
    setenv("XDG_RUNTIME_DIR", (home / "runtime").c_str(), 1);
    setenv("XDG_STATE_HOME", (home / "state").c_str(), 1);
    if (!std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);

    auto application = std::make_unique<QApplication>(argc, argv);
    const int result = RUN_ALL_TESTS();
    application.reset();
    return result;
}
