// Any bytes a server may send: header map, body cut and both auth answers.
#include <stddef.h>
#include <stdint.h>
#include <stdlib.h>

#include <string>

#include "net/response.h"
#include "net/session_logic.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string response(reinterpret_cast<const char*>(data), size);

    HeaderMap map;
    const int breaks = ParseResponseHeaders(response, map);
    if (breaks < 0 || (breaks > 0 && map.count("Set-Cookie") != 1))
        abort();

    const std::string body = ResponseBody(response);
    if (body.size() > response.size())
        abort();

    const LoginAnswer answer = ReadLoginAnswer(response);
    if (answer.storeSid && !IsSessionToken(answer.sid))
        abort();
    if (answer.loggedIn && (!answer.storeSid || !IsSessionToken(answer.remixmid)))
        abort();
    if (!answer.hasLocation && (answer.storeSid || answer.loggedIn))
        abort();

    LogoutSucceeded(response);
    return 0;
}
