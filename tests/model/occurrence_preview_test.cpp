#include "model/occurrence_preview.h"

#include "model/date_repeater.h"

#include "support/tz_guard.h"

#include <gtest/gtest.h>

#include <ctime>
#include <random>
#include <stdexcept>
#include <string>

namespace {

using testing_support::kEastern;
using testing_support::kSydney;
using testing_support::TzGuard;

TEST(DayOfWeek, AgreesWithTheCLibraryOnRandomDaysOfYears1000To9999)
{
    std::mt19937 random(20261209);
    std::uniform_int_distribution<int> year(1000, 9999), month(1, 12), day(1, 31);
    for (const char* zone : {kEastern, kSydney}) {
        TzGuard tz(zone);
        for (int i = 0; i < 2000; ++i) {
            const TimeValue value = MakeDate(year(random), month(random), day(random));
            const std::time_t seconds = static_cast<std::time_t>(value);
            std::tm local{};
            ASSERT_NE(localtime_r(&seconds, &local), nullptr);
            ASSERT_EQ(DayOfWeek(value), local.tm_wday) << FormatDate(value) << " in " << zone;
        }
    }
}

TEST(DayOfWeek, NamesRunFromSunday)
{
    TzGuard tz(kEastern);
    // 7 to 13 March 2027 run from Sunday to Saturday.
    const char* names[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
    for (int i = 0; i < 7; ++i)
        EXPECT_STREQ(ShortDayName(DayOfWeek(MakeDate(2027, 3, 7 + i))), names[i]);
    EXPECT_THROW(ShortDayName(7), std::invalid_argument);
    EXPECT_THROW(ShortDayName(-1), std::invalid_argument);
}

} // namespace
