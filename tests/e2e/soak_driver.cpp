// Console helper of tools/soak.sh: one run of the program, REFRESHES
// refreshes of the 2500-friend account one at a time, then LOGINS logins and
// logouts; handles, GDI and USER objects and private bytes after the first
// ten refreshes and at the end.
//   soak_driver EXE REFRESHES LOGINS
// Prints "soak NAME BEFORE AFTER" lines; exit 1 when a refresh or login failed.
#include <windows.h>
#include <psapi.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "e2e_driver.h"
#include "net/status_texts.h"
#include "resources/resource.h"

namespace {

struct Figures {
    DWORD handles = 0, windows = 0, gdi = 0, user = 0;
    SIZE_T privateKb = 0;
};

// Wine answers GetProcessHandleCount with 0; the handles themselves are in
// the wineserver's table of the process, so each one that can be duplicated
// is counted. Wine hands out the lowest free multiple of 4: a long run of
// misses is the end of the table.
DWORD CountHandles(HANDLE process)
{
    DWORD count = 0, misses = 0;
    for (ULONG_PTR value = 4; value < (1u << 24) && misses < 4096; value += 4) {
        HANDLE copy = NULL;
        if (DuplicateHandle(
                process, (HANDLE)value, GetCurrentProcess(), &copy, 0, FALSE, DUPLICATE_SAME_ACCESS)) {
            CloseHandle(copy);
            ++count;
            misses = 0;
        } else {
            ++misses;
        }
    }
    return count;
}

struct WindowCount {
    DWORD pid;
    DWORD count;
};

BOOL CALLBACK CountChild(HWND, LPARAM lParam)
{
    ++reinterpret_cast<WindowCount*>(lParam)->count;
    return TRUE;
}

BOOL CALLBACK CountTopLevel(HWND window, LPARAM lParam)
{
    WindowCount* windows = reinterpret_cast<WindowCount*>(lParam);
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    if (pid == windows->pid) {
        ++windows->count;
        EnumChildWindows(window, CountChild, lParam);
    }
    return TRUE;
}

// The windows of the process, its message-only ones included: the USER
// objects that can be seen from outside (GetGuiResources is a stub in Wine).
DWORD CountWindows(DWORD pid)
{
    WindowCount windows = {pid, 0};
    EnumWindows(CountTopLevel, (LPARAM)&windows);
    for (HWND window = FindWindowExW(HWND_MESSAGE, NULL, NULL, NULL); window;
         window = FindWindowExW(HWND_MESSAGE, window, NULL, NULL)) {
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        if (owner == pid)
            ++windows.count;
    }
    return windows.count;
}

Figures Measure(HANDLE process, DWORD pid)
{
    Figures f;
    f.handles = CountHandles(process);
    f.windows = CountWindows(pid);
    f.gdi = GetGuiResources(process, GR_GDIOBJECTS);
    f.user = GetGuiResources(process, GR_USEROBJECTS);
    PROCESS_MEMORY_COUNTERS_EX counters;
    ZeroMemory(&counters, sizeof(counters));
    counters.cb = sizeof(counters);
    if (GetProcessMemoryInfo(process, (PROCESS_MEMORY_COUNTERS*)&counters, sizeof(counters)))
        f.privateKb = (counters.PrivateUsage ? counters.PrivateUsage : counters.PagefileUsage) / 1024;
    return f;
}

int Fail(const std::string& why)
{
    fprintf(stderr, "soak_driver: %s\n", why.c_str());
    return 1;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 4)
        return Fail("usage: soak_driver EXE REFRESHES LOGINS");
    SetSorvintaExe(argv[1]);
    const int refreshes = atoi(argv[2]), logins = atoi(argv[3]);
    SorvintaApp app;
    if (!app.StartLoggedIn("bench2500@socialnet.example", "bench"))
        return Fail(app.Error());
    Figures before;
    for (int i = 0; i < refreshes; ++i) {
        const std::wstring text = app.CommandAndWait(IDM_REFRESH);
        if (text != L"Загружено 2500 друзей")
            return Fail("refresh " + std::to_string(i + 1) + ": " + ToUtf8(text));
        if (i == 9 || (i == refreshes - 1 && refreshes < 10))
            before = Measure(app.Process(), app.ProcessId());
    }
    for (int i = 0; i < logins; ++i) {
        const std::wstring out = app.CommandAndWait(IDM_CONNECT);
        const std::wstring in = app.CommandAndWait(IDM_CONNECT);
        if (out != TEXT_LOGGED_OUT || in != TEXT_LOGGED_IN)
            return Fail("login round " + std::to_string(i + 1) + ": " + ToUtf8(out) + " / " + ToUtf8(in));
    }
    const Figures after = Measure(app.Process(), app.ProcessId());
    printf("soak refreshes %d logins %d\n", refreshes, logins);
    printf("soak handles %lu %lu\n", before.handles, after.handles);
    printf("soak windows %lu %lu\n", before.windows, after.windows);
    printf("soak gdi %lu %lu\n", before.gdi, after.gdi);
    printf("soak user %lu %lu\n", before.user, after.user);
    printf("soak private_kb %lu %lu\n", (unsigned long)before.privateKb, (unsigned long)after.privateKb);
    fflush(stdout);
    DWORD code = 0;
    app.Close(15000, &code);
    return 0;
}
