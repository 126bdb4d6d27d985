// Connection Manager stand-in: a desktop always has its network, so every
// URL maps to the same (all-zero) destination and connecting succeeds at once.
#include <connmgr.h>

extern "C" HRESULT WINAPI ConnMgrMapURL(LPCWSTR url, GUID* guid, DWORD* index)
{
    if (!url || !guid)
        return E_INVALIDARG;
    ZeroMemory(guid, sizeof(*guid));
    if (index)
        *index = 0;
    return S_OK;
}

extern "C" HRESULT WINAPI ConnMgrEstablishConnectionSync(
    CONNMGR_CONNECTIONINFO* info, HANDLE* connection, DWORD timeoutMs, DWORD* status)
{
    (void)timeoutMs;
    if (!info || info->cbSize != sizeof(CONNMGR_CONNECTIONINFO) || !connection)
        return E_INVALIDARG;
    *connection = NULL;
    if (status)
        *status = CONNMGR_STATUS_CONNECTED;
    return S_OK;
}
