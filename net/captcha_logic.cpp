#include "net/captcha_logic.h"

#include <climits>
#include <cstdio>
#include <cstring>

#include "net/http_answer.h"
#include "net/response.h"
#include "net/text.h"

namespace {

const char CAPTCHA_LINE[] = "GET /data?act=captcha&csid=%d HTTP/1.1\r\n";
const char CAPTCHA_ID_KEY[] = "&csid=";
const char CAPTCHA_CODE_KEY[] = "&ccode=";
const char USER_AGENT_LINE[] = "User-Agent: PPC Sorvinta\r\n";
const char ACCEPT_LINE[] = "Accept: image/gif, image/jpeg, image/pjpeg, image/pjpeg\r\n";
const char CONNECTION_LINE[] = "Connection: Close\r\n\r\n";

}  // namespace

bool ComposeCaptchaRequest(char* buffer, int csid, const char* host)
{
    char line[REQUEST_BUFFER_SIZE];
    snprintf(line, sizeof(line), CAPTCHA_LINE, csid);
    const std::string request
        = std::string(line) + "Host: " + host + "\r\n" + USER_AGENT_LINE + ACCEPT_LINE + CONNECTION_LINE;
    if (request.size() >= REQUEST_BUFFER_SIZE) {
        buffer[0] = '\0';
        return false;
    }
    memcpy(buffer, request.c_str(), request.size() + 1);
    return true;
}

std::string CaptchaQuery(int csid, const std::string& code)
{
    return CAPTCHA_ID_KEY + std::to_string(csid) + CAPTCHA_CODE_KEY + UrlEncode(code);
}

std::string LongestCaptchaQuery()
{
    // Every byte of the code encodes to three.
    return CaptchaQuery(INT_MAX, std::string(CAPTCHA_CODE_MAX, '\xff'));
}

int NextCaptchaId(unsigned* seed)
{
    *seed = *seed * 1103515245u + 12345u;
    const int id = (int)((*seed >> 1) & 0x3FFFFFFF);
    return id ? id : 1;
}

bool IsCaptchaPicture(const std::string& body)
{
    const bool gif = body.compare(0, 6, "GIF87a") == 0 || body.compare(0, 6, "GIF89a") == 0;
    const bool jpeg = body.compare(0, 3, "\xff\xd8\xff") == 0;
    return body.size() > 13 && body.size() <= CAPTCHA_PICTURE_MAX && (gif || jpeg);
}

std::string CaptchaPictureOf(const std::string& response)
{
    const int status = ResponseStatus(response);
    if (status < 200 || status > 299)
        return std::string();
    return ResponseBody(response);
}

bool CaptchaDueAfter(LoginOutcome outcome, bool due)
{
    switch (outcome) {
    case LoginCaptchaNext:
    case LoginWrongCaptcha: return true;
    case LoginSuccess:
    case LoginWrongPassword: return false;
    default: return due;
    }
}
