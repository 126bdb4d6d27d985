// The status request and its outcome texts. No windows.h.
#pragma once

#include <cstddef>
#include <string>

#include "api/data_request.h"

extern const char ACT_SET_ACTIVITY[];  // "set_activity"

struct StatusJob {
    std::string text;    // the status, already URL-encoded
    std::string act;     // ACT_SET_ACTIVITY
    std::wstring typed;  // as the user wrote it, for the list of set statuses
    // The session it was written in: it is set in that session or not at all.
    unsigned long session;
};

// "GET /data?act=...&id=...&text=...&wid=1_140403095&ts=754000053&sid=...
// HTTP/1.1" and the Host, User-Agent and Connection lines into buffer (size
// bytes). On failure buffer holds an empty text.
DataRequestResult ComposeStatusRequest(
    const StatusJob& job, const char* memberId, const char* sid, char* buffer, std::size_t size);

const wchar_t* StatusOutcomeText(int code);
