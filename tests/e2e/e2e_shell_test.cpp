// The shell seen from outside: start-up state, the soft keys and their
// pop-ups, the About box, single instance, minimise and restore, exit.
#include "e2e_fixture.h"

#include "app/main_window.h"

namespace {

std::wstring ClockText(const SYSTEMTIME& t)
{
    wchar_t text[64];
    swprintf(text, 64, L"%d.%d.%d||%d:%02d||", t.wDay, t.wMonth, t.wYear, t.wHour, t.wMinute);
    return text;
}

class ShellTest : public E2eTest { };

TEST_F(ShellTest, StartsLoggedOutWithEmptyListAndTodaysClock)
{
    SYSTEMTIME before;
    GetLocalTime(&before);
    StartDemo();
    SYSTEMTIME after;
    GetLocalTime(&after);

    EXPECT_EQ(Utf8(TEXT_NOT_LOGGED_IN_AT_START), Utf8(app.StatusText()));
    EXPECT_EQ("0/0 кб", Utf8(app.ControlText(IDC_TRAFFIC_LABEL)));
    EXPECT_EQ(0, app.ListCount());
    const std::wstring clock = app.ControlText(IDC_CLOCK_LABEL);
    EXPECT_TRUE(clock == ClockText(before) || clock == ClockText(after))
        << "clock " << Utf8(clock) << ", expected " << Utf8(ClockText(after));
    EXPECT_TRUE(app.IsMainVisible());
    EXPECT_TRUE(app.SoftKeyBar() != NULL) << "no soft-key bar owned by the main window";
}

TEST_F(ShellTest, MenuKeyOpensMainPopupWhoseAboutItemShowsTheAboutBox)
{
    StartDemo();
    ASSERT_TRUE(app.PressSoftKey(SOFTKEY_RIGHT));
    HWND menu = app.WaitPopupMenu();
    ASSERT_TRUE(menu != NULL) << "\"Меню\" opened no pop-up";
    ASSERT_TRUE(app.ChooseFromPopup(menu, IDM_ABOUT));

    HWND about = app.WaitDialog(L"О проекте Sorvinta");
    ASSERT_TRUE(about != NULL) << "no About dialog appeared";
    // Modal: the main window is disabled, but still serves sent messages.
    EXPECT_TRUE(app.Responsive());
    EXPECT_FALSE(IsWindowEnabled(app.MainWindow()));

    PostMessageW(about, WM_COMMAND, MAKEWPARAM(IDOK, 0), 0);
    EXPECT_TRUE(app.WaitWindowGone(about)) << "IDOK did not close the About box";
    EXPECT_TRUE(IsWindowEnabled(app.MainWindow()));
    EXPECT_TRUE(app.Responsive());
    EXPECT_EQ(Utf8(TEXT_NOT_LOGGED_IN_AT_START), Utf8(app.StatusText()));
}

TEST_F(ShellTest, AboutBoxClosesWithItsCloseSoftKeyCommand)
{
    StartDemo();
    app.Command(IDM_ABOUT);
    HWND about = app.WaitDialog(L"О проекте Sorvinta");
    ASSERT_TRUE(about != NULL);
    PostMessageW(about, WM_COMMAND, MAKEWPARAM(IDM_BAR_CLOSE, 0), 0);
    EXPECT_TRUE(app.WaitWindowGone(about)) << "\"Закрыть\" did not close the About box";
    // The About box's own bar is gone with it; the main window's keys still work.
    ASSERT_TRUE(app.PressSoftKey(SOFTKEY_RIGHT));
    HWND menu = app.WaitPopupMenu();
    ASSERT_TRUE(menu != NULL) << "\"Меню\" no longer opens after the About box";
    EXPECT_TRUE(app.DismissPopup(menu));
}

TEST_F(ShellTest, SectionKeyOpensSectionPopup)
{
    StartDemo();
    ASSERT_TRUE(app.PressSoftKey(SOFTKEY_LEFT));
    HWND menu = app.WaitPopupMenu();
    ASSERT_TRUE(menu != NULL) << "\"Раздел\" opened no pop-up";
    // Its fifth item is "Удалить контакт": with nothing selected it says so.
    app.MarkStatus();
    ASSERT_TRUE(app.ChooseFromPopup(menu, IDM_DELETE_CONTACT));
    EXPECT_TRUE(app.WaitStatus(TEXT_NO_CONTACT)) << Utf8(app.StatusText());
}

TEST_F(ShellTest, DismissedPopupRunsNoCommand)
{
    StartDemo();
    ASSERT_TRUE(app.PressSoftKey(SOFTKEY_RIGHT));
    HWND menu = app.WaitPopupMenu();
    ASSERT_TRUE(menu != NULL);
    ASSERT_TRUE(app.DismissPopup(menu));
    Sleep(300);
    EXPECT_TRUE(app.Running());
    EXPECT_TRUE(app.IsMainVisible());
    EXPECT_EQ(Utf8(TEXT_NOT_LOGGED_IN_AT_START), Utf8(app.StatusText()));
}

TEST_F(ShellTest, SecondInstanceExitsWithZeroAndLeavesOneWindow)
{
    StartDemo();
    ASSERT_EQ(1, CountMainWindows());
    DWORD code = 12345;
    ASSERT_TRUE(app.StartSecondInstance(15000, &code)) << "the second process did not end";
    EXPECT_EQ(0u, code);
    EXPECT_EQ(1, CountMainWindows());
    EXPECT_TRUE(app.Running());
    EXPECT_TRUE(app.Responsive());
}

TEST_F(ShellTest, ExitCommandEndsWithCodeZero)
{
    StartDemo();
    app.Command(IDM_EXIT);
    DWORD code = 12345;
    ASSERT_TRUE(app.WaitExit(10000, &code)) << "\"Выход\" did not end the program";
    EXPECT_EQ(0u, code);
    EXPECT_EQ(0, CountMainWindows());
}

TEST_F(ShellTest, ExitThroughTheMenuPopup)
{
    StartDemo();
    ASSERT_TRUE(app.ChooseFromSoftKey(SOFTKEY_RIGHT, IDM_EXIT));
    DWORD code = 12345;
    ASSERT_TRUE(app.WaitExit(10000, &code)) << "\"Выход\" from the pop-up did not end the program";
    EXPECT_EQ(0u, code);
}

TEST_F(ShellTest, MinimiseHidesAndTheNotifyIconBringsBack)
{
    StartDemo();
    app.Command(IDM_MINIMISE);
    ASSERT_TRUE(app.WaitMainVisible(false)) << "\"Свернуть программу\" did not hide the window";

    // Other notification messages leave it hidden.
    PostMessageW(app.MainWindow(), WM_NOTIFY_ICON, ID_NOTIFY_ICON, WM_LBUTTONUP);
    PostMessageW(app.MainWindow(), WM_NOTIFY_ICON, ID_NOTIFY_ICON + 1, WM_LBUTTONDOWN);
    EXPECT_TRUE(app.Responsive());
    EXPECT_FALSE(app.IsMainVisible());

    PostMessageW(app.MainWindow(), WM_NOTIFY_ICON, ID_NOTIFY_ICON, WM_LBUTTONDOWN);
    EXPECT_TRUE(app.WaitMainVisible(true)) << "the notification icon did not show the window";

    // The way a user has: the icon at the right end of the navigation bar.
    app.Command(IDM_MINIMISE);
    ASSERT_TRUE(app.WaitMainVisible(false));
    ASSERT_TRUE(app.TapNotifyIcon()) << "no navigation bar";
    EXPECT_TRUE(app.WaitMainVisible(true)) << "a tap on the navigation bar's icon did not show the window";
}

TEST_F(ShellTest, StartsWithoutSettingsFile)
{
    ASSERT_TRUE(app.Start(std::string())) << app.Error();
    EXPECT_EQ(Utf8(TEXT_NOT_LOGGED_IN_AT_START), Utf8(app.StatusText()));
    // Empty credentials: the login is refused by the server, nothing breaks.
    const std::wstring text = app.CommandAndWait(IDM_CONNECT);
    EXPECT_NE(Utf8(TEXT_LOGGED_IN), Utf8(text));
    EXPECT_TRUE(app.Responsive());
    EXPECT_TRUE(LoggedOut());
}

}  // namespace
