// Menu items are found by their command, never by where they stand, so a new
// item breaks no test but its own. Used in-process by the Win32 tests and on
// the exe's own menu resources by the end-to-end driver.
#pragma once

#include <windows.h>

// The position of command in menu (MF_BYPOSITION); -1 when it is not there.
inline int MenuItemPosition(HMENU menu, UINT command)
{
    for (int i = 0; menu && i < GetMenuItemCount(menu); ++i) {
        if (!GetSubMenu(menu, i) && GetMenuItemID(menu, i) == command)
            return i;
    }
    return -1;
}

// The pop-up of menu that holds command; null when none does.
inline HMENU PopupHolding(HMENU menu, UINT command)
{
    for (int i = 0; menu && i < GetMenuItemCount(menu); ++i) {
        HMENU popup = GetSubMenu(menu, i);
        if (popup && MenuItemPosition(popup, command) >= 0)
            return popup;
    }
    return NULL;
}

// How many VK_DOWN presses select the item of command in a menu just opened
// (nothing selected yet; separators are stepped over); -1 when there is none.
inline int KeyStepsTo(HMENU menu, UINT command)
{
    const int position = MenuItemPosition(menu, command);
    if (position < 0)
        return -1;
    int steps = 1;
    for (int i = 0; i < position; ++i) {
        if (!(GetMenuState(menu, i, MF_BYPOSITION) & MF_SEPARATOR))
            ++steps;
    }
    return steps;
}
