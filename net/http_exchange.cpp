// The HTTP exchange: connection manager, one socket, one request, the whole
// answer: to its end, or until the server closes when it gives no length.
#include <winsock2.h>
#include <windows.h>
#include <connmgr.h>
#include <stdio.h>
#include <string.h>

#include <new>

#include "net/http_exchange.h"

#include "base/shell.h"
#include "base/constants.h"
#include "base/late_call.h"
#include "net/http_answer.h"
#include "net/status_texts.h"

volatile LONG g_bytesSent = 0;
volatile LONG g_bytesReceived = 0;

namespace {

enum { SERVER_PORT = 80, TRAFFIC_TEXT_SIZE = 64 };

// Winsock is needed only at the first exchange: it is loaded then, so that
// the start does not map and initialise it (under Wine with its Unix side
// and the IP helper it pulls in).
struct WinsockCalls {
    int(WSAAPI* startup)(WORD, LPWSADATA);
    int(WSAAPI* cleanup)();
    unsigned long(WSAAPI* inetAddr)(const char*);
    hostent*(WSAAPI* getHostByName)(const char*);
    SOCKET(WSAAPI* socket)(int, int, int);
    int(WSAAPI* setSockOpt)(SOCKET, int, int, const char*, int);
    int(WSAAPI* connect)(SOCKET, const sockaddr*, int);
    int(WSAAPI* send)(SOCKET, const char*, int, int);
    int(WSAAPI* recv)(SOCKET, char*, int, int);
    int(WSAAPI* closeSocket)(SOCKET);
};

WinsockCalls LoadWinsock()
{
    // Kept loaded for the rest of the process.
    const HMODULE ws = LoadLibraryW(L"ws2_32.dll");
    WinsockCalls calls = {};
    if (!FindLateCall(ws, "WSAStartup", &calls.startup) || !FindLateCall(ws, "WSACleanup", &calls.cleanup)
        || !FindLateCall(ws, "inet_addr", &calls.inetAddr)
        || !FindLateCall(ws, "gethostbyname", &calls.getHostByName)
        || !FindLateCall(ws, "socket", &calls.socket) || !FindLateCall(ws, "setsockopt", &calls.setSockOpt)
        || !FindLateCall(ws, "connect", &calls.connect) || !FindLateCall(ws, "send", &calls.send)
        || !FindLateCall(ws, "recv", &calls.recv) || !FindLateCall(ws, "closesocket", &calls.closeSocket))
        calls = WinsockCalls {};
    return calls;
}

// Null when the system has no Winsock: then every exchange fails to connect.
const WinsockCalls* Winsock()
{
    static const WinsockCalls calls = LoadWinsock();
    return calls.startup ? &calls : NULL;
}

// htons without Winsock: the port in network byte order.
u_short NetworkOrder(u_short value)
{
    return (u_short)((value >> 8) | (value << 8));
}

bool ResolveHost(const WinsockCalls& ws, const char* host, sockaddr_in* address)
{
    const unsigned long dotted = ws.inetAddr(host);
    if (dotted != INADDR_NONE) {
        address->sin_addr.s_addr = dotted;
        return true;
    }
    const hostent* entry = ws.getHostByName(host);
    if (!entry || entry->h_addrtype != AF_INET || entry->h_length != sizeof(address->sin_addr)
        || !entry->h_addr_list || !entry->h_addr_list[0])
        return false;
    memcpy(&address->sin_addr, entry->h_addr_list[0], sizeof(address->sin_addr));
    return true;
}

// Connected socket or INVALID_SOCKET; the status text of a failure is the
// caller's.
SOCKET ConnectToHost(const WinsockCalls& ws, const char* host, DWORD ioTimeoutMs)
{
    SOCKET s = ws.socket(AF_INET, SOCK_STREAM, 0);
    if (s == INVALID_SOCKET)
        return INVALID_SOCKET;

    sockaddr_in address;
    memset(&address, 0, sizeof(address));
    if (!ResolveHost(ws, host, &address)) {
        ws.closeSocket(s);
        return INVALID_SOCKET;
    }
    address.sin_family = AF_INET;
    address.sin_port = NetworkOrder(SERVER_PORT);

    ws.setSockOpt(s, SOL_SOCKET, SO_SNDTIMEO, (const char*)&ioTimeoutMs, sizeof(ioTimeoutMs));
    ws.setSockOpt(s, SOL_SOCKET, SO_RCVTIMEO, (const char*)&ioTimeoutMs, sizeof(ioTimeoutMs));

    if (ws.connect(s, (const sockaddr*)&address, sizeof(address)) == SOCKET_ERROR) {
        ws.closeSocket(s);
        return INVALID_SOCKET;
    }
    return s;
}

// Sends the whole request, repeating short sends; a failed send just stops
// (the answer may still come). Only what really went out is counted.
void SendRequest(const WinsockCalls& ws, SOCKET s, const char* request)
{
    const size_t length = strlen(request);
    size_t sent = 0;
    while (sent < length) {
        const size_t left = length - sent;
        const int piece = left > 0x40000000u ? 0x40000000 : (int)left;
        const int n = ws.send(s, request + sent, piece, 0);
        if (n == SOCKET_ERROR || n <= 0)
            break;
        InterlockedExchangeAdd(&g_bytesSent, n);
        sent += (size_t)n;
    }
}

enum ReceiveResult { ReceiveComplete, ReceiveFailed, ReceiveTooBig, ReceiveCut, ReceiveMalformed };

// Collects the answer until it is complete (its length, its last chunk, the
// blank line of a HEAD answer) or, without a length, until the server
// closes. A server may keep the line open after a whole answer, or reset
// it: what is whole is kept. Bytes that arrived count as traffic either
// way: they crossed the air.
ReceiveResult ReceiveAnswer(const WinsockCalls& ws, SOCKET s, std::string& collected,
    const ExchangeLimits& limits, bool headRequest, DWORD connectedAt)
{
    AnswerEnd end(headRequest);
    char chunk[RECEIVE_CHUNK_BYTES];
    DWORD applied = limits.ioTimeoutMs;  // as the connect left it
    for (;;) {
        // The overall deadline bounds a server that trickles a byte at a time.
        const DWORD elapsed = GetTickCount() - connectedAt;
        if (elapsed >= limits.deadlineMs)
            return ReceiveFailed;
        const DWORD left = limits.deadlineMs - elapsed;
        const DWORD wait = left < limits.ioTimeoutMs ? left : limits.ioTimeoutMs;
        // Only a shorter wait is set: under Wine each setsockopt is a
        // wineserver round trip, one per 16 KiB piece doubled a 10 MB answer.
        if (wait < applied) {
            ws.setSockOpt(s, SOL_SOCKET, SO_RCVTIMEO, (const char*)&wait, sizeof(wait));
            applied = wait;
        }

        const int n = ws.recv(s, chunk, sizeof(chunk), 0);
        if (n < 0)
            return ReceiveFailed;
        if (n == 0) {
            // Closed: whole unless a length or a last chunk is still due.
            const AnswerState state = end.Check(collected);
            if (state == AnswerMalformed)
                return ReceiveMalformed;
            return state == AnswerPartial && end.HeaderBlockArrived() ? ReceiveCut : ReceiveComplete;
        }
        InterlockedExchangeAdd(&g_bytesReceived, n);
        if ((size_t)n > limits.maxResponseBytes - collected.size())
            return ReceiveTooBig;
        try {
            collected.append(chunk, (size_t)n);  // the string grows geometrically
        } catch (const std::bad_alloc&) {
            return ReceiveTooBig;  // out of memory is a failed exchange; the socket still gets closed
        }
        switch (end.Check(collected)) {
        case AnswerComplete: return ReceiveComplete;
        case AnswerMalformed: return ReceiveMalformed;
        case AnswerPartial:
        case AnswerOpen: break;
        }
    }
}

const wchar_t* ReceiveFailureText(ReceiveResult result)
{
    // clang-format off
    switch (result) {
    case ReceiveTooBig:   return TEXT_ANSWER_TOO_BIG;
    case ReceiveCut:       return TEXT_ANSWER_CUT;
    case ReceiveMalformed: return TEXT_ANSWER_MALFORMED;
    case ReceiveFailed:
    default:                return TEXT_ANSWER_FAILED;
    }
    // clang-format on
}

bool IsHeadRequest(const char* request)
{
    return strncmp(request, "HEAD ", 5) == 0;
}

int FailExchange(const wchar_t* text, const wchar_t** failure)
{
    if (failure)
        *failure = text;
    SetStatusText(text);
    return -1;
}

}  // namespace

GUID MapUrlToNetwork(const wchar_t* url)
{
    GUID network;
    DWORD index = 0;
    if (FAILED(ConnMgrMapURL(url, &network, &index)))
        memset(&network, 0, sizeof(network));
    return network;
}

HRESULT EstablishConnection(const wchar_t* url, DWORD timeoutMs)
{
    CONNMGR_CONNECTIONINFO info;
    memset(&info, 0, sizeof(info));
    info.cbSize = sizeof(info);
    info.dwParams = CONNMGR_PARAM_GUIDDESTNET;
    info.dwPriority = CONNMGR_PRIORITY_USERINTERACTIVE;
    info.guidDestNet = MapUrlToNetwork(url);

    HANDLE connection = NULL;
    DWORD status = 0;
    return ConnMgrEstablishConnectionSync(&info, &connection, timeoutMs, &status);
}

void UpdateTrafficLabel(LONG received, LONG sent)
{
    wchar_t text[TRAFFIC_TEXT_SIZE];
    _snwprintf(text, TRAFFIC_TEXT_SIZE, TEXT_TRAFFIC_FORMAT, received / 1024.0, sent / 1024.0);
    text[TRAFFIC_TEXT_SIZE - 1] = L'\0';
    SendMessageW(g_trafficLabel, WM_SETTEXT, 0, (LPARAM)text);
}

int HttpExchangeWithLimits(const char* request, std::string& response, const char* host,
    const ExchangeLimits& limits, const wchar_t** failure)
{
    if (failure)
        *failure = NULL;
    if (FAILED(EstablishConnection(CONNMGR_URL, CONNECTION_TIMEOUT_MS)))
        return FailExchange(TEXT_NO_INTERNET, failure);
    SetStatusText(TEXT_COMPOSING);

    const WinsockCalls* ws = Winsock();
    WSADATA data;
    if (!ws)
        return FailExchange(TEXT_CONNECT_FAILED, failure);
    if (ws->startup(MAKEWORD(2, 2), &data) != 0) {
        ws->cleanup();
        return FailExchange(TEXT_CONNECT_FAILED, failure);
    }
    const SOCKET s = ConnectToHost(*ws, host, limits.ioTimeoutMs);
    if (s == INVALID_SOCKET) {
        ws->cleanup();
        return FailExchange(TEXT_CONNECT_FAILED, failure);
    }
    const DWORD connectedAt = GetTickCount();

    SetStatusText(TEXT_SENDING);
    SendRequest(*ws, s, request);

    SetStatusText(TEXT_RECEIVING);
    std::string collected;
    const ReceiveResult received
        = ReceiveAnswer(*ws, s, collected, limits, IsHeadRequest(request), connectedAt);
    ws->closeSocket(s);
    ws->cleanup();
    if (received != ReceiveComplete)
        return FailExchange(ReceiveFailureText(received), failure);

    if (response.empty())
        response.swap(collected);  // a 10 MB list is not copied twice
    else
        response.append(collected);
    UpdateTrafficLabel(g_bytesReceived, g_bytesSent);
    return 0;
}

int HttpExchange(const char* request, std::string& response, const char* host, const wchar_t** failure)
{
    const ExchangeLimits limits = {EXCHANGE_IO_TIMEOUT_MS, EXCHANGE_DEADLINE_MS, MAX_RESPONSE_BYTES};
    return HttpExchangeWithLimits(request, response, host, limits, failure);
}
