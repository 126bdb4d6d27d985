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

TEST(ParseResponseHeaders, LowerCaseCookieNameIsAnOrdinaryEntry)
{
    const HeaderMap map = Parse("HTTP/1.1 200 OK\r\nset-cookie: a=1\r\nSet-Cookie: b=2\r\n\r\n");
    EXPECT_EQ("a=1", map.at("set-cookie"));
    EXPECT_EQ("b=2", map.at("Set-Cookie"));
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

TEST(ParseResponseHeaders, BodyLinesAreReadUnlessAHeaderTookTheName)
{
    const HeaderMap map = Parse("HTTP/1.1 200 OK\r\n"
                                "Location: /head\r\n\r\n"
                                "Location: /body\r\n"
                                "Extra: from-body\r\n"
                                "Tail: not-terminated");
    EXPECT_EQ("/head", map.at("Location"));
    EXPECT_EQ("from-body", map.at("Extra"));
    EXPECT_EQ(0u, map.count("Tail"));  // after the last line break
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
    EXPECT_EQ("\tab\t", map.at("Tabbed"));
}

TEST(ParseResponseHeaders, CountsEveryLineBreak)
{
    int breaks = 0;
    Parse("a\r\n\r\nb\r\n\r\n\r\nc", &breaks);
    EXPECT_EQ(5, breaks);
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
        {"HTTP/1.1 200 OK\r\nA: b\r\n\r\n{\"x\":1}", "{\"x\":1}"},
        {"HTTP/1.1 200 OK\r\n\r\n", ""},
        {"HTTP/1.1 200 OK\r\n\r\nline\r\n\r\nmore", "line\r\n\r\nmore"},
        {std::string("H\r\n\r\na\0b\0", 9), std::string("a\0b\0", 4)},
        {"\r\n\r\n", ""},
        {"\r\n\r\n\r\n", "\r\n"},
        {"", ""},                             // failed exchange
        {"HTTP/1.1 200 OK\r\nA: b\r\n", ""},  // no blank line
        {"HTTP/1.1 200 OK\n\n{}", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.body, ResponseBody(c.response)) << c.response;
}

}  // namespace
