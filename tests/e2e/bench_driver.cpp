// Console helper of tools/bench.sh: how long a refresh of a large friend list
// takes, from posting the command to the count in the status bar, and how
// much memory the program needed for it.
//   bench_driver EXE EMAIL PASSWORD FRIENDS RUNS
//     "bench FRIENDS median_ms min_ms max_ms peak_working_set_kb
//      idle_private_kb loaded_private_kb" (private bytes after the login and
//     after the last refresh)
//   bench_driver huge EXE RUNS
//     a refresh of the demo account whose answer is 10 MiB:
//     "huge median_ms min_ms max_ms"
//   bench_driver start EXE FLOOR_EXE RUNS
//     from process start to the main window shown and answering, for the
//     program and for the bare window of "bench_floor window", each a fresh
//     copy in a folder of its own made before the clock starts:
//     "start median min max" and "start_floor median min max"
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "e2e_driver.h"
#include "e2e_emulator.h"
#include "resources/resource.h"

namespace {

const DWORD REFRESH_TIMEOUT_MS = 180000;

double NowMs()
{
    LARGE_INTEGER frequency, counter;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&counter);
    return counter.QuadPart * 1000.0 / frequency.QuadPart;
}

// Polls closely but cheaply: each look is one cross-process WM_GETTEXT,
// which the program's window thread must serve between the rows it adds, so
// a heavier look would slow down the very fill it times.
bool WaitForText(const SorvintaApp& app, const std::wstring& text, DWORD timeoutMs)
{
    const HWND status = app.Control(IDC_STATUS_BAR);
    const DWORD start = GetTickCount();
    for (int look = 1;; ++look) {
        wchar_t seen[64] = L"";
        DWORD_PTR copied = 0;
        if (SendMessageTimeoutW(status, WM_GETTEXT, 64, (LPARAM)seen, SMTO_ABORTIFHUNG, 5000, &copied)
            && text == seen)
            return true;
        if (GetTickCount() - start > timeoutMs || (look % 256 == 0 && !app.Running()))
            return false;
        Sleep(2);
    }
}

int Fail(const std::string& why)
{
    fprintf(stderr, "bench_driver: %s\n", why.c_str());
    return 1;
}

void PrintFigure(const char* name, std::vector<double> times)
{
    std::sort(times.begin(), times.end());
    const size_t m = times.size();
    const double median = m % 2 ? times[m / 2] : (times[m / 2 - 1] + times[m / 2]) / 2;
    printf("%s %.0f %.0f %.0f\n", name, median, times.front(), times.back());
    fflush(stdout);
}

SIZE_T PrivateKb(HANDLE process)
{
    PROCESS_MEMORY_COUNTERS_EX counters;
    ZeroMemory(&counters, sizeof(counters));
    counters.cb = sizeof(counters);
    if (!GetProcessMemoryInfo(process, (PROCESS_MEMORY_COUNTERS*)&counters, sizeof(counters)))
        return 0;
    // Wine leaves PrivateUsage at 0; the page-file usage counts the same bytes.
    return (counters.PrivateUsage ? counters.PrivateUsage : counters.PagefileUsage) / 1024;
}

int RunHuge(int runs)
{
    SorvintaApp app;
    if (!app.StartLoggedIn("demo@socialnet.example", "demo123"))
        return Fail(app.Error());
    std::vector<double> times;
    for (int run = 0; run < runs; ++run) {
        if (!ArmFault(DATA_HOST_ADDRESS, "huge"))
            return Fail("the fault was not armed");
        app.MarkStatus();
        const double start = NowMs();
        app.Command(IDM_REFRESH);
        const std::wstring loaded = L"Загружено 31 друзей";
        if (!WaitForText(app, loaded, REFRESH_TIMEOUT_MS))
            return Fail("huge refresh: " + ToUtf8(app.StatusText()));
        times.push_back(NowMs() - start);
    }
    PrintFigure("huge", times);
    DWORD code = 0;
    app.Close(15000, &code);
    return 0;
}

// The floor's exe copied into a fresh folder, as the program gets its own.
class FloorCopy {
public:
    ~FloorCopy()
    {
        if (!m_exe.empty())
            DeleteFileW(m_exe.c_str());
        if (!m_folder.empty())
            RemoveDirectoryW(m_folder.c_str());
    }
    bool Make(const std::string& floorExe, int run)
    {
        wchar_t temp[MAX_PATH] = L"";
        GetTempPathW(MAX_PATH, temp);
        m_folder = std::wstring(temp) + L"sorvinta-floor-" + std::to_wstring(GetCurrentProcessId()) + L"-"
            + std::to_wstring(run);
        if (!CreateDirectoryW(m_folder.c_str(), NULL) && GetLastError() != ERROR_ALREADY_EXISTS)
            return false;
        m_exe = m_folder + L"\\bench_floor.exe";
        return CopyFileW(UnixToWinePath(floorExe).c_str(), m_exe.c_str(), FALSE) != 0;
    }
    bool Launch(PROCESS_INFORMATION* pi)
    {
        std::wstring commandLine = L"\"" + m_exe + L"\" window";
        STARTUPINFOW si;
        ZeroMemory(&si, sizeof(si));
        si.cb = sizeof(si);
        return CreateProcessW(
                   m_exe.c_str(), &commandLine[0], NULL, NULL, FALSE, 0, NULL, m_folder.c_str(), &si, pi)
            != 0;
    }

private:
    std::wstring m_folder;
    std::wstring m_exe;
};

HWND ShownWindow(DWORD processId, const wchar_t* windowClass)
{
    for (HWND window = FindWindowExW(NULL, NULL, windowClass, NULL); window;
         window = FindWindowExW(NULL, window, windowClass, NULL)) {
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        if (owner == processId && IsWindowVisible(window))
            return window;
    }
    return NULL;
}

// One clock for the program and its floor alike: from the process start to
// its window of windowClass visible and answering a message. Whatever the
// start needs on disk is made before.
bool TimeStart(const std::function<bool(PROCESS_INFORMATION*)>& launch, const wchar_t* windowClass,
    double* ms, HWND* window)
{
    PROCESS_INFORMATION pi;
    ZeroMemory(&pi, sizeof(pi));
    const double start = NowMs();
    if (!launch(&pi))
        return false;
    DWORD_PTR answer = 0;
    const DWORD began = GetTickCount();
    for (;;) {
        *window = ShownWindow(pi.dwProcessId, windowClass);
        if (*window && SendMessageTimeoutW(*window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 5000, &answer))
            break;
        if (GetTickCount() - began > 60000 || WaitForSingleObject(pi.hProcess, 0) != WAIT_TIMEOUT)
            return false;
        Sleep(1);
    }
    *ms = NowMs() - start;
    return true;
}

bool TimeFloorStart(const std::string& floorExe, int run, double* ms)
{
    FloorCopy copy;
    if (!copy.Make(floorExe, run))
        return false;
    PROCESS_INFORMATION pi;
    ZeroMemory(&pi, sizeof(pi));
    HWND window = NULL;
    const bool shown = TimeStart(
        [&](PROCESS_INFORMATION* started) {
            if (!copy.Launch(started))
                return false;
            pi = *started;
            return true;
        },
        L"SorvintaBenchFloor", ms, &window);
    if (!pi.hProcess)
        return false;
    if (shown)
        PostMessageW(window, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(pi.hProcess, 15000) != WAIT_OBJECT_0)
        TerminateProcess(pi.hProcess, 1);
    WaitForSingleObject(pi.hProcess, 5000);
    CloseHandle(pi.hProcess);
    CloseHandle(pi.hThread);
    return shown;
}

bool TimeProgramStart(double* ms, std::string* error)
{
    SorvintaApp app;
    if (!app.Prepare(SettingsText("demo@socialnet.example", "demo123"))) {
        *error = app.Error();
        return false;
    }
    HWND window = NULL;
    const bool shown = TimeStart(
        [&](PROCESS_INFORMATION* started) {
            if (!app.Launch())
                return false;
            started->hProcess = app.Process();
            started->dwProcessId = app.ProcessId();
            return true;
        },
        L"SORVINTA", ms, &window);
    if (!shown || !app.WaitStarted()) {
        *error = "the main window did not show: " + app.Error();
        return false;
    }
    DWORD code = 0;
    app.Close(15000, &code);
    return true;
}

int RunStart(const std::string& floorExe, int runs)
{
    std::vector<double> program, floor;
    for (int run = 0; run < runs; ++run) {
        double ms = 0;
        if (!TimeFloorStart(floorExe, run, &ms))
            return Fail("the bare window did not show");
        floor.push_back(ms);
        std::string error;
        if (!TimeProgramStart(&ms, &error))
            return Fail(error);
        program.push_back(ms);
    }
    PrintFigure("start", program);
    PrintFigure("start_floor", floor);
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    const std::string mode = argc > 1 ? argv[1] : "";
    if (mode == "huge" && argc >= 4) {
        SetSorvintaExe(argv[2]);
        return StartWinsock() ? RunHuge(std::max(1, atoi(argv[3]))) : Fail("no Winsock");
    }
    if (mode == "start" && argc >= 5) {
        SetSorvintaExe(argv[2]);
        return RunStart(argv[3], std::max(1, atoi(argv[4])));
    }
    if (argc < 6)
        return Fail(
            "usage: bench_driver EXE EMAIL PASSWORD FRIENDS RUNS | huge EXE RUNS | start EXE FLOOR RUNS");
    SetSorvintaExe(argv[1]);
    const int friends = atoi(argv[4]);
    const int runs = std::max(1, atoi(argv[5]));

    SorvintaApp app;
    if (!app.StartLoggedIn(argv[2], argv[3]))
        return Fail(app.Error());
    const SIZE_T idleKb = PrivateKb(app.Process());

    const std::wstring loaded = L"Загружено " + std::to_wstring(friends) + L" друзей";
    std::vector<double> times;
    for (int run = 0; run < runs; ++run) {
        app.MarkStatus();
        const double start = NowMs();
        app.Command(IDM_REFRESH);
        if (!WaitForText(app, loaded, REFRESH_TIMEOUT_MS))
            return Fail("refresh: " + ToUtf8(app.StatusText()));
        times.push_back(NowMs() - start);
        if (app.ListCount() != friends)
            return Fail("the list holds " + std::to_string(app.ListCount()) + " rows");
    }

    PROCESS_MEMORY_COUNTERS counters;
    ZeroMemory(&counters, sizeof(counters));
    counters.cb = sizeof(counters);
    SIZE_T peakKb = 0;
    if (GetProcessMemoryInfo(app.Process(), &counters, sizeof(counters)))
        peakKb = counters.PeakWorkingSetSize / 1024;

    std::vector<double> sorted = times;
    std::sort(sorted.begin(), sorted.end());
    const double median = sorted.size() % 2 ? sorted[sorted.size() / 2]
                                            : (sorted[sorted.size() / 2 - 1] + sorted[sorted.size() / 2]) / 2;
    printf("bench %d %.0f %.0f %.0f %lu %lu %lu\n", friends, median, sorted.front(), sorted.back(),
        (unsigned long)peakKb, (unsigned long)idleKb, (unsigned long)PrivateKb(app.Process()));
    fflush(stdout);

    DWORD code = 12345;
    if (!app.Close(15000, &code) || code != 0)
        return Fail("the program did not end cleanly (exit code " + std::to_string(code) + ")");
    return 0;
}
