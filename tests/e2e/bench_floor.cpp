// The floors of tools/bench.sh: bare Win32 programs doing what Sorvinta does,
// without the program around it, so that each figure has its least possible
// time beside it.
//   bench_floor list EMAIL PASSWORD FRIENDS RUNS
//     the same friend-list exchange with the emulator, the same reading of the
//     body, the same rows into a sorted list box: from a worker thread, one
//     synchronous message per row to a handle looked up once, redraw off
//     ("floor"), and for comparison all rows added on the window's own thread
//     ("floor_ui"). Prints "floor N median min max" and "floor_ui N ...".
//   bench_floor receive RUNS
//     the emulator's 10 MiB answer through a bare receive loop with the
//     program's chunk size. Prints "receive BYTES median min max".
//   bench_floor window
//     a bare window shown until it is closed: the floor of a cold start.
#include <winsock2.h>
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "api/member_text.h"
#include "e2e_emulator.h"
#include "net/response.h"

namespace {

const int CHUNK_BYTES = 16 * 1024;  // as the program's exchange
const UINT WM_FILL_DONE = WM_APP + 1;
const UINT WM_ADD_ROWS = WM_APP + 2;

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
    bool onUiThread = false;
    std::vector<std::wstring> rows;  // handed to the window's thread
    bool ok = false;
};

std::wstring Wide(const std::string& text)
{
    const int needed = MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, NULL, 0);
    std::wstring wide(needed > 0 ? needed - 1 : 0, L'\0');
    if (needed > 1)
        MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, &wide[0], needed);
    return wide;
}

DWORD WINAPI FillThread(LPVOID argument)
{
    Fill* fill = static_cast<Fill*>(argument);
    std::string response, memberText;
    json::Element document;
    std::vector<std::string> names;
    fill->ok = Exchange(DATA_HOST_ADDRESS, fill->request, &response)
        && CutMemberText(ResponseBody(response), &memberText) == MemberTextFound
        && ParseMemberDocument(WrapMemberText(memberText), &document) && ReadMemberNames(document, &names);
    if (fill->ok && fill->onUiThread) {
        fill->rows.clear();
        for (const std::string& name : names)
            fill->rows.push_back(Wide(name));
        SendMessageW(fill->window, WM_ADD_ROWS, 0, 0);
    } else if (fill->ok) {
        SendMessageW(fill->list, LB_RESETCONTENT, 0, 0);
        SendMessageW(fill->list, WM_SETREDRAW, FALSE, 0);
        for (const std::string& name : names) {
            const std::wstring row = Wide(name);
            SendMessageW(fill->list, LB_ADDSTRING, 0, (LPARAM)row.c_str());
        }
        SendMessageW(fill->list, WM_SETREDRAW, TRUE, 0);
        InvalidateRect(fill->list, NULL, TRUE);
    }
    PostMessageW(fill->window, WM_FILL_DONE, 0, 0);
    return 0;
}

LRESULT CALLBACK FloorProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_ADD_ROWS) {
        Fill* fill = (Fill*)GetWindowLongPtrW(window, GWLP_USERDATA);
        SendMessageW(fill->list, LB_RESETCONTENT, 0, 0);
        SendMessageW(fill->list, WM_SETREDRAW, FALSE, 0);
        for (const std::wstring& row : fill->rows)
            SendMessageW(fill->list, LB_ADDSTRING, 0, (LPARAM)row.c_str());
        SendMessageW(fill->list, WM_SETREDRAW, TRUE, 0);
        InvalidateRect(fill->list, NULL, TRUE);
        return 0;
    }
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

// One timed fill: from starting the worker until it reports done.
bool TimeFill(Fill* fill, double* ms)
{
    const double start = NowMs();
    HANDLE thread = CreateThread(NULL, 0, FillThread, fill, 0, NULL);
    if (!thread)
        return false;
    MSG message;
    while (GetMessageW(&message, NULL, 0, 0) > 0) {
        if (message.message == WM_FILL_DONE)
            break;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    *ms = NowMs() - start;
    WaitForSingleObject(thread, INFINITE);
    CloseHandle(thread);
    return fill->ok;
}

void PrintFigure(const char* name, long long n, std::vector<double> times)
{
    std::sort(times.begin(), times.end());
    const size_t m = times.size();
    const double median = m % 2 ? times[m / 2] : (times[m / 2 - 1] + times[m / 2]) / 2;
    printf("%s %lld %.0f %.0f %.0f\n", name, n, median, times.front(), times.back());
    fflush(stdout);
}

int RunList(const char* email, const char* password, int friends, int runs)
{
    DirectSession session;
    if (!LoginDirect(email, password, &session))
        return Fail("login failed");
    Fill fill;
    fill.request = ListRequest(session);
    fill.window = MakeWindow();
    fill.list = CreateWindowW(L"LISTBOX", NULL,
        WS_CHILD | WS_VISIBLE | WS_VSCROLL | LBS_SORT | LBS_HASSTRINGS | LBS_NOINTEGRALHEIGHT, 0, 0, 240, 300,
        fill.window, NULL, GetModuleHandleW(NULL), NULL);
    SetWindowLongPtrW(fill.window, GWLP_USERDATA, (LONG_PTR)&fill);
    for (int ui = 0; ui < 2; ++ui) {
        fill.onUiThread = ui == 1;
        std::vector<double> times;
        for (int run = 0; run < runs; ++run) {
            double ms = 0;
            if (!TimeFill(&fill, &ms))
                return Fail("the list was not read");
            if (SendMessageW(fill.list, LB_GETCOUNT, 0, 0) != friends)
                return Fail("the list box holds another count");
            times.push_back(ms);
        }
        PrintFigure(ui ? "floor_ui" : "floor", friends, times);
    }
    DestroyWindow(fill.window);
    return 0;
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
    const std::string mode = argc > 1 ? argv[1] : "";
    if (mode == "window") {
        // Shown, then serving messages until the driver closes it.
        HWND window = MakeWindow();
        MSG message;
        while (IsWindow(window) && GetMessageW(&message, NULL, 0, 0) > 0)
            DispatchMessageW(&message);
        return 0;
    }
    if (!StartWinsock())
        return Fail("no Winsock");
    if (mode == "list" && argc >= 6)
        return RunList(argv[2], argv[3], atoi(argv[4]), std::max(1, atoi(argv[5])));
    if (mode == "receive" && argc >= 3)
        return RunReceive(std::max(1, atoi(argv[2])));
    return Fail("usage: bench_floor list EMAIL PASSWORD FRIENDS RUNS | receive RUNS | window");
}
