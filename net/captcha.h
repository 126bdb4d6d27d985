// The captcha step of the login worker: fetch the picture, have the main
// window show it, and hand back what the user typed.
#pragma once

#include <windows.h>

#include <string>

#include "net/captcha_logic.h"

// Whether the next login needs a captcha. Written only by the login worker
// (one login at a time), read by it too.
extern volatile LONG g_captchaDue;

enum CaptchaAnswer { CAPTCHA_CANCELLED, CAPTCHA_TYPED, CAPTCHA_UNREADABLE };

// Sent (never posted) by the login worker to g_mainWindow with a
// CaptchaPrompt* as lParam: the window owns every dialog, so the dialog opens
// on its thread while the worker waits in SendMessage.
#define WM_CAPTCHA_PROMPT (WM_APP + 0x11)

struct CaptchaPrompt {
    std::string picture;              // the GIF as it came
    char code[CAPTCHA_CODE_MAX + 1];  // what was typed, ANSI
    CaptchaAnswer answer;
};

// Fetches a picture from host and asks for its code. True with the query
// text for the login request; false when the user closed the dialog or
// something failed, with the status text already shown.
bool AskCaptcha(const char* host, std::string& query);
