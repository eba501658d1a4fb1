#pragma once

// Text helpers shared by the core and the window platform layer; standard C++ only.

#include <algorithm>
#include <cstddef>
#include <string_view>

// Byte-wise comparison after folding ASCII capitals to small letters: the order of the
// transactions list (and of any list kept sorted by its first column).
inline int CompareFolded(std::string_view a, std::string_view b)
{
    auto fold = [](char c) {
        const auto byte = static_cast<unsigned char>(c);
        return byte >= 'A' && byte <= 'Z' ? byte + ('a' - 'A') : static_cast<unsigned>(byte);
    };
    const std::size_t length = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < length; ++i) {
        const unsigned x = fold(a[i]);
        const unsigned y = fold(b[i]);
        if (x != y)
            return x < y ? -1 : 1;
    }
    return a.size() < b.size() ? -1 : a.size() > b.size() ? 1 : 0;
}
