#include "model/date_repeater.h"

#include "support/tz_guard.h"

#include <gtest/gtest.h>
#include <libical/ical.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <limits>
#include <memory>
#include <random>
#include <string>
#include <vector>

namespace {

using testing_support::kEastern;
using testing_support::kSydney;
using testing_support::TzGuard;

struct Day {
    int year;
    int month;
    int day;
};

// The local day and clock time of a value, read with the C library directly.
std::tm Local(TimeValue value)
{
    const std::time_t time = value;
    std::tm fields{};
    localtime_r(&time, &fields);
    return fields;
}

::testing::AssertionResult IsTenOClockOn(TimeValue value, Day expected)
{
    const std::tm f = Local(value);
    const Day got{f.tm_year + 1900, f.tm_mon + 1, f.tm_mday};
    if (got.year == expected.year && got.month == expected.month && got.day == expected.day
        && f.tm_hour == 10 && f.tm_min == 0 && f.tm_sec == 0)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "got " << got.month << "/" << got.day << "/" << got.year << " "
                                         << f.tm_hour << ":" << f.tm_min << ":" << f.tm_sec << ", expected "
                                         << expected.month << "/" << expected.day << "/" << expected.year
                                         << " 10:00:00";
}

// Month stepping done the plain way, one month at a time, for comparison with the rule's
// own arithmetic.
Day MonthlyByStepping(Day start, int delta, unsigned n, int day)
{
    int y = start.year;
    int m = start.month;
    for (unsigned i = 0; i < n; ++i) {
        for (int j = 0; j < std::abs(delta); ++j) {
            if (delta >= 0) {
                if (++m == 13) {
                    m = 1;
                    ++y;
                }
            } else if (--m == 0) {
                m = 12;
                --y;
            }
        }
    }
    static constexpr int kLengths[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = y % 4 == 0 && (y % 100 != 0 || y % 400 == 0);
    const int last = m == 2 && leap ? 29 : kLengths[m - 1];
    return {y, m, day != 0 ? day : last};
}

Day NextDay(Day date)
{
    if (++date.day > MonthlyByStepping(date, 0, 0, 0).day) {
        date.day = 1;
        if (++date.month > 12) {
            date.month = 1;
            ++date.year;
        }
    }
    return date;
}

TEST(CDateRepeaterMonthly, LastDayOfMonthFromThirtyFirstOfJanuaryDoesNotDrift)
{
    TzGuard zone(kEastern);
    const CDateRepeaterMonthly rule(1, 0, 0);
    const TimeValue start = MakeDate(2008, 1, 31);
    const Day expected[] = {{2008, 1, 31}, {2008, 2, 29}, {2008, 3, 31}, {2008, 4, 30}, {2008, 5, 31},
        {2008, 6, 30}, {2008, 7, 31}, {2008, 8, 31}, {2008, 9, 30}, {2008, 10, 31}, {2008, 11, 30},
        {2008, 12, 31}, {2009, 1, 31}, {2009, 2, 28}};
    for (unsigned n = 0; n < std::size(expected); ++n)
        EXPECT_TRUE(IsTenOClockOn(rule.GetOccurrence(start, n), expected[n])) << "n = " << n;
    EXPECT_TRUE(IsTenOClockOn(rule.GetOccurrence(MakeDate(2007, 1, 31), 1), {2007, 2, 28}));
}

TEST(CDateRepeaterMonthly, RequestedDaysAfterTheTwentyEighthMeanTheLastDay)
{
    TzGuard zone(kEastern);
    for (int requested : {29, 30, 31, -1, 32}) {
        const CDateRepeaterMonthly rule(1, 0, requested);
        EXPECT_EQ(rule.day, 0) << requested;
        EXPECT_TRUE(IsTenOClockOn(rule.GetOccurrence(MakeDate(2007, 1, 29), 0), {2007, 1, 31})) << requested;
        EXPECT_TRUE(IsTenOClockOn(rule.GetOccurrence(MakeDate(2007, 1, 29), 1), {2007, 2, 28})) << requested;
    }
    for (int requested : {0, 1, 28}) {
        const CDateRepeaterMonthly rule(2, 7, requested);
        EXPECT_EQ(rule.day, requested);
        EXPECT_EQ(rule.GetDay(), requested);
        EXPECT_EQ(rule.delta, 2);
        EXPECT_EQ(rule.count, 7u);
    }
}

TEST(CDateRepeaterMonthly, StoredDayReplacesTheStartsDay)
{
    TzGuard zone(kEastern);
    const CDateRepeaterMonthly rule(1, 0, 5);
    EXPECT_TRUE(IsTenOClockOn(rule.GetOccurrence(MakeDate(2007, 3, 20), 0), {2007, 3, 5}));
    EXPECT_TRUE(IsTenOClockOn(rule.GetOccurrence(MakeDate(2007, 3, 20), 1), {2007, 4, 5}));
}

struct MonthStepCase {
    int delta;
    Day start;
    unsigned n;
    Day expected;
};

TEST(CDateRepeaterMonthly, StepsForwardBackwardAndNotAtAll)
{
    TzGuard zone(kEastern);
    const MonthStepCase cases[] = {
        {3, {2006, 11, 15}, 1, {2007, 2, 15}},
        {3, {2006, 11, 15}, 2, {2007, 5, 15}},
        {-1, {2007, 1, 15}, 1, {2006, 12, 15}},
        {-1, {2007, 1, 15}, 13, {2005, 12, 15}},
        {-4, {2007, 3, 15}, 3, {2006, 3, 15}},
        {0, {2007, 6, 15}, 0, {2007, 6, 15}},
        {0, {2007, 6, 15}, 1000, {2007, 6, 15}},
        {12, {2007, 6, 15}, 2, {2009, 6, 15}},
        {1, {2037, 12, 15}, 3, {2038, 3, 15}},
        {4, {2038, 1, 15}, 9, {2041, 1, 15}},
    };
    for (const auto& c : cases) {
        const CDateRepeaterMonthly rule(c.delta, 0, 15);
        EXPECT_TRUE(IsTenOClockOn(rule.GetOccurrence(MakeDate(c.start.year, c.start.month, 28), c.n), c.expected))
            << "delta " << c.delta << " n " << c.n;
    }
}

// The rule computes the n-th month in one go; it must land where stepping one month at
// a time lands, for every kind of step, day and start month.
TEST(CDateRepeaterMonthly, AgreesWithStepByStepCalculation)
{
    for (const char* tz : {kEastern, kSydney}) {
        TzGuard zone(tz);
        for (int year = 1999; year <= 2041; year += 3) {
            for (int month = 1; month <= 12; month += 2) {
                // Every third start on the month's last day, the others spread over 1 to 28.
                const Day start{year, month,
                    (year + month) % 3 == 0 ? MonthlyByStepping({year, month, 1}, 0, 0, 0).day : 1 + (year + month) % 28};
                const TimeValue startValue = MakeDate(start.year, start.month, start.day);
                for (int delta : {-13, -5, -1, 0, 1, 2, 3, 4, 12, 25}) {
                    for (int day : {0, 1, 28}) {
                        const CDateRepeaterMonthly rule(delta, 0, day);
                        for (unsigned n : {0u, 1u, 2u, 5u, 11u, 12u, 13u, 37u}) {
                            ASSERT_TRUE(IsTenOClockOn(rule.GetOccurrence(startValue, n),
                                MonthlyByStepping(start, delta, n, day)))
                                << tz << " start " << start.month << "/" << start.year << " delta " << delta
                                << " day " << day << " n " << n;
                        }
                    }
                }
            }
        }
    }
}

TEST(CDateRepeaterMonthly, FarOccurrencesComeAtOnce)
{
    TzGuard zone(kEastern);
    // 4294967295 months after January 2007 is 357913941 years and 3 months later.
    const CDateRepeaterMonthly rule(1, 0, 0);
    EXPECT_TRUE(IsTenOClockOn(rule.GetOccurrence(MakeDate(2007, 1, 10), std::numeric_limits<std::uint32_t>::max()),
        {2007 + 357913941, 4, 30}));
    const CDateRepeaterMonthly backwards(-2, 0, 9);
    EXPECT_TRUE(IsTenOClockOn(backwards.GetOccurrence(MakeDate(2007, 1, 10), 600000), {2007 - 100000, 1, 9}));
    // Nothing meaningful is left at the very ends, but nothing may overflow either.
    const CDateRepeaterMonthly extreme(std::numeric_limits<std::int32_t>::min(), 0, 0);
    extreme.GetOccurrence(MakeDate(2007, 1, 10), std::numeric_limits<std::uint32_t>::max());
}

TEST(CDateRepeaterYearly, TwentyNinthOfFebruaryBecomesFirstOfMarchInCommonYears)
{
    TzGuard zone(kEastern);
    const CDateRepeaterYearly rule(1, 0);
    const TimeValue start = MakeDate(2008, 2, 29);
    const Day expected[] = {{2008, 2, 29}, {2009, 3, 1}, {2010, 3, 1}, {2011, 3, 1}, {2012, 2, 29}};
    for (unsigned n = 0; n < std::size(expected); ++n)
        EXPECT_TRUE(IsTenOClockOn(rule.GetOccurrence(start, n), expected[n])) << "n = " << n;
}

TEST(CDateRepeaterYearly, StepsByWholeYearsEitherWay)
{
    TzGuard zone(kEastern);
    EXPECT_TRUE(IsTenOClockOn(CDateRepeaterYearly(4, 0).GetOccurrence(MakeDate(2030, 7, 4), 3), {2042, 7, 4}));
    EXPECT_TRUE(IsTenOClockOn(CDateRepeaterYearly(-1, 0).GetOccurrence(MakeDate(2007, 3, 11), 2), {2005, 3, 11}));
    EXPECT_TRUE(IsTenOClockOn(CDateRepeaterYearly(0, 0).GetOccurrence(MakeDate(2007, 3, 11), 9), {2007, 3, 11}));
    const CDateRepeaterYearly extreme(std::numeric_limits<std::int32_t>::max(), 0);
    extreme.GetOccurrence(MakeDate(2007, 1, 10), std::numeric_limits<std::uint32_t>::max());
}

TEST(CDateRepeaterDaily, ConsecutiveDaysAtTenOClockAcrossDaylightSavingChanges)
{
    struct Window {
        const char* tz;
        Day start;
    };
    // Each window of ten days holds a daylight-saving change.
    const Window windows[] = {
        {kEastern, {2007, 3, 6}}, {kEastern, {2007, 10, 30}},
        {kSydney, {2007, 3, 20}}, {kSydney, {2007, 10, 2}},
    };
    for (const auto& w : windows) {
        TzGuard zone(w.tz);
        const CDateRepeaterDaily rule(1, 0);
        const TimeValue start = MakeDate(w.start.year, w.start.month, w.start.day);
        Day expected = w.start;
        for (unsigned n = 0; n < 10; ++n, expected = NextDay(expected))
            EXPECT_TRUE(IsTenOClockOn(rule.GetOccurrence(start, n), expected)) << w.tz << " n = " << n;
    }
}

TEST(CDateRepeaterDaily, StepsIntoTheNextYearAndBackwards)
{
    TzGuard zone(kEastern);
    EXPECT_TRUE(IsTenOClockOn(CDateRepeaterDaily(1, 0).GetOccurrence(MakeDate(2007, 12, 31), 1), {2008, 1, 1}));
    EXPECT_TRUE(IsTenOClockOn(CDateRepeaterDaily(3, 0).GetOccurrence(MakeDate(2037, 12, 31), 200), {2039, 8, 23}));
    EXPECT_TRUE(IsTenOClockOn(CDateRepeaterDaily(-2, 0).GetOccurrence(MakeDate(2008, 3, 2), 2), {2008, 2, 27}));
    const CDateRepeaterDaily extreme(std::numeric_limits<std::int32_t>::min(), 0);
    extreme.GetOccurrence(MakeDate(2007, 1, 10), std::numeric_limits<std::uint32_t>::max());
}

TEST(CDateRepeaterWeekly, StepsInDaysButReportsWeeks)
{
    TzGuard zone(kEastern);
    const CDateRepeaterWeekly rule(2, 0);
    EXPECT_EQ(rule.delta, 14);
    EXPECT_EQ(rule.GetDelta(), 2);
    const TimeValue start = MakeDate(2007, 2, 23);
    EXPECT_TRUE(IsTenOClockOn(rule.GetOccurrence(start, 1), {2007, 3, 9}));
    EXPECT_TRUE(IsTenOClockOn(rule.GetOccurrence(start, 2), {2007, 3, 23}));
    EXPECT_TRUE(IsTenOClockOn(rule.GetOccurrence(start, 26), {2008, 2, 22}));

    const CDateRepeaterWeekly backwards(-3, 0);
    EXPECT_EQ(backwards.delta, -21);
    EXPECT_EQ(backwards.GetDelta(), -3);
    EXPECT_TRUE(IsTenOClockOn(backwards.GetOccurrence(start, 1), {2007, 2, 2}));

    // Week counts too large for a step in days keep the nearest step that fits.
    const CDateRepeaterWeekly huge(std::numeric_limits<std::int32_t>::max(), 0);
    EXPECT_EQ(huge.delta, std::numeric_limits<std::int32_t>::max());
    EXPECT_EQ(huge.GetDelta(), std::numeric_limits<std::int32_t>::max() / 7);
    const CDateRepeaterWeekly hugeBackwards(std::numeric_limits<std::int32_t>::min(), 0);
    EXPECT_EQ(hugeBackwards.delta, std::numeric_limits<std::int32_t>::min());
    EXPECT_EQ(hugeBackwards.GetDelta(), std::numeric_limits<std::int32_t>::min() / 7);
}

TEST(CDateRepeaterOnce, AlwaysTheStartDate)
{
    TzGuard zone(kEastern);
    const CDateRepeaterOnce rule;
    EXPECT_EQ(rule.count, 1u);
    EXPECT_EQ(rule.GetDelta(), 1);
    const TimeValue start = MakeDate(2007, 5, 1);
    EXPECT_EQ(rule.GetOccurrence(start, 0), start);
    EXPECT_EQ(rule.GetOccurrence(start, 5), start);
}

TEST(CDateRepeater, TypesNamesAndStepsOfTheFiveKinds)
{
    std::vector<std::unique_ptr<CDateRepeater>> rules;
    rules.push_back(std::make_unique<CDateRepeaterOnce>());
    rules.push_back(std::make_unique<CDateRepeaterDaily>(3, 4));
    rules.push_back(std::make_unique<CDateRepeaterWeekly>(4, 5));
    rules.push_back(std::make_unique<CDateRepeaterMonthly>(2, 6, 9));
    rules.push_back(std::make_unique<CDateRepeaterYearly>(1, 7));
    const char* names[] = {"Once", "Daily", "Weekly", "Monthly", "Yearly"};
    const std::int32_t steps[] = {1, 3, 4, 2, 1};
    const std::uint32_t counts[] = {1, 4, 5, 6, 7};
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(rules[i]->GetType(), i);
        EXPECT_STREQ(RepeatTypeName(*rules[i]), names[i]);
        EXPECT_EQ(rules[i]->GetDelta(), steps[i]) << names[i];
        EXPECT_EQ(rules[i]->GetCount(), counts[i]) << names[i];
    }
    EXPECT_STREQ(RepeatTypeName(5), "<none>");
    EXPECT_STREQ(RepeatTypeName(-1), "<none>");
}

} // namespace

namespace {

// The dates of a monthly recurrence ("BYDAY=2FR", "BYMONTHDAY=15,-1") every `months`
// months, `count` of them, as libical expands it from the first of a month.
std::vector<CalendarDate> LibicalMonthly(const std::string& byRule, int months, std::uint32_t count,
                                         CalendarDate first)
{
    const std::string rule =
        "FREQ=MONTHLY;INTERVAL=" + std::to_string(months) + ";" + byRule + ";COUNT=" + std::to_string(count);
    char start[16];
    std::snprintf(start, sizeof start, "%04d%02d01", first.year, first.month);
    std::vector<CalendarDate> dates;
    icalrecur_iterator* iterator =
        icalrecur_iterator_new(icalrecurrencetype_from_string(rule.c_str()), icaltime_from_string(start));
    for (icaltimetype t = icalrecur_iterator_next(iterator); !icaltime_is_null_time(t);
         t = icalrecur_iterator_next(iterator))
        dates.push_back({t.year, t.month, t.day});
    icalrecur_iterator_free(iterator);
    return dates;
}

} // namespace

TEST(CDateRepeaterMonthly, WeekdaysOfTheMonthAndTwiceAMonthAgreeWithLibical)
{
    // The n-th or last weekday (BYDAY=2FR, BYDAY=-1FR) and two days a month
    // (BYMONTHDAY=1,15 or 15,-1), every one to four months, counted as libical counts.
    TzGuard zone(kEastern);
    static const char* const kDays[] = {"SU", "MO", "TU", "WE", "TH", "FR", "SA"};
    std::mt19937 random(2026120926);
    for (int trial = 0; trial < 1000; ++trial) {
        const int months = 1 + int(random() % 4);
        const std::uint32_t count = 2 + std::uint32_t(random() % 40);
        const CalendarDate first{1990 + int(random() % 60), 1 + int(random() % 12), 1 + int(random() % 28)};
        MonthlyDays days;
        std::int32_t day = 1 + int(random() % 28);
        std::string byRule;
        if (trial % 2 == 0) {
            days.week = int(random() % 5) + 1;
            if (days.week == 5)
                days.week = -1;
            days.weekday = int(random() % 7);
            byRule = "BYDAY=" + std::to_string(days.week) + kDays[days.weekday];
        } else {
            // Day 0 and day 31 stand for the month's last day, as -1 does for libical.
            const int second = int(random() % 30);
            days.day2 = second == 29 ? 31 : second == 0 ? 15 : second;
            if (random() % 4 == 0)
                day = 0;
            if (day == days.day2 || (day == 0 && days.day2 == 31))
                day = day == 1 ? 2 : 1;
            auto text = [](int d) { return d == 0 || d == 31 ? std::string("-1") : std::to_string(d); };
            byRule = "BYMONTHDAY=" + text(day) + "," + text(days.day2);
        }
        const CDateRepeaterMonthly rule(months, count, day, days);
        const std::vector<CalendarDate> expected = LibicalMonthly(byRule, months, count, first);
        ASSERT_EQ(expected.size(), count) << byRule;
        const TimeValue inserted = MakeDate(first.year, first.month, first.day);
        for (std::uint32_t n = 0; n < count; ++n)
            ASSERT_EQ(SplitDate(rule.GetOccurrence(inserted, n)), expected[n])
                << byRule << " every " << months << " months from " << FormatDate(inserted) << ", occurrence " << n;
    }
}

TEST(CDateRepeaterMonthly, DaysPastTheMonthsEndAreItsLastDayAndOutOfRangeExtrasAreLeftOut)
{
    TzGuard zone(kEastern);
    // 30 and 31 as a second day: that day, or the last of a shorter month; Count counts both.
    const CDateRepeaterMonthly twice(1, 6, 15, MonthlyDays{0, 0, 30});
    const TimeValue january = MakeDate(2027, 1, 20);
    std::vector<std::string> dates;
    for (std::uint32_t n = 0; n < twice.count; ++n)
        dates.push_back(FormatDate(twice.GetOccurrence(january, n)));
    EXPECT_EQ(dates, (std::vector<std::string>{"01/15/2027", "01/30/2027", "02/15/2027", "02/28/2027",
                                               "03/15/2027", "03/30/2027"}));
    // A week without a valid weekday, a fifth week, a second day with a week or beyond 31.
    EXPECT_EQ(CDateRepeaterMonthly(1, 0, 5, MonthlyDays{5, 2, 0}).GetDays(), MonthlyDays{});
    EXPECT_EQ(CDateRepeaterMonthly(1, 0, 5, MonthlyDays{2, 7, 0}).GetDays(), MonthlyDays{});
    EXPECT_EQ(CDateRepeaterMonthly(1, 0, 5, MonthlyDays{-1, 3, 9}).GetDays(), (MonthlyDays{-1, 3, 0}));
    EXPECT_EQ(CDateRepeaterMonthly(1, 0, 5, MonthlyDays{0, 0, 32}).GetDays(), MonthlyDays{});
    // A copy keeps every part of the rule.
    const CDateRepeaterMonthly full(2, 7, 12, MonthlyDays{3, 5, 0}, BusinessDayMove::Nearest);
    const auto copy = CopyRepeater(full);
    EXPECT_EQ(static_cast<const CDateRepeaterMonthly&>(*copy).GetDays(), full.GetDays());
    EXPECT_EQ(copy->GetBusinessDay(), BusinessDayMove::Nearest);
    EXPECT_EQ(CopyRepeater(CDateRepeaterOnce(BusinessDayMove::After))->GetBusinessDay(), BusinessDayMove::After);
}
