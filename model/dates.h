#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// The program's date model. Every date is a whole-second time value pinned to 10:00:00
// local time of its calendar day, so that a date stands for a day and adding whole days
// never slides it onto a neighbouring day across a daylight-saving change. Local time is
// that of the process's time zone (TZ). The calendar is integer arithmetic on day
// numbers; the zone enters through a table per year of 10:00's time values and the UTC
// offsets, taken once from the C library.
//
// Values far outside any real calendar (years beyond the C library's int year) are not
// meaningful, but every operation stays well defined for them: nothing overflows.

// Seconds since 1 January 1970 00:00:00 UTC.
using TimeValue = std::int64_t;
// A signed count of seconds.
using TimeSpan = std::int64_t;

inline constexpr TimeSpan kSecondsPerDay = 86400;

constexpr TimeSpan MakeTimeSpan(std::int64_t days, std::int64_t hours, std::int64_t minutes, std::int64_t seconds)
{
    return days * 86400 + hours * 3600 + minutes * 60 + seconds;
}

// A local calendar day: year, month 1 to 12, day of month 1 to 31.
struct CalendarDate {
    int year = 1970;
    int month = 1;
    int day = 1;

    friend bool operator==(const CalendarDate&, const CalendarDate&) = default;
};

// The local calendar day of a value.
CalendarDate SplitDate(TimeValue value);

// The value of local year/month/day at 10:00:00, daylight saving decided by the zone's
// rules. Out-of-range months and days carry over the way mktime normalises them
// (day 30 of February is 1 or 2 March; month 13 is January of the next year). A day the
// C library cannot represent gives -1, which is never a 10:00 value.
TimeValue MakeDate(std::int64_t year, std::int64_t month, std::int64_t day);

// Number of days of a month (1 to 12) of the Gregorian calendar.
int DaysInMonth(std::int64_t year, int month);

// The current local date at 10:00:00.
TimeValue Today();

// The local calendar day of the value, rebuilt at 10:00:00.
TimeValue ToTenOClock(TimeValue value);

// value + days × 86400 seconds, brought back to 10:00 of the day reached; negative days
// go back.
TimeValue AddDays(TimeValue value, std::int64_t days);

// Day 1 of the value's local month, at 10:00:00.
TimeValue FirstOfMonth(TimeValue value);

// Whole days since 1 January 1970 UTC, in unsigned arithmetic. Two 10:00 values of the
// same local day always share it; the chart groups its rows by it.
std::uint64_t DayNumber(TimeValue value);

// The local calendar day of a value as a count of days since 1 January 1970 of the
// calendar: consecutive days have consecutive numbers, whatever the clock did between
// them. The projection keeps its rows' dates this way.
std::int64_t LocalDay(TimeValue value);
// ToTenOClock of any value whose LocalDay this is.
TimeValue TenOClockOfLocalDay(std::int64_t day);

// The calendar date of a day as LocalDay counts it, and its day of the week: 0 for Sunday
// to 6 for Saturday. Integer arithmetic only.
CalendarDate CalendarDateOfLocalDay(std::int64_t day);
int WeekdayOfLocalDay(std::int64_t day);

// The day number (as LocalDay counts) of a Gregorian date with month 1 to 12; a day
// beyond the month's last counts on into the next.
std::int64_t DayOfCalendarDate(std::int64_t year, int month, std::int64_t day);
// The value's local time as seconds since 1 January 1970 of the calendar: the value plus
// the zone's UTC offset at that instant.
std::int64_t LocalSecondsOf(TimeValue value);
// The least and greatest UTC offset, in seconds, the zone has at any instant from one
// value to the other; none when that reaches beyond the years the program handles.
struct OffsetRange {
    std::int32_t least;
    std::int32_t greatest;
};
std::optional<OffsetRange> UtcOffsetsBetween(TimeValue from, TimeValue to);

// The days the program handles: 1 January 1000 to 31 December 9999, whose years read
// and write as four digits. Every date the program makes or loads is kept between them.
TimeValue EarliestDate();
TimeValue LatestDate();
inline constexpr int kEarliestYear = 1000;
inline constexpr int kLatestYear = 9999;
// The value itself when its day lies in that range, else the nearer end of it.
TimeValue ClampDate(TimeValue value);
bool IsDateInRange(TimeValue value);

// "%m/%d/%Y" of the local time: 01/05/2007 for 5 January 2007. The year always has four
// digits: a value before 1000 or after 9999 is written as the nearer end of that range,
// so that the text always reads back as a date. Empty for a value the C library cannot
// place on a calendar.
std::string FormatDate(TimeValue value);
// FormatDate of a value on this local day, written into out as FormatDateInto does.
std::size_t FormatLocalDayInto(std::int64_t day, char* out);

// The same text written into out, which must hold kFormattedDateMaximum characters;
// returns its length.
inline constexpr std::size_t kFormattedDateMaximum = 32;
std::size_t FormatDateInto(TimeValue value, char* out);

// Reads a date at fixed positions: month from characters 0-1, day from 3-4, year from
// 6-9, each read like atoi; the characters at 2 and 5 are separators of any kind. The
// numbers are not checked: MakeDate normalises them (02/30/2006 is 2 March 2006).
// A text shorter than ten characters is not a date and gives no value.
std::optional<TimeValue> ParseDate(std::string_view text);

// While one lives, dates on this thread use the zone that TZ named when it was made,
// without reading TZ again for each date: for a pass over thousands of dates that
// nothing inside changes TZ in (the C library would build a year's table of the held
// zone from the new TZ). They nest; TZ is read again after the last one ends.
class ZoneHold {
public:
    ZoneHold();
    ~ZoneHold();
    ZoneHold(const ZoneHold&) = delete;
    ZoneHold& operator=(const ZoneHold&) = delete;
};

// English month names, for the chart's labels.
class CMonth {
public:
    // "January" for 1 to "December" for 12; any other tag throws std::invalid_argument.
    static const char* Name(int tag);
};
