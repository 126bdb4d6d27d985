// The About box (dialog 105).
#pragma once

#include <windows.h>

INT_PTR CALLBACK AboutDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// The program's icon at the box's size for a screen of dpi (32 pixels at 96
// dpi), from the icon's image of that size or the nearest one, stretched;
// the caller destroys it. Null when it cannot be loaded.
HICON LoadAboutIcon(int dpi);
