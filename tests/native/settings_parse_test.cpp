// SettingsFile::Parse over the texts settings.txt may hold: one table of
// inputs with the whole map and separator count each must give.
#include <gtest/gtest.h>

#include "settings/settings_file.h"

namespace {

struct ParseCase {
    const char* name;
    const char* text;
    int separators;
    SettingsSections expected;
};

const ParseCase kParseCases[] = {
    {"empty text", "", 0, {}},
    {"three lines with final CR LF", "[socialnet.example]\r\nemail=a@b.ru\r\npassword=secret\r\n", 3,
        {{"socialnet.example", {{"email", "a@b.ru"}, {"password", "secret"}}}}},
    {"piece after the last separator is parsed", "[socialnet.example]\r\nemail=a@b.ru\r\npassword=secret", 2,
        {{"socialnet.example", {{"email", "a@b.ru"}, {"password", "secret"}}}}},
    {"LF alone ends lines too", "[socialnet.example]\nemail=a@b.ru\npassword=secret\n", 3,
        {{"socialnet.example", {{"email", "a@b.ru"}, {"password", "secret"}}}}},
    {"mixed CR LF and LF", "[socialnet.example]\r\nemail=a@b.ru\npassword=secret\r\n", 3,
        {{"socialnet.example", {{"email", "a@b.ru"}, {"password", "secret"}}}}},
    {"LF lines without a final line end", "[s]\nemail=a\npassword=b", 2,
        {{"s", {{"email", "a"}, {"password", "b"}}}}},
    {"CR alone gives nothing", "[s]\remail=a\r", 0, {}},
    {"single line without line end gives nothing", "email=a@b.ru", 0, {}},
    {"one line with CR LF", "email=a@b.ru\r\n", 1, {{"unset", {{"email", "a@b.ru"}}}}},
    {"trailing spaces before either line end", "[s] \nemail=a \r\npassword=b  \n", 3,
        {{"s", {{"email", "a"}, {"password", "b"}}}}},
    {"spaces vanish in keys, values and headers", "[ social net ]\r\n e mail = two words \r\n", 2,
        {{"socialnet", {{"email", "twowords"}}}}},
    {"tabs are kept", "[s]\r\n\temail=\ta b\t\r\n", 2, {{"s", {{"\temail", "\tab\t"}}}}},
    {"lines before any header go to unset", "email=early\r\n[s]\r\nemail=late\r\n", 3,
        {{"unset", {{"email", "early"}}}, {"s", {{"email", "late"}}}}},
    {"first occurrence wins", "[s]\r\nemail=first\r\nemail=second\r\n", 3, {{"s", {{"email", "first"}}}}},
    {"empty value", "[s]\r\nemail=\r\n", 2, {{"s", {{"email", ""}}}}},
    {"empty key is stored", "[s]\r\n=value\r\n", 2, {{"s", {{"", "value"}}}}},
    {"only an equals sign", "[s]\r\n=\r\n", 2, {{"s", {{"", ""}}}}},
    {"value keeps later equals signs", "[s]\r\npassword=a=b==c\r\n", 2, {{"s", {{"password", "a=b==c"}}}}},
    {"header without ] takes the rest", "[socialnet.example\r\nemail=a\r\n", 2,
        {{"socialnet.example", {{"email", "a"}}}}},
    {"text after ] is ignored", "[s]tail\r\nemail=a\r\n", 2, {{"s", {{"email", "a"}}}}},
    {"text before [ is ignored", "x[s]\r\nemail=a\r\n", 2, {{"s", {{"email", "a"}}}}},
    {"] before [ takes everything after [", "a]b[c]d\r\nemail=a\r\n", 2, {{"c]d", {{"email", "a"}}}}},
    {"line starting with ] is ignored", "[s]\r\n][t]\r\nemail=a\r\n", 3, {{"s", {{"email", "a"}}}}},
    {"empty brackets name the empty section", "[]\r\nemail=a\r\n", 2, {{"", {{"email", "a"}}}}},
    {"= test comes before [ test", "[s]\r\nkey=[t]\r\nemail=a\r\n", 3,
        {{"s", {{"key", "[t]"}, {"email", "a"}}}}},
    {"header with = inside is a key line", "[a=b]\r\nemail=a\r\n", 2,
        {{"unset", {{"[a", "b]"}, {"email", "a"}}}}},
    {"sections of one name merge", "[s]\r\na=1\r\n[t]\r\nb=2\r\n[s]\r\nc=3\r\na=4\r\n", 7,
        {{"s", {{"a", "1"}, {"c", "3"}}}, {"t", {{"b", "2"}}}}},
    {"section appears only with a key", "[s]\r\n[t]\r\n", 2, {}},
    {"semicolon is no comment", "[s]\r\n;email=x\r\n", 2, {{"s", {{";email", "x"}}}}},
    {"semicolon line without = is ignored", "[s]\r\n;comment\r\nemail=a\r\n", 3, {{"s", {{"email", "a"}}}}},
    {"plain words are ignored", "[s]\r\nhello\r\nemail=a\r\n", 3, {{"s", {{"email", "a"}}}}},
    {"keys are case-sensitive", "[s]\r\nEmail=A\r\nemail=a\r\n", 3,
        {{"s", {{"Email", "A"}, {"email", "a"}}}}},
    {"empty lines are counted and skipped", "\r\n\r\n[s]\r\n\r\nemail=a\r\n\r\n", 6,
        {{"s", {{"email", "a"}}}}},
    {"CR before CR LF stays in the piece", "[s]\r\nemail=a\r\r\n", 2, {{"s", {{"email", "a\r"}}}}},
    {"a CR with a space before LF stays in the value", "[s]\r\nemail=a\r \nb\r\n", 3,
        {{"s", {{"email", "a\r"}}}}},
    {"CR inside a line stays", "[s]\nemail=a\rb\n", 2, {{"s", {{"email", "a\rb"}}}}},
    {"empty LF lines are counted and skipped", "\n\n[s]\n\nemail=a\n", 5, {{"s", {{"email", "a"}}}}},
    {"only separators", "\r\n\r\n\r\n", 3, {}},
    {"space-only line is empty", "[s]\r\n   \r\n", 2, {}},
    {"Windows-1251 bytes kept", "[s]\r\nemail=\xCF\xF0\xE8\xE2\xE5\xF2\r\n", 2,
        {{"s", {{"email", "\xCF\xF0\xE8\xE2\xE5\xF2"}}}}},
};

class SettingsParseTable : public ::testing::TestWithParam<ParseCase> { };

TEST_P(SettingsParseTable, GivesMapAndSeparatorCount)
{
    const ParseCase& c = GetParam();
    SettingsSections sections;
    EXPECT_EQ(c.separators, SettingsFile::Parse(c.text, sections));
    EXPECT_EQ(c.expected, sections);
}

std::string CaseName(const ::testing::TestParamInfo<ParseCase>& info)
{
    std::string name;
    for (const char* p = info.param.name; *p != '\0'; ++p)
        name += isalnum(static_cast<unsigned char>(*p)) ? *p : '_';
    return name + "_" + std::to_string(info.index);
}

INSTANTIATE_TEST_SUITE_P(Texts, SettingsParseTable, ::testing::ValuesIn(kParseCases), CaseName);

TEST(SettingsParse, NullTextGivesNothing)
{
    SettingsSections sections;
    EXPECT_EQ(0, SettingsFile::Parse(nullptr, sections));
    EXPECT_TRUE(sections.empty());
}

TEST(SettingsParse, OnlyAddsToTheCallersMaps)
{
    SettingsSections sections = {{"s", {{"email", "kept"}}}, {"other", {{"k", "v"}}}};
    EXPECT_EQ(2, SettingsFile::Parse("[s]\r\nemail=new\r\npassword=p", sections));
    const SettingsSections expected
        = {{"s", {{"email", "kept"}, {"password", "p"}}}, {"other", {{"k", "v"}}}};
    EXPECT_EQ(expected, sections);
}

TEST(SettingsParse, StopsAtEmbeddedNul)
{
    const char text[] = "[s]\r\nemail=a\0\r\npassword=b\r\n";
    SettingsSections sections;
    EXPECT_EQ(1, SettingsFile::Parse(text, sections));
    const SettingsSections expected = {{"s", {{"email", "a"}}}};
    EXPECT_EQ(expected, sections);
}

TEST(SettingsParse, CountsEveryOneOfManyLines)
{
    std::string text = "[s]";
    for (int i = 0; i < 5000; ++i)
        text += "\r\nkey" + std::to_string(i) + "=v" + std::to_string(i);
    SettingsSections sections;
    EXPECT_EQ(5000, SettingsFile::Parse(text.c_str(), sections));
    ASSERT_EQ(1u, sections.size());
    EXPECT_EQ(5000u, sections["s"].size());
    EXPECT_EQ("v4999", sections["s"]["key4999"]);
}

}  // namespace
