// The message and status workers: copy the session under its lock, compose,
// exchange, read "ok", report. Every outcome ends in one status text.
#include "api/data_workers.h"

#include <memory>
#include <string>

#include "api/api_texts.h"
#include "api/message_history.h"
#include "api/status_history.h"
#include "base/shell.h"
#include "base/constants.h"
#include "net/captcha.h"
#include "net/http_exchange.h"
#include "net/session.h"
#include "net/status_texts.h"
#include "resources/resource.h"

namespace {

// After a failed exchange the status bar already says why; the list of
// messages sent records the same words.
std::wstring ShownStatusText()
{
    wchar_t text[TEXT_BUFFER_SIZE] = L"";
    SendDlgItemMessageW(g_mainWindow, IDC_STATUS_BAR, WM_GETTEXT, TEXT_BUFFER_SIZE, (LPARAM)text);
    return text;
}

void ReportMessage(const MessageJob& job, const wchar_t* text, bool sent)
{
    if (sent)
        DropDraft(job.recipientId);
    else
        KeepDraft(job.recipientId, job.typed);
    RecordMessageOutcome(job.serial, text);
    SetStatusText(text);
}

// The outcome of a composed request: the exchange, then the answer's "ok".
// Gives the status text and sets *code when the answer carried one.
const wchar_t* Exchange(const char* request, const char* host, int* code, bool* exchanged)
{
    std::string response;
    *exchanged = HttpExchange(request, response, host) != -1;
    if (!*exchanged)
        return NULL;
    return ReadOutcomeCode(response, code) == AnswerHasCode ? NULL : TEXT_SERVER_ANSWER_BAD;
}

}  // namespace

// Any message worker may write it; a lost race only costs one -2 or one
// picture too many.
volatile LONG g_messageCaptchaDue = 0;

void RunMessageSend(const MessageJob& asked, const char* host, const char* pictureHost)
{
    if (!g_loggedIn) {
        ReportMessage(asked, TEXT_NOT_LOGGED_IN, false);
        return;
    }
    MessageJob job = asked;
    if (g_messageCaptchaDue && !AskCaptcha(pictureHost, TEXT_MESSAGE_CANCELLED, job.captcha)) {
        // The step has said why; the text waits for the next try.
        KeepDraft(job.recipientId, job.typed);
        RecordMessageOutcome(job.serial, ShownStatusText());
        return;
    }
    // Read after the dialog: the session may have ended while it was open.
    if (!g_loggedIn) {
        ReportMessage(job, TEXT_NOT_LOGGED_IN, false);
        return;
    }
    char sid[SESSION_ID_SIZE];
    char memberId[SESSION_ID_SIZE];
    ReadSessionIds(sid, memberId);
    char request[DATA_REQUEST_SIZE];
    switch (ComposeMessageRequest(job, sid, request, sizeof(request))) {
    case DataRequestComposed: break;
    case DataRequestTooLong: ReportMessage(job, TEXT_MESSAGE_TOO_LONG, false); return;
    case DataRequestBadValue: ReportMessage(job, TEXT_SESSION_BAD, false); return;
    }
    int code = 0;
    bool exchanged = false;
    const wchar_t* failure = Exchange(request, host, &code, &exchanged);
    if (!exchanged) {
        // The exchange has shown why; the text is kept for another try.
        KeepDraft(job.recipientId, job.typed);
        RecordMessageOutcome(job.serial, ShownStatusText());
        return;
    }
    if (failure) {
        ReportMessage(job, failure, false);
        return;
    }
    InterlockedExchange(&g_messageCaptchaDue, MessageCaptchaDueAfter(code, g_messageCaptchaDue != 0));
    ReportMessage(job, MessageOutcomeText(code), code == 1);
}

void RunStatusUpdate(const StatusJob& job, const char* host)
{
    if (!g_loggedIn) {
        SetStatusText(TEXT_NOT_LOGGED_IN);
        return;
    }
    char sid[SESSION_ID_SIZE];
    char memberId[SESSION_ID_SIZE];
    ReadSessionIds(sid, memberId);
    char request[DATA_REQUEST_SIZE];
    switch (ComposeStatusRequest(job, memberId, sid, request, sizeof(request))) {
    case DataRequestComposed: break;
    case DataRequestTooLong: SetStatusText(TEXT_STATUS_TOO_LONG); return;
    case DataRequestBadValue: SetStatusText(TEXT_SESSION_BAD); return;
    }
    int code = 0;
    bool exchanged = false;
    const wchar_t* failure = Exchange(request, host, &code, &exchanged);
    if (!exchanged)
        return;  // the exchange has shown why
    if (failure) {
        SetStatusText(failure);
        return;
    }
    if (code == 1)
        RememberStatus(job.typed);
    SetStatusText(StatusOutcomeText(code));
}

// Nothing may escape a worker: an exception there would end the program.
// Only running out of memory can throw here.
DWORD WINAPI MessageSendThread(LPVOID job)
{
    std::unique_ptr<MessageJob> own(static_cast<MessageJob*>(job));
    try {
        RunMessageSend(*own, DATA_API_HOST);
    } catch (...) {
        SetStatusText(TEXT_MESSAGE_FAILED);
    }
    return 0;
}

DWORD WINAPI StatusUpdateThread(LPVOID job)
{
    std::unique_ptr<StatusJob> own(static_cast<StatusJob*>(job));
    try {
        RunStatusUpdate(*own, DATA_API_HOST);
    } catch (...) {
        SetStatusText(TEXT_STATUS_ERROR);
    }
    return 0;
}

bool StartMessageSend(const MessageJob& job)
{
    MessageJob* copy = new MessageJob(job);
    if (StartWorker(MessageSendThread, copy))
        return true;
    delete copy;
    KeepDraft(job.recipientId, job.typed);
    RecordMessageOutcome(job.serial, TEXT_NO_WORKER);
    SetStatusText(TEXT_NO_WORKER);
    return false;
}

bool StartStatusUpdate(const StatusJob& job)
{
    StatusJob* copy = new StatusJob(job);
    if (StartWorker(StatusUpdateThread, copy))
        return true;
    delete copy;
    SetStatusText(TEXT_NO_WORKER);
    return false;
}
