#include <gtest/gtest.h>

#include <string>

#include "net/response.h"

namespace {

HeaderMap Parse(const std::string& response, int* breaks = nullptr)
{
    HeaderMap map;
    const int found = ParseResponseHeaders(response, map);
    if (breaks)
        *breaks = found;
    return map;
}

TEST(ParseResponseHeaders, StatusLineAndBlankLineGiveOnlyTheCookieEntry)
{
    int breaks = 0;
    const HeaderMap map = Parse("HTTP/1.1 200 OK\r\n\r\n", &breaks);
    EXPECT_EQ(2, breaks);
    ASSERT_EQ(1u, map.size());
    EXPECT_EQ("", map.at("Set-Cookie"));
}

TEST(ParseResponseHeaders, EmptyOrUnbrokenResponseLeavesTheMapUntouched)
{
    for (const std::string response : {std::string(), std::string("HTTP/1.1 302 Found"),
             std::string("Location: x\n\n"), std::string("a\rb")}) {
        HeaderMap map;
        map["keep"] = "me";
        EXPECT_EQ(0, ParseResponseHeaders(response, map));
        ASSERT_EQ(1u, map.size()) << response;
        EXPECT_EQ("me", map["keep"]);
    }
}

TEST(ParseResponseHeaders, FirstOccurrenceOfANameWins)
{
    const HeaderMap map = Parse("HTTP/1.1 302 Found\r\nLocation: /first\r\nLocation: /second\r\n\r\n");
    EXPECT_EQ("/first", map.at("Location"));
}

TEST(ParseResponseHeaders, CookiesAreJoinedWithoutSeparatorAndSpacesRemoved)
{
    const HeaderMap map = Parse("HTTP/1.1 302 Found\r\n"
                                "Set-Cookie: a=1; path=/\r\n"
                                "Location: http://x/?sid=1\r\n"
                                "Set-Cookie: b=2; path=/\r\n\r\n");
    EXPECT_EQ("a=1;path=/b=2;path=/", map.at("Set-Cookie"));
    EXPECT_EQ("http://x/?sid=1", map.at("Location"));
}

TEST(ParseResponseHeaders, FieldNamesIgnoreLetterCase)
{
    const HeaderMap map = Parse("HTTP/1.1 200 OK\r\nset-cookie: a=1\r\nSET-COOKIE: b=2\r\n"
                                "location: /lower\r\nLOCATION: /upper\r\n\r\n");
    EXPECT_EQ("a=1b=2", map.at("Set-Cookie"));
    EXPECT_EQ("/lower", map.at("Location"));
    EXPECT_EQ(2u, map.size());
}

TEST(ParseResponseHeaders, ContinuationLineIsNotJoined)
{
    const HeaderMap map = Parse("HTTP/1.1 200 OK\r\n"
                                "X-Long: part one\r\n"
                                " continued\r\n"
                                " more: here\r\n\r\n");
    EXPECT_EQ("partone", map.at("X-Long"));
    EXPECT_EQ("here", map.at("more"));
    EXPECT_EQ(3u, map.size());  // X-Long, more, Set-Cookie
}

TEST(ParseResponseHeaders, NothingAfterTheBlankLineIsAHeader)
{
    const HeaderMap map = Parse("HTTP/1.1 200 OK\r\n\r\n"
                                "Location: /?sid=1\r\n"
                                "Set-Cookie: remixmid=5\r\n");
    EXPECT_EQ(0u, map.count("Location"));
    EXPECT_EQ("", map.at("Set-Cookie"));
    // Without a blank line every whole line is a header line; the status line never is.
    const HeaderMap open = Parse("HTTP/1.1 302: Found\r\nLocation: /a\r\nTail: not-terminated");
    EXPECT_EQ("/a", open.at("Location"));
    EXPECT_EQ(0u, open.count("Tail"));
    EXPECT_EQ(0u, open.count("HTTP/1.1302"));
}

TEST(ParseResponseHeaders, ValuesKeepFurtherColonsAndMayBeEmpty)
{
    const HeaderMap map = Parse("HTTP/1.1 200 OK\r\n"
                                "Location: http://host:80/a?b=c\r\n"
                                "Empty:\r\n"
                                ":no-name\r\n"
                                "Tabbed:\ta b\t\r\n\r\n");
    EXPECT_EQ("http://host:80/a?b=c", map.at("Location"));
    EXPECT_EQ("", map.at("Empty"));
    EXPECT_EQ("no-name", map.at(""));
    EXPECT_EQ("ab", map.at("Tabbed")) << "tabs around the value go, spaces inside it as ever";
}

TEST(ParseResponseHeaders, CountsEveryLineBreak)
{
    int breaks = 0;
    Parse("a\r\nb: 1\r\n\r\nb\r\n\r\n\r\nc", &breaks);
    EXPECT_EQ(3, breaks) << "up to the blank line";
    Parse("\r\n", &breaks);
    EXPECT_EQ(1, breaks);
}

TEST(ParseResponseHeaders, ZeroBytesStayInValues)
{
    const std::string response("HTTP/1.1 200 OK\r\nX: a\0b\r\n\r\n", 27);
    const HeaderMap map = Parse(response);
    EXPECT_EQ(std::string("a\0b", 3), map.at("X"));
}

TEST(ResponseBody, EverythingAfterTheFirstBlankLine)
{
    const struct {
        std::string response;
        std::string body;
    } cases[] = {
        {"HTTP/1.1 200 OK\r\nA: b\r\n\r\n{\"x\":1}", "{\"x\":1}"}, {"HTTP/1.1 200 OK\r\n\r\n", ""},
        {"HTTP/1.1 200 OK\r\n\r\nline\r\n\r\nmore", "line\r\n\r\nmore"},
        {std::string("H\r\n\r\na\0b\0", 9), std::string("a\0b\0", 4)}, {"\r\n\r\n", ""},
        {"\r\n\r\n\r\n", "\r\n"}, {"", ""},   // failed exchange
        {"HTTP/1.1 200 OK\r\nA: b\r\n", ""},  // no blank line
        {"HTTP/1.1 200 OK\n\n{}", ""}, {"HTTP/1.1 200 OK\r\nContent-Length: 3\r\n\r\nabcdef", "abc"},
        {"HTTP/1.1 200 OK\r\nContent-Length: 9\r\n\r\nabc", ""},  // short of its length
        {"HTTP/1.1 200 OK\r\ntransfer-encoding: Chunked\r\n\r\n2\r\nab\r\n1;x=y\r\nc\r\n0\r\nT: 1\r\n\r\n",
            "abc"},
        {"HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n2\r\nab\r\n", ""},  // no last chunk
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.body, ResponseBody(c.response)) << c.response;
}

}  // namespace
