#include "support/win_test_support.h"

namespace {

const wchar_t kRecorderClass[] = L"WinTestRecorder";
const wchar_t kMenuClass[] = L"#32768";
const DWORD kPollMs = 10;

bool IsOurs(HWND hwnd)
{
    DWORD process = 0;
    GetWindowThreadProcessId(hwnd, &process);
    return process == GetCurrentProcessId();
}

struct WindowSearch {
    HWND owner;
    bool anyOwner;
    const wchar_t* className;
    bool visibleOnly;
    HWND found;
};

BOOL CALLBACK MatchWindow(HWND hwnd, LPARAM lParam)
{
    WindowSearch* search = (WindowSearch*)lParam;
    if (!IsOurs(hwnd) || ClassName(hwnd) != search->className)
        return TRUE;
    if (!search->anyOwner && GetWindow(hwnd, GW_OWNER) != search->owner)
        return TRUE;
    if (search->visibleOnly && !IsWindowVisible(hwnd))
        return TRUE;
    search->found = hwnd;
    return FALSE;
}

HWND Search(HWND owner, bool anyOwner, const wchar_t* className, bool visibleOnly)
{
    WindowSearch search = {owner, anyOwner, className, visibleOnly, NULL};
    EnumWindows(MatchWindow, (LPARAM)&search);
    return search.found;
}

void RegisterRecorderClass(WNDPROC proc)
{
    WNDCLASSW wc = {};
    if (GetClassInfoW(GetModuleHandleW(NULL), kRecorderClass, &wc))
        return;
    wc.lpfnWndProc = proc;
    wc.hInstance = GetModuleHandleW(NULL);
    wc.hCursor = LoadCursorW(NULL, (LPCWSTR)IDC_ARROW);
    wc.hbrBackground = (HBRUSH)GetStockObject(WHITE_BRUSH);
    wc.lpszClassName = kRecorderClass;
    RegisterClassW(&wc);
}

}  // namespace

void PumpPendingMessages()
{
    MSG msg;
    while (PeekMessageW(&msg, NULL, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs)
{
    const DWORD start = GetTickCount();
    for (;;) {
        PumpPendingMessages();
        if (done && done())
            return true;
        const DWORD elapsed = GetTickCount() - start;
        if (elapsed >= timeoutMs)
            return done ? done() : false;
        const DWORD wait = timeoutMs - elapsed < kPollMs ? timeoutMs - elapsed : kPollMs;
        MsgWaitForMultipleObjectsEx(0, NULL, wait, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
    }
}

void PumpMessagesFor(DWORD ms)
{
    PumpUntil(nullptr, ms);
}

MessageRecorder::MessageRecorder(
    const wchar_t* title, DWORD style, int x, int y, int width, int height, HWND parent, DWORD exStyle)
{
    RegisterRecorderClass(Proc);
    // Recording starts with WM_NCCREATE, which brings the object along.
    m_hwnd = CreateWindowExW(exStyle, kRecorderClass, title, style, x, y, width, height, parent, NULL,
        GetModuleHandleW(NULL), this);
}

MessageRecorder::~MessageRecorder()
{
    if (m_hwnd && IsWindow(m_hwnd)) {
        SetWindowLongPtrW(m_hwnd, GWLP_USERDATA, 0);
        DestroyWindow(m_hwnd);
    }
}

LRESULT CALLBACK MessageRecorder::Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE)
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, (LONG_PTR)((CREATESTRUCTW*)lParam)->lpCreateParams);
    MessageRecorder* self = (MessageRecorder*)GetWindowLongPtrW(hwnd, GWLP_USERDATA);
    if (self) {
        self->m_messages.push_back({message, wParam, lParam});
        if (message == WM_NCDESTROY) {
            self->m_hwnd = NULL;
            SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        }
        LRESULT result = 0;
        if (self->onMessage && self->onMessage(message, wParam, lParam, &result))
            return result;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

std::vector<RecordedMessage> MessageRecorder::Of(UINT message) const
{
    std::vector<RecordedMessage> out;
    for (const RecordedMessage& m : m_messages) {
        if (m.message == message)
            out.push_back(m);
    }
    return out;
}

size_t MessageRecorder::Count(UINT message) const
{
    return Of(message).size();
}

int MessageRecorder::IndexOf(UINT message) const
{
    for (size_t i = 0; i < m_messages.size(); ++i) {
        if (m_messages[i].message == message)
            return (int)i;
    }
    return -1;
}

std::vector<UINT> MessageRecorder::Commands() const
{
    std::vector<UINT> out;
    for (const RecordedMessage& m : Of(WM_COMMAND))
        out.push_back(LOWORD(m.wParam));
    return out;
}

void PostMouse(HWND hwnd, UINT message, int x, int y, WPARAM keys)
{
    PostMessageW(hwnd, message, keys, MAKELPARAM(x, y));
}

void PostClick(HWND hwnd, int x, int y)
{
    PostMouse(hwnd, WM_LBUTTONDOWN, x, y, MK_LBUTTON);
    PostMouse(hwnd, WM_LBUTTONUP, x, y, 0);
}

HWND FindOwnedWindow(HWND owner, const wchar_t* className)
{
    return Search(owner, false, className, false);
}

HWND FindProcessWindow(const wchar_t* className)
{
    return Search(NULL, true, className, false);
}

HWND WaitForWindow(HWND (*find)(), DWORD timeoutMs)
{
    const DWORD start = GetTickCount();
    for (;;) {
        HWND found = find();
        if (found || GetTickCount() - start >= timeoutMs)
            return found;
        Sleep(kPollMs);
    }
}

RECT WindowRect(HWND hwnd)
{
    RECT rect = {};
    GetWindowRect(hwnd, &rect);
    return rect;
}

RECT ClientRect(HWND hwnd)
{
    RECT rect = {};
    GetClientRect(hwnd, &rect);
    return rect;
}

std::wstring WindowText(HWND hwnd)
{
    wchar_t text[512] = L"";
    GetWindowTextW(hwnd, text, 512);
    return text;
}

std::wstring ClassName(HWND hwnd)
{
    wchar_t name[256] = L"";
    GetClassNameW(hwnd, name, 256);
    return name;
}

HWND FindMenuWindow()
{
    return Search(NULL, true, kMenuClass, true);
}

HWND WaitForMenuWindow(DWORD timeoutMs)
{
    return WaitForWindow(FindMenuWindow, timeoutMs);
}

MenuPicker::MenuPicker(UINT command, DWORD timeoutMs)
    : m_command(command)
    , m_timeoutMs(timeoutMs)
{
    m_thread = CreateThread(NULL, 0, Run, this, 0, NULL);
}

MenuPicker::~MenuPicker()
{
    Wait();
}

bool MenuPicker::Wait()
{
    if (m_thread) {
        WaitForSingleObject(m_thread, INFINITE);
        CloseHandle(m_thread);
        m_thread = NULL;
    }
    return m_found;
}

DWORD WINAPI MenuPicker::Run(void* param)
{
    MenuPicker* self = (MenuPicker*)param;
    HWND menu = WaitForMenuWindow(self->m_timeoutMs);
    if (!menu)
        return 0;
    // Served by the menu's own loop on the thread that opened it.
    DWORD_PTR shown = 0;
    SendMessageTimeoutW(menu, MN_GETHMENU, 0, 0, SMTO_NORMAL, self->m_timeoutMs, &shown);
    self->m_menu = (HMENU)shown;
    RECT item;
    if (GetMenuItemRect(NULL, self->m_menu, 0, &item))
        self->m_firstItemHeight = item.bottom - item.top;
    const int steps = self->m_command == kCancel ? -1 : KeyStepsTo(self->m_menu, self->m_command);
    if (steps < 0) {
        PostMessageW(menu, WM_KEYDOWN, VK_ESCAPE, 0);
    } else {
        for (int i = steps; i > 0; --i)
            PostMessageW(menu, WM_KEYDOWN, VK_DOWN, 0);
        PostMessageW(menu, WM_KEYDOWN, VK_RETURN, 0);
    }
    // A command asked for but not in the menu is a failed pick.
    self->m_found = self->m_command == kCancel || steps >= 0;
    return 0;
}
