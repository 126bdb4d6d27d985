// Any bytes a server may send: header map and cookies, body framing and
// decoding, and the completeness rule fed in pieces.
#include <stddef.h>
#include <stdint.h>
#include <stdlib.h>

#include <string>

#include "net/http_answer.h"
#include "net/response.h"
#include "net/text.h"

namespace {

// The receive loop's view: the same bytes arriving in pieces must reach the
// same verdict as in one piece, and completeness never goes back.
void CheckAnswerEnd(const std::string& response, bool headRequest)
{
    AnswerEnd whole(headRequest);
    const AnswerState verdict = whole.Check(response);
    AnswerEnd pieces(headRequest);
    std::string received;
    AnswerState state = AnswerPartial;
    for (size_t at = 0; at < response.size();) {
        const size_t piece = 1 + (unsigned char)response[at] % 7;
        received.append(response, at, piece);
        at += piece;
        state = pieces.Check(received);
        if (state == AnswerComplete || state == AnswerMalformed)
            break;
    }
    if (state == AnswerComplete && verdict != AnswerComplete)
        abort();
    if (verdict == AnswerComplete && !headRequest) {
        // A complete answer always has a body to hand over.
        std::string body;
        if (!DecodeResponseBody(response, &body) || body.size() > response.size())
            abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string response(reinterpret_cast<const char*>(data), size);

    HeaderMap map;
    const int breaks = ParseResponseHeaders(response, map);
    if (breaks < 0 || (breaks > 0 && map.count("Set-Cookie") != 1))
        abort();
    // Names compare without regard to case: one entry per name however spelt.
    for (const HeaderMap::value_type& entry : map) {
        if (entry.first == "Set-Cookie")
            continue;
        if (SameFieldName(entry.first, "Set-Cookie"))
            abort();
    }

    // The cookie entry is every Set-Cookie line in order of arrival, spaces out.
    if (breaks > 0) {
        std::string cookies;
        for (std::string value : HeaderFieldValues(response, "Set-Cookie")) {
            RemoveSpaces(value);
            cookies += value;
        }
        if (map["Set-Cookie"] != cookies)
            abort();
    }
    const int status = ResponseStatus(response);
    if (status != -1 && (status < 100 || status > 999 || response.compare(0, 7, "HTTP/1.") != 0))
        abort();

    const std::string body = ResponseBody(response);
    if (body.size() > response.size())
        abort();

    // The decoder straight on the bytes, and on its own output re-encoded.
    std::string decoded;
    size_t end = 0;
    if (DecodeChunked(response.data(), response.size(), &decoded, &end) == ChunkedDone) {
        if (end > response.size() || decoded.size() > response.size())
            abort();
        char line[32];
        snprintf(line, sizeof(line), "%zx\r\n", decoded.size());
        const std::string again = decoded.empty() ? "0\r\n\r\n" : line + decoded + "\r\n0\r\n\r\n";
        std::string twice;
        if (DecodeChunked(again.data(), again.size(), &twice, NULL) != ChunkedDone || twice != decoded)
            abort();
    }

    CheckAnswerEnd(response, false);
    CheckAnswerEnd(response, true);
    IsUtf8Answer(response);
    return 0;
}
