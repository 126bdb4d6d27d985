// The login host's answers as the login and logout workers read them: the
// Location, the session id or refusal code cut from it, the member id from
// the cookies; and each cutter alone on the raw bytes.
#include <cerrno>
#include <climits>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "fuzz/fuzz_checks.h"
#include "net/http_answer.h"
#include "net/response.h"
#include "net/session_logic.h"

using fuzz::Check;

namespace {

// What was cut is the value of a field named exactly "sid" of the query.
void CheckSessionIdCut(const std::string& location)
{
    std::string sid = "unchanged";
    if (!CutSessionId(location, sid)) {
        Check(sid == "unchanged");
        return;
    }
    Check(sid.find('&') == std::string::npos && sid.find('#') == std::string::npos);
    const std::size_t query = location.find('?');
    Check(query != std::string::npos && query < location.find('#'));
    bool seen = false;
    for (const char* key : {"?sid=", "&sid="}) {
        for (std::size_t at = location.find(key, query); at != std::string::npos && !seen;
             at = location.find(key, at + 1)) {
            const std::size_t end = at + 5 + sid.size();
            seen = location.compare(at + 5, sid.size(), sid) == 0
                && (end == location.size() || location[end] == '&' || location[end] == '#');
        }
    }
    Check(seen);
}

void CheckMemberIdCut(const std::string& line)
{
    std::string id = "unchanged";
    if (!CutMemberId(line, id)) {
        Check(id == "unchanged");
        return;
    }
    Check(line.find("remixmid") != std::string::npos);
    Check(id.find(';') == std::string::npos && line.find(id) < line.find(';'));
    Check(id.empty() || (id.front() != ' ' && id.front() != '\t' && id.back() != ' ' && id.back() != '\t'));
}

// atoi's reading with strtol's clamping is the reference.
void CheckLeadingNumber(const std::string& text)
{
    errno = 0;
    const long expected = strtol(text.c_str(), nullptr, 10);
    Check(LeadingNumber(text) == expected);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string response(reinterpret_cast<const char*>(data), size);
    CheckSessionIdCut(response);
    CheckMemberIdCut(response);
    CheckLeadingNumber(response);

    HeaderMap headers;
    ParseResponseHeaders(response, headers);
    const HeaderMap::const_iterator location = headers.find("Location");
    if (location != headers.end())
        CheckSessionIdCut(location->second);
    for (const std::string& line : HeaderFieldValues(response, "Set-Cookie"))
        CheckMemberIdCut(line);

    const LoginAnswer answer = ReadLoginAnswer(response);
    Check(answer.hasLocation == (location != headers.end()));
    Check(answer.storeSid == !answer.sid.empty() && answer.loggedIn == !answer.remixmid.empty());
    if (answer.storeSid) {
        // What is stored goes into later request lines as it is.
        Check(IsSessionToken(answer.sid));
        std::string sid;
        Check(CutSessionId(location->second, sid) && sid == answer.sid);
        const long code = LeadingNumber(sid);
        Check((code >= -4 && code <= -1) == (answer.outcome != LoginSuccess));
        Check(answer.loggedIn == (answer.outcome == LoginSuccess));
        char logout[REQUEST_BUFFER_SIZE];
        if (ComposeLogoutRequest(logout, 2, answer.sid.c_str(), "login.socialnet.example")) {
            const std::vector<fuzz::QueryField> fields = fuzz::CheckRequest(logout, "HEAD");
            Check(fuzz::FieldNames(fields) == "login,site,sid" && fields[2].value == answer.sid);
        }
    } else {
        Check(!answer.loggedIn && answer.outcome <= LoginRefusedAnswer);
        Check(answer.outcome == (answer.hasLocation ? LoginRefusedAnswer : LoginNoLocation));
    }
    if (answer.loggedIn)
        Check(IsSessionToken(answer.remixmid));
    Check(LoginStatusText(answer.outcome) != nullptr);

    const bool loggedOut = LogoutSucceeded(response);
    Check(!loggedOut || location->second.find("/index.html") != std::string::npos);
    return 0;
}
