#pragma once

#include "model/dates.h"

#include <cstddef>
#include <cstdint>
#include <vector>

class BusinessCalendar;
class CDateRepeater;

// A transaction's next dates, as its repeat rule gives them, for showing a rule before
// it is stored. Everything comes from the rule's own GetOccurrence and the business
// calendar's moves; nothing here steps through a calendar of its own.
struct OccurrencePreview {
    // Up to the number asked for: the rule's first occurrences on or after the window's
    // start, in order, at the dates they are taken on (moved off days off as the rule
    // says); when the rule ends before the window, its first occurrences. None after the
    // last day the program handles (LatestDate).
    std::vector<TimeValue> dates;
    // The dates the rule gives for them before any move, one for each of `dates`.
    std::vector<TimeValue> due;
    // How many of `dates`, counted from the first, fall inside the window [start, end):
    // they are the first rows the transaction adds to the Cash Flow. The others come
    // after the window, or before it when the rule ends before the window.
    std::size_t inWindow = 0;
    // Occurrences in all: the rule's count, 0 when it never ends.
    std::uint32_t count = 0;
    // The last occurrence of a rule that ends (count not 0), where it is taken.
    TimeValue last = 0;
};

// The preview of a transaction inserted on `date` with `rule`, against the Cash Flow
// window [windowStart, windowEnd). Meant for rules that move forward in time, as the
// Transaction Editor builds them (a one-time rule included): their occurrences only
// grow with the index, and so do their moved dates, which lets the walk skip to the
// window's start. Without a calendar, the default one (Saturday and Sunday off).
OccurrencePreview PreviewOccurrences(TimeValue date, const CDateRepeater& rule, TimeValue windowStart,
                                     TimeValue windowEnd, std::size_t limit,
                                     const BusinessCalendar* calendar = nullptr);

// The day of the week of the value's local calendar day: 0 for Sunday to 6 for Saturday.
int DayOfWeek(TimeValue value);

// "Sun", "Mon", ... "Sat" for 0 to 6; any other day throws std::invalid_argument.
const char* ShortDayName(int dayOfWeek);
