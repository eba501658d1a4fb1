#pragma once

#include "model/date_repeater.h"
#include "model/dates.h"

#include <cstdint>
#include <string>
#include <vector>

// A day off that is not a weekend day. A yearly holiday falls on its month and day in
// every year (29 February only in leap years); its date's year only places it in the list.
struct Holiday {
    TimeValue date = 0; // at 10:00 local time
    std::string description;
    bool yearly = false;

    friend bool operator==(const Holiday&, const Holiday&) = default;
};

// Which days are business days: every day but the weekend days and the holidays. Moves an
// occurrence that falls on a day off to a business day near it. Knows nothing of rules or
// projections; days are local days (see LocalDay).
class BusinessCalendar {
public:
    // Bit d stands for the day of the week d (0 Sunday to 6 Saturday).
    static constexpr std::uint8_t kDefaultWeekend = (1u << 0) | (1u << 6);
    // How far a move looks: with no business day this close, the date stays.
    static constexpr int kMoveReach = 31;

    BusinessCalendar() = default;
    BusinessCalendar(std::uint8_t weekendDays, std::vector<Holiday> holidays);

    std::uint8_t WeekendDays() const { return m_weekend; }
    // In the order they were given.
    const std::vector<Holiday>& Holidays() const { return m_holidays; }

    bool IsBusinessDay(std::int64_t day) const
    {
        if ((m_weekend >> WeekdayOfLocalDay(day)) & 1u)
            return false;
        return m_holidays.empty() || !IsHolidayDay(day);
    }
    // The holiday on the day, or null (the first given when several share it).
    const Holiday* HolidayOn(std::int64_t day) const;

    // The day an occurrence due on `day` is taken on.
    std::int64_t Move(std::int64_t day, BusinessDayMove move) const
    {
        return Move(day, move, [](std::int64_t) { return true; });
    }
    // The same, where only the days `exists` accepts can be moved to: a day a time zone
    // skipped has no date to be taken on.
    template <typename DayExists>
    std::int64_t Move(std::int64_t day, BusinessDayMove move, DayExists exists) const
    {
        if (move == BusinessDayMove::Keep || IsBusinessDay(day))
            return day;
        auto open = [&](std::int64_t d) { return IsBusinessDay(d) && exists(d); };
        int before = 0, after = 0;
        if (move != BusinessDayMove::After)
            for (int back = 1; back <= kMoveReach && before == 0; ++back)
                if (open(day - back))
                    before = back;
        // Looking for the nearest, the day after need be no farther than the one before.
        const int ahead = move == BusinessDayMove::Nearest && before != 0 ? before - 1 : kMoveReach;
        if (move != BusinessDayMove::Before)
            for (int forward = 1; forward <= ahead && after == 0; ++forward)
                if (open(day + forward))
                    after = forward;
        return after != 0 ? day + after : before != 0 ? day - before : day;
    }

private:
    bool IsHolidayDay(std::int64_t day) const;

    std::uint8_t m_weekend = kDefaultWeekend;
    std::vector<Holiday> m_holidays;
    // The holidays as days: one-time ones as a bitmap (see the constructor), yearly ones
    // by month and day (bit `day` of m_yearly[month - 1]).
    std::vector<std::int64_t> m_days;
    std::uint32_t m_yearly[12] = {};
    bool m_anyYearly = false;
};

// The date an occurrence of the rule due on `date` (at 10:00) is taken on: the business
// day its move gives, never a day the time zone skipped nor one outside the years the
// program handles.
TimeValue MovedOccurrence(TimeValue date, const CDateRepeater& rule, const BusinessCalendar& calendar);
