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

namespace {

void ReportMessage(const MessageJob& job, const wchar_t* text, bool sent)
{
    // Its own outcome, whatever another send to this friend does meanwhile.
    if (sent)
        DropDraft(job.recipientId, job.draftSerial);
    else
        KeepDraft(job.recipientId, job.typed, job.serial);
    RecordMessageOutcome(job.serial, text);
    SetStatusText(text);
}

// The outcome of a composed request: the exchange, then the answer's "ok".
// Null with *code set when the answer carried one; else the text to end on
// (after a failed exchange, the one it has shown).
const wchar_t* Exchange(const char* request, const char* host, int* code)
{
    std::string response;
    const wchar_t* failure = NULL;
    if (HttpExchange(request, response, host, &failure) == -1)
        return failure ? failure : TEXT_ANSWER_FAILED;
    switch (ReadOutcomeCode(response, code)) {
    case AnswerHasCode: return NULL;
    case AnswerRefusedStatus: return TEXT_SERVER_REFUSED;
    default: return TEXT_SERVER_ANSWER_BAD;
    }
}

// Why a job may not go out now: not logged in, or not in the session it
// was written in (a logout and another login came between). Null when it
// may, with the ids of its session.
const wchar_t* SessionRefusal(unsigned long written, char* sid, char* memberId)
{
    unsigned long session = 0;
    if (!ReadSession(sid, memberId, &session))
        return TEXT_NOT_LOGGED_IN;
    return session == written ? NULL : TEXT_SESSION_CHANGED;
}

}  // namespace

// Any message worker may write it; a lost race only costs one -2 or one
// picture too many.
volatile LONG g_messageCaptchaSession = 0;

bool MessageCaptchaDue()
{
    const LONG due = InterlockedCompareExchange(&g_messageCaptchaSession, 0, 0);
    return due != 0 && (unsigned long)due == CurrentSession();
}

void RunMessageSend(const MessageJob& asked, const char* host, const char* pictureHost)
{
    MessageJob job = asked;
    char sid[SESSION_ID_SIZE];
    char memberId[SESSION_ID_SIZE];
    const wchar_t* refusal = SessionRefusal(job.session, sid, memberId);
    if (refusal) {
        ReportMessage(job, refusal, false);
        return;
    }
    const bool due = MessageCaptchaDue();
    if (due) {
        const wchar_t* failure = NULL;
        if (!AskCaptcha(pictureHost, TEXT_MESSAGE_CANCELLED, job.captcha, &failure)) {
            ReportMessage(job, failure, false);  // the text waits for the next try
            return;
        }
        // Read after the dialog: the session may have ended or changed while
        // it was open, and the code is no other session's.
        if ((refusal = SessionRefusal(job.session, sid, memberId)) != NULL) {
            ReportMessage(job, refusal, false);
            return;
        }
    }
    char request[DATA_REQUEST_SIZE];
    switch (ComposeMessageRequest(job, sid, request, sizeof(request))) {
    case DataRequestComposed: break;
    case DataRequestTooLong: ReportMessage(job, TEXT_MESSAGE_TOO_LONG, false); return;
    case DataRequestBadValue: ReportMessage(job, TEXT_SESSION_BAD, false); return;
    }
    int code = 0;
    const wchar_t* failure = Exchange(request, host, &code);
    if (failure) {
        ReportMessage(job, failure, false);
        return;
    }
    const bool dueAfter = MessageCaptchaDueAfter(code, due);
    InterlockedExchange(&g_messageCaptchaSession, dueAfter ? (LONG)job.session : 0);
    ReportMessage(job, MessageOutcomeText(code), code == 1);
}

void RunStatusUpdate(const StatusJob& job, const char* host)
{
    char sid[SESSION_ID_SIZE];
    char memberId[SESSION_ID_SIZE];
    const wchar_t* refusal = SessionRefusal(job.session, sid, memberId);
    if (refusal) {
        SetStatusText(refusal);
        return;
    }
    char request[DATA_REQUEST_SIZE];
    switch (ComposeStatusRequest(job, memberId, sid, request, sizeof(request))) {
    case DataRequestComposed: break;
    case DataRequestTooLong: SetStatusText(TEXT_STATUS_TOO_LONG); return;
    case DataRequestBadValue: SetStatusText(TEXT_SESSION_BAD); return;
    }
    int code = 0;
    const wchar_t* failure = Exchange(request, host, &code);
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
        // Keep the text and close its entry in "Сообщения", if memory allows.
        try {
            ReportMessage(*own, TEXT_MESSAGE_FAILED, false);
        } catch (...) {
            SetStatusText(TEXT_MESSAGE_FAILED);
        }
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
    KeepDraft(job.recipientId, job.typed, job.serial);
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
