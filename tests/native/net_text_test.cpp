#include <gtest/gtest.h>

#include <string>

#include "net/text.h"

namespace {

struct EncodeCase {
    std::string input;
    std::string encoded;
};

TEST(UrlEncode, KeepsOnlyTheUnreservedBytes)
{
    const EncodeCase cases[] = {
        {"", ""},
        {"a b", "a%20b"},
        {"%", "%25"},
        {"-_.", "%2d%5f%2e"},
        {"~!*()'", "~!*()'"},
        {"AZaz09", "AZaz09"},
        {"\xCF\xF0\xE8\xE2\xE5\xF2", "%cf%f0%e8%e2%e5%f2"},
        {"a&b=c+d#e", "a%26b%3dc%2bd%23e"},
        {"\r\n", "%0d%0a"},
        {"user@mail.example", "user%40mail%2eexample"},
        {std::string("a\0b", 3), "a%00b"},
        {"\x7F\x80\xFF", "%7f%80%ff"},
        {"/?:;,[]", "%2f%3f%3a%3b%2c%5b%5d"},
    };
    for (const EncodeCase& c : cases)
        EXPECT_EQ(c.encoded, UrlEncode(c.input)) << "input: " << c.input;
}

TEST(UrlEncode, LeavesTheInputAlone)
{
    const std::string input = "a b";
    const std::string encoded = UrlEncode(input);
    EXPECT_EQ("a b", input);
    EXPECT_EQ("a%20b", encoded);
}

TEST(UrlEncode, EncodesEveryByteValueAsExpected)
{
    for (int b = 0; b < 256; ++b) {
        const char ch = static_cast<char>(b);
        const bool kept = (b >= '0' && b <= '9') || (b >= 'A' && b <= 'Z') || (b >= 'a' && b <= 'z')
            || std::string("~!*()'").find(ch) != std::string::npos;
        const std::string encoded = UrlEncode(std::string(1, ch));
        if (kept) {
            EXPECT_EQ(std::string(1, ch), encoded) << b;
        } else {
            ASSERT_EQ(3u, encoded.size()) << b;
            EXPECT_EQ('%', encoded[0]);
            EXPECT_EQ(b, std::stoi(encoded.substr(1), nullptr, 16));
        }
    }
}

TEST(HexByte, TwoLowerCaseDigitsHighFirst)
{
    const struct {
        signed char byte;
        const char* hex;
    } cases[] = {
        {0x0A, "0a"},
        {static_cast<signed char>(0xFF), "ff"},
        {0x00, "00"},
        {0x7F, "7f"},
        {static_cast<signed char>(0x80), "80"},
        {0x3C, "3c"},
        {static_cast<signed char>(0xAB), "ab"},
        {0x19, "19"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.hex, HexByte(c.byte)) << int(c.byte);
}

TEST(RemoveSpaces, RemovesOnlyTheSpaceCharacter)
{
    const EncodeCase cases[] = {
        {"Set-Cookie: a=1; path=/", "Set-Cookie:a=1;path=/"},
        {"     ", ""},
        {"", ""},
        {"a\tb", "a\tb"},
        {" a \r\n b ", "a\r\nb"},
        {"no-spaces", "no-spaces"},
        {std::string("a \0 b", 5), std::string("a\0b", 3)},
    };
    for (const EncodeCase& c : cases) {
        std::string text = c.input;
        RemoveSpaces(text);
        EXPECT_EQ(c.encoded, text) << "input: " << c.input;
    }
}

}  // namespace
