#include "net/captcha.h"

#include "app/app_state.h"
#include "net/http_exchange.h"
#include "net/response.h"
#include "net/session_logic.h"
#include "net/status_texts.h"

volatile LONG g_captchaDue = 0;

bool AskCaptcha(const char* host, std::string& query)
{
    // Only the login worker gets here, one at a time.
    static unsigned seed = GetTickCount() ^ (GetCurrentProcessId() << 16);
    const int csid = NextCaptchaId(&seed);
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
    prompt.answer = CAPTCHA_CANCELLED;
    if (!IsCaptchaPicture(prompt.picture)) {
        SetStatusText(TEXT_CAPTCHA_NO_PICTURE);
        return false;
    }
    SendMessageW(g_mainWindow, WM_CAPTCHA_PROMPT, 0, (LPARAM)&prompt);
    switch (prompt.answer) {
    case CAPTCHA_TYPED: query = CaptchaQuery(csid, prompt.code); return true;
    case CAPTCHA_UNREADABLE: SetStatusText(TEXT_CAPTCHA_BAD_PICTURE); return false;
    default: SetStatusText(TEXT_LOGIN_CANCELLED); return false;
    }
}
