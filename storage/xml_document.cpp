#include "storage/xml_document.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <limits>

namespace {

using std::int32_t;

enum CharClass : unsigned char { kPlain = 0, kSpace = 1, kDelimiter = 2, kEscaped = 4 };

constexpr std::array<unsigned char, 256> MakeCharClasses()
{
    std::array<unsigned char, 256> classes{};
    for (unsigned char c : {' ', '\t', '\n', '\r'})
        classes[c] = kSpace | kDelimiter;
    for (unsigned char c : {'<', '>', '=', '\\', '/', '?', '!'})
        classes[c] = kDelimiter;
    // Written as entities (quotes only in attribute values).
    for (unsigned char c : {'<', '>', '&', '"', '\''})
        classes[c] |= kEscaped;
    return classes;
}

constexpr std::array<unsigned char, 256> kCharClasses = MakeCharClasses();

bool IsSpace(char c)
{
    return (kCharClasses[static_cast<unsigned char>(c)] & kSpace) != 0;
}

bool IsDelimiter(char c)
{
    return (kCharClasses[static_cast<unsigned char>(c)] & kDelimiter) != 0;
}

// A token names the requested name when the name starts with exactly the token's bytes
// and ends there or goes on with ' ', '=', '/' or '['. For plain names this is equality,
// case-sensitive.
bool NameMatches(std::string_view token, std::string_view name)
{
    if (token.empty() || token.size() > name.size())
        return false;
    if (token.size() < name.size()) {
        const char next = name[token.size()];
        if (next != ' ' && next != '=' && next != '/' && next != '[')
            return false;
    }
    return token[0] == name[0] && std::memcmp(token.data(), name.data(), token.size()) == 0;
}

enum class EncodeFor { Text, Attribute };

// The first character at or after `from` that may need an entity, or the size.
std::size_t NextEscaped(std::string_view value, std::size_t from)
{
    while (from < value.size() && (kCharClasses[static_cast<unsigned char>(value[from])] & kEscaped) == 0)
        ++from;
    return from;
}

void AppendEncoded(std::string& encoded, std::string_view value, EncodeFor target)
{
    // The runs between the characters to escape go in whole.
    std::size_t run = 0;
    for (std::size_t i = NextEscaped(value, 0); i < value.size(); i = NextEscaped(value, i + 1)) {
        std::string_view entity;
        switch (value[i]) {
        case '<': entity = "&lt;"; break;
        case '&': entity = "&amp;"; break;
        case '>': entity = "&gt;"; break;
        case '\'':
            if (target == EncodeFor::Attribute)
                entity = "&apos;";
            break;
        case '"':
            if (target == EncodeFor::Attribute)
                entity = "&quot;";
            break;
        default: break;
        }
        if (entity.empty())
            continue;
        encoded.append(value.data() + run, i - run);
        encoded += entity;
        run = i + 1;
    }
    encoded.append(value.data() + run, value.size() - run);
}

std::string Encode(std::string_view value, EncodeFor target)
{
    std::string encoded;
    encoded.reserve(value.size() + value.size() / 10 + 7);
    AppendEncoded(encoded, value, target);
    return encoded;
}

int32_t Offset(std::size_t offset)
{
    return static_cast<int32_t>(offset);
}

} // namespace

CXmlDocument::CXmlDocument()
{
    SetDocument({});
}

CXmlDocument::~CXmlDocument() = default;

bool CXmlDocument::SetDocument(std::string text)
{
    m_documentText = std::move(text);
    m_freePos = 1;
    m_parentPos = m_currentPos = m_childPos = 0;

    if (m_documentText.size() > CXmlDocument::kLargestDocument) {
        m_errorText = "Document too large";
        m_documentText.clear();
    }

    const std::size_t wanted = m_documentText.size() / 64 + 8;
    if (m_elements.size() < wanted)
        m_elements.resize(wanted);

    if (!m_documentText.empty()) {
        m_elements[0] = ElementRecord{};
        const int32_t top = ParseTopElement();
        if (top != 0) {
            m_elements[0].firstChild = top;
            m_parentPos = m_currentPos = m_childPos = 0;
            return true;
        }
    }
    ResetTable();
    return false;
}

void CXmlDocument::ResetTable()
{
    m_elements[0] = ElementRecord{};
    m_freePos = 1;
    m_parentPos = m_currentPos = m_childPos = 0;
}

bool CXmlDocument::IsWellFormed() const
{
    return !m_elements.empty() && m_elements[0].firstChild != 0;
}

std::int32_t CXmlDocument::AllocateRecord(std::int32_t parent)
{
    if (m_freePos >= Offset(m_elements.size()))
        m_elements.resize(m_elements.size() + m_elements.size() / 2);
    ElementRecord& record = m_elements[m_freePos];
    record = ElementRecord{};
    record.parent = parent;
    return m_freePos++;
}

// Called for every word of every tag, so kept small enough to be inlined.
inline CXmlDocument::Token CXmlDocument::ScanToken(std::int32_t offset) const
{
    const char* const text = m_documentText.data();
    const int32_t length = Offset(m_documentText.size());
    int32_t i = offset < 0 ? 0 : offset;
    while (i < length && IsSpace(text[i]))
        ++i;
    Token token;
    if (i >= length) {
        token.begin = token.end = token.next = length;
        return token;
    }
    token.found = true;
    const char first = text[i];
    if (first == '"' || first == '\'') {
        token.quoted = true;
        token.begin = i + 1;
        int32_t close = token.begin;
        while (close < length && text[close] != first)
            ++close;
        token.end = close;
        token.next = close < length ? close + 1 : length;
        return token;
    }
    token.begin = i;
    int32_t j = i + 1;
    if (!IsDelimiter(first)) {
        while (j < length && !IsDelimiter(text[j]))
            ++j;
    }
    token.end = token.next = j;
    return token;
}

inline std::string_view CXmlDocument::TokenText(const Token& token) const
{
    return {m_documentText.data() + token.begin, static_cast<std::size_t>(token.end - token.begin)};
}

std::string_view CXmlDocument::ElementName(std::int32_t element) const
{
    const Token token = ScanToken(m_elements[element].startTagBegin + 1);
    if (!token.found || token.quoted)
        return {};
    return TokenText(token);
}

void CXmlDocument::Fail(const char* message, std::string_view name)
{
    // Messages name the element with "%s".
    std::string text = message;
    const std::size_t at = text.find("%s");
    if (at != std::string::npos)
        text.replace(at, 2, name);
    m_errorText = std::move(text);
}

bool CXmlDocument::SkipNode(std::int32_t tagBegin, std::int32_t& nodeEnd) const
{
    const std::string_view text = m_documentText;
    if (Offset(text.size()) - tagBegin - 1 < 2)
        return false;
    auto endsAfter = [&](std::string_view closing) {
        const std::size_t at = text.find(closing, tagBegin);
        if (at == std::string_view::npos)
            return false;
        nodeEnd = Offset(at + closing.size());
        return true;
    };
    if (text[tagBegin + 1] == '?')
        return endsAfter("?>");
    // Anything but "<!" here (say "< !") names no node we know how to skip.
    if (text[tagBegin + 1] != '!')
        return false;
    if (text[tagBegin + 2] == '[')
        return endsAfter("]]>");
    if (text[tagBegin + 2] == '-')
        return endsAfter("-->");

    // A declaration: it ends at the first '>' outside its bracketed internal part.
    int depth = 0;
    int32_t scan = tagBegin;
    for (;;) {
        const Token token = ScanToken(scan);
        if (!token.found)
            return false;
        if (!token.quoted) {
            const std::string_view word = TokenText(token);
            if (word == "[")
                ++depth;
            else if (word == "]")
                --depth;
            else if (word == ">" && depth == 0) {
                nodeEnd = token.end;
                return true;
            }
        }
        scan = token.next;
    }
}

// Parses the first element of the document with an explicit stack of open elements, so
// that nesting depth costs heap, not call stack. Each element's end-tag offset serves as
// the scan cursor while its content is parsed; record 0 plays that part for the top level.
// Returns the top-level element, or 0 when parsing failed or met an end tag first.
std::int32_t CXmlDocument::ParseTopElement()
{
    struct OpenElement {
        int32_t element;
        int32_t lastChild;
        std::string_view name;
    };
    std::vector<OpenElement> open;
    const std::string_view text = m_documentText;

    for (;;) {
        const int32_t parent = open.empty() ? 0 : open.back().element;
        const int32_t record = AllocateRecord(parent);

        // Look for the next start tag, passing over comments, declarations and the like.
        bool endTag = false;
        std::size_t tagEnd = 0;
        std::string_view name;
        for (;;) {
            const std::size_t tagBegin = text.find('<', m_elements[parent].endTagBegin);
            if (tagBegin == std::string_view::npos) {
                Fail("Element tag not found");
                return 0;
            }
            m_elements[parent].endTagBegin = Offset(tagBegin);
            m_elements[record].startTagBegin = Offset(tagBegin);

            const Token token = ScanToken(Offset(tagBegin) + 1);
            if (!token.found) {
                Fail("Abrupt end within tag");
                return 0;
            }
            if (token.quoted) {
                Fail("Tag starts with quote");
                return 0;
            }
            const char first = text[token.begin];
            if (first == '!' || first == '?') {
                int32_t nodeEnd = 0;
                if (!SkipNode(Offset(tagBegin), nodeEnd)) {
                    Fail("Invalid node");
                    return 0;
                }
                m_elements[parent].endTagBegin = nodeEnd;
                continue;
            }
            if (first == '/') {
                endTag = true;
                break;
            }
            // A '>' inside a quoted attribute value ends the tag too.
            name = TokenText(token);
            tagEnd = text.find('>', token.end);
            if (tagEnd == std::string_view::npos) {
                Fail("End of tag not found");
                return 0;
            }
            break;
        }

        int32_t complete = 0;
        if (endTag) {
            // The end tag closes the innermost open element; the record goes back.
            --m_freePos;
            if (open.empty())
                return 0;
            complete = open.back().element;
            if (!ParseEndTag(complete, open.back().name))
                return 0;
            open.pop_back();
        } else {
            ElementRecord& element = m_elements[record];
            element.startTagEnd = Offset(tagEnd);
            if (text[tagEnd - 1] == '/') {
                element.endTagBegin = element.startTagEnd - 1;
                element.endTagEnd = element.startTagEnd;
                complete = record;
            } else {
                element.endTagBegin = element.startTagEnd + 1;
                open.push_back({record, 0, name});
                continue;
            }
        }

        if (open.empty())
            return complete;
        OpenElement& owner = open.back();
        if (owner.lastChild != 0)
            m_elements[owner.lastChild].nextSibling = complete;
        else
            m_elements[owner.element].firstChild = complete;
        owner.lastChild = complete;
        m_elements[owner.element].endTagBegin = m_elements[complete].endTagEnd + 1;
    }
}

bool CXmlDocument::ParseEndTag(std::int32_t element, std::string_view name)
{
    const std::size_t tagBegin = std::string_view(m_documentText).find('<', m_elements[element].endTagBegin);
    if (tagBegin == std::string_view::npos) {
        Fail("End tag of %s element not found", name);
        return false;
    }
    m_elements[element].endTagBegin = Offset(tagBegin);

    // The usual "</name>" reads the same as the token walk below, only faster.
    const std::string_view tag = std::string_view(m_documentText).substr(tagBegin + 1);
    if (tag.size() > name.size() + 1 && tag[0] == '/' && tag[name.size() + 1] == '>'
        && tag.substr(1, name.size()) == name) {
        m_elements[element].endTagEnd = Offset(tagBegin + name.size() + 2);
        return true;
    }

    int32_t scan = Offset(tagBegin) + 1;
    for (int count = 0;; ++count) {
        const Token token = ScanToken(scan);
        if (!token.found) {
            Fail("End tag not completed for element %s", name);
            return false;
        }
        if (!token.quoted) {
            const std::string_view word = TokenText(token);
            if (count == 0) {
                if (word != "/") {
                    Fail("Expecting end tag of element %s", name);
                    return false;
                }
            } else if (count == 1) {
                if (!NameMatches(word, name)) {
                    Fail("End tag does not correspond to %s", name);
                    return false;
                }
            } else if (word == ">") {
                m_elements[element].endTagEnd = token.begin;
                return true;
            }
        }
        scan = token.next;
    }
}

std::int32_t CXmlDocument::SearchSiblings(std::int32_t first, std::string_view name) const
{
    for (int32_t element = first; element != 0; element = m_elements[element].nextSibling) {
        if (name.empty() || NameMatches(ElementName(element), name))
            return element;
    }
    return 0;
}

bool CXmlDocument::FindElement(std::string_view name)
{
    const int32_t first = m_currentPos != 0 ? m_elements[m_currentPos].nextSibling
                                            : m_elements[m_parentPos].firstChild;
    const int32_t found = SearchSiblings(first, name);
    if (found == 0)
        return false;
    m_currentPos = found;
    m_parentPos = m_elements[found].parent;
    m_childPos = 0;
    return true;
}

bool CXmlDocument::FindChildElement(std::string_view name)
{
    // From the document level this first makes the top-level element current.
    if (m_currentPos == 0 && !FindElement({}))
        return false;
    const int32_t first = m_childPos != 0 ? m_elements[m_childPos].nextSibling
                                          : m_elements[m_currentPos].firstChild;
    const int32_t found = SearchSiblings(first, name);
    if (found == 0)
        return false;
    m_childPos = found;
    m_parentPos = m_elements[m_currentPos].parent;
    return true;
}

bool CXmlDocument::EnterElement()
{
    if (m_currentPos == 0)
        return false;
    m_parentPos = m_currentPos;
    m_currentPos = m_childPos;
    m_childPos = 0;
    return true;
}

bool CXmlDocument::LeaveElement()
{
    if (m_parentPos == 0)
        return false;
    m_childPos = m_currentPos;
    m_currentPos = m_parentPos;
    m_parentPos = m_elements[m_currentPos].parent;
    return true;
}

std::string CXmlDocument::Decode(std::int32_t begin, std::int32_t end) const
{
    if (end <= begin)
        return {};
    return DecodeText({m_documentText.data() + begin, static_cast<std::size_t>(end - begin)});
}

std::string CXmlDocument::DecodeText(std::string_view raw)
{
    std::string decoded;
    if (raw.empty())
        return decoded;
    decoded.reserve(raw.size());
    const char* text = raw.data();
    const int32_t end = Offset(raw.size());
    int32_t i = 0;
    while (i < end) {
        const void* found = std::memchr(text + i, '&', end - i);
        if (found == nullptr) {
            decoded.append(text + i, end - i);
            break;
        }
        const int32_t ampersand = Offset(static_cast<const char*>(found) - text);
        decoded.append(text + i, ampersand - i);
        // Each entity counts only when all of it lies inside the decoded range.
        const std::string_view rest(text + ampersand + 1, end - ampersand - 1);
        struct Entity {
            std::string_view name;
            char value;
        };
        static constexpr Entity kEntities[] = {
            {"lt;", '<'}, {"amp;", '&'}, {"gt;", '>'}, {"apos;", '\''}, {"quot;", '"'}};
        i = ampersand + 1;
        char value = '&';
        for (const Entity& entity : kEntities) {
            if (rest.starts_with(entity.name)) {
                value = entity.value;
                i += Offset(entity.name.size());
                break;
            }
        }
        decoded += value;
    }
    return decoded;
}

std::string CXmlDocument::GetChildText() const
{
    return m_childPos == 0 ? std::string() : GetElementText(m_childPos);
}

std::string CXmlDocument::GetElementText(std::int32_t element) const
{
    if (element <= 0 || element >= m_freePos)
        return {};
    const ElementRecord& child = m_elements[element];
    if (child.firstChild != 0 || child.startTagEnd == child.endTagBegin + 1)
        return {};

    const std::string_view text = m_documentText;
    int32_t i = child.startTagEnd + 1;
    while (i < child.endTagBegin && IsSpace(text[i]))
        ++i;
    constexpr std::string_view kCdataOpen = "<![CDATA[";
    if (i + 11 < child.endTagBegin && text.substr(i).starts_with(kCdataOpen)) {
        const int32_t contentBegin = i + Offset(kCdataOpen.size());
        const std::string_view rest = text.substr(contentBegin, child.endTagBegin - contentBegin);
        const std::size_t close = rest.find("]]>");
        if (close != std::string_view::npos)
            return std::string(rest.substr(0, close));
    }
    return Decode(child.startTagEnd + 1, child.endTagBegin);
}

// Finds the quoted value of the named attribute in the start tag of the element: the
// quoted token two tokens after the first matching name (name, '=', value). This walks
// the tokens as ScanToken does, written out because every attribute read comes here.
bool CXmlDocument::FindAttributeValue(std::int32_t element, std::string_view name, Token& value) const
{
    const char* const text = m_documentText.data();
    const int32_t length = Offset(m_documentText.size());
    const Token elementName = ScanToken(m_elements[element].startTagBegin + 1);
    if (!elementName.found)
        return false;
    int32_t i = elementName.next; // token 0 is the element's own name
    int matched = -1;
    for (int index = 1;; ++index) {
        if (matched >= 0 && index > matched + 2)
            return false; // an unquoted value is never recognised
        while (i < length && IsSpace(text[i]))
            ++i;
        if (i >= length)
            return false;
        const char first = text[i];
        if (first == '"' || first == '\'') {
            int32_t close = i + 1;
            while (close < length && text[close] != first)
                ++close;
            if (matched >= 0 && index == matched + 2) {
                value.found = value.quoted = true;
                value.begin = i + 1;
                value.end = close;
                value.next = close < length ? close + 1 : length;
                return true;
            }
            i = close < length ? close + 1 : length;
        } else if (IsDelimiter(first)) {
            if (first == '/' || first == '>' || first == '?')
                return false;
            ++i;
        } else {
            const int32_t begin = i;
            while (i < length && !IsDelimiter(text[i]))
                ++i;
            if (matched < 0 && NameMatches({text + begin, static_cast<std::size_t>(i - begin)}, name))
                matched = index;
        }
    }
}

// FindAttributeValue for several names in one walk of the tokens: how the tag splits into
// tokens does not depend on the name looked for, so each name's value (or its absence) is
// where that walk would find it.
void CXmlDocument::FindAttributeValues(std::int32_t element, std::span<const std::string_view> names,
                                       Token* values) const
{
    const char* const text = m_documentText.data();
    const int32_t length = Offset(m_documentText.size());
    const Token elementName = ScanToken(m_elements[element].startTagBegin + 1);
    if (!elementName.found)
        return;
    int matched[kMostNames];
    std::fill(matched, matched + names.size(), -1);
    // A name whose value is not the quoted token two after it has none (an unquoted value
    // is never recognised): its index is never met again.
    std::size_t open = names.size(); // the values still to be found
    int32_t i = elementName.next;
    for (int index = 1; open > 0; ++index) {
        while (i < length && IsSpace(text[i]))
            ++i;
        if (i >= length)
            return;
        const char first = text[i];
        if (first == '"' || first == '\'') {
            const void* quote = std::memchr(text + i + 1, first, static_cast<std::size_t>(length - i - 1));
            const int32_t close = quote ? Offset(static_cast<std::size_t>(static_cast<const char*>(quote) - text)) : length;
            for (std::size_t k = 0; k < names.size(); ++k)
                if (matched[k] >= 0 && index == matched[k] + 2) {
                    Token& value = values[k];
                    value.found = value.quoted = true;
                    value.begin = i + 1;
                    value.end = close;
                    value.next = close < length ? close + 1 : length;
                    matched[k] = std::numeric_limits<int>::min();
                    --open;
                }
            i = close < length ? close + 1 : length;
        } else if (IsDelimiter(first)) {
            if (first == '/' || first == '>' || first == '?')
                return;
            ++i;
        } else {
            const int32_t begin = i;
            while (i < length && !IsDelimiter(text[i]))
                ++i;
            const std::string_view token(text + begin, static_cast<std::size_t>(i - begin));
            for (std::size_t k = 0; k < names.size(); ++k)
                if (matched[k] == -1 && !names[k].empty() && token[0] == names[k][0] && NameMatches(token, names[k]))
                    matched[k] = index;
        }
    }
}

bool CXmlDocument::ChildNamed(std::string_view name) const
{
    return m_currentPos != 0 && m_childPos != 0 && NameMatches(ElementName(m_childPos), name);
}

std::string_view CXmlDocument::GetChildStartTag() const
{
    if (m_currentPos == 0 || m_childPos == 0)
        return {};
    const ElementRecord& child = m_elements[m_childPos];
    const bool empty = child.startTagEnd == child.endTagBegin + 1;
    const int32_t end = empty ? child.endTagBegin : child.startTagEnd;
    return std::string_view(m_documentText).substr(static_cast<std::size_t>(child.startTagBegin + 1),
                                                   static_cast<std::size_t>(end - child.startTagBegin - 1));
}

void CXmlDocument::GetChildAttributes(std::span<const std::string_view> names, std::span<std::string> values) const
{
    Token found[kMostNames];
    if (m_currentPos != 0 && m_childPos != 0 && names.size() <= kMostNames)
        FindAttributeValues(m_childPos, names, found);
    for (std::size_t k = 0; k < names.size() && k < values.size(); ++k) {
        const Token& value = found[k];
        const std::string_view raw = value.found ? TokenText(value) : std::string_view();
        if (raw.find('&') == std::string_view::npos)
            values[k].assign(raw);
        else
            values[k] = DecodeText(raw);
    }
}

std::string CXmlDocument::GetElementAttribute(std::int32_t element, std::string_view name) const
{
    Token value;
    if (element <= 0 || element >= m_freePos || !FindAttributeValue(element, name, value))
        return {};
    return Decode(value.begin, value.end);
}

bool CXmlDocument::NextTagItem(std::int32_t element, std::int32_t& offset, TagItem& item) const
{
    if (element <= 0 || element >= m_freePos)
        return false;
    const ElementRecord& record = m_elements[element];
    // Where the start tag's closing "/>" or ">" begins.
    const int32_t tagClose = record.startTagEnd == record.endTagBegin + 1 ? record.endTagBegin : record.startTagEnd;
    const Token first = offset > 0 ? ScanToken(offset) : ScanToken(ScanToken(record.startTagBegin + 1).next);
    if (!first.found || (first.quoted ? first.begin - 1 : first.begin) >= tagClose)
        return false;
    item = TagItem {TokenText(first), {}, false};
    offset = first.next;
    if (first.quoted && first.end >= tagClose) {
        // Quotes that run past the '>' that ended the tag: the rest of the tag is this token.
        item.name = std::string_view(m_documentText).substr(first.begin, tagClose - first.begin);
        offset = tagClose;
        return true;
    }
    if (first.quoted || IsDelimiter(m_documentText[first.begin]))
        return true;
    const Token equals = ScanToken(first.next);
    if (!equals.found || equals.quoted || equals.begin >= tagClose || m_documentText[equals.begin] != '=')
        return true;
    const Token value = ScanToken(equals.next);
    if (!value.found || !value.quoted || value.end >= tagClose)
        return true;
    item.value = TokenText(value);
    item.attribute = true;
    offset = value.next;
    return true;
}

std::string CXmlDocument::GetChildAttribute(std::string_view name) const
{
    Token value;
    if (m_currentPos == 0 || m_childPos == 0 || !FindAttributeValue(m_childPos, name, value))
        return {};
    return Decode(value.begin, value.end);
}

void CXmlDocument::Replace(std::int32_t offset, std::int32_t length, std::string_view bytes)
{
    m_documentText.replace(offset, length, bytes);
}

void CXmlDocument::ShiftSubtree(std::int32_t root, std::int32_t delta)
{
    int32_t node = root;
    for (;;) {
        ElementRecord& record = m_elements[node];
        record.startTagBegin += delta;
        record.startTagEnd += delta;
        record.endTagBegin += delta;
        record.endTagEnd += delta;
        if (record.firstChild != 0) {
            node = record.firstChild;
            continue;
        }
        while (node != root && m_elements[node].nextSibling == 0)
            node = m_elements[node].parent;
        if (node == root)
            return;
        node = m_elements[node].nextSibling;
    }
}

// After an edit inside (or of) the edited element, moves everything that stands after it:
// its descendants, every later element, and the end tags of its ancestors. Appending at
// the end therefore touches only the chain of ancestors.
void CXmlDocument::ShiftFollowing(std::int32_t edited, std::int32_t delta)
{
    if (delta == 0)
        return;
    for (int32_t child = m_elements[edited].firstChild; child != 0; child = m_elements[child].nextSibling)
        ShiftSubtree(child, delta);
    for (int32_t node = edited; node != 0;) {
        for (int32_t sibling = m_elements[node].nextSibling; sibling != 0; sibling = m_elements[sibling].nextSibling)
            ShiftSubtree(sibling, delta);
        const int32_t parent = m_elements[node].parent;
        m_elements[parent].endTagBegin += delta;
        m_elements[parent].endTagEnd += delta;
        node = parent;
    }
}

bool CXmlDocument::AddElement(std::string_view name)
{
    if (IsWellFormed())
        return false;
    m_elements[0].endTagBegin = Offset(m_documentText.size());
    if (!AddElementUnder(0, name, {}))
        return false;
    m_currentPos = m_elements[0].firstChild;
    m_parentPos = 0;
    m_childPos = 0;
    return true;
}

bool CXmlDocument::AddChildElement(std::string_view name, std::string_view text)
{
    if (m_currentPos == 0)
        return false;
    return AddElementUnder(m_currentPos, name, text);
}

bool CXmlDocument::AddChildElementWith(std::string_view name, std::span<const Attribute> attributes)
{
    if (m_currentPos == 0)
        return false;
    return AddElementUnder(m_currentPos, name, {}, attributes);
}

CXmlDocument::Line CXmlDocument::AppendLine(std::string& form, std::string_view name, std::string_view text,
                                            std::span<const Attribute> attributes)
{
    // Each attribute goes where SetAttributeOf would append it, before the "/>" or ">".
    const std::size_t begin = form.size();
    Line line;
    auto plain = [](const Attribute& attribute) { return NextEscaped(attribute.value, 0) == attribute.value.size(); };
    if (text.empty() && std::all_of(attributes.begin(), attributes.end(), plain)) {
        // Nothing to escape, as in most lines: the line is written in one piece.
        std::size_t size = name.size() + 5;
        for (const Attribute& attribute : attributes)
            size += attribute.name.size() + attribute.value.size() + 4;
        form.resize(begin + size);
        char* const first = form.data() + begin;
        char* out = first;
        auto put = [&out](std::string_view piece) { out = std::copy(piece.begin(), piece.end(), out); };
        *out++ = '<';
        put(name);
        for (const Attribute& attribute : attributes) {
            *out++ = ' ';
            put(attribute.name);
            put("=\"");
            put(attribute.value);
            *out++ = '"';
        }
        line.tagLength = Offset(static_cast<std::size_t>(out - first)) - 1;
        put("/>\r\n");
        return line;
    }
    form += '<';
    form += name;
    for (const Attribute& attribute : attributes) {
        form += ' ';
        form += attribute.name;
        form += "=\"";
        AppendEncoded(form, attribute.value, EncodeFor::Attribute);
        form += '"';
    }
    line.tagLength = Offset(form.size() - begin) - 1;
    if (text.empty()) {
        form += "/>";
    } else {
        form += '>';
        const std::size_t before = form.size();
        AppendEncoded(form, text, EncodeFor::Text);
        line.encodedLength = Offset(form.size() - before);
        form += "</";
        form += name;
        form += '>';
    }
    form += "\r\n";
    return line;
}

void CXmlDocument::Place(std::int32_t record, std::int32_t at, const Line& line, std::size_t nameLength)
{
    ElementRecord& added = m_elements[record];
    added.startTagBegin = at;
    if (line.encodedLength == 0) {
        added.endTagBegin = at + 1 + line.tagLength;
        added.startTagEnd = added.endTagBegin + 1;
        added.endTagEnd = added.startTagEnd;
    } else {
        added.startTagEnd = at + 1 + line.tagLength;
        added.endTagBegin = added.startTagEnd + 1 + line.encodedLength;
        added.endTagEnd = added.endTagBegin + 2 + Offset(nameLength);
    }
}

bool CXmlDocument::AddElementUnder(std::int32_t parent, std::string_view name, std::string_view text,
                                   std::span<const Attribute> attributes)
{
    std::string form;
    form.reserve(2 * name.size() + text.size() + 8 + 24 * attributes.size());
    const Line line = AppendLine(form, name, text, attributes);

    const int32_t record = AllocateRecord(parent);
    int32_t at = 0; // where the new element's '<' lands
    if (parent == 0) {
        at = Offset(m_documentText.size());
        Replace(at, 0, form);
        m_elements[0].firstChild = record;
        ShiftFollowing(record, Offset(form.size()));
    } else if (const ElementRecord owner = m_elements[parent]; owner.startTagEnd == owner.endTagBegin + 1) {
        // An empty element opens up: "<E/>" becomes "<E>", the new line, "</E>".
        const std::string ownerName(ElementName(parent));
        std::string bytes = ">\r\n" + form + "</" + ownerName;
        const int32_t slash = owner.endTagBegin;
        const int32_t delta = Offset(bytes.size()) - 1;
        Replace(slash, 1, bytes);
        ShiftFollowing(parent, delta);
        ElementRecord& opened = m_elements[parent];
        opened.startTagEnd = slash;
        opened.endTagBegin = slash + 3 + Offset(form.size());
        opened.endTagEnd = owner.endTagEnd + delta;
        opened.firstChild = record;
        at = slash + 3;
    } else {
        std::string& bytes = form;
        if (m_childPos != 0) {
            at = LineAfter(m_childPos);
            m_elements[record].nextSibling = m_elements[m_childPos].nextSibling;
            m_elements[m_childPos].nextSibling = record;
            Replace(at, 0, bytes);
        } else if (owner.firstChild == 0 && owner.endTagBegin == owner.startTagEnd + 1) {
            // "<E></E>": the child goes on a line of its own between the two tags.
            bytes.insert(0, "\r\n");
            Replace(owner.startTagEnd + 1, 0, bytes);
            at = owner.startTagEnd + 3;
            m_elements[parent].firstChild = record;
        } else {
            // Last among the children (or after the text), just before the end tag.
            at = owner.endTagBegin;
            Replace(at, 0, bytes);
            if (owner.firstChild == 0) {
                m_elements[parent].firstChild = record;
            } else {
                int32_t last = owner.firstChild;
                while (m_elements[last].nextSibling != 0)
                    last = m_elements[last].nextSibling;
                m_elements[last].nextSibling = record;
            }
        }
        ShiftFollowing(record, Offset(bytes.size()));
    }

    Place(record, at, line, name.size());
    if (parent != 0)
        m_childPos = record;
    return true;
}

std::int32_t CXmlDocument::LineAfter(std::int32_t child) const
{
    // Past the white space that ends the child's line, when a tag or the end follows it.
    const int32_t length = Offset(m_documentText.size());
    const int32_t at = m_elements[child].endTagEnd + 1;
    int32_t next = at;
    while (next < length && IsSpace(m_documentText[next]))
        ++next;
    return next >= length || m_documentText[next] == '<' ? next : at;
}

bool CXmlDocument::AddChildElementsWith(std::string_view name, std::span<const std::span<const Attribute>> elements)
{
    if (m_currentPos == 0)
        return elements.empty();
    // Without a current child the first goes where AddChildElementWith puts it.
    if (m_childPos == 0 && !elements.empty()) {
        if (!AddChildElementWith(name, elements.front()))
            return false;
        elements = elements.subspan(1);
    }
    if (elements.empty())
        return true;
    const int32_t at = LineAfter(m_childPos);
    if (at < Offset(m_documentText.size()) && m_documentText[static_cast<std::size_t>(at)] != '<') {
        // No tag follows the current child's line: each goes as AddChildElementWith puts it.
        for (std::span<const Attribute> attributes : elements)
            if (!AddChildElementWith(name, attributes))
                return false;
        return true;
    }
    // Each goes after the line before, where a tag (or the end) then follows: all of them
    // at `at`, one after another.
    std::string bytes;
    bytes.reserve(elements.size() * (name.size() + 6 + 24 * elements.front().size()));
    const int32_t parent = m_currentPos;
    int32_t previous = m_childPos;
    const int32_t following = m_elements[previous].nextSibling;
    for (std::span<const Attribute> attributes : elements) {
        const int32_t offset = Offset(bytes.size());
        const Line line = AppendLine(bytes, name, {}, attributes);
        const int32_t record = AllocateRecord(parent);
        m_elements[previous].nextSibling = record;
        Place(record, at + offset, line, name.size());
        previous = record;
    }
    m_elements[previous].nextSibling = following;
    Replace(at, 0, bytes);
    ShiftFollowing(previous, Offset(bytes.size()));
    m_childPos = previous;
    return true;
}

bool CXmlDocument::SetAttribute(std::string_view name, std::string_view value)
{
    if (m_currentPos == 0)
        return false;
    return SetAttributeOf(m_currentPos, name, value);
}

bool CXmlDocument::SetChildAttribute(std::string_view name, std::string_view value)
{
    if (m_currentPos == 0 || m_childPos == 0)
        return false;
    return SetAttributeOf(m_childPos, name, value);
}

bool CXmlDocument::SetAttributeOf(std::int32_t element, std::string_view name, std::string_view value)
{
    const std::string encoded = Encode(value, EncodeFor::Attribute);
    const ElementRecord& record = m_elements[element];
    const bool empty = record.startTagEnd == record.endTagBegin + 1;
    // Where the start tag's closing "/>" or ">" begins.
    const int32_t tagClose = empty ? record.endTagBegin : record.startTagEnd;

    int32_t delta = 0;
    Token present;
    if (FindAttributeValue(element, name, present)) {
        // A value whose quotes run past the end of the tag (a '>' inside quotes, or no
        // closing quote) cannot be replaced without cutting the tag apart.
        if (present.end >= tagClose)
            return false;
        delta = Offset(encoded.size()) - (present.end - present.begin);
        Replace(present.begin, present.end - present.begin, encoded);
    } else {
        std::string bytes;
        bytes.reserve(name.size() + encoded.size() + 4);
        bytes += ' ';
        bytes += name;
        bytes += "=\"";
        bytes += encoded;
        bytes += '"';
        delta = Offset(bytes.size());
        Replace(tagClose, 0, bytes);
    }
    ElementRecord& edited = m_elements[element];
    edited.startTagEnd += delta;
    edited.endTagBegin += delta;
    edited.endTagEnd += delta;
    ShiftFollowing(element, delta);
    return true;
}
