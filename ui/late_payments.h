#pragma once

// What Update Balances decides, apart from its dialog: which payments the forecast
// expected between the old start date and the new one, and the records that keep those
// not yet paid in the forecast by moving them to the new start date.

#include "model/dates.h"
#include "model/payment_exceptions.h"

#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

class BusinessCalendar;
struct TransactionData;

// One payment the forecast expected: the transaction it belongs to (its index among the
// transactions given) and the occurrence as the Cash Flow listed it.
struct ExpectedPayment {
    std::size_t transaction = 0;
    ListedOccurrence occurrence;
};

// The payments listed on a day in [from, to), by date; on one day in the order of the
// transactions given, then as the Cash Flow lists one transaction's. What-if transactions
// count only when the forecast includes them. Nothing when to is not after from.
std::vector<ExpectedPayment> ExpectedPayments(const std::vector<const TransactionData*>& transactions,
                                              const BusinessCalendar& calendar, bool includeTentative,
                                              TimeValue from, TimeValue to);

// For every transaction with a payment not yet paid: the index of the transaction and its
// record with each such payment listed on the day `to` instead (an amount it was changed
// to stays), in the order of the transactions.
std::vector<std::pair<std::size_t, std::unique_ptr<TransactionData>>>
MoveLatePayments(const std::vector<const TransactionData*>& transactions, const std::vector<ExpectedPayment>& late,
                 TimeValue to);
