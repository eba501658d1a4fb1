#pragma once

// CTransEditDlg: the Transaction Editor, in which the user enters a new transaction or
// changes one. It only collects a description, an insertion date, an amount with its
// sign, a repeat rule and whether it is a what-if; its callers store them (the main window adds, the transactions
// list updates).

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "model/date_repeater.h"
#include "model/dates.h"
#include "model/payment_exceptions.h"
#include "model/transaction_data.h"
#include "ui/occurrence_preview_text.h"
#include "ui/platform/controls.h"
#include "ui/platform/dialog.h"
#include "ui/platform/list_ctrl.h"

class CTransEditDlg : public win::CDialog {
public:
    enum Mode : std::int32_t { AddMode = 0, EditMode = 1 };

    // The choices are indexes of the checked button of a group or of a combo box's
    // selection; -1 when none is checked or selected.
    enum Sign : std::int32_t { Debit = 0, Credit = 1 };
    enum Repeat : std::int32_t { DoesNotRepeat = 0, Repeats = 1 };
    enum Unit : std::int32_t { Day = 0, Week = 1, Month = 2, Year = 3 };
    enum Ending : std::int32_t { NeverEnds = 0, EndsAfter = 1 };

    // The Days column: which days of the month a monthly rule falls on, and where any
    // rule's dates go on a day that is not a business day.
    enum MonthDays : std::int32_t { OnDayOfMonth = 0, OnWeekdayOfMonth = 1 };
    struct DayChoices {
        std::int32_t monthDays = OnDayOfMonth;
        // 0 to 3 for the first to the fourth, 4 for the last; the weekday 0 for Sunday.
        std::int32_t week = 0;
        std::int32_t weekday = 0;
        // "Also on day": a second day each month (only with OnDayOfMonth).
        std::int32_t alsoOnDay = 0;
        unsigned day2 = 15;
        // A BusinessDayMove: 0 keeps the date, then before, after, nearest.
        std::int32_t businessDay = 0;

        friend bool operator==(const DayChoices&, const DayChoices&) = default;
    };

    // Occurrences the user may ask for when the rule ends.
    static constexpr unsigned kMinimumOccurrences = 2;
    static constexpr unsigned kMaximumOccurrences = 9999;
    // The up-down control goes further than OK accepts.
    static constexpr int kSpinUpperBound = 32767;
    // The amount must fit a signed 32-bit amount.
    static constexpr unsigned kMaximumAmount = 2147483647u;
    // Room for the largest amount with its grouping commas: 2,147,483,647.
    static constexpr int kMaxAmountChars = 13;

    explicit CTransEditDlg(Mode mode, win::CWnd* parent = nullptr);

    // Fills the editor from an existing transaction (edit mode, before the run). The rule
    // is kept as it is, whatever the editor could build, as long as the user changes
    // neither the date nor any repeat choice.
    void SetTransaction(TimeValue date, const std::string& description, std::int32_t amount,
                        const CDateRepeater& rule);

    // The What-if check box: whether the transaction is tentative.
    void SetTentative(bool tentative) { m_tentative = tentative ? 1 : 0; }
    bool IsTentative() const { return m_tentative != 0; }
    // The transaction's payments that differ from its rule, listed in the Changed Payments
    // column; the user may restore some (they are no longer exceptions once OK is pressed).
    void SetExceptions(std::vector<PaymentException> exceptions) { m_exceptions = std::move(exceptions); }
    // The exceptions the user kept (all given ones until OK), or null when none were given.
    const std::vector<PaymentException>* GetExceptions() const { return m_exceptions ? &*m_exceptions : nullptr; }
    // Writes the values confirmed with OK into a record: description, date, signed
    // amount, a rule from CreateRepeater, the what-if flag and the exceptions kept, when
    // some were given; anything else it holds stays.
    void ApplyTo(TransactionData& record) const;
    // A new record of those values.
    std::unique_ptr<TransactionData> CreateTransaction() const;

    // A new rule from the repeat choices (a copy of the given rule while they and the date
    // are as it showed them); the caller owns it.
    std::unique_ptr<CDateRepeater> CreateRepeater() const;
    // The rule these choices make for a transaction dated date: what CreateRepeater
    // gives once they are confirmed (unless they keep the given rule), and what the
    // preview shows while they are not.
    static std::unique_ptr<CDateRepeater> MakeRepeater(std::int32_t repeat, std::int32_t step, std::int32_t unit,
                                                       std::int32_t ending, unsigned occurrences, TimeValue date,
                                                       const DayChoices& days);
    static std::unique_ptr<CDateRepeater> MakeRepeater(std::int32_t repeat, std::int32_t step, std::int32_t unit,
                                                       std::int32_t ending, unsigned occurrences, TimeValue date)
    {
        return MakeRepeater(repeat, step, unit, ending, occurrences, date, DayChoices());
    }

    // The Cash Flow's window, for the preview of the rule's next dates. Without one the
    // preview lists the rule's first dates and says nothing of the Cash Flow.
    void SetCashFlowWindow(const CashFlowWindow& window) { m_window = window; }

    // What an edit made from one of the transaction's payments (a Cash Flow row of a
    // repeating transaction) applies to. Without a payment the editor does not ask, and
    // an edit applies to every payment.
    enum Scope : std::int32_t { ThisPayment = 0, ThisAndLater = 1, EveryPayment = 2 };
    // Asks the question (after SetTransaction, before the run): the payment as the Cash
    // Flow lists it, and the rule of the series that would start with it (null when it is
    // the first payment: this and later payments are then every payment). Every payment
    // is chosen at first. Each choice shows what it starts from: the transaction's date
    // for every payment, the payment's own date (before a business-day move) for this and
    // later, the date and amount it is listed with for this payment only, which can
    // change nothing else. A field the user has changed keeps what was typed.
    void SetPayment(const ListedOccurrence& payment, std::unique_ptr<CDateRepeater> laterRule);
    bool AsksScope() const { return m_payment.has_value(); }
    std::int32_t GetScope() const { return m_scope; }
    // With ThisPayment confirmed: the record with the payment's exception set to the date
    // and amount confirmed (none when both are as the rule gives them).
    std::unique_ptr<TransactionData> ChangePayment(const TransactionData& record) const;

    // The values confirmed with OK.
    const std::string& GetDescription() const { return m_description; }
    TimeValue GetDate() const { return m_date; }
    // The amount made negative for a debit.
    std::int32_t GetSignedAmount() const;

    Mode GetMode() const { return m_mode; }
    unsigned GetAmount() const { return m_amount; }
    std::int32_t GetSignChoice() const { return m_sign; }
    std::int32_t GetRepeatChoice() const { return m_repeat; }
    std::int32_t GetUnitIndex() const { return m_unit; }
    std::int32_t GetStepIndex() const { return m_step; }
    std::int32_t GetEndingChoice() const { return m_ending; }
    unsigned GetOccurrences() const { return m_occurrences; }
    const DayChoices& GetDayChoices() const { return m_days; }

protected:
    bool OnInitDialog() override;
    void DoDataExchange(win::CDataExchange* dx) override;

private:
    // Combo boxes of the step and unit, the ending buttons and, when the rule has an
    // ending, the occurrences.
    void EnableRepeatControls(bool on);
    // The occurrences edit and its up-down control.
    void EnableOccurrences(bool on);
    // Shows the next dates of the rule the controls describe now, or what the user must
    // enter first to see them.
    void UpdatePreview();
    // The rule the choices make for a transaction dated date: the given rule while they
    // and the date are those it was shown with, else a rule built from them.
    std::unique_ptr<CDateRepeater> RuleFor(std::int32_t repeat, std::int32_t step, std::int32_t unit,
                                           std::int32_t ending, unsigned occurrences, TimeValue date,
                                           const DayChoices& days) const;
    // The Days column's controls: the monthly ones only for a monthly rule, the weekday
    // lists only with "On the", the second day only when it is checked; "On day N" names
    // the day the date gives.
    void EnableDayControls(std::int32_t repeat, std::int32_t unit, TimeValue date);
    // The Days column as the controls show it now, without messages; false when the
    // second day is needed and is not a day of the month.
    bool ReadDayChoices(DayChoices& days);
    // The Changed Payments column: one row per exception, the count of skipped payments,
    // Restore for the selected row (the row after it selected next).
    void ShowExceptions(int select);
    void RestoreSelectedException();

    Mode m_mode;
    std::string m_description;
    unsigned m_amount = 0;
    TimeValue m_date;
    std::int32_t m_sign = Debit;
    std::int32_t m_repeat = DoesNotRepeat;
    win::CButton m_noRepeatButton;
    win::CButton m_repeatsButton;
    std::int32_t m_unit = Day;
    win::CComboBox m_unitCombo;
    std::int32_t m_step = 0;
    win::CComboBox m_stepCombo;
    std::int32_t m_ending = NeverEnds;
    unsigned m_occurrences = kMinimumOccurrences;
    win::CEdit m_occurrencesEdit;
    win::CButton m_neverEndsButton;
    win::CButton m_endsAfterButton;
    win::CSpinButtonCtrl m_occurrencesSpin;
    std::optional<CashFlowWindow> m_window;
    DayChoices m_days;
    int m_tentative = 0;
    std::optional<std::vector<PaymentException>> m_exceptions;
    win::CListCtrl m_exceptionsList;

    // The transaction's own rule and what the editor showed of it (SetTransaction).
    struct GivenRule {
        std::unique_ptr<CDateRepeater> rule;
        TimeValue date;
        std::int32_t repeat, step, unit, ending;
        unsigned occurrences;
        DayChoices days;
    };
    std::optional<GivenRule> m_given;

    // The payment an edit from a Cash Flow row starts from, and what each choice of scope
    // shows at first.
    struct Start {
        TimeValue date;
        std::int32_t amount;
        GivenRule given;
    };
    struct Payment {
        ListedOccurrence listed;
        Start starts[3];
        std::string description;
        int tentative;
    };
    // Scope: shows what the choice starts from in the fields still showing what the
    // previous choice started from, and enables what the choice can change.
    void ChangeScope(std::int32_t scope);
    void EnableForScope();
    // Shows the repeat and day choices of a rule.
    void ShowChoices(const GivenRule& given);
    static GivenRule CopyGiven(const GivenRule& given);
    std::optional<Payment> m_payment;
    std::int32_t m_scope = EveryPayment;
    std::int32_t m_shownScope = EveryPayment;
};
