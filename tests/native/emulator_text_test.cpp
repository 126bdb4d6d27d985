// The emulator's text helpers: Windows-1251 names, query decoding, JSON
// strings and the captcha picture.
#include <gd.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "emulator/cp1251.h"
#include "emulator/gif.h"
#include "emulator/query.h"
#include "emulator/service.h"

namespace {

using emulator::Params;

TEST(Utf8ToCp1251, MapsCyrillicAndKeepsAscii)
{
    struct Case {
        const char* utf8;
        const char* cp1251;
    };
    const Case cases[] = {
        {"", ""},
        {"Sorvinta 1.0", "Sorvinta 1.0"},
        {"А", "\xC0"},
        {"Я", "\xDF"},
        {"а", "\xE0"},
        {"я", "\xFF"},
        {"Ё", "\xA8"},
        {"ё", "\xB8"},
        {"Анна Иванова", "\xC0\xED\xED\xE0 \xC8\xE2\xE0\xED\xEE\xE2\xE0"},
        {"Фёдор", "\xD4\xB8\xE4\xEE\xF0"},
        {"№ «тест» — …", "\xB9 \xAB\xF2\xE5\xF1\xF2\xBB \x97 \x85"},
        {"Ї ї І і Є є Ґ ґ", "\xAF \xBF \xB2 \xB3 \xAA \xBA \xA5 \xB4"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.cp1251, emulator::Utf8ToCp1251(c.utf8)) << c.utf8;
}

TEST(Utf8ToCp1251, ReplacesWhatThePageLacksOrIsNotUtf8)
{
    struct Case {
        std::string utf8;
        std::string cp1251;
    };
    const Case cases[] = {
        {"日本", "??"},               // no such letters in the page
        {"\xF0\x9F\x98\x80!", "?!"},  // four-byte character
        {"a\xC0z", "a?z"},            // lead byte without continuation
        {"\xC0\xAF", "??"},           // overlong '/'
        {"\xED\xA0\x80", "???"},      // surrogate half
        {"\xD0", "?"},                // cut short at the end
        {"\x80\xBF", "??"},           // stray continuation bytes
        {std::string("a\0b", 3), std::string("a\0b", 3)},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.cp1251, emulator::Utf8ToCp1251(c.utf8));
}

TEST(Utf8ToCp1251, EveryCyrillicLetterRoundsTheTable)
{
    // А..я are 0xC0..0xFF in order; nothing else maps there.
    for (char32_t cp = 0x0410; cp <= 0x044F; ++cp) {
        unsigned char byte = 0;
        ASSERT_TRUE(emulator::CodePointToCp1251(cp, byte));
        EXPECT_EQ(0xC0 + (cp - 0x0410), byte);
    }
    unsigned char byte = 0;
    EXPECT_FALSE(emulator::CodePointToCp1251(0x0450, byte));  // ѐ
    EXPECT_FALSE(emulator::CodePointToCp1251(0x00C0, byte));  // À is not in the page
}

TEST(PercentDecode, DecodesAsFormServersDo)
{
    struct Case {
        const char* in;
        std::string out;
    };
    const Case cases[] = {
        {"", ""},
        {"demo%40socialnet.example", "demo@socialnet.example"},
        {"a%2eb", "a.b"},  // lower-case hex as the client sends it
        {"p%20w%2b%25%23", "p w+%#"},
        {"a+b", "a b"},
        {"%CF%F0%E8", "\xCF\xF0\xE8"},  // raw Windows-1251 bytes
        {"%00x", std::string("\0x", 2)},
        {"100%", "100%"},  // broken escapes stay as they are
        {"%4", "%4"},
        {"%zz%4g", "%zz%4g"},
        {"%%41", "%A"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.out, emulator::PercentDecode(c.in)) << c.in;
}

TEST(ParseQuery, SplitsDecodesAndKeepsTheFirstOfARepeatedName)
{
    const Params q
        = emulator::ParseQuery("login=force&site=2&email=a%2Bb%26c%40x&pass=p%3Dq&&flag&pass=second");
    EXPECT_EQ("force", *emulator::FindParam(q, "login"));
    EXPECT_EQ("2", *emulator::FindParam(q, "site"));
    EXPECT_EQ("a+b&c@x", *emulator::FindParam(q, "email"));
    EXPECT_EQ("p=q", *emulator::FindParam(q, "pass"));
    EXPECT_EQ("", *emulator::FindParam(q, "flag"));
    EXPECT_EQ(nullptr, emulator::FindParam(q, "sid"));
    EXPECT_EQ(2u, q.count("pass"));
}

TEST(ParseQuery, ValueMayHoldEqualsSigns)
{
    const Params q = emulator::ParseQuery("text=a=b=c");
    EXPECT_EQ("a=b=c", *emulator::FindParam(q, "text"));
}

TEST(QueryOf, TakesThePartAfterTheQuestionMark)
{
    EXPECT_EQ("a=1&b=2", emulator::QueryOf("/data?a=1&b=2"));
    EXPECT_EQ("a=1", emulator::QueryOf("/data?a=1#frag"));
    EXPECT_EQ("a=?", emulator::QueryOf("/data?a=?"));
    EXPECT_EQ("", emulator::QueryOf("/data"));
    EXPECT_EQ("", emulator::QueryOf("/data?"));
}

TEST(JsonString, EscapesQuotesAndBackslashesOnly)
{
    EXPECT_EQ("\"\xC0\xED\xED\xE0\"", emulator::JsonString("\xC0\xED\xED\xE0"));
    EXPECT_EQ("\"O \\\"L\\\" Z\"", emulator::JsonString("O \"L\" Z"));
    EXPECT_EQ("\"a\\\\b\"", emulator::JsonString("a\\b"));
    EXPECT_EQ("\"a\\nb\\tc\\rd\"", emulator::JsonString("a\nb\tc\rd"));
    EXPECT_EQ("\"a b\"",
        emulator::JsonString(std::string("a\x01"
                                         "b")));
    EXPECT_EQ("\"/\"", emulator::JsonString("/"));
}

// Read back with libgd: the size, and which pixels are ink (black).
std::vector<bool> InkOf(const std::string& gif, int& width, int& height)
{
    gdImagePtr image = gdImageCreateFromGifPtr(static_cast<int>(gif.size()), const_cast<char*>(gif.data()));
    if (!image) {
        ADD_FAILURE() << "not a GIF libgd reads";
        return {};
    }
    width = gdImageSX(image);
    height = gdImageSY(image);
    std::vector<bool> ink;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const int c = gdImageGetPixel(image, x, y);
            ink.push_back(
                gdImageRed(image, c) == 0 && gdImageGreen(image, c) == 0 && gdImageBlue(image, c) == 0);
        }
    gdImageDestroy(image);
    return ink;
}

TEST(CaptchaGif, Is150By30WithTheCodeInInkAndNoiseThatFollowsTheSeed)
{
    const struct {
        const char* code;
        int minInk;  // a glyph of the giant font has 20 ink pixels or more
    } kCases[] = {{"AB34", 80}, {"XKCD79", 120}};
    for (const auto& c : kCases) {
        const std::string gif = emulator::CaptchaGif(c.code, 7);
        ASSERT_EQ("GIF8", gif.substr(0, 4));
        int w = 0, h = 0;
        const std::vector<bool> ink = InkOf(gif, w, h);
        EXPECT_EQ(150, w);
        EXPECT_EQ(30, h);
        int count = 0, left = w, right = 0;
        for (int i = 0; i < static_cast<int>(ink.size()); ++i)
            if (ink[i]) {
                ++count;
                left = std::min(left, i % w);
                right = std::max(right, i % w);
            }
        EXPECT_LE(c.minInk, count) << c.code;
        // The text stands in the middle with a margin on either side.
        EXPECT_LT(5, left) << c.code;
        EXPECT_GT(w - 5, right) << c.code;
        EXPECT_EQ(gif, emulator::CaptchaGif(c.code, 7));
        EXPECT_NE(gif, emulator::CaptchaGif(c.code, 8));
    }
    EXPECT_NE(emulator::CaptchaGif("AB34", 7), emulator::CaptchaGif("AB35", 7));
}

TEST(Cp1251ToUtf8, ReadsBackEveryAssignedByte)
{
    // Every byte the page assigns comes back as it went; 0x98 has no letter.
    for (int b = 1; b < 256; ++b) {
        const std::string byte(1, static_cast<char>(b));
        if (b == 0x98)
            EXPECT_EQ("\xEF\xBF\xBD", emulator::Cp1251ToUtf8(byte));
        else
            EXPECT_EQ(byte, emulator::Utf8ToCp1251(emulator::Cp1251ToUtf8(byte))) << b;
    }
    EXPECT_EQ("Ёлка & «мир»", emulator::Cp1251ToUtf8(emulator::Utf8ToCp1251("Ёлка & «мир»")));
}

}  // namespace
