// Commands of the main window: menu states when a pop-up opens, the
// all/online toggles, delete, clear, refresh, the held-tap context menu and
// the About box.
#include "app_window_fixture.h"

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "app/about_dialog.h"
#include "app/commands.h"
#include "api/status_history.h"
#include "base/shell.h"
#include "net/http_exchange.h"
#include "net/session.h"
#include "net/status_texts.h"
#include "ui/dpi.h"

namespace apptest {
namespace {

// The main menu pair as the soft keys show it: "Меню" and "Раздел", each
// found by an item it holds.
class MainMenus {
public:
    MainMenus()
        : m_menu(LoadMenuW(GetModuleHandleW(NULL), MAKEINTRESOURCEW(IDR_MAIN)))
    {
    }
    ~MainMenus() { DestroyMenu(m_menu); }
    HMENU Main() const { return PopupHolding(m_menu, IDM_CONNECT); }
    HMENU Section() const { return PopupHolding(m_menu, IDM_REFRESH); }

private:
    HMENU m_menu;
};

void OpenPopup(HWND window, HMENU popup)
{
    SendMessageW(window, WM_INITMENUPOPUP, (WPARAM)popup, 0);
}

using Commands = MainWindowTest;

TEST_F(Commands, ConnectCaptionFollowsTheSession)
{
    MainMenus menus;
    ASSERT_NE(menus.Main(), (HMENU)NULL);
    const int connectAt = MenuItemPosition(menus.Main(), IDM_CONNECT);
    for (BYTE loggedIn : {1, 0, 1, 0}) {
        g_loggedIn = loggedIn;
        OpenPopup(window, menus.Main());
        EXPECT_EQ(g_lastPopupMenu, menus.Main());
        EXPECT_EQ(MenuCaption(menus.Main(), IDM_CONNECT), loggedIn ? L"Отключиться" : L"Подключиться");

        MENUITEMINFOW item = {};
        item.cbSize = sizeof(item);
        item.fMask = MIIM_FTYPE | MIIM_DATA | MIIM_STATE;
        ASSERT_TRUE(GetMenuItemInfoW(menus.Main(), IDM_CONNECT, FALSE, &item));
        EXPECT_EQ(item.fType & (MFT_SEPARATOR | MFT_BITMAP | MFT_OWNERDRAW), 0u);
        EXPECT_EQ(item.dwItemData, 0u);
        EXPECT_EQ(item.fState & (MFS_DISABLED | MFS_GRAYED), 0u);
    }
    // The connect item is still where it was, the others untouched.
    EXPECT_EQ(MenuItemPosition(menus.Main(), IDM_CONNECT), connectAt);
    EXPECT_EQ(MenuCaption(menus.Main(), IDM_EXIT), L"Выход");
}

TEST_F(Commands, ConnectWhileALoginOrLogoutRunsStartsNothing)
{
    MainMenus menus;
    const struct {
        SessionWork running;
        BYTE loggedIn;
        const wchar_t* status;
        const wchar_t* caption;  // what the next tap will do, once the work is done
    } cases[] = {
        {SessionWorkLogin, 0, L"Идет подключение, подождите...", L"Подключиться"},
        {SessionWorkLogout, 1, L"Идет отключение, подождите...", L"Отключиться"},
    };
    for (const auto& c : cases) {
        g_loggedIn = c.loggedIn;
        ASSERT_TRUE(ClaimSessionWork(c.running));
        g_workerThread = NULL;
        for (int tap = 0; tap < 10; ++tap) {
            SetStatusText(L"-");
            EXPECT_EQ(Command(IDM_CONNECT), 0);
            EXPECT_EQ(StatusText(), c.status);
        }
        EXPECT_EQ(g_workerThread, (HANDLE)NULL) << "a second worker was started";
        OpenPopup(window, menus.Main());
        EXPECT_EQ(MenuCaption(menus.Main(), IDM_CONNECT), c.caption);
        ReleaseSessionWork();
    }
    g_loggedIn = 0;
}

TEST_F(Commands, WorkerHandlesAreClosedOnceStarted)
{
    // Logged out, every refresh worker ends at once; each start closes its
    // handle, so what g_workerThread records is no handle any more.
    for (int i = 0; i < 5; ++i) {
        SetStatusText(L"-");
        Command(IDM_REFRESH);
        ASSERT_NE(g_workerThread, (HANDLE)NULL);
        DWORD flags = 0;
        EXPECT_FALSE(GetHandleInformation(g_workerThread, &flags)) << "the thread handle is still open";
        ASSERT_TRUE(pump.Until([&] { return StatusText() == L"Вы еще не авторизованы"; }, 10000));
    }
}

TEST_F(Commands, PopupWithoutTheItemsIsLeftAlone)
{
    MainMenus menus;
    const int contextItems = GetMenuItemCount(g_contextMenu);
    const int mainItems = GetMenuItemCount(menus.Main());
    OpenPopup(window, g_contextMenu);
    EXPECT_EQ(g_lastPopupMenu, g_contextMenu);
    EXPECT_EQ(GetMenuItemCount(g_contextMenu), contextItems);
    EXPECT_EQ(GetMenuState(g_contextMenu, IDM_CONNECT, MF_BYCOMMAND), (UINT)-1);
    EXPECT_EQ(MenuCaption(g_contextMenu, IDM_CTX_REFRESH), L"Обновить");
    EXPECT_TRUE(IsChecked(g_contextMenu, IDM_CTX_ONLINE_ALL));

    g_onlineOnly = 0;
    OpenPopup(window, menus.Main());
    EXPECT_EQ(GetMenuItemCount(menus.Main()), mainItems);
    EXPECT_EQ(GetMenuState(menus.Main(), IDM_ALL_ONLINE, MF_BYCOMMAND), (UINT)-1);
}

TEST_F(Commands, ToggleMarksItsOwnMenuAtOnce)
{
    MainMenus menus;
    const struct {
        HMENU menu;
        UINT item;
    } menusAndItems[] = {{menus.Section(), IDM_ALL_ONLINE}, {g_contextMenu, IDM_CTX_ONLINE_ALL}};
    for (const auto& m : menusAndItems) {
        g_onlineOnly = 1;
        OpenPopup(window, m.menu);
        for (BYTE expected : {0, 1, 0}) {
            if (m.item == IDM_ALL_ONLINE)
                EXPECT_EQ(Command(IDM_ALL_ONLINE), 0);
            else
                HandleContextCommand(IDM_CTX_ONLINE_ALL);
            EXPECT_EQ(g_onlineOnly, expected) << m.item;
            EXPECT_EQ(IsChecked(m.menu, m.item), expected == 1) << m.item;
        }
    }
}

TEST_F(Commands, BothMarksShowTheFilterWheneverTheirMenuOpens)
{
    // Toggles from either menu in every order; after each, both menus open
    // with the filter as it is.
    MainMenus menus;
    const bool fromContext[] = {false, true, true, false, false, true, false};
    BYTE expected = 1;
    for (size_t i = 0; i < sizeof(fromContext) / sizeof(fromContext[0]); ++i) {
        SCOPED_TRACE("toggle " + std::to_string(i));
        OpenPopup(window, fromContext[i] ? g_contextMenu : menus.Section());
        if (fromContext[i])
            HandleContextCommand(IDM_CTX_ONLINE_ALL);
        else
            Command(IDM_ALL_ONLINE);
        expected = !expected;
        ASSERT_EQ(g_onlineOnly, expected);
        OpenPopup(window, menus.Section());
        EXPECT_EQ(IsChecked(menus.Section(), IDM_ALL_ONLINE), expected == 1);
        OpenPopup(window, g_contextMenu);
        EXPECT_EQ(IsChecked(g_contextMenu, IDM_CTX_ONLINE_ALL), expected == 1);
    }
}

TEST_F(Commands, DeleteWithoutSelectionReportsAndKeepsTheRows)
{
    AddRows({L"Вера", L"Анна", L"Борис"});
    for (bool fromContext : {false, true}) {
        SetStatusText(L"-");
        if (fromContext)
            HandleContextCommand(IDM_CTX_DELETE);
        else
            EXPECT_EQ(Command(IDM_DELETE_CONTACT), 0);
        EXPECT_EQ(StatusText(), L"Ни один контакт не выделен") << fromContext;
        EXPECT_EQ(SendMessageW(list, LB_GETCOUNT, 0, 0), 3) << fromContext;
    }
}

TEST_F(Commands, DeleteRemovesExactlyTheSelectedRow)
{
    AddRows({L"Вера", L"Анна", L"Борис", L"Галина"});
    g_selectedRow = 3;
    SetStatusText(L"-");

    SendMessageW(list, LB_SETCURSEL, 1, 0);  // Борис
    EXPECT_EQ(Command(IDM_DELETE_CONTACT), 0);
    ASSERT_EQ(SendMessageW(list, LB_GETCOUNT, 0, 0), 3);
    EXPECT_EQ(ListRow(list, 0), L"Анна");
    EXPECT_EQ(ListRow(list, 1), L"Вера");
    EXPECT_EQ(ListRow(list, 2), L"Галина");

    SendMessageW(list, LB_SETCURSEL, 2, 0);  // Галина
    HandleContextCommand(IDM_CTX_DELETE);
    ASSERT_EQ(SendMessageW(list, LB_GETCOUNT, 0, 0), 2);
    EXPECT_EQ(ListRow(list, 0), L"Анна");
    EXPECT_EQ(ListRow(list, 1), L"Вера");

    EXPECT_EQ(StatusText(), L"-");
    EXPECT_EQ(g_selectedRow, 3);
}

TEST_F(Commands, ClearEmptiesTheListQuietly)
{
    for (bool fromContext : {false, true}) {
        AddRows({L"Анна", L"Борис"});
        SetStatusText(L"-");
        if (fromContext)
            HandleContextCommand(IDM_CTX_CLEAR);
        else
            EXPECT_EQ(Command(IDM_CLEAR_LIST), 0);
        EXPECT_EQ(SendMessageW(list, LB_GETCOUNT, 0, 0), 0) << fromContext;
        // Clearing an empty list does nothing either.
        Command(IDM_CLEAR_LIST);
        EXPECT_EQ(SendMessageW(list, LB_GETCOUNT, 0, 0), 0);
        EXPECT_EQ(StatusText(), L"-");
    }
}

TEST_F(Commands, RefreshAsksForTheKindTheFilterSays)
{
    // Logged out, the worker refuses at once and only reports; no network.
    struct Case {
        BYTE onlineOnly;
        bool fromContext;
        const char* act;
    };
    const Case cases[] = {
        {1, false, "friends_online"},
        {0, false, "friends"},
        {1, true, "friends_online"},
        {0, true, "friends"},
    };
    for (const Case& c : cases) {
        g_onlineOnly = c.onlineOnly;
        g_workerThread = NULL;
        g_workerThreadId = 0;
        SetStatusText(L"-");
        if (c.fromContext)
            HandleContextCommand(IDM_CTX_REFRESH);
        else
            EXPECT_EQ(Command(IDM_REFRESH), 0);
        EXPECT_STREQ(c.fromContext ? g_refreshActContext : g_refreshActMenu, c.act);
        ASSERT_NE(g_workerThread, (HANDLE)NULL);
        EXPECT_NE(g_workerThreadId, 0u);
        // The worker said why it stopped.
        EXPECT_TRUE(pump.Until([&] { return StatusText() == L"Вы еще не авторизованы"; }, 10000));
    }
}

TEST_F(Commands, FriendsAndContactsAskForTheirLists)
{
    // Logged out, the worker refuses at once and only reports; no network.
    MainMenus menus;
    const struct {
        UINT id;
        BYTE onlineBefore;
        const char* act;
        BYTE onlineAfter;
    } cases[] = {
        {IDM_FRIENDS, 1, "friends", 0},
        {IDM_FRIENDS, 0, "friends", 0},
        {IDM_CONTACTS, 1, "friends_mutual", 1},
        {IDM_CONTACTS, 0, "friends_mutual", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.id) + " from " + std::to_string(c.onlineBefore));
        g_onlineOnly = c.onlineBefore;
        g_workerThread = NULL;
        SetStatusText(L"-");
        EXPECT_EQ(Command(c.id), 0);
        EXPECT_STREQ(g_refreshActMenu, c.act);
        EXPECT_EQ(g_onlineOnly, c.onlineAfter);
        ASSERT_NE(g_workerThread, (HANDLE)NULL);
        // The worker said why it stopped.
        EXPECT_TRUE(pump.Until([&] { return StatusText() == L"Вы еще не авторизованы"; }, 10000));
        // Both marks show the mode when their menus open.
        OpenPopup(window, menus.Section());
        EXPECT_EQ(IsChecked(menus.Section(), IDM_ALL_ONLINE), c.onlineAfter == 1);
        OpenPopup(window, g_contextMenu);
        EXPECT_EQ(IsChecked(g_contextMenu, IDM_CTX_ONLINE_ALL), c.onlineAfter == 1);
    }
}

TEST_F(Commands, UnhandledIdsGoToTheDefaultProcedure)
{
    // Nothing starts, nothing changes.
    AddRows({L"Анна"});
    SendMessageW(list, LB_SETCURSEL, 0, 0);
    SetStatusText(L"-");
    g_workerThread = NULL;
    const UINT ids[] = {IDM_SELECT_ALL, IDC_FRIEND_LIST, IDM_SOFTKEY_MENU, IDM_SOFTKEY_SECTION};
    for (UINT id : ids) {
        EXPECT_EQ(Command(id), 0) << id;
        EXPECT_TRUE(IsWindowVisible(window)) << id;
    }
    EXPECT_EQ(g_workerThread, (HANDLE)NULL);
    EXPECT_EQ(g_onlineOnly, 1);
    EXPECT_EQ(SendMessageW(list, LB_GETCOUNT, 0, 0), 1);
    EXPECT_EQ(StatusText(), L"-");
}

TEST_F(Commands, CommandsLookOnlyAtTheLowWord)
{
    SendMessageW(list, LB_ADDSTRING, 0, (LPARAM)L"Анна");
    SendMessageW(window, WM_COMMAND, MAKEWPARAM(IDM_CLEAR_LIST, 1), 0);  // as an accelerator
    EXPECT_EQ(SendMessageW(list, LB_GETCOUNT, 0, 0), 0);
}

// ---- the held tap on the list ------------------------------------------

LPARAM PointOfRow(HWND list, int row)
{
    RECT item;
    SendMessageW(list, LB_GETITEMRECT, row, (LPARAM)&item);
    return MAKELPARAM((item.left + item.right) / 2, (item.top + item.bottom) / 2);
}

// A fresh prefix and a loaded machine make the first menu slow to come:
// wait for it generously, never on a guess.
const DWORD kMenuWaitMs = 30000;

class HeldTap : public MainWindowTest {
protected:
    // Presses and holds at the point; the picker chooses from the menu that
    // opens. Returns whether it found that menu to be the context menu.
    bool HoldAt(LPARAM point, MenuPicker& picker)
    {
        PostMessageW(list, WM_LBUTTONDOWN, MK_LBUTTON, point);
        // The press is dispatched only after the menu has come and gone.
        pump.Until([&] { return g_lastPopupMenu != NULL; }, kMenuWaitMs);
        // The stylus lifts; on the device the menu has eaten this already.
        PostMessageW(list, WM_LBUTTONUP, 0, point);
        PumpPendingMessages();
        return picker.Wait() && picker.menu() == g_contextMenu;
    }
};

TEST_F(HeldTap, DeleteFromTheMenuRemovesTheRowUnderTheStylus)
{
    AddRows({L"Анна", L"Борис", L"Вера"});
    MenuPicker picker(IDM_CTX_DELETE, kMenuWaitMs);
    EXPECT_TRUE(HoldAt(PointOfRow(list, 1), picker));
    EXPECT_EQ(g_lastPopupMenu, g_contextMenu);
    ASSERT_EQ(SendMessageW(list, LB_GETCOUNT, 0, 0), 2);
    EXPECT_EQ(ListRow(list, 0), L"Анна");
    EXPECT_EQ(ListRow(list, 1), L"Вера");
}

TEST_F(HeldTap, ToggleFromTheMenuMarksTheContextMenu)
{
    AddRows({L"Анна"});
    MenuPicker picker(IDM_CTX_ONLINE_ALL, kMenuWaitMs);
    EXPECT_TRUE(HoldAt(PointOfRow(list, 0), picker));
    EXPECT_EQ(g_onlineOnly, 0);
    EXPECT_FALSE(IsChecked(g_contextMenu, IDM_CTX_ONLINE_ALL));
    EXPECT_EQ(SendMessageW(list, LB_GETCOUNT, 0, 0), 1);
    // The section menu shows the same truth when it opens next.
    MainMenus menus;
    OpenPopup(window, menus.Section());
    EXPECT_FALSE(IsChecked(menus.Section(), IDM_ALL_ONLINE));
}

TEST_F(HeldTap, ClearFromTheMenuEmptiesTheList)
{
    AddRows({L"Анна", L"Борис"});
    MenuPicker picker(IDM_CTX_CLEAR, kMenuWaitMs);
    EXPECT_TRUE(HoldAt(PointOfRow(list, 0), picker));
    EXPECT_EQ(SendMessageW(list, LB_GETCOUNT, 0, 0), 0);
}

TEST_F(HeldTap, HoldOnAnEmptyListStillOffersTheMenu)
{
    SetStatusText(L"-");
    MenuPicker picker(IDM_CTX_DELETE, kMenuWaitMs);
    EXPECT_TRUE(HoldAt(MAKELPARAM(20, 40), picker));
    EXPECT_EQ(StatusText(), L"Ни один контакт не выделен");
}

TEST_F(HeldTap, DismissedMenuDoesNothing)
{
    AddRows({L"Анна", L"Борис"});
    SetStatusText(L"-");
    MenuPicker picker(MenuPicker::kCancel, kMenuWaitMs);
    EXPECT_TRUE(HoldAt(PointOfRow(list, 1), picker));
    EXPECT_EQ(SendMessageW(list, LB_GETCOUNT, 0, 0), 2);
    EXPECT_EQ(g_onlineOnly, 1);
    EXPECT_EQ(StatusText(), L"-");
    EXPECT_EQ(SendMessageW(list, LB_GETCURSEL, 0, 0), 1);
}

TEST_F(HeldTap, ShortTapSelectsAndShowsNoMenu)
{
    AddRows({L"Анна", L"Борис", L"Вера"});
    std::atomic<bool> stop {false};
    std::atomic<bool> menuSeen {false};
    std::thread watcher([&] {
        while (!stop) {
            if (FindMenuWindow())
                menuSeen = true;
            Sleep(5);
        }
    });
    const LPARAM point = PointOfRow(list, 2);
    PostMessageW(list, WM_LBUTTONDOWN, MK_LBUTTON, point);
    PostMessageW(list, WM_LBUTTONUP, 0, point);
    pump.For(1000);
    stop = true;
    watcher.join();
    EXPECT_FALSE(menuSeen);
    EXPECT_EQ(g_lastPopupMenu, (HMENU)NULL);
    EXPECT_EQ(SendMessageW(list, LB_GETCURSEL, 0, 0), 2);
    EXPECT_EQ(SendMessageW(list, LB_GETCOUNT, 0, 0), 3);
}

// Closes the next pop-up menu of this process one way, from a helper thread.
enum CloseWay { PickWithKeys, PickWithTap, EscapeKey, CancelMode, TapOutside };

class MenuCloser {
public:
    MenuCloser(CloseWay way, UINT item, HWND outside)
        : m_thread([this, way, item, outside] { closed = Close(way, item, outside); })
    {
    }
    ~MenuCloser() { m_thread.join(); }
    std::atomic<bool> closed {false};

private:
    static bool Close(CloseWay way, UINT item, HWND outside)
    {
        HWND menu = WaitForMenuWindow(kMenuWaitMs);
        if (!menu)
            return false;
        DWORD_PTR shown = 0;
        SendMessageTimeoutW(menu, MN_GETHMENU, 0, 0, SMTO_NORMAL, kMenuWaitMs, &shown);
        RECT itemRect = {};
        POINT away = {2, 2};
        switch (way) {
        case PickWithKeys:
            for (int i = KeyStepsTo((HMENU)shown, item); i > 0; --i)
                PostMessageW(menu, WM_KEYDOWN, VK_DOWN, 0);
            PostMessageW(menu, WM_KEYDOWN, VK_RETURN, 0);
            return true;
        case PickWithTap:
            // The menu reads a mouse message's point as a screen point.
            if (!GetMenuItemRect(menu, (HMENU)shown, MenuItemPosition((HMENU)shown, item), &itemRect))
                return false;
            PostMessageW(menu, WM_LBUTTONDOWN, MK_LBUTTON,
                MAKELPARAM((itemRect.left + itemRect.right) / 2, (itemRect.top + itemRect.bottom) / 2));
            PostMessageW(menu, WM_LBUTTONUP, 0,
                MAKELPARAM((itemRect.left + itemRect.right) / 2, (itemRect.top + itemRect.bottom) / 2));
            return true;
        case EscapeKey: PostMessageW(menu, WM_KEYDOWN, VK_ESCAPE, 0); return true;
        case CancelMode: PostMessageW(menu, WM_CANCELMODE, 0, 0); return true;
        case TapOutside:
            ClientToScreen(outside, &away);
            PostMessageW(outside, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(away.x, away.y));
            PostMessageW(outside, WM_LBUTTONUP, 0, MAKELPARAM(away.x, away.y));
            return true;
        }
        return false;
    }
    std::thread m_thread;
};

TEST_F(HeldTap, ListLetsGoAfterTheMenuHoweverItCloses)
{
    const struct {
        CloseWay way;
        UINT item;
        BYTE onlineOnlyAfter;
    } cases[] = {
        {PickWithKeys, IDM_CTX_ONLINE_ALL, 0},
        {PickWithTap, IDM_CTX_ONLINE_ALL, 0},
        {PickWithKeys, IDM_CTX_REFRESH, 1},
        {EscapeKey, 0, 1},
        {CancelMode, 0, 1},
        {TapOutside, 0, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE("way " + std::to_string(c.way) + " item " + std::to_string(c.item));
        g_onlineOnly = 1;
        g_lastPopupMenu = NULL;
        SendMessageW(list, LB_RESETCONTENT, 0, 0);
        AddRows({L"Анна", L"Борис", L"Вера"});
        {
            MenuCloser closer(c.way, c.item, g_clockLabel);
            // Only the press: the menu takes the release on the device.
            PostMessageW(list, WM_LBUTTONDOWN, MK_LBUTTON, PointOfRow(list, 1));
            pump.Until([&] { return g_lastPopupMenu != NULL; }, kMenuWaitMs);
        }
        PumpPendingMessages();
        EXPECT_EQ(g_lastPopupMenu, g_contextMenu);
        EXPECT_EQ(g_onlineOnly, c.onlineOnlyAfter);
        EXPECT_EQ(GetCapture(), (HWND)NULL);
        EXPECT_EQ(SendMessageW(list, LB_GETCURSEL, 0, 0), 1);
        // The pointer wanders over the list with no button down.
        PostMessageW(list, WM_MOUSEMOVE, 0, PointOfRow(list, 2));
        PostMessageW(list, WM_MOUSEMOVE, 0, PointOfRow(list, 0));
        PumpPendingMessages();
        EXPECT_EQ(SendMessageW(list, LB_GETCURSEL, 0, 0), 1);
        EXPECT_EQ(GetCapture(), (HWND)NULL);
    }
    // The refresh case started a worker, which refuses while logged out; its
    // handle is closed once it runs, so its last text is what ends it here.
    EXPECT_TRUE(pump.Until([&] { return StatusText() == TEXT_NOT_LOGGED_IN; }, 10000));
}

TEST_F(HeldTap, ALateStrayMoveDoesNotCancelTheHold)
{
    // Wine queues a move to the pointer's place after every ReleaseCapture;
    // one left from the last menu or tap arrives during the next hold.
    AddRows({L"Анна", L"Борис"});
    SetCapture(window);
    ReleaseCapture();
    PostMessageW(list, WM_MOUSEMOVE, 0, MAKELPARAM(200, 150));
    MenuPicker picker(IDM_CTX_ONLINE_ALL, kMenuWaitMs);
    EXPECT_TRUE(HoldAt(PointOfRow(list, 0), picker));
    EXPECT_EQ(g_onlineOnly, 0);
}

// ---- the About box -------------------------------------------------------

HWND FindAboutBox()
{
    HWND dialog = FindProcessWindow(L"#32770");
    return dialog && IsWindowVisible(dialog) && WindowText(dialog) == L"О проекте Sorvinta" ? dialog : NULL;
}

// The width of an icon's colour image (or of its mask, for a monochrome one).
int IconSide(HICON icon)
{
    ICONINFO info = {};
    if (!icon || !GetIconInfo(icon, &info))
        return 0;
    BITMAP bitmap = {};
    GetObjectW(info.hbmColor ? info.hbmColor : info.hbmMask, sizeof(bitmap), &bitmap);
    if (info.hbmColor)
        DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    return bitmap.bmWidth;
}

// Closes the About box once it shows, the way `close` says, and notes what
// it saw while the box was open.
class AboutCloser {
public:
    explicit AboutCloser(UINT message, WPARAM wParam)
    {
        m_thread = std::thread([this, message, wParam] {
            HWND dialog = WaitForWindow(FindAboutBox, 5000);
            if (!dialog)
                return;
            owner = GetWindow(dialog, GW_OWNER);
            bar = g_menuBar;
            barOwner = GetWindow(bar, GW_OWNER) == dialog;
            HWND icon = GetDlgItem(dialog, IDC_ABOUT_ICON);
            hasIcon = icon != NULL;
            const RECT place = ClientRect(icon);
            iconControlSide = place.right - place.left;
            iconImageSide = IconSide((HICON)SendMessageW(icon, STM_GETICON, 0, 0));
            PostMessageW(dialog, message, wParam, 0);
        });
    }
    ~AboutCloser()
    {
        if (m_thread.joinable())
            m_thread.join();
    }
    std::atomic<HWND> owner {NULL};
    std::atomic<HWND> bar {NULL};
    std::atomic<bool> barOwner {false};
    std::atomic<bool> hasIcon {false};
    std::atomic<int> iconImageSide {0};
    std::atomic<int> iconControlSide {0};

private:
    std::thread m_thread;
};

TEST_F(Commands, AboutBoxClosesWithItsCommandsAndOnClose)
{
    struct Case {
        UINT message;
        WPARAM wParam;
        INT_PTR result;
    };
    const Case cases[] = {
        {WM_COMMAND, IDOK, IDOK},
        {WM_COMMAND, IDM_BAR_CLOSE, IDM_BAR_CLOSE},
        {WM_CLOSE, 0, IDM_BAR_CLOSE},
    };
    for (const Case& c : cases) {
        AboutCloser closer(c.message, c.wParam);
        const INT_PTR result = ShowModalDialog(IDD_ABOUT, AboutDialogProc);
        EXPECT_EQ(result, c.result) << c.message << " " << c.wParam;
        EXPECT_EQ(closer.owner.load(), window);
        EXPECT_TRUE(closer.barOwner.load());
        EXPECT_TRUE(closer.hasIcon.load());
        EXPECT_EQ(FindAboutBox(), (HWND)NULL);
    }
}

// The icon is scaled as the rest of the box is: an image of that size, in a
// control of that size (the system's icon size would stay 32 pixels).
TEST_F(Commands, AboutIconIsScaledForTheScreen)
{
    if (const char* expected = getenv("SORVINTA_EXPECT_DPI"))
        ASSERT_EQ(GetScreenDpiY(), atoi(expected));
    {
        AboutCloser closer(WM_COMMAND, IDOK);
        EXPECT_EQ(ShowModalDialog(IDD_ABOUT, AboutDialogProc), IDOK);
        EXPECT_EQ(closer.iconImageSide.load(), SY(32));
        EXPECT_EQ(closer.iconControlSide.load(), SY(32));
    }
    const struct {
        int dpi;
        int side;
    } cases[] = {{96, 32}, {120, 40}, {144, 48}, {192, 64}};
    for (const auto& c : cases) {
        HICON icon = LoadAboutIcon(c.dpi);
        EXPECT_EQ(IconSide(icon), c.side) << c.dpi;
        if (icon)
            DestroyIcon(icon);
    }
}

TEST_F(Commands, AboutBoxIgnoresOtherCommands)
{
    std::atomic<bool> stillOpen {false};
    std::thread driver([&] {
        HWND dialog = WaitForWindow(FindAboutBox, 5000);
        if (!dialog)
            return;
        PostMessageW(dialog, WM_COMMAND, IDM_BAR_SAVE, 0);
        PostMessageW(dialog, WM_COMMAND, IDM_BAR_SEND, 0);
        Sleep(300);
        stillOpen = IsWindow(dialog) && IsWindowVisible(dialog);
        PostMessageW(dialog, WM_COMMAND, IDM_BAR_CLOSE, 0);
    });
    EXPECT_EQ(ShowModalDialog(IDD_ABOUT, AboutDialogProc), IDM_BAR_CLOSE);
    driver.join();
    EXPECT_TRUE(stillOpen);
}

TEST_F(Commands, AboutCommandOpensTheBoxAndShutdownStillCompletes)
{
    HWND mainBar = g_menuBar;
    {
        AboutCloser closer(WM_COMMAND, IDM_BAR_CLOSE);
        EXPECT_EQ(Command(IDM_ABOUT), 0);
        EXPECT_EQ(closer.owner.load(), window);
        EXPECT_NE(closer.bar.load(), mainBar);
    }
    // g_menuBar now names the About box's bar, which is gone.
    EXPECT_FALSE(IsWindow(g_menuBar));
    EXPECT_TRUE(IsWindow(mainBar));
    SendMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_FALSE(IsWindow(window));
    EXPECT_FALSE(IsWindow(mainBar));
    pump.For(20);
    EXPECT_TRUE(pump.quitSeen);
}

// ---- "Моя страница" --------------------------------------------------------

HWND FindMyPage()
{
    HWND dialog = FindProcessWindow(L"#32770");
    return dialog && IsWindowVisible(dialog) && WindowText(dialog) == L"Моя страница" ? dialog : NULL;
}

// Reads the page once it shows, then closes it with "Закрыть".
struct MyPageReader {
    std::map<int, std::wstring> texts;
    bool allInside = true;
    bool unitsWithTheirNumbers = true;  // no line of the traffic starts with "кб"
    HWND owner = NULL;
    bool ownBar = false;

    // Wraps the text as the label does, at its spaces (a no-break space is
    // none); true when no line starts with "кб" and the label has as many lines.
    static bool UnitsStayWithNumbers(HWND label, const std::wstring& text)
    {
        HDC dc = GetDC(label);
        HGDIOBJ old = SelectObject(dc, (HFONT)SendMessageW(label, WM_GETFONT, 0, 0));
        const RECT client = ClientRect(label);
        auto width = [&](const std::wstring& part) {
            SIZE size = {};
            GetTextExtentPoint32W(dc, part.c_str(), (int)part.size(), &size);
            return (LONG)size.cx;
        };
        bool together = true;
        int lines = 1;
        std::wstring line;
        for (size_t at = 0; at <= text.size();) {
            size_t space = text.find(L' ', at);
            if (space == std::wstring::npos)
                space = text.size();
            const std::wstring word = text.substr(at, space - at);
            if (!line.empty() && width(line + L" " + word) > client.right) {
                ++lines;
                together = together && word.compare(0, 2, L"кб") != 0;
                line = word;
            } else {
                line = line.empty() ? word : line + L" " + word;
            }
            at = space + 1;
        }
        RECT drawn = {0, 0, client.right, 0};
        DrawTextW(dc, text.c_str(), -1, &drawn, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
        TEXTMETRICW metrics = {};
        GetTextMetricsW(dc, &metrics);
        SelectObject(dc, old);
        ReleaseDC(label, dc);
        return together && drawn.bottom == lines * metrics.tmHeight;
    }

    std::thread Start()
    {
        return std::thread([this] {
            HWND dialog = WaitForWindow(FindMyPage, kMenuWaitMs);
            if (!dialog)
                return;
            owner = GetWindow(dialog, GW_OWNER);
            ownBar = GetWindow(g_menuBar, GW_OWNER) == dialog;
            const RECT client = ClientRect(dialog);
            for (int id = IDC_MY_PAGE_EMAIL_LABEL; id <= IDC_MY_PAGE_TRAFFIC; ++id) {
                HWND control = GetDlgItem(dialog, id);
                if (!control)
                    continue;
                texts[id] = WindowText(control);
                if (id == IDC_MY_PAGE_TRAFFIC)
                    unitsWithTheirNumbers = UnitsStayWithNumbers(control, texts[id]);
                RECT r = WindowRect(control);
                MapWindowPoints(NULL, dialog, (POINT*)&r, 2);
                allInside = allInside && r.left >= 0 && r.top >= 0 && r.right <= client.right
                    && r.bottom <= client.bottom;
            }
            PostMessageW(dialog, WM_COMMAND, IDM_BAR_CLOSE, 0);
        });
    }
};

TEST_F(Commands, MyPageShowsWhoIsLoggedInAndTheTraffic)
{
    const struct {
        const char* email;         // Windows-1251
        const wchar_t* statusSet;  // remembered before the page opens, or none
        BYTE loggedIn;
        const char* memberId;
        LONG received, sent;
        const wchar_t *emailShown, *memberShown, *sessionShown, *statusShown, *trafficShown;
    } cases[] = {
        {"", nullptr, 0, "", 0, 0, L"нет", L"нет", L"не выполнен", L"нет",
            L"принято 0.0\u00A0кб, отправлено 0.0\u00A0кб"},
        {"demo@socialnet.example", L"На даче", 1, "12345", 2048, 1024, L"demo@socialnet.example", L"12345",
            L"выполнен", L"На даче", L"принято 2.0\u00A0кб, отправлено 1.0\u00A0кб"},
        // The one set last, not the first.
        {"\xE8\xE2\xE0\xED&co@x.example", L"Дома", 0, "7", 1587, 99, L"иван&co@x.example", L"7",
            L"не выполнен", L"Дома", L"принято 1.5\u00A0кб, отправлено 0.1\u00A0кб"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.email);
        lstrcpynA(g_credentials.email, c.email, sizeof(g_credentials.email));
        g_loggedIn = c.loggedIn;
        lstrcpynA(g_remixmid, c.memberId, sizeof(g_remixmid));
        g_bytesReceived = c.received;
        g_bytesSent = c.sent;
        if (c.statusSet)
            RememberStatus(c.statusSet);
        MyPageReader reader;
        std::thread thread = reader.Start();
        EXPECT_EQ(Command(IDM_MY_PAGE), 0);
        thread.join();
        EXPECT_EQ(reader.owner, window);
        EXPECT_TRUE(reader.ownBar);
        EXPECT_TRUE(reader.allInside);
        EXPECT_TRUE(reader.unitsWithTheirNumbers) << "a line of the traffic starts with кб";
        EXPECT_EQ(reader.texts[IDC_MY_PAGE_EMAIL_LABEL], L"E-mail:");
        EXPECT_EQ(reader.texts[IDC_MY_PAGE_EMAIL], c.emailShown);
        EXPECT_EQ(reader.texts[IDC_MY_PAGE_MEMBER], c.memberShown);
        EXPECT_EQ(reader.texts[IDC_MY_PAGE_SESSION], c.sessionShown);
        EXPECT_EQ(reader.texts[IDC_MY_PAGE_STATUS], c.statusShown);
        EXPECT_EQ(reader.texts[IDC_MY_PAGE_TRAFFIC], c.trafficShown);
        EXPECT_EQ(reader.texts.size(), 10u);
        EXPECT_EQ(FindMyPage(), (HWND)NULL);
    }
    g_loggedIn = 0;
    g_remixmid[0] = 0;
    g_bytesReceived = 0;
    g_bytesSent = 0;
}

}  // namespace
}  // namespace apptest
