// The ids are tried in the very requests that will carry them, so the bound
// follows the templates and the hosts instead of a number kept beside them.
#include "base/session_bounds.h"

#include "api/friend_model.h"
#include "api/member_text.h"
#include "net/session_logic.h"

bool SessionIdsFit(const std::string& sid, const std::string& memberId, int site, const char* loginHost)
{
    // An embedded NUL would make the composed request shorter than the id.
    if (sid.find('\0') != std::string::npos || memberId.find('\0') != std::string::npos)
        return false;
    constexpr int logoutSize = REQUEST_BUFFER_SIZE;
    constexpr int friendSize = FRIEND_REQUEST_SIZE;
    char request[logoutSize > friendSize ? logoutSize : friendSize];
    if (!ComposeLogoutRequest(request, site, sid.c_str(), loginHost))
        return false;
    for (int kind = 0; kind < FRIEND_LIST_KIND_COUNT; ++kind) {
        const char* act = FriendListAct(static_cast<FriendListKind>(kind));
        if (ComposeFriendListRequest(act, memberId.c_str(), sid.c_str(), request, FRIEND_REQUEST_SIZE)
            != FriendRequestComposed)
            return false;
    }
    return true;
}
