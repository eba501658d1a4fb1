#pragma once

// Platform calls that are plain arithmetic or plain values: the error exception, the
// thread's last error code, MulDiv and the system metrics the program lays itself out by.

#include <cstdint>
#include <exception>
#include <string>

namespace win {

namespace api {

// Raised when a platform call that must succeed fails; carries the error code that the
// failing call left as the last error.
class Exception : public std::exception {
public:
    explicit Exception(unsigned long code);
    unsigned long Code() const noexcept { return m_code; }
    const char* what() const noexcept override { return m_message.c_str(); }

private:
    unsigned long m_code;
    std::string m_message;
};

} // namespace api

// Error codes the layer sets as the last error.
inline constexpr unsigned long ERROR_SUCCESS = 0;
inline constexpr unsigned long ERROR_INVALID_PARAMETER = 87;
inline constexpr unsigned long ERROR_INVALID_WINDOW_HANDLE = 1400;
inline constexpr unsigned long ERROR_RESOURCE_NAME_NOT_FOUND = 1814;
inline constexpr unsigned long ERROR_RESOURCE_TYPE_NOT_FOUND = 1813;

// The last error of the calling thread, set by layer operations that fail.
unsigned long GetLastError();
void SetLastError(unsigned long code);

// a * b / c computed exactly and rounded to the nearest integer, halves away from zero.
// Returns -1 when c is 0 or the result does not fit in 64 bits (as the Windows function
// does for its 32-bit range). The 32-bit Windows semantics are the special case of
// operands and results within 32 bits.
std::int64_t MulDiv(std::int64_t a, std::int64_t b, std::int64_t c);

// System metrics with their Windows values at 96 dpi.
inline constexpr int SM_CXICON = 11;
inline constexpr int SM_CYICON = 12;
inline constexpr int SM_CXEDGE = 45;
inline constexpr int SM_CYEDGE = 46;
int GetSystemMetrics(int index);

} // namespace win
