// The end-to-end driver: a Sorvinta process seen and worked from outside.
#include "e2e_driver.h"

#include <commctrl.h>
#include <tlhelp32.h>

#include <algorithm>
#include <cstdio>

#include "net/status_texts.h"
#include "platform/standin_control.h"
#include "resources/resource.h"
#include "tests/win/support/menu_items.h"

namespace {

const wchar_t MAIN_CLASS[] = L"SORVINTA";
const wchar_t MAIN_TITLE[] = L"Sorvinta";
const wchar_t SOFTKEY_CLASS[] = L"menu_worker";
const wchar_t POPUP_MENU_CLASS[] = L"#32768";
const wchar_t DIALOG_CLASS[] = L"#32770";
const wchar_t STATUS_MARKER[] = L"[e2e]";
// The exchange's steps, and a tap while a login or logout is under way.
const wchar_t* const PROGRESS_TEXTS[] = {L"Составление запроса...", L"Отправка запроса...",
    L"Прием запроса...", L"Идет подключение, подождите...", L"Идет отключение, подождите..."};

const DWORD POLL_MS = 25;
const DWORD SEND_TIMEOUT_MS = 2000;
const DWORD START_TIMEOUT_MS = 30000;

std::wstring g_exe;
int g_folderCounter = 0;

std::wstring ClassOf(HWND window)
{
    wchar_t name[64] = L"";
    GetClassNameW(window, name, 64);
    return name;
}

DWORD ProcessOf(HWND window)
{
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    return pid;
}

// Top-level windows of one class (and, when pid is non-zero, one process).
struct WindowSearch {
    const wchar_t* className;
    DWORD pid;
    bool visibleOnly;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectWindow(HWND window, LPARAM param)
{
    WindowSearch* search = reinterpret_cast<WindowSearch*>(param);
    if (ClassOf(window) != search->className)
        return TRUE;
    if (search->pid != 0 && ProcessOf(window) != search->pid)
        return TRUE;
    if (search->visibleOnly && !IsWindowVisible(window))
        return TRUE;
    search->found.push_back(window);
    return TRUE;
}

std::vector<HWND> FindTopLevel(const wchar_t* className, DWORD pid, bool visibleOnly)
{
    WindowSearch search = {className, pid, visibleOnly, std::vector<HWND>()};
    EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::wstring WindowTitle(HWND window)
{
    wchar_t title[256] = L"";
    GetWindowTextW(window, title, 256);
    return title;
}

bool SendTimeout(HWND window, UINT message, WPARAM wParam, LPARAM lParam, DWORD_PTR* result)
{
    DWORD_PTR local = 0;
    LRESULT ok = SendMessageTimeoutW(
        window, message, wParam, lParam, SMTO_ABORTIFHUNG, SEND_TIMEOUT_MS, result ? result : &local);
    return ok != 0;
}

// The text may change between asking its length and reading it (a worker
// sets the status at any time): read into room to spare and read again when
// the text filled it.
std::wstring ReadWindowText(HWND window)
{
    if (!window)
        return std::wstring();
    DWORD_PTR length = 0;
    if (!SendTimeout(window, WM_GETTEXTLENGTH, 0, 0, &length))
        return std::wstring();
    size_t room = std::max<size_t>(length + 1, 512);
    for (int attempt = 0; attempt < 4; ++attempt, room *= 4) {
        std::vector<wchar_t> buffer(room + 1, L'\0');
        DWORD_PTR copied = 0;
        if (!SendTimeout(window, WM_GETTEXT, room, reinterpret_cast<LPARAM>(&buffer[0]), &copied))
            return std::wstring();
        if (copied + 1 < room)
            return std::wstring(&buffer[0], copied);
    }
    return std::wstring();
}

bool IsProgressText(const std::wstring& text)
{
    for (const wchar_t* progress : PROGRESS_TEXTS)
        if (text == progress)
            return true;
    return false;
}

bool WriteWholeFile(const std::wstring& path, const std::string& bytes)
{
    HANDLE file
        = CreateFileW(path.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    BOOL ok = bytes.empty() || WriteFile(file, bytes.data(), (DWORD)bytes.size(), &written, NULL);
    CloseHandle(file);
    return ok && written == bytes.size();
}

std::string Narrow(const std::wstring& text)
{
    return ToUtf8(text);
}

}  // namespace

std::wstring UnixToWinePath(const std::string& path)
{
    std::wstring wide;
    int n = MultiByteToWideChar(CP_UTF8, 0, path.c_str(), -1, NULL, 0);
    if (n > 0) {
        std::vector<wchar_t> buffer(n);
        MultiByteToWideChar(CP_UTF8, 0, path.c_str(), -1, &buffer[0], n);
        wide = &buffer[0];
    }
    if (wide.empty() || wide[0] != L'/')
        return wide;  // already a Windows path
    std::replace(wide.begin(), wide.end(), L'/', L'\\');
    return L"Z:" + wide;
}

bool WaitFor(const std::function<bool()>& done, DWORD timeoutMs)
{
    const DWORD start = GetTickCount();
    while (!done()) {
        if (GetTickCount() - start > timeoutMs)
            return done();
        Sleep(POLL_MS);
    }
    return true;
}

void SetSorvintaExe(const std::string& path)
{
    g_exe = UnixToWinePath(path);
}

const std::wstring& SorvintaExe()
{
    return g_exe;
}

std::string SettingsText(const std::string& email, const std::string& password)
{
    return "[socialnet.example]\r\nemail=" + email + "\r\npassword=" + password + "\r\n";
}

std::wstring FromCp1251(const std::string& text)
{
    if (text.empty())
        return std::wstring();
    int n = MultiByteToWideChar(1251, 0, text.data(), (int)text.size(), NULL, 0);
    std::wstring wide(n, L'\0');
    MultiByteToWideChar(1251, 0, text.data(), (int)text.size(), &wide[0], n);
    return wide;
}

std::string ToUtf8(const std::wstring& text)
{
    if (text.empty())
        return std::string();
    int n = WideCharToMultiByte(CP_UTF8, 0, text.data(), (int)text.size(), NULL, 0, NULL, NULL);
    std::string narrow(n, '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), (int)text.size(), &narrow[0], n, NULL, NULL);
    return narrow;
}

std::wstring ItemText(HWND dialog, int id)
{
    return ReadWindowText(GetDlgItem(dialog, id));
}

bool SetItemText(HWND dialog, int id, const std::wstring& text)
{
    DWORD_PTR done = 0;
    return SendTimeout(GetDlgItem(dialog, id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()), &done)
        && done;
}

const wchar_t CAPTCHA_TITLE[] = L"Captcha";

int LoadedCount(const std::wstring& status)
{
    const std::wstring head = L"Загружено ";
    const std::wstring tail = L" друзей";
    if (status.size() <= head.size() + tail.size() || status.compare(0, head.size(), head) != 0
        || status.compare(status.size() - tail.size(), tail.size(), tail) != 0)
        return -1;
    const std::wstring digits = status.substr(head.size(), status.size() - head.size() - tail.size());
    if (digits.size() > 9 || digits.find_first_not_of(L"0123456789") != std::wstring::npos)
        return -1;
    return _wtoi(digits.c_str());
}

// A sorted list box compares case-insensitively in the user's locale.
static int CompareLikeListBox(const std::wstring& a, const std::wstring& b)
{
    return CompareStringW(
               LOCALE_USER_DEFAULT, NORM_IGNORECASE, a.c_str(), (int)a.size(), b.c_str(), (int)b.size())
        - CSTR_EQUAL;
}

bool IsSortedLikeListBox(const std::vector<std::wstring>& rows)
{
    for (size_t i = 1; i < rows.size(); ++i)
        if (CompareLikeListBox(rows[i - 1], rows[i]) > 0)
            return false;
    return true;
}

void SortLikeListBox(std::vector<std::wstring>& rows)
{
    std::stable_sort(rows.begin(), rows.end(),
        [](const std::wstring& a, const std::wstring& b) { return CompareLikeListBox(a, b) < 0; });
}

int CountMainWindows()
{
    int count = 0;
    for (HWND window : FindTopLevel(MAIN_CLASS, 0, false))
        if (WindowTitle(window) == MAIN_TITLE)
            ++count;
    return count;
}

SorvintaApp::SorvintaApp()
    : m_main(NULL)
{
    ZeroMemory(&m_pi, sizeof(m_pi));
}

SorvintaApp::~SorvintaApp()
{
    Cleanup();
}

void SorvintaApp::Cleanup()
{
    if (m_pi.hProcess) {
        if (WaitForSingleObject(m_pi.hProcess, 0) == WAIT_TIMEOUT) {
            // A test that failed half-way: close it, and kill it if it hangs.
            PostMessageW(m_main, WM_CLOSE, 0, 0);
            if (WaitForSingleObject(m_pi.hProcess, 5000) == WAIT_TIMEOUT) {
                TerminateProcess(m_pi.hProcess, 99);
                WaitForSingleObject(m_pi.hProcess, 5000);
            }
        }
        CloseHandle(m_pi.hProcess);
        if (m_pi.hThread)
            CloseHandle(m_pi.hThread);
        ZeroMemory(&m_pi, sizeof(m_pi));
    }
    if (!m_folder.empty()) {
        DeleteFileW((m_folder + L"\\settings.txt").c_str());
        RemoveDirectoryW((m_folder + L"\\settings.txt").c_str());
        DeleteFileW(m_exe.c_str());
        RemoveDirectoryW(m_folder.c_str());
        m_folder.clear();
    }
    m_main = NULL;
}

bool SorvintaApp::MakeFolder(const std::string& settingsText)
{
    wchar_t temp[MAX_PATH] = L"";
    GetTempPathW(MAX_PATH, temp);
    wchar_t name[64];
    swprintf(name, 64, L"sorvinta-e2e-%lu-%d", GetCurrentProcessId(), ++g_folderCounter);
    m_folder = std::wstring(temp) + name;
    if (!CreateDirectoryW(m_folder.c_str(), NULL) && GetLastError() != ERROR_ALREADY_EXISTS) {
        m_error = "cannot create " + Narrow(m_folder);
        return false;
    }
    m_exe = m_folder + L"\\Sorvinta.exe";
    if (!CopyFileW(g_exe.c_str(), m_exe.c_str(), FALSE)) {
        m_error = "cannot copy " + Narrow(g_exe) + " into " + Narrow(m_folder);
        return false;
    }
    if (!settingsText.empty() && !WriteWholeFile(m_folder + L"\\settings.txt", settingsText)) {
        m_error = "cannot write settings.txt";
        return false;
    }
    return true;
}

bool SorvintaApp::Prepare(const std::string& settingsText)
{
    Cleanup();
    m_error.clear();
    return MakeFolder(settingsText);
}

bool SorvintaApp::Start(const std::string& settingsText)
{
    return Prepare(settingsText) && Launch() && WaitStarted();
}

bool SorvintaApp::StartWithSettingsFolder()
{
    if (!Prepare(std::string()))
        return false;
    if (!CreateDirectoryW((m_folder + L"\\settings.txt").c_str(), NULL)) {
        m_error = "cannot make the settings.txt folder";
        return false;
    }
    return Launch() && WaitStarted();
}

bool SorvintaApp::Launch()
{
    std::wstring commandLine = L"\"" + m_exe + L"\"";
    STARTUPINFOW si;
    ZeroMemory(&si, sizeof(si));
    si.cb = sizeof(si);
    // Wine now and then fails a process start under load (ERROR_INTERNAL_ERROR);
    // that is not what the tests are about, so try again a few times.
    for (int attempt = 1;; ++attempt) {
        if (CreateProcessW(
                m_exe.c_str(), &commandLine[0], NULL, NULL, FALSE, 0, NULL, m_folder.c_str(), &si, &m_pi))
            break;
        const DWORD error = GetLastError();
        ZeroMemory(&m_pi, sizeof(m_pi));
        fprintf(stderr, "e2e: CreateProcessW failed (error %lu), attempt %d\n", error, attempt);
        if (attempt == 3) {
            m_error = "CreateProcessW failed, error " + std::to_string(error);
            return false;
        }
        Sleep(500);
    }
    return true;
}

bool SorvintaApp::WaitStarted()
{
    WaitForInputIdle(m_pi.hProcess, START_TIMEOUT_MS);
    return WaitMainWindow(START_TIMEOUT_MS);
}

bool SorvintaApp::StartWithAccount(const std::string& email, const std::string& password)
{
    return Start(SettingsText(email, password));
}

bool SorvintaApp::StartLoggedIn(const std::string& email, const std::string& password)
{
    if (!StartWithAccount(email, password))
        return false;
    const std::wstring text = CommandAndWait(IDM_CONNECT);
    if (text != TEXT_LOGGED_IN) {
        m_error = "login: " + ToUtf8(text);
        return false;
    }
    Command(IDM_ALL_ONLINE);
    return true;
}

bool SorvintaApp::Attach()
{
    Cleanup();
    m_error.clear();
    // Hidden too: a step may find the program minimised.
    for (HWND window : FindTopLevel(MAIN_CLASS, 0, false)) {
        if (WindowTitle(window) != MAIN_TITLE)
            continue;
        const DWORD pid = ProcessOf(window);
        HANDLE process = OpenProcess(PROCESS_ALL_ACCESS, FALSE, pid);
        if (!process)
            continue;
        m_pi.hProcess = process;
        m_pi.dwProcessId = pid;
        m_main = window;
        return true;
    }
    m_error = "no running Sorvinta window to attach to";
    return false;
}

void SorvintaApp::Detach()
{
    if (m_pi.hProcess)
        CloseHandle(m_pi.hProcess);
    if (m_pi.hThread)
        CloseHandle(m_pi.hThread);
    ZeroMemory(&m_pi, sizeof(m_pi));
    m_folder.clear();
    m_main = NULL;
}

bool SorvintaApp::WaitMainWindow(DWORD timeoutMs)
{
    const DWORD start = GetTickCount();
    for (;;) {
        DWORD code = 0;
        if (WaitForSingleObject(m_pi.hProcess, 0) != WAIT_TIMEOUT) {
            GetExitCodeProcess(m_pi.hProcess, &code);
            m_error = "Sorvinta ended during start-up with exit code " + std::to_string(code);
            return false;
        }
        for (HWND window : FindTopLevel(MAIN_CLASS, m_pi.dwProcessId, true)) {
            if (WindowTitle(window) != MAIN_TITLE)
                continue;
            if (GetDlgItem(window, IDC_STATUS_BAR) && GetDlgItem(window, IDC_FRIEND_LIST)
                && GetDlgItem(window, IDC_CLOCK_LABEL) && GetDlgItem(window, IDC_TRAFFIC_LABEL)) {
                m_main = window;
                // The window is shown at the end of start-up; one answered
                // message makes sure the loop is running.
                if (Responsive(SEND_TIMEOUT_MS))
                    return true;
            }
        }
        if (GetTickCount() - start > timeoutMs) {
            m_error = "no visible main window with its controls after " + std::to_string(timeoutMs) + " ms";
            return false;
        }
        Sleep(POLL_MS);
    }
}

bool SorvintaApp::StartSecondInstance(DWORD timeoutMs, DWORD* exitCode)
{
    std::wstring commandLine = L"\"" + m_exe + L"\"";
    STARTUPINFOW si;
    ZeroMemory(&si, sizeof(si));
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi;
    if (!CreateProcessW(
            m_exe.c_str(), &commandLine[0], NULL, NULL, FALSE, 0, NULL, m_folder.c_str(), &si, &pi))
        return false;
    bool ended = WaitForSingleObject(pi.hProcess, timeoutMs) == WAIT_OBJECT_0;
    if (ended)
        GetExitCodeProcess(pi.hProcess, exitCode);
    else
        TerminateProcess(pi.hProcess, 98);
    CloseHandle(pi.hProcess);
    CloseHandle(pi.hThread);
    return ended;
}

bool SorvintaApp::Running() const
{
    return m_pi.hProcess && WaitForSingleObject(m_pi.hProcess, 0) == WAIT_TIMEOUT;
}

HWND SorvintaApp::Control(int id) const
{
    return m_main ? GetDlgItem(m_main, id) : NULL;
}

std::wstring SorvintaApp::ControlText(int id) const
{
    return ReadWindowText(Control(id));
}

std::wstring SorvintaApp::StatusText() const
{
    return ControlText(IDC_STATUS_BAR);
}

void SorvintaApp::Command(WORD id) const
{
    PostMessageW(m_main, WM_COMMAND, MAKEWPARAM(id, 0), 0);
}

bool SorvintaApp::Responsive(DWORD timeoutMs) const
{
    DWORD_PTR result = 0;
    return SendMessageTimeoutW(m_main, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, timeoutMs, &result) != 0;
}

int SorvintaApp::ThreadCount() const
{
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    if (snapshot == INVALID_HANDLE_VALUE)
        return -1;
    int count = 0;
    THREADENTRY32 entry;
    entry.dwSize = sizeof(entry);
    for (BOOL more = Thread32First(snapshot, &entry); more; more = Thread32Next(snapshot, &entry))
        if (entry.th32OwnerProcessID == m_pi.dwProcessId)
            ++count;
    CloseHandle(snapshot);
    return count;
}

bool SorvintaApp::WaitThreadsAtMost(int count, DWORD timeoutMs) const
{
    return WaitFor(
        [&] {
            const int now = ThreadCount();
            return now >= 0 && now <= count;
        },
        timeoutMs);
}

bool SorvintaApp::IsMainVisible() const
{
    return IsWindowVisible(m_main) != FALSE;
}

void SorvintaApp::MarkStatus() const
{
    SendTimeout(Control(IDC_STATUS_BAR), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(STATUS_MARKER), NULL);
}

bool SorvintaApp::WaitStatus(const std::wstring& text, DWORD timeoutMs) const
{
    // A program that has ended shows nothing more: stop looking at once.
    WaitFor([&] { return StatusText() == text || !Running(); }, timeoutMs);
    return StatusText() == text;
}

bool SorvintaApp::WaitFinalStatus(std::wstring* text, DWORD timeoutMs) const
{
    bool final = false;
    WaitFor(
        [&] {
            const std::wstring now = StatusText();
            if (text)
                *text = now;
            final = !now.empty() && now != STATUS_MARKER && !IsProgressText(now);
            return final || !Running();
        },
        timeoutMs);
    return final;
}

std::wstring SorvintaApp::CommandAndWait(WORD id, DWORD timeoutMs) const
{
    MarkStatus();
    Command(id);
    std::wstring text;
    WaitFinalStatus(&text, timeoutMs);
    return text;
}

int SorvintaApp::ListCount() const
{
    DWORD_PTR count = 0;
    if (!SendTimeout(Control(IDC_FRIEND_LIST), LB_GETCOUNT, 0, 0, &count))
        return -1;
    return (int)(LRESULT)count;
}

std::vector<std::wstring> SorvintaApp::ListRows() const
{
    std::vector<std::wstring> rows;
    HWND list = Control(IDC_FRIEND_LIST);
    const int count = ListCount();
    for (int i = 0; i < count; ++i) {
        DWORD_PTR length = 0;
        if (!SendTimeout(list, LB_GETTEXTLEN, i, 0, &length) || (LRESULT)length == LB_ERR)
            break;
        // LB_GETTEXT takes no buffer size: leave room for a row that grew meanwhile.
        std::vector<wchar_t> buffer(std::max<size_t>(length, 1024) + 2, L'\0');
        DWORD_PTR copied = 0;
        if (!SendTimeout(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(&buffer[0]), &copied)
            || (LRESULT)copied == LB_ERR)
            break;
        rows.push_back(std::wstring(&buffer[0], std::min<size_t>(copied, buffer.size() - 2)));
    }
    return rows;
}

bool SorvintaApp::SelectRow(int row) const
{
    DWORD_PTR result = 0;
    if (!SendTimeout(Control(IDC_FRIEND_LIST), LB_SETCURSEL, (WPARAM)row, 0, &result))
        return false;
    return row == -1 || (LRESULT)result == row;
}

int SorvintaApp::SelectedRow() const
{
    DWORD_PTR result = 0;
    if (!SendTimeout(Control(IDC_FRIEND_LIST), LB_GETCURSEL, 0, 0, &result))
        return -2;
    return (int)(LRESULT)result;
}

HWND SorvintaApp::SoftKeyBar() const
{
    // Dialogs make bars of their own; the main window's is the visible one it owns.
    for (HWND bar : FindTopLevel(SOFTKEY_CLASS, m_pi.dwProcessId, true))
        if (GetWindow(bar, GW_OWNER) == m_main)
            return bar;
    return NULL;
}

bool SorvintaApp::PressSoftKey(SoftKey key) const
{
    HWND bar = SoftKeyBar();
    if (!bar)
        return false;
    RECT client;
    if (!GetClientRect(bar, &client) || client.right <= 0 || client.bottom <= 0)
        return false;
    const int x = key == SOFTKEY_LEFT ? client.right / 4 : client.right * 3 / 4;
    const int y = client.bottom / 2;
    PostMessageW(bar, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
    PostMessageW(bar, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
    return true;
}

bool SorvintaApp::TapNotifyIcon() const
{
    std::vector<HWND> bars = FindTopLevel(STANDIN_TOP_BAR_CLASS, m_pi.dwProcessId, true);
    RECT client;
    if (bars.empty() || !GetClientRect(bars.front(), &client) || client.right <= 0)
        return false;
    // The program's one icon: the rightmost slot (no "ok" shows over the main window).
    const int slot = GetSystemMetrics(SM_CXSMICON) + STANDIN_NOTIFY_ICON_PADDING;
    const int x = client.right - slot / 2;
    const int y = client.bottom / 2;
    PostMessageW(bars.front(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
    PostMessageW(bars.front(), WM_LBUTTONUP, 0, MAKELPARAM(x, y));
    return true;
}

HWND SorvintaApp::WaitPopupMenu(DWORD timeoutMs) const
{
    HWND menu = NULL;
    WaitFor(
        [&] {
            const std::vector<HWND> menus = FindTopLevel(POPUP_MENU_CLASS, m_pi.dwProcessId, true);
            menu = menus.empty() ? NULL : menus.front();
            return menu || !Running();
        },
        timeoutMs);
    return menu;
}

bool SorvintaApp::WaitNoPopupMenu(DWORD timeoutMs) const
{
    return WaitFor([&] { return FindTopLevel(POPUP_MENU_CLASS, m_pi.dwProcessId, true).empty(); }, timeoutMs);
}

int PopupKeySteps(UINT command)
{
    HMODULE exe = LoadLibraryExW(SorvintaExe().c_str(), NULL, LOAD_LIBRARY_AS_DATAFILE);
    int steps = -1;
    for (UINT menuId : {IDR_MAIN, IDR_LIST_CONTEXT}) {
        HMENU menu = exe ? LoadMenuW(exe, MAKEINTRESOURCEW(menuId)) : NULL;
        if (menu && steps < 0)
            steps = KeyStepsTo(PopupHolding(menu, command), command);
        if (menu)
            DestroyMenu(menu);
    }
    if (exe)
        FreeLibrary(exe);
    return steps;
}

bool SorvintaApp::ChooseFromPopup(HWND menu, UINT command) const
{
    const int steps = PopupKeySteps(command);
    if (!menu || steps < 0)
        return false;
    for (int i = 0; i < steps; ++i)
        PostMessageW(menu, WM_KEYDOWN, VK_DOWN, 0);
    PostMessageW(menu, WM_KEYDOWN, VK_RETURN, 0);
    return WaitNoPopupMenu();
}

bool SorvintaApp::DismissPopup(HWND menu) const
{
    if (!menu)
        return false;
    PostMessageW(menu, WM_KEYDOWN, VK_ESCAPE, 0);
    return WaitNoPopupMenu();
}

bool SorvintaApp::ChooseFromSoftKey(SoftKey key, UINT command) const
{
    if (!PressSoftKey(key))
        return false;
    return ChooseFromPopup(WaitPopupMenu(), command);
}

bool SorvintaApp::PressAndHoldRow(int row) const
{
    HWND list = Control(IDC_FRIEND_LIST);
    DWORD_PTR height = 0, top = 0;
    if (!SendTimeout(list, LB_GETITEMHEIGHT, 0, 0, &height) || (LRESULT)height <= 0)
        return false;
    if (!SendTimeout(list, LB_GETTOPINDEX, 0, 0, &top))
        return false;
    const int y = (row - (int)top) * (int)height + (int)height / 2;
    const int x = 10;
    PostMessageW(list, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
    return true;
}

void SorvintaApp::ReleaseList() const
{
    PostMessageW(Control(IDC_FRIEND_LIST), WM_LBUTTONUP, 0, MAKELPARAM(10, 1));
}

HWND SorvintaApp::WaitDialog(const std::wstring& title, DWORD timeoutMs) const
{
    HWND found = NULL;
    WaitFor(
        [&] {
            for (HWND dialog : FindTopLevel(DIALOG_CLASS, m_pi.dwProcessId, true))
                if (WindowTitle(dialog) == title)
                    found = dialog;
            return found || !Running();
        },
        timeoutMs);
    return found;
}

HWND SorvintaApp::TapSettingsRow(HWND dialog, int row) const
{
    // Rows are as tall as the list's state images, 32 px on a 96-dpi screen
    // and scaled with it; Wine adds one. The driver shares the program's screen.
    HDC screen = GetDC(NULL);
    const int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSY) : 96;
    if (screen)
        ReleaseDC(NULL, screen);
    const int rowHeight = MulDiv(32, dpi, 96);
    HWND list = NULL;
    const bool listed = WaitFor(
        [&] {
            DWORD_PTR rows = 0;
            list = GetDlgItem(dialog, IDC_SETTINGS_LIST);
            return list && SendTimeout(list, LVM_GETITEMCOUNT, 0, 0, &rows) && (int)rows > row;
        },
        5000);
    if (!listed)
        return NULL;
    const LPARAM point = MAKELPARAM(60, row * (rowHeight + 1) + rowHeight / 2);
    PostMessageW(list, WM_LBUTTONDOWN, MK_LBUTTON, point);
    PostMessageW(list, WM_LBUTTONUP, 0, point);
    HWND editor = NULL;
    WaitFor(
        [&] {
            for (const wchar_t* kind : {L"Edit", L"ComboBox"}) {
                HWND candidate = FindWindowExW(list, NULL, kind, NULL);
                if (candidate && IsWindowVisible(candidate))
                    editor = candidate;
            }
            return editor != NULL;
        },
        5000);
    return editor;
}

bool SorvintaApp::TypeInto(HWND editor, const std::wstring& text) const
{
    return SendTimeout(editor, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()), NULL)
        && ReadWindowText(editor) == text;
}

bool SorvintaApp::WaitWindowGone(HWND window, DWORD timeoutMs) const
{
    return WaitFor([&] { return !IsWindow(window) || !IsWindowVisible(window); }, timeoutMs);
}

bool SorvintaApp::CaptchaShowsPicture(HWND dialog) const
{
    DWORD_PTR picture = 0;
    return SendTimeout(GetDlgItem(dialog, IDC_CAPTCHA_PICTURE), STM_GETIMAGE, IMAGE_BITMAP, 0, &picture)
        && picture != 0;
}

bool SorvintaApp::AnswerCaptcha(HWND dialog, const char* code) const
{
    if (code && !SetItemText(dialog, IDC_CAPTCHA_CODE, FromCp1251(code)))
        return false;
    MarkStatus();
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(code ? IDM_BAR_SEND : IDM_BAR_CLOSE, 0), 0);
    return WaitWindowGone(dialog);
}

bool SorvintaApp::WaitMainVisible(bool visible, DWORD timeoutMs) const
{
    return WaitFor([&] { return IsMainVisible() == visible; }, timeoutMs);
}

bool SorvintaApp::WaitExit(DWORD timeoutMs, DWORD* exitCode)
{
    if (!m_pi.hProcess)
        return false;
    if (WaitForSingleObject(m_pi.hProcess, timeoutMs) != WAIT_OBJECT_0)
        return false;
    DWORD code = 0;
    GetExitCodeProcess(m_pi.hProcess, &code);
    if (exitCode)
        *exitCode = code;
    return true;
}

bool SorvintaApp::Close(DWORD timeoutMs, DWORD* exitCode)
{
    PostMessageW(m_main, WM_CLOSE, 0, 0);
    return WaitExit(timeoutMs, exitCode);
}
