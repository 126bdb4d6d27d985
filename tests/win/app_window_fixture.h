// Shared by the m_app*_test programs: creates the real main window in the
// test process and pumps its messages.
#pragma once

#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include <gtest/gtest.h>

#include <functional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "api/message_dialog.h"
#include "app/app_state.h"
#include "app/main_window.h"
#include "net/session.h"
#include "resources/resource.h"
#include "support/win_test_support.h"

namespace apptest {

inline std::wstring SettingsPathBesideExe()
{
    wchar_t path[MAX_PATH];
    const DWORD length = GetModuleFileNameW(NULL, path, MAX_PATH);
    std::wstring text(path, length);
    return text.substr(0, text.find_last_of(L"\\/") + 1) + L"settings.txt";
}

// A child's rectangle in its parent's client coordinates.
inline RECT ChildRect(HWND child)
{
    RECT rect;
    GetWindowRect(child, &rect);
    MapWindowPoints(NULL, GetParent(child), (POINT*)&rect, 2);
    return rect;
}

inline bool SameRect(const RECT& a, const RECT& b)
{
    return EqualRect(&a, &b) != FALSE;
}

inline std::wstring StatusText()
{
    return WindowText(GetDlgItem(g_mainWindow, IDC_STATUS_BAR));
}

inline std::wstring ListRow(HWND list, int row)
{
    wchar_t text[512] = L"";
    if (SendMessageW(list, LB_GETTEXTLEN, row, 0) < 512)
        SendMessageW(list, LB_GETTEXT, row, (LPARAM)text);
    return text;
}

inline std::wstring MenuCaption(HMENU menu, UINT id)
{
    wchar_t text[128] = L"";
    GetMenuStringW(menu, id, text, 128, MF_BYCOMMAND);
    return text;
}

inline bool IsChecked(HMENU menu, UINT id)
{
    return (GetMenuState(menu, id, MF_BYCOMMAND) & MF_CHECKED) != 0;
}

// Every way of closing a dialog besides its "Закрыть" key; each must act
// as that key does.
struct CloseWay {
    const char* name;
    UINT message;
    WPARAM wParam;
};
const CloseWay CLOSE_WAYS[] = {
    {"Escape", WM_KEYDOWN, VK_ESCAPE},
    {"IDCANCEL", WM_COMMAND, IDCANCEL},
    {"WM_CLOSE", WM_CLOSE, 0},
    {"SC_CLOSE", WM_SYSCOMMAND, SC_CLOSE},
};

// The control with the keyboard focus on the window's thread (GetFocus
// answers for the calling thread only).
inline HWND FocusOf(HWND window)
{
    GUITHREADINFO info = {};
    info.cbSize = sizeof(info);
    return GetGUIThreadInfo(GetWindowThreadProcessId(window, NULL), &info) ? info.hwndFocus : NULL;
}

// Posted as a user's key or tap arrives: Escape to the control with the focus.
inline void PostCloseWay(HWND dialog, const CloseWay& way)
{
    HWND focus = way.message == WM_KEYDOWN ? FocusOf(dialog) : NULL;
    PostMessageW(focus ? focus : dialog, way.message, way.wParam, 0);
}

// Stands in for the notification area: Wine's shell hands every
// Shell_NotifyIcon request to the "Shell_TrayWnd" window as WM_COPYDATA
// (action in dwData; the record starts with the window as 32 bits, the icon
// id, the flags and the callback message). Headless there is no such window,
// so the tests make one and keep the icons it was given.
class FakeTray {
public:
    struct Request {
        DWORD action;
        UINT window, id, flags, callback;
    };

    static FakeTray& Get()
    {
        static FakeTray tray;
        return tray;
    }
    bool Present() const { return m_window != NULL; }
    bool Has(HWND owner, UINT id) const
    {
        return m_icons.count(std::make_pair((UINT)(UINT_PTR)owner, id)) != 0;
    }
    std::vector<Request> requests;

private:
    FakeTray()
    {
        if (FindWindowW(L"Shell_TrayWnd", NULL))
            return;  // a real notification area: leave it alone
        WNDCLASSW windowClass = {};
        windowClass.lpfnWndProc = Proc;
        windowClass.hInstance = GetModuleHandleW(NULL);
        windowClass.lpszClassName = L"Shell_TrayWnd";
        RegisterClassW(&windowClass);
        m_window = CreateWindowExW(
            0, L"Shell_TrayWnd", NULL, WS_POPUP, 0, 0, 1, 1, NULL, NULL, GetModuleHandleW(NULL), NULL);
    }
    static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
    {
        if (message != WM_COPYDATA)
            return DefWindowProcW(window, message, wParam, lParam);
        const COPYDATASTRUCT* copy = (const COPYDATASTRUCT*)lParam;
        if (copy->cbData < 4 * sizeof(UINT))
            return FALSE;
        const UINT* data = (const UINT*)copy->lpData;
        FakeTray& tray = Get();
        tray.requests.push_back({(DWORD)copy->dwData, data[0], data[1], data[2], data[3]});
        const std::pair<UINT, UINT> key(data[0], data[1]);
        switch (copy->dwData) {
        case NIM_ADD: return tray.m_icons.insert(key).second;
        case NIM_DELETE: return tray.m_icons.erase(key) != 0;
        case NIM_MODIFY: return tray.m_icons.count(key) != 0;
        default: return FALSE;
        }
    }

    HWND m_window = NULL;
    std::set<std::pair<UINT, UINT>> m_icons;
};

class Pump {
public:
    // Serves the thread's messages for up to ms milliseconds, or until done
    // says so. Returns done's last answer.
    bool Until(const std::function<bool()>& done, DWORD ms)
    {
        const DWORD start = GetTickCount();
        for (;;) {
            MSG message;
            while (PeekMessageW(&message, NULL, 0, 0, PM_REMOVE)) {
                if (message.message == WM_QUIT) {
                    quitSeen = true;
                    quitCode = message.wParam;
                    continue;
                }
                TranslateMessage(&message);
                DispatchMessageW(&message);
            }
            if (done && done())
                return true;
            if (GetTickCount() - start >= ms)
                return done ? done() : true;
            MsgWaitForMultipleObjects(0, NULL, FALSE, 10, QS_ALLINPUT);
        }
    }
    void For(DWORD ms) { Until(nullptr, ms); }

    bool quitSeen = false;
    WPARAM quitCode = 0xDEAD;
};

// Each test gets a freshly created main window with the shell's state as at
// process start; no settings file unless the test writes one.
class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        DeleteFileW(SettingsPathBesideExe().c_str());
        ResetState();
        FakeTray::Get().requests.clear();
        ASSERT_TRUE(InitMainWindow(GetModuleHandleW(NULL), SW_SHOW));
        window = g_mainWindow;
        list = GetDlgItem(window, IDC_FRIEND_LIST);
        pump.For(50);
    }

    void TearDown() override
    {
        if (IsWindow(window))
            DestroyWindow(window);
        pump.For(20);
        UnregisterClassW(L"SORVINTA", GetModuleHandleW(NULL));
        DeleteFileW(SettingsPathBesideExe().c_str());
    }

    static void ResetState()
    {
        g_onlineOnly = 1;
        g_loggedIn = 0;
        g_selectedRow = 0;
        g_lastPopupMenu = NULL;
        g_menuBar = NULL;
        ZeroMemory(&g_credentials, sizeof(g_credentials));
        g_refreshActMenu[0] = 0;
        g_refreshActContext[0] = 0;
    }

    void AddRows(std::initializer_list<const wchar_t*> rows)
    {
        for (const wchar_t* row : rows)
            SendMessageW(list, LB_ADDSTRING, 0, (LPARAM)row);
    }

    LRESULT Command(UINT id) { return SendMessageW(window, WM_COMMAND, MAKEWPARAM(id, 0), 0); }

    HWND window = NULL;
    HWND list = NULL;
    Pump pump;
};

}  // namespace apptest
