#pragma once

#include "storage/xml_document.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <tuple>
#include <vector>

namespace XmlChecks {

// One element as it stands in the text: its four offsets and its depth.
using Placement = std::tuple<std::int32_t, std::int32_t, std::int32_t, std::int32_t, int>;

// The elements of the document in document order, following the child and sibling links.
inline std::vector<Placement> Placements(const CXmlDocument& document)
{
    const auto records = document.GetElementRecords();
    std::vector<Placement> placements;
    std::vector<std::int32_t> pending;
    std::vector<int> depths;
    if (records[0].firstChild != 0) {
        pending.push_back(records[0].firstChild);
        depths.push_back(1);
    }
    while (!pending.empty()) {
        const std::int32_t element = pending.back();
        const int depth = depths.back();
        pending.pop_back();
        depths.pop_back();
        const auto& r = records[element];
        placements.emplace_back(r.startTagBegin, r.startTagEnd, r.endTagBegin, r.endTagEnd, depth);
        if (r.nextSibling != 0) {
            pending.push_back(r.nextSibling);
            depths.push_back(depth);
        }
        if (r.firstChild != 0) {
            pending.push_back(r.firstChild);
            depths.push_back(depth + 1);
        }
    }
    return placements;
}

// Every record in use names the characters it is defined to name, and children lie inside
// their parent.
inline ::testing::AssertionResult OffsetsNameTheirCharacters(const CXmlDocument& document)
{
    const std::string text = document.GetDocument();
    const auto records = document.GetElementRecords();
    const auto at = [&](std::int32_t offset) {
        return offset >= 0 && static_cast<std::size_t>(offset) < text.size() ? text[offset] : '\0';
    };
    for (std::size_t i = 1; i < records.size(); ++i) {
        const auto& r = records[i];
        const bool empty = r.startTagEnd == r.endTagBegin + 1;
        const bool ok = at(r.startTagBegin) == '<' && at(r.startTagEnd) == '>'
            && (empty ? at(r.endTagBegin) == '/' && r.endTagEnd == r.startTagEnd
                      : at(r.endTagBegin) == '<' && at(r.endTagEnd) == '>' && r.startTagEnd < r.endTagBegin);
        if (!ok)
            return ::testing::AssertionFailure() << "record " << i << " is out of step with the text";
        if (r.parent != 0) {
            const auto& p = records[r.parent];
            if (r.startTagBegin <= p.startTagEnd || r.endTagEnd >= p.endTagBegin)
                return ::testing::AssertionFailure() << "record " << i << " lies outside its parent";
        }
    }
    return ::testing::AssertionSuccess();
}

} // namespace XmlChecks
