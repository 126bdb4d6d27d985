// Login and logout requests and answers. No windows.h: built natively too.
#include "net/session_logic.h"

#include <climits>
#include <cstdio>
#include <cstring>

#include "net/http_answer.h"
#include "net/response.h"
#include "net/status_texts.h"
#include "net/text.h"

namespace {

// The last %s takes the captcha fields when a captcha is answered.
const char LOGIN_LINE[] = "HEAD /auth?login=force&site=%d&email=%s&pass=%s%s HTTP/1.1\r\n";
const char LOGOUT_LINE[] = "HEAD /auth?login=logout&site=%d&sid=%s HTTP/1.1\r\n";
const char USER_AGENT_LINE[] = "User-Agent: PPC Sorvinta\r\n";
const char CONNECTION_LINE[] = "Connection: Close\r\n\r\n";
const char SID_KEY[] = "sid";
const char MEMBER_ID_KEY[] = "remixmid";
const char LOGOUT_TARGET[] = "/index.html";

// Appends text to the zero-terminated text in buffer; false when it would
// not fit with its terminator.
bool AppendBounded(char* buffer, size_t size, const char* text)
{
    size_t used = strlen(buffer);
    return AppendText(buffer, size, &used, text);
}

// The three lines every auth request ends with.
bool AppendTrailer(char* buffer, size_t size, const char* host)
{
    return AppendBounded(buffer, size, "Host: ") && AppendBounded(buffer, size, host)
        && AppendBounded(buffer, size, "\r\n") && AppendBounded(buffer, size, USER_AGENT_LINE)
        && AppendBounded(buffer, size, CONNECTION_LINE);
}

bool FinishRequest(char* buffer, size_t size, int printed, const char* host)
{
    if (printed < 0 || (size_t)printed >= size || !AppendTrailer(buffer, size, host)) {
        buffer[0] = '\0';  // never send a cut request
        return false;
    }
    return true;
}

std::string TrimSpaceAndTab(const std::string& text)
{
    const std::string::size_type start = text.find_first_not_of(" \t");
    if (start == std::string::npos)
        return std::string();
    return text.substr(start, text.find_last_not_of(" \t") + 1 - start);
}

bool IsBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

LoginOutcome OutcomeOfCode(long code)
{
    switch (code) {
    case -4: return LoginWrongPassword;
    case -3: return LoginCaptchaNext;
    case -2: return LoginWrongCaptcha;
    case -1: return LoginFailed;
    default: return LoginSuccess;
    }
}

}  // namespace

bool ComposeLoginRequest(char* buffer, int site, const std::string& email, const std::string& password,
    const char* host, const std::string& captchaQuery)
{
    const std::string encodedEmail = UrlEncode(email);
    const std::string encodedPassword = UrlEncode(password);
    const int printed = snprintf(buffer, LOGIN_REQUEST_SIZE, LOGIN_LINE, site, encodedEmail.c_str(),
        encodedPassword.c_str(), captchaQuery.c_str());
    return FinishRequest(buffer, LOGIN_REQUEST_SIZE, printed, host);
}

bool ComposeLogoutRequest(char* buffer, int site, const char* sid, const char* host)
{
    const int printed = snprintf(buffer, REQUEST_BUFFER_SIZE, LOGOUT_LINE, site, sid);
    return FinishRequest(buffer, REQUEST_BUFFER_SIZE, printed, host);
}

bool IsSessionToken(const std::string& token)
{
    // A later request carries it unencoded, so it must not bring its own
    // query fields with it; the length check also catches an embedded NUL.
    return !token.empty() && token.size() <= SESSION_TOKEN_MAX && std::strlen(token.c_str()) == token.size()
        && IsPlainQueryValue(token.c_str());
}

bool CutSessionId(const std::string& location, std::string& sid)
{
    // The query runs from the first '?' to the fragment's '#'; a '?' inside
    // the fragment starts no query.
    const std::string::size_type fragment = location.find('#');
    const std::string::size_type end = fragment == std::string::npos ? location.size() : fragment;
    const std::string::size_type query = location.find('?');
    if (query == std::string::npos || query > end)
        return false;
    std::string::size_type start = query + 1;
    while (start <= end) {
        std::string::size_type amp = location.find('&', start);
        if (amp == std::string::npos || amp > end)
            amp = end;
        const std::string::size_type nameLength = strlen(SID_KEY);
        if (amp - start > nameLength && location.compare(start, nameLength, SID_KEY) == 0
            && location[start + nameLength] == '=') {
            sid = location.substr(start + nameLength + 1, amp - start - nameLength - 1);
            return true;
        }
        start = amp + 1;
    }
    return false;
}

bool CutMemberId(const std::string& cookieLine, std::string& memberId)
{
    // name=value comes first on the line; the attributes follow its ';'.
    const std::string::size_type end = cookieLine.find(';');
    const std::string pair = cookieLine.substr(0, end);
    const std::string::size_type equals = pair.find('=');
    if (equals == std::string::npos || TrimSpaceAndTab(pair.substr(0, equals)) != MEMBER_ID_KEY)
        return false;
    memberId = TrimSpaceAndTab(pair.substr(equals + 1));
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
    LoginAnswer answer = {LoginNoLocation, false, false, false, std::string(), std::string()};
    HeaderMap headers;
    ParseResponseHeaders(response, headers);
    const HeaderMap::const_iterator location = headers.find("Location");
    if (location == headers.end())
        return answer;
    answer.hasLocation = true;

    // An answer we cannot read safely is a failed login that stores nothing.
    answer.outcome = LoginRefusedAnswer;
    std::string sid;
    if (!CutSessionId(location->second, sid) || !IsSessionToken(sid))
        return answer;

    const LoginOutcome outcome = OutcomeOfCode(LeadingNumber(sid));
    if (outcome == LoginSuccess) {
        // One Set-Cookie line at a time, so one cookie never runs into the next.
        std::string memberId;
        bool found = false;
        for (const std::string& line : HeaderFieldValues(response, "Set-Cookie")) {
            if ((found = CutMemberId(line, memberId)))
                break;
        }
        if (!found || !IsSessionToken(memberId))
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
    case LoginWrongPassword: return TEXT_WRONG_PASSWORD;
    case LoginCaptchaNext:   return TEXT_CAPTCHA_NEXT;
    case LoginWrongCaptcha:  return TEXT_WRONG_CAPTCHA;
    case LoginSuccess:        return TEXT_LOGGED_IN;
    case LoginNoLocation:
    case LoginRefusedAnswer:
    case LoginFailed:
    default:                   return TEXT_LOGIN_FAILED;
    }
    // clang-format on
}
