// The status dialog (template 108): the text, "Установить статус" and the
// statuses set before in this run; a send starts the status worker.
#pragma once

#include <windows.h>

INT_PTR CALLBACK StatusDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// "Статус": opens the dialog, logged in or not.
void OpenStatusDialog();

// Places the dialog and its controls as for a screen of dpi dots per inch.
void PlaceStatusDialog(HWND dialog, int dpi);
