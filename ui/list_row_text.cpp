#include "ui/list_row_text.h"

#include <climits>
#include <cwchar>

namespace {

bool IsBlank(wchar_t c)
{
    return c == L' ' || (c >= L'\t' && c <= L'\r');
}

}  // namespace

int ParseRowNumber(const wchar_t* text)
{
    if (text == nullptr)
        return 0;
    while (IsBlank(*text))
        ++text;
    bool negative = false;
    if (*text == L'+' || *text == L'-')
        negative = *text++ == L'-';
    // Accumulated as a negative number, whose range reaches INT_MIN.
    long long value = 0;
    for (; *text >= L'0' && *text <= L'9'; ++text) {
        value = value * 10 - (*text - L'0');
        if (value < INT_MIN)
            return negative ? INT_MIN : INT_MAX;
    }
    if (negative)
        return (int)value;
    return value < -(long long)INT_MAX ? INT_MAX : (int)-value;
}

bool RowSuffixFits(const wchar_t* suffix)
{
    return suffix != nullptr && wcslen(suffix) < ROW_SUFFIX_SIZE;
}

void FormatRowNumber(int value, const wchar_t* suffix, wchar_t* text, size_t capacity)
{
    if (suffix != nullptr && suffix[0] != L'\0')
        swprintf(text, capacity, L"%d %ls", value, suffix);
    else
        swprintf(text, capacity, L"%d", value);
}

void FormatRowColour(unsigned long colour, wchar_t* text, size_t capacity)
{
    swprintf(text, capacity, L"#%.2X%.2X%.2X", (unsigned)(colour & 0xFF), (unsigned)((colour >> 8) & 0xFF),
        (unsigned)((colour >> 16) & 0xFF));
}
