#include "model/dates.h"

#include "common/decimal.h"
#include "model/libc_dates.h"

#include <algorithm>
#include <cstdlib>
#include <ctime>
#include <limits>
#include <memory>
#include <stdexcept>
#include <utility>
#include <vector>

// Dates are worked out as day numbers (days since 1 January 1970) with the Gregorian
// calendar's integer arithmetic. The one thing that needs the time zone, the time value
// of 10:00 on a day, comes from a table per zone and year, filled from mktime once; the
// same table's offsets answer which local day an instant falls on. Years outside 1000 to
// 9999 are left to the C library.

namespace {

constexpr int kFirstTableYear = 1000;
constexpr int kLastTableYear = 9999;
constexpr std::int64_t kTenOClock = 10 * 3600;

std::int64_t FloorDivide(std::int64_t value, std::int64_t divisor)
{
    std::int64_t quotient = value / divisor;
    if (value % divisor != 0 && (value < 0) != (divisor < 0))
        --quotient;
    return quotient;
}

// Day number of a Gregorian date with month 1 to 12 and day 1 to 31. Years counted from
// March, so that the leap day ends a year; eras of 400 years repeat exactly.
std::int64_t DaysFromCivil(std::int64_t year, int month, int day)
{
    year -= month <= 2 ? 1 : 0;
    const std::int64_t era = FloorDivide(year, 400);
    const std::int64_t yearOfEra = year - era * 400;
    const std::int64_t dayOfYear = (153 * (month > 2 ? month - 3 : month + 9) + 2) / 5 + day - 1;
    const std::int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - 719468;
}

struct Civil {
    std::int64_t year;
    int month;
    int day;
};

Civil CivilFromDays(std::int64_t days)
{
    days += 719468;
    const std::int64_t era = FloorDivide(days, 146097);
    const std::int64_t dayOfEra = days - era * 146097;
    const std::int64_t yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const std::int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const std::int64_t shiftedMonth = (5 * dayOfYear + 2) / 153;
    const int day = static_cast<int>(dayOfYear - (153 * shiftedMonth + 2) / 5 + 1);
    const int month = static_cast<int>(shiftedMonth < 10 ? shiftedMonth + 3 : shiftedMonth - 9);
    return {yearOfEra + era * 400 + (month <= 2 ? 1 : 0), month, day};
}

bool InTableYears(std::int64_t year)
{
    return year >= kFirstTableYear && year <= kLastTableYear;
}

// One year of one zone: 10:00 of each day as mktime gives it, and the zone's UTC offset
// over the instants from 10:00 of 1 January to 10:00 of the next 1 January.
struct YearTable {
    std::int64_t firstDay = 0;
    std::vector<TimeValue> tenOClock; // one per day of the year, then 1 January next
    std::int32_t startOffset = 0;
    std::vector<std::pair<TimeValue, std::int32_t>> changes; // from this instant on, this offset

    TimeValue Start() const { return tenOClock.front(); }
    TimeValue End() const { return tenOClock.back(); }

    std::int32_t OffsetAt(TimeValue instant) const
    {
        if (changes.empty())
            return startOffset;
        const auto after = std::upper_bound(changes.begin(), changes.end(), instant,
                                            [](TimeValue value, const auto& change) { return value < change.first; });
        return after == changes.begin() ? startOffset : std::prev(after)->second;
    }
};

std::int32_t OffsetOf(TimeValue instant)
{
    const std::time_t time = static_cast<std::time_t>(instant);
    std::tm fields{};
    localtime_r(&time, &fields);
    return static_cast<std::int32_t>(fields.tm_gmtoff);
}

std::unique_ptr<YearTable> BuildYear(int year)
{
    auto table = std::make_unique<YearTable>();
    table->firstDay = DaysFromCivil(year, 1, 1);
    const std::int64_t days = DaysFromCivil(year + 1, 1, 1) - table->firstDay;
    table->tenOClock.reserve(static_cast<std::size_t>(days + 1));
    std::vector<std::pair<TimeValue, std::int32_t>> samples;
    samples.reserve(static_cast<std::size_t>(days + 1));
    for (std::int64_t day = 0; day <= days; ++day) {
        const Civil date = CivilFromDays(table->firstDay + day);
        std::tm fields{};
        fields.tm_year = static_cast<int>(date.year - 1900);
        fields.tm_mon = date.month - 1;
        fields.tm_mday = date.day;
        fields.tm_hour = 10;
        fields.tm_isdst = -1;
        const TimeValue value = static_cast<TimeValue>(std::mktime(&fields));
        table->tenOClock.push_back(value);
        samples.emplace_back(value, static_cast<std::int32_t>(fields.tm_gmtoff));
    }
    // A day the zone skips can hand back a value out of order: the offsets are sampled
    // in the order of the instants.
    std::sort(samples.begin(), samples.end());
    table->startOffset = samples.front().second;
    for (std::size_t i = 1; i < samples.size(); ++i) {
        TimeValue from = samples[i - 1].first;
        std::int32_t offset = samples[i - 1].second;
        const auto [to, target] = samples[i];
        // Between two samples the offset changed at least once: find each change to the
        // second.
        while (offset != target) {
            TimeValue low = from, high = to;
            while (high - low > 1) {
                const TimeValue middle = low + (high - low) / 2;
                if (OffsetOf(middle) == offset)
                    low = middle;
                else
                    high = middle;
            }
            offset = OffsetOf(high);
            table->changes.emplace_back(high, offset);
            from = high;
        }
    }
    return table;
}

// The tables of the zone TZ names (the system's zone when TZ is not set), built as asked.
struct Zone {
    bool named = false;
    std::string name;
    std::vector<std::unique_ptr<YearTable>> years;
    // The tables built, in order, but for the first and last table years (beyond which
    // the C library answers): most dates fall in one of them, found without working out
    // their year.
    std::vector<const YearTable*> built;
    // The one found last, which the next date usually shares.
    const YearTable* found = nullptr;

    const YearTable& Year(std::int64_t year)
    {
        auto& table = years[static_cast<std::size_t>(year - kFirstTableYear)];
        if (!table) {
            table = BuildYear(static_cast<int>(year));
            if (year > kFirstTableYear && year < kLastTableYear)
                built.insert(std::upper_bound(built.begin(), built.end(), table->firstDay,
                                              [](std::int64_t day, const YearTable* t) { return day < t->firstDay; }),
                             table.get());
        }
        return *table;
    }

    // The built table holding the day, or null.
    const YearTable* BuiltForDay(std::int64_t day)
    {
        if (found && day >= found->firstDay && day < found->firstDay + std::int64_t(found->tenOClock.size()) - 1)
            return found;
        const auto after = std::upper_bound(built.begin(), built.end(), day,
                                            [](std::int64_t d, const YearTable* t) { return d < t->firstDay; });
        if (after == built.begin())
            return nullptr;
        const YearTable* table = *std::prev(after);
        if (day >= table->firstDay + std::int64_t(table->tenOClock.size()) - 1)
            return nullptr;
        return found = table;
    }

    // The built table whose instants hold this one, or null.
    const YearTable* BuiltForInstant(TimeValue value)
    {
        if (found && value >= found->Start() && value < found->End())
            return found;
        const auto after = std::upper_bound(built.begin(), built.end(), value,
                                            [](TimeValue v, const YearTable* t) { return v < t->Start(); });
        if (after == built.begin())
            return nullptr;
        const YearTable* table = *std::prev(after);
        if (value >= table->End())
            return nullptr;
        return found = table;
    }
};

// The zone a ZoneHold keeps, and how many holds there are.
thread_local Zone* heldZone = nullptr;
thread_local int holds = 0;

Zone& UnheldZone()
{
    thread_local std::vector<std::unique_ptr<Zone>> zones;
    thread_local Zone* current = nullptr;
    const char* tz = std::getenv("TZ");
    auto matches = [tz](const Zone& zone) { return tz ? zone.named && zone.name == tz : !zone.named; };
    if (current && matches(*current))
        return *current;
    for (const auto& zone : zones) {
        if (matches(*zone)) {
            current = zone.get();
            return *current;
        }
    }
    // The C library reads TZ again when asked; the tables must come from the new zone.
    tzset();
    auto zone = std::make_unique<Zone>();
    zone->named = tz != nullptr;
    zone->name = tz ? tz : "";
    zone->years.resize(kLastTableYear - kFirstTableYear + 1);
    current = zone.get();
    zones.push_back(std::move(zone));
    return *current;
}

inline Zone& CurrentZone()
{
    return heldZone ? *heldZone : UnheldZone();
}

// The table whose instants include this one, or none beyond the table years.
const YearTable* TableOfInstant(TimeValue value)
{
    if (const YearTable* table = CurrentZone().BuiltForInstant(value))
        return table;
    const std::int64_t year = CivilFromDays(FloorDivide(value, kSecondsPerDay)).year;
    if (!InTableYears(year - 1) || !InTableYears(year + 1))
        return nullptr;
    Zone& zone = CurrentZone();
    const YearTable* table = &zone.Year(year);
    if (value < table->Start())
        table = &zone.Year(year - 1);
    else if (value >= table->End())
        table = &zone.Year(year + 1);
    return table;
}

// Local seconds since 1 January 1970 (the instant plus its UTC offset), or none beyond
// the table years.
std::optional<std::int64_t> LocalSeconds(TimeValue value)
{
    const YearTable* table = TableOfInstant(value);
    if (!table)
        return std::nullopt;
    return value + table->OffsetAt(value);
}

// 10:00 of a day number, or none beyond the table years.
std::optional<TimeValue> TenOClockOfDay(std::int64_t day)
{
    if (const YearTable* table = CurrentZone().BuiltForDay(day))
        return table->tenOClock[static_cast<std::size_t>(day - table->firstDay)];
    const std::int64_t year = CivilFromDays(day).year;
    if (!InTableYears(year))
        return std::nullopt;
    const YearTable& table = CurrentZone().Year(year);
    return table.tenOClock[static_cast<std::size_t>(day - table.firstDay)];
}

TimeValue SaturatingAdd(TimeValue a, TimeSpan b)
{
    TimeValue sum = 0;
    if (__builtin_add_overflow(a, b, &sum))
        return b < 0 ? std::numeric_limits<TimeValue>::min() : std::numeric_limits<TimeValue>::max();
    return sum;
}

} // namespace

CalendarDate SplitDate(TimeValue value)
{
    const std::optional<std::int64_t> local = LocalSeconds(value);
    if (!local)
        return LibcDates::SplitDate(value);
    const Civil date = CivilFromDays(FloorDivide(*local, kSecondsPerDay));
    return {static_cast<int>(date.year), date.month, date.day};
}

TimeValue MakeDate(std::int64_t year, std::int64_t month, std::int64_t day)
{
    // Months and days out of range carry over as mktime would; far beyond the table
    // years the C library decides.
    constexpr std::int64_t kLimit = std::int64_t(1) << 40;
    if (year >= kFirstTableYear - 1 && year <= kLastTableYear + 1 && month > -kLimit && month < kLimit &&
        day > -kLimit && day < kLimit) {
        const std::int64_t carry = FloorDivide(month - 1, 12);
        const std::int64_t first = DaysFromCivil(year + carry, static_cast<int>(month - 1 - carry * 12) + 1, 1);
        if (const std::optional<TimeValue> value = TenOClockOfDay(first + day - 1))
            return *value;
    }
    return LibcDates::MakeDate(year, month, day);
}

int DaysInMonth(std::int64_t year, int month)
{
    switch (month) {
    case 1: case 3: case 5: case 7: case 8: case 10: case 12:
        return 31;
    case 4: case 6: case 9: case 11:
        return 30;
    case 2:
        return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0) ? 29 : 28;
    default:
        return 0;
    }
}

TimeValue Today()
{
    return ToTenOClock(static_cast<TimeValue>(std::time(nullptr)));
}

TimeValue ToTenOClock(TimeValue value)
{
    const std::optional<std::int64_t> local = LocalSeconds(value);
    if (!local)
        return LibcDates::ToTenOClock(value);
    const std::int64_t day = FloorDivide(*local, kSecondsPerDay);
    if (*local - day * kSecondsPerDay == kTenOClock)
        return value;
    if (const std::optional<TimeValue> tenOClock = TenOClockOfDay(day))
        return *tenOClock;
    return LibcDates::ToTenOClock(value);
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
    const std::optional<std::int64_t> local = LocalSeconds(value);
    if (!local)
        return LibcDates::FirstOfMonth(value);
    const Civil date = CivilFromDays(FloorDivide(*local, kSecondsPerDay));
    return MakeDate(date.year, date.month, 1);
}

std::uint64_t DayNumber(TimeValue value)
{
    return static_cast<std::uint64_t>(value) / static_cast<std::uint64_t>(kSecondsPerDay);
}

std::int64_t LocalDay(TimeValue value)
{
    if (const std::optional<std::int64_t> local = LocalSeconds(value))
        return FloorDivide(*local, kSecondsPerDay);
    const CalendarDate date = LibcDates::SplitDate(value);
    return DaysFromCivil(date.year, date.month, date.day);
}

TimeValue TenOClockOfLocalDay(std::int64_t day)
{
    if (const std::optional<TimeValue> value = TenOClockOfDay(day))
        return *value;
    const Civil date = CivilFromDays(day);
    return LibcDates::MakeDate(date.year, date.month, date.day);
}

CalendarDate CalendarDateOfLocalDay(std::int64_t day)
{
    const Civil date = CivilFromDays(day);
    return {static_cast<int>(date.year), date.month, date.day};
}

int WeekdayOfLocalDay(std::int64_t day)
{
    // Day 0, 1 January 1970, was a Thursday.
    return static_cast<int>(day + 4 - FloorDivide(day + 4, 7) * 7);
}

std::int64_t DayOfCalendarDate(std::int64_t year, int month, std::int64_t day)
{
    return DaysFromCivil(year, month, 1) + day - 1;
}

std::int64_t LocalSecondsOf(TimeValue value)
{
    if (const std::optional<std::int64_t> local = LocalSeconds(value))
        return *local;
    return value + OffsetOf(value);
}

std::optional<OffsetRange> UtcOffsetsBetween(TimeValue from, TimeValue to)
{
    const YearTable* first = TableOfInstant(from);
    const YearTable* last = TableOfInstant(to);
    if (!first || !last || to < from)
        return std::nullopt;
    Zone& zone = CurrentZone();
    const std::int32_t startOffset = first->OffsetAt(from);
    OffsetRange range{startOffset, startOffset};
    const std::int64_t firstYear = CivilFromDays(first->firstDay).year;
    const std::int64_t lastYear = CivilFromDays(last->firstDay).year;
    for (std::int64_t year = firstYear; year <= lastYear; ++year) {
        for (const auto& [instant, offset] : zone.Year(year).changes) {
            if (instant > from && instant <= to) {
                range.least = std::min(range.least, offset);
                range.greatest = std::max(range.greatest, offset);
            }
        }
    }
    return range;
}

TimeValue EarliestDate()
{
    return MakeDate(kEarliestYear, 1, 1);
}

TimeValue LatestDate()
{
    return MakeDate(kLatestYear, 12, 31);
}

bool IsDateInRange(TimeValue value)
{
    const int year = SplitDate(value).year;
    return year >= kEarliestYear && year <= kLatestYear;
}

TimeValue ClampDate(TimeValue value)
{
    const int year = SplitDate(value).year;
    if (year < kEarliestYear)
        return EarliestDate();
    if (year > kLatestYear)
        return LatestDate();
    return value;
}

std::size_t FormatDateInto(TimeValue value, char* out)
{
    const std::optional<std::int64_t> local = LocalSeconds(value);
    if (!local) {
        const std::string text = LibcDates::FormatDate(value);
        const std::size_t length = std::min(text.size(), kFormattedDateMaximum);
        std::copy_n(text.data(), length, out);
        return length;
    }
    return FormatLocalDayInto(FloorDivide(*local, kSecondsPerDay), out);
}

std::size_t FormatLocalDayInto(std::int64_t day, char* out)
{
    Civil date = CivilFromDays(day);
    // The year always has four digits: beyond the range, the nearer end of it.
    if (date.year < kEarliestYear)
        date = {kEarliestYear, 1, 1};
    else if (date.year > kLatestYear)
        date = {kLatestYear, 12, 31};
    auto two = [&](std::size_t at, int number) {
        out[at] = static_cast<char>('0' + number / 10);
        out[at + 1] = static_cast<char>('0' + number % 10);
    };
    two(0, date.month);
    out[2] = '/';
    two(3, date.day);
    out[5] = '/';
    const int year = static_cast<int>(date.year);
    two(6, year / 100);
    two(8, year % 100);
    return 10;
}

std::string FormatDate(TimeValue value)
{
    char text[kFormattedDateMaximum];
    return std::string(text, FormatDateInto(value, text));
}

std::optional<TimeValue> ParseDate(std::string_view text)
{
    // A text from a C string ends at its first NUL; so does ours.
    text = text.substr(0, text.find('\0'));
    if (text.size() < 10)
        return std::nullopt;
    const std::int32_t month = Utility::ReadDecimal(text.substr(0, 2));
    const std::int32_t day = Utility::ReadDecimal(text.substr(3, 2));
    const std::int32_t year = Utility::ReadDecimal(text.substr(6, 4));
    return MakeDate(year, month, day);
}

ZoneHold::ZoneHold()
{
    if (holds++ == 0)
        heldZone = &CurrentZone();
}

ZoneHold::~ZoneHold()
{
    if (--holds == 0)
        heldZone = nullptr;
}

const char* CMonth::Name(int tag)
{
    static constexpr const char* kNames[12] = {
        "January", "February", "March", "April", "May", "June",
        "July", "August", "September", "October", "November", "December",
    };
    if (tag < 1 || tag > 12)
        throw std::invalid_argument("The tag argument to CMonth::Name is out of range.");
    return kNames[tag - 1];
}
