#include "base/credentials.h"

#include <windows.h>

#include <cstring>

#include "net/captcha.h"

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
    char before[CREDENTIAL_FIELD_SIZE];
    memcpy(before, to.email, sizeof(before));
    CopyField(to.email, email);
    CopyField(to.password, password);
    const bool otherEmail = memcmp(before, to.email, sizeof(before)) != 0;
    LeaveCriticalSection(&g_credentialsLock.section);
    // A captcha the service asked of the old e-mail is not the new one's.
    if (otherEmail && &to == &g_credentials)
        EndLoginCaptcha();
}
