#include "storage/data_file.h"

#include "common/decimal.h"
#include "storage/text_file.h"

#include <algorithm>
#include <charconv>
#include <span>

namespace DataFile {

namespace {

// The text of the named child of the current element, or empty when there is no such
// child. The check matters: a failed lookup leaves the previous child current.
std::string ChildTextOrEmpty(CXmlDocument& document, const char* name)
{
    return document.FindChildElement(name) ? document.GetChildText() : std::string();
}

std::string SignedText(std::int32_t value)
{
    return std::to_string(value);
}

// A date of the file. A text too short to be a date gives nothing (the caller's default
// stands); a day outside the years the program handles gives the nearer end of them.
std::optional<TimeValue> ReadFileDate(std::string_view text)
{
    const std::optional<TimeValue> date = ParseDate(text);
    if (!date)
        return std::nullopt;
    return ClampDate(*date);
}

// ReadFileDate, asking the calendar once for a date as the program writes it: a file
// may hold thousands of exceptions. Tells whether the text is the date as the program
// writes it.
std::optional<TimeValue> ReadExceptionDate(std::string_view text, bool& asWritten)
{
    // "MM/DD/YYYY": the numbers read as ReadDecimal reads them, without the calls.
    auto digits = [&text](std::size_t at, std::size_t count, std::int32_t& number) {
        number = 0;
        for (std::size_t i = at; i < at + count; ++i) {
            if (text[i] < '0' || text[i] > '9')
                return false;
            number = number * 10 + (text[i] - '0');
        }
        return true;
    };
    std::int32_t month = 0, day = 0, year = 0;
    if (text.size() >= 10 && digits(0, 2, month) && digits(3, 2, day) && digits(6, 4, year) &&
        year >= kEarliestYear && month >= 1 && month <= 12 && day >= 1 && day <= DaysInMonth(year, month)) {
        asWritten = text.size() == 10 && text[2] == '/' && text[5] == '/';
        // A day of the calendar: MakeDate without its carrying over.
        return TenOClockOfLocalDay(DayOfCalendarDate(year, month, day));
    }
    asWritten = false;
    return ReadFileDate(text);
}

// An amount as the program writes it, in `text`.
std::string_view WrittenAmount(std::int32_t amount, char (&text)[16])
{
    const auto end = std::to_chars(std::begin(text), std::end(text), amount).ptr;
    return {text, static_cast<std::size_t>(end - text)};
}

// Whether an Amount text is the amount as the program writes it.
bool AmountAsWritten(std::string_view text, std::int32_t amount)
{
    char written[16];
    return text == WrittenAmount(amount, written);
}

// The attribute values of an EXCEPTION start tag (from its name to before its "/>" or
// ">") as the program writes it, taken without the general reader: Date, then any of
// Skip, MoveTo and Amount, one space apart, in double quotes, not empty, of digits, '/'
// and '-' (no entity to decode). False for anything else, which the general reader then reads.
bool ReadWrittenException(std::string_view tag, std::span<std::string_view, 4> values)
{
    static constexpr std::string_view kStarts[] = {"EXCEPTION Date=\"", " Skip=\"", " MoveTo=\"", " Amount=\""};
    const char* at = tag.data();
    const char* const end = at + tag.size();
    for (std::size_t k = 0; k < std::size(kStarts); ++k) {
        const std::string_view start = kStarts[k];
        if (static_cast<std::size_t>(end - at) < start.size() || std::string_view(at, start.size()) != start) {
            if (k == 0)
                return false;
            continue;
        }
        at += start.size();
        const char* const value = at;
        while (at < end && ((*at >= '0' && *at <= '9') || *at == '/' || *at == '-'))
            ++at;
        if (at == value || at == end || *at != '"')
            return false;
        values[k] = std::string_view(value, static_cast<std::size_t>(at - value));
        ++at;
    }
    return at == end;
}

// The EXCEPTION children from the current child on, in date order; a second one for a
// day is passed over (the first in the file stays), as is one without a date. When every
// one of them stands in the file exactly as a save would write them, in the same order,
// the stretches of text they take are added to asWritten.
std::vector<PaymentException> ReadExceptions(CXmlDocument& document, std::vector<TextSpan>* asWritten)
{
    // Gathered where the transaction before left its own, so that each transaction's
    // list is allocated once, at its size.
    thread_local std::vector<PaymentException> exceptions;
    exceptions.clear();
    static constexpr std::string_view kNames[] = {kExceptionDate, kSkip, kMoveTo, kExceptionAmount};
    std::string read[std::size(kNames)];
    const std::string_view text = document.GetDocumentText();
    const std::size_t spansBefore = asWritten ? asWritten->size() : 0;
    bool allAsWritten = asWritten != nullptr;
    // A file may hold thousands, nearly always one after another as the program wrote
    // them: the next child's tag then tells that it is one.
    auto next = [&document] {
        if (!document.FindChildElement({}))
            return false;
        return document.GetChildStartTag().starts_with("EXCEPTION ") || document.ChildNamed(kException) ||
               document.FindChildElement(kException);
    };
    for (bool found = document.FindChildElement(kException); found; found = next()) {
        const std::string_view tag = document.GetChildStartTag();
        std::string_view values[std::size(kNames)];
        const bool tagAsWritten = ReadWrittenException(tag, values);
        if (!tagAsWritten) {
            // One pass over the element's tag for all four.
            document.GetChildAttributes(kNames, read);
            std::copy(std::begin(read), std::end(read), std::begin(values));
        }
        bool dateAsWritten = false, moveAsWritten = true;
        const std::optional<TimeValue> date = ReadExceptionDate(values[0], dateAsWritten);
        if (!date) {
            allAsWritten = false;
            continue;
        }
        PaymentException exception;
        exception.date = *date;
        exception.skip = Utility::ReadDecimal(values[1]) != 0;
        if (!values[2].empty())
            exception.moveTo = ReadExceptionDate(values[2], moveAsWritten);
        if (!values[3].empty())
            exception.amount = Utility::ReadDecimal(values[3]);
        exceptions.push_back(exception);
        if (!allAsWritten)
            continue;
        // The element "<EXCEPTION .../>", its values as they are written.
        const std::size_t tagBegin = static_cast<std::size_t>(tag.data() - text.data());
        const std::size_t tagEnd = tagBegin + tag.size();
        allAsWritten = tagAsWritten && dateAsWritten && moveAsWritten && (values[1].empty() || values[1] == "1") &&
                       (!exception.amount || AmountAsWritten(values[3], *exception.amount)) &&
                       text.substr(tagEnd, 2) == "/>";
        if (allAsWritten)
            asWritten->push_back({static_cast<std::int32_t>(tagBegin - 1), static_cast<std::int32_t>(tagEnd + 2)});
    }
    // Dates read are 10:00 of their days: one day, one value.
    auto byDate = [](const PaymentException& a, const PaymentException& b) { return a.date < b.date; };
    auto notBefore = [](const PaymentException& a, const PaymentException& b) { return a.date >= b.date; };
    if (std::adjacent_find(exceptions.begin(), exceptions.end(), notBefore) != exceptions.end()) {
        allAsWritten = false;
        std::stable_sort(exceptions.begin(), exceptions.end(), byDate);
        exceptions.erase(std::unique(exceptions.begin(), exceptions.end(),
                                     [](const PaymentException& a, const PaymentException& b) { return a.date == b.date; }),
                         exceptions.end());
    }
    if (asWritten && !allAsWritten)
        asWritten->resize(spansBefore);
    return {exceptions.begin(), exceptions.end()};
}

bool WriteExceptions(CXmlDocument& document, const std::vector<PaymentException>& exceptions)
{
    // A file may hold thousands: a transaction's are written in one edit of the document.
    struct Texts {
        char date[kFormattedDateMaximum];
        char moveTo[kFormattedDateMaximum];
        char amount[16];
        CXmlDocument::Attribute attributes[4];
    };
    std::vector<Texts> texts(exceptions.size());
    std::vector<std::span<const CXmlDocument::Attribute>> elements;
    elements.reserve(exceptions.size());
    for (std::size_t i = 0; i < exceptions.size(); ++i) {
        const PaymentException& exception = exceptions[i];
        Texts& text = texts[i];
        std::size_t count = 0;
        text.attributes[count++] = {kExceptionDate, {text.date, FormatDateInto(exception.date, text.date)}};
        if (exception.skip)
            text.attributes[count++] = {kSkip, "1"};
        if (exception.moveTo)
            text.attributes[count++] = {kMoveTo, {text.moveTo, FormatDateInto(*exception.moveTo, text.moveTo)}};
        if (exception.amount)
            text.attributes[count++] = {kExceptionAmount, WrittenAmount(*exception.amount, text.amount)};
        elements.emplace_back(text.attributes, count);
    }
    return document.AddChildElementsWith(kException, elements);
}

} // namespace

std::string FormatAmount(std::int32_t amount)
{
    return std::to_string(amount);
}

std::uint32_t DurationFromText(std::string_view durationText)
{
    const std::int32_t months = Utility::ReadDecimal(durationText);
    return months >= 1 && months <= 99 ? static_cast<std::uint32_t>(months) : kDefaultDuration;
}

bool FindRoot(CXmlDocument& document)
{
    return document.FindElement(kRoot);
}

std::optional<Cashflow> ReadCashflow(CXmlDocument& document)
{
    if (!document.FindChildElement(kCashflow))
        return std::nullopt;
    Cashflow cashflow;
    cashflow.startDate = ReadFileDate(document.GetChildAttribute(kStartDate));
    cashflow.durationText = document.GetChildAttribute(kDuration);
    cashflow.warnBelow = Utility::ReadDecimal(document.GetChildAttribute(kWarnBelow));
    cashflow.weekendDays = ParseWeekendDays(document.GetChildAttribute(kWeekendDays))
                               .value_or(BusinessCalendar::kDefaultWeekend);
    return cashflow;
}

std::string WeekendDaysText(std::uint8_t weekendDays)
{
    std::string text;
    for (int day = 0; day < 7; ++day)
        if ((weekendDays >> day) & 1u)
            text += static_cast<char>('0' + day);
    return text.empty() ? "none" : text;
}

std::optional<std::uint8_t> ParseWeekendDays(std::string_view text)
{
    if (text == "none")
        return std::uint8_t(0);
    if (text.empty())
        return std::nullopt;
    std::uint8_t days = 0;
    int previous = -1;
    for (const char c : text) {
        const int day = c - '0';
        if (day <= previous || day > 6)
            return std::nullopt;
        days = static_cast<std::uint8_t>(days | (1u << day));
        previous = day;
    }
    return days;
}

const char* BusinessDayText(BusinessDayMove move)
{
    switch (move) {
    case BusinessDayMove::Before:
        return "Before";
    case BusinessDayMove::After:
        return "After";
    case BusinessDayMove::Nearest:
        return "Nearest";
    default:
        return "";
    }
}

std::optional<BusinessDayMove> ParseBusinessDay(std::string_view text)
{
    for (const BusinessDayMove move : {BusinessDayMove::Before, BusinessDayMove::After, BusinessDayMove::Nearest})
        if (text == BusinessDayText(move))
            return move;
    return std::nullopt;
}

std::unique_ptr<CDateRepeater> MakeRepeater(std::string_view type, std::string_view delta,
                                            std::string_view count, std::string_view day)
{
    return MakeRepeater(type, delta, count, day, RepeatExtras{});
}

std::unique_ptr<CDateRepeater> MakeRepeater(std::string_view type, std::string_view delta,
                                            std::string_view count, std::string_view day,
                                            const RepeatExtras& extras)
{
    const std::int32_t step = Utility::ReadDecimal(delta);
    // A negative Count wraps as the unsigned count it was written from.
    const auto occurrences = static_cast<std::uint32_t>(Utility::ReadDecimal(count));
    const BusinessDayMove move = ParseBusinessDay(extras.businessDay).value_or(BusinessDayMove::Keep);
    if (type == "Daily")
        return std::make_unique<CDateRepeaterDaily>(step, occurrences, move);
    if (type == "Weekly")
        return std::make_unique<CDateRepeaterWeekly>(step, occurrences, move);
    if (type == "Monthly") {
        // The rule leaves out what is out of range; a week needs its weekday.
        MonthlyDays days;
        if (!extras.week.empty() && !extras.weekday.empty()) {
            days.week = Utility::ReadDecimal(extras.week);
            days.weekday = Utility::ReadDecimal(extras.weekday);
        }
        if (!extras.day2.empty())
            days.day2 = Utility::ReadDecimal(extras.day2);
        return std::make_unique<CDateRepeaterMonthly>(step, occurrences, Utility::ReadDecimal(day), days, move);
    }
    if (type == "Yearly")
        return std::make_unique<CDateRepeaterYearly>(step, occurrences, move);
    return std::make_unique<CDateRepeaterOnce>(move);
}

Account ReadAccount(CXmlDocument& document)
{
    Account account;
    document.EnterElement();
    account.description = ChildTextOrEmpty(document, kDescription);
    account.balance = Utility::ReadDecimal(ChildTextOrEmpty(document, kAmount));
    document.LeaveElement();
    return account;
}

namespace {

// ReadTransaction, adding the stretches of text of its exceptions to asWritten when they
// all stand as a save would write them.
Transaction ReadTransactionNoting(CXmlDocument& document, TimeValue today, std::vector<TextSpan>* asWritten)
{
    Transaction transaction;
    transaction.tentative = Utility::ReadDecimal(document.GetChildAttribute(kTentative)) != 0;
    document.EnterElement();
    transaction.description = ChildTextOrEmpty(document, kDescription);
    transaction.date = ReadFileDate(ChildTextOrEmpty(document, kDate)).value_or(today);
    transaction.amount = Utility::ReadDecimal(ChildTextOrEmpty(document, kAmount));
    if (document.FindChildElement(kRepeat)) {
        const std::string week = document.GetChildAttribute(kWeek);
        const std::string weekday = document.GetChildAttribute(kWeekday);
        const std::string day2 = document.GetChildAttribute(kDay2);
        const std::string businessDay = document.GetChildAttribute(kBusinessDay);
        transaction.rule = MakeRepeater(document.GetChildAttribute(kType), document.GetChildAttribute(kDelta),
                                        document.GetChildAttribute(kCount), document.GetChildAttribute(kDay),
                                        RepeatExtras{week, weekday, day2, businessDay});
    } else {
        transaction.rule = std::make_unique<CDateRepeaterOnce>();
    }
    transaction.exceptions = ReadExceptions(document, asWritten);
    document.LeaveElement();
    return transaction;
}

// ReadTransactions, noting the exceptions that stand as a save would write them: their
// stretches of text, and the transactions (by index) whose exceptions all do.
std::vector<Transaction> ReadTransactionsNoting(CXmlDocument& document, TimeValue today,
                                                std::vector<TextSpan>* asWritten, std::vector<std::size_t>* whole)
{
    std::vector<Transaction> transactions;
    if (!document.FindChildElement(kTransactions))
        return transactions;
    document.EnterElement();
    while (document.FindChildElement(kTransaction)) {
        const std::size_t spans = asWritten ? asWritten->size() : 0;
        transactions.push_back(ReadTransactionNoting(document, today, asWritten));
        if (asWritten && asWritten->size() > spans)
            whole->push_back(transactions.size() - 1);
    }
    document.LeaveElement();
    return transactions;
}

} // namespace

Transaction ReadTransaction(CXmlDocument& document, TimeValue today)
{
    return ReadTransactionNoting(document, today, nullptr);
}

std::vector<Account> ReadAccounts(CXmlDocument& document)
{
    std::vector<Account> accounts;
    if (!document.FindChildElement(kAccounts))
        return accounts;
    document.EnterElement();
    while (document.FindChildElement(kAccount))
        accounts.push_back(ReadAccount(document));
    document.LeaveElement();
    return accounts;
}

std::vector<Transaction> ReadTransactions(CXmlDocument& document, TimeValue today)
{
    return ReadTransactionsNoting(document, today, nullptr, nullptr);
}

std::vector<Holiday> ReadHolidays(CXmlDocument& document)
{
    std::vector<Holiday> holidays;
    if (!document.FindChildElement(kHolidays))
        return holidays;
    document.EnterElement();
    while (document.FindChildElement(kHoliday)) {
        Holiday holiday;
        holiday.yearly = document.GetChildAttribute(kYearly) == "1";
        document.EnterElement();
        holiday.description = ChildTextOrEmpty(document, kDescription);
        const std::optional<TimeValue> date = ReadFileDate(ChildTextOrEmpty(document, kDate));
        document.LeaveElement();
        if (!date)
            continue;
        holiday.date = *date;
        holidays.push_back(std::move(holiday));
    }
    document.LeaveElement();
    return holidays;
}

bool StartDocument(CXmlDocument& document)
{
    return document.AddElement(kRoot) && document.SetAttribute(kFormat, kFormatVersion);
}

bool WriteCashflow(CXmlDocument& document, TimeValue startDate, std::uint32_t duration, std::int32_t warnBelow,
                   std::uint8_t weekendDays)
{
    return document.AddChildElement(kCashflow) && document.SetChildAttribute(kStartDate, FormatDate(startDate))
        && document.SetChildAttribute(kDuration, std::to_string(duration))
        && (warnBelow == 0 || document.SetChildAttribute(kWarnBelow, FormatAmount(warnBelow)))
        && (weekendDays == BusinessCalendar::kDefaultWeekend ||
            document.SetChildAttribute(kWeekendDays, WeekendDaysText(weekendDays)));
}

bool BeginAccounts(CXmlDocument& document)
{
    return document.AddChildElement(kAccounts) && document.EnterElement();
}

bool WriteAccount(CXmlDocument& document, std::string_view description, std::string_view balanceText)
{
    return document.AddChildElement(kAccount) && document.EnterElement()
        && document.AddChildElement(kDescription, description) && document.AddChildElement(kAmount, balanceText)
        && document.LeaveElement();
}

bool BeginTransactions(CXmlDocument& document)
{
    return document.AddChildElement(kTransactions) && document.EnterElement();
}

bool WriteTransaction(CXmlDocument& document, std::string_view description, std::string_view dateText,
                      std::string_view amountText, const CDateRepeater& rule, bool tentative,
                      const std::vector<PaymentException>& exceptions)
{
    return document.AddChildElement(kTransaction) && document.SetChildAttribute(kType, RepeatTypeName(rule))
        && (!tentative || document.SetChildAttribute(kTentative, "1")) && document.EnterElement() && document.AddChildElement(kDescription, description)
        && document.AddChildElement(kDate, dateText) && document.AddChildElement(kAmount, amountText)
        && WriteRepeat(document, rule) && WriteExceptions(document, exceptions) && document.LeaveElement();
}

bool WriteRepeat(CXmlDocument& document, const CDateRepeater& rule)
{
    if (!document.AddChildElement(kRepeat) || !document.SetChildAttribute(kType, RepeatTypeName(rule))
        || !document.SetChildAttribute(kDelta, SignedText(rule.GetDelta()))
        || !document.SetChildAttribute(kCount, SignedText(static_cast<std::int32_t>(rule.count))))
        return false;
    if (rule.GetType() == RepeatMonthly) {
        // Only a monthly rule has days; the type id says which class this is.
        const auto& monthly = static_cast<const CDateRepeaterMonthly&>(rule);
        if (!document.SetChildAttribute(kDay, SignedText(monthly.day)))
            return false;
        const MonthlyDays& days = monthly.GetDays();
        if (days.week != 0 && !(document.SetChildAttribute(kWeek, SignedText(days.week)) &&
                                document.SetChildAttribute(kWeekday, SignedText(days.weekday))))
            return false;
        if (days.day2 != 0 && !document.SetChildAttribute(kDay2, SignedText(days.day2)))
            return false;
    }
    return rule.GetBusinessDay() == BusinessDayMove::Keep ||
           document.SetChildAttribute(kBusinessDay, BusinessDayText(rule.GetBusinessDay()));
}

bool WriteHolidays(CXmlDocument& document, const std::vector<Holiday>& holidays)
{
    if (holidays.empty())
        return true;
    if (!document.AddChildElement(kHolidays) || !document.EnterElement())
        return false;
    for (const Holiday& holiday : holidays) {
        if (!document.AddChildElement(kHoliday) || (holiday.yearly && !document.SetChildAttribute(kYearly, "1")) ||
            !document.EnterElement() || !document.AddChildElement(kDescription, holiday.description) ||
            !document.AddChildElement(kDate, FormatDate(holiday.date)) || !document.LeaveElement())
            return false;
    }
    return document.LeaveElement();
}

bool EndList(CXmlDocument& document)
{
    return document.LeaveElement();
}

std::string WriteDocument(const Contents& contents, TimeValue today)
{
    CXmlDocument document;
    StartDocument(document);
    WriteCashflow(document, contents.startDate.value_or(today), contents.duration, contents.warnBelow,
                  contents.weekendDays);
    if (!contents.accounts.empty()) {
        BeginAccounts(document);
        for (const Account& account : contents.accounts)
            WriteAccount(document, account.description, FormatAmount(account.balance));
        EndList(document);
    }
    if (!contents.transactions.empty()) {
        BeginTransactions(document);
        for (const Transaction& transaction : contents.transactions) {
            const CDateRepeaterOnce once;
            const CDateRepeater& rule = transaction.rule ? *transaction.rule : static_cast<const CDateRepeater&>(once);
            WriteTransaction(document, transaction.description, FormatDate(transaction.date),
                             FormatAmount(transaction.amount), rule, transaction.tentative, transaction.exceptions);
        }
        EndList(document);
    }
    WriteHolidays(document, contents.holidays);
    return document.GetDocument();
}

LoadResult ParseDocument(std::string text, TimeValue today, bool findDifferences)
{
    // Every date of the file is read, and written again for the check, in one zone.
    const ZoneHold zone;
    LoadResult result;
    if (text.empty()) {
        result.status = Status::Empty;
        return result;
    }
    CXmlDocument document;
    if (!document.SetDocument(std::move(text))) {
        result.status = Status::Malformed;
        return result;
    }
    if (!FindRoot(document)) {
        result.status = Status::NotDataFile;
        return result;
    }
    // FindRoot made the top-level element the first child of the document record.
    const std::int32_t root = document.GetElementRecords()[0].firstChild;
    const std::string format = document.GetElementAttribute(root, kFormat);
    if (!format.empty() && format != kFormatVersion) {
        result.status = Status::NotDataFile;
        return result;
    }
    result.status = Status::Loaded;
    if (const std::optional<Cashflow> cashflow = ReadCashflow(document)) {
        result.contents.startDate = cashflow->startDate;
        result.contents.duration = DurationFromText(cashflow->durationText);
        result.contents.warnBelow = cashflow->warnBelow;
        result.contents.weekendDays = cashflow->weekendDays;
    }
    result.contents.accounts = ReadAccounts(document);
    std::vector<TextSpan> asWritten;
    std::vector<std::size_t> whole;
    result.contents.transactions =
        ReadTransactionsNoting(document, today, findDifferences ? &asWritten : nullptr, &whole);
    result.contents.holidays = ReadHolidays(document);
    if (!findDifferences)
        return result;
    if (!whole.empty() && document.IsWellFormed()) {
        // A file may hold thousands of exceptions, nearly always as a save writes them:
        // those are left out of both sides of a first comparison, which then mostly
        // settles that there is no difference.
        std::vector<std::vector<PaymentException>> held(whole.size());
        for (std::size_t i = 0; i < whole.size(); ++i)
            held[i].swap(result.contents.transactions[whole[i]].exceptions);
        const std::string lean = WriteDocument(result.contents, today);
        for (std::size_t i = 0; i < whole.size(); ++i)
            held[i].swap(result.contents.transactions[whole[i]].exceptions);
        if (SameLeavingOut(document, asWritten, lean))
            return result;
    }
    result.differences = FindDifferences(document, WriteDocument(result.contents, today), &result.notes);
    return result;
}

LoadResult LoadFile(const std::filesystem::path& path, TimeValue today)
{
    TextFile::ReadResult read = TextFile::Read(path);
    LoadResult result;
    if (read.status == TextFile::ReadStatus::Missing)
        return result;
    if (read.status == TextFile::ReadStatus::Unreadable) {
        result.status = Status::Unreadable;
        result.reason = read.reason;
        return result;
    }
    return ParseDocument(std::move(read.text), today);
}

Contents SampleContents(TimeValue today)
{
    Contents contents;
    contents.accounts = {{"Checking", 0}, {"Savings", 0}};
    contents.transactions.push_back({"Payday", today, 400, std::make_unique<CDateRepeaterWeekly>(2, 0)});
    contents.transactions.push_back({"Rent/Mortgage", today, -600, std::make_unique<CDateRepeaterMonthly>(1, 0, 1)});
    return contents;
}

} // namespace DataFile
