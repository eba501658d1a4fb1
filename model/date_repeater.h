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

    // Number of occurrences; 0 means no end.
    const std::uint32_t count;
    // The step: days for daily and weekly rules (weeks × 7), months, or years.
    const std::int32_t delta;

protected:
    CDateRepeater(std::int32_t delta, std::uint32_t count) : count(count), delta(delta) {}
};

// Occurs once, on the insertion date.
class CDateRepeaterOnce : public CDateRepeater {
public:
    CDateRepeaterOnce() : CDateRepeater(1, 1) {}

    TimeValue GetOccurrence(TimeValue start, std::uint32_t n) const override;
    int GetType() const override { return RepeatOnce; }
};

// Every `delta` days.
class CDateRepeaterDaily : public CDateRepeater {
public:
    CDateRepeaterDaily(std::int32_t days, std::uint32_t count) : CDateRepeater(days, count) {}

    TimeValue GetOccurrence(TimeValue start, std::uint32_t n) const override;
    int GetType() const override { return RepeatDaily; }
};

// Every so many weeks, stepped as days.
class CDateRepeaterWeekly : public CDateRepeaterDaily {
public:
    // Stores delta = weeks × 7 (held at the 32-bit limits for absurd week counts).
    CDateRepeaterWeekly(std::int32_t weeks, std::uint32_t count);

    int GetType() const override { return RepeatWeekly; }
    // Weeks: delta / 7, truncated toward zero.
    std::int32_t GetDelta() const override { return delta / 7; }
};

// Every `delta` months, on day `day` of the month, or on its last day when `day` is 0.
// The start's own day of month plays no part: only its month and year do.
class CDateRepeaterMonthly : public CDateRepeater {
public:
    // A requested day outside 0 to 28 means the last day of each month (day 0).
    CDateRepeaterMonthly(std::int32_t months, std::uint32_t count, std::int32_t requestedDay);

    TimeValue GetOccurrence(TimeValue start, std::uint32_t n) const override;
    int GetType() const override { return RepeatMonthly; }

    std::int32_t GetDay() const { return day; }

    // Day of month 1 to 28, or 0 for the last day of each month.
    const std::int32_t day;
};

// Every `delta` years, on the start's month and day; 29 February becomes 1 March in a
// common year.
class CDateRepeaterYearly : public CDateRepeater {
public:
    CDateRepeaterYearly(std::int32_t years, std::uint32_t count) : CDateRepeater(years, count) {}

    TimeValue GetOccurrence(TimeValue start, std::uint32_t n) const override;
    int GetType() const override { return RepeatYearly; }
};

// "Once", "Daily", "Weekly", "Monthly" or "Yearly"; "<none>" for any other type id.
// The name the transactions list shows and the data file stores.
const char* RepeatTypeName(int type);
const char* RepeatTypeName(const CDateRepeater& rule);

// A new rule of the same kind, step, count and day as this one (a transaction's record
// owns its rule, so a record put back needs a rule of its own).
std::unique_ptr<CDateRepeater> CopyRepeater(const CDateRepeater& rule);
