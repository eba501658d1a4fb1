#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// The program's own reader and writer of markup text. It holds one document as a single
// byte string and a table of element records that point into it; element texts and
// attribute values are decoded only when asked for. Callers walk the elements with a small
// cursor (parent, current, child). Writing appends elements and attributes to the text in a
// fixed layout, keeping every recorded offset in step. What the elements mean is left to
// the data file's readers and writers.
class CXmlDocument {
public:
    // Where one element stands in the document text. Offsets are byte offsets into the
    // text, indices are positions in the element table; 0 means "none" (or the document
    // record for `parent`).
    struct ElementRecord {
        std::int32_t startTagBegin = 0; // the '<' that opens the start tag
        std::int32_t startTagEnd = 0;   // the '>' that closes the start tag
        std::int32_t endTagBegin = 0;   // the '<' of the end tag; the '/' of "/>" when empty
        std::int32_t endTagEnd = 0;     // the '>' of the end tag; startTagEnd when empty
        std::int32_t parent = 0;
        std::int32_t firstChild = 0;
        std::int32_t nextSibling = 0;
    };

    // Offsets are 32-bit; a larger text is refused rather than misread.
    static constexpr std::size_t kLargestDocument = 0x7FFFFFFF / 2;

    CXmlDocument();
    virtual ~CXmlDocument();
    CXmlDocument(const CXmlDocument&) = default;
    CXmlDocument& operator=(const CXmlDocument&) = default;

    // Reading and navigation.
    bool SetDocument(std::string text);
    bool IsWellFormed() const;
    bool FindElement(std::string_view name);
    bool FindChildElement(std::string_view name);
    bool EnterElement();
    bool LeaveElement();
    std::string GetChildText() const;
    std::string GetChildAttribute(std::string_view name) const;
    // GetChildAttribute of each of the names (at most kMostNames), in one pass over the
    // child's start tag: values[i] is the value of names[i].
    static constexpr std::size_t kMostNames = 8;
    void GetChildAttributes(std::span<const std::string_view> names, std::span<std::string> values) const;

    // Whether the current child is named so, as FindChildElement decides.
    bool ChildNamed(std::string_view name) const;
    // The current child's start tag as it stands, from its name to before its closing
    // "/>" or ">"; empty without a current child.
    std::string_view GetChildStartTag() const;

    // The message of the last failed parse; a successful parse leaves it as it was.
    const std::string& GetErrorText() const { return m_errorText; }

    // Writing.
    std::string GetDocument() const { return m_documentText; }
    bool AddElement(std::string_view name);
    bool AddChildElement(std::string_view name, std::string_view text = {});
    bool SetAttribute(std::string_view name, std::string_view value);
    bool SetChildAttribute(std::string_view name, std::string_view value);
    // An attribute to write, its value as it reads (it is escaped on the way in).
    struct Attribute {
        std::string_view name;
        std::string_view value;
    };
    // AddChildElement of an element without text followed by SetChildAttribute of each
    // attribute in turn (their names all different), in one edit: the same text, the same
    // table.
    bool AddChildElementWith(std::string_view name, std::span<const Attribute> attributes);
    // AddChildElementWith of each element in turn, in one edit where they go one line
    // after another (a tag or the end follows the current child's line).
    bool AddChildElementsWith(std::string_view name, std::span<const std::span<const Attribute>> elements);

    // The name and an attribute of an element of the table, by its index; for walking the
    // whole tree through GetElementRecords.
    std::string_view GetElementName(std::int32_t element) const { return ElementName(element); }
    std::string GetElementAttribute(std::int32_t element, std::string_view name) const;
    // The text of an element by its index, read as GetChildText reads a child's.
    std::string GetElementText(std::int32_t element) const;

    // One item of an element's start tag after its name, for walking all of them: a
    // name="value" attribute (value as it stands between the quotes, not decoded), or any
    // other token (a value without quotes, a name without a value, a stray character).
    struct TagItem {
        std::string_view name; // the attribute's name, or the stray token
        std::string_view value;
        bool attribute = false;
    };
    // Reads the item at `offset` of the element's start tag (0: the first) into `item` and
    // moves `offset` past it; false at the end of the tag.
    bool NextTagItem(std::int32_t element, std::int32_t& offset, TagItem& item) const;

    // The whole document text, without a copy.
    std::string_view GetDocumentText() const { return m_documentText; }
    // Text as element texts and attribute values are read: the five entities are decoded,
    // every other '&' stands for itself.
    static std::string DecodeText(std::string_view raw);

    // The records in use, the document record first; for checking the table against
    // the text.
    std::span<const ElementRecord> GetElementRecords() const
    {
        return {m_elements.data(), static_cast<std::size_t>(m_freePos)};
    }

private:
    struct Token {
        std::int32_t begin = 0; // first byte of the token (of its content, when quoted)
        std::int32_t end = 0;   // one past its last byte (the closing quote, when quoted)
        std::int32_t next = 0;  // where scanning continues
        bool quoted = false;
        bool found = false;
    };

    Token ScanToken(std::int32_t offset) const;
    std::string_view TokenText(const Token& token) const;
    std::string_view ElementName(std::int32_t element) const;
    bool SkipNode(std::int32_t tagBegin, std::int32_t& nodeEnd) const;
    std::int32_t ParseTopElement();
    bool ParseEndTag(std::int32_t element, std::string_view name);
    void Fail(const char* message, std::string_view name = {});
    std::int32_t AllocateRecord(std::int32_t parent);
    void ResetTable();
    bool FindAttributeValue(std::int32_t element, std::string_view name, Token& value) const;
    void FindAttributeValues(std::int32_t element, std::span<const std::string_view> names, Token* values) const;
    std::string Decode(std::int32_t begin, std::int32_t end) const;
    std::int32_t SearchSiblings(std::int32_t first, std::string_view name) const;

    void Replace(std::int32_t offset, std::int32_t length, std::string_view bytes);
    void ShiftFollowing(std::int32_t edited, std::int32_t delta);
    void ShiftSubtree(std::int32_t root, std::int32_t delta);
    bool AddElementUnder(std::int32_t parent, std::string_view name, std::string_view text,
                         std::span<const Attribute> attributes = {});
    // An element's line appended to `form`: "<name/>" or "<name>text</name>", then CR LF;
    // gives where its parts lie from the element's '<' on.
    struct Line {
        std::int32_t tagLength = 0;     // the start tag's length less one, without "/>" or ">"
        std::int32_t encodedLength = 0; // of the text as written; never 0 for a text
    };
    static Line AppendLine(std::string& form, std::string_view name, std::string_view text,
                           std::span<const Attribute> attributes);
    // Where a new line after the child goes (its '<').
    std::int32_t LineAfter(std::int32_t child) const;
    // Sets where a new element lies, its '<' at `at`.
    void Place(std::int32_t record, std::int32_t at, const Line& line, std::size_t nameLength);
    bool SetAttributeOf(std::int32_t element, std::string_view name, std::string_view value);

    std::string m_documentText;
    std::string m_errorText;
    std::vector<ElementRecord> m_elements;
    std::int32_t m_parentPos = 0;
    std::int32_t m_currentPos = 0;
    std::int32_t m_childPos = 0;
    std::int32_t m_freePos = 1;
};
