#pragma once

#include "model/date_repeater.h"
#include "model/dates.h"
#include "model/payment_exceptions.h"
#include "model/utility.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// One transaction: what the transactions list keeps behind each of its rows. The record
// owns its repeat rule; destroying the record destroys the rule.
struct TransactionData : virtual Utility::NonCopyable {
    TransactionData(TimeValue date, std::string description, std::int32_t amount,
                    std::unique_ptr<CDateRepeater> repeater)
        : date(date), description(std::move(description)), amount(amount), repeater(std::move(repeater))
    {
    }
    virtual ~TransactionData() = default;

    // The insertion date, at 10:00 local time.
    TimeValue date;
    std::string description;
    // Whole dollars: positive for a credit, negative for a debit.
    std::int32_t amount;
    // Never null in a record the program builds.
    std::unique_ptr<CDateRepeater> repeater;
    // A "what-if": a transaction the user may or may not make. The projection includes it
    // or leaves it out as asked; the firm forecast never counts it.
    bool tentative = false;
    // The occurrences that differ from the rule, in the order of their dates.
    std::vector<PaymentException> exceptions;
};

// A record of its own with every value of this one, its rule copied: what an undo step
// keeps, and what an edit starts from so that values the editor does not show stay.
inline std::unique_ptr<TransactionData> CopyTransaction(const TransactionData& record)
{
    auto copy = std::make_unique<TransactionData>(record.date, record.description, record.amount,
                                                  record.repeater ? CopyRepeater(*record.repeater) : nullptr);
    copy->tentative = record.tentative;
    copy->exceptions = record.exceptions;
    return copy;
}

// The record with new values and rule; what the values do not say (the what-if flag,
// the exceptions) stays as it was.
inline std::unique_ptr<TransactionData> WithValues(const TransactionData& record, TimeValue date,
                                                   const std::string& description, std::int32_t amount,
                                                   std::unique_ptr<CDateRepeater> rule)
{
    auto changed = CopyTransaction(record);
    changed->date = date;
    changed->description = description;
    changed->amount = amount;
    changed->repeater = std::move(rule);
    return changed;
}
