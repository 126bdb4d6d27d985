// Percent-encoding and the space remover. No windows.h: built natively too.
#include "net/text.h"

#include <cstring>

namespace {

// Bytes are compared as signed values, so 0x80..0xFF fall below '0' and are
// always encoded.
bool IsUnreserved(signed char c)
{
    if (c >= '0' && c <= '9')
        return true;
    if (c >= 'A' && c <= 'Z')
        return true;
    if (c >= 'a' && c <= 'z')
        return true;
    switch (c) {
    case '~':
    case '!':
    case '*':
    case '(':
    case ')':
    case '\'': return true;
    default: return false;
    }
}

char HexDigit(unsigned value)
{
    return value < 10 ? char('0' + value) : char('a' + (value - 10));
}

}  // namespace

std::string HexByte(signed char byte)
{
    const unsigned value = static_cast<unsigned char>(byte);
    std::string hex;
    hex += HexDigit((value & 0xF0) >> 4);
    hex += HexDigit(value & 0x0F);
    return hex;
}

std::string UrlEncode(const std::string& text)
{
    std::string encoded;
    encoded.reserve(text.size());
    for (char ch : text) {
        const signed char c = static_cast<signed char>(ch);
        if (IsUnreserved(c)) {
            encoded += ch;
        } else {
            encoded += '%';
            encoded += HexByte(c);
        }
    }
    return encoded;
}

bool IsPlainQueryValue(const char* value)
{
    for (const unsigned char* p = reinterpret_cast<const unsigned char*>(value); *p; ++p) {
        if (*p <= ' ' || *p >= 0x7f || std::strchr("&#?%", *p))
            return false;
    }
    return true;
}

void RemoveSpaces(std::string& text)
{
    std::string kept;
    kept.reserve(text.size());
    for (char ch : text) {
        if (ch != ' ')
            kept += ch;
    }
    text = kept;
}

bool AppendText(char* buffer, size_t size, size_t* used, const char* text)
{
    const size_t length = strlen(text);
    if (*used >= size || length >= size - *used)
        return false;
    memcpy(buffer + *used, text, length + 1);
    *used += length;
    return true;
}
