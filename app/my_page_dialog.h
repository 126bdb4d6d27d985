// "Моя страница" (dialog 109): the user's own page as the program knows it.
#pragma once

#include <windows.h>

INT_PTR CALLBACK MyPageDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
