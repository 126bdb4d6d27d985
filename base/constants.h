// Names of the service this client talks to. The .example domain is reserved,
// so no real host can ever be reached by mistake; the network sandbox maps
// the two hosts to loopback addresses.
#pragma once

#define SERVICE_DOMAIN       "socialnet.example"  // settings section
#define LOGIN_HOST           "login.socialnet.example"
#define DATA_API_HOST        "api.socialnet.example"
#define CONNMGR_URL          L"http://api.socialnet.example"
#define SERVICE_DISPLAY_NAME L"SocialNet"

// Narrow text buffers of the shell and its workers (act names, menu captions).
enum { TEXT_BUFFER_SIZE = 260, TITLE_BUFFER_SIZE = 100 };
