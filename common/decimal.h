#pragma once

#include <cstdint>
#include <string_view>

namespace Utility {

// Reads a decimal integer the way the C library's atoi does (leading white space, an
// optional sign, then digits up to the first non-digit; no digits reads as 0), except
// that a value outside the 32-bit range reads as the nearest limit instead of being
// undefined. Every place that reads a number from text uses this.
std::int32_t ReadDecimal(std::string_view text);

} // namespace Utility
