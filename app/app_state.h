// Process-wide state of the application shell. One instance of each, plain
// globals, owned by the user-interface thread unless noted.
#pragma once

#include <windows.h>
#include <aygshell.h>

#include "app/credentials.h"

enum { TEXT_BUFFER_SIZE = 260, TITLE_BUFFER_SIZE = 100 };

extern HINSTANCE g_instance;
extern HWND g_mainWindow;  // read by workers to address the status bar and list box
extern HWND g_menuBar;     // the soft-key bar made last (main window or a dialog)
extern HWND g_statusBar;
extern HWND g_friendList;
extern HWND g_clockLabel;
extern HWND g_trafficLabel;
extern WNDPROC g_friendListDefaultProc;
extern HMENU g_contextMenu;
extern HMENU g_lastPopupMenu;
extern SHACTIVATEINFO g_activateInfo;
extern BYTE g_onlineOnly;  // UI thread only
extern LONG g_selectedRow;
extern HANDLE g_workerThread;
extern DWORD g_workerThreadId;
extern Credentials g_credentials;
extern char g_refreshActMenu[TEXT_BUFFER_SIZE];
extern char g_refreshActContext[TEXT_BUFFER_SIZE];

// Shows one line in the status bar; any thread may call it (a synchronous send).
void SetStatusText(const wchar_t* text);

// Sends one message to the friends list box through the main window, as
// workers and commands alike address it; a synchronous send from any thread.
LRESULT SendToFriendList(UINT message, WPARAM wParam, LPARAM lParam);

// Builds a soft-key bar for owner from the menu-bar record of that id and
// records it in g_menuBar (null when it cannot be made).
BOOL CreateSoftKeyBar(HWND owner, UINT menuBarId);

// Starts a worker thread the way every command does: handle and id go to
// g_workerThread and g_workerThreadId; nobody waits for it, so the handle is
// closed at once and g_workerThread is only a record of the last start.
// False when no thread could be started (the argument is then still the
// caller's).
bool StartWorker(LPTHREAD_START_ROUTINE routine, void* argument);
