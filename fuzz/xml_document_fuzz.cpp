// Feeds arbitrary text to the markup reader, walks and reads every element it records, and
// replays a sequence of writing operations decoded from the same bytes, both on a new
// document and on the parsed one. Any inconsistency between the element table and the
// text stops the run.

#include "storage/xml_document.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {

void Check(bool condition)
{
    if (!condition)
        std::abort();
}

// Every record in use names the characters it is defined to name.
void CheckTable(const CXmlDocument& document)
{
    const std::string text = document.GetDocument();
    const auto records = document.GetElementRecords();
    const auto at = [&](std::int32_t offset) {
        return offset >= 0 && static_cast<std::size_t>(offset) < text.size() ? text[offset] : '\0';
    };
    for (std::size_t i = 1; i < records.size(); ++i) {
        const auto& r = records[i];
        Check(at(r.startTagBegin) == '<' && at(r.startTagEnd) == '>');
        if (r.startTagEnd == r.endTagBegin + 1) {
            Check(at(r.endTagBegin) == '/' && r.endTagEnd == r.startTagEnd);
        } else {
            Check(r.startTagEnd < r.endTagBegin && r.endTagBegin < r.endTagEnd);
            Check(at(r.endTagBegin) == '<' && at(r.endTagEnd) == '>');
        }
        Check(r.parent >= 0 && static_cast<std::size_t>(r.parent) < i);
        Check(r.firstChild == 0 || static_cast<std::size_t>(r.firstChild) < records.size());
        Check(r.nextSibling == 0 || static_cast<std::size_t>(r.nextSibling) < records.size());
    }
}

constexpr std::string_view kNames[] = {"A", "B", "TRANSACTION", "v", "Type", ""};

// Visits every element below the top-level one with the cursor alone, reading its text and
// a few attributes; returns how many it saw.
std::size_t WalkAndRead(CXmlDocument& document)
{
    std::size_t seen = 0;
    if (!document.FindElement({}))
        return seen;
    int depth = 0;
    for (;;) {
        if (document.FindChildElement({})) {
            ++seen;
            const std::string text = document.GetChildText();
            for (std::string_view name : kNames)
                (void)document.GetChildAttribute(name);
            (void)text;
            Check(document.EnterElement());
            ++depth;
        } else {
            if (depth == 0)
                break;
            Check(document.LeaveElement());
            --depth;
        }
    }
    return seen;
}

void ReadEverything(const std::string& text)
{
    CXmlDocument document;
    const bool parsed = document.SetDocument(text);
    Check(parsed == document.IsWellFormed());
    Check(document.GetDocument() == text);
    if (!parsed) {
        Check(document.GetElementRecords().size() == 1);
        return;
    }
    CheckTable(document);
    const std::size_t elements = document.GetElementRecords().size() - 1;
    Check(WalkAndRead(document) + 1 == elements);

    // Lookups by name from the document level and among the children.
    CXmlDocument lookups;
    lookups.SetDocument(text);
    for (std::string_view name : kNames) {
        lookups.FindChildElement(name);
        (void)lookups.GetChildText();
        lookups.FindElement(name);
        lookups.EnterElement();
    }
}

class ByteReader {
public:
    ByteReader(const std::uint8_t* data, std::size_t size) : m_data(data), m_size(size) {}
    bool AtEnd() const { return m_position >= m_size; }
    std::uint8_t Next() { return AtEnd() ? 0 : m_data[m_position++]; }
    std::string Bytes()
    {
        std::string bytes;
        for (std::size_t count = Next() % 8; count > 0 && !AtEnd(); --count)
            bytes += static_cast<char>(Next());
        return bytes;
    }
    std::string_view Name() { return kNames[Next() % 5]; }

private:
    const std::uint8_t* m_data;
    std::size_t m_size;
    std::size_t m_position = 0;
};

// Replays writing operations. On a document built from nothing, every value written must
// read back unchanged and the finished text must parse into the same table.
void ReplayWrites(const std::uint8_t* data, std::size_t size, CXmlDocument& document, bool fromNothing)
{
    ByteReader input(data, size);
    for (int operation = 0; operation < 200 && !input.AtEnd(); ++operation) {
        switch (input.Next() % 8) {
        case 0:
            document.AddElement(input.Name());
            break;
        case 1:
        case 2: {
            const std::string_view name = input.Name();
            const std::string text = input.Bytes();
            if (document.AddChildElement(name, text) && fromNothing)
                Check(document.GetChildText() == text);
            break;
        }
        case 3: {
            const std::string_view name = input.Name();
            document.SetAttribute(name, input.Bytes());
            break;
        }
        case 4: {
            const std::string_view name = input.Name();
            const std::string value = input.Bytes();
            if (document.SetChildAttribute(name, value) && fromNothing)
                Check(document.GetChildAttribute(name) == value);
            break;
        }
        case 5: document.EnterElement(); break;
        case 6: document.LeaveElement(); break;
        default:
            if (input.Next() % 2 == 0)
                document.FindChildElement(input.Name());
            else
                document.FindElement(input.Name());
            break;
        }
    }
    CheckTable(document);
    if (!fromNothing || !document.IsWellFormed())
        return;
    CXmlDocument reread;
    Check(reread.SetDocument(document.GetDocument()));
    Check(reread.GetElementRecords().size() == document.GetElementRecords().size());
    Check(WalkAndRead(reread) + 2 == reread.GetElementRecords().size());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    ReadEverything(text);

    CXmlDocument built;
    ReplayWrites(data, size, built, true);

    CXmlDocument parsed;
    if (parsed.SetDocument(text)) {
        parsed.FindElement({});
        ReplayWrites(data, size, parsed, false);
    }
    return 0;
}
