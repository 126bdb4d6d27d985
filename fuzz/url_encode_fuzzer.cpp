// The percent-encoder against a decoder, and the requests that carry what it
// encoded or what the server handed us: any bytes typed or received must
// come back whole and never end the request line or add a query field.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

#include "api/member_text.h"
#include "api/message_text.h"
#include "api/status_text.h"
#include "base/constants.h"
#include "fuzz/fuzz_checks.h"
#include "net/session_logic.h"
#include "net/text.h"

using fuzz::Check;
using fuzz::CheckRequest;
using fuzz::FieldNames;
using fuzz::PercentDecode;
using fuzz::QueryField;

namespace {

bool IsLowerHex(char c)
{
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f');
}

void CheckEncoding(const std::string& text)
{
    const std::string encoded = UrlEncode(text);
    std::string decoded;
    Check(PercentDecode(encoded, &decoded) && decoded == text);
    Check(encoded.size() <= 3 * text.size());
    for (std::size_t i = 0; i < encoded.size(); ++i) {
        const char c = encoded[i];
        Check(c != '\r' && c != '\n' && c != ' ' && c != '&' && c != '=' && c != '+' && c != '#' && c != '?');
        // What it writes for a byte is two lower-case hex digits.
        if (c == '%')
            Check(i + 2 < encoded.size() && IsLowerHex(encoded[i + 1]) && IsLowerHex(encoded[i + 2]));
    }
    Check(IsEncodedQueryValue(encoded));
    for (const char c : text) {
        char hex[3];
        snprintf(hex, sizeof(hex), "%02x", (unsigned)(unsigned char)c);
        Check(HexByte((signed char)c) == hex);
    }
}

// A value the request carries decodes back to what was put in.
void CheckValue(const QueryField& field, const std::string& expected)
{
    std::string decoded;
    Check(PercentDecode(field.value, &decoded) && decoded == expected);
}

void CheckLoginRequest(const std::string& email, const std::string& password)
{
    char buffer[LOGIN_REQUEST_SIZE];
    memset(buffer, 'x', sizeof(buffer));
    if (!ComposeLoginRequest(buffer, 2, email, password, LOGIN_HOST)) {
        Check(buffer[0] == '\0');
        return;
    }
    const std::vector<QueryField> fields = CheckRequest(buffer, "HEAD");
    Check(FieldNames(fields) == "login,site,email,pass");
    CheckValue(fields[2], email);
    CheckValue(fields[3], password);
}

void CheckDataRequests(const std::string& text, const std::string& raw)
{
    char buffer[DATA_REQUEST_SIZE];
    const std::string encoded = UrlEncode(text);

    MessageJob message;
    message.text = encoded;
    message.recipientId = (int)text.size() - 1000;
    message.act = ACT_ADD_MESSAGE;
    message.serial = 0;
    switch (ComposeMessageRequest(message, raw.c_str(), buffer, sizeof(buffer))) {
    case DataRequestComposed: {
        Check(IsPlainQueryValue(raw.c_str()));
        const std::vector<QueryField> fields = CheckRequest(buffer, "GET");
        Check(FieldNames(fields) == "act,id,ts,message,sid");
        CheckValue(fields[3], text);
        Check(fields[4].value == raw.c_str());
        break;
    }
    case DataRequestBadValue: Check(!IsPlainQueryValue(raw.c_str()) && buffer[0] == '\0'); break;
    case DataRequestTooLong: Check(buffer[0] == '\0'); break;
    }

    StatusJob status;
    status.text = encoded;
    status.act = ACT_SET_ACTIVITY;
    switch (ComposeStatusRequest(status, raw.c_str(), "5ee7c0de", buffer, sizeof(buffer))) {
    case DataRequestComposed: {
        const std::vector<QueryField> fields = CheckRequest(buffer, "GET");
        Check(FieldNames(fields) == "act,id,text,wid,ts,sid");
        Check(fields[1].value == raw.c_str());
        CheckValue(fields[2], text);
        break;
    }
    case DataRequestBadValue: Check(!IsPlainQueryValue(raw.c_str()) && buffer[0] == '\0'); break;
    case DataRequestTooLong: Check(buffer[0] == '\0'); break;
    }

    // The list request takes the session values as they came, unencoded.
    char list[FRIEND_REQUEST_SIZE];
    switch (ComposeFriendListRequest("friends", raw.c_str(), raw.c_str(), list, sizeof(list))) {
    case FriendRequestComposed: {
        const std::vector<QueryField> fields = CheckRequest(list, "GET");
        Check(FieldNames(fields) == "act,from,to,id,sid");
        Check(fields[3].value == raw.c_str() && fields[4].value == raw.c_str());
        break;
    }
    case FriendRequestBadValue: Check(!IsPlainQueryValue(raw.c_str()) && list[0] == '\0'); break;
    case FriendRequestTooLong: Check(list[0] == '\0'); break;
    }

    // A logout carries the stored session id as it is: only a token may.
    if (IsSessionToken(raw)) {
        char logout[REQUEST_BUFFER_SIZE];
        if (ComposeLogoutRequest(logout, 2, raw.c_str(), LOGIN_HOST)) {
            const std::vector<QueryField> fields = CheckRequest(logout, "HEAD");
            Check(FieldNames(fields) == "login,site,sid" && fields[2].value == raw);
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    CheckEncoding(text);
    CheckLoginRequest(text.substr(0, size / 2), text.substr(size / 2));
    CheckDataRequests(text, text);
    return 0;
}
