// The message and status workers. Each gets a job record made with new and
// owns it: it works on its own copy and deletes it when done.
#pragma once

#include <windows.h>

#include "api/message_text.h"
#include "api/status_text.h"
#include "base/constants.h"

// The session whose messages need a captcha first (0 for none): set by a
// message answered -2, ended by one sent, and by any change of the session,
// since a captcha belongs to the session that was asked for it.
extern volatile LONG g_messageCaptchaSession;
// Whether the next message of the current session asks for a captcha first.
bool MessageCaptchaDue();

DWORD WINAPI MessageSendThread(LPVOID job);
DWORD WINAPI StatusUpdateThread(LPVOID job);

// The workers' bodies with the host given; the threads use the data API host.
// A message that needs a captcha fetches its picture from pictureHost first.
void RunMessageSend(const MessageJob& job, const char* host, const char* pictureHost = DATA_API_HOST);
void RunStatusUpdate(const StatusJob& job, const char* host);

// Starts a worker on a copy of the job; false (reported on the status bar)
// when no thread could be made.
bool StartMessageSend(const MessageJob& job);
bool StartStatusUpdate(const StatusJob& job);
