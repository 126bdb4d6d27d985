// Login and logout workers and the session state they keep.
#include "net/session.h"

#include <string.h>
#include <exception>
#include <string>

#include "base/shell.h"
#include "base/constants.h"
#include "net/captcha.h"
#include "net/http_exchange.h"
#include "base/session_bounds.h"
#include "net/session_logic.h"
#include "net/status_texts.h"

volatile BYTE g_loggedIn = 0;
char g_sid[SESSION_ID_SIZE] = "";
char g_remixmid[SESSION_ID_SIZE] = "";
int g_site = 2;

namespace {

const DWORD EXIT_DONE = 1;
const DWORD EXIT_FAILED = (DWORD)-1;

struct SessionLock {
    CRITICAL_SECTION section;
    SessionLock() { InitializeCriticalSection(&section); }
};
// Guards g_sid, g_remixmid, g_loggedIn and the session number together, so
// a reader never sees half of an update. Held only for the copy. Both locks
// are made once and never deleted: a worker may still hold one while the
// program's statics are torn down at exit.
SessionLock& g_sessionLock = *new SessionLock();
// Taken before g_sessionLock whenever both are held.
SessionLock& g_sessionHoldLock = *new SessionLock();

volatile LONG g_sessionNumber = 0;
volatile LONG g_sessionWork = SessionWorkNone;

void CopyToken(char* target, const std::string& token)
{
    // Tokens are checked to fit before they get here; cut rather than overrun.
    const size_t length = token.size() < SESSION_ID_SIZE ? token.size() : SESSION_ID_SIZE - 1;
    memcpy(target, token.data(), length);
    target[length] = '\0';
}

void StoreSid(const std::string& sid)
{
    EnterCriticalSection(&g_sessionLock.section);
    CopyToken(g_sid, sid);
    LeaveCriticalSection(&g_sessionLock.section);
}

// The pair is published first and the flag after it, so a worker that sees
// g_loggedIn set always reads the ids of that login.
void StoreSession(const std::string& sid, const std::string& remixmid)
{
    SessionHold hold;
    EnterCriticalSection(&g_sessionLock.section);
    CopyToken(g_sid, sid);
    CopyToken(g_remixmid, remixmid);
    InterlockedIncrement(&g_sessionNumber);
    MemoryBarrier();
    g_loggedIn = 1;
    LeaveCriticalSection(&g_sessionLock.section);
}

void EndSession()
{
    SessionHold hold;
    EnterCriticalSection(&g_sessionLock.section);
    g_loggedIn = 0;
    InterlockedIncrement(&g_sessionNumber);
    LeaveCriticalSection(&g_sessionLock.section);
}

std::string FieldText(const char* field)
{
    // The settings may have filled a field to the brim without a terminator.
    return std::string(field, strnlen(field, CREDENTIAL_FIELD_SIZE));
}

}  // namespace

void ReadSessionIds(char* sid, char* remixmid)
{
    EnterCriticalSection(&g_sessionLock.section);
    memcpy(sid, g_sid, SESSION_ID_SIZE);
    memcpy(remixmid, g_remixmid, SESSION_ID_SIZE);
    LeaveCriticalSection(&g_sessionLock.section);
}

unsigned long CurrentSession()
{
    return (unsigned long)InterlockedCompareExchange(&g_sessionNumber, 0, 0);
}

bool ReadSession(char* sid, char* remixmid, unsigned long* session)
{
    EnterCriticalSection(&g_sessionLock.section);
    memcpy(sid, g_sid, SESSION_ID_SIZE);
    memcpy(remixmid, g_remixmid, SESSION_ID_SIZE);
    *session = (unsigned long)g_sessionNumber;
    const bool loggedIn = g_loggedIn != 0;
    LeaveCriticalSection(&g_sessionLock.section);
    return loggedIn;
}

SessionHold::SessionHold()
{
    EnterCriticalSection(&g_sessionHoldLock.section);
}

SessionHold::~SessionHold()
{
    LeaveCriticalSection(&g_sessionHoldLock.section);
}

bool ClaimSessionWork(SessionWork work)
{
    return InterlockedCompareExchange(&g_sessionWork, work, SessionWorkNone) == SessionWorkNone;
}

SessionWork SessionWorkUnderWay()
{
    return (SessionWork)InterlockedCompareExchange(&g_sessionWork, 0, 0);
}

void ReleaseSessionWork()
{
    InterlockedExchange(&g_sessionWork, SessionWorkNone);
}

const wchar_t* SessionWorkText(SessionWork work)
{
    return work == SessionWorkLogout ? TEXT_DISCONNECTING : TEXT_CONNECTING;
}

DWORD RunLogin(const Credentials* credentials, const char* host, const char* pictureHost)
{
    std::string captchaQuery;
    if (g_captchaDue && !AskCaptcha(pictureHost, TEXT_LOGIN_CANCELLED, captchaQuery))
        return EXIT_FAILED;
    char request[REQUEST_BUFFER_SIZE];
    if (!ComposeLoginRequest(request, g_site, FieldText(credentials->email), FieldText(credentials->password),
            host, captchaQuery)) {
        SetStatusText(TEXT_CREDENTIALS_TOO_LONG);
        return EXIT_FAILED;
    }

    std::string response;
    HttpExchange(request, response, host);
    const LoginAnswer answer = ReadLoginAnswer(response);
    g_captchaDue = CaptchaDueAfter(answer.outcome, g_captchaDue != 0);
    if (answer.loggedIn && !SessionIdsFit(answer.sid, answer.remixmid, g_site, host)) {
        // Accepted, it could never be logged out of: refuse it whole.
        SetStatusText(TEXT_SESSION_IDS_TOO_LONG);
        return EXIT_FAILED;
    }
    if (answer.loggedIn)
        StoreSession(answer.sid, answer.remixmid);
    else if (answer.storeSid)
        StoreSid(answer.sid);
    SetStatusText(LoginStatusText(answer.outcome));
    return answer.hasLocation ? EXIT_DONE : EXIT_FAILED;
}

DWORD RunLogout(const char* host)
{
    if (!g_loggedIn) {
        SetStatusText(TEXT_NOT_LOGGED_IN);
        return EXIT_FAILED;
    }

    char sid[SESSION_ID_SIZE];
    char remixmid[SESSION_ID_SIZE];
    ReadSessionIds(sid, remixmid);
    char request[REQUEST_BUFFER_SIZE];
    if (!ComposeLogoutRequest(request, g_site, sid, host)) {
        SetStatusText(TEXT_LOGOUT_FAILED);
        return EXIT_FAILED;
    }

    std::string response;
    HttpExchange(request, response, host);
    if (!LogoutSucceeded(response)) {
        SetStatusText(TEXT_LOGOUT_FAILED);
        return EXIT_FAILED;
    }
    EndSession();
    SetStatusText(TEXT_LOGGED_OUT);
    return EXIT_DONE;
}

// Nothing may escape a worker: an exception there would end the program.
// Only running out of memory while reading the answer can throw.
// The next login or logout may start once the last text is shown.
DWORD WINAPI LoginThread(LPVOID credentials)
{
    DWORD code = EXIT_FAILED;
    try {
        // A Save may rewrite the record meanwhile: log in with a whole copy.
        Credentials copy;
        CopyCredentials(*static_cast<const Credentials*>(credentials), copy);
        code = RunLogin(&copy, LOGIN_HOST);
    } catch (const std::exception&) {
        SetStatusText(TEXT_LOGIN_FAILED);
    }
    ReleaseSessionWork();
    return code;
}

DWORD WINAPI LogoutThread(LPVOID unused)
{
    (void)unused;
    DWORD code = EXIT_FAILED;
    try {
        code = RunLogout(LOGIN_HOST);
    } catch (const std::exception&) {
        SetStatusText(TEXT_LOGOUT_FAILED);
    }
    ReleaseSessionWork();
    return code;
}
