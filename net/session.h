// Session state and the login and logout workers.
#pragma once

#include <windows.h>

#include "app/credentials.h"

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

// The workers' bodies with the host given, so they can be aimed at any
// server; the thread routines use the login host. Return the exit code.
DWORD RunLogin(const Credentials* credentials, const char* host);
DWORD RunLogout(const char* host);
