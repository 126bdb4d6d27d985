// The message dialog (template 107): the friend's name, a send button and
// the text; "Отправить" looks the friend up and starts the message worker.
#pragma once

#include <windows.h>

// The friend-list row the last message command took.
extern LONG g_selectedRow;

INT_PTR CALLBACK MessageDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// The "Сообщение" commands: the selected row of the friend list, then the
// dialog, or "Ни один контакт не выделен" when no row is selected.
void OpenMessageDialog();

// Places the dialog and its controls as they are placed for a screen of dpi
// dots per inch (the dialog does it with the screen's own).
void PlaceMessageDialog(HWND dialog, int dpi);
