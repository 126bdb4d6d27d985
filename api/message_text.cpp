#include "api/message_text.h"

#include <cstdio>

#include "api/api_texts.h"
#include "api/member_text.h"
#include "net/text.h"

const char ACT_ADD_MESSAGE[] = "add_message";

DataRequestResult ComposeMessageRequest(
    const MessageJob& job, const char* sid, char* buffer, std::size_t size)
{
    if (size == 0)
        return DataRequestTooLong;
    buffer[0] = '\0';
    // The text is encoded already; the rest goes in as it is, so none of it
    // may carry a byte that ends the line or starts a field. The captcha
    // fields are CaptchaQuery's, with the typed code encoded.
    if (!IsPlainQueryValue(job.act.c_str()) || !IsPlainQueryValue(sid) || !IsEncodedQueryValue(job.text))
        return DataRequestBadValue;
    const int length
        = std::snprintf(buffer, size, "GET /data?act=%s&id=%d&ts=64000010&message=%s&sid=%s%s HTTP/1.1\r\n",
            job.act.c_str(), job.recipientId, job.text.c_str(), sid, job.captcha.c_str());
    const std::size_t used = length < 0 ? size : static_cast<std::size_t>(length);
    return FinishDataRequest(buffer, size, used) ? DataRequestComposed : DataRequestTooLong;
}

bool FindRecipientId(const json::Element& document, const std::string& name, int* id)
{
    const json::Array* members = nullptr;
    try {
        members = &json_cast<const json::Array&>(document["members"]);
    } catch (...) {
        return false;  // no list of that kind yet, or not a member document
    }
    bool found = false;
    for (std::size_t i = 0; i < members->Size(); ++i) {
        try {
            const json::Array& member = json_cast<const json::Array&>((*members)[i]);
            const std::string& memberName = json_cast<const json::String&>(member[1]).Value();
            if (CutDisplayName(memberName) != name)
                continue;
            const double value = json_cast<const json::Number&>(member[0]).Value();
            // An id beyond int's range names nobody this request can reach.
            if (!(value > -2147483649.0 && value < 2147483648.0))
                continue;
            *id = static_cast<int>(value);
            found = true;
        } catch (...) {
            // A member of another shape names nobody.
        }
    }
    return found;
}

bool MessageCaptchaDueAfter(int code, bool due)
{
    return code == -2 ? true : code == 1 ? false : due;
}

const wchar_t* MessageOutcomeText(int code)
{
    switch (code) {
    case 1: return TEXT_MESSAGE_SENT;
    case -1: return TEXT_AUTH_ERROR;
    case -2: return TEXT_CAPTCHA_NEEDED;
    case -3: return TEXT_PRIVACY;
    default: return TEXT_MESSAGE_FAILED;  // 0 and any other
    }
}
