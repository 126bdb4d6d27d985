#include "app/main_window.h"

#include <commctrl.h>
#include <shellapi.h>
#include <aygshell.h>

#include "app/app_state.h"
#include "app/captcha_dialog.h"
#include "app/clock_text.h"
#include "app/commands.h"
#include "app/friend_list_view.h"
#include "app/status_tip.h"
#include "app/app_texts.h"
#include "base/bench_marks.h"
#include "net/captcha.h"
#include "resources/resource.h"
#include "settings/settings_file.h"
#include "ui/bar_heights.h"
#include "ui/dpi.h"

namespace {

// Layout of the main window on a 96-dpi screen, scaled with SX()/SY() like the
// dialogs: on a VGA screen the bars and labels are twice as tall, as their
// text is.
enum {
    TOP_ROW_HEIGHT = 20,
    CLOCK_WIDTH = 110,
    TRAFFIC_X = 110,
    TRAFFIC_WIDTH = 80,
    // Status bar top above the window bottom: soft-key bar plus status bar.
    STATUS_FROM_BOTTOM = SOFT_KEY_BAR_HEIGHT + STATUS_BAR_HEIGHT,
    // List height lost to the top row, the status bar and the soft-key bar.
    LIST_HEIGHT_LOSS = TOP_ROW_HEIGHT + STATUS_FROM_BOTTOM,
};

const DWORD FRIEND_LIST_STYLE
    = WS_CHILD | WS_VISIBLE | WS_BORDER | WS_VSCROLL | LBS_NOTIFY | LBS_SORT | LBS_DISABLENOSCROLL;

HICON LoadAppIcon(HINSTANCE instance)
{
    return LoadIconW(instance, MAKEINTRESOURCEW(IDI_SORVINTA));
}

HWND CreateChild(HWND parent, const wchar_t* className, const wchar_t* text, DWORD style, int x, int y,
    int width, int height, int id)
{
    return CreateWindowExW(
        0, className, text, style, x, y, width, height, parent, (HMENU)(INT_PTR)id, g_instance, NULL);
}

// Children keep the default font. On the device that is Tahoma; the
// desktop's default is the bitmap System font, so give them the GUI font
// there to look the same.
void UseDeviceFont(HWND control)
{
#ifndef _WIN32_WCE
    SendMessageW(control, WM_SETFONT, (WPARAM)GetStockObject(DEFAULT_GUI_FONT), FALSE);
#else
    (void)control;
#endif
}

void CreateStatusBar(HWND window, int width, int height)
{
    // A settings file that gave no usable account says so at once.
    const wchar_t* settingsProblem = SettingsProblemText();
    g_statusBar = CreateStatusWindowW(WS_CHILD | WS_VISIBLE | CCS_NORESIZE,
        settingsProblem ? settingsProblem : TEXT_NOT_LOGGED_IN_AT_START, window, IDC_STATUS_BAR);
    MoveWindow(g_statusBar, 0, height - SY(STATUS_FROM_BOTTOM), width, SY(STATUS_BAR_HEIGHT), FALSE);
}

void CreateFriendList(HWND window, int width, int height)
{
    g_friendList = CreateChild(window, L"LISTBOX", NULL, FRIEND_LIST_STYLE, 0, SY(TOP_ROW_HEIGHT), width,
        height - SY(LIST_HEIGHT_LOSS), IDC_FRIEND_LIST);
    UseDeviceFont(g_friendList);
    // Keep the list's own procedure before ours can run, so the pass-through
    // never meets an empty pointer.
    g_friendListDefaultProc = (WNDPROC)GetWindowLongPtrW(g_friendList, GWLP_WNDPROC);
    SetWindowLongPtrW(g_friendList, GWLP_WNDPROC, (LONG_PTR)FriendListProc);
}

void LoadContextMenu()
{
    // Detach the pop-up from its menu so that destroying it at shutdown
    // releases everything that was loaded.
    HMENU loaded = LoadMenuW(g_instance, MAKEINTRESOURCEW(IDR_LIST_CONTEXT));
    g_contextMenu = GetSubMenu(loaded, 0);
    if (g_contextMenu)
        RemoveMenu(loaded, 0, MF_BYPOSITION);
    DestroyMenu(loaded);
}

void CreateLabels(HWND window)
{
    g_clockLabel = CreateChild(window, L"STATIC", NULL, WS_CHILD | WS_VISIBLE, 0, 0, SX(CLOCK_WIDTH),
        SY(TOP_ROW_HEIGHT), IDC_CLOCK_LABEL);
    UseDeviceFont(g_clockLabel);
    UpdateClock();
    g_trafficLabel = CreateChild(window, L"STATIC", TEXT_TRAFFIC_START, WS_CHILD | WS_VISIBLE, SX(TRAFFIC_X),
        0, SX(TRAFFIC_WIDTH), SY(TOP_ROW_HEIGHT), IDC_TRAFFIC_LABEL);
    UseDeviceFont(g_trafficLabel);
}

LRESULT OnCreate(HWND window)
{
    CreateSoftKeyBar(window, IDR_MAIN);
    MarkBench(BenchMarkSettingsStart);
    LoadSettings();
    MarkBench(BenchMarkSettingsDone);
    SetTimer(window, IDT_CLOCK, CLOCK_PERIOD_MS, NULL);

    RECT frame;
    GetWindowRect(window, &frame);
    const int width = frame.right;
    const int height = frame.bottom - frame.top;
    CreateStatusBar(window, width, height);
    CreateFriendList(window, width, height);
    LoadContextMenu();
    CreateLabels(window);

    AddNotifyIcon(window, ID_NOTIFY_ICON, LoadAppIcon(g_instance));
    ZeroMemory(&g_activateInfo, sizeof(g_activateInfo));
    g_activateInfo.cbSize = sizeof(g_activateInfo);
    return 0;
}

LRESULT OnDestroy(HWND window)
{
    // After a dialog made its own bar, g_menuBar names that bar, long gone;
    // only a bar of this window is ours to destroy.
    if (g_menuBar && GetWindow(g_menuBar, GW_OWNER) == window)
        DestroyWindow(g_menuBar);
    g_menuBar = NULL;
    DestroyMenu(g_contextMenu);
    g_contextMenu = NULL;
    RemoveNotifyIcon(window, ID_NOTIFY_ICON, LoadAppIcon(g_instance));
    KillTimer(window, IDT_CLOCK);
    SetWindowLongPtrW(GetDlgItem(window, IDC_FRIEND_LIST), GWLP_WNDPROC, (LONG_PTR)g_friendListDefaultProc);
    PostQuitMessage(0);
    return 0;
}

// The screen changed size: follow it with the status bar and the list.
void LayoutForScreen()
{
    const int cx = GetSystemMetrics(SM_CXSCREEN);
    const int cy = GetSystemMetrics(SM_CYSCREEN);
    MoveWindow(
        g_statusBar, 0, cy - SY(NAV_BAR_HEIGHT + STATUS_FROM_BOTTOM), cx, SY(STATUS_BAR_HEIGHT), FALSE);
    MoveWindow(g_friendList, 0, SY(TOP_ROW_HEIGHT), cx, cy - SY(NAV_BAR_HEIGHT + LIST_HEIGHT_LOSS), FALSE);
}

LRESULT OnSettingChange(HWND window, WPARAM wParam, LPARAM lParam)
{
    SHHandleWMSettingChange(window, wParam, lParam, &g_activateInfo);
    if (wParam == SETTINGCHANGE_RESET)
        LayoutForScreen();
    return 0;
}

LRESULT OnPaint(HWND window)
{
    PAINTSTRUCT paint;
    BeginPaint(window, &paint);
    EndPaint(window, &paint);
    return 0;
}

LRESULT OnNotifyIcon(HWND window, WPARAM iconId, LPARAM mouseMessage)
{
    if (iconId == ID_NOTIFY_ICON && mouseMessage == WM_LBUTTONDOWN) {
        ShowWindow(window, SW_SHOW);
        SetForegroundWindow(window);
    }
    return 0;
}

// A tap on the status bar shows its whole text.
LRESULT OnNotify(HWND window, WPARAM wParam, LPARAM lParam)
{
    const NMHDR* header = (const NMHDR*)lParam;
    if (header && header->idFrom == IDC_STATUS_BAR && header->code == NM_CLICK)
        ToggleStatusTip(header->hwndFrom);
    return DefWindowProcW(window, WM_NOTIFY, wParam, lParam);
}

// The tip belongs to the visible window: it goes when the window hides.
LRESULT OnShowWindow(HWND window, WPARAM shown, LPARAM lParam)
{
    if (!shown)
        CloseStatusTip();
    return DefWindowProcW(window, WM_SHOWWINDOW, shown, lParam);
}

LRESULT OnCommand(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (HandleMainCommand(window, LOWORD(wParam)))
        return 0;
    return DefWindowProcW(window, message, wParam, lParam);
}

// Brings the running instance's window forward.
void ActivateOtherInstance(HWND other)
{
    // Hidden by "Свернуть программу": it shows itself as a tap on its
    // notification icon would have it do.
    if (!IsWindowVisible(other)) {
#ifndef _WIN32_WCE
        DWORD otherProcess = 0;
        GetWindowThreadProcessId(other, &otherProcess);
        AllowSetForegroundWindow(otherProcess);
#endif
        PostMessageW(other, WM_NOTIFY_ICON, ID_NOTIFY_ICON, WM_LBUTTONDOWN);
    }
#ifdef _WIN32_WCE
    // The low bit asks the shell for the application's foremost window.
    SetForegroundWindow((HWND)((ULONG_PTR)other | 1));
#else
    SetForegroundWindow(other);
#endif
}

// The soft-key bar covers the window's bottom; the window gives way to it.
void MakeRoomForSoftKeyBar(HWND window)
{
    if (!g_menuBar)
        return;
    RECT frame, bar;
    GetWindowRect(window, &frame);
    GetWindowRect(g_menuBar, &bar);
    frame.bottom -= bar.bottom - bar.top;
    MoveWindow(window, frame.left, frame.top, frame.right - frame.left, frame.bottom - frame.top, FALSE);
}

}  // namespace

void FormatClockText(const SYSTEMTIME& time, wchar_t* buffer)
{
    wsprintfW(
        buffer, ClockFormat(time.wMinute), time.wDay, time.wMonth, time.wYear, time.wHour, time.wMinute);
}

void UpdateClock()
{
    SYSTEMTIME now;
    GetLocalTime(&now);
    wchar_t text[CLOCK_TEXT_SIZE];
    FormatClockText(now, text);
    SendMessageW(g_clockLabel, WM_SETTEXT, 0, (LPARAM)text);
}

BOOL NotifyIconCall(HWND window, DWORD action, UINT iconId, HICON icon)
{
    NOTIFYICONDATAW data = {};
    data.cbSize = sizeof(data);
    data.hWnd = window;
    data.uID = iconId;
    data.uFlags = NIF_MESSAGE | NIF_ICON;
    data.uCallbackMessage = WM_NOTIFY_ICON;
    data.hIcon = icon;
    return Shell_NotifyIconW(action, &data);
}

BOOL AddNotifyIcon(HWND window, UINT iconId, HICON icon)
{
    return NotifyIconCall(window, NIM_ADD, iconId, icon);
}

BOOL RemoveNotifyIcon(HWND window, UINT iconId, HICON icon)
{
    return NotifyIconCall(window, NIM_DELETE, iconId, icon);
}

ATOM RegisterMainClass(HINSTANCE instance, const wchar_t* className)
{
    WNDCLASSW windowClass = {};
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = MainWindowProc;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadAppIcon(instance);
#ifndef _WIN32_WCE
    // A stylus needs no cursor; a desktop mouse over the window does.
    windowClass.hCursor = LoadCursorW(NULL, (LPCWSTR)IDC_ARROW);
#endif
    windowClass.hbrBackground = (HBRUSH)GetStockObject(WHITE_BRUSH);
    windowClass.lpszClassName = className;
    return RegisterClassW(&windowClass);
}

bool InitMainWindow(HINSTANCE instance, int showCommand)
{
    g_instance = instance;
    SHInitExtraControls();

    wchar_t title[TITLE_BUFFER_SIZE];
    wchar_t className[TITLE_BUFFER_SIZE];
    LoadStringW(instance, IDS_APP_TITLE, title, TITLE_BUFFER_SIZE);
    LoadStringW(instance, IDS_WINDOW_CLASS, className, TITLE_BUFFER_SIZE);

    g_mainWindow = FindWindowW(className, title);
    if (g_mainWindow) {
        ActivateOtherInstance(g_mainWindow);
        return false;
    }
    if (!RegisterMainClass(instance, className))
        return false;

    g_mainWindow = CreateWindowExW(0, className, title, WS_VISIBLE, CW_USEDEFAULT, CW_USEDEFAULT,
        CW_USEDEFAULT, CW_USEDEFAULT, NULL, NULL, instance, NULL);
    if (!g_mainWindow)
        return false;

    MakeRoomForSoftKeyBar(g_mainWindow);
#ifndef _WIN32_WCE
    // The desktop gives a resized window a fresh, black surface and the move
    // above asked for no repaint: have the whole window painted once.
    InvalidateRect(g_mainWindow, NULL, TRUE);
#endif
    ShowWindow(g_mainWindow, showCommand);
    UpdateWindow(g_mainWindow);
    MarkBench(BenchMarkWindowShown);
    // The saved choice: connect by itself, as "Подключиться" would.
    if (SettingIsYes("autoconnect"))
        ConnectOrDisconnect();
    return true;
}

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE: return OnCreate(window);
    case WM_DESTROY: return OnDestroy(window);
    case WM_ACTIVATE: SHHandleWMActivate(window, wParam, lParam, &g_activateInfo, 0); return 0;
    case WM_SETTINGCHANGE: return OnSettingChange(window, wParam, lParam);
    case WM_PAINT: return OnPaint(window);
    case WM_TIMER: UpdateClock(); return 0;
    case WM_INITMENUPOPUP: OnMenuPopup((HMENU)wParam); return 0;
    case WM_COMMAND: return OnCommand(window, message, wParam, lParam);
    case WM_NOTIFY_ICON: return OnNotifyIcon(window, wParam, lParam);
    case WM_CAPTCHA_PROMPT: return ShowCaptchaPrompt((CaptchaPrompt*)lParam);
    case WM_NOTIFY: return OnNotify(window, wParam, lParam);
    case WM_SHOWWINDOW: return OnShowWindow(window, wParam, lParam);
    default: return DefWindowProcW(window, message, wParam, lParam);
    }
}
