#pragma once

// Holidays from an iCalendar (.ics) file, the form calendar programs export and public
// holiday calendars are published in, read with libical. Knows nothing of windows.

#include "model/business_calendar.h"

#include <cstddef>
#include <string>
#include <vector>

struct HolidayImport {
    // False when the text is no iCalendar data at all.
    bool readable = false;
    std::vector<Holiday> holidays;
    // Events with a time of day, which are no days off: passed over.
    std::size_t timedEvents = 0;
};

// The all-day events of the text as holidays, SUMMARY as the description, one for each day
// an event covers. An event repeating every year without further parts is one yearly
// holiday; any other repetition is expanded over the years firstYear to lastYear (its
// excluded dates left out).
HolidayImport ReadHolidayCalendar(const std::string& text, int firstYear, int lastYear);
