#pragma once

#include "model/dates.h"
#include "model/utility.h"

#include <cstdint>
#include <memory>

// The kinds of repeat rule. The ids are also the sort order of the "Repeats" column.
enum RepeatType : int {
    RepeatOnce = 0,
    RepeatDaily = 1,
    RepeatWeekly = 2,
    RepeatMonthly = 3,
    RepeatYearly = 4,
};

// What a rule does with an occurrence that falls on a day that is not a business day
// (see BusinessCalendar): nothing, or move it to the latest business day before it, the
// earliest after it, or the nearer of those two (the one before on a tie).
enum class BusinessDayMove : int {
    Keep = 0,
    Before = 1,
    After = 2,
    Nearest = 3,
};

// A repeat rule: on which dates a transaction recurs. Every occurrence is computed afresh
// from the insertion date and its index, never from the previous occurrence, so clamping
// to a month's end does not drift. The rule does not stop after `count` occurrences
// itself; the projection does. Immutable once built.
class CDateRepeater : private Utility::NonCopyable {
public:
    virtual ~CDateRepeater() = default;

    // The occurrence with index n (0 is the first) of a transaction inserted on start.
    virtual TimeValue GetOccurrence(TimeValue start, std::uint32_t n) const = 0;
    // One of RepeatType.
    virtual int GetType() const = 0;
    // The step in the unit the user chose: days, weeks, months or years.
    virtual std::int32_t GetDelta() const { return delta; }

    std::uint32_t GetCount() const { return count; }
    // Where an occurrence on a day off goes. GetOccurrence never applies it: the rule's own
    // arithmetic knows nothing of business days, so moved dates never drift.
    BusinessDayMove GetBusinessDay() const { return businessDay; }

    // Number of occurrences; 0 means no end.
    const std::uint32_t count;
    // The step: days for daily and weekly rules (weeks × 7), months, or years.
    const std::int32_t delta;
    const BusinessDayMove businessDay;

protected:
    CDateRepeater(std::int32_t delta, std::uint32_t count, BusinessDayMove move)
        : count(count), delta(delta), businessDay(move)
    {
    }
};

// Occurs once, on the insertion date.
class CDateRepeaterOnce : public CDateRepeater {
public:
    explicit CDateRepeaterOnce(BusinessDayMove move = BusinessDayMove::Keep) : CDateRepeater(1, 1, move) {}

    TimeValue GetOccurrence(TimeValue start, std::uint32_t n) const override;
    int GetType() const override { return RepeatOnce; }
};

// Every `delta` days.
class CDateRepeaterDaily : public CDateRepeater {
public:
    CDateRepeaterDaily(std::int32_t days, std::uint32_t count, BusinessDayMove move = BusinessDayMove::Keep)
        : CDateRepeater(days, count, move)
    {
    }

    TimeValue GetOccurrence(TimeValue start, std::uint32_t n) const override;
    int GetType() const override { return RepeatDaily; }
};

// Every so many weeks, stepped as days.
class CDateRepeaterWeekly : public CDateRepeaterDaily {
public:
    // Stores delta = weeks × 7 (held at the 32-bit limits for absurd week counts).
    CDateRepeaterWeekly(std::int32_t weeks, std::uint32_t count, BusinessDayMove move = BusinessDayMove::Keep);

    int GetType() const override { return RepeatWeekly; }
    // Weeks: delta / 7, truncated toward zero.
    std::int32_t GetDelta() const override { return delta / 7; }
};

// Which days of its months a monthly rule falls on besides (or instead of) its day.
struct MonthlyDays {
    // 1 to 4 for the first to the fourth `weekday` of the month, -1 for its last; 0 for
    // none: the rule falls on its day.
    std::int32_t week = 0;
    // 0 for Sunday to 6 for Saturday; used only with a week.
    std::int32_t weekday = 0;
    // 1 to 31: a second occurrence each month, on this day or the month's last day,
    // whichever is earlier; 0 for none. Never together with a week.
    std::int32_t day2 = 0;

    friend bool operator==(const MonthlyDays&, const MonthlyDays&) = default;
};

// Every `delta` months, on day `day` of the month, or on its last day when `day` is 0; or
// on the n-th weekday of the month; or twice a month, on `day` and `day2` in date order,
// each counted as an occurrence. The start's own day of month plays no part: only its
// month and year do.
class CDateRepeaterMonthly : public CDateRepeater {
public:
    // A requested day outside 0 to 28 means the last day of each month (day 0). A week
    // other than 1 to 4 or -1, or a weekday outside 0 to 6, leaves both out; a second day
    // outside 1 to 31, or with a week, is left out.
    CDateRepeaterMonthly(std::int32_t months, std::uint32_t count, std::int32_t requestedDay,
                         MonthlyDays days = {}, BusinessDayMove move = BusinessDayMove::Keep);

    TimeValue GetOccurrence(TimeValue start, std::uint32_t n) const override;
    int GetType() const override { return RepeatMonthly; }

    std::int32_t GetDay() const { return day; }
    const MonthlyDays& GetDays() const { return days; }
    // Occurrences in each month of the rule: 2 with a second day, else 1.
    std::uint32_t PerMonth() const { return days.day2 != 0 ? 2u : 1u; }
    // The day of the month of the rule's occurrence `which` (0, or 1 with a second day)
    // in that month.
    int DayInMonth(std::int64_t year, int month, std::uint32_t which) const;

    // Day of month 1 to 28, or 0 for the last day of each month. Not used with a week,
    // but kept (and written) as it is.
    const std::int32_t day;
    const MonthlyDays days;
};

// Every `delta` years, on the start's month and day; 29 February becomes 1 March in a
// common year.
class CDateRepeaterYearly : public CDateRepeater {
public:
    CDateRepeaterYearly(std::int32_t years, std::uint32_t count, BusinessDayMove move = BusinessDayMove::Keep)
        : CDateRepeater(years, count, move)
    {
    }

    TimeValue GetOccurrence(TimeValue start, std::uint32_t n) const override;
    int GetType() const override { return RepeatYearly; }
};

// "Once", "Daily", "Weekly", "Monthly" or "Yearly"; "<none>" for any other type id.
// The name the transactions list shows and the data file stores.
const char* RepeatTypeName(int type);
const char* RepeatTypeName(const CDateRepeater& rule);

// An occurrence index to start stepping from toward `start`: every occurrence of a
// transaction inserted on `date` before it lies before `start` (0 when none is known to).
// Stepping from it instead of from 0, a rule dated long before costs no more than
// one dated just before.
std::uint32_t FirstIndexBefore(const CDateRepeater& rule, TimeValue date, TimeValue start);

// A new rule of the same kind, step, count, days and business-day move as this one (a transaction's record
// owns its rule, so a record put back needs a rule of its own).
std::unique_ptr<CDateRepeater> CopyRepeater(const CDateRepeater& rule);
