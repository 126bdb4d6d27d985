#include "api/status_text.h"

#include <cstdio>

#include "api/api_texts.h"
#include "net/text.h"

const char ACT_SET_ACTIVITY[] = "set_activity";

DataRequestResult ComposeStatusRequest(
    const StatusJob& job, const char* memberId, const char* sid, char* buffer, std::size_t size)
{
    if (size == 0)
        return DataRequestTooLong;
    buffer[0] = '\0';
    if (!IsPlainQueryValue(job.act.c_str()) || !IsPlainQueryValue(memberId) || !IsPlainQueryValue(sid)
        || !IsEncodedQueryValue(job.text))
        return DataRequestBadValue;
    const int length = std::snprintf(buffer, size,
        "GET /data?act=%s&id=%s&text=%s&wid=1_140403095&ts=754000053&sid=%s HTTP/1.1\r\n", job.act.c_str(),
        memberId, job.text.c_str(), sid);
    const std::size_t used = length < 0 ? size : static_cast<std::size_t>(length);
    return FinishDataRequest(buffer, size, used) ? DataRequestComposed : DataRequestTooLong;
}

const wchar_t* StatusOutcomeText(int code)
{
    switch (code) {
    case 1: return TEXT_STATUS_SET;
    case 0: return TEXT_STATUS_FAILED;
    default: return TEXT_STATUS_ERROR;
    }
}
