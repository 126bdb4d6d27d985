#include "app/about_dialog.h"

#include "app/shell.h"
#include "resources/resource.h"

namespace {

void OnInitDialog(HWND dialog)
{
    InitDeviceDialog(dialog, IDR_ABOUT_BAR);
}

INT_PTR OnCommand(HWND dialog, UINT id)
{
    if (id != IDOK && id != IDM_BAR_CLOSE)
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
