// What the fuzz targets assert about the texts they are given or build: a
// failed check aborts, so libFuzzer keeps the input that broke it.
#pragma once

#include <cctype>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "emulator/query.h"

namespace fuzz {

inline void Check(bool condition)
{
    if (!condition)
        abort();
}

// Undoes percent-encoding as the emulator does ('+' is a space there; our
// encoder writes "%2b" for a '+'); false on a '%' without two hex digits
// after it, which the emulator would keep as it is.
inline bool PercentDecode(const std::string& text, std::string* decoded)
{
    *decoded = emulator::PercentDecode(text);
    for (std::size_t at = text.find('%'); at != std::string::npos; at = text.find('%', at + 1)) {
        if (at + 2 >= text.size() || !isxdigit((unsigned char)text[at + 1])
            || !isxdigit((unsigned char)text[at + 2]))
            return false;
    }
    return true;
}

struct QueryField {
    std::string name;
    std::string value;
};

// A composed request as a server would take it apart: exactly one request
// line "METHOD /path?query HTTP/1.1" of printable ASCII with two spaces, then
// header lines, each ending in CR LF with no other CR or LF, then the blank
// line that ends the text. Returns the query's fields in order.
inline std::vector<QueryField> CheckRequest(const char* request, const char* method)
{
    const std::string text(request);
    const std::size_t lineEnd = text.find("\r\n");
    Check(lineEnd != std::string::npos);
    const std::string line = text.substr(0, lineEnd);
    int spaces = 0;
    for (const char c : line) {
        Check((unsigned char)c >= ' ' && (unsigned char)c < 0x7f);
        spaces += c == ' ';
    }
    Check(spaces == 2);
    const std::string start = std::string(method) + " /";
    const char version[] = " HTTP/1.1";
    Check(line.compare(0, start.size(), start) == 0);
    Check(line.size() >= start.size() + sizeof(version) - 1);
    Check(line.compare(line.size() - (sizeof(version) - 1), std::string::npos, version) == 0);
    const std::string target
        = line.substr(start.size() - 1, line.size() - start.size() + 1 - (sizeof(version) - 1));

    // The headers: whole lines only, and the first blank line is the end.
    const std::size_t blank = text.find("\r\n\r\n");
    Check(blank != std::string::npos && blank + 4 == text.size());
    for (std::size_t at = lineEnd + 2; at < blank + 2;) {
        const std::size_t end = text.find("\r\n", at);
        Check(end != std::string::npos && end > at);
        for (std::size_t i = at; i < end; ++i)
            Check(text[i] != '\r' && text[i] != '\n');
        at = end + 2;
    }

    std::vector<QueryField> fields;
    const std::size_t query = target.find('?');
    if (query == std::string::npos)
        return fields;
    Check(target.find('#') == std::string::npos);
    for (std::size_t at = query + 1; at <= target.size();) {
        std::size_t amp = target.find('&', at);
        if (amp == std::string::npos)
            amp = target.size();
        const std::string pair = target.substr(at, amp - at);
        const std::size_t equals = pair.find('=');
        Check(equals != std::string::npos);
        fields.push_back(QueryField {pair.substr(0, equals), pair.substr(equals + 1)});
        at = amp + 1;
    }
    return fields;
}

// The query's field names joined by ',', to compare with what a request must carry.
inline std::string FieldNames(const std::vector<QueryField>& fields)
{
    std::string names;
    for (const QueryField& field : fields)
        names += (names.empty() ? "" : ",") + field.name;
    return names;
}

}  // namespace fuzz
