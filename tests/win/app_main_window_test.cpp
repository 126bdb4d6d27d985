// The main window as created: children, layout, clock, screen changes, the
// notification icon, single instance and shutdown.
#include "app_window_fixture.h"

#include <shellapi.h>

#include <atomic>
#include <cstring>
#include <thread>

#include "app/clock_text.h"
#include "app/friend_list_view.h"
#include "app/status_tip.h"
#include "platform/standin_control.h"

namespace apptest {
namespace {

bool NotifyIconExists(HWND window)
{
    return FakeTray::Get().Has(window, ID_NOTIFY_ICON);
}

// The list box keeps whole rows (no LBS_NOINTEGRALHEIGHT), so it may end up
// to one row shorter than it was given; everything else is exact.
void ExpectListPlacedAt(HWND list, const RECT& given)
{
    const RECT actual = ChildRect(list);
    const int rowHeight = (int)SendMessageW(list, LB_GETITEMHEIGHT, 0, 0);
    EXPECT_EQ(actual.left, given.left);
    EXPECT_EQ(actual.top, given.top);
    EXPECT_EQ(actual.right, given.right);
    EXPECT_LE(actual.bottom, given.bottom);
    EXPECT_GT(actual.bottom, given.bottom - rowHeight);
}

std::wstring ClockMinutesAgo(int minutes)
{
    SYSTEMTIME time;
    GetLocalTime(&time);
    FILETIME stamp;
    SystemTimeToFileTime(&time, &stamp);
    ULARGE_INTEGER ticks;
    ticks.LowPart = stamp.dwLowDateTime;
    ticks.HighPart = stamp.dwHighDateTime;
    ticks.QuadPart -= (ULONGLONG)minutes * 60 * 10000000;
    stamp.dwLowDateTime = ticks.LowPart;
    stamp.dwHighDateTime = ticks.HighPart;
    FileTimeToSystemTime(&stamp, &time);
    wchar_t text[CLOCK_TEXT_SIZE];
    FormatClockText(time, text);
    return text;
}

std::wstring ClockNow()
{
    return ClockMinutesAgo(0);
}

using MainWindow = MainWindowTest;

TEST_F(MainWindow, ChildrenHaveTheirIdsClassesStylesAndTexts)
{
    struct Child {
        int id;
        HWND expected;
        const wchar_t* className;
        DWORD style;
    };
    const Child children[] = {
        {IDC_CLOCK_LABEL, g_clockLabel, L"Static", WS_CHILD | WS_VISIBLE},
        {IDC_TRAFFIC_LABEL, g_trafficLabel, L"Static", WS_CHILD | WS_VISIBLE},
        {IDC_FRIEND_LIST, g_friendList, L"ListBox", 0x50A01003},
        {IDC_STATUS_BAR, g_statusBar, STATUSCLASSNAMEW, WS_CHILD | WS_VISIBLE | CCS_NORESIZE},
    };
    for (const Child& c : children) {
        HWND child = GetDlgItem(window, c.id);
        ASSERT_NE(child, (HWND)NULL) << c.id;
        EXPECT_EQ(child, c.expected) << c.id;
        EXPECT_EQ(lstrcmpiW(ClassName(child).c_str(), c.className), 0) << c.id;
        EXPECT_EQ((DWORD)GetWindowLongW(child, GWL_STYLE) & c.style, c.style) << c.id;
        EXPECT_EQ(GetParent(child), window) << c.id;
    }
    EXPECT_EQ(GetWindowLongW(list, GWL_STYLE) & LBS_SORT, LBS_SORT);
    EXPECT_EQ(WindowText(g_trafficLabel), L"0/0 кб");
    EXPECT_EQ(StatusText(), L"Вы не авторизованы");
    EXPECT_EQ(SendMessageW(list, LB_GETCOUNT, 0, 0), 0);
    // The clock was filled at creation, a minute ago at most.
    const std::wstring clock = WindowText(g_clockLabel);
    EXPECT_TRUE(clock == ClockNow() || clock == ClockMinutesAgo(1)) << clock;
}

TEST_F(MainWindow, CreationKeepsItsHandlesAndHooks)
{
    EXPECT_EQ(GetWindowLongPtrW(list, GWLP_WNDPROC), (LONG_PTR)FriendListProc);
    EXPECT_NE(g_friendListDefaultProc, (WNDPROC)NULL);
    EXPECT_NE(g_friendListDefaultProc, FriendListProc);
    ASSERT_TRUE(IsMenu(g_contextMenu));
    const UINT contextIds[]
        = {IDM_CTX_REFRESH, IDM_CTX_ONLINE_ALL, IDM_CTX_MESSAGE, IDM_CTX_CLEAR, IDM_CTX_DELETE};
    ASSERT_EQ(GetMenuItemCount(g_contextMenu), 5);
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(GetMenuItemID(g_contextMenu, i), contextIds[i]) << i;
    EXPECT_EQ(g_activateInfo.cbSize, sizeof(SHACTIVATEINFO));
    EXPECT_EQ(g_instance, GetModuleHandleW(NULL));
    ASSERT_NE(g_menuBar, (HWND)NULL);
    EXPECT_EQ(GetWindow(g_menuBar, GW_OWNER), window);
    EXPECT_TRUE(NotifyIconExists(window));
    // The clock timer runs: killing it succeeds exactly once.
    EXPECT_TRUE(KillTimer(window, IDT_CLOCK));
    EXPECT_FALSE(KillTimer(window, IDT_CLOCK));
}

TEST_F(MainWindow, NotificationIconIsAddedWithItsCallback)
{
    ASSERT_TRUE(FakeTray::Get().Present());
    const std::vector<FakeTray::Request>& requests = FakeTray::Get().requests;
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].action, (DWORD)NIM_ADD);
    EXPECT_EQ(requests[0].window, (UINT)(UINT_PTR)window);
    EXPECT_EQ(requests[0].id, (UINT)ID_NOTIFY_ICON);
    EXPECT_EQ(requests[0].flags, (UINT)(NIF_MESSAGE | NIF_ICON));
    EXPECT_EQ(requests[0].callback, (UINT)WM_NOTIFY_ICON);
}

TEST_F(MainWindow, TitleClassAndStyleComeFromTheStringTable)
{
    EXPECT_EQ(WindowText(window), L"Sorvinta");
    EXPECT_EQ(ClassName(window), L"SORVINTA");
    EXPECT_TRUE(IsWindowVisible(window));
    EXPECT_EQ(GetParent(window), (HWND)NULL);
    EXPECT_EQ(FindWindowW(L"SORVINTA", L"Sorvinta"), window);
}

TEST_F(MainWindow, LayoutFollowsTheWindowRectangleAtCreation)
{
    ASSERT_NE(g_menuBar, (HWND)NULL);
    RECT frame, bar;
    GetWindowRect(window, &frame);
    GetWindowRect(g_menuBar, &bar);
    const int barHeight = bar.bottom - bar.top;
    EXPECT_EQ(barHeight, 26);
    // The window gave way to the bar after its children were laid out.
    const int width = frame.right;
    const int height = frame.bottom - frame.top + barHeight;

    struct Place {
        int id;
        RECT expected;
    };
    const Place places[] = {
        {IDC_CLOCK_LABEL, {0, 0, 110, 20}},
        {IDC_TRAFFIC_LABEL, {110, 0, 190, 20}},
        {IDC_STATUS_BAR, {0, height - 48, width, height - 48 + 22}},
    };
    for (const Place& p : places) {
        const RECT actual = ChildRect(GetDlgItem(window, p.id));
        EXPECT_EQ(actual.left, p.expected.left) << p.id;
        EXPECT_EQ(actual.top, p.expected.top) << p.id;
        EXPECT_EQ(actual.right, p.expected.right) << p.id;
        EXPECT_EQ(actual.bottom, p.expected.bottom) << p.id;
    }
    ExpectListPlacedAt(list, {0, 20, width, 20 + height - 68});
}

TEST_F(MainWindow, ClockFormatPadsOnlyTheMinute)
{
    struct Case {
        WORD day, month, year, hour, minute;
        const wchar_t* expected;
    };
    const Case cases[] = {
        {7, 12, 2026, 9, 5, L"7.12.2026||9:05||"},
        {7, 12, 2026, 14, 30, L"7.12.2026||14:30||"},
        {7, 12, 2026, 0, 0, L"7.12.2026||0:00||"},
        {1, 1, 2027, 23, 10, L"1.1.2027||23:10||"},
        {3, 4, 2026, 5, 9, L"3.4.2026||5:09||"},
    };
    for (const Case& c : cases) {
        SYSTEMTIME time = {};
        time.wDay = c.day;
        time.wMonth = c.month;
        time.wYear = c.year;
        time.wHour = c.hour;
        time.wMinute = c.minute;
        time.wSecond = 42;
        wchar_t text[CLOCK_TEXT_SIZE];
        FormatClockText(time, text);
        EXPECT_STREQ(text, c.expected);
    }
}

TEST_F(MainWindow, AnyTimerRefreshesTheClockLabel)
{
    for (WPARAM id : {(WPARAM)IDT_CLOCK, (WPARAM)7, (WPARAM)0}) {
        SetWindowTextW(g_clockLabel, L"-");
        std::wstring before, after;
        do {  // retry across a minute boundary
            before = ClockNow();
            SendMessageW(window, WM_TIMER, id, 0);
            after = ClockNow();
        } while (before != after);
        EXPECT_EQ(WindowText(g_clockLabel), after) << id;
    }
}

TEST_F(MainWindow, ScreenResetLaysOutListAndStatusBar)
{
    const RECT clock = ChildRect(g_clockLabel);
    const RECT traffic = ChildRect(g_trafficLabel);
    const RECT status = ChildRect(g_statusBar);
    const RECT rows = ChildRect(list);

    // Other setting changes move nothing.
    for (WPARAM other : {(WPARAM)0, (WPARAM)SPI_SETWORKAREA, (WPARAM)0x3001, (WPARAM)0x3003}) {
        SendMessageW(window, WM_SETTINGCHANGE, other, 0);
        EXPECT_TRUE(SameRect(status, ChildRect(g_statusBar))) << other;
        EXPECT_TRUE(SameRect(rows, ChildRect(list))) << other;
    }

    // Nudge them so the reset layout has something to undo.
    MoveWindow(g_statusBar, 5, 5, 10, 10, FALSE);
    MoveWindow(list, 5, 5, 10, 10, FALSE);
    SendMessageW(window, WM_SETTINGCHANGE, 0x3002, 0);
    const int cx = GetSystemMetrics(SM_CXSCREEN);
    const int cy = GetSystemMetrics(SM_CYSCREEN);
    const RECT expectedStatus = {0, cy - 74, cx, cy - 74 + 22};
    const RECT expectedRows = {0, 20, cx, 20 + cy - 94};
    const RECT newStatus = ChildRect(g_statusBar);
    EXPECT_TRUE(EqualRect(&expectedStatus, &newStatus))
        << newStatus.left << "," << newStatus.top << "," << newStatus.right << "," << newStatus.bottom;
    ExpectListPlacedAt(list, expectedRows);
    EXPECT_TRUE(SameRect(clock, ChildRect(g_clockLabel)));
    EXPECT_TRUE(SameRect(traffic, ChildRect(g_trafficLabel)));
}

TEST_F(MainWindow, HideAndShowThroughTheNotificationIcon)
{
    Command(IDM_MINIMISE);
    EXPECT_FALSE(IsWindowVisible(window));
    EXPECT_TRUE(IsWindow(window));

    struct Ignored {
        WPARAM icon;
        LPARAM mouse;
    };
    const Ignored ignored[] = {
        {ID_NOTIFY_ICON, WM_LBUTTONUP},
        {ID_NOTIFY_ICON, WM_MOUSEMOVE},
        {ID_NOTIFY_ICON, WM_RBUTTONDOWN},
        {ID_NOTIFY_ICON, WM_LBUTTONDBLCLK},
        {ID_NOTIFY_ICON + 1, WM_LBUTTONDOWN},
        {0, WM_LBUTTONDOWN},
    };
    for (const Ignored& i : ignored) {
        EXPECT_EQ(SendMessageW(window, WM_NOTIFY_ICON, i.icon, i.mouse), 0);
        EXPECT_FALSE(IsWindowVisible(window)) << i.icon << " " << i.mouse;
    }

    EXPECT_EQ(SendMessageW(window, WM_NOTIFY_ICON, ID_NOTIFY_ICON, WM_LBUTTONDOWN), 0);
    EXPECT_TRUE(IsWindowVisible(window));
    EXPECT_EQ(GetForegroundWindow(), window);
}

TEST_F(MainWindow, NavigationBarIconBringsTheHiddenWindowBack)
{
    // Icon 101, small, at the right end of the navigation bar.
    HWND bar = StandinGetTopBar();
    ASSERT_NE(bar, (HWND)NULL);
    RECT place = {};
    HICON image = NULL;
    ASSERT_TRUE(StandinGetNotifyIcon(window, ID_NOTIFY_ICON, &place, &image));
    EXPECT_EQ(place.right, ClientRect(bar).right);
    ICONINFO info = {};
    ASSERT_TRUE(GetIconInfo(image, &info));
    BITMAP bitmap = {};
    GetObjectW(info.hbmColor, sizeof(bitmap), &bitmap);
    EXPECT_EQ(bitmap.bmWidth, GetSystemMetrics(SM_CXSMICON));
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);

    for (int round = 0; round < 2; ++round) {
        Command(IDM_MINIMISE);
        ASSERT_FALSE(IsWindowVisible(window));
        PostClick(bar, (place.left + place.right) / 2, (place.top + place.bottom) / 2);
        EXPECT_TRUE(pump.Until([&] { return IsWindowVisible(window) != FALSE; }, 5000)) << round;
        EXPECT_EQ(GetForegroundWindow(), window);
    }
}

// The texts a 240-pixel status bar cuts: a tap shows them whole.
TEST_F(MainWindow, StatusBarTapShowsTheWholeText)
{
    const wchar_t* longText = L"Неверный email или пароль, при следующей попытке нужно ввести captcha";
    enum Close { TapOnTip, TapOnBarAgain, Timeout };
    const Close ways[] = {TapOnTip, TapOnBarAgain, Timeout};
    // The device's width, whatever the test screen is.
    const RECT home = ChildRect(g_statusBar);
    MoveWindow(g_statusBar, home.left, home.top, 240, home.bottom - home.top, FALSE);
    for (Close way : ways) {
        SCOPED_TRACE(way);
        SetStatusText(longText);
        const RECT bar = WindowRect(g_statusBar);
        PostClick(g_statusBar, 10, 10);
        ASSERT_TRUE(pump.Until([] { return GetStatusTip() != NULL; }, 5000));
        HWND tip = GetStatusTip();
        EXPECT_TRUE(IsWindowVisible(tip));
        EXPECT_EQ(WindowText(tip), longText);
        EXPECT_EQ(StatusText(), longText) << "the bar's text stays as it is";
        EXPECT_NE(GetForegroundWindow(), tip);
        // Over the bar, as wide, and tall enough for the wrapped text.
        const RECT place = WindowRect(tip);
        EXPECT_EQ(place.left, bar.left);
        EXPECT_EQ(place.right, bar.right);
        EXPECT_EQ(place.bottom, bar.bottom);
        EXPECT_GT(place.bottom - place.top, bar.bottom - bar.top);
        RECT need = ClientRect(tip);
        InflateRect(&need, -3, -3);
        const LONG room = need.bottom;
        HDC dc = GetDC(tip);
        HGDIOBJ old = SelectObject(dc, (HGDIOBJ)SendMessageW(g_statusBar, WM_GETFONT, 0, 0));
        DrawTextW(dc, longText, -1, &need, DT_WORDBREAK | DT_NOPREFIX | DT_CALCRECT);
        SelectObject(dc, old);
        ReleaseDC(tip, dc);
        EXPECT_LE(need.bottom, room) << "the text fits the tip";

        if (way == TapOnTip)
            PostClick(tip, 10, 5);
        else if (way == TapOnBarAgain)
            PostClick(g_statusBar, 10, 10);
        EXPECT_TRUE(pump.Until([&] { return !IsWindow(tip); }, STATUS_TIP_SHOW_MS + 10000));
        EXPECT_EQ(GetStatusTip(), (HWND)NULL);
    }
    // Over a list long enough to scroll, the tip keeps clear of the list's
    // scroll bar, which stays in reach.
    const RECT listHome = ChildRect(g_friendList);
    MoveWindow(g_friendList, listHome.left, listHome.top, 240, listHome.bottom - listHome.top, TRUE);
    for (int row = 0; row < 60; ++row)
        SendMessageW(g_friendList, LB_ADDSTRING, 0, (LPARAM)L"Анна Иванова");
    SCROLLBARINFO scroll = {};
    scroll.cbSize = sizeof(scroll);
    ASSERT_TRUE(GetScrollBarInfo(g_friendList, OBJID_VSCROLL, &scroll));
    ASSERT_FALSE(scroll.rgstate[0] & STATE_SYSTEM_INVISIBLE) << "the list shows no scroll bar";
    SetStatusText(longText);
    PostClick(g_statusBar, 10, 10);
    ASSERT_TRUE(pump.Until([] { return GetStatusTip() != NULL; }, 5000));
    // The tip spans the bar; what of it shows leaves the scroll bar out.
    const RECT tip = WindowRect(GetStatusTip());
    EXPECT_EQ(tip.right, WindowRect(g_statusBar).right);
    EXPECT_GT(tip.bottom - tip.top, WindowRect(g_statusBar).bottom - WindowRect(g_statusBar).top);
    HRGN shape = CreateRectRgn(0, 0, 0, 0);
    if (GetWindowRgn(GetStatusTip(), shape) == ERROR)
        SetRectRgn(shape, 0, 0, tip.right - tip.left, tip.bottom - tip.top);
    OffsetRgn(shape, tip.left, tip.top);
    EXPECT_FALSE(RectInRegion(shape, &scroll.rcScrollBar))
        << "the tip covers the scroll bar from " << scroll.rcScrollBar.left << "," << scroll.rcScrollBar.top;
    POINT barCorner = {tip.right - 2, tip.bottom - 2};
    EXPECT_TRUE(PtInRegion(shape, barCorner.x, barCorner.y)) << "the status bar's text shows beside the tip";
    DeleteObject(shape);
    CloseStatusTip();
    SendMessageW(g_friendList, LB_RESETCONTENT, 0, 0);
    MoveWindow(g_friendList, listHome.left, listHome.top, listHome.right - listHome.left,
        listHome.bottom - listHome.top, TRUE);

    // A short text shows in a tip as tall as the bar.
    SetStatusText(L"-");
    PostClick(g_statusBar, 10, 10);
    ASSERT_TRUE(pump.Until([] { return GetStatusTip() != NULL; }, 5000));
    EXPECT_EQ(WindowRect(GetStatusTip()).top, WindowRect(g_statusBar).top);
    // Hiding the program takes the tip along.
    Command(IDM_MINIMISE);
    EXPECT_EQ(GetStatusTip(), (HWND)NULL);
}

// A newer text takes the older one's tip away, whichever thread sets it (the
// workers set theirs from their own): the tip would give an old outcome as
// the current one.
TEST_F(MainWindow, NewerStatusTextClosesTheTip)
{
    const wchar_t* longText = L"Неверный email или пароль, при следующей попытке нужно ввести captcha";
    const wchar_t* shortText = L"Прием запроса...";
    const RECT home = ChildRect(g_statusBar);
    MoveWindow(g_statusBar, home.left, home.top, 240, home.bottom - home.top, FALSE);
    const bool fromWorker[] = {false, true, false};
    for (bool worker : fromWorker) {
        SCOPED_TRACE(worker ? "worker" : "window's thread");
        SetStatusText(longText);
        PostClick(g_statusBar, 10, 10);
        ASSERT_TRUE(pump.Until([] { return GetStatusTip() != NULL; }, 5000));
        HWND tip = GetStatusTip();
        if (worker) {
            std::atomic<bool> set(false);
            std::thread thread([&] {
                SetStatusText(shortText);
                set = true;
            });
            EXPECT_TRUE(pump.Until([&] { return set.load(); }, STATUS_TIP_SHOW_MS));
            thread.join();
        } else {
            SetStatusText(shortText);
        }
        // Gone with the text, not with its timer.
        EXPECT_FALSE(IsWindow(tip));
        EXPECT_EQ(GetStatusTip(), (HWND)NULL);
        EXPECT_EQ(StatusText(), shortText);
    }
}

TEST_F(MainWindow, SecondStartFindsTheFirstWindowAndCreatesNothing)
{
    HWND bar = g_menuBar;
    EXPECT_FALSE(InitMainWindow(GetModuleHandleW(NULL), SW_SHOW));
    EXPECT_EQ(g_mainWindow, window);
    EXPECT_EQ(g_menuBar, bar);
    int windows = 0;
    for (HWND w = FindWindowExW(NULL, NULL, L"SORVINTA", NULL); w;
         w = FindWindowExW(NULL, w, L"SORVINTA", NULL))
        ++windows;
    EXPECT_EQ(windows, 1);
}

TEST_F(MainWindow, DestroyUndoesWhatCreationSetUp)
{
    // WM_DESTROY alone runs the shutdown steps while the windows still
    // exist, so their effect can be looked at.
    HMENU context = g_contextMenu;
    ASSERT_TRUE(NotifyIconExists(window));
    ASSERT_TRUE(StandinGetNotifyIcon(window, ID_NOTIFY_ICON, NULL, NULL));
    SendMessageW(window, WM_DESTROY, 0, 0);
    EXPECT_FALSE(IsMenu(context));
    EXPECT_FALSE(NotifyIconExists(window));
    EXPECT_FALSE(StandinGetNotifyIcon(window, ID_NOTIFY_ICON, NULL, NULL)) << "gone from the navigation bar";
    EXPECT_FALSE(KillTimer(window, IDT_CLOCK));
    EXPECT_EQ(GetWindowLongPtrW(list, GWLP_WNDPROC), (LONG_PTR)g_friendListDefaultProc);
    MSG quit;
    ASSERT_TRUE(PeekMessageW(&quit, NULL, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(quit.wParam, 0u);
}

TEST_F(MainWindow, CloseDestroysTheWindowAndEndsTheLoop)
{
    HWND bar = g_menuBar;
    SendMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_FALSE(IsWindow(window));
    EXPECT_FALSE(IsWindow(bar));
    EXPECT_FALSE(NotifyIconExists(window));
    pump.For(20);
    EXPECT_TRUE(pump.quitSeen);
    EXPECT_EQ(pump.quitCode, 0u);
    // A worker's late status text finds no window and is dropped.
    SetStatusText(L"поздно");
}

TEST_F(MainWindow, ExitCommandClosesTheWindow)
{
    EXPECT_EQ(Command(IDM_EXIT), 0);
    EXPECT_FALSE(IsWindow(window));
    pump.For(20);
    EXPECT_TRUE(pump.quitSeen);
}

TEST_F(MainWindow, StatusTextReplacesTheStatusBarText)
{
    SetStatusText(L"Загружено 3 друзей");
    EXPECT_EQ(StatusText(), L"Загружено 3 друзей");
    // From another thread too: the send is served while this thread pumps.
    HANDLE worker = CreateThread(
        NULL, 0,
        [](LPVOID) -> DWORD {
            SetStatusText(L"Прием запроса...");
            return 0;
        },
        NULL, 0, NULL);
    ASSERT_NE(worker, (HANDLE)NULL);
    EXPECT_TRUE(pump.Until([&] { return WaitForSingleObject(worker, 0) == WAIT_OBJECT_0; }, 5000));
    CloseHandle(worker);
    EXPECT_EQ(StatusText(), L"Прием запроса...");
}

class MainWindowWithSettings : public MainWindowTest {
protected:
    void SetUp() override
    {
        DeleteFileW(SettingsPathBesideExe().c_str());
        ResetState();
        HANDLE file = CreateFileW(SettingsPathBesideExe().c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS,
            FILE_ATTRIBUTE_NORMAL, NULL);
        ASSERT_NE(file, INVALID_HANDLE_VALUE);
        const char text[] = "[socialnet.example]\r\nemail=demo@socialnet.example\r\npassword=demo123\r\n";
        DWORD written = 0;
        WriteFile(file, text, sizeof(text) - 1, &written, NULL);
        CloseHandle(file);
        ASSERT_TRUE(InitMainWindow(GetModuleHandleW(NULL), SW_SHOW));
        window = g_mainWindow;
        list = GetDlgItem(window, IDC_FRIEND_LIST);
    }
};

TEST_F(MainWindowWithSettings, CreationLoadsTheCredentials)
{
    EXPECT_STREQ(g_credentials.email, "demo@socialnet.example");
    EXPECT_STREQ(g_credentials.password, "demo123");
}

TEST_F(MainWindow, MissingSettingsLeaveTheCredentialsEmpty)
{
    EXPECT_EQ(g_credentials.email[0], 0);
    EXPECT_EQ(g_credentials.password[0], 0);
}

}  // namespace
}  // namespace apptest
