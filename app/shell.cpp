#include "base/shell.h"

#include <commctrl.h>
#include <aygshell.h>

#include "app/app_state.h"
#include "resources/resource.h"

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

INT_PTR ShowModalDialogParam(int templateId, DLGPROC procedure, LPARAM parameter)
{
    HRSRC found = FindResourceW(g_instance, MAKEINTRESOURCEW(templateId), RT_DIALOG);
    HGLOBAL loaded = found ? LoadResource(g_instance, found) : NULL;
    const DLGTEMPLATE* dialog = loaded ? (const DLGTEMPLATE*)LockResource(loaded) : NULL;
    if (!dialog)
        return -1;
    return DialogBoxIndirectParamW(g_instance, dialog, g_mainWindow, procedure, parameter);
}

INT_PTR ShowModalDialog(int templateId, DLGPROC procedure)
{
    return ShowModalDialogParam(templateId, procedure, 0);
}

HWND InitDeviceDialog(HWND dialog, UINT barId)
{
    SHINITDLGINFO init = {};
    init.dwMask = SHIDIM_FLAGS;
    init.hDlg = dialog;
    init.dwFlags = SHIDIF_DONEBUTTON | SHIDIF_SIZEDLGFULLSCREEN | SHIDIF_SIPDOWN | SHIDIF_EMPTYMENU;
    SHInitDialog(&init);
    CreateSoftKeyBar(dialog, barId);
    return g_menuBar;
}

INT_PTR ViewDialogMessage(HWND dialog, UINT message, WPARAM wParam, void (*onInit)(HWND dialog))
{
    switch (message) {
    case WM_INITDIALOG: onInit(dialog); return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) != IDOK && LOWORD(wParam) != IDM_BAR_CLOSE)
            return FALSE;
        EndDialog(dialog, LOWORD(wParam));
        return TRUE;
    case WM_CLOSE: EndDialog(dialog, WM_CLOSE); return TRUE;
    default: return FALSE;
    }
}
