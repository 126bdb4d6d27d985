// One HTTP request over a fresh TCP connection to port 80 of host; the raw
// response is appended to response. Shows progress in the status bar and the
// running totals in the traffic label.
#pragma once

#include <windows.h>
#include <stddef.h>
#include <string>

extern volatile LONG g_bytesSent;
extern volatile LONG g_bytesReceived;

// A silent server must not hold a worker for ever, and an endless one must
// not eat the memory: a 10 MB friend list still fits well.
enum { EXCHANGE_IO_TIMEOUT_MS = 60000, CONNECTION_TIMEOUT_MS = 25000 };
// A server that trickles a byte now and then never falls silent for a
// minute; the whole exchange still ends this long after the connect.
enum { EXCHANGE_DEADLINE_MS = 90000 };
const size_t MAX_RESPONSE_BYTES = 32u * 1024u * 1024u;
// Each recv is a round trip to the wineserver on the desktop; 16 KiB chunks
// bring a 10 MB answer from 7.5 s down to 0.7 s with nothing else changed.
enum { RECEIVE_CHUNK_BYTES = 16 * 1024 };

// -1 when the exchange failed (response left empty), non-negative otherwise:
// before the request went out (the connection) or after it (the answer
// late, reset, too big, cut short or malformed), each with its own text;
// failure, when given, gets that text (null after a success), so a worker
// can record its own outcome whatever the status bar shows meanwhile.
int HttpExchange(
    const char* request, std::string& response, const char* host, const wchar_t** failure = NULL);
HRESULT EstablishConnection(const wchar_t* url, DWORD timeoutMs);
GUID MapUrlToNetwork(const wchar_t* url);
void UpdateTrafficLabel(LONG received, LONG sent);

struct ExchangeLimits {
    DWORD ioTimeoutMs;  // silence allowed on send and receive
    DWORD deadlineMs;   // the whole receive, from the connect
    size_t maxResponseBytes;
};

// HttpExchange with its limits given.
int HttpExchangeWithLimits(const char* request, std::string& response, const char* host,
    const ExchangeLimits& limits, const wchar_t** failure = NULL);
