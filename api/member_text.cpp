#include "api/member_text.h"

#include <cstdio>
#include <cstring>
#include <exception>
#include <sstream>

#include "api/friend_model.h"
#include "base/constants.h"
#include "json/cp1251.h"
#include "json/reader.h"
#include "net/http_answer.h"
#include "net/text.h"

namespace {

bool IsJsonSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

// An empty array "[]" (white space allowed inside) that is not part of a
// string: what a server sends for a list without members.
bool HasEmptyArray(const std::string& body)
{
    bool inString = false;
    for (std::size_t i = 0; i < body.size(); ++i) {
        const char c = body[i];
        if (inString) {
            if (c == '\\')
                ++i;
            else if (c == '"')
                inString = false;
            continue;
        }
        if (c == '"') {
            inString = true;
        } else if (c == '[') {
            std::size_t j = i + 1;
            while (j < body.size() && IsJsonSpace(body[j]))
                ++j;
            if (j < body.size() && body[j] == ']')
                return true;
        }
    }
    return false;
}

}  // namespace

FriendRequestResult ComposeFriendListRequest(
    const char* act, const char* memberId, const char* sessionId, char* buffer, std::size_t size)
{
    if (size == 0)
        return FriendRequestTooLong;
    buffer[0] = '\0';
    if (!IsPlainQueryValue(act) || !IsPlainQueryValue(memberId) || !IsPlainQueryValue(sessionId))
        return FriendRequestBadValue;

    const int length = std::snprintf(buffer, size, "GET /data?act=%s&from=0&to=%d&id=%s&sid=%s HTTP/1.1\r\n",
        act, FriendModel::MaxFriends, memberId, sessionId);
    std::size_t used = length < 0 ? size : static_cast<std::size_t>(length);
    if (used >= size || !AppendText(buffer, size, &used, "Host: ")
        || !AppendText(buffer, size, &used, DATA_API_HOST) || !AppendText(buffer, size, &used, "\r\n")
        || !AppendText(buffer, size, &used, "User-Agent: PPC Sorvinta\r\n")
        || !AppendText(buffer, size, &used, "Connection: Close\r\n\r\n")) {
        // A cut request must never go out.
        buffer[0] = '\0';
        return FriendRequestTooLong;
    }
    return FriendRequestComposed;
}

FriendAnswer ReadFriendListBody(const std::string& response, std::string* body)
{
    const int status = ResponseStatus(response);
    std::string decoded;
    if (status < 0 || !DecodeResponseBody(response, &decoded))
        return FriendAnswerBad;
    if (status < 200 || status > 299)
        return FriendAnswerRefused;
    if (IsUtf8Answer(response))
        decoded = json::Utf8ToCp1251(decoded);
    body->swap(decoded);
    return FriendAnswerBody;
}

MemberCut CutMemberText(const std::string& body, std::string* memberText)
{
    const std::size_t start = body.find("[[");
    if (start == std::string::npos)
        return HasEmptyArray(body) ? MemberListEmpty : MemberTextMissing;
    const std::size_t end = body.find_last_of(']');
    // The "]" of the opening "[[" is no closing bracket.
    if (end == std::string::npos || end < start + 2)
        return MemberTextMissing;
    memberText->assign(body, start, end + 1 - start);
    return MemberTextFound;
}

std::string WrapMemberText(const std::string& memberText)
{
    std::string wrapped;
    wrapped.reserve(memberText.size() + 16);
    wrapped += "{ \"members\": ";
    wrapped += memberText;
    wrapped += "}";
    return wrapped;
}

bool ParseMemberDocument(const std::string& wrapped, json::Element* document)
{
    try {
        std::istringstream stream(wrapped);
        json::Element parsed;
        json::Reader::Read(parsed, stream);
        document->swap(parsed);
        return true;
    } catch (const std::exception&) {
        // json::ScanException, json::ParseException, or no memory for a huge body.
        return false;
    }
}

bool ReadMemberNames(const json::Element& document, std::vector<std::string>* names)
{
    try {
        const json::Object& root = json_cast<const json::Object&>(document);
        const json::Array& members = json_cast<const json::Array&>(root["members"]);
        std::vector<std::string> found;
        found.reserve(members.Size());
        for (std::size_t i = 0; i < members.Size(); ++i) {
            const json::Array& member = json_cast<const json::Array&>(members[i]);
            const json::String& name = json_cast<const json::String&>(member[1]);
            found.push_back(CutDisplayName(name.Value()));
        }
        names->swap(found);
        return true;
    } catch (const std::exception&) {
        // json::Exception: not a member document.
        return false;
    }
}

std::string CutDisplayName(const std::string& name)
{
    return name.substr(0, FRIEND_NAME_SIZE - 1);
}
