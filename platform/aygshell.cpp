// The Pocket PC shell (aygshell) stand-in: dialog initialisation, the soft
// input panel, the activation and setting-change helpers and the extra
// controls. The soft-key bar is in menu_bar.cpp, tap-and-hold in gesture.cpp,
// the device's screen look in device_look.cpp.
//
// A dialog sized by the shell loses its desktop caption and frame: on the
// device its title is shown in the navigation bar, and a Done button
// (SHIDIF_DONEBUTTON, or the WS_EX_CAPTIONOKBTN style) is the "ok" at the
// right end of that bar, which sends WM_COMMAND IDOK to the dialog.
//
// The desktop has no input panel; a simulated one is kept here, off unless a
// test switches it on (standin_control.h) or SHSipInfo(SPI_SETSIPINFO) does.
#include <aygshell.h>

#include "standin_control.h"
#include "standin_internal.h"

namespace {

const wchar_t kSipPrefClass[] = L"SIPPREF";

BOOL g_panelOn = FALSE;
BOOL g_panelPlaced = FALSE;
RECT g_panelRect = {};

BOOL CALLBACK NotifyWindow(HWND hwnd, LPARAM what)
{
    if (StandinIsOwnWindow(hwnd))
        SendMessageTimeoutW(hwnd, WM_SETTINGCHANGE, (WPARAM)what, 0, SMTO_NORMAL, 2000, NULL);
    return TRUE;
}

// The device's docked panel: full width, on top of the soft-key bar.
RECT PanelRect(int cx, int cy)
{
    if (g_panelPlaced)
        return g_panelRect;
    RECT rect;
    const int bottom = cy - STANDIN_MENU_BAR_HEIGHT;
    SetRect(&rect, 0, bottom - STANDIN_INPUT_PANEL_HEIGHT, cx, bottom);
    return rect;
}

void FillSipInfo(SIPINFO* info)
{
    const RECT panel = StandinInputPanelRect();
    info->fdwFlags = SIPF_DOCKED | (g_panelOn ? SIPF_ON : 0);
    info->rcSipRect = panel;
    // What is left between the navigation bar and the panel or the soft keys.
    SetRect(&info->rcVisibleDesktop, 0, STANDIN_TOP_BAR_HEIGHT, StandinScreenWidth(),
        g_panelOn ? panel.top : StandinScreenHeight() - STANDIN_MENU_BAR_HEIGHT);
}

const DWORD kSizeFlags = SHIDIF_SIZEDLG | SHIDIF_SIZEDLGFULLSCREEN | SHIDIF_FULLSCREENNOMENUBAR;

void SizeDialog(HWND dialog, DWORD flags)
{
    const LONG frame = WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_BORDER | WS_DLGFRAME;
    const LONG exFrame = WS_EX_DLGMODALFRAME | WS_EX_WINDOWEDGE | WS_EX_CLIENTEDGE | WS_EX_STATICEDGE;
    SetWindowLongW(dialog, GWL_STYLE, GetWindowLongW(dialog, GWL_STYLE) & ~frame);
    SetWindowLongW(dialog, GWL_EXSTYLE, GetWindowLongW(dialog, GWL_EXSTYLE) & ~exFrame);
    // Kept so that the dialog can be sized again when the screen changes.
    SetPropW(dialog, STANDIN_SIZED_DIALOG_PROP, (HANDLE)(ULONG_PTR)(flags & kSizeFlags));
    const RECT area = StandinDialogArea(flags, StandinScreenWidth(), StandinScreenHeight());
    SetWindowPos(dialog, NULL, area.left, area.top, area.right - area.left, area.bottom - area.top,
        SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

BOOL RegisterSipPrefClass(void)
{
    HINSTANCE instance = GetModuleHandleW(NULL);
    WNDCLASSW wc = {};
    if (GetClassInfoW(instance, kSipPrefClass, &wc))
        return TRUE;
    // The device's control keeps the input panel's state per dialog; here it
    // only has to exist so that templates holding it load.
    wc.style = CS_GLOBALCLASS;
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = instance;
    wc.lpszClassName = kSipPrefClass;
    return RegisterClassW(&wc) != 0;
}

}  // namespace

BOOL StandinInputPanelOn(void)
{
    return g_panelOn;
}

RECT StandinInputPanelRect(void)
{
    return PanelRect(StandinScreenWidth(), StandinScreenHeight());
}

// Always below the navigation bar. Full screen reaches the screen's bottom,
// as on the device: the soft-key bar made for the dialog lies over its last
// rows, which the dialog's layout leaves free, and the shown dialog ends
// above that bar (menu_bar.cpp). SHIDIF_SIZEDLG alone ends above the
// soft-key bar, or above an input panel that is up.
RECT StandinDialogArea(DWORD flags, int cx, int cy)
{
    int bottom = cy - STANDIN_MENU_BAR_HEIGHT;
    if (flags & (SHIDIF_SIZEDLGFULLSCREEN | SHIDIF_FULLSCREENNOMENUBAR))
        bottom = cy;
    if ((flags & SHIDIF_SIZEDLG) && !(flags & (SHIDIF_SIZEDLGFULLSCREEN | SHIDIF_FULLSCREENNOMENUBAR))
        && g_panelOn)
        bottom = PanelRect(cx, cy).top;
    RECT area;
    SetRect(&area, 0, STANDIN_TOP_BAR_HEIGHT, cx, bottom);
    return area;
}

void StandinBroadcastSettingChange(WPARAM what)
{
    EnumWindows(NotifyWindow, (LPARAM)what);
}

extern "C" void StandinSetInputPanel(BOOL on, const RECT* panel)
{
    g_panelOn = on ? TRUE : FALSE;
    if (panel && !IsRectEmpty(panel)) {
        g_panelRect = *panel;
        g_panelPlaced = TRUE;
    }
}

extern "C" void StandinResetInputPanel(void)
{
    g_panelOn = FALSE;
    g_panelPlaced = FALSE;
}

extern "C" void StandinNotifyInputPanelChange(void)
{
    StandinBroadcastSettingChange(SPI_SETSIPINFO);
}

extern "C" BOOL WINAPI SHSipInfo(UINT action, UINT param, PVOID data, UINT winIni)
{
    (void)param;
    (void)winIni;
    SIPINFO* info = (SIPINFO*)data;
    if ((action != SPI_GETSIPINFO && action != SPI_SETSIPINFO) || !info || info->cbSize != sizeof(SIPINFO)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    if (action == SPI_GETSIPINFO) {
        FillSipInfo(info);
        return TRUE;
    }
    StandinSetInputPanel((info->fdwFlags & SIPF_ON) != 0, &info->rcSipRect);
    StandinNotifyInputPanelChange();
    return TRUE;
}

// Keeps what the device keeps across activation: the focus to give back and
// whether the panel was up. Nothing on the desktop needs restoring.
extern "C" BOOL WINAPI SHHandleWMActivate(
    HWND hwnd, WPARAM wParam, LPARAM lParam, SHACTIVATEINFO* info, DWORD flags)
{
    (void)lParam;
    (void)flags;
    if (!info || info->cbSize != sizeof(SHACTIVATEINFO))
        return FALSE;
    if (LOWORD(wParam) == WA_INACTIVE) {
        HWND focus = GetFocus();
        info->hwndLastFocus = (focus && (focus == hwnd || IsChild(hwnd, focus))) ? focus : NULL;
        info->fSipOnDeactivation = g_panelOn;
        info->fActive = 0;
    } else {
        info->fActive = 1;
        info->fSipUp = g_panelOn;
    }
    return TRUE;
}

extern "C" BOOL WINAPI SHHandleWMSettingChange(HWND hwnd, WPARAM wParam, LPARAM lParam, SHACTIVATEINFO* info)
{
    (void)hwnd;
    (void)lParam;
    if (!info || info->cbSize != sizeof(SHACTIVATEINFO))
        return FALSE;
    if (wParam == SPI_SETSIPINFO)
        info->fSipUp = g_panelOn;
    return TRUE;
}

extern "C" BOOL WINAPI SHInitDialog(PSHINITDLGINFO info)
{
    if (!info || !IsWindow(info->hDlg)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    StandinShowTopBar();  // the dialog's title is shown there
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

// Registers the shell's extra control classes and, for the calling thread,
// the device look (navigation bar, full-screen main windows). Nothing is
// shown here: the program calls this before it knows it is the only
// instance, and a second instance must leave the screen alone.
extern "C" BOOL WINAPI SHInitExtraControls(void)
{
    if (!RegisterSipPrefClass())
        return FALSE;
    StandinInstallDeviceLook();
    return TRUE;
}
