#include "model/date_repeater.h"

#include <algorithm>
#include <limits>

namespace {

std::int64_t FloorDivide(std::int64_t value, std::int64_t divisor)
{
    std::int64_t quotient = value / divisor;
    if (value % divisor != 0 && (value < 0) != (divisor < 0))
        --quotient;
    return quotient;
}

std::int64_t SaturatingAdd(std::int64_t a, std::int64_t b)
{
    std::int64_t sum = 0;
    if (__builtin_add_overflow(a, b, &sum))
        return b < 0 ? std::numeric_limits<std::int64_t>::min() : std::numeric_limits<std::int64_t>::max();
    return sum;
}

std::int32_t WeeksToDays(std::int32_t weeks)
{
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(std::int64_t(weeks) * 7,
        std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()));
}

} // namespace

TimeValue CDateRepeaterOnce::GetOccurrence(TimeValue start, std::uint32_t) const
{
    return start;
}

TimeValue CDateRepeaterDaily::GetOccurrence(TimeValue start, std::uint32_t n) const
{
    // Cannot overflow: |delta| <= 2^31 and n < 2^32.
    return AddDays(start, std::int64_t(delta) * n);
}

CDateRepeaterWeekly::CDateRepeaterWeekly(std::int32_t weeks, std::uint32_t count, BusinessDayMove move)
    : CDateRepeaterDaily(WeeksToDays(weeks), count, move)
{
}

namespace {

MonthlyDays CheckedDays(MonthlyDays days)
{
    const bool week = (days.week >= 1 && days.week <= 4) || days.week == -1;
    if (!week || days.weekday < 0 || days.weekday > 6)
        days.week = days.weekday = 0;
    if (days.week != 0 || days.day2 < 1 || days.day2 > 31)
        days.day2 = 0;
    return days;
}

// The day of the week of the first of a month: 0 for Sunday. The Gregorian calendar
// repeats every 400 years, a whole number of weeks, so any year maps into one cycle.
int WeekdayOfFirst(std::int64_t year, int month)
{
    const std::int64_t inCycle = 2000 + (year - FloorDivide(year, 400) * 400);
    return WeekdayOfLocalDay(DayOfCalendarDate(inCycle, month, 1));
}

} // namespace

CDateRepeaterMonthly::CDateRepeaterMonthly(std::int32_t months, std::uint32_t count, std::int32_t requestedDay,
                                           MonthlyDays days, BusinessDayMove move)
    : CDateRepeater(months, count, move)
    , day(requestedDay >= 0 && requestedDay <= 28 ? requestedDay : 0)
    , days(CheckedDays(days))
{
}

int CDateRepeaterMonthly::DayInMonth(std::int64_t year, int month, std::uint32_t which) const
{
    const int last = DaysInMonth(year, month);
    if (days.week > 0)
        return 1 + (days.weekday - WeekdayOfFirst(year, month) + 7) % 7 + 7 * (days.week - 1);
    if (days.week < 0) {
        const int weekdayOfLast = (WeekdayOfFirst(year, month) + last - 1) % 7;
        return last - (weekdayOfLast - days.weekday + 7) % 7;
    }
    const int first = day != 0 ? day : last;
    if (days.day2 == 0)
        return first;
    const int second = std::min(days.day2, last);
    return which == 0 ? std::min(first, second) : std::max(first, second);
}

TimeValue CDateRepeaterMonthly::GetOccurrence(TimeValue start, std::uint32_t n) const
{
    // n steps of delta months each, taken at once: the same month as stepping one month
    // at a time, in constant time. The start's day of month plays no part.
    // Twice a month, occurrences 2k and 2k + 1 share the month of step k.
    const CalendarDate from = SplitDate(start);
    const std::int64_t months = std::int64_t(delta) * (n / PerMonth());
    const std::int64_t monthIndex = (from.month - 1) + (months - FloorDivide(months, 12) * 12);
    const std::int64_t year = SaturatingAdd(from.year, FloorDivide(months, 12) + monthIndex / 12);
    const int month = static_cast<int>(monthIndex % 12) + 1;
    return MakeDate(year, month, DayInMonth(year, month, n % PerMonth()));
}

TimeValue CDateRepeaterYearly::GetOccurrence(TimeValue start, std::uint32_t n) const
{
    // Month and day are the start's; mktime turns 29 February of a common year into 1 March.
    const CalendarDate from = SplitDate(start);
    return MakeDate(SaturatingAdd(from.year, std::int64_t(delta) * n), from.month, from.day);
}

const char* RepeatTypeName(int type)
{
    switch (type) {
    case RepeatOnce:
        return "Once";
    case RepeatDaily:
        return "Daily";
    case RepeatWeekly:
        return "Weekly";
    case RepeatMonthly:
        return "Monthly";
    case RepeatYearly:
        return "Yearly";
    default:
        return "<none>";
    }
}

const char* RepeatTypeName(const CDateRepeater& rule)
{
    return RepeatTypeName(rule.GetType());
}

std::unique_ptr<CDateRepeater> CopyRepeater(const CDateRepeater& rule)
{
    const BusinessDayMove move = rule.GetBusinessDay();
    switch (rule.GetType()) {
    case RepeatDaily:
        return std::make_unique<CDateRepeaterDaily>(rule.delta, rule.count, move);
    case RepeatWeekly:
        return std::make_unique<CDateRepeaterWeekly>(rule.GetDelta(), rule.count, move);
    case RepeatMonthly: {
        const auto& monthly = static_cast<const CDateRepeaterMonthly&>(rule);
        return std::make_unique<CDateRepeaterMonthly>(rule.delta, rule.count, monthly.GetDay(), monthly.GetDays(),
                                                      move);
    }
    case RepeatYearly:
        return std::make_unique<CDateRepeaterYearly>(rule.delta, rule.count, move);
    default:
        return std::make_unique<CDateRepeaterOnce>(move);
    }
}

std::uint32_t FirstIndexBefore(const CDateRepeater& rule, TimeValue date, TimeValue start)
{
    if (date >= start || rule.delta <= 0)
        return 0;
    std::int64_t guess = 0;
    switch (rule.GetType()) {
    case RepeatDaily:
    case RepeatWeekly:
        guess = (start - date) / (kSecondsPerDay * rule.delta);
        break;
    case RepeatMonthly: {
        const CalendarDate from = SplitDate(date), to = SplitDate(start);
        guess = ((std::int64_t(to.year) - from.year) * 12 + (to.month - from.month)) / rule.delta *
                static_cast<const CDateRepeaterMonthly&>(rule).PerMonth();
        break;
    }
    case RepeatYearly:
        guess = (std::int64_t(SplitDate(start).year) - SplitDate(date).year) / rule.delta;
        break;
    default:
        return 0;
    }
    // Two steps back keep the guess clear of the start whatever the clock did in between.
    guess -= 2;
    if (guess <= 0)
        return 0;
    guess = std::min<std::int64_t>(guess, std::numeric_limits<std::uint32_t>::max());
    if (rule.count != 0)
        guess = std::min<std::int64_t>(guess, rule.count);
    const auto n = static_cast<std::uint32_t>(guess);
    return rule.GetOccurrence(date, n) < start ? n : 0;
}
