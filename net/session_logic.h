// The login and logout requests and the reading of their answers, without
// any platform call: the workers in session.cpp only add the exchange, the
// shared state and the status bar. No windows.h.
#pragma once

#include <string>

enum { REQUEST_BUFFER_SIZE = 260 };
// The login request carries the e-mail and password percent-encoded (each
// byte may become three) and the captcha fields: 260 bytes were sized for
// values sent as they are. This holds two fields of 260 bytes encoded, the
// longest captcha fields and a host name of 200 bytes.
enum { LOGIN_REQUEST_SIZE = 2048 };

// A session id or member id must fit the 260-byte state buffers.
enum { SESSION_TOKEN_MAX = 259 };

enum LoginOutcome {
    LoginNoLocation,     // failed exchange or an answer without Location
    LoginRefusedAnswer,  // Location or cookie unusable: nothing is stored
    LoginWrongPassword,  // code -4
    LoginCaptchaNext,    // code -3
    LoginWrongCaptcha,   // code -2
    LoginFailed,         // code -1
    LoginSuccess         // any other code
};

struct LoginAnswer {
    LoginOutcome outcome;
    bool hasLocation;  // the worker's exit code follows it
    bool storeSid;     // the refusal codes keep their text in the sid
    bool loggedIn;     // store the member id too and set the flag
    std::string sid;
    std::string remixmid;
};

// Compose into a LOGIN_REQUEST_SIZE buffer; false (buffer left empty) when
// the request would not fit. The e-mail and password are percent-encoded;
// captchaQuery (CaptchaQuery, already encoded) goes after the password.
bool ComposeLoginRequest(char* buffer, int site, const std::string& email, const std::string& password,
    const char* host, const std::string& captchaQuery = std::string());
// Into a REQUEST_BUFFER_SIZE buffer, as above.
bool ComposeLogoutRequest(char* buffer, int site, const char* sid, const char* host);

LoginAnswer ReadLoginAnswer(const std::string& response);
bool LogoutSucceeded(const std::string& response);

// A value that can stand in a request line as it is: 1..259 bytes, none of
// them a control byte, a space, DEL or a byte from 0x80 up.
bool IsSessionToken(const std::string& token);

// The session id: the value of the query parameter named exactly "sid"
// (after '?' or '&', up to the next '&' or '#'). False when there is none.
bool CutSessionId(const std::string& location, std::string& sid);

// The member id from one Set-Cookie value: the value of the cookie named
// exactly "remixmid", up to that line's ';' or end. False for another cookie.
bool CutMemberId(const std::string& cookieLine, std::string& memberId);

// The leading decimal number as atoi reads it (blanks, sign, digits; 0 when
// there is none), clamped to the range of long instead of overflowing.
long LeadingNumber(const std::string& text);

const wchar_t* LoginStatusText(LoginOutcome outcome);
