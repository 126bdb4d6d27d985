// HTTP/1.1 answers as servers write them. No windows.h: built natively too.
#include "net/http_answer.h"

#include <cstring>

#include "net/text.h"

namespace {

const char LINE_BREAK[] = "\r\n";
const char BLANK_LINE[] = "\r\n\r\n";
// A size line longer than this is no size line: nothing sane is that long,
// and waiting for its end would let a server fill the memory cap with it.
const std::size_t MAX_SIZE_LINE = 4096;

bool IsOws(char c)
{
    return c == ' ' || c == '\t';
}

char LowerAscii(char c)
{
    return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c;
}

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

int HexValue(char c)
{
    if (IsDigit(c))
        return c - '0';
    const char lower = LowerAscii(c);
    if (lower >= 'a' && lower <= 'f')
        return lower - 'a' + 10;
    return -1;
}

std::string TrimOws(const std::string& text)
{
    std::size_t start = 0;
    std::size_t end = text.size();
    while (start < end && IsOws(text[start]))
        ++start;
    while (end > start && IsOws(text[end - 1]))
        --end;
    return text.substr(start, end - start);
}

// The comma-separated elements of every line of a field, trimmed.
std::vector<std::string> ListElements(const std::string& response, const char* name)
{
    std::vector<std::string> elements;
    for (const std::string& value : HeaderFieldValues(response, name)) {
        std::size_t start = 0;
        for (;;) {
            const std::size_t comma = value.find(',', start);
            elements.push_back(
                TrimOws(value.substr(start, comma == std::string::npos ? comma : comma - start)));
            if (comma == std::string::npos)
                break;
            start = comma + 1;
        }
    }
    return elements;
}

bool ParseLength(const std::string& text, std::size_t* length)
{
    if (text.empty())
        return false;
    std::size_t value = 0;
    for (char c : text) {
        if (!IsDigit(c) || value > (static_cast<std::size_t>(-1) - 9) / 10)
            return false;
        value = value * 10 + std::size_t(c - '0');
    }
    *length = value;
    return true;
}

enum ChunkStep { ChunkStepData, ChunkStepLast, ChunkStepPartial, ChunkStepBad };

// One chunk at data[pos]. ChunkStepData: its data is data[*dataStart] on for
// *dataSize bytes and the next chunk starts at *next. ChunkStepLast: the last
// chunk and the trailer are there and *next is past them.
ChunkStep NextChunk(const char* data, std::size_t size, std::size_t pos, std::size_t* dataStart,
    std::size_t* dataSize, std::size_t* next)
{
    std::size_t at = pos;
    std::size_t chunkSize = 0;
    for (; at < size && HexValue(data[at]) >= 0; ++at) {
        if (chunkSize > (static_cast<std::size_t>(-1) >> 4))
            return ChunkStepBad;  // overflows
        chunkSize = chunkSize * 16 + std::size_t(HexValue(data[at]));
    }
    if (at == size)
        return at - pos > MAX_SIZE_LINE ? ChunkStepBad : ChunkStepPartial;
    if (at == pos)
        return ChunkStepBad;  // no hex digit at all
    while (at < size && IsOws(data[at]))
        ++at;
    if (at < size && data[at] != ';' && data[at] != '\r')
        return ChunkStepBad;
    // The rest of the line is an extension nobody here reads.
    const char* lineEnd
        = at < size ? static_cast<const char*>(std::memchr(data + at, '\n', size - at)) : nullptr;
    if (!lineEnd)
        return size - pos > MAX_SIZE_LINE ? ChunkStepBad : ChunkStepPartial;
    const std::size_t lf = std::size_t(lineEnd - data);
    if (data[lf - 1] != '\r' || (data[at] == '\r' && lf != at + 1) || lf - pos > MAX_SIZE_LINE)
        return ChunkStepBad;
    std::size_t start = lf + 1;

    if (chunkSize == 0) {
        // Trailer fields, each a line, up to an empty line.
        for (;;) {
            if (size - start < 2)
                return ChunkStepPartial;
            if (data[start] == '\r' && data[start + 1] == '\n') {
                *next = start + 2;
                return ChunkStepLast;
            }
            const char* end = static_cast<const char*>(std::memchr(data + start, '\n', size - start));
            if (!end)
                return ChunkStepPartial;
            start = std::size_t(end - data) + 1;
        }
    }
    if (chunkSize > size - start || size - start - chunkSize < 2)
        return ChunkStepPartial;
    if (data[start + chunkSize] != '\r' || data[start + chunkSize + 1] != '\n')
        return ChunkStepBad;
    *dataStart = start;
    *dataSize = chunkSize;
    *next = start + chunkSize + 2;
    return ChunkStepData;
}

}  // namespace

bool FindBodyStart(const std::string& response, std::size_t* bodyStart)
{
    const std::size_t blank = response.find(BLANK_LINE);
    if (blank == std::string::npos)
        return false;
    *bodyStart = blank + 4;
    return true;
}

int ResponseStatus(const std::string& response)
{
    // "HTTP/1." digit, a space, three digits, then a space or the line's end.
    const std::size_t lineEnd = response.find(LINE_BREAK);
    if (lineEnd == std::string::npos || lineEnd < 12 || response.compare(0, 7, "HTTP/1.") != 0
        || !IsDigit(response[7]) || response[8] != ' ' || !IsDigit(response[9]) || !IsDigit(response[10])
        || !IsDigit(response[11]) || (lineEnd > 12 && response[12] != ' '))
        return -1;
    const int status = (response[9] - '0') * 100 + (response[10] - '0') * 10 + (response[11] - '0');
    return status >= 100 ? status : -1;
}

bool SameFieldName(const std::string& name, const char* wanted)
{
    const std::size_t length = std::strlen(wanted);
    if (name.size() != length)
        return false;
    for (std::size_t i = 0; i < length; ++i) {
        if (LowerAscii(name[i]) != LowerAscii(wanted[i]))
            return false;
    }
    return true;
}

std::vector<HeaderField> ReadHeaderFields(const std::string& response, int* breaks)
{
    std::vector<HeaderField> fields;
    int found = 0;
    std::size_t start = 0;
    std::size_t end = response.find(LINE_BREAK);
    bool statusLine = true;
    while (end != std::string::npos) {
        ++found;
        if (end == start)
            break;  // the blank line: what follows is the body
        const void* colonAt = std::memchr(response.data() + start, ':', end - start);
        if (!statusLine && colonAt) {
            const std::size_t colon = std::size_t(static_cast<const char*>(colonAt) - response.data());
            HeaderField field;
            field.name = TrimOws(response.substr(start, colon - start));
            RemoveSpaces(field.name);
            field.value = TrimOws(response.substr(colon + 1, end - colon - 1));
            fields.push_back(field);
        }
        statusLine = false;
        start = end + 2;
        end = response.find(LINE_BREAK, start);
    }
    if (breaks)
        *breaks = found;
    return fields;
}

std::vector<std::string> HeaderFieldValues(const std::string& response, const char* name)
{
    std::vector<std::string> values;
    for (const HeaderField& field : ReadHeaderFields(response)) {
        if (SameFieldName(field.name, name))
            values.push_back(field.value);
    }
    return values;
}

ChunkedState DecodeChunked(const char* data, std::size_t size, std::string* body, std::size_t* end)
{
    std::size_t pos = 0;
    for (;;) {
        std::size_t dataStart = 0;
        std::size_t dataSize = 0;
        std::size_t next = 0;
        switch (NextChunk(data, size, pos, &dataStart, &dataSize, &next)) {
        case ChunkStepData:
            if (body)
                body->append(data + dataStart, dataSize);
            pos = next;
            break;
        case ChunkStepLast:
            if (end)
                *end = next;
            return ChunkedDone;
        case ChunkStepPartial: return ChunkedPartial;
        case ChunkStepBad:
        default: return ChunkedMalformed;
        }
    }
}

BodyFraming ReadBodyFraming(const std::string& response, bool headRequest, std::size_t* length)
{
    const int status = ResponseStatus(response);
    if (headRequest || (status >= 100 && status < 200) || status == 204 || status == 304)
        return FramingNone;
    // A transfer coding overrides any length; chunked is the only one we
    // can undo (we ask for no other).
    const std::vector<std::string> codings = ListElements(response, "Transfer-Encoding");
    if (!codings.empty())
        return codings.size() == 1 && SameFieldName(codings[0], "chunked") ? FramingChunked : FramingBad;
    const std::vector<std::string> lengths = ListElements(response, "Content-Length");
    if (lengths.empty())
        return FramingUntilClose;
    // The same length given twice is still one length.
    for (const std::string& text : lengths) {
        if (text != lengths[0])
            return FramingBad;
    }
    return ParseLength(lengths[0], length) ? FramingLength : FramingBad;
}

bool DecodeResponseBody(const std::string& response, std::string* body)
{
    std::size_t start = 0;
    if (!FindBodyStart(response, &start))
        return false;
    std::size_t length = 0;
    switch (ReadBodyFraming(response, false, &length)) {
    case FramingNone: body->clear(); return true;
    case FramingUntilClose: body->assign(response, start, std::string::npos); return true;
    case FramingLength:
        if (response.size() - start < length)
            return false;
        body->assign(response, start, length);
        return true;
    case FramingChunked: {
        std::string decoded;
        if (DecodeChunked(response.data() + start, response.size() - start, &decoded, nullptr) != ChunkedDone)
            return false;
        body->swap(decoded);
        return true;
    }
    case FramingBad:
    default: return false;
    }
}

bool IsUtf8Answer(const std::string& response)
{
    const std::vector<std::string> types = HeaderFieldValues(response, "Content-Type");
    if (types.empty())
        return false;
    // media-type *( OWS ";" OWS parameter ), parameter names in any case.
    const std::string& type = types[0];
    std::size_t semicolon = type.find(';');
    while (semicolon != std::string::npos) {
        const std::size_t next = type.find(';', semicolon + 1);
        const std::string parameter
            = TrimOws(type.substr(semicolon + 1, next == std::string::npos ? next : next - semicolon - 1));
        const std::size_t equals = parameter.find('=');
        if (equals != std::string::npos && SameFieldName(TrimOws(parameter.substr(0, equals)), "charset")) {
            std::string value = TrimOws(parameter.substr(equals + 1));
            if (value.size() >= 2 && value.front() == '"' && value.back() == '"')
                value = value.substr(1, value.size() - 2);
            return SameFieldName(value, "utf-8") || SameFieldName(value, "utf8");
        }
        semicolon = next;
    }
    return false;
}

AnswerEnd::AnswerEnd(bool headRequest)
    : m_head(headRequest)
    , m_statusRead(false)
    , m_final(AnswerPartial)
    , m_scanned(0)
    , m_bodyStart(0)
    , m_framing(FramingUntilClose)
    , m_length(0)
    , m_chunkAt(0)
{
}

AnswerState AnswerEnd::Check(const std::string& received)
{
    if (m_final != AnswerPartial)
        return m_final;
    if (!m_bodyStart) {
        // The status line is judged as soon as it is there: a server that
        // does not speak HTTP is not listened to for a minute.
        // Each search goes on where the last one stopped, so a server that
        // never ends a line costs one pass over what it sent.
        if (!m_statusRead) {
            const std::size_t lineEnd = received.find(LINE_BREAK, m_scanned > 1 ? m_scanned - 1 : 0);
            if (lineEnd == std::string::npos) {
                m_scanned = received.size();
                return AnswerPartial;
            }
            if (ResponseStatus(received) < 0)
                return m_final = AnswerMalformed;
            m_statusRead = true;
            m_scanned = lineEnd;
        }
        const std::size_t from = m_scanned > 3 ? m_scanned - 3 : 0;
        const std::size_t blank = received.find(BLANK_LINE, from);
        if (blank == std::string::npos) {
            m_scanned = received.size();
            return AnswerPartial;
        }
        m_bodyStart = blank + 4;
        m_chunkAt = m_bodyStart;
        m_framing = ReadBodyFraming(received, m_head, &m_length);
    }
    switch (m_framing) {
    case FramingNone: return m_final = AnswerComplete;
    case FramingUntilClose: return AnswerOpen;
    case FramingLength:
        return received.size() - m_bodyStart >= m_length ? m_final = AnswerComplete : AnswerPartial;
    case FramingChunked:
        for (;;) {
            std::size_t dataStart = 0;
            std::size_t dataSize = 0;
            std::size_t next = 0;
            switch (NextChunk(received.data(), received.size(), m_chunkAt, &dataStart, &dataSize, &next)) {
            case ChunkStepData: m_chunkAt = next; break;
            case ChunkStepLast: return m_final = AnswerComplete;
            case ChunkStepPartial: return AnswerPartial;
            case ChunkStepBad:
            default: return m_final = AnswerMalformed;
            }
        }
    case FramingBad:
    default: return m_final = AnswerMalformed;
    }
}
