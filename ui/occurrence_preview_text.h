#pragma once

// The words of the Transaction Editor's preview: a rule's next dates with their
// weekdays, then one line on how long it runs and the notes a user may not expect (the
// month's last day, 29 February, dates outside the Cash Flow window). The dates come
// from the model (PreviewOccurrences); this only puts them into words.

#include <cstddef>
#include <optional>
#include <string>

#include "model/dates.h"

class BusinessCalendar;
class CDateRepeater;

// The Cash Flow's dates: from start (included) to end (excluded), and the business days
// its rules move their dates by (not owned; none: Saturday and Sunday off).
struct CashFlowWindow {
    TimeValue start = 0;
    TimeValue end = 0;
    const BusinessCalendar* calendar = nullptr;
};

// How many next dates the preview shows at most.
inline constexpr std::size_t kPreviewDates = 5;

// The preview of a transaction inserted on date with rule, one line per date and note; a
// date moved off a day off says from where ("Fri 02/26/2027 (moved from Sat 02/27)"),
// and names the holiday that moved it.
// Without a window the dates start at the rule's first occurrence and nothing is said
// about the Cash Flow.
std::string DescribeNextOccurrences(TimeValue date, const CDateRepeater& rule,
                                    const std::optional<CashFlowWindow>& window);
