// Process-wide state of the application shell. One instance of each, plain
// globals, owned by the user-interface thread unless noted.
#pragma once

#include <windows.h>
#include <aygshell.h>

#include "base/constants.h"
#include "base/credentials.h"
#include "base/shell.h"

extern HWND g_menuBar;  // the soft-key bar made last (main window or a dialog)
extern HWND g_statusBar;
extern HWND g_clockLabel;
extern WNDPROC g_friendListDefaultProc;
extern HMENU g_contextMenu;
extern HMENU g_lastPopupMenu;
extern SHACTIVATEINFO g_activateInfo;
extern BYTE g_onlineOnly;  // UI thread only
extern HANDLE g_workerThread;
extern DWORD g_workerThreadId;
extern char g_refreshActMenu[TEXT_BUFFER_SIZE];
extern char g_refreshActContext[TEXT_BUFFER_SIZE];
