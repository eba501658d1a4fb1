#pragma once

#include "model/date_repeater.h"
#include "model/dates.h"
#include "model/payment_exceptions.h"

#include <cstdint>
#include <limits>
#include <optional>
#include <vector>

// Calls visit(n, date) for each occurrence of the rule (inserted on `date`) that lies in
// [from, to), in the order of the rule, until visit returns false: stepping from the
// first occurrence before `from`, up to `count` of them, and stopping where the
// projection stops a rule: at its first occurrence from `to` on, or, without a count, at
// its first one that is not later than the one before; a rule twice a month may list
// both its dates of a month on one day.
template <typename Visit>
void WalkOccurrenceDates(const CDateRepeater& rule, TimeValue date, TimeValue from, TimeValue to, Visit visit)
{
    const bool twiceAMonth =
        rule.GetType() == RepeatMonthly && static_cast<const CDateRepeaterMonthly&>(rule).PerMonth() == 2;
    std::uint32_t n = FirstIndexBefore(rule, date, from);
    TimeValue occurrence = rule.GetOccurrence(date, n);
    for (;;) {
        if (rule.count != 0 && n >= rule.count)
            break;
        if (occurrence >= from && occurrence < to && !visit(n, occurrence))
            break;
        if (n == std::numeric_limits<std::uint32_t>::max())
            break;
        ++n;
        const TimeValue next = rule.GetOccurrence(date, n);
        if (next >= to)
            break;
        // Occurrences of one rule never turn back: one that is not later than the
        // one before stays where it is or goes on backwards. Twice a month, only the
        // months do (a month's two dates may be one day): with a count, such a rule is
        // done once a month's two dates both lie before the window.
        const bool sameMonthsDay = twiceAMonth && n % 2 == 1 && next == occurrence;
        if (next <= occurrence && !sameMonthsDay && (rule.count == 0 || next < from) &&
            (!twiceAMonth || rule.count == 0 ||
             (n % 2 == 0 && n < rule.count - 1 && rule.GetOccurrence(date, n + 1) < from)))
            break;
        occurrence = next;
    }
}

// The index of the rule's occurrence due on a day (`due` at 10:00 of it), when there is
// one below its count (the first one of that day); a rule without a count has its
// occurrences up to the first that is not later than the one before.
std::optional<std::uint32_t> OccurrenceIndexOn(const CDateRepeater& rule, TimeValue date, TimeValue due);

// Finds the exceptions of the occurrences a walk visits, in the order of the rule: an
// exception is that of the first occurrence due on its day. Cheap for a rule that steps
// forward: one pass over the exceptions for the whole walk, and a comparison for each
// occurrence before the next exception's day.
class ExceptionCursor {
public:
    // An occurrence found with an exception: the exception's index and the occurrence's.
    struct Found {
        std::size_t exception;
        std::uint32_t n;
    };

    ExceptionCursor(const std::vector<PaymentException>& exceptions, const CDateRepeater& rule, TimeValue date);

    bool Empty() const { return m_exceptions.empty(); }
    // The exception of occurrence n, due on that local day, or null.
    const PaymentException* Find(std::uint32_t n, std::int64_t day)
    {
        if (m_forward && day < m_nextDay) {
            m_previousDay = day;
            return nullptr;
        }
        return FindFrom(n, day);
    }
    // The occurrences found so far that have an exception, in the order found.
    const std::vector<Found>& FoundSoFar() const { return m_found; }

private:
    const PaymentException* FindFrom(std::uint32_t n, std::int64_t day);

    const std::vector<PaymentException>& m_exceptions;
    const CDateRepeater& m_rule;
    TimeValue m_date;
    bool m_forward;
    std::size_t m_next = 0;
    // The day of the exception at m_next: before the first lookup the least day, after
    // the last exception the greatest.
    std::int64_t m_nextDay;
    std::int64_t m_previousDay = 0;
    std::vector<Found> m_found;
};

// The transaction's occurrences that have an exception other than a skip, taken on a
// day in [from, to), in the order of their due dates: where a changed occurrence goes,
// wherever it was due. A walk's cursor, when given, tells the occurrences it found, which
// need not be looked for again.
std::vector<ListedOccurrence> ChangedOccurrences(const CDateRepeater& rule, TimeValue date, std::int32_t amount,
                                                 const std::vector<PaymentException>& exceptions,
                                                 const BusinessCalendar& calendar, TimeValue from, TimeValue to,
                                                 const ExceptionCursor* walked = nullptr);
