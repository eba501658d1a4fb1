#pragma once

#include "model/dates.h"

#include <cstdint>
#include <optional>
#include <memory>
#include <utility>
#include <vector>

class BusinessCalendar;
class CDateRepeater;
struct TransactionData;

// One occurrence of a transaction that differs from its rule: not listed at all, listed
// on another date, or listed with another amount. A transaction keeps its exceptions in
// the order of their dates, at most one for a date.
struct PaymentException {
    // The occurrence's own date as the rule gives it, before any move to a business day,
    // at 10:00: what identifies the occurrence. An exception whose date is no occurrence
    // of the rule does nothing, and is kept (a later change of the rule may bring it back).
    TimeValue date = 0;
    // Not listed; it still counts toward the rule's count.
    bool skip = false;
    // Listed on this date (at 10:00) instead, which no business-day move changes.
    std::optional<TimeValue> moveTo;
    // Whole dollars, instead of the transaction's amount.
    std::optional<std::int32_t> amount;

    friend bool operator==(const PaymentException&, const PaymentException&) = default;
};

// One occurrence of a transaction as the Cash Flow lists it.
struct ListedOccurrence {
    // Its index in the rule (0 the first) and its own date as the rule gives it.
    std::uint32_t index = 0;
    TimeValue due = 0;
    // The date it is listed on: its exception's new date, or the due date moved to a
    // business day as the rule says.
    TimeValue taken = 0;
    std::int32_t amount = 0;
    // Its exception, or null when it is as the rule gives it.
    const PaymentException* exception = nullptr;
};

// The exception of the occurrence due on that day, or null.
const PaymentException* FindException(const TransactionData& record, TimeValue due);

// The index of the rule's occurrence due on the day of `due` (any time of that day), when
// there is one below the rule's count (a rule without a count has its occurrences up to
// the first that is not later than the one before). Where two occurrences share a day
// (a rule twice a month on one day), the first: an exception is that occurrence's.
std::optional<std::uint32_t> OccurrenceIndex(const TransactionData& record, TimeValue due);

// The transaction's occurrences listed on a day in [from, to), skipped ones left out, in
// the order the Cash Flow lists them: by the day they are taken on; within one day the
// occurrences without an exception in the order of the rule, then the changed ones in
// the order of their due dates. The k-th row of this transaction on a day of the Cash
// Flow is the k-th occurrence this gives for that day. A transaction of amount 0 lists
// nothing; an occurrence changed to amount 0 is listed.
std::vector<ListedOccurrence> ListedOccurrences(const TransactionData& record, const BusinessCalendar& calendar,
                                                TimeValue from, TimeValue to);

// A copy of the record with the exception set for its date (replacing one for the same
// day; its dates are kept at 10:00 of their days), or with the exception for that day
// removed.
std::unique_ptr<TransactionData> WithException(const TransactionData& record, const PaymentException& exception);
std::unique_ptr<TransactionData> WithoutException(const TransactionData& record, TimeValue due);

// A repeating transaction cut at its occurrence due on `due`: `first` keeps the
// occurrences before it (its count becomes their number) and the exceptions before that
// day; `later` starts on `due` with the same values and a rule that gives the remaining
// occurrences on the same dates (count 0 when the rule never ends), with the exceptions
// from that day on. Null records when `due` is not an occurrence, or is the first one, or
// when no rule starting on that day gives the same dates: a yearly rule from 29 February
// cut at an occurrence in a common year (1 March). Cut at the second date of a month of a
// rule twice a month, `later` starts in that month with its first date skipped (the skip
// counts toward its count), since a rule twice a month lists both dates of each month.
struct SplitSeries {
    std::unique_ptr<TransactionData> first;
    std::unique_ptr<TransactionData> later;
};
SplitSeries SplitAt(const TransactionData& record, TimeValue due);
