// Connection Manager interfaces for builds that are not for the device; the
// desktop network is always there, so the stand-in always connects at once.
#pragma once

#ifdef _WIN32_WCE
#include_next <connmgr.h>
#else

#include <windows.h>

#ifdef __cplusplus
extern "C" {
#endif

typedef struct _CONNMGR_CONNECTIONINFO {
    DWORD cbSize;
    DWORD dwParams;
    DWORD dwFlags;
    DWORD dwPriority;
    BOOL bExclusive;
    BOOL bDisabled;
    GUID guidDestNet;
    HWND hWnd;
    UINT uMsg;
    LPARAM lParam;
    ULONG ulMaxCost;
    ULONG ulMinRcvBw;
    ULONG ulMaxConnLatency;
} CONNMGR_CONNECTIONINFO;

#define CONNMGR_PARAM_GUIDDESTNET        0x00000001
#define CONNMGR_PRIORITY_USERINTERACTIVE 0x00008000
#define CONNMGR_STATUS_CONNECTED         0x00000010

HRESULT WINAPI ConnMgrMapURL(LPCWSTR url, GUID* guid, DWORD* index);
HRESULT WINAPI ConnMgrEstablishConnectionSync(
    CONNMGR_CONNECTIONINFO* info, HANDLE* connection, DWORD timeoutMs, DWORD* status);

#ifdef __cplusplus
}
#endif

#endif  // _WIN32_WCE
