// What the message and status requests share: the 4096-byte request, the
// lines after the request line, and the "ok" number of the answer. No
// windows.h.
#pragma once

#include <cstddef>
#include <string>

enum {
    DATA_REQUEST_SIZE = 4096,  // terminating zero included
    TYPED_TEXT_LIMIT = 4095    // characters read from an edit field
};

enum DataRequestResult {
    DataRequestComposed,
    DataRequestTooLong,  // would not fit: nothing to send, nothing cut
    DataRequestBadValue  // a session value could end the line or add a field
};

// Appends the Host, User-Agent and Connection lines after the request line
// of `used` bytes already in buffer. False, buffer emptied, when they do not
// fit.
bool FinishDataRequest(char* buffer, std::size_t size, std::size_t used);

enum AnswerRead {
    AnswerHasCode,        // a JSON object with a numeric "ok"
    AnswerRefusedStatus,  // a status other than 2xx: a failure whatever the body says
    AnswerNoBody,         // no blank line: the answer ended inside its headers
    AnswerBad             // not JSON, not an object, no "ok", or "ok" not a number
};

// A percent-encoded value: printable ASCII without the space, & # or ?.
bool IsEncodedQueryValue(const std::string& value);

// The outcome code of a data answer: "ok" truncated toward zero, clamped to
// the range of int, read only from a 2xx answer. Never throws.
AnswerRead ReadOutcomeCode(const std::string& response, int* code);

// A number truncated toward zero into the range of int (values beyond it
// clamp to the nearest end).
int TruncateToInt(double value);
