#include "storage/xml_document.h"

#include "xml_document_checks.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// Parsing the written text again must give the same elements at the same offsets.
::testing::AssertionResult ReadsBackTheSame(const CXmlDocument& written)
{
    CXmlDocument reread;
    if (!reread.SetDocument(written.GetDocument()))
        return ::testing::AssertionFailure() << "does not parse: " << reread.GetErrorText();
    if (XmlChecks::Placements(reread) != XmlChecks::Placements(written))
        return ::testing::AssertionFailure() << "the element table differs from a fresh parse";
    return XmlChecks::OffsetsNameTheirCharacters(written);
}

TEST(XmlDocumentWriting, BuildsTheFiveLineDocumentByteForByte)
{
    CXmlDocument document;
    ASSERT_TRUE(document.AddElement("R"));
    ASSERT_TRUE(document.SetAttribute("V", "1"));
    ASSERT_TRUE(document.AddChildElement("A", ""));
    ASSERT_TRUE(document.EnterElement());
    ASSERT_TRUE(document.AddChildElement("B", "x<y"));
    EXPECT_EQ(document.GetDocument(),
        "<R V=\"1\">\r\n"
        "<A>\r\n"
        "<B>x&lt;y</B>\r\n"
        "</A>\r\n"
        "</R>\r\n");
    EXPECT_TRUE(ReadsBackTheSame(document));
}

TEST(XmlDocumentWriting, AddsOneTopElementOnly)
{
    CXmlDocument document;
    EXPECT_TRUE(document.AddElement("R"));
    EXPECT_EQ(document.GetDocument(), "<R/>\r\n");
    EXPECT_FALSE(document.AddElement("S"));

    // After an empty SetDocument the document is new again.
    EXPECT_FALSE(document.SetDocument(""));
    EXPECT_TRUE(document.AddElement("S"));
    EXPECT_EQ(document.GetDocument(), "<S/>\r\n");
    EXPECT_TRUE(ReadsBackTheSame(document));
}

TEST(XmlDocumentWriting, FailuresChangeNothing)
{
    CXmlDocument document;
    EXPECT_FALSE(document.AddChildElement("A", "x"));
    EXPECT_FALSE(document.SetAttribute("a", "1"));
    EXPECT_FALSE(document.SetChildAttribute("a", "1"));
    EXPECT_EQ(document.GetDocument(), "");

    ASSERT_TRUE(document.AddElement("R"));
    EXPECT_FALSE(document.SetChildAttribute("a", "1")); // no current child
    EXPECT_EQ(document.GetDocument(), "<R/>\r\n");
}

TEST(XmlDocumentWriting, AttributesKeepTheOrderFirstSetAndAreReplacedInPlace)
{
    CXmlDocument document;
    ASSERT_TRUE(document.AddElement("R"));
    ASSERT_TRUE(document.SetAttribute("a", "1"));
    ASSERT_TRUE(document.SetAttribute("b", "2"));
    ASSERT_TRUE(document.SetAttribute("a", "333"));
    ASSERT_TRUE(document.AddChildElement("C", "t"));
    ASSERT_TRUE(document.SetChildAttribute("x", ""));
    ASSERT_TRUE(document.SetChildAttribute("y", "long value"));
    ASSERT_TRUE(document.SetChildAttribute("x", "9"));
    ASSERT_TRUE(document.SetChildAttribute("y", ""));
    ASSERT_TRUE(document.SetAttribute("b", "<>"));
    EXPECT_EQ(document.GetDocument(),
        "<R a=\"333\" b=\"&lt;&gt;\">\r\n"
        "<C x=\"9\" y=\"\">t</C>\r\n"
        "</R>\r\n");
    EXPECT_TRUE(ReadsBackTheSame(document));
}

TEST(XmlDocumentWriting, EncodesMarkupInTextsAndQuotesInAttributes)
{
    CXmlDocument document;
    ASSERT_TRUE(document.AddElement("R"));
    ASSERT_TRUE(document.SetAttribute("v", "a<b>c&d'e\"f\r\n"));
    ASSERT_TRUE(document.AddChildElement("T", "a<b>c&d'e\"f"));
    EXPECT_EQ(document.GetDocument(),
        "<R v=\"a&lt;b&gt;c&amp;d&apos;e&quot;f\r\n\">\r\n"
        "<T>a&lt;b&gt;c&amp;d'e\"f</T>\r\n"
        "</R>\r\n");
}

TEST(XmlDocumentWriting, TextsAndValuesSurviveARoundTrip)
{
    const std::string values[] = {
        "plain", "<tag attr=\"x\">", "a & b", "&lt; stays literal", "'single' \"double\"",
        "  spaced  ", "two\r\nlines", "]]>", "<![CDATA[x]]>", "&amp",
    };
    CXmlDocument document;
    ASSERT_TRUE(document.AddElement("DATA"));
    for (const std::string& value : values) {
        ASSERT_TRUE(document.AddChildElement("ITEM", value));
        ASSERT_TRUE(document.SetChildAttribute("Value", value));
    }
    ASSERT_TRUE(ReadsBackTheSame(document));

    CXmlDocument reader;
    ASSERT_TRUE(reader.SetDocument(document.GetDocument()));
    ASSERT_TRUE(reader.FindElement("DATA"));
    for (const std::string& value : values) {
        ASSERT_TRUE(reader.FindChildElement("ITEM"));
        EXPECT_EQ(reader.GetChildText(), value);
        EXPECT_EQ(reader.GetChildAttribute("Value"), value);
    }
    EXPECT_FALSE(reader.FindChildElement("ITEM"));
}

// The five places a new child can go, each checked against the text and a fresh parse.
TEST(XmlDocumentWriting, InsertsChildrenInEachPosition)
{
    struct Case {
        const char* name;
        const char* document;
        const char* child; // make this the current child first (nullptr: none)
        const char* expected;
    };
    const Case cases[] = {
        {"empty element opens", "<R a=\"1\"/>\r\n", nullptr, "<R a=\"1\">\r\n<N>v</N>\r\n</R>\r\n"},
        {"after the current child", "<R>\r\n<A/>\r\n<B/>\r\n</R>\r\n", "A",
            "<R>\r\n<A/>\r\n<N>v</N>\r\n<B/>\r\n</R>\r\n"},
        {"after the last child", "<R>\r\n<A/>\r\n<B/>\r\n</R>\r\n", "B",
            "<R>\r\n<A/>\r\n<B/>\r\n<N>v</N>\r\n</R>\r\n"},
        {"after a child followed by text", "<R><A/>text<B/></R>", "A", "<R><A/><N>v</N>\r\ntext<B/></R>"},
        {"no current child: after the last", "<R>\r\n<A/>\r\n<B/>\r\n</R>\r\n", nullptr,
            "<R>\r\n<A/>\r\n<B/>\r\n<N>v</N>\r\n</R>\r\n"},
        {"end tag right after start tag", "<R></R>", nullptr, "<R>\r\n<N>v</N>\r\n</R>"},
        {"after text content", "<R>t</R>", nullptr, "<R>t<N>v</N>\r\n</R>"},
        {"after a child and indentation", "<R>\r\n<A/>\r\n  </R>\r\n", "A",
            "<R>\r\n<A/>\r\n  <N>v</N>\r\n</R>\r\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CXmlDocument document;
        ASSERT_TRUE(document.SetDocument(c.document));
        ASSERT_TRUE(document.FindElement("R"));
        if (c.child != nullptr) {
            ASSERT_TRUE(document.FindChildElement(c.child));
        }
        ASSERT_TRUE(document.AddChildElement("N", "v"));
        EXPECT_EQ(document.GetDocument(), c.expected);
        EXPECT_TRUE(ReadsBackTheSame(document));
        EXPECT_EQ(document.GetChildText(), "v"); // the new element is the current child
        EXPECT_FALSE(document.FindChildElement("A")); // and lookups go on after it

        // An element added with its attributes in one edit is the element added, then
        // given each attribute.
        // The case's document, with its child current when it names one.
        auto opened = [&c](CXmlDocument& edited) {
            return edited.SetDocument(c.document) && edited.FindElement("R") &&
                   (c.child == nullptr || edited.FindChildElement(c.child));
        };
        CXmlDocument stepwise, atOnce;
        ASSERT_TRUE(opened(stepwise) && opened(atOnce));
        ASSERT_TRUE(stepwise.AddChildElement("N"));
        ASSERT_TRUE(stepwise.SetChildAttribute("a", "1<&\"'"));
        ASSERT_TRUE(stepwise.SetChildAttribute("b", ""));
        const CXmlDocument::Attribute attributes[] = {{"a", "1<&\"'"}, {"b", ""}};
        ASSERT_TRUE(atOnce.AddChildElementWith("N", attributes));
        EXPECT_EQ(atOnce.GetDocument(), stepwise.GetDocument());
        EXPECT_EQ(XmlChecks::Placements(atOnce), XmlChecks::Placements(stepwise));
        EXPECT_TRUE(ReadsBackTheSame(atOnce));
        EXPECT_EQ(atOnce.GetChildAttribute("a"), "1<&\"'");

        // Several such elements in one edit are each added in turn: with and without
        // anything to escape, and without attributes.
        CXmlDocument oneByOne, together;
        ASSERT_TRUE(opened(oneByOne) && opened(together));
        const CXmlDocument::Attribute plain[] = {{"Date", "03/01/2027"}, {"Amount", "-25"}};
        const std::span<const CXmlDocument::Attribute> elements[] = {plain, attributes, {}, plain};
        for (const auto& element : elements)
            ASSERT_TRUE(oneByOne.AddChildElementWith("E", element));
        ASSERT_TRUE(together.AddChildElementsWith("E", elements));
        EXPECT_EQ(together.GetDocument(), oneByOne.GetDocument());
        EXPECT_EQ(XmlChecks::Placements(together), XmlChecks::Placements(oneByOne));
        EXPECT_TRUE(ReadsBackTheSame(together));
        // The last one added is the current child, as it is one by one.
        ASSERT_TRUE(together.AddChildElement("Z"));
        ASSERT_TRUE(oneByOne.AddChildElement("Z"));
        EXPECT_EQ(together.GetDocument(), oneByOne.GetDocument());
    }
}

TEST(XmlDocumentWriting, EditsInsideADocumentMoveEverythingAfterThem)
{
    CXmlDocument document;
    ASSERT_TRUE(document.SetDocument("<R>\r\n<A/>\r\n<B x=\"1\">\r\n<C>c</C>\r\n<D/>\r\n</B>\r\n<E>e</E>\r\n</R>\r\n"));
    ASSERT_TRUE(document.FindElement("R"));
    ASSERT_TRUE(document.FindChildElement("A"));
    ASSERT_TRUE(document.SetChildAttribute("long", "a value that moves the rest"));
    ASSERT_TRUE(document.AddChildElement("N", "n"));
    ASSERT_TRUE(document.SetAttribute("r", "1"));
    ASSERT_TRUE(document.FindChildElement("B"));
    ASSERT_TRUE(document.SetChildAttribute("x", ""));
    ASSERT_TRUE(document.EnterElement());
    ASSERT_TRUE(document.FindChildElement("D"));
    ASSERT_TRUE(document.AddChildElement("D2", ""));
    ASSERT_TRUE(document.EnterElement());
    ASSERT_TRUE(document.AddChildElement("F", "f"));
    EXPECT_EQ(document.GetDocument(),
        "<R r=\"1\">\r\n<A long=\"a value that moves the rest\"/>\r\n<N>n</N>\r\n<B x=\"\">\r\n<C>c</C>\r\n"
        "<D/>\r\n<D2>\r\n<F>f</F>\r\n</D2>\r\n</B>\r\n<E>e</E>\r\n</R>\r\n");
    EXPECT_TRUE(ReadsBackTheSame(document));

    // The cursor still reads the untouched elements after the edits.
    ASSERT_TRUE(document.LeaveElement());
    ASSERT_TRUE(document.LeaveElement());
    ASSERT_TRUE(document.FindChildElement("E"));
    EXPECT_EQ(document.GetChildText(), "e");
}

TEST(XmlDocumentWriting, RefusesToReplaceAValueThatRunsPastItsTag)
{
    // The parser ends this start tag at the '>' inside the quotes; rewriting the value
    // would cut the element apart.
    const std::string text = "<R><A v=\"x>y\">t</A></R>";
    CXmlDocument document;
    ASSERT_TRUE(document.SetDocument(text));
    ASSERT_TRUE(document.FindChildElement("A"));
    EXPECT_FALSE(document.SetChildAttribute("v", "z"));
    EXPECT_EQ(document.GetDocument(), text);
    EXPECT_TRUE(document.SetChildAttribute("w", "1"));
    EXPECT_TRUE(XmlChecks::OffsetsNameTheirCharacters(document));
}

} // namespace
