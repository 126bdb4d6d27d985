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

namespace {

// A modal dialog's own loop never sees the main loop's accelerators: its
// keys go through the table here, to the dialog they were typed in.
LRESULT CALLBACK DialogAccelerators(int code, WPARAM wParam, LPARAM lParam)
{
    MSG* message = (MSG*)lParam;
    if (code == MSGF_DIALOGBOX && message) {
        static const HACCEL table = LoadAcceleratorsW(g_instance, MAKEINTRESOURCEW(IDA_MAIN));
        HWND dialog = GetAncestor(message->hwnd, GA_ROOT);
        if (table && dialog && TranslateAcceleratorW(dialog, table, message))
            return TRUE;
    }
    return CallNextHookEx(NULL, code, wParam, lParam);
}

bool IsCloseRequest(UINT message, WPARAM wParam)
{
    return message == WM_CLOSE || (message == WM_COMMAND && LOWORD(wParam) == IDCANCEL)
        || (message == WM_SYSCOMMAND && (wParam & 0xFFF0) == SC_CLOSE);
}

void SelectAllOfFocusedEdit(HWND dialog)
{
    HWND focus = GetFocus();
    wchar_t className[16] = L"";
    if (!focus || !IsChild(dialog, focus) || !GetClassNameW(focus, className, 16)
        || lstrcmpiW(className, L"Edit") != 0)
        return;
    SendMessageW(focus, EM_SETSEL, 0, -1);
}

}  // namespace

INT_PTR ShowModalDialogParam(int templateId, DLGPROC procedure, LPARAM parameter)
{
    HRSRC found = FindResourceW(g_instance, MAKEINTRESOURCEW(templateId), RT_DIALOG);
    HGLOBAL loaded = found ? LoadResource(g_instance, found) : NULL;
    const DLGTEMPLATE* dialog = loaded ? (const DLGTEMPLATE*)LockResource(loaded) : NULL;
    if (!dialog)
        return -1;
    HHOOK keys = SetWindowsHookExW(WH_MSGFILTER, DialogAccelerators, NULL, GetCurrentThreadId());
    const INT_PTR result = DialogBoxIndirectParamW(g_instance, dialog, g_mainWindow, procedure, parameter);
    if (keys)
        UnhookWindowsHookEx(keys);
    return result;
}

bool CommonDialogMessage(HWND dialog, UINT message, WPARAM wParam)
{
    if (IsCloseRequest(message, wParam)) {
        SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDM_BAR_CLOSE, 0), 0);
        return true;
    }
    if (message == WM_COMMAND && LOWORD(wParam) == IDM_SELECT_ALL) {
        SelectAllOfFocusedEdit(dialog);
        return true;
    }
    return false;
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
    if (CommonDialogMessage(dialog, message, wParam))
        return TRUE;
    switch (message) {
    case WM_INITDIALOG: onInit(dialog); return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) != IDOK && LOWORD(wParam) != IDM_BAR_CLOSE)
            return FALSE;
        EndDialog(dialog, LOWORD(wParam));
        return TRUE;
    default: return FALSE;
    }
}
