#include "app/about_dialog.h"

#include "app/shell.h"
#include "resources/resource.h"

namespace {

void OnInitDialog(HWND dialog)
{
    InitDeviceDialog(dialog, IDR_ABOUT_BAR);
}

}  // namespace

INT_PTR CALLBACK AboutDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    return ViewDialogMessage(dialog, message, wParam, OnInitDialog);
}
