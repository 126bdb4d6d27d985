// Session state and the login and logout workers.
#pragma once

#include <windows.h>

#include "base/constants.h"
#include "base/credentials.h"
#include "net/captcha.h"

enum { SESSION_ID_SIZE = 260 };

extern volatile BYTE g_loggedIn;          // written by the workers, read everywhere
extern char g_sid[SESSION_ID_SIZE];       // session id: query value "sid"
extern char g_remixmid[SESSION_ID_SIZE];  // member id: query value "id"
extern int g_site;                        // "site" of both auth requests

DWORD WINAPI LoginThread(LPVOID credentials);
DWORD WINAPI LogoutThread(LPVOID unused);

// Copies the session id and member id as one consistent pair (never half of
// a login's update); each buffer holds SESSION_ID_SIZE bytes.
void ReadSessionIds(char* sid, char* remixmid);

// Every login and logout success advances the session number, so a worker
// that noted it at its start can tell whether its session still holds.
unsigned long CurrentSession();
// The login state, the ids and the session number, all of one moment.
// Returns g_loggedIn.
bool ReadSession(char* sid, char* remixmid, unsigned long* session);

// While one exists, no login or logout can publish its outcome: a worker
// holds it from its session check to its last status text, so what it shows
// is never overtaken by a session change. Held by workers only, never by the
// user-interface thread.
class SessionHold {
public:
    SessionHold();
    ~SessionHold();
    SessionHold(const SessionHold&) = delete;
    SessionHold& operator=(const SessionHold&) = delete;
};

// One login or logout at a time. The connect command claims the slot on the
// user-interface thread before it starts a worker; the worker gives it back
// once its last text is shown.
enum SessionWork { SessionWorkNone, SessionWorkLogin, SessionWorkLogout };
// False when a login or logout is under way already (then nothing changes).
bool ClaimSessionWork(SessionWork work);
SessionWork SessionWorkUnderWay();
void ReleaseSessionWork();
// What the status bar says to a tap while that work is under way.
const wchar_t* SessionWorkText(SessionWork work);

// The workers' bodies with the host given, so they can be aimed at any
// server; the thread routines use the login host. Return the exit code.
// Each gives the login or logout slot back, then shows its last text.
// A login that needs a captcha fetches its picture from pictureHost first;
// epoch is LoginCaptchaEpoch as it was before the credentials were copied.
DWORD RunLogin(const Credentials* credentials, const char* host, const char* pictureHost = DATA_API_HOST,
    LONG epoch = LoginCaptchaEpoch());
DWORD RunLogout(const char* host);
