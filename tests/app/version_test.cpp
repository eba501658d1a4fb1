#include "app/tillane_app.h"

#include <gtest/gtest.h>

namespace {

TEST(VersionText, ShowsTheBuildNumberOnlyAboveOne)
{
    EXPECT_EQ(FormatVersionText("0.4", 0), "0.4");
    EXPECT_EQ(FormatVersionText("0.4", 1), "0.4");
    EXPECT_EQ(FormatVersionText("0.4", 7), "0.4 Build #7");
    EXPECT_EQ(FormatVersionText("0.4", 3), "0.4 Build #3");
}

} // namespace
