#pragma once

#include "model/dates.h"

#include <string>

// The date functions done directly with the C library's mktime and localtime_r, one call
// per question. The program's own functions (dates.h) give the same answers from integer
// calendar arithmetic; they fall back on these for years outside 1000 to 9999, and the
// tests hold them against these everywhere.
namespace LibcDates {

CalendarDate SplitDate(TimeValue value);
TimeValue MakeDate(std::int64_t year, std::int64_t month, std::int64_t day);
TimeValue ToTenOClock(TimeValue value);
TimeValue AddDays(TimeValue value, std::int64_t days);
TimeValue FirstOfMonth(TimeValue value);
std::string FormatDate(TimeValue value);

} // namespace LibcDates
