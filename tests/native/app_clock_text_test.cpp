// The clock label's format: only the minute is padded, never hour, day or month.
#include <gtest/gtest.h>

#include <cwchar>
#include <string>

#include "app/clock_text.h"

namespace {

struct ClockCase {
    int day, month, year, hour, minute;
    const wchar_t* expected;
};

std::wstring Format(const ClockCase& c)
{
    wchar_t text[CLOCK_TEXT_SIZE];
    const int written
        = swprintf(text, CLOCK_TEXT_SIZE, ClockFormat(c.minute), c.day, c.month, c.year, c.hour, c.minute);
    return written < 0 ? std::wstring(L"<format failed>") : std::wstring(text);
}

TEST(ClockText, FormatsDayMonthYearHourMinute)
{
    const ClockCase cases[] = {
        {7, 12, 2026, 9, 5, L"7.12.2026||9:05||"},
        {7, 12, 2026, 14, 30, L"7.12.2026||14:30||"},
        {7, 12, 2026, 0, 0, L"7.12.2026||0:00||"},
        {1, 1, 2027, 0, 9, L"1.1.2027||0:09||"},
        {1, 2, 2027, 3, 10, L"1.2.2027||3:10||"},
        {31, 10, 2026, 23, 59, L"31.10.2026||23:59||"},
        {9, 9, 2026, 9, 1, L"9.9.2026||9:01||"},
    };
    for (const ClockCase& c : cases)
        EXPECT_EQ(Format(c), c.expected) << c.hour << ":" << c.minute;
}

TEST(ClockText, PadsExactlyTheMinutesBelowTen)
{
    for (int minute = 0; minute < 60; ++minute) {
        const std::wstring format = ClockFormat(minute);
        const bool padded = format.find(L":0%d") != std::wstring::npos;
        EXPECT_EQ(padded, minute < 10) << minute;
        EXPECT_EQ(format.rfind(L"||"), format.size() - 2) << minute;
    }
}

}  // namespace
