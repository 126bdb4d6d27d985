#include "app/modal_dialog.h"

#include <aygshell.h>

#include "app/app_state.h"

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

void InitDeviceDialog(HWND dialog, UINT barId)
{
    SHINITDLGINFO init = {};
    init.dwMask = SHIDIM_FLAGS;
    init.hDlg = dialog;
    init.dwFlags = SHIDIF_DONEBUTTON | SHIDIF_SIZEDLGFULLSCREEN | SHIDIF_SIPDOWN | SHIDIF_EMPTYMENU;
    SHInitDialog(&init);
    CreateSoftKeyBar(dialog, barId);
}
