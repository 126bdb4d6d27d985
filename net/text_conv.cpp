// Wide UI text <-> narrow text of the ANSI code page.
#include "net/text_conv.h"

#include <windows.h>

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
