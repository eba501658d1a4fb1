#include "model/business_calendar.h"

#include <algorithm>

BusinessCalendar::BusinessCalendar(std::uint8_t weekendDays, std::vector<Holiday> holidays)
    : m_weekend(weekendDays & 0x7F), m_holidays(std::move(holidays))
{
    // The one-time holidays as a bitmap of the days from the first to the last of them:
    // m_days holds the first day, then the bits, 64 days a word. Asked for every
    // occurrence of every rule, a day must be told at once.
    std::vector<std::int64_t> days;
    for (const Holiday& holiday : m_holidays) {
        if (holiday.yearly) {
            const CalendarDate date = SplitDate(holiday.date);
            m_yearly[date.month - 1] |= 1u << date.day;
            m_anyYearly = true;
        } else {
            days.push_back(LocalDay(holiday.date));
        }
    }
    if (days.empty())
        return;
    const auto [first, last] = std::minmax_element(days.begin(), days.end());
    const std::int64_t from = *first;
    m_days.assign(static_cast<std::size_t>((*last - from) / 64 + 2), 0);
    m_days[0] = from;
    for (const std::int64_t day : days)
        m_days[static_cast<std::size_t>((day - from) / 64 + 1)] |=
            static_cast<std::int64_t>(std::uint64_t(1) << ((day - from) % 64));
}

bool BusinessCalendar::IsHolidayDay(std::int64_t day) const
{
    if (!m_days.empty() && day >= m_days[0]) {
        const std::uint64_t offset = static_cast<std::uint64_t>(day - m_days[0]);
        if (offset / 64 + 1 < m_days.size() && ((static_cast<std::uint64_t>(m_days[offset / 64 + 1]) >> (offset % 64)) & 1u))
            return true;
    }
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
