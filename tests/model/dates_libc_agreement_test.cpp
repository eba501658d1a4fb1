#include "model/dates.h"
#include "model/libc_dates.h"

#include "support/tz_guard.h"

#include <gtest/gtest.h>

#include <ctime>
#include <random>
#include <sstream>
#include <string>
#include <vector>

namespace {

using testing_support::TzGuard;

std::int32_t Offset(TimeValue value)
{
    const std::time_t time = value;
    std::tm fields{};
    localtime_r(&time, &fields);
    return static_cast<std::int32_t>(fields.tm_gmtoff);
}

// Collects the first disagreements between the calendar functions and the C library's.
class Agreement {
public:
    template <typename T>
    void Same(const T& ours, const T& reference, const char* what, TimeValue value)
    {
        if (ours == reference)
            return;
        ++m_count;
        if (m_messages.size() < 12) {
            std::ostringstream message;
            message << what << " of " << value << " (" << LibcDates::FormatDate(value) << ")";
            m_messages.push_back(message.str());
        }
    }

    // Everything the program asks of one instant.
    void Instant(TimeValue value)
    {
        Same(SplitDate(value), LibcDates::SplitDate(value), "SplitDate", value);
        Same(ToTenOClock(value), LibcDates::ToTenOClock(value), "ToTenOClock", value);
        Same(FormatDate(value), LibcDates::FormatDate(value), "FormatDate", value);
        Same(FirstOfMonth(value), LibcDates::FirstOfMonth(value), "FirstOfMonth", value);
    }

    // A calendar day: its 10:00, the instants around it and steps from it.
    void Day(std::int64_t year, int month, int day, std::mt19937_64& random)
    {
        const TimeValue value = LibcDates::MakeDate(year, month, day);
        Same(MakeDate(year, month, day), value, "MakeDate", value);
        Instant(value);
        std::uniform_int_distribution<std::int64_t> seconds(-2 * kSecondsPerDay, 2 * kSecondsPerDay);
        Instant(value + seconds(random));
        std::uniform_int_distribution<std::int64_t> days(-800, 800);
        for (const std::int64_t step : {std::int64_t(1), std::int64_t(-1), std::int64_t(7), days(random)})
            Same(AddDays(value, step), LibcDates::AddDays(value, step), "AddDays", value);
    }

    std::string Report() const
    {
        std::string text = std::to_string(m_count) + " disagreements";
        for (const auto& message : m_messages)
            text += "\n  " + message;
        return text;
    }
    bool Agrees() const { return m_count == 0; }

private:
    std::size_t m_count = 0;
    std::vector<std::string> m_messages;
};

class DatesAgreeWithLibc : public testing::TestWithParam<const char*> {};

TEST_P(DatesAgreeWithLibc, OnWholeYearsRandomDaysTransitionsAndOddFields)
{
    TzGuard zone(GetParam());
    Agreement agreement;
    std::mt19937_64 random(20260307);

    // Whole years where zones changed their rules (time-zone adoption, 1970, 2011's
    // skipped day in Apia, the 32-bit end in 2038) and the ends of the range.
    for (const int year : {1000, 1847, 1883, 1912, 1969, 1970, 2011, 2038, 9999}) {
        for (int month = 1; month <= 12; ++month)
            for (int day = 1; day <= DaysInMonth(year, month); ++day)
                agreement.Day(year, month, day, random);
        // Around each change of the offset, to the second.
        TimeValue from = LibcDates::MakeDate(year, 1, 1);
        const TimeValue end = LibcDates::MakeDate(year + 1, 1, 1);
        for (TimeValue to = from + kSecondsPerDay / 2; from < end; from = to, to += kSecondsPerDay / 2) {
            if (Offset(from) == Offset(to))
                continue;
            TimeValue low = from, high = to;
            while (high - low > 1) {
                const TimeValue middle = low + (high - low) / 2;
                (Offset(middle) == Offset(from) ? low : high) = middle;
            }
            for (const TimeSpan near : {-3600, -1, 0, 1, 3599, 36000})
                agreement.Instant(high + near);
        }
    }

    // Random days of a few dozen random years.
    std::uniform_int_distribution<int> anyYear(1000, 9999), months(1, 12), days(1, 31), pool(0, 31);
    std::vector<int> someYears;
    for (int i = 0; i < 32; ++i)
        someYears.push_back(anyYear(random));
    auto someYear = [&] { return someYears[static_cast<std::size_t>(pool(random))]; };
    for (int i = 0; i < 3000; ++i) {
        const int year = someYear(), month = months(random);
        agreement.Day(year, month, std::min(days(random), DaysInMonth(year, month)), random);
    }

    // Fields out of range carry over, as mktime normalises them.
    std::uniform_int_distribution<std::int64_t> oddMonths(-30, 40), oddDays(-400, 800);
    for (int i = 0; i < 2000; ++i) {
        const std::int64_t year = someYear(), month = oddMonths(random), day = oddDays(random);
        agreement.Same(MakeDate(year, month, day), LibcDates::MakeDate(year, month, day), "MakeDate fields", 0);
    }
    EXPECT_TRUE(agreement.Agrees()) << agreement.Report();
}

INSTANTIATE_TEST_SUITE_P(Zones, DatesAgreeWithLibc,
                         testing::Values("UTC", "EST5EDT,M3.2.0,M11.1.0", "Europe/London", "Australia/Sydney",
                                         "America/Sao_Paulo", "Pacific/Apia", "Asia/Kathmandu"));

} // namespace
