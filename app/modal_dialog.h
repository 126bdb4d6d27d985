// Opens one of the program's dialog templates modally over the main window,
// and the start every device dialog shares.
#pragma once

#include <windows.h>

// The dialog's result, or -1 when the template is missing or cannot be shown.
INT_PTR ShowModalDialog(int templateId, DLGPROC procedure);

// As above, with a value handed to the dialog's WM_INITDIALOG as lParam.
INT_PTR ShowModalDialogParam(int templateId, DLGPROC procedure, LPARAM parameter);

// Full screen with the Done button, the input panel lowered and an empty
// menu, then the dialog's own soft-key bar from the menu-bar record barId.
void InitDeviceDialog(HWND dialog, UINT barId);
