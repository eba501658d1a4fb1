#include "model/business_calendar.h"

#include <algorithm>

BusinessCalendar::BusinessCalendar(std::uint8_t weekendDays, std::vector<Holiday> holidays)
    : m_weekend(weekendDays & 0x7F), m_holidays(std::move(holidays))
{
    for (const Holiday& holiday : m_holidays) {
        if (holiday.yearly) {
            const CalendarDate date = SplitDate(holiday.date);
            m_yearly[date.month - 1] |= 1u << date.day;
            m_anyYearly = true;
        } else {
            m_days.push_back(LocalDay(holiday.date));
        }
    }
    std::sort(m_days.begin(), m_days.end());
}

bool BusinessCalendar::IsHolidayDay(std::int64_t day) const
{
    const auto found = std::lower_bound(m_days.begin(), m_days.end(), day);
    if (found != m_days.end() && *found == day)
        return true;
    if (!m_anyYearly)
        return false;
    const CalendarDate date = CalendarDateOfLocalDay(day);
    return (m_yearly[date.month - 1] >> date.day) & 1u;
}

const Holiday* BusinessCalendar::HolidayOn(std::int64_t day) const
{
    const CalendarDate date = CalendarDateOfLocalDay(day);
    for (const Holiday& holiday : m_holidays) {
        if (!holiday.yearly) {
            if (LocalDay(holiday.date) == day)
                return &holiday;
            continue;
        }
        const CalendarDate on = SplitDate(holiday.date);
        if (on.month == date.month && on.day == date.day)
            return &holiday;
    }
    return nullptr;
}

TimeValue MovedOccurrence(TimeValue date, const CDateRepeater& rule, const BusinessCalendar& calendar)
{
    if (rule.GetBusinessDay() == BusinessDayMove::Keep)
        return date;
    // Only to a day the program handles, and never to one the zone skipped.
    const std::int64_t first = LocalDay(EarliestDate());
    const std::int64_t last = LocalDay(LatestDate());
    const std::int64_t day = LocalDay(date);
    const std::int64_t moved = calendar.Move(day, rule.GetBusinessDay(), [first, last](std::int64_t d) {
        return d >= first && d <= last && LocalDay(TenOClockOfLocalDay(d)) == d;
    });
    return moved == day ? date : TenOClockOfLocalDay(moved);
}
