#pragma once

// The words for one payment that differs from its transaction's rule: the tooltip of a
// changed Cash Flow row, the Change This Payment dialog's line on what an edit changes,
// and the Transaction Editor's list of changed payments. The dates and amounts come from
// the model; this only puts them into words.

#include <cstdint>
#include <optional>
#include <string>

#include "model/dates.h"

struct PaymentException;

// What the rule gives a payment: the date it is listed on (its business-day move made)
// and the transaction's amount.
struct PlannedPayment {
    TimeValue date = 0;
    std::int32_t amount = 0;
};

// Whether the exception lists the payment on another day than planned, or with another
// amount (one that only repeats the plan changes nothing that shows).
bool IsMoved(const PlannedPayment& planned, const PaymentException& exception);
bool IsAmountChanged(const PlannedPayment& planned, const PaymentException& exception);

// "Moved from 03/01/2027" and "Planned amount -500", one line each, for what the
// exception changes; empty when it changes nothing that shows.
std::string ChangedPaymentNote(const PlannedPayment& planned, const PaymentException& exception);

// What listing the payment on date with amount changes against the plan: "Moves from
// Mon 03/01/2027 to Wed 03/03/2027" and "Amount -600 instead of -500", one line each, or
// "As planned: Mon 03/01/2027, -500". Without a date or an amount (a field being typed)
// it asks for it.
std::string DescribePaymentChange(const PlannedPayment& planned, std::optional<TimeValue> date,
                                  std::optional<std::int32_t> amount);

// The Transaction Editor's words for a changed payment: "Skipped", or "Moved to
// 03/03/2027" and "Amount -600" joined by a comma.
std::string DescribeException(const PaymentException& exception);
