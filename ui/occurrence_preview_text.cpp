#include "ui/occurrence_preview_text.h"

#include <initializer_list>
#include <limits>

#include "common/fill_in.h"
#include "model/business_calendar.h"
#include "model/date_repeater.h"
#include "model/occurrence_preview.h"
#include "res/resource.h"
#include "ui/platform/resources.h"

namespace {

// "every other week": the words of the editor's step and unit choices, for a repeating
// rule. A step the editor does not offer (a hand-edited file) reads "every 6 months".
std::string RuleWords(const CDateRepeater& rule)
{
    const int step = rule.GetDelta();
    const std::string unit = win::LoadString(res::IDS_PREVIEW_DAY + rule.GetType() - RepeatDaily);
    if (step < 1 || step > 4)
        return win::LoadString(res::IDS_PREVIEW_EVERY) + " " + std::to_string(step) + " " + unit + "s";
    return win::LoadString(res::IDS_PREVIEW_EVERY + step - 1) + " " + unit;
}

std::string HowLong(const CDateRepeater& rule, const OccurrencePreview& preview)
{
    if (rule.GetType() == RepeatOnce)
        return win::LoadString(res::IDS_PREVIEW_ONCE);
    if (preview.count != 0 && preview.last > LatestDate())
        return FillIn(win::LoadString(res::IDS_PREVIEW_ENDS_AFTER_LATEST), {std::to_string(preview.count), FormatDate(LatestDate())});
    if (preview.count != 0)
        return FillIn(win::LoadString(res::IDS_PREVIEW_ENDS), {std::to_string(preview.count), FormatDate(preview.last)});
    return FillIn(win::LoadString(res::IDS_PREVIEW_FOR_EVER), {RuleWords(rule)});
}

// What the calendar does to the rule's day, when it does something.
std::string DayNote(TimeValue date, const CDateRepeater& rule)
{
    const CalendarDate day = SplitDate(date);
    if (rule.GetType() == RepeatMonthly && static_cast<const CDateRepeaterMonthly&>(rule).day == 0 &&
        static_cast<const CDateRepeaterMonthly&>(rule).GetDays().week == 0)
        return win::LoadString(day.day == 31 ? res::IDS_PREVIEW_LAST_DAY_SHORTER : res::IDS_PREVIEW_LAST_DAY_EVERY);
    if (rule.GetType() == RepeatYearly && day.month == 2 && day.day == 29)
        return win::LoadString(res::IDS_PREVIEW_LEAP_DAY);
    return {};
}

// " (moved from Sat 02/27)" when the date was moved off its due day, naming the holiday
// when one was the reason.
std::string MoveNote(TimeValue taken, TimeValue due, const BusinessCalendar* calendar)
{
    if (LocalDay(taken) == LocalDay(due))
        return {};
    const std::string from = std::string(ShortDayName(DayOfWeek(due))) + " " + FormatDate(due).substr(0, 5);
    const Holiday* holiday = calendar ? calendar->HolidayOn(LocalDay(due)) : nullptr;
    return " " + (holiday ? FillIn(win::LoadString(res::IDS_PREVIEW_MOVED_HOLIDAY), {from, holiday->description})
                          : FillIn(win::LoadString(res::IDS_PREVIEW_MOVED), {from}));
}

} // namespace

std::string DescribeNextOccurrences(TimeValue date, const CDateRepeater& rule,
                                    const std::optional<CashFlowWindow>& window)
{
    const TimeValue start = window ? window->start : std::numeric_limits<TimeValue>::min();
    const TimeValue end = window ? window->end : std::numeric_limits<TimeValue>::max();
    const BusinessCalendar* calendar = window ? window->calendar : nullptr;
    const OccurrencePreview preview = PreviewOccurrences(date, rule, start, end, kPreviewDates, calendar);

    std::string text;
    for (std::size_t i = 0; i < preview.dates.size(); ++i) {
        const TimeValue occurrence = preview.dates[i];
        text += std::string(ShortDayName(DayOfWeek(occurrence))) + " " + FormatDate(occurrence) +
                MoveNote(occurrence, preview.due[i], calendar) + "\n";
    }
    text += HowLong(rule, preview);
    if (const std::string note = DayNote(date, rule); !note.empty())
        text += "\n" + note;
    if (window && preview.inWindow < preview.dates.size()) {
        // The window's last day, as the Cash Flow list would show it.
        const std::string from = FormatDate(window->start);
        const std::string to = FormatDate(AddDays(window->end, -1));
        text += "\n" + (preview.inWindow == 0
                            ? FillIn(win::LoadString(res::IDS_PREVIEW_NONE_IN_WINDOW), {from, to})
                            : FillIn(win::LoadString(res::IDS_PREVIEW_SOME_IN_WINDOW), {from, to, std::to_string(preview.inWindow)}));
    }
    return text;
}
