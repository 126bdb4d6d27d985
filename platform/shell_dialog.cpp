// SHInitDialog stand-in. A dialog sized by the shell loses its desktop
// caption and frame: on the device its title is shown in the navigation bar,
// and a Done button (SHIDIF_DONEBUTTON) is the "ok" at the right end of that
// bar, which sends WM_COMMAND IDOK to the dialog.
#include <aygshell.h>

#include "standin_control.h"
#include "standin_internal.h"

namespace {

const DWORD kSizeFlags = SHIDIF_SIZEDLG | SHIDIF_SIZEDLGFULLSCREEN | SHIDIF_FULLSCREENNOMENUBAR;

// Screen area the dialog gets: always below the navigation bar; above the
// soft-key bar unless told otherwise; SHIDIF_SIZEDLG also keeps clear of an
// input panel that is up.
RECT DialogArea(DWORD flags)
{
    const int cx = StandinScreenWidth();
    const int cy = StandinScreenHeight();
    int bottom = cy - STANDIN_MENU_BAR_HEIGHT;
    if (flags & SHIDIF_FULLSCREENNOMENUBAR)
        bottom = cy;
    if ((flags & SHIDIF_SIZEDLG) && !(flags & (SHIDIF_SIZEDLGFULLSCREEN | SHIDIF_FULLSCREENNOMENUBAR)) &&
        StandinInputPanelOn())
        bottom = StandinInputPanelRect().top;
    RECT area;
    SetRect(&area, 0, STANDIN_TOP_BAR_HEIGHT, cx, bottom);
    return area;
}

void SizeDialog(HWND dialog, DWORD flags)
{
    const LONG frame = WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_BORDER | WS_DLGFRAME;
    const LONG exFrame = WS_EX_DLGMODALFRAME | WS_EX_WINDOWEDGE | WS_EX_CLIENTEDGE | WS_EX_STATICEDGE;
    SetWindowLongW(dialog, GWL_STYLE, GetWindowLongW(dialog, GWL_STYLE) & ~frame);
    SetWindowLongW(dialog, GWL_EXSTYLE, GetWindowLongW(dialog, GWL_EXSTYLE) & ~exFrame);
    const RECT area = DialogArea(flags);
    SetWindowPos(dialog, NULL, area.left, area.top, area.right - area.left, area.bottom - area.top,
                 SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

}  // namespace

extern "C" BOOL WINAPI SHInitDialog(PSHINITDLGINFO info)
{
    if (!info || !IsWindow(info->hDlg)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    if (!(info->dwMask & SHIDIM_FLAGS))
        return TRUE;
    const DWORD flags = info->dwFlags;
    if (flags & SHIDIF_DONEBUTTON)
        SetPropW(info->hDlg, STANDIN_DONE_BUTTON_PROP, (HANDLE)1);
    if ((flags & SHIDIF_SIPDOWN) && StandinInputPanelOn()) {
        StandinSetInputPanel(FALSE, NULL);
        StandinNotifyInputPanelChange();
    }
    if (flags & kSizeFlags)
        SizeDialog(info->hDlg, flags);
    // SHIDIF_EMPTYMENU: the device makes an empty soft-key bar; the dialogs
    // here make their own bar right after, so nothing is shown for it.
    StandinRefreshTopBar();
    return TRUE;
}
