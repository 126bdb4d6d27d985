#include <windows.h>

#include "ui/dpi.h"

namespace {

int ReadScreenCaps(int index)
{
    HDC screen = GetDC(NULL);
    if (!screen)
        return -1;
    const int value = GetDeviceCaps(screen, index);
    ReleaseDC(NULL, screen);
    return value;
}

}  // namespace

// Cached on first use; only the user-interface thread asks.
int GetScreenDpiX()
{
    static const int dpi = ReadScreenCaps(LOGPIXELSX);
    return dpi;
}

int GetScreenDpiY()
{
    static const int dpi = ReadScreenCaps(LOGPIXELSY);
    return dpi;
}
