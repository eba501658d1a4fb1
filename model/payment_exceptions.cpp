#include "model/payment_exceptions.h"

#include "model/business_calendar.h"
#include "model/occurrence_walk.h"
#include "model/transaction_data.h"

#include <algorithm>
#include <limits>

namespace {

// The exceptions' first one due on the day or later.
std::vector<PaymentException>::const_iterator FirstFrom(const std::vector<PaymentException>& exceptions,
                                                        std::int64_t day)
{
    return std::partition_point(exceptions.begin(), exceptions.end(),
                                [day](const PaymentException& exception) { return LocalDay(exception.date) < day; });
}

bool IsTwiceAMonth(const CDateRepeater& rule)
{
    return rule.GetType() == RepeatMonthly && static_cast<const CDateRepeaterMonthly&>(rule).PerMonth() == 2;
}

// A new rule as this one with another count.
std::unique_ptr<CDateRepeater> WithCount(const CDateRepeater& rule, std::uint32_t count)
{
    const BusinessDayMove move = rule.GetBusinessDay();
    switch (rule.GetType()) {
    case RepeatDaily:
        return std::make_unique<CDateRepeaterDaily>(rule.delta, count, move);
    case RepeatWeekly:
        return std::make_unique<CDateRepeaterWeekly>(rule.GetDelta(), count, move);
    case RepeatMonthly: {
        const auto& monthly = static_cast<const CDateRepeaterMonthly&>(rule);
        return std::make_unique<CDateRepeaterMonthly>(rule.delta, count, monthly.GetDay(), monthly.GetDays(), move);
    }
    case RepeatYearly:
        return std::make_unique<CDateRepeaterYearly>(rule.delta, count, move);
    default:
        return std::make_unique<CDateRepeaterOnce>(move);
    }
}

// Where a rule stepping forward should have an occurrence due on `due`, by the calendar
// arithmetic of its kind; none when it cannot have one there. Still to be checked.
std::optional<std::int64_t> EstimatedIndex(const CDateRepeater& rule, TimeValue date, TimeValue due)
{
    std::int64_t steps = 0;
    switch (rule.GetType()) {
    case RepeatDaily:
    case RepeatWeekly:
        // Two 10:00 values are whole days apart, give or take a change of the clock.
        steps = due >= date ? (due - date + kSecondsPerDay / 2) / kSecondsPerDay : -1;
        break;
    case RepeatMonthly: {
        // Twice a month, the month's second date has the odd index.
        const auto& monthly = static_cast<const CDateRepeaterMonthly&>(rule);
        const CalendarDate from = SplitDate(date), to = SplitDate(due);
        steps = (std::int64_t(to.year) - from.year) * 12 + (to.month - from.month);
        if (steps < 0 || steps % rule.delta != 0)
            return std::nullopt;
        const bool second = monthly.PerMonth() == 2 && to.day != monthly.DayInMonth(to.year, to.month, 0);
        return steps / rule.delta * monthly.PerMonth() + (second ? 1 : 0);
    }
    case RepeatYearly:
        steps = std::int64_t(SplitDate(due).year) - SplitDate(date).year;
        break;
    default:
        return std::int64_t(0);
    }
    if (steps < 0 || steps % rule.delta != 0)
        return std::nullopt;
    return steps / rule.delta;
}

} // namespace

std::optional<std::uint32_t> OccurrenceIndexOn(const CDateRepeater& rule, TimeValue date, TimeValue due)
{
    // Occurrences are at 10:00 of their days, as `due` is: one day, one value.
    const bool twiceAMonth = IsTwiceAMonth(rule);
    std::uint32_t n = 0;
    if (rule.delta > 0) {
        // Most often the rule's arithmetic finds it at once.
        const std::optional<std::int64_t> estimate = EstimatedIndex(rule, date, due);
        const std::int64_t end = rule.count != 0 ? std::int64_t(rule.count) : std::int64_t(1) << 32;
        if (estimate && *estimate >= 0 && *estimate < end) {
            const auto at = static_cast<std::uint32_t>(*estimate);
            if (rule.GetOccurrence(date, at) == due &&
                (!twiceAMonth || at % 2 == 0 || rule.GetOccurrence(date, at - 1) < due))
                return at;
        }
        n = FirstIndexBefore(rule, date, due);
    } else if (rule.delta < 0 && rule.count != 0 &&
               (rule.GetType() == RepeatDaily || rule.GetType() == RepeatWeekly)) {
        // Stepping back by days: start a little before where the day is reached.
        const std::int64_t steps = (date - due) / kSecondsPerDay / -std::int64_t(rule.delta) - 2;
        if (steps > 0 && steps < rule.count && rule.GetOccurrence(date, static_cast<std::uint32_t>(steps)) > due)
            n = static_cast<std::uint32_t>(steps);
    }
    const std::uint32_t first = n;
    TimeValue previous = 0;
    for (;; ++n) {
        if (rule.count != 0 && n >= rule.count)
            return std::nullopt;
        const TimeValue occurrence = rule.GetOccurrence(date, n);
        // Without a count, the rule ends before an occurrence that does not move on.
        const bool sameMonthsDay = twiceAMonth && n % 2 == 1 && occurrence == previous;
        if (rule.count == 0 && n > first && occurrence <= previous && !sameMonthsDay)
            return std::nullopt;
        if (occurrence == due)
            return n;
        // A rule stepping forward has passed the day; one standing still repeats its
        // first dates; one stepping back is a month past it, beyond any of a month's two
        // dates coming back to it.
        if ((rule.delta > 0 && occurrence > due) || (rule.delta == 0 && n >= 1) ||
            (rule.delta < 0 && occurrence < due - 32 * kSecondsPerDay) ||
            n == std::numeric_limits<std::uint32_t>::max())
            return std::nullopt;
        previous = occurrence;
    }
}

constexpr std::int64_t kLeastDay = std::numeric_limits<std::int64_t>::min();
constexpr std::int64_t kGreatestDay = std::numeric_limits<std::int64_t>::max();

ExceptionCursor::ExceptionCursor(const std::vector<PaymentException>& exceptions, const CDateRepeater& rule,
                                 TimeValue date)
    : m_exceptions(exceptions)
    , m_rule(rule)
    , m_date(date)
    , m_forward(rule.delta > 0)
    , m_nextDay(exceptions.empty() ? kGreatestDay : kLeastDay)
{
    m_found.reserve(exceptions.size());
}

const PaymentException* ExceptionCursor::FindFrom(std::uint32_t n, std::int64_t day)
{
    if (m_exceptions.empty())
        return nullptr;
    const PaymentException* found = nullptr;
    if (!m_forward) {
        // Rules that stand still or step back come back to days: ask which occurrence is
        // the day's first.
        const auto at = FirstFrom(m_exceptions, day);
        if (at != m_exceptions.end() && LocalDay(at->date) == day &&
            OccurrenceIndexOn(m_rule, m_date, TenOClockOfLocalDay(day)) == n)
            found = &*at;
    } else {
        // Stepping forward, the days come in order: the day's first occurrence is the one
        // whose day differs from the one before.
        auto dayAt = [this](std::size_t i) {
            return i < m_exceptions.size() ? LocalDay(m_exceptions[i].date) : kGreatestDay;
        };
        if (m_nextDay == kLeastDay) {
            m_next = static_cast<std::size_t>(FirstFrom(m_exceptions, day) - m_exceptions.begin());
            m_nextDay = dayAt(m_next);
        } else if (day == m_previousDay) {
            return nullptr;
        }
        while (m_nextDay < day)
            m_nextDay = dayAt(++m_next);
        m_previousDay = day;
        if (m_nextDay == day)
            found = &m_exceptions[m_next];
    }
    if (found)
        m_found.push_back({static_cast<std::size_t>(found - m_exceptions.data()), n});
    return found;
}

std::vector<ListedOccurrence> ChangedOccurrences(const CDateRepeater& rule, TimeValue date, std::int32_t amount,
                                                 const std::vector<PaymentException>& exceptions,
                                                 const BusinessCalendar& calendar, TimeValue from, TimeValue to,
                                                 const ExceptionCursor* walked)
{
    std::vector<ListedOccurrence> changed;
    if (exceptions.empty())
        return changed;
    changed.reserve(exceptions.size());
    static const std::vector<ExceptionCursor::Found> none;
    const std::vector<ExceptionCursor::Found>& found = walked ? walked->FoundSoFar() : none;
    std::size_t nextFound = 0;
    // An occurrence kept on its due date is taken within a move's reach of it.
    const bool moves = rule.GetBusinessDay() != BusinessDayMove::Keep;
    const TimeValue dueFrom = moves ? AddDays(from, -BusinessCalendar::kMoveReach) : from;
    const TimeValue dueTo = moves ? AddDays(to, BusinessCalendar::kMoveReach) : to;
    for (std::size_t e = 0; e < exceptions.size(); ++e) {
        const PaymentException& exception = exceptions[e];
        if (exception.skip)
            continue;
        if (exception.moveTo ? *exception.moveTo < from || *exception.moveTo >= to
                             : exception.date < dueFrom || exception.date >= dueTo)
            continue;
        // A walk forward finds the exceptions in their order.
        while (nextFound < found.size() && found[nextFound].exception < e)
            ++nextFound;
        std::optional<std::uint32_t> index;
        TimeValue due = exception.date;
        if (nextFound < found.size() && found[nextFound].exception == e) {
            index = found[nextFound].n;
        } else {
            // A rule that comes back to days finds them in any order.
            auto sameException = [e](const ExceptionCursor::Found& f) { return f.exception == e; };
            const auto walkedAt =
                rule.delta > 0 ? found.end() : std::find_if(found.begin(), found.end(), sameException);
            if (walkedAt != found.end()) {
                index = walkedAt->n;
            } else {
                index = OccurrenceIndexOn(rule, date, exception.date);
                if (!index)
                    continue;
                due = rule.GetOccurrence(date, *index);
            }
        }
        const TimeValue taken = exception.moveTo ? *exception.moveTo : MovedOccurrence(due, rule, calendar);
        if (taken < from || taken >= to)
            continue;
        changed.push_back({*index, due, taken, exception.amount.value_or(amount), &exception});
    }
    return changed;
}

const PaymentException* FindException(const TransactionData& record, TimeValue due)
{
    const std::int64_t day = LocalDay(due);
    const auto found = FirstFrom(record.exceptions, day);
    return found != record.exceptions.end() && LocalDay(found->date) == day ? &*found : nullptr;
}

std::optional<std::uint32_t> OccurrenceIndex(const TransactionData& record, TimeValue due)
{
    return OccurrenceIndexOn(*record.repeater, record.date, ToTenOClock(due));
}

std::vector<ListedOccurrence> ListedOccurrences(const TransactionData& record, const BusinessCalendar& calendar,
                                                TimeValue from, TimeValue to)
{
    // A transaction of amount 0 lists nothing, whatever its exceptions say.
    std::vector<ListedOccurrence> listed;
    if (record.amount == 0 || from >= to)
        return listed;
    const CDateRepeater& rule = *record.repeater;
    const bool moves = rule.GetBusinessDay() != BusinessDayMove::Keep;
    ExceptionCursor exceptions(record.exceptions, rule, record.date);
    WalkOccurrenceDates(rule, record.date, moves ? AddDays(from, -BusinessCalendar::kMoveReach) : from,
                        moves ? AddDays(to, BusinessCalendar::kMoveReach) : to,
                        [&](std::uint32_t n, TimeValue due) {
                            if (exceptions.Find(n, LocalDay(due)))
                                return true;
                            const TimeValue taken = MovedOccurrence(due, rule, calendar);
                            if (taken >= from && taken < to)
                                listed.push_back({n, due, taken, record.amount, nullptr});
                            return true;
                        });
    const std::vector<ListedOccurrence> changed =
        ChangedOccurrences(rule, record.date, record.amount, record.exceptions, calendar, from, to, &exceptions);
    listed.insert(listed.end(), changed.begin(), changed.end());
    // Rows of one day stay in the order they came: the plain ones, then the changed ones.
    std::stable_sort(listed.begin(), listed.end(), [](const ListedOccurrence& a, const ListedOccurrence& b) {
        return LocalDay(a.taken) < LocalDay(b.taken);
    });
    return listed;
}

std::unique_ptr<TransactionData> WithException(const TransactionData& record, const PaymentException& exception)
{
    auto changed = CopyTransaction(record);
    PaymentException stored = exception;
    stored.date = ToTenOClock(stored.date);
    if (stored.moveTo)
        stored.moveTo = ToTenOClock(*stored.moveTo);
    const std::int64_t day = LocalDay(stored.date);
    auto& exceptions = changed->exceptions;
    const auto at = FirstFrom(exceptions, day);
    if (at != exceptions.end() && LocalDay(at->date) == day)
        exceptions[static_cast<std::size_t>(at - exceptions.begin())] = stored;
    else
        exceptions.insert(at, stored);
    return changed;
}

std::unique_ptr<TransactionData> WithoutException(const TransactionData& record, TimeValue due)
{
    auto changed = CopyTransaction(record);
    const std::int64_t day = LocalDay(due);
    auto& exceptions = changed->exceptions;
    const auto at = FirstFrom(exceptions, day);
    if (at != exceptions.end() && LocalDay(at->date) == day)
        exceptions.erase(at);
    return changed;
}

SplitSeries SplitAt(const TransactionData& record, TimeValue due)
{
    const CDateRepeater& rule = *record.repeater;
    const std::optional<std::uint32_t> index = OccurrenceIndex(record, due);
    if (!index || *index == 0)
        return {};
    const std::uint32_t k = *index;
    const TimeValue at = rule.GetOccurrence(record.date, k);
    std::uint32_t laterCount = rule.count == 0 ? 0 : rule.count - k;
    std::optional<PaymentException> skipped;
    if (rule.GetType() == RepeatYearly) {
        // A yearly rule takes its month and day from its start: from 1 March, standing
        // for 29 February in a common year, it would never come back to 29 February.
        const CalendarDate from = SplitDate(record.date), cut = SplitDate(at);
        if (from.month != cut.month || from.day != cut.day)
            return {};
    } else if (IsTwiceAMonth(rule) && k % 2 == 1) {
        // Cut at a month's second date: the later rule starts in that month too, its first
        // date skipped (a skipped occurrence still counts, so the count stays true).
        skipped = PaymentException{rule.GetOccurrence(record.date, k - 1), true, std::nullopt, std::nullopt};
        if (laterCount != 0)
            ++laterCount;
    }
    const std::int64_t cutDay = LocalDay(at);
    const auto firstLater = FirstFrom(record.exceptions, cutDay);

    SplitSeries split;
    split.first = CopyTransaction(record);
    split.first->repeater = WithCount(rule, k);
    split.first->exceptions.assign(record.exceptions.begin(), firstLater);

    split.later = CopyTransaction(record);
    split.later->date = at;
    split.later->repeater = WithCount(rule, laterCount);
    split.later->exceptions.clear();
    if (skipped)
        split.later->exceptions.push_back(*skipped);
    split.later->exceptions.insert(split.later->exceptions.end(), firstLater, record.exceptions.end());
    return split;
}
