#include "app/about_dialog.h"

#include <aygshell.h>

#include "app/app_state.h"
#include "resources/resource.h"

namespace {

void OnInitDialog(HWND dialog)
{
    SHINITDLGINFO init = {};
    init.dwMask = SHIDIM_FLAGS;
    init.hDlg = dialog;
    init.dwFlags = SHIDIF_DONEBUTTON | SHIDIF_SIZEDLGFULLSCREEN | SHIDIF_SIPDOWN | SHIDIF_EMPTYMENU;
    SHInitDialog(&init);
    CreateSoftKeyBar(dialog, IDM_ABOUT_BAR);
}

INT_PTR OnCommand(HWND dialog, UINT id)
{
    if (id != IDOK && id != IDC_BAR_CLOSE)
        return FALSE;
    EndDialog(dialog, id);
    return TRUE;
}

}  // namespace

INT_PTR CALLBACK AboutDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG: OnInitDialog(dialog); return TRUE;
    case WM_COMMAND: return OnCommand(dialog, LOWORD(wParam));
    case WM_CLOSE: EndDialog(dialog, WM_CLOSE); return TRUE;
    default: return FALSE;
    }
}
