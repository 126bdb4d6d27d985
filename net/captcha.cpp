#include "net/captcha.h"

#include "base/shell.h"
#include "net/http_exchange.h"
#include "net/session_logic.h"
#include "net/status_texts.h"

volatile LONG g_captchaDue = 0;

namespace {

volatile LONG g_loginCaptchaEpoch = 0;

// The login and a message worker may both want a picture at once.
int NewCaptchaId()
{
    static volatile LONG seed = (LONG)(GetTickCount() ^ (GetCurrentProcessId() << 16));
    for (;;) {
        const LONG old = seed;
        unsigned next = (unsigned)old;
        const int csid = NextCaptchaId(&next);
        if (InterlockedCompareExchange(&seed, (LONG)next, old) == old)
            return csid;
    }
}

}  // namespace

void EndLoginCaptcha()
{
    InterlockedIncrement(&g_loginCaptchaEpoch);
    InterlockedExchange(&g_captchaDue, 0);
}

LONG LoginCaptchaEpoch()
{
    return InterlockedCompareExchange(&g_loginCaptchaEpoch, 0, 0);
}

bool AskCaptcha(const char* host, const wchar_t* cancelledText, std::string& query, const wchar_t** failure)
{
    *failure = TEXT_CAPTCHA_NO_PICTURE;
    const int csid = NewCaptchaId();
    char request[REQUEST_BUFFER_SIZE];
    if (!ComposeCaptchaRequest(request, csid, host))
        return false;
    std::string response;
    HttpExchange(request, response, host);

    CaptchaPrompt prompt;
    prompt.picture = CaptchaPictureOf(response);
    prompt.code[0] = '\0';
    prompt.answer = CaptchaCancelled;
    // Whatever the exchange said, the user learns that the picture is missing.
    if (!IsCaptchaPicture(prompt.picture))
        return false;
    SendMessageW(g_mainWindow, WM_CAPTCHA_PROMPT, 0, (LPARAM)&prompt);
    switch (prompt.answer) {
    case CaptchaTyped: query = CaptchaQuery(csid, prompt.code); return true;
    case CaptchaUnreadable: *failure = TEXT_CAPTCHA_BAD_PICTURE; return false;
    case CaptchaBusy: *failure = TEXT_CAPTCHA_BUSY; return false;
    default: *failure = cancelledText; return false;
    }
}
