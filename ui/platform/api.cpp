#include "ui/platform/api.h"

#include <limits>

namespace win {

namespace api {

Exception::Exception(unsigned long code)
    : m_code(code), m_message("platform call failed with error " + std::to_string(code))
{
}

} // namespace api

namespace {
// The widest integer of the compiler, for exact products of two 64-bit operands.
__extension__ typedef __int128 Int128;

thread_local unsigned long lastError = ERROR_SUCCESS;
}

unsigned long GetLastError() { return lastError; }

void SetLastError(unsigned long code) { lastError = code; }

std::int64_t MulDiv(std::int64_t a, std::int64_t b, std::int64_t c)
{
    if (c == 0)
        return -1;
    Int128 product = static_cast<Int128>(a) * b;
    Int128 divisor = c;
    // Work with a positive divisor so that the sign of the result is the product's.
    if (divisor < 0) {
        divisor = -divisor;
        product = -product;
    }
    const bool negative = product < 0;
    const Int128 magnitude = negative ? -product : product;
    Int128 quotient = magnitude / divisor;
    const Int128 remainder = magnitude % divisor;
    // Halves round away from zero: the remainder counts once it is half the divisor.
    if (remainder * 2 >= divisor)
        ++quotient;
    const Int128 result = negative ? -quotient : quotient;
    if (result > std::numeric_limits<std::int64_t>::max() ||
        result < std::numeric_limits<std::int64_t>::min())
        return -1;
    return static_cast<std::int64_t>(result);
}

int GetSystemMetrics(int index)
{
    switch (index) {
    case SM_CXICON:
    case SM_CYICON:
        return 32;
    case SM_CXEDGE:
    case SM_CYEDGE:
        return 2;
    default:
        return 0;
    }
}

} // namespace win
