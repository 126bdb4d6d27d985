#include "app/modal_dialog.h"

#include "app/app_state.h"

INT_PTR ShowModalDialog(int templateId, DLGPROC procedure)
{
    HRSRC found = FindResourceW(g_instance, MAKEINTRESOURCEW(templateId), RT_DIALOG);
    HGLOBAL loaded = found ? LoadResource(g_instance, found) : NULL;
    const DLGTEMPLATE* dialog = loaded ? (const DLGTEMPLATE*)LockResource(loaded) : NULL;
    if (!dialog)
        return -1;
    return DialogBoxIndirectParamW(g_instance, dialog, g_mainWindow, procedure, 0);
}
