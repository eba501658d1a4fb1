#include "storage/data_file.h"

#include "common/decimal.h"
#include "storage/text_file.h"

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
    return cashflow;
}

std::unique_ptr<CDateRepeater> MakeRepeater(std::string_view type, std::string_view delta,
                                            std::string_view count, std::string_view day)
{
    const std::int32_t step = Utility::ReadDecimal(delta);
    // A negative Count wraps as the unsigned count it was written from.
    const auto occurrences = static_cast<std::uint32_t>(Utility::ReadDecimal(count));
    if (type == "Daily")
        return std::make_unique<CDateRepeaterDaily>(step, occurrences);
    if (type == "Weekly")
        return std::make_unique<CDateRepeaterWeekly>(step, occurrences);
    if (type == "Monthly")
        return std::make_unique<CDateRepeaterMonthly>(step, occurrences, Utility::ReadDecimal(day));
    if (type == "Yearly")
        return std::make_unique<CDateRepeaterYearly>(step, occurrences);
    return std::make_unique<CDateRepeaterOnce>();
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

Transaction ReadTransaction(CXmlDocument& document, TimeValue today)
{
    Transaction transaction;
    document.EnterElement();
    transaction.description = ChildTextOrEmpty(document, kDescription);
    transaction.date = ReadFileDate(ChildTextOrEmpty(document, kDate)).value_or(today);
    transaction.amount = Utility::ReadDecimal(ChildTextOrEmpty(document, kAmount));
    if (document.FindChildElement(kRepeat)) {
        transaction.rule = MakeRepeater(document.GetChildAttribute(kType), document.GetChildAttribute(kDelta),
                                        document.GetChildAttribute(kCount), document.GetChildAttribute(kDay));
    } else {
        transaction.rule = std::make_unique<CDateRepeaterOnce>();
    }
    document.LeaveElement();
    return transaction;
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
    std::vector<Transaction> transactions;
    if (!document.FindChildElement(kTransactions))
        return transactions;
    document.EnterElement();
    while (document.FindChildElement(kTransaction))
        transactions.push_back(ReadTransaction(document, today));
    document.LeaveElement();
    return transactions;
}

bool StartDocument(CXmlDocument& document)
{
    return document.AddElement(kRoot) && document.SetAttribute(kFormat, kFormatVersion);
}

bool WriteCashflow(CXmlDocument& document, TimeValue startDate, std::uint32_t duration, std::int32_t warnBelow)
{
    return document.AddChildElement(kCashflow) && document.SetChildAttribute(kStartDate, FormatDate(startDate))
        && document.SetChildAttribute(kDuration, std::to_string(duration))
        && (warnBelow == 0 || document.SetChildAttribute(kWarnBelow, FormatAmount(warnBelow)));
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
                      std::string_view amountText, const CDateRepeater& rule)
{
    return document.AddChildElement(kTransaction) && document.SetChildAttribute(kType, RepeatTypeName(rule))
        && document.EnterElement() && document.AddChildElement(kDescription, description)
        && document.AddChildElement(kDate, dateText) && document.AddChildElement(kAmount, amountText)
        && WriteRepeat(document, rule) && document.LeaveElement();
}

bool WriteRepeat(CXmlDocument& document, const CDateRepeater& rule)
{
    if (!document.AddChildElement(kRepeat) || !document.SetChildAttribute(kType, RepeatTypeName(rule))
        || !document.SetChildAttribute(kDelta, SignedText(rule.GetDelta()))
        || !document.SetChildAttribute(kCount, SignedText(static_cast<std::int32_t>(rule.count))))
        return false;
    if (rule.GetType() != RepeatMonthly)
        return true;
    // Only a monthly rule has a day; the type id says which class this is.
    return document.SetChildAttribute(kDay, SignedText(static_cast<const CDateRepeaterMonthly&>(rule).day));
}

bool EndList(CXmlDocument& document)
{
    return document.LeaveElement();
}

std::string WriteDocument(const Contents& contents, TimeValue today)
{
    CXmlDocument document;
    StartDocument(document);
    WriteCashflow(document, contents.startDate.value_or(today), contents.duration, contents.warnBelow);
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
                             FormatAmount(transaction.amount), rule);
        }
        EndList(document);
    }
    return document.GetDocument();
}

LoadResult ParseDocument(std::string text, TimeValue today, bool findDifferences)
{
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
    }
    result.contents.accounts = ReadAccounts(document);
    result.contents.transactions = ReadTransactions(document, today);
    if (!findDifferences)
        return result;
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

} // namespace DataFile
