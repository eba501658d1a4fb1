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

CDateRepeaterWeekly::CDateRepeaterWeekly(std::int32_t weeks, std::uint32_t count)
    : CDateRepeaterDaily(WeeksToDays(weeks), count)
{
}

CDateRepeaterMonthly::CDateRepeaterMonthly(std::int32_t months, std::uint32_t count, std::int32_t requestedDay)
    : CDateRepeater(months, count)
    , day(requestedDay >= 0 && requestedDay <= 28 ? requestedDay : 0)
{
}

TimeValue CDateRepeaterMonthly::GetOccurrence(TimeValue start, std::uint32_t n) const
{
    // n steps of delta months each, taken at once: the same month as stepping one month
    // at a time, in constant time. The start's day of month plays no part.
    const CalendarDate from = SplitDate(start);
    const std::int64_t months = std::int64_t(delta) * n;
    const std::int64_t monthIndex = (from.month - 1) + (months - FloorDivide(months, 12) * 12);
    const std::int64_t year = SaturatingAdd(from.year, FloorDivide(months, 12) + monthIndex / 12);
    const int month = static_cast<int>(monthIndex % 12) + 1;
    return MakeDate(year, month, day != 0 ? day : DaysInMonth(year, month));
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
    switch (rule.GetType()) {
    case RepeatDaily:
        return std::make_unique<CDateRepeaterDaily>(rule.delta, rule.count);
    case RepeatWeekly:
        return std::make_unique<CDateRepeaterWeekly>(rule.GetDelta(), rule.count);
    case RepeatMonthly:
        return std::make_unique<CDateRepeaterMonthly>(rule.delta, rule.count,
                                                      static_cast<const CDateRepeaterMonthly&>(rule).GetDay());
    case RepeatYearly:
        return std::make_unique<CDateRepeaterYearly>(rule.delta, rule.count);
    default:
        return std::make_unique<CDateRepeaterOnce>();
    }
}
