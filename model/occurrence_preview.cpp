#include "model/occurrence_preview.h"

#include "model/business_calendar.h"
#include "model/date_repeater.h"

#include <stdexcept>

namespace {

// GetOccurrence takes a 32-bit index: a rule that never ends has this many.
constexpr std::uint64_t kEndlessIndexes = std::uint64_t(1) << 32;

// The occurrence with index n, where it is taken.
struct Occurrences {
    const CDateRepeater& rule;
    TimeValue date;
    const BusinessCalendar& calendar;

    TimeValue Due(std::uint64_t n) const { return rule.GetOccurrence(date, static_cast<std::uint32_t>(n)); }
    TimeValue operator()(std::uint64_t n) const { return MovedOccurrence(Due(n), rule, calendar); }
};

// The smallest index below `end` whose occurrence is on or after `from`, or `end` when
// there is none. Occurrences grow with the index, so a doubling walk and then halving
// find it in a few dozen calls however long ago the rule began.
std::uint64_t FirstIndexFrom(const Occurrences& Occurrence, TimeValue from, std::uint64_t end)
{
    if (end == 0 || Occurrence(0) >= from)
        return 0;
    std::uint64_t below = 0; // its occurrence is before `from`
    std::uint64_t above = end; // its occurrence is on or after `from`, or it is `end`
    for (std::uint64_t step = 1;; step *= 2) {
        const std::uint64_t probe = below + step;
        if (probe >= end)
            break;
        if (Occurrence(probe) >= from) {
            above = probe;
            break;
        }
        below = probe;
    }
    while (above - below > 1) {
        const std::uint64_t middle = below + (above - below) / 2;
        if (Occurrence(middle) >= from)
            above = middle;
        else
            below = middle;
    }
    return above;
}

std::int64_t FloorDivide(std::int64_t value, std::int64_t divisor)
{
    std::int64_t quotient = value / divisor;
    if (value % divisor != 0 && (value < 0) != (divisor < 0))
        --quotient;
    return quotient;
}

} // namespace

OccurrencePreview PreviewOccurrences(TimeValue date, const CDateRepeater& rule, TimeValue windowStart,
                                     TimeValue windowEnd, std::size_t limit, const BusinessCalendar* calendar)
{
    static const BusinessCalendar plain;
    const Occurrences occurrence{rule, date, calendar ? *calendar : plain};
    OccurrencePreview preview;
    preview.count = rule.count;
    const std::uint64_t end = rule.count != 0 ? rule.count : kEndlessIndexes;
    if (rule.count != 0)
        preview.last = occurrence(rule.count - 1);

    std::uint64_t first = FirstIndexFrom(occurrence, windowStart, end);
    // A rule that ended before the window shows how it went.
    if (first == end)
        first = 0;
    for (std::uint64_t n = first; n < end && preview.dates.size() < limit; ++n) {
        const TimeValue due = occurrence.Due(n);
        const TimeValue taken = occurrence(n);
        // Past the last day the program handles nothing is listed or written.
        if (taken > LatestDate())
            break;
        preview.dates.push_back(taken);
        preview.due.push_back(due);
    }

    while (preview.inWindow < preview.dates.size() && preview.dates[preview.inWindow] >= windowStart &&
           preview.dates[preview.inWindow] < windowEnd)
        ++preview.inWindow;
    return preview;
}

int DayOfWeek(TimeValue value)
{
    // Sakamoto's rule for the Gregorian calendar: January and February count as months
    // of the year before, so that the leap day comes last.
    static constexpr int kMonthOffsets[12] = {0, 3, 2, 5, 0, 3, 5, 1, 4, 6, 2, 4};
    const CalendarDate day = SplitDate(value);
    const std::int64_t year = std::int64_t(day.year) - (day.month < 3 ? 1 : 0);
    const std::int64_t days = year + FloorDivide(year, 4) - FloorDivide(year, 100) + FloorDivide(year, 400) +
                              kMonthOffsets[day.month - 1] + day.day;
    return static_cast<int>(days - FloorDivide(days, 7) * 7);
}

const char* ShortDayName(int dayOfWeek)
{
    static constexpr const char* kNames[7] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
    if (dayOfWeek < 0 || dayOfWeek > 6)
        throw std::invalid_argument("The day of the week is out of range.");
    return kNames[dayOfWeek];
}
