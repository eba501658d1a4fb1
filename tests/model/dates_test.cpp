#include "model/dates.h"

#include "support/tz_guard.h"

#include <gtest/gtest.h>

#include <ctime>
#include <limits>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

using testing_support::kEastern;
using testing_support::kSydney;
using testing_support::TzGuard;

// The local clock time of a value, read with the C library directly.
std::tm Local(TimeValue value)
{
    const std::time_t time = value;
    std::tm fields{};
    localtime_r(&time, &fields);
    return fields;
}

bool IsTenOClock(TimeValue value)
{
    const std::tm fields = Local(value);
    return fields.tm_hour == 10 && fields.tm_min == 0 && fields.tm_sec == 0;
}

CalendarDate LocalDay(TimeValue value)
{
    const std::tm fields = Local(value);
    return {fields.tm_year + 1900, fields.tm_mon + 1, fields.tm_mday};
}

bool IsLeap(int year)
{
    return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0);
}

CalendarDate NextDay(CalendarDate date)
{
    static constexpr int kLengths[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const int length = date.month == 2 && IsLeap(date.year) ? 29 : kLengths[date.month - 1];
    if (++date.day > length) {
        date.day = 1;
        if (++date.month > 12) {
            date.month = 1;
            ++date.year;
        }
    }
    return date;
}

TEST(Dates, FormatsAndParsesFifthOfJanuary2007)
{
    TzGuard zone(kEastern);
    // 5 January 2007 10:00 EST is 15:00 UTC.
    const TimeValue value = 1168009200;
    EXPECT_EQ(FormatDate(value), "01/05/2007");
    EXPECT_EQ(ParseDate("01/05/2007"), value);
    EXPECT_EQ(MakeDate(2007, 1, 5), value);
}

// A hold keeps the zone it found until the last one ends. (Its year's table is built
// before TZ changes: a hold is not meant to outlive the zone.)
TEST(Dates, AZoneHoldKeepsItsZoneUntilTheLastHoldEnds)
{
    TzGuard zone(kEastern);
    const TimeValue eastern = 1168009200; // 5 January 2007 10:00 EST
    ASSERT_EQ(MakeDate(2007, 1, 5), eastern);
    {
        const ZoneHold outer;
        TzGuard sydney(testing_support::kSydney);
        {
            const ZoneHold inner;
            EXPECT_EQ(MakeDate(2007, 1, 5), eastern);
        }
        EXPECT_EQ(MakeDate(2007, 1, 5), eastern);
    }
    EXPECT_EQ(MakeDate(2007, 1, 5), eastern);
    TzGuard sydney(testing_support::kSydney);
    EXPECT_NE(MakeDate(2007, 1, 5), eastern);
}

TEST(Dates, DateAfter2038FormatsParsesAndSplits)
{
    TzGuard zone(kEastern);
    // 4 July 2040 10:00 EDT, beyond the reach of a 32-bit count.
    const TimeValue value = 2225023200;
    EXPECT_EQ(MakeDate(2040, 7, 4), value);
    EXPECT_EQ(FormatDate(value), "07/04/2040");
    EXPECT_EQ(ParseDate("07/04/2040"), value);
    EXPECT_EQ(SplitDate(value), (CalendarDate{2040, 7, 4}));
    EXPECT_EQ(AddDays(MakeDate(2038, 1, 18), 2), MakeDate(2038, 1, 20));
}

// Every day the program handles reads back from its text: four-digit years, in the
// years of the old 32-bit limits and far from them.
TEST(Dates, EveryDayFromYear1000To9999ReadsBackFromItsText)
{
    TzGuard zone(kEastern);
    std::mt19937 random(1000);
    std::uniform_int_distribution<int> year(kEarliestYear, kLatestYear), month(1, 12), day(1, 31);
    std::vector<TimeValue> days = {EarliestDate(), LatestDate(), MakeDate(1969, 12, 31), MakeDate(1970, 1, 1),
                                   MakeDate(2038, 1, 19), MakeDate(2038, 1, 20)};
    for (int i = 0; i < 2000; ++i)
        days.push_back(MakeDate(year(random), month(random), day(random)));
    for (const TimeValue value : days) {
        const std::string text = FormatDate(value);
        ASSERT_EQ(text.size(), 10u) << text;
        EXPECT_EQ(ParseDate(text), value) << text;
        EXPECT_TRUE(IsDateInRange(value)) << text;
        EXPECT_EQ(ClampDate(value), value) << text;
    }
    EXPECT_EQ(FormatDate(EarliestDate()), "01/01/1000");
    EXPECT_EQ(FormatDate(LatestDate()), "12/31/9999");
}

// Outside those years a date is written, and clamped, as the nearer end of them.
TEST(Dates, DaysBeforeYear1000OrAfter9999AreHeldAtTheEnds)
{
    TzGuard zone(kEastern);
    for (const TimeValue before : {MakeDate(999, 12, 31), MakeDate(1, 6, 1), MakeDate(-40000, 1, 1)}) {
        EXPECT_EQ(FormatDate(before), "01/01/1000");
        EXPECT_FALSE(IsDateInRange(before));
        EXPECT_EQ(ClampDate(before), EarliestDate());
    }
    for (const TimeValue after : {MakeDate(10000, 1, 1), MakeDate(123456, 7, 8)}) {
        EXPECT_EQ(FormatDate(after), "12/31/9999");
        EXPECT_FALSE(IsDateInRange(after));
        EXPECT_EQ(ClampDate(after), LatestDate());
    }
}

TEST(Dates, ParseIgnoresWhatStandsInTheSeparatorPlaces)
{
    TzGuard zone(kEastern);
    const TimeValue expected = MakeDate(2006, 3, 7);
    for (const char* text : {"03/07/2006", "03-07-2006", "03.07.2006", "03x07y2006", "03 07 2006"})
        EXPECT_EQ(ParseDate(text), expected) << text;
}

TEST(Dates, ParseCarriesAnOverflowingDayIntoTheNextMonth)
{
    TzGuard zone(kEastern);
    const auto value = ParseDate("02/30/2006");
    ASSERT_TRUE(value);
    EXPECT_EQ(*value, 1141311600); // 2 March 2006 10:00 EST
    EXPECT_EQ(ParseDate("13/01/2006"), MakeDate(2007, 1, 1));
    EXPECT_EQ(ParseDate("00/01/2006"), MakeDate(2005, 12, 1));
    EXPECT_EQ(ParseDate("03/00/2006"), MakeDate(2006, 2, 28));
}

TEST(Dates, ParseReadsOnlyTheFirstTenCharacters)
{
    TzGuard zone(kEastern);
    const TimeValue expected = MakeDate(2007, 1, 5);
    EXPECT_EQ(ParseDate("01/05/2007 and more"), expected);
    EXPECT_EQ(ParseDate("01/05/20071234"), expected);
    EXPECT_EQ(ParseDate(" 1/ 5/2007"), expected);
    // Like atoi: the digits up to the first non-digit; none at all reads as 0.
    EXPECT_EQ(ParseDate("01/05/07ab"), MakeDate(7, 1, 5));
    EXPECT_EQ(ParseDate("1a/5b/2007"), expected);
}

TEST(Dates, TextShorterThanTenCharactersIsNotADate)
{
    TzGuard zone(kEastern);
    for (std::string_view text : {"", "1", "01/05/200", "1/5/2007", "01/05"})
        EXPECT_FALSE(ParseDate(text)) << text;
    // A text ends at its first NUL, as a C string would.
    EXPECT_FALSE(ParseDate(std::string_view("01/05\0/2007", 11)));
}

TEST(Dates, ToTenOClockKeepsTheLocalDay)
{
    for (const char* tz : {kEastern, kSydney}) {
        TzGuard zone(tz);
        const TimeValue tenOClock = MakeDate(2007, 3, 11);
        ASSERT_TRUE(IsTenOClock(tenOClock)) << tz;
        const TimeValue midnight = tenOClock - 10 * 3600 + (tz == kEastern ? 3600 : 0);
        EXPECT_EQ(LocalDay(midnight), (CalendarDate{2007, 3, 11})) << tz;
        EXPECT_EQ(ToTenOClock(midnight), tenOClock) << tz;
        EXPECT_EQ(ToTenOClock(tenOClock + 13 * 3600), tenOClock) << tz;
        EXPECT_EQ(ToTenOClock(tenOClock), tenOClock) << tz;
    }
}

TEST(Dates, FirstOfMonthIsDayOneAtTenOClock)
{
    TzGuard zone(kEastern);
    EXPECT_EQ(FirstOfMonth(MakeDate(2007, 3, 31)), MakeDate(2007, 3, 1));
    EXPECT_EQ(FirstOfMonth(MakeDate(2007, 11, 30) + 13 * 3600), MakeDate(2007, 11, 1));
    EXPECT_EQ(FirstOfMonth(MakeDate(2040, 2, 29)), MakeDate(2040, 2, 1));
    EXPECT_TRUE(IsTenOClock(FirstOfMonth(MakeDate(2007, 3, 31))));
}

// Walks two years day by day in each zone, across all four daylight-saving changes:
// every step is the next calendar day at 10:00, and stepping back returns exactly.
TEST(Dates, AddingOneDayReachesTheNextCalendarDayAtTenOClock)
{
    for (const char* tz : {kEastern, kSydney}) {
        TzGuard zone(tz);
        TimeValue date = MakeDate(2006, 12, 20);
        CalendarDate day{2006, 12, 20};
        for (int i = 0; i < 740; ++i) {
            const TimeValue next = AddDays(date, 1);
            day = NextDay(day);
            ASSERT_EQ(LocalDay(next), day) << tz << " step " << i;
            ASSERT_TRUE(IsTenOClock(next)) << tz << " " << FormatDate(next);
            ASSERT_EQ(AddDays(next, -1), date) << tz << " " << FormatDate(next);
            date = next;
        }
    }
}

TEST(Dates, AddDaysAcrossManyDaysAndTheYearEnd)
{
    TzGuard zone(kEastern);
    EXPECT_EQ(AddDays(MakeDate(2007, 12, 31), 1), MakeDate(2008, 1, 1));
    EXPECT_EQ(AddDays(MakeDate(2008, 1, 1), -1), MakeDate(2007, 12, 31));
    EXPECT_EQ(AddDays(MakeDate(2007, 1, 1), 365), MakeDate(2008, 1, 1));
    EXPECT_EQ(AddDays(MakeDate(2008, 1, 1), 366), MakeDate(2009, 1, 1));
    EXPECT_EQ(AddDays(MakeDate(2007, 1, 1), 31 * 13), MakeDate(2008, 2, 8));
    EXPECT_EQ(AddDays(MakeDate(2007, 1, 1), 0), MakeDate(2007, 1, 1));
}

TEST(Dates, DayNumbersOfConsecutiveDaysAreConsecutive)
{
    TzGuard zone(kEastern);
    TimeValue date = MakeDate(2007, 1, 1);
    for (int i = 0; i < 400; ++i) {
        const TimeValue next = AddDays(date, 1);
        ASSERT_EQ(DayNumber(next), DayNumber(date) + 1) << FormatDate(date);
        ASSERT_EQ(DayNumber(ToTenOClock(next + 5 * 3600)), DayNumber(next));
        date = next;
    }
    EXPECT_EQ(DayNumber(0), 0u);
    EXPECT_EQ(DayNumber(86399), 0u);
    EXPECT_EQ(DayNumber(86400), 1u);
}

TEST(Dates, TodayIsTheCurrentDayAtTenOClock)
{
    TzGuard zone(kEastern);
    const TimeValue before = std::time(nullptr);
    const TimeValue today = Today();
    const TimeValue after = std::time(nullptr);
    EXPECT_TRUE(IsTenOClock(today));
    // The local day of "now" is the day of either reading of the clock.
    EXPECT_TRUE(today == ToTenOClock(before) || today == ToTenOClock(after));
}

TEST(Dates, DaysInMonthFollowsTheGregorianLeapRule)
{
    EXPECT_EQ(DaysInMonth(2007, 1), 31);
    EXPECT_EQ(DaysInMonth(2007, 4), 30);
    EXPECT_EQ(DaysInMonth(2007, 12), 31);
    EXPECT_EQ(DaysInMonth(2007, 2), 28);
    EXPECT_EQ(DaysInMonth(2008, 2), 29);
    EXPECT_EQ(DaysInMonth(1900, 2), 28);
    EXPECT_EQ(DaysInMonth(2000, 2), 29);
    EXPECT_EQ(DaysInMonth(2100, 2), 28);
}

// Values no calendar holds must still be handled without overflow (the sanitizer build
// checks that) and without breaking the text forms.
TEST(Dates, ExtremeValuesStayDefined)
{
    TzGuard zone(kEastern);
    constexpr TimeValue kMax = std::numeric_limits<TimeValue>::max();
    constexpr TimeValue kMin = std::numeric_limits<TimeValue>::min();
    EXPECT_EQ(FormatDate(kMax), "");
    EXPECT_EQ(FormatDate(kMin), "");
    EXPECT_EQ(ToTenOClock(kMax), kMax);
    EXPECT_EQ(AddDays(MakeDate(2007, 1, 1), std::numeric_limits<std::int64_t>::max()), kMax);
    AddDays(MakeDate(2007, 1, 1), std::numeric_limits<std::int64_t>::min());
    AddDays(MakeDate(1969, 12, 31), std::numeric_limits<std::int64_t>::min());
    EXPECT_EQ(SplitDate(kMax).year, std::numeric_limits<int>::max());
    MakeDate(std::numeric_limits<std::int64_t>::max(), std::numeric_limits<std::int64_t>::min(), 5);
    ParseDate("-2147483648/-2147483648/-2147483648");
    EXPECT_EQ(ParseDate("99/99/9999"), MakeDate(10007, 6, 7));
}

TEST(CMonth, NamesTheTwelveMonths)
{
    const char* expected[] = {"January", "February", "March", "April", "May", "June", "July",
        "August", "September", "October", "November", "December"};
    for (int tag = 1; tag <= 12; ++tag)
        EXPECT_STREQ(CMonth::Name(tag), expected[tag - 1]);
}

TEST(CMonth, RejectsTagsOutsideOneToTwelve)
{
    for (int tag : {0, 13, -1, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()}) {
        try {
            CMonth::Name(tag);
            ADD_FAILURE() << "no exception for tag " << tag;
        } catch (const std::invalid_argument& error) {
            EXPECT_STREQ(error.what(), "The tag argument to CMonth::Name is out of range.");
        }
    }
}

} // namespace
