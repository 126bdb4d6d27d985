// One HTTP request over a fresh TCP connection to port 80 of host; the raw
// response is appended to response. Shows progress in the status bar and the
// running totals in the traffic label.
#pragma once

#include <windows.h>
#include <string>

extern volatile LONG g_bytesSent;
extern volatile LONG g_bytesReceived;

// -1 when the exchange failed (response left empty), non-negative otherwise.
int HttpExchange(const char* request, std::string& response, const char* host);
HRESULT EstablishConnection(const wchar_t* url, DWORD timeoutMs);
GUID MapUrlToNetwork(const wchar_t* url);
void UpdateTrafficLabel(LONG received, LONG sent);
