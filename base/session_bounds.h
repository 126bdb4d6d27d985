// Whether a session the login host hands out can be used at all: every later
// request carries the session id and member id unencoded in a fixed buffer,
// so a pair that does not fit would leave the user logged in with no way to
// log out. Declared here for net/'s login; app/ implements it, since only
// app/ sees every request that carries the ids. No windows.h.
#pragma once

#include <string>

// True when the logout request (to loginHost, with site) and the friend-list
// request of every list kind can be composed with these ids.
bool SessionIdsFit(const std::string& sid, const std::string& memberId, int site, const char* loginHost);
