// The data host's answer to a list request as the list worker takes it:
// status, framing undone, the body cut to its length and converted from
// UTF-8 when it says so; then on through the member reading.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "api/member_text.h"
#include "fuzz/fuzz_checks.h"
#include "json/cp1251.h"
#include "net/http_answer.h"
#include "net/response.h"

using fuzz::Check;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string response(reinterpret_cast<const char*>(data), size);

    const int status = ResponseStatus(response);
    std::string decoded;
    const bool sound = DecodeResponseBody(response, &decoded);
    Check(ResponseBody(response) == (sound ? decoded : std::string()));
    if (sound)
        Check(decoded.size() <= response.size());

    std::string body = "unchanged";
    const FriendAnswer answer = ReadFriendListBody(response, &body);
    Check((answer == FriendAnswerBad) == (status < 0 || !sound));
    Check((answer == FriendAnswerRefused) == (status >= 0 && sound && (status < 200 || status > 299)));
    if (answer != FriendAnswerBody) {
        Check(body == "unchanged");
        return 0;
    }
    if (IsUtf8Answer(response)) {
        Check(body == json::Utf8ToCp1251(decoded) && body.size() <= decoded.size());
    } else {
        Check(body == decoded);
    }

    std::string memberText;
    if (CutMemberText(body, &memberText) != MemberTextFound)
        return 0;
    json::Element document;
    std::vector<std::string> names;
    if (ParseMemberDocument(WrapMemberText(memberText), &document) && ReadMemberNames(document, &names)) {
        for (const std::string& name : names)
            Check(name.size() < FRIEND_NAME_SIZE);
    }
    return 0;
}
