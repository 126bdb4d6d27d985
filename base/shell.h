// What the shell lends every feature: the status bar, the friends list box,
// worker threads, soft-key bars and device dialogs, and the few windows the
// workers address. Declared here, below every feature, and implemented by
// app/; the rest of the shell's state is private to app/.
#pragma once

#include <windows.h>

extern HINSTANCE g_instance;
extern HWND g_mainWindow;  // workers address the status bar and list box through it
extern HWND g_friendList;
extern HWND g_trafficLabel;

// Shows one line in the status bar; any thread may call it (a synchronous send).
void SetStatusText(const wchar_t* text);

// Sends one message to the friends list box through the main window, as
// workers and commands alike address it; a synchronous send from any thread.
LRESULT SendToFriendList(UINT message, WPARAM wParam, LPARAM lParam);

// Starts a worker thread the way every command does: nobody waits for it, so
// the handle is closed at once. False when no thread could be started (the
// argument is then still the caller's).
bool StartWorker(LPTHREAD_START_ROUTINE routine, void* argument);

// Builds a soft-key bar for owner from the menu-bar record of that id and
// records it in g_menuBar (null when it cannot be made).
BOOL CreateSoftKeyBar(HWND owner, UINT menuBarId);

// Opens one of the program's dialog templates modally over the main window:
// the dialog's result, or -1 when the template is missing or cannot be shown.
// The dialog's loop translates the program's accelerators too.
INT_PTR ShowModalDialog(int templateId, DLGPROC procedure);
// As above, with a value handed to the dialog's WM_INITDIALOG as lParam.
INT_PTR ShowModalDialogParam(int templateId, DLGPROC procedure, LPARAM parameter);

// Full screen with the Done button, the input panel lowered and an empty
// menu, then the dialog's own soft-key bar from the menu-bar record barId;
// returns that bar (null when it could not be made).
HWND InitDeviceDialog(HWND dialog, UINT barId);

// What every device dialog answers alike, asked before its own handling:
// Escape and IDCANCEL, WM_CLOSE and the system close come to the dialog as
// its "Закрыть" (IDM_BAR_CLOSE), and the select-all command of the
// accelerator table (Ctrl+A) selects the whole text of the focused edit
// field. True when the message was one of these and is done with.
bool CommonDialogMessage(HWND dialog, UINT message, WPARAM wParam);

// The whole procedure of a dialog that only shows something: onInit fills it,
// and "Закрыть", OK and every close of CommonDialogMessage end it.
INT_PTR ViewDialogMessage(HWND dialog, UINT message, WPARAM wParam, void (*onInit)(HWND dialog));
