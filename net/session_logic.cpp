// Login and logout requests and answers. No windows.h: built natively too.
#include "net/session_logic.h"

#include <climits>
#include <cstdio>
#include <cstring>

#include "net/response.h"
#include "net/status_texts.h"
#include "net/text.h"

namespace {

const char LOGIN_LINE[] = "HEAD /auth?login=force&site=%d&email=%s&pass=%s HTTP/1.1\r\n";
const char LOGOUT_LINE[] = "HEAD /auth?login=logout&site=%d&sid=%s HTTP/1.1\r\n";
const char USER_AGENT_LINE[] = "User-Agent: PPC Sorvinta\r\n";
const char CONNECTION_LINE[] = "Connection: Close\r\n\r\n";
const char SID_KEY[] = "sid=";
const char MEMBER_ID_KEY[] = "remixmid=";
const char LOGOUT_TARGET[] = "/index.html";

// Appends text to the zero-terminated text in buffer; false when it would
// not fit with its terminator.
bool AppendBounded(char* buffer, const char* text)
{
    const size_t used = strlen(buffer);
    const size_t length = strlen(text);
    if (used + length >= REQUEST_BUFFER_SIZE)
        return false;
    memcpy(buffer + used, text, length + 1);
    return true;
}

// The three lines every auth request ends with.
bool AppendTrailer(char* buffer, const char* host)
{
    return AppendBounded(buffer, "Host: ") && AppendBounded(buffer, host) && AppendBounded(buffer, "\r\n")
        && AppendBounded(buffer, USER_AGENT_LINE) && AppendBounded(buffer, CONNECTION_LINE);
}

bool FinishRequest(char* buffer, int printed, const char* host)
{
    if (printed < 0 || printed >= REQUEST_BUFFER_SIZE || !AppendTrailer(buffer, host)) {
        buffer[0] = '\0';  // never send a cut request
        return false;
    }
    return true;
}

bool IsBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

LoginOutcome OutcomeOfCode(long code)
{
    switch (code) {
    case -4: return LOGIN_WRONG_PASSWORD;
    case -3: return LOGIN_CAPTCHA_NEXT;
    case -2: return LOGIN_WRONG_CAPTCHA;
    case -1: return LOGIN_FAILED;
    default: return LOGIN_SUCCESS;
    }
}

}  // namespace

bool ComposeLoginRequest(
    char* buffer, int site, const std::string& email, const std::string& password, const char* host)
{
    const std::string encodedEmail = UrlEncode(email);
    const std::string encodedPassword = UrlEncode(password);
    const int printed = snprintf(
        buffer, REQUEST_BUFFER_SIZE, LOGIN_LINE, site, encodedEmail.c_str(), encodedPassword.c_str());
    return FinishRequest(buffer, printed, host);
}

bool ComposeLogoutRequest(char* buffer, int site, const char* sid, const char* host)
{
    const int printed = snprintf(buffer, REQUEST_BUFFER_SIZE, LOGOUT_LINE, site, sid);
    return FinishRequest(buffer, printed, host);
}

bool IsSessionToken(const std::string& token)
{
    // A later request carries it unencoded, so it must not bring its own
    // query fields with it; the length check also catches an embedded NUL.
    return !token.empty() && token.size() <= SESSION_TOKEN_MAX && std::strlen(token.c_str()) == token.size()
        && IsPlainQueryValue(token.c_str());
}

bool CutMemberId(const std::string& cookies, std::string& memberId)
{
    const std::string::size_type key = cookies.find(MEMBER_ID_KEY);
    if (key == std::string::npos)
        return false;
    const std::string::size_type start = key + strlen(MEMBER_ID_KEY);
    const std::string::size_type end = cookies.find(';', start);
    memberId = end == std::string::npos ? cookies.substr(start) : cookies.substr(start, end - start);
    return true;
}

long LeadingNumber(const std::string& text)
{
    std::string::size_type i = 0;
    while (i < text.size() && IsBlank(text[i]))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    long value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        const int digit = text[i] - '0';
        if (negative) {
            if (value < (LONG_MIN + digit) / 10)
                return LONG_MIN;
            value = value * 10 - digit;
        } else {
            if (value > (LONG_MAX - digit) / 10)
                return LONG_MAX;
            value = value * 10 + digit;
        }
    }
    return value;
}

LoginAnswer ReadLoginAnswer(const std::string& response)
{
    LoginAnswer answer = {LOGIN_NO_LOCATION, false, false, false, std::string(), std::string()};
    HeaderMap headers;
    ParseResponseHeaders(response, headers);
    const HeaderMap::const_iterator location = headers.find("Location");
    if (location == headers.end())
        return answer;
    answer.hasLocation = true;

    // An answer we cannot read safely is a failed login that stores nothing.
    answer.outcome = LOGIN_REFUSED_ANSWER;
    const std::string::size_type key = location->second.find(SID_KEY);
    if (key == std::string::npos)
        return answer;
    const std::string sid = location->second.substr(key + strlen(SID_KEY));
    if (!IsSessionToken(sid))
        return answer;

    const LoginOutcome outcome = OutcomeOfCode(LeadingNumber(sid));
    if (outcome == LOGIN_SUCCESS) {
        const HeaderMap::const_iterator cookies = headers.find("Set-Cookie");
        std::string memberId;
        if (cookies == headers.end() || !CutMemberId(cookies->second, memberId) || !IsSessionToken(memberId))
            return answer;
        answer.remixmid = memberId;
        answer.loggedIn = true;
    }
    answer.outcome = outcome;
    answer.sid = sid;
    answer.storeSid = true;
    return answer;
}

bool LogoutSucceeded(const std::string& response)
{
    HeaderMap headers;
    ParseResponseHeaders(response, headers);
    const HeaderMap::const_iterator location = headers.find("Location");
    return location != headers.end() && location->second.find(LOGOUT_TARGET) != std::string::npos;
}

const wchar_t* LoginStatusText(LoginOutcome outcome)
{
    // One line per case, aligned as a table.
    // clang-format off
    switch (outcome) {
    case LOGIN_WRONG_PASSWORD: return TEXT_WRONG_PASSWORD;
    case LOGIN_CAPTCHA_NEXT:   return TEXT_CAPTCHA_NEXT;
    case LOGIN_WRONG_CAPTCHA:  return TEXT_WRONG_CAPTCHA;
    case LOGIN_SUCCESS:        return TEXT_LOGGED_IN;
    case LOGIN_NO_LOCATION:
    case LOGIN_REFUSED_ANSWER:
    case LOGIN_FAILED:
    default:                   return TEXT_LOGIN_FAILED;
    }
    // clang-format on
}
