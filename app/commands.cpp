#include "app/commands.h"

#include "api/api_texts.h"
#include "api/friend_list.h"
#include "api/message_dialog.h"
#include "api/messages_dialog.h"
#include "api/status_dialog.h"
#include "app/about_dialog.h"
#include "app/app_state.h"
#include "base/shell.h"
#include "app/my_page_dialog.h"
#include "app/app_texts.h"
#include "net/session.h"
#include "resources/resource.h"
#include "settings/settings_dialog.h"
#include "settings/settings_file.h"

namespace {

void SetConnectCaption(HMENU popup)
{
    MENUITEMINFOW item = {};
    item.cbSize = sizeof(item);
    item.fMask = MIIM_TYPE | MIIM_DATA;
    item.fType = MFT_STRING;
    item.dwItemData = 0;
    item.dwTypeData = (wchar_t*)(g_loggedIn ? TEXT_DISCONNECT : TEXT_CONNECT);
    SetMenuItemInfoW(popup, IDM_CONNECT, FALSE, &item);
}

}  // namespace

void OnMenuPopup(HMENU popup)
{
    g_lastPopupMenu = popup;
    SetConnectCaption(popup);
    // Both all/online marks show the filter as it is, whichever menu last
    // toggled it.
    const UINT mark = MF_BYCOMMAND | (g_onlineOnly ? MF_CHECKED : MF_UNCHECKED);
    CheckMenuItem(popup, IDM_ALL_ONLINE, mark);
    CheckMenuItem(popup, IDM_CTX_ONLINE_ALL, mark);
}

void ConnectOrDisconnect()
{
    // One at a time: a second login would open a second session, and a
    // logout racing a login could end the wrong one.
    const SessionWork running = SessionWorkUnderWay();
    if (running != SessionWorkNone) {
        SetStatusText(SessionWorkText(running));
        return;
    }
    // No worker runs, so g_loggedIn cannot change under us.
    const bool logout = g_loggedIn != 0;
    const wchar_t* settingsProblem = SettingsProblemText();
    if (!logout && settingsProblem) {
        SetStatusText(settingsProblem);  // rather than log in with what the file did not give
        return;
    }
    if (!ClaimSessionWork(logout ? SessionWorkLogout : SessionWorkLogin))
        return;
    if (!StartWorker(logout ? LogoutThread : LoginThread, logout ? NULL : &g_credentials))
        ReleaseSessionWork();
}

void RefreshFriendList(char* act)
{
    lstrcpynA(act, g_onlineOnly ? ACT_FRIENDS_ONLINE : ACT_FRIENDS, TEXT_BUFFER_SIZE);
    StartFriendListWorker(act);
}

void StartFriendListWorker(const char* act)
{
    // A refresh like any other: its ticket makes every earlier answer stale.
    FriendListJob* job = NewFriendListJob(act);
    if (job && !StartWorker(FriendListThread, job))
        delete job;
}

void ToggleOnlineOnly(UINT itemId)
{
    CheckMenuItem(g_lastPopupMenu, itemId, MF_BYCOMMAND | (g_onlineOnly ? MF_UNCHECKED : MF_CHECKED));
    g_onlineOnly = !g_onlineOnly;
}

void DeleteSelectedContact()
{
    const LRESULT row = SendToFriendList(LB_GETCURSEL, 0, 0);
    if (row == LB_ERR) {
        SetStatusText(TEXT_NO_CONTACT);
        return;
    }
    SendToFriendList(LB_DELETESTRING, (WPARAM)row, 0);
}

void ClearFriendList()
{
    SendToFriendList(LB_RESETCONTENT, 0, 0);
}

void ShowAboutBox()
{
    ShowModalDialog(IDD_ABOUT, AboutDialogProc);
}

// "Друзья": all friends from now on (the marks follow when a menu opens),
// fetched at once.
void ShowAllFriends()
{
    g_onlineOnly = 0;
    RefreshFriendList(g_refreshActMenu);
}

// "Контакты": the mutual friends, with a count text of their own.
void ShowMutualFriends()
{
    lstrcpynA(g_refreshActMenu, ACT_FRIENDS_MUTUAL, TEXT_BUFFER_SIZE);
    StartFriendListWorker(g_refreshActMenu);
}

void ShowMyPage()
{
    ShowModalDialog(IDD_MY_PAGE, MyPageDialogProc);
}

bool HandleMainCommand(HWND window, UINT id)
{
    // One line per case, aligned as a table.
    // clang-format off
    switch (id) {
    case IDM_CONNECT:        ConnectOrDisconnect(); return true;
    case IDM_MINIMISE:       ShowWindow(window, SW_HIDE); return true;
    case IDM_ABOUT:          ShowAboutBox(); return true;
    case IDM_SETTINGS:       ShowModalDialog(IDD_SETTINGS, SettingsDialogProc); return true;
    case IDM_EXIT:           SendMessageW(window, WM_CLOSE, 0, 0); return true;
    case IDM_REFRESH:        RefreshFriendList(g_refreshActMenu); return true;
    case IDM_ALL_ONLINE:     ToggleOnlineOnly(IDM_ALL_ONLINE); return true;
    case IDM_DELETE_CONTACT: DeleteSelectedContact(); return true;
    case IDM_CLEAR_LIST:     ClearFriendList(); return true;
    case IDM_MY_PAGE:        ShowMyPage(); return true;
    case IDM_FRIENDS:        ShowAllFriends(); return true;
    case IDM_CONTACTS:       ShowMutualFriends(); return true;
    case IDM_SECTION_MESSAGE: OpenMessageDialog(); return true;
    case IDM_STATUS:         OpenStatusDialog(); return true;
    case IDM_MESSAGES:       OpenMessagesDialog(); return true;
    default:                 return false;
    }
    // clang-format on
}

void HandleContextCommand(UINT id)
{
    // One line per case, aligned as a table.
    // clang-format off
    switch (id) {
    case IDM_CTX_REFRESH:    RefreshFriendList(g_refreshActContext); break;
    case IDM_CTX_ONLINE_ALL: ToggleOnlineOnly(IDM_CTX_ONLINE_ALL); break;
    case IDM_CTX_CLEAR:      ClearFriendList(); break;
    case IDM_CTX_DELETE:     DeleteSelectedContact(); break;
    case IDM_CTX_MESSAGE:    OpenMessageDialog(); break;
    default:                 break;  // 0: the menu was dismissed
    }
    // clang-format on
}
