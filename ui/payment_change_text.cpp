#include "ui/payment_change_text.h"

#include <initializer_list>

#include "common/fill_in.h"
#include "model/occurrence_preview.h"
#include "model/payment_exceptions.h"
#include "res/resource.h"
#include "ui/platform/resources.h"

namespace {

// "Mon 03/01/2027".
std::string DayAndDate(TimeValue date)
{
    return std::string(ShortDayName(DayOfWeek(date))) + " " + FormatDate(date);
}

void AddLine(std::string& text, const std::string& line)
{
    if (!text.empty())
        text += "\n";
    text += line;
}

} // namespace

bool IsMoved(const PlannedPayment& planned, const PaymentException& exception)
{
    return !exception.skip && exception.moveTo && LocalDay(*exception.moveTo) != LocalDay(planned.date);
}

bool IsAmountChanged(const PlannedPayment& planned, const PaymentException& exception)
{
    return !exception.skip && exception.amount && *exception.amount != planned.amount;
}

std::string ChangedPaymentNote(const PlannedPayment& planned, const PaymentException& exception)
{
    std::string note;
    if (IsMoved(planned, exception))
        AddLine(note, FillIn(win::LoadString(res::IDS_MOVED_FROM), {FormatDate(planned.date)}));
    if (IsAmountChanged(planned, exception))
        AddLine(note, FillIn(win::LoadString(res::IDS_PLANNED_AMOUNT), {std::to_string(planned.amount)}));
    return note;
}

std::string DescribePaymentChange(const PlannedPayment& planned, std::optional<TimeValue> date,
                                  std::optional<std::int32_t> amount)
{
    std::string text;
    if (!date)
        AddLine(text, win::LoadString(res::IDS_PREVIEW_ENTER_DATE));
    else if (LocalDay(*date) != LocalDay(planned.date))
        AddLine(text, FillIn(win::LoadString(res::IDS_PAYMENT_MOVES), {DayAndDate(planned.date), DayAndDate(*date)}));
    if (!amount)
        AddLine(text, win::LoadString(res::IDS_PAYMENT_ENTER_AMOUNT));
    else if (*amount != planned.amount)
        AddLine(text, FillIn(win::LoadString(res::IDS_PAYMENT_AMOUNT), {std::to_string(*amount), std::to_string(planned.amount)}));
    if (text.empty())
        text = FillIn(win::LoadString(res::IDS_PAYMENT_AS_PLANNED), {DayAndDate(planned.date), std::to_string(planned.amount)});
    return text;
}

std::string DescribeException(const PaymentException& exception)
{
    if (exception.skip)
        return win::LoadString(res::IDS_EXCEPTION_SKIPPED);
    std::string text;
    if (exception.moveTo)
        text = FillIn(win::LoadString(res::IDS_EXCEPTION_MOVED), {FormatDate(*exception.moveTo)});
    if (exception.amount)
        text += (text.empty() ? "" : ", ") + FillIn(win::LoadString(res::IDS_EXCEPTION_AMOUNT), {std::to_string(*exception.amount)});
    return text;
}
