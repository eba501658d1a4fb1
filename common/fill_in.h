#pragma once

#include <cstddef>
#include <initializer_list>
#include <string>
#include <string_view>

// A text of the string table with %1, %2, ... replaced in one pass, so that a value
// holding "%2" stays as it is.
inline std::string FillIn(std::string_view text, std::initializer_list<std::string_view> values)
{
    std::string filled;
    for (std::size_t at = 0; at < text.size(); ++at) {
        const char next = at + 1 < text.size() ? text[at + 1] : '\0';
        if (text[at] == '%' && next >= '1' && next < static_cast<char>('1' + values.size())) {
            filled += values.begin()[next - '1'];
            ++at;
        } else {
            filled += text[at];
        }
    }
    return filled;
}
