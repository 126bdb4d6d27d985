// Header map and body of a raw HTTP response. No windows.h: built natively too.
#include "net/response.h"

#include <vector>

#include "net/http_answer.h"
#include "net/text.h"

namespace {

const char COOKIE_FIELD[] = "Set-Cookie";

char LowerAscii(char c)
{
    return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c;
}

}  // namespace

bool FieldNameLess::operator()(const std::string& a, const std::string& b) const
{
    const std::string::size_type common = a.size() < b.size() ? a.size() : b.size();
    for (std::string::size_type i = 0; i < common; ++i) {
        const unsigned char x = (unsigned char)LowerAscii(a[i]);
        const unsigned char y = (unsigned char)LowerAscii(b[i]);
        if (x != y)
            return x < y;
    }
    return a.size() < b.size();
}

int ParseResponseHeaders(const std::string& response, HeaderMap& map)
{
    if (response.empty())
        return 0;
    int breaks = 0;
    const std::vector<HeaderField> fields = ReadHeaderFields(response, &breaks);
    if (breaks == 0)
        return 0;

    std::string cookies;
    for (HeaderField field : fields) {
        RemoveSpaces(field.value);
        if (SameFieldName(field.name, COOKIE_FIELD))
            cookies += field.value;
        else
            map.insert(HeaderMap::value_type(field.name, field.value));  // the first occurrence wins
    }
    map.insert(HeaderMap::value_type(COOKIE_FIELD, cookies));
    return breaks;
}

std::string ResponseBody(const std::string& response)
{
    std::string body;
    if (!DecodeResponseBody(response, &body))
        return std::string();
    return body;
}
