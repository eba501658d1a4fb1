#include "ui/change_payment_dlg.h"

#include "res/resource.h"
#include "ui/date_picker.h"
#include "ui/platform/controls.h"
#include "ui/platform/data_exchange.h"
#include "ui/trans_edit_dlg.h"

namespace {

enum Sign : std::int32_t { Debit = 0, Credit = 1 };

} // namespace

CChangePaymentDlg::CChangePaymentDlg(const PlannedPayment& planned, TimeValue date, std::int32_t amount)
    : win::CDialog(res::IDD_CHANGE_PAYMENT), m_planned(planned), m_date(date)
{
    // As the Transaction Editor shows it: the magnitude, and 0 as a credit.
    m_amount = amount < 0 ? 0u - static_cast<unsigned>(amount) : static_cast<unsigned>(amount);
    m_sign = amount >= 0 ? Credit : Debit;
    OnChanged(res::IDC_DATE, [this] { UpdateChanges(); });
    OnChanged(res::IDC_AMOUNT, [this] { UpdateChanges(); });
    OnClicked(res::IDC_DEBIT, [this] { UpdateChanges(); });
    OnClicked(res::IDC_CREDIT, [this] { UpdateChanges(); });
}

std::int32_t CChangePaymentDlg::GetSignedAmount() const
{
    // OK accepts no amount above the 32-bit signed limit.
    const auto amount = static_cast<std::int32_t>(m_amount);
    return m_sign == Credit ? amount : -amount;
}

void CChangePaymentDlg::DoDataExchange(win::CDataExchange* dx)
{
    win::CDialog::DoDataExchange(dx);
    win::DDX_DateTimeCtrl(dx, res::IDC_DATE, m_date);
    // The picker shows days only; the date stands for the chosen day at 10:00.
    if (dx->m_bSaveAndValidate)
        m_date = ToTenOClock(m_date);
    win::DDX_Amount(dx, res::IDC_AMOUNT, m_amount);
    win::DDV_MinMaxUInt(dx, m_amount, 0, CTransEditDlg::kMaximumAmount);
    win::DDX_Radio(dx, res::IDC_DEBIT, m_sign);
}

bool CChangePaymentDlg::OnInitDialog()
{
    win::CDialog::OnInitDialog();
    if (auto* picker = GetDlgItemAs<win::CDateTimeCtrl>(res::IDC_DATE)) {
        SetUpDatePicker(*picker);
        // The range is set after the first exchange: show the date again.
        picker->SetTime(m_date);
    }
    if (auto* amountEdit = GetDlgItemAs<win::CEdit>(res::IDC_AMOUNT))
        amountEdit->LimitText(CTransEditDlg::kMaxAmountChars);
    UpdateChanges();
    return true;
}

void CChangePaymentDlg::UpdateChanges()
{
    std::optional<TimeValue> date;
    if (auto* picker = GetDlgItemAs<win::CDateTimeCtrl>(res::IDC_DATE)) {
        TimeValue picked = 0;
        if (picker->HasCompleteDate() && picker->GetTime(picked))
            date = ToTenOClock(picked);
    }
    // The amount as OK reads it, without its messages.
    std::optional<std::int32_t> amount;
    const std::string text = GetDlgItemText(res::IDC_AMOUNT);
    unsigned magnitude = 0;
    if (!win::HasDecimalPoint(text) && win::ParseDialogUnsigned(win::WithoutGrouping(text), magnitude) &&
        magnitude <= CTransEditDlg::kMaximumAmount) {
        std::int32_t sign = m_sign;
        win::CDataExchange exchange(*this, true);
        win::DDX_Radio(&exchange, res::IDC_DEBIT, sign);
        amount = sign == Credit ? static_cast<std::int32_t>(magnitude) : -static_cast<std::int32_t>(magnitude);
    }
    SetDlgItemText(res::IDC_PAYMENT_CHANGES, DescribePaymentChange(m_planned, date, amount));
}
