// The captcha step of the login and message workers: fetch the picture, have
// the main window show it, and hand back what the user typed.
#pragma once

#include <windows.h>

#include <string>

#include "net/captcha_logic.h"

// Whether the next login needs a captcha. Written by the login worker (one
// login at a time) and ended by EndLoginCaptcha.
extern volatile LONG g_captchaDue;

// A pending login captcha belongs to the e-mail it was asked for: a saved
// change of the e-mail ends it, and a login that was under way meanwhile
// does not bring it back. Any thread may call it.
void EndLoginCaptcha();
// Advanced by every EndLoginCaptcha; a login notes it before it copies the
// credentials and updates g_captchaDue only while it is unchanged.
LONG LoginCaptchaEpoch();

enum CaptchaAnswer { CaptchaCancelled, CaptchaTyped, CaptchaUnreadable, CaptchaBusy };

// Sent (never posted) by a worker to g_mainWindow with a CaptchaPrompt* as
// lParam: the window owns every dialog, so the dialog opens on its thread
// while the worker waits in SendMessage. The prompt lives on the worker's
// stack, which stays put until the send returns; the worker holds no lock
// across the send, so the user-interface thread never waits on one.
#define WM_CAPTCHA_PROMPT (WM_APP + 0x11)

struct CaptchaPrompt {
    std::string picture;              // the GIF as it came
    char code[CAPTCHA_CODE_MAX + 1];  // what was typed, ANSI
    CaptchaAnswer answer;
};

// Fetches a picture from host and asks for its code. True with the query
// text for the request that answers it; false with *failure the text to end
// on: cancelledText when the user closed the dialog, or why no picture could
// be shown. The worker shows it as its last act.
bool AskCaptcha(const char* host, const wchar_t* cancelledText, std::string& query, const wchar_t** failure);
