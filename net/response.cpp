// Header map and body of a raw HTTP response. No windows.h: built natively too.
#include "net/response.h"

#include "net/text.h"

namespace {

const char LINE_BREAK[] = "\r\n";
const char BLANK_LINE[] = "\r\n\r\n";
const char COOKIE_FIELD[] = "Set-Cookie";

void ReadHeaderLine(std::string line, HeaderMap& map, std::string& cookies)
{
    if (line.empty())
        return;
    if (line.find(':') == std::string::npos)
        return;  // the status line, or any line without a field
    RemoveSpaces(line);
    const std::string::size_type colon = line.find(':');
    const std::string name = line.substr(0, colon);
    const std::string value = line.substr(colon + 1);
    if (name == COOKIE_FIELD)
        cookies += value;
    else
        map.insert(HeaderMap::value_type(name, value));  // the first occurrence wins
}

}  // namespace

int ParseResponseHeaders(const std::string& response, HeaderMap& map)
{
    if (response.empty())
        return 0;

    // Every line up to the last line break is read, the body's included.
    int breaks = 0;
    std::string cookies;
    std::string::size_type start = 0;
    std::string::size_type found = response.find(LINE_BREAK, start);
    while (found != std::string::npos) {
        ++breaks;
        ReadHeaderLine(response.substr(start, found - start), map, cookies);
        start = found + 2;
        found = response.find(LINE_BREAK, start);
    }
    if (breaks == 0)
        return 0;

    map.insert(HeaderMap::value_type(COOKIE_FIELD, cookies));
    return breaks;
}

std::string ResponseBody(const std::string& response)
{
    // Without a blank line there is no body: an empty text serves every reader.
    const std::string::size_type blank = response.find(BLANK_LINE);
    if (blank == std::string::npos)
        return std::string();
    return response.substr(blank + 4);
}
