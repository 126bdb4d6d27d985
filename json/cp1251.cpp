#include "json/cp1251.h"

namespace json {

namespace {

// The page's upper half outside the Cyrillic block А..я (0xC0..0xFF).
struct Extra {
    char32_t cp;
    unsigned char byte;
};
constexpr Extra kExtras[] = {
    {0x0402, 0x80},
    {0x0403, 0x81},
    {0x201A, 0x82},
    {0x0453, 0x83},
    {0x201E, 0x84},
    {0x2026, 0x85},
    {0x2020, 0x86},
    {0x2021, 0x87},
    {0x20AC, 0x88},
    {0x2030, 0x89},
    {0x0409, 0x8A},
    {0x2039, 0x8B},
    {0x040A, 0x8C},
    {0x040C, 0x8D},
    {0x040B, 0x8E},
    {0x040F, 0x8F},
    {0x0452, 0x90},
    {0x2018, 0x91},
    {0x2019, 0x92},
    {0x201C, 0x93},
    {0x201D, 0x94},
    {0x2022, 0x95},
    {0x2013, 0x96},
    {0x2014, 0x97},
    {0x2122, 0x99},
    {0x0459, 0x9A},
    {0x203A, 0x9B},
    {0x045A, 0x9C},
    {0x045C, 0x9D},
    {0x045B, 0x9E},
    {0x045F, 0x9F},
    {0x00A0, 0xA0},
    {0x040E, 0xA1},
    {0x045E, 0xA2},
    {0x0408, 0xA3},
    {0x00A4, 0xA4},
    {0x0490, 0xA5},
    {0x00A6, 0xA6},
    {0x00A7, 0xA7},
    {0x0401, 0xA8},
    {0x00A9, 0xA9},
    {0x0404, 0xAA},
    {0x00AB, 0xAB},
    {0x00AC, 0xAC},
    {0x00AD, 0xAD},
    {0x00AE, 0xAE},
    {0x0407, 0xAF},
    {0x00B0, 0xB0},
    {0x00B1, 0xB1},
    {0x0406, 0xB2},
    {0x0456, 0xB3},
    {0x0491, 0xB4},
    {0x00B5, 0xB5},
    {0x00B6, 0xB6},
    {0x00B7, 0xB7},
    {0x0451, 0xB8},
    {0x2116, 0xB9},
    {0x0454, 0xBA},
    {0x00BB, 0xBB},
    {0x0458, 0xBC},
    {0x0405, 0xBD},
    {0x0455, 0xBE},
    {0x0457, 0xBF},
};

// Decodes one UTF-8 sequence at s[i]; advances i. Returns false (and skips
// one byte) on a malformed, overlong or truncated sequence.
bool NextCodePoint(std::string_view s, size_t& i, char32_t& cp)
{
    const unsigned char lead = static_cast<unsigned char>(s[i]);
    size_t len = 0;
    char32_t min = 0;
    if (lead < 0x80) {
        cp = lead;
        ++i;
        return true;
    } else if ((lead & 0xE0) == 0xC0) {
        len = 2, min = 0x80, cp = lead & 0x1F;
    } else if ((lead & 0xF0) == 0xE0) {
        len = 3, min = 0x800, cp = lead & 0x0F;
    } else if ((lead & 0xF8) == 0xF0) {
        len = 4, min = 0x10000, cp = lead & 0x07;
    } else {
        ++i;
        return false;
    }
    if (i + len > s.size()) {
        ++i;
        return false;
    }
    for (size_t k = 1; k < len; ++k) {
        const unsigned char c = static_cast<unsigned char>(s[i + k]);
        if ((c & 0xC0) != 0x80) {
            ++i;
            return false;
        }
        cp = (cp << 6) | (c & 0x3F);
    }
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
        ++i;
        return false;
    }
    i += len;
    return true;
}

}  // namespace

bool CodePointToCp1251(char32_t cp, unsigned char& out)
{
    if (cp < 0x80) {
        out = static_cast<unsigned char>(cp);
        return true;
    }
    if (cp >= 0x0410 && cp <= 0x044F) {
        out = static_cast<unsigned char>(0xC0 + (cp - 0x0410));
        return true;
    }
    for (const Extra& e : kExtras) {
        if (e.cp == cp) {
            out = e.byte;
            return true;
        }
    }
    return false;
}

std::string Utf8ToCp1251(std::string_view utf8)
{
    std::string out;
    out.reserve(utf8.size());
    size_t i = 0;
    while (i < utf8.size()) {
        char32_t cp = 0;
        unsigned char byte = '?';
        if (NextCodePoint(utf8, i, cp) && !CodePointToCp1251(cp, byte))
            byte = '?';
        out.push_back(static_cast<char>(byte));
    }
    return out;
}

namespace {

void AppendUtf8(char32_t cp, std::string& out)
{
    if (cp < 0x80) {
        out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
}

}  // namespace

std::string Cp1251ToUtf8(std::string_view bytes)
{
    std::string out;
    out.reserve(bytes.size() * 2);
    for (const char c : bytes) {
        const unsigned char byte = static_cast<unsigned char>(c);
        char32_t cp = 0xFFFD;
        if (byte < 0x80) {
            cp = byte;
        } else if (byte >= 0xC0) {
            cp = 0x0410 + (byte - 0xC0);
        } else {
            for (const Extra& e : kExtras)
                if (e.byte == byte)
                    cp = e.cp;
        }
        AppendUtf8(cp, out);
    }
    return out;
}

}  // namespace json
