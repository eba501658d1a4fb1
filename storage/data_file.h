#pragma once

#include "model/business_calendar.h"
#include "model/date_repeater.h"
#include "model/dates.h"
#include "model/payment_exceptions.h"
#include "storage/xml_document.h"

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// The data file's vocabulary: the one place that knows its element and attribute names,
// the text forms of its values, the defaults its reader applies and the order its writer
// uses. The file looks like this (one element per line, no indentation on disk):
//
//   <TILLANE Format="1">
//   <CASHFLOW StartDate="03/07/2006" Duration="13"/>   (WarnBelow="-500" follows when not 0,
//                                                     then WeekendDays="56" when not "06")
//   <ACCOUNTS>  <ACCOUNT> DESCRIPTION AMOUNT </ACCOUNT> ...  </ACCOUNTS>
//   <TRANSACTIONS>
//   <TRANSACTION Type="Weekly"> DESCRIPTION DATE AMOUNT   (Tentative="1" follows Type when set)
//     <REPEAT Type="Weekly" Delta="2" Count="0"/>   (Day="1" follows Count for Monthly, then
//                    Week="2" Weekday="5" or Day2="15", then BusinessDay="Before" for any rule)
//     <EXCEPTION Date="03/01/2027" Skip="1" MoveTo="03/03/2027" Amount="-650"/> ...
//                    (only for a transaction that has them, in date order; Skip, MoveTo and
//                    Amount each only when the exception has it)
//   </TRANSACTION> ...
//   </TRANSACTIONS>
//   <HOLIDAYS>   (only when there is one)
//   <HOLIDAY Yearly="1"> DESCRIPTION DATE </HOLIDAY> ...   (Yearly only for a yearly one)
//   </HOLIDAYS>
//   </TILLANE>
//
// The reader finds children only in that order (each lookup continues after the last
// child found): an element out of order is passed over, a missing one takes its default.
//
// How the pages use it. Loading: FindRoot, then ReadCashflow, then ReadAccounts (or
// FindChildElement(kAccounts) + EnterElement + ReadAccount per kAccount + LeaveElement),
// then ReadTransactions, then ReadHolidays. Saving: StartDocument, WriteCashflow, then, when
// a list has rows, BeginAccounts / WriteAccount per row / EndList, BeginTransactions /
// WriteTransaction per row / EndList, and WriteHolidays. ParseDocument, LoadFile and WriteDocument do a
// whole file at once.
namespace DataFile {

inline constexpr const char* kRoot = "TILLANE";
inline constexpr const char* kFormat = "Format";
inline constexpr const char* kFormatVersion = "1";
inline constexpr const char* kCashflow = "CASHFLOW";
inline constexpr const char* kStartDate = "StartDate";
inline constexpr const char* kDuration = "Duration";
// The balance under which the projection warns, in whole dollars. Optional: absent means
// 0, and it is written only when it is not 0, so files that do not use it keep their
// bytes and older readers pass it over.
inline constexpr const char* kWarnBelow = "WarnBelow";
// The weekend days: the digits of the days of the week in ascending order, 0 for Sunday
// to 6 for Saturday, or "none". Optional: absent means "06", and it is written only when
// it is not "06".
inline constexpr const char* kWeekendDays = "WeekendDays";
inline constexpr const char* kAccounts = "ACCOUNTS";
inline constexpr const char* kAccount = "ACCOUNT";
inline constexpr const char* kTransactions = "TRANSACTIONS";
inline constexpr const char* kTransaction = "TRANSACTION";
inline constexpr const char* kDescription = "DESCRIPTION";
inline constexpr const char* kDate = "DATE";
inline constexpr const char* kAmount = "AMOUNT";
inline constexpr const char* kRepeat = "REPEAT";
inline constexpr const char* kType = "Type";
inline constexpr const char* kDelta = "Delta";
inline constexpr const char* kCount = "Count";
inline constexpr const char* kDay = "Day";
// Optional REPEAT attributes, each written only when the rule has it: the n-th weekday of
// the month (Week 1 to 4 or -1 for the last, with Weekday 0 to 6; only together, on a
// monthly rule), a second day of the month (Day2 1 to 31, on a monthly rule without a
// week), and where an occurrence on a day off goes (BusinessDay, on any rule).
inline constexpr const char* kWeek = "Week";
inline constexpr const char* kWeekday = "Weekday";
inline constexpr const char* kDay2 = "Day2";
inline constexpr const char* kBusinessDay = "BusinessDay";
// The holidays, after TRANSACTIONS: each HOLIDAY with DESCRIPTION and DATE, and Yearly="1"
// for one that falls on its month and day every year.
inline constexpr const char* kHolidays = "HOLIDAYS";
inline constexpr const char* kHoliday = "HOLIDAY";
inline constexpr const char* kYearly = "Yearly";
// A what-if transaction, on TRANSACTION directly after Type: "1" when set, read like
// atoi (anything but 0 sets it). Optional: absent means an ordinary transaction, and it is
// written only when set, so files that do not use it keep their bytes and older readers
// see an ordinary transaction.
inline constexpr const char* kTentative = "Tentative";
// One occurrence of a transaction that differs from its rule: EXCEPTION elements after
// REPEAT, in the order of their dates, with Date (the occurrence's own date, before any
// move to a business day), then Skip="1" when it is not listed, MoveTo (the date it is
// listed on instead) and Amount (whole dollars, signed) when it has them. Optional: a
// transaction without exceptions has none, so files that do not use them keep their bytes.
// Read leniently, as REPEAT is: Skip and Amount like atoi, dates as DATE is; an EXCEPTION
// without a Date, or a second one for a day, is passed over; whatever a save would not
// keep is a difference the loader reports.
inline constexpr const char* kException = "EXCEPTION";
inline constexpr const char* kExceptionDate = "Date";
inline constexpr const char* kSkip = "Skip";
inline constexpr const char* kMoveTo = "MoveTo";
inline constexpr const char* kExceptionAmount = "Amount";

struct Account {
    std::string description;
    std::int32_t balance = 0;
};

struct Transaction {
    std::string description;
    TimeValue date = 0;
    std::int32_t amount = 0;
    std::unique_ptr<CDateRepeater> rule; // never null once read
    bool tentative = false;
    // In date order, at most one a day.
    std::vector<PaymentException> exceptions = {};
};

// What a save would write differently from what a file holds, in words for the user, one
// difference each: a value the reader mended (`AMOUNT "1,500" of "Rent" read as 1`), or
// content it passes over (`a comment`, `attribute Note on TRANSACTION`).
using Notes = std::vector<std::string>;
// How many of the differences are put in words; the others are only counted.
inline constexpr std::size_t kNotesKept = 5;

struct Cashflow {
    // Absent when StartDate is missing or shorter than a date's ten characters; held
    // between EarliestDate and LatestDate.
    std::optional<TimeValue> startDate;
    // The Duration attribute as it stands (empty when missing); the configuration
    // decides what it means.
    std::string durationText;
    // WarnBelow read like atoi; 0 when absent.
    std::int32_t warnBelow = 0;
    // WeekendDays; the default when absent or not of its form.
    std::uint8_t weekendDays = BusinessCalendar::kDefaultWeekend;
};

// The text forms of the weekend days ("06", "56", "none") and of a business-day move
// ("Before", "After", "Nearest"; empty for Keep). Parsing takes only those exact forms.
std::string WeekendDaysText(std::uint8_t weekendDays);
std::optional<std::uint8_t> ParseWeekendDays(std::string_view text);
const char* BusinessDayText(BusinessDayMove move);
std::optional<BusinessDayMove> ParseBusinessDay(std::string_view text);

// The text forms: "%d" for amounts and balances.
std::string FormatAmount(std::int32_t amount);

// The projection length a Duration text stands for: its decimal value when that is 1 to
// 99, otherwise (out of range, not a number, empty) the default 13.
std::uint32_t DurationFromText(std::string_view durationText);
inline constexpr std::uint32_t kDefaultDuration = 13;

// Reading. Lookups never throw; missing parts take defaults.

// Makes the top-level element current; false when it is not TILLANE.
bool FindRoot(CXmlDocument& document);

// The CASHFLOW child of the top-level element, if it is there. A StartDate that is no
// date counts as missing; one outside the years 1000 to 9999 becomes the nearer end of them.
std::optional<Cashflow> ReadCashflow(CXmlDocument& document);

// The rule stored by a REPEAT element's attributes, by the exact, case-sensitive type
// name: "Once" (Delta and Count ignored), "Daily" (Delta days), "Weekly" (Delta weeks),
// "Monthly" (Delta months on Day; a Day outside 0 to 28 means the month's last day),
// "Yearly" (Delta years). Any other name gives a one-time rule. Numbers read like atoi,
// held at the 32-bit limits; Delta and Count are taken as read.
std::unique_ptr<CDateRepeater> MakeRepeater(std::string_view type, std::string_view delta,
                                            std::string_view count, std::string_view day);
// The same with the optional attributes' texts (empty when absent). Week and Weekday are
// read only together and only in their ranges, Day2 only in its range and without a week,
// BusinessDay only in its exact forms; the others are passed over.
struct RepeatExtras {
    std::string_view week, weekday, day2, businessDay;
};
std::unique_ptr<CDateRepeater> MakeRepeater(std::string_view type, std::string_view delta,
                                            std::string_view count, std::string_view day,
                                            const RepeatExtras& extras);

// One ACCOUNT, found just before as the child element (FindChildElement(kAccount)):
// enters it, reads DESCRIPTION (default empty) and AMOUNT (default 0) and leaves it, so
// that the next FindChildElement(kAccount) continues after it.
Account ReadAccount(CXmlDocument& document);

// One TRANSACTION, found just before as the child element, entered and left the same
// way: DESCRIPTION (default empty), DATE (default `today`; a text shorter than ten
// characters counts as missing; a day before 1000 or after 9999 becomes the nearer end of
// that range), AMOUNT (default 0), REPEAT (default a one-time rule) and the EXCEPTION
// elements after it; and its Tentative attribute (default not set).
Transaction ReadTransaction(CXmlDocument& document, TimeValue today);

// Every ACCOUNT of the top-level element's ACCOUNTS child, in file order; none when the
// child is missing.
std::vector<Account> ReadAccounts(CXmlDocument& document);

// Every TRANSACTION of the TRANSACTIONS child, in file order.
std::vector<Transaction> ReadTransactions(CXmlDocument& document, TimeValue today);

// Every HOLIDAY of the HOLIDAYS child, in file order. A HOLIDAY without a date is passed
// over; a date outside the years 1000 to 9999 becomes the nearer end of them.
std::vector<Holiday> ReadHolidays(CXmlDocument& document);

// Writing, in the order the reader expects. Each returns false only when the document
// is not in the state the step needs (a programming error).

// The top-level element TILLANE with Format="1", in an empty document.
bool StartDocument(CXmlDocument& document);
// CASHFLOW with StartDate, Duration ("%u"), WarnBelow ("%d") when it is not 0 and
// WeekendDays when they are not Saturday and Sunday.
bool WriteCashflow(CXmlDocument& document, TimeValue startDate, std::uint32_t duration,
                   std::int32_t warnBelow = 0, std::uint8_t weekendDays = BusinessCalendar::kDefaultWeekend);
// ACCOUNTS, entered: the accounts follow, then EndList.
bool BeginAccounts(CXmlDocument& document);
// One ACCOUNT from the texts the accounts list shows.
bool WriteAccount(CXmlDocument& document, std::string_view description, std::string_view balanceText);
// TRANSACTIONS, entered: the transactions follow, then EndList.
bool BeginTransactions(CXmlDocument& document);
// One TRANSACTION from the texts the transactions list shows, the row's rule and its
// exceptions (in date order); its Type attribute is the rule's type name, followed by
// Tentative="1" for a tentative one.
bool WriteTransaction(CXmlDocument& document, std::string_view description, std::string_view dateText,
                      std::string_view amountText, const CDateRepeater& rule, bool tentative = false,
                      const std::vector<PaymentException>& exceptions = {});
// A REPEAT child of the current element: Type, Delta (GetDelta: weeks for a weekly rule),
// Count and, for a monthly rule only, Day, then Week and Weekday, or Day2, when it has
// them; BusinessDay last, when the rule moves its occurrences.
bool WriteRepeat(CXmlDocument& document, const CDateRepeater& rule);
// HOLIDAYS with one HOLIDAY per holiday, in the order given (the window keeps them in date
// order); nothing when there are none. Call after the transactions' EndList.
bool WriteHolidays(CXmlDocument& document, const std::vector<Holiday>& holidays);
// Leaves ACCOUNTS or TRANSACTIONS.
bool EndList(CXmlDocument& document);

// Whole documents.

struct Contents {
    std::optional<TimeValue> startDate;
    std::uint32_t duration = kDefaultDuration; // read with DurationFromText
    std::int32_t warnBelow = 0;
    std::uint8_t weekendDays = BusinessCalendar::kDefaultWeekend;
    std::vector<Account> accounts;
    std::vector<Transaction> transactions;
    std::vector<Holiday> holidays;
};

// The document text of the contents, exactly as the program saves it (lines end CR LF;
// the file gets CR CR LF through TextFile::Write). Without a start date, `today` is
// written. ACCOUNTS, TRANSACTIONS and HOLIDAYS are left out when empty.
std::string WriteDocument(const Contents& contents, TimeValue today);

// What a first run starts with when there is no data file yet: the accounts Checking and
// Savings at 0, pay of 400 every other week and rent of 600 on the first of every month,
// both from today. The window and the command line show the same.
Contents SampleContents(TimeValue today);

// How a data file's text or the file itself turned out.
enum class Status {
    Loaded,      // a TILLANE document; contents filled
    Missing,     // no file: the first run
    Unreadable,  // the file is there but could not be read
    Empty,       // no text at all: nothing to load, nothing to lose
    Malformed,   // text that is not a well-formed document
    NotDataFile, // a well-formed document whose top-level element is not TILLANE
};

struct LoadResult {
    Status status = Status::Missing;
    Contents contents;
    // How many differences a save of the contents would make to the document (values the
    // reader mended, content it passed over), and the first kNotesKept of them in words.
    std::size_t differences = 0;
    Notes notes;
    // Why the file is Unreadable, in words for the user (may be empty).
    std::string reason;
};

// How `written` (the text a save of the contents read from `original` gives) differs from
// `original`: every element, attribute, text, comment, processing instruction or other
// markup of either that the other does not hold alike, and every value that reads
// otherwise. White space between elements, the order of attributes, quotes and escapes do
// not count, nor do empty ACCOUNTS and TRANSACTIONS lists, nor the order of the elements
// of a list. Returns how many; the first kNotesKept go to notes in words.
std::size_t FindDifferences(const CXmlDocument& original, std::string written, Notes* notes);

// A stretch [begin, end) of a document's text.
struct TextSpan {
    std::int32_t begin = 0;
    std::int32_t end = 0;
};
// Whether `written` is the original's text but for white space between tags once the
// stretches leftOut (in order, apart) are taken out of the original.
bool SameLeavingOut(const CXmlDocument& original, std::span<const TextSpan> leftOut, std::string_view written);

// Reads the text of a data file (lines already joined). A top-level element with a Format
// other than "1" is not a data file of this version. Without findDifferences, differences
// and notes are left empty (finding them out costs a second document).
LoadResult ParseDocument(std::string text, TimeValue today, bool findDifferences = true);

// Reads a data file from disk: Missing and Unreadable from the file, the rest from
// ParseDocument. A file that was not Loaded, Missing or Empty must not be overwritten
// by a save: its text is the user's and was not understood.
LoadResult LoadFile(const std::filesystem::path& path, TimeValue today);

} // namespace DataFile
