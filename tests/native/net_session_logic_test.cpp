#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <string>

#include "net/session_logic.h"
#include "net/status_texts.h"

namespace {

const char HOST[] = "login.socialnet.example";

std::string LoginAnswerText(const std::string& location, const std::string& cookies = "")
{
    std::string response = "HTTP/1.1 302 Found\r\n";
    if (!location.empty())
        response += "Location: " + location + "\r\n";
    if (!cookies.empty())
        response += "Set-Cookie: " + cookies + "\r\n";
    return response + "Content-Length: 0\r\n\r\n";
}

TEST(ComposeLoginRequest, EncodesTheCredentials)
{
    char buffer[LOGIN_REQUEST_SIZE];
    ASSERT_TRUE(ComposeLoginRequest(buffer, 2, "a&b@c.d", "p w+%#\r\nX: y", HOST));
    EXPECT_STREQ(
        "HEAD /auth?login=force&site=2&email=a%26b%40c%2ed&pass=p%20w%2b%25%23%0d%0aX%3a%20y HTTP/1.1\r\n"
        "Host: login.socialnet.example\r\n"
        "User-Agent: PPC Sorvinta\r\n"
        "Connection: Close\r\n\r\n",
        buffer);
}

TEST(ComposeLoginRequest, RefusesWhatWouldNotFit)
{
    // 52 + 1 (site) + 8 + 26 + 21 + 1 (terminator) = 109 bytes are fixed; the
    // e-mail, password and host take the rest after encoding.
    const size_t room = LOGIN_REQUEST_SIZE - 109 - strlen(HOST);
    char buffer[LOGIN_REQUEST_SIZE];
    for (size_t email = room - 3; email <= room + 3; ++email) {
        memset(buffer, 'Z', sizeof(buffer));
        const bool fits = ComposeLoginRequest(buffer, 2, std::string(email, 'e'), "", HOST);
        EXPECT_EQ(email <= room, fits) << email;
        if (fits)
            EXPECT_EQ(LOGIN_REQUEST_SIZE - 1u - (room - email), strlen(buffer));
        else
            EXPECT_EQ('\0', buffer[0]) << "a refused request must not be half there";
    }
    // The limit counts the encoded text: a space is three bytes on the wire.
    EXPECT_FALSE(ComposeLoginRequest(buffer, 2, std::string(room / 3 + 1, ' '), "", HOST));
    EXPECT_TRUE(ComposeLoginRequest(buffer, 2, std::string(room / 3, ' '), "", HOST));
    EXPECT_TRUE(ComposeLoginRequest(buffer, 2, std::string(room / 2, 'e'), std::string(room / 2, 'p'), HOST));
    EXPECT_FALSE(
        ComposeLoginRequest(buffer, 2, std::string(room / 2, 'e'), std::string(room / 2 + 2, 'p'), HOST));
    EXPECT_FALSE(ComposeLoginRequest(buffer, 2, "", "", std::string(LOGIN_REQUEST_SIZE, 'h').c_str()));
}

TEST(ComposeLogoutRequest, CarriesTheSessionId)
{
    char buffer[REQUEST_BUFFER_SIZE];
    ASSERT_TRUE(ComposeLogoutRequest(buffer, 2, "7af3", HOST));
    EXPECT_STREQ("HEAD /auth?login=logout&site=2&sid=7af3 HTTP/1.1\r\n"
                 "Host: login.socialnet.example\r\n"
                 "User-Agent: PPC Sorvinta\r\n"
                 "Connection: Close\r\n\r\n",
        buffer);
    // 45 + 1 + 8 + 23 + 26 + 21 + 1 = 125 fixed: the sid may take 135 bytes.
    EXPECT_TRUE(ComposeLogoutRequest(buffer, 2, std::string(135, 's').c_str(), HOST));
    EXPECT_EQ(259u, strlen(buffer));
    EXPECT_FALSE(ComposeLogoutRequest(buffer, 2, std::string(136, 's').c_str(), HOST));
    EXPECT_EQ('\0', buffer[0]);
    EXPECT_FALSE(ComposeLogoutRequest(buffer, 2, std::string(259, 's').c_str(), HOST));
}

TEST(ReadLoginAnswer, EveryCodeGivesItsOutcome)
{
    const struct {
        const char* sid;
        LoginOutcome outcome;
        const wchar_t* text;
    } cases[] = {
        {"-4", LoginWrongPassword, TEXT_WRONG_PASSWORD},
        {"-3", LoginCaptchaNext, TEXT_CAPTCHA_NEXT},
        {"-2", LoginWrongCaptcha, TEXT_WRONG_CAPTCHA},
        {"-1", LoginFailed, TEXT_LOGIN_FAILED},
        {"-3abc", LoginCaptchaNext, TEXT_CAPTCHA_NEXT},
        {"0", LoginSuccess, TEXT_LOGGED_IN},
        {"-5", LoginSuccess, TEXT_LOGGED_IN},
        {"12345", LoginSuccess, TEXT_LOGGED_IN},
        {"abc123", LoginSuccess, TEXT_LOGGED_IN},  // hex beginning with a letter
        {"f00d", LoginSuccess, TEXT_LOGGED_IN},
        {"-", LoginSuccess, TEXT_LOGGED_IN},  // no number at all reads 0
        {"99999999999999999999", LoginSuccess, TEXT_LOGGED_IN},
        {"-99999999999999999999", LoginSuccess, TEXT_LOGGED_IN},
    };
    for (const auto& c : cases) {
        const LoginAnswer answer = ReadLoginAnswer(
            LoginAnswerText(std::string("http://host/index.php?x=1&sid=") + c.sid, "remixmid=77; path=/"));
        EXPECT_EQ(c.outcome, answer.outcome) << c.sid;
        EXPECT_STREQ(c.text, LoginStatusText(answer.outcome)) << c.sid;
        EXPECT_TRUE(answer.hasLocation);
        EXPECT_TRUE(answer.storeSid) << c.sid;
        EXPECT_EQ(c.sid, answer.sid);
        EXPECT_EQ(c.outcome == LoginSuccess, answer.loggedIn) << c.sid;
        EXPECT_EQ(c.outcome == LoginSuccess ? "77" : "", answer.remixmid) << c.sid;
    }
}

TEST(CutSessionId, IsTheQueryParameterNamedExactlySid)
{
    const struct {
        const char* location;
        bool found;
        const char* sid;
    } cases[] = {
        {"/a?sid=5b", true, "5b"},
        {"http://x/a?x=1&sid=5b&y=2", true, "5b"},
        {"/a?sid=5b#top", true, "5b"},
        {"/a?sid=5b;sid=6", true, "5b;sid=6"},
        {"/a?sid=", true, ""},
        {"/a?sid=1&sid=2", true, "1"},
        {"/a?err=1&nosid=abc", false, ""},
        {"/a#sid=abc", false, ""},
        {"/a?x=1#sid=abc", false, ""},
        {"/a#x?sid=abc", false, ""},
        {"/a/sid=abc", false, ""},
        {"/a?sid", false, ""},
        {"/a?SID=1", false, ""},
        {"", false, ""},
    };
    for (const auto& c : cases) {
        std::string sid = "untouched";
        EXPECT_EQ(c.found, CutSessionId(c.location, sid)) << c.location;
        EXPECT_EQ(c.found ? c.sid : "untouched", sid) << c.location;
    }
    const LoginAnswer answer = ReadLoginAnswer(LoginAnswerText("/a?sid=5b&c=1", "remixmid=1"));
    EXPECT_EQ(LoginSuccess, answer.outcome);
    EXPECT_EQ("5b", answer.sid) << "the next field is not part of the session id";
}

TEST(ReadLoginAnswer, NoLocationIsAFailureThatStoresNothing)
{
    for (const std::string response : {std::string(), std::string("HTTP/1.1 200 OK\r\n\r\n"),
             std::string("garbage without line breaks"), LoginAnswerText("", "remixmid=5")}) {
        const LoginAnswer answer = ReadLoginAnswer(response);
        EXPECT_EQ(LoginNoLocation, answer.outcome);
        EXPECT_FALSE(answer.hasLocation);
        EXPECT_FALSE(answer.storeSid);
        EXPECT_FALSE(answer.loggedIn);
        EXPECT_STREQ(TEXT_LOGIN_FAILED, LoginStatusText(answer.outcome));
    }
}

TEST(ReadLoginAnswer, UnusableAnswersAreRefusedAndStoreNothing)
{
    const std::string longSid(259, '7');
    const struct {
        std::string location;
        std::string cookies;
        const char* why;
    } cases[] = {
        {"/index.php?session=1", "remixmid=5", "no sid= in Location"},
        {"/index.php?sid=", "remixmid=5", "empty sid"},
        {"/?sid=" + longSid + "8", "remixmid=5", "sid of 260 bytes"},
        {"/?sid=12\x01", "remixmid=5", "control byte in sid"},
        {"/?sid=12\x7F", "remixmid=5", "DEL in sid"},
        {"/?sid=12\xC0", "remixmid=5", "byte above 0x7F in sid"},
        {"/?sid=12\t3", "remixmid=5", "tab in sid"},
        {"/?sid=-3\x80", "remixmid=5", "refusal code with a bad byte"},
        {"/?sid=abc", "", "no cookie at all"},
        {"/?sid=abc", "uid=5;path=/", "no remixmid="},
        {"/?sid=abc", "remixmid=;path=/", "empty member id"},
        {"/?sid=abc", "remixmid=" + longSid + "9", "member id of 260 bytes"},
        {"/?sid=abc", "remixmid=1\x02;", "control byte in member id"},
        {"/?sid=abc", "remixmid=1\xFF;", "byte above 0x7F in member id"},
        {"/?err=1&nosid=abc", "remixmid=5", "a parameter that only ends in sid"},
        {"/index.php#sid=abc", "remixmid=5", "sid in the fragment"},
        {"/?sid=abc", "xremixmid=5", "a cookie whose name ends in remixmid"},
        {"/?sid=abc", "other=remixmid=5", "remixmid inside another cookie's value"},
        {"/?sid=abc", "a=1; remixmid=5", "remixmid as an attribute"},
    };
    for (const auto& c : cases) {
        const LoginAnswer answer = ReadLoginAnswer(LoginAnswerText(c.location, c.cookies));
        EXPECT_EQ(LoginRefusedAnswer, answer.outcome) << c.why;
        EXPECT_TRUE(answer.hasLocation) << c.why;
        EXPECT_FALSE(answer.storeSid) << c.why;
        EXPECT_FALSE(answer.loggedIn) << c.why;
        EXPECT_STREQ(TEXT_LOGIN_FAILED, LoginStatusText(answer.outcome)) << c.why;
    }
    // The longest ids that still fit are taken.
    const LoginAnswer fits = ReadLoginAnswer(LoginAnswerText("/?sid=" + longSid, "remixmid=" + longSid));
    EXPECT_EQ(LoginSuccess, fits.outcome);
    EXPECT_EQ(longSid, fits.sid);
    EXPECT_EQ(longSid, fits.remixmid);
}

TEST(ReadLoginAnswer, MemberIdIsReadOneCookieLineAtATime)
{
    const struct {
        const char* cookieLines;
        const char* memberId;
    } cases[] = {
        {"Set-Cookie: remixlang=0; path=/\r\nSet-Cookie: remixmid=4321\r\nSet-Cookie: remixsid=zz; "
         "path=/\r\n",
            "4321"},
        // The first cookie has no attributes: joined, it would run into the next.
        {"Set-Cookie: remixlang=0\r\nSet-Cookie: remixmid=77; path=/\r\n", "77"},
        {"set-cookie:\tremixmid=8\t\r\n", "8"},
        {"SET-COOKIE: other=remixmid=5\r\nSet-Cookie: remixmid=6\r\n", "6"},
    };
    for (const auto& c : cases) {
        const LoginAnswer answer = ReadLoginAnswer(
            std::string("HTTP/1.1 302 Found\r\nLocation: /?sid=ab12\r\n") + c.cookieLines + "\r\n");
        EXPECT_EQ(LoginSuccess, answer.outcome) << c.cookieLines;
        EXPECT_EQ("ab12", answer.sid);
        EXPECT_EQ(c.memberId, answer.remixmid) << c.cookieLines;
    }
}

TEST(CutMemberId, IsTheCookieNamedExactlyRemixmid)
{
    const struct {
        const char* line;
        bool found;
        const char* id;
    } cases[] = {
        {"remixmid=123;path=/", true, "123"},
        {"remixmid=123", true, "123"},
        {"remixmid = 12 ; path=/", true, "12"},
        {"remixmid=", true, ""},
        {"remixmid=;", true, ""},
        {"a=1;path=/remixmid=123", false, ""},
        {"xremixmid=5", false, ""},
        {"other=remixmid=5", false, ""},
        {"REMIXMID=1", false, ""},
        {"remixmid", false, ""},
        {"", false, ""},
    };
    for (const auto& c : cases) {
        std::string id = "untouched";
        EXPECT_EQ(c.found, CutMemberId(c.line, id)) << c.line;
        EXPECT_EQ(c.found ? c.id : "untouched", id) << c.line;
    }
}

TEST(IsSessionToken, AcceptsOnlyPlainQueryValuesThatFit)
{
    EXPECT_TRUE(IsSessionToken("abc-123_~!"));
    EXPECT_TRUE(IsSessionToken(std::string(259, 'x')));
    EXPECT_FALSE(IsSessionToken(std::string(260, 'x')));
    EXPECT_FALSE(IsSessionToken(""));
    EXPECT_FALSE(IsSessionToken(std::string("ab\0cd", 5)));
    // A value that would bring its own query field into the logout or data request.
    EXPECT_FALSE(IsSessionToken("ab&c=1"));
    for (int b = 0; b < 256; ++b) {
        const bool allowed = b > 0x20 && b < 0x7F && !std::strchr("&#?%", b);
        EXPECT_EQ(allowed, IsSessionToken(std::string("a") + char(b) + "b")) << b;
    }
}

TEST(LeadingNumber, ReadsLikeAtoiWithoutOverflow)
{
    const struct {
        const char* text;
        long value;
    } cases[] = {
        {"-3", -3},
        {"  -4x", -4},
        {"\t\n+7", 7},
        {"12ab", 12},
        {"abc", 0},
        {"", 0},
        {"-", 0},
        {"+-1", 0},
        {"- 1", 0},
        {"0x1f", 0},
        {"007", 7},
        {"99999999999999999999999", LONG_MAX},
        {"-99999999999999999999999", LONG_MIN},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.value, LeadingNumber(c.text)) << c.text;
}

TEST(LogoutSucceeded, NeedsIndexPageInLocation)
{
    EXPECT_TRUE(LogoutSucceeded("HTTP/1.1 302 Found\r\nLocation: http://host/index.html\r\n\r\n"));
    EXPECT_TRUE(LogoutSucceeded("HTTP/1.1 302 Found\r\nLocation: /index.html?x=1\r\n\r\n"));
    EXPECT_FALSE(LogoutSucceeded("HTTP/1.1 302 Found\r\nLocation: http://host/index.php\r\n\r\n"));
    EXPECT_FALSE(LogoutSucceeded("HTTP/1.1 302 Found\r\nLocation: /INDEX.HTML\r\n\r\n"));
    EXPECT_FALSE(LogoutSucceeded("HTTP/1.1 302 Found\r\nX: /index.html\r\n\r\n"));
    EXPECT_FALSE(LogoutSucceeded(""));
}

}  // namespace
