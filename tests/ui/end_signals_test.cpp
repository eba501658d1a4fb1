#include <gtest/gtest.h>

#include <QCoreApplication>

#include <csignal>
#include <vector>

#include "ui/platform/end_signals.h"

namespace {

bool HasDefaultAction(int number)
{
    struct sigaction action {};
    sigaction(number, nullptr, &action);
    return action.sa_handler == SIG_DFL;
}

// The loop, not the handler, tells the program; from then on the next signal ends it.
TEST(EndSignalsTest, TheFirstSignalReachesTheLoopAndTheNextOneEndsTheProgram)
{
    for (const int first : {SIGTERM, SIGHUP, SIGINT}) {
        std::vector<int> told;
        {
            const win::EndSignals installed([&told](int number) { told.push_back(number); });
            ASSERT_FALSE(HasDefaultAction(first));
            std::raise(first);
            EXPECT_TRUE(told.empty()) << "not from inside the handler";
            for (int round = 0; round < 100 && told.empty(); ++round)
                QCoreApplication::processEvents();
            EXPECT_EQ(told, std::vector<int> {first});
            for (const int next : {SIGTERM, SIGHUP, SIGINT})
                EXPECT_TRUE(HasDefaultAction(next)) << next;
        }
        for (const int number : {SIGTERM, SIGHUP, SIGINT})
            EXPECT_TRUE(HasDefaultAction(number)) << "put back as it was";
    }
}

TEST(EndSignalsTest, ASignalIgnoredAtStartStaysIgnored)
{
    struct sigaction ignore {};
    ignore.sa_handler = SIG_IGN;
    struct sigaction before {};
    sigaction(SIGHUP, &ignore, &before);
    bool told = false;
    {
        const win::EndSignals installed([&told](int) { told = true; });
        std::raise(SIGHUP);
        for (int round = 0; round < 10; ++round)
            QCoreApplication::processEvents();
    }
    struct sigaction after {};
    sigaction(SIGHUP, &before, &after);
    EXPECT_FALSE(told);
    EXPECT_EQ(after.sa_handler, SIG_IGN);
}

} // namespace
