#include "ui/occurrence_preview_text.h"

#include "model/business_calendar.h"
#include "model/date_repeater.h"

#include "support/tz_guard.h"

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>

namespace {

using testing_support::kEastern;
using testing_support::TzGuard;

// The Cash Flow window of a start date and a Duration, as the projection sets it.
CashFlowWindow Window(TimeValue start, unsigned months) { return {start, AddDays(start, 31 * std::int64_t(months))}; }

struct Case {
    const char* what;
    TimeValue date;
    std::shared_ptr<CDateRepeater> rule;
    std::optional<CashFlowWindow> window;
    std::string expected;
};

TEST(OccurrencePreviewText, DatesWithWeekdaysThenHowLongAndWhatTheCalendarAndTheWindowDo)
{
    TzGuard tz(kEastern);
    const CashFlowWindow december = Window(MakeDate(2026, 12, 9), 13); // to 01/15/2028
    const std::string outsideDecember =
        "None of these falls between 12/09/2026 and 01/15/2028 (the Cash Flow window)";
    const Case cases[] = {
        {"once only, inside the window", MakeDate(2026, 12, 31), std::make_shared<CDateRepeaterOnce>(), december,
         "Thu 12/31/2026\nonce only"},
        {"monthly on the 31st across February of a common year", MakeDate(2027, 1, 31),
         std::make_shared<CDateRepeaterMonthly>(1, 0, 31), december,
         "Sun 01/31/2027\nSun 02/28/2027\nWed 03/31/2027\nFri 04/30/2027\nMon 05/31/2027\n"
         "every month, for ever\n(on the last day of shorter months)"},
        {"monthly on the 30th across February of a leap year", MakeDate(2028, 1, 30),
         std::make_shared<CDateRepeaterMonthly>(1, 0, 30), Window(MakeDate(2028, 1, 1), 6),
         "Mon 01/31/2028\nTue 02/29/2028\nFri 03/31/2028\nSun 04/30/2028\nWed 05/31/2028\n"
         "every month, for ever\n(on the last day of every month)"},
        {"yearly from 29 February, starting after the window", MakeDate(2028, 2, 29),
         std::make_shared<CDateRepeaterYearly>(1, 0), december,
         "Tue 02/29/2028\nThu 03/01/2029\nFri 03/01/2030\nSat 03/01/2031\nSun 02/29/2032\n"
         "every year, for ever\n(on 1 March in common years)\n" +
             outsideDecember},
        {"yearly from 29 February, two of them in the window", MakeDate(2028, 2, 29),
         std::make_shared<CDateRepeaterYearly>(1, 0), Window(MakeDate(2028, 2, 1), 24),
         "Tue 02/29/2028\nThu 03/01/2029\nFri 03/01/2030\nSat 03/01/2031\nSun 02/29/2032\n"
         "every year, for ever\n(on 1 March in common years)\n"
         "The Cash Flow window, 02/01/2028 to 02/13/2030, holds the first 2 of these"},
        {"every other week", MakeDate(2026, 12, 9), std::make_shared<CDateRepeaterWeekly>(2, 0), december,
         "Wed 12/09/2026\nWed 12/23/2026\nWed 01/06/2027\nWed 01/20/2027\nWed 02/03/2027\n"
         "every other week, for ever"},
        {"ends after 2", MakeDate(2027, 1, 15), std::make_shared<CDateRepeaterMonthly>(1, 2, 15), december,
         "Fri 01/15/2027\nMon 02/15/2027\n2 payments, the last on 02/15/2027"},
        {"ends after 12", MakeDate(2027, 1, 31), std::make_shared<CDateRepeaterMonthly>(1, 12, 31), december,
         "Sun 01/31/2027\nSun 02/28/2027\nWed 03/31/2027\nFri 04/30/2027\nMon 05/31/2027\n"
         "12 payments, the last on 12/31/2027\n(on the last day of shorter months)"},
        {"ends after 9999", MakeDate(2026, 12, 9), std::make_shared<CDateRepeaterDaily>(1, 9999), december,
         "Wed 12/09/2026\nThu 12/10/2026\nFri 12/11/2026\nSat 12/12/2026\nSun 12/13/2026\n"
         "9999 payments, the last on 04/24/2054"},
        {"ends after 9999, beyond the last day the program handles", MakeDate(2027, 3, 1),
         std::make_shared<CDateRepeaterYearly>(4, 9999), std::nullopt,
         "Mon 03/01/2027\nSat 03/01/2031\nThu 03/01/2035\nTue 03/01/2039\nSun 03/01/2043\n"
         "9999 payments, the last after 12/31/9999"},
        {"daily up to the last day the program handles", MakeDate(9999, 12, 29),
         std::make_shared<CDateRepeaterDaily>(1, 0), std::nullopt,
         "Wed 12/29/9999\nThu 12/30/9999\nFri 12/31/9999\nevery day, for ever"},
        {"entirely before the window", MakeDate(2026, 1, 1), std::make_shared<CDateRepeaterMonthly>(1, 3, 1),
         december, "Thu 01/01/2026\nSun 02/01/2026\nSun 03/01/2026\n3 payments, the last on 03/01/2026\n" +
                       outsideDecember},
        {"once only, after the window", MakeDate(2028, 3, 1), std::make_shared<CDateRepeaterOnce>(), december,
         "Wed 03/01/2028\nonce only\n" + outsideDecember},
        {"daily since the year 1000: the next dates are the window's first", MakeDate(1000, 1, 1),
         std::make_shared<CDateRepeaterDaily>(1, 0), december,
         "Wed 12/09/2026\nThu 12/10/2026\nFri 12/11/2026\nSat 12/12/2026\nSun 12/13/2026\nevery day, for ever"},
        {"every fourth month, no window known", MakeDate(2026, 11, 20),
         std::make_shared<CDateRepeaterMonthly>(4, 0, 20), std::nullopt,
         "Fri 11/20/2026\nSat 03/20/2027\nTue 07/20/2027\nSat 11/20/2027\nMon 03/20/2028\nevery fourth month, for ever"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(DescribeNextOccurrences(c.date, *c.rule, c.window), c.expected) << c.what;
}

TEST(OccurrencePreviewText, MovedDatesSayWhereTheyWereDueAndWhichHolidayMovedThem)
{
    TzGuard tz(kEastern);
    // The last business day of the month: February's, moved back to Friday the 26th, falls
    // before a window that starts on Saturday the 27th.
    CashFlowWindow march = Window(MakeDate(2027, 2, 27), 3);
    const BusinessCalendar weekends;
    march.calendar = &weekends;
    EXPECT_EQ(DescribeNextOccurrences(MakeDate(2027, 1, 31),
                                      CDateRepeaterMonthly(1, 0, 31, {}, BusinessDayMove::Before), march),
              "Wed 03/31/2027\nFri 04/30/2027\nMon 05/31/2027\nWed 06/30/2027\nFri 07/30/2027 (moved from Sat 07/31)\n"
              "every month, for ever\n(on the last day of shorter months)\n"
              "The Cash Flow window, 02/27/2027 to 05/30/2027, holds the first 2 of these");

    CashFlowWindow december = Window(MakeDate(2026, 12, 9), 13);
    const BusinessCalendar holidays(BusinessCalendar::kDefaultWeekend,
                                    {{MakeDate(2026, 12, 25), "Christmas Day", true}});
    december.calendar = &holidays;
    EXPECT_EQ(DescribeNextOccurrences(MakeDate(2026, 12, 25), CDateRepeaterYearly(1, 2, BusinessDayMove::Nearest),
                                      december),
              "Thu 12/24/2026 (moved from Fri 12/25, Christmas Day)\n"
              "Fri 12/24/2027 (moved from Sat 12/25, Christmas Day)\n2 payments, the last on 12/24/2027");
}

} // namespace
