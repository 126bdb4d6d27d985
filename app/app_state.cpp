#include "app/app_state.h"

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
HANDLE g_workerThread = NULL;
DWORD g_workerThreadId = 0;
char g_refreshActMenu[TEXT_BUFFER_SIZE] = "";
char g_refreshActContext[TEXT_BUFFER_SIZE] = "";
