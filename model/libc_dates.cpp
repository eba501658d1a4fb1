#include "model/libc_dates.h"

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <limits>
#include <stdexcept>

static_assert(sizeof(std::time_t) >= sizeof(TimeValue), "time values need a 64-bit time_t");

namespace {

// Far beyond any year, month or day the C library can represent, and small enough that
// adding a few of them together never overflows.
constexpr std::int64_t kFieldLimit = std::int64_t(1) << 53;

int ClampToInt(std::int64_t value)
{
    return static_cast<int>(std::clamp<std::int64_t>(value, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}

std::int64_t FloorDivide(std::int64_t value, std::int64_t divisor)
{
    std::int64_t quotient = value / divisor;
    if (value % divisor != 0 && (value < 0) != (divisor < 0))
        --quotient;
    return quotient;
}

bool LocalFields(TimeValue value, std::tm& fields)
{
    const std::time_t time = static_cast<std::time_t>(value);
    return localtime_r(&time, &fields) != nullptr;
}

TimeValue SaturatingAdd(TimeValue a, TimeSpan b)
{
    TimeValue sum = 0;
    if (__builtin_add_overflow(a, b, &sum))
        return b < 0 ? std::numeric_limits<TimeValue>::min() : std::numeric_limits<TimeValue>::max();
    return sum;
}

} // namespace

namespace LibcDates {

CalendarDate SplitDate(TimeValue value)
{
    std::tm fields{};
    if (!LocalFields(value, fields)) {
        // Beyond the years the C library knows: the nearest end of its calendar.
        if (value < 0)
            return {std::numeric_limits<int>::min(), 1, 1};
        return {std::numeric_limits<int>::max(), 12, 31};
    }
    return {ClampToInt(std::int64_t(fields.tm_year) + 1900), fields.tm_mon + 1, fields.tm_mday};
}

TimeValue MakeDate(std::int64_t year, std::int64_t month, std::int64_t day)
{
    year = std::clamp(year, -kFieldLimit, kFieldLimit);
    month = std::clamp(month, -kFieldLimit, kFieldLimit);
    day = std::clamp(day, -kFieldLimit, kFieldLimit);

    // Carry whole years out of the month first, as mktime would, so that the fields
    // handed to it fit its int members.
    const std::int64_t carry = FloorDivide(month - 1, 12);
    std::tm fields{};
    fields.tm_year = ClampToInt(year + carry - 1900);
    fields.tm_mon = static_cast<int>(month - 1 - carry * 12);
    fields.tm_mday = ClampToInt(day);
    fields.tm_hour = 10;
    fields.tm_min = 0;
    fields.tm_sec = 0;
    fields.tm_isdst = -1;
    return static_cast<TimeValue>(std::mktime(&fields));
}

TimeValue ToTenOClock(TimeValue value)
{
    std::tm fields{};
    if (!LocalFields(value, fields))
        return value;
    // Most values are at 10:00 already (every stepped occurrence away from a
    // daylight-saving change): no need to build them again.
    if (fields.tm_hour == 10 && fields.tm_min == 0 && fields.tm_sec == 0)
        return value;
    return MakeDate(std::int64_t(fields.tm_year) + 1900, fields.tm_mon + 1, fields.tm_mday);
}

TimeValue AddDays(TimeValue value, std::int64_t days)
{
    // A daylight-saving change in between moves the sum by an hour at most, which never
    // leaves the calendar day of a 10:00 value; the rebuild puts it back at 10:00.
    TimeSpan span = 0;
    if (__builtin_mul_overflow(days, kSecondsPerDay, &span))
        span = days < 0 ? std::numeric_limits<TimeSpan>::min() : std::numeric_limits<TimeSpan>::max();
    return ToTenOClock(SaturatingAdd(value, span));
}

TimeValue FirstOfMonth(TimeValue value)
{
    std::tm fields{};
    if (!LocalFields(value, fields))
        return value;
    return MakeDate(std::int64_t(fields.tm_year) + 1900, fields.tm_mon + 1, 1);
}

std::string FormatDate(TimeValue value)
{
    std::tm fields{};
    if (!LocalFields(value, fields))
        return {};
    const std::int64_t year = std::int64_t(fields.tm_year) + 1900;
    if (year < kEarliestYear)
        return "01/01/1000";
    if (year > kLatestYear)
        return "12/31/9999";
    char text[40];
    std::snprintf(text, sizeof text, "%02d/%02d/%04d", fields.tm_mon + 1, fields.tm_mday, static_cast<int>(year));
    return text;
}

} // namespace LibcDates
