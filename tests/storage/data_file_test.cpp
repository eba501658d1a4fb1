#include "storage/data_file.h"

#include "storage/text_file.h"
#include "support/temp_dir.h"
#include "support/tz_guard.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <random>
#include <tuple>
#include <vector>

using testing_support::ReadFileBytes;
using testing_support::TempDir;
using testing_support::TzGuard;
using testing_support::WriteFileBytes;

namespace {

// Type, delta as stored, count, and day (-1 for a rule that has none).
using RuleShape = std::tuple<int, std::int32_t, std::uint32_t, std::int32_t>;

RuleShape Shape(const CDateRepeater& rule)
{
    const auto* monthly = dynamic_cast<const CDateRepeaterMonthly*>(&rule);
    return {rule.GetType(), rule.delta, rule.count, monthly ? monthly->day : -1};
}

std::string Wrap(const std::string& transactions)
{
    return "<TILLANE Format=\"1\"><TRANSACTIONS>" + transactions + "</TRANSACTIONS></TILLANE>";
}

DataFile::Contents SampleContents(TimeValue day)
{
    DataFile::Contents contents;
    contents.startDate = day;
    contents.accounts = {{"Checking", 0}, {"Savings", 0}};
    contents.transactions.push_back({"Payday", day, 400, std::make_unique<CDateRepeaterWeekly>(2, 0)});
    contents.transactions.push_back({"Rent/Mortgage", day, -600, std::make_unique<CDateRepeaterMonthly>(1, 0, 1)});
    return contents;
}

const char* const kSampleDocument =
    "<TILLANE Format=\"1\">\r\n"
    "<CASHFLOW StartDate=\"03/07/2006\" Duration=\"13\"/>\r\n"
    "<ACCOUNTS>\r\n"
    "<ACCOUNT>\r\n"
    "<DESCRIPTION>Checking</DESCRIPTION>\r\n"
    "<AMOUNT>0</AMOUNT>\r\n"
    "</ACCOUNT>\r\n"
    "<ACCOUNT>\r\n"
    "<DESCRIPTION>Savings</DESCRIPTION>\r\n"
    "<AMOUNT>0</AMOUNT>\r\n"
    "</ACCOUNT>\r\n"
    "</ACCOUNTS>\r\n"
    "<TRANSACTIONS>\r\n"
    "<TRANSACTION Type=\"Weekly\">\r\n"
    "<DESCRIPTION>Payday</DESCRIPTION>\r\n"
    "<DATE>03/07/2006</DATE>\r\n"
    "<AMOUNT>400</AMOUNT>\r\n"
    "<REPEAT Type=\"Weekly\" Delta=\"2\" Count=\"0\"/>\r\n"
    "</TRANSACTION>\r\n"
    "<TRANSACTION Type=\"Monthly\">\r\n"
    "<DESCRIPTION>Rent/Mortgage</DESCRIPTION>\r\n"
    "<DATE>03/07/2006</DATE>\r\n"
    "<AMOUNT>-600</AMOUNT>\r\n"
    "<REPEAT Type=\"Monthly\" Delta=\"1\" Count=\"0\" Day=\"1\"/>\r\n"
    "</TRANSACTION>\r\n"
    "</TRANSACTIONS>\r\n"
    "</TILLANE>\r\n";

} // namespace

TEST(DataFileTest, SampleDataIsSavedByteForByteAndReadsBackEqual)
{
    TzGuard zone(testing_support::kEastern);
    const TimeValue march7 = MakeDate(2006, 3, 7);
    const TimeValue today = MakeDate(2010, 6, 15);
    const std::string text = DataFile::WriteDocument(SampleContents(march7), today);
    EXPECT_EQ(text, kSampleDocument);

    TempDir dir;
    ASSERT_TRUE(TextFile::Write(dir / "default.Tillane", text));
    std::string onDisk = kSampleDocument;
    for (std::size_t at = onDisk.find("\r\n"); at != std::string::npos; at = onDisk.find("\r\n", at + 3))
        onDisk.insert(at, "\r");
    EXPECT_EQ(ReadFileBytes(dir / "default.Tillane"), onDisk);

    const DataFile::LoadResult loaded = DataFile::LoadFile(dir / "default.Tillane", today);
    ASSERT_EQ(loaded.status, DataFile::Status::Loaded);
    EXPECT_EQ(loaded.contents.startDate, march7);
    EXPECT_EQ(loaded.contents.duration, 13u);
    ASSERT_EQ(loaded.contents.accounts.size(), 2u);
    EXPECT_EQ(loaded.contents.accounts[1].description, "Savings");
    ASSERT_EQ(loaded.contents.transactions.size(), 2u);
    const DataFile::Transaction& rent = loaded.contents.transactions[1];
    EXPECT_EQ(rent.description, "Rent/Mortgage");
    EXPECT_EQ(rent.date, march7);
    EXPECT_EQ(rent.amount, -600);
    EXPECT_EQ(Shape(*loaded.contents.transactions[0].rule), RuleShape(RepeatWeekly, 14, 0, -1));
    EXPECT_EQ(Shape(*rent.rule), RuleShape(RepeatMonthly, 1, 0, 1));

    // Saved again, the file is the same.
    EXPECT_EQ(DataFile::WriteDocument(loaded.contents, today), text);
}

TEST(DataFileTest, TransactionsTakeTheirDefaultsAndRulesComeFromExactTypeNames)
{
    TzGuard zone(testing_support::kEastern);
    const TimeValue today = MakeDate(2010, 6, 15);
    const TimeValue may2 = MakeDate(2007, 5, 2);
    struct Case {
        const char* element;
        const char* description;
        TimeValue date;
        std::int32_t amount;
        RuleShape rule;
    };
    const RuleShape once{RepeatOnce, 1, 1, -1};
    const Case cases[] = {
        {"<TRANSACTION/>", "", today, 0, once},
        {"<TRANSACTION><DESCRIPTION>Gas</DESCRIPTION><DATE>05/02/2007</DATE><AMOUNT>-45</AMOUNT></TRANSACTION>",
         "Gas", may2, -45, once},
        {"<TRANSACTION><DATE>5/2/2007</DATE><AMOUNT>12abc</AMOUNT></TRANSACTION>", "", today, 12, once},
        {"<TRANSACTION><AMOUNT>99999999999</AMOUNT><REPEAT Type=\"weekly\" Delta=\"2\" Count=\"0\"/></TRANSACTION>",
         "", today, 2147483647, once},
        {"<TRANSACTION><REPEAT Type=\"Once\" Delta=\"5\" Count=\"3\"/></TRANSACTION>", "", today, 0, once},
        {"<TRANSACTION><REPEAT Type=\"Monthly \" Delta=\"1\" Count=\"0\"/></TRANSACTION>", "", today, 0, once},
        {"<TRANSACTION><REPEAT Type=\"Daily\" Delta=\"-3\" Count=\"4\"/></TRANSACTION>", "", today, 0,
         {RepeatDaily, -3, 4, -1}},
        {"<TRANSACTION><REPEAT Type=\"Daily\"/></TRANSACTION>", "", today, 0, {RepeatDaily, 0, 0, -1}},
        {"<TRANSACTION><REPEAT Type=\"Weekly\" Delta=\"2\" Count=\"-1\"/></TRANSACTION>", "", today, 0,
         {RepeatWeekly, 14, 4294967295u, -1}},
        {"<TRANSACTION><REPEAT Type=\"Monthly\" Delta=\"3\" Count=\"6\" Day=\"28\"/></TRANSACTION>", "", today, 0,
         {RepeatMonthly, 3, 6, 28}},
        {"<TRANSACTION><REPEAT Type=\"Monthly\" Delta=\"1\" Count=\"0\" Day=\"31\"/></TRANSACTION>", "", today, 0,
         {RepeatMonthly, 1, 0, 0}},
        {"<TRANSACTION><REPEAT Type=\"Monthly\" Delta=\"1\" Count=\"0\" Day=\"-1\"/></TRANSACTION>", "", today, 0,
         {RepeatMonthly, 1, 0, 0}},
        {"<TRANSACTION><REPEAT Type=\"Yearly\" Delta=\"2\" Count=\"5\" Day=\"9\"/></TRANSACTION>", "", today, 0,
         {RepeatYearly, 2, 5, -1}},
        // Out of order: DATE before DESCRIPTION is passed over.
        {"<TRANSACTION><DATE>05/02/2007</DATE><DESCRIPTION>Late</DESCRIPTION><AMOUNT>7</AMOUNT></TRANSACTION>",
         "Late", today, 7, once},
        // A missing DATE must not take the DESCRIPTION's text.
        {"<TRANSACTION><DESCRIPTION>05/02/2007</DESCRIPTION><AMOUNT>1</AMOUNT></TRANSACTION>", "05/02/2007", today,
         1, once},
        {"<TRANSACTION Type=\"Daily\"><DESCRIPTION>a &lt;b&gt; &amp; c</DESCRIPTION></TRANSACTION>", "a <b> & c",
         today, 0, once},
    };
    for (const Case& c : cases) {
        const DataFile::LoadResult result = DataFile::ParseDocument(Wrap(c.element), today);
        ASSERT_EQ(result.status, DataFile::Status::Loaded) << c.element;
        ASSERT_EQ(result.contents.transactions.size(), 1u) << c.element;
        const DataFile::Transaction& transaction = result.contents.transactions[0];
        EXPECT_EQ(transaction.description, c.description) << c.element;
        EXPECT_EQ(transaction.date, c.date) << c.element;
        EXPECT_EQ(transaction.amount, c.amount) << c.element;
        EXPECT_EQ(Shape(*transaction.rule), c.rule) << c.element;
    }
}

TEST(DataFileTest, AccountsTakeTheirDefaults)
{
    const DataFile::LoadResult result = DataFile::ParseDocument(
        "<TILLANE><ACCOUNTS><ACCOUNT><DESCRIPTION>Cash</DESCRIPTION></ACCOUNT>"
        "<ACCOUNT><AMOUNT>12 dollars</AMOUNT></ACCOUNT><OTHER/><ACCOUNT><AMOUNT>-2147483649</AMOUNT></ACCOUNT>"
        "<ACCOUNT><AMOUNT>5</AMOUNT><DESCRIPTION>late</DESCRIPTION></ACCOUNT></ACCOUNTS></TILLANE>",
        0);
    ASSERT_EQ(result.contents.accounts.size(), 4u);
    EXPECT_EQ(result.contents.accounts[0].description, "Cash");
    EXPECT_EQ(result.contents.accounts[0].balance, 0);
    EXPECT_EQ(result.contents.accounts[1].description, "");
    EXPECT_EQ(result.contents.accounts[1].balance, 12);
    EXPECT_EQ(result.contents.accounts[2].description, "");
    EXPECT_EQ(result.contents.accounts[2].balance, -2147483647 - 1);
    // An AMOUNT before its DESCRIPTION is passed over.
    EXPECT_EQ(result.contents.accounts[3].description, "late");
    EXPECT_EQ(result.contents.accounts[3].balance, 0);
}

TEST(DataFileTest, DocumentsAreReadOnlyInTheWritersOrder)
{
    TzGuard zone(testing_support::kEastern);
    const DataFile::LoadResult bare = DataFile::ParseDocument("<TILLANE Format=\"1\"/>", 0);
    EXPECT_EQ(bare.status, DataFile::Status::Loaded);
    EXPECT_FALSE(bare.contents.startDate);
    EXPECT_TRUE(bare.contents.accounts.empty());
    EXPECT_TRUE(bare.contents.transactions.empty());

    const DataFile::LoadResult late = DataFile::ParseDocument(
        "<TILLANE><ACCOUNTS><ACCOUNT/></ACCOUNTS><CASHFLOW StartDate=\"01/05/2007\" Duration=\"24\"/>"
        "<TRANSACTIONS><TRANSACTION/></TRANSACTIONS></TILLANE>",
        0);
    EXPECT_EQ(late.contents.startDate, MakeDate(2007, 1, 5));
    EXPECT_EQ(late.contents.duration, 24u);
    EXPECT_TRUE(late.contents.accounts.empty());
    EXPECT_EQ(late.contents.transactions.size(), 1u);

    const DataFile::LoadResult shortDate =
        DataFile::ParseDocument("<TILLANE><CASHFLOW StartDate=\"1/5/2007\" Duration=\"0\"/></TILLANE>", 0);
    EXPECT_FALSE(shortDate.contents.startDate);
    EXPECT_EQ(shortDate.contents.duration, 13u);
}

// Dates keep their day through a save and a load, at both ends of the years the program
// handles and either side of the old 32-bit limits.
TEST(DataFileTest, DatesReadBackUnchangedAfterSaveAndLoad)
{
    TzGuard zone(testing_support::kEastern);
    TempDir dir;
    const TimeValue today = MakeDate(2010, 6, 15);
    for (const TimeValue day : {MakeDate(1000, 1, 1), MakeDate(1969, 12, 31), MakeDate(1970, 1, 1),
                                MakeDate(2038, 1, 19), MakeDate(2038, 2, 1), MakeDate(9999, 12, 31)}) {
        SCOPED_TRACE(FormatDate(day));
        DataFile::Contents contents = SampleContents(day);
        ASSERT_TRUE(TextFile::Write(dir / "dates", DataFile::WriteDocument(contents, today)));
        const DataFile::LoadResult loaded = DataFile::LoadFile(dir / "dates", today);
        ASSERT_EQ(loaded.status, DataFile::Status::Loaded);
        EXPECT_EQ(loaded.contents.startDate, day);
        ASSERT_EQ(loaded.contents.transactions.size(), 2u);
        EXPECT_EQ(loaded.contents.transactions[0].date, day);
        EXPECT_TRUE(loaded.notes.empty());
    }
}

// A date that is no date falls back to today, and one outside the years 1000 to 9999 to
// the nearer end of them; either way the save would write another date, and that is said.
TEST(DataFileTest, DatesTheReaderMendsAreNoted)
{
    TzGuard zone(testing_support::kEastern);
    const TimeValue today = MakeDate(2010, 6, 15);
    struct Case {
        const char* date;
        TimeValue read;
    };
    const Case cases[] = {
        {"", today},
        {"05/02/2007", MakeDate(2007, 5, 2)},
        {"5/2/2007", today},
        {"01/01/999", today},
        {"01/01/0999", MakeDate(1000, 1, 1)},
        {"12/32/9999", MakeDate(9999, 12, 31)},
        {"02/30/2027", MakeDate(2027, 3, 2)},
        {"13/01/2027", MakeDate(2028, 1, 1)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.date);
        const std::string date = c.date;
        const DataFile::LoadResult result = DataFile::ParseDocument(
            "<TILLANE Format=\"1\"><CASHFLOW StartDate=\"" + date + "\" Duration=\"13\"/><TRANSACTIONS>"
            "<TRANSACTION Type=\"Once\"><DESCRIPTION>Rent</DESCRIPTION><DATE>" + date + "</DATE><AMOUNT>0</AMOUNT>"
            "<REPEAT Type=\"Once\" Delta=\"1\" Count=\"1\"/></TRANSACTION></TRANSACTIONS></TILLANE>",
            today);
        ASSERT_EQ(result.contents.transactions.size(), 1u);
        EXPECT_EQ(result.contents.transactions[0].date, c.read);
        EXPECT_EQ(result.contents.startDate.value_or(today), c.read);
        if (FormatDate(c.read) == date) {
            EXPECT_EQ(result.differences, 0u);
            EXPECT_TRUE(result.notes.empty());
            continue;
        }
        EXPECT_EQ(result.differences, 2u);
        EXPECT_EQ(result.notes, (DataFile::Notes{"CASHFLOW StartDate \"" + date + "\" read as " + FormatDate(c.read),
                                                 "DATE \"" + date + "\" of \"Rent\" read as " + FormatDate(c.read)}));
    }
}

TEST(DataFileTest, StatusTellsWhyNothingWasLoaded)
{
    TempDir dir;
    EXPECT_EQ(DataFile::LoadFile(dir / "absent", 0).status, DataFile::Status::Missing);
    EXPECT_EQ(DataFile::LoadFile(dir.Path(), 0).status, DataFile::Status::Unreadable);
    WriteFileBytes(dir / "empty", "");
    EXPECT_EQ(DataFile::LoadFile(dir / "empty", 0).status, DataFile::Status::Empty);
    WriteFileBytes(dir / "lines", "\r\n\n");
    EXPECT_EQ(DataFile::LoadFile(dir / "lines", 0).status, DataFile::Status::Empty);
    WriteFileBytes(dir / "broken", "<TILLANE><ACCOUNTS></TILLANE>");
    EXPECT_EQ(DataFile::LoadFile(dir / "broken", 0).status, DataFile::Status::Malformed);
    WriteFileBytes(dir / "text", "just words");
    EXPECT_EQ(DataFile::LoadFile(dir / "text", 0).status, DataFile::Status::Malformed);
    WriteFileBytes(dir / "other", "<html><body/></html>");
    EXPECT_EQ(DataFile::LoadFile(dir / "other", 0).status, DataFile::Status::NotDataFile);
}

TEST(DataFileTest, EveryKindOfLineEndLoadsTheSame)
{
    TzGuard zone(testing_support::kEastern);
    TempDir dir;
    std::string lf;
    for (const char c : std::string(kSampleDocument))
        if (c != '\r')
            lf.push_back(c);
    std::string crlf;
    std::string crcrlf;
    for (const char c : lf) {
        crlf += c == '\n' ? "\r\n" : std::string(1, c);
        crcrlf += c == '\n' ? "\r\r\n" : std::string(1, c);
    }
    for (const std::string& bytes : {lf, crlf, crcrlf}) {
        WriteFileBytes(dir / "f", bytes);
        const DataFile::LoadResult result = DataFile::LoadFile(dir / "f", 0);
        ASSERT_EQ(result.status, DataFile::Status::Loaded);
        EXPECT_EQ(result.contents.startDate, MakeDate(2006, 3, 7));
        ASSERT_EQ(result.contents.transactions.size(), 2u);
        EXPECT_EQ(result.contents.transactions[1].description, "Rent/Mortgage");
        EXPECT_EQ(Shape(*result.contents.transactions[1].rule), RuleShape(RepeatMonthly, 1, 0, 1));
        EXPECT_EQ(result.contents.accounts.size(), 2u);
    }
}

TEST(DataFileTest, MarkupInDescriptionsRoundTripsButLineFeedsAreLost)
{
    TzGuard zone(testing_support::kEastern);
    DataFile::Contents contents;
    contents.startDate = MakeDate(2006, 3, 7);
    contents.accounts = {{"A <b> & c", 5}, {"two\nlines", 6}, {"", 7}};
    const std::string text = DataFile::WriteDocument(contents, 0);
    EXPECT_NE(text.find("<DESCRIPTION>A &lt;b&gt; &amp; c</DESCRIPTION>"), std::string::npos) << text;
    EXPECT_NE(text.find("<DESCRIPTION/>"), std::string::npos) << text;

    TempDir dir;
    ASSERT_TRUE(TextFile::Write(dir / "f", text));
    const DataFile::LoadResult result = DataFile::LoadFile(dir / "f", 0);
    ASSERT_EQ(result.contents.accounts.size(), 3u);
    EXPECT_EQ(result.contents.accounts[0].description, "A <b> & c");
    EXPECT_EQ(result.contents.accounts[1].description, "twolines");
    EXPECT_EQ(result.contents.accounts[2].description, "");
    EXPECT_EQ(result.contents.accounts[2].balance, 7);
}

TEST(DataFileTest, EmptyListsWriteOnlyTheTopLevelAndCashflow)
{
    TzGuard zone(testing_support::kEastern);
    DataFile::Contents contents;
    contents.duration = 99;
    EXPECT_EQ(DataFile::WriteDocument(contents, MakeDate(2038, 2, 1)),
              "<TILLANE Format=\"1\">\r\n<CASHFLOW StartDate=\"02/01/2038\" Duration=\"99\"/>\r\n</TILLANE>\r\n");
}

TEST(DataFileTest, WarnBelowIsWrittenOnlyWhenNotZeroAndReadLikeANumber)
{
    TzGuard zone(testing_support::kEastern);
    DataFile::Contents contents;
    contents.warnBelow = -500;
    const std::string text = DataFile::WriteDocument(contents, MakeDate(2038, 2, 1));
    EXPECT_EQ(text, "<TILLANE Format=\"1\">\r\n<CASHFLOW StartDate=\"02/01/2038\" Duration=\"13\" WarnBelow=\"-500\"/>\r\n"
                    "</TILLANE>\r\n");
    EXPECT_EQ(DataFile::ParseDocument(text, 0).contents.warnBelow, -500);

    EXPECT_EQ(DataFile::ParseDocument("<TILLANE><CASHFLOW WarnBelow=\"250 dollars\"/></TILLANE>", 0).contents.warnBelow,
              250);
    EXPECT_EQ(DataFile::ParseDocument("<TILLANE><CASHFLOW StartDate=\"02/01/2038\"/></TILLANE>", 0).contents.warnBelow,
              0);
}

// A what-if transaction says so directly after its Type; an ordinary one writes nothing
// (the sample's bytes above), and any other value is one the reader takes otherwise.
TEST(DataFileTest, TentativeIsWrittenOnlyWhenSetAndReadLikeANumber)
{
    TzGuard zone(testing_support::kEastern);
    const TimeValue today = MakeDate(2010, 6, 15);
    DataFile::Contents contents = SampleContents(MakeDate(2006, 3, 7));
    contents.transactions[1].tentative = true;
    const std::string text = DataFile::WriteDocument(contents, today);
    std::string expected = kSampleDocument;
    const std::string monthly = "<TRANSACTION Type=\"Monthly\">";
    expected.replace(expected.find(monthly), monthly.size(), "<TRANSACTION Type=\"Monthly\" Tentative=\"1\">");
    EXPECT_EQ(text, expected);

    const DataFile::LoadResult loaded = DataFile::ParseDocument(text, today);
    ASSERT_EQ(loaded.contents.transactions.size(), 2u);
    EXPECT_FALSE(loaded.contents.transactions[0].tentative);
    EXPECT_TRUE(loaded.contents.transactions[1].tentative);
    EXPECT_EQ(loaded.differences, 0u);

    auto with = [&](const std::string& value) {
        std::string other = text;
        return other.replace(other.find("Tentative=\"1\""), 13, "Tentative=\"" + value + "\"");
    };
    const DataFile::LoadResult two = DataFile::ParseDocument(with("2"), today);
    EXPECT_TRUE(two.contents.transactions[1].tentative);
    EXPECT_EQ(two.notes, (DataFile::Notes{"TRANSACTION Tentative \"2\" of \"Rent/Mortgage\" read as 1"}));
    const DataFile::LoadResult zero = DataFile::ParseDocument(with("0"), today);
    EXPECT_FALSE(zero.contents.transactions[1].tentative);
    EXPECT_EQ(zero.notes, (DataFile::Notes{"attribute Tentative on TRANSACTION of \"Rent/Mortgage\""}));
}

TEST(DataFileTest, RulesWriteTheirOwnUnitAndDayOnlyWhenMonthly)
{
    struct Case {
        std::unique_ptr<CDateRepeater> rule;
        const char* element;
    };
    Case cases[] = {
        {std::make_unique<CDateRepeaterOnce>(), "<REPEAT Type=\"Once\" Delta=\"1\" Count=\"1\"/>"},
        {std::make_unique<CDateRepeaterDaily>(3, 10), "<REPEAT Type=\"Daily\" Delta=\"3\" Count=\"10\"/>"},
        {std::make_unique<CDateRepeaterWeekly>(2, 0), "<REPEAT Type=\"Weekly\" Delta=\"2\" Count=\"0\"/>"},
        {std::make_unique<CDateRepeaterMonthly>(-1, 4294967295u, 0),
         "<REPEAT Type=\"Monthly\" Delta=\"-1\" Count=\"-1\" Day=\"0\"/>"},
        {std::make_unique<CDateRepeaterYearly>(4, 2), "<REPEAT Type=\"Yearly\" Delta=\"4\" Count=\"2\"/>"},
    };
    for (const Case& c : cases) {
        CXmlDocument document;
        ASSERT_TRUE(document.AddElement("TRANSACTION"));
        ASSERT_TRUE(DataFile::WriteRepeat(document, *c.rule));
        EXPECT_NE(document.GetDocument().find(c.element), std::string::npos) << document.GetDocument();

        CXmlDocument reading;
        ASSERT_TRUE(reading.SetDocument(document.GetDocument()));
        ASSERT_TRUE(reading.FindElement("TRANSACTION"));
        ASSERT_TRUE(reading.FindChildElement(DataFile::kRepeat));
        const auto back = DataFile::MakeRepeater(reading.GetChildAttribute(DataFile::kType),
                                                 reading.GetChildAttribute(DataFile::kDelta),
                                                 reading.GetChildAttribute(DataFile::kCount),
                                                 reading.GetChildAttribute(DataFile::kDay));
        EXPECT_EQ(Shape(*back), Shape(*c.rule)) << c.element;
    }
}

// Weekend days, holidays and the rules' extra days and moves are written only when used,
// in their places and order, read back as written and saved again byte for byte; forms
// the reader does not take are noted as content a save would drop.
TEST(DataFileTest, BusinessDaysAndMonthlyDaysAreWrittenOnlyWhenUsedAndInTheirOrder)
{
    TzGuard zone(testing_support::kEastern);
    const TimeValue march7 = MakeDate(2006, 3, 7);
    const TimeValue today = MakeDate(2010, 6, 15);
    DataFile::Contents contents;
    contents.startDate = march7;
    contents.warnBelow = -5;
    contents.weekendDays = (1u << 5) | (1u << 6);
    contents.transactions.push_back(
        {"Club", march7, -20, std::make_unique<CDateRepeaterMonthly>(1, 0, 7, MonthlyDays{2, 5, 0},
                                                                     BusinessDayMove::After)});
    contents.transactions.push_back(
        {"Pay", march7, 900, std::make_unique<CDateRepeaterMonthly>(1, 24, 1, MonthlyDays{0, 0, 31})});
    contents.transactions.push_back({"Tax", march7, -5, std::make_unique<CDateRepeaterOnce>(BusinessDayMove::Nearest)});
    contents.transactions[1].exceptions = {{MakeDate(2006, 3, 1), true, MakeDate(2006, 3, 2), std::nullopt},
                                           {MakeDate(2006, 3, 31), false, MakeDate(2006, 4, 3), -12},
                                           {MakeDate(2006, 4, 30), false, std::nullopt, 0}};
    contents.holidays = {{MakeDate(2006, 12, 25), "Christmas & Co", true}, {MakeDate(2007, 1, 2), "Bridge day", false}};
    const std::string text = DataFile::WriteDocument(contents, today);
    EXPECT_EQ(text,
              "<TILLANE Format=\"1\">\r\n"
              "<CASHFLOW StartDate=\"03/07/2006\" Duration=\"13\" WarnBelow=\"-5\" WeekendDays=\"56\"/>\r\n"
              "<TRANSACTIONS>\r\n"
              "<TRANSACTION Type=\"Monthly\">\r\n<DESCRIPTION>Club</DESCRIPTION>\r\n<DATE>03/07/2006</DATE>\r\n"
              "<AMOUNT>-20</AMOUNT>\r\n"
              "<REPEAT Type=\"Monthly\" Delta=\"1\" Count=\"0\" Day=\"7\" Week=\"2\" Weekday=\"5\" BusinessDay=\"After\"/>\r\n"
              "</TRANSACTION>\r\n"
              "<TRANSACTION Type=\"Monthly\">\r\n<DESCRIPTION>Pay</DESCRIPTION>\r\n<DATE>03/07/2006</DATE>\r\n"
              "<AMOUNT>900</AMOUNT>\r\n"
              "<REPEAT Type=\"Monthly\" Delta=\"1\" Count=\"24\" Day=\"1\" Day2=\"31\"/>\r\n"
              "<EXCEPTION Date=\"03/01/2006\" Skip=\"1\" MoveTo=\"03/02/2006\"/>\r\n"
              "<EXCEPTION Date=\"03/31/2006\" MoveTo=\"04/03/2006\" Amount=\"-12\"/>\r\n"
              "<EXCEPTION Date=\"04/30/2006\" Amount=\"0\"/>\r\n"
              "</TRANSACTION>\r\n"
              "<TRANSACTION Type=\"Once\">\r\n<DESCRIPTION>Tax</DESCRIPTION>\r\n<DATE>03/07/2006</DATE>\r\n"
              "<AMOUNT>-5</AMOUNT>\r\n"
              "<REPEAT Type=\"Once\" Delta=\"1\" Count=\"1\" BusinessDay=\"Nearest\"/>\r\n"
              "</TRANSACTION>\r\n"
              "</TRANSACTIONS>\r\n"
              "<HOLIDAYS>\r\n"
              "<HOLIDAY Yearly=\"1\">\r\n<DESCRIPTION>Christmas &amp; Co</DESCRIPTION>\r\n<DATE>12/25/2006</DATE>\r\n"
              "</HOLIDAY>\r\n"
              "<HOLIDAY>\r\n<DESCRIPTION>Bridge day</DESCRIPTION>\r\n<DATE>01/02/2007</DATE>\r\n</HOLIDAY>\r\n"
              "</HOLIDAYS>\r\n"
              "</TILLANE>\r\n");
    const DataFile::LoadResult loaded = DataFile::ParseDocument(text, today);
    EXPECT_EQ(loaded.differences, 0u);
    EXPECT_EQ(loaded.contents.weekendDays, contents.weekendDays);
    EXPECT_EQ(loaded.contents.holidays, contents.holidays);
    EXPECT_EQ(loaded.contents.transactions[1].exceptions, contents.transactions[1].exceptions);
    EXPECT_EQ(DataFile::WriteDocument(loaded.contents, today), text);

    // "none" is no weekend; every weekend form but the ascending digits is left out.
    EXPECT_EQ(DataFile::ParseWeekendDays("none"), std::uint8_t(0));
    EXPECT_EQ(DataFile::ParseWeekendDays("0123456"), std::uint8_t(0x7F));
    for (const char* refused : {"", "60", "066", "7", "0 6", "None"})
        EXPECT_FALSE(DataFile::ParseWeekendDays(refused)) << refused;

    struct Case {
        std::string from, to;
        DataFile::Notes notes;
    };
    const Case cases[] = {
        {"WeekendDays=\"56\"", "WeekendDays=\"65\"", {"attribute WeekendDays on CASHFLOW"}},
        {" Week=\"2\" Weekday=\"5\"", " Week=\"2\"", {"attribute Week on REPEAT of \"Club\""}},
        {"Week=\"2\"", "Week=\"5\"",
         {"attribute Week on REPEAT of \"Club\"", "attribute Weekday on REPEAT of \"Club\""}},
        {"Day2=\"31\"", "Day2=\"32\"", {"attribute Day2 on REPEAT of \"Pay\""}},
        {"BusinessDay=\"Nearest\"", "BusinessDay=\"nearest\"", {"attribute BusinessDay on REPEAT of \"Tax\""}},
        {"Count=\"1\" Busi", "Count=\"1\" Day2=\"3\" Busi", {"attribute Day2 on REPEAT of \"Tax\""}},
        {"<HOLIDAY>\r\n<DESCRIPTION>Bridge day</DESCRIPTION>\r\n<DATE>01/02/2007</DATE>",
         "<HOLIDAY>\r\n<DESCRIPTION>Bridge day</DESCRIPTION>", {"element HOLIDAY in HOLIDAYS"}},
        {"HOLIDAY Yearly=\"1\"", "HOLIDAY Yearly=\"yes\"", {"attribute Yearly on HOLIDAY of \"Christmas & Co\""}},
        // An exception the reader cannot place is passed over, a second one for a day too,
        // and values read otherwise are said: none is lost without a word.
        {"Date=\"03/31/2006\"", "Date=\"3/31/06\"",
         {"EXCEPTION Date \"3/31/06\" of \"Pay\" read as 04/30/2006", "attribute MoveTo on EXCEPTION of \"Pay\"",
          "EXCEPTION Amount \"-12\" of \"Pay\" read as 0", "element EXCEPTION in TRANSACTION of \"Pay\""}},
        {"Date=\"04/30/2006\"", "Date=\"03/31/2006\"", {"element EXCEPTION in TRANSACTION of \"Pay\""}},
        {"MoveTo=\"04/03/2006\"", "MoveTo=\"04/3/2006\"", {"attribute MoveTo on EXCEPTION of \"Pay\""}},
        {"Amount=\"-12\"", "Amount=\"-12.50\"", {"EXCEPTION Amount \"-12.50\" of \"Pay\" read as -12"}},
        {"Skip=\"1\"", "Skip=\"yes\"", {"attribute Skip on EXCEPTION of \"Pay\""}},
    };
    for (const Case& c : cases) {
        std::string changed = text;
        const std::size_t at = changed.find(c.from);
        ASSERT_NE(at, std::string::npos) << c.from;
        changed.replace(at, c.from.size(), c.to);
        const DataFile::LoadResult result = DataFile::ParseDocument(changed, today);
        EXPECT_EQ(result.differences, c.notes.size()) << c.to;
        EXPECT_EQ(result.notes, c.notes) << c.to;
    }
}

// What a save would not keep as the file holds it is found, and said in words: content
// the reader passes over, values missing or written another way.
TEST(DataFileTest, WhatASaveWouldChangeIsNoted)
{
    TzGuard zone(testing_support::kEastern);
    const TimeValue today = MakeDate(2010, 6, 15);
    const std::string sample = kSampleDocument;
    auto with = [&](const std::string& from, const std::string& to) {
        std::string text = sample;
        const std::size_t at = text.find(from);
        EXPECT_NE(at, std::string::npos) << from;
        return at == std::string::npos ? text : text.replace(at, from.size(), to);
    };
    // Written another way, but holding the same: nothing to say.
    std::string lineFeeds;
    for (const char c : sample)
        if (c != '\r')
            lineFeeds += c;
    for (const std::string& same : {
             sample,
             lineFeeds,
             with("<CASHFLOW", "<ACCOUNTS/>\r\n<CASHFLOW"),
             with("</TILLANE>", "<TRANSACTIONS>\n \t</TRANSACTIONS></TILLANE>"),
             with("Type=\"Weekly\" Delta=\"2\" Count=\"0\"", "Count = '0'  Delta=\"2\"\r\nType=\"Weekly\""),
             with("<DESCRIPTION>Payday</DESCRIPTION>", "<DESCRIPTION><![CDATA[Payday]]></DESCRIPTION>"),
             with("<DESCRIPTION>Payday</DESCRIPTION>", "<DESCRIPTION>Pay&#x64;ay &gt;&amp; \"</DESCRIPTION>"),
             with("<ACCOUNT>", "<ACCOUNT >"),
         }) {
        const DataFile::LoadResult result = DataFile::ParseDocument(same, today);
        ASSERT_EQ(result.status, DataFile::Status::Loaded) << same;
        // The reference above is not decoded: it is the one difference there.
        const bool reference = same.find("&#x64;") != std::string::npos;
        EXPECT_EQ(result.differences, reference ? 1u : 0u) << same;
        if (reference) {
            EXPECT_EQ(result.notes, (DataFile::Notes{"reference &#x64; in DESCRIPTION of \"Pay&#x64;ay >& \"\" "
                                                     "read as text"}));
        }
    }

    struct Case {
        std::string text;
        std::vector<std::string> notes;
    };
    const Case cases[] = {
        {with("<AMOUNT>400</AMOUNT>\r\n", ""), {"no AMOUNT of \"Payday\": read as 0"}},
        {with("<AMOUNT>400<", "<AMOUNT> 400<"), {"AMOUNT \" 400\" of \"Payday\" read as 400"}},
        {with("<DATE>03/07/2006</DATE>\r\n<AMOUNT>400</AMOUNT>", "<AMOUNT>400</AMOUNT><DATE>03/07/2006</DATE>"),
         {"element AMOUNT in TRANSACTION of \"Payday\"", "no AMOUNT of \"Payday\": read as 0"}},
        {with("<DESCRIPTION>Payday</DESCRIPTION>", "<DESCRIPTION>Pay<B>bold</B></DESCRIPTION>"),
         {"element B in DESCRIPTION of \"\"", "text \"Pay\" in DESCRIPTION of \"\""}},
        {with("<DESCRIPTION>Payday</DESCRIPTION>", "<DESCRIPTION> <![CDATA[Payday]]>!</DESCRIPTION>"),
         {"text \"!\" in DESCRIPTION of \"Payday\""}},
        {with("<DESCRIPTION>Payday</DESCRIPTION>", "<DESCRIPTION>Pay<!-- no -->day</DESCRIPTION>"),
         {"a comment in DESCRIPTION of \"Pay<!-- no -->day\""}},
        {with("Delta=\"2\"", "Delta=2"), {"text \"Delta\" in the tag of REPEAT of \"Payday\"",
                                         "text \"=\" in the tag of REPEAT of \"Payday\"",
                                         "text \"2\" in the tag of REPEAT of \"Payday\"",
                                         "no Delta on REPEAT of \"Payday\": read as 0"}},
        {with("Count=\"0\"", "Count=\"0\" Count=\"0\""), {"attribute Count on REPEAT of \"Payday\""}},
        {with("<ACCOUNTS>", "<ACCOUNTS><!--1--><!--2--><?3?><!--4--><!--5-->6"),
         {"a comment in ACCOUNTS", "a comment in ACCOUNTS", "a processing instruction in ACCOUNTS",
          "a comment in ACCOUNTS", "a comment in ACCOUNTS", "text \"6\" in ACCOUNTS"}},
        {"<TILLANE/>", {"no Format on TILLANE: read as 1", "no CASHFLOW"}},
    };
    for (const Case& c : cases) {
        const DataFile::LoadResult result = DataFile::ParseDocument(c.text, today);
        ASSERT_EQ(result.status, DataFile::Status::Loaded) << c.text;
        EXPECT_EQ(result.differences, c.notes.size()) << c.text;
        const std::size_t kept = std::min(c.notes.size(), DataFile::kNotesKept);
        EXPECT_EQ(result.notes, DataFile::Notes(c.notes.begin(), c.notes.begin() + kept)) << c.text;
    }
}

// An exception's date reads as any date of the file does, whatever its text: the
// reader's quick way with "MM/DD/YYYY" changes nothing.
TEST(DataFileTest, ExceptionDatesReadAsFileDates)
{
    TzGuard zone(testing_support::kEastern);
    std::mt19937 random(29);
    const char pieces[] = {'0', '1', '2', '9', '0', '1', '3', '/', '-', ' ', '+', 'x', '\0'};
    const TimeValue today = MakeDate(2026, 12, 9);
    for (int round = 0; round < 2000; ++round) {
        std::string date;
        const int length = std::uniform_int_distribution<int>(8, 12)(random);
        for (int i = 0; i < length; ++i)
            date += pieces[std::uniform_int_distribution<std::size_t>(0, std::size(pieces) - 1)(random)];
        // Half well-formed, with days past the month's end and years out of range.
        const char* years[] = {"0999", "1000", "2006", "2024", "9999", "0000"};
        if (round % 2 == 0)
            date = std::to_string(10 + round % 3) + "/" + std::to_string(10 + round % 22) + "/" +
                   years[std::uniform_int_distribution<std::size_t>(0, std::size(years) - 1)(random)];
        std::string moveTo = date;
        std::reverse(moveTo.begin(), moveTo.end());
        const std::string text = "<TILLANE><TRANSACTIONS><TRANSACTION><REPEAT/><EXCEPTION Date=\"" + date +
                                 "\" MoveTo=\"" + moveTo + "\"/></TRANSACTION></TRANSACTIONS></TILLANE>";
        const DataFile::LoadResult result = DataFile::ParseDocument(text, today);
        ASSERT_EQ(result.contents.transactions.size(), 1u);
        const auto& exceptions = result.contents.transactions[0].exceptions;
        const std::optional<TimeValue> expected = ParseDate(date);
        ASSERT_EQ(exceptions.size(), expected ? 1u : 0u) << date;
        if (!expected)
            continue;
        EXPECT_EQ(exceptions[0].date, ClampDate(*expected)) << date;
        const std::optional<TimeValue> moved = ParseDate(moveTo);
        EXPECT_EQ(exceptions[0].moveTo, moved ? std::optional(ClampDate(*moved)) : std::nullopt) << moveTo;
    }
}

// Exceptions as the program writes them are read without the general reader, and a file
// holding them so is checked for what a save would change without writing them again:
// whatever their values and order, they read, and differ from what a save writes, as
// they do spaced out, which only the general reader and the full check take.
TEST(DataFileTest, ExceptionsReadTheSameHoweverTheirTagsAreSpaced)
{
    TzGuard zone(testing_support::kEastern);
    std::mt19937 random(31);
    const std::vector<std::string> dates = {"03/01/2027", "02/29/2028", "02/30/2027", "13/01/2027", "00/10/2027",
                                            "01/01/1000", "12/31/9999", "03/01/0999", "3/1/2027", "03/01/2027x",
                                            "03-01-2027", "", "03&amp;1/2027", "03/31/2027", "11/07/2027"};
    const std::vector<std::string> numbers = {"1", "0", "-0", "007", "+5", "-25", "2147483647", "-2147483648",
                                              "2147483648", "12abc", "", "-", "1&lt;", " 4", "-600"};
    const char* names[] = {"Date", "Skip", "MoveTo", "Amount"};
    auto pick = [&](const std::vector<std::string>& pool, bool written) {
        // Half the time one the program writes.
        const std::size_t last = written ? (&pool == &dates ? 2 : 6) : pool.size() - 1;
        return pool[std::uniform_int_distribution<std::size_t>(0, last)(random)];
    };
    const TimeValue today = MakeDate(2026, 12, 9);
    int settledWithout = 0;
    for (int round = 0; round < 3000; ++round) {
        std::string tight, spaced, clean;
        const int count = std::uniform_int_distribution<int>(1, 3)(random);
        const bool written = round % 2 == 0;
        for (int e = 0; e < count; ++e) {
            std::string attributes, spacedAttributes;
            for (std::size_t a = 0; a < std::size(names); ++a) {
                // Date nearly always; the others half the time; now and then out of order.
                if (a > 0 && random() % 2 == 0)
                    continue;
                const std::size_t name = round % 7 == 1 ? random() % std::size(names) : a;
                std::string value = name % 2 == 0 ? pick(dates, written) : pick(numbers, written);
                if (written && name == 1)
                    value = "1";
                attributes += std::string(" ") + names[name] + "=\"" + value + "\"";
                spacedAttributes += std::string("  ") + names[name] + " = \"" + value + "\"";
            }
            tight += "<EXCEPTION" + attributes + "/>\r\n";
            spaced += "<EXCEPTION" + spacedAttributes + " />\r\n";
            clean += "<EXCEPTION" + attributes + "/>\r\n";
            // Now and then an element between them that is none (and is passed over).
            if (round % 5 == 2) {
                const char* other = e % 2 ? "<EXCEPTIONS Date=\"03/01/2027\"/>\r\n" : "<NOTE>x</NOTE>\r\n";
                tight += other;
                spaced += other;
            }
        }
        auto load = [&](const std::string& exceptions) {
            return DataFile::ParseDocument("<TILLANE Format=\"1\">\r\n<CASHFLOW StartDate=\"03/07/2026\" "
                                           "Duration=\"12\"/>\r\n<TRANSACTIONS>\r\n<TRANSACTION Type=\"Monthly\">\r\n"
                                           "<DESCRIPTION>Rent</DESCRIPTION>\r\n<DATE>03/01/2027</DATE>\r\n"
                                           "<AMOUNT>-600</AMOUNT>\r\n<REPEAT Type=\"Monthly\" Delta=\"1\" Count=\"0\" "
                                           "Day=\"1\"/>\r\n" +
                                               exceptions + "</TRANSACTION>\r\n</TRANSACTIONS>\r\n</TILLANE>\r\n",
                                           today);
        };
        const DataFile::LoadResult read = load(tight), general = load(spaced);
        ASSERT_EQ(read.contents.transactions.size(), 1u);
        ASSERT_EQ(general.contents.transactions.size(), 1u);
        EXPECT_EQ(read.contents.transactions[0].exceptions, general.contents.transactions[0].exceptions) << tight;
        EXPECT_EQ(read.contents.transactions[0].exceptions, load(clean).contents.transactions[0].exceptions) << tight;
        EXPECT_EQ(read.differences, general.differences) << tight;
        EXPECT_EQ(read.notes, general.notes) << tight;
        settledWithout += read.differences == 0;
    }
    EXPECT_GT(settledWithout, 200);
}

// Whatever the program writes, read back from the disk, holds what a save writes again,
// however its markup is spelled; and any change made to it is noticed.
TEST(DataFileTest, EveryFileTheProgramWritesReadsWithoutDifferences)
{
    TzGuard zone(testing_support::kEastern);
    std::mt19937 random(23);
    auto number = [&](std::int64_t low, std::int64_t high) {
        return std::uniform_int_distribution<std::int64_t>(low, high)(random);
    };
    const std::string pieces[] = {"Rent", " ", "&", "<", ">", "\"", "'", "&#65;", "&amp;", "<![CDATA[", "]]>",
                                  "<!--", "\r", "\n", "\t", "caf\xC3\xA9", "%1", "=", "/", "?"};
    auto text = [&] {
        std::string made;
        for (std::int64_t count = number(0, 4); count > 0; --count)
            made += pieces[number(0, std::size(pieces) - 1)];
        return made;
    };
    const TimeValue today = MakeDate(2026, 12, 9);
    for (int round = 0; round < 300; ++round) {
        DataFile::Contents contents;
        if (number(0, 3) != 0)
            contents.startDate = MakeDate(static_cast<int>(number(1000, 9999)), static_cast<int>(number(1, 12)),
                                          static_cast<int>(number(1, 28)));
        contents.duration = static_cast<std::uint32_t>(number(1, 99));
        contents.warnBelow = static_cast<std::int32_t>(number(0, 1) ? 0 : number(INT32_MIN, INT32_MAX));
        if (number(0, 1))
            contents.weekendDays = static_cast<std::uint8_t>(number(0, 127));
        for (std::int64_t count = number(0, 1) * number(0, 4); count > 0; --count)
            contents.holidays.push_back({MakeDate(static_cast<int>(number(1000, 9999)), static_cast<int>(number(1, 12)),
                                                  static_cast<int>(number(1, 28))),
                                         text(), number(0, 1) == 1});
        for (std::int64_t count = number(0, 3); count > 0; --count)
            contents.accounts.push_back({text(), static_cast<std::int32_t>(number(INT32_MIN, INT32_MAX))});
        for (std::int64_t count = number(0, 5); count > 0; --count) {
            const auto delta = static_cast<std::int32_t>(number(-5, 40));
            const auto times = static_cast<std::uint32_t>(number(0, UINT32_MAX));
            const auto move = static_cast<BusinessDayMove>(number(0, 3));
            MonthlyDays days;
            if (number(0, 1))
                days = {static_cast<std::int32_t>(number(-1, 4)), static_cast<std::int32_t>(number(0, 6)),
                        static_cast<std::int32_t>(number(0, 31))};
            std::unique_ptr<CDateRepeater> rule;
            switch (number(0, 4)) {
            case 0: rule = std::make_unique<CDateRepeaterOnce>(move); break;
            case 1: rule = std::make_unique<CDateRepeaterDaily>(delta, times, move); break;
            case 2: rule = std::make_unique<CDateRepeaterWeekly>(delta, times, move); break;
            case 3:
                rule = std::make_unique<CDateRepeaterMonthly>(delta, times, static_cast<std::int32_t>(number(-2, 33)),
                                                              days, move);
                break;
            default: rule = std::make_unique<CDateRepeaterYearly>(delta, times, move); break;
            }
            contents.transactions.push_back({text(),
                                             MakeDate(static_cast<int>(number(1000, 9999)),
                                                      static_cast<int>(number(1, 12)), static_cast<int>(number(1, 28))),
                                             static_cast<std::int32_t>(number(INT32_MIN, INT32_MAX)), std::move(rule),
                                             number(0, 2) == 0});
            // Exceptions in date order, one a day, with any of their values.
            TimeValue day = MakeDate(static_cast<int>(number(1000, 1100)), 1, 1);
            for (std::int64_t exceptions = number(0, 1) * number(0, 4); exceptions > 0; --exceptions) {
                day = AddDays(day, number(1, 400000));
                if (day > LatestDate())
                    break;
                PaymentException exception{day, number(0, 1) == 1, std::nullopt, std::nullopt};
                if (number(0, 1))
                    exception.moveTo = AddDays(day, number(-500, 500));
                if (number(0, 1))
                    exception.amount = static_cast<std::int32_t>(number(INT32_MIN, INT32_MAX));
                if (!exception.moveTo || IsDateInRange(*exception.moveTo))
                    contents.transactions.back().exceptions.push_back(exception);
            }
        }
        const std::string text = TextFile::JoinLines(TextFile::ToTextMode(DataFile::WriteDocument(contents, today)));
        const DataFile::LoadResult result = DataFile::ParseDocument(text, today);
        ASSERT_EQ(result.status, DataFile::Status::Loaded) << text;
        EXPECT_EQ(result.differences, 0u) << text << (result.notes.empty() ? "" : result.notes[0]);

        // The same written another way (quotes, spaces in the tags, line ends) says the same.
        std::string other;
        bool inTag = false;
        for (std::size_t at = 0; at < text.size(); ++at) {
            const char c = text[at];
            inTag = c == '<' ? true : c == '>' ? false : inTag;
            if (inTag && c == '"')
                other += '\'';
            else if (inTag && c == '=')
                other += " =\n";
            else if (inTag && c == '/' && text[at + 1] == '>')
                other += " /";
            else
                other += c == '\r' && !inTag && other.back() == '>' ? '\n' : c;
        }
        const DataFile::LoadResult same = DataFile::ParseDocument(other, today);
        EXPECT_EQ(same.differences, 0u) << other << (same.notes.empty() ? "" : same.notes[0]);

        // One change anywhere: a comment before a tag, an attribute on an element, or text
        // after the document.
        std::vector<std::size_t> tags;
        for (std::size_t at = text.find('<'); at != std::string::npos; at = text.find('<', at + 1))
            tags.push_back(at);
        std::string changed = text;
        const std::size_t tag = tags[number(0, tags.size() - 1)];
        switch (number(0, 2)) {
        case 0: changed.insert(tag, "<!--x-->"); break;
        case 1:
            if (changed[tag + 1] != '/') {
                changed.insert(changed.find_first_of(" />", tag), " Note=\"x\"");
                break;
            }
            [[fallthrough]];
        default: changed += "x"; break;
        }
        const DataFile::LoadResult noted = DataFile::ParseDocument(changed, today);
        EXPECT_GE(noted.differences, 1u) << changed;
        EXPECT_EQ(noted.notes.size(), std::min(noted.differences, DataFile::kNotesKept)) << changed;
    }
}

TEST(DataFileTest, OnlyFormatOneIsADataFileOfThisVersion)
{
    EXPECT_EQ(DataFile::ParseDocument("<TILLANE Format=\"2\"/>", 0).status, DataFile::Status::NotDataFile);
    EXPECT_EQ(DataFile::ParseDocument("<TILLANE Format=\"\"/>", 0).status, DataFile::Status::Loaded);
    EXPECT_EQ(DataFile::ParseDocument("<TILLANE/>", 0).status, DataFile::Status::Loaded);
    EXPECT_EQ(DataFile::ParseDocument("<TILLANE Format=\"1\"/>", 0).status, DataFile::Status::Loaded);
}
