// The captcha dialog: the picture of the code, one field to type it in,
// "Закрыть" and "Отправить".
#pragma once

#include <windows.h>

struct CaptchaPrompt;

// The main window's answer to WM_CAPTCHA_PROMPT, on its own thread: shows
// the prompt's picture modally and fills in its answer and code. Always 0.
LRESULT ShowCaptchaPrompt(CaptchaPrompt* prompt);

INT_PTR CALLBACK CaptchaDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
