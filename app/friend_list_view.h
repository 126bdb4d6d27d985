// The friends list box's replacement procedure: tap and hold opens the
// context menu.
#pragma once

#include <windows.h>

LRESULT CALLBACK FriendListProc(HWND list, UINT message, WPARAM wParam, LPARAM lParam);
