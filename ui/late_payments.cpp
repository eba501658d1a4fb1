#include "ui/late_payments.h"

#include "model/business_calendar.h"
#include "model/transaction_data.h"

#include <algorithm>
#include <map>

std::vector<ExpectedPayment> ExpectedPayments(const std::vector<const TransactionData*>& transactions,
                                              const BusinessCalendar& calendar, bool includeTentative,
                                              TimeValue from, TimeValue to)
{
    std::vector<ExpectedPayment> payments;
    if (to <= from)
        return payments;
    for (std::size_t index = 0; index < transactions.size(); ++index) {
        const TransactionData* record = transactions[index];
        if (!record || (record->tentative && !includeTentative))
            continue;
        for (const ListedOccurrence& occurrence : ListedOccurrences(*record, calendar, from, to))
            payments.push_back({index, occurrence});
    }
    std::stable_sort(payments.begin(), payments.end(), [](const ExpectedPayment& a, const ExpectedPayment& b) {
        return LocalDay(a.occurrence.taken) < LocalDay(b.occurrence.taken);
    });
    return payments;
}

std::vector<std::pair<std::size_t, std::unique_ptr<TransactionData>>>
MoveLatePayments(const std::vector<const TransactionData*>& transactions, const std::vector<ExpectedPayment>& late,
                 TimeValue to)
{
    std::map<std::size_t, std::unique_ptr<TransactionData>> moved;
    for (const ExpectedPayment& payment : late) {
        if (payment.transaction >= transactions.size() || !transactions[payment.transaction])
            continue;
        std::unique_ptr<TransactionData>& record = moved[payment.transaction];
        const TransactionData& current = record ? *record : *transactions[payment.transaction];
        PaymentException exception;
        exception.date = payment.occurrence.due;
        if (const PaymentException* found = FindException(current, payment.occurrence.due))
            exception = *found;
        exception.moveTo = ToTenOClock(to);
        record = WithException(current, exception);
    }
    std::vector<std::pair<std::size_t, std::unique_ptr<TransactionData>>> records;
    for (auto& [index, record] : moved)
        records.emplace_back(index, std::move(record));
    return records;
}
