// What a save would not keep of a data file: the document as read is walked side by side
// with the document the writer makes of what was read, pairing each written element with
// the element the reader took it from (the first of its name after the last one paired,
// as the reader looks children up), and every element, attribute, text, comment or other
// markup without its like on the written side is one difference. White space between
// elements, the order of attributes and the way a value is quoted or escaped are not
// differences: a save changes them without changing what the file says.
#include "storage/data_file.h"

#include <algorithm>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace DataFile {

namespace {

using std::int32_t;
using Record = CXmlDocument::ElementRecord;

constexpr std::size_t kShownLength = 40;

bool IsSpaceByte(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

bool AllSpace(std::string_view text)
{
    return std::all_of(text.begin(), text.end(), IsSpaceByte);
}

std::string_view Trimmed(std::string_view text)
{
    while (!text.empty() && IsSpaceByte(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsSpaceByte(text.back()))
        text.remove_suffix(1);
    return text;
}

// A value as a note shows it: on one line, cut short (between two characters) when long.
std::string Shown(std::string_view value)
{
    std::size_t length = value.size();
    bool cut = false;
    if (length > kShownLength) {
        length = kShownLength;
        while (length > 0 && (static_cast<unsigned char>(value[length]) & 0xC0) == 0x80)
            --length;
        cut = true;
    }
    std::string shown(value.substr(0, length));
    for (char& c : shown)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F)
            c = ' ';
    if (cut)
        shown += "...";
    return shown;
}

bool IsNameByte(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_' || c == ':'
        || c == '.' || c == '-' || c == '#' || static_cast<unsigned char>(c) >= 0x80;
}

// The length of the reference at the start of `text` ("&name;" or "&#digits;") that the
// reader does not decode, or 0 when it is one of the five it decodes or no reference.
std::size_t UndecodedReference(std::string_view text)
{
    for (std::string_view known : {"&lt;", "&amp;", "&gt;", "&apos;", "&quot;"})
        if (text.starts_with(known))
            return 0;
    std::size_t end = 1;
    while (end < text.size() && IsNameByte(text[end]))
        ++end;
    return end > 1 && end < text.size() && text[end] == ';' ? end + 1 : 0;
}

class Comparison {
public:
    Comparison(const CXmlDocument& original, const CXmlDocument& written, Notes* notes)
        : m_original(original)
        , m_written(written)
        , m_o(original.GetElementRecords())
        , m_w(written.GetElementRecords())
        , m_text(original.GetDocumentText())
        , m_notes(notes)
    {
    }

    std::size_t Run()
    {
        const int32_t root = m_o[0].firstChild;
        ScanMarkup(0, m_o[root].startTagBegin, 0, 0, Markup::Around);
        CompareElements(root, m_w[0].firstChild, 0);
        ScanMarkup(m_o[root].endTagEnd + 1, static_cast<int32_t>(m_text.size()), 0, 0, Markup::After);
        return m_count;
    }

private:
    enum class Markup {
        Around,  // before the document's element: every item is a difference
        After,   // after it: the first item is, the rest may be anything
        Between, // between the children of an element
        Value,   // inside an element's text, which is read as it stands
    };

    template <class Words>
    void Note(Words words)
    {
        ++m_count;
        if (m_notes && m_notes->size() < kNotesKept)
            m_notes->push_back(words());
    }

    // ` of "Rent"`: the account or transaction an element belongs to, by the description
    // the program shows for it.
    std::string Of(int32_t owner) const
    {
        if (owner == 0)
            return {};
        for (int32_t child = m_w[owner].firstChild; child != 0; child = m_w[child].nextSibling)
            if (m_written.GetElementName(child) == kDescription)
                return " of \"" + Shown(m_written.GetElementText(child)) + "\"";
        return {};
    }

    std::string In(int32_t element, int32_t owner) const
    {
        if (element == 0)
            return {};
        return " in " + std::string(m_original.GetElementName(element)) + Of(owner);
    }

    static bool Empty(const Record& record) { return record.startTagEnd == record.endTagBegin + 1; }

    static std::string_view Content(const CXmlDocument& document, const Record& record)
    {
        if (Empty(record))
            return {};
        return document.GetDocumentText().substr(record.startTagEnd + 1, record.endTagBegin - record.startTagEnd - 1);
    }

    void CompareElements(int32_t o, int32_t w, int32_t owner)
    {
        const std::string_view name = m_original.GetElementName(o);
        if (w != 0 && (name == kAccount || name == kTransaction || name == kHoliday))
            owner = w;
        CompareAttributes(o, w, owner);
        const bool originalLeaf = m_o[o].firstChild == 0;
        if (w != 0 && m_w[w].firstChild == 0) {
            CompareText(o, w, owner);
            if (originalLeaf)
                return;
        }
        MatchChildren(o, w, owner);
        ScanBetweenChildren(o, owner);
    }

    void CompareAttributes(int32_t o, int32_t w, int32_t owner)
    {
        const std::string_view name = m_original.GetElementName(o);
        std::uint32_t paired = 0; // the written attributes met, by their place in the tag
        int32_t nextOffset = 0;
        int nextPlace = 0;
        CXmlDocument::TagItem item;
        for (int32_t offset = 0; m_original.NextTagItem(o, offset, item);) {
            if (!item.attribute) {
                Note([&] { return "text \"" + Shown(item.name) + "\" in the tag of " + std::string(name) + Of(owner); });
                continue;
            }
            CXmlDocument::TagItem written;
            int place = -1;
            if (w != 0) {
                // The written attributes come in the file's order, as a rule: the next one
                // is tried first.
                int32_t at = nextOffset;
                if (m_written.NextTagItem(w, at, written) && written.name == item.name) {
                    place = nextPlace++;
                    nextOffset = at;
                } else {
                    at = 0;
                    for (int candidate = 0; m_written.NextTagItem(w, at, written); ++candidate)
                        if (written.name == item.name) {
                            place = candidate;
                            break;
                        }
                }
            }
            // A second attribute of a name is never read.
            const std::uint32_t bit = place >= 0 && place < 32 ? 1u << place : 0;
            if (place < 0 || (paired & bit) != 0) {
                Note([&] { return "attribute " + std::string(item.name) + " on " + std::string(name) + Of(owner); });
                continue;
            }
            paired |= bit;
            if (item.value == written.value)
                continue;
            const std::string read = CXmlDocument::DecodeText(item.value);
            const std::string saved = CXmlDocument::DecodeText(written.value);
            const std::string where = std::string(name) + " " + std::string(item.name);
            if (read != saved)
                Note([&] { return where + " \"" + Shown(read) + "\"" + Of(owner) + " read as " + Shown(saved); });
            else
                NoteReferences(item.value, where, owner);
        }
        int place = 0;
        CXmlDocument::TagItem written;
        for (int32_t at = 0; w != 0 && m_written.NextTagItem(w, at, written); ++place) {
            if (written.attribute && (place >= 32 || (paired & (1u << place)) == 0))
                Note([&] {
                    return "no " + std::string(written.name) + " on " + std::string(name) + Of(owner) + ": read as "
                        + Shown(CXmlDocument::DecodeText(written.value));
                });
        }
    }

    void CompareText(int32_t o, int32_t w, int32_t owner)
    {
        const bool originalLeaf = m_o[o].firstChild == 0;
        const std::string_view raw = Content(m_original, m_o[o]);
        if (originalLeaf && raw == Content(m_written, m_w[w]))
            return;
        const std::string read = m_original.GetElementText(o);
        const std::string saved = m_written.GetElementText(w);
        const std::string_view name = m_original.GetElementName(o);
        if (read != saved) {
            Note([&] { return std::string(name) + " \"" + Shown(read) + "\"" + Of(owner) + " read as " + Shown(saved); });
            return;
        }
        if (!originalLeaf)
            return;
        // The same text, written another way: markup inside it, or references the reader
        // takes for text.
        const std::size_t at = raw.find_first_not_of(" \t\r\n");
        constexpr std::string_view kCdataOpen = "<![CDATA[";
        const int32_t begin = m_o[o].startTagEnd + 1;
        if (at != std::string_view::npos && raw.size() - at >= 12 && raw.substr(at).starts_with(kCdataOpen)) {
            const std::size_t close = raw.find("]]>", at + kCdataOpen.size());
            if (close != std::string_view::npos) {
                // Only the section is read: what follows it is not.
                ScanMarkup(begin + static_cast<int32_t>(close + 3), m_o[o].endTagBegin, o, owner, Markup::Between);
                return;
            }
        }
        ScanMarkup(begin, m_o[o].endTagBegin, o, owner, Markup::Value);
    }

    void NoteReferences(std::string_view raw, const std::string& where, int32_t owner)
    {
        for (std::size_t at = raw.find('&'); at != std::string_view::npos; at = raw.find('&', at + 1)) {
            if (const std::size_t length = UndecodedReference(raw.substr(at)))
                Note([&] {
                    return "reference " + Shown(raw.substr(at, length)) + " in " + where + Of(owner) + " read as text";
                });
        }
    }

    // The children of `o` paired with those of `w` (none when w is 0) as the reader finds them.
    void MatchChildren(int32_t o, int32_t w, int32_t owner)
    {
        int32_t next = m_o[o].firstChild;
        for (int32_t child = w != 0 ? m_w[w].firstChild : 0; child != 0; child = m_w[child].nextSibling) {
            const std::string_view name = m_written.GetElementName(child);
            int32_t found = next;
            while (found != 0 && m_original.GetElementName(found) != name)
                found = m_o[found].nextSibling;
            if (found == 0) {
                NoteMissing(child, owner);
                continue;
            }
            for (; next != found; next = m_o[next].nextSibling)
                PassedOver(next, o, owner);
            CompareElements(found, child, owner);
            next = m_o[found].nextSibling;
        }
        for (; next != 0; next = m_o[next].nextSibling)
            PassedOver(next, o, owner);
    }

    void PassedOver(int32_t child, int32_t parent, int32_t owner)
    {
        const std::string_view name = m_original.GetElementName(child);
        // An empty list holds nothing to lose; the writer leaves it out.
        if (parent == m_o[0].firstChild && m_o[child].firstChild == 0 && (name == kAccounts || name == kTransactions || name == kHolidays)) {
            CompareElements(child, 0, 0);
            return;
        }
        Note([&] { return "element " + std::string(name) + In(parent, owner); });
    }

    void NoteMissing(int32_t written, int32_t owner)
    {
        const Record& record = m_w[written];
        CXmlDocument::TagItem item;
        int32_t offset = 0;
        const bool attributes = m_written.NextTagItem(written, offset, item);
        // An element the writer leaves empty (a description of nothing) says nothing.
        if (Empty(record) && !attributes)
            return;
        const std::string name(m_written.GetElementName(written));
        if (record.firstChild == 0 && !Empty(record))
            Note([&] { return "no " + name + Of(owner) + ": read as " + Shown(m_written.GetElementText(written)); });
        else
            Note([&] { return "no " + name + Of(owner); });
    }

    void ScanBetweenChildren(int32_t o, int32_t owner)
    {
        const Record& record = m_o[o];
        if (Empty(record))
            return;
        int32_t from = record.startTagEnd + 1;
        for (int32_t child = record.firstChild; child != 0; child = m_o[child].nextSibling) {
            ScanMarkup(from, m_o[child].startTagBegin, o, owner, Markup::Between);
            from = m_o[child].endTagEnd + 1;
        }
        ScanMarkup(from, record.endTagBegin, o, owner, Markup::Between);
    }

    // Notes the comments, processing instructions, declarations, sections and text in
    // [begin, end) of the original text that are not elements.
    void ScanMarkup(int32_t begin, int32_t end, int32_t element, int32_t owner, Markup markup)
    {
        auto where = [&] {
            return markup == Markup::Around ? std::string(" before the document")
                : markup == Markup::After   ? std::string(" after the document")
                                            : In(element, owner);
        };
        const std::string_view text = m_text.substr(0, static_cast<std::size_t>(std::max(begin, end)));
        std::size_t at = static_cast<std::size_t>(begin);
        while (at < static_cast<std::size_t>(end)) {
            if (text[at] != '<') {
                const std::size_t stop = std::min(text.find('<', at), text.size());
                const std::string_view run = text.substr(at, stop - at);
                at = stop;
                if (markup == Markup::Value) {
                    NoteReferences(run, std::string(m_original.GetElementName(element)), owner);
                    continue;
                }
                if (AllSpace(run))
                    continue;
                Note([&] { return "text \"" + Shown(Trimmed(run)) + "\"" + where(); });
                if (markup == Markup::After)
                    return;
                continue;
            }
            const std::string_view rest = text.substr(at);
            struct Kind {
                std::string_view open, close, words;
            };
            static constexpr Kind kKinds[] = {
                {"<!--", "-->", "a comment"},
                {"<![CDATA[", "]]>", "a CDATA section"},
                {"<?", "?>", "a processing instruction"},
                {"<!", ">", "a declaration"},
            };
            const Kind* kind = nullptr;
            for (const Kind& candidate : kKinds)
                if (rest.starts_with(candidate.open)) {
                    kind = &candidate;
                    break;
                }
            if (kind != nullptr) {
                Note([&] { return std::string(kind->words) + where(); });
                const std::size_t close = rest.find(kind->close, kind->open.size());
                at = close == std::string_view::npos ? text.size() : at + close + kind->close.size();
            } else {
                std::size_t name = 1;
                while (name < rest.size() && !IsSpaceByte(rest[name]) && rest[name] != '>' && rest[name] != '/')
                    ++name;
                Note([&] { return "element " + Shown(rest.substr(1, name - 1)) + where(); });
                at = text.size();
            }
            if (markup == Markup::After)
                return;
        }
    }

    const CXmlDocument& m_original;
    const CXmlDocument& m_written;
    std::span<const Record> m_o;
    std::span<const Record> m_w;
    std::string_view m_text;
    Notes* m_notes;
    std::size_t m_count = 0;
};

} // namespace

// Whether the two texts are the same but for the white space between a '>' (or the start)
// and a '<' (or the end). For the text of a file the program wrote and the text it writes
// again, they are: that is settled at the speed of memcmp, without a second document.
// (White space there inside an element is its whole text, which the writer writes as read.)
bool SameButForSpaceBetweenTags(std::string_view first, std::string_view second,
                                std::span<const TextSpan> leftOut = {})
{
    std::size_t i = 0;
    std::size_t j = 0;
    auto nextLeftOut = leftOut.begin();
    for (;;) {
        std::size_t a = i;
        std::size_t b = j;
        for (;;) {
            while (a < first.size() && IsSpaceByte(first[a]))
                ++a;
            // A stretch left out of the first text goes with the white space around it.
            while (nextLeftOut != leftOut.end() && static_cast<std::size_t>(nextLeftOut->begin) < a)
                ++nextLeftOut;
            if (nextLeftOut == leftOut.end() || static_cast<std::size_t>(nextLeftOut->begin) != a)
                break;
            a = static_cast<std::size_t>((nextLeftOut++)->end);
        }
        while (b < second.size() && IsSpaceByte(second[b]))
            ++b;
        if ((a == first.size() || first[a] == '<') && (b == second.size() || second[b] == '<')) {
            i = a;
            j = b;
        }
        if (i == first.size() || j == second.size())
            return i == first.size() && j == second.size();
        // Up to and with the next '>', byte for byte.
        const std::size_t endFirst = std::min(first.find('>', i), first.size() - 1) + 1;
        const std::size_t endSecond = std::min(second.find('>', j), second.size() - 1) + 1;
        if (first.substr(i, endFirst - i) != second.substr(j, endSecond - j))
            return false;
        i = endFirst;
        j = endSecond;
    }
}

bool SameLeavingOut(const CXmlDocument& original, std::span<const TextSpan> leftOut, std::string_view written)
{
    return SameButForSpaceBetweenTags(original.GetDocumentText(), written, leftOut);
}

std::size_t FindDifferences(const CXmlDocument& original, std::string written, Notes* notes)
{
    if (!original.IsWellFormed())
        return 1;
    if (SameButForSpaceBetweenTags(original.GetDocumentText(), written))
        return 0;
    CXmlDocument document;
    if (!document.SetDocument(std::move(written)))
        return 1;
    return Comparison(original, document, notes).Run();
}

} // namespace DataFile
