// Wide UI text <-> narrow text of the ANSI code page.
#include "net/text_conv.h"

#include <windows.h>

#include "net/status_texts.h"

// A conversion the platform refuses yields an empty text, which serves every
// caller; the count returned is then 0.
int AnsiToWide(const char* source, wchar_t** result)
{
    const int needed = source ? MultiByteToWideChar(CP_ACP, 0, source, -1, NULL, 0) : 0;
    if (needed <= 0) {
        *result = new wchar_t[1];
        (*result)[0] = L'\0';
        return 0;
    }
    *result = new wchar_t[needed];
    const int written = MultiByteToWideChar(CP_ACP, 0, source, -1, *result, needed);
    if (written <= 0)
        (*result)[0] = L'\0';
    return written;
}

int WideToAnsi(const wchar_t* source, char** result)
{
    const int needed = source ? WideCharToMultiByte(CP_ACP, 0, source, -1, NULL, 0, NULL, NULL) : 0;
    if (needed <= 0) {
        *result = new char[1];
        (*result)[0] = '\0';
        return 0;
    }
    *result = new char[needed];
    const int written = WideCharToMultiByte(CP_ACP, 0, source, -1, *result, needed, NULL, NULL);
    if (written <= 0)
        (*result)[0] = '\0';
    return written;
}

namespace {

// Whether count units of text convert without a best fit or the default character.
bool ConvertsExactly(const wchar_t* text, int count)
{
    BOOL usedDefault = FALSE;
    const int needed
        = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, text, count, NULL, 0, NULL, &usedDefault);
    return needed > 0 && !usedDefault;
}

bool IsHighSurrogate(wchar_t unit)
{
    return unit >= 0xD800 && unit <= 0xDBFF;
}
bool IsLowSurrogate(wchar_t unit)
{
    return unit >= 0xDC00 && unit <= 0xDFFF;
}

}  // namespace

std::wstring FirstUnconvertibleCharacter(const wchar_t* text)
{
    const int length = text ? lstrlenW(text) : 0;
    if (length == 0 || ConvertsExactly(text, length))
        return std::wstring();
    for (int at = 0; at < length;) {
        const bool pair = IsHighSurrogate(text[at]) && at + 1 < length && IsLowSurrogate(text[at + 1]);
        const int units = pair ? 2 : 1;
        if (!pair && (IsHighSurrogate(text[at]) || IsLowSurrogate(text[at]))) {
            wchar_t name[16];
            wsprintfW(name, L"U+%04X", static_cast<unsigned>(text[at]));
            return name;
        }
        if (!ConvertsExactly(text + at, units))
            return std::wstring(text + at, units);
        at += units;
    }
    return std::wstring();
}

std::wstring UnconvertibleCharacterText(const wchar_t* text)
{
    const std::wstring character = FirstUnconvertibleCharacter(text);
    if (character.empty())
        return std::wstring();
    std::wstring shown = TEXT_UNCONVERTIBLE_CHARACTER_FORMAT;
    shown.replace(shown.find(L"%s"), 2, character);
    return shown;
}
