// The message request, the recipient look-up in a member document and the
// outcome texts. No windows.h.
#pragma once

#include <cstddef>
#include <string>

#include "api/data_request.h"
#include "json/elements.h"

extern const char ACT_ADD_MESSAGE[];  // "add_message"

struct MessageJob {
    std::string text;  // the message, already URL-encoded
    int recipientId;
    std::string act;  // ACT_ADD_MESSAGE
    // Kept with the job so the worker can record what happened to it.
    std::wstring typed;  // the edit field's text as the user wrote it
    std::wstring recipientName;
    int serial;       // its entry in the list of messages sent
    int draftSerial;  // the serial of the draft the dialog opened with, 0 for none
    // The session it was written in (CurrentSession): it goes out in that
    // session or not at all.
    unsigned long session;
    // "&csid=N&ccode=C" when the send answers a captcha, else empty.
    std::string captcha;
};

// "GET /data?act=...&id=...&ts=64000010&message=...&sid=... HTTP/1.1" (the
// captcha fields after the sid) and the Host, User-Agent and Connection lines
// into buffer (size bytes). On failure buffer holds an empty text.
DataRequestResult ComposeMessageRequest(
    const MessageJob& job, const char* sid, char* buffer, std::size_t size);

// The id of the last member of document["members"] whose name, cut as a
// list row is, equals name byte for byte; the id truncated toward zero.
// Members of another shape, and ids that are not numbers or lie beyond int's
// range, are passed over. False when none matches.
bool FindRecipientId(const json::Element& document, const std::string& name, int* id);

// The status text of an outcome code.
const wchar_t* MessageOutcomeText(int code);

// Whether the next message needs a captcha, after an answer with code while
// it was `due` before: -2 makes it due, a message sent ends it.
bool MessageCaptchaDueAfter(int code, bool due);
