// Reading an HTTP/1.1 answer the way any conforming server may write it:
// the header block, field names in any letter case, the status line, the
// body's framing (Content-Length or chunked) and when the answer is whole.
// No windows.h: built natively, fuzzed.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

// The offset just past the first blank line; false while it has not arrived.
bool FindBodyStart(const std::string& response, std::size_t* bodyStart);

// The code of a status line "HTTP/1.x NNN[ reason]"; -1 for anything else
// (or while the first line has not arrived whole).
int ResponseStatus(const std::string& response);

// ASCII letters compared without regard to case, as field names are.
bool SameFieldName(const std::string& name, const char* wanted);

struct HeaderField {
    std::string name;
    std::string value;  // spaces and tabs around it removed
};

// Every field line of the header block: the lines after the status line up
// to the first blank line (to the last line break when no blank line came).
// Lines without a colon are skipped. breaks, when given, gets the number of
// line breaks read, the blank line's included.
std::vector<HeaderField> ReadHeaderFields(const std::string& response, int* breaks = nullptr);

// The values of every field line named name, in order of arrival.
std::vector<std::string> HeaderFieldValues(const std::string& response, const char* name);

enum ChunkedState {
    ChunkedDone,      // the last chunk and the trailer are there
    ChunkedPartial,   // more must arrive
    ChunkedMalformed  // a size line that does not parse or overflows, data not closed by CRLF
};

// Walks a chunked body that starts at data[0]: hex sizes in any letter
// case, extensions after ';' ignored, trailer fields skipped. body, when
// given, gets the data of every chunk; end, when given, the offset after
// the trailer once done.
ChunkedState DecodeChunked(const char* data, std::size_t size, std::string* body, std::size_t* end);

enum BodyFraming {
    FramingUntilClose,  // neither length: the body runs until the server closes
    FramingLength,      // Content-Length
    FramingChunked,     // Transfer-Encoding: chunked
    FramingNone,        // no body: a HEAD answer, 1xx, 204 and 304
    FramingBad          // a length that does not parse, two lengths, a coding we cannot undo
};

// How the body of the answer is delimited; length gets the Content-Length.
BodyFraming ReadBodyFraming(const std::string& response, bool headRequest, std::size_t* length);

// The body: chunks joined, cut to its Content-Length, or all after the blank
// line. False when the header block has not ended or the body is malformed
// or short.
bool DecodeResponseBody(const std::string& response, std::string* body);

// Whether a Content-Type parameter says charset=utf-8 (any case, quoted or not).
bool IsUtf8Answer(const std::string& response);

enum AnswerState {
    AnswerPartial,   // more must arrive: a length or the last chunk is due
    AnswerComplete,  // stop reading: all of it is there
    AnswerOpen,      // complete whenever the server closes
    AnswerMalformed  // stop reading: it can never become a sound answer
};

// The completeness rule of the receive loop. Check it after every arrival
// with everything received so far; the work done is kept between calls, so
// reading a long chunked answer stays linear.
class AnswerEnd {
public:
    explicit AnswerEnd(bool headRequest);
    AnswerState Check(const std::string& received);
    // Whether the header block has ended: a close after it but before the
    // body's end cuts the answer; a close within the headers hands on what
    // came, an answer without body.
    bool HeaderBlockArrived() const { return m_bodyStart != 0; }

private:
    bool m_head;
    bool m_statusRead;        // the status line has arrived and is sound
    AnswerState m_final;      // once complete or malformed, it stays so
    std::size_t m_scanned;    // where the search for the blank line goes on
    std::size_t m_bodyStart;  // 0 until the blank line arrived
    BodyFraming m_framing;
    std::size_t m_length;
    std::size_t m_chunkAt;  // offset of the next chunk size line
};
