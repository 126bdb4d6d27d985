// The captcha step of a login: the picture request, the query text that
// carries the typed code, the check of the picture and when a captcha is
// due. No windows.h.
#pragma once

#include <string>

#include "net/session_logic.h"

// The picture comes as the body of a small GIF or JPEG; anything larger is
// not one.
enum { CAPTCHA_PICTURE_MAX = 64 * 1024 };
// What the dialog lets the user type.
enum { CAPTCHA_CODE_MAX = 16 };

// "GET /data?act=captcha&csid=..." with its Host, User-Agent, Accept and
// Connection lines in a REQUEST_BUFFER_SIZE buffer; false (buffer empty) when
// it would not fit.
bool ComposeCaptchaRequest(char* buffer, int csid, const char* host);

// "&csid=N&ccode=C" with the code percent-encoded, for the end of the query
// of the request that answers the captcha.
std::string CaptchaQuery(int csid, const std::string& code);

// The longest captcha fields a request may have to carry: room for them is
// checked before a picture is fetched.
std::string LongestCaptchaQuery();

// The next pseudo-random picture number (positive) from the caller's seed.
int NextCaptchaId(unsigned* seed);

// True when the body is a GIF or JPEG of a size a captcha can have (the
// request's Accept line offers both).
bool IsCaptchaPicture(const std::string& body);

// The picture an answer carries: its body when the status is 2xx, else
// empty (a refused answer's body is no picture, whatever it looks like).
std::string CaptchaPictureOf(const std::string& response);

// Whether the next login needs a captcha, after a login that ended with
// outcome while it was `due` before: -3 and -2 make it due, a success and
// -4 (no captcha needed) end it, everything else leaves it as it was.
bool CaptchaDueAfter(LoginOutcome outcome, bool due);
