// Any bytes the data host may send for a message or status: the outcome read
// and its texts, and the recipient look-up over the same bytes as a document.
#include <stddef.h>
#include <stdint.h>
#include <stdlib.h>

#include <sstream>
#include <string>

#include "api/message_text.h"
#include "api/status_text.h"
#include "json/reader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string bytes(reinterpret_cast<const char*>(data), size);

    int code = 0;
    if (ReadOutcomeCode(bytes, &code) == AnswerHasCode
        && (!MessageOutcomeText(code) || !StatusOutcomeText(code)))
        abort();

    json::Element document;
    try {
        std::istringstream stream(bytes);
        json::Reader::Read(document, stream);
    } catch (...) {
        return 0;
    }
    int id = 0;
    FindRecipientId(document, "Anna", &id);
    return 0;
}
