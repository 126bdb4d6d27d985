// The soft input panel and the activation and setting-change helpers. The
// desktop has no input panel; a simulated one is kept here, off unless a
// test switches it on (standin_control.h) or SHSipInfo(SPI_SETSIPINFO) does.
#include <aygshell.h>

#include "standin_control.h"
#include "standin_internal.h"

namespace {

BOOL g_panelOn = FALSE;
BOOL g_panelPlaced = FALSE;
RECT g_panelRect = {};

BOOL CALLBACK NotifyWindow(HWND hwnd, LPARAM)
{
    DWORD process = 0;
    GetWindowThreadProcessId(hwnd, &process);
    if (process == GetCurrentProcessId())
        SendMessageTimeoutW(hwnd, WM_SETTINGCHANGE, SPI_SETSIPINFO, 0, SMTO_NORMAL, 2000, NULL);
    return TRUE;
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

}  // namespace

BOOL StandinInputPanelOn(void)
{
    return g_panelOn;
}

RECT StandinInputPanelRect(void)
{
    if (g_panelPlaced)
        return g_panelRect;
    // The device's docked panel: full width, on top of the soft-key bar.
    RECT rect;
    const int bottom = StandinScreenHeight() - STANDIN_MENU_BAR_HEIGHT;
    SetRect(&rect, 0, bottom - STANDIN_INPUT_PANEL_HEIGHT, StandinScreenWidth(), bottom);
    return rect;
}

extern "C" void StandinSetInputPanel(BOOL on, const RECT* panel)
{
    g_panelOn = on ? TRUE : FALSE;
    if (panel && !IsRectEmpty(panel)) {
        g_panelRect = *panel;
        g_panelPlaced = TRUE;
    }
}

extern "C" void StandinNotifyInputPanelChange(void)
{
    EnumWindows(NotifyWindow, 0);
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
extern "C" BOOL WINAPI SHHandleWMActivate(HWND hwnd, WPARAM wParam, LPARAM lParam, SHACTIVATEINFO* info,
                                         DWORD flags)
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
