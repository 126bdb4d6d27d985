// Login and logout workers and the session state they keep.
#include "net/session.h"

#include <string.h>
#include <exception>
#include <string>

#include "base/shell.h"
#include "base/constants.h"
#include "net/captcha.h"
#include "net/captcha_logic.h"
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

namespace {

// The last status text of a login or logout, and its exit code.
struct SessionEnd {
    const wchar_t* text;
    DWORD code;
};

SessionEnd AttemptLogin(const Credentials* credentials, const char* host, const char* pictureHost, LONG epoch)
{
    const std::string email = FieldText(credentials->email);
    const std::string password = FieldText(credentials->password);
    const bool due = g_captchaDue != 0;
    char request[LOGIN_REQUEST_SIZE];
    // No picture is fetched for a login that could not go out with its code.
    if (!ComposeLoginRequest(request, g_site, email, password, host, due ? LongestCaptchaQuery() : "")) {
        SessionEnd end = {TEXT_CREDENTIALS_TOO_LONG, EXIT_FAILED};
        return end;
    }
    std::string captchaQuery;
    const wchar_t* failure = NULL;
    if (due && !AskCaptcha(pictureHost, TEXT_LOGIN_CANCELLED, captchaQuery, &failure)) {
        SessionEnd end = {failure, EXIT_FAILED};
        return end;
    }
    if (!ComposeLoginRequest(request, g_site, email, password, host, captchaQuery)) {
        SessionEnd end = {TEXT_CREDENTIALS_TOO_LONG, EXIT_FAILED};
        return end;
    }

    std::string response;
    HttpExchange(request, response, host);
    const LoginAnswer answer = ReadLoginAnswer(response);
    // A Save of another e-mail meanwhile has ended the captcha of this one.
    if (LoginCaptchaEpoch() == epoch)
        InterlockedExchange(&g_captchaDue, CaptchaDueAfter(answer.outcome, g_captchaDue != 0));
    if (answer.loggedIn && !SessionIdsFit(answer.sid, answer.remixmid, g_site, host)) {
        // Accepted, it could never be logged out of: refuse it whole.
        SessionEnd end = {TEXT_SESSION_IDS_TOO_LONG, EXIT_FAILED};
        return end;
    }
    if (answer.loggedIn)
        StoreSession(answer.sid, answer.remixmid);
    else if (answer.storeSid)
        StoreSid(answer.sid);
    SessionEnd end = {LoginStatusText(answer.outcome), answer.hasLocation ? EXIT_DONE : EXIT_FAILED};
    return end;
}

SessionEnd AttemptLogout(const char* host)
{
    SessionEnd end = {TEXT_LOGOUT_FAILED, EXIT_FAILED};
    if (!g_loggedIn) {
        end.text = TEXT_NOT_LOGGED_IN;
        return end;
    }
    char sid[SESSION_ID_SIZE];
    char remixmid[SESSION_ID_SIZE];
    ReadSessionIds(sid, remixmid);
    char request[REQUEST_BUFFER_SIZE];
    if (!ComposeLogoutRequest(request, g_site, sid, host))
        return end;
    std::string response;
    HttpExchange(request, response, host);
    if (!LogoutSucceeded(response))
        return end;
    EndSession();
    end.text = TEXT_LOGGED_OUT;
    end.code = EXIT_DONE;
    return end;
}

// The slot is given back before the last text, never after it: a tap that
// follows the text at once finds the next login or logout free to start.
DWORD FinishSessionWork(const SessionEnd& end)
{
    ReleaseSessionWork();
    SetStatusText(end.text);
    return end.code;
}

}  // namespace

// Nothing may escape a worker: an exception there would end the program.
// Only running out of memory while reading the answer can throw.
DWORD RunLogin(const Credentials* credentials, const char* host, const char* pictureHost, LONG epoch)
{
    SessionEnd end = {TEXT_LOGIN_FAILED, EXIT_FAILED};
    try {
        end = AttemptLogin(credentials, host, pictureHost, epoch);
    } catch (const std::exception&) {
        end.text = TEXT_LOGIN_FAILED;
        end.code = EXIT_FAILED;
    }
    return FinishSessionWork(end);
}

DWORD RunLogout(const char* host)
{
    SessionEnd end = {TEXT_LOGOUT_FAILED, EXIT_FAILED};
    try {
        end = AttemptLogout(host);
    } catch (const std::exception&) {
        end.text = TEXT_LOGOUT_FAILED;
        end.code = EXIT_FAILED;
    }
    return FinishSessionWork(end);
}

DWORD WINAPI LoginThread(LPVOID credentials)
{
    // A Save may rewrite the record meanwhile: log in with a whole copy,
    // noting first which captcha state it belongs to.
    const LONG epoch = LoginCaptchaEpoch();
    Credentials copy;
    CopyCredentials(*static_cast<const Credentials*>(credentials), copy);
    return RunLogin(&copy, LOGIN_HOST, DATA_API_HOST, epoch);
}

DWORD WINAPI LogoutThread(LPVOID unused)
{
    (void)unused;
    return RunLogout(LOGIN_HOST);
}
