// The emulator's text helpers: Windows-1251 names, query decoding, JSON
// strings and the captcha picture.
#include <gtest/gtest.h>

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

// Reads back a GIF with one image: the palette indices of its pixels.
std::vector<std::uint8_t> DecodeGif(const std::string& gif, int& width, int& height)
{
    auto word = [&](size_t at) {
        return static_cast<unsigned char>(gif[at]) | static_cast<unsigned char>(gif[at + 1]) << 8;
    };
    width = word(6);
    height = word(8);
    const unsigned flags = static_cast<unsigned char>(gif[10]);
    size_t pos = 13 + ((flags & 0x80) ? 3u * (2u << (flags & 7)) : 0u);
    EXPECT_EQ(',', gif[pos]);
    pos += 10;
    const unsigned minSize = static_cast<unsigned char>(gif[pos++]);
    std::string data;
    while (unsigned n = static_cast<unsigned char>(gif[pos++])) {
        data.append(gif, pos, n);
        pos += n;
    }
    EXPECT_EQ(';', gif[pos]);

    const unsigned clear = 1u << minSize, end = clear + 1;
    std::vector<std::string> table;
    auto reset = [&] {
        table.clear();
        for (unsigned i = 0; i < clear + 2; ++i)
            table.push_back(std::string(1, static_cast<char>(i)));
    };
    reset();
    unsigned width_bits = minSize + 1, acc = 0, bits = 0;
    std::string out, prev;
    for (size_t i = 0;;) {
        while (bits < width_bits && i < data.size()) {
            acc |= static_cast<unsigned>(static_cast<unsigned char>(data[i++])) << bits;
            bits += 8;
        }
        if (bits < width_bits)
            break;
        const unsigned code = acc & ((1u << width_bits) - 1);
        acc >>= width_bits;
        bits -= width_bits;
        if (code == clear) {
            reset();
            width_bits = minSize + 1;
            prev.clear();
            continue;
        }
        if (code == end)
            break;
        std::string entry;
        if (code < table.size())
            entry = table[code];
        else if (code == table.size() && !prev.empty())
            entry = prev + prev[0];
        else {
            ADD_FAILURE() << "bad LZW code " << code;
            break;
        }
        out += entry;
        if (!prev.empty())
            table.push_back(prev + entry[0]);
        if (table.size() == (1u << width_bits) && width_bits < 12)
            ++width_bits;
        prev = entry;
    }
    return std::vector<std::uint8_t>(out.begin(), out.end());
}

TEST(TwoColourGif, DecodesBackToItsPixels)
{
    const int w = 7, h = 3;  // odd pixel count: the last pair is a single
    std::vector<std::uint8_t> pixels;
    for (int i = 0; i < w * h; ++i)
        pixels.push_back(static_cast<std::uint8_t>((i * 5 + i / 3) % 2));
    const std::string gif = emulator::TwoColourGif(w, h, pixels);
    ASSERT_EQ("GIF89a", gif.substr(0, 6));
    int dw = 0, dh = 0;
    EXPECT_EQ(pixels, DecodeGif(gif, dw, dh));
    EXPECT_EQ(w, dw);
    EXPECT_EQ(h, dh);
}

TEST(CaptchaGif, IsA150By30PictureThatDependsOnTheCsid)
{
    const std::string a = emulator::CaptchaGif(1), b = emulator::CaptchaGif(2);
    int w = 0, h = 0;
    const std::vector<std::uint8_t> pixels = DecodeGif(a, w, h);
    EXPECT_EQ(150, w);
    EXPECT_EQ(30, h);
    EXPECT_EQ(150u * 30u, pixels.size());
    EXPECT_NE(a, b);
    EXPECT_EQ(a, emulator::CaptchaGif(1));
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
