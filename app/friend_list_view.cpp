#include "app/friend_list_view.h"

#include <aygshell.h>

#include "app/app_state.h"
#include "app/commands.h"

namespace {

LRESULT PassOn(HWND list, UINT message, WPARAM wParam, LPARAM lParam)
{
    return CallWindowProcW(g_friendListDefaultProc, list, message, wParam, lParam);
}

bool IsHeldTap(HWND list, POINT press)
{
    SHRGINFO gesture = {};
    gesture.cbSize = sizeof(gesture);
    gesture.hwndClient = list;
    gesture.ptDown = press;
    gesture.dwFlags = SHRG_RETURNCMD;
    return SHRecognizeGesture(&gesture) == GN_CONTEXTMENU;
}

void ShowContextMenu(HWND list, POINT press)
{
    ClientToScreen(list, &press);
    // Owned by the main window, so its WM_INITMENUPOPUP records this menu
    // as the last pop-up; the all/online toggle finds its mark there.
    const UINT command
        = (UINT)TrackPopupMenuEx(g_contextMenu, TPM_RETURNCMD, press.x, press.y, g_mainWindow, NULL);
    HandleContextCommand(command);
}

LRESULT OnButtonDown(HWND list, WPARAM wParam, LPARAM lParam)
{
    // The list selects the row under the stylus first, so the menu's
    // commands act on it.
    PassOn(list, WM_LBUTTONDOWN, wParam, lParam);
    POINT press;
    press.x = LOWORD(lParam);
    press.y = HIWORD(lParam);
    if (!IsHeldTap(list, press))
        return PassOn(list, WM_LBUTTONDOWN, wParam, lParam);
    ShowContextMenu(list, press);
    // The menu took the stylus's button-up. Handing the press on again would
    // have the list capture the stylus with no release to come (the
    // selection would follow the pointer and swallow the next tap); it gets
    // the release it missed instead, and keeps the held row selected.
    return PassOn(list, WM_LBUTTONUP, 0, lParam);
}

}  // namespace

LRESULT CALLBACK FriendListProc(HWND list, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_LBUTTONDOWN)
        return OnButtonDown(list, wParam, lParam);
    return PassOn(list, message, wParam, lParam);
}
