#include "ui/trans_edit_dlg.h"

#include "res/resource.h"
#include "ui/date_picker.h"
#include "ui/payment_change_text.h"
#include "ui/platform/data_exchange.h"
#include "ui/platform/dialog_builder.h"
#include "ui/platform/resources.h"

#include <algorithm>

namespace {

std::string Trimmed(const std::string& text)
{
    constexpr const char* kBlanks = " \t\r\n\v\f";
    const auto first = text.find_first_not_of(kBlanks);
    if (first == std::string::npos)
        return {};
    const auto last = text.find_last_not_of(kBlanks);
    return text.substr(first, last - first + 1);
}

} // namespace

CTransEditDlg::CTransEditDlg(Mode mode, win::CWnd* parent)
    : win::CDialog(res::IDD_TRANS_EDIT, parent), m_mode(mode), m_date(Today())
{
    OnClicked(res::IDC_NO_REPEAT, [this] {
        EnableRepeatControls(false);
        UpdatePreview();
    });
    OnClicked(res::IDC_REPEATS, [this] {
        EnableRepeatControls(true);
        UpdatePreview();
    });
    OnClicked(res::IDC_NEVER_ENDS, [this] {
        EnableOccurrences(false);
        UpdatePreview();
    });
    OnClicked(res::IDC_ENDS_AFTER, [this] {
        EnableOccurrences(true);
        UpdatePreview();
    });
    for (int id : {res::IDC_DATE, res::IDC_STEP, res::IDC_UNIT, res::IDC_OCCURRENCES})
        OnChanged(id, [this] { UpdatePreview(); });
    for (int id : {res::IDC_ON_DAY, res::IDC_ON_WEEKDAY, res::IDC_ALSO_ON_DAY, res::IDC_KEEP_DATE,
                   res::IDC_BUSINESS_BEFORE, res::IDC_BUSINESS_AFTER, res::IDC_BUSINESS_NEAREST})
        OnClicked(id, [this] { UpdatePreview(); });
    for (int id : {res::IDC_WEEK, res::IDC_WEEKDAY, res::IDC_DAY2})
        OnChanged(id, [this] { UpdatePreview(); });
    OnClicked(res::IDC_SCOPE_THIS, [this] { ChangeScope(ThisPayment); });
    OnClicked(res::IDC_SCOPE_LATER, [this] { ChangeScope(ThisAndLater); });
    OnClicked(res::IDC_SCOPE_EVERY, [this] { ChangeScope(EveryPayment); });
    OnClicked(res::IDC_RESTORE_EXCEPTION, [this] { RestoreSelectedException(); });
}

void CTransEditDlg::SetTransaction(TimeValue date, const std::string& description, std::int32_t amount,
                                   const CDateRepeater& rule)
{
    m_date = date;
    m_description = description;
    // An amount of 0 shows as a credit. The magnitude of the most negative amount still
    // fits the unsigned field.
    m_amount = amount < 0 ? 0u - static_cast<unsigned>(amount) : static_cast<unsigned>(amount);
    m_sign = amount >= 0 ? Credit : Debit;
    // A rule that occurs once shows as not repeating, whatever its kind.
    m_repeat = rule.count != 1 ? Repeats : DoesNotRepeat;

    switch (rule.GetDelta()) {
    case 0:
    case 1:
        m_step = 0;
        break;
    case 2:
    case 3:
    case 4:
        m_step = rule.GetDelta() - 1;
        break;
    default:
        // A step the editor cannot offer leaves the choice as it was.
        break;
    }

    switch (rule.GetType()) {
    case RepeatDaily:
        m_unit = Day;
        break;
    case RepeatWeekly:
        m_unit = Week;
        break;
    case RepeatMonthly:
        m_unit = Month;
        break;
    case RepeatYearly:
        m_unit = Year;
        break;
    default:
        break;
    }

    if (rule.GetType() != RepeatOnce && rule.count != 0) {
        m_ending = EndsAfter;
        m_occurrences = rule.count;
    } else {
        m_ending = NeverEnds;
    }
    m_days = DayChoices{};
    m_days.businessDay = static_cast<std::int32_t>(rule.GetBusinessDay());
    if (rule.GetType() == RepeatMonthly) {
        const MonthlyDays& days = static_cast<const CDateRepeaterMonthly&>(rule).GetDays();
        if (days.week != 0) {
            m_days.monthDays = OnWeekdayOfMonth;
            m_days.week = days.week < 0 ? 4 : days.week - 1;
            m_days.weekday = days.weekday;
        } else if (days.day2 != 0) {
            m_days.alsoOnDay = 1;
            m_days.day2 = static_cast<unsigned>(days.day2);
        }
    }
    m_given = GivenRule{CopyRepeater(rule), date, m_repeat, m_step, m_unit, m_ending, m_occurrences, m_days};
}

std::unique_ptr<CDateRepeater> CTransEditDlg::RuleFor(std::int32_t repeat, std::int32_t step, std::int32_t unit,
                                                      std::int32_t ending, unsigned occurrences, TimeValue date,
                                                      const DayChoices& days) const
{
    // A monthly rule keeps its own day and a rule the choices cannot spell (every fifth
    // day, once by a daily rule) keeps its kind and step: rebuilding it from what the
    // editor shows would move it without the user asking.
    if (m_given && ToTenOClock(date) == ToTenOClock(m_given->date) && repeat == m_given->repeat &&
        days == m_given->days &&
        (repeat == DoesNotRepeat ||
         (step == m_given->step && unit == m_given->unit && ending == m_given->ending &&
          (ending == NeverEnds || occurrences == m_given->occurrences))))
        return CopyRepeater(*m_given->rule);
    return MakeRepeater(repeat, step, unit, ending, occurrences, date, days);
}

std::unique_ptr<CDateRepeater> CTransEditDlg::CreateRepeater() const
{
    return RuleFor(m_repeat, m_step, m_unit, m_ending, m_occurrences, m_date, m_days);
}

std::unique_ptr<CDateRepeater> CTransEditDlg::MakeRepeater(std::int32_t repeat, std::int32_t stepIndex,
                                                           std::int32_t unit, std::int32_t ending,
                                                           unsigned occurrences, TimeValue date,
                                                           const DayChoices& days)
{
    const BusinessDayMove move =
        days.businessDay >= 0 && days.businessDay <= 3 ? BusinessDayMove(days.businessDay) : BusinessDayMove::Keep;
    if (repeat == DoesNotRepeat)
        return std::make_unique<CDateRepeaterOnce>(move);
    const std::int32_t step = stepIndex + 1;
    const std::uint32_t count = ending == NeverEnds ? 0u : occurrences;
    switch (unit) {
    case Day:
        return std::make_unique<CDateRepeaterDaily>(step, count, move);
    case Week:
        return std::make_unique<CDateRepeaterWeekly>(step, count, move);
    case Month: {
        MonthlyDays monthly;
        if (days.monthDays == OnWeekdayOfMonth) {
            monthly.week = days.week == 4 ? -1 : days.week + 1;
            monthly.weekday = days.weekday;
        } else if (days.alsoOnDay) {
            monthly.day2 = static_cast<std::int32_t>(days.day2);
        }
        // Days 29 to 31 become the last day of each month.
        return std::make_unique<CDateRepeaterMonthly>(step, count, SplitDate(date).day, monthly, move);
    }
    case Year:
        return std::make_unique<CDateRepeaterYearly>(step, count, move);
    default:
        // A confirmed dialog always has a unit; this only guards a caller that did not run it.
        return std::make_unique<CDateRepeaterOnce>(move);
    }
}

void CTransEditDlg::ApplyTo(TransactionData& record) const
{
    record.date = m_date;
    record.description = m_description;
    record.amount = GetSignedAmount();
    record.repeater = CreateRepeater();
    record.tentative = IsTentative();
    if (m_exceptions)
        record.exceptions = *m_exceptions;
}

std::unique_ptr<TransactionData> CTransEditDlg::CreateTransaction() const
{
    auto record = std::make_unique<TransactionData>(m_date, m_description, GetSignedAmount(), CreateRepeater());
    record->tentative = IsTentative();
    return record;
}

std::int32_t CTransEditDlg::GetSignedAmount() const
{
    // OK accepts no amount above the 32-bit signed limit.
    const auto amount = static_cast<std::int32_t>(m_amount);
    return m_sign == Credit ? amount : -amount;
}

void CTransEditDlg::DoDataExchange(win::CDataExchange* dx)
{
    win::CDialog::DoDataExchange(dx);
    win::DDX_Control(dx, res::IDC_OCCURRENCES_SPIN, m_occurrencesSpin);
    win::DDX_Text(dx, res::IDC_DESCRIPTION, m_description);
    win::DDX_Control(dx, res::IDC_STEP, m_stepCombo);
    win::DDX_Amount(dx, res::IDC_AMOUNT, m_amount);
    // Ten digits can spell more than the largest amount a transaction holds.
    win::DDV_MinMaxUInt(dx, m_amount, 0, kMaximumAmount);
    if (!dx->m_bSaveAndValidate)
        if (auto* amountEdit = GetDlgItemAs<win::CEdit>(res::IDC_AMOUNT))
            amountEdit->LimitText(kMaxAmountChars);
    win::DDX_DateTimeCtrl(dx, res::IDC_DATE, m_date);
    // The picker shows days only; the date stands for the chosen day at 10:00.
    if (dx->m_bSaveAndValidate)
        m_date = ToTenOClock(m_date);
    win::DDX_Radio(dx, res::IDC_DEBIT, m_sign);
    win::DDX_Radio(dx, res::IDC_NO_REPEAT, m_repeat);
    win::DDX_CBIndex(dx, res::IDC_UNIT, m_unit);
    win::DDX_Control(dx, res::IDC_UNIT, m_unitCombo);
    win::DDX_CBIndex(dx, res::IDC_STEP, m_step);
    win::DDX_Radio(dx, res::IDC_NEVER_ENDS, m_ending);
    win::DDX_Check(dx, res::IDC_TENTATIVE, m_tentative);
    // The count is only read while it can be edited: with Ends After on a repeating rule.
    if (!dx->m_bSaveAndValidate || (m_repeat == Repeats && m_ending == EndsAfter)) {
        win::DDX_Text(dx, res::IDC_OCCURRENCES, m_occurrences);
        win::DDV_MinMaxUInt(dx, m_occurrences, kMinimumOccurrences, kMaximumOccurrences);
    }
    win::DDX_Control(dx, res::IDC_OCCURRENCES, m_occurrencesEdit);
    win::DDX_Control(dx, res::IDC_NO_REPEAT, m_noRepeatButton);
    win::DDX_Control(dx, res::IDC_REPEATS, m_repeatsButton);
    win::DDX_Control(dx, res::IDC_NEVER_ENDS, m_neverEndsButton);
    win::DDX_Control(dx, res::IDC_ENDS_AFTER, m_endsAfterButton);
    // The Days column. The second day is only read while it can be edited.
    win::DDX_Radio(dx, res::IDC_ON_DAY, m_days.monthDays);
    win::DDX_CBIndex(dx, res::IDC_WEEK, m_days.week);
    win::DDX_CBIndex(dx, res::IDC_WEEKDAY, m_days.weekday);
    win::DDX_Check(dx, res::IDC_ALSO_ON_DAY, m_days.alsoOnDay);
    if (!dx->m_bSaveAndValidate || (m_repeat == Repeats && m_unit == Month && m_days.monthDays == OnDayOfMonth &&
                                    m_days.alsoOnDay)) {
        win::DDX_Text(dx, res::IDC_DAY2, m_days.day2);
        win::DDV_MinMaxUInt(dx, m_days.day2, 1, 31);
    }
    win::DDX_Radio(dx, res::IDC_KEEP_DATE, m_days.businessDay);
    win::DDX_Control(dx, res::IDC_EXCEPTIONS_LIST, m_exceptionsList);
    if (dx->m_bSaveAndValidate)
        m_description = Trimmed(m_description);
    if (m_payment)
        win::DDX_Radio(dx, res::IDC_SCOPE_THIS, m_scope);
}

bool CTransEditDlg::OnInitDialog()
{
    win::CDialog::OnInitDialog();
    if (m_mode == EditMode)
        SetDlgItemText(win::IDOK, win::LoadString(res::IDS_UPDATE_TRANSACTION));
    if (auto* picker = GetDlgItemAs<win::CDateTimeCtrl>(res::IDC_DATE))
        SetUpDatePicker(*picker);
    EnableRepeatControls(m_repeat != DoesNotRepeat);
    EnableOccurrences(m_ending != NeverEnds);
    m_occurrencesSpin.SetRange(static_cast<int>(kMinimumOccurrences), kSpinUpperBound);
    m_exceptionsList.SetExtendedStyle(win::LVS_EX_FULLROWSELECT);
    m_exceptionsList.InsertColumn(0, win::LoadString(res::IDS_DATE), win::LVCFMT_LEFT, win::ScaleForFont(72));
    m_exceptionsList.InsertColumn(1, win::LoadString(res::IDS_CHANGE_COLUMN), win::LVCFMT_LEFT,
                                  win::ScaleForFont(170));
    ShowExceptions(0);
    UpdatePreview();
    if (m_payment) {
        m_shownScope = m_scope;
        EnableForScope();
    } else {
        for (int id : {res::IDC_SCOPE_GROUP, res::IDC_SCOPE_THIS, res::IDC_SCOPE_LATER, res::IDC_SCOPE_EVERY})
            if (win::CWnd* control = GetDlgItem(id))
                control->ShowWindow(false);
    }
    if (m_mode != EditMode)
        return true;
    // Editing usually means changing the amount: start there, all of it selected.
    if (auto* amountEdit = GetDlgItemAs<win::CEdit>(res::IDC_AMOUNT)) {
        GotoDlgCtrl(*amountEdit);
        amountEdit->SetSel(0, -1);
        amountEdit->ScrollCaret();
    }
    return false;
}

void CTransEditDlg::EnableRepeatControls(bool on)
{
    m_stepCombo.EnableWindow(on);
    m_unitCombo.EnableWindow(on);
    m_neverEndsButton.EnableWindow(on);
    m_endsAfterButton.EnableWindow(on);
    if (on) {
        win::CDataExchange exchange(*this, true);
        win::DDX_Radio(&exchange, res::IDC_NEVER_ENDS, m_ending);
        EnableOccurrences(m_ending != NeverEnds);
    } else {
        m_occurrencesEdit.EnableWindow(false);
        m_occurrencesSpin.EnableWindow(false);
    }
}

void CTransEditDlg::EnableOccurrences(bool on)
{
    m_occurrencesEdit.EnableWindow(on);
    m_occurrencesSpin.EnableWindow(on);
}

void CTransEditDlg::UpdatePreview()
{
    auto* picker = GetDlgItemAs<win::CDateTimeCtrl>(res::IDC_DATE);
    TimeValue date = 0;
    const bool hasDate = picker && picker->HasCompleteDate() && picker->GetTime(date);
    date = hasDate ? ToTenOClock(date) : m_date;
    // One payment's date is no date of the rule: the rule's own dates are shown.
    if (m_payment && m_shownScope == ThisPayment)
        date = m_payment->starts[EveryPayment].date;
    // The choices as OK reads them, without its messages.
    std::int32_t repeat = -1, step = -1, unit = -1, ending = -1;
    win::CDataExchange exchange(*this, true);
    win::DDX_Radio(&exchange, res::IDC_NO_REPEAT, repeat);
    win::DDX_CBIndex(&exchange, res::IDC_STEP, step);
    win::DDX_CBIndex(&exchange, res::IDC_UNIT, unit);
    win::DDX_Radio(&exchange, res::IDC_NEVER_ENDS, ending);
    EnableDayControls(repeat, unit, date);
    if (!hasDate) {
        SetDlgItemText(res::IDC_PREVIEW, win::LoadString(res::IDS_PREVIEW_ENTER_DATE));
        return;
    }
    DayChoices days;
    if (!ReadDayChoices(days) && repeat == Repeats && unit == Month) {
        SetDlgItemText(res::IDC_PREVIEW, win::LoadString(res::IDS_PREVIEW_ENTER_DAY2));
        return;
    }
    unsigned occurrences = 0;
    if (repeat == Repeats && ending == EndsAfter &&
        !(win::ParseDialogUnsigned(GetDlgItemText(res::IDC_OCCURRENCES), occurrences) &&
          occurrences >= kMinimumOccurrences && occurrences <= kMaximumOccurrences)) {
        SetDlgItemText(res::IDC_PREVIEW, win::LoadString(res::IDS_PREVIEW_ENTER_OCCURRENCES));
        return;
    }
    const auto rule = RuleFor(repeat, step, unit, ending, occurrences, date, days);
    SetDlgItemText(res::IDC_PREVIEW, DescribeNextOccurrences(date, *rule, m_window));
}

bool CTransEditDlg::ReadDayChoices(DayChoices& days)
{
    win::CDataExchange exchange(*this, true);
    win::DDX_Radio(&exchange, res::IDC_ON_DAY, days.monthDays);
    win::DDX_CBIndex(&exchange, res::IDC_WEEK, days.week);
    win::DDX_CBIndex(&exchange, res::IDC_WEEKDAY, days.weekday);
    win::DDX_Check(&exchange, res::IDC_ALSO_ON_DAY, days.alsoOnDay);
    win::DDX_Radio(&exchange, res::IDC_KEEP_DATE, days.businessDay);
    if (days.monthDays != OnDayOfMonth || !days.alsoOnDay)
        return true;
    return win::ParseDialogUnsigned(GetDlgItemText(res::IDC_DAY2), days.day2) && days.day2 >= 1 && days.day2 <= 31;
}

void CTransEditDlg::EnableDayControls(std::int32_t repeat, std::int32_t unit, TimeValue date)
{
    const bool monthly = repeat == Repeats && unit == Month;
    int onWeekday = 0, alsoOnDay = 0;
    if (auto* button = GetDlgItemAs<win::CButton>(res::IDC_ON_WEEKDAY))
        onWeekday = button->GetCheck();
    if (auto* button = GetDlgItemAs<win::CButton>(res::IDC_ALSO_ON_DAY))
        alsoOnDay = button->GetCheck();
    auto enable = [this](int id, bool on) {
        if (win::CWnd* control = GetDlgItem(id))
            control->EnableWindow(on);
    };
    for (int id : {res::IDC_ON_DAY, res::IDC_ON_WEEKDAY})
        enable(id, monthly);
    enable(res::IDC_WEEK, monthly && onWeekday);
    enable(res::IDC_WEEKDAY, monthly && onWeekday);
    enable(res::IDC_ALSO_ON_DAY, monthly && !onWeekday);
    enable(res::IDC_DAY2, monthly && !onWeekday && alsoOnDay);
    if (m_payment && m_shownScope == ThisPayment)
        for (int id : {res::IDC_ON_DAY, res::IDC_ON_WEEKDAY, res::IDC_WEEK, res::IDC_WEEKDAY, res::IDC_ALSO_ON_DAY,
                       res::IDC_DAY2})
            enable(id, false);
    for (int id : {res::IDC_KEEP_DATE, res::IDC_BUSINESS_BEFORE, res::IDC_BUSINESS_AFTER, res::IDC_BUSINESS_NEAREST})
        enable(id, !m_payment || m_shownScope != ThisPayment);
    // The day a monthly rule of this date falls on: a given rule's own, while its date stands.
    int day = SplitDate(date).day;
    if (m_given && m_given->rule->GetType() == RepeatMonthly && ToTenOClock(date) == ToTenOClock(m_given->date))
        day = static_cast<const CDateRepeaterMonthly&>(*m_given->rule).day;
    std::string onDay = win::LoadString(res::IDS_ON_LAST_DAY);
    if (day >= 1 && day <= 28) {
        onDay = win::LoadString(res::IDS_ON_DAY);
        onDay.replace(onDay.find("%1"), 2, std::to_string(day));
    }
    SetDlgItemText(res::IDC_ON_DAY, onDay);
}

// Scope: an edit made from one of the transaction's payments.

CTransEditDlg::GivenRule CTransEditDlg::CopyGiven(const GivenRule& given)
{
    return GivenRule{CopyRepeater(*given.rule), given.date,   given.repeat,      given.step,
                     given.unit,               given.ending, given.occurrences, given.days};
}

void CTransEditDlg::SetPayment(const ListedOccurrence& payment, std::unique_ptr<CDateRepeater> laterRule)
{
    // The transaction's values come first (SetTransaction).
    if (!m_given)
        return;
    const std::int32_t amount = GetSignedAmount();
    const std::string description = m_description;
    GivenRule every = CopyGiven(*m_given);
    GivenRule later = CopyGiven(every);
    if (laterRule) {
        // What the editor shows of the later series' rule, as it would show a transaction
        // of its own.
        SetTransaction(ToTenOClock(payment.due), description, amount, *laterRule);
        later = CopyGiven(*m_given);
        SetTransaction(every.date, description, amount, *every.rule);
    }
    const TimeValue laterDate = laterRule ? ToTenOClock(payment.due) : every.date;
    m_payment = Payment{payment,
                        {Start{ToTenOClock(payment.taken), payment.amount, CopyGiven(every)},
                         Start{laterDate, amount, std::move(later)}, Start{every.date, amount, CopyGiven(every)}},
                        description,
                        m_tentative};
    // No pointer into the record outlives the run.
    m_payment->listed.exception = nullptr;
    m_scope = m_shownScope = EveryPayment;
}

void CTransEditDlg::ShowChoices(const GivenRule& given)
{
    std::int32_t repeat = given.repeat, step = given.step, unit = given.unit, ending = given.ending;
    unsigned occurrences = given.occurrences;
    DayChoices days = given.days;
    win::CDataExchange exchange(*this, false);
    win::DDX_Radio(&exchange, res::IDC_NO_REPEAT, repeat);
    win::DDX_CBIndex(&exchange, res::IDC_STEP, step);
    win::DDX_CBIndex(&exchange, res::IDC_UNIT, unit);
    win::DDX_Radio(&exchange, res::IDC_NEVER_ENDS, ending);
    win::DDX_Text(&exchange, res::IDC_OCCURRENCES, occurrences);
    win::DDX_Radio(&exchange, res::IDC_ON_DAY, days.monthDays);
    win::DDX_CBIndex(&exchange, res::IDC_WEEK, days.week);
    win::DDX_CBIndex(&exchange, res::IDC_WEEKDAY, days.weekday);
    win::DDX_Check(&exchange, res::IDC_ALSO_ON_DAY, days.alsoOnDay);
    win::DDX_Text(&exchange, res::IDC_DAY2, days.day2);
    win::DDX_Radio(&exchange, res::IDC_KEEP_DATE, days.businessDay);
}

void CTransEditDlg::ChangeScope(std::int32_t scope)
{
    if (!m_payment || scope == m_shownScope)
        return;
    const Start& from = m_payment->starts[m_shownScope];
    const Start& to = m_payment->starts[scope];

    if (auto* picker = GetDlgItemAs<win::CDateTimeCtrl>(res::IDC_DATE)) {
        TimeValue shown = 0;
        if (picker->HasCompleteDate() && picker->GetTime(shown) && ToTenOClock(shown) == ToTenOClock(from.date))
            picker->SetTime(to.date);
    }

    // The amount as the field would show the previous choice's: then it takes the new one's.
    auto* debit = GetDlgItemAs<win::CButton>(res::IDC_DEBIT);
    const std::string typed = GetDlgItemText(res::IDC_AMOUNT);
    const bool typedDebit = debit && debit->GetCheck() != 0;
    auto showAmount = [this](std::int32_t amount) {
        unsigned magnitude = amount < 0 ? 0u - static_cast<unsigned>(amount) : static_cast<unsigned>(amount);
        std::int32_t sign = amount >= 0 ? Credit : Debit;
        win::CDataExchange exchange(*this, false);
        win::DDX_Amount(&exchange, res::IDC_AMOUNT, magnitude);
        win::DDX_Radio(&exchange, res::IDC_DEBIT, sign);
    };
    showAmount(from.amount);
    if (GetDlgItemText(res::IDC_AMOUNT) == typed && typedDebit == (from.amount < 0)) {
        showAmount(to.amount);
    } else {
        // What the user typed stays.
        SetDlgItemText(res::IDC_AMOUNT, typed);
        std::int32_t sign = typedDebit ? Debit : Credit;
        win::CDataExchange exchange(*this, false);
        win::DDX_Radio(&exchange, res::IDC_DEBIT, sign);
    }

    if (scope == ThisPayment) {
        // One payment keeps everything else of the transaction.
        std::string description = m_payment->description;
        int tentative = m_payment->tentative;
        win::CDataExchange exchange(*this, false);
        win::DDX_Text(&exchange, res::IDC_DESCRIPTION, description);
        win::DDX_Check(&exchange, res::IDC_TENTATIVE, tentative);
        ShowChoices(to.given);
    } else {
        // The ending as the previous choice's rule showed it: then the new rule's.
        std::int32_t repeat = -1, ending = -1;
        win::CDataExchange exchange(*this, true);
        win::DDX_Radio(&exchange, res::IDC_NO_REPEAT, repeat);
        win::DDX_Radio(&exchange, res::IDC_NEVER_ENDS, ending);
        unsigned occurrences = 0;
        const bool occurrencesAsShown = win::ParseDialogUnsigned(GetDlgItemText(res::IDC_OCCURRENCES), occurrences) &&
                                        occurrences == from.given.occurrences;
        if (repeat == from.given.repeat && ending == from.given.ending && occurrencesAsShown) {
            std::int32_t newRepeat = to.given.repeat, newEnding = to.given.ending;
            unsigned newOccurrences = to.given.occurrences;
            win::CDataExchange show(*this, false);
            win::DDX_Radio(&show, res::IDC_NO_REPEAT, newRepeat);
            win::DDX_Radio(&show, res::IDC_NEVER_ENDS, newEnding);
            win::DDX_Text(&show, res::IDC_OCCURRENCES, newOccurrences);
        }
    }
    m_given = CopyGiven(to.given);
    m_shownScope = scope;
    EnableForScope();
    UpdatePreview();
}

void CTransEditDlg::EnableForScope()
{
    const bool wholeSeries = m_shownScope != ThisPayment;
    for (int id : {res::IDC_DESCRIPTION, res::IDC_NO_REPEAT, res::IDC_REPEATS, res::IDC_TENTATIVE})
        if (win::CWnd* control = GetDlgItem(id))
            control->EnableWindow(wholeSeries);
    const auto* repeats = GetDlgItemAs<win::CButton>(res::IDC_REPEATS);
    EnableRepeatControls(wholeSeries && repeats && repeats->GetCheck() != 0);
}

std::unique_ptr<TransactionData> CTransEditDlg::ChangePayment(const TransactionData& record) const
{
    if (!m_payment)
        return CopyTransaction(record);
    const ListedOccurrence& listed = m_payment->listed;
    PaymentException exception;
    exception.date = listed.due;
    if (const PaymentException* found = FindException(record, listed.due))
        exception = *found;
    if (ToTenOClock(m_date) != ToTenOClock(listed.taken))
        exception.moveTo = ToTenOClock(m_date);
    const std::int32_t amount = GetSignedAmount();
    if (amount != listed.amount) {
        exception.amount.reset();
        if (amount != record.amount)
            exception.amount = amount;
    }
    if (!exception.skip && !exception.moveTo && !exception.amount)
        return WithoutException(record, listed.due);
    return WithException(record, exception);
}

void CTransEditDlg::ShowExceptions(int select)
{
    const std::vector<PaymentException> none;
    const std::vector<PaymentException>& exceptions = m_exceptions ? *m_exceptions : none;
    std::vector<win::ListRow> rows;
    std::size_t skipped = 0;
    for (const PaymentException& exception : exceptions) {
        win::ListRow row;
        row.texts = {FormatDate(exception.date), DescribeException(exception)};
        rows.push_back(std::move(row));
        skipped += exception.skip ? 1 : 0;
    }
    m_exceptionsList.ReplaceAllRows(std::move(rows));
    const int count = m_exceptionsList.GetItemCount();
    if (count > 0)
        m_exceptionsList.SetItemState(std::clamp(select, 0, count - 1), win::LVIS_SELECTED, win::LVIS_SELECTED);
    // Nothing to list or restore: the column is out of the way of Tab.
    m_exceptionsList.EnableWindow(count > 0);
    if (win::CWnd* restore = GetDlgItem(res::IDC_RESTORE_EXCEPTION))
        restore->EnableWindow(count > 0);
    std::string text;
    if (skipped == 1) {
        text = win::LoadString(res::IDS_PAYMENT_SKIPPED);
    } else if (skipped > 1) {
        text = win::LoadString(res::IDS_PAYMENTS_SKIPPED);
        text.replace(text.find("%1"), 2, std::to_string(skipped));
    }
    SetDlgItemText(res::IDC_SKIPPED_COUNT, text);
}

void CTransEditDlg::RestoreSelectedException()
{
    const int row = m_exceptionsList.GetNextItem(-1, win::LVNI_SELECTED);
    if (!m_exceptions || row < 0 || static_cast<std::size_t>(row) >= m_exceptions->size())
        return;
    m_exceptions->erase(m_exceptions->begin() + row);
    ShowExceptions(row);
    // The focus stays in the column: on the list while it has rows.
    if (m_exceptionsList.GetItemCount() > 0)
        GotoDlgCtrl(m_exceptionsList);
}
