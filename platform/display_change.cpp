// The screen changed size (the device turned, or the desktop's resolution
// changed). On the device the shell then moves its bars, gives the windows
// it sized the new screen, and tells every application with
// WM_SETTINGCHANGE (SETTINGCHANGE_RESET); the windows lay out their
// contents from that message, so it goes out after the moves. Then the
// whole screen is painted again. Here the navigation bar hears of the
// change (WM_DISPLAYCHANGE) and calls StandinFollowScreen.
#include <aygshell.h>

#include "standin_control.h"
#include "standin_internal.h"

BOOL StandinIsOwnWindow(HWND hwnd)
{
    DWORD process = 0;
    GetWindowThreadProcessId(hwnd, &process);
    return process == GetCurrentProcessId();
}

namespace {

struct BarSearch {
    HWND owner;
    HWND bar;
};

BOOL CALLBACK FindSoftKeyBar(HWND hwnd, LPARAM param)
{
    BarSearch* search = (BarSearch*)param;
    wchar_t name[32];
    if (GetWindow(hwnd, GW_OWNER) != search->owner || !GetClassNameW(hwnd, name, 32)
        || lstrcmpW(name, STANDIN_MENU_BAR_CLASS) != 0)
        return TRUE;
    search->bar = hwnd;
    return FALSE;
}

// Height of the window's soft-key bar, 0 when it has none.
int SoftKeyBarHeight(HWND owner)
{
    BarSearch search = {owner, NULL};
    EnumWindows(FindSoftKeyBar, (LPARAM)&search);
    if (!search.bar)
        return 0;
    RECT rect;
    GetWindowRect(search.bar, &rect);
    return rect.bottom - rect.top;
}

void MoveTo(HWND hwnd, const RECT& rect)
{
    SetWindowPos(hwnd, NULL, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
        SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOOWNERZORDER);
}

// Below the navigation bar, full width, leaving room for the soft-key bar
// as the program did itself at start.
void PlaceDeviceWindow(HWND hwnd, const StandinScreenSize* screen)
{
    RECT rect;
    SetRect(&rect, 0, STANDIN_TOP_BAR_HEIGHT, screen->cx, screen->cy - SoftKeyBarHeight(hwnd));
    MoveTo(hwnd, rect);
}

BOOL CALLBACK FollowScreen(HWND hwnd, LPARAM param)
{
    if (!StandinIsOwnWindow(hwnd))
        return TRUE;
    const StandinScreenSize* screen = (const StandinScreenSize*)param;
    const DWORD dialogFlags = (DWORD)(ULONG_PTR)GetPropW(hwnd, STANDIN_SIZED_DIALOG_PROP);
    if (GetPropW(hwnd, STANDIN_DEVICE_WINDOW_PROP))
        PlaceDeviceWindow(hwnd, screen);
    else if (dialogFlags) {
        RECT area = StandinDialogArea(dialogFlags, screen->cx, screen->cy);
        // Shown, a full-screen dialog ends above its soft keys (menu_bar.cpp).
        if ((dialogFlags & SHIDIF_SIZEDLGFULLSCREEN) && IsWindowVisible(hwnd))
            area.bottom -= SoftKeyBarHeight(hwnd);
        MoveTo(hwnd, area);
    }
    return TRUE;
}

// A display that turns is painted afresh, whatever the windows moved or
// not (a program's own re-layout often moves its controls without repaint).
BOOL CALLBACK RepaintWindow(HWND hwnd, LPARAM)
{
    if (StandinIsOwnWindow(hwnd) && IsWindowVisible(hwnd))
        RedrawWindow(hwnd, NULL, NULL, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
    return TRUE;
}

}  // namespace

void StandinFollowScreen(int cx, int cy)
{
    HWND topBar = StandinGetTopBar();
    if (topBar)
        SetWindowPos(topBar, NULL, 0, 0, cx, STANDIN_TOP_BAR_HEIGHT, SWP_NOZORDER | SWP_NOACTIVATE);
    StandinScreenSize screen = {cx, cy};
    EnumWindows(FollowScreen, (LPARAM)&screen);
    StandinPlaceMenuBars(cx, cy);
    StandinBroadcastSettingChange(SETTINGCHANGE_RESET);
    EnumWindows(RepaintWindow, 0);
}
