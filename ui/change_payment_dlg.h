#pragma once

#include <cstdint>

#include "model/dates.h"
#include "ui/payment_change_text.h"
#include "ui/platform/dialog.h"

// The Change This Payment dialog: the date and the amount of one payment of a transaction,
// with the Transaction Editor's date picker and amount field (whole dollars, Debit or
// Credit), and a line that says what they change against the plan as they are typed. It
// only collects the values; the caller makes the change.
class CChangePaymentDlg : public win::CDialog {
public:
    // The payment as planned, and the date and amount the list shows it with now.
    CChangePaymentDlg(const PlannedPayment& planned, TimeValue date, std::int32_t amount);

    // The values confirmed with OK: the picked day at 10:00, the signed amount.
    TimeValue GetDate() const { return m_date; }
    std::int32_t GetSignedAmount() const;

protected:
    bool OnInitDialog() override;
    void DoDataExchange(win::CDataExchange* dx) override;

private:
    // Shows what the fields as they stand change, without any message.
    void UpdateChanges();

    PlannedPayment m_planned;
    TimeValue m_date;
    unsigned m_amount = 0;
    std::int32_t m_sign = 0;
};
