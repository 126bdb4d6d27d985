#include "app/about_dialog.h"

#include "base/shell.h"
#include "resources/resource.h"
#include "ui/dpi.h"

namespace {

enum { ICON_SIDE = 32 };  // at 96 dpi, as the template shows it

// The one the open box shows; ours to destroy, unlike the template's.
HICON g_aboutIcon = NULL;

void OnInitDialog(HWND dialog)
{
    InitDeviceDialog(dialog, IDR_ABOUT_BAR);
    // The template's icon is the system's size whatever the screen; the
    // control takes the size of the one set (SS_REALSIZEIMAGE).
    g_aboutIcon = LoadAboutIcon(GetScreenDpiY());
    if (g_aboutIcon)
        SendDlgItemMessageW(dialog, IDC_ABOUT_ICON, STM_SETICON, (WPARAM)g_aboutIcon, 0);
}

void OnDestroy()
{
    if (g_aboutIcon)
        DestroyIcon(g_aboutIcon);
    g_aboutIcon = NULL;
}

}  // namespace

HICON LoadAboutIcon(int dpi)
{
    const int side = ScaleForDpi(ICON_SIDE, dpi);
    return (HICON)LoadImageW(
        g_instance, MAKEINTRESOURCEW(IDI_SORVINTA), IMAGE_ICON, side, side, LR_DEFAULTCOLOR);
}

INT_PTR CALLBACK AboutDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    if (message == WM_DESTROY) {
        OnDestroy();
        return FALSE;
    }
    return ViewDialogMessage(dialog, message, wParam, OnInitDialog);
}
