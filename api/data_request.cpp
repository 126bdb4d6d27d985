#include "api/data_request.h"

#include <climits>
#include <cstring>
#include <exception>
#include <sstream>

#include "base/constants.h"
#include "json/reader.h"
#include "net/http_answer.h"
#include "net/response.h"
#include "net/text.h"

bool FinishDataRequest(char* buffer, std::size_t size, std::size_t used)
{
    if (used >= size || !AppendText(buffer, size, &used, "Host: ")
        || !AppendText(buffer, size, &used, DATA_API_HOST) || !AppendText(buffer, size, &used, "\r\n")
        || !AppendText(buffer, size, &used, "User-Agent: PPC Sorvinta\r\n")
        || !AppendText(buffer, size, &used, "Connection: Close\r\n\r\n")) {
        if (size)
            buffer[0] = '\0';
        return false;
    }
    return true;
}

bool IsEncodedQueryValue(const std::string& value)
{
    for (const char c : value) {
        const unsigned char byte = static_cast<unsigned char>(c);
        if (byte <= ' ' || byte >= 0x7f || std::strchr("&#?", byte))
            return false;
    }
    return true;
}

int TruncateToInt(double value)
{
    // A double beyond int's range has no int value; converting it would be
    // undefined, so it is clamped first.
    if (!(value > (double)INT_MIN - 1.0))
        return INT_MIN;
    if (!(value < (double)INT_MAX + 1.0))
        return INT_MAX;
    return static_cast<int>(value);
}

AnswerRead ReadOutcomeCode(const std::string& response, int* code)
{
    if (response.find("\r\n\r\n") == std::string::npos)
        return AnswerNoBody;
    const int status = ResponseStatus(response);
    if (status >= 0 && (status < 200 || status > 299))
        return AnswerRefusedStatus;
    try {
        std::istringstream stream(ResponseBody(response));
        json::Element answer;
        json::Reader::Read(answer, stream);
        const json::Object& object = json_cast<const json::Object&>(answer);
        const json::Number& ok = json_cast<const json::Number&>(object["ok"]);
        *code = TruncateToInt(ok.Value());
        return AnswerHasCode;
    } catch (...) {
        // Scan, parse and cast errors of the JSON library, or no memory.
        return AnswerBad;
    }
}
