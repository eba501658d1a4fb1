#pragma once

#include <cstdlib>
#include <ctime>
#include <optional>
#include <string>

namespace testing_support {

// Sets the process time zone for the life of the guard and restores the previous one.
class TzGuard {
public:
    explicit TzGuard(const char* zone)
    {
        if (const char* old = std::getenv("TZ"))
            m_previous = old;
        setenv("TZ", zone, 1);
        tzset();
    }
    ~TzGuard()
    {
        if (m_previous)
            setenv("TZ", m_previous->c_str(), 1);
        else
            unsetenv("TZ");
        tzset();
    }
    TzGuard(const TzGuard&) = delete;
    TzGuard& operator=(const TzGuard&) = delete;

private:
    std::optional<std::string> m_previous;
};

// North American eastern time with its daylight-saving rule, no tzdata needed.
inline constexpr const char* kEastern = "EST5EDT,M3.2.0,M11.1.0";
// A southern-hemisphere rule (Sydney): summer time from October to April.
inline constexpr const char* kSydney = "AEST-10AEDT,M10.1.0,M4.1.0/3";

} // namespace testing_support
