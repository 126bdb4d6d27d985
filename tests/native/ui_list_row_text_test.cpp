// Value texts of the editable list: what a number row stores from what was
// typed, and how numbers and colours are shown.
#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "ui/list_row_text.h"

namespace {

struct NumberCase {
    const wchar_t* typed;
    int stored;
};

TEST(ParseRowNumber, ReadsLikeAtoiWithoutOverflow)
{
    const NumberCase cases[] = {
        {L"12abc", 12}, {L"abc", 0}, {L"", 0}, {L"  \t42", 42}, {L"-7x", -7}, {L"+8", 8}, {L"- 5", 0},
        {L"1 2", 1}, {L"007", 7}, {L"2147483647", INT_MAX}, {L"2147483648", INT_MAX},
        {L"-2147483648", INT_MIN}, {L"-2147483649", INT_MIN}, {L"99999999999999999999999", INT_MAX},
        {L"\x0661\x0662", 0},  // only ASCII digits count
    };
    for (const NumberCase& c : cases)
        EXPECT_EQ(c.stored, ParseRowNumber(c.typed)) << std::wstring(c.typed).size();
    EXPECT_EQ(0, ParseRowNumber(nullptr));
}

TEST(RowSuffixFits, FifteenCharactersAtMost)
{
    EXPECT_TRUE(RowSuffixFits(L""));
    EXPECT_TRUE(RowSuffixFits(L"123456789012345"));
    EXPECT_FALSE(RowSuffixFits(L"1234567890123456"));
    EXPECT_FALSE(RowSuffixFits(nullptr));
}

TEST(FormatRowNumber, BlankAndSuffixOnlyWhenThereIsOne)
{
    wchar_t text[ROW_NUMBER_TEXT_SIZE];
    FormatRowNumber(5, L"мин", text, ROW_NUMBER_TEXT_SIZE);
    EXPECT_EQ(std::wstring(L"5 мин"), text);
    FormatRowNumber(-12, L"", text, ROW_NUMBER_TEXT_SIZE);
    EXPECT_EQ(std::wstring(L"-12"), text);
    FormatRowNumber(INT_MIN, nullptr, text, ROW_NUMBER_TEXT_SIZE);
    EXPECT_EQ(std::wstring(L"-2147483648"), text);
    FormatRowNumber(INT_MIN, L"123456789012345", text, ROW_NUMBER_TEXT_SIZE);
    EXPECT_EQ(std::wstring(L"-2147483648 123456789012345"), text);
}

TEST(FormatRowColour, RedGreenBlueInUpperCaseHex)
{
    wchar_t text[ROW_COLOUR_TEXT_SIZE];
    FormatRowColour(0x00402080, text, ROW_COLOUR_TEXT_SIZE);  // red 0x80, green 0x20, blue 0x40
    EXPECT_EQ(std::wstring(L"#802040"), text);
    FormatRowColour(0x00FFFFFF, text, ROW_COLOUR_TEXT_SIZE);
    EXPECT_EQ(std::wstring(L"#FFFFFF"), text);
    FormatRowColour(0xFF00000A, text, ROW_COLOUR_TEXT_SIZE);  // the high byte is not a colour
    EXPECT_EQ(std::wstring(L"#0A0000"), text);
}

}  // namespace
