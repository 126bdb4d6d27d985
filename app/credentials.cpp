#include "base/credentials.h"

#include <windows.h>

#include <cstring>

Credentials g_credentials = {};

namespace {

struct CredentialsLock {
    CRITICAL_SECTION section;
    CredentialsLock() { InitializeCriticalSection(&section); }
    ~CredentialsLock() { DeleteCriticalSection(&section); }
};
CredentialsLock g_credentialsLock;

void CopyField(char* field, const char* value)
{
    memset(field, 0, CREDENTIAL_FIELD_SIZE);
    if (value)
        strncpy(field, value, CREDENTIAL_FIELD_SIZE - 1);
}

}  // namespace

void CopyCredentials(const Credentials& from, Credentials& to)
{
    EnterCriticalSection(&g_credentialsLock.section);
    memcpy(&to, &from, sizeof(Credentials));
    LeaveCriticalSection(&g_credentialsLock.section);
}

void StoreCredentials(Credentials& to, const char* email, const char* password)
{
    EnterCriticalSection(&g_credentialsLock.section);
    CopyField(to.email, email);
    CopyField(to.password, password);
    LeaveCriticalSection(&g_credentialsLock.section);
}
