// What the network tests under Wine share: a main window whose status bar
// records every text it is given, a worker runner that keeps the message
// pump going, and a raw HTTP server on port 80 of a private loopback address.
#pragma once

#include <winsock2.h>
#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "app/app_state.h"
#include "resources/resource.h"

namespace nettest {

// ---- Main window with a recording status bar and a traffic label ----

inline std::vector<std::wstring>& StatusLog()
{
    static std::vector<std::wstring> log;
    return log;
}

inline WNDPROC& StatusBarDefaultProc()
{
    static WNDPROC proc = NULL;
    return proc;
}

// Runs on the window's thread as each status text arrives, when set.
inline std::function<void()>& OnStatusText()
{
    static std::function<void()> hook;
    return hook;
}

// Answers the program's own messages (WM_APP and up, such as the captcha
// prompt) in the main window's place, when set.
inline std::function<LRESULT(UINT, LPARAM)>& OnAppMessage()
{
    static std::function<LRESULT(UINT, LPARAM)> hook;
    return hook;
}

inline LRESULT CALLBACK RecordingStatusProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == SB_SETTEXTW && lParam) {
        StatusLog().push_back((const wchar_t*)lParam);
        if (OnStatusText())
            OnStatusText()();
    }
    return CallWindowProcW(StatusBarDefaultProc(), window, message, wParam, lParam);
}

inline LRESULT CALLBACK TestMainProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message >= WM_APP && OnAppMessage())
        return OnAppMessage()(message, lParam);
    return DefWindowProcW(window, message, wParam, lParam);
}

// Creates the window once per process and points the program's globals at it.
inline void CreateTestMainWindow()
{
    if (g_mainWindow)
        return;
    InitCommonControls();
    WNDCLASSW wc = {};
    wc.lpfnWndProc = TestMainProc;
    wc.hInstance = GetModuleHandleW(NULL);
    wc.lpszClassName = L"NetTestMain";
    RegisterClassW(&wc);
    g_instance = wc.hInstance;
    g_mainWindow = CreateWindowW(
        L"NetTestMain", L"net test", WS_OVERLAPPEDWINDOW, 0, 0, 240, 320, NULL, NULL, wc.hInstance, NULL);
    g_statusBar
        = CreateStatusWindowW(WS_CHILD | WS_VISIBLE, L"Вы не авторизованы", g_mainWindow, IDC_STATUS_BAR);
    g_trafficLabel = CreateWindowW(
        L"STATIC", L"0/0 кб", WS_CHILD | WS_VISIBLE, 0, 0, 100, 20, g_mainWindow, NULL, wc.hInstance, NULL);
    StatusBarDefaultProc()
        = (WNDPROC)SetWindowLongPtrW(g_statusBar, GWLP_WNDPROC, (LONG_PTR)RecordingStatusProc);
}

inline std::wstring TrafficLabelText()
{
    wchar_t text[100] = L"";
    GetWindowTextW(g_trafficLabel, text, 100);
    return text;
}

inline std::wstring StatusBarText()
{
    wchar_t text[300] = L"";
    GetWindowTextW(g_statusBar, text, 300);
    return text;
}

// ---- Worker thread with the pump running ----

inline DWORD WINAPI WorkerTrampoline(LPVOID argument)
{
    (*static_cast<std::function<void()>*>(argument))();
    return 0;
}

// Runs work on a thread of its own while this thread serves the messages the
// worker sends. False when it did not finish within the time given.
inline bool RunWorker(std::function<void()> work, DWORD timeoutMs = 30000)
{
    HANDLE thread = CreateThread(NULL, 0, WorkerTrampoline, &work, 0, NULL);
    if (!thread)
        return false;
    const DWORD deadline = GetTickCount() + timeoutMs;
    bool done = false;
    for (;;) {
        const DWORD now = GetTickCount();
        const DWORD left = (LONG)(deadline - now) > 0 ? deadline - now : 0;
        const DWORD wait = MsgWaitForMultipleObjects(1, &thread, FALSE, left, QS_ALLINPUT);
        if (wait == WAIT_OBJECT_0) {
            done = true;
            break;
        }
        if (wait != WAIT_OBJECT_0 + 1)
            break;
        MSG msg;
        while (PeekMessageW(&msg, NULL, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
    if (!done) {
        // Keep serving until it ends, so a stuck worker cannot outlive the
        // stack frame its work lives in.
        while (MsgWaitForMultipleObjects(1, &thread, FALSE, INFINITE, QS_ALLINPUT) == WAIT_OBJECT_0 + 1) {
            MSG msg;
            while (PeekMessageW(&msg, NULL, 0, 0, PM_REMOVE))
                DispatchMessageW(&msg);
        }
    }
    CloseHandle(thread);
    return done;
}

// ---- Raw HTTP server ----

enum ReplyMode {
    REPLY_AND_CLOSE,  // send the bytes, then close
    HOLD_SILENT,      // read the request and say nothing until stopped
    REPLY_AND_HOLD,   // send the bytes and keep the line open until stopped
    REPLY_AND_RESET,  // send the bytes, wait a moment, then abort with RST
};

// A silent connection is closed after this at the latest, so a client
// without a receive timeout fails its test instead of hanging it.
const DWORD MAX_SILENCE_MS = 10000;

struct Reply {
    std::string bytes;
    ReplyMode mode;
    // In pieces of this many bytes (0: at once), with a pause after each,
    // so that they arrive as separate receives.
    size_t pieceBytes = 0;
    DWORD pauseMs = 0;
};

class RawServer {
public:
    // Listens on port 80 of address (a loopback address of its own per test
    // program) and answers connections with the replies in turn.
    RawServer(const char* address, std::vector<Reply> replies)
        : m_replies(std::move(replies))
        , m_stop(CreateEventW(NULL, TRUE, FALSE, NULL))
    {
        WSADATA data;
        WSAStartup(MAKEWORD(2, 2), &data);
        // Another build of the same test may hold the port for a moment.
        for (int attempt = 0; attempt < 100 && m_listener == INVALID_SOCKET; ++attempt) {
            m_listener = Listen(address);
            if (m_listener == INVALID_SOCKET)
                Sleep(200);
        }
        if (m_listener != INVALID_SOCKET)
            m_thread = CreateThread(NULL, 0, ThreadProc, this, 0, NULL);
    }

    ~RawServer()
    {
        SetEvent(m_stop);
        if (m_thread) {
            WaitForSingleObject(m_thread, 10000);
            CloseHandle(m_thread);
        }
        if (m_listener != INVALID_SOCKET)
            closesocket(m_listener);
        CloseHandle(m_stop);
        WSACleanup();
    }

    bool Listening() const { return m_listener != INVALID_SOCKET; }

    void Stop() { SetEvent(m_stop); }

    std::vector<std::string> Requests()
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_requests;
    }

    int Accepted()
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_accepted;
    }

private:
    static SOCKET Listen(const char* address)
    {
        SOCKET s = socket(AF_INET, SOCK_STREAM, 0);
        if (s == INVALID_SOCKET)
            return INVALID_SOCKET;
        sockaddr_in local = {};
        local.sin_family = AF_INET;
        local.sin_port = htons(80);
        local.sin_addr.s_addr = inet_addr(address);
        if (bind(s, (sockaddr*)&local, sizeof(local)) == SOCKET_ERROR || listen(s, 8) == SOCKET_ERROR) {
            closesocket(s);
            return INVALID_SOCKET;
        }
        return s;
    }

    static DWORD WINAPI ThreadProc(LPVOID self)
    {
        static_cast<RawServer*>(self)->Serve();
        return 0;
    }

    bool Stopped() const { return WaitForSingleObject(m_stop, 0) == WAIT_OBJECT_0; }

    // Waits until s is readable or the server is told to stop.
    bool WaitReadable(SOCKET s)
    {
        while (!Stopped()) {
            fd_set set;
            FD_ZERO(&set);
            FD_SET(s, &set);
            timeval tick = {0, 50000};
            const int ready = select(0, &set, NULL, NULL, &tick);
            if (ready < 0)
                return false;
            if (ready > 0)
                return true;
        }
        return false;
    }

    std::string ReadRequest(SOCKET s)
    {
        std::string request;
        char chunk[512];
        while (request.find("\r\n\r\n") == std::string::npos && WaitReadable(s)) {
            const int n = recv(s, chunk, sizeof(chunk), 0);
            if (n <= 0)
                break;
            request.append(chunk, n);
        }
        return request;
    }

    static void SendAll(SOCKET s, const std::string& bytes)
    {
        size_t sent = 0;
        while (sent < bytes.size()) {
            const int n = send(s, bytes.data() + sent, (int)(bytes.size() - sent), 0);
            if (n <= 0)
                break;
            sent += n;
        }
    }

    // Holds the line until the client closes it, the server is told to stop
    // or MAX_SILENCE_MS have passed.
    void WaitClientGone(SOCKET s)
    {
        const DWORD start = GetTickCount();
        char sink[512];
        while (GetTickCount() - start < MAX_SILENCE_MS && WaitReadable(s)) {
            if (recv(s, sink, sizeof(sink), 0) <= 0)
                return;
        }
    }

    // Stops early when the server is told to stop or the client went away.
    void SendInPieces(SOCKET s, const Reply& reply)
    {
        if (!reply.pieceBytes) {
            SendAll(s, reply.bytes);
            return;
        }
        for (size_t at = 0; at < reply.bytes.size() && !Stopped(); at += reply.pieceBytes) {
            const std::string piece = reply.bytes.substr(at, reply.pieceBytes);
            if (send(s, piece.data(), (int)piece.size(), 0) != (int)piece.size())
                return;
            if (reply.pauseMs)
                WaitForSingleObject(m_stop, reply.pauseMs);
        }
    }

    void Serve()
    {
        for (size_t next = 0; next < m_replies.size() && WaitReadable(m_listener); ++next) {
            SOCKET client = accept(m_listener, NULL, NULL);
            if (client == INVALID_SOCKET)
                break;
            const std::string request = ReadRequest(client);
            {
                std::lock_guard<std::mutex> lock(m_mutex);
                ++m_accepted;
                m_requests.push_back(request);
            }
            const Reply& reply = m_replies[next];
            if (reply.mode != HOLD_SILENT)
                SendInPieces(client, reply);
            if (reply.mode == HOLD_SILENT || reply.mode == REPLY_AND_HOLD)
                WaitClientGone(client);
            if (reply.mode == REPLY_AND_RESET) {
                // Long enough for the bytes to be read before the RST.
                Sleep(300);
                const linger abort = {1, 0};
                setsockopt(client, SOL_SOCKET, SO_LINGER, (const char*)&abort, sizeof(abort));
            } else {
                shutdown(client, SD_SEND);
            }
            closesocket(client);
        }
    }

    std::vector<Reply> m_replies;
    HANDLE m_stop;
    SOCKET m_listener = INVALID_SOCKET;
    HANDLE m_thread = NULL;
    std::mutex m_mutex;
    std::vector<std::string> m_requests;
    int m_accepted = 0;
};

}  // namespace nettest
