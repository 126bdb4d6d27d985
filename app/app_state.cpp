#include "app/app_state.h"

#include <commctrl.h>

#include "resources/resource.h"

HINSTANCE g_instance = NULL;
HWND g_mainWindow = NULL;
HWND g_menuBar = NULL;
HWND g_statusBar = NULL;
HWND g_friendList = NULL;
HWND g_clockLabel = NULL;
HWND g_trafficLabel = NULL;
WNDPROC g_friendListDefaultProc = NULL;
HMENU g_contextMenu = NULL;
HMENU g_lastPopupMenu = NULL;
SHACTIVATEINFO g_activateInfo = {};
BYTE g_onlineOnly = 1;
LONG g_selectedRow = 0;
HANDLE g_workerThread = NULL;
DWORD g_workerThreadId = 0;
Credentials g_credentials = {};
char g_refreshActMenu[TEXT_BUFFER_SIZE] = "";
char g_refreshActContext[TEXT_BUFFER_SIZE] = "";

bool StartWorker(LPTHREAD_START_ROUTINE routine, void* argument)
{
    g_workerThread = CreateThread(NULL, 0, routine, argument, 0, &g_workerThreadId);
    if (!g_workerThread)
        return false;
    CloseHandle(g_workerThread);
    return true;
}

void SetStatusText(const wchar_t* text)
{
    // Addressed through the main window, so a worker's text after shutdown
    // finds no window and is dropped.
    SendDlgItemMessageW(g_mainWindow, IDC_STATUS_BAR, SB_SETTEXTW, 0, (LPARAM)text);
}

LRESULT SendToFriendList(UINT message, WPARAM wParam, LPARAM lParam)
{
    return SendDlgItemMessageW(g_mainWindow, IDC_FRIEND_LIST, message, wParam, lParam);
}

BOOL CreateSoftKeyBar(HWND owner, UINT menuBarId)
{
    SHMENUBARINFO info = {};
    info.cbSize = sizeof(info);
    info.hwndParent = owner;
    info.dwFlags = 0;
    info.nToolBarId = menuBarId;
    info.hInstRes = g_instance;
    info.nBmpId = 0;
    info.cBmpImages = 0;
    const BOOL created = SHCreateMenuBar(&info);
    g_menuBar = created ? info.hwndMB : NULL;
    return created;
}
