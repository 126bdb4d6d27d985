// "Сообщения": the messages sent in this run, newest first, with what became
// of each (template 110).
#pragma once

#include <windows.h>

INT_PTR CALLBACK MessagesDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
void OpenMessagesDialog();
