// The floors of tools/bench.sh: bare Win32 programs doing what Sorvinta does,
// without the program around it, so that each figure has its least possible
// time beside it. Each writes its steps into the benchmark's shared block
// (base/bench_marks.h, the floor's half) when bench_driver made one.
//   bench_floor serve EMAIL PASSWORD FRIENDS
//     logs in, shows a window with a sorted list box and waits. Each
//     WM_FLOOR_FILL posted to the window runs one refresh: the same
//     friend-list exchange with the emulator, the same reading of the body,
//     the names converted, then the same rows into the list box: from a
//     worker thread, one synchronous message per row to a handle looked up
//     once, redraw off (wParam 0), or for comparison all rows added on the
//     window's own thread (wParam 1). The driver times it against the program
//     round by round.
//   bench_floor receive RUNS
//     the emulator's 10 MiB answer through a bare receive loop with the
//     program's chunk size. Prints "receive BYTES median min max".
//   bench_floor window
//     a bare window shown until it is closed: the floor of a cold start.
//   bench_floor window-status
//     the same with a common-controls status bar, for information: what
//     those controls alone cost a start.
#include <winsock2.h>
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "api/member_text.h"
#include "base/bench_block.h"
#include "base/bench_marks.h"
#include "base/late_call.h"
#include "e2e_emulator.h"
#include "net/response.h"

namespace {

const int CHUNK_BYTES = 16 * 1024;  // as the program's exchange
const UINT WM_FILL_DONE = WM_APP + 1;
const UINT WM_ADD_ROWS = WM_APP + 2;
const UINT WM_FLOOR_FILL = WM_APP + 3;  // as bench_driver posts it

volatile long long* g_marks = NULL;

void Mark(BenchMark mark)
{
    WriteBenchMark(g_marks, mark);
}

// As the program does: opened by the first static initialiser.
struct MarksOpener {
    MarksOpener()
    {
        g_marks = OpenBenchMarkHalf(true);
        Mark(BenchMarkStaticInit);
    }
};

MarksOpener g_marksOpener __attribute__((init_priority(101)));

double NowMs()
{
    LARGE_INTEGER frequency, counter;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&counter);
    return counter.QuadPart * 1000.0 / frequency.QuadPart;
}

int Fail(const char* why)
{
    fprintf(stderr, "bench_floor: %s\n", why);
    return 1;
}

// Connect, send, receive until close in 16 KiB pieces.
bool Exchange(const char* address, const std::string& request, std::string* response)
{
    response->clear();
    SOCKET s = socket(AF_INET, SOCK_STREAM, 0);
    if (s == INVALID_SOCKET)
        return false;
    sockaddr_in to = {};
    to.sin_family = AF_INET;
    to.sin_port = htons(80);
    to.sin_addr.s_addr = inet_addr(address);
    bool ok = connect(s, (const sockaddr*)&to, sizeof(to)) != SOCKET_ERROR
        && send(s, request.data(), (int)request.size(), 0) == (int)request.size();
    char chunk[CHUNK_BYTES];
    while (ok) {
        const int n = recv(s, chunk, sizeof(chunk), 0);
        if (n == 0)
            break;
        if (n < 0)
            ok = false;
        else
            response->append(chunk, (size_t)n);
    }
    closesocket(s);
    return ok;
}

std::string ListRequest(const DirectSession& session)
{
    return "GET /data?act=friends&from=0&to=2500&id=" + session.memberId + "&sid=" + session.sid
        + " HTTP/1.1\r\nHost: api.socialnet.example\r\nUser-Agent: PPC Sorvinta\r\nConnection: Close\r\n\r\n";
}

struct Fill {
    std::string request;
    HWND window = NULL;
    HWND list = NULL;
    int friends = 0;
    bool onUiThread = false;
    std::vector<std::wstring> rows;
    bool ok = false;
    HANDLE thread = NULL;
};

std::wstring Wide(const std::string& text)
{
    const int needed = MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, NULL, 0);
    std::wstring wide(needed > 0 ? needed - 1 : 0, L'\0');
    if (needed > 1)
        MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, &wide[0], needed);
    return wide;
}

void AddRows(const Fill& fill)
{
    SendMessageW(fill.list, LB_RESETCONTENT, 0, 0);
    SendMessageW(fill.list, WM_SETREDRAW, FALSE, 0);
    for (const std::wstring& row : fill.rows)
        SendMessageW(fill.list, LB_ADDSTRING, 0, (LPARAM)row.c_str());
    SendMessageW(fill.list, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(fill.list, NULL, TRUE);
}

DWORD WINAPI FillThread(LPVOID argument)
{
    Fill* fill = static_cast<Fill*>(argument);
    std::string response, memberText;
    json::Element document;
    std::vector<std::string> names;
    Mark(BenchMarkExchangeStart);
    fill->ok = Exchange(DATA_HOST_ADDRESS, fill->request, &response);
    Mark(BenchMarkExchangeDone);
    fill->ok = fill->ok && CutMemberText(ResponseBody(response), &memberText) == MemberTextFound
        && ParseMemberDocument(WrapMemberText(memberText), &document) && ReadMemberNames(document, &names);
    Mark(BenchMarkParseDone);
    fill->rows.clear();
    for (const std::string& name : names)
        fill->rows.push_back(Wide(name));
    Mark(BenchMarkConversionsDone);
    if (fill->ok && fill->onUiThread)
        SendMessageW(fill->window, WM_ADD_ROWS, 0, 0);
    else if (fill->ok)
        AddRows(*fill);
    Mark(BenchMarkFillDone);
    PostMessageW(fill->window, WM_FILL_DONE, 0, 0);
    return 0;
}

LRESULT CALLBACK FloorProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    Fill* fill = (Fill*)GetWindowLongPtrW(window, GWLP_USERDATA);
    if (message == WM_ADD_ROWS && fill) {
        AddRows(*fill);
        return 0;
    }
    if (message == WM_FLOOR_FILL && fill && !fill->thread) {
        fill->onUiThread = wParam == 1;
        fill->thread = CreateThread(NULL, 0, FillThread, fill, 0, NULL);
        if (!fill->thread) {
            fprintf(stderr, "bench_floor: no worker thread\n");
            PostQuitMessage(1);
        }
        return 0;
    }
    if (message == WM_FILL_DONE && fill) {
        WaitForSingleObject(fill->thread, INFINITE);
        CloseHandle(fill->thread);
        fill->thread = NULL;
        // The driver sees a failed fill as the floor ending, and a checked
        // one as the count mark: the next fill may come.
        if (!fill->ok || SendMessageW(fill->list, LB_GETCOUNT, 0, 0) != fill->friends) {
            fprintf(stderr, "bench_floor: the list was not read whole\n");
            PostQuitMessage(1);
        } else {
            Mark(BenchMarkCountShown);
        }
        return 0;
    }
    if (message == WM_DESTROY)
        PostQuitMessage(0);
    return DefWindowProcW(window, message, wParam, lParam);
}

HWND MakeWindow()
{
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = FloorProc;
    windowClass.hInstance = GetModuleHandleW(NULL);
    windowClass.lpszClassName = L"SorvintaBenchFloor";
    windowClass.hbrBackground = (HBRUSH)(COLOR_WINDOW + 1);
    RegisterClassW(&windowClass);
    HWND window = CreateWindowW(L"SorvintaBenchFloor", L"floor", WS_OVERLAPPEDWINDOW, 0, 0, 240, 320, NULL,
        NULL, windowClass.hInstance, NULL);
    ShowWindow(window, SW_SHOW);
    UpdateWindow(window);
    return window;
}

// What the common controls alone add to a bare window's start: their DLL
// and one status bar, the one control the program needs them for. Loaded
// here, not imported, so that the plain bare window does not pay for them.
bool AddStatusBar(HWND window)
{
    HWND(WINAPI * createStatusWindow)(LONG, LPCWSTR, HWND, UINT) = NULL;
    if (!FindLateCall(LoadLibraryW(L"comctl32.dll"), "CreateStatusWindowW", &createStatusWindow))
        return false;
    HWND bar = createStatusWindow(WS_CHILD | WS_VISIBLE | CCS_NORESIZE, L"floor", window, 1026);
    if (!bar)
        return false;
    MoveWindow(bar, 0, 272, 240, 22, FALSE);
    UpdateWindow(window);
    return true;
}

void PrintFigure(const char* name, long long n, std::vector<double> times)
{
    std::sort(times.begin(), times.end());
    const size_t m = times.size();
    const double median = m % 2 ? times[m / 2] : (times[m / 2 - 1] + times[m / 2]) / 2;
    printf("%s %lld %.0f %.0f %.0f\n", name, n, median, times.front(), times.back());
    fflush(stdout);
}

int RunServe(const char* email, const char* password, int friends)
{
    DirectSession session;
    if (!LoginDirect(email, password, &session))
        return Fail("login failed");
    Fill fill;
    fill.request = ListRequest(session);
    fill.friends = friends;
    fill.window = MakeWindow();
    fill.list = CreateWindowW(L"LISTBOX", NULL,
        WS_CHILD | WS_VISIBLE | WS_VSCROLL | LBS_SORT | LBS_HASSTRINGS | LBS_NOINTEGRALHEIGHT, 0, 0, 240, 300,
        fill.window, NULL, GetModuleHandleW(NULL), NULL);
    SetWindowLongPtrW(fill.window, GWLP_USERDATA, (LONG_PTR)&fill);
    MSG message;
    int result = 0;
    while ((result = GetMessageW(&message, NULL, 0, 0)) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return result < 0 ? 1 : (int)message.wParam;
}

int RunReceive(int runs)
{
    DirectSession session;
    if (!LoginDirect("demo@socialnet.example", "demo123", &session))
        return Fail("login failed");
    std::vector<double> times;
    size_t bytes = 0;
    for (int run = 0; run < runs; ++run) {
        if (!ArmFault(DATA_HOST_ADDRESS, "huge"))
            return Fail("the fault was not armed");
        std::string response;
        const double start = NowMs();
        if (!Exchange(DATA_HOST_ADDRESS, ListRequest(session), &response))
            return Fail("the exchange failed");
        times.push_back(NowMs() - start);
        bytes = response.size();
    }
    PrintFigure("receive", (long long)bytes, times);
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    Mark(BenchMarkEntry);
    const std::string mode = argc > 1 ? argv[1] : "";
    if (mode == "window" || mode == "window-status") {
        // Shown, then serving messages until the driver closes it.
        HWND window = MakeWindow();
        if (mode == "window-status" && !AddStatusBar(window))
            return Fail("no status bar");
        Mark(BenchMarkWindowShown);
        MSG message;
        while (IsWindow(window) && GetMessageW(&message, NULL, 0, 0) > 0)
            DispatchMessageW(&message);
        return 0;
    }
    if (!StartWinsock())
        return Fail("no Winsock");
    if (mode == "serve" && argc >= 5)
        return RunServe(argv[2], argv[3], atoi(argv[4]));
    if (mode == "receive" && argc >= 3)
        return RunReceive(std::max(1, atoi(argv[2])));
    return Fail("usage: bench_floor serve EMAIL PASSWORD FRIENDS | receive RUNS | window | window-status");
}
