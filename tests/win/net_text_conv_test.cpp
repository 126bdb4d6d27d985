#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "net/text_conv.h"

namespace {

// "Привет" in Windows-1251, the code page Wine runs these tests with.
const char PRIVET_1251[] = "\xCF\xF0\xE8\xE2\xE5\xF2";

TEST(TextConversion, RunsWithTheRussianCodePage)
{
    ASSERT_EQ(1251u, GetACP()) << "the runner must start Wine with a Russian locale";
}

TEST(TextConversion, AnsiToWideReadsWindows1251)
{
    wchar_t* wide = nullptr;
    EXPECT_EQ(7, AnsiToWide(PRIVET_1251, &wide));
    ASSERT_NE(nullptr, wide);
    EXPECT_EQ(std::wstring(L"Привет"), wide);
    delete[] wide;
}

TEST(TextConversion, WideToAnsiWritesWindows1251)
{
    char* narrow = nullptr;
    EXPECT_EQ(7, WideToAnsi(L"Привет", &narrow));
    ASSERT_NE(nullptr, narrow);
    EXPECT_STREQ(PRIVET_1251, narrow);
    delete[] narrow;
}

TEST(TextConversion, RoundTripKeepsMixedText)
{
    const wchar_t* texts[] = {L"Привет", L"user@mail.example", L"Ёжик ёлка 123 !", L"a"};
    for (const wchar_t* text : texts) {
        char* narrow = nullptr;
        WideToAnsi(text, &narrow);
        wchar_t* back = nullptr;
        const int units = AnsiToWide(narrow, &back);
        EXPECT_EQ(std::wstring(text), back);
        EXPECT_EQ((int)wcslen(text) + 1, units);
        EXPECT_EQ(wcslen(text), strlen(narrow)) << "one byte per letter in 1251";
        delete[] narrow;
        delete[] back;
    }
}

TEST(TextConversion, EmptyTextGivesOnlyTheTerminator)
{
    wchar_t* wide = nullptr;
    EXPECT_EQ(1, AnsiToWide("", &wide));
    ASSERT_NE(nullptr, wide);
    EXPECT_EQ(L'\0', wide[0]);
    delete[] wide;

    char* narrow = nullptr;
    EXPECT_EQ(1, WideToAnsi(L"", &narrow));
    ASSERT_NE(nullptr, narrow);
    EXPECT_EQ('\0', narrow[0]);
    delete[] narrow;
}

TEST(TextConversion, MissingSourceGivesAnEmptyText)
{
    wchar_t* wide = nullptr;
    EXPECT_EQ(0, AnsiToWide(nullptr, &wide));
    ASSERT_NE(nullptr, wide);
    EXPECT_EQ(L'\0', wide[0]);
    delete[] wide;

    char* narrow = nullptr;
    EXPECT_EQ(0, WideToAnsi(nullptr, &narrow));
    ASSERT_NE(nullptr, narrow);
    EXPECT_EQ('\0', narrow[0]);
    delete[] narrow;
}

TEST(TextConversion, FirstUnconvertibleCharacterNamesWhatWouldBeReplaced)
{
    struct Case {
        const wchar_t* text;
        const wchar_t* first;  // empty: everything converts as typed
    } cases[] = {
        {L"", L""}, {L"Привет, Ёжик! 100% ?", L""},  // a typed "?" is no replacement
        {L"Grüße", L"ü"},                            // best fit would make it "u"
        {L"Straße", L"ß"}, {L"abc中文", L"中"},
        {L"ok \xD83D\xDE00 ok", L"\xD83D\xDE00"},      // an emoji stays one character
        {L"x\xD800y", L"U+D800"},                      // a lone surrogate
        {L"x\xDC00", L"U+DC00"}, {L"ä then ß", L"ä"},  // the first one, not any
    };
    for (const Case& c : cases)
        EXPECT_EQ(std::wstring(c.first), FirstUnconvertibleCharacter(c.text)) << c.text;
    EXPECT_EQ(std::wstring(), FirstUnconvertibleCharacter(nullptr));
}

}  // namespace
