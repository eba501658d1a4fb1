#include "ui/holiday_import.h"

#include <libical/ical.h>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <set>
#include <utility>

namespace {

// A far longer event is no holiday; a rule expanded this far has gone wrong.
constexpr int kLongestEventDays = 366;
constexpr int kMostInstances = 100000;

struct ComponentFree {
    void operator()(icalcomponent* component) const { icalcomponent_free(component); }
};

bool IsEmpty(const short* parts) { return parts[0] == ICAL_RECURRENCE_ARRAY_MAX; }

// FREQ=YEARLY and nothing else but an interval of one.
bool PlainYearly(const icalrecurrencetype& rule)
{
    return rule.freq == ICAL_YEARLY_RECURRENCE && rule.interval <= 1 && rule.count == 0 &&
           icaltime_is_null_time(rule.until) && IsEmpty(rule.by_second) && IsEmpty(rule.by_minute) &&
           IsEmpty(rule.by_hour) && IsEmpty(rule.by_day) && IsEmpty(rule.by_month_day) &&
           IsEmpty(rule.by_year_day) && IsEmpty(rule.by_week_no) && IsEmpty(rule.by_month) &&
           IsEmpty(rule.by_set_pos);
}

std::int64_t DayOf(const icaltimetype& time) { return DayOfCalendarDate(time.year, time.month, time.day); }

class Reader {
public:
    Reader(int firstYear, int lastYear) : m_firstYear(firstYear), m_lastYear(lastYear) {}

    void Calendar(icalcomponent* calendar)
    {
        for (icalcomponent* event = icalcomponent_get_first_component(calendar, ICAL_VEVENT_COMPONENT); event;
             event = icalcomponent_get_next_component(calendar, ICAL_VEVENT_COMPONENT))
            Event(event);
    }

    HolidayImport result;

private:
    void Event(icalcomponent* event)
    {
        const icaltimetype start = icalcomponent_get_dtstart(event);
        if (icaltime_is_null_time(start))
            return;
        if (!start.is_date) {
            ++result.timedEvents;
            return;
        }
        const char* summary = icalcomponent_get_summary(event);
        const std::string description = summary ? summary : "";
        // DTEND is the day after the last; without one, the event is its first day.
        const icaltimetype end = icalcomponent_get_dtend(event);
        const std::int64_t days =
            icaltime_is_null_time(end) ? 1 : std::clamp<std::int64_t>(DayOf(end) - DayOf(start), 1, kLongestEventDays);

        icalproperty* rruleProperty = icalcomponent_get_first_property(event, ICAL_RRULE_PROPERTY);
        if (!rruleProperty) {
            Add(DayOf(start), days, description, false);
            return;
        }
        const icalrecurrencetype rule = icalproperty_get_rrule(rruleProperty);
        if (PlainYearly(rule)) {
            Add(DayOf(start), days, description, true);
            return;
        }
        std::set<std::int64_t> excluded;
        for (icalproperty* exdate = icalcomponent_get_first_property(event, ICAL_EXDATE_PROPERTY); exdate;
             exdate = icalcomponent_get_next_property(event, ICAL_EXDATE_PROPERTY))
            excluded.insert(DayOf(icalproperty_get_exdate(exdate)));
        icalrecur_iterator* iterator = icalrecur_iterator_new(rule, start);
        if (!iterator)
            return;
        int instances = 0;
        for (icaltimetype at = icalrecur_iterator_next(iterator); !icaltime_is_null_time(at) && at.year <= m_lastYear &&
                                                                   ++instances <= kMostInstances;
             at = icalrecur_iterator_next(iterator))
            if (at.year >= m_firstYear && !excluded.contains(DayOf(at)))
                Add(DayOf(at), days, description, false);
        icalrecur_iterator_free(iterator);
    }

    void Add(std::int64_t first, std::int64_t days, const std::string& description, bool yearly)
    {
        for (std::int64_t day = first; day < first + days; ++day)
            result.holidays.push_back({TenOClockOfLocalDay(day), description, yearly});
    }

    int m_firstYear, m_lastYear;
};

} // namespace

HolidayImport ReadHolidayCalendar(const std::string& text, int firstYear, int lastYear)
{
    const std::unique_ptr<icalcomponent, ComponentFree> root(icalparser_parse_string(text.c_str()));
    Reader reader(firstYear, lastYear);
    if (!root)
        return reader.result;
    if (icalcomponent_isa(root.get()) == ICAL_VCALENDAR_COMPONENT) {
        reader.result.readable = true;
        reader.Calendar(root.get());
    } else {
        // Several calendars in one text come wrapped in a root of their own.
        for (icalcomponent* calendar = icalcomponent_get_first_component(root.get(), ICAL_VCALENDAR_COMPONENT);
             calendar; calendar = icalcomponent_get_next_component(root.get(), ICAL_VCALENDAR_COMPONENT)) {
            reader.result.readable = true;
            reader.Calendar(calendar);
        }
    }
    std::stable_sort(reader.result.holidays.begin(), reader.result.holidays.end(),
                     [](const Holiday& a, const Holiday& b) { return a.date < b.date; });
    return std::move(reader.result);
}
