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
    static bool known = false;
    static int dpi = -1;
    if (!known) {
        dpi = ReadScreenCaps(LOGPIXELSX);
        known = true;
    }
    return dpi;
}

int GetScreenDpiY()
{
    static bool known = false;
    static int dpi = -1;
    if (!known) {
        dpi = ReadScreenCaps(LOGPIXELSY);
        known = true;
    }
    return dpi;
}
