// Console helper of tools/bench.sh: the program's figures beside their
// floors (bench_floor), measured in paired rounds, program then floor, so that
// a machine that slows down or speeds up meets both alike. The steps come from
// the marks both write into a shared block this driver makes before they start
// (base/bench_marks.h); without the block they mark nothing.
//   bench_driver refresh EXE FLOOR EMAIL PASSWORD FRIENDS ROUNDS
//     after one round to warm up, ROUNDS rounds of: a refresh of the program
//     (posting the command to the count in the status bar), one of the floor
//     (bench_floor serve: its worker posted to the rows added) and one of the
//     floor filling on its window's own thread. Prints
//       "refresh FRIENDS program_ms floor_ms ratio floor_ui_ms" (medians; the
//       ratio is the median of each round's ratio),
//       "step FRIENDS NAME program_ms floor_ms" for each step (floor "-"
//       where the floor has no such step),
//       "memory FRIENDS peak_working_set_kb idle_private_kb loaded_private_kb";
//     and on stderr "round FRIENDS N program_ms floor_ms ratio" for each round.
//   bench_driver huge EXE RUNS
//     a refresh of the demo account whose answer is 10 MiB:
//     "huge median_ms min_ms max_ms"
//   bench_driver start EXE FLOOR_EXE RUNS
//     from process start to the main window shown and answering, for the
//     program and for the bare window of "bench_floor window", in turns, each
//     a fresh copy in a folder of its own made before the clock starts:
//     "start program_ms floor_ms ratio" and "startstep NAME program_ms floor_ms";
//     and, for information, beside "bench_floor window-status" (the bare
//     window with a status bar): "startbar program_ms floor_ms ratio".
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "base/bench_marks.h"
#include "e2e_driver.h"
#include "e2e_emulator.h"
#include "resources/resource.h"

namespace {

const DWORD REFRESH_TIMEOUT_MS = 180000;
const UINT WM_FLOOR_FILL = WM_APP + 3;  // as bench_floor serves it

double NowMs()
{
    LARGE_INTEGER frequency, counter;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&counter);
    return counter.QuadPart * 1000.0 / frequency.QuadPart;
}

long long Ticks()
{
    LARGE_INTEGER counter;
    QueryPerformanceCounter(&counter);
    return counter.QuadPart;
}

double TicksToMs(long long ticks)
{
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return ticks * 1000.0 / frequency.QuadPart;
}

// The block the program and the floor write their marks into.
class Marks {
public:
    ~Marks()
    {
        if (m_block)
            UnmapViewOfFile(m_block);
        if (m_mapping)
            CloseHandle(m_mapping);
    }
    bool Create()
    {
        m_mapping = CreateFileMappingW(
            INVALID_HANDLE_VALUE, NULL, PAGE_READWRITE, 0, sizeof(BenchMarkBlock), BENCH_MARKS_NAME);
        if (m_mapping)
            m_block = (BenchMarkBlock*)MapViewOfFile(m_mapping, FILE_MAP_WRITE, 0, 0, sizeof(BenchMarkBlock));
        return m_block != NULL;
    }
    volatile long long* Program() const { return m_block->program; }
    volatile long long* Floor() const { return m_block->floor; }
    void Clear() { ZeroMemory((void*)m_block, sizeof(*m_block)); }

private:
    HANDLE m_mapping = NULL;
    BenchMarkBlock* m_block = NULL;
};

// Milliseconds from mark a to mark b; from is a driver tick count when a < 0.
double Span(volatile const long long* marks, int a, int b, long long from = 0)
{
    const long long start = a < 0 ? from : marks[a];
    return TicksToMs(marks[b] - start);
}

// Waits until the mark is written; false when the process ended or the time
// ran out. Reading the block costs nobody anything; whether the process
// ended is a wineserver request, which the rows being added wait behind, so
// it is asked only now and then.
bool WaitMark(volatile const long long* marks, BenchMark mark, HANDLE process, DWORD timeoutMs)
{
    const DWORD start = GetTickCount();
    for (int look = 1; !marks[mark]; ++look) {
        if (GetTickCount() - start > timeoutMs
            || (look % 128 == 0 && WaitForSingleObject(process, 0) != WAIT_TIMEOUT))
            return false;
        Sleep(2);
    }
    return true;
}

double Median(std::vector<double> values)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    const size_t m = values.size();
    return m % 2 ? values[m / 2] : (values[m / 2 - 1] + values[m / 2]) / 2;
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
    bool Launch(PROCESS_INFORMATION* pi, const wchar_t* mode)
    {
        std::wstring commandLine = L"\"" + m_exe + L"\" " + mode;
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
// start needs on disk is made before. start and seen are tick counts.
// Until the process marks its window shown the driver only reads the shared
// block: looking for windows is a wineserver request each time, and the one
// wineserver is what a starting process waits on most.
bool TimeStart(const std::function<bool(PROCESS_INFORMATION*)>& launch, const wchar_t* windowClass,
    volatile const long long* marks, long long* start, long long* seen, HWND* window)
{
    PROCESS_INFORMATION pi;
    ZeroMemory(&pi, sizeof(pi));
    *start = Ticks();
    if (!launch(&pi))
        return false;
    DWORD_PTR answer = 0;
    const DWORD began = GetTickCount();
    for (int look = 1;; ++look) {
        *window = marks[BenchMarkWindowShown] ? ShownWindow(pi.dwProcessId, windowClass) : NULL;
        if (*window && SendMessageTimeoutW(*window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 5000, &answer))
            break;
        // Whether the process ended is a wineserver request too: now and then.
        if (GetTickCount() - began > 60000
            || (look % 64 == 0 && WaitForSingleObject(pi.hProcess, 0) != WAIT_TIMEOUT))
            return false;
        Sleep(1);
    }
    *seen = Ticks();
    return true;
}

// The steps of a start, in order; the settings load lies inside the window's
// creation and is taken out of it.
enum StartStep {
    StartStepProcess,   // process start: loader, DLLs, C runtime
    StartStepStatic,    // static initialisation
    StartStepWindow,    // window and controls, without the settings load
    StartStepSettings,  // the settings file read (program only)
    StartStepAnswer,    // shown to answering the driver's message
    START_STEP_COUNT
};

const char* const kStartStepNames[START_STEP_COUNT] = {"process", "static", "window", "settings", "answer"};

struct StartRound {
    double steps[START_STEP_COUNT];
    double total;
};

void SplitStart(
    volatile const long long* m, long long start, long long seen, bool settings, StartRound* round)
{
    double* s = round->steps;
    s[StartStepProcess] = Span(m, -1, BenchMarkStaticInit, start);
    s[StartStepStatic] = Span(m, BenchMarkStaticInit, BenchMarkEntry);
    s[StartStepSettings] = settings ? Span(m, BenchMarkSettingsStart, BenchMarkSettingsDone) : -1;
    s[StartStepWindow]
        = Span(m, BenchMarkEntry, BenchMarkWindowShown) - (settings ? s[StartStepSettings] : 0);
    s[StartStepAnswer] = TicksToMs(seen - m[BenchMarkWindowShown]);
    round->total = TicksToMs(seen - start);
}

// mode: "window", the bare window, or "window-status", the same with a
// status bar of the common controls.
bool TimeFloorStart(
    const std::string& floorExe, const wchar_t* mode, int run, Marks& marks, StartRound* round)
{
    FloorCopy copy;
    if (!copy.Make(floorExe, run))
        return false;
    PROCESS_INFORMATION pi;
    ZeroMemory(&pi, sizeof(pi));
    HWND window = NULL;
    long long start = 0, seen = 0;
    marks.Clear();
    const bool shown = TimeStart(
        [&](PROCESS_INFORMATION* started) {
            if (!copy.Launch(started, mode))
                return false;
            pi = *started;
            return true;
        },
        L"SorvintaBenchFloor", marks.Floor(), &start, &seen, &window);
    if (!pi.hProcess)
        return false;
    if (shown)
        PostMessageW(window, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(pi.hProcess, 15000) != WAIT_OBJECT_0)
        TerminateProcess(pi.hProcess, 1);
    WaitForSingleObject(pi.hProcess, 5000);
    CloseHandle(pi.hProcess);
    CloseHandle(pi.hThread);
    if (shown)
        SplitStart(marks.Floor(), start, seen, false, round);
    return shown;
}

bool TimeProgramStart(Marks& marks, StartRound* round, std::string* error)
{
    SorvintaApp app;
    if (!app.Prepare(SettingsText("demo@socialnet.example", "demo123"))) {
        *error = app.Error();
        return false;
    }
    HWND window = NULL;
    long long start = 0, seen = 0;
    marks.Clear();
    const bool shown = TimeStart(
        [&](PROCESS_INFORMATION* started) {
            if (!app.Launch())
                return false;
            started->hProcess = app.Process();
            started->dwProcessId = app.ProcessId();
            return true;
        },
        L"SORVINTA", marks.Program(), &start, &seen, &window);
    if (!shown || !app.WaitStarted()) {
        *error = "the main window did not show: " + app.Error();
        return false;
    }
    SplitStart(marks.Program(), start, seen, true, round);
    DWORD code = 0;
    app.Close(15000, &code);
    return true;
}

int RunStart(const std::string& floorExe, int runs)
{
    Marks marks;
    if (!marks.Create())
        return Fail("no shared block for the marks");
    std::vector<StartRound> program, floor, withBar;
    // One round more than counted, first: the first start after a build
    // reads the exe from the disk.
    for (int run = 0; run <= runs; ++run) {
        StartRound floorRound = {}, programRound = {}, barRound = {};
        std::string error;
        // In turns: each of the three goes first, second and last in turn.
        for (int turn = 0; turn < 3; ++turn) {
            switch ((run + turn) % 3) {
            case 0:
                if (!TimeFloorStart(floorExe, L"window", run, marks, &floorRound))
                    return Fail("the bare window did not show");
                break;
            case 1:
                if (!TimeProgramStart(marks, &programRound, &error))
                    return Fail(error);
                break;
            default:
                if (!TimeFloorStart(floorExe, L"window-status", run, marks, &barRound))
                    return Fail("the bare window with a status bar did not show");
            }
        }
        if (run == 0)
            continue;
        floor.push_back(floorRound);
        program.push_back(programRound);
        withBar.push_back(barRound);
    }
    std::vector<double> programTotals, floorTotals, ratios;
    for (size_t i = 0; i < program.size(); ++i) {
        programTotals.push_back(program[i].total);
        floorTotals.push_back(floor[i].total);
        ratios.push_back(program[i].total / floor[i].total);
    }
    printf("start %.0f %.0f %.3f\n", Median(programTotals), Median(floorTotals), Median(ratios));
    std::vector<double> barTotals, barRatios;
    for (size_t i = 0; i < program.size(); ++i) {
        barTotals.push_back(withBar[i].total);
        barRatios.push_back(program[i].total / withBar[i].total);
    }
    printf("startbar %.0f %.0f %.3f\n", Median(programTotals), Median(barTotals), Median(barRatios));
    for (int step = 0; step < START_STEP_COUNT; ++step) {
        std::vector<double> p, f;
        for (size_t i = 0; i < program.size(); ++i) {
            p.push_back(program[i].steps[step]);
            f.push_back(floor[i].steps[step]);
        }
        if (f[0] < 0)
            printf("startstep %s %.1f -\n", kStartStepNames[step], Median(p));
        else
            printf("startstep %s %.1f %.1f\n", kStartStepNames[step], Median(p), Median(f));
    }
    fflush(stdout);
    return 0;
}

// The steps of a refresh, in the order they happen; each has a program span
// and, where the floor does the same, a floor span.
enum RefreshStep {
    StepStart,        // command posted to the worker's exchange begun
    StepExchange,     // the request out, the whole answer in
    StepParse,        // body read, member text cut, document parsed, names taken
    StepModel,        // the document kept in the model (program only)
    StepConversions,  // every name in wide text
    StepFill,         // the list emptied, the rows added
    StepCount,        // focus, count and its status text (program only)
    StepRelease,      // after the count: redraw on, the old document freed (not in the total)
    STEP_COUNT
};

const char* const kStepNames[STEP_COUNT]
    = {"start", "exchange", "parse", "model", "conversions", "fill", "count", "release"};

struct RefreshRound {
    double program[STEP_COUNT];
    double floor[STEP_COUNT];
    double programTotal;
    double floorTotal;
};

bool RefreshProgram(
    const SorvintaApp& app, Marks& marks, int friends, RefreshRound* round, std::string* error)
{
    const volatile long long* m = marks.Program();
    marks.Clear();
    app.MarkStatus();
    const long long start = Ticks();
    app.Command(IDM_REFRESH);
    if (!WaitMark(m, BenchMarkOldListFreed, app.Process(), REFRESH_TIMEOUT_MS) || !m[BenchMarkCountShown]) {
        *error = "refresh: " + ToUtf8(app.StatusText());
        return false;
    }
    if (LoadedCount(app.StatusText()) != friends || app.ListCount() != friends) {
        *error = "refresh: " + ToUtf8(app.StatusText()) + ", " + std::to_string(app.ListCount()) + " rows";
        return false;
    }
    double* p = round->program;
    p[StepStart] = Span(m, -1, BenchMarkExchangeStart, start);
    p[StepExchange] = Span(m, BenchMarkExchangeStart, BenchMarkExchangeDone);
    p[StepParse] = Span(m, BenchMarkExchangeDone, BenchMarkParseDone);
    p[StepModel] = Span(m, BenchMarkListEmptied, BenchMarkModelDone);
    p[StepConversions] = Span(m, BenchMarkModelDone, BenchMarkConversionsDone);
    p[StepFill] = Span(m, BenchMarkParseDone, BenchMarkListEmptied)
        + Span(m, BenchMarkConversionsDone, BenchMarkFillDone);
    p[StepCount] = Span(m, BenchMarkFillDone, BenchMarkCountShown);
    p[StepRelease] = Span(m, BenchMarkCountShown, BenchMarkOldListFreed);
    round->programTotal = Span(m, -1, BenchMarkCountShown, start);
    return true;
}

bool RefreshFloor(HWND floorWindow, HANDLE floorProcess, Marks& marks, bool onUiThread, RefreshRound* round)
{
    const volatile long long* m = marks.Floor();
    marks.Clear();
    const long long start = Ticks();
    PostMessageW(floorWindow, WM_FLOOR_FILL, onUiThread ? 1 : 0, 0);
    // The count mark: the floor has checked its rows and is ready again.
    if (!WaitMark(m, BenchMarkCountShown, floorProcess, REFRESH_TIMEOUT_MS))
        return false;
    double* f = round->floor;
    f[StepStart] = Span(m, -1, BenchMarkExchangeStart, start);
    f[StepExchange] = Span(m, BenchMarkExchangeStart, BenchMarkExchangeDone);
    f[StepParse] = Span(m, BenchMarkExchangeDone, BenchMarkParseDone);
    f[StepModel] = -1;
    f[StepConversions] = Span(m, BenchMarkParseDone, BenchMarkConversionsDone);
    f[StepFill] = Span(m, BenchMarkConversionsDone, BenchMarkFillDone);
    f[StepCount] = -1;
    f[StepRelease] = -1;
    round->floorTotal = Span(m, -1, BenchMarkFillDone, start);
    return true;
}

// bench_floor serve, started beside the program and ready when its window shows.
class FloorServer {
public:
    ~FloorServer()
    {
        if (m_pi.hProcess) {
            if (m_window)
                PostMessageW(m_window, WM_CLOSE, 0, 0);
            if (WaitForSingleObject(m_pi.hProcess, 10000) != WAIT_OBJECT_0)
                TerminateProcess(m_pi.hProcess, 1);
            CloseHandle(m_pi.hProcess);
            CloseHandle(m_pi.hThread);
        }
    }
    bool Start(
        const std::string& floorExe, const std::string& email, const std::string& password, int friends)
    {
        const std::wstring exe = UnixToWinePath(floorExe);
        std::wstring commandLine = L"\"" + exe + L"\" serve " + std::wstring(email.begin(), email.end())
            + L" " + std::wstring(password.begin(), password.end()) + L" " + std::to_wstring(friends);
        STARTUPINFOW si;
        ZeroMemory(&si, sizeof(si));
        si.cb = sizeof(si);
        ZeroMemory(&m_pi, sizeof(m_pi));
        if (!CreateProcessW(exe.c_str(), &commandLine[0], NULL, NULL, FALSE, 0, NULL, NULL, &si, &m_pi))
            return false;
        const DWORD began = GetTickCount();
        while (!m_window) {
            if (GetTickCount() - began > 60000 || WaitForSingleObject(m_pi.hProcess, 0) != WAIT_TIMEOUT)
                return false;
            Sleep(10);
            m_window = ShownWindow(m_pi.dwProcessId, L"SorvintaBenchFloor");
        }
        return true;
    }
    HWND Window() const { return m_window; }
    HANDLE Process() const { return m_pi.hProcess; }

private:
    PROCESS_INFORMATION m_pi = {};
    HWND m_window = NULL;
};

int RunRefresh(const std::string& floorExe, const std::string& email, const std::string& password,
    int friends, int rounds)
{
    Marks marks;
    if (!marks.Create())
        return Fail("no shared block for the marks");
    SorvintaApp app;
    if (!app.StartLoggedIn(email, password))
        return Fail(app.Error());
    const SIZE_T idleKb = PrivateKb(app.Process());
    FloorServer floor;
    if (!floor.Start(floorExe, email, password, friends))
        return Fail("the floor did not start");

    std::vector<RefreshRound> done;
    std::vector<double> floorUi;
    for (int r = 0; r <= rounds; ++r) {
        RefreshRound round = {};
        RefreshRound ui = {};
        std::string error;
        // Turn about, program first then floor first, so that a machine
        // slowing down or speeding up through a round favours neither.
        const bool floorFirst = r % 2 == 0;
        if (floorFirst && !RefreshFloor(floor.Window(), floor.Process(), marks, false, &round))
            return Fail("the floor's refresh failed");
        if (!RefreshProgram(app, marks, friends, &round, &error))
            return Fail(error);
        if (!floorFirst && !RefreshFloor(floor.Window(), floor.Process(), marks, false, &round))
            return Fail("the floor's refresh failed");
        if (!RefreshFloor(floor.Window(), floor.Process(), marks, true, &ui))
            return Fail("the floor's refresh on its window's thread failed");
        if (r == 0)
            continue;  // the warm-up: first allocations, first paint
        fprintf(stderr, "round %d %d %.0f %.0f %.3f\n", friends, r, round.programTotal, round.floorTotal,
            round.programTotal / round.floorTotal);
        done.push_back(round);
        floorUi.push_back(ui.floorTotal);
    }

    std::vector<double> programTotals, floorTotals, ratios;
    for (const RefreshRound& round : done) {
        programTotals.push_back(round.programTotal);
        floorTotals.push_back(round.floorTotal);
        ratios.push_back(round.programTotal / round.floorTotal);
    }
    printf("refresh %d %.0f %.0f %.3f %.0f\n", friends, Median(programTotals), Median(floorTotals),
        Median(ratios), Median(floorUi));
    for (int step = 0; step < STEP_COUNT; ++step) {
        std::vector<double> program, floorSpans;
        for (const RefreshRound& round : done) {
            program.push_back(round.program[step]);
            floorSpans.push_back(round.floor[step]);
        }
        if (floorSpans[0] < 0)
            printf("step %d %s %.1f -\n", friends, kStepNames[step], Median(program));
        else
            printf("step %d %s %.1f %.1f\n", friends, kStepNames[step], Median(program), Median(floorSpans));
    }

    PROCESS_MEMORY_COUNTERS counters;
    ZeroMemory(&counters, sizeof(counters));
    counters.cb = sizeof(counters);
    SIZE_T peakKb = 0;
    if (GetProcessMemoryInfo(app.Process(), &counters, sizeof(counters)))
        peakKb = counters.PeakWorkingSetSize / 1024;
    printf("memory %d %lu %lu %lu\n", friends, (unsigned long)peakKb, (unsigned long)idleKb,
        (unsigned long)PrivateKb(app.Process()));
    fflush(stdout);

    DWORD code = 12345;
    if (!app.Close(15000, &code) || code != 0)
        return Fail("the program did not end cleanly (exit code " + std::to_string(code) + ")");
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
    if (mode == "refresh" && argc >= 8) {
        SetSorvintaExe(argv[2]);
        return RunRefresh(argv[3], argv[4], argv[5], atoi(argv[6]), std::max(1, atoi(argv[7])));
    }
    return Fail("usage: bench_driver refresh EXE FLOOR EMAIL PASSWORD FRIENDS ROUNDS | huge EXE RUNS | "
                "start EXE FLOOR RUNS");
}
