// Any bytes the data host may send for a message or status: the outcome read
// and its texts, the same reading of an answer built around a number taken
// from the input, and the recipient look-up over the bytes as a document.
#include <stddef.h>
#include <stdint.h>
#include <string.h>

#include <climits>
#include <sstream>
#include <string>

#include "api/message_text.h"
#include "api/status_text.h"
#include "fuzz/fuzz_checks.h"
#include "json/reader.h"
#include "net/http_answer.h"
#include "net/response.h"

using fuzz::Check;

namespace {

// {"ok":N} with N written as %d, and as a fraction that truncates toward zero.
void CheckKnownCode(const uint8_t* data, size_t size)
{
    int wanted = 0;
    memcpy(&wanted, data, size < sizeof(wanted) ? size : sizeof(wanted));
    const std::string numbers[] = {std::to_string(wanted),
        std::to_string(wanted) + (wanted == INT_MIN || wanted == INT_MAX ? "" : ".75")};
    for (const std::string& number : numbers) {
        const std::string body = "{\"ok\":" + number + "}";
        const std::string answer
            = "HTTP/1.1 200 OK\r\nContent-Length: " + std::to_string(body.size()) + "\r\n\r\n" + body;
        int code = wanted ^ 1;
        Check(ReadOutcomeCode(answer, &code) == AnswerHasCode && code == wanted);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    CheckKnownCode(data, size);

    int code = 12345;
    const AnswerRead read = ReadOutcomeCode(bytes, &code);
    Check((read == AnswerNoBody) == (bytes.find("\r\n\r\n") == std::string::npos));
    // A code is read only from a 2xx answer (or one without a status line).
    const int status = ResponseStatus(bytes);
    Check(read != AnswerHasCode || status < 0 || (status >= 200 && status <= 299));
    if (read == AnswerHasCode) {
        Check(MessageOutcomeText(code) && StatusOutcomeText(code));
        Check(ResponseBody(bytes).find("ok") != std::string::npos);
    } else {
        Check(code == 12345);
    }

    json::Element document;
    try {
        std::istringstream stream(bytes);
        json::Reader::Read(document, stream);
    } catch (...) {
        return 0;
    }
    int id = 12345;
    if (!FindRecipientId(document, "Anna", &id))
        Check(id == 12345);
    return 0;
}
