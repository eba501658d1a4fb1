#include "storage/xml_document.h"

#include "xml_document_checks.h"

#include <gtest/gtest.h>

#include <array>
#include <ostream>
#include <random>
#include <string>

namespace {

// Makes the named child of the top-level element the current child.
std::string ChildText(const std::string& text, const char* child)
{
    CXmlDocument document;
    if (!document.SetDocument(text) || !document.FindChildElement(child))
        return "<not found>";
    return document.GetChildText();
}

std::string ChildAttribute(const std::string& text, const char* child, const char* attribute)
{
    CXmlDocument document;
    if (!document.SetDocument(text) || !document.FindChildElement(child))
        return "<not found>";
    return document.GetChildAttribute(attribute);
}

TEST(XmlDocumentReading, EmptyTextIsNotWellFormedAndKeepsTheLastError)
{
    CXmlDocument document;
    EXPECT_FALSE(document.IsWellFormed());
    EXPECT_FALSE(document.SetDocument("<R"));
    EXPECT_EQ(document.GetErrorText(), "End of tag not found");
    EXPECT_FALSE(document.SetDocument(""));
    EXPECT_FALSE(document.IsWellFormed());
    EXPECT_EQ(document.GetErrorText(), "End of tag not found");
    // Success does not clear it either.
    EXPECT_TRUE(document.SetDocument("<R/>"));
    EXPECT_TRUE(document.IsWellFormed());
    EXPECT_EQ(document.GetErrorText(), "End of tag not found");
}

TEST(XmlDocumentReading, SkipsDeclarationsCommentsAndInstructionsBeforeTheTopElement)
{
    const std::string text = "<?xml version=\"1.0\"?>\r\n"
                             "<!-- saved <R>by</R> hand -->\r\n"
                             "<!DOCTYPE R [ <!ENTITY e \"a>b\"> ]>\r\n"
                             "<R><!-- inside --><A>1</A><?pi?><B>2</B></R>";
    CXmlDocument document;
    ASSERT_TRUE(document.SetDocument(text));
    EXPECT_TRUE(document.FindElement("R"));
    EXPECT_TRUE(document.FindChildElement("A"));
    EXPECT_EQ(document.GetChildText(), "1");
    EXPECT_TRUE(document.FindChildElement("B"));
    EXPECT_EQ(document.GetChildText(), "2");
    EXPECT_TRUE(XmlChecks::OffsetsNameTheirCharacters(document));
}

TEST(XmlDocumentReading, IgnoresEverythingAfterTheTopElement)
{
    for (const char* trailer : {"trailing text", "<S/>", "<S>", "</R>", "<<<\"", "< !x"}) {
        CXmlDocument document;
        EXPECT_TRUE(document.SetDocument(std::string("<R><A/></R>") + trailer)) << trailer;
        EXPECT_TRUE(document.FindElement("R"));
        EXPECT_FALSE(document.FindElement("S"));
        EXPECT_EQ(document.GetElementRecords().size(), 3u) << trailer;
    }
}

struct ParseFailure {
    const char* text;
    const char* message;
};

void PrintTo(const ParseFailure& failure, std::ostream* out)
{
    *out << '"' << failure.text << '"';
}

class XmlDocumentParseFailure : public ::testing::TestWithParam<ParseFailure> {};

TEST_P(XmlDocumentParseFailure, ReportsTheMessageAndLeavesAnEmptyTable)
{
    CXmlDocument document;
    EXPECT_FALSE(document.SetDocument(GetParam().text));
    EXPECT_EQ(document.GetErrorText(), GetParam().message);
    EXPECT_FALSE(document.IsWellFormed());
    EXPECT_EQ(document.GetElementRecords().size(), 1u);
    EXPECT_EQ(document.GetDocument(), GetParam().text);
    EXPECT_FALSE(document.FindElement(""));
}

INSTANTIATE_TEST_SUITE_P(Messages, XmlDocumentParseFailure,
    ::testing::Values(ParseFailure{"no markup at all", "Element tag not found"},
        ParseFailure{"<R><A>", "Element tag not found"},
        ParseFailure{"<R>text", "Element tag not found"},
        ParseFailure{"<R><A>x</A>", "Element tag not found"},
        ParseFailure{"<  \r\n\t", "Abrupt end within tag"},
        ParseFailure{"<R>text<", "Abrupt end within tag"},
        ParseFailure{"<\"R\">", "Tag starts with quote"},
        ParseFailure{"<R>< 'A'/></R>", "Tag starts with quote"},
        ParseFailure{"<!-- never closed <R/>", "Invalid node"},
        ParseFailure{"<?pi <R/>", "Invalid node"},
        ParseFailure{"<![CDATA[ <R/>", "Invalid node"},
        ParseFailure{"<!DOCTYPE R [ <R/>", "Invalid node"},
        ParseFailure{"<?", "Invalid node"},
        ParseFailure{"< !-- spaced -->\r\n<R/>", "Invalid node"},
        ParseFailure{"<R>< ?pi?></R>", "Invalid node"},
        ParseFailure{"<R", "End of tag not found"},
        ParseFailure{"<R><A v=\"1\"</R", "End of tag not found"},
        ParseFailure{"<R><A></R>", "End tag does not correspond to A"},
        ParseFailure{"<R></r>", "End tag does not correspond to R"},
        ParseFailure{"<R><A/></R", "End tag not completed for element R"},
        ParseFailure{"<R>x</R \"y\"", "End tag not completed for element R"}));

TEST(XmlDocumentReading, EndTagBeforeAnyElementFailsWithoutMessage)
{
    CXmlDocument document;
    EXPECT_FALSE(document.SetDocument("</R><R/>"));
    EXPECT_EQ(document.GetErrorText(), "");
}

TEST(XmlDocumentReading, QuotedGreaterThanInAttributeEndsTheStartTag)
{
    EXPECT_EQ(ChildText("<R><A v=\"x>y\">t</A></R>", "A"), "y\">t");
}

TEST(XmlDocumentReading, EndTagMayCarrySpacesAndExtraTokens)
{
    EXPECT_EQ(ChildText("<R><A>t</ A  junk \">\" ></ R\r\n>", "A"), "t");
}

TEST(XmlDocumentReading, ChildLookupsOnlyGoForward)
{
    CXmlDocument document;
    ASSERT_TRUE(document.SetDocument("<R><A>1</A><B>2</B><C>3</C></R>"));
    EXPECT_TRUE(document.FindChildElement("B"));
    EXPECT_FALSE(document.FindChildElement("A"));
    EXPECT_EQ(document.GetChildText(), "2"); // the failed lookup left the cursor alone
    EXPECT_TRUE(document.FindChildElement("C"));
    EXPECT_FALSE(document.FindChildElement("C"));
    EXPECT_FALSE(document.FindChildElement(""));
}

TEST(XmlDocumentReading, NamesAreCaseSensitiveAndWhole)
{
    CXmlDocument document;
    ASSERT_TRUE(document.SetDocument("<Root><Item a=\"1\" A=\"2\" ab=\"3\"/></Root>"));
    EXPECT_FALSE(document.FindElement("root"));
    EXPECT_FALSE(document.FindElement("Roo"));
    EXPECT_FALSE(document.FindElement("RootX"));
    EXPECT_TRUE(document.FindElement("Root"));
    EXPECT_FALSE(document.FindChildElement("item"));
    EXPECT_TRUE(document.FindChildElement("Item"));
    EXPECT_EQ(document.GetChildAttribute("A"), "2");
    EXPECT_EQ(document.GetChildAttribute("a"), "1");
    EXPECT_EQ(document.GetChildAttribute("ab"), "3");
    EXPECT_EQ(document.GetChildAttribute("b"), "");
    EXPECT_EQ(document.GetChildAttribute("Item"), ""); // the element's own name is no attribute
}

TEST(XmlDocumentReading, ChildTextKeepsSpacesAndDecodesTheFiveEntities)
{
    struct Case {
        const char* content;
        const char* text;
    };
    const Case cases[] = {
        {"  two words \t", "  two words \t"},
        {"&lt;&amp;&gt;&apos;&quot;", "<&>'\""},
        {"a &nbsp; b &lt c &#60; d", "a &nbsp; b &lt c &#60; d"},
        {"&amp;lt;", "&lt;"},
        {"ends in &amp", "ends in &amp"},
        {"x&quot", "x&quot"},
        {"&", "&"},
        {" <![CDATA[<b>&amp;</b>]]> ", "<b>&amp;</b>"},
        {"<![CDATA[]]>", ""},
        {"<![CDATA[a]]>tail &lt;", "a"},
        {"x<![CDATA[y]]>", "x<![CDATA[y]]>"},
        {"<!-- c -->&lt;", "<!-- c --><"},
        {"", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ChildText(std::string("<R><A>") + c.content + "</A></R>", "A"), c.text) << c.content;

    EXPECT_EQ(ChildText("<R><A/></R>", "A"), "");
    EXPECT_EQ(ChildText("<R><A>x<B>y</B>z</A></R>", "A"), ""); // mixed content is not read
}

TEST(XmlDocumentReading, AttributeValuesNeedQuotes)
{
    struct Case {
        const char* tag;
        const char* value;
    };
    const Case cases[] = {
        {"<A v=\"1\"/>", "1"},
        {"<A v='1'/>", "1"},
        {"<A v = \"x y\" w=\"2\"/>", "x y"},
        {"<A\r\nv=\r\n'a\"b'/>", "a\"b"},
        {"<A v=\"&lt;&amp;&gt;&apos;&quot;&x;\"/>", "<&>'\"&x;"},
        {"<A v=1/>", ""},
        {"<A v=1 w=\"2\"/>", ""},
        {"<A v w=\"2\"/>", ""},
        {"<A w=\"v\" x=\"2\"/>", ""},
        {"<A v=\"1\" v=\"2\"/>", "1"},
        {"<A w=\"1\" / v=\"2\"></A>", ""},
        {"<A>v=\"1\"</A>", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ChildAttribute(std::string("<R>") + c.tag + "</R>", "A", "v"), c.value) << c.tag;
}

// Reading several attributes in one pass gives what reading each one alone gives, on
// tags of any shape: repeated names, names that start another, values without quotes,
// stray equals signs, entities, quotes of either kind, slashes.
TEST(XmlDocumentReading, SeveralAttributesReadAsEachAlone)
{
    std::mt19937 random(7);
    const std::string items[] = {" Date", " Skip", " Dat", " Dates", " MoveTo", " x", "=", "=\"01/02/2006\"",
                                 "='1'", "=\"a&amp;b\"", "=\"&lt;\"", " \"v\"", " 'q'", "=2", " /", " ?",
                                 "\t", " [", "=\"\""};
    constexpr std::array<std::string_view, 5> kNames = {"Date", "Skip", "MoveTo", "Dat", "x"};
    for (int round = 0; round < 3000; ++round) {
        std::string tag = "<R><E";
        for (int count = std::uniform_int_distribution<int>(0, 8)(random); count > 0; --count)
            tag += items[std::uniform_int_distribution<std::size_t>(0, std::size(items) - 1)(random)];
        tag += "/></R>";
        CXmlDocument document;
        if (!document.SetDocument(tag) || !document.FindChildElement("E"))
            continue;
        std::array<std::string, kNames.size()> values;
        document.GetChildAttributes(kNames, values);
        for (std::size_t k = 0; k < kNames.size(); ++k)
            EXPECT_EQ(values[k], document.GetChildAttribute(kNames[k])) << tag << " " << kNames[k];
    }
}

TEST(XmlDocumentReading, AttributeNeedsACurrentElementAndAChild)
{
    CXmlDocument document;
    ASSERT_TRUE(document.SetDocument("<R v=\"top\"><A v=\"1\"/></R>"));
    EXPECT_EQ(document.GetChildAttribute("v"), "");
    ASSERT_TRUE(document.FindElement("R"));
    EXPECT_EQ(document.GetChildAttribute("v"), "");
    EXPECT_EQ(document.GetChildText(), "");
    ASSERT_TRUE(document.FindChildElement("A"));
    EXPECT_EQ(document.GetChildAttribute("v"), "1");
}

TEST(XmlDocumentReading, CursorWalksIntoAndOutOfElements)
{
    CXmlDocument document;
    ASSERT_TRUE(document.SetDocument(
        "<R><L><I>1</I><I>2</I></L><L><I>3</I></L><E/></R>"));
    EXPECT_FALSE(document.EnterElement());
    EXPECT_FALSE(document.LeaveElement());
    // From the document level the first child lookup makes the top element current.
    ASSERT_TRUE(document.FindChildElement("L"));
    std::string seen;
    do {
        ASSERT_TRUE(document.EnterElement());
        while (document.FindChildElement("I"))
            seen += document.GetChildText();
        seen += '|';
        ASSERT_TRUE(document.LeaveElement());
    } while (document.FindChildElement("L"));
    EXPECT_EQ(seen, "12|3|");
    EXPECT_TRUE(document.FindChildElement("E"));

    // Entering without a current child leaves no current element below the parent.
    ASSERT_TRUE(document.EnterElement()); // current: E
    ASSERT_TRUE(document.EnterElement()); // current: none, parent: E
    EXPECT_FALSE(document.EnterElement());
    EXPECT_FALSE(document.FindElement(""));
    EXPECT_TRUE(document.LeaveElement()); // current: E, no child
    EXPECT_EQ(document.GetChildText(), "");
    EXPECT_TRUE(document.LeaveElement()); // current: R, child: E
    EXPECT_FALSE(document.LeaveElement());
    EXPECT_FALSE(document.FindChildElement(""));
}

TEST(XmlDocumentReading, FindElementWalksSiblingsOfTheCurrentElement)
{
    CXmlDocument document;
    ASSERT_TRUE(document.SetDocument("<R><A>1</A><B>2</B><A>3</A></R>"));
    ASSERT_TRUE(document.FindChildElement("A"));
    ASSERT_TRUE(document.EnterElement()); // current: A (1)
    ASSERT_TRUE(document.LeaveElement());
    ASSERT_TRUE(document.FindChildElement("B"));
    ASSERT_TRUE(document.EnterElement()); // current: B, parent: R
    EXPECT_TRUE(document.FindElement("A"));
    EXPECT_TRUE(document.LeaveElement());
    EXPECT_EQ(document.GetChildText(), "3");
}

TEST(XmlDocumentReading, DeepNestingNeitherOverflowsTheStackNorFails)
{
    constexpr int kDepth = 1000000;
    std::string text;
    text.reserve(kDepth * 7);
    for (int i = 0; i < kDepth; ++i)
        text += "<a>";
    text += "x";
    for (int i = 0; i < kDepth; ++i)
        text += "</a>";

    CXmlDocument document;
    ASSERT_TRUE(document.SetDocument(text));
    EXPECT_EQ(document.GetElementRecords().size(), std::size_t(kDepth) + 1);
    const auto records = document.GetElementRecords();
    EXPECT_EQ(records[kDepth].startTagBegin, 3 * (kDepth - 1));
    EXPECT_EQ(records[1].endTagEnd, static_cast<std::int32_t>(text.size()) - 1);

    // Unclosed, it fails with a message instead.
    text.resize(kDepth * 3);
    EXPECT_FALSE(document.SetDocument(text));
    EXPECT_EQ(document.GetErrorText(), "Element tag not found");
}

} // namespace
