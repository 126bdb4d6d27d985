#include "net/captcha.h"

#include "base/shell.h"
#include "net/http_exchange.h"
#include "net/response.h"
#include "net/session_logic.h"
#include "net/status_texts.h"

volatile LONG g_captchaDue = 0;

namespace {

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

bool AskCaptcha(const char* host, const wchar_t* cancelledText, std::string& query)
{
    const int csid = NewCaptchaId();
    char request[REQUEST_BUFFER_SIZE];
    if (!ComposeCaptchaRequest(request, csid, host)) {
        SetStatusText(TEXT_CAPTCHA_NO_PICTURE);
        return false;
    }
    std::string response;
    HttpExchange(request, response, host);

    CaptchaPrompt prompt;
    prompt.picture = ResponseBody(response);
    prompt.code[0] = '\0';
    prompt.answer = CaptchaCancelled;
    // Whatever the exchange said, the user learns that the picture is missing.
    if (!IsCaptchaPicture(prompt.picture)) {
        SetStatusText(TEXT_CAPTCHA_NO_PICTURE);
        return false;
    }
    SendMessageW(g_mainWindow, WM_CAPTCHA_PROMPT, 0, (LPARAM)&prompt);
    switch (prompt.answer) {
    case CaptchaTyped: query = CaptchaQuery(csid, prompt.code); return true;
    case CaptchaUnreadable: SetStatusText(TEXT_CAPTCHA_BAD_PICTURE); return false;
    case CaptchaBusy: SetStatusText(TEXT_CAPTCHA_BUSY); return false;
    default: SetStatusText(cancelledText); return false;
    }
}
