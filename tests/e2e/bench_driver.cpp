// Console helper of tools/bench.sh: how long a refresh of a large friend list
// takes, from posting the command to the count in the status bar, and how
// much memory the program needed for it.
//   bench_driver EXE EMAIL PASSWORD FRIENDS RUNS
// Prints one line: "bench FRIENDS median_ms min_ms max_ms peak_working_set_kb".
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "e2e_driver.h"
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

// Polls closely: the figure should not carry the driver's own polling delay.
bool WaitForText(const SorvintaApp& app, const std::wstring& text, DWORD timeoutMs)
{
    const DWORD start = GetTickCount();
    while (app.StatusText() != text) {
        if (GetTickCount() - start > timeoutMs || !app.Running())
            return false;
        Sleep(2);
    }
    return true;
}

int Fail(const std::string& why)
{
    fprintf(stderr, "bench_driver: %s\n", why.c_str());
    return 1;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 6)
        return Fail("usage: bench_driver EXE EMAIL PASSWORD FRIENDS RUNS");
    SetSorvintaExe(argv[1]);
    const int friends = atoi(argv[4]);
    const int runs = std::max(1, atoi(argv[5]));

    SorvintaApp app;
    if (!app.StartWithAccount(argv[2], argv[3]))
        return Fail(app.Error());
    const std::wstring loggedIn = app.CommandAndWait(IDM_CONNECT);
    if (loggedIn != L"Вы успешно авторизованы")
        return Fail("login: " + ToUtf8(loggedIn));
    app.Command(IDM_ALL_ONLINE);  // all friends, not the online ones

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
    printf("bench %d %.0f %.0f %.0f %lu\n", friends, median, sorted.front(), sorted.back(),
        (unsigned long)peakKb);
    fflush(stdout);

    DWORD code = 12345;
    if (!app.Close(15000, &code) || code != 0)
        return Fail("the program did not end cleanly (exit code " + std::to_string(code) + ")");
    return 0;
}
